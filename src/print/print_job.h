#pragma once
// Printing a report's prepared pages: the request, the job that sends the pages to the shared
// printer's selected printer page by page (switching paper and print documents as the pages ask),
// and the entry points used by programs, the viewer and the preview window.

#include <QString>
#include <cstdint>

class TkvReport;
class TkvPrintDocument;

struct TkvPrintRequest {
    QString PageList;       // empty: every page
    int32_t Copies = 1;     // 0 or less prints one copy
    uint8_t PageParity = 0; // 0 all pages, 1 odd pages, 2 even pages (by page number)
    bool Collate = true;
};

enum class TkvPrintOutcome {
    Printed,
    Cancelled,      // the user cancelled; the document in progress was aborted
    NothingToPrint, // no prepared pages, or the page list and parity select none
    CannotPrint,    // no printer that prints is selected (the virtual printer)
    Failed,         // a malformed page list, or the printer refused the job
};

struct TkvPrintResult {
    TkvPrintOutcome Outcome = TkvPrintOutcome::Printed;
    int Sheets = 0;    // pages drawn, copies made by the job included
    int Documents = 0; // print documents begun (a paper change starts another)
    // For the user: why nothing or not everything was printed; pages that could not be read.
    QString Message;

    bool Ok() const { return Outcome == TkvPrintOutcome::Printed; }
};

namespace kv {

// The job itself, on the report's own store: pages in the list and of the parity, each on a new
// sheet; a page on another paper than the previous one ends the print document and begins another.
// Collating repeats the whole run per copy; otherwise the printer makes the copies when it can, else
// each page is sent `Copies` times in a row. CancelRequested is checked after every page. Fires
// OnPrintReport before the document begins.
TkvPrintResult RunPrintJob(TkvReport& report, const TkvPrintRequest& request);

// Makes the report current, takes the pages back from an embedded preview for the time of the job
// and runs it: directly when OnProgress is assigned, ShowProgress is off or there is no widget
// application; otherwise inside the progress window, whose Cancel stops the job after its page.
TkvPrintResult PrintPreparedPages(TkvReport& report, const TkvPrintRequest& request);

// Progress feedback after a printed page (also used by exports): OnProgress, else the progress
// window's label "Printing page:  n".
void ShowProgressNumber(TkvReport& report, int pageNo);

// Every design page selects its own paper again.
void ReselectPagePapers(TkvReport& report);

} // namespace kv
