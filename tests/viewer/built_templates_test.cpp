// Templates in the viewer: the example price list built over its database with the command line's
// options straight into a document window titled by the template, the recent entry that builds it
// again, the failures shown instead of a report, and the one-line form a template travels in.
#include "viewer/built_templates.h"

#include "core/report/report.h"
#include "core/startup.h"
#include "tools/example_templates.h"
#include "viewer/child_window.h"
#include "viewer/document_memory.h"
#include "viewer/main_window.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(TemplateRequest, CarriesTheOptionsWithAbsoluteNames) {
    EXPECT_TRUE(kv::IsTemplateFile("/x/a.kvf"));
    EXPECT_TRUE(kv::IsTemplateFile("A.KVF"));
    EXPECT_FALSE(kv::IsTemplateFile("a.kvp"));

    const TkvTemplateRequest r = TkvTemplateRequest::FromCommandLine(
        "t/price.kvf",
        {"--db", "sqlite:shop.sqlite", "--data", "Items=csv:data/items.csv", "--data", "Q=SELECT 1", "--var",
         "Shop=Corner shop", "--db", "sqlite::memory:"},
        "/home/u");
    EXPECT_EQ(r.TemplateFile, "/home/u/t/price.kvf");
    EXPECT_EQ(r.Options, (QStringList{"--db", "sqlite:/home/u/shop.sqlite", "--data", "Items=csv:/home/u/data/items.csv",
                                      "--data", "Q=SELECT 1", "--var", "Shop=Corner shop", "--db", "sqlite::memory:"}));
    EXPECT_EQ(r.Caption(), "/home/u/t/price.kvf --db sqlite:/home/u/shop.sqlite --data Items=csv:/home/u/data/items.csv "
                           "--data \"Q=SELECT 1\" --var \"Shop=Corner shop\" --db sqlite::memory:");

    const QString line = r.Encode();
    EXPECT_FALSE(line.contains('\n'));
    TkvTemplateRequest back;
    ASSERT_TRUE(TkvTemplateRequest::Decode(line, back));
    EXPECT_EQ(back.TemplateFile, r.TemplateFile);
    EXPECT_EQ(back.Options, r.Options);

    // Report files and damaged lines are no requests.
    for (const char* bad : {"/tmp/a.kvp", "[", "[]", "[\"kvf\"]", "[\"kvp\",\"/a.kvf\"]", "[\"kvf\",\"\"]",
                            "[\"kvf\",\"/a.kvf\",3]", "{\"kvf\":1}"})
        EXPECT_FALSE(TkvTemplateRequest::Decode(QString::fromUtf8(bad), back)) << bad;
}

class ViewerTemplates : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        kv::StartUp();
        QStandardPaths::setTestModeEnabled(true);
    }
    void SetUp() override {
        ASSERT_EQ(kvdemo::MakeExamples(dir.path()), QByteArray());
        kv::DocumentMemory().ClearRecentFiles();
    }
    QTemporaryDir dir;
};

TEST_F(ViewerTemplates, BuildIntoAWindowNamedByTheTemplateWithoutAPreparedFile) {
    // Nothing is written to the temporary folder while the template is built and shown.
    QTemporaryDir tmp;
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", tmp.path().toLocal8Bit());

    const TkvTemplateRequest request = TkvTemplateRequest::FromCommandLine(
        dir.filePath("price_list.kvf"),
        {"--db", "sqlite:" + dir.filePath("shop.sqlite"), "--data", QString::fromUtf8(kvdemo::kPriceListData), "--var",
         "Shop=Corner"},
        dir.path());
    {
        TfrmMain w;
        w.OpenPendingFile(request.Encode());
        ASSERT_EQ(w.LastErrorBox(), nullptr) << w.LastErrorBox()->text().toStdString();
        QMdiSubWindow* sub = w.MdiArea()->activeSubWindow();
        ASSERT_NE(sub, nullptr);
        auto* child = dynamic_cast<TfrmChild*>(sub->widget());
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->PageCount(), 1);
        EXPECT_EQ(sub->windowTitle(), request.Caption());
        EXPECT_TRUE(sub->windowTitle().startsWith(dir.filePath("price_list.kvf")));
        EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());

        // The recent entry holds the template with its options and builds it again.
        ASSERT_EQ(kv::DocumentMemory().RecentFiles().value(0), request.Encode());
        QAction* entry = w.RecentMenu()->actions().value(0);
        ASSERT_NE(entry, nullptr);
        EXPECT_TRUE(entry->text().contains("price_list.kvf --db sqlite:")) << entry->text().toStdString();
        entry->trigger();
        EXPECT_EQ(w.MdiArea()->subWindowList().size(), 2);
        EXPECT_EQ(w.MdiArea()->activeSubWindow()->windowTitle(), request.Caption());
    }
    qputenv("TMPDIR", oldTmp);
}

TEST_F(ViewerTemplates, FailedBuildsAreShownWithTheTemplatesName) {
    ASSERT_TRUE(QFile::copy(dir.filePath("price_list.kvf"), dir.filePath("bare.kvf")));
    struct Case {
        const char* what;
        QString file;
        QStringList options;
        const char* error;
    } cases[] = {
        // A copy without the data file beside it: the message says how to give the data.
        {"no data set", dir.filePath("bare.kvf"), {}, "no data file (bare.kvdata beside it)"},
        {"no template", dir.filePath("none.kvf"), {}, "none.kvf: "},
        {"bad option", dir.filePath("price_list.kvf"), {"--var", "novalue"}, "--var wants NAME=VALUE, not novalue"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TfrmMain w;
        w.OpenPendingFile(TkvTemplateRequest::FromCommandLine(c.file, c.options, dir.path()).Encode());
        ASSERT_NE(w.LastErrorBox(), nullptr);
        EXPECT_TRUE(w.LastErrorBox()->text().contains(c.error)) << w.LastErrorBox()->text().toStdString();
        EXPECT_FALSE(w.LastErrorBox()->text().contains('\n'));
        EXPECT_TRUE(w.MdiArea()->subWindowList().isEmpty());
        w.LastErrorBox()->close();
    }
}

// kvmakeexamples DIR makes the folder it is given, answers --help, and says what failed in one line.
TEST(MakeExamples, MakesItsFolderAndReportsInOneLine) {
    QTemporaryDir dir;
    struct Case {
        QStringList args;
        int exitCode;
        const char* out;
        const char* err;
    } cases[] = {
        {{"--help"}, 0, "usage: kvmakeexamples DIR", ""},
        {{}, 2, "", "usage: kvmakeexamples DIR"},
        {{"--db"}, 2, "", "usage: kvmakeexamples DIR"},
        {{dir.filePath("new/deeper")}, 0, "", ""},
        {{"/proc/kv-no-such-folder/x"}, 1, "", "kvmakeexamples: /proc/kv-no-such-folder/x: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        QProcess p;
        // Only the program's own words on stderr (the font library's leaks at exit are not its own).
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        p.setProcessEnvironment(env);
        p.start(KV_MAKEEXAMPLES_EXE, c.args);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), c.exitCode);
        const QByteArray out = p.readAllStandardOutput(), err = p.readAllStandardError();
        EXPECT_TRUE(out.startsWith(c.out)) << out.constData();
        EXPECT_TRUE(err.startsWith(c.err)) << err.constData();
        if (c.exitCode == 1) {
            EXPECT_TRUE(err.endsWith('\n')) << err.constData();
            EXPECT_EQ(err.count('\n'), 1) << err.constData();
        }
    }
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("new/deeper/price_list.kvf")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("new/deeper/shop.sqlite")));
}

} // namespace
