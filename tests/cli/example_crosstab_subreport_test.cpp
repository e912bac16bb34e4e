// The cross-tab and sub-report examples of examples/: the generator's database and templates,
// built with kvtool build as README.md says; page counts and what the page must show, line by line.
#include "example_build.h"
#include "tools/example_crosstab.h"
#include "tools/example_subreport.h"
#include "tools/example_templates.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Built {
    int Pages = 0;
    QList<QByteArray> Lines; // of the text output
    // The first line holding every text, in this order; -1 without one.
    qsizetype LineWith(std::initializer_list<const char*> texts) const {
        for (qsizetype i = 0; i < Lines.size(); ++i) {
            qsizetype at = 0;
            bool all = true;
            for (const char* t : texts) {
                at = Lines[i].indexOf(t, at);
                if (at < 0) {
                    all = false;
                    break;
                }
            }
            if (all) return i;
        }
        return -1;
    }
};

Built BuildExample(const QTemporaryDir& dir, const char* name, std::initializer_list<const char*> data) {
    QStringList sets;
    for (const char* d : data)
        sets << QString::fromUtf8(d);
    const BuiltExample e = ::BuildExample(dir, name, sets);
    return Built{e.Pages, e.Text.split('\n')};
}

TEST(ExampleBuilds, TheCrossTabShowsEachProductsMonthsAndTotals) {
    QTemporaryDir dir;
    ASSERT_EQ(kvdemo::MakeExamples(dir.path()), QByteArray());
    const Built b = BuildExample(dir, "sales_by_month",
                                 {kvdemo::kSalesProductsData, kvdemo::kMonthsData, kvdemo::kMonthSalesData});
    EXPECT_EQ(b.Pages, 1);
    const struct {
        const char* what;
        std::initializer_list<const char*> texts; // on one line, in this order
    } rows[] = {
        {"title", {"Sales by month, January to June 2026"}},
        {"captions in month order", {"Product", "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Total"}},
        // Rye bread: 3.20 x 4, 9, 5, -, 6, 2 (nothing sold in April)
        {"a product's months and total", {"Rye bread", "12.80", "28.80", "16.00", "0.00", "19.20", "6.40", "83.20"}},
        {"the month totals and all sales", {"All products", "147.17", "239.80", "202.09", "176.25", "185.80",
                                            "177.24", "1128.35"}},
    };
    for (const auto& r : rows) EXPECT_GE(b.LineWith(r.texts), 0) << r.what;
    EXPECT_LT(b.LineWith({"Apples"}), b.LineWith({"Yoghurt"}));
    EXPECT_LT(b.LineWith({"Yoghurt"}), b.LineWith({"All products"}));
}

TEST(ExampleBuilds, TheOverviewPrintsEachCategorysSubReportsSideBySide) {
    QTemporaryDir dir;
    ASSERT_EQ(kvdemo::MakeExamples(dir.path()), QByteArray());
    const Built b = BuildExample(dir, "category_overview",
                                 {kvdemo::kCategoriesData, kvdemo::kCategoryProductsData, kvdemo::kCategorySalesData});
    EXPECT_EQ(b.Pages, 1);
    // Each category: its products beside its first months, its total below them.
    const char* const categories[] = {"Bakery", "Dairy", "Fruit", "Tea and coffee"};
    const struct {
        std::initializer_list<const char*> first, total;
    } parts[] = {{{"Baguette", "1.40", "Jan", "24.15"}, {"Total", "199.35"}},
                 {{"Butter", "2.49", "Jan", "26.64"}, {"Total", "186.75"}},
                 {{"Apples", "2.60", "Jan", "35.88"}, {"Total", "224.35"}},
                 {{"Black tea", "3.90", "Jan", "60.50"}, {"Total", "517.90"}}};
    qsizetype last = b.LineWith({"Shop overview by category"});
    EXPECT_GE(last, 0);
    for (size_t i = 0; i < std::size(categories); ++i) {
        SCOPED_TRACE(categories[i]);
        const qsizetype heading = b.LineWith({categories[i]});
        const qsizetype first = b.LineWith(parts[i].first);
        const qsizetype total = b.LineWith(parts[i].total);
        EXPECT_GT(heading, last);
        EXPECT_GT(first, heading);
        EXPECT_GT(total, first);
        last = total;
    }
    EXPECT_GE(b.LineWith({"Page 1"}), 0);
}

} // namespace
