#pragma once
// The frame window "KV Viewer": a multiple-document window holding one document window per
// opened report, with the menu, toolbar, status bar and commands. It reaches document windows only
// through IViewerDocument.

#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPointer>
#include <QString>
#include <exception>
#include <QPointer>
#include <functional>
#include <vector>

class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMessageBox;
class QSpinBox;
class QToolBar;
class QToolButton;
class IViewerDocument;

class TfrmMain : public QMainWindow {
public:
    // Makes the widget of a new document window; it must implement IViewerDocument.
    using DocumentFactory = std::function<QWidget*()>;

    explicit TfrmMain(QWidget* parent = nullptr, DocumentFactory factory = {});
    ~TfrmMain() override;

    // Opens a file by name in a new document window (the command line, a second start, a drop, the
    // recent files). A failure is shown with the file name; a window that shows nothing goes again.
    void OpenPendingFile(const QString& fileName);
    // Brings the window to the front, restoring it when minimised.
    void Activate();

    // Opens a designer window on a template (an empty report for an empty name); the program
    // sets it. Without one, "New report" and "Open template..." stay hidden.
    using DesignerOpener = std::function<QMainWindow*(const QString& templateFile)>;
    void SetDesignerOpener(DesignerOpener opener);
    // The designer windows this window opened that are still open.
    QList<QMainWindow*> DesignerWindows() const;

    // Enables the commands from the current document window's capability bits and refreshes the
    // status bar.
    void ActionListUpdate();

    QMdiArea* MdiArea() const { return mdi_; }
    // The document window commands act on: the active one, or the last active one while another
    // application has the focus.
    IViewerDocument* ActiveDocument() const;
    QMenu* WindowMenu() const { return gWindow_; }
    QMenu* RecentMenu() const { return recentMenu_; }
    QAction* Action(const char* name) const;
    QSpinBox* PageField() const { return pageField_; }
    QLabel* ZoomLabel() const { return zoomLabel_; }
    // The last failure shown to the user (a message box that does not block), or null.
    QMessageBox* LastErrorBox() const;
    // Where the window placement is kept by default; a window reads and writes its own file.
    static QString PlacementFile();
    void SetPlacementFile(const QString& file) { placementFile_ = file; }

    // A saved placement moved and shrunk so that it lies, with its frame, on the available screen area.
    static QRect FitToScreen(const QRect& wanted, const QRect& available, const QMargins& frame);
    // The size of the first start on a screen with that available area.
    static QSize FirstSize(const QRect& available);

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OpenDesigner(const QString& templateFile);
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    QMdiSubWindow* CurrentSubWindow() const;
    QMdiSubWindow* CreateDocumentWindow();
    void AddWindowMenuItem(QMdiSubWindow* w);
    QAction* FindWindowMenuItem(QMdiSubWindow* w) const;
    void CheckActiveWindowItem();
    void ShowDocumentWindow(int number);
    void Cascade();
    QRect CascadeRect(int k) const;
    // Restores the windows not minimised and places each at place(index, count).
    void Arrange(const std::function<QRect(int index, int count)>& place);
    // The document windows' states and places, to put back when a new window goes again.
    struct Arrangement {
        struct Window {
            QPointer<QMdiSubWindow> window;
            Qt::WindowStates state;
            QRect geometry;
        };
        std::vector<Window> windows;
        QPointer<QMdiSubWindow> active;
    };
    Arrangement SaveArrangement() const;
    void DiscardDocumentWindow(QMdiSubWindow* w, const Arrangement& before);
    void SavePlacement();
    void RestorePlacement();
    static int TitleBarAllowance();
    // The frame around the window; before it is known, room for a title bar when `nearTop`.
    QMargins FrameMargins(bool nearTop) const;
    // Moves and shrinks the window so that its frame lies on the available screen area.
    void KeepOnScreen();
    void FillRecentMenu();
    void Opened(QMdiSubWindow* w);

    // Runs a document command; a failure is shown to the user as one message.
    void RunCommand(const std::function<void(IViewerDocument&)>& command);
    void ReportFailure(const QString& message);
    void acNewExecute();
    void acLoadExecute();
    void acCloseExecute();

    QMdiArea* mdi_ = nullptr;
    QMenu* gWindow_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QActionGroup* windowItems_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QSpinBox* pageField_ = nullptr;
    QLabel* pageCountLabel_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
    QToolButton* zoomOutButton_ = nullptr;
    QToolButton* zoomInButton_ = nullptr;
    bool placementRestored_ = false;
    int nextWindowNumber_ = 1;
    DocumentFactory factory_;
    QString placementFile_;
    // The document window active last, for while another application has the focus.
    QMdiSubWindow* lastActive_ = nullptr;
    DesignerOpener designerOpener_;
    QList<QPointer<QMainWindow>> designers_;
};
