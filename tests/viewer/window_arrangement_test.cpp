// The main window as a new user meets it, on real widgets: tiling and cascading maximised
// documents, a failed open beside open documents, the close and find keys, restored placements and
// the first start's size, going to a page while pages lie side by side, and the status bar's
// controls without a document.
#include "core/startup.h"
#include "preview/page_box.h"
#include "preview/preview.h"
#include "preview/preview_form.h"
#include "support/kvp_builder.h"
#include "viewer/child_window.h"
#include "viewer/document_memory.h"
#include "viewer/main_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QString WriteReport(const QString& path, int pages) {
    kvpfile::FileSpec f;
    for (int i = 0; i < pages; ++i) {
        kvpfile::PageSpec p;
        p.Data = kvpfile::RealisticPage(i + 1, 4);
        f.Pages.push_back(p);
    }
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(kvpfile::BuildKvp(f));
    return path;
}

TfrmChild* ChildOf(QMdiSubWindow* sub) { return sub ? dynamic_cast<TfrmChild*>(sub->widget()) : nullptr; }

class WindowArrangement : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        kv::StartUp();
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setOrganizationName("KavoraTest");
    }
    void SetUp() override {
        report = WriteReport(dir.filePath("report.kvp"), 3);
        window.SetPlacementFile(dir.filePath("ViewKV.ini"));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void OpenDocuments(int n) {
        for (int i = 0; i < n; ++i) window.OpenPendingFile(report);
        ASSERT_EQ(window.MdiArea()->subWindowList().size(), n);
    }

    QTemporaryDir dir;
    QString report;
    TfrmMain window;
};

TEST_F(WindowArrangement, TileAndCascadeKeepEachPageAreaInsideItsFrame) {
    for (const char* command : {"acWindowTileHorizontal", "acWindowTileVertical", "acWindowCascade"}) {
        SCOPED_TRACE(command);
        for (QMdiSubWindow* sub : window.MdiArea()->subWindowList()) delete sub;
        OpenDocuments(3);
        ASSERT_TRUE(window.MdiArea()->activeSubWindow()->isMaximized());
        window.Action(command)->trigger();
        QApplication::processEvents();
        for (QMdiSubWindow* sub : window.MdiArea()->subWindowList()) {
            EXPECT_FALSE(sub->isMaximized());
            TfrmChild* child = ChildOf(sub);
            ASSERT_NE(child, nullptr);
            // The document fills its frame's inside, not the size it had maximised.
            const QRect inside = sub->contentsRect();
            EXPECT_TRUE(inside.contains(child->geometry())) << sub->size().width() << "x" << sub->size().height();
            const QSize area = child->Preview().Form().PreviewPanel()->grab().deviceIndependentSize().toSize();
            EXPECT_LE(area.width(), inside.width());
            EXPECT_LE(area.height(), inside.height());
            EXPECT_TRUE(sub->rect().contains(QRect(
                child->Preview().Form().VScrollBar()->mapTo(sub, QPoint()), child->Preview().Form().VScrollBar()->size())));
            // Fit Width takes the width the window has now.
            child->FitZoom(1);
            TkvPreviewForm& form = child->Preview().Form();
            EXPECT_EQ(form.HScrollBar()->maximum(), 0);
            EXPECT_LE(form.Pages()->PageInfo(0).PreviewRect.Right, form.PageBox()->width());
        }
    }
}

TEST_F(WindowArrangement, FailedOpenLeavesTheOtherWindowsAsTheyWere) {
    OpenDocuments(2);
    const auto states = [this] {
        QList<QPair<int, QRect>> out;
        for (QMdiSubWindow* sub : window.MdiArea()->subWindowList()) out.append({int(sub->windowState()), sub->geometry()});
        return out;
    };
    for (const char* arrangement : {"maximised", "acWindowTileVertical"}) {
        SCOPED_TRACE(arrangement);
        if (QByteArray(arrangement).startsWith("ac")) window.Action(arrangement)->trigger();
        QApplication::processEvents();
        const auto before = states();
        QMdiSubWindow* active = window.MdiArea()->activeSubWindow();
        window.OpenPendingFile(dir.filePath("missing.kvp"));
        QApplication::processEvents();
        ASSERT_NE(window.LastErrorBox(), nullptr);
        window.LastErrorBox()->close();
        EXPECT_EQ(states(), before);
        EXPECT_EQ(window.MdiArea()->activeSubWindow(), active);
    }
}

