#include "core/report/page.h"

#include "base/coord.h"
#include "core/globals.h"
#include "core/paper/paper_table.h"
#include "core/paper/printer.h"
#include "base/text_util.h"

#include <algorithm>
#include <climits>

TkvPage::TkvPage() = default;
TkvPage::~TkvPage() = default;

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
    for (const auto& v : Objects)
        if (v->Name == name) return v.get();
    return nullptr;
}

// ---------------------------------------------------------------- paper

TkvEditorProc TkvPage::ScriptEditor;

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

void TkvPage::RegisterProperties() {
    ClearProperties();
    AddEnumProperty("Type", "ptReport;ptDialog", QList<TkvVariant>{0, 1});
    AddProperty("Visible", kvpk::Hidden);
    if (PageType == kvpt::Dialog) {
        AddEnumProperty("BorderStyle", "bsDialog;bsSizeable", QList<TkvVariant>{3, 2});
        AddProperty("Caption", kvpk::Text);
        AddProperty("Color", kvpk::Color);
        AddProperty("Left", kvpk::PageUnits);
        AddProperty("Top", kvpk::PageUnits);
        AddProperty("Width", kvpk::Integer);
        AddProperty("Height", kvpk::Integer);
        AddEnumProperty("Position", "poDesigned;poScreenCenter", QList<TkvVariant>{0, 4});
        AddProperty("OnActivate", kvpk::Editor | kvpk::SingleOnly, ScriptEditor);
        return;
    }
    QByteArray names;
    QList<TkvVariant> values;
    const TkvPrinter& printer = kv::SharedPrinter();
    for (int i = 0; i < printer.PaperNames.size() && i < printer.PaperSizes.size(); ++i) {
        names += (i ? ";" : "") + printer.PaperNames[i];
        values.append(printer.PaperSizes[i]);
    }
    if (names.isEmpty()) names = "No data";
    AddEnumProperty("Size", names, values);
    AddProperty("Width", kvpk::PageUnits);
    AddProperty("Height", kvpk::PageUnits);
    AddProperty("LeftMargin", kvpk::PageUnits);
    AddProperty("TopMargin", kvpk::PageUnits);
    AddProperty("RightMargin", kvpk::PageUnits);
    AddProperty("BottomMargin", kvpk::PageUnits);
    AddEnumProperty("Orientation", "poPortrait;poLandscape", QList<TkvVariant>{0, 1});
    AddProperty("PrintToPrevPage", kvpk::Boolean);
    AddProperty("StretchToPrintable", kvpk::Boolean);
    AddProperty("Columns", kvpk::Integer);
    AddProperty("ColumnWidth", kvpk::Hidden);
    AddProperty("ColumnGap", kvpk::PageUnits);
    AddProperty("OnBeforePrint", kvpk::Editor | kvpk::SingleOnly, ScriptEditor);
}

int32_t TkvPage::ColumnWidthInUnits() const {
    const int64_t area = int64_t(PrintAreaRight()) - PrintAreaLeft();
    if (Columns <= 1) return kv::ClampCoord(area);
    return kv::ClampCoord((area - int64_t(Columns - 1) * ColumnGap) / Columns);
}

