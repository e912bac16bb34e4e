#include "core/paper/printer.h"

#include "core/locale.h"
#include "core/paper/paper_table.h"
#include "base/text_util.h"

#include <algorithm>
#include <exception>

namespace {

constexpr int VirtualPrinterTextId = 55007;
constexpr int DefaultBinTextId = 55435;
// The virtual printer keeps a 5 mm unprintable border on every side.
constexpr int32_t VirtualBorderMM10 = 50;

int32_t Mm10ToPageUnits(int32_t mm10) {
    return kv::RoundEven(mm10 * TkvPrinter::PageUnitsPerInch / 254.0);
}

int32_t PixelsToMm10(int32_t pixels, int32_t dpi) {
    return kv::RoundEven(pixels * 254.0 / dpi);
}

// A custom paper stored without a size (both sides zero or less) is the default paper, not the
// smallest drawable one; other sizes are held within the drawable bounds.
void CustomExtents(int32_t& width, int32_t& height, uint8_t orientation) {
    if (width <= 0 && height <= 0) {
        const TPaperInfo& paper = kv::DefaultPaper();
        width = paper.PaperWidthMM10;
        height = paper.PaperHeightMM10;
        if (orientation == 1) std::swap(width, height);
    }
    width = kv::ClampPaperExtent(width);
    height = kv::ClampPaperExtent(height);
}

bool UsableMetrics(const TkvDeviceMetrics& m) {
    return m.DpiX > 0 && m.DpiY > 0 && m.PhysicalWidth > 0 && m.PhysicalHeight > 0;
}

} // namespace

namespace kv {

int32_t ClampPaperExtent(int32_t mm10) {
    return std::clamp(mm10, TkvPrinter::MinPaperExtent, TkvPrinter::MaxPaperExtent);
}

} // namespace kv

TkvPrinter::TkvPrinter() {
    LoadPaperNames();
}

void TkvPrinter::LoadPaperNames() {
    for (int i = 0; i < kv::PaperTableCount; ++i)
        PaperTable[static_cast<size_t>(i)].PaperName = kv::LoadLibraryText(kv::PaperNameTextBase + i);
    if (!Printers.isEmpty()) Printers.last() = kv::LoadLibraryText(VirtualPrinterTextId);
}

void TkvPrinter::AttachPlatformPrinter(TkvPrinterDevice* p) {
    Printers.clear();
    PrinterIndex = 0;
    PlatformPrinter = p;
    DeviceModeBlock.reset();
    TkvStringList names;
    int selected = 0;
    if (p) {
        try {
            names = p->PrinterNames();
            selected = p->DefaultPrinter();
        } catch (const std::exception&) {
            names.clear();
        }
    }
    if (!names.isEmpty()) {
        Printers = names;
        PrinterIndex = selected >= 0 && selected < names.size() ? selected : 0;
    }
    Printers.append(kv::LoadLibraryText(VirtualPrinterTextId));
    VirtualPrinterIndex = static_cast<int>(Printers.size()) - 1;
    if (names.isEmpty())
        ApplySettings();
    else
        ReadPrinterSettings();
}

void TkvPrinter::SetPrinterIndex(int i) {
    if (i == PrinterIndex || i < 0 || i > VirtualPrinterIndex) return;
    PrinterIndex = i;
    DeviceModeBlock.reset();
    if (i == VirtualPrinterIndex) {
        ApplySettings();
        return;
    }
    if (PlatformPrinter) ReadPrinterSettings();
}

int TkvPrinter::IndexOfPrinter(const QByteArray& name) const {
    return static_cast<int>(Printers.indexOf(name));
}

void TkvPrinter::FallBackToVirtual() {
    DeviceModeBlock.reset();
    Metrics = {};
    if (PrinterIndex == VirtualPrinterIndex)
        ApplySettings();
    else
        SetPrinterIndex(VirtualPrinterIndex);
}

void TkvPrinter::ReadPrinterSettings() {
    if (VirtualPrinterSelected()) {
        ApplySettings();
        return;
    }
    bool ok = false;
    try {
        ok = TryReadPrinterSettings();
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok) FallBackToVirtual();
}

