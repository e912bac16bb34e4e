#include "viewer/main_window.h"

#include "viewer/child_window.h"
#include "viewer/document_memory.h"
#include "viewer/icons.h"
#include "viewer/template_request.h"
#include "viewer/viewer_document.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

const char* kWindowNumberProperty = "kvWindowNumber";
const char* kContext = "TfrmMain";

QString Tr(const char* text) { return QCoreApplication::translate(kContext, text); }

struct ActionItem {
    const char* name;
    const char* caption;
    const char* hint;
    int image;
};

// The captions are translated at run time; the source texts are the captions shown in Russian.
const ActionItem kActions[] = {
    {"acNew", QT_TRANSLATE_NOOP("TfrmMain", "Открыть в новом окне"), QT_TRANSLATE_NOOP("TfrmMain", "Открыть в новом окне"), 0},
    {"acLoad", QT_TRANSLATE_NOOP("TfrmMain", "Открыть"), QT_TRANSLATE_NOOP("TfrmMain", "Открыть"), 1},
    {"acSave", QT_TRANSLATE_NOOP("TfrmMain", "Сохранить как..."),
     QT_TRANSLATE_NOOP("TfrmMain", "Сохранение содержимого окна в файл"), 2},
    {"acFind", QT_TRANSLATE_NOOP("TfrmMain", "Найти..."), QT_TRANSLATE_NOOP("TfrmMain", "Поиск текста в отчёте"), 3},
    {"acPrint", QT_TRANSLATE_NOOP("TfrmMain", "Печать"), QT_TRANSLATE_NOOP("TfrmMain", "Отправка на принтер"), 4},
    {"acEdit", QT_TRANSLATE_NOOP("TfrmMain", "Редактировать"),
     QT_TRANSLATE_NOOP("TfrmMain", "Редактировать текущую страницу"), 5},
    {"acClose", QT_TRANSLATE_NOOP("TfrmMain", "Закрыть"), QT_TRANSLATE_NOOP("TfrmMain", "Закрыть окно"), 6},
    {"acExit", QT_TRANSLATE_NOOP("TfrmMain", "Выход"), QT_TRANSLATE_NOOP("TfrmMain", "Выход из программы"), 7},
    {"acWindowTileHorizontal", QT_TRANSLATE_NOOP("TfrmMain", "По горизонтали"), nullptr, 8},
    {"acWindowTileVertical", QT_TRANSLATE_NOOP("TfrmMain", "По вертикали"), nullptr, 9},
    {"acWindowCascade", QT_TRANSLATE_NOOP("TfrmMain", "Каскадом"), nullptr, 10},
    {"acWindowMinimizeAll", QT_TRANSLATE_NOOP("TfrmMain", "Свернуть все окна"), nullptr, -1},
    // Commands of a desktop document viewer beyond the ones above.
    {"acZoomIn", QT_TRANSLATE_NOOP("TfrmMain", "Zoom In"), nullptr, -1},
    {"acZoomOut", QT_TRANSLATE_NOOP("TfrmMain", "Zoom Out"), nullptr, -1},
    {"acFitWidth", QT_TRANSLATE_NOOP("TfrmMain", "Fit Width"), nullptr, -1},
    {"acFitPage", QT_TRANSLATE_NOOP("TfrmMain", "Fit Page"), nullptr, -1},
    {"acActualSize", QT_TRANSLATE_NOOP("TfrmMain", "Actual Size"), nullptr, -1},
    {"acGoToPage", QT_TRANSLATE_NOOP("TfrmMain", "Go to Page..."), nullptr, -1},
    {"acFullScreen", QT_TRANSLATE_NOOP("TfrmMain", "Full Screen"), nullptr, -1},
    {"acClearRecent", QT_TRANSLATE_NOOP("TfrmMain", "Clear List"), nullptr, -1},
    {"acFindNext", QT_TRANSLATE_NOOP("TfrmMain", "Find Next"), nullptr, -1},
};

IViewerDocument* DocumentOf(QMdiSubWindow* w) {
    return w ? dynamic_cast<IViewerDocument*>(w->widget()) : nullptr;
}

bool IsReportFile(const QUrl& url) {
    return url.isLocalFile() && url.toLocalFile().endsWith(".kvp", Qt::CaseInsensitive);
}

} // namespace

