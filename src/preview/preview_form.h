#pragma once
// The preview window: owns the prepared pages it shows and lays them out in rows at a zoom,
// with scroll bars, a page label, a current page, page links and mouse panning. A TkvPreview
// control embeds its page area; the report shows the window itself when no control is used.

#include "core/report/report.h"

#include <QRect>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class TkvExportFilter;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QScrollBar;
class QToolButton;
class QFrame;
class TkvEMFPages;
struct TkvPageSetupChoice;
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

    // The toolbar: button visibility from the report's PreviewButtons (help and exit only while the
    // toolbar sits in this window), print and page setup enabled only with a platform printer, the
    // page-editing menu items only where pages can be edited, and the report's initial zoom mode.
    void ApplyToolbarSettings(const TkvReport& report);
    // Menu captions and button hints from the library texts.
    void LoadCaptions();
    QWidget* ToolbarPanel() const { return toolbarPanel_; }
    QToolButton* Button(const char* name) const;
    QWidget* Separator(int n) const;

    // The key table of the window (also used while the page area is embedded, for the keys its host
    // leaves alone). Returns whether the key was consumed.
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);

    // Commands on the pages (they hand the pages back to the report while it works on them).
    void ZoomMenuCommand();
    void PrevPageCommand();
    void NextPageCommand();
    void LoadCommand();
    // Loads a prepared report file in place of the shown one, keeping zoom and horizontal position.
    // The shown pages stay until the new file has been read completely: a failed load changes
    // nothing on screen and returns false after telling the user.
    bool LoadFile(const QString& fileName);
    void SaveCommand();
    // The name the save dialog offers: a full path without extension (the chosen format's is
    // added), or empty for none.
    QString SuggestedName;
    // The save dialog's filters: "Report file (*.kvp)", then each registered export filter in
    // registration order; `preselected` receives the entry of the first default filter (0 without).
    QStringList SaveFilterList(int* preselected) const;
    // The export filters of the window that shows this preview (not owned; they outlive it). The
    // save dialog exports through them, so each window's exports keep their own options; entries
    // of classes the window has none of use the registered filter.
    std::vector<TkvExportFilter*> OwnExportFilters;
    void PrintCommand();
    void PageSetupCommand();
    // What the page setup dialog's OK does: the shared printer takes paper and orientation, every
    // report page of the design takes the margins and paper; a report that can be rebuilt is prepared
    // again, any other keeps its prepared pages.
    void ApplyPageSetup(const TkvPageSetupChoice& choice);
    // The page setup dialog's starting values: the printer's paper, the first prepared page's margins.
    TkvPageSetupChoice InitialPageSetup() const;
    void EditPageCommand();
    // An empty page with the first design page's paper in place of the current page. Needs a design
    // page (disabled without one).
    void AddPageCommand();
    bool CanAddPage() const;
    // Asks "Remove this page?" and deletes the current page; never the last remaining page.
    void DeletePageCommand();
    void HelpCommand();
    bool InHelpMode() const { return helpMode_; }
    void ExitCommand();

    // Text search. FindCommand asks with the find dialog; StartSearch is what its OK does.
    void FindCommand();
    void StartSearch(const QString& text, bool caseSensitive, bool fromFirstPage);
    // Goes on to the next match after the last one found, through every match in order; after the last
    // one it stays at the end (a further call finds nothing again). Scrolls the match into view and
    // marks it. Returns whether a match was found; without one the user is told.
    bool FindNext();
    QString SearchText;
    bool CaseSensitive = false;
    int SearchPage = 0; // 0-based page where the search goes on
    int FoundIndex = 0; // matches of SearchPage already passed
    QRect FoundRect;    // the last match, in page units of its page
    // The mark of the last match, while it is on screen: painting inverts it. Cleared by scrolling,
    // zooming and every relayout.
    struct Mark {
        int page = 0; // 0-based
        QRect rect;   // page units
    };
    const std::optional<Mark>& CurrentMark() const { return mark_; }
    // The mark's rectangle on the page box, or an empty one without a mark.
    QRect MarkScreenRect() const;
    void ClearMark();

    // Messages and questions go through these, so that a program (or a test) can answer them.
    std::function<void(const QString& caption, const QString& text)> ShowMessage;
    std::function<bool(const QString& caption, const QString& text)> AskYesNo;
    // Prepares the report again after page setup; without one, page setup keeps the prepared pages.
    std::function<bool(TkvReport&)> RebuildReport;
    // Shows the pop-up help of a context number (help mode); without one nothing is shown.
    std::function<void(int context)> ContextHelp;
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    void BuildToolbar();
    void BuildPageArea();
    void BuildMenu();
    void OnVScroll(int pos);
    void OnHScroll(int pos);
    void CheckZoomItems();

    TkvReport* report_ = nullptr;
    std::unique_ptr<TkvEMFPages> pages_;
    QWidget* toolbarPanel_ = nullptr;
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
    std::optional<Mark> mark_;
    bool helpMode_ = false;
};
