// The print job on a recording backend: page order with and without collation, parity by page
// number, paper changes splitting documents (with their device copies), cancel, and the outcomes
// for requests that print nothing or printers that cannot print.

#include "print/print_job.h"
#include "print_fakes.h"

#include "core/store/emf_pages.h"

namespace {

const QString Portrait = "sheet 9/0", Landscape = "sheet 9/1";

TEST_F(PrintJobTest, PageOrderOfCopies) {
    struct Case {
        const char* what;
        TkvPrintRequest request;
        bool canCopy;
        QList<int> pages;
        QString begin;
    };
    const Case cases[] = {
        {"collated copies are repeated runs",
         {"1-3", 2, 0, true},
         true,
         {1, 2, 3, 1, 2, 3},
         "begin copies=1"},
        {"uncollated, the printer cannot copy",
         {"1-3", 2, 0, false},
         false,
         {1, 1, 2, 2, 3, 3},
         "begin copies=1"},
        {"uncollated, the printer copies", {"1-3", 2, 0, false}, true, {1, 2, 3}, "begin copies=2"},
        {"copies 0 is one copy", {"2", 0, 0, true}, false, {2}, "begin copies=1"},
        {"odd pages by page number", {"2-4", 1, 1, true}, false, {3}, "begin copies=1"},
        {"even pages", {"", 1, 2, true}, false, {2, 4}, "begin copies=1"},
        {"a page listed twice prints once", {"3,3,1", 1, 0, true}, false, {1, 3}, "begin copies=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Log = PrintLog();
        Log.CanCopy = c.canCopy;
        const TkvPrintResult r = kv::PrintPreparedPages(Report, c.request);
        EXPECT_EQ(r.Outcome, TkvPrintOutcome::Printed) << r.Message.toStdString();
        EXPECT_EQ(Log.Pages, c.pages);
        EXPECT_EQ(r.Sheets, c.pages.size());
        ASSERT_FALSE(Log.Events.isEmpty());
        EXPECT_EQ(Log.Events.first(), c.begin);
        EXPECT_EQ(Log.Events.last(), "end");
    }
}

TEST_F(PrintJobTest, EachPageIsDrawnOnItsOwnSheet) {
    const TkvPrintResult r = kv::PrintPreparedPages(Report, {"2-3", 1, 0, true});
    ASSERT_TRUE(r.Ok());
    ASSERT_EQ(Log.SheetText.size(), 2);
    EXPECT_FALSE(Log.SheetText[0].isEmpty());
    EXPECT_NE(Log.SheetText[0], Log.SheetText[1]);
    // Pages are released after drawing: memory stays bounded by one page.
    for (int i = 0; i < Report.EMFPages.Count(); ++i) {
        EXPECT_FALSE(Report.EMFPages.PageInfo(i).Page) << i;
        EXPECT_FALSE(Report.EMFPages.PageInfo(i).PageVisible) << i;
    }
}

TEST_F(PrintJobTest, PaperChangeStartsANewDocumentWithTheSameCopies) {
    Log.CanCopy = true;
    const TkvPrintResult r = kv::PrintPreparedPages(Report, {"", 3, 0, false});
    ASSERT_TRUE(r.Ok()) << r.Message.toStdString();
    EXPECT_EQ(r.Documents, 2);
    const QStringList expected{"begin copies=3", Portrait,  Portrait, Portrait, "end",
                               "begin copies=3", Landscape, "end"};
    EXPECT_EQ(Log.Events, expected);
    // The page records describe the printer actually used.
    EXPECT_EQ(Report.EMFPages.PageInfo(3).Metrics.PrinterPageWidth, 702); // 297 mm at 60 dpi
}

TEST_F(PrintJobTest, CollatedCopiesSwitchPaperEveryRun) {
    const TkvPrintResult r = kv::PrintPreparedPages(Report, {"3-4", 2, 0, true});
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(Log.Pages, (QList<int>{3, 4, 3, 4}));
    EXPECT_EQ(r.Documents, 4);
    EXPECT_EQ(Log.Events.count("end"), 4);
}

TEST_F(PrintJobTest, CancelFinishesThePageAndAbortsTheDocument) {
    CancelAfter = 2;
    const TkvPrintResult r = kv::PrintPreparedPages(Report, {"1-3", 2, 0, true});
    EXPECT_EQ(r.Outcome, TkvPrintOutcome::Cancelled);
    EXPECT_EQ(Log.Pages, (QList<int>{1, 2}));
    EXPECT_EQ(Log.Events, (QStringList{"begin copies=1", Portrait, Portrait, "abort"}));
    EXPECT_TRUE(r.Message.contains("cancelled"));
}

TEST_F(PrintJobTest, RequestsThatPrintNothing) {
    struct Case {
        const char* what;
        TkvPrintRequest request;
        TkvPrintOutcome outcome;
    };
    const Case cases[] = {
        {"odd pages of an even page", {"4", 1, 1, true}, TkvPrintOutcome::NothingToPrint},
        {"a range that runs backwards", {"3-1", 1, 0, true}, TkvPrintOutcome::NothingToPrint},
        {"beyond the last page", {"5-9", 1, 0, true}, TkvPrintOutcome::NothingToPrint},
        {"a malformed list", {"-5", 1, 0, true}, TkvPrintOutcome::Failed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Log = PrintLog();
        const TkvPrintResult r = kv::PrintPreparedPages(Report, c.request);
        EXPECT_EQ(r.Outcome, c.outcome);
        EXPECT_FALSE(r.Message.isEmpty());
        EXPECT_TRUE(Log.Events.isEmpty()) << Log.Events.join(", ").toStdString();
    }
}

TEST_F(PrintJobTest, PrinterFailuresReachTheCaller) {
    Log.FailOnStart = true;
    TkvPrintResult r = kv::PrintPreparedPages(Report, {"", 1, 0, true});
    EXPECT_EQ(r.Outcome, TkvPrintOutcome::Failed);
    EXPECT_TRUE(r.Message.contains("could not begin")) << r.Message.toStdString();

    Log = PrintLog();
    TkvPrinter& printer = kv::SharedPrinter();
    printer.SetPrinterIndex(printer.VirtualPrinterIndex);
    r = kv::PrintPreparedPages(Report, {"", 1, 0, true});
    EXPECT_EQ(r.Outcome, TkvPrintOutcome::CannotPrint);
    EXPECT_TRUE(Log.Events.isEmpty());

    // A printer whose settings cannot be read falls back to the virtual printer, which cannot print.
    Device->Printers[1].Broken = true;
    printer.SetPrinterIndex(1);
    EXPECT_TRUE(printer.VirtualPrinterSelected());
    EXPECT_EQ(kv::PrintPreparedPages(Report, {"", 1, 0, true}).Outcome, TkvPrintOutcome::CannotPrint);
}

TEST_F(PrintJobTest, OnPrintReportFiresBeforeTheDocument) {
    QStringList seen;
    Report.OnPrintReport = [&] { seen << QString::number(Log.Events.size()); };
    kv::PrintPreparedPages(Report, {"1", 1, 0, true});
    EXPECT_EQ(seen, QStringList{"0"});
}

TEST_F(PrintJobTest, PrintingOnAnotherPrinterKeepsTheNameAsked) {
    TkvPrinter& printer = kv::SharedPrinter();
    Report.SelectPrinterByName("Label");
    EXPECT_EQ(printer.PrinterIndex, 1);
    Report.SelectPrinterByName("Gone");
    EXPECT_EQ(printer.PrinterIndex, 1); // an unknown name keeps the selection
    EXPECT_EQ(Report.PrinterName, "Gone");
    EXPECT_TRUE(kv::PrintPreparedPages(Report, {"1", 1, 0, true}).Ok());
}

} // namespace