TEST_F(WindowArrangement, CloseKeysCloseTheActiveDocument) {
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)}) {
        SCOPED_TRACE(key.toString().toStdString());
        OpenDocuments(2);
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QMdiSubWindow* active = window.MdiArea()->activeSubWindow();
        QTest::keySequence(QApplication::focusWidget() ? QApplication::focusWidget() : &window, key);
        EXPECT_TRUE(QTest::qWaitFor([this] { return window.MdiArea()->subWindowList().size() == 1; }, 2000));
        EXPECT_FALSE(window.MdiArea()->subWindowList().contains(active));
        for (QMdiSubWindow* sub : window.MdiArea()->subWindowList()) delete sub;
    }
}

TEST_F(WindowArrangement, FindCommandsReachTheActiveDocument) {
    // A toolbar button and Edit menu items; without pages they are off.
    EXPECT_TRUE(window.findChild<QToolBar*>("ToolBar2")->actions().contains(window.Action("acFind")));
    QMenu* edit = window.menuBar()->findChild<QMenu*>("gEdit");
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->actions().contains(window.Action("acFind")));
    EXPECT_TRUE(edit->actions().contains(window.Action("acFindNext")));
    EXPECT_FALSE(window.Action("acFind")->text().isEmpty());
    window.ActionListUpdate();
    EXPECT_FALSE(window.Action("acFind")->isEnabled());
    EXPECT_EQ(window.Action("acFind")->shortcut(), QKeySequence(QKeySequence::Find));
    EXPECT_EQ(window.Action("acFindNext")->shortcut(), QKeySequence(QKeySequence::FindNext));

    OpenDocuments(1);
    window.ActionListUpdate();
    ASSERT_TRUE(window.Action("acFind")->isEnabled());
    TfrmChild* child = ChildOf(window.MdiArea()->activeSubWindow());
    TkvPreviewForm& form = child->Preview().Form();
    // F3 after a search goes on to the next match; the pages say "Page" in their text.
    form.StartSearch("Page", false, true);
    const int first = form.FoundIndex;
    window.Action("acFindNext")->trigger();
    EXPECT_NE(form.FoundIndex * 100 + form.SearchPage, first * 100);
}

TEST_F(WindowArrangement, RestoredPlacementLiesOnTheScreen) {
    const QRect screen = window.screen()->availableGeometry();
    struct Case {
        const char* what;
        QRect saved;
    } cases[] = {
        {"saved at a larger scale", QRect(screen.topLeft() + QPoint(100, 80), screen.size() * 2)},
        {"title bar above the screen", QRect(screen.left() + 20, screen.top() - 30, 500, 300)},
        {"beyond the right and bottom edges", QRect(screen.right() - 100, screen.bottom() - 50, 400, 300)},
        {"left of the screen", QRect(screen.left() - 1000, screen.top() + 40, 400, 300)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString ini = dir.filePath(QString::fromLatin1(c.what) + ".ini");
        {
            QSettings s(ini, QSettings::IniFormat);
            s.setValue("frmMain/NormPos", QStringLiteral("%1,%2,%3,%4")
                                              .arg(c.saved.left())
                                              .arg(c.saved.top())
                                              .arg(c.saved.right() + 1)
                                              .arg(c.saved.bottom() + 1));
        }
        TfrmMain w;
        w.SetPlacementFile(ini);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        EXPECT_TRUE(screen.contains(w.frameGeometry()))
            << w.frameGeometry().x() << "," << w.frameGeometry().y() << " " << w.frameGeometry().width() << "x"
            << w.frameGeometry().height();
    }
    // One that fits stays where it was.
    const QRect fits(screen.left() + 30, screen.top() + 40, std::min(500, screen.width() - 60),
                     std::min(300, screen.height() - 80));
    EXPECT_EQ(TfrmMain::FitToScreen(fits, screen, QMargins(2, 24, 2, 2)), fits);
}

TEST_F(WindowArrangement, FirstStartShowsAWholePageWidth) {
    // No placement saved: a window as wide as an A4 page at 100 % needs, where the screen allows.
    const QRect screen = window.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window.frameGeometry()));
    EXPECT_GE(window.width(), std::min(TfrmMain::FirstSize(screen).width(), screen.width() - 8));
    EXPECT_GE(window.height(), std::min(TfrmMain::FirstSize(screen).height(), screen.height() - 40));
    EXPECT_GE(TfrmMain::FirstSize(QRect(0, 0, 1920, 1080)).width(), 800);
    EXPECT_GE(TfrmMain::FirstSize(QRect(0, 0, 1920, 1080)).height(), 900);
    EXPECT_EQ(TfrmMain::FirstSize(QRect(0, 0, 1920, 1080)).boundedTo(QSize(679, 400)), QSize(679, 400));
    EXPECT_EQ(TfrmMain::FirstSize(QRect(0, 0, 600, 300)), QSize(600, 300));
    if (screen.width() >= TfrmMain::FirstSize(QRect(0, 0, 4000, 3000)).width()) {
        OpenDocuments(1);
        TfrmChild* child = ChildOf(window.MdiArea()->activeSubWindow());
        child->SetZoomPercent(100);
        EXPECT_EQ(child->Preview().Form().HScrollBar()->maximum(), 0);
    }
}

