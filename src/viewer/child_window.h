#pragma once
// One document window of the viewer: a report bound to an embedded preview, loading one
// prepared report file and handing every other command to the preview or the report.

#include "viewer/document_memory.h"
#include "viewer/template_request.h"
#include "viewer/viewer_document.h"

#include <QWidget>
#include <memory>
#include <vector>

class TkvPreview;
class TkvReport;
class TkvExportFilter;

class TfrmChild : public QWidget, public IViewerDocument {
public:
    explicit TfrmChild(QWidget* parent = nullptr);
    ~TfrmChild() override;

    // Load and close always; save, print and find with pages; edit only where a page editor exists.
    uint8_t Capabilities() const override;
    void Prepare() override;
    // Runs the open dialog. A failed load raises one sentence naming the file.
    bool OpenWithDialog() override;
    // Loads the named file; false when it failed (LastError says why). Pages read before a failure
    // stay shown; with none the window shows nothing of an earlier report. A template (.kvf, or a
    // template request with its options) is built into the window's report; a build the user
    // cancelled fails without an error (OpenCancelled).
    bool OpenFile(const QString& fileName) override;
    bool OpenCancelled() const override { return cancelled_; }
    bool SaveAs() override;
    void Find() override;
    void FindNext() override;
    void Print() override;
    void Edit() override;
    void Close() override;

    int PageCount() const override;
    int CurrentPage() const override;
    void GoToPage(int page) override;
    double ZoomPercent() const override;
    void SetZoomPercent(double percent) override;
    void ZoomBySteps(int steps) override;
    void FitZoom(int mode) override;
    QString FileName() const override { return fileName_; }
    // The zoom's fit mode (1 page width, 2 whole page, 3 two pages) or 0 for a fixed zoom.
    int FitMode() const;
    QString LastError() const override { return lastError_; }
    void SetMessageSink(std::function<void(const QString&)> sink) override { messageSink_ = std::move(sink); }

    TkvPreview& Preview() const { return *preview_; }
    TkvReport& Report() const { return *report_; }
    bool Loaded() const { return loaded_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    // Loads the file into the report and shows what was read. False on failure, with lastError_ set.
    bool LoadAndShow(const QString& fileName);
    bool BuildAndShow(const TkvTemplateRequest& request);
    void RestoreView(const kv::RememberedView& view);
    // Scrolls the page area by a distance in pixels.
    void ScrollBy(int dx, int dy);

    std::unique_ptr<TkvReport> report_;
    // The window's export filters (RTF, table RTF, workbook): registered while the window lives,
    // listed by the save dialog.
    std::vector<std::unique_ptr<TkvExportFilter>> exportFilters_;
    TkvPreview* preview_ = nullptr;
    bool loaded_ = false;
    bool cancelled_ = false;
    QString fileName_;
    QString lastError_;
    std::function<void(const QString&)> messageSink_;
};
