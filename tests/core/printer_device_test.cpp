// TkvPrinter over a platform printer: listing, selection, geometry in printer pixels and page units,
// and the fall-backs to the virtual printer.

#include "core/paper/printer.h"
#include "core/printer_fake_device.h"

#include <gtest/gtest.h>

namespace {

class DevicePrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.Printers = {FakePrinterDevice::OfficePrinter("Office"),
                           FakePrinterDevice::OfficePrinter("Draft")};
        device.Printers[1].DpiY = 300;
        device.Printers[1].Defaults.PaperSize = 1;
        device.Printers[1].Defaults.Orientation = 1;
        device.Default = 1;
    }

    FakePrinterDevice device;
    TkvPrinter printer;
};

TEST_F(DevicePrinterTest, ListsThePlatformPrintersThenTheVirtualPrinter) {
    printer.AttachPlatformPrinter(&device);
    EXPECT_EQ(printer.Printers, (TkvStringList{"Office", "Draft", "Virtual printer"}));
    EXPECT_EQ(printer.VirtualPrinterIndex, 2);
    EXPECT_EQ(printer.PrinterIndex, 1); // the device's default printer
    EXPECT_EQ(printer.DeviceName, "Draft");
    // The default printer's own settings: Letter, landscape.
    EXPECT_EQ(printer.PaperSize, 1);
    EXPECT_EQ(printer.Orientation, 1);
    EXPECT_EQ(printer.PaperWidth, 2794);
    EXPECT_EQ(printer.PaperHeight, 2159);
    EXPECT_EQ(printer.PaperNames, (TkvStringList{"Letter", "A4", "A5", "Custom"}));
    EXPECT_EQ(printer.PaperSizes, (QList<int32_t>{1, 9, 11, 256}));
    EXPECT_EQ(printer.BinNames, (TkvStringList{"Default", "Upper tray", "Lower tray"}));
    EXPECT_EQ(printer.Bins, (QList<int32_t>{-1, 1, 2}));
    EXPECT_EQ(printer.BinToIndex(2), 2);
    EXPECT_EQ(printer.BinToIndex(0xFFFF), 0);
    EXPECT_EQ(printer.PaperSizeToIndex(8), 3);
}

TEST_F(DevicePrinterTest, SelectsPrintersByNameAndIndex) {
    printer.AttachPlatformPrinter(&device);
    EXPECT_EQ(printer.IndexOfPrinter("Office"), 0);
    EXPECT_EQ(printer.IndexOfPrinter("Virtual printer"), 2);
    EXPECT_EQ(printer.IndexOfPrinter("office"), -1);
    EXPECT_EQ(printer.IndexOfPrinter("Gone"), -1);

    printer.SetPrinterIndex(printer.IndexOfPrinter("Office"));
    EXPECT_EQ(printer.DeviceName, "Office");
    EXPECT_EQ(printer.PaperSize, 9); // a newly selected printer starts from its own settings
    EXPECT_EQ(printer.Orientation, 0);

    printer.SetPrinterIndex(printer.VirtualPrinterIndex);
    EXPECT_TRUE(printer.VirtualPrinterSelected());
    EXPECT_EQ(printer.PaperSizesCount(), 67);
    EXPECT_FALSE(printer.DeviceMode());

    printer.SetPrinterIndex(5); // out of range: nothing changes
    printer.SetPrinterIndex(-1);
    EXPECT_TRUE(printer.VirtualPrinterSelected());

    printer.SetPrinterIndex(0);
    EXPECT_EQ(printer.DeviceName, "Office");
    EXPECT_EQ(printer.PaperSizesCount(), 4);
}

TEST_F(DevicePrinterTest, PageGeometryInPrinterPixelsAndPageUnits) {
    // 600 dpi (and 600 x 300 for "Draft"), margins 150 left and right, 100 top, 200 bottom on the
    // portrait sheet; landscape turns them with the sheet.
    struct Case {
        int printer;
        int32_t id, width, height;
        uint8_t orientation;
        int32_t paperWidth, paperHeight;
        TkvPageMetrics metrics;
    };
    const Case cases[] = {
        {0, 9, 0, 0, 0, 2100, 2970, {4961, 7016, 758, 1071, 150, 100, 23, 15, 4661, 6716, 712, 1026}},
        {0, 9, 0, 0, 1, 2970, 2100, {7016, 4961, 1071, 758, 100, 150, 15, 23, 6716, 4661, 1026, 712}},
        {1, 9, 0, 0, 0, 2100, 2970, {4961, 3508, 758, 1071, 150, 100, 23, 31, 4661, 3208, 712, 980}},
        {0, 256, 1234, 987, 0, 1234, 987, {2915, 2331, 445, 356, 150, 100, 23, 15, 2615, 2031, 399, 310}},
    };
    printer.AttachPlatformPrinter(&device);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "printer " << c.printer << " paper " << c.id << " orientation "
                                        << int(c.orientation));
        printer.SetPrinterIndex(c.printer);
        printer.SelectPaper(c.id, c.width, c.height, -1, c.orientation, true);
        EXPECT_EQ(printer.PaperSize, c.id);
        EXPECT_EQ(printer.Orientation, c.orientation);
        EXPECT_EQ(printer.PaperWidth, c.paperWidth);
        EXPECT_EQ(printer.PaperHeight, c.paperHeight);
        TkvPageMetrics m;
        printer.FillPageMetrics(m);
        EXPECT_EQ(m, c.metrics);
    }
}

