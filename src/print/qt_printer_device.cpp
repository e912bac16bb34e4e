#include "print/qt_printer_device.h"

#include "base/codepage.h"
#include "core/locale.h"
#include "core/paper/paper_table.h"
#include "core/paper/printer.h"
#include "base/text_util.h"

#include <QCoreApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int CustomTextId = 55074;

QByteArray ToBytes(const QString& text) {
    return kv::EncodeText(text, kvcs::Default);
}

QSize PortraitMm10(const QPageSize& size) {
    const QSizeF mm = size.size(QPageSize::Millimeter);
    return {kv::RoundEven(mm.width() * 10), kv::RoundEven(mm.height() * 10)};
}

// Within half a millimetre: Qt defines some papers in whole millimetres (ANSI E as 864 x 1118 mm),
// and the papers of the table that differ at all differ by a millimetre or more.
bool SameSize(QSize a, QSize b) {
    return std::abs(a.width() - b.width()) <= 5 && std::abs(a.height() - b.height()) <= 5;
}

// The portrait size of a platform paper id: the paper table's where it has one (Qt's numbering does
// not agree with it everywhere, e.g. id 26 is 36 x 48" there), else Qt's.
std::optional<QSize> PaperMm10(int32_t id) {
    if (id == kv::CustomPaperId) return std::nullopt;
    if (const TPaperInfo* paper = kv::FindPaper(id))
        return QSize(paper->PaperWidthMM10, paper->PaperHeightMM10);
    const QPageSize::PageSizeId qtId = QPageSize::id(id);
    if (qtId == QPageSize::Custom) return std::nullopt;
    return PortraitMm10(QPageSize(qtId));
}

// The platform id of a paper Qt describes: the first table paper of its size, else Qt's own number
// when that means the same size; 256 (custom) otherwise.
int32_t PlatformPaperId(const QPageSize& size) {
    const QSize mm10 = PortraitMm10(size);
    for (const TPaperInfo& paper : PaperTable)
        if (paper.PaperId != kv::CustomPaperId &&
            SameSize(mm10, {paper.PaperWidthMM10, paper.PaperHeightMM10}))
            return paper.PaperId;
    const int id = size.windowsId();
    if (id > 0 && id != kv::CustomPaperId) {
        const std::optional<QSize> known = PaperMm10(id);
        if (known && SameSize(*known, mm10)) return id;
    }
    return kv::CustomPaperId;
}

int32_t MmToPixels(double mm, int resolution) {
    return kv::RoundEven(mm / 25.4 * resolution);
}

} // namespace

