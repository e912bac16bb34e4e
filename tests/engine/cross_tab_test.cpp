// Cross-tab cells: rows from a master band, columns from a column data set, a cross header, data
// and footer band printing their cells in every row, row and column totals, and columns that go
// on to further pages to the right.
#include "build_fixture.h"

#include "core/store/emf_pages.h"

#include <gtest/gtest.h>

using kvtest::BuildFixture;
using kvtest::Row;

namespace {

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Products P (price 2 and 3) by months M (N = 1..months): each cell is price x N; the cross
// footer sums a row, the totals row sums each column and, in its footer column, P.Total over the
// rows; the summary (not a cell: it spans the vertical bands) sums the prices. The cross data
// band's source text gives the header and data rows the months; the totals row gets as many
// columns as the rows had.
void CrossTab(BuildFixture& f, int months, uint16_t headerFlags = 0) {
    f.AddTable("P", {{"Name"}, {"Price", TkvFieldType::Integer}, {"Total", TkvFieldType::Integer}},
               {Row({QByteArray("Apple"), int64_t(2), int64_t(12)}),
                Row({QByteArray("Pear"), int64_t(3), int64_t(18)})});
    std::vector<TkvRow> m;
    for (int i = 0; i < months; ++i)
        m.push_back(Row({QByteArray(kMonths[i % 12]), int64_t(i + 1)}));
    f.AddTable("M", {{"Name"}, {"N", TkvFieldType::Integer}}, std::move(m));
    f.AddBand(kvbt::MasterHeader, 20, 20, "Head");
    f.AddBand(kvbt::MasterData, 50, 20, "Rows", "P");
    f.AddBand(kvbt::MasterFooter, 80, 20, "Totals");
    f.AddBand(kvbt::CrossHeader, 0, 0, "CH", {}, headerFlags)->SetBounds(20, 0, 100, 1000);
    f.AddBand(kvbt::CrossData, 0, 0, "CD", "Head=M;Rows=M;")->SetBounds(120, 0, 60, 1000);
    f.AddBand(kvbt::CrossFooter, 0, 0, "CF")->SetBounds(180, 0, 80, 1000);
    f.AddText(20, 20, 100, 18, "Product");
    f.AddText(120, 20, 60, 18, "[M.Name]:[COLUMN#]");
    f.AddText(180, 20, 80, 18, "Total");
    f.AddText(20, 50, 100, 18, "[P.Name]");
    f.AddText(120, 50, 60, 18, "[P.Price * M.N]");
    f.AddText(180, 50, 80, 18, "[SUM([P.Price * M.N])]");
    f.AddText(20, 80, 100, 18, "Sum");
    f.AddText(120, 80, 60, 18, "[SUM([P.Price * M.N])]");
    f.AddText(180, 80, 80, 18, "[SUM([P.Total])]");
    f.AddBand(kvbt::Summary, 110, 20, "Sum");
    f.AddText(20, 110, 300, 18, "Prices [SUM([P.Price])]");
}

} // namespace

TEST(CrossTab, RowsByColumnsWithHeaderFooterAndTotals) {
    struct Case {
        const char* what;
        int widenColumn;        // OnPrintColumn makes this column 100 wide (0: none)
        std::vector<int> lefts; // of the header row's cells
    } cases[] = {{"columns as designed", 0, {20, 120, 180, 240, 300}},
                 {"a column widened by OnPrintColumn", 2, {20, 120, 180, 280, 340}}};
    // (the widened column alone: the next one has its designed width again)
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        CrossTab(f, 3);
        if (c.widenColumn)
            f.report.OnPrintColumn = [&c](int column, int& width) {
                if (column == c.widenColumn) width = 100;
            };
        const TkvBuildResult r = f.Build();
        ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
        ASSERT_EQ(r.PageCount, 1);
        EXPECT_EQ(f.PageText(0).toStdString(),
                  "Product, Jan:1, Feb:2, Mar:3, Total, "
                  "Apple, 2, 4, 6, 12, Pear, 3, 6, 9, 18, Sum, 5, 10, 15, 30, Prices 5");
        const auto texts = f.Texts(0);
        ASSERT_EQ(texts.size(), 21u);
        for (size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(texts[i].Left, c.lefts[i]) << i;
            EXPECT_EQ(texts[i].Top, 20) << i;
            EXPECT_EQ(texts[5 + i].Left, c.lefts[i]) << i;
            EXPECT_EQ(texts[5 + i].Top, 40) << i;
        }
        EXPECT_EQ(texts[15].Top, 80) << "the totals row below the two rows";
        EXPECT_EQ(texts[16].Left, c.lefts[1]);
        EXPECT_EQ(texts[19].Left, c.lefts[4]);
    }
}

