// The paper table and the virtual printer: what a machine without printers answers.

#include "core/locale.h"
#include "core/paper/paper_table.h"
#include "core/paper/printer.h"
#include "core/report/page.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

TEST(PaperTable, HoldsTheSixtySevenPapersNamedByLibraryTexts) {
    TkvPrinter printer; // loads the names
    ASSERT_EQ(PaperTable.size(), 67u);
    for (size_t i = 0; i < PaperTable.size(); ++i)
        EXPECT_EQ(PaperTable[i].PaperName, kv::LoadLibraryText(55008 + static_cast<int>(i))) << i;

    // Names whose odd spacing is part of the text, and the custom size closing the table.
    EXPECT_EQ(PaperTable[0].PaperName, "Letter, 8 1/2 x 11\"");
    EXPECT_EQ(PaperTable[19].PaperName, "#10 Envelope, 4 1/8  x 9 1/2\"");
    EXPECT_EQ(PaperTable[28].PaperName, "C3 Envelope,  324 x 458 mm");
    EXPECT_EQ(PaperTable[54].PaperName, "SuperASuperAA4 227 x 356 mm");
    EXPECT_EQ(PaperTable[66].PaperName, "Custom");
    EXPECT_EQ(PaperTable[66].PaperId, 256);

    EXPECT_EQ(kv::FindPaper(48), nullptr);
    EXPECT_EQ(kv::FindPaper(49), nullptr);
    ASSERT_NE(kv::FindPaper(47), nullptr);
    EXPECT_EQ(kv::FindPaper(50), &PaperTable[47]);
    EXPECT_EQ(kv::FindPaper(26)->PaperHeightMM10, 11176);
    EXPECT_EQ(kv::FindPaper(35)->PaperHeightMM10, 1250); // B6 envelope is wider than high
}

class VirtualPrinterTest : public ::testing::Test {
protected:
    void SetUp() override { printer.AttachPlatformPrinter(nullptr); }

    // Printer-pixel fields are the caller's; the virtual printer must leave them alone.
    static TkvPageMetrics Prefilled() {
        TkvPageMetrics m;
        m.PrinterPageWidth = 11, m.PrinterPageHeight = 12, m.PrinterOffsetX = 13, m.PrinterOffsetY = 14;
        m.PrinterPrintableWidth = 15, m.PrinterPrintableHeight = 16;
        return m;
    }

    TkvPrinter printer;
};

TEST_F(VirtualPrinterTest, IsTheOnlyPrinterAndOffersThePaperTable) {
    EXPECT_EQ(printer.Printers, TkvStringList{"Virtual printer"});
    EXPECT_EQ(printer.VirtualPrinterIndex, 0);
    EXPECT_TRUE(printer.VirtualPrinterSelected());
    EXPECT_FALSE(printer.DeviceMode());
    ASSERT_EQ(printer.PaperSizesCount(), 67);
    EXPECT_EQ(printer.PaperNames.front(), "Letter, 8 1/2 x 11\"");
    EXPECT_EQ(printer.PaperNames.back(), "Custom");
    EXPECT_EQ(printer.PaperSizes[47], 50);
    EXPECT_EQ(printer.BinNames, TkvStringList{"Default"});
    EXPECT_EQ(printer.Bins, QList<int32_t>{-1});
}

TEST_F(VirtualPrinterTest, SharedPrinterWithoutDeviceStartsWithNoPaper) {
    kv::InstallPrinterDevice(nullptr);
    TkvPrinter& shared = kv::SharedPrinter();
    EXPECT_TRUE(kv::PrinterReady);
    EXPECT_EQ(kv::DefaultPaperSize, -1);
    EXPECT_EQ(shared.PaperSize, -1);
    EXPECT_EQ(shared.Printers, TkvStringList{"Virtual printer"});
    EXPECT_EQ(&shared, &kv::SharedPrinter());
    // New pages get paper id -1 and still see an A4 sheet.
    shared.SelectPaper(-1, 0, 0, -1, 0, false);
    TkvPageMetrics m;
    shared.FillPageMetrics(m);
    EXPECT_EQ(m.PageWidth, 758);
    EXPECT_EQ(m.PageHeight, 1071);

    kv::ReleaseSharedPrinter();
    EXPECT_FALSE(kv::PrinterReady);
    EXPECT_EQ(kv::SharedPrinter().PaperSize, -1); // started again
    EXPECT_TRUE(kv::PrinterReady);
}