bool TkvPrinter::TryReadPrinterSettings() {
    if (!PlatformPrinter) return false;
    const std::optional<TkvDeviceIdentity> identity = PlatformPrinter->Identity(PrinterIndex);
    if (!identity) return false;
    DeviceName = identity->DeviceName;
    DriverName = identity->DriverName;
    PortName = identity->PortName;
    if (!DeviceModeBlock) DeviceModeBlock = PlatformPrinter->DefaultSettings(PrinterIndex);
    if (!DeviceModeBlock) return false;
    const TkvDeviceSettings& block = *DeviceModeBlock;

    const std::optional<TkvDeviceMetrics> metrics = PlatformPrinter->Metrics(PrinterIndex, block);
    if (!metrics || !UsableMetrics(*metrics)) return false;

    QList<TkvDevicePaper> papers = PlatformPrinter->Papers(PrinterIndex);
    QList<TkvDeviceBin> bins = PlatformPrinter->Bins(PrinterIndex);

    Metrics = *metrics;
    PaperSize = block.PaperSize;
    PaperWidth = PixelsToMm10(Metrics.PhysicalWidth, Metrics.DpiX);
    PaperHeight = PixelsToMm10(Metrics.PhysicalHeight, Metrics.DpiY);

    PaperSizes.clear();
    PaperNames.clear();
    for (const TkvDevicePaper& paper : papers) {
        if (PaperSizes.size() >= MaxPaperSizes) break;
        PaperSizes.append(paper.Id);
        PaperNames.append(paper.Name);
    }

    Bin = block.DefaultSource;
    BinNames = {kv::LoadLibraryText(DefaultBinTextId)};
    Bins = {-1};
    for (const TkvDeviceBin& bin : bins) {
        if (Bins.size() > MaxBinNames) break;
        Bins.append(bin.Id);
        BinNames.append(bin.Name);
    }

    Orientation = block.Orientation == 1 ? 1 : 0;
    return true;
}

void TkvPrinter::LoadVirtualPapers() {
    PaperNames.clear();
    PaperSizes.clear();
    for (const TPaperInfo& paper : PaperTable) {
        PaperNames.append(paper.PaperName);
        PaperSizes.append(paper.PaperId);
    }
    // The virtual printer has no sources of its own; listing "Default" keeps BinToIndex meaningful.
    BinNames = {kv::LoadLibraryText(DefaultBinTextId)};
    Bins = {-1};
}

void TkvPrinter::ApplySettings() {
    if (VirtualPrinterSelected()) {
        DeviceModeBlock.reset();
        Metrics = {};
        DeviceName = Printers.isEmpty() ? QByteArray() : Printers.last();
        DriverName.clear();
        PortName.clear();
        LoadVirtualPapers();
        if (PaperSize != kv::CustomPaperId) {
            // A paper id the table does not know (-1 for none, an id of another printer) keeps the
            // id but gets the default paper's size: a page never shrinks to a sliver.
            const TPaperInfo* paper = kv::FindPaper(PaperSize);
            if (!paper) paper = &kv::DefaultPaper();
            PaperWidth = paper->PaperWidthMM10;
            PaperHeight = paper->PaperHeightMM10;
            if (Orientation == 1) std::swap(PaperWidth, PaperHeight);
        }
        return;
    }
    bool ok = false;
    try {
        ok = TryApplySettings();
    } catch (const std::exception&) {
        ok = false;
    }
    if (ok)
        ReadPrinterSettings();
    else
        FallBackToVirtual();
}

bool TkvPrinter::TryApplySettings() {
    if (!PlatformPrinter) return false;
    if (!DeviceModeBlock) DeviceModeBlock = PlatformPrinter->DefaultSettings(PrinterIndex);
    if (!DeviceModeBlock) return false;
    TkvDeviceSettings wanted = *DeviceModeBlock;
    wanted.PaperSize = PaperSize;
    wanted.CustomSize = PaperSize == kv::CustomPaperId;
    if (wanted.CustomSize) {
        // The block holds the custom size in portrait; the fields hold it as oriented.
        const bool landscape = Orientation == 1;
        wanted.PaperWidth = landscape ? PaperHeight : PaperWidth;
        wanted.PaperLength = landscape ? PaperWidth : PaperHeight;
    }
    wanted.Orientation = Orientation == 1 ? 1 : 0;
    wanted.Copies = 1;
    if (!kv::IsDefaultBin(Bin)) wanted.DefaultSource = Bin;
    // A block the driver refuses leaves the previous one in effect, as a driver ignoring the request.
    if (std::optional<TkvDeviceSettings> accepted = PlatformPrinter->Accept(PrinterIndex, wanted))
        DeviceModeBlock = *accepted;
    return true;
}

bool TkvPrinter::IsSamePaper(int32_t id, int32_t width, int32_t height, int32_t source,
                             uint8_t orientation) const {
    if (id == PaperSize && id == kv::CustomPaperId) {
        CustomExtents(width, height, orientation == 1 ? 1 : 0);
        return std::abs(PaperWidth - width) <= 1 && std::abs(PaperHeight - height) <= 1 &&
               orientation == Orientation;
    }
    return id == PaperSize && orientation == Orientation && (source == Bin || kv::IsDefaultBin(source));
}

void TkvPrinter::SelectPaper(int32_t id, int32_t width, int32_t height, int32_t source, uint8_t orientation,
                             bool force) {
    if (PlatformPrinter && PlatformPrinter->IsPrinting()) return;
    if (!force && IsSamePaper(id, width, height, source, orientation)) return;
    PaperSize = id;
    Orientation = orientation == 1 ? 1 : 0;
    CustomExtents(width, height, Orientation);
    PaperWidth = width;
    PaperHeight = height;
    Bin = source;
    ApplySettings();
}

