#include "tools/example_templates.h"

#include "base/stream_text.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/startup.h"
#include "core/views/band_control_views.h"
#include "core/views/band_view.h"
#include "core/views/memo_flags.h"
#include "core/views/memo_view.h"
#include "core/views/standard_views.h"
#include "tools/example_crosstab.h"
#include "tools/example_invoice.h"
#include "tools/example_labels.h"
#include "tools/example_subreport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <memory>

namespace kvdemo {

namespace {

constexpr uint32_t Rgb(int r, int g, int b) { return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16; }
constexpr uint32_t kNavy = Rgb(31, 56, 100);
constexpr uint32_t kLight = Rgb(221, 235, 247);

// Adds views to one design page, bands and texts in page units.
class PageMaker {
public:
    explicit PageMaker(TkvPage& page) : page_(page) {}

    void Band(int type, int top, int height, const QByteArray& name, const QByteArray& source = {},
              uint16_t flags = 0) {
        auto v = std::make_unique<TkvBandView>();
        v->Name = name;
        v->SetBandType(type);
        v->SetBounds(0, top, 718, height);
        v->SetDataSource(source);
        v->Flags = flags;
        page_.Objects.push_back(std::move(v));
    }

    TkvMemoView& Text(int left, int top, int width, int height, const QByteArray& text,
                      int32_t alignment = kvta::Left, uint16_t style = 0) {
        auto v = std::make_unique<TkvMemoView>();
        v->Name = "Text" + QByteArray::number(++texts_);
        v->SetBounds(left, top, width, height);
        v->Memo = kv::SplitLines(text);
        v->Flags = 0x0002;
        v->Alignment = alignment;
        v->Font.Style = style;
        auto* raw = v.get();
        page_.Objects.push_back(std::move(v));
        return *raw;
    }

private:
    TkvPage& page_;
    int texts_ = 0;
};

bool Exec(QSqlQuery& q, const char* sql, QByteArray& error) {
    if (q.exec(sql)) return true;
    error = "cannot write the example database: " + q.lastError().text().toUtf8();
    return false;
}

} // namespace

void BuildPriceList(TkvReport& report) {
    report.DoublePassReport = 0xFFFF; // "of N" needs the page count of the first pass
    report.Pages.Add();
    TkvPage& page = *report.Page(0);
    page.ChangePaper(9, 2100, 2970, -1, 0);
    page.LeftMargin = page.TopMargin = page.RightMargin = page.BottomMargin = 20;
    page.UseMargins = 1;
    PageMaker m(page);

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
    const QString connection = "kvdemo-shop";
    QByteArray error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            error = "cannot create the example database " + path.toUtf8();
        } else {
            QSqlQuery q(db);
            const char* const statements[] = {
                "create table categories (id integer primary key, name text not null)",
                "create table products (id integer primary key, category_id integer not null references "
                "categories(id), name text not null, unit text not null, price real not null)",
                "insert into categories values (1, 'Bakery'), (2, 'Dairy'), (3, 'Fruit'), (4, 'Tea and coffee')",
            };
            bool ok = true;
            for (const char* sql : statements) ok = ok && Exec(q, sql, error);
            // Four products per category, categories in id order.
            const char* const products[][3] = {
                {"Rye bread", "loaf", "3.20"},      {"Baguette", "piece", "1.40"},
                {"Croissant", "piece", "0.95"},     {"Oat biscuits", "250 g", "2.10"},
                {"Milk", "1 l", "1.15"},            {"Butter", "250 g", "2.49"},
                {"Gouda", "200 g", "3.10"},         {"Yoghurt", "500 g", "1.29"},
                {"Apples", "1 kg", "2.60"},         {"Pears", "1 kg", "2.90"},
                {"Bananas", "1 kg", "1.79"},        {"Oranges", "1 kg", "2.30"},
                {"Green tea", "100 g", "4.50"},     {"Black tea", "100 g", "3.90"},
                {"Espresso beans", "500 g", "7.80"}, {"Filter coffee", "500 g", "5.60"},
            };
            for (int i = 0; ok && i < int(std::size(products)); ++i) {
                q.prepare("insert into products (category_id, name, unit, price) values (?, ?, ?, ?)");
                q.addBindValue(i / 4 + 1);
                for (int c = 0; c < 3; ++c) q.addBindValue(QString::fromUtf8(products[i][c]));
                if (!q.exec()) {
                    error = "cannot write the example database: " + q.lastError().text().toUtf8();
                    ok = false;
                }
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return error;
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
    } templates[] = {{"price_list.kvf", BuildPriceList}, {"invoice.kvf", BuildInvoice}, {"labels.kvf", BuildLabels},
                     {"sales_by_month.kvf", BuildSalesByMonth}, {"category_overview.kvf", BuildCategoryOverview}};
    for (const auto& t : templates) {
        const QString kvf = out.filePath(t.file);
        try {
            TkvReport report;
            t.build(report);
            report.SaveToFile(kvf);
        } catch (const std::exception& e) {
            return kvf.toUtf8() + ": " + QByteArray(e.what()).replace('\n', ' ');
        }
    }
    return {};
}

} // namespace kvdemo