TfrmMain::TfrmMain(QWidget* parent, DocumentFactory factory)
    : QMainWindow(parent), factory_(std::move(factory)), placementFile_(PlacementFile()) {
    if (!factory_) factory_ = [] { return new TfrmChild; };
    setObjectName("frmMain");
    setWindowTitle("KV Viewer");
    setWindowIcon(kv::ApplicationIcon());
    setGeometry(226, 204, 679, 400);
    setAcceptDrops(true);

    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();

    // Commands follow the current window; a short idle timer catches everything else.
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (w) lastActive_ = w;
        ActionListUpdate();
        CheckActiveWindowItem();
    });
    auto* idle = new QTimer(this);
    idle->setInterval(200);
    connect(idle, &QTimer::timeout, this, &TfrmMain::ActionListUpdate);
    idle->start();
    ActionListUpdate();
}

TfrmMain::~TfrmMain() {
    // Closing the document windows activates others while this window is half destroyed.
    disconnect(mdi_, nullptr, this, nullptr);
    for (QMdiSubWindow* w : mdi_->findChildren<QMdiSubWindow*>()) disconnect(w, nullptr, this, nullptr);
}

void TfrmMain::CreateActions() {
    for (const ActionItem& item : kActions) {
        auto* a = new QAction(Tr(item.caption), this);
        a->setObjectName(item.name);
        if (item.hint) {
            a->setToolTip(Tr(item.hint));
            a->setStatusTip(Tr(item.hint));
        }
        if (item.image >= 0) a->setIcon(kv::ViewerIcon(item.image));
    }
    // The keys users of desktop viewers expect.
    Action("acNew")->setShortcut(QKeySequence::Open);
    Action("acSave")->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence::SaveAs});
    Action("acPrint")->setShortcut(QKeySequence::Print);
    Action("acClose")->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)});
    Action("acExit")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Action("acFind")->setShortcut(QKeySequence::Find);
    Action("acFindNext")->setShortcut(QKeySequence::FindNext);
    Action("acZoomIn")->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    Action("acZoomOut")->setShortcut(QKeySequence::ZoomOut);
    Action("acActualSize")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    Action("acGoToPage")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    Action("acFullScreen")->setShortcuts({QKeySequence(Qt::Key_F11), QKeySequence::FullScreen});
    Action("acFullScreen")->setCheckable(true);
    Action("acZoomIn")->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    Action("acZoomOut")->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));

    connect(Action("acNew"), &QAction::triggered, this, &TfrmMain::acNewExecute);
    for (const char* name : {"acNewReport", "acOpenTemplate"}) {
        auto* a = new QAction(this);
        a->setObjectName(name);
        a->setVisible(false);
        addAction(a);
    }
    Action("acNewReport")->setText(Tr("New report"));
    Action("acOpenTemplate")->setText(Tr("Open template..."));
    connect(Action("acNewReport"), &QAction::triggered, this, [this] { OpenDesigner({}); });
    connect(Action("acOpenTemplate"), &QAction::triggered, this, [this] {
        const QString name = QFileDialog::getOpenFileName(this, Tr("Open template..."), QString(),
                                                          Tr("Report templates") + " (*.kvf)");
        if (!name.isEmpty()) OpenDesigner(name);
    });
    connect(Action("acLoad"), &QAction::triggered, this, &TfrmMain::acLoadExecute);
    connect(Action("acSave"), &QAction::triggered, this, [this] { RunCommand([](IViewerDocument& d) { d.SaveAs(); }); });
    connect(Action("acFind"), &QAction::triggered, this, [this] { RunCommand([](IViewerDocument& d) { d.Find(); }); });
    // F3 goes on with the last search, or asks for the text when there is none yet.
    connect(Action("acFindNext"), &QAction::triggered, this, [this] { RunCommand([](IViewerDocument& d) { d.FindNext(); }); });
    connect(Action("acPrint"), &QAction::triggered, this, [this] { RunCommand([](IViewerDocument& d) { d.Print(); }); });
    connect(Action("acEdit"), &QAction::triggered, this, [this] { RunCommand([](IViewerDocument& d) { d.Edit(); }); });
    connect(Action("acClose"), &QAction::triggered, this, &TfrmMain::acCloseExecute);
    connect(Action("acExit"), &QAction::triggered, this, &QWidget::close);
    connect(Action("acWindowTileHorizontal"), &QAction::triggered, this, [this] {
        // Document windows stacked one above the other, each the full width.
        Arrange([this](int i, int n) {
            const QSize area = mdi_->viewport()->size();
            const int h = area.height() / n;
            return QRect(0, i * h, area.width(), h);
        });
    });
    connect(Action("acWindowTileVertical"), &QAction::triggered, this, [this] {
        Arrange([this](int i, int n) {
            const QSize area = mdi_->viewport()->size();
            const int w = area.width() / n;
            return QRect(i * w, 0, w, area.height());
        });
    });
    connect(Action("acWindowCascade"), &QAction::triggered, this, &TfrmMain::Cascade);
    connect(Action("acWindowMinimizeAll"), &QAction::triggered, this, [this] {
        for (QMdiSubWindow* w : mdi_->subWindowList()) w->showMinimized();
    });
    connect(Action("acZoomIn"), &QAction::triggered, this, [this] { RunCommand([](IViewerDocument& d) { d.ZoomBySteps(1); }); });
    connect(Action("acZoomOut"), &QAction::triggered, this, [this] { RunCommand([](IViewerDocument& d) { d.ZoomBySteps(-1); }); });
    connect(Action("acFitWidth"), &QAction::triggered, this, [this] { RunCommand([](IViewerDocument& d) { d.FitZoom(1); }); });
    connect(Action("acFitPage"), &QAction::triggered, this, [this] { RunCommand([](IViewerDocument& d) { d.FitZoom(2); }); });
    connect(Action("acActualSize"), &QAction::triggered, this, [this] { RunCommand([](IViewerDocument& d) { d.SetZoomPercent(100); }); });
    connect(Action("acGoToPage"), &QAction::triggered, this, [this] {
        pageField_->setFocus(Qt::ShortcutFocusReason);
        pageField_->selectAll();
    });
    connect(Action("acFullScreen"), &QAction::toggled, this, [this](bool on) {
        if (on) showFullScreen();
        else showNormal();
    });
    connect(Action("acClearRecent"), &QAction::triggered, this, [this] {
        kv::DocumentMemory().ClearRecentFiles();
        FillRecentMenu();
    });
}

