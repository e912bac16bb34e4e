#include "core/views/band_view.h"

#include "core/views/band.h"
#include "core/globals.h"
#include "core/library_tables.h"
#include "core/report/page.h"
#include "base/stream_text.h"
#include "render/canvas.h"
#include "render/painter_canvas.h"

#include <QImage>
#include <array>

TkvEditorProc TkvBandView::BandDataSourceEditor, TkvBandView::CrossTabSourceEditor;
TkvCanvas* TkvBandView::MeasuringCanvasOverride = nullptr;

namespace kv {

bool BandTitles = true;

} // namespace kv

namespace {

constexpr uint32_t clBtnFace = 0x8000000F;
constexpr uint32_t clBtnShadow = 0x80000010;
constexpr uint32_t clBtnHighlight = 0x80000014;

struct FlagName {
    const char* name;
    uint16_t bit;
};

// In the order the inspector lists them.
constexpr std::array<FlagName, 8> kFlagNames = {{
    {"STRETCHED", kvbf::Stretched},
    {"FORMNEWPAGE", kvbf::FormNewPage},
    {"PRINTIFSUBSETEMPTY", kvbf::PrintIfSubsetEmpty},
    {"BREAKED", kvbf::Breaked},
    {"ONFIRSTPAGE", kvbf::OnFirstPage},
    {"ONLASTPAGE", kvbf::OnLastPage},
    {"REPEATHEADER", kvbf::RepeatHeader},
    {"PRINTCHILDIFINVISIBLE", kvbf::PrintChildIfInvisible},
}};

// The flag names a script sets and reads on every band (Stretched is the base view's).
uint16_t FlagBitOf(const QByteArray& upperName) {
    for (const auto& f : kFlagNames)
        if (f.bit != kvbf::Stretched && upperName == f.name) return f.bit;
    return 0;
}

bool IsCoordinate(const QByteArray& n) {
    return n == "LEFT" || n == "TOP" || n == "WIDTH" || n == "HEIGHT";
}

bool IsDataBand(int t) {
    return t == kvbt::MasterData || t == kvbt::DetailData || t == kvbt::SubdetailData;
}

// Names of the band views on the designer's current page whose type passes `wanted`, other than
// `self`, each followed by ";". Empty while a report is built.
template <typename Pred> QByteArray BandNamesOnDesignerPage(const TkvView* self, Pred wanted) {
    QByteArray names;
    if (kv::DocumentMode == 1 || !kv::DesignerPage) return names;
    for (const auto& v : kv::DesignerPage->Objects) {
        if (v.get() == self || v->ObjectType != kvvt::Band) continue;
        if (wanted(int(v->FrameTyp))) names += v->Name + ';';
    }
    return names;
}

} // namespace

TkvBandView::TkvBandView() {
    ObjectType = kvvt::Band;
    NamePrefix = "Band";
    Flags = kvbf::OnFirstPage | kvbf::OnLastPage;
    DisplayFormat = 0;
}

uint16_t TkvBandView::OfferedFlags(int t) {
    using namespace kvbf;
    uint16_t f = 0;
    switch (t) {
    case kvbt::Title:
    case kvbt::Summary:
    case kvbt::MasterFooter:
    case kvbt::DetailFooter:
    case kvbt::SubdetailData:
    case kvbt::SubdetailFooter:
        f = Stretched | FormNewPage | Breaked;
        break;
    case kvbt::PageHeader:
        f = Stretched | OnFirstPage;
        break;
    case kvbt::PageFooter:
        f = OnFirstPage | OnLastPage;
        break;
    case kvbt::MasterHeader:
    case kvbt::DetailHeader:
    case kvbt::SubdetailHeader:
        f = Stretched | Breaked | RepeatHeader;
        break;
    case kvbt::MasterData:
    case kvbt::DetailData:
        f = Stretched | FormNewPage | PrintIfSubsetEmpty | Breaked;
        break;
    case kvbt::GroupHeader:
        f = Stretched | FormNewPage | Breaked | RepeatHeader;
        break;
    case kvbt::GroupFooter:
    case kvbt::Child:
        f = Stretched | Breaked;
        break;
    case kvbt::CrossHeader:
        f = Stretched | RepeatHeader;
        break;
    default:
        break;
    }
    if (t >= 0 && t < kvbt::Count && OffersChildBand(t)) f |= PrintChildIfInvisible;
    return f;
}

