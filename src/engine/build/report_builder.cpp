#include "engine/build/report_builder.h"

#include "base/constants.h"
#include "base/constants_list.h"
#include "base/date_time.h"
#include "core/globals.h"
#include "core/library_context.h"
#include "core/locale.h"
#include "core/report/build_error.h"
#include "core/report/composite_report.h"
#include "core/report/name_resolution.h"
#include "core/report/report.h"
#include "core/views/control.h"
#include "core/views/memo_view.h"
#include "core/views/non_visual_control.h"
#include "core/views/view_factory.h"
#include "engine/build/build_host.h"
#include "engine/build/dialog_host.h"
#include "engine/build/page_builder.h"
#include "engine/build/sub_report_pages.h"
#include "engine/data/dataset.h"
#include "engine/data/dictionary_lookup.h"
#include "engine/script/database_function_library.h"
#include "engine/script/report_interpretator.h"
#include "script/function_context.h"
#include "script/std_function_library.h"

#include <QTime>

// Scripts and expressions of the report reach the builder through the interpreter's hooks; the
// function libraries compute with the build's aggregates.
class TkvReportBuilder::Interpreter : public TInterpretator {
public:
    Interpreter(TkvReportBuilder& builder, const TkvFormatSettings& settings) : TInterpretator(settings) {
        CancelRequested = [&builder] { return builder.Stopped(); };
        ResolveName = [&builder](const QByteArray& name, TkvVariant& value) { builder.ResolveName(name, value); };
        ResolveFunction = [&builder](const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2,
                                     const TkvVariant& p3, TkvVariant& value) {
            builder.ResolveFunction(name, p1, p2, p3, value);
        };
        Variables = &builder.Variables;
        Dictionary = &builder.Report.Dictionary;
        SetCurY = [&builder](int64_t y) { builder.Assign("CURY", TkvVariant(y)); };
        SetModalResult = [&builder](int64_t result) { builder.modalResult_ = int(result); };
        ShowProgress = [&builder](const QByteArray& text) {
            TkvReport& m = builder.Master;
            if (builder.Host && m.ShowProgress && !m.OnProgress) builder.Host->ShowProgressNote(text);
        };
        Context.Evaluate = [&builder](const QByteArray& e) { return builder.Evaluate(e); };
        Context.Settings = &settings;
        Context.Aggregates = &builder.Aggregates;
    }
    TkvFunctionContext Context;
    TkvStdFunctionLibrary Standard;
    TDatabaseFunctionLibrary Database;
};

namespace {

TkvVariant DateValue(double days) { return TkvVariant(TkvVariant::DateTimeValue{days}); }

} // namespace

TkvReportBuilder::TkvReportBuilder(TkvReport& report, const TkvFormatSettings& settings)
    : Report(report), Master(report), interpreter_(std::make_unique<Interpreter>(*this, settings)),
      settings_(&settings), dictionary_(std::make_unique<TkvDictionaryLookup>(report.Dictionary)) {
    dictionary_->Evaluate = [this](const QByteArray& e) { return Evaluate(e); };
    dictionary_->ScriptVariables = &Variables;
    InstallDefaultDataset();
}

TkvReportBuilder::TkvReportBuilder(TkvReport& report, TkvReportBuilder& master)
    : Report(report), Master(master.Master), interpreter_(std::make_unique<Interpreter>(*this, *master.settings_)),
      settings_(master.settings_), dictionary_(std::make_unique<TkvDictionaryLookup>(report.Dictionary)) {
    dictionary_->Evaluate = [this](const QByteArray& e) { return Evaluate(e); };
    dictionary_->ScriptVariables = &Variables;
    Progress = master.Progress;
    Host = master.Host;
    MaxPages = master.MaxPages;
    Start = master.Start;
    InstallDefaultDataset();
}

void TkvReportBuilder::InstallDefaultDataset() {
    dictionary_->DefaultDataset = [this] { return DefaultDataset(); };
    // Binding and FIELDISNULL start from the default dataset only when the report asks for it.
    interpreter_->Context.DefaultDataset = [this]() -> TkvComponent* {
        return Report.UseDefaultDataSetName ? DefaultDataset() : nullptr;
    };
}