void TfrmMain::CreateMenus() {
    QMenu* gFile = menuBar()->addMenu(Tr("&Файл"));
    gFile->setObjectName("gFile");
    gFile->addAction(Action("acNew"));
    gFile->addAction(Action("acNewReport"));
    gFile->addAction(Action("acOpenTemplate"));
    recentMenu_ = gFile->addMenu(Tr("Recent Files"));
    recentMenu_->setObjectName("gRecent");
    connect(recentMenu_, &QMenu::aboutToShow, this, &TfrmMain::FillRecentMenu);
    FillRecentMenu();
    // "Open" into the current window has neither a visible menu item nor a button; the
    // command stays reachable for the document windows' capability bits.
    gFile->addAction(Action("acSave"));
    gFile->addAction(Action("acPrint"));
    gFile->addAction(Action("acClose"));
    gFile->addSeparator();
    gFile->addAction(Action("acExit"));
    QMenu* gEdit = menuBar()->addMenu(Tr("&Правка"));
    gEdit->setObjectName("gEdit");
    gEdit->addAction(Action("acEdit"));
    gEdit->addSeparator();
    gEdit->addAction(Action("acFind"));
    gEdit->addAction(Action("acFindNext"));
    QMenu* gView = menuBar()->addMenu(Tr("&View"));
    gView->setObjectName("gView");
    for (const char* n : {"acZoomIn", "acZoomOut", "acActualSize", "acFitWidth", "acFitPage"}) gView->addAction(Action(n));
    gView->addSeparator();
    gView->addAction(Action("acGoToPage"));
    gView->addSeparator();
    gView->addAction(Action("acFullScreen"));
    gWindow_ = menuBar()->addMenu(Tr("&Окна"));
    gWindow_->setObjectName("gWindow");
    gWindow_->addAction(Action("acWindowTileHorizontal"));
    gWindow_->addAction(Action("acWindowTileVertical"));
    gWindow_->addAction(Action("acWindowCascade"));
    gWindow_->addSeparator();
    gWindow_->addAction(Action("acWindowMinimizeAll"));
    windowItems_ = new QActionGroup(this);
    windowItems_->setExclusive(true);
}

