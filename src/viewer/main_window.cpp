#include "viewer/main_window.h"

#include "viewer/child_window.h"
#include "viewer/icons.h"
#include "viewer/viewer_document.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

const char* kWindowNumberProperty = "kvWindowNumber";

struct ActionSpec {
    const char* name;
    const char* caption;
    const char* hint;
    int image;
};

const ActionSpec kActions[] = {
    {"acNew", "Открыть в новом окне", "Открыть в новом окне", 0},
    {"acLoad", "Открыть", "Открыть", 1},
    {"acSave", "Сохранить как...", "Сохранение содержимого окна в файл", 2},
    {"acFind", "ac", nullptr, 3},
    {"acPrint", "Печать", "Отправка на принтер", 4},
    {"acEdit", "Редактировать", "Редактировать текущую страницу", 5},
    {"acClose", "Закрыть", "Закрыть окно", 6},
    {"acExit", "Выход", "Выход из программы", 7},
    {"acWindowTileHorizontal", "По горизонтали", nullptr, 8},
    {"acWindowTileVertical", "По вертикали", nullptr, 9},
    {"acWindowCascade", "Каскадом", nullptr, 10},
    {"acWindowMinimizeAll", "Свернуть все окна", nullptr, -1},
};

IViewerDocument* DocumentOf(QMdiSubWindow* w) {
    return w ? dynamic_cast<IViewerDocument*>(w->widget()) : nullptr;
}

} // namespace

TfrmMain::TfrmMain(QWidget* parent, DocumentFactory factory) : QMainWindow(parent), factory_(std::move(factory)) {
    if (!factory_) factory_ = [] { return new TfrmChild; };
    setObjectName("frmMain");
    setWindowTitle("KV Viewer");
    setGeometry(226, 204, 679, 400);

    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);

    for (const ActionSpec& spec : kActions) {
        auto* a = new QAction(QString::fromUtf8(spec.caption), this);
        a->setObjectName(spec.name);
        if (spec.hint) {
            a->setToolTip(QString::fromUtf8(spec.hint));
            a->setStatusTip(QString::fromUtf8(spec.hint));
        }
        if (spec.image >= 0) a->setIcon(kv::ViewerIcon(spec.image));
    }

    connect(Action("acNew"), &QAction::triggered, this, &TfrmMain::acNewExecute);
    connect(Action("acLoad"), &QAction::triggered, this, &TfrmMain::acLoadExecute);
    connect(Action("acSave"), &QAction::triggered, this, [this] { RunCommand([](IViewerDocument& d) { d.SaveAs(); }); });
    connect(Action("acFind"), &QAction::triggered, this, [this] {
        if (auto* d = ActiveDocument()) d->Find();
    });
    connect(Action("acPrint"), &QAction::triggered, this, [this] { RunCommand([](IViewerDocument& d) { d.Print(); }); });
    connect(Action("acEdit"), &QAction::triggered, this, [this] { RunCommand([](IViewerDocument& d) { d.Edit(); }); });
    connect(Action("acClose"), &QAction::triggered, this, &TfrmMain::acCloseExecute);
    connect(Action("acExit"), &QAction::triggered, this, &QWidget::close);
    connect(Action("acWindowTileHorizontal"), &QAction::triggered, this, [this] {
        // Document windows stacked one above the other, each the full width.
        const auto list = mdi_->subWindowList();
        if (list.isEmpty()) return;
        const int h = mdi_->viewport()->height() / int(list.size());
        int y = 0;
        for (QMdiSubWindow* w : list) {
            w->showNormal();
            w->setGeometry(0, y, mdi_->viewport()->width(), h);
            y += h;
        }
    });
    connect(Action("acWindowTileVertical"), &QAction::triggered, this, [this] {
        const auto list = mdi_->subWindowList();
        if (list.isEmpty()) return;
        const int w = mdi_->viewport()->width() / int(list.size());
        int x = 0;
        for (QMdiSubWindow* sub : list) {
            sub->showNormal();
            sub->setGeometry(x, 0, w, mdi_->viewport()->height());
            x += w;
        }
    });
    connect(Action("acWindowCascade"), &QAction::triggered, mdi_, &QMdiArea::cascadeSubWindows);
    connect(Action("acWindowMinimizeAll"), &QAction::triggered, this, [this] {
        for (QMdiSubWindow* w : mdi_->subWindowList()) w->showMinimized();
    });

    QMenu* gFile = menuBar()->addMenu("Файл");
    gFile->setObjectName("gFile");
    gFile->addAction(Action("acNew"));
    // "Open" into the current window has neither a visible menu item nor a button; the
    // command stays reachable for the document windows' capability bits.
    gFile->addAction(Action("acSave"));
    gFile->addAction(Action("acPrint"));
    gFile->addSeparator();
    gFile->addAction(Action("acExit"));
    QMenu* gEdit = menuBar()->addMenu("Правка");
    gEdit->setObjectName("gEdit");
    gEdit->addAction(Action("acEdit"));
    gWindow_ = menuBar()->addMenu("Окна");
    gWindow_->setObjectName("gWindow");
    gWindow_->addAction(Action("acWindowTileHorizontal"));
    gWindow_->addAction(Action("acWindowTileVertical"));
    gWindow_->addAction(Action("acWindowCascade"));
    gWindow_->addSeparator();
    gWindow_->addAction(Action("acWindowMinimizeAll"));

    toolBar_ = addToolBar("ToolBar2");
    toolBar_->setObjectName("ToolBar2");
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(24, 24));
    toolBar_->setFixedHeight(48);
    for (const char* name : {"acNew", "acSave", "acPrint", "acEdit", "acClose"})
        toolBar_->addAction(Action(name));
    auto* gap = new QWidget(toolBar_);
    gap->setFixedWidth(8);
    toolBar_->addWidget(gap);
    toolBar_->addAction(Action("acExit"));
    for (QAction* a : toolBar_->actions())
        if (auto* b = qobject_cast<QToolButton*>(toolBar_->widgetForAction(a))) b->setMinimumSize(43, 38);

    // Commands follow the active window; a short idle timer catches everything else.
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { ActionListUpdate(); });
    auto* idle = new QTimer(this);
    idle->setInterval(200);
    connect(idle, &QTimer::timeout, this, &TfrmMain::ActionListUpdate);
    idle->start();
    ActionListUpdate();
}

