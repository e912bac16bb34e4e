#pragma once
// Turns a report's template plus data into prepared pages: BuildDocument keeps a copy of the
// template, runs one pass (or two when the report counts its pages first, so that TOTALPAGES is
// known), and restores the template afterwards so that whatever scripts changed is undone. It is
// also the evaluator of the report's expressions and scripts while it builds: names resolve to
// dictionary variables and fields, system variables, script variables, object properties and
// constants (ResolveName); functions to the report functions and object methods (ResolveFunction).
//
// Every failure inside a build (expression, script, data source, a band that cannot be placed,
// the page limit) ends it with the build error naming the report and object; the store is then
// left empty. One builder builds one report at a time on the calling thread.
//
// A composite report (TkvCompositeReport) is built by the same builder: each report of its chain
// gets a builder of its own for the build (its pages, bands, dictionary and events), while the
// pass state (page numbers, where the last page ended, the stop request) and the store are the
// composite's.

#include "base/expression_evaluator.h"
#include "base/variables.h"
#include "script/aggregates.h"

#include <QDateTime>
#include <functional>
#include <memory>
#include <vector>

class TkvReport;
class TkvCompositeReport;
class TkvEMFPages;
class TkvPageBuilder;
class TkvRunBand;
class TkvPage;
class TkvView;
class TkvComponent;
class TkvBuildHost;
class TkvDialogHost;

struct TkvBuildResult {
    bool Ok = false;         // pages were built (false after an error, a cancel or STOPREPORT)
    bool Cancelled = false;  // stopped by Progress or STOPREPORT
    bool DialogCancelled = false; // a dialog page was cancelled: no pages were built
    QByteArray ErrorText;    // the build error, lines separated by CR; empty without one
    int PageCount = 0;
};

class TkvReportBuilder : public TkvExpressionEvaluator {
public:
    // The report is borrowed for the builder's life.
    explicit TkvReportBuilder(TkvReport& report, const TkvFormatSettings& settings = TkvFormatSettings::System());
    ~TkvReportBuilder() override;

    // Builds the report's pages into its store (a composite report: the pages of its chain), in
    // one pass or two, and restores the template(s) afterwards.
    TkvBuildResult BuildDocument();

    // Called with 1 as each pass starts and with the number of each further page once it is
    // started; returning false cancels the build (the pages so far stay in a single or final pass).
    std::function<bool(int pageNo)> Progress;
    // The program's progress window (borrowed; none: no window). Used when the report's
    // ShowProgress is set and it has no OnProgress handler, which replaces the window.
    TkvBuildHost* Host = nullptr;
    // Shows the report's dialog pages (borrowed; none: their scripts run, nothing is shown).
    TkvDialogHost* Dialogs = nullptr;
    // Builds stop with an error beyond this many prepared pages.
    int MaxPages = 100000;
    // Variables set with --var and by scripts (compared without regard to case).
    TkvVariables Variables;
    // The aggregates of the build (discovery before forming, then accumulation and reset).
    TkvAggregates Aggregates;

    // --- evaluator of the report's objects
    TkvVariant Evaluate(const QByteArray& expression) override;
    QByteArray ConvertToPostfix(const QByteArray& expression) override;
    TkvVariant EvaluatePostfix(const QByteArray& postfix) override;
    // A shown expression is first looked up whole as a name; its value becomes VALUE.
    TkvVariant EvaluateShown(const QByteArray& expression) override;
    const TkvFormatSettings& FormatSettings() const override { return *settings_; }
    bool CollectingAggregates() const override { return Aggregates.Discovering; }
    void ExecuteScript(const TkvStringList& compiled, const QByteArray& owner) override;
    // Compiles a script in place; errors become the build error naming `owner`.
    void CompileScript(TkvStringList& lines, const QByteArray& owner);

