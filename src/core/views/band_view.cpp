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
    {"Stretched", kvbf::Stretched},
    {"FormNewPage", kvbf::FormNewPage},
    {"PrintIfSubsetEmpty", kvbf::PrintIfSubsetEmpty},
    {"Breaked", kvbf::Breaked},
    {"OnFirstPage", kvbf::OnFirstPage},
    {"OnLastPage", kvbf::OnLastPage},
    {"RepeatHeader", kvbf::RepeatHeader},
    {"PrintChildIfInvisible", kvbf::PrintChildIfInvisible},
}};

bool IsDataBand(int t) {
    return t == kvbt::MasterData || t == kvbt::DetailData || t == kvbt::SubdetailData;
}

// Names of the band views on the designer's current page whose type passes `wanted`, other than
// `self`, each followed by ";". Empty while a report is built.
template <typename Pred> QByteArray BandNamesOnDesignerPage(const TkvView* self, Pred wanted) {
    QByteArray names;
    if (kv::DocumentMode() == 1 || !kv::DesignerPage()) return names;
    for (const auto& v : kv::DesignerPage()->Objects) {
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
    return kv::DocumentMode() == 1 && Link() != nullptr;
}

// ---------------------------------------------------------------- properties

const TkvPropertyTable& TkvBandView::ClassProperties() {
    static const TkvPropertyTable table = [] {
        TkvPropertyTable t(&TkvView::ClassProperties());
        TkvPropertyBuilder<TkvBandView> b(t);
        // While the band is built, its geometry and visibility are the running band's.
        for (const char* n : {"Left", "Top", "Width", "Height"}) {
            const QByteArray upper = QByteArray(n).toUpper();
            const TkvPropertyDescriptor& field = *t.Find(n);
            TkvPropertyDescriptor& d = b.Extend(n, [upper](TkvBandView& v, const TkvVariant& x) {
                if (TkvBandViewLink* link = v.RunningLink())
                    link->SetCoordinate(upper, static_cast<int>(x.toInt()));
            });
            d.Get = [upper, get = field.Get](TkvObject& o) {
                TkvBandViewLink* link = static_cast<TkvBandView&>(o).RunningLink();
                return link ? link->Coordinate(upper) : get(o);
            };
        }
        TkvPropertyDescriptor& visible = b.Extend("Visible", [](TkvBandView& v, const TkvVariant& x) {
            if (TkvBandViewLink* link = v.RunningLink()) link->SetBandVisible(x.toBool());
        });
        visible.Get = [get = visible.Get](TkvObject& o) {
            TkvBandViewLink* link = static_cast<TkvBandView&>(o).RunningLink();
            return link ? TkvVariant(link->BandVisible()) : get(o);
        };
        b.Add(
             "ChildBand", kvpk::Enum, [](TkvBandView& v) { return TkvVariant(v.ChildBand); },
             [](TkvBandView& v, const TkvVariant& x) {
                 const QByteArray text = x.toText();
                 if (TkvBandViewLink* link = v.RunningLink()) {
                     TkvView* child = kv::CurPage() ? kv::CurPage()->FindObject(text) : nullptr;
                     link->SetChildBand(child ? child->OwnerBand : nullptr);
                 }
                 v.ChildBand = text;
             })
            .EnumItems = [](TkvObject& o) {
            return std::make_pair(BandNamesOnDesignerPage(&static_cast<TkvBandView&>(o),
                                                          [](int bt) { return bt == kvbt::Child; }),
                                  TkvVariant::Null());
        };
        b.Add(
             "Master", kvpk::Enum, [](TkvBandView& v) { return TkvVariant(v.Master); },
             [](TkvBandView& v, const TkvVariant& x) { v.Master = x.toText(); })
            .EnumItems = [](TkvObject& o) {
            return std::make_pair(BandNamesOnDesignerPage(&static_cast<TkvBandView&>(o), IsDataBand),
                                  TkvVariant::Null());
        };
        // Stretched is the base view's.
        for (const FlagName& f : kFlagNames) {
            if (f.bit == kvbf::Stretched) continue;
            const uint16_t bit = f.bit;
            b.Add(
                f.name, kvpk::Boolean,
                [bit](TkvBandView& v) {
                    TkvBandViewLink* link = v.RunningLink();
                    return TkvVariant(link && bit == kvbf::Breaked ? link->Breaked() : (v.Flags & bit) != 0);
                },
                [bit](TkvBandView& v, const TkvVariant& x) {
                    const bool on = x.toBool();
                    v.Flags = static_cast<uint16_t>((v.Flags & ~bit) | (on ? bit : 0));
                    TkvBandViewLink* link = v.RunningLink();
                    if (link && bit == kvbf::Breaked) link->SetBreaked(on);
                });
        }
        b.Add(
            "Condition", kvpk::Text, [](TkvBandView& v) { return TkvVariant(v.DataSource()); },
            [](TkvBandView& v, const TkvVariant& x) {
                v.SetDataSource(x.toText());
                if (TkvBandViewLink* link = v.RunningLink()) link->SetGroupCondition(v.DataSource());
            });
        kv::AddIntProperty(b, "Columns", kvpk::Integer, &TkvBandView::Columns);
        kv::AddIntProperty(b, "ColumnWidth", kvpk::PageUnits, &TkvBandView::ColumnWidth);
        kv::AddIntProperty(b, "ColumnGap", kvpk::PageUnits, &TkvBandView::ColumnGap);
        kv::AddIntProperty(b, "NewColumnAfter", kvpk::Integer, &TkvBandView::NewColumnAfter);
        // At design time the data source editor sets the field; a script changes the running band only.
        b.Add("DataSource", kvpk::Editor, {}, [](TkvBandView& v, const TkvVariant& x) {
             if (TkvBandViewLink* link = v.RunningLink()) link->ReplaceDataSource(x.toText());
         }).Editor = [](TkvObject& o) {
            const TkvEditorHooks& editors = kv::Library().Editors;
            return static_cast<TkvBandView&>(o).BandType() == kvbt::CrossData ? editors.CrossTabSource
                                                                              : editors.BandDataSource;
        };
        b.Add(
            "BandType", kvpk::Hidden, [](TkvBandView& v) { return TkvVariant(v.BandType()); },
            [](TkvBandView& v, const TkvVariant& x) { v.SetBandType(static_cast<int>(x.toInt())); });
        // Without a running band or a data source the answer is unknown: null, so that a script
        // looping until EOF does not run for ever.
        b.Add("EOF", kvpk::Hidden, [](TkvBandView& v) {
            TkvBandViewLink* link = v.RunningLink();
            return link && link->HasDataSource() ? TkvVariant(link->DataSourceEof()) : TkvVariant::Null();
        });
        return t;
    }();
    return table;
}

TkvBandViewLink* TkvBandView::RunningLink() const {
    return Building() ? Link() : nullptr;
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
        ListProperty("ChildBand");
        ListProperty("PrintChildIfInvisible");
    }
    for (const FlagName& f : kFlagNames)
        if (f.bit != kvbf::PrintChildIfInvisible && (offered & f.bit)) ListProperty(f.name);
    if (t == kvbt::CrossData) ListProperty("DataSource");
    if (IsDataBand(t))
        for (const char* n : {"Columns", "ColumnWidth", "ColumnGap", "DataSource"})
            ListProperty(n);
    if (t == kvbt::GroupHeader) {
        ListProperty("Condition");
        ListProperty("Master");
    }
    ListProperty("EOF");
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
    TkvCanvas& measure =
        kv::Library().BandMeasuringCanvas ? *kv::Library().BandMeasuringCanvas : kv::MeasuringCanvas();
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
    if (const TkvPage* page = kv::DesignerPage()) {
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
        const int printLeft = kv::DesignerPage() ? kv::DesignerPage()->PrintAreaLeft() : 0;
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