TEST_F(VirtualPrinterTest, PageGeometryInPageUnits) {
    struct Case {
        int32_t id, width, height;
        uint8_t orientation;
        int32_t paperWidth, paperHeight, pageWidth, pageHeight;
    };
    const Case cases[] = {
        {9, 0, 0, 0, 2100, 2970, 758, 1071},        // A4: the table's size, whatever was asked
        {9, 0, 0, 1, 2970, 2100, 1071, 758},        // landscape exchanges the sides
        {256, 1000, 1500, 0, 1000, 1500, 361, 541}, // custom: exactly the size asked for
        {256, 1500, 1000, 1, 1500, 1000, 541, 361}, // custom sizes are given as oriented
        {26, 0, 0, 0, 8636, 11176, 3115, 4032},     // E sheet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "paper " << c.id << " orientation " << int(c.orientation));
        printer.SelectPaper(c.id, c.width, c.height, -1, c.orientation, false);
        EXPECT_EQ(printer.PaperSize, c.id);
        EXPECT_EQ(printer.PaperWidth, c.paperWidth);
        EXPECT_EQ(printer.PaperHeight, c.paperHeight);
        EXPECT_EQ(printer.Orientation, c.orientation);
        TkvPageMetrics m = Prefilled();
        printer.FillPageMetrics(m);
        TkvPageMetrics expected = Prefilled();
        expected.PageWidth = c.pageWidth;
        expected.PageHeight = c.pageHeight;
        expected.OffsetLeft = expected.OffsetTop = 18;
        expected.PrintableWidth = c.pageWidth - 36;
        expected.PrintableHeight = c.pageHeight - 36;
        EXPECT_EQ(m, expected);
    }
}

TEST_F(VirtualPrinterTest, A4PortraitPrintableArea) {
    printer.SelectPaper(9, 0, 0, -1, 0, true);
    TkvPageMetrics m;
    printer.FillPageMetrics(m);
    EXPECT_EQ(m.PrintableWidth, 722);
    EXPECT_EQ(m.PrintableHeight, 1035);
}

TEST_F(VirtualPrinterTest, SizesFromAFileAreClampedToADrawablePaper) {
    struct Case {
        int32_t width, height, paperWidth, paperHeight;
    };
    const Case cases[] = {
        {0, 1, 110, 110},
        {-5000, 2970, 110, 2970},
        {2100, INT32_MIN, 2100, 110},
        {INT32_MAX, 2970, 100000, 2970},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        printer.SelectPaper(256, c.width, c.height, -1, 0, true);
        EXPECT_EQ(printer.PaperWidth, c.paperWidth);
        EXPECT_EQ(printer.PaperHeight, c.paperHeight);
        TkvPageMetrics m;
        printer.FillPageMetrics(m);
        EXPECT_GT(m.PrintableWidth, 0);
        EXPECT_GT(m.PrintableHeight, 0);
        // A clamped size counts as the same paper when the page asks again with its stored size.
        EXPECT_TRUE(printer.IsSamePaper(256, c.width, c.height, -1, 0));
    }
}

// A page whose paper the printer cannot give a size (no paper id, an id of another printer's, a
// custom paper stored without a size) gets the default paper, never the smallest drawable one.
TEST_F(VirtualPrinterTest, PaperWithoutASizeIsTheDefaultPaper) {
    struct Case {
        const char* locale;
        int32_t id, width, height;
        uint8_t orientation;
        int32_t paperWidth, paperHeight;
    };
    const Case cases[] = {
        {"de_DE", -1, 0, 0, 0, 2100, 2970},     {"de_DE", 0, 0, 0, 0, 2100, 2970},
        {"de_DE", 12345, 0, 0, 1, 2970, 2100},  {"de_DE", 256, 0, 0, 0, 2100, 2970},
        {"de_DE", 256, -3, 0, 1, 2970, 2100},   {"en_US", -1, 0, 0, 0, 2159, 2794},
        {"en_US", 256, 0, 0, 1, 2794, 2159},
    };
    const QLocale saved;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.locale << " paper " << c.id << " " << c.width << " x " << c.height);
        QLocale::setDefault(QLocale(c.locale));
        printer.SelectPaper(256, 110, 110, -1, 0, true); // the previous page had the smallest paper
        printer.SelectPaper(c.id, c.width, c.height, -1, c.orientation, false);
        EXPECT_EQ(printer.PaperSize, c.id);
        EXPECT_EQ(printer.PaperWidth, c.paperWidth);
        EXPECT_EQ(printer.PaperHeight, c.paperHeight);
        EXPECT_TRUE(printer.IsSamePaper(c.id, c.width, c.height, -1, c.orientation));
    }
    QLocale::setDefault(saved);
}