TkvComponent* TkvReportBuilder::DefaultDataset() {
    TkvComponent* source = Report.Dataset;
    const TkvBand* band = kv::CurBand();
    if (band && CurPageBuilder && CurPageBuilder->Page.PageType == kvpt::Report) {
        int first = -1;
        switch (band->BandType()) {
        case kvbt::Title:
        case kvbt::Summary:
        case kvbt::PageHeader:
        case kvbt::PageFooter:
        case kvbt::MasterHeader:
        case kvbt::MasterData:
        case kvbt::MasterFooter:
        case kvbt::GroupHeader:
        case kvbt::GroupFooter:
            first = kvbt::MasterData;
            break;
        case kvbt::DetailData:
        case kvbt::DetailFooter:
            first = kvbt::DetailData;
            break;
        case kvbt::SubdetailData:
        case kvbt::SubdetailFooter:
            first = kvbt::SubdetailData;
            break;
        case kvbt::CrossData:
        case kvbt::CrossFooter:
            first = kvbt::CrossData;
            break;
        default:
            break;
        }
        if (first >= 0)
            if (TkvRunBand* data = CurPageBuilder->Band(first); data && data->DataSet) source = data->DataSet;
    }
    if (auto* db = dynamic_cast<TkvDBDataSet*>(source)) return &db->Underlying();
    return nullptr;
}

TkvReportBuilder::~TkvReportBuilder() = default;

// ---------------------------------------------------------------- evaluator

TkvVariant TkvReportBuilder::Evaluate(const QByteArray& expression) {
    return interpreter_->Parser().Evaluate(expression);
}
QByteArray TkvReportBuilder::ConvertToPostfix(const QByteArray& expression) {
    return interpreter_->Parser().ConvertToPostfix(expression);
}
TkvVariant TkvReportBuilder::EvaluatePostfix(const QByteArray& postfix) {
    return interpreter_->Parser().EvaluatePostfix(postfix);
}
TkvVariant TkvReportBuilder::EvaluateShown(const QByteArray& expression) {
    evaluationGuard_.clear();
    CurrentValue = int64_t(0);
    TkvVariant value = int64_t(0);
    ResolveName(expression, value);
    CurrentValue = value;
    return value;
}
void TkvReportBuilder::ExecuteScript(const TkvStringList& compiled, const QByteArray& owner) {
    if (!compiled.isEmpty()) interpreter_->Execute(compiled, owner);
}

void TkvReportBuilder::CompileScript(TkvStringList& lines, const QByteArray& owner) {
    if (lines.isEmpty()) return;
    TkvStringList errors;
    interpreter_->Compile(lines, lines, errors);
    if (!errors.isEmpty()) {
        TkvView* kept = kv::CurView();
        kv::CurView() = nullptr;
        Fail("Script of " + owner + ": " + errors.first());
        kv::CurView() = kept;
    }
}

// ---------------------------------------------------------------- names and functions

