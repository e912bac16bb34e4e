#pragma once
// The preview window: owns the prepared pages it shows and lays them out in rows at a zoom,
// with scroll bars, a page label, a current page, page links and mouse panning. A TkvPreview
// control embeds its page area; the report shows the window itself when no control is used.

#include "core/report/report.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <set>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QScrollBar;
class QToolButton;
class TkvEMFPages;
class TkvPBox;
class TkvReport;


class TkvPreviewForm : public QWidget {
public:
    explicit TkvPreviewForm(QWidget* parent = nullptr);
    ~TkvPreviewForm() override;

    // Ownership of the pages: take the report's store (giving it an empty one) / give it back.
    void TakePages(TkvReport* report);
    void ReturnPages();
    TkvEMFPages* Pages() const { return pages_.get(); }
    TkvReport* Report() const { return report_; }
    int PageCount() const;

    void Relayout();
    void ResetView(bool toFirstPage);
    void ScrollToCurrentPage();
    void UpdatePageLabel();
    // Sets the current page when 1 <= n <= PageCount and scrolls to it; the label follows.
    void SetCurrentPage(int n);
    int CurrentPage = 0;

    // Zoom menu: tags 200 ... 10 are percentages, 1 to 3 the page-width, one-page and two-page modes.
    void PickZoom(int tag);
    // Zooms in (steps > 0) or out through the zoom steps, from whatever zoom is shown; a free zoom.
    void ZoomBySteps(int steps);
    // Sets a free zoom in percent (clamped to the zoom steps' range), as the zoom field does.
    void SetZoomPercent(double percent);
    static const std::vector<int>& ZoomSteps();

    // A page that could not be drawn: the status label says so and DamagedPage is told, once per page
    // until other pages are taken.
    void ReportDamagedPage(int index, const QString& error);
    std::function<void(const QString&)> DamagedPage;
    bool IsDamaged(int index) const { return damagedReported_.count(index) != 0; }
    // Called whenever the current page, the page count or the zoom may have changed.
    std::function<void()> ViewChanged;

    // Commands on the pages (they hand the pages back to the report while it works on them).
    void SaveCommand();
    void PrintCommand();
    void EditPageCommand();
    // Hooks later subsystems install (printing, page editing); empty means not available.
    static std::function<void(TkvPreviewForm&)> PrintHook;
    static std::function<bool(TkvPreviewForm&)> EditPageHook;
    bool PageEditingAllowed() const;

    // Screen pixels per page unit.
    double Zoom = 1.0;
    TkvPreviewZoom ZoomMode = TkvPreviewZoom::pzDefault;
    int OffsetX = 0, OffsetY = 0;
    bool LayoutReady = false;
    int WheelMultiplier = 1;
    std::function<void(int)> PageChanged;

    // Shared by every preview of the process.
    static double LastZoom;
    static TkvPreviewZoom LastZoomMode;

    QWidget* PreviewPanel() const { return previewPanel_; }
    TkvPBox* PageBox() const { return pageBox_; }
    QScrollBar* HScrollBar() const { return hScroll_; }
    QScrollBar* VScrollBar() const { return vScroll_; }
    QLabel* PageLabel() const { return label1_; }
    QLabel* StatusLabel() const { return label2_; }
    QMenu* ProcMenu() const { return procMenu_; }
    QAction* MenuItem(const char* name) const;
    QString ZoomCaption() const { return zoomCaption_; }

private:
    void BuildPageArea();
    void BuildMenu();
    void OnVScroll(int pos);
    void OnHScroll(int pos);
    void CheckZoomItems();

    TkvReport* report_ = nullptr;
    std::unique_ptr<TkvEMFPages> pages_;
    QWidget* previewPanel_ = nullptr;
    TkvPBox* pageBox_ = nullptr;
    QScrollBar* hScroll_ = nullptr;
    QScrollBar* vScroll_ = nullptr;
    QToolButton* pgUp_ = nullptr;
    QToolButton* pgDown_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QMenu* procMenu_ = nullptr;
    QActionGroup* zoomGroup_ = nullptr;
    QString zoomCaption_;
    int lastH_ = 0, lastV_ = 0;
    // The page SetCurrentPage scrolls to while it scrolls, else 0.
    int scrollTarget_ = 0;
    std::set<int> damagedReported_;
};