TEST(CrossTab, ColumnsPastTheRightEdgeGoOnANewPageWithTheRepeatedHeader) {
    // The first of two passes adds the page to the right as well: both passes give the same pages.
    for (const bool twoPasses : {false, true}) {
        SCOPED_TRACE(twoPasses ? "two passes" : "one pass");
        BuildFixture f;
        if (twoPasses) f.report.DoublePassReport = 0xFFFF;
        CrossTab(f, 12, kvbf::RepeatHeader);
        f.AddBand(kvbt::PageHeader, 140, 20, "PH", {}, kvbf::OnFirstPage);
        f.AddText(400, 140, 100, 18, "Head");
        const TkvBuildResult r = f.Build();
        ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
        ASSERT_EQ(r.PageCount, 2);
        // Ten columns of 60 fit between 120 and the right edge 738; the rest go to the right.
        EXPECT_EQ(f.PageText(0).toStdString(),
                  "Head, Product, Jan:1, Feb:2, Mar:3, Apr:4, May:5, Jun:6, Jul:7, Aug:8, Sep:9, Oct:10, "
                  "Apple, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, "
                  "Pear, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30, Sum, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, "
                  "Prices 5");
        EXPECT_EQ(f.PageText(1).toStdString(), "Head, Product, Nov:11, Dec:12, Total, Apple, 22, 24, 156, "
                                               "Pear, 33, 36, 234, Sum, 55, 60, 30");
        const auto second = f.Texts(1);
        const struct {
            size_t index;
            int left, top;
        } expected[] = {{0, 400, 20}, {1, 20, 40},  {2, 120, 40}, {4, 240, 40},
                        {5, 20, 60},  {8, 240, 60}, {13, 20, 100}};
        for (const auto& e : expected) {
            SCOPED_TRACE(second[e.index].Text.constData());
            EXPECT_EQ(second[e.index].Left, e.left);
            EXPECT_EQ(second[e.index].Top, e.top);
        }
    }
}

// A stretched row is as tall as its tallest cell in any column.
TEST(CrossTab, AStretchedRowIsMeasuredOverEveryColumn) {
    BuildFixture f;
    f.AddTable("P", {{"Name"}}, {Row({QByteArray("Apple")}), Row({QByteArray("Pear")})});
    f.AddTable("M", {{"Lines"}},
               {Row({QByteArray("one")}), Row({QByteArray("a\r\nb\r\nc\r\nd")}), Row({QByteArray("two")})});
    f.AddBand(kvbt::MasterData, 50, 20, "Rows", "P", kvbf::Stretched);
    f.AddBand(kvbt::CrossData, 0, 0, "CD", "M")->SetBounds(120, 0, 60, 1000);
    f.AddText(20, 50, 100, 18, "[P.Name]");
    f.AddText(120, 50, 60, 18, "[M.Lines]", 0x0003);
    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    const auto texts = f.Texts(0);
    ASSERT_EQ(texts.size(), 8u);
    EXPECT_EQ(texts[2].Text, "a|b|c|d");
    EXPECT_EQ(texts[4].Text, "Pear");
    EXPECT_GE(texts[4].Top - texts[0].Top, texts[2].Height) << "the second row starts below the tall cell";
    EXPECT_GT(texts[2].Height, 40);
}