    void ResolveName(const QByteArray& name, TkvVariant& value);
    // Where a field name without its dataset is looked up: the record set of the data source of
    // the first data band that the current band's type belongs to (the report's Dataset outside
    // bands, for other band types, or when that band has no source); null when that source is
    // no database dataset.
    TkvComponent* DefaultDataset();
    void ResolveFunction(const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2, const TkvVariant& p3,
                         TkvVariant& value);
    void Assign(const QByteArray& name, const TkvVariant& value);

    // --- state of the build, used by the page builders and bands
    // The report whose pages are being built: the one given, or a report of a composite's chain.
    TkvReport& Report;
    // The report whose store receives the pages and whose stop request ends the build: the one
    // given to BuildDocument (MasterReport), also while a composite builds its chain.
    TkvReport& Master;
    TkvEMFPages& Store();
    int CurrentPageNo = 0;
    int ProgressTotal = 0;
    bool AppendToPrevious = false;
    bool LastFootersDone = false;
    int SavedCurY = 0, SavedBottomY = 0;
    bool FinalPass = false;
    bool FirstPass = false; // the first of two passes: pages are counted, objects only run scripts
    bool DoublePass = false; // the build runs two passes
    // Set by a composite before one of its reports is built: that report's last page is continued
    // by the next report.
    bool NextReportContinues = false;
    QDateTime Start;
    // The value of the expression last shown (VALUE).
    TkvVariant CurrentValue = int64_t(0);
    TkvPageBuilder* CurPageBuilder = nullptr;
    // Views with the notify bit, told of every text object printed whole or as its last part.
    std::vector<TkvView*> NotifyList;
    void NotifyPrinted(TkvView& printed);
    TkvRunBand* CurRunBand = nullptr;

    // Whether the build must stop (error, cancel, STOPREPORT).
    bool Stopped() const;
    // Adds a prepared page for the design page; raises past MaxPages.
    void AddPage(TkvPageBuilder& page);
    // The builder of the report page with that index (from 0), or none when it is not a report page.
    TkvPageBuilder* SubReportPage(int pageIndex) const;
    // Writes an object into the current prepared page.
    void PrintObject(class TkvView& view);
    // The failure of an object or band becomes the build error.
    void Fail(const QByteArray& message);
    void ReportProgress(int pageNo);

private:
    // A builder for one report of a composite's chain, sharing the composite builder's settings.
    TkvReportBuilder(TkvReport& report, TkvReportBuilder& master);
    // One pass over the report (once per record of its Dataset for rtMultiple).
    bool BuildPass();
    // One pass over a composite's chain.
    void CompositePass(TkvCompositeReport& composite);
    // The pass of Master: its own, or its chain's.
    void RunPass();
    // Copies the pass state (page numbers, positions, variables) from `from` before a report of a
    // composite's chain is built, and back after it.
    void TakePassState(const TkvReportBuilder& from);
    // Releases the page builders (before the template they refer to is reloaded).
    void ReleasePages();
    // Resets everything one pass leaves behind, so that the final pass starts as the first did.
    void ResetPassState();
    // The dialog pages in page order; false when one was cancelled (or the build failed).
    bool ShowDialogPages();
    // Runs a page's script (compiled afresh) with no current view; failures become the build error.
    void RunPageScript(TkvPage& page);

    TkvCompositeReport* composite_ = nullptr;
    // The builders of the reports of a composite's chain, one per distinct report.
    std::vector<std::pair<TkvReport*, std::unique_ptr<TkvReportBuilder>>> parts_;
    class Interpreter;
    std::unique_ptr<Interpreter> interpreter_;
    std::vector<std::unique_ptr<TkvPageBuilder>> pages_;
    const TkvFormatSettings* settings_;
    std::unique_ptr<class TkvDictionaryLookup> dictionary_;
    void InstallDefaultDataset();

    QByteArray evaluationGuard_;
    bool measuringWidth_ = false; // CALCWIDTH runs: a text measured inside it reads 0
    bool cancelled_ = false;
    bool dialogCancelled_ = false;
    int modalResult_ = 0; // MODALRESULT set by the script of the dialog page being shown
};
