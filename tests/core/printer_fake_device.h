#pragma once
// A scripted printer device: printers with known resolutions, papers, sources and unprintable
// margins, so that page geometry can be checked to the pixel without a spooler.

#include "core/paper/printer_device.h"

#include <QMap>
#include <cmath>
#include <stdexcept>

struct FakePaper {
    int32_t Id;
    QByteArray Name;
    int32_t WidthMM10, HeightMM10; // portrait; 0 for the custom entry
};

struct FakePrinter {
    QByteArray Name;
    int32_t DpiX = 600, DpiY = 600;
    // Unprintable margins in pixels of the portrait page; landscape turns them with the page.
    int32_t MarginLeft = 150, MarginTop = 100, MarginRight = 150, MarginBottom = 200;
    QList<FakePaper> Papers;
    QList<TkvDeviceBin> Bins;
    TkvDeviceSettings Defaults;
    bool Broken = false; // every query reports nothing
    bool ThrowsOnMetrics = false;
};

class FakePrinterDevice : public TkvPrinterDevice {
public:
    QList<FakePrinter> Printers;
    int Default = 0;
    bool Printing = false;
    mutable QList<TkvDeviceSettings> Accepted; // every block Accept answered, in order

    static FakePrinter OfficePrinter(const QByteArray& name) {
        FakePrinter p;
        p.Name = name;
        p.Papers = {
            {1, "Letter", 2159, 2794}, {9, "A4", 2100, 2970}, {11, "A5", 1480, 2100}, {256, "Custom", 0, 0}};
        p.Bins = {{1, "Upper tray"}, {2, "Lower tray"}};
        p.Defaults.PaperSize = 9;
        return p;
    }

    TkvStringList PrinterNames() const override {
        TkvStringList names;
        for (const FakePrinter& p : Printers)
            names.append(p.Name);
        return names;
    }
    int DefaultPrinter() const override { return Default; }
    bool IsPrinting() const override { return Printing; }

    std::optional<TkvDeviceIdentity> Identity(int printer) const override {
        if (Printers[printer].Broken) return std::nullopt;
        return TkvDeviceIdentity{Printers[printer].Name, "fake", "port"};
    }
    std::optional<TkvDeviceSettings> DefaultSettings(int printer) const override {
        if (Printers[printer].Broken) return std::nullopt;
        return Printers[printer].Defaults;
    }
    std::optional<TkvDeviceSettings> Accept(int printer, const TkvDeviceSettings& wanted) const override {
        const FakePrinter& p = Printers[printer];
        TkvDeviceSettings s = wanted;
        if (!FindPaper(p, s.PaperSize)) s.PaperSize = p.Defaults.PaperSize; // the driver's fallback paper
        s.CustomSize = s.PaperSize == 256;
        bool knownBin = s.DefaultSource == -1;
        for (const TkvDeviceBin& b : p.Bins)
            knownBin = knownBin || b.Id == s.DefaultSource;
        if (!knownBin) s.DefaultSource = -1;
        Accepted.append(s);
        return s;
    }
    std::optional<TkvDeviceMetrics> Metrics(int printer, const TkvDeviceSettings& s) const override {
        const FakePrinter& p = Printers[printer];
        if (p.ThrowsOnMetrics) throw std::runtime_error("device gone");
        if (p.Broken) return std::nullopt;
        int32_t w = s.PaperWidth, h = s.PaperLength;
        if (!s.CustomSize) {
            const FakePaper* paper = FindPaper(p, s.PaperSize);
            w = paper->WidthMM10;
            h = paper->HeightMM10;
        }
        TkvDeviceMetrics m;
        m.DpiX = p.DpiX;
        m.DpiY = p.DpiY;
        int32_t left = p.MarginLeft, top = p.MarginTop, right = p.MarginRight, bottom = p.MarginBottom;
        if (s.Orientation == 1) {
            // Turned a quarter counter-clockwise: the portrait left edge becomes the bottom.
            std::swap(w, h);
            const int32_t l = left, t = top, r = right, b = bottom;
            left = t, top = r, right = b, bottom = l;
        }
        m.PhysicalWidth = static_cast<int32_t>(std::lround(w / 254.0 * m.DpiX));
        m.PhysicalHeight = static_cast<int32_t>(std::lround(h / 254.0 * m.DpiY));
        m.OffsetX = left;
        m.OffsetY = top;
        m.PrintableWidth = m.PhysicalWidth - left - right;
        m.PrintableHeight = m.PhysicalHeight - top - bottom;
        return m;
    }
    QList<TkvDevicePaper> Papers(int printer) const override {
        QList<TkvDevicePaper> papers;
        for (const FakePaper& p : Printers[printer].Papers)
            papers.append({p.Id, p.Name});
        return papers;
    }
    QList<TkvDeviceBin> Bins(int printer) const override { return Printers[printer].Bins; }

private:
    static const FakePaper* FindPaper(const FakePrinter& p, int32_t id) {
        for (const FakePaper& paper : p.Papers)
            if (paper.Id == id) return &paper;
        return nullptr;
    }
};
