// The main window on real widgets: commands enabled from the capability bits, the Window menu,
// opening files, and document windows that failed to open.
#include "core/startup.h"
#include "export/export_registry.h"
#include "preview/preview.h"
#include "preview/preview_form.h"
#include "support/kvp_builder.h"
#include "viewer/child_window.h"
#include "viewer/main_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A document window whose capabilities and open results a test chooses.
class FakeDocument : public QWidget, public IViewerDocument {
public:
    uint8_t caps = 33;
    bool openResult = true;
    bool cancelled = false;
    int saves = 0;
    uint8_t Capabilities() const override { return caps; }
    void Prepare() override {}
    bool OpenWithDialog() override { return openResult; }
    bool OpenFile(const QString& name) override {
        setWindowTitle(name);
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) sub->setWindowTitle(name);
        return openResult;
    }
    bool OpenCancelled() const override { return cancelled; }
    bool SaveAs() override { return ++saves, true; }
    void Find() override {}
    void Print() override {}
    void Edit() override {}
    void Close() override { parentWidget()->close(); }
};

QStringList EnabledCommands(TfrmMain& w) {
    QStringList out;
    for (const char* n : {"acNew", "acLoad", "acSave", "acFind", "acPrint", "acEdit", "acClose", "acExit"})
        if (w.Action(n)->isEnabled()) out << n;
    return out;
}

QStringList WindowItems(TfrmMain& w) {
    QStringList out;
    for (QAction* a : w.WindowMenu()->actions())
        if (a->objectName().startsWith('m')) out << a->objectName() + "=" + a->text();
    return out;
}

class Viewer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kv::StartUp(); }
};

TEST_F(Viewer, CommandsFollowTheCapabilityBits) {
    FakeDocument* last = nullptr;
    TfrmMain w(nullptr, [&last] { return last = new FakeDocument; });
    w.ActionListUpdate();
    EXPECT_EQ(EnabledCommands(w), (QStringList{"acNew", "acExit"}));

    struct Case {
        uint8_t caps;
        QStringList enabled;
    };
    const Case cases[] = {
        {33, {"acNew", "acLoad", "acClose", "acExit"}},
        {63, {"acNew", "acLoad", "acSave", "acFind", "acPrint", "acEdit", "acClose", "acExit"}},
        {0x0A, {"acNew", "acSave", "acPrint", "acExit"}},
        {0, {"acNew", "acExit"}},
    };
    w.OpenPendingFile("/tmp/a.kvp");
    ASSERT_NE(last, nullptr);
    for (const Case& c : cases) {
        last->caps = c.caps;
        w.ActionListUpdate();
        EXPECT_EQ(EnabledCommands(w), c.enabled) << int(c.caps);
    }
}

TEST_F(Viewer, WindowMenuHasOneItemPerOpenedDocument) {
    bool nextOpens = true;
    TfrmMain w(nullptr, [&nextOpens] {
        auto* d = new FakeDocument;
        d->openResult = nextOpens;
        return d;
    });
    w.OpenPendingFile("/tmp/same.kvp");
    w.OpenPendingFile("/tmp/same.kvp");
    EXPECT_EQ(WindowItems(w), (QStringList{"m1=/tmp/same.kvp", "m2=/tmp/same.kvp"}));

    // An empty name opens nothing; a failed open that shows nothing leaves no window and no item.
    w.OpenPendingFile("  ");
    EXPECT_EQ(w.MdiArea()->subWindowList().size(), 2);
    w.OpenPendingFile("/tmp/x.kvp");
    nextOpens = false;
    w.OpenPendingFile("/tmp/broken.kvp");
    EXPECT_EQ(w.MdiArea()->subWindowList().size(), 3);
    EXPECT_EQ(WindowItems(w).size(), 3);
    ASSERT_NE(w.LastErrorBox(), nullptr);
    EXPECT_TRUE(w.LastErrorBox()->text().contains("/tmp/broken.kvp"));
    w.LastErrorBox()->close();

    // Choosing an item activates its window; the close command removes the item and the window.
    QAction* first = w.WindowMenu()->findChild<QAction*>("m1");
    ASSERT_NE(first, nullptr);
    first->trigger();
    EXPECT_EQ(w.MdiArea()->activeSubWindow(), w.MdiArea()->subWindowList().at(0));
    w.Action("acClose")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.MdiArea()->subWindowList().size() == 2; }));
    EXPECT_EQ(WindowItems(w), (QStringList{"m2=/tmp/same.kvp", "m3=/tmp/x.kvp"}));
    EXPECT_EQ(w.MdiArea()->subWindowList().size(), 2);
}

