// Templates that carry their data: the examples built from their data files alone give the pages
// the explicit --db/--data lines gave, single data sets are overridden from the command line, and
// kvtool data list reads the same file.
#include "cli/template_command.h"
#include "example_build.h"
#include "tools/example_crosstab.h"
#include "tools/example_invoice.h"
#include "tools/example_labels.h"
#include "tools/example_subreport.h"
#include "tools/example_templates.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

BuiltExample BuildWithArguments(const QTemporaryDir& dir, const QString& kvf, const QStringList& extra) {
    BuiltExample b;
    for (const char* ext : {"kvp", "txt"}) {
        const QString out = dir.filePath(QString("built.") + ext);
        const kvcli::CommandResult r = kvcli::BuildFromArguments(QStringList{kvf, "-o", out} + extra);
        EXPECT_EQ(r.ExitCode, 0) << r.Error.constData();
    }
    const kvcli::CommandResult info = kvcli::Info(dir.filePath("built.kvp"), false);
    const qsizetype at = info.Out.indexOf("Pages: ");
    if (at >= 0) b.Pages = info.Out.mid(at + 7, info.Out.indexOf('\n', at) - at - 7).toInt();
    QFile txt(dir.filePath("built.txt"));
    if (txt.open(QIODevice::ReadOnly)) b.Text = txt.readAll();
    return b;
}

// Each example from its data file equals the example built with every data set on the command
// line, as the build lines used to be written, from a copy of the template without a data file.
TEST(TemplateData, EachExampleBuildsFromItsDataFileAsFromTheCommandLine) {
    QTemporaryDir dir, bare;
    ASSERT_EQ(kvdemo::MakeExamples(dir.path()), QByteArray());
    const struct {
        const char* name;
        std::vector<const char*> data;
    } examples[] = {
        {"price_list", {kvdemo::kPriceListData}},
        {"invoice", {kvdemo::kInvoiceData, kvdemo::kInvoiceLinesData}},
        {"labels", {kvdemo::kLabelsData}},
        {"sales_by_month", {kvdemo::kSalesProductsData, kvdemo::kMonthsData, kvdemo::kMonthSalesData}},
        {"category_overview", {kvdemo::kCategoriesData, kvdemo::kCategoryProductsData, kvdemo::kCategorySalesData}},
    };
    for (const auto& e : examples) {
        SCOPED_TRACE(e.name);
        const QString kvf = QString(e.name) + ".kvf";
        ASSERT_TRUE(QFile::exists(dir.filePath(QString(e.name) + ".kvdata")));
        ASSERT_TRUE(QFile::copy(dir.filePath(kvf), bare.filePath(kvf)));
        QStringList lines{"--db", "sqlite:" + dir.filePath("shop.sqlite")};
        for (const char* d : e.data)
            lines << "--data" << QString::fromUtf8(d);
        const BuiltExample given = BuildWithArguments(bare, bare.filePath(kvf), lines);
        const BuiltExample carried = BuildWithArguments(dir, dir.filePath(kvf), {});
        EXPECT_GT(given.Pages, 0);
        EXPECT_EQ(carried.Pages, given.Pages);
        EXPECT_FALSE(carried.Text.isEmpty());
        EXPECT_EQ(carried.Text, given.Text);
    }
}

// --data replaces the data set of its name and keeps the others of the file: one invoice, whose
// lines still come from the file's detail query; --db replaces the connection.
TEST(TemplateData, TheCommandLineOverridesSingleEntries) {
    QTemporaryDir dir;
    ASSERT_EQ(kvdemo::MakeExamples(dir.path()), QByteArray());
    const BuiltExample one = BuildWithArguments(
        dir, dir.filePath("invoice.kvf"),
        {"--data", "Invoices=select i.id as Number, i.issued as Issued, c.name as Customer, c.street as Street, "
                   "c.postcode as Postcode, c.city as City from invoices i join customers c on c.id = i.customer_id "
                   "where i.id = 2"});
    EXPECT_EQ(one.Pages, 1);
    EXPECT_TRUE(one.Text.contains("Hana Ito")) << one.Text.constData();
    EXPECT_TRUE(one.Text.contains("Espresso beans")) << one.Text.constData();
    EXPECT_FALSE(one.Text.contains("Dora Ellis"));

    // The connection of the file replaced by one that cannot open.
    const kvcli::CommandResult r = kvcli::BuildFromArguments(
        {dir.filePath("invoice.kvf"), "-o", dir.filePath("x.kvp"), "--db", "sqlite:" + dir.filePath("none.db")});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_TRUE(r.Error.contains("Cannot open the database")) << r.Error.constData();
}

// kvtool data list TEMPLATE.kvf lists the data sets of the template's data file.
TEST(TemplateData, DataListReadsTheTemplatesDataFile) {
    QTemporaryDir dir;
    ASSERT_EQ(kvdemo::MakeExamples(dir.path()), QByteArray());
    const kvcli::CommandResult r = kvcli::DataList({dir.filePath("invoice.kvf"), "--rows", "1"});
    ASSERT_EQ(r.ExitCode, 0) << r.Error.constData();
    EXPECT_TRUE(r.Out.startsWith("Invoices: Number Issued Customer Street Postcode City\n")) << r.Out.constData();
    EXPECT_TRUE(r.Out.contains("Lines: Product Qty Unit Price Amount\n")) << r.Out.constData();

    QFile::remove(dir.filePath("labels.kvdata"));
    const kvcli::CommandResult none = kvcli::DataList({dir.filePath("labels.kvf")});
    EXPECT_EQ(none.ExitCode, 1);
    EXPECT_TRUE(none.Error.contains("labels.kvdata")) << none.Error.constData();
    EXPECT_TRUE(none.Error.contains("--data NAME=SQL")) << none.Error.constData();
}

} // namespace