void TfrmMain::CreateToolBar() {
    toolBar_ = addToolBar("ToolBar2");
    toolBar_->setObjectName("ToolBar2");
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(24, 24));
    toolBar_->setFixedHeight(48);
    for (const char* name : {"acNew", "acSave", "acFind", "acPrint", "acEdit", "acClose"})
        toolBar_->addAction(Action(name));
    auto* gap = new QWidget(toolBar_);
    gap->setFixedWidth(8);
    toolBar_->addWidget(gap);
    toolBar_->addAction(Action("acExit"));
    for (QAction* a : toolBar_->actions())
        if (auto* b = qobject_cast<QToolButton*>(toolBar_->widgetForAction(a))) b->setMinimumSize(43, 38);
}

void TfrmMain::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar");
    auto* pageText = new QLabel(Tr("Page"), bar);
    pageField_ = new QSpinBox(bar);
    pageField_->setObjectName("PageField");
    pageField_->setRange(0, 0);
    pageField_->setAccelerated(true);
    pageField_->setKeyboardTracking(false);
    pageField_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    pageField_->setAlignment(Qt::AlignRight);
    pageField_->setMinimumWidth(60);
    pageField_->setToolTip(Tr("Go to page (Ctrl+G)"));
    pageCountLabel_ = new QLabel(bar);
    pageCountLabel_->setObjectName("PageCountLabel");
    // Small "-" and "+" buttons beside the zoom; the commands carry the long captions.
    auto* zoomOut = zoomOutButton_ = new QToolButton(bar);
    zoomOut->setObjectName("ZoomOutButton");
    zoomOut->setText("-");
    zoomOut->setToolTip(Action("acZoomOut")->text());
    connect(zoomOut, &QToolButton::clicked, Action("acZoomOut"), &QAction::trigger);
    zoomLabel_ = new QLabel(bar);
    zoomLabel_->setObjectName("ZoomLabel");
    zoomLabel_->setMinimumWidth(48);
    zoomLabel_->setAlignment(Qt::AlignCenter);
    auto* zoomIn = zoomInButton_ = new QToolButton(bar);
    zoomIn->setObjectName("ZoomInButton");
    zoomIn->setText("+");
    zoomIn->setToolTip(Action("acZoomIn")->text());
    connect(zoomIn, &QToolButton::clicked, Action("acZoomIn"), &QAction::trigger);
    for (QWidget* w : std::initializer_list<QWidget*>{pageText, pageField_, pageCountLabel_, zoomOut, zoomLabel_, zoomIn})
        bar->addPermanentWidget(w);
    connect(pageField_, &QSpinBox::valueChanged, this, [this](int page) {
        IViewerDocument* d = ActiveDocument();
        if (d && page >= 1 && page != d->CurrentPage()) d->GoToPage(page);
    });
    // Enter and Escape give the keys back to the document: Page Down goes on from the page chosen.
    pageField_->installEventFilter(this);
}

QAction* TfrmMain::Action(const char* name) const { return findChild<QAction*>(name, Qt::FindDirectChildrenOnly); }

QMdiSubWindow* TfrmMain::CurrentSubWindow() const {
    // While another application is active the area has no active window; the last one stays current.
    if (QMdiSubWindow* w = mdi_->currentSubWindow()) return w;
    return mdi_->subWindowList().contains(lastActive_) ? lastActive_ : nullptr;
}

IViewerDocument* TfrmMain::ActiveDocument() const { return DocumentOf(CurrentSubWindow()); }