void TkvReportBuilder::ResolveName(const QByteArray& name, TkvVariant& value) {
    value = TkvVariant();
    if (Report.OnGetValue) {
        Report.OnGetValue(name, value);
        if (!value.isUnassigned()) return;
    }
    value = TkvVariant(int64_t(0));
    if (dictionary_->IsVariable(name)) {
        dictionary_->GetValue(name, value);
        return;
    }
    if (name == "VALUE") return void(value = CurrentValue);
    TkvPageBuilder* page = CurPageBuilder;
    TkvRunBand* band = CurRunBand;
    if (name == "PAGE#") {
        value = int64_t(CurrentPageNo + 1);
        return;
    }
    if (name == "DATE" || name == "TIME") {
        double day = 0;
        kv::EncodeDate(Start.date().year(), Start.date().month(), Start.date().day(), day);
        double time = 0;
        const QTime t = Start.time();
        kv::EncodeTime(t.hour(), t.minute(), t.second(), t.msec(), time);
        value = DateValue(name == "DATE" ? day : time);
        return;
    }
    if (name == "LINE#" || name == "LINETHROUGH#") {
        TkvRunBand* b = band;
        if (b && !b->DataSet)
            while (b->Prev) b = b->Prev;
        value = int64_t(!b ? 0 : name == "LINE#" ? b->LineNo : b->LineThroughNo);
        return;
    }
    if (name == "COLUMN#") {
        value = int64_t(page ? page->ColPos : 1);
        return;
    }
    if (name == "CURRENT#") {
        value = int64_t(page ? page->CurPos : 1);
        return;
    }
    if (name == "TOTALPAGES") {
        value = int64_t(ProgressTotal);
        return;
    }
    if (name == "REPORTCOMMENT") return void(value = Report.DocComment);
    if (name == "REPORTNAME") return void(value = Report.DocName);
    if (name == "REPORTAUTOR") return void(value = Report.DocAuthor);
    if (name == "VMAJOR") return void(value = Report.DocVersionMajor);
    if (name == "VMINOR") return void(value = Report.DocVersionMinor);
    if (name == "VRELEASE") return void(value = Report.DocVersionRelease);
    if (name == "VBUILD") return void(value = Report.DocVersionBuild);
    if (name == "REPORTDATE" || name == "REPORTLASTCHANGE") {
        const QDateTime when = name == "REPORTDATE" ? Report.DocCreated : Report.DocLastChange;
        double day = 0, time = 0;
        if (when.isValid()) {
            kv::EncodeDate(when.date().year(), when.date().month(), when.date().day(), day);
            kv::EncodeTime(when.time().hour(), when.time().minute(), when.time().second(), when.time().msec(),
                           time);
        }
        return void(value = DateValue(day + time));
    }
    if (name == "CALCWIDTH") {
        TkvView* view = kv::CurView();
        value = int64_t(0);
        if (!view || measuringWidth_) return;
        if (auto* memo = dynamic_cast<TkvMemoView*>(view)) {
            const TkvSetForScope<bool> measuring(measuringWidth_, true);
            value = int64_t(memo->CalcTextWidth());
        } else {
            value = int64_t(view->Width);
        }
        return;
    }
    if (Variables.Contains(name)) {
        value = Variables.GetVariable(name);
        return;
    }
    value = TkvVariant();
    if (name == "CURY") return void(value = int64_t(page ? page->CurY : 0));
    if (name == "FREESPACE") return void(value = int64_t(page ? page->CurBottomY - page->CurY : 0));
    if (name == "FINALPASS") return void(value = FinalPass);
    if (name == "PAGEHEIGHT") return void(value = int64_t(page ? page->CurBottomY : 0));
    if (name == "PAGEWIDTH") return void(value = int64_t(page ? page->RightEdge() : 0));
    if (!name.isEmpty()) {
        const kv::TkvObjectProperty p = kv::ResolveObjectProperty(name);
        if (p.Object && p.Object->FindProperty(p.PropName)) {
            p.Object->GetProperty(p.PropName, value);
            return;
        }
        TkvVariables constants;
        kv::FillConstantsList(constants);
        if (constants.Contains(name)) {
            value = constants.GetVariable(name);
            return;
        }
    }
    if (name != evaluationGuard_) {
        const QByteArray kept = evaluationGuard_;
        evaluationGuard_ = name;
        struct Guard {
            QByteArray& g;
            QByteArray kept;
            ~Guard() { g = kept; }
        } guard{evaluationGuard_, kept};
        value = Evaluate(name);
        return;
    }
    if (Aggregates.Discovering) {
        value = TkvVariant();
        return;
    }
    throw TkvExpressionError(kv::LoadLibraryText(55439).toStdString() + " \"" + name.toStdString() + "\"");
}