void TkvPrinter::FillPageMetrics(TkvPageMetrics& m) const {
    if (VirtualPrinterSelected() || !UsableMetrics(Metrics)) {
        m.PageWidth = Mm10ToPageUnits(PaperWidth);
        m.PageHeight = Mm10ToPageUnits(PaperHeight);
        m.OffsetLeft = m.OffsetTop = Mm10ToPageUnits(VirtualBorderMM10);
        m.PrintableWidth = m.PageWidth - 2 * m.OffsetLeft;
        m.PrintableHeight = m.PageHeight - 2 * m.OffsetTop;
        return;
    }
    const double kx = PageUnitsPerInch / Metrics.DpiX;
    const double ky = PageUnitsPerInch / Metrics.DpiY;
    m.PrinterPageWidth = Metrics.PhysicalWidth;
    m.PrinterPageHeight = Metrics.PhysicalHeight;
    m.PrinterOffsetX = Metrics.OffsetX;
    m.PrinterOffsetY = Metrics.OffsetY;
    m.PrinterPrintableWidth = Metrics.PrintableWidth;
    m.PrinterPrintableHeight = Metrics.PrintableHeight;
    m.PageWidth = kv::RoundEven(Metrics.PhysicalWidth * kx);
    m.PageHeight = kv::RoundEven(Metrics.PhysicalHeight * ky);
    m.OffsetLeft = kv::RoundEven(Metrics.OffsetX * kx);
    m.OffsetTop = kv::RoundEven(Metrics.OffsetY * ky);
    m.PrintableWidth = kv::RoundEven(Metrics.PrintableWidth * kx);
    m.PrintableHeight = kv::RoundEven(Metrics.PrintableHeight * ky);
}

bool TkvPrinter::ShowPrinterProperties() {
    if (VirtualPrinterSelected() || !PlatformPrinter) return false;
    try {
        if (!DeviceModeBlock) DeviceModeBlock = PlatformPrinter->DefaultSettings(PrinterIndex);
        if (!DeviceModeBlock) return false;
        TkvDeviceSettings copy = *DeviceModeBlock;
        if (!PlatformPrinter->EditSettings(PrinterIndex, copy)) return false;
        DeviceModeBlock = copy;
    } catch (const std::exception&) {
        return false;
    }
    ReadPrinterSettings();
    return true;
}

int TkvPrinter::PaperSizeToIndex(int32_t id) const {
    const auto at = PaperSizes.indexOf(id);
    return at >= 0 ? static_cast<int>(at) : PaperSizesCount() - 1;
}

int TkvPrinter::BinToIndex(int32_t source) const {
    for (int i = 0; i < BinsCount(); ++i)
        if (static_cast<uint16_t>(Bins[i]) == static_cast<uint16_t>(source)) return i;
    return 0;
}

namespace kv {

int32_t DefaultPaperSize = 0;
bool PrinterReady = false;

namespace {

std::unique_ptr<TkvPrinterDevice>& DeviceSlot() {
    static std::unique_ptr<TkvPrinterDevice> device;
    return device;
}

std::unique_ptr<TkvPrinter>& PrinterSlot() {
    static std::unique_ptr<TkvPrinter> printer;
    return printer;
}

void StartPrinter(TkvPrinter& printer) {
    PrinterReady = false;
    DefaultPaperSize = 0;
    try {
        printer.AttachPlatformPrinter(DeviceSlot().get());
        if (!printer.DeviceMode()) {
            printer.SetPrinterIndex(printer.VirtualPrinterIndex);
            printer.PaperSize = -1;
        }
        DefaultPaperSize = printer.PaperSize;
    } catch (const std::exception&) {
        // A printer that cannot even be listed leaves the library usable with paper id 0.
    }
    PrinterReady = true;
}

} // namespace

TkvPrinter& SharedPrinter() {
    std::unique_ptr<TkvPrinter>& printer = PrinterSlot();
    if (!printer) {
        printer = std::make_unique<TkvPrinter>();
        StartPrinter(*printer);
    }
    return *printer;
}

void InstallPrinterDevice(std::unique_ptr<TkvPrinterDevice> device) {
    std::unique_ptr<TkvPrinter>& printer = PrinterSlot();
    // Detach first: the printer borrows the device being replaced.
    if (printer) printer->AttachPlatformPrinter(nullptr);
    DeviceSlot() = std::move(device);
    if (printer) StartPrinter(*printer);
}

TkvPrinterDevice* InstalledPrinterDevice() {
    return DeviceSlot().get();
}

void ReleaseSharedPrinter() {
    PrinterSlot().reset();
    DeviceSlot().reset();
    PrinterReady = false;
    DefaultPaperSize = 0;
}

} // namespace kv
