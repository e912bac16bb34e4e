#pragma once
// The preview control: embeds the page area of a hidden preview window in any host widget.
// The viewer's document window uses it.

#include "core/report/preview_host.h"

#include <QFrame>
#include <functional>
#include <memory>

class TkvPreviewForm;
class TkvReport;

class TkvPreview : public QFrame, public TkvPreviewHost {
public:
    explicit TkvPreview(QWidget* parent = nullptr);
    ~TkvPreview() override;

    // Shows the report's prepared pages: takes its store and goes to the first page.
    void AttachReport(TkvReport* report) override;
    // Gives the pages back to the report.
    void DetachReport() override;

    int CurrentPage() const;
    void SetCurrentPage(int n);
    int PageCount() const;
    void GoToFirstPage();
    void GoToNextPage();
    void GoToPrevPage();
    void GoToLastPage();
    void SaveToFile();
    void Print();
    void EditCurrentPage();
    // The window's find command and F3.
    void Find();
    void FindNext();

    // True moves the preview window's toolbar into this control, above the pages (without its help
    // and exit buttons); false (the default) leaves it in the hidden window.
    void SetShowToolbar(bool show);
    bool ShowToolbar() const { return showToolbar_; }

    TkvPreviewForm& Form() const { return *form_; }
    std::function<void(int)> OnPageChanged;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    std::unique_ptr<TkvPreviewForm> form_;
    bool showToolbar_ = false;
};