void TkvReportBuilder::ResolveFunction(const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2,
                                       const TkvVariant& p3, TkvVariant& value) {
    value = QByteArray("0");
    const QByteArray a1 = p1.toText();
    if (interpreter_->Standard.TryFunction(interpreter_->Context, name, p1, p2, p3, value) ||
        interpreter_->Database.TryFunction(interpreter_->Context, name, p1, p2, p3, value) ||
        kv::CallFunctionLibraries(interpreter_->Context, name, p1, p2, p3, value)) {
        // computed by a function library
    } else if (name == "STOPREPORT") {
        // Stops the whole build, also from a report of a composite's chain.
        cancelled_ = true;
        Report.CancelRequested = true;
        Master.CancelRequested = true;
    } else if (name == "NEWPAGE") {
        if (CurRunBand) ++CurRunBand->NewPageRequests;
    } else if (name == "NEWCOLUMN") {
        if (CurRunBand) ++CurRunBand->NewColumnRequests;
    } else if (name == "SHOWBAND") {
        if (CurPageBuilder) CurPageBuilder->ShowBandByName(a1.trimmed());
    } else if (name == "INC" || name == "DEC") {
        TkvVariant v;
        ResolveName(a1.trimmed().toUpper(), v);
        Assign(a1.trimmed(), TkvVariant(v.toInt() + (name == "INC" ? 1 : -1)));
    } else if ((name == "SETARRAY" || name == "GETARRAY") && a1.contains('.')) {
        // An element of an object's list property: Memo1.Lines[2] := 'x'.
        const kv::TkvObjectProperty p = kv::ResolveObjectProperty(a1.trimmed());
        if (p.Object) {
            const QByteArray prop = p.PropName.toUpper();
            const TkvVariant index = Evaluate(p2.toText());
            if (name == "SETARRAY") {
                TkvVariant unused;
                p.Object->CallMethod("SETINDEXPROPERTY", TkvVariant(prop), index, Evaluate(p3.toText()),
                                     unused);
            } else {
                value = TkvVariant();
                p.Object->CallMethod("GETINDEXPROPERTY", TkvVariant(prop), index, TkvVariant::Null(), value);
            }
        }
    } else if (name == "SETARRAY" || name == "GETARRAY") {
        const TkvVariant index = Evaluate(p2.toText());
        const QByteArray key = index.isText() ? index.toText() : QByteArray::number(index.toInt());
        const QByteArray var = "Arr_" + a1.trimmed() + "_" + key;
        if (name == "SETARRAY")
            Variables.SetVariable(var, Evaluate(p3.toText()));
        else
            value = Variables.Contains(var) ? Variables.GetVariable(var) : TkvVariant::Null();
    } else {
        const kv::TkvObjectProperty p = kv::ResolveObjectProperty(name);
        if (p.Object) p.Object->CallMethod(p.PropName.toUpper(), p1, p2, p3, value);
    }
    if (Report.OnUserFunction) Report.OnUserFunction(name, p1, p2, p3, value);
}

void TkvReportBuilder::Assign(const QByteArray& name, const TkvVariant& value) {
    if (name.toUpper() == "CURY") {
        if (CurPageBuilder) CurPageBuilder->CurY = int(value.toInt());
        if (CurRunBand) CurRunBand->CurYAssigned = true;
        return;
    }
    interpreter_->SetValue(name, value);
}

// ---------------------------------------------------------------- build state

TkvEMFPages& TkvReportBuilder::Store() { return Master.EMFPages; }

bool TkvReportBuilder::Stopped() const {
    return Master.CancelRequested || Master.Terminated || Report.CancelRequested || kv::ErrorFlag();
}

void TkvReportBuilder::Fail(const QByteArray& message) {
    if (kv::ErrorFlag()) return; // the first failure is the one reported
    kv::SetBuildError(message);
    Report.CancelRequested = true;
    Master.CancelRequested = true;
}

void TkvReportBuilder::ReportProgress(int pageNo) {
    if (Master.OnProgress) {
        Master.OnProgress(pageNo);
    } else if (Host && Master.ShowProgress) {
        // "Performing 1st pass:  3" while pages are counted, "Processing page:  3 from 10" in the
        // pass that knows the total.
        QByteArray text = kv::LoadLibraryText(FirstPass ? 55204 : 55205) + "  " + QByteArray::number(pageNo);
        if (DoublePass && FinalPass)
            text += ' ' + kv::LoadLibraryText(55199) + ' ' + QByteArray::number(ProgressTotal);
        Host->ShowProgress(text);
    }
    if (Progress && !Progress(pageNo)) {
        cancelled_ = true;
        Master.CancelRequested = true;
    }
}

void TkvReportBuilder::AddPage(TkvPageBuilder& page) {
    if (Store().Count() >= MaxPages) {
        TkvView* kept = kv::CurView();
        kv::CurView() = nullptr;
        Fail("The report has more than " + QByteArray::number(MaxPages) +
             " pages; the build was stopped (a band that never ends, or raise the page limit)");
        kv::CurView() = kept;
        return;
    }
    Store().AddPage(page.Page, CurrentPageNo);
}

