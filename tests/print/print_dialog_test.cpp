// The print dialog's behaviour, the printer switch and the preview window's print command, driven
// through the widgets with the recording backend.

#include "app/print_commands.h"
#include "print/print_dialog.h"
#include "print_fakes.h"

#include "preview/preview.h"
#include "preview/preview_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

namespace {

// Runs `action` while a timer answers the message box it opens; returns the box's text.
QString AnswerMessageBox(const std::function<void()>& action) {
    QString seen;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen = box->text();
            box->done(QMessageBox::Ok);
        }
    });
    timer.start();
    action();
    timer.stop();
    return seen;
}

using PrintDialogTest = PrintJobTest;

TEST_F(PrintDialogTest, TextsAndPrinters) {
    TkvPrintForm form(4);
    EXPECT_EQ(form.windowTitle(), "Print");
    EXPECT_EQ(form.size(), QSize(485, 225));
    EXPECT_EQ(form.CB1->count(), 3);
    EXPECT_EQ(form.CB1->itemText(2), "Virtual printer");
    EXPECT_EQ(form.CB1->currentIndex(), 0);
    EXPECT_EQ(form.Label2->text(),
              "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12");
    EXPECT_EQ(form.CB2->itemText(1), "Odd pages");
    EXPECT_EQ(form.Button2->text(), "Cancel");
    EXPECT_EQ(form.CB2->x(), form.Label5->geometry().right() + 1 + 11);
}

// A report that names the virtual printer (made where none was installed) gets the system's default
// queue in the dialog, which can print; Cancel leaves the report's choice as it was.
TEST_F(PrintDialogTest, VirtualPrinterOfTheReportGivesWayToTheDefaultQueue) {
    struct Case {
        int defaultQueue;
        bool accept;
        int shown;
        int after;
    } cases[] = {
        {1, true, 1, 1},
        {1, false, 1, 2},
        {-1, true, 0, 0}, // no default queue: the first one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.defaultQueue);
        TkvPrinter& printer = kv::SharedPrinter();
        Device->Default = c.defaultQueue;
        printer.SetPrinterIndex(printer.VirtualPrinterIndex);
        ASSERT_TRUE(printer.VirtualPrinterSelected());
        TkvPrintForm form(4);
        EXPECT_EQ(form.CB1->currentIndex(), c.shown);
        EXPECT_EQ(printer.PrinterIndex, c.shown);
        form.done(c.accept ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(printer.PrinterIndex, c.after);
    }
}

TEST_F(PrintDialogTest, CopiesCollateAndRange) {
    TkvPrintForm form(4);
    form.show();
    form.E1->setText("2");
    form.SpinDown->click();
    form.SpinDown->click();
    EXPECT_EQ(form.E1->text(), "1"); // never below 1
    form.SpinUp->click();
    EXPECT_EQ(form.Copies(), 2);

    const bool collate = form.CollateCB->isChecked();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(form.Label3, &press);
    EXPECT_NE(form.CollateCB->isChecked(), collate);
    const QImage collatedPicture = form.PB1->pixmap().toImage();
    form.CollateCB->toggle();
    EXPECT_NE(form.PB1->pixmap().toImage(), collatedPicture);

    EXPECT_TRUE(form.RB1->isChecked());
    EXPECT_EQ(form.PageListText(3), "");
    form.RB2->setChecked(true);
    EXPECT_EQ(form.PageListText(3), "3");
    form.activateWindow();
    form.E2->setFocus();
    QFocusEvent focus(QEvent::FocusIn);
    QApplication::sendEvent(form.E2, &focus);
    EXPECT_TRUE(form.RB3->isChecked());
    form.E2->setText("1,3");
    EXPECT_EQ(form.PageListText(3), "1,3");
}

TEST_F(PrintDialogTest, MalformedListsKeepTheDialogOpen) {
    TkvPrintForm form(4);
    form.show();
    form.RB3->setChecked(true);
    for (const char* text : {"-", "-5", ",,", "9-12"}) {
        form.E2->setText(text);
        const QString message = AnswerMessageBox([&] { form.done(QDialog::Accepted); });
        EXPECT_FALSE(message.isEmpty()) << text;
        EXPECT_TRUE(form.isVisible()) << text;
    }
    form.E2->setText("2-3");
    form.done(QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(PrintDialogTest, CancelRestoresThePrinter) {
    TkvPrinter& printer = kv::SharedPrinter();
    {
        TkvPrintForm form(4);
        form.CB1->setCurrentIndex(1);
        EXPECT_EQ(printer.PrinterIndex, 1); // selected at once
        form.reject();
    }
    EXPECT_EQ(printer.PrinterIndex, 0);
    TkvPrintForm form(4);
    form.CB1->setCurrentIndex(1);
    form.done(QDialog::Accepted);
    EXPECT_EQ(printer.PrinterIndex, 1);
}

TEST_F(PrintDialogTest, SwitchPrinterFallsBackWithAMessage) {
    TkvPrinter& printer = kv::SharedPrinter();
    Report.Pages.Add(); // a design page, which selects its paper again on the new printer
    EXPECT_TRUE(kv::SwitchPrinter(Report, 0, 1));
    EXPECT_EQ(Report.PrinterName, "Label");
    EXPECT_EQ(printer.PaperSize, 9); // the first design page selected its paper again

    Device->Printers[0].Broken = true;
    bool ok = true;
    const QString message = AnswerMessageBox([&] { ok = kv::SwitchPrinter(Report, 1, 0); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(message, "Printer selected is not valid");
    EXPECT_EQ(printer.PrinterIndex, 1);
    EXPECT_EQ(Report.PrinterName, "Label");
}

TEST_F(PrintDialogTest, PreviewPrintCommandPrintsThePagesItHolds) {
    TkvPreview preview;
    Report.Preview = &preview;
    Report.ShowPrintDialog = false;
    Report.DefaultCopies = 2;
    Report.DefaultCollate = true;
    preview.AttachReport(&Report);
    ASSERT_EQ(Report.EMFPages.Count(), 0); // the preview holds them
    ASSERT_EQ(preview.PageCount(), 4);

    TkvPreviewForm::PrintHook = [](TkvPreviewForm& form) { kv::PreviewPrintCommand(form); };
    kv::PrintPreparedPagesWithDialog(Report); // runs the preview's command
    EXPECT_EQ(Log.Pages, (QList<int>{1, 2, 3, 4, 1, 2, 3, 4}));
    EXPECT_EQ(preview.PageCount(), 4); // the pages are back in the preview
    EXPECT_EQ(Report.EMFPages.Count(), 0);

    // Without a platform printer the user is offered a PDF file instead; declining prints nothing.
    Log = PrintLog();
    kv::InstallPrinterDevice(nullptr);
    QString offer;
    QTimer::singleShot(50, [&offer] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            offer = box->text();
            box->reject();
        }
    });
    preview.Print();
    EXPECT_TRUE(offer.contains("PDF")) << offer.toStdString();
    EXPECT_TRUE(Log.Pages.isEmpty());
    preview.DetachReport();
    Report.Preview = nullptr;
    TkvPreviewForm::PrintHook = nullptr;
}

} // namespace
