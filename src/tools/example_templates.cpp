#include "tools/example_templates.h"

#include "base/stream_text.h"
#include "core/data/data_definitions.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/startup.h"
#include "core/views/band_control_views.h"
#include "core/views/band_view.h"
#include "core/views/memo_flags.h"
#include "core/views/memo_view.h"
#include "core/views/standard_views.h"
#include "tools/example_crosstab.h"
#include "tools/example_database.h"
#include "tools/example_invoice.h"
#include "tools/example_labels.h"
#include "tools/example_page.h"
#include "tools/example_subreport.h"

#include <QDir>
#include <cstring>
#include <QFile>
#include <memory>

namespace kvdemo {

void BuildPriceList(TkvReport& report) {
    report.DoublePassReport = 0xFFFF; // "of N" needs the page count of the first pass
    TkvPage& page = AddExamplePage(report);
    ExamplePage m(page);

    m.Band(kvbt::Title, 20, 36, "Title");
    TkvMemoView& title = m.Text(20, 20, 500, 30, "Price list, [DATE]", kvta::Left, kvfs::Bold);
    title.Font.Size = 16;
    title.Font.Color = kNavy;

    m.Band(kvbt::PageHeader, 70, 22, "Captions", {}, kvbf::OnFirstPage);
    for (TkvMemoView* caption : {&m.Text(40, 72, 380, 18, "Product", kvta::Left, kvfs::Bold),
                                 &m.Text(430, 72, 120, 18, "Unit", kvta::Left, kvfs::Bold),
                                 &m.Text(560, 72, 130, 18, "Price", kvta::Right, kvfs::Bold)})
        caption->FillColor = kLight;

    m.Band(kvbt::GroupHeader, 110, 24, "Category", "Products.Category");
    TkvMemoView& group = m.Text(20, 112, 500, 20, "[Products.Category]", kvta::Left, kvfs::Bold);
    group.Font.Color = kNavy;

    m.Band(kvbt::MasterData, 150, 18, "ProductLines", "Products");
    m.Text(40, 150, 380, 18, "[Products.Name]");
    m.Text(430, 150, 120, 18, "[Products.Unit]");
    m.Text(560, 150, 130, 18, "[FORMATFLOAT('0.00', [Products.Price])]", kvta::Right);

    m.Band(kvbt::GroupFooter, 180, 26, "Subtotal");
    m.Text(40, 182, 380, 18, "[COUNT(ProductLines)] products in [Products.Category]", kvta::Left);
    m.Text(560, 182, 130, 18, "[FORMATFLOAT('0.00', SUM(Products.Price))]", kvta::Right, kvfs::Bold);

    m.Band(kvbt::Summary, 220, 26, "Total");
    m.Text(40, 222, 380, 18, "All products", kvta::Left, kvfs::Bold);
    m.Text(560, 222, 130, 18, "[FORMATFLOAT('0.00', SUM(Products.Price))]", kvta::Right, kvfs::Bold);

    m.Band(kvbt::PageFooter, 260, 22, "Footer", {}, kvbf::OnFirstPage | kvbf::OnLastPage);
    m.Text(500, 262, 190, 18, "Page [PAGE#] of [TOTALPAGES]", kvta::Right);
}

QByteArray MakeShopDatabase(const QString& path) {
    QFile::remove(path);
    return WithExampleDatabase(
        path, "kvdemo-shop", "create", [](QSqlDatabase&, QSqlQuery& q, QByteArray& error) {
            const char* const statements[] = {
                "create table categories (id integer primary key, name text not null)",
                "create table products (id integer primary key, category_id integer not null references "
                "categories(id), name text not null, unit text not null, price real not null)",
                "insert into categories values (1, 'Bakery'), (2, 'Dairy'), (3, 'Fruit'), (4, 'Tea and "
                "coffee')",
            };
            bool ok = true;
            for (const char* sql : statements)
                ok = ok && ExampleExec(q, sql, error);
            // Four products per category, categories in id order.
            const char* const products[][3] = {
                {"Rye bread", "loaf", "3.20"},
                {"Baguette", "piece", "1.40"},
                {"Croissant", "piece", "0.95"},
                {"Oat biscuits", "250 g", "2.10"},
                {"Milk", "1 l", "1.15"},
                {"Butter", "250 g", "2.49"},
                {"Gouda", "200 g", "3.10"},
                {"Yoghurt", "500 g", "1.29"},
                {"Apples", "1 kg", "2.60"},
                {"Pears", "1 kg", "2.90"},
                {"Bananas", "1 kg", "1.79"},
                {"Oranges", "1 kg", "2.30"},
                {"Green tea", "100 g", "4.50"},
                {"Black tea", "100 g", "3.90"},
                {"Espresso beans", "500 g", "7.80"},
                {"Filter coffee", "500 g", "5.60"},
            };
            for (int i = 0; ok && i < int(std::size(products)); ++i) {
                q.prepare("insert into products (category_id, name, unit, price) values (?, ?, ?, ?)");
                q.addBindValue(i / 4 + 1);
                for (int c = 0; c < 3; ++c)
                    q.addBindValue(QString::fromUtf8(products[i][c]));
                ok = ExampleExec(q, error);
            }
        });
}

TkvDataDefinitions ExampleData(const std::vector<const char*>& sets) {
    TkvDataDefinitions data;
    data.Database = "sqlite:shop.sqlite";
    for (const char* line : sets) {
        const QString text = QString::fromUtf8(line);
        const qsizetype eq = text.indexOf('=');
        TkvDataSetDefinition set;
        set.Name = text.left(eq).toUtf8();
        // A clause a line (outside parentheses), so that the file reads like the query it is.
        const QString sql = text.mid(eq + 1);
        QString lines;
        int depth = 0;
        for (qsizetype i = 0; i < sql.size(); ++i) {
            const QChar c = sql[i];
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            bool breaks = false;
            if (c == ' ' && depth == 0)
                for (const char* clause : {" from ", " left join ", " join ", " where ", " group by ", " order by "})
                    breaks = breaks || (sql.mid(i, qsizetype(strlen(clause))) == QLatin1String(clause) &&
                                        !lines.endsWith("left"));
            lines += breaks ? QChar('\n') : c;
        }
        set.Sql = lines;
        data.Sets.push_back(set);
    }
    return data;
}

QByteArray MakeExamples(const QString& dir) {
    kv::StartUp();
    kv::RegisterStandardViews();
    kv::RegisterBandAndControlViews();
    const QDir out(dir);
    if (QByteArray error = MakeShopDatabase(out.filePath("shop.sqlite")); !error.isEmpty()) return error;
    if (QByteArray error = AddInvoiceTables(out.filePath("shop.sqlite")); !error.isEmpty()) return error;
    if (QByteArray error = AddSalesTables(out.filePath("shop.sqlite")); !error.isEmpty()) return error;
    const struct {
        const char* file;
        void (*build)(TkvReport&);
        std::vector<const char*> data;
    } templates[] = {
        {"price_list.kvf", BuildPriceList, {kPriceListData}},
        {"invoice.kvf", BuildInvoice, {kInvoiceData, kInvoiceLinesData}},
        {"labels.kvf", BuildLabels, {kLabelsData}},
        {"sales_by_month.kvf", BuildSalesByMonth, {kSalesProductsData, kMonthsData, kMonthSalesData}},
        {"category_overview.kvf", BuildCategoryOverview, {kCategoriesData, kCategoryProductsData, kCategorySalesData}},
    };
    for (const auto& t : templates) {
        const QString kvf = out.filePath(t.file);
        try {
            TkvReport report;
            t.build(report);
            report.SaveToFile(kvf);
            ExampleData(t.data).Save(TkvDataDefinitions::FileFor(kvf));
        } catch (const std::exception& e) {
            return kvf.toUtf8() + ": " + QByteArray(e.what()).replace('\n', ' ');
        }
    }
    return {};
}

} // namespace kvdemo
