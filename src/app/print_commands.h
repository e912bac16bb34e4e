#pragma once
// The interactive print commands: the report's print-with-dialog, the preview window's print
// command and the printer switch that rebuilds a report for a newly chosen printer. Programs with a
// user interface call InstallPrintCommands once at start-up (after the application object exists).

#include "print/print_job.h"

#include <functional>

class QWidget;
class TkvPreviewForm;
class TkvReport;
class TkvEMFPages;
class QString;

namespace kv {

// Qt's printers as the shared printer's device, and the preview window's print command.
void InstallPrintCommands();

// Asks with the print dialog and prints (the current page choice is disabled). Does nothing without
// prepared pages or without any platform printer; with an embedded preview its print command runs
// instead. The result is shown to the user when something went wrong.
void PrintPreparedPagesWithDialog(TkvReport& report);

// The preview window's print command (Ctrl+P): the dialog, a rebuild when the printer changed and
// the report asks for it, then the job on the pages the window holds.
void PreviewPrintCommand(TkvPreviewForm& form);

// Makes the printer at newIndex current for a rebuild; on failure shows "Printer selected is not
// valid", selects the old printer again and returns false.
bool SwitchPrinter(TkvReport& report, int oldIndex, int newIndex);

// Prepares the report again after a printer switch (InstallPrintCommands installs PrepareReport,
// with its progress window); when empty the pages are printed as they were prepared.
extern std::function<bool(TkvReport&)> RebuildReport;

// Shows what went wrong in a finished job (nothing for a job that printed or was cancelled).
void ReportPrintResult(const TkvPrintResult& result, QWidget* parent);

// Whether the platform lists any printer (the virtual printer does not count).
bool HasPlatformPrinter();

// Without a print queue: tells the user and offers printing to a PDF file, with the print dialog's
// page range, odd/even choice, copies and collation (its printer is the PDF file), then asks for the
// file's name. `currentPage` (1-based, 0 for none) is what "current page" prints. True when a file
// was written.
bool OfferPdfPrintout(TkvEMFPages& pages, const QString& title, QWidget* parent, int currentPage = 0);

// The 0-based pages of a printout in the order they are printed: the 1-based `pages` chosen, of the
// parity asked for (0 all, 1 odd, 2 even), `copies` times, each copy whole when `collate`.
std::vector<int> PrintoutOrder(const std::vector<int>& pages, uint8_t parity, int copies, bool collate);

} // namespace kv