TkvPageBuilder* TkvReportBuilder::SubReportPage(int pageIndex) const {
    if (pageIndex < 0 || pageIndex >= Report.PageCount()) return nullptr;
    const TkvPage* page = Report.Page(pageIndex);
    for (const auto& pb : pages_)
        if (&pb->Page == page) return pb.get();
    return nullptr;
}

void TkvReportBuilder::PrintObject(TkvView& view) {
    const int n = Store().Count();
    if (CurrentPageNo < 0 || CurrentPageNo >= n) throw TkvError("An object was printed outside the prepared pages");
    TkvMemoryStream& s = Store().PageInfo(CurrentPageNo).Packed;
    s.Seek(s.Size());
    kv::StreamVersion = kv::CurrentStreamVersion;
    // A text's parts are not the text printed yet; SplitPrint tells of its last part. (Printing
    // sets the phase back, so it is read first.)
    const auto* part = dynamic_cast<const TkvStretcheable*>(&view);
    const bool splitPart = part && part->PrintPhase == kvpp::SplitPart;
    view.PrintToStream(s);
    if (!splitPart) NotifyPrinted(view);
}

void TkvReportBuilder::NotifyPrinted(TkvView& printed) {
    if (printed.ObjectType != kvvt::Text) return;
    for (TkvView* v : NotifyList)
        v->ViewPrinted(&printed);
}

// ---------------------------------------------------------------- passes

namespace {

// Whether two pages are printed on different paper: a report of a composite's chain continues on
// the previous report's last page only on the same paper.
bool OtherPaper(int paperSize, int width, int height, int orientation, const TkvPage& next) {
    if (orientation != next.Orientation || paperSize != next.PaperSize) return true;
    return paperSize == 256 && (width != next.PaperWidth || height != next.PaperHeight);
}

// Reloads a template copy in the middle of a build: loading resets the library's current objects
// and error state, which belong to the build.
void ReloadDuringBuild(TkvReport& report, const QByteArray& copy) {
    const TkvCurrentObjects kept = kv::Library().Current;
    report.LoadFromMemory(copy);
    kv::Library().Current = kept;
    kv::CurPage() = nullptr;
    kv::CurBand() = nullptr;
    kv::CurView() = nullptr;
}

// The main data source of a report built once per record, or of a composite report: opened at the
// first record for the pass, released when the pass ends however it ends.
class TkvMainDatasetUse {
public:
    explicit TkvMainDatasetUse(TkvDataset* dataset) : dataset_(dataset) {
        if (!dataset_) return;
        dataset_->Init();
        dataset_->First();
    }
    ~TkvMainDatasetUse() {
        if (!dataset_) return;
        try {
            dataset_->Exit();
        } catch (const std::exception&) {
            // Releasing the data source cannot fail the build.
        }
    }
    TkvMainDatasetUse(const TkvMainDatasetUse&) = delete;
    TkvMainDatasetUse& operator=(const TkvMainDatasetUse&) = delete;

private:
    TkvDataset* dataset_;
};

} // namespace

void TkvReportBuilder::ReleasePages() {
    pages_.clear();
    CurPageBuilder = nullptr;
    CurRunBand = nullptr;
}

void TkvReportBuilder::TakePassState(const TkvReportBuilder& from) {
    CurrentPageNo = from.CurrentPageNo;
    ProgressTotal = from.ProgressTotal;
    AppendToPrevious = from.AppendToPrevious;
    LastFootersDone = from.LastFootersDone;
    SavedCurY = from.SavedCurY;
    SavedBottomY = from.SavedBottomY;
    FinalPass = from.FinalPass;
    FirstPass = from.FirstPass;
    DoublePass = from.DoublePass;
    NextReportContinues = from.NextReportContinues;
    Variables = from.Variables;
    cancelled_ = cancelled_ || from.cancelled_;
    dialogCancelled_ = dialogCancelled_ || from.dialogCancelled_;
}