void TfrmMain::ActionListUpdate() {
    IViewerDocument* d = ActiveDocument();
    const uint8_t caps = d ? d->Capabilities() : 0;
    Action("acLoad")->setEnabled(caps & kvcap::Load);
    Action("acSave")->setEnabled(caps & kvcap::Save);
    Action("acFind")->setEnabled(caps & kvcap::Find);
    Action("acFindNext")->setEnabled(caps & kvcap::Find);
    Action("acPrint")->setEnabled(caps & kvcap::Print);
    Action("acEdit")->setEnabled(caps & kvcap::Edit);
    Action("acClose")->setEnabled(caps & kvcap::Close);
    const bool any = !mdi_->subWindowList().isEmpty();
    for (const char* name : {"acWindowTileHorizontal", "acWindowTileVertical", "acWindowCascade", "acWindowMinimizeAll"})
        Action(name)->setEnabled(any);

    const int pages = d ? d->PageCount() : 0;
    for (const char* name : {"acZoomIn", "acZoomOut", "acActualSize", "acFitWidth", "acFitPage", "acGoToPage"})
        Action(name)->setEnabled(pages > 0);
    pageField_->setEnabled(pages > 0);
    zoomOutButton_->setEnabled(pages > 0);
    zoomInButton_->setEnabled(pages > 0);
    if (!pageField_->hasFocus()) {
        const QSignalBlocker block(pageField_);
        pageField_->setRange(pages > 0 ? 1 : 0, pages);
        pageField_->setValue(pages > 0 ? d->CurrentPage() : 0);
    }
    pageCountLabel_->setText(pages > 0 ? QStringLiteral("/ %1").arg(pages) : QString());
    zoomLabel_->setText(pages > 0 ? QStringLiteral("%1%").arg(qRound(d->ZoomPercent())) : QString());
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pageField_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            if (key == Qt::Key_Escape) {
                // The page shown stays; what was typed is dropped.
                const QSignalBlocker block(pageField_);
                IViewerDocument* d = ActiveDocument();
                pageField_->setValue(d ? d->CurrentPage() : 0);
            } else {
                pageField_->interpretText();
            }
            if (QMdiSubWindow* w = CurrentSubWindow()) w->widget()->setFocus(Qt::OtherFocusReason);
            ActionListUpdate();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::RunCommand(const std::function<void(IViewerDocument&)>& command) {
    IViewerDocument* d = ActiveDocument();
    if (!d) return;
    try {
        command(*d);
    } catch (const std::exception& e) {
        ReportFailure(QString::fromLocal8Bit(e.what()));
    }
    ActionListUpdate();
}

QMdiSubWindow* TfrmMain::CreateDocumentWindow() {
    QWidget* widget = factory_();
    QMdiSubWindow* w = mdi_->addSubWindow(widget);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setWindowIcon(kv::ApplicationIcon());
    const int number = nextWindowNumber_++;
    w->setProperty(kWindowNumberProperty, number);
    if (IViewerDocument* d = DocumentOf(w))
        d->SetMessageSink([this](const QString& message) { statusBar()->showMessage(message, 10000); });
    // However the window goes (close command, frame button, Ctrl+F4), its Window-menu item goes too.
    connect(w, &QObject::destroyed, this, [this, number] {
        const QString name = QStringLiteral("m%1").arg(number);
        for (QAction* a : gWindow_->actions())
            if (a->objectName() == name) delete a;
    });
    // The frame's own Close would claim Ctrl+W and Ctrl+F4 as well, and an ambiguous key does nothing.
    if (QMenu* menu = w->systemMenu())
        for (QAction* a : menu->actions()) a->setShortcuts({});
    // Restored later (by its frame's button, or when another window is maximised), the window
    // comes back at a useful size, not at the few pixels it was made with.
    const int count = int(mdi_->subWindowList().size()) - 1;
    w->setGeometry(CascadeRect(count));
    w->showMaximized();
    mdi_->setActiveSubWindow(w);
    return w;
}

TfrmMain::Arrangement TfrmMain::SaveArrangement() const {
    Arrangement a;
    a.active = mdi_->activeSubWindow();
    for (QMdiSubWindow* w : mdi_->subWindowList()) a.windows.push_back({w, w->windowState(), w->geometry()});
    return a;
}

void TfrmMain::DiscardDocumentWindow(QMdiSubWindow* w, const Arrangement& before) {
    // The area maximises or activates another window when one goes: the others are put back as
    // they were before the window came.
    mdi_->removeSubWindow(w);
    w->hide();
    w->deleteLater();
    for (const auto& [sub, state, geometry] : before.windows) {
        if (!sub || state & (Qt::WindowMaximized | Qt::WindowMinimized)) continue;
        if (sub->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) sub->showNormal();
        sub->setGeometry(geometry);
    }
    if (before.active) mdi_->setActiveSubWindow(before.active);
    for (const auto& [sub, state, geometry] : before.windows) {
        if (!sub) continue;
        if (state & Qt::WindowMaximized) sub->showMaximized();
        else if (state & Qt::WindowMinimized) sub->showMinimized();
    }
}

void TfrmMain::AddWindowMenuItem(QMdiSubWindow* w) {
    const int number = w->property(kWindowNumberProperty).toInt();
    auto* item = new QAction(w->windowTitle().left(255), gWindow_);
    item->setObjectName(QStringLiteral("m%1").arg(number));
    item->setData(number);
    item->setCheckable(true);
    windowItems_->addAction(item);
    connect(item, &QAction::triggered, this, [this, number] { ShowDocumentWindow(number); });
    gWindow_->addAction(item);
    CheckActiveWindowItem();
}

void TfrmMain::ShowDocumentWindow(int number) {
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (sub->property(kWindowNumberProperty).toInt() != number) continue;
        // A minimised window comes back as it was before.
        if (sub->isMinimized()) sub->showNormal();
        mdi_->setActiveSubWindow(sub);
        sub->raise();
        CheckActiveWindowItem();
        return;
    }
}

