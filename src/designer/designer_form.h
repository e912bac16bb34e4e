#pragma once
// TkvDesignerForm: the report designer window. It edits the design pages of a report on the
// surface (TkvDesignerPage) and offers the commands around it: files, clipboard, undo and redo,
// z-order, alignment, grid, pages, text and frame formatting, tools and options.
//
// For the other designer parts (see README.md in this folder):
// - the selection: SelectedViews(); AddSelectionListener() is called after every change of it;
// - a property change of the selection as one undo step honouring the restrictions:
//   ApplyToSelection(); the unit in use: Units();
// - inserting a text object at a point of the page and setting a band's data source, each an
//   undo step: InsertTextAt(), SetBandDataSource();
// - AddTemplateSavedListener() after every save; docking: the form is a QMainWindow
//   (addDockWidget), and TkvDesignerShared::FormInstallers run on every new form.

#include "core/rect.h"
#include "designer/designer_state.h"
#include "designer/report_designer.h"
#include "designer/undo_history.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QScrollArea;
class QTabBar;
class QToolBar;
class TkvBandView;
class TkvDesignerPage;
class TkvPage;
class TkvView;
struct TkvDesignerShared;

enum class TkvDesignerTool { Select, Insert, Line };

// The insertion tags of the objects bar: below 10 a view type, from 10 on add-in entry tag - 10.
namespace kvtag {
constexpr int Text = 0;
constexpr int Picture = 1;
constexpr int Band = 2;
constexpr int SubReport = 3;
constexpr int FirstAddIn = 10;
} // namespace kvtag

enum class TkvAlignCommand {
    LeftEdges, HorizontalCenters, CenterHorizontally, SpaceHorizontally, RightEdges,
    Tops, VerticalCenters, CenterVertically, SpaceVertically, Bottoms
};

// Numbers of the text and frame toolbar commands (FormatCommand).
namespace kvfmt {
constexpr int TopLine = 1, LeftLine = 2, BottomLine = 3, RightLine = 4, FillColor = 5, FrameWidth = 6,
              FontName = 7, FontSize = 8, Bold = 9, Italic = 10, AlignLeft = 11, AlignRight = 12,
              AlignCenter = 13, Rotate90 = 14, VerticalAlign = 15, FontColor = 17, Underline = 18,
              FrameColor = 19, AllLines = 20, NoFrame = 21, WidthAlign = 22, FirstLineStyle = 25,
              LastLineStyle = 30;
// VerticalAlign values.
constexpr int VCenter = 8, VBottom = 16, VTop = 0;
} // namespace kvfmt

class TkvDesignerForm : public TkvReportDesigner {
public:
    TkvDesignerForm(TkvReport& report, TkvDesignerMode mode, TkvDesignerShared& shared,
                    QWidget* parent = nullptr);
    ~TkvDesignerForm() override;

    // --- TkvReportDesignerHost
    bool IsModified() const override { return modified_; }
    void SetModified(bool modified) override;
    void RedrawPage() override;
    void SelectObject(const QByteArray& name) override;
    TkvPage* CurrentPage() const override { return page_; }
    void BeforeChange() override;
    void AfterChange() override;

    // The window owns `report` from now on (a window opened on a report of its own).
    void TakeReport(std::unique_ptr<TkvReport> report);

    // --- state
    TkvPage* Page() const { return page_; }
    int CurPageIndex() const { return curPageIndex_; }
    void SetCurPage(int index);
    TkvDesignerOptions& Options() { return options_; }
    TkvDesignerSelection& Selection() { return selection_; }
    TkvUndoHistory& History() { return history_; }
    TkvDesignerShared& Shared() { return shared_; }
    TkvObjectDefaults& Defaults();
    uint16_t Restrictions() const;
    TkvDesignerPage* Surface() const { return surface_; }
    QScrollArea* ScrollBox() const { return scroll_; }
    QTabBar* PageTabs() const { return tabs_; }
    QString TemplateFileName() const { return fileName_; }
    // The form's action of that object name ("acUndo", "acAlignLeft", ...), or null.
    QAction* Action(const QString& name) const { return actions_.value(name); }
    QComboBox* FontSizeBox() const { return fontSize_; }
    QComboBox* FrameWidthBox() const { return frameWidth_; }
    QLabel* StatusPanel(int i) const { return status_[i]; }

    TkvDesignerTool Tool() const { return tool_; }
    int InsertTag() const { return insertTag_; }
    void SetTool(TkvDesignerTool tool, int tag = 0);

    // --- for the inspector and the data window
    std::vector<TkvView*> SelectedViews() const;
    void AddSelectionListener(std::function<void()> listener) { selectionListeners_.push_back(std::move(listener)); }
    // Applies `change` to every selected view that may be modified, as one modify step; false when
    // the designer restrictions forbid it or nothing could be changed.
    bool ApplyToSelection(const std::function<void(TkvView&)>& change);
    TkvDesignerUnits Units() const { return options_.Units; }
    void SetUnits(TkvDesignerUnits units);
    // A text object holding `text` at the point (page units), on the band under it when there is
    // one; an insert step. Null when inserting is forbidden.
    TkvView* InsertTextAt(QPoint point, const QByteArray& text);
    bool SetBandDataSource(TkvBandView& band, const QByteArray& source);
    void AddTemplateSavedListener(std::function<void(const QString&)> listener) {
        savedListeners_.push_back(std::move(listener));
    }
    // The selection changed (surface, commands): status bar, commands, listeners.
    void NotifySelectionChanged();

