#pragma once
// kvtool's printing commands: `kvtool print` sends a prepared report to a printer without a dialog,
// with the same page list, copies, collation and odd/even rules as the print dialog; `kvtool
// printers` lists the printers the printer layer sees.

#include "cli/prepared_info.h"

#include <QStringList>

namespace kvcli {

// `kvtool print FILE [--printer NAME] [--pages LIST] [--copies N] [--collate|--no-collate]
// [--parity all|odd|even] [--title TEXT]`. Usage errors (a malformed page list among them) give exit
// code 2; a file that cannot be read, a printer that cannot print, a job the printer refused and a
// request that selects no page give 1.
CommandResult PrintFromArguments(const QStringList& args);

// `kvtool printers`: one printer a line, "*" before the selected one; the virtual printer last.
CommandResult ListPrinters();

} // namespace kvcli
