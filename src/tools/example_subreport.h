#pragma once
// The sub-report example of examples/: an overview a category at a time, with the category's
// products and its sales by month printed side by side by two sub-reports.

#include <QByteArray>

class TkvReport;

namespace kvdemo {

// Page 1: a title and the master band over Categories, holding the category's name and two
// sub-report objects: on the left page 2 (the products of the category, from CategoryProducts),
// on the right page 3 (the category's sales per month with their total, from CategorySales).
// Both queries take the category from Categories' current record; the page goes on below the
// longer of the two. Uses the months and sales tables of the cross-tab example.
void BuildCategoryOverview(TkvReport& report);

// The data set lines of the overview for `kvtool build`.
inline constexpr const char* kCategoriesData = "Categories=select id as Id, name as Name from categories order by name";
inline constexpr const char* kCategoryProductsData =
    "CategoryProducts=select name as Name, unit as Unit, price as Price from products "
    "where category_id = :Categories.Id order by name";
inline constexpr const char* kCategorySalesData =
    "CategorySales=select m.name as Month, coalesce(sum(s.amount), 0) as Amount from months m left join sales s "
    "on s.month = m.month and s.product_id in (select id from products where category_id = :Categories.Id) "
    "group by m.month order by m.month";

} // namespace kvdemo
