#pragma once
// The printer device over Qt's printer support: the printers Qt lists (CUPS queues where a spooler
// runs), their papers and the page geometry their drivers report. Qt offers no paper sources on Linux,
// so every printer has the "Default" source only.

#include "core/paper/printer_device.h"

#include <QPageLayout>
#include <QPageSize>
#include <QStringList>
#include <map>
#include <memory>

class QPrinter;

class TkvQtPrinterDevice : public TkvPrinterDevice {
public:
    // Takes a snapshot of the printer list: indices stay valid for the device's life.
    TkvQtPrinterDevice();
    ~TkvQtPrinterDevice() override;

    TkvStringList PrinterNames() const override;
    int DefaultPrinter() const override;
    bool IsPrinting() const override { return Printing; }
    std::optional<TkvDeviceIdentity> Identity(int printer) const override;
    std::optional<TkvDeviceSettings> DefaultSettings(int printer) const override;
    std::optional<TkvDeviceSettings> Accept(int printer, const TkvDeviceSettings& wanted) const override;
    std::optional<TkvDeviceMetrics> Metrics(int printer, const TkvDeviceSettings& settings) const override;
    QList<TkvDevicePaper> Papers(int printer) const override;
    QList<TkvDeviceBin> Bins(int printer) const override;

    // The print job marks the time it holds the device; page setups are refused meanwhile.
    void SetPrinting(bool printing) { Printing = printing; }
    // Qt's name of a printer (the queue name), for the print job's QPrinter.
    QString QueueName(int printer) const;

private:
    QPrinter* PrinterFor(int printer) const;

    QStringList Queues;
    QString DefaultQueue;
    bool Printing = false;
    mutable std::map<int, std::unique_ptr<QPrinter>> OpenPrinters;
};

namespace kv {

// The Qt page size a settings block asks for: custom sizes exactly as given (never snapped to a
// standard paper), papers by their platform id; invalid when Qt knows no paper with that id.
QPageSize QtPageSizeFor(const TkvDeviceSettings& settings);
// The block a page layout amounts to. A custom size stays custom even when it equals a standard paper,
// and an id Qt knows under another number (e.g. "Letter small" as Letter) keeps the number asked for.
TkvDeviceSettings SettingsFromLayout(const QPageLayout& layout, const TkvDeviceSettings& wanted);
// Physical page and printable rectangle of a layout at a resolution, in device pixels.
TkvDeviceMetrics MetricsFromLayout(const QPageLayout& layout, int resolution);
// Sets paper, orientation and copies of a QPrinter from a block; false when Qt refuses the paper (the
// printer keeps its previous one). Used for the page setup queries and by the print job.
bool ConfigureQPrinter(QPrinter& printer, const TkvDeviceSettings& settings);

// Makes Qt's printers the shared printer's device. Called once by the programs at start-up, after
// the application object exists.
void InstallQtPrinterBackend();

} // namespace kv
