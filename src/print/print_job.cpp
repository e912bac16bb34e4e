#include "print/print_job.h"

#include "base/codepage.h"
#include "base/page_list.h"
#include "base/text_util.h"
#include "core/globals.h"
#include "core/locale.h"
#include "core/paper/printer.h"
#include "core/report/report.h"
#include "core/store/emf_pages.h"
#include "print/print_document.h"
#include "print/progress_form.h"
#include "render/canvas.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <algorithm>
#include <exception>
#include <vector>

namespace {

constexpr int UntitledTextId = 55209;
constexpr int PreparingReportTextId = 55203;
constexpr int PrintingPageTextId = 55208;

QString LibraryText(int id) {
    return kv::DecodeText(kv::LoadLibraryText(id), kvcs::Default);
}

void PumpMessages() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

bool OfParity(int pageNo, uint8_t parity) {
    if (parity == 1) return pageNo % 2 == 1;
    if (parity == 2) return pageNo % 2 == 0;
    return true;
}

// Where a page is drawn on the sheet, in printer pixels from the printable area's corner: the whole
// sheet for a page that uses its margins, else the margin box stretched over the printable area.
QRect PrintRect(const PreparedPageInfo& info) {
    const TkvPageMetrics& m = info.Metrics;
    if (info.UseMargins)
        return QRect(-m.PrinterOffsetX, -m.PrinterOffsetY, m.PrinterPageWidth, m.PrinterPageHeight);
    const int ppw = m.PrinterPrintableWidth, pph = m.PrinterPrintableHeight;
    if (m.PrintableWidth <= 0 || m.PrintableHeight <= 0) return QRect(0, 0, ppw, pph);
    const double kx = double(ppw) / m.PrintableWidth, ky = double(pph) / m.PrintableHeight;
    const int left = kv::RoundEven(info.Margins.Left * kx), top = kv::RoundEven(info.Margins.Top * ky);
    const int right = ppw - kv::RoundEven(info.Margins.Right * kx);
    const int bottom = pph - kv::RoundEven(info.Margins.Bottom * ky);
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

class PrintJob {
public:
    PrintJob(TkvReport& report, TkvPrintDocument& doc, TkvPrinter& printer)
        : report_(report), store_(report.EMFPages), doc_(doc), printer_(printer) {}

    // Prints page `index` on a new sheet, switching paper (and document) first when it differs.
    void PrintOnePage(int index) {
        PreparedPageInfo& info = store_.PageInfo(index);
        const bool same = printer_.IsSamePaper(info.PaperSize, info.PaperWidth, info.PaperHeight,
                                               info.PaperBin, info.Orientation);
        if (!same || !doc_.DocOpen()) {
            if (doc_.DocOpen()) doc_.EndDoc();
            printer_.SelectPaper(info.PaperSize, info.PaperWidth, info.PaperHeight, info.PaperBin,
                                 info.Orientation, true);
            BeginDoc();
        }
        printer_.FillPageMetrics(info.Metrics);
        TkvCanvas& canvas = doc_.StartPage();
        if (sheetsInDoc_++ == 0) ++result.Documents;
        ++result.Sheets;
        Draw(index, canvas, info);
        kv::ShowProgressNumber(report_, index + 1);
        PumpMessages();
    }

    void BeginDoc() {
        doc_.BeginDoc();
        sheetsInDoc_ = 0;
    }

    TkvPrintResult result;

private:
    void Draw(int index, TkvCanvas& canvas, PreparedPageInfo& info) {
        // The page is unpacked for its own drawing only and released at once, also on failure.
        struct Release {
            TkvEMFPages& store;
            TkvCanvas& canvas;
            PreparedPageInfo& info;
            int index;
            ~Release() {
                info.PageVisible = 0;
                if (info.Page && kv::CurPage() == info.Page.get()) kv::CurPage() = nullptr;
                store.DrawPage(index, canvas, QRect());
            }
        } release{store_, canvas, info, index};
        info.PageVisible = 1;
        try {
            canvas.Save();
            store_.DrawPage(index, canvas, PrintRect(info));
            canvas.Restore();
        } catch (const TkvPrintError&) {
            throw;
        } catch (const std::exception& e) {
            // A damaged page loses its objects, not the job: the sheet stays as far as it was drawn.
            canvas.Restore();
            if (!result.Message.isEmpty()) result.Message += u'\n';
            result.Message += QStringLiteral("Page %1 could not be printed whole: %2")
                                  .arg(index + 1)
                                  .arg(QString::fromUtf8(e.what()));
        }
    }

    TkvReport& report_;
    TkvEMFPages& store_;
    TkvPrintDocument& doc_;
    TkvPrinter& printer_;
    int sheetsInDoc_ = 0;
};

TkvPrintResult Outcome(TkvPrintOutcome outcome, const QString& message) {
    TkvPrintResult r;
    r.Outcome = outcome;
    r.Message = message;
    return r;
}

} // namespace

namespace kv {

TkvPrintResult RunPrintJob(TkvReport& report, const TkvPrintRequest& request) {
    TkvEMFPages& store = report.EMFPages;
    const int count = store.Count();
    if (count == 0)
        return Outcome(TkvPrintOutcome::NothingToPrint, QStringLiteral("The report has no pages to print."));

    QString listError;
    const std::optional<TkvPageList> list = TkvPageList::Parse(request.PageList, count, &listError);
    if (!list) return Outcome(TkvPrintOutcome::Failed, listError);
    std::vector<int> pages; // 0-based, in order
    for (int n : list->Pages())
        if (OfParity(n, request.PageParity)) pages.push_back(n - 1);
    if (pages.empty())
        return Outcome(TkvPrintOutcome::NothingToPrint,
                       QStringLiteral("No page of the report is selected by the page list and the odd/even "
                                      "choice; nothing was printed."));
    const int copies = std::max<int32_t>(1, request.Copies);

    TkvPrinter& printer = SharedPrinter();
    std::unique_ptr<TkvPrintDocument> doc = CreatePrintDocument(printer);
    if (!doc) {
        const QString name = DecodeText(printer.Printers.value(printer.PrinterIndex), kvcs::Default);
        return Outcome(TkvPrintOutcome::CannotPrint,
                       QStringLiteral("The printer \"%1\" cannot print; choose another printer.").arg(name));
    }

    PreparedPageInfo& first = store.PageInfo(0);
    printer.SelectPaper(first.PaperSize, first.PaperWidth, first.PaperHeight, first.PaperBin,
                        first.Orientation, true);
    printer.FillPageMetrics(first.Metrics);
    const QString title =
        report.Title.isEmpty() ? LibraryText(UntitledTextId) : DecodeText(report.Title, kvcs::Default);
    doc->SetTitle(title);
    if (report.OnPrintReport) report.OnPrintReport();
    if (request.Collate)
        doc->SetDeviceCopies(1);
    else if (doc->CanCopy())
        doc->SetDeviceCopies(copies);
    const bool jobCopies = request.Collate || !doc->CanCopy();

    PrintJob job(report, *doc, printer);
    try {
        job.BeginDoc();
        const auto printOne = [&](int index) {
            job.PrintOnePage(index);
            if (!report.CancelRequested) return true;
            doc->AbortDoc();
            job.result.Outcome = TkvPrintOutcome::Cancelled;
            job.result.Message = QStringLiteral("Printing was cancelled after %1 of %2 pages.")
                                     .arg(job.result.Sheets)
                                     .arg(static_cast<qsizetype>(pages.size()) * (jobCopies ? copies : 1));
            return false;
        };
        if (request.Collate) {
            for (int c = 0; c < copies; ++c)
                for (int index : pages)
                    if (!printOne(index)) return job.result;
        } else {
            for (int index : pages)
                for (int c = 0; c < (jobCopies ? copies : 1); ++c)
                    if (!printOne(index)) return job.result;
        }
        if (doc->DocOpen()) doc->EndDoc();
    } catch (const std::exception& e) {
        if (doc->DocOpen()) doc->AbortDoc();
        job.result.Outcome = TkvPrintOutcome::Failed;
        job.result.Message = QString::fromUtf8(e.what());
    }
    return job.result;
}

TkvPrintResult PrintPreparedPages(TkvReport& report, const TkvPrintRequest& request) {
    CurReport() = MasterReport() = &report;
    report.CancelRequested = false;
    // An embedded preview holds the pages while it shows them; the job needs them in the report.
    TkvPreviewHost* preview = report.EMFPages.Count() == 0 ? report.Preview : nullptr;
    if (preview) preview->DetachReport();
    struct Reattach {
        TkvPreviewHost* preview;
        TkvReport& report;
        ~Reattach() {
            if (preview) preview->AttachReport(&report);
        }
    } reattach{preview, report};

    const bool widgets = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    if (report.OnProgress || !report.ShowProgress || !widgets) {
        auto mouseOver = std::move(report.OnMouseOverObject);
        report.OnMouseOverObject = nullptr;
        TkvPrintResult result;
        try {
            result = RunPrintJob(report, request);
        } catch (...) {
            report.OnMouseOverObject = std::move(mouseOver);
            throw;
        }
        report.OnMouseOverObject = std::move(mouseOver);
        return result;
    }

    TkvProgressForm& progress = ProgressWindow();
    QString caption = LibraryText(PreparingReportTextId);
    if (!report.Title.isEmpty()) caption += QStringLiteral(" - ") + DecodeText(report.Title, kvcs::Default);
    progress.setWindowTitle(caption);
    progress.LabelPrefix = LibraryText(PrintingPageTextId);
    progress.Label1->setText(progress.LabelPrefix);
    TkvPrintResult result;
    progress.StartWork = [&](TkvReport& r) { result = RunPrintJob(r, request); };
    progress.Show(report);
    progress.StartWork = nullptr;
    return result;
}

void ShowProgressNumber(TkvReport& report, int pageNo) {
    if (report.OnProgress) {
        report.OnProgress(pageNo);
        return;
    }
    if (!report.ShowProgress) return;
    TkvProgressForm* progress = ExistingProgressWindow();
    if (!progress || progress->Report != &report) return;
    QString text = progress->LabelPrefix + QStringLiteral("  ") + QString::number(pageNo);
    if (ProgressShowsTotal) text += u' ' + LibraryText(FromTextId) + u' ' + QString::number(ProgressTotal);
    progress->Label1->setText(text);
    PumpMessages();
}

void ReselectPagePapers(TkvReport& report) {
    for (const auto& page : report.Pages)
        page->ChangePaper(page->PaperSize, page->PaperWidth, page->PaperHeight, page->PaperBin,
                          page->Orientation);
}

} // namespace kv
