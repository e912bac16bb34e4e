#include "tools/example_invoice.h"

#include "core/report/report.h"
#include "core/views/view_font.h"
#include "tools/example_database.h"
#include "tools/example_page.h"

#include <QSqlError>
#include <QVariant>
#include <iterator>

namespace kvdemo {

namespace {

constexpr uint32_t kGrey = ExampleRgb(110, 110, 110);

struct Customer {
    const char *name, *street, *postcode, *city, *country;
};

// Fourteen customers: the labels example fills four rows of three and two labels of a fifth.
constexpr Customer kCustomers[] = {
    {"Ada Brook", "4 Mill Lane", "2104", "Elmford", "Northland"},
    {"Bea Carter", "17 Harbour Road", "3310", "Saltby", "Northland"},
    {"Cyril Dane", "9 Orchard Close", "2750", "Appleton", "Northland"},
    {"Dora Ellis", "21 Station Street", "4021", "Kingsbridge", "Northland"},
    {"Emil Fox", "2 Church Walk", "2104", "Elmford", "Northland"},
    {"Fay Gordon", "38 High Street", "5117", "Rivermouth", "Northland"},
    {"Gus Hale", "11 Meadow View", "3310", "Saltby", "Northland"},
    {"Hana Ito", "6 Linden Avenue", "6001", "Westport", "Southland"},
    {"Ivo Jansen", "15 Canal Side", "6001", "Westport", "Southland"},
    {"Jill Kemp", "27 Forge Row", "4021", "Kingsbridge", "Northland"},
    {"Karl Lund", "3 Quarry Hill", "7340", "Stonebury", "Southland"},
    {"Lena Moss", "19 Willow Way", "2750", "Appleton", "Northland"},
    {"Milo Nash", "8 Bridge End", "5117", "Rivermouth", "Northland"},
    {"Nora Olsen", "12 Beacon Rise", "7340", "Stonebury", "Southland"},
};

struct Invoice {
    int customer;
    const char* issued;
};

constexpr Invoice kInvoices[] = {{4, "2026-03-02"}, {8, "2026-03-05"}, {1, "2026-03-09"}};

struct Line {
    int invoice, product, qty;
    double price;
};

// Products by their id in the products table (four per category: bakery, dairy, fruit, tea and
// coffee); prices as charged on the day.
constexpr Line kLines[] = {
    {1, 1, 2, 3.20}, {1, 5, 3, 1.15}, {1, 13, 1, 4.50}, {2, 15, 2, 7.80}, {2, 3, 6, 0.95},  {2, 6, 1, 2.49},
    {2, 9, 2, 2.60}, {2, 7, 1, 3.10}, {3, 16, 1, 5.60}, {3, 4, 2, 2.10},  {3, 11, 1, 1.79},
};

} // namespace

QByteArray AddInvoiceTables(const QString& path) {
    return WithExampleDatabase(
        path, "kvdemo-invoices", "open", [](QSqlDatabase& db, QSqlQuery& q, QByteArray& error) {
            bool ok = true;
            for (const char* sql :
                 {"create table customers (id integer primary key, name text not null, street text not null, "
                  "postcode text not null, city text not null, country text not null)",
                  "create table invoices (id integer primary key, customer_id integer not null references "
                  "customers(id), issued text not null)",
                  "create table invoice_lines (id integer primary key, invoice_id integer not null "
                  "references "
                  "invoices(id), product_id integer not null references products(id), qty integer not null, "
                  "price real not null)"}) {
                ok = ok && q.prepare(sql) && ExampleExec(q, error);
            }
            ok = ok && db.transaction();
            for (const Customer& c : kCustomers) {
                if (!ok) break;
                q.prepare(
                    "insert into customers (name, street, postcode, city, country) values (?, ?, ?, ?, ?)");
                for (const char* v : {c.name, c.street, c.postcode, c.city, c.country})
                    q.addBindValue(QString::fromUtf8(v));
                ok = ExampleExec(q, error);
            }
            for (const Invoice& i : kInvoices) {
                if (!ok) break;
                q.prepare("insert into invoices (customer_id, issued) values (?, ?)");
                q.addBindValue(i.customer);
                q.addBindValue(QString::fromUtf8(i.issued));
                ok = ExampleExec(q, error);
            }
            for (const Line& l : kLines) {
                if (!ok) break;
                q.prepare(
                    "insert into invoice_lines (invoice_id, product_id, qty, price) values (?, ?, ?, ?)");
                q.addBindValue(l.invoice);
                q.addBindValue(l.product);
                q.addBindValue(l.qty);
                q.addBindValue(l.price);
                ok = ExampleExec(q, error);
            }
            if (ok && !db.commit())
                error = "cannot write the example database: " + db.lastError().text().toUtf8();
            if (!ok) db.rollback();
        });
}

void BuildInvoice(TkvReport& report) {
    TkvPage& page = AddExamplePage(report);
    ExamplePage m(page);

    // The invoice head: a new page after each invoice; an invoice without lines still prints.
    m.Band(kvbt::MasterData, 20, 230, "Invoice", "Invoices", kvbf::FormNewPage | kvbf::PrintIfSubsetEmpty);
    TkvMemoView& shop = m.Text(20, 24, 360, 30, "Corner Shop", kvta::Left, kvfs::Bold);
    shop.Font.Size = 18;
    shop.Font.Color = kNavy;
    m.Text(20, 56, 360, 16, "12 Market Street, 2104 Elmford").Font.Color = kGrey;
    TkvMemoView& title = m.Text(450, 24, 248, 30, "INVOICE", kvta::Right, kvfs::Bold);
    title.Font.Size = 18;
    title.Font.Color = kNavy;
    m.Text(450, 60, 150, 18, "Invoice no.", kvta::Left);
    m.Text(600, 60, 98, 18, "[Invoices.Number]", kvta::Right, kvfs::Bold);
    m.Text(450, 78, 150, 18, "Date", kvta::Left);
    m.Text(600, 78, 98, 18, "[Invoices.Issued]", kvta::Right);
    m.Rule(20, 100, 678, kNavy, 2);
    m.Text(20, 120, 300, 18, "Bill to", kvta::Left, kvfs::Bold).Font.Color = kGrey;
    m.Text(20, 140, 300, 18, "[Invoices.Customer]", kvta::Left, kvfs::Bold);
    m.Text(20, 158, 300, 18, "[Invoices.Street]");
    m.Text(20, 176, 300, 18, "[Invoices.Postcode] [Invoices.City]");

    // Column captions over the lines of each invoice.
    m.Band(kvbt::DetailHeader, 270, 24, "Captions");
    for (TkvMemoView* caption :
         {&m.Text(20, 272, 300, 20, "Product", kvta::Left | kvta::Middle, kvfs::Bold),
          &m.Text(320, 272, 70, 20, "Qty", kvta::Right | kvta::Middle, kvfs::Bold),
          &m.Text(390, 272, 110, 20, "  Unit", kvta::Left | kvta::Middle, kvfs::Bold),
          &m.Text(500, 272, 90, 20, "Price", kvta::Right | kvta::Middle, kvfs::Bold),
          &m.Text(590, 272, 108, 20, "Amount", kvta::Right | kvta::Middle, kvfs::Bold)})
        caption->FillColor = kLight;

    // One line per product: quantity × price.
    m.Band(kvbt::DetailData, 310, 20, "Line", "Lines");
    m.Text(20, 311, 300, 18, "[Lines.Product]");
    m.Text(320, 311, 70, 18, "[Lines.Qty]", kvta::Right);
    m.Text(390, 311, 110, 18, "  [Lines.Unit]");
    m.Text(500, 311, 90, 18, "[FORMATFLOAT('0.00', [Lines.Price])]", kvta::Right);
    m.Text(590, 311, 108, 18, "[FORMATFLOAT('0.00', [Lines.Amount])]", kvta::Right);

    // The invoice's total: the sum of its lines.
    m.Band(kvbt::DetailFooter, 350, 90, "Totals");
    m.Rule(390, 354, 308, kNavy, 1);
    m.Text(390, 360, 200, 18, "[COUNT(Line)] items", kvta::Left).Font.Color = kGrey;
    m.Text(390, 380, 200, 20, "Total", kvta::Left, kvfs::Bold);
    m.Text(590, 380, 108, 20, "[FORMATFLOAT('0.00', SUM(Lines.Amount))]", kvta::Right, kvfs::Bold);
    m.Text(20, 416, 678, 18, "Payable within 14 days to Corner Shop. Thank you for your order.").Font.Color =
        kGrey;

    m.Band(kvbt::PageFooter, 470, 22, "Footer", {}, kvbf::OnFirstPage | kvbf::OnLastPage);
    m.Text(20, 472, 678, 18, "Corner Shop, 12 Market Street, 2104 Elmford", kvta::Center).Font.Color = kGrey;
}

} // namespace kvdemo
