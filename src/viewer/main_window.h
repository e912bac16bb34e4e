#pragma once
// The frame window "KV Viewer": a multiple-document window holding one document window per
// opened report, with the menu, toolbar, status bar and commands. It reaches document windows only
// through IViewerDocument.

#include <QMainWindow>
#include <QString>
#include <exception>
#include <functional>

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
    // Where the window placement is kept.
    static QString PlacementFile();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
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
    void SavePlacement();
    void RestorePlacement();
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
    bool placementRestored_ = false;
    int nextWindowNumber_ = 1;
    DocumentFactory factory_;
    // The document window active last, for while another application has the focus.
    QMdiSubWindow* lastActive_ = nullptr;
};