TkvBandViewLink* TkvBandView::Link() const {
    return dynamic_cast<TkvBandViewLink*>(OwnerBand);
}

bool TkvBandView::Building() const {
    return kv::DocumentMode == 1 && Link() != nullptr;
}

// ---------------------------------------------------------------- properties

void TkvBandView::SetProperty(const QByteArray& rawName, const TkvVariant& value) {
    TkvView::SetProperty(rawName, value);
    const QByteArray name = rawName.toUpper();
    TkvBandViewLink* link = Building() ? Link() : nullptr;
    if (name == "CHILDBAND") {
        const QByteArray text = value.toText();
        if (link) {
            TkvView* child = kv::CurPage ? kv::CurPage->FindObject(text) : nullptr;
            link->SetChildBand(child ? child->OwnerBand : nullptr);
        }
        ChildBand = text;
    } else if (name == "MASTER") {
        Master = value.toText();
    } else if (const uint16_t bit = FlagBitOf(name)) {
        const bool on = value.toBool();
        Flags = static_cast<uint16_t>((Flags & ~bit) | (on ? bit : 0));
        if (link && bit == kvbf::Breaked) link->SetBreaked(on);
    } else if (name == "CONDITION") {
        SetDataSource(value.toText());
        if (link) link->SetGroupCondition(DataSource());
    } else if (name == "COLUMNS") {
        Columns = static_cast<int32_t>(value.toInt());
    } else if (name == "COLUMNGAP") {
        ColumnGap = static_cast<int32_t>(value.toInt());
    } else if (name == "COLUMNWIDTH") {
        ColumnWidth = static_cast<int32_t>(value.toInt());
    } else if (name == "NEWCOLUMNAFTER") {
        NewColumnAfter = static_cast<int32_t>(value.toInt());
    } else if (IsCoordinate(name)) {
        if (link) link->SetCoordinate(name, static_cast<int>(value.toInt()));
    } else if (name == "VISIBLE") {
        if (link) link->SetBandVisible(value.toBool());
    } else if (name == "DATASOURCE") {
        // At design time the data source editor sets the field; a script changes the running band only.
        if (link) link->ReplaceDataSource(value.toText());
    } else if (name == "BANDTYPE") {
        SetBandType(static_cast<int>(value.toInt()));
    }
}

void TkvBandView::GetProperty(const QByteArray& rawName, TkvVariant& result) {
    TkvView::GetProperty(rawName, result);
    const QByteArray name = rawName.toUpper();
    TkvBandViewLink* link = Building() ? Link() : nullptr;
    if (link) {
        if (IsCoordinate(name))
            result = link->Coordinate(name);
        else if (name == "VISIBLE")
            result = link->BandVisible();
    }
    if (!result.isEmpty()) return;
    if (name == "CHILDBAND") {
        result = ChildBand;
    } else if (name == "MASTER") {
        result = Master;
    } else if (name == "EOF") {
        // Without a running band or a data source the answer is unknown: null, so that a script
        // looping until EOF does not run for ever.
        if (link && link->HasDataSource()) result = link->DataSourceEof();
    } else if (const uint16_t bit = FlagBitOf(name)) {
        if (link && bit == kvbf::Breaked)
            result = link->Breaked();
        else
            result = (Flags & bit) != 0;
    } else if (name == "CONDITION") {
        result = DataSource();
    } else if (name == "COLUMNS") {
        result = Columns;
    } else if (name == "COLUMNGAP") {
        result = ColumnGap;
    } else if (name == "NEWCOLUMNAFTER") {
        result = NewColumnAfter;
    } else if (name == "COLUMNWIDTH") {
        result = ColumnWidth;
    } else if (name == "BANDTYPE") {
        result = BandType();
    }
}

void TkvBandView::CallMethod(const QByteArray& name, const TkvVariant& a1, const TkvVariant& a2,
                             const TkvVariant& a3, TkvVariant& result) {
    TkvView::CallMethod(name, a1, a2, a3, result);
    TkvBandViewLink* link = Link();
    if (!link || !link->HasDataSource()) return;
    if (name == "NEXT")
        link->DataSourceNext();
    else if (name == "PRIOR")
        link->DataSourcePrior();
    else if (name == "FIRST")
        link->DataSourceFirst();
}