// The page loaded from a template on a machine without printers, after another page chose its
// paper: the page keeps what it stored and has an A4 sheet to build on.
TEST_F(VirtualPrinterTest, APageWithoutStoredPaperOnAMachineWithoutPrinters) {
    const QLocale saved;
    QLocale::setDefault(QLocale("de_DE"));
    kv::InstallPrinterDevice(nullptr);
    const TkvPage other(256, 1000, 1000, -1, 0);
    const TkvPage page(-1, 0, 0, -1, 0);
    QLocale::setDefault(saved);
    EXPECT_EQ(page.PaperSize, -1);
    EXPECT_EQ(page.PaperWidth, 2100);
    EXPECT_EQ(page.PaperHeight, 2970);
    EXPECT_EQ(page.Metrics.PageWidth, 758);
    EXPECT_EQ(page.Metrics.PageHeight, 1071);
    kv::ReleaseSharedPrinter();
}

TEST_F(VirtualPrinterTest, AnUnknownOrientationIsPortrait) {
    printer.SelectPaper(9, 0, 0, -1, 7, false);
    EXPECT_EQ(printer.Orientation, 0);
    EXPECT_EQ(printer.PaperWidth, 2100);
}

TEST_F(VirtualPrinterTest, SamePaperRules) {
    printer.SelectPaper(256, 2100, 2970, 3, 0, true);
    struct Case {
        int32_t id, width, height, source;
        uint8_t orientation;
        bool same;
    };
    const Case custom[] = {
        {256, 2101, 2969, -1, 0, true}, // within one tenth of a millimetre each way
        {256, 2099, 2971, 7, 0, true},  // the source does not matter for custom sizes
        {256, 2102, 2970, -1, 0, false}, {256, 2100, 2968, -1, 0, false},
        {256, 2100, 2970, -1, 1, false}, {9, 2100, 2970, -1, 0, false},
    };
    for (const Case& c : custom)
        EXPECT_EQ(printer.IsSamePaper(c.id, c.width, c.height, c.source, c.orientation), c.same)
            << c.id << " " << c.width << " x " << c.height << " source " << c.source;

    printer.SelectPaper(9, 0, 0, 3, 1, true);
    const Case standard[] = {
        {9, 0, 0, 3, 1, true},      {9, 1, 1, 3, 1, true}, // sizes are not compared for a paper of the table
        {9, 0, 0, -1, 1, true}, // the default source matches whatever source is selected
        {9, 0, 0, 0xFFFF, 1, true}, {9, 0, 0, 4, 1, false}, {9, 0, 0, 3, 0, false}, {11, 0, 0, 3, 1, false},
    };
    for (const Case& c : standard)
        EXPECT_EQ(printer.IsSamePaper(c.id, c.width, c.height, c.source, c.orientation), c.same)
            << c.id << " source " << c.source << " orientation " << int(c.orientation);
}

TEST_F(VirtualPrinterTest, SelectPaperWithoutForceKeepsTheSamePaper) {
    printer.SelectPaper(256, 2100, 2970, -1, 0, true);
    printer.SelectPaper(256, 2101, 2971, -1, 0, false);
    EXPECT_EQ(printer.PaperWidth, 2100);
    printer.SelectPaper(256, 2101, 2971, -1, 0, true);
    EXPECT_EQ(printer.PaperWidth, 2101);
}

TEST_F(VirtualPrinterTest, ListPositions) {
    EXPECT_EQ(printer.PaperSizeToIndex(1), 0);
    EXPECT_EQ(printer.PaperSizeToIndex(50), 47);
    EXPECT_EQ(printer.PaperSizeToIndex(256), 66);
    EXPECT_EQ(printer.PaperSizeToIndex(48), 66); // absent: the last entry, "Custom"
    EXPECT_EQ(printer.PaperSizeToIndex(-1), 66);
    EXPECT_EQ(printer.BinToIndex(-1), 0);
    EXPECT_EQ(printer.BinToIndex(0xFFFF), 0);
    EXPECT_EQ(printer.BinToIndex(15), 0);
}

TEST_F(VirtualPrinterTest, ReloadedNamesFollowTheLocalisationHook) {
    TkvLocale::Instance().SetLocalizationHook([](int id) -> QByteArray {
        if (id == 55007) return "Virtueller Drucker";
        if (id == 55016) return "A4 (DIN)";
        return {};
    });
    printer.LoadPaperNames();
    const QByteArray a4 = PaperTable[8].PaperName;
    const QByteArray last = printer.Printers.last();
    TkvLocale::Instance().SetLocalizationHook({});
    printer.LoadPaperNames();
    EXPECT_EQ(a4, "A4 (DIN)");
    EXPECT_EQ(last, "Virtueller Drucker");
    EXPECT_EQ(PaperTable[8].PaperName, "A4 210 x 297 mm");
}

} // namespace
