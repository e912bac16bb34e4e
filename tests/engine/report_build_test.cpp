// Building reports: band placement, groups, new pages with headers and footers, stretching and
// splitting, two passes with TOTALPAGES, scripts, build errors and the guards that keep a build
// from running for ever.
#include "build_fixture.h"

#include "core/store/emf_pages.h"
#include "engine/data/row_sources.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kvtest::BuildFixture;
using kvtest::Row;

namespace {

std::vector<TkvRow> NumberedRows(int n) {
    std::vector<TkvRow> rows;
    for (int i = 1; i <= n; ++i) rows.push_back(Row({QByteArray("R" + QByteArray::number(i)), int64_t(i)}));
    return rows;
}

TEST(ReportBuild, TitleRowsAndSummaryOnOnePage) {
    BuildFixture f;
    f.AddTable("T", {{"Name"}, {"N", TkvFieldType::Integer}}, NumberedRows(3));
    f.AddBand(kvbt::Title, 20, 30, "Title");
    f.AddText(20, 22, 200, 20, "Title");
    f.AddBand(kvbt::MasterData, 60, 20, "Rows", "T");
    f.AddText(20, 60, 200, 18, "[T.Name]=[T.N * 10]");
    f.AddBand(kvbt::Summary, 100, 20, "Sum");
    f.AddText(20, 100, 200, 18, "End");
    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    ASSERT_EQ(r.PageCount, 1);
    const auto texts = f.Texts(0);
    ASSERT_EQ(texts.size(), 5u);
    const char* expected[] = {"Title", "R1=10", "R2=20", "R3=30", "End"};
    const int tops[] = {22, 50, 70, 90, 110};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(texts[i].Text, expected[i]);
        EXPECT_EQ(texts[i].Top, tops[i]) << i;
    }
}

TEST(ReportBuild, GroupsPrintHeadersAndFootersWhereTheValueChanges) {
    BuildFixture f;
    f.AddTable("T", {{"Name"}, {"G"}},
               {Row({QByteArray("a"), QByteArray("x")}), Row({QByteArray("b"), QByteArray("x")}),
                Row({QByteArray("c"), QByteArray("y")}), Row({QByteArray("d"), QByteArray("y")}),
                Row({QByteArray("e"), QByteArray("z")})});
    f.AddBand(kvbt::GroupHeader, 20, 20, "GH", "T.G");
    f.AddText(20, 20, 200, 18, "H[T.G]");
    f.AddBand(kvbt::MasterData, 50, 20, "Rows", "T");
    f.AddText(20, 50, 200, 18, "[T.Name]");
    f.AddBand(kvbt::GroupFooter, 80, 20, "GF");
    f.AddText(20, 80, 200, 18, "F[T.Name]");
    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    EXPECT_EQ(f.AllText().toStdString(), "[Hx, a, b, Fb, Hy, c, d, Fd, Hz, e, Fe]");
}

TEST(ReportBuild, NewPagesGetHeadersAndTwoPassesKnowTheTotal) {
    BuildFixture f;
    f.report.DoublePassReport = 0xFFFF;
    f.AddTable("T", {{"Name"}, {"N", TkvFieldType::Integer}}, NumberedRows(120));
    f.AddBand(kvbt::PageHeader, 20, 20, "PH", {}, kvbf::OnFirstPage);
    f.AddText(20, 20, 200, 18, "Head");
    f.AddBand(kvbt::MasterData, 50, 20, "Rows", "T");
    f.AddText(20, 50, 200, 18, "[T.Name]");
    f.AddBand(kvbt::PageFooter, 80, 20, "PF", {}, kvbf::OnFirstPage | kvbf::OnLastPage);
    f.AddText(20, 80, 300, 18, "Page [PAGE#] of [TOTALPAGES]");
    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    const int area = f.bottom - f.top - 20; // less the footer
    const int perPage = (area - 20) / 20;
    const int pages = (120 + perPage - 1) / perPage;
    ASSERT_EQ(r.PageCount, pages);
    int rows = 0;
    for (int p = 0; p < pages; ++p) {
        const auto texts = f.Texts(p);
        ASSERT_GE(texts.size(), 2u);
        EXPECT_EQ(texts.front().Text, "Head");
        EXPECT_EQ(texts.front().Top, 20);
        EXPECT_EQ(texts.back().Text, "Page " + QByteArray::number(p + 1) + " of " + QByteArray::number(pages));
        EXPECT_EQ(texts.back().Top, f.bottom - 20);
        for (const auto& t : texts) {
            EXPECT_LE(t.Top + 18, f.bottom) << t.Text.constData();
            if (t.Text.startsWith('R')) {
                EXPECT_EQ(t.Text, "R" + QByteArray::number(++rows));
            }
        }
    }
    EXPECT_EQ(rows, 120);
}

