#include "engine/data/dataset.h"

namespace {
bool Is(const QByteArray& a, const char* b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
} // namespace

bool TkvDataset::InheritsFrom(const QByteArray& c) const {
    return Is(c, "TkvDataset") || Is(c, "TComponent");
}
bool TkvUserDataset::InheritsFrom(const QByteArray& c) const {
    return Is(c, "TkvUserDataset") || TkvDataset::InheritsFrom(c);
}
bool TkvDBDataSet::InheritsFrom(const QByteArray& c) const {
    return Is(c, "TkvDBDataSet") || TkvDataset::InheritsFrom(c);
}
bool TkvDataSource::InheritsFrom(const QByteArray& c) const {
    return Is(c, "TDataSource") || Is(c, "TComponent");
}
bool TkvDataModule::InheritsFrom(const QByteArray& c) const {
    return Is(c, "TDataModule") || Is(c, "TComponent");
}

// ---------------------------------------------------------------- TkvDataset

void TkvDataset::First() {
    RecordNo = 0;
    if (OnFirst) OnFirst(this);
}

void TkvDataset::Next() {
    ++RecordNo;
    if (RangeEnd == TRangeEnd::reCount && RecordNo >= RangeEndCount) return;
    if (OnNext) OnNext(this);
}

void TkvDataset::Prior() {
    --RecordNo;
    if (OnPrior) OnPrior(this);
}

bool TkvDataset::Eof() {
    bool eof = RangeEnd == TRangeEnd::reCount && RecordNo >= RangeEndCount;
    if (OnCheckEOF) OnCheckEOF(this, eof);
    return eof;
}

// ---------------------------------------------------------------- TkvDataSource

void TkvDataSource::Notification(TkvComponent* removed) {
    if (removed == DataSet) DataSet = nullptr;
}

// ---------------------------------------------------------------- TkvDBDataSet

void TkvDBDataSet::SetDataSet(TkvRecordSet* d) {
    dataSet_ = d;
    dataSource_ = nullptr;
}

void TkvDBDataSet::SetDataSource(TkvDataSource* s) {
    dataSource_ = s;
    if (s) dataSet_ = nullptr;
}

void TkvDBDataSet::Notification(TkvComponent* removed) {
    if (removed == dataSet_) dataSet_ = nullptr;
    if (removed == dataSource_) dataSource_ = nullptr;
}

TkvRecordSet& TkvDBDataSet::Underlying() const {
    if (dataSource_ && dataSource_->DataSet) return *dataSource_->DataSet;
    if (dataSet_) return *dataSet_;
    throw EDSError("Unable to open dataset " + ComponentName().toStdString());
}

bool TkvDBDataSet::HasField(const QByteArray& fieldName) const {
    try {
        return Underlying().HasField(fieldName);
    } catch (const std::exception&) {
        return false;
    }
}

QList<QByteArray> TkvDBDataSet::FieldNames() const {
    try {
        return Underlying().FieldNames();
    } catch (const std::exception&) {
        return {};
    }
}

void TkvDBDataSet::Init() {
    TkvRecordSet& d = Underlying();
    if (OpenDataSource) d.Open();
    if (OnOpen) OnOpen(this);
    Bookmark = {};
    if (RangeBegin == TRangeBegin::rbCurrent || RangeEnd == TRangeEnd::reCurrent) Bookmark = d.GetBookmark();
    EndReached = false;
}

void TkvDBDataSet::Exit() {
    TkvRecordSet& d = Underlying();
    if (Bookmark.IsSet()) {
        d.GotoBookmark(Bookmark);
        d.FreeBookmark(Bookmark);
        Bookmark = {};
    }
    if (OnClose) OnClose(this);
    if (CloseDataSource) d.Close();
}

void TkvDBDataSet::First() {
    TkvRecordSet& d = Underlying();
    if (RangeBegin == TRangeBegin::rbFirst)
        d.First();
    else
        d.GotoBookmark(Bookmark);
    EndReached = false;
    TkvDataset::First();
}

void TkvDBDataSet::Next() {
    TkvRecordSet& d = Underlying();
    EndReached = false;
    if (RangeEnd == TRangeEnd::reCurrent && Bookmark.IsSet()) {
        TkvBookmark here = d.GetBookmark();
        const bool same = here.IsSet() && TkvRecordSet::CompareBookmarks(here, Bookmark) == 0;
        d.FreeBookmark(here);
        if (same) {
            EndReached = true;
            return;
        }
    }
    d.Next();
    TkvDataset::Next();
}

void TkvDBDataSet::Prior() {
    Underlying().Prior();
    TkvDataset::Prior();
}

bool TkvDBDataSet::Eof() {
    return TkvDataset::Eof() || Underlying().Eof() || EndReached;
}

// ---------------------------------------------------------------- modules and the directory

TkvDataModule::~TkvDataModule() {
    // Components refer to each other; free in reverse order without notifications.
    while (!components_.empty())
        components_.pop_back();
}

void TkvDataModule::SetOwnerOf(TkvComponent* c) {
    if (auto* dc = dynamic_cast<TkvDataComponent*>(c)) dc->owner_ = this;
    if (auto* rs = dynamic_cast<TkvRecordSet*>(c)) rs->SetOwner(this);
}

void TkvDataModule::Remove(TkvComponent* c) {
    for (const auto& other : components_)
        if (other.get() != c)
            if (auto* dc = dynamic_cast<TkvDataComponent*>(other.get())) dc->Notification(c);
    for (auto it = components_.begin(); it != components_.end(); ++it) {
        if (it->get() == c) {
            components_.erase(it);
            return;
        }
    }
}

class TkvDataDirectory::ReportStandIn : public TkvComponent {
public:
    explicit ReportStandIn(TkvComponent* owner) : owner_(owner) {}
    QByteArray ComponentName() const override { return "Report"; }
    TkvComponent* ComponentOwner() const override { return owner_; }
    bool InheritsFrom(const QByteArray& c) const override { return Is(c, "TkvReport"); }

private:
    TkvComponent* owner_;
};

TkvDataDirectory::TkvDataDirectory() = default;
TkvDataDirectory::~TkvDataDirectory() = default;

std::vector<TkvComponent*> TkvDataDirectory::GlobalComponents() const {
    std::vector<TkvComponent*> out;
    for (const auto& m : modules_)
        out.push_back(m.get());
    return out;
}

TkvComponent* TkvDataDirectory::ReportComponent(const TkvReport*) const {
    if (modules_.empty()) return nullptr;
    if (!report_) report_ = std::make_unique<ReportStandIn>(modules_.front().get());
    return report_.get();
}

TkvDataModule& TkvDataDirectory::AddModule(const QByteArray& name) {
    modules_.push_back(std::make_unique<TkvDataModule>(name));
    return *modules_.back();
}
