#pragma once
// Running an export: the report's prepared pages through one filter into one file.

#include <QString>
#include <functional>

class TkvReport;
class TkvExportFilter;

// What an export shows while it runs. The default shows nothing; the viewer runs the page loop in
// its progress window, kvtool writes to a terminal.
class TkvExportProgress {
public:
    virtual ~TkvExportProgress() = default;
    // Runs the page loop (a window runs it inside itself; Cancel sets the report's CancelRequested).
    virtual void Run(TkvReport& report, const std::function<void()>& work) { work(); }
    // After page pageNo (1-based) of pageCount.
    virtual void PageDone(TkvReport& report, int pageNo, int pageCount) {}
    // A later phase of a filter that writes after the page loop (the layout matrix, the table rows):
    // `steps` ticks follow.
    virtual void StartPhase(const QString& message, int steps) {}
    virtual void Tick() {}
};

enum class TkvExportOutcome {
    Exported,
    Declined,  // OnBeforeExport or the options dialog said no; nothing was written
    Cancelled, // the user cancelled; nothing was written
    Failed,    // an error; nothing was written
};

struct TkvExportResult {
    TkvExportOutcome Outcome = TkvExportOutcome::Exported;
    QString FileName; // the file written (OnBeforeExport may have renamed it)
    int Pages = 0;    // pages exported
    QString Message;  // for the user, when not exported: one sentence

    bool Ok() const { return Outcome == TkvExportOutcome::Exported; }
};

namespace kv {

// Exports the prepared pages of the report (every page, or those of the filter's PageList) through
// the filter into fileName: OnBeforeExport (may
// rename or veto), the options dialog, then BeginDocument, per page BeginPage, the page's objects,
// EndPage, then EndDocument and OnAfterExport. The file is written beside the target under a
// temporary name and replaces the target only when the export is complete: a cancelled or failed
// export leaves no file and no change. CancelRequested is cleared when the export starts and
// checked after every page. An embedded preview gives the pages back for the time of the export.
TkvExportResult ExportWithFilter(TkvReport& report, TkvExportFilter& filter, const QString& fileName,
                                 TkvExportProgress* progress = nullptr);

} // namespace kv