TEST_F(WindowArrangement, GoToPageWithPagesSideBySide) {
    const QString many = WriteReport(dir.filePath("many.kvp"), 40);
    window.OpenPendingFile(many);
    TfrmChild* child = ChildOf(window.MdiArea()->activeSubWindow());
    ASSERT_NE(child, nullptr);
    child->FitZoom(3);
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QSpinBox* field = window.PageField();
    // The preview's own page label gives way to the status bar's field.
    EXPECT_FALSE(child->Preview().Form().PageLabel()->isVisible());

    struct Step {
        const char* what;
        std::function<void()> act;
        int page;
    } steps[] = {
        {"go to an even page",
         [&] {
             window.Action("acGoToPage")->trigger();
             QTest::keyClicks(field, "30");
             QTest::keyClick(field, Qt::Key_Return);
         },
         30},
        {"Page Down after Enter", [&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown); }, 31},
        {"Escape keeps the page",
         [&] {
             window.Action("acGoToPage")->trigger();
             QTest::keyClicks(field, "5");
             QTest::keyClick(field, Qt::Key_Escape);
         },
         31},
        {"Ctrl+End", [&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier); }, 40},
        {"go to an odd page",
         [&] {
             window.Action("acGoToPage")->trigger();
             QTest::keyClicks(field, "7");
             QTest::keyClick(field, Qt::Key_Enter);
         },
         7},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        window.ActionListUpdate();
        EXPECT_EQ(child->CurrentPage(), s.page);
        EXPECT_EQ(field->value(), s.page);
        EXPECT_FALSE(field->hasFocus());
    }
}

TEST_F(WindowArrangement, StatusBarAndRememberedViewFollowTheDocument) {
    auto* zoomOut = window.findChild<QToolButton*>("ZoomOutButton");
    auto* zoomIn = window.findChild<QToolButton*>("ZoomInButton");
    ASSERT_NE(zoomOut, nullptr);
    ASSERT_NE(zoomIn, nullptr);
    window.ActionListUpdate();
    EXPECT_FALSE(zoomOut->isEnabled());
    EXPECT_FALSE(zoomIn->isEnabled());
    OpenDocuments(1);
    window.ActionListUpdate();
    EXPECT_TRUE(zoomOut->isEnabled());
    EXPECT_TRUE(zoomIn->isEnabled());

    // A fit mode is remembered as the mode, a free zoom as its percentage.
    struct Case {
        std::function<void(TfrmChild&)> set;
        int fitMode;
        double percent;
    } cases[] = {
        {[](TfrmChild& c) { c.FitZoom(1); }, 1, 0},
        {[](TfrmChild& c) { c.FitZoom(2); }, 2, 0},
        {[](TfrmChild& c) { c.SetZoomPercent(150); }, 0, 150},
    };
    for (const Case& c : cases) {
        TfrmChild* child = ChildOf(window.MdiArea()->activeSubWindow());
        ASSERT_NE(child, nullptr);
        c.set(*child);
        delete window.MdiArea()->activeSubWindow();
        const kv::RememberedView view = kv::DocumentMemory().Recall(report);
        EXPECT_EQ(view.fitMode, c.fitMode);
        if (c.percent > 0) {
            EXPECT_DOUBLE_EQ(view.zoomPercent, c.percent);
        }
        window.OpenPendingFile(report);
        child = ChildOf(window.MdiArea()->activeSubWindow());
        EXPECT_EQ(child->FitMode(), c.fitMode);
    }
}

} // namespace
