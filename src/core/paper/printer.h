#pragma once
// The library's single source of paper and page geometry. Every page selects its paper here and reads
// back its size, unprintable offsets and printable area (TkvPageMetrics). Over the installed printer
// device it lists the platform printers and adds the virtual printer, always the last entry, which
// answers from the built-in paper table so that reports work on a machine without printers.
//
// A page changing its paper calls SelectPaper (force false) and FillPageMetrics, then copies back
// PaperSize, PaperWidth, PaperHeight and Orientation. Printing calls SelectPaper with force true.

#include "core/paper/page_metrics.h"
#include "core/paper/printer_device.h"

#include <QList>
#include <cstdint>
#include <memory>
#include <optional>

class TkvPrinter {
public:
    // Papers and sources a device may report beyond these are ignored.
    static constexpr int MaxPaperSizes = 256;
    static constexpr int MaxBinNames = 64;
    // Custom sizes are held within these bounds (tenths of a millimetre) so that no size from a file
    // reaches a division as zero or negative; 11 mm is the smallest paper that keeps a printable
    // area inside the virtual printer's 5 mm borders.
    static constexpr int32_t MinPaperExtent = 110;
    static constexpr int32_t MaxPaperExtent = 100000;
    // 93 / 1.015 page units per inch.
    static constexpr double PageUnitsPerInch = 91.6256157635468;

    TkvPrinter();

    void LoadPaperNames();
    // Lists the device's printers (none when p is null) and the virtual printer, selects the device's
    // default printer and reads its settings. p is borrowed and must outlive this printer or be
    // replaced by another call.
    void AttachPlatformPrinter(TkvPrinterDevice* p);
    // Out-of-range indices are ignored.
    void SetPrinterIndex(int i);
    // Index of the entry of Printers with exactly that name, or -1.
    int IndexOfPrinter(const QByteArray& name) const;
    bool VirtualPrinterSelected() const { return PrinterIndex == VirtualPrinterIndex; }

    // Reloads the fields from the selected printer's settings block (also after the block was edited
    // outside, e.g. by a page-setup dialog). Any failure selects the virtual printer.
    void ReadPrinterSettings();
    // Hands PaperSize, the custom size, Orientation and Bin to the selected printer and reads back what
    // it accepted.
    void ApplySettings();
    // width and height are tenths of a millimetre as oriented; source -1 (or 0xFFFF) is the default
    // source. Nothing happens while the device prints, or unless force when IsSamePaper holds.
    void SelectPaper(int32_t id, int32_t width, int32_t height, int32_t source, uint8_t orientation,
                     bool force);
    bool IsSamePaper(int32_t id, int32_t width, int32_t height, int32_t source, uint8_t orientation) const;
    void FillPageMetrics(TkvPageMetrics& m) const;
    // Runs the driver's properties dialog on a copy of the block; true when the user confirmed it.
    bool ShowPrinterProperties();

    // Position of the id in PaperSizes; the last index ("Custom") when absent.
    int PaperSizeToIndex(int32_t id) const;
    // Position of the source in Bins; 0 ("Default") when absent.
    int BinToIndex(int32_t source) const;
    int PaperSizesCount() const { return static_cast<int>(PaperSizes.size()); }
    int BinsCount() const { return static_cast<int>(Bins.size()); }

    // The selected printer's settings block; none while the virtual printer is selected.
    const std::optional<TkvDeviceSettings>& DeviceMode() const { return DeviceModeBlock; }
    // Device measurements of the block, as read by ReadPrinterSettings.
    const TkvDeviceMetrics& DeviceMetrics() const { return Metrics; }

    QByteArray DeviceName, DriverName, PortName;
    TkvPrinterDevice* PlatformPrinter = nullptr;
    TkvStringList PaperNames;
    TkvStringList BinNames;
    TkvStringList Printers;
    int PrinterIndex = 0;
    int VirtualPrinterIndex = 0;
    uint8_t Orientation = 0; // 0 portrait, 1 landscape
    int32_t PaperSize = 9;   // 256 custom, -1 none
    int32_t PaperWidth = 0;  // tenths of a millimetre, as oriented
    int32_t PaperHeight = 0;
    int32_t Bin = -1;          // -1 (0xFFFF as 16 bits) = the default source
    QList<int32_t> PaperSizes; // parallel to PaperNames
    QList<int32_t> Bins;       // parallel to BinNames; entry 0 is -1

private:
    void LoadVirtualPapers();
    bool TryReadPrinterSettings();
    bool TryApplySettings();
    void FallBackToVirtual();

    std::optional<TkvDeviceSettings> DeviceModeBlock;
    TkvDeviceMetrics Metrics;
};

namespace kv {

// Holds a custom paper extent (tenths of a millimetre) within the drawable bounds.
int32_t ClampPaperExtent(int32_t mm10);
// A 16-bit source id of 0xFFFF, as pages store it, and -1 both mean the default source.
inline bool IsDefaultBin(int32_t source) {
    return static_cast<uint16_t>(source) == 0xFFFF;
}

// The one printer of the process; created and attached to the installed device on first use.
TkvPrinter& SharedPrinter();
// Replaces the printer device (null: none) and runs the printer start-up again on SharedPrinter:
// attach, fall back to the virtual printer with PaperSize -1 when no printer is usable, set
// DefaultPaperSize and PrinterReady.
void InstallPrinterDevice(std::unique_ptr<TkvPrinterDevice> device);
TkvPrinterDevice* InstalledPrinterDevice();
// Library shutdown: frees the shared printer and the device; the next SharedPrinter() starts afresh.
void ReleaseSharedPrinter();

// The paper id given to new design pages.
extern int32_t DefaultPaperSize;
extern bool PrinterReady;

} // namespace kv