    // --- commands
    void AddUndoStep(TkvUndoKind kind);
    void UndoCommand();
    void RedoCommand();
    void CutCommand();
    void CopyCommand();
    void PasteCommand();
    void DeleteCommand();
    void SelectAllCommand();
    void BringToFront();
    void SendToBack();
    void FitToGrid();
    void AlignCommand(TkvAlignCommand command);
    // A text or frame toolbar command by its number (kvfmt) with its value: a pressed state,
    // a colour, a number or a text.
    void FormatCommand(int number, const QVariant& value);
    void AddPageCommand(bool dialog = false);
    // Removes the current page (asks first when `ask`); only with two or more pages.
    void RemovePageCommand(bool ask = true);
    void PageOptionsCommand();
    void PreviewCommand();
    // Moves the page at `from` to `to`, renumbering sub-report targets.
    void MovePage(int from, int to);
    bool NewReport();
    bool OpenFile(const QString& fileName);
    bool SaveFile(const QString& fileName);
    bool SaveCommand();
    bool SaveAsCommand();
    bool OpenCommand();
    // The "Save changes to NAME?" question when modified: true when the caller may go on.
    bool ConfirmDiscard();
    void MoveSelectionBy(int dx, int dy);
    void ResizeSelectionBy(int dx, int dy);
    void SelectNearest(int dx, int dy, bool moveToTouch);
    void OpenEditor(TkvView* view);
    void EscapeCommand();
    // Creates the object of an insertion tag in the rectangle (surface insertion).
    TkvView* InsertObject(int tag, TkvRect r);
    TkvView* InsertLine(QPoint from, QPoint to);
    // Window-level keys; true when handled.
    bool HandleKey(int key, Qt::KeyboardModifiers mods);
    // Lays the surface out in its scroll box.
    void Relayout();
    void UpdateCommands();
    void UpdateStatusBar();
    void RefreshTabs();
    void ShowContextMenu(QPoint globalPos);
    // Bands to the front of the list: the overlay band first, cross bands after the others.
    void ReorderBands();
    // A name and ID no other view of the report has.
    void MakeUnique(TkvView& view);
    // Whether the restrictions (the designer's and the view's own) let a view change.
    bool CanModifyView(const TkvView& v) const;
    bool CanMoveView(const TkvView& v) const;
    bool CanSizeView(const TkvView& v) const;
    bool CanDeleteView(const TkvView& v) const;
    // Makes this window's report, page and design mode the library's current ones.
    void ActivateContext() const;

    // Band types the band type dialog offers on the current page.
    std::vector<int> OfferedBandTypes() const;
    // The dialogs a test may answer without a modal loop: when set, asked instead of the dialog.
    std::function<int(const std::vector<int>& offered)> AskBandType;
    std::function<QString(bool save)> AskFileName;
    // Answers the page options dialog of a new page (true: confirmed).
    std::function<bool(TkvPage&)> AskPageOptions;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BuildActions();
    void BuildMenus();
    void BuildToolBars();
    void BuildStatusBar();
    QAction* AddAction(const QString& name, const QString& text, const QString& hint, const QKeySequence& key,
                       std::function<void()> handler, bool checkable = false);
    void UpdateCaption();
    void ResetPageState();
    TkvView* ReferenceView() const;
    bool WriteFile(const QString& fileName);
    void LoadOptions();
    void SaveOptions() const;

    TkvDesignerShared& shared_;
    TkvDesignerOptions options_;
    TkvDesignerSelection selection_;
    TkvUndoHistory history_;
    TkvPage* page_ = nullptr;
    int curPageIndex_ = 0;
    QString fileName_;
    bool modified_ = false;
    TkvDesignerTool tool_ = TkvDesignerTool::Select;
    int insertTag_ = 0;
    TkvDesignerPage* surface_ = nullptr;
    QWidget* box_ = nullptr; // the scroll box's content
    QScrollArea* scroll_ = nullptr;
    QTabBar* tabs_ = nullptr;
    QComboBox* fontName_ = nullptr;
    QComboBox* fontSize_ = nullptr;
    QComboBox* frameWidth_ = nullptr;
    QLabel* status_[3] = {};
    QHash<QString, QAction*> actions_;
    QList<QAction*> toolActions_;
    std::vector<std::function<void()>> selectionListeners_;
    std::vector<std::function<void(const QString&)>> savedListeners_;
    std::unique_ptr<TkvReport> previewReport_;
    std::unique_ptr<TkvReport> ownedReport_; // destroyed after the window's own parts
    bool movingTabs_ = false;
    uint32_t lineColorChoice_ = 0;
};
