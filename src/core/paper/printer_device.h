#pragma once
// The platform side of TkvPrinter: the printers the system offers and what a driver makes of a page
// setup. The core only sees this interface, so it stays free of any printing library; a backend is
// installed at start-up (kv::InstallPrinterDevice). Without one, only the virtual printer exists.

#include "base/stream_text.h"

#include <QList>
#include <cstdint>
#include <optional>

// A printer's settings block: the page setup the printer holds between jobs.
struct TkvDeviceSettings {
    int32_t PaperSize = 9;      // platform paper id; 256 = custom size
    bool CustomSize = false;    // PaperWidth and PaperLength below are in effect (PaperSize 256)
    int32_t PaperWidth = 0;     // custom width, tenths of a millimetre, portrait
    int32_t PaperLength = 0;    // custom length, tenths of a millimetre, portrait
    uint8_t Orientation = 0;    // 0 portrait, 1 landscape
    int32_t DefaultSource = -1; // paper source id; -1 = the printer's own choice
    int32_t Copies = 1;

    bool operator==(const TkvDeviceSettings&) const = default;
};

// Device measurements for one settings block, in device pixels, as oriented.
struct TkvDeviceMetrics {
    int32_t DpiX = 0, DpiY = 0;
    int32_t PhysicalWidth = 0, PhysicalHeight = 0;
    int32_t OffsetX = 0, OffsetY = 0; // unprintable left and top margins
    int32_t PrintableWidth = 0, PrintableHeight = 0;
};

struct TkvDevicePaper {
    int32_t Id = 0; // platform paper id; 256 = custom size
    QByteArray Name;
};

struct TkvDeviceBin {
    int32_t Id = 0; // platform paper source id
    QByteArray Name;
};

struct TkvDeviceIdentity {
    QByteArray DeviceName, DriverName, PortName;
};

// Printers are addressed by their index in PrinterNames(). Queries return nothing when the printer
// cannot be read (it vanished, the spooler stopped, ...); TkvPrinter then falls back to the virtual
// printer. Implementations may throw std::exception from any query; TkvPrinter treats that the same.
class TkvPrinterDevice {
public:
    virtual ~TkvPrinterDevice() = default;

    virtual TkvStringList PrinterNames() const = 0;
    // Index of the printer the system selects by default; -1 when there is none.
    virtual int DefaultPrinter() const = 0;
    // True while a print job runs on the device; the page setup must not change then.
    virtual bool IsPrinting() const { return false; }

    virtual std::optional<TkvDeviceIdentity> Identity(int printer) const = 0;
    // The settings block a printer starts with when it is selected.
    virtual std::optional<TkvDeviceSettings> DefaultSettings(int printer) const = 0;
    // What the driver makes of a wanted block: values it does not support are replaced by the ones it
    // will use. Nothing when it refuses the block as a whole (the printer keeps its previous block).
    virtual std::optional<TkvDeviceSettings> Accept(int printer, const TkvDeviceSettings& wanted) const = 0;
    virtual std::optional<TkvDeviceMetrics> Metrics(int printer, const TkvDeviceSettings& settings) const = 0;
    // Papers the printer offers; custom sizes are offered as id 256.
    virtual QList<TkvDevicePaper> Papers(int printer) const = 0;
    // Paper sources, without the "Default" entry TkvPrinter puts in front.
    virtual QList<TkvDeviceBin> Bins(int printer) const = 0;

    // The driver's own properties dialog on a copy of the block; true when the user confirmed it.
    // Headless backends have none.
    virtual bool EditSettings(int printer, TkvDeviceSettings& settings) { return false; }
};