TEST(ReportBuild, StretchedTextSplitsOverPagesAndObjectsBelowMoveDown) {
    BuildFixture f;
    QByteArray many;
    for (int i = 1; i <= 150; ++i) many += "line" + QByteArray::number(i) + "\r\n";
    f.vars.push_back({"LONG", TkvVariant(many)});
    f.AddTable("T", {{"Name"}}, {Row({QByteArray("only")})});
    f.AddBand(kvbt::MasterData, 20, 40, "Rows", "T", kvbf::Stretched);
    f.AddText(20, 20, 300, 20, "[LONG]", 0x0003);
    f.AddText(20, 42, 300, 18, "below", 0x0002);
    f.AddBand(kvbt::Summary, 100, 20, "Sum");
    f.AddText(20, 100, 200, 18, "End");
    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    ASSERT_GE(r.PageCount, 2);
    QByteArray all;
    int pageOfBelow = -1;
    for (int p = 0; p < r.PageCount; ++p)
        for (const auto& t : f.Texts(p)) {
            EXPECT_LE(t.Top + t.Height, f.bottom + 1) << p << " " << t.Text.left(20).constData();
            if (t.Text.startsWith("line")) all += (all.isEmpty() ? "" : "|") + t.Text;
            if (t.Text == "below") pageOfBelow = p;
        }
    QByteArray expected;
    for (int i = 1; i <= 150; ++i) expected += (i > 1 ? "|line" : "line") + QByteArray::number(i);
    EXPECT_EQ(all, expected) << "every line once, in order, over the pages";
    EXPECT_GE(pageOfBelow, 0);
    EXPECT_EQ(f.Texts(r.PageCount - 1).back().Text, "End");
}

TEST(ReportBuild, BandTallerThanAPageIsPlacedNotRetriedForEver) {
    struct Case {
        const char* what;
        uint16_t bandFlags;
    } cases[] = {{"plain band", 0}, {"stretched band", kvbf::Stretched}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        f.AddTable("T", {{"Name"}}, {Row({QByteArray("a")}), Row({QByteArray("b")})});
        f.AddBand(kvbt::PageHeader, 20, 20, "PH");
        f.AddBand(kvbt::MasterData, 50, 3000, "Tall", "T", c.bandFlags);
        f.AddText(20, 50, 200, 2900, "[T.Name]", 0x0000);
        const TkvBuildResult r = f.Build(50);
        ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
        EXPECT_LE(r.PageCount, 8) << "each row split over the three pages its height needs";
        EXPECT_EQ(f.AllText().count("a"), 1);
        EXPECT_EQ(f.AllText().count("b"), 1);
    }
}

TEST(ReportBuild, ScriptsNewPageAndVariables) {
    BuildFixture f;
    f.AddTable("T", {{"Name"}, {"N", TkvFieldType::Integer}}, NumberedRows(4));
    auto* rows = f.AddBand(kvbt::MasterData, 20, 20, "Rows", "T");
    rows->ScriptLines = {"begin", "Count := Count + 1;", "if [T.N] = 3 then NEWPAGE;", "end"};
    f.AddText(20, 20, 200, 18, "[T.Name] #[Count] line [LINE#]");
    f.vars.push_back({"Count", TkvVariant(int64_t(0))});
    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    EXPECT_EQ(f.AllText().toStdString(), "[R1 #1 line 1, R2 #2 line 2][R3 #3 line 3, R4 #4 line 4]");
    EXPECT_EQ(f.page->Objects.size(), 2u) << "the template is back as it was";
}