TfrmMain::~TfrmMain() {
    // Closing the document windows activates others while this window is half destroyed.
    disconnect(mdi_, nullptr, this, nullptr);
}

QAction* TfrmMain::Action(const char* name) const { return findChild<QAction*>(name, Qt::FindDirectChildrenOnly); }

IViewerDocument* TfrmMain::ActiveDocument() const { return DocumentOf(mdi_->activeSubWindow()); }

void TfrmMain::ActionListUpdate() {
    IViewerDocument* d = ActiveDocument();
    const uint8_t caps = d ? d->Capabilities() : 0;
    Action("acLoad")->setEnabled(caps & kvcap::Load);
    Action("acSave")->setEnabled(caps & kvcap::Save);
    Action("acFind")->setEnabled(caps & kvcap::Find);
    Action("acPrint")->setEnabled(caps & kvcap::Print);
    Action("acEdit")->setEnabled(caps & kvcap::Edit);
    Action("acClose")->setEnabled(caps & kvcap::Close);
    const bool any = !mdi_->subWindowList().isEmpty();
    for (const char* name : {"acWindowTileHorizontal", "acWindowTileVertical", "acWindowCascade", "acWindowMinimizeAll"})
        Action(name)->setEnabled(any);
}

void TfrmMain::RunCommand(const std::function<void(IViewerDocument&)>& command) {
    IViewerDocument* d = ActiveDocument();
    if (!d) return;
    try {
        command(*d);
    } catch (const std::exception& e) {
        ReportFailure(e);
    }
}

QMdiSubWindow* TfrmMain::CreateDocumentWindow() {
    QMdiSubWindow* w = mdi_->addSubWindow(factory_());
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setProperty(kWindowNumberProperty, nextWindowNumber_++);
    w->showMaximized();
    mdi_->setActiveSubWindow(w);
    return w;
}

void TfrmMain::AddWindowMenuItem(QMdiSubWindow* w) {
    const int number = w->property(kWindowNumberProperty).toInt();
    auto* item = new QAction(w->windowTitle().left(255), gWindow_);
    item->setObjectName(QStringLiteral("m%1").arg(number));
    item->setData(number);
    connect(item, &QAction::triggered, this, [this, number] {
        for (QMdiSubWindow* sub : mdi_->subWindowList()) {
            if (sub->property(kWindowNumberProperty).toInt() == number) {
                mdi_->setActiveSubWindow(sub);
                sub->raise();
                return;
            }
        }
    });
    gWindow_->addAction(item);
}