TEST_F(DevicePrinterTest, CustomSizesReachTheDriverExactlyAndInPortrait) {
    printer.AttachPlatformPrinter(&device);
    printer.SelectPaper(256, 2101, 2969, -1, 1, true);
    ASSERT_TRUE(printer.DeviceMode());
    EXPECT_TRUE(printer.DeviceMode()->CustomSize);
    EXPECT_EQ(printer.DeviceMode()->PaperWidth, 2969);
    EXPECT_EQ(printer.DeviceMode()->PaperLength, 2101);
    EXPECT_EQ(printer.DeviceMode()->Orientation, 1);
    EXPECT_EQ(printer.DeviceMode()->Copies, 1);

    // Back to a paper of the table: the custom marks are cleared.
    printer.SelectPaper(11, 0, 0, -1, 0, false);
    EXPECT_FALSE(printer.DeviceMode()->CustomSize);
    EXPECT_EQ(printer.PaperWidth, 1480);
}

TEST_F(DevicePrinterTest, ThePrinterDecidesWhatItAccepts) {
    printer.AttachPlatformPrinter(&device);
    printer.SetPrinterIndex(0);
    // A paper the driver does not offer: it uses its own default, and the fields say so.
    printer.SelectPaper(8, 2970, 4200, 2, 0, false);
    EXPECT_EQ(device.Accepted.last().PaperSize, 9);
    EXPECT_EQ(printer.PaperSize, 9);
    EXPECT_EQ(printer.PaperWidth, 2100);
    EXPECT_EQ(printer.Bin, 2);

    // The default source leaves the selected source in place; an unknown source is dropped.
    printer.SelectPaper(11, 0, 0, -1, 0, false);
    EXPECT_EQ(device.Accepted.last().DefaultSource, 2);
    printer.SelectPaper(11, 0, 0, 9, 0, false);
    EXPECT_EQ(printer.Bin, -1);
}

TEST_F(DevicePrinterTest, NoPageSetupChangesWhilePrinting) {
    printer.AttachPlatformPrinter(&device);
    device.Printing = true;
    const qsizetype accepted = device.Accepted.size();
    printer.SelectPaper(11, 0, 0, -1, 0, true);
    EXPECT_EQ(device.Accepted.size(), accepted);
    EXPECT_EQ(printer.PaperSize, 1);
}

TEST_F(DevicePrinterTest, FailuresFallBackToTheVirtualPrinter) {
    printer.AttachPlatformPrinter(&device);
    device.Printers[0].Broken = true;
    printer.SetPrinterIndex(0);
    EXPECT_TRUE(printer.VirtualPrinterSelected());
    EXPECT_EQ(printer.PaperSizesCount(), 67);

    printer.SetPrinterIndex(1);
    EXPECT_EQ(printer.DeviceName, "Draft");
    device.Printers[1].ThrowsOnMetrics = true;
    printer.SelectPaper(9, 0, 0, -1, 0, false);
    EXPECT_TRUE(printer.VirtualPrinterSelected());
    // The paper asked for survives the fall-back.
    EXPECT_EQ(printer.PaperSize, 9);
    TkvPageMetrics m;
    printer.FillPageMetrics(m);
    EXPECT_EQ(m.PageWidth, 758);
    EXPECT_EQ(m.OffsetLeft, 18);
}

TEST_F(DevicePrinterTest, DeviceListsAreCutToTheFixedTables) {
    for (int i = 0; i < 300; ++i)
        device.Printers[1].Papers.append({1000 + i, "Roll", 100, 100});
    for (int i = 0; i < 100; ++i)
        device.Printers[1].Bins.append({100 + i, "Tray"});
    printer.AttachPlatformPrinter(&device);
    EXPECT_EQ(printer.PaperSizesCount(), TkvPrinter::MaxPaperSizes);
    EXPECT_EQ(printer.PaperNames.size(), TkvPrinter::MaxPaperSizes);
    EXPECT_EQ(printer.BinsCount(), TkvPrinter::MaxBinNames + 1);
    EXPECT_EQ(printer.BinNames.size(), TkvPrinter::MaxBinNames + 1);
}

TEST_F(DevicePrinterTest, StartUpTakesTheDefaultPrintersPaper) {
    auto owned = std::make_unique<FakePrinterDevice>();
    owned->Printers = device.Printers;
    owned->Default = 0;
    kv::InstallPrinterDevice(std::move(owned));
    EXPECT_EQ(kv::SharedPrinter().Printers.size(), 3);
    EXPECT_EQ(kv::SharedPrinter().PrinterIndex, 0);
    EXPECT_EQ(kv::DefaultPaperSize, 9);
    EXPECT_TRUE(kv::PrinterReady);

    // A device whose printers cannot be read: the virtual printer with no paper.
    auto broken = std::make_unique<FakePrinterDevice>();
    broken->Printers = {FakePrinterDevice::OfficePrinter("Offline")};
    broken->Printers[0].Broken = true;
    kv::InstallPrinterDevice(std::move(broken));
    EXPECT_TRUE(kv::SharedPrinter().VirtualPrinterSelected());
    EXPECT_EQ(kv::DefaultPaperSize, -1);

    kv::InstallPrinterDevice(nullptr);
    EXPECT_EQ(kv::SharedPrinter().Printers.size(), 1);
}

} // namespace