void TkvReportBuilder::RunPageScript(TkvPage& page) {
    if (page.Script.isEmpty()) return;
    TkvStringList compiled = page.Script;
    kv::CurView() = nullptr;
    CompileScript(compiled, page.Name);
    if (Stopped()) return;
    try {
        ExecuteScript(compiled, page.Name);
    } catch (const std::exception& e) {
        Fail(e.what());
    }
}

bool TkvReportBuilder::ShowDialogPages() {
    for (const auto& p : Report.Pages) {
        if (p->PageType != kvpt::Dialog || Stopped()) continue;
        TkvPage& page = *p;
        kv::CurPage() = &page;
        TkvDialogPage dialog{page, {}, {}};
        for (const auto& o : page.Objects) {
            auto* control = dynamic_cast<TkvControl*>(o.get());
            if (!control) continue;
            control->OwnerPage = &page;
            if (dynamic_cast<TkvNonVisualControl*>(control)) {
                if (Report.OnCustomizeObject) Report.OnCustomizeObject(control);
            } else {
                dialog.Controls.push_back(control);
                if (control->Control) control->Control->SetVisible(control->Visible != 0);
            }
        }
        modalResult_ = 0;
        dialog.Activate = [this, &page] {
            RunPageScript(page);
            return modalResult_;
        };
        // Without a host, or without anything to show, only the script runs: the controls keep
        // their defaults. A Cancel the script sets itself still counts.
        const int result = !dialog.Controls.empty() && page.PageVisible && Dialogs ? Dialogs->ShowDialog(dialog)
                                                                                  : dialog.Activate();
        kv::CurPage() = nullptr;
        if (Stopped()) return false;
        if (result == kv::mrCancel) {
            dialogCancelled_ = true;
            Master.CancelRequested = true;
            return false;
        }
    }
    return true;
}

void TkvReportBuilder::ResetPassState() {
    CurrentPageNo = 0;
    AppendToPrevious = false;
    LastFootersDone = false;
    SavedCurY = SavedBottomY = 0;
    NextReportContinues = false;
    CurPageBuilder = nullptr;
    CurRunBand = nullptr;
    // The page builders restart (data, line numbers, aggregates) when their pass begins.
    for (auto& [report, part] : parts_) part->ResetPassState();
}

bool TkvReportBuilder::BuildPass() {
    TkvReport& r = Report;
    r.Rebuildable = true;
    const TkvSetForScope<TkvReport*> current(kv::CurReport(), &r);
    const TkvSetForScope<TkvExpressionEvaluator*> evaluator(r.Evaluator, this);
    dictionary_->ClearCache();
    const bool multiple = r.Dataset && r.ReportType == TkvReportType::rtMultiple;
    TkvDataset* main = multiple ? dynamic_cast<TkvDataset*>(r.Dataset) : nullptr;
    const TkvMainDatasetUse mainUse(main);
    const bool reuse = !pages_.empty();
    // Dialog pages are shown once per build (not again in the final pass).
    if (!reuse && !(DoublePass && FinalPass) && !ShowDialogPages()) return false;
    if (!reuse) {
        const TkvSubReportPages subReports = FindSubReportPages(r);
        if (!subReports.Error.isEmpty()) {
            kv::CurView() = subReports.ErrorObject;
            Fail(subReports.Error);
            return false;
        }
        NotifyList.clear();
        for (int i = 0; i < r.PageCount(); ++i)
            if (TkvPage* p = r.Page(i); p->PageType == kvpt::Report) {
                pages_.push_back(std::make_unique<TkvPageBuilder>(*this, *p));
                pages_.back()->IsSubReport = subReports.IsSubReport[size_t(i)];
                kv::CurPage() = p;
                CurPageBuilder = pages_.back().get();
                try {
                    pages_.back()->StartPageBuild();
                } catch (const std::exception& e) {
                    Fail(e.what());
                }
                if (Stopped()) return false;
            }
        for (auto& pb : pages_) {
            kv::CurPage() = &pb->Page;
            CurPageBuilder = pb.get();
            try {
                pb->BindObjects();
            } catch (const std::exception& e) {
                Fail(e.what());
            }
        }
    }
    if (reuse)
        for (auto& pb : pages_) pb->RestartPass();
    int guard = 0;
    do {
        ReportProgress(CurrentPageNo + 1);
        for (size_t i = 0; i < pages_.size() && !Stopped(); ++i) {
            TkvPageBuilder& pb = *pages_[i];
            kv::CurPage() = &pb.Page;
            CurPageBuilder = &pb;
            // An invisible page's script runs all the same and may make the page visible.
            if (!pb.Page.PageVisible) {
                RunPageScript(pb.Page);
                if (!pb.Page.PageVisible || Stopped()) continue;
            }
            if (pb.IsSubReport) continue;
            pb.BuildPages();
            AppendToPrevious = false;
            // The next design page, or after the last one the next report of a composite, continues
            // on this page's last prepared page.
            const bool nextContinues = i + 1 < pages_.size() ? pages_[i + 1]->Page.PrintToPrevPage != 0
                                                             : NextReportContinues && (!main || main->Eof());
            if (nextContinues) {
                CurrentPageNo -= 1;
                AppendToPrevious = true;
            } else {
                CurrentPageNo = Store().Count();
            }
        }
        if (main) main->Next();
    } while (main && !Stopped() && !main->Eof() && ++guard < MaxPages);
    return !Stopped();
}

