#pragma once
// One document window of the viewer: a report bound to an embedded preview, loading one
// prepared report file and handing every other command to the preview or the report.

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

    uint8_t Capabilities() const override;
    void Prepare() override;
    bool OpenWithDialog() override;
    bool OpenFile(const QString& fileName) override;
    bool SaveAs() override;
    void Find() override;
    void Print() override;
    void Edit() override;
    void Close() override;

    TkvPreview& Preview() const { return *preview_; }
    TkvReport& Report() const { return *report_; }
    bool Loaded() const { return loaded_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    // Loads the file into the report and shows it. Raises what the load raised.
    void LoadAndShow(const QString& fileName, bool swallowFailure, bool* failed);

    std::unique_ptr<TkvReport> report_;
    // The window's export filters (RTF, table RTF, workbook): registered while the window lives,
    // listed by the save dialog.
    std::vector<std::unique_ptr<TkvExportFilter>> exportFilters_;
    TkvPreview* preview_ = nullptr;
    bool loaded_ = false;
};
