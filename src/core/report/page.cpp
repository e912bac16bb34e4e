#include "core/report/page.h"

#include "base/coord.h"
#include "core/globals.h"
#include "core/paper/paper_table.h"
#include "core/paper/printer.h"
#include "base/text_util.h"

#include <algorithm>
#include <climits>

TkvPage::TkvPage() = default;
TkvPage::~TkvPage() {
    // The current and the designer's page are borrowed: a page that goes away leaves neither behind.
    if (kv::CurPage() == this) kv::CurPage() = nullptr;
    if (kv::DesignerPage() == this) kv::DesignerPage() = nullptr;
}

int TkvPage::PrintAreaLeft() const {
    if (!UseMargins) return 0;
    return LeftMargin != 0 ? LeftMargin : Metrics.OffsetLeft;
}

int TkvPage::PrintAreaRight() const {
    if (!UseMargins) return Metrics.PageWidth;
    // Margins come from files: 64-bit arithmetic, clamped.
    return kv::ClampCoord(RightMargin != 0 ? int64_t(Metrics.PageWidth) - RightMargin
                                           : int64_t(Metrics.OffsetLeft) + Metrics.PrintableWidth);
}

int TkvPage::PrintAreaTop() const {
    if (!UseMargins) return 0;
    return TopMargin != 0 ? TopMargin : Metrics.OffsetTop;
}

int TkvPage::PrintAreaBottom() const {
    if (!UseMargins) return Metrics.PageHeight;
    return kv::ClampCoord(BottomMargin != 0 ? int64_t(Metrics.PageHeight) - BottomMargin
                                            : int64_t(Metrics.OffsetTop) + Metrics.PrintableHeight);
}

TkvView* TkvPage::FindObject(const QByteArray& name) const {
    TkvView* folded = nullptr;
    for (const auto& v : Objects) {
        if (v->Name == name) return v.get();
        if (!folded && v->Name.compare(name, Qt::CaseInsensitive) == 0) folded = v.get();
    }
    return folded;
}

// ---------------------------------------------------------------- paper


TkvPage::TkvPage(int32_t paperSize, int32_t paperWidth, int32_t paperHeight, int32_t paperBin,
                 uint8_t orientation) {
    ChangePaper(paperSize, paperWidth, paperHeight, paperBin, orientation);
}

void TkvPage::ChangePaper(int32_t paperSize, int32_t paperWidth, int32_t paperHeight, int32_t paperBin,
                          uint8_t orientation) {
    const kv::TkvPaperChoice c =
        kv::SelectPagePaper(paperSize, paperWidth, paperHeight, paperBin, orientation, Metrics);
    PaperSize = c.PaperSize;
    PaperWidth = c.PaperWidth;
    PaperHeight = c.PaperHeight;
    Orientation = c.Orientation;
    PaperBin = kv::IsDefaultBin(c.PaperBin) ? 65535 : c.PaperBin;
}

namespace kv {

TkvPaperChoice SelectPagePaper(int32_t paperSize, int32_t paperWidth, int32_t paperHeight, int32_t paperBin,
                               uint8_t orientation, TkvPageMetrics& metrics) {
    TkvPrinter& printer = SharedPrinter();
    try {
        printer.SelectPaper(paperSize, paperWidth, paperHeight, paperBin, orientation, false);
        printer.FillPageMetrics(metrics);
    } catch (const std::exception&) {
        paperBin = -1;
        printer.SelectPaper(CustomPaperId, paperWidth, paperHeight, paperBin, orientation, false);
        printer.FillPageMetrics(metrics);
    }
    return {printer.PaperSize, printer.PaperWidth, printer.PaperHeight, printer.Orientation,
            IsDefaultBin(paperBin) ? paperBin : printer.Bin};
}

} // namespace kv

int32_t TkvPage::PageUnitsToTenths(int32_t units) {
    return kv::RoundEven(double(units) * 10.0 * 5.0 / 18.0);
}

int32_t TkvPage::TenthsToPageUnits(int32_t tenths) {
    return kv::RoundEven(double(tenths) / 10.0 * 18.0 / 5.0);
}

// ---------------------------------------------------------------- properties

namespace {

int32_t ToInt32(const TkvVariant& v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v.toInt(), INT32_MIN, INT32_MAX));
}

} // namespace