QAction* TfrmMain::FindWindowMenuItem(QMdiSubWindow* w) const {
    if (!w) return nullptr;
    const QString name = QStringLiteral("m%1").arg(w->property(kWindowNumberProperty).toInt());
    for (QAction* a : gWindow_->actions())
        if (a->objectName() == name) return a;
    return nullptr;
}

void TfrmMain::OpenPendingFile(const QString& fileName) {
    if (fileName.trimmed().isEmpty()) return;
    QMdiSubWindow* w = CreateDocumentWindow();
    if (DocumentOf(w)->OpenFile(fileName)) AddWindowMenuItem(w);
    ActionListUpdate();
}

void TfrmMain::acNewExecute() {
    QMdiSubWindow* w = CreateDocumentWindow();
    IViewerDocument* d = DocumentOf(w);
    try {
        if (d->OpenWithDialog()) AddWindowMenuItem(w);
        else d->Close();
    } catch (const std::exception& e) {
        ReportFailure(e);
    }
    ActionListUpdate();
}

void TfrmMain::acLoadExecute() {
    QMdiSubWindow* w = mdi_->activeSubWindow();
    IViewerDocument* d = DocumentOf(w);
    if (!d) return;
    try {
        if (!d->OpenWithDialog()) return;
    } catch (const std::exception& e) {
        ReportFailure(e);
        return;
    }
    if (QAction* item = FindWindowMenuItem(w)) item->setText(w->windowTitle().left(255));
}

void TfrmMain::ReportFailure(const std::exception& e) {
    QMessageBox::critical(this, windowTitle(), QString::fromLocal8Bit(e.what()));
}

void TfrmMain::acCloseExecute() {
    QMdiSubWindow* w = mdi_->activeSubWindow();
    IViewerDocument* d = DocumentOf(w);
    if (!d) return;
    if (QAction* item = FindWindowMenuItem(w)) delete item;
    d->Close();
}

void TfrmMain::Activate() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

// ---------------------------------------------------------------- placement

QString TfrmMain::PlacementFile() {
    const QString beside = QCoreApplication::applicationDirPath();
    const QFileInfo dir(beside);
    if (!beside.isEmpty() && dir.isDir() && dir.isWritable()) return QDir(beside).filePath("ViewKV.ini");
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return QDir(config).filePath("ViewKV.ini");
}

void TfrmMain::showEvent(QShowEvent* e) {
    if (!placementRestored_) {
        placementRestored_ = true;
        RestorePlacement();
    }
    QMainWindow::showEvent(e);
}

void TfrmMain::closeEvent(QCloseEvent* e) {
    SavePlacement();
    QMainWindow::closeEvent(e);
}

void TfrmMain::SavePlacement() {
    QSettings ini(PlacementFile(), QSettings::IniFormat);
    ini.beginGroup("frmMain");
    const QRect n = normalGeometry();
    ini.setValue("FormVersion", 1);
    ini.setValue("Flags", 0);
    ini.setValue("ShowCmd", isMaximized() ? 3 : isMinimized() ? 2 : 1);
    ini.setValue("PixelsPerInch", screen() ? int(screen()->logicalDotsPerInch()) : 96);
    ini.setValue("MinMaxPos", QStringLiteral("%1,%2").arg(pos().x()).arg(pos().y()));
    ini.setValue("NormPos", QStringLiteral("%1,%2,%3,%4").arg(n.left()).arg(n.top()).arg(n.right() + 1).arg(n.bottom() + 1));
    ini.endGroup();
}

void TfrmMain::RestorePlacement() {
    QSettings ini(PlacementFile(), QSettings::IniFormat);
    ini.beginGroup("frmMain");
    const QStringList p = ini.value("NormPos").toString().split(',');
    if (p.size() == 4) {
        bool ok[4];
        const int l = p[0].toInt(&ok[0]), t = p[1].toInt(&ok[1]), r = p[2].toInt(&ok[2]), b = p[3].toInt(&ok[3]);
        if (ok[0] && ok[1] && ok[2] && ok[3] && r - l >= 100 && b - t >= 80 && r - l < 20000 && b - t < 20000)
            setGeometry(l, t, r - l, b - t);
    }
    if (ini.value("ShowCmd").toInt() == 3) setWindowState(windowState() | Qt::WindowMaximized);
    ini.endGroup();
}