// A build the user cancelled shows no error; the window goes. A failure reported while the window
// comes to the front (a second start's file) stays above it and takes the keys.
TEST_F(Viewer, CancelledOpenIsNoErrorAndFailuresStayInFront) {
    bool cancel = true;
    TfrmMain w(nullptr, [&cancel] {
        auto* d = new FakeDocument;
        d->openResult = false;
        d->cancelled = cancel;
        return d;
    });
    w.show();
    w.OpenPendingFile("/tmp/report.kvf");
    EXPECT_EQ(w.LastErrorBox(), nullptr);
    EXPECT_TRUE(w.MdiArea()->subWindowList().isEmpty());
    cancel = false;
    w.OpenPendingFile("/tmp/broken.kvp");
    ASSERT_NE(w.LastErrorBox(), nullptr);
    w.Activate();
    EXPECT_TRUE(QTest::qWaitFor([&w] { return QApplication::activeWindow() == w.LastErrorBox(); }, 2000));
    w.LastErrorBox()->close();
}

TEST_F(Viewer, NewWindowWhoseDialogIsCancelledDisappears) {
    TfrmMain w(nullptr, [] {
        auto* d = new FakeDocument;
        d->openResult = false;
        return d;
    });
    w.Action("acNew")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.MdiArea()->subWindowList().isEmpty(); }));
    EXPECT_TRUE(w.MdiArea()->subWindowList().isEmpty());
    EXPECT_TRUE(WindowItems(w).isEmpty());
}

TEST_F(Viewer, NewDocumentWindowCanOnlyLoadAndClose) {
    TfrmChild child;
    EXPECT_EQ(child.Capabilities(), 33);
}

// A report of `pages` A4 pages written to a temporary file.
QString WriteReport(const QTemporaryDir& dir, int pages, const QByteArray& extraPage = {}) {
    kvpfile::FileSpec f;
    for (int i = 0; i < pages; ++i) {
        kvpfile::PageSpec p;
        p.Data = kvpfile::RealisticPage(i + 1, 12);
        f.Pages.push_back(p);
    }
    if (!extraPage.isEmpty()) {
        kvpfile::PageSpec p;
        p.Data = extraPage;
        f.Pages.push_back(p);
    }
    const QString path = dir.filePath("report.kvp");
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(kvpfile::BuildKvp(f));
    return path;
}

TEST_F(Viewer, OpenedReportNavigatesWithKeys) {
    QTemporaryDir dir;
    const QString path = WriteReport(dir, 5);
    TfrmMain w;
    w.resize(900, 700);
    w.show();
    w.OpenPendingFile(path);
    auto* child = dynamic_cast<TfrmChild*>(w.MdiArea()->activeSubWindow()->widget());
    ASSERT_NE(child, nullptr);
    // Find searches the pages; no page editor exists, so edit is not offered.
    EXPECT_EQ(child->Capabilities(), kvcap::Load | kvcap::Save | kvcap::Print | kvcap::Find | kvcap::Close);
    EXPECT_EQ(WindowItems(w).size(), 1);
    TkvPreview& preview = child->Preview();
    ASSERT_EQ(preview.PageCount(), 5);
    EXPECT_EQ(preview.CurrentPage(), 1);
    int notified = 0;
    preview.OnPageChanged = [&notified](int page) { notified = page; };

    QTest::keyClick(child, Qt::Key_PageDown);
    EXPECT_EQ(preview.CurrentPage(), 2);
    EXPECT_EQ(notified, 2);
    EXPECT_EQ(preview.Form().PageLabel()->text(), "Page 2/5");
    QTest::keyClick(child, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(preview.CurrentPage(), 5);
    QTest::keyClick(child, Qt::Key_PageDown);
    EXPECT_EQ(preview.CurrentPage(), 5);
    QTest::keyClick(child, Qt::Key_PageUp);
    EXPECT_EQ(preview.CurrentPage(), 4);
    QTest::keyClick(child, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(preview.CurrentPage(), 1);
    EXPECT_EQ(preview.Form().PageLabel()->text(), "Page 1/5");
    preview.SetCurrentPage(0);
    preview.SetCurrentPage(6);
    EXPECT_EQ(preview.CurrentPage(), 1);
}

} // namespace

// Every document window creates the RTF, table RTF and workbook filters; the save dialog's list
// keeps those three entries, in that order, while any window lives and whichever closes first.
TEST(DocumentWindowExports, FiltersStayListedWhileAnyWindowLives) {
    kv::StartUp();
    const auto masks = [] {
        QList<QByteArray> out;
        for (const auto& e : kv::ExportFilters()) out << e.ClassName + " " + e.FileMask;
        return out;
    };
    const QList<QByteArray> want{"TkvRTFExport *.rtf", "TkvRtfAdvExport *.rtf", "TkvXlsxExport *.xlsx"};
    auto first = std::make_unique<TfrmChild>();
    auto second = std::make_unique<TfrmChild>();
    EXPECT_EQ(masks(), want);
    first.reset();
    EXPECT_EQ(masks(), want);
    for (const auto& e : kv::ExportFilters()) EXPECT_NE(e.Filter, nullptr);
    EXPECT_EQ(kv::ExportFilters()[2].Description, "Excel workbook (*.xlsx)");
    second.reset();
    EXPECT_TRUE(kv::ExportFilters().empty());
}