void TfrmMain::CheckActiveWindowItem() {
    QAction* item = FindWindowMenuItem(CurrentSubWindow());
    for (QAction* a : windowItems_->actions()) a->setChecked(a == item);
}

QAction* TfrmMain::FindWindowMenuItem(QMdiSubWindow* w) const {
    if (!w) return nullptr;
    const QString name = QStringLiteral("m%1").arg(w->property(kWindowNumberProperty).toInt());
    for (QAction* a : gWindow_->actions())
        if (a->objectName() == name) return a;
    return nullptr;
}

QRect TfrmMain::CascadeRect(int k) const {
    // Each window keeps a useful size: two thirds of the area, at least 400 x 300 where it fits;
    // the steps start again at the top left when the next one would leave the area.
    const QSize area = mdi_->viewport()->size();
    const int step = std::max(24, style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const QSize size(std::min(area.width(), std::max(400, area.width() * 2 / 3)),
                     std::min(area.height(), std::max(300, area.height() * 2 / 3)));
    const int fit = std::max(1, std::min((area.width() - size.width()) / step, (area.height() - size.height()) / step) + 1);
    const int at = (k % fit) * step;
    return QRect(QPoint(at, at), size);
}

void TfrmMain::Arrange(const std::function<QRect(int index, int count)>& place) {
    QList<QMdiSubWindow*> list;
    for (QMdiSubWindow* w : mdi_->subWindowList())
        if (!w->isMinimized()) list << w;
    if (list.isEmpty()) return;
    // A maximised window is restored first and its contents laid out again, so that the frame
    // and what is inside it take the new size together.
    for (QMdiSubWindow* w : list)
        if (w->isMaximized()) w->showNormal();
    for (int i = 0; i < list.size(); ++i) {
        QMdiSubWindow* w = list[i];
        w->setGeometry(place(i, int(list.size())));
        if (QLayout* l = w->layout()) l->activate();
        w->raise();
    }
}

void TfrmMain::Cascade() {
    Arrange([this](int i, int) { return CascadeRect(i); });
}

void TfrmMain::Opened(QMdiSubWindow* w) {
    AddWindowMenuItem(w);
    if (IViewerDocument* d = DocumentOf(w)) {
        kv::DocumentMemory().AddRecentFile(d->FileName());
        FillRecentMenu();
    }
}

void TfrmMain::OpenPendingFile(const QString& fileName) {
    if (fileName.trimmed().isEmpty()) return;
    const Arrangement before = SaveArrangement();
    QMdiSubWindow* w = CreateDocumentWindow();
    IViewerDocument* d = DocumentOf(w);
    if (d->OpenFile(fileName)) {
        Opened(w);
    } else {
        // A build the user cancelled is no failure to report.
        if (!d->OpenCancelled())
            ReportFailure(d->LastError().isEmpty() ? Tr("Cannot open \"%1\".").arg(fileName) : d->LastError());
        // A window showing nothing does not stay behind; pages read before the damage stay shown.
        if (d->PageCount() == 0) {
            DiscardDocumentWindow(w, before);
        } else {
            Opened(w);
        }
    }
    ActionListUpdate();
}

void TfrmMain::acNewExecute() {
    const Arrangement before = SaveArrangement();
    QMdiSubWindow* w = CreateDocumentWindow();
    IViewerDocument* d = DocumentOf(w);
    try {
        if (d->OpenWithDialog()) Opened(w);
        else DiscardDocumentWindow(w, before);
    } catch (const std::exception& e) {
        ReportFailure(QString::fromLocal8Bit(e.what()));
        if (d->PageCount() == 0) DiscardDocumentWindow(w, before);
        else Opened(w);
    }
    ActionListUpdate();
}

void TfrmMain::acLoadExecute() {
    QMdiSubWindow* w = CurrentSubWindow();
    IViewerDocument* d = DocumentOf(w);
    if (!d) return;
    try {
        if (!d->OpenWithDialog()) return;
    } catch (const std::exception& e) {
        ReportFailure(QString::fromLocal8Bit(e.what()));
        ActionListUpdate();
        return;
    }
    if (QAction* item = FindWindowMenuItem(w)) item->setText(w->windowTitle().left(255));
    kv::DocumentMemory().AddRecentFile(d->FileName());
    ActionListUpdate();
}

void TfrmMain::ReportFailure(const QString& message) {
    // The message does not block: a second start waiting for its file to open is answered meanwhile.
    auto* box = new QMessageBox(QMessageBox::Critical, windowTitle(), message, QMessageBox::Ok, this);
    box->setObjectName("ErrorBox");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    statusBar()->showMessage(message, 10000);
}

QMessageBox* TfrmMain::LastErrorBox() const {
    const auto boxes = findChildren<QMessageBox*>("ErrorBox", Qt::FindDirectChildrenOnly);
    return boxes.isEmpty() ? nullptr : boxes.last();
}

void TfrmMain::acCloseExecute() {
    QMdiSubWindow* w = CurrentSubWindow();
    IViewerDocument* d = DocumentOf(w);
    if (!d) return;
    if (QAction* item = FindWindowMenuItem(w)) delete item;
    d->Close();
}

void TfrmMain::FillRecentMenu() {
    recentMenu_->clear();
    const QStringList files = kv::DocumentMemory().RecentFiles();
    int n = 1;
    for (const QString& f : files) {
        // A mnemonic digit for the first nine; ampersands in names are shown as they are.
        TkvTemplateRequest request;
        QString text = TkvTemplateRequest::Decode(f, request) ? request.Caption() : QDir::toNativeSeparators(f);
        text.replace('&', "&&");
        if (n <= 9) text = QStringLiteral("&%1 %2").arg(n).arg(text);
        QAction* a = recentMenu_->addAction(text);
        connect(a, &QAction::triggered, this, [this, f] { OpenPendingFile(f); });
        ++n;
    }
    if (!files.isEmpty()) recentMenu_->addSeparator();
    recentMenu_->addAction(Action("acClearRecent"));
    Action("acClearRecent")->setEnabled(!files.isEmpty());
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* e) {
    if (!e->mimeData()->hasUrls()) return;
    for (const QUrl& url : e->mimeData()->urls()) {
        if (IsReportFile(url)) {
            e->acceptProposedAction();
            return;
        }
    }
}

void TfrmMain::dropEvent(QDropEvent* e) {
    if (!e->mimeData()->hasUrls()) return;
    const QList<QUrl> urls = e->mimeData()->urls();
    e->acceptProposedAction();
    for (const QUrl& url : urls)
        if (IsReportFile(url)) OpenPendingFile(url.toLocalFile());
}

void TfrmMain::Activate() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    // Without a window manager nothing keeps a message or dialog above the window it belongs to:
    // the ones open (a failure just reported, say) come up again above it.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || !w->isVisible() || !w->isWindow()) continue;
        for (QWidget* owner = w->parentWidget(); owner; owner = owner->parentWidget()) {
            if (owner != this) continue;
            w->raise();
            w->activateWindow();
            break;
        }
    }
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
        // The frame is known once the window is mapped (a window manager takes a moment).
        for (int ms : {0, 500}) QTimer::singleShot(ms, this, &TfrmMain::KeepOnScreen);
    }
    QMainWindow::showEvent(e);
}

