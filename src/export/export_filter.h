#pragma once
// The base of export filters. ExportWithFilter (export_run.h) drives a filter page by page: it
// opens the output, calls the document and page hooks and lets every object of every page hand
// itself over (TkvExportTarget); text objects also hand over each printed line, which filters that
// lay text out by lines collect into the line slots. A filter registers itself in the export filter
// registry from its constructor (the concrete class decides the entry) and leaves it when destroyed.
//
// All state of one export lives in the filter object, so two exports in one process, one after the
// other or through two filters, never see each other's pages.

#include "base/stream.h"
#include "core/object.h"
#include "core/views/export_target.h"

#include <QString>
#include <functional>
#include <vector>

class TkvReport;
class TkvExportProgress;

// Modal results of options dialogs.
namespace kvmr {
constexpr int Ok = 1;
constexpr int Cancel = 2;
} // namespace kvmr

// One piece of text on one text line.
struct TkvTextRec {
    int32_t X = 0; // page units; for a right-aligned memo line the right edge of the memo
    QByteArray Text;
    QByteArray FontName = "Arial"; // at most 32 characters
    int32_t FontSize = 10;
    int32_t FontStyle = 0;
    uint32_t FontColor = 0;
    int32_t FontCharset = 1;
    uint32_t FillColor = 0x1FFFFFFF;
    TkvRect DrawRect;
    int32_t FrameTyp = 0;
    int32_t Alignment = 0;
};

class TkvExportFilter : public TkvObject, public TkvExportTarget {
public:
    TkvExportFilter() = default;
    // Leaves the registry.
    ~TkvExportFilter() override;
    TkvExportFilter(const TkvExportFilter&) = delete;
    TkvExportFilter& operator=(const TkvExportFilter&) = delete;
    const char* ClassName() const override { return "TkvExportFilter"; }

    QString FileName;          // the target, set by ExportWithFilter
    TkvStream* Stream = nullptr; // the output while an export runs (not owned)
    TkvReport* Report = nullptr; // the report being exported while an export runs (not owned)
    TkvExportProgress* Progress = nullptr; // progress display of the running export, or none
    // The prepared page being exported (0-based in the report's store), set by ExportWithFilter
    // before BeginPage and kept until the next page; -1 outside the page loop.
    int PageIndex = -1;
    // Text line slots: each slot holds the pieces of one text line sorted by X.
    std::vector<std::vector<TkvTextRec>> Lines;

    // The pages to export, 1-based and ascending; empty: every page. Options dialogs with a page
    // range fill it; ExportWithFilter walks only these pages.
    std::vector<int> PageList;

    bool ShowDialog = true; // show the options dialog before exporting
    bool Default = false;   // preselected in the save dialog
    // May change the target name and veto the export.
    std::function<void(QString& fileName, bool& proceed)> OnBeforeExport;
    // Told the name of the file written, after a successful export.
    std::function<void(const QString& fileName)> OnAfterExport;
    // The options dialog of this filter object, installed by the window that owns it (the writers
    // link no widgets). Returns a modal result.
    std::function<int(TkvExportFilter&)> OptionsDialog;

    virtual void ClearLines();
    // With ShowDialog and an installed dialog, the dialog's result; else kvmr::Ok.
    virtual int ShowOptionsDialog();
    virtual void BeginDocument() {}
    // After the last page of an export that was not cancelled: the last chance to write.
    virtual void EndDocument() {}
    virtual void BeginPage() {}
    virtual void EndPage() {}
    void ExportObject(int x, int y, TkvView& view) override {}
    void ExportTextLine(const TkvRect& drawRect, int x, int y, const QByteArray& text, uint16_t frameSides,
                        TkvView& view) override {}

protected:
    void Write(const QByteArray& bytes) {
        if (Stream) Stream->WriteBytes(bytes);
    }
};
