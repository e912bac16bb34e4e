#pragma once
// The templates of examples/: made with the library's own view classes, so each file is exactly
// what this system's designer would store. Each shows one thing users build; README.md gives the
// `kvtool build` line of each over examples/shop.sqlite.

#include "core/data/data_definitions.h"

#include <QByteArray>
#include <QString>
#include <vector>

class TkvReport;

namespace kvdemo {

// A price list grouped by category: a page header with the column captions, a group header per
// category, one line per product, a subtotal per category, a grand total and "Page n of N" (two
// passes). Data set Products: Category, Name, Unit, Price, ordered by category.
void BuildPriceList(TkvReport& report);

// The data set line of the price list for `kvtool build`.
inline constexpr const char* kPriceListData =
    "Products=select c.name as Category, p.name as Name, p.unit as Unit, p.price as Price "
    "from products p join categories c on c.id = p.category_id order by c.name, p.name";

// The example database: categories and products of a small shop. Returns an empty text on
// success, otherwise one line saying what failed.
QByteArray MakeShopDatabase(const QString& path);

// The data file of an example: shop.sqlite beside it and the given "NAME=SQL" data sets.
TkvDataDefinitions ExampleData(const std::vector<const char*>& sets);

// Writes shop.sqlite and the templates (price_list.kvf, invoice.kvf, labels.kvf,
// sales_by_month.kvf, category_overview.kvf), each with its data file (.kvdata), into DIR
// (starting the library first). Returns an empty text on success, otherwise one line saying what
// failed.
QByteArray MakeExamples(const QString& dir);

} // namespace kvdemo