void TfrmMain::SetDesignerOpener(DesignerOpener opener) {
    designerOpener_ = std::move(opener);
    Action("acNewReport")->setVisible(bool(designerOpener_));
    Action("acOpenTemplate")->setVisible(bool(designerOpener_));
}

void TfrmMain::OpenDesigner(const QString& templateFile) {
    if (!designerOpener_) return;
    if (QMainWindow* w = designerOpener_(templateFile)) designers_ << w;
}

QList<QMainWindow*> TfrmMain::DesignerWindows() const {
    QList<QMainWindow*> open;
    for (const QPointer<QMainWindow>& w : designers_)
        if (w && w->isVisible()) open << w.data();
    return open;
}

void TfrmMain::closeEvent(QCloseEvent* e) {
    // A designer with unsaved changes asks first; a Cancel there keeps everything open.
    for (QMainWindow* w : DesignerWindows())
        if (!w->close()) {
            e->ignore();
            return;
        }
    SavePlacement();
    QMainWindow::closeEvent(e);
}

void TfrmMain::SavePlacement() {
    QSettings ini(placementFile_, QSettings::IniFormat);
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

QRect TfrmMain::FitToScreen(const QRect& wanted, const QRect& available, const QMargins& frame) {
    // A placement from another screen or scale: no larger than the screen, its frame on it.
    const QRect room = available.marginsRemoved(frame);
    QRect r(wanted.topLeft(), wanted.size().boundedTo(room.size()));
    if (r.right() > room.right()) r.moveRight(room.right());
    if (r.bottom() > room.bottom()) r.moveBottom(room.bottom());
    if (r.left() < room.left()) r.moveLeft(room.left());
    if (r.top() < room.top()) r.moveTop(room.top());
    return r;
}

QSize TfrmMain::FirstSize(const QRect& available) {
    // Room for the width of an A4 page at 100 % beside the scroll bar, and most of the screen's
    // height; 679 x 400 at least.
    const int pageWidth = qRound(210 / 25.4 * 91.6256157635468);
    const int scrollBar = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize wanted(std::max(679, pageWidth + 20 + scrollBar + 16), std::max(400, available.height() * 9 / 10));
    return wanted.boundedTo(available.size());
}

QMargins TfrmMain::FrameMargins(bool nearTop) const {
    const QRect f = frameGeometry(), g = geometry();
    const QMargins known(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
    // Before the window is mapped nothing is known of the title bar a window manager will add.
    if (known.isNull() && nearTop) return QMargins(0, TitleBarAllowance(), 0, 0);
    return known;
}

void TfrmMain::KeepOnScreen() {
    QScreen* on = screen();
    if (!on || isMaximized() || isFullScreen() || isMinimized()) return;
    const QRect available = on->availableGeometry();
    if (available.contains(frameGeometry())) return;
    setGeometry(FitToScreen(geometry(), available, FrameMargins(true)));
}

void TfrmMain::RestorePlacement() {
    QSettings ini(placementFile_, QSettings::IniFormat);
    ini.beginGroup("frmMain");
    const QStringList p = ini.value("NormPos").toString().split(',');
    QScreen* on = screen() ? screen() : QGuiApplication::primaryScreen();
    bool restored = false;
    if (p.size() == 4) {
        bool ok[4];
        const int l = p[0].toInt(&ok[0]), t = p[1].toInt(&ok[1]), r = p[2].toInt(&ok[2]), b = p[3].toInt(&ok[3]);
        if (ok[0] && ok[1] && ok[2] && ok[3] && r - l >= 100 && b - t >= 80 && r - l < 20000 && b - t < 20000) {
            const QRect saved(l, t, r - l, b - t);
            if (QScreen* at = QGuiApplication::screenAt(saved.center())) on = at;
            // A placement saved without a window manager starts at the screen's top: the title bar
            // one adds goes above it, and stays on the screen too.
            const bool nearTop = on && t < on->availableGeometry().top() + 8;
            setGeometry(on ? FitToScreen(saved, on->availableGeometry(), FrameMargins(nearTop)) : saved);
            restored = true;
        }
    }
    if (!restored && on) {
        // The first start: a window showing a whole page width, in the middle of the screen.
        const QRect available = on->availableGeometry();
        QRect r(QPoint(), FirstSize(available));
        r.moveCenter(available.center());
        setGeometry(FitToScreen(r, available, FrameMargins(true)));
    }
    if (ini.value("ShowCmd").toInt() == 3) setWindowState(windowState() | Qt::WindowMaximized);
    ini.endGroup();
}

int TfrmMain::TitleBarAllowance() {
    // What a window manager usually puts above a window; nothing is known before the window is mapped.
    return std::max(24, QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight));
}