void TkvReportBuilder::CompositePass(TkvCompositeReport& c) {
    c.Rebuildable = true;
    CurrentPageNo = 0;
    TkvDataset* main = c.Dataset ? dynamic_cast<TkvDataset*>(c.Dataset) : nullptr;
    const TkvMainDatasetUse mainUse(main);
    int guard = 0;
    do {
        for (size_t i = 0; i < c.Reports.size() && !Stopped(); ++i) {
            TkvReport* s = c.Reports[i];
            if (!s) continue;
            NextReportContinues = false;
            TkvReport* n = i + 1 < c.Reports.size() ? c.Reports[i + 1] : nullptr;
            if (n && n->PageCount() > 0) {
                const TkvPage& first = *n->Page(0);
                NextReportContinues = first.PrintToPrevPage != 0;
                if (Store().Count() > 0) {
                    const PreparedPageInfo& last = Store().PageInfo(Store().Count() - 1);
                    if (OtherPaper(last.PaperSize, last.PaperWidth, last.PaperHeight, last.Orientation, first))
                        NextReportContinues = false;
                } else if (s->PageCount() > 0) {
                    const TkvPage& last = *s->Page(s->PageCount() - 1);
                    if (OtherPaper(last.PaperSize, last.PaperWidth, last.PaperHeight, last.Orientation, first))
                        NextReportContinues = false;
                }
            }
            TkvReportBuilder* part = nullptr;
            for (auto& [report, builder] : parts_)
                if (report == s) part = builder.get();
            if (!part) {
                parts_.emplace_back(s, std::unique_ptr<TkvReportBuilder>(new TkvReportBuilder(*s, *this)));
                part = parts_.back().second.get();
            }
            // Per record every report starts from its template again.
            const QByteArray copy = main ? s->SaveToMemory() : QByteArray();
            part->TakePassState(*this);
            part->BuildPass();
            TakePassState(*part);
            if (main) {
                part->ReleasePages();
                ReloadDuringBuild(*s, copy);
            }
            AppendToPrevious = NextReportContinues;
            NextReportContinues = false;
        }
        if (main) main->Next();
    } while (main && !Stopped() && !main->Eof() && ++guard < MaxPages);
}

void TkvReportBuilder::RunPass() {
    if (composite_)
        CompositePass(*composite_);
    else
        BuildPass();
}

