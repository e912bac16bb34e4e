#pragma once
// The cross-tab example of examples/: sales of each product by month, January to June, with a
// total per product and per month, over the months and sales tables of the example database.

#include <QByteArray>
#include <QString>

class TkvReport;

namespace kvdemo {

// Adds months (January to June) and sales (product, month, amount) to the example database at
// `path`, which already holds the products. Returns an empty text on success, otherwise one line
// saying what failed.
QByteArray AddSalesTables(const QString& path);

// A cross-tab: one row per product (the master band over SalesProducts), one column per month (the
// cross data band; the caption row takes its columns from Months, each product's row from
// MonthSales, whose query takes the product from SalesProducts' current record), the product's
// total in the cross footer column and the month totals in the master footer row.
void BuildSalesByMonth(TkvReport& report);

// The data set lines of the cross-tab for `kvtool build`.
inline constexpr const char* kSalesProductsData =
    "SalesProducts=select p.id as Id, p.name as Product, sum(s.amount) as Total from sales s "
    "join products p on p.id = s.product_id group by p.id order by p.name";
inline constexpr const char* kMonthsData = "Months=select m.name as Month from months m order by m.month";
inline constexpr const char* kMonthSalesData =
    "MonthSales=select m.name as Month, coalesce(sum(s.amount), 0) as Amount from months m left join sales s "
    "on s.month = m.month and s.product_id = :SalesProducts.Id group by m.month order by m.month";

} // namespace kvdemo