void TkvBandView::RegisterProperties() {
    TkvView::RegisterProperties();
    const int t = BandType();
    const uint16_t offered = OfferedFlags(t);
    if (OffersChildBand(t)) {
        AddEnumProperty("ChildBand", BandNamesOnDesignerPage(this, [](int bt) { return bt == kvbt::Child; }),
                        TkvVariant::Null());
        AddProperty("PrintChildIfInvisible", kvpk::Boolean);
    }
    static const std::array<const char*, 7> inspectorNames = {
        "Stretched",   "FormNewPage", "PrintIfSubsetEmpty", "Breaked",
        "OnFirstPage", "OnLastPage",  "RepeatHeader"};
    for (size_t i = 0; i < inspectorNames.size(); ++i)
        if (offered & kFlagNames[i].bit) AddProperty(inspectorNames[i], kvpk::Boolean);
    if (t == kvbt::CrossData) AddProperty("DataSource", kvpk::Editor, CrossTabSourceEditor);
    if (IsDataBand(t)) {
        AddProperty("Columns", kvpk::Integer);
        AddProperty("ColumnWidth", kvpk::PageUnits);
        AddProperty("ColumnGap", kvpk::PageUnits);
        AddProperty("DataSource", kvpk::Editor, BandDataSourceEditor);
    }
    if (t == kvbt::GroupHeader) {
        AddProperty("Condition", kvpk::Text);
        AddEnumProperty("Master", BandNamesOnDesignerPage(this, IsDataBand), TkvVariant::Null());
    }
    AddProperty("EOF", kvpk::Hidden);
    if (TkvPropRec* memo = FindProperty("Memo")) memo->PropName = "OnBeforePrint";
}

// ---------------------------------------------------------------- record

void TkvBandView::LoadFromStream(TkvStream& s) {
    TkvView::LoadFromStream(s);
    if (kv::StreamVersion > 23) {
        ChildBand = kv::ReadStreamString(s);
        Columns = s.ReadInt("the band columns");
        ColumnWidth = s.ReadInt("the band column width");
        ColumnGap = s.ReadInt("the band column gap");
        NewColumnAfter = s.ReadInt("the band new column setting");
        if (RecordVersion * 10 + ClassRecordVersion > 20) Master = kv::ReadStreamString(s);
    }
}

void TkvBandView::SaveToStream(TkvStream& s) {
    ClassRecordVersion = 1;
    TkvView::SaveToStream(s);
    kv::WriteStreamString(s, ChildBand);
    s.WriteInt(Columns);
    s.WriteInt(ColumnWidth);
    s.WriteInt(ColumnGap);
    s.WriteInt(NewColumnAfter);
    kv::WriteStreamString(s, Master);
}

// ---------------------------------------------------------------- drawing

namespace {

TkvFont LabelFont() {
    TkvFont f;
    f.name = QStringLiteral("Arial");
    f.height = 0;
    f.pointSize = 8;
    f.style = 0;
    f.color = 0;
    f.charset = 1;
    return f;
}

} // namespace

int TkvBandView::LabelWidth() const {
    const QString name = QString::fromLatin1(kv::BandTypeName(BandType()));
    TkvCanvas& measure = MeasuringCanvasOverride ? *MeasuringCanvasOverride : kv::MeasuringCanvas();
    measure.Save();
    measure.SetFont(LabelFont());
    measure.SetCharSpacing(0);
    const int w = measure.TextExtent(name).width() + 8;
    measure.Restore();
    return w < 100 ? 100 : w;
}

void TkvBandView::GetClipRegion(bool widen, QRegion& result) {
    if (!kv::BandTitles) {
        TkvView::GetClipRegion(widen, result);
        return;
    }
    const int64_t l = Left, t = Top, r = l + Width, b = t + Height;
    const QRect band = widen ? TkvRect::Clamped(l - 10, t - 10, r + 10, b + 10).toQRect()
                             : TkvRect::Clamped(l, t, r + 1, b + 1).toQRect();
    const int w = LabelWidth();
    const QRect tab = IsVertical() ? TkvRect::Clamped(l - 18, t, l, t + w).toQRect()
                                   : TkvRect::Clamped(l, t - 18, l + w, t).toQRect();
    result = QRegion(band).united(tab);
}