void TkvPage::SetProperty(const QByteArray& rawName, const TkvVariant& value) {
    const QByteArray name = rawName.toUpper();
    if (name == "TYPE") {
        PageType = value.toInt() == kvpt::Dialog ? kvpt::Dialog : kvpt::Report;
        ClearProperties();
    } else if (name == "VISIBLE")
        PageVisible = value.toBool();
    else if (name == "NAME")
        Name = value.toText();
    else if (name == "ONBEFOREPRINT" || name == "ONACTIVATE")
        Script = kv::SplitLines(value.toText());
    else if (PageType == kvpt::Dialog) {
        if (name == "BORDERSTYLE")
            BorderStyle = static_cast<uint8_t>(value.toInt());
        else if (name == "CAPTION")
            Caption = value.toText();
        else if (name == "COLOR")
            Color = static_cast<uint32_t>(value.toInt());
        else if (name == "LEFT")
            FormLeft = ToInt32(value);
        else if (name == "TOP")
            FormTop = ToInt32(value);
        else if (name == "WIDTH")
            FormWidth = ToInt32(value);
        else if (name == "HEIGHT")
            FormHeight = ToInt32(value);
        else if (name == "POSITION")
            Position = static_cast<uint8_t>(value.toInt());
    } else {
        if (name == "SIZE")
            ChangePaper(ToInt32(value), PaperWidth, PaperHeight, PaperBin, Orientation);
        else if (name == "WIDTH")
            ChangePaper(kv::CustomPaperId, PageUnitsToTenths(ToInt32(value)), PaperHeight, PaperBin,
                        Orientation);
        else if (name == "HEIGHT")
            ChangePaper(kv::CustomPaperId, PaperWidth, PageUnitsToTenths(ToInt32(value)), PaperBin,
                        Orientation);
        else if (name == "ORIENTATION") {
            const uint8_t o = value.toInt() == 1 ? 1 : 0;
            if (o != Orientation) ChangePaper(PaperSize, PaperHeight, PaperWidth, PaperBin, o);
        } else if (name == "LEFTMARGIN")
            LeftMargin = ToInt32(value);
        else if (name == "TOPMARGIN")
            TopMargin = ToInt32(value);
        else if (name == "RIGHTMARGIN")
            RightMargin = ToInt32(value);
        else if (name == "BOTTOMMARGIN")
            BottomMargin = ToInt32(value);
        else if (name == "PRINTTOPREVPAGE")
            PrintToPrevPage = value.toBool() ? 0xFFFF : 0;
        else if (name == "STRETCHTOPRINTABLE")
            UseMargins = value.toBool() ? 0 : 0xFFFF;
        else if (name == "COLUMNS")
            Columns = ToInt32(value);
        else if (name == "COLUMNGAP")
            ColumnGap = ToInt32(value);
    }
}

void TkvPage::GetProperty(const QByteArray& rawName, TkvVariant& result) {
    TkvObject::GetProperty(rawName, result);
    const QByteArray name = rawName.toUpper();
    const bool printing = kv::DocumentMode != 0;
    if (name == "TYPE")
        result = int(PageType);
    else if (name == "VISIBLE")
        result = PageVisible;
    else if (name == "NAME")
        result = Name;
    else if (name == "ONBEFOREPRINT" || name == "ONACTIVATE")
        result = kv::JoinLines(Script);
    else if (PageType == kvpt::Dialog) {
        if (name == "BORDERSTYLE")
            result = int(BorderStyle);
        else if (name == "CAPTION")
            result = Caption;
        else if (name == "COLOR")
            result = int64_t(int32_t(Color));
        else if (name == "LEFT")
            result = FormLeft;
        else if (name == "TOP")
            result = FormTop;
        else if (name == "WIDTH")
            result = FormWidth;
        else if (name == "HEIGHT")
            result = FormHeight;
        else if (name == "POSITION")
            result = int(Position);
    } else {
        if (name == "SIZE")
            result = PaperSize;
        else if (name == "WIDTH")
            result = TenthsToPageUnits(PaperWidth);
        else if (name == "HEIGHT")
            result = TenthsToPageUnits(PaperHeight);
        else if (name == "ORIENTATION")
            result = int(Orientation);
        else if (name == "LEFTMARGIN")
            result = printing ? PrintAreaLeft() : LeftMargin;
        else if (name == "TOPMARGIN")
            result = printing ? PrintAreaTop() : TopMargin;
        else if (name == "RIGHTMARGIN")
            result = printing ? Metrics.PageWidth - PrintAreaRight() : RightMargin;
        else if (name == "BOTTOMMARGIN")
            result = printing ? Metrics.PageHeight - PrintAreaBottom() : BottomMargin;
        else if (name == "PRINTTOPREVPAGE")
            result = PrintToPrevPage != 0;
        else if (name == "STRETCHTOPRINTABLE")
            result = UseMargins == 0;
        else if (name == "COLUMNS")
            result = Columns;
        else if (name == "COLUMNWIDTH")
            result = ColumnWidthInUnits();
        else if (name == "COLUMNGAP")
            result = ColumnGap;
    }
}