// The names every page has.
const TkvPropertyTable& TkvPage::CommonProperties() {
    static const TkvPropertyTable table = [] {
        TkvPropertyTable t;
        TkvPropertyBuilder<TkvPage> b(t);
        kv::SetEnumItems(b.Add(
                             "Type", kvpk::Enum, [](TkvPage& p) { return TkvVariant(int(p.PageType)); },
                             [](TkvPage& p, const TkvVariant& v) {
                                 p.PageType = v.toInt() == kvpt::Dialog ? kvpt::Dialog : kvpt::Report;
                                 p.ClearProperties();
                             }),
                         "ptReport;ptDialog", QList<TkvVariant>{0, 1});
        b.Add(
            "Visible", kvpk::Hidden, [](TkvPage& p) { return TkvVariant(p.PageVisible); },
            [](TkvPage& p, const TkvVariant& v) { p.PageVisible = v.toBool(); });
        b.Add(
            "Name", kvpk::Text, [](TkvPage& p) { return TkvVariant(p.Name); },
            [](TkvPage& p, const TkvVariant& v) { p.Name = v.toText(); });
        for (const char* n : {"OnBeforePrint", "OnActivate"})
            b.Add(
                 n, kvpk::Editor | kvpk::SingleOnly,
                 [](TkvPage& p) { return TkvVariant(kv::JoinLines(p.Script)); },
                 [](TkvPage& p, const TkvVariant& v) { p.Script = kv::SplitLines(v.toText()); })
                .Editor = kv::EditorOf(&TkvEditorHooks::PageScript);
        return t;
    }();
    return table;
}

const TkvPropertyTable& TkvPage::DialogProperties() {
    static const TkvPropertyTable table = [] {
        TkvPropertyTable t(&CommonProperties());
        TkvPropertyBuilder<TkvPage> b(t);
        kv::SetEnumItems(
            b.Add(
                "BorderStyle", kvpk::Enum, [](TkvPage& p) { return TkvVariant(int(p.BorderStyle)); },
                [](TkvPage& p, const TkvVariant& v) { p.BorderStyle = static_cast<uint8_t>(v.toInt()); }),
            "bsDialog;bsSizeable", QList<TkvVariant>{3, 2});
        b.Add(
            "Caption", kvpk::Text, [](TkvPage& p) { return TkvVariant(p.Caption); },
            [](TkvPage& p, const TkvVariant& v) { p.Caption = v.toText(); });
        b.Add(
            "Color", kvpk::Color, [](TkvPage& p) { return TkvVariant(int64_t(int32_t(p.Color))); },
            [](TkvPage& p, const TkvVariant& v) { p.Color = static_cast<uint32_t>(v.toInt()); });
        const struct {
            const char* name;
            uint16_t kind;
            int32_t TkvPage::*field;
        } form[] = {{"Left", kvpk::PageUnits, &TkvPage::FormLeft},
                    {"Top", kvpk::PageUnits, &TkvPage::FormTop},
                    {"Width", kvpk::Integer, &TkvPage::FormWidth},
                    {"Height", kvpk::Integer, &TkvPage::FormHeight}};
        for (const auto& f : form) {
            const auto field = f.field;
            b.Add(
                f.name, f.kind, [field](TkvPage& p) { return TkvVariant(p.*field); },
                [field](TkvPage& p, const TkvVariant& v) { p.*field = ToInt32(v); });
        }
        kv::SetEnumItems(
            b.Add(
                "Position", kvpk::Enum, [](TkvPage& p) { return TkvVariant(int(p.Position)); },
                [](TkvPage& p, const TkvVariant& v) { p.Position = static_cast<uint8_t>(v.toInt()); }),
            "poDesigned;poScreenCenter", QList<TkvVariant>{0, 4});
        return t;
    }();
    return table;
}

