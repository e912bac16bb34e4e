// The library context: two exports and a separate preview one after another in one process each
// work on their own report and leave what was current before them in place; scopes put the
// previous context and current objects back, also when an assertion fails inside them.
#include "core/globals.h"
#include "core/library_context.h"
#include "core/report/report.h"
#include "core/startup.h"
#include "export/export_fixture.h"
#include "export/export_run.h"
#include "export/text_export.h"
#include "preview/preview_form.h"
#include "preview/separate_preview.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TkvPreviewForm* VisiblePreviewWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = dynamic_cast<TkvPreviewForm*>(w); f && f->isVisible()) return f;
    return nullptr;
}

TEST(LibraryContext, TwoExportsAndAPreviewRunOneAfterAnotherWithoutCrossTalk) {
    kv::StartUp();
    const bool processHasPreview = bool(kv::Library().SeparatePreview);
    {
        TkvLibraryContext context;
        TkvLibraryScope scope(context);
        kv::InstallSeparatePreview(); // into this test's context only
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        TkvReport first, second, before;
        kvtest::AddMemoPage(first, {{0, 0, 200, 20, QStringLiteral("first")}});
        kvtest::AddMemoPage(second, {{0, 0, 200, 20, QStringLiteral("second")}});
        kvtest::AddMemoPage(second, {{0, 0, 200, 20, QStringLiteral("second, page 2")}});
        kv::CurReport() = &before; // what a designer or preview had current

        TkvTextExport a;
        a.ShowDialog = false;
        ASSERT_TRUE(kv::ExportWithFilter(first, a, dir.filePath("first.txt")).Ok());
        EXPECT_EQ(kv::CurReport(), &before);
        EXPECT_EQ(kv::MasterReport(), nullptr);
        EXPECT_EQ(kv::DocumentMode(), 0);

        TkvTextExport b;
        b.ShowDialog = false;
        ASSERT_TRUE(kv::ExportWithFilter(second, b, dir.filePath("second.txt")).Ok());
        EXPECT_EQ(kv::CurReport(), &before);
        EXPECT_EQ(kv::DocumentMode(), 0);
        EXPECT_TRUE(Read(dir.filePath("first.txt")).startsWith("first\r\n"));
        EXPECT_FALSE(Read(dir.filePath("first.txt")).contains("second"));
        EXPECT_TRUE(Read(dir.filePath("second.txt")).contains("second, page 2"));

        second.ModalPreview = false;
        second.ShowPreparedPages();
        TkvPreviewForm* window = VisiblePreviewWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->PageCount(), 2);
        window->close();
        EXPECT_EQ(second.EMFPages.Count(), 2);
        EXPECT_EQ(first.EMFPages.Count(), 1);
    }
    EXPECT_EQ(bool(kv::Library().SeparatePreview), processHasPreview)
        << "the test's hook stayed in its context";
}

// Changes the current objects under both kinds of scope and fails an assertion inside them.
void FailInsideScopes() {
    TkvCurrentObjectsScope objects;
    kv::DocumentMode() = 1;
    static TkvLibraryContext inner;
    TkvLibraryScope scope(inner);
    ASSERT_EQ(kv::CurReport(), nullptr) << "a new context starts with no current report";
    kv::FirstPassActive() = 1;
    ASSERT_TRUE(false) << "failing inside the scopes";
}

TEST(LibraryContext, ScopesPutStateBackWhenAnAssertionFailsInside) {
    TkvLibraryContext outer;
    TkvLibraryScope scope(outer);
    TkvReport report;
    kv::CurReport() = &report;
    EXPECT_FATAL_FAILURE(FailInsideScopes(), "failing inside the scopes");
    EXPECT_EQ(&kv::Library(), &outer);
    EXPECT_EQ(kv::CurReport(), &report);
    EXPECT_EQ(kv::DocumentMode(), 0);
    EXPECT_EQ(kv::FirstPassActive(), 0);
}

} // namespace