TkvBuildResult TkvReportBuilder::BuildDocument() {
    TkvBuildResult result;
    TkvReport& r = Report;
    composite_ = dynamic_cast<TkvCompositeReport*>(&r);
    std::vector<TkvReport*> chain;
    if (composite_) {
        for (TkvReport* s : composite_->Reports)
            if (s && std::find(chain.begin(), chain.end(), s) == chain.end()) chain.push_back(s);
        for (TkvReport* s : chain)
            if (s == &r || dynamic_cast<TkvCompositeReport*>(s)) {
                result.ErrorText = "A composite report cannot hold itself or another composite report";
                return result;
            }
    }
    Start = QDateTime::currentDateTime();
    // The build's current objects and flags are its own; whatever was current comes back after.
    TkvCurrentObjects start;
    start.DocumentMode = 1;
    start.MasterReport = start.CurReport = &r;
    const TkvCurrentObjectsScope objects(start);
    const TkvSetForScope<TkvExpressionEvaluator*> evaluator(r.Evaluator, this);
    const TkvSetForScope<std::function<std::unique_ptr<TkvComponent>(int32_t)>> counted(
        kv::Library().CountDatasetFactory, [](int32_t count) -> std::unique_ptr<TkvComponent> {
            auto d = std::make_unique<TkvUserDataset>("");
            d->RangeEnd = TRangeEnd::reCount;
            d->RangeEndCount = count;
            return d;
        });
    kv::ErrorFlag() = false;
    kv::ErrorText().clear();
    r.CancelRequested = false;
    r.Terminated = false;
    cancelled_ = false;
    dialogCancelled_ = false;
    r.SelectPrinterByName(r.PrinterName);
    for (TkvReport* s : chain) s->CancelRequested = s->Terminated = false;

    // The template copies: whatever scripts change in the design objects is undone after the build.
    const QByteArray saved = composite_ ? QByteArray() : r.SaveToMemory();
    std::vector<QByteArray> savedChain;
    DoublePass = r.DoublePassReport != 0;
    const auto passes = [&] {
        try {
            for (TkvReport* s : chain) {
                savedChain.push_back(s->SaveToMemory());
                if (s->OnBeginDoc) s->OnBeginDoc();
            }
            if (r.OnBeginDoc) r.OnBeginDoc();
            r.EMFPages.Clear();
            CurrentPageNo = 0;
            AppendToPrevious = false;
            ProgressTotal = 0;
            if (DoublePass) {
                FirstPass = true;
                FinalPass = false;
                kv::FirstPassActive() = 1;
                RunPass();
                ProgressTotal = r.EMFPages.Count();
                kv::FirstPassActive() = 0;
                FirstPass = false;
                r.EMFPages.Clear();
                if (!Stopped()) {
                    // The final pass starts where the first did; only the page count is new.
                    ResetPassState();
                    FinalPass = true;
                    RunPass();
                }
            } else {
                FinalPass = true;
                RunPass();
            }
            FinalPass = false;
            if (r.OnEndDoc) r.OnEndDoc();
        } catch (const std::exception& e) {
            Fail(e.what());
        }
    };
    if (Host && r.ShowProgress && !r.OnProgress) {
        QByteArray caption = kv::LoadLibraryText(55203);
        if (!r.Title.isEmpty()) caption += " - " + r.Title;
        Host->RunBuild(r, caption, passes);
    } else {
        passes();
    }
    FinalPass = false;
    kv::FirstPassActive() = 0;
    ReleasePages();
    for (auto& [report, part] : parts_) part->ReleasePages();
    kv::CurView() = nullptr;
    kv::CurBand() = nullptr;
    kv::CurPage() = nullptr;
    const bool failed = kv::ErrorFlag();
    const QByteArray errorText = kv::ErrorText();
    const bool stopped = r.CancelRequested;
    // Undo whatever scripts changed in the design objects (reading clears the error state).
    for (size_t i = 0; i < chain.size(); ++i) {
        if (chain[i]->OnEndDoc) chain[i]->OnEndDoc();
        if (i < savedChain.size()) chain[i]->LoadFromMemory(savedChain[i]);
    }
    parts_.clear();
    if (!composite_) r.LoadFromMemory(saved);

    result.Cancelled = !failed && (cancelled_ || stopped);
    if (failed) {
        result.ErrorText = errorText;
        r.EMFPages.Clear();
    } else if (dialogCancelled_) {
        result.DialogCancelled = true;
        r.EMFPages.Clear();
    }
    for (TkvReport* s : chain) s->CancelRequested = s->Terminated = false;
    r.CancelRequested = false;
    r.Terminated = false;
    kv::ErrorFlag() = false;
    result.Ok = result.ErrorText.isEmpty() && !result.Cancelled;
    result.PageCount = r.EMFPages.Count();
    composite_ = nullptr;
    return result;
}
