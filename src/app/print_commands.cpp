#include "app/print_commands.h"

#include "app/pdf_printout.h"
#include "app/report_preparation.h"
#include "preview/save_file_dialog.h"
#include "core/store/emf_pages.h"

#include "base/codepage.h"
#include "base/page_list.h"
#include "core/globals.h"
#include "core/locale.h"
#include "core/paper/printer.h"
#include "core/report/report.h"
#include "preview/preview.h"
#include "preview/preview_form.h"
#include "print/print_dialog.h"
#include "print/qt_printer_device.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int ErrorCaptionTextId = 55206;
constexpr int PrinterNotValidTextId = 55210;
constexpr int PrintCaptionTextId = 53040;

QString Text(int id) {
    return kv::DecodeText(kv::LoadLibraryText(id), kvcs::Default);
}

} // namespace

namespace kv {

std::function<bool(TkvReport&)> RebuildReport;

void InstallPrintCommands() {
    InstallQtPrinterBackend();
    TkvPreviewForm::PrintHook = [](TkvPreviewForm& form) { PreviewPrintCommand(form); };
    if (!RebuildReport) RebuildReport = [](TkvReport& report) { return PrepareReport(report); };
}

bool HasPlatformPrinter() {
    return SharedPrinter().VirtualPrinterIndex > 0;
}

void ReportPrintResult(const TkvPrintResult& result, QWidget* parent) {
    switch (result.Outcome) {
    case TkvPrintOutcome::Cancelled:
        return;
    case TkvPrintOutcome::Printed:
        // Pages that could not be read were printed as far as they went.
        if (!result.Message.isEmpty()) QMessageBox::warning(parent, Text(PrintCaptionTextId), result.Message);
        return;
    case TkvPrintOutcome::NothingToPrint:
    case TkvPrintOutcome::CannotPrint:
        QMessageBox::information(parent, Text(PrintCaptionTextId), result.Message);
        return;
    case TkvPrintOutcome::Failed:
        QMessageBox::critical(parent, Text(ErrorCaptionTextId), result.Message);
        return;
    }
}

void PrintPreparedPagesWithDialog(TkvReport& report) {
    if (auto* control = dynamic_cast<TkvPreview*>(report.Preview)) {
        control->Print();
        return;
    }
    if (report.EMFPages.Count() == 0) return;
    if (!HasPlatformPrinter()) {
        OfferPdfPrintout(report.EMFPages, DecodeText(report.Title, kvcs::Default), QApplication::activeWindow());
        return;
    }
    TkvPrintForm dialog(report.EMFPages.Count(), QApplication::activeWindow());
    dialog.RB2->setEnabled(false);
    dialog.E1->setText(QString::number(report.DefaultCopies));
    dialog.CollateCB->setChecked(report.DefaultCollate);
    if (report.ShowPrintDialog && dialog.exec() != QDialog::Accepted) return;
    TkvPrintRequest request;
    request.PageList = dialog.PageListText(0);
    request.Copies = dialog.Copies();
    request.PageParity = dialog.PageParity();
    request.Collate = dialog.Collate();
    ReportPrintResult(PrintPreparedPages(report, request), QApplication::activeWindow());
}

bool SwitchPrinter(TkvReport& report, int oldIndex, int newIndex) {
    TkvPrinter& printer = SharedPrinter();
    try {
        printer.SetPrinterIndex(newIndex);
        // A printer whose settings cannot be read falls back to the virtual printer on its own.
        if (printer.PrinterIndex != newIndex) throw std::runtime_error("printer not usable");
        report.PrinterName = printer.Printers.value(newIndex);
        printer.PaperSize = -1;
        ReselectPagePapers(report);
        return true;
    } catch (const std::exception&) {
        QMessageBox::critical(QApplication::activeWindow(), Text(ErrorCaptionTextId),
                              Text(PrinterNotValidTextId));
        printer.SetPrinterIndex(oldIndex);
        report.PrinterName = printer.Printers.value(oldIndex);
        ReselectPagePapers(report);
        return false;
    }
}

std::vector<int> PrintoutOrder(const std::vector<int>& pages, uint8_t parity, int copies, bool collate) {
    std::vector<int> chosen;
    for (int n : pages)
        if (parity == 0 || n % 2 == (parity == 1 ? 1 : 0)) chosen.push_back(n - 1);
    std::vector<int> order;
    copies = std::max(1, copies);
    if (collate) {
        for (int c = 0; c < copies; ++c)
            order.insert(order.end(), chosen.begin(), chosen.end());
    } else {
        for (int i : chosen)
            order.insert(order.end(), size_t(copies), i);
    }
    return order;
}

bool OfferPdfPrintout(TkvEMFPages& pages, const QString& title, QWidget* parent, int currentPage) {
    const auto answer = QMessageBox::question(
        parent, Text(PrintCaptionTextId),
        QCoreApplication::translate("kv", "No printer is installed. Print to a PDF file instead?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes) return false;
    // Which pages and how many copies: the print dialog, with the PDF file as its only printer.
    TkvPrintForm dialog(pages.Count(), parent);
    {
        const QSignalBlocker quiet(dialog.CB1);
        dialog.CB1->clear();
        dialog.CB1->addItem(QCoreApplication::translate("kv", "PDF file"));
    }
    dialog.CB1->setEnabled(false);
    dialog.PropButton->setEnabled(false);
    dialog.RB2->setEnabled(currentPage >= 1 && currentPage <= pages.Count());
    if (dialog.exec() != QDialog::Accepted) return false;
    const std::optional<TkvPageList> list =
        TkvPageList::Parse(dialog.PageListText(currentPage), pages.Count());
    if (!list) return false;
    const std::vector<int> order =
        PrintoutOrder(list->Pages(), dialog.PageParity(), dialog.Copies(), dialog.Collate());
    if (order.empty()) return false;
    const QString path =
        AskSaveFileName(parent, QCoreApplication::translate("kv", "Print to PDF file"), {"PDF (*.pdf)"}).fileName;
    if (path.isEmpty()) return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        PrintPagesToPdf(pages, order, path, title);
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        QMessageBox::critical(parent, Text(ErrorCaptionTextId), QString::fromLocal8Bit(e.what()));
        return false;
    }
    QApplication::restoreOverrideCursor();
    return true;
}

void PreviewPrintCommand(TkvPreviewForm& form) {
    TkvReport* report = form.Report();
    // The preview holds the pages while it shows them.
    if (!report || form.PageCount() == 0) return;
    if (!HasPlatformPrinter()) {
        OfferPdfPrintout(*form.Pages(), DecodeText(report->Title, kvcs::Default),
                         form.PreviewPanel()->window(), form.CurrentPage);
        return;
    }
    // The window the pages are shown in (the preview window, or the viewer's document window
    // around an embedded preview) owns the dialog and the messages.
    QWidget* host = form.PreviewPanel()->window();
    TkvPrintForm dialog(form.PageCount(), host);
    dialog.E1->setText(QString::number(report->DefaultCopies));
    dialog.CollateCB->setChecked(report->DefaultCollate);
    TkvPrinter& printer = SharedPrinter();
    const int oldIndex = printer.PrinterIndex;
    if (report->ShowPrintDialog && dialog.exec() != QDialog::Accepted) return;

    const TkvReport* current = CurReport() ? CurReport() : report;
    if (current->RebuildPrinter && printer.PrinterIndex != oldIndex && report->Rebuildable) {
        if (!SwitchPrinter(*report, oldIndex, printer.PrinterIndex)) return;
        if (RebuildReport) {
            form.ReturnPages();
            report->EMFPages.Clear();
            RebuildReport(*report);
            form.TakePages(report);
        }
    }
    TkvPrintRequest request;
    request.PageList = dialog.PageListText(form.CurrentPage);
    request.Copies = dialog.Copies();
    request.PageParity = dialog.PageParity();
    request.Collate = dialog.Collate();
    form.ReturnPages();
    TkvPrintResult result;
    try {
        result = PrintPreparedPages(*report, request);
    } catch (...) {
        form.TakePages(report);
        form.ResetView(false);
        throw;
    }
    form.TakePages(report);
    form.ResetView(false);
    ReportPrintResult(result, host);
}

} // namespace kv
