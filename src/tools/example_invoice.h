#pragma once
// The invoice example of examples/: master/detail with a total per invoice, one invoice a page,
// over the customers, invoices and invoice_lines tables of the example database.

#include <QByteArray>
#include <QString>

class TkvReport;

namespace kvdemo {

// Adds customers (name and postal address), invoices and invoice_lines (product, quantity, price)
// to the example database at `path`, which already holds the products. Returns an empty text on
// success, otherwise one line saying what failed.
QByteArray AddInvoiceTables(const QString& path);

// An invoice a page: the shop's letterhead, invoice number, date and the customer's address (the
// master band, starting a new page after each invoice), the lines with quantity × price under
// column captions (the detail band), and the total of the lines in the detail footer. Data sets:
// Invoices (Number, Issued, Customer, Street, Postcode, City) and Lines (Product, Qty, Unit, Price,
// Amount), whose query takes the invoice number from Invoices' current record.
void BuildInvoice(TkvReport& report);

// The data set lines of the invoice for `kvtool build`.
inline constexpr const char* kInvoiceData =
    "Invoices=select i.id as Number, i.issued as Issued, c.name as Customer, c.street as Street, "
    "c.postcode as Postcode, c.city as City from invoices i join customers c on c.id = i.customer_id "
    "order by i.id";
inline constexpr const char* kInvoiceLinesData =
    "Lines=select p.name as Product, l.qty as Qty, p.unit as Unit, l.price as Price, "
    "round(l.qty * l.price, 2) as Amount from invoice_lines l join products p on p.id = l.product_id "
    "where l.invoice_id = :Invoices.Number order by l.id";

} // namespace kvdemo
