#include "tools/example_crosstab.h"

#include "core/report/report.h"
#include "core/views/view_font.h"
#include "tools/example_database.h"
#include "tools/example_page.h"

namespace kvdemo {

QByteArray AddSalesTables(const QString& path) {
    return WithExampleDatabase(
        path, "kvdemo-sales", "open", [](QSqlDatabase&, QSqlQuery& q, QByteArray& error) {
            // Quantities follow a fixed pattern, and a product sells nothing in some months, so that
            // every build of the example gives the same figures.
            for (const char* sql : {"create table months (month integer primary key, name text not null)",
                                    "insert into months values (1, 'Jan'), (2, 'Feb'), (3, 'Mar'), (4, "
                                    "'Apr'), (5, 'May'), (6, 'Jun')",
                                    "create table sales (id integer primary key, product_id integer not null "
                                    "references products(id), "
                                    "month integer not null references months(month), amount real not null)",
                                    "insert into sales (product_id, month, amount) select p.id, m.month, "
                                    "round(p.price * ((p.id * 7 + m.month * 5) % 9 + 1), 2) from products p "
                                    "cross join months m "
                                    "where (p.id + m.month) % 5 <> 0 order by p.id, m.month"})
                if (!ExampleExec(q, sql, error)) break;
        });
}

void BuildSalesByMonth(TkvReport& report) {
    TkvPage& page = AddExamplePage(report);
    ExamplePage m(page);

    // The vertical bands: the product column, one column per month, the total column. Objects
    // within one of them are its cells in whichever row they lie.
    m.Band(kvbt::CrossHeader, 0, 0, "ProductColumn").SetBounds(20, 0, 150, 200);
    m.Band(kvbt::CrossData, 0, 0, "MonthColumn", "Captions=Months;ProductRow=MonthSales;").SetBounds(170, 0, 75, 200);
    m.Band(kvbt::CrossFooter, 0, 0, "TotalColumn").SetBounds(250, 0, 98, 200);

    m.Band(kvbt::Title, 20, 44, "Title");
    TkvMemoView& title = m.Text(20, 22, 600, 28, "Sales by month, January to June 2026", kvta::Left, kvfs::Bold);
    title.Font.Size = 16;
    title.Font.Color = kNavy;

    m.Band(kvbt::MasterHeader, 80, 24, "Captions");
    for (TkvMemoView* caption : {&m.Text(20, 82, 150, 20, "Product", kvta::Left | kvta::Middle, kvfs::Bold),
                                 &m.Text(170, 82, 75, 20, "[Months.Month]", kvta::Right | kvta::Middle, kvfs::Bold),
                                 &m.Text(250, 82, 98, 20, "Total", kvta::Right | kvta::Middle, kvfs::Bold)})
        caption->FillColor = kLight;

    m.Band(kvbt::MasterData, 120, 20, "ProductRow", "SalesProducts");
    m.Text(20, 121, 150, 18, "[SalesProducts.Product]");
    m.Text(170, 121, 75, 18, "[FORMATFLOAT('0.00', [MonthSales.Amount])]", kvta::Right);
    m.Text(250, 121, 98, 18, "[FORMATFLOAT('0.00', SUM([MonthSales.Amount]))]", kvta::Right, kvfs::Bold);

    // The totals row: the master band's rows summed per month column, and all sales in its corner.
    m.Band(kvbt::MasterFooter, 160, 28, "MonthTotals");
    m.Rule(20, 161, 698, kNavy, 1);
    m.Text(20, 164, 150, 20, "All products", kvta::Left | kvta::Middle, kvfs::Bold);
    m.Text(170, 164, 75, 20, "[FORMATFLOAT('0.00', SUM([MonthSales.Amount]))]", kvta::Right | kvta::Middle,
           kvfs::Bold);
    TkvMemoView& all = m.Text(250, 164, 98, 20, "[FORMATFLOAT('0.00', SUM([SalesProducts.Total]))]",
                              kvta::Right | kvta::Middle, kvfs::Bold);
    all.Font.Color = kNavy;
}

} // namespace kvdemo
