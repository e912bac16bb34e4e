// kvtool build, run in-process: a template made in code over a CSV data set, built to each kind
// of output; failures give one line, a non-zero status and no output file.
#include "cli/build_command.h"
#include "core/report/report.h"
#include "core/views/band_view.h"
#include "core/views/memo_view.h"
#include "tools/example_templates.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A price list: title, one row per CSV line with its price, a summary with the total, and a
// footer with "Page n of N" (two passes).
// With `dialogScript`, a dialog page comes first, running that script (its controls would be
// add-in classes, which kvtool has none of).
QString MakeTemplate(QTemporaryDir& dir, const QByteArray& rowText = "[Items.name] costs [Items.price]",
                     const QByteArray& dialogScript = {}, bool twoPasses = true) {
    kvcli::StartLibrary();
    TkvReport r;
    if (!dialogScript.isEmpty()) {
        TkvPage* d = r.Page(r.Pages.Add());
        d->PageType = kvpt::Dialog;
        d->Name = "Ask";
        d->Script = {dialogScript};
    }
    TkvPage* p = r.Page(r.Pages.Add());
    p->PaperSize = 256; // A4 as a custom size: the machine may have no printer that knows A4
    p->PaperWidth = 2100;
    p->PaperHeight = 2970;
    p->LeftMargin = p->TopMargin = p->RightMargin = p->BottomMargin = 20;
    r.DoublePassReport = twoPasses ? 0xFFFF : 0;
    auto band = [&](int type, int top, int height, const char* name, const char* source = "", uint16_t flags = 0) {
        auto b = std::make_unique<TkvBandView>();
        b->Name = name;
        b->SetBandType(type);
        b->SetBounds(0, top, 700, height);
        b->SetDataSource(source);
        b->Flags = flags;
        p->Objects.push_back(std::move(b));
    };
    int n = 0;
    auto text = [&](int top, const QByteArray& t) {
        auto m = std::make_unique<TkvMemoView>();
        m->Name = "Text" + QByteArray::number(++n);
        m->SetBounds(20, top, 400, 18);
        m->Memo = {t};
        p->Objects.push_back(std::move(m));
    };
    band(kvbt::Title, 20, 20, "Title");
    text(20, "Price list");
    band(kvbt::MasterData, 50, 20, "Rows", "Items");
    text(50, rowText);
    band(kvbt::Summary, 80, 20, "Total");
    text(80, "Total [SUM(Items.price, Rows)]");
    band(kvbt::PageFooter, 110, 20, "Foot", "", kvbf::OnFirstPage | kvbf::OnLastPage);
    text(110, "Page [PAGE#] of [TOTALPAGES]");
    const QString path = dir.filePath("prices.kvf");
    r.SaveToFile(path);
    QFile csv(dir.filePath("items.csv"));
    csv.open(QIODevice::WriteOnly);
    csv.write("name,price\ntea,2.5\ncake,4\n");
    return path;
}

kvcli::CommandResult Build(const QStringList& args) { return kvcli::BuildFromArguments(args); }

TEST(BuildCommand, WritesEachFormat) {
    QTemporaryDir dir;
    const QString kvf = MakeTemplate(dir);
    const QString data = "Items=csv:" + dir.filePath("items.csv");
    for (const char* ext : {"kvp", "pdf", "txt", "rtf", "xlsx", "png"}) {
        SCOPED_TRACE(ext);
        const QString out = dir.filePath(QString("out.") + ext);
        const kvcli::CommandResult r = Build({kvf, "-o", out, "--data", data});
        ASSERT_EQ(r.ExitCode, 0) << r.Error.constData();
        EXPECT_GT(QFileInfo(out).size(), 0);
    }
    QFile txt(dir.filePath("out.txt"));
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    const QByteArray t = txt.readAll();
    for (const char* line : {"Price list", "tea costs 2.5", "cake costs 4", "Total 6.5", "Page 1 of 1"})
        EXPECT_TRUE(t.contains(line)) << line << "\n" << t.constData();
}

