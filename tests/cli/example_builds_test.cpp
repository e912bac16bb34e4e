// The invoice and address label examples of examples/: the generator's database and templates,
// built with kvtool build as README.md says; page counts and the texts each page must show.
#include "example_build.h"
#include "tools/example_invoice.h"
#include "tools/example_labels.h"
#include "tools/example_templates.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// One invoice a page, each with its own customer, lines and total.
TEST(ExampleBuilds, TheInvoiceGivesEachInvoiceItsPageLinesAndTotal) {
    QTemporaryDir dir;
    ASSERT_EQ(kvdemo::MakeExamples(dir.path()), QByteArray());
    const BuiltExample b =
        BuildExample(dir, "invoice",
                     {QString::fromUtf8(kvdemo::kInvoiceData), QString::fromUtf8(kvdemo::kInvoiceLinesData)});
    EXPECT_EQ(b.Pages, 3);
    const QByteArray& t = b.Text;
    for (const char* text : {"Corner Shop",
                             "INVOICE",
                             "Bill to",
                             "Dora Ellis",
                             "21 Station Street",
                             "4021 Kingsbridge",
                             "2026-03-02",
                             "Rye bread",
                             "6.40",
                             "Milk",
                             "3.45",
                             "Green tea",
                             "3 items",
                             "14.35",
                             "Hana Ito",
                             "Espresso beans",
                             "15.60",
                             "5 items",
                             "32.09",
                             "Ada Brook",
                             "Filter coffee",
                             "11.59",
                             "Payable within 14 days"})
        EXPECT_TRUE(t.contains(text)) << text << "\n" << t.constData();
    // Each invoice shows only its own lines, in invoice order.
    EXPECT_LT(t.indexOf("Dora Ellis"), t.indexOf("Green tea"));
    EXPECT_LT(t.indexOf("Green tea"), t.indexOf("Hana Ito"));
    EXPECT_LT(t.indexOf("Hana Ito"), t.indexOf("Espresso beans"));
    EXPECT_LT(t.indexOf("Gouda"), t.indexOf("Ada Brook"));
    EXPECT_LT(t.indexOf("Ada Brook"), t.indexOf("Filter coffee"));
    EXPECT_EQ(t.count("Rye bread"), 1);
    EXPECT_EQ(t.count("Total"), 3);
}

// Fourteen labels, three to a row: names of one row share a line of the text.
TEST(ExampleBuilds, TheLabelsStandThreeToARow) {
    QTemporaryDir dir;
    ASSERT_EQ(kvdemo::MakeExamples(dir.path()), QByteArray());
    const BuiltExample b = BuildExample(dir, "labels", {QString::fromUtf8(kvdemo::kLabelsData)});
    EXPECT_EQ(b.Pages, 1);
    const QByteArray& t = b.Text;
    const QList<QByteArray> lines = t.split('\n');
    auto lineOf = [&](const char* s) {
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines[i].contains(s)) return i;
        return qsizetype(-1);
    };
    for (const char* text :
         {"Ada Brook", "4 Mill Lane", "2104 Elmford", "Northland", "Nora Olsen", "7340 Stonebury"})
        EXPECT_GE(lineOf(text), 0) << text << "\n" << t.constData();
    // Sorted by name: Ada, Bea, Cyril in the first row, Dora starts the second; Milo and Nora
    // alone in the fifth.
    EXPECT_EQ(lineOf("Ada Brook"), lineOf("Bea Carter"));
    EXPECT_EQ(lineOf("Ada Brook"), lineOf("Cyril Dane"));
    EXPECT_GT(lineOf("Dora Ellis"), lineOf("Ada Brook"));
    EXPECT_EQ(lineOf("Dora Ellis"), lineOf("Fay Gordon"));
    EXPECT_EQ(lineOf("Milo Nash"), lineOf("Nora Olsen"));
    EXPECT_GT(lineOf("Milo Nash"), lineOf("Jill Kemp"));
    EXPECT_EQ(t.count("Northland") + t.count("Southland"), 14);
}

} // namespace
