#pragma once
// The frame window "KV Viewer": a multiple-document window holding one document window per
// opened report, with the menu, toolbar and commands. It reaches document windows only
// through IViewerDocument.

#include <QMainWindow>
#include <QString>
#include <exception>
#include <functional>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class IViewerDocument;

class TfrmMain : public QMainWindow {
public:
    // Makes the widget of a new document window; it must implement IViewerDocument.
    using DocumentFactory = std::function<QWidget*()>;

    explicit TfrmMain(QWidget* parent = nullptr, DocumentFactory factory = {});
    ~TfrmMain() override;

    // Opens a file by name in a new document window (the command line and a second start).
    void OpenPendingFile(const QString& fileName);
    // Brings the window to the front, restoring it when minimised.
    void Activate();

    // Enables the commands from the active document window's capability bits.
    void ActionListUpdate();

    QMdiArea* MdiArea() const { return mdi_; }
    IViewerDocument* ActiveDocument() const;
    QMenu* WindowMenu() const { return gWindow_; }
    QAction* Action(const char* name) const;
    // Where the window placement is kept.
    static QString PlacementFile();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    QMdiSubWindow* CreateDocumentWindow();
    void AddWindowMenuItem(QMdiSubWindow* w);
    QAction* FindWindowMenuItem(QMdiSubWindow* w) const;
    void SavePlacement();
    void RestorePlacement();

    // Runs a document command; a failure is shown to the user as one message.
    void RunCommand(const std::function<void(IViewerDocument&)>& command);
    void ReportFailure(const std::exception& e);
    void acNewExecute();
    void acLoadExecute();
    void acCloseExecute();

    QMdiArea* mdi_ = nullptr;
    QMenu* gWindow_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    bool placementRestored_ = false;
    int nextWindowNumber_ = 1;
    DocumentFactory factory_;
};
