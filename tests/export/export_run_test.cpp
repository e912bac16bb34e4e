// Running an export over a report's pages: renaming and vetoing, cancelling, page lists, the
// memo line hand-over through the store, and two exports in one process.
#include "export/export_fixture.h"
#include "export/export_run.h"
#include "export/text_export.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ExportRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (int p = 1; p <= 3; ++p)
            kvtest::AddMemoPage(report, {{0, 0, 200, 20, QStringLiteral("page %1").arg(p)},
                                         {0, 28, 200, 40, QStringLiteral("Итого\nTotal")}});
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    TkvReport report;
};

TEST_F(ExportRun, PagesObjectsAndMemoLinesReachTheFile) {
    TkvTextExport f;
    f.ShowDialog = false;
    f.PageList = {1, 3};
    const TkvExportResult r = kv::ExportWithFilter(report, f, Path("out.txt"));
    ASSERT_TRUE(r.Ok()) << r.Message.toStdString();
    EXPECT_EQ(r.Pages, 2);
    const QByteArray total = kv::EncodeText(QStringLiteral("Итого"), 1);
    EXPECT_EQ(Read(Path("out.txt")), "page 1\r\n" + total + "\r\nTotal\r\n\x0c\r\npage 3\r\n" + total +
                                         "\r\nTotal\r\n\x0c\r\n");
}

TEST_F(ExportRun, BeforeExportRenamesOrVetoes) {
    TkvTextExport f;
    f.ShowDialog = false;
    QString after;
    f.OnBeforeExport = [&](QString& name, bool&) { name = Path("renamed.txt"); };
    f.OnAfterExport = [&](const QString& name) { after = name; };
    TkvExportResult r = kv::ExportWithFilter(report, f, Path("asked.txt"));
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.FileName, Path("renamed.txt"));
    EXPECT_EQ(after, Path("renamed.txt"));
    EXPECT_FALSE(QFile::exists(Path("asked.txt")));
    EXPECT_TRUE(QFile::exists(Path("renamed.txt")));

    after.clear();
    f.OnBeforeExport = [](QString&, bool& proceed) { proceed = false; };
    r = kv::ExportWithFilter(report, f, Path("vetoed.txt"));
    EXPECT_EQ(r.Outcome, TkvExportOutcome::Declined);
    EXPECT_FALSE(QFile::exists(Path("vetoed.txt")));
    EXPECT_TRUE(after.isEmpty());

    f.OnBeforeExport = nullptr;
    f.ShowDialog = true;
    f.OptionsDialog = [](TkvExportFilter&) { return kvmr::Cancel; };
    EXPECT_EQ(kv::ExportWithFilter(report, f, Path("dialog.txt")).Outcome, TkvExportOutcome::Declined);
    EXPECT_FALSE(QFile::exists(Path("dialog.txt")));
}

// Cancel after the first page: reported as cancelled, the old target is untouched, and the next
// export starts with CancelRequested cleared.
TEST_F(ExportRun, CancelLeavesTheTargetAsItWas) {
    {
        QFile old(Path("t.txt"));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    struct CancelAfterFirst : TkvExportProgress {
        void PageDone(TkvReport& r, int, int) override { r.CancelRequested = true; }
    } cancel;
    TkvTextExport f;
    f.ShowDialog = false;
    const TkvExportResult r = kv::ExportWithFilter(report, f, Path("t.txt"), &cancel);
    EXPECT_EQ(r.Outcome, TkvExportOutcome::Cancelled);
    EXPECT_FALSE(r.Message.isEmpty());
    EXPECT_EQ(Read(Path("t.txt")), "old");
    EXPECT_EQ(dir.path(), QFileInfo(Path("t.txt")).path());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"t.txt"}) << "no temporary file left";

    EXPECT_TRUE(kv::ExportWithFilter(report, f, Path("t.txt")).Ok());
    EXPECT_TRUE(Read(Path("t.txt")).startsWith("page 1"));
}

TEST_F(ExportRun, TwoFiltersOneAfterTheOtherKeepTheirOwnState) {
    TkvTextExport a, b;
    a.ShowDialog = b.ShowDialog = false;
    b.PageBreaks = false;
    b.PageList = {2};
    TkvReport other;
    kvtest::AddMemoPage(other, {{0, 0, 200, 20, QStringLiteral("other report")}});
    ASSERT_TRUE(kv::ExportWithFilter(report, a, Path("a.txt")).Ok());
    EXPECT_EQ(kv::ExportWithFilter(other, b, Path("b.txt")).Outcome, TkvExportOutcome::Failed); // no page 2
    ASSERT_TRUE(kv::ExportWithFilter(report, b, Path("c.txt")).Ok());
    EXPECT_EQ(Read(Path("a.txt")).count('\x0c'), 3);
    EXPECT_FALSE(QFile::exists(Path("b.txt")));
    EXPECT_TRUE(Read(Path("c.txt")).startsWith("page 2\r\n"));
    EXPECT_EQ(a.Stream, nullptr);
    EXPECT_EQ(b.Report, nullptr);
}

TEST_F(ExportRun, UnwritableTargetFailsWithAMessage) {
    TkvTextExport f;
    f.ShowDialog = false;
    const TkvExportResult r = kv::ExportWithFilter(report, f, Path("missing/dir/out.txt"));
    EXPECT_EQ(r.Outcome, TkvExportOutcome::Failed);
    EXPECT_FALSE(r.Message.isEmpty());
}

} // namespace
