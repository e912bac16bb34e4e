#include "engine/data/record_set.h"

#include <algorithm>

class TkvRecordSet::RecordField : public TkvDataField {
public:
    RecordField(TkvRecordSet& owner, int column, TkvColumn info)
        : owner_(owner), column_(column), info_(std::move(info)) {}

    QByteArray FieldName() const override { return info_.Name; }
    TkvFieldType DataType() const override { return info_.Type; }
    bool IsNull() const override { return owner_.CurrentValue(column_).isEmpty(); }
    TkvVariant Value() const override { return owner_.CurrentValue(column_); }
    QByteArray DisplayText() const override {
        const TkvVariant& v = owner_.CurrentValue(column_);
        if (v.isEmpty()) return {};
        try {
            return v.toText();
        } catch (const std::exception&) {
            return {};
        }
    }
    void BlobToStream(TkvStream& s) const override { s.WriteBytes(DisplayText()); }

private:
    TkvRecordSet& owner_;
    int column_;
    TkvColumn info_;
};

TkvRecordSet::TkvRecordSet(QByteArray name, std::unique_ptr<TkvRowSource> source)
    : name_(std::move(name)), source_(std::move(source)) {}

TkvRecordSet::~TkvRecordSet() = default;

bool TkvRecordSet::InheritsFrom(const QByteArray& className) const {
    return className.compare("TDataSet", Qt::CaseInsensitive) == 0 ||
           className.compare("TkvRecordSet", Qt::CaseInsensitive) == 0;
}

bool TkvRecordSet::HasField(const QByteArray& fieldName) const {
    return const_cast<TkvRecordSet*>(this)->FieldByName(fieldName) != nullptr;
}

QList<QByteArray> TkvRecordSet::FieldNames() const {
    QList<QByteArray> out;
    try {
        auto* self = const_cast<TkvRecordSet*>(this);
        if (!active_) self->Open();
        for (const auto& f : fields_)
            out.append(f->FieldName());
    } catch (const std::exception&) {
        // Listing field names ignores failures of the data layer.
    }
    return out;
}

void TkvRecordSet::Open() {
    if (active_) return;
    rows_.clear();
    cacheStart_ = fetched_ = current_ = 0;
    sourceEnded_ = false;
    source_->Rebind();
    source_->Restart();
    fields_.clear();
    const auto& cols = source_->Columns();
    for (size_t i = 0; i < cols.size(); ++i)
        fields_.push_back(std::make_unique<RecordField>(*this, static_cast<int>(i), cols[i]));
    active_ = true;
    First();
}

void TkvRecordSet::Close() {
    if (!active_) return;
    source_->Close();
    rows_.clear();
    bookmarks_.clear();
    active_ = false;
    eof_ = bof_ = true;
}

void TkvRecordSet::First() {
    if (!active_) {
        Open();
        return;
    }
    if (source_->Rebind()) {
        // The fields stay: the same query gives the same columns.
        rows_.clear();
        cacheStart_ = fetched_ = current_ = 0;
        sourceEnded_ = false;
        source_->Restart();
    }
    const bool any = MoveTo(0);
    eof_ = !any;
    bof_ = true;
}

void TkvRecordSet::Next() {
    if (!active_) Open();
    if (eof_) return;
    if (MoveTo(current_ + 1)) {
        bof_ = false;
    } else {
        eof_ = true;
    }
}

void TkvRecordSet::Prior() {
    if (!active_) Open();
    if (current_ == 0 || (eof_ && bof_)) {
        bof_ = true;
        return;
    }
    MoveTo(current_ - 1);
    eof_ = false;
}

bool TkvRecordSet::MoveTo(qint64 r) {
    if (r < cacheStart_) {
        rows_.clear();
        cacheStart_ = fetched_ = 0;
        sourceEnded_ = false;
        source_->Restart();
    }
    while (fetched_ <= r && !sourceEnded_) {
        TkvRow row = std::move(spare_);
        if (!source_->FetchRow(row)) {
            sourceEnded_ = true;
            break;
        }
        row.resize(fields_.size(), TkvVariant::Null());
        rows_.push_back(std::move(row));
        ++fetched_;
        // While skipping forward, rows far behind the target are not kept.
        const qint64 keepFrom =
            std::min(r - PriorWindow,
                     bookmarks_.empty() ? r : *std::min_element(bookmarks_.begin(), bookmarks_.end()));
        while (cacheStart_ < keepFrom && !rows_.empty()) {
            spare_ = std::move(rows_.front());
            rows_.pop_front();
            ++cacheStart_;
        }
    }
    if (r >= fetched_) return false;
    current_ = r;
    Trim();
    return true;
}

void TkvRecordSet::Trim() {
    qint64 keepFrom = current_ - PriorWindow;
    for (qint64 b : bookmarks_)
        keepFrom = std::min(keepFrom, b);
    while (cacheStart_ < keepFrom && !rows_.empty()) {
        spare_ = std::move(rows_.front());
        rows_.pop_front();
        ++cacheStart_;
    }
}

const TkvVariant& TkvRecordSet::CurrentValue(int column) const {
    if (!active_ || (eof_ && bof_)) return null_;
    const qint64 i = current_ - cacheStart_;
    if (i < 0 || i >= static_cast<qint64>(rows_.size())) return null_;
    const TkvRow& row = rows_[static_cast<size_t>(i)];
    return column >= 0 && column < static_cast<int>(row.size()) ? row[static_cast<size_t>(column)] : null_;
}

TkvBookmark TkvRecordSet::GetBookmark() {
    if (!active_ || (eof_ && bof_)) return {};
    bookmarks_.push_back(current_);
    return {current_};
}

void TkvRecordSet::GotoBookmark(const TkvBookmark& b) {
    if (!b.IsSet()) return;
    if (!active_) Open();
    if (MoveTo(b.Row)) {
        eof_ = false;
        bof_ = b.Row == 0;
    }
}

void TkvRecordSet::FreeBookmark(const TkvBookmark& b) {
    auto it = std::find(bookmarks_.begin(), bookmarks_.end(), b.Row);
    if (it != bookmarks_.end()) bookmarks_.erase(it);
    Trim();
}

int TkvRecordSet::CompareBookmarks(const TkvBookmark& a, const TkvBookmark& b) {
    return a.Row < b.Row ? -1 : a.Row > b.Row ? 1 : 0;
}

TkvDataField* TkvRecordSet::FieldByName(const QByteArray& name) {
    if (!active_) Open();
    for (const auto& f : fields_)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0) return f.get();
    return nullptr;
}

TkvDataField* TkvRecordSet::FieldAt(int i) {
    if (!active_) Open();
    return i >= 0 && i < FieldCount() ? fields_[static_cast<size_t>(i)].get() : nullptr;
}