TEST(ReportBuild, FailuresEndTheBuildWithTheObjectNamedAndAnEmptyStore) {
    struct Case {
        const char* what;
        QByteArray text;
        QByteArray script;
        int maxPages;
        QByteArray errorEnd;
    } cases[] = {
        {"undefined name", "[FOO]", {}, 1000, "Undefined symbol \"FOO\""},
        {"page limit", "[T.Name]", "NEWPAGE;", 5, "pages; the build was stopped (a band that never ends, or raise the page limit)"},
        {"script error", "x", "x := ;", 1000, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        f.AddTable("T", {{"Name"}, {"N", TkvFieldType::Integer}}, NumberedRows(50));
        auto* rows = f.AddBand(kvbt::MasterData, 20, 20, "Rows", "T");
        if (!c.script.isEmpty()) rows->ScriptLines = {c.script};
        f.AddText(20, 20, 200, 18, c.text)->Name = "Amount";
        const TkvBuildResult r = f.Build(c.maxPages);
        EXPECT_FALSE(r.Ok);
        EXPECT_EQ(r.PageCount, 0);
        EXPECT_EQ(f.report.EMFPages.Count(), 0);
        ASSERT_FALSE(r.ErrorText.isEmpty());
        EXPECT_TRUE(r.ErrorText.endsWith(c.errorEnd)) << r.ErrorText.constData();
        if (QByteArray(c.what) == "undefined name") {
            EXPECT_TRUE(r.ErrorText.contains("Amount"));
        }
    }
}

TEST(ReportBuild, CancelAndStopReport) {
    {
        BuildFixture f;
        f.AddTable("T", {{"Name"}, {"N", TkvFieldType::Integer}}, NumberedRows(300));
        f.AddBand(kvbt::MasterData, 20, 20, "Rows", "T");
        f.AddText(20, 20, 200, 18, "[T.Name]");
        int calls = 0;
        f.progress = [&](int page) {
            ++calls;
            return page < 3;
        };
        const TkvBuildResult r = f.Build();
        EXPECT_FALSE(r.Ok);
        EXPECT_TRUE(r.Cancelled);
        EXPECT_TRUE(r.ErrorText.isEmpty());
        EXPECT_EQ(r.PageCount, 3) << "a single pass keeps the pages built so far";
    }
    {
        BuildFixture f;
        f.AddTable("T", {{"Name"}, {"N", TkvFieldType::Integer}}, NumberedRows(10));
        auto* rows = f.AddBand(kvbt::MasterData, 20, 20, "Rows", "T");
        rows->ScriptLines = {"if [T.N] = 4 then STOPREPORT;"};
        f.AddText(20, 20, 200, 18, "[T.Name]");
        const TkvBuildResult r = f.Build();
        EXPECT_TRUE(r.Cancelled);
        EXPECT_EQ(f.AllText().toStdString(), "[R1, R2, R3]");
    }
}

TEST(ReportBuild, SqliteDataSetWithMasterAndSummaryFromTheDatabase) {
    QTemporaryDir dir;
    const QString path = dir.filePath("shop.db");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "build-setup");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        q.exec("create table items (name text, price real)");
        q.exec("insert into items values ('tea', 2.5), ('cake', 4), ('jam', 3.25)");
        db.close();
    }
    QSqlDatabase::removeDatabase("build-setup");
    BuildFixture f;
    TkvSqlConnection connection("sqlite:" + path);
    auto* table = f.module.Add(std::make_unique<TkvRecordSet>(
        "ItemsTable", std::make_unique<TkvSqlRowSource>(connection, "select name, price from items order by name",
                                                        "Items")));
    f.module.Add(std::make_unique<TkvDBDataSet>("Items"))->SetDataSet(table);
    f.AddBand(kvbt::MasterHeader, 20, 20, "Head");
    f.AddText(20, 20, 200, 18, "Item");
    f.AddBand(kvbt::MasterData, 50, 20, "Rows", "Items");
    f.AddText(20, 50, 200, 18, "[LINE#]. [Items.name] [Items.price]");
    f.AddBand(kvbt::MasterFooter, 80, 20, "Foot");
    f.AddText(20, 80, 300, 18, "[COUNT(Rows)] items, [SUM(Items.price)] in all");
    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    EXPECT_EQ(f.AllText().toStdString(), "[Item, 1. cake 4, 2. jam 3.25, 3. tea 2.5, 3 items, 9.75 in all]");
}

} // namespace