const TkvPropertyTable& TkvPage::ReportProperties() {
    static const TkvPropertyTable table = [] {
        TkvPropertyTable t(&CommonProperties());
        TkvPropertyBuilder<TkvPage> b(t);
        // The papers of the shared printer as it is when the inspector lists the page.
        b.Add(
             "Size", kvpk::Enum, [](TkvPage& p) { return TkvVariant(p.PaperSize); },
             [](TkvPage& p, const TkvVariant& v) {
                 p.ChangePaper(ToInt32(v), p.PaperWidth, p.PaperHeight, p.PaperBin, p.Orientation);
             })
            .EnumItems = [](TkvObject&) {
            QByteArray names;
            QList<TkvVariant> values;
            const TkvPrinter& printer = kv::SharedPrinter();
            for (int i = 0; i < printer.PaperNames.size() && i < printer.PaperSizes.size(); ++i) {
                names += (i ? ";" : "") + printer.PaperNames[i];
                values.append(printer.PaperSizes[i]);
            }
            if (names.isEmpty()) names = "No data";
            return std::make_pair(names, TkvVariant(values));
        };
        b.Add(
            "Width", kvpk::PageUnits, [](TkvPage& p) { return TkvVariant(TenthsToPageUnits(p.PaperWidth)); },
            [](TkvPage& p, const TkvVariant& v) {
                p.ChangePaper(kv::CustomPaperId, PageUnitsToTenths(ToInt32(v)), p.PaperHeight, p.PaperBin,
                              p.Orientation);
            });
        b.Add(
            "Height", kvpk::PageUnits,
            [](TkvPage& p) { return TkvVariant(TenthsToPageUnits(p.PaperHeight)); },
            [](TkvPage& p, const TkvVariant& v) {
                p.ChangePaper(kv::CustomPaperId, p.PaperWidth, PageUnitsToTenths(ToInt32(v)), p.PaperBin,
                              p.Orientation);
            });
        // While printing the margins read as the print area's edges.
        b.Add(
            "LeftMargin", kvpk::PageUnits,
            [](TkvPage& p) { return TkvVariant(kv::DocumentMode() != 0 ? p.PrintAreaLeft() : p.LeftMargin); },
            [](TkvPage& p, const TkvVariant& v) { p.LeftMargin = ToInt32(v); });
        b.Add(
            "TopMargin", kvpk::PageUnits,
            [](TkvPage& p) { return TkvVariant(kv::DocumentMode() != 0 ? p.PrintAreaTop() : p.TopMargin); },
            [](TkvPage& p, const TkvVariant& v) { p.TopMargin = ToInt32(v); });
        b.Add(
            "RightMargin", kvpk::PageUnits,
            [](TkvPage& p) {
                return TkvVariant(kv::DocumentMode() != 0 ? p.Metrics.PageWidth - p.PrintAreaRight()
                                                          : p.RightMargin);
            },
            [](TkvPage& p, const TkvVariant& v) { p.RightMargin = ToInt32(v); });
        b.Add(
            "BottomMargin", kvpk::PageUnits,
            [](TkvPage& p) {
                return TkvVariant(kv::DocumentMode() != 0 ? p.Metrics.PageHeight - p.PrintAreaBottom()
                                                          : p.BottomMargin);
            },
            [](TkvPage& p, const TkvVariant& v) { p.BottomMargin = ToInt32(v); });
        kv::SetEnumItems(b.Add(
                             "Orientation", kvpk::Enum,
                             [](TkvPage& p) { return TkvVariant(int(p.Orientation)); },
                             [](TkvPage& p, const TkvVariant& v) {
                                 const uint8_t o = v.toInt() == 1 ? 1 : 0;
                                 if (o != p.Orientation)
                                     p.ChangePaper(p.PaperSize, p.PaperHeight, p.PaperWidth, p.PaperBin, o);
                             }),
                         "poPortrait;poLandscape", QList<TkvVariant>{0, 1});
        b.Add(
            "PrintToPrevPage", kvpk::Boolean, [](TkvPage& p) { return TkvVariant(p.PrintToPrevPage != 0); },
            [](TkvPage& p, const TkvVariant& v) { p.PrintToPrevPage = v.toBool() ? 0xFFFF : 0; });
        b.Add(
            "StretchToPrintable", kvpk::Boolean, [](TkvPage& p) { return TkvVariant(p.UseMargins == 0); },
            [](TkvPage& p, const TkvVariant& v) { p.UseMargins = v.toBool() ? 0 : 0xFFFF; });
        b.Add(
            "Columns", kvpk::Integer, [](TkvPage& p) { return TkvVariant(p.Columns); },
            [](TkvPage& p, const TkvVariant& v) { p.Columns = ToInt32(v); });
        b.Add("ColumnWidth", kvpk::Hidden, [](TkvPage& p) { return TkvVariant(p.ColumnWidthInUnits()); });
        b.Add(
            "ColumnGap", kvpk::PageUnits, [](TkvPage& p) { return TkvVariant(p.ColumnGap); },
            [](TkvPage& p, const TkvVariant& v) { p.ColumnGap = ToInt32(v); });
        return t;
    }();
    return table;
}

const TkvPropertyTable& TkvPage::Properties() const {
    return PageType == kvpt::Dialog ? DialogProperties() : ReportProperties();
}

void TkvPage::RegisterProperties() {
    ClearProperties();
    ListProperty("Type");
    ListProperty("Visible");
    if (PageType == kvpt::Dialog) {
        for (const char* n :
             {"BorderStyle", "Caption", "Color", "Left", "Top", "Width", "Height", "Position", "OnActivate"})
            ListProperty(n);
        return;
    }
    for (const char* n :
         {"Size", "Width", "Height", "LeftMargin", "TopMargin", "RightMargin", "BottomMargin", "Orientation",
          "PrintToPrevPage", "StretchToPrintable", "Columns", "ColumnWidth", "ColumnGap", "OnBeforePrint"})
        ListProperty(n);
}

int32_t TkvPage::ColumnWidthInUnits() const {
    const int64_t area = int64_t(PrintAreaRight()) - PrintAreaLeft();
    if (Columns <= 1) return kv::ClampCoord(area);
    return kv::ClampCoord((area - int64_t(Columns - 1) * ColumnGap) / Columns);
}
