// The Qt printer device: how blocks become Qt page sizes and back, and the geometry a Qt page layout
// reports. Runs without a spooler; the QPrinter used is a PDF writer.

#include "core/paper/printer.h"
#include "print/qt_printer_device.h"

#include <QPrinter>
#include <gtest/gtest.h>

namespace {

TkvDeviceSettings Paper(int32_t id, int32_t width = 0, int32_t length = 0, uint8_t orientation = 0) {
    TkvDeviceSettings s;
    s.PaperSize = id;
    s.CustomSize = id == 256;
    s.PaperWidth = width;
    s.PaperLength = length;
    s.Orientation = orientation;
    return s;
}

TEST(QtPrinterDevice, PageSizesForBlocks) {
    // A custom size close to A4 must stay exactly what was asked for.
    const QPageSize custom = kv::QtPageSizeFor(Paper(256, 2101, 2969));
    ASSERT_TRUE(custom.isValid());
    EXPECT_EQ(custom.id(), QPageSize::Custom);
    EXPECT_EQ(custom.size(QPageSize::Millimeter), QSizeF(210.1, 296.9));

    EXPECT_EQ(kv::QtPageSizeFor(Paper(9)).id(), QPageSize::A4);
    EXPECT_EQ(kv::QtPageSizeFor(Paper(1)).id(), QPageSize::Letter);
    EXPECT_EQ(kv::QtPageSizeFor(Paper(70)).id(), QPageSize::A6);
    EXPECT_EQ(kv::QtPageSizeFor(Paper(26)).size(QPageSize::Inch), QSizeF(34, 44));
    EXPECT_FALSE(kv::QtPageSizeFor(Paper(48)).isValid()); // no such paper
    EXPECT_FALSE(kv::QtPageSizeFor(Paper(256, 0, 2970)).isValid());
    EXPECT_FALSE(kv::QtPageSizeFor(Paper(256, 2100, -1)).isValid());
}

TEST(QtPrinterDevice, BlocksForLayouts) {
    const QMarginsF none;
    struct Case {
        const char* what;
        QPageLayout layout;
        TkvDeviceSettings wanted, expected;
    };
    const Case cases[] = {
        {"custom equal to A4 stays custom",
         QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, none), Paper(256, 2100, 2970),
         Paper(256, 2100, 2970)},
        {"A4 asked, A4 given", QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, none), Paper(9),
         Paper(9, 0, 0, 1)},
        {"Letter small is Qt's Letter",
         QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, none), Paper(2), Paper(2)},
        {"the driver chose Letter", QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, none),
         Paper(9), Paper(1)},
        {"E sheet is found by its size",
         QPageLayout(QPageSize(QPageSize::AnsiE), QPageLayout::Portrait, none), Paper(9), Paper(26)},
        {"a paper beyond the table keeps Qt's number",
         QPageLayout(QPageSize(QPageSize::A6), QPageLayout::Portrait, none), Paper(9), Paper(70)},
        {"the driver chose another custom size",
         QPageLayout(QPageSize(QSizeF(100, 150), QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                     QPageLayout::Portrait, none),
         Paper(256, 2100, 2970), Paper(256, 1000, 1500)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TkvDeviceSettings wanted = c.wanted;
        wanted.DefaultSource = 2;
        const TkvDeviceSettings got = kv::SettingsFromLayout(c.layout, wanted);
        EXPECT_EQ(got.PaperSize, c.expected.PaperSize);
        EXPECT_EQ(got.CustomSize, c.expected.CustomSize);
        if (got.CustomSize) {
            EXPECT_EQ(got.PaperWidth, c.expected.PaperWidth);
            EXPECT_EQ(got.PaperLength, c.expected.PaperLength);
        }
        EXPECT_EQ(got.Orientation, c.expected.Orientation);
        EXPECT_EQ(got.DefaultSource, -1); // no paper sources through Qt
    }
}

TEST(QtPrinterDevice, MetricsOfALayout) {
    // 18, 12, 18 and 24 points are 150, 100, 150 and 200 pixels at 600 dpi.
    const QPageLayout portrait(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(18, 12, 18, 24),
                               QPageLayout::Point);
    const TkvDeviceMetrics m = kv::MetricsFromLayout(portrait, 600);
    EXPECT_EQ(m.DpiX, 600);
    EXPECT_EQ(m.DpiY, 600);
    EXPECT_EQ(m.PhysicalWidth, 4961);
    EXPECT_EQ(m.PhysicalHeight, 7016);
    EXPECT_EQ(m.OffsetX, 150);
    EXPECT_EQ(m.OffsetY, 100);
    EXPECT_EQ(m.PrintableWidth, 4661);
    EXPECT_EQ(m.PrintableHeight, 6716);

    QPageLayout landscape = portrait;
    landscape.setOrientation(QPageLayout::Landscape);
    const TkvDeviceMetrics l = kv::MetricsFromLayout(landscape, 600);
    EXPECT_EQ(l.PhysicalWidth, 7016);
    EXPECT_EQ(l.PhysicalHeight, 4961);
}

TEST(QtPrinterDevice, ConfiguresAQPrinter) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);

    TkvDeviceSettings custom = Paper(256, 1234, 987, 1);
    custom.Copies = 3;
    ASSERT_TRUE(kv::ConfigureQPrinter(printer, custom));
    EXPECT_EQ(printer.pageLayout().pageSize().size(QPageSize::Millimeter), QSizeF(123.4, 98.7));
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printer.copyCount(), 3);
    EXPECT_EQ(kv::SettingsFromLayout(printer.pageLayout(), custom).PaperSize, 256);

    ASSERT_TRUE(kv::ConfigureQPrinter(printer, Paper(11)));
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A5);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);

    // A paper Qt does not know is refused; the printer keeps what it had.
    EXPECT_FALSE(kv::ConfigureQPrinter(printer, Paper(49)));
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A5);
}

TEST(QtPrinterDevice, TheVirtualPrinterIsAlwaysLast) {
    // Whatever queues this machine has: the virtual printer closes the list, and the shared printer
    // ends up with a usable paper.
    kv::InstallQtPrinterBackend();
    TkvPrinter& printer = kv::SharedPrinter();
    ASSERT_FALSE(printer.Printers.isEmpty());
    EXPECT_EQ(printer.Printers.last(), "Virtual printer");
    EXPECT_EQ(printer.VirtualPrinterIndex, printer.Printers.size() - 1);
    EXPECT_TRUE(kv::PrinterReady);
    if (printer.VirtualPrinterSelected()) {
        EXPECT_EQ(kv::DefaultPaperSize, -1);
    }
    TkvPageMetrics m;
    printer.FillPageMetrics(m);
    EXPECT_GT(m.PrintableWidth, 0);
    EXPECT_GT(m.PrintableHeight, 0);
    kv::InstallPrinterDevice(nullptr);
}

} // namespace
