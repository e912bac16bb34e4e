#pragma once
// The address label example of examples/: one label per customer, three to a row.

#include <QByteArray>

class TkvReport;

namespace kvdemo {

// Address labels in three band columns: the master band is as wide as one label and prints the
// next record beside the last one until three are in a row. Data set Customers (Name, Street,
// Postcode, City, Country) from the customers table that AddInvoiceTables writes.
void BuildLabels(TkvReport& report);

// The data set line of the labels for `kvtool build`.
inline constexpr const char* kLabelsData =
    "Customers=select name as Name, street as Street, postcode as Postcode, city as City, country as Country "
    "from customers order by name";

} // namespace kvdemo