namespace kv {

QPageSize QtPageSizeFor(const TkvDeviceSettings& settings) {
    if (settings.PaperSize == CustomPaperId) {
        if (settings.PaperWidth <= 0 || settings.PaperLength <= 0) return {};
        return QPageSize(QSizeF(settings.PaperWidth / 10.0, settings.PaperLength / 10.0),
                         QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    }
    const std::optional<QSize> mm10 = PaperMm10(settings.PaperSize);
    if (!mm10) return {};
    // Qt's paper of that number where it is the same paper, so that drivers see a named medium.
    const QPageSize::PageSizeId qtId = QPageSize::id(settings.PaperSize);
    if (qtId != QPageSize::Custom && SameSize(PortraitMm10(QPageSize(qtId)), *mm10)) return QPageSize(qtId);
    return QPageSize(QSizeF(mm10->width() / 10.0, mm10->height() / 10.0), QPageSize::Millimeter, QString(),
                     QPageSize::ExactMatch);
}

TkvDeviceSettings SettingsFromLayout(const QPageLayout& layout, const TkvDeviceSettings& wanted) {
    TkvDeviceSettings s = wanted;
    const QPageSize size = layout.pageSize();
    const QSize mm10 = PortraitMm10(size);
    if (wanted.PaperSize == CustomPaperId && SameSize(mm10, {wanted.PaperWidth, wanted.PaperLength})) {
        s.PaperSize = CustomPaperId; // the size asked for, even when it equals a standard paper
    } else if (const std::optional<QSize> asked = PaperMm10(wanted.PaperSize);
               asked && SameSize(*asked, mm10)) {
        s.PaperSize = wanted.PaperSize; // e.g. "Letter small", which Qt knows as Letter
    } else {
        s.PaperSize = PlatformPaperId(size);
        if (s.PaperSize == CustomPaperId) {
            s.PaperWidth = mm10.width();
            s.PaperLength = mm10.height();
        }
    }
    s.CustomSize = s.PaperSize == CustomPaperId;
    s.Orientation = layout.orientation() == QPageLayout::Landscape ? 1 : 0;
    s.DefaultSource = -1; // Qt cannot choose a paper source here
    return s;
}

TkvDeviceMetrics MetricsFromLayout(const QPageLayout& layout, int resolution) {
    // From millimetres, not from Qt's pixel rectangles: those start from sizes rounded to whole points,
    // which would read A4 back as 2099 x 2971 tenths of a millimetre.
    TkvDeviceMetrics m;
    const QRectF full = layout.fullRect(QPageLayout::Millimeter);
    const QRectF paint = layout.paintRect(QPageLayout::Millimeter);
    m.DpiX = m.DpiY = resolution;
    m.PhysicalWidth = MmToPixels(full.width(), resolution);
    m.PhysicalHeight = MmToPixels(full.height(), resolution);
    m.OffsetX = MmToPixels(paint.left(), resolution);
    m.OffsetY = MmToPixels(paint.top(), resolution);
    m.PrintableWidth = MmToPixels(paint.left() + paint.width(), resolution) - m.OffsetX;
    m.PrintableHeight = MmToPixels(paint.top() + paint.height(), resolution) - m.OffsetY;
    return m;
}

bool ConfigureQPrinter(QPrinter& printer, const TkvDeviceSettings& settings) {
    const QPageSize size = QtPageSizeFor(settings);
    if (!size.isValid()) return false;
    if (!printer.setPageSize(size)) return false;
    printer.setPageOrientation(settings.Orientation == 1 ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setCopyCount(std::max(1, settings.Copies));
    return true;
}

void InstallQtPrinterBackend() {
    InstallPrinterDevice(std::make_unique<TkvQtPrinterDevice>());
    // The device's QPrinters must go while Qt's print plugin is still loaded, not at static destruction.
    static bool releaseRegistered = false;
    if (!releaseRegistered && QCoreApplication::instance()) {
        qAddPostRoutine([] { InstallPrinterDevice(nullptr); });
        releaseRegistered = true;
    }
}

} // namespace kv

TkvQtPrinterDevice::TkvQtPrinterDevice()
    : Queues(QPrinterInfo::availablePrinterNames()), DefaultQueue(QPrinterInfo::defaultPrinterName()) {}

TkvQtPrinterDevice::~TkvQtPrinterDevice() = default;

TkvStringList TkvQtPrinterDevice::PrinterNames() const {
    TkvStringList names;
    for (const QString& queue : Queues)
        names.append(ToBytes(queue));
    return names;
}

int TkvQtPrinterDevice::DefaultPrinter() const {
    return static_cast<int>(Queues.indexOf(DefaultQueue));
}

QString TkvQtPrinterDevice::QueueName(int printer) const {
    return printer >= 0 && printer < Queues.size() ? Queues[printer] : QString();
}

QPrinter* TkvQtPrinterDevice::PrinterFor(int printer) const {
    auto at = OpenPrinters.find(printer);
    if (at != OpenPrinters.end()) return at->second.get();
    const QPrinterInfo info = QPrinterInfo::printerInfo(QueueName(printer));
    if (info.isNull()) return nullptr;
    auto opened = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (!opened->isValid()) return nullptr;
    return OpenPrinters.emplace(printer, std::move(opened)).first->second.get();
}

std::optional<TkvDeviceIdentity> TkvQtPrinterDevice::Identity(int printer) const {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QueueName(printer));
    if (info.isNull()) return std::nullopt;
    return TkvDeviceIdentity{ToBytes(info.printerName()), ToBytes(info.makeAndModel()),
                             ToBytes(info.location())};
}

std::optional<TkvDeviceSettings> TkvQtPrinterDevice::DefaultSettings(int printer) const {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QueueName(printer));
    if (info.isNull()) return std::nullopt;
    // A fresh QPrinter holds the queue's own defaults; the cached one holds the last page setup.
    const QPrinter fresh(info, QPrinter::HighResolution);
    if (!fresh.isValid()) return std::nullopt;
    const QPageLayout layout = fresh.pageLayout();
    TkvDeviceSettings asked;
    asked.PaperSize = PlatformPaperId(layout.pageSize());
    return kv::SettingsFromLayout(layout, asked);
}

std::optional<TkvDeviceSettings> TkvQtPrinterDevice::Accept(int printer,
                                                            const TkvDeviceSettings& wanted) const {
    QPrinter* device = PrinterFor(printer);
    if (!device || !kv::ConfigureQPrinter(*device, wanted)) return std::nullopt;
    return kv::SettingsFromLayout(device->pageLayout(), wanted);
}

std::optional<TkvDeviceMetrics> TkvQtPrinterDevice::Metrics(int printer,
                                                            const TkvDeviceSettings& settings) const {
    QPrinter* device = PrinterFor(printer);
    if (!device || !kv::ConfigureQPrinter(*device, settings)) return std::nullopt;
    const int resolution = device->resolution();
    if (resolution <= 0) return std::nullopt;
    return kv::MetricsFromLayout(device->pageLayout(), resolution);
}

QList<TkvDevicePaper> TkvQtPrinterDevice::Papers(int printer) const {
    const QPrinterInfo info = QPrinterInfo::printerInfo(QueueName(printer));
    QList<TkvDevicePaper> papers;
    for (const QPageSize& size : info.supportedPageSizes()) {
        const int32_t id = PlatformPaperId(size);
        // Papers without a platform number can only be had as a custom size.
        if (id == kv::CustomPaperId) continue;
        if (std::any_of(papers.begin(), papers.end(), [id](const TkvDevicePaper& p) { return p.Id == id; }))
            continue;
        papers.append({id, ToBytes(size.name())});
    }
    // Last, as in the paper table: papers a list does not hold are shown as "Custom".
    papers.append({kv::CustomPaperId, kv::LoadLibraryText(CustomTextId)});
    return papers;
}

QList<TkvDeviceBin> TkvQtPrinterDevice::Bins(int printer) const {
    return {};
}
