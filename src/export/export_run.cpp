#include "export/export_run.h"

#include "base/save_file_stream.h"
#include "core/globals.h"
#include "core/report/report.h"
#include "export/export_filter.h"

namespace kv {

namespace {

// Everything an export changes outside the filter is put back when it ends, however it ends.
struct ExportScope {
    TkvReport& report;
    TkvExportFilter& filter;
    TkvPreviewHost* preview = nullptr;
    // The current report and mode are the export's while it runs; whatever was current before
    // (a preview, another export) gets them back.
    TkvReport* curReport = CurReport();
    TkvReport* masterReport = MasterReport();
    uint8_t documentMode = DocumentMode();

    ExportScope(TkvReport& r, TkvExportFilter& f) : report(r), filter(f) {
        DocumentMode() = 1;
        // An embedded preview holds the pages while it shows them; the export needs them back.
        if (report.EMFPages.Count() == 0 && report.Preview) {
            preview = report.Preview;
            preview->DetachReport();
        }
    }
    ~ExportScope() {
        filter.Stream = nullptr;
        filter.Report = nullptr;
        filter.Progress = nullptr;
        filter.PageIndex = -1;
        DocumentMode() = documentMode;
        CurReport() = curReport;
        MasterReport() = masterReport;
        if (preview) preview->AttachReport(&report);
    }
};

} // namespace

TkvExportResult ExportWithFilter(TkvReport& report, TkvExportFilter& filter, const QString& fileName,
                                 TkvExportProgress* progress) {
    TkvExportResult result;
    ExportScope scope(report, filter);
    filter.FileName = fileName;
    filter.Report = &report; // the options dialog checks a page range against the report's pages
    bool proceed = true;
    if (filter.OnBeforeExport) filter.OnBeforeExport(filter.FileName, proceed);
    result.FileName = filter.FileName;
    if (!proceed || filter.ShowOptionsDialog() != kvmr::Ok) {
        result.Outcome = TkvExportOutcome::Declined;
        return result;
    }
    if (filter.FileName.isEmpty()) {
        result.Outcome = TkvExportOutcome::Failed;
        result.Message = QStringLiteral("No file name was given for the export.");
        return result;
    }
    result.FileName = filter.FileName;

    TkvExportProgress quiet;
    TkvExportProgress& shown = progress ? *progress : quiet;
    report.CancelRequested = false;
    CurReport() = MasterReport() = &report;
    try {
        TkvSaveFileStream out(filter.FileName);
        filter.Stream = &out;
        filter.Report = &report;
        filter.Progress = &shown;
        filter.BeginDocument();
        std::vector<int> pages;
        const int count = report.EMFPages.Count();
        for (int n : filter.PageList)
            if (n >= 1 && n <= count && (pages.empty() || n > pages.back())) pages.push_back(n);
        if (filter.PageList.empty())
            for (int n = 1; n <= count; ++n) pages.push_back(n);
        if (pages.empty() && count > 0) {
            result.Outcome = TkvExportOutcome::Failed;
            result.Message = QStringLiteral("The page list selects no page of the report.");
            return result;
        }
        shown.Run(report, [&] {
            for (int n : pages) {
                if (report.CancelRequested) break;
                filter.PageIndex = n - 1;
                filter.BeginPage();
                report.EMFPages.ExportPage(n - 1, filter);
                filter.EndPage();
                ++result.Pages;
                shown.PageDone(report, n, count);
            }
        });
        if (!report.CancelRequested) filter.EndDocument();
        if (report.CancelRequested) {
            filter.ClearLines();
            result.Outcome = TkvExportOutcome::Cancelled;
            result.Message = QStringLiteral("The export was cancelled; no file was written.");
            return result; // the temporary file goes with `out`
        }
        filter.ClearLines();
        filter.Stream = nullptr;
        out.Commit();
    } catch (const std::exception& e) {
        filter.ClearLines();
        result.Outcome = TkvExportOutcome::Failed;
        result.Message = QString::fromUtf8(e.what());
        return result;
    }
    if (filter.OnAfterExport) filter.OnAfterExport(filter.FileName);
    return result;
}

} // namespace kv