TEST(BuildCommand, FailuresLeaveNoFile) {
    QTemporaryDir dir;
    const QString data = "Items=csv:" + dir.filePath("items.csv");
    struct Case {
        const char* what;
        QByteArray rowText;
        QStringList extra;
        int exitCode;
        QByteArray error;
    } cases[] = {
        {"undefined name", "[FOO]", {"--data", data}, 1, "Undefined symbol \"FOO\""},
        {"missing data set", "[Items.name]", {}, 1, "Items"},
        {"page limit", "[Items.name]", {"--data", data, "--max-pages", "1", "--var", "X=1"}, 0, ""},
        {"bad --var", "[Items.name]", {"--data", data, "--var", "novalue"}, 2, "--var wants NAME=VALUE"},
        {"unknown format", "[Items.name]", {"--data", data}, 2, "cannot write"},
        // The same data set setup as `kvtool data list`, naming the set whose source failed.
        {"database that cannot open",
         "[Items.name]",
         {"--db", "sqlite:" + dir.filePath("none/no.db"), "--data", "Items=select 1 as name"},
         1,
         "Data set Items: Cannot open the database"},
        {"data set given twice",
         "[Items.name]",
         {"--data", data, "--data", "Items=csv:" + dir.filePath("x.csv")},
         1,
         "Data set Items is given more than once"},
        {"detail parameter naming no data set",
         "[Items.name]",
         {"--db", "sqlite::memory:", "--data", "Items=select 'tea' as name where 1 = :Orders.id"},
         1,
         "Data set Items: the parameter :Orders.id names no data set Orders"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString kvf = MakeTemplate(dir, c.rowText);
        const QString out = dir.filePath(QByteArray(c.what) == "unknown format" ? "out.doc" : "out.kvp");
        QFile::remove(out);
        const kvcli::CommandResult r = Build(QStringList{kvf, "-o", out} + c.extra);
        EXPECT_EQ(r.ExitCode, c.exitCode) << r.Error.constData();
        EXPECT_TRUE(r.Error.contains(c.error)) << r.Error.constData();
        EXPECT_FALSE(r.Error.contains('\n')) << r.Error.constData();
        if (c.exitCode != 0) {
            EXPECT_FALSE(QFile::exists(out));
        }
    }
}

// The data file beside the template: its relative CSV path is taken from the template's folder,
// whatever the working folder; without the file and without --data the error says how to give data;
// a damaged file is one line naming the file and line, and nothing is written.
TEST(BuildCommand, TheDataFileBesideTheTemplate) {
    QTemporaryDir dir, elsewhere;
    const QString kvf = MakeTemplate(dir);
    const QString dataFile = dir.filePath("prices.kvdata");
    const QString out = dir.filePath("out.txt");
    const QString workingFolder = QDir::currentPath();
    struct Restore {
        QString folder;
        ~Restore() { QDir::setCurrent(folder); }
    } restore{workingFolder};
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    // A file of the same name in the working folder would be read if the path were taken from there.
    QFile decoy(elsewhere.filePath("items.csv"));
    ASSERT_TRUE(decoy.open(QIODevice::WriteOnly));
    decoy.write("name,price\ndecoy,1\n");
    decoy.close();

    struct Case {
        const char* what;
        QByteArray file; // empty: no data file
        int exitCode;
        QByteArray text; // in the output or in the error
    } cases[] = {
        {"relative CSV path", "[data Items]\ncsv = items.csv\n", 0, "tea costs 2.5"},
        {"no data file", {}, 1, "no data file (prices.kvdata beside it)"},
        {"damaged data file", "[data Items]\ncsv = items.csv\nrows = 3\n", 1, "prices.kvdata:3: unknown key 'rows'"},
        {"password in the file", "[connection]\ndatabase = postgresql://ann:secret@db/shop\n", 1,
         "prices.kvdata:2: a password is never kept in the data file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(dataFile);
        QFile::remove(out);
        if (!c.file.isEmpty()) {
            QFile f(dataFile);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.file);
        }
        const kvcli::CommandResult r = Build({kvf, "-o", out});
        EXPECT_EQ(r.ExitCode, c.exitCode) << r.Error.constData();
        EXPECT_FALSE(r.Error.contains('\n')) << r.Error.constData();
        if (c.exitCode != 0) {
            EXPECT_TRUE(r.Error.contains(c.text)) << r.Error.constData();
            EXPECT_FALSE(QFile::exists(out));
            continue;
        }
        QFile txt(out);
        ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
        const QByteArray t = txt.readAll();
        EXPECT_TRUE(t.contains(c.text)) << t.constData();
        EXPECT_FALSE(t.contains("decoy")) << t.constData();
    }
}

// STOPREPORT in a single pass ends the build with the pages made so far, which are written.
TEST(BuildCommand, StopReportWritesThePagesSoFar) {
    QTemporaryDir dir;
    const QString kvf =
        MakeTemplate(dir, "[Items.name][IF([Items.name] = 'cake', STOPREPORT(0), '')]", {}, false);
    const QString out = dir.filePath("stopped.txt");
    const kvcli::CommandResult r =
        Build({kvf, "-o", out, "--data", "Items=csv:" + dir.filePath("items.csv")});
    ASSERT_EQ(r.ExitCode, 0) << r.Error.constData();
    QFile txt(out);
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    const QByteArray t = txt.readAll();
    EXPECT_TRUE(t.contains("Price list")) << t.constData();
    EXPECT_TRUE(t.contains("tea")) << t.constData();
    EXPECT_FALSE(t.contains("Total")) << t.constData();
}

// Dialog pages are not shown by kvtool: their scripts run and the defaults are taken; a script
// that cancels ends the build without output.
TEST(BuildCommand, DialogPagesTakeTheirDefaults) {
    QTemporaryDir dir;
    const QString data = "Items=csv:" + dir.filePath("items.csv");
    struct Case {
        const char* what;
        QByteArray script;
        int exitCode;
        QByteArray text; // in the output, or in the error
    } cases[] = {
        {"defaults", "Shop := 'Corner shop'", 0, "Corner shop: tea"},
        {"cancelled by its script", "MODALRESULT := mrCancel", 1, "the dialog was cancelled; nothing was built"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString kvf = MakeTemplate(dir, "[Shop]: [Items.name]", c.script);
        const QString out = dir.filePath("dialog.txt");
        QFile::remove(out);
        const kvcli::CommandResult r = Build({kvf, "-o", out, "--data", data, "--var", "Shop=none"});
        ASSERT_EQ(r.ExitCode, c.exitCode) << r.Error.constData();
        if (c.exitCode) {
            EXPECT_TRUE(r.Error.contains(c.text)) << r.Error.constData();
            EXPECT_FALSE(QFile::exists(out));
            continue;
        }
        QFile txt(out);
        ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
        EXPECT_TRUE(txt.readAll().contains(c.text));
    }
}

// The example of examples/: the generator's database and price list, built as README.md says.
TEST(BuildCommand, ThePriceListExampleBuildsGroupsSubtotalsAndPageCount) {
    QTemporaryDir dir;
    ASSERT_EQ(kvdemo::MakeExamples(dir.path()), QByteArray());
    const QString out = dir.filePath("price_list.txt");
    const kvcli::CommandResult r = Build({dir.filePath("price_list.kvf"), "-o", out, "--db",
                                          "sqlite:" + dir.filePath("shop.sqlite"), "--data",
                                          QString::fromUtf8(kvdemo::kPriceListData)});
    ASSERT_EQ(r.ExitCode, 0) << r.Error.constData();
    QFile txt(out);
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    const QByteArray t = txt.readAll();
    for (const char* text : {"Price list, ", "Product", "Bakery", "Rye bread", "4 products in Bakery", "7.65",
                             "Tea and coffee", "Espresso beans", "7.80", "21.80", "All products", "47.07",
                             "Page 1 of 1"})
        EXPECT_TRUE(t.contains(text)) << text << "\n" << t.constData();
    // Groups in the order of the query, each category once.
    EXPECT_LT(t.indexOf("Bakery"), t.indexOf("Dairy"));
    EXPECT_LT(t.indexOf("Fruit"), t.indexOf("Tea and coffee"));
    EXPECT_EQ(t.count("4 products in"), 4);
}

} // namespace