void TkvBandView::Draw(TkvCanvas& canvas) {
    const TkvCanvasScope scope(*this, canvas);
    FrameWidth = 1.0f;
    if (const TkvPage* page = kv::DesignerPage) {
        if (IsVertical()) {
            Top = 0;
            Height = page->Metrics.PageHeight;
        } else {
            Left = 0;
            Width = page->Metrics.PageWidth;
        }
    }
    AttachCanvas(&canvas);
    ScaleForDrawing();

    // The checkerboard brush: cell (x, y) white when x + y is even, aligned to the device origin.
    const QRect inner = InnerRect.toQRect();
    if (inner.width() > 0 && inner.height() > 0 && inner.width() <= 16384 && inner.height() <= 16384) {
        QImage checker(inner.size(), QImage::Format_RGB32);
        const QRgb silver = qRgb(0xC0, 0xC0, 0xC0), white = qRgb(0xFF, 0xFF, 0xFF);
        for (int y = 0; y < checker.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(checker.scanLine(y));
            for (int x = 0; x < checker.width(); ++x)
                line[x] = ((inner.left() + x + inner.top() + y) & 1) == 0 ? white : silver;
        }
        canvas.DrawImage(inner, checker, false);
    }

    canvas.SetFont(LabelFont());
    canvas.SetPen({clBtnFace, 1, TkvPenStyle::Solid, TkvPenMode::Copy});
    canvas.SetBrush({clBtnFace, TkvBrushStyle::Clear});
    canvas.Rectangle(TkvRect::Clamped(Left, Top, int64_t(Left) + Width + 1, int64_t(Top) + Height + 1).toQRect());

    if (Columns > 1) {
        canvas.SetPen({0, 1, TkvPenStyle::Dot, TkvPenMode::Copy});
        const int printLeft = kv::DesignerPage ? kv::DesignerPage->PrintAreaLeft() : 0;
        // A column count from a file may be anything; columns past the page are never seen.
        const int columns = Columns > 1000 ? 1000 : Columns;
        for (int i = 1; i <= columns; ++i) {
            const int64_t x = printLeft + int64_t(i - 1) * (int64_t(ColumnWidth) + ColumnGap);
            if (x > INT32_MAX / 2 || x < INT32_MIN / 2) break;
            canvas.Rectangle(TkvRect::Clamped(x, Top, x + ColumnWidth, int64_t(Top) + Height).toQRect());
        }
    }

    canvas.SetPen({clBtnFace, 1, TkvPenStyle::Solid, TkvPenMode::Copy});
    canvas.SetBrush({clBtnFace, TkvBrushStyle::Solid});
    DrawTitle(canvas, LabelWidth());
    RestoreAfterDrawing();
}

void TkvBandView::DrawTitle(TkvCanvas& canvas, int w) {
    const QString name = QString::fromLatin1(kv::BandTypeName(BandType()));
    TkvFont rotated = LabelFont();
    rotated.escapement = 900;
    const TkvPen shadow{clBtnShadow, 1, TkvPenStyle::Solid, TkvPenMode::Copy};
    const TkvPen black{0, 1, TkvPenStyle::Solid, TkvPenMode::Copy};
    if (kv::BandTitles) {
        if (!IsVertical()) {
            canvas.FillRect(TkvRect{Left, Top - 18, Left + w, Top}.toQRect());
            canvas.SetPen(shadow);
            canvas.DrawLine({Left + w - 2, Top - 18}, {Left + w - 2, Top});
            canvas.SetPen(black);
            canvas.DrawLine({Left + w - 1, Top - 18}, {Left + w - 1, Top});
            canvas.SetBkOpaque(true);
            canvas.TextOut({Left + 4, Top - 17}, name);
        } else {
            canvas.FillRect(TkvRect{Left - 18, Top, Left, Top + w}.toQRect());
            canvas.SetPen(shadow);
            canvas.DrawLine({Left - 18, Top + w - 2}, {Left, Top + w - 2});
            canvas.SetPen(black);
            canvas.DrawLine({Left - 18, Top + w - 1}, {Left, Top + w - 1});
            canvas.SetPen({clBtnHighlight, 1, TkvPenStyle::Solid, TkvPenMode::Copy});
            canvas.DrawLine({Left - 18, Top + w - 1}, {Left - 18, Top});
            const int textWidth = canvas.TextExtent(name).width();
            canvas.SetFont(rotated);
            canvas.SetBkOpaque(true);
            canvas.TextOut({Left - 15, Top + textWidth + 4}, name);
        }
        return;
    }
    canvas.SetBrush({clBtnFace, TkvBrushStyle::Clear});
    canvas.SetBkOpaque(false);
    if (!IsVertical()) {
        canvas.TextOut({Left + 4, Top + 2}, name);
    } else {
        canvas.SetFont(rotated);
        canvas.TextOut({Left + 2, Top + 94}, name);
    }
}
