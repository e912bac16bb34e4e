#include "core/views/view.h"
#include "core/views/export_target.h"

#include "base/coord.h"
#include "core/views/band.h"
#include "core/data/data_field.h"
#include "core/globals.h"
#include "core/report/page.h"
#include "core/report/report.h"
#include "base/text_util.h"
#include "base/display_format.h"
#include "base/expression_evaluator.h"
#include "core/views/stretcheable.h"
#include "core/views/view_factory.h"
#include "render/canvas.h"

#include <QLocale>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <map>

using kv::RoundEven;


namespace {

// Coordinates scaled from a file may be anything; keep drawing arithmetic inside int range.
int ClampInt(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int>(std::clamp(v, double(INT_MIN / 4), double(INT_MAX / 4)));
}

int RoundClamped(double v) { return ClampInt(std::nearbyint(v)); }

} // namespace

TkvView::TkvView() {
    const QChar sep = QLocale().decimalPoint().isEmpty() ? QChar('.') : QLocale().decimalPoint().at(0);
    DisplayFormat = 0x200 + static_cast<uint32_t>(sep.unicode() & 0xFF);
}

TkvView::~TkvView() {
    // The library's current view is borrowed: a view that goes away must not stay behind as it.
    if (kv::CurView() == this) kv::CurView() = nullptr;
}

// ---------------------------------------------------------------- properties

const TkvPropertyTable& TkvView::ClassProperties() {
    static const TkvPropertyTable table = [] {
        TkvPropertyTable t;
        TkvPropertyBuilder<TkvView> b(t);
        b.Add(
            "Name", kvpk::Text | kvpk::SingleOnly, [](TkvView& v) { return TkvVariant(v.Name); },
            [](TkvView& v, const TkvVariant& x) { v.Name = x.toText(); });
        kv::AddIntProperty(b, "Left", kvpk::PageUnits, &TkvView::Left);
        kv::AddIntProperty(b, "Top", kvpk::PageUnits, &TkvView::Top);
        kv::AddIntProperty(b, "Width", kvpk::PageUnits, &TkvView::Width);
        kv::AddIntProperty(b, "Height", kvpk::PageUnits, &TkvView::Height);
        b.Add(
            "Flags", kvpk::Hidden, [](TkvView& v) { return TkvVariant(int(v.Flags)); },
            [](TkvView& v, const TkvVariant& x) { v.Flags = static_cast<uint16_t>(x.toInt() & 0xFFFF); });
        b.Add(
            "FrameTyp", kvpk::Integer, [](TkvView& v) { return TkvVariant(int(v.FrameTyp)); },
            [](TkvView& v, const TkvVariant& x) { v.FrameTyp = static_cast<uint16_t>(x.toInt()); });
        b.Add(
            "FrameWidth", kvpk::PageUnits | kvpk::Real,
            [](TkvView& v) { return TkvVariant(double(v.FrameWidth)); },
            [](TkvView& v, const TkvVariant& x) { v.FrameWidth = static_cast<float>(x.toDouble()); });
        b.Add(
            "FrameColor", kvpk::Color, [](TkvView& v) { return TkvVariant(int64_t(int32_t(v.FrameColor))); },
            [](TkvView& v, const TkvVariant& x) { v.FrameColor = static_cast<uint32_t>(x.toInt()); });
        kv::SetEnumItems(
            b.Add(
                "FrameStyle", kvpk::Enum, [](TkvView& v) { return TkvVariant(int(v.FrameStyle)); },
                [](TkvView& v, const TkvVariant& x) { v.FrameStyle = static_cast<uint16_t>(x.toInt()); }),
            "psSolid;psDash;psDot;psDashDot;psDashDotDot;psDouble", QList<TkvVariant>{0, 1, 2, 3, 4, 5});
        b.Add(
            "FillColor", kvpk::Color, [](TkvView& v) { return TkvVariant(int64_t(int32_t(v.FillColor))); },
            [](TkvView& v, const TkvVariant& x) { v.FillColor = static_cast<uint32_t>(x.toInt()); });
        b.Add(
             "Tag", kvpk::Editor | kvpk::SingleOnly, [](TkvView& v) { return TkvVariant(v.Tag); },
             [](TkvView& v, const TkvVariant& x) { v.Tag = x.toText(); })
            .Editor = kv::EditorOf(&TkvEditorHooks::Tag);
        kv::SetEnumItems(
            b.Add(
                "BandAlign", kvpk::Enum, [](TkvView& v) { return TkvVariant(int(v.BandAlign)); },
                [](TkvView& v, const TkvVariant& x) { v.BandAlign = static_cast<uint8_t>(x.toInt()); }),
            "baNone;baLeft;baRight;baCenter;baWidth;baBottom;baTop;baRest",
            QList<TkvVariant>{0, 1, 2, 3, 4, 5, 6, 7});
        b.Add(
            "Visible", kvpk::Boolean, [](TkvView& v) { return TkvVariant(v.Visible != 0); },
            [](TkvView& v, const TkvVariant& x) { v.Visible = x.toBool() ? 0xFFFF : 0; });
        b.Add(
             "Memo", kvpk::Editor | kvpk::SingleOnly,
             [](TkvView& v) { return TkvVariant(kv::JoinLines(v.Memo)); },
             [](TkvView& v, const TkvVariant& x) { v.Memo = kv::SplitLines(x.toText()); })
            .Editor = kv::EditorOf(&TkvEditorHooks::Memo);
        b.Add("Memo.Count", kvpk::Hidden, [](TkvView& v) { return TkvVariant(int64_t(v.Memo.size())); });
        b.AddEditor("Restrictions", kvpk::Editor, &TkvEditorHooks::Restrictions);
        // Not listed by the view itself; the classes that show them list them with these kinds.
        b.Add(
            "DataField", kvpk::Text | kvpk::Editor | kvpk::SingleOnly,
            [](TkvView& v) { return TkvVariant(v.Memo.isEmpty() ? QByteArray() : v.Memo.first()); },
            [](TkvView& v, const TkvVariant& x) { v.Memo = kv::SplitLines(x.toText()); });
        kv::AddIntProperty(b, "GapX", kvpk::Integer, &TkvView::GapX);
        kv::AddIntProperty(b, "GapY", kvpk::Integer, &TkvView::GapY);
        kv::AddFlagProperty(b, "Stretched", kvpk::Boolean, &TkvView::Flags, kvflag::Stretched);
        return t;
    }();
    return table;
}

void TkvView::CallMethod(const QByteArray& name, const TkvVariant& a1, const TkvVariant& a2,
                         const TkvVariant& a3, TkvVariant& result) {
    TkvObject::CallMethod(name, a1, a2, a3, result);
    if (result.isEmpty()) CallListMethod(Memo, name, "MEMO", a1, a2, a3, result);
    if (name == "HIDE") SetProperty("Visible", false);
    else if (name == "SHOW") SetProperty("Visible", true);
}

void TkvView::RegisterProperties() {
    ClearProperties();
    for (const char* n : {"Name", "Left", "Top", "Width", "Height", "Flags"})
        ListProperty(n);
    const QByteArray cls = ClassName();
    if (cls != "TkvBandView" && cls != "TkvSubReportView")
        for (const char* n :
             {"FrameTyp", "FrameWidth", "FrameColor", "FrameStyle", "FillColor", "Tag", "BandAlign"})
            ListProperty(n);
    for (const char* n : {"Visible", "Memo", "Memo.Count", "Restrictions"})
        ListProperty(n);
}

// ---------------------------------------------------------------- record

int32_t TkvView::EncodeFrameWidth(float width) {
    const double w = width;
    if (!std::isfinite(w)) return 1;
    if (w == std::floor(w) && w <= 10 && w >= INT_MIN) return static_cast<int32_t>(w);
    // Thousandths; a width so thin that its thousandths would be read back as whole units is
    // stored as the smallest thousandth above that range so it never reads back larger.
    double t = std::nearbyint(w * 1000.0);
    t = std::clamp(t, double(INT_MIN), double(INT_MAX));
    if (t >= 0 && t <= 10) t = w > 0 ? 11 : 0;
    return static_cast<int32_t>(t);
}

float TkvView::DecodeFrameWidth(int32_t stored) {
    int64_t t = stored;
    if (t <= 10) t *= 1000;
    return static_cast<float>(double(t) / 1000.0);
}

void TkvView::LoadFromStream(TkvStream& s) {
    const uint8_t version = kv::StreamVersion;
    if (version > 23 || (version == 23 && Prepared == 0)) Name = kv::ReadStreamString(s);
    else CreateUniqueName();
    if (version >= 24) {
        RecordVersion = s.ReadByte("the record version");
        ClassRecordVersion = s.ReadByte("the class record version");
    }
    Left = s.ReadInt("Left");
    Top = s.ReadInt("Top");
    Width = s.ReadInt("Width");
    Height = s.ReadInt("Height");
    Flags = s.ReadWord("Flags");
    FrameTyp = s.ReadWord("FrameTyp");
    FrameWidth = DecodeFrameWidth(s.ReadInt("FrameWidth"));
    FrameColor = s.ReadUInt("FrameColor");
    FrameStyle = s.ReadWord("FrameStyle");
    FillColor = s.ReadUInt("FillColor");
    if (Prepared == 0) {
        DisplayFormat = s.ReadUInt("DisplayFormat");
        DisplayFormatText = kv::ReadStreamString(s);
    }
    kv::ReadStreamMemo(s, Memo);
    if (version >= 23 && Prepared == 0) {
        kv::ReadStreamMemo(s, ScriptLines);
        Visible = s.ReadWord("Visible");
    }
    if (version >= 24) {
        Restrictions = s.ReadWord("Restrictions");
        Tag = kv::ReadStreamString(s);
        GapX = s.ReadInt("GapX");
        GapY = s.ReadInt("GapY");
    }
    if (RecordVersion > 1) BandAlign = s.ReadByte("BandAlign");
}

void TkvView::SaveToStream(TkvStream& s) {
    RecordVersion = 2;
    kv::WriteStreamString(s, Name);
    s.WriteByte(RecordVersion);
    s.WriteByte(ClassRecordVersion);
    s.WriteInt(Left);
    s.WriteInt(Top);
    s.WriteInt(Width);
    s.WriteInt(Height);
    s.WriteWord(Flags);
    s.WriteWord(FrameTyp);
    s.WriteInt(EncodeFrameWidth(FrameWidth));
    s.WriteUInt(FrameColor);
    s.WriteWord(FrameStyle);
    s.WriteUInt(FillColor);
    if (Prepared == 0) {
        s.WriteUInt(DisplayFormat);
        kv::WriteStreamString(s, DisplayFormatText);
    }
    kv::WriteStreamMemo(s, Prepared ? ResultText : Memo);
    if (Prepared == 0) {
        kv::WriteStreamMemo(s, ScriptLines);
        s.WriteWord(Visible);
    }
    s.WriteWord(Restrictions);
    kv::WriteStreamString(s, Tag);
    s.WriteInt(GapX);
    s.WriteInt(GapY);
    s.WriteByte(BandAlign);
}

void TkvView::BeforePrintStep() {
    if (BoundDataSet)
        if (TkvDataField* field = BoundDataSet->FieldByName(BoundFieldName)) LoadFromField(field);
    if (kv::CurReport() && kv::CurReport()->OnBeforePrint) kv::CurReport()->OnBeforePrint(ResultText, this);
}

void TkvView::RunScript() {
    if (ScriptLines.isEmpty()) return;
    if (TkvExpressionEvaluator* evaluator = kv::CurEvaluator()) evaluator->ExecuteScript(ScriptLines, Name);
}

void TkvView::PrintToStream(TkvStream& s) {
    AttachCanvas(Canvas);
    ResultText = Memo;
    BeforePrintStep();
    // A text whose height was just calculated ran its script there.
    const auto* stretched = dynamic_cast<const TkvStretcheable*>(this);
    if (!stretched || stretched->PrintPhase != kvpp::HeightCalculated) RunScript();
    if (Visible == 0) return;
    const QByteArray keptTag = Tag;
    if (Tag.contains('[')) ExpandTagBrackets();
    if (kv::CurBand()) {
        if (BandAlign == 5)
            Top = kv::CurBand()->BandTop() + kv::CurBand()->BandHeight() - Height;
        else if (BandAlign == 6)
            Top = kv::CurBand()->BandTop();
        else if (BandAlign == 4) {
            const int t = kv::CurBand()->BandType();
            if (t == 18 || t == 19 || t == 20) Width = kv::CurBand()->BandWidth();
        }
    }
    kv::WriteObjectEntry(s, *this);
    Tag = keptTag;
}

QByteArray TkvView::ExpandExpressions(const QByteArray& text) {
    TkvExpressionEvaluator* e = kv::CurEvaluator();
    if (!e || !text.contains('[')) return text;
    return kv::ExpandExpressions(text, DisplayFormat, DisplayFormatText, Flags & 0x0040, *e);
}

void TkvView::ExpandTagBrackets() { Tag = ExpandExpressions(Tag); }

void TkvView::ExportContents(TkvExportTarget& target) {
    target.ExportObject(Left, Top, *this);
}

void TkvView::AssignView(TkvView& dest, TkvView& source) {
    dest.Name = source.Name;
    dest.ObjectType = source.ObjectType;
    dest.Selected = source.Selected;
    kv::StreamVersion = kv::CurrentStreamVersion;
    dest.Prepared = 0;
    source.Prepared = 0;
    TkvMemoryStream m;
    source.SaveToStream(m);
    m.Seek(0);
    dest.LoadFromStream(m);
}

// ---------------------------------------------------------------- names

void TkvView::CreateUniqueName() {
    Name.clear();
    for (int n = 1; n <= 10000; ++n) {
        const QByteArray candidate = NamePrefix + QByteArray::number(n);
        const bool taken = (kv::CurReport() && kv::CurReport()->FindViewByName(candidate)) ||
                           (IsDialogControl() && kv::Library().DialogFormHasComponent &&
                            kv::Library().DialogFormHasComponent(candidate));
        if (!taken) {
            SetProperty("Name", candidate);
            return;
        }
    }
}

void TkvView::SetBounds(int left, int top, int width, int height) {
    Left = left;
    Top = top;
    Width = width;
    Height = height;
}

// ---------------------------------------------------------------- drawing

void TkvView::ScaleForDrawing() {
    SavedLeft = Left;
    SavedTop = Top;
    SavedWidth = Width;
    SavedHeight = Height;
    SavedFrameWidth = FrameWidth;
    SavedGapX = GapX;
    SavedGapY = GapY;
    if (kv::DocumentMode() == 0) {
        ZoomX = ZoomY = 1.0;
        OriginX = OriginY = 0;
    }
    Left = RoundClamped(Left * ZoomX) + OriginX;
    Top = RoundClamped(Top * ZoomY) + OriginY;
    Width = RoundClamped(Width * ZoomX);
    Height = RoundClamped(Height * ZoomY);
    const double w = SavedFrameWidth;
    const int hL = RoundClamped((w * ZoomX - 1) / 2);
    const int hR = RoundClamped(w * ZoomX / 2);
    const int hT = RoundClamped((w * ZoomY - 1) / 2);
    const int hB = RoundClamped(w * ZoomY / 2);
    FrameWidth = static_cast<float>(w * ZoomX);
    GapX = RoundClamped(SavedGapX * ZoomX) + hR;
    GapY = RoundClamped(SavedGapY * ZoomY) + hB / 2;
    const QPoint end = ScaledBottomRight();
    int right = end.x(), bottom = end.y();
    int left = Left, top = Top;
    if (FrameTyp & 1) right -= hR;
    if (FrameTyp & 2) bottom -= hB;
    if (FrameTyp & 4) left += hL;
    if (FrameTyp & 8) top += hT;
    InnerRect = {left, top, right + 1, bottom + 1};
}

QPoint TkvView::ScaledBottomRight() const {
    return {RoundClamped((double(SavedLeft) + SavedWidth) * ZoomX + OriginX),
            RoundClamped((double(SavedTop) + SavedHeight) * ZoomY + OriginY)};
}

void TkvView::RestoreAfterDrawing() {
    Left = SavedLeft;
    Top = SavedTop;
    Width = SavedWidth;
    Height = SavedHeight;
    FrameWidth = SavedFrameWidth;
    GapX = SavedGapX;
    GapY = SavedGapY;
}

void TkvView::DrawBackground() {
    if (kv::FirstPassActive() || !Canvas) return;
    const uint32_t color = FillColor == 0x1FFFFFFF ? 0xFFFFFF : FillColor;
    Canvas->SetBkOpaque(true);
    Canvas->SetBrush({color, TkvBrushStyle::Solid});
    if (kv::DocumentMode() == 1 && FillColor == 0x1FFFFFFF) return;
    if (kv::DocumentMode() == 0) {
        Canvas->FillRect(InnerRect.toQRect());
    } else {
        const QPoint end = ScaledBottomRight();
        Canvas->FillRect(QRect(Left, Top, end.x() - Left, end.y() - Top));
    }
}

namespace {

// A pen width from a file may be huge; no frame needs more than this many device pixels.
constexpr int kMaxPenWidth = 1000;

TkvPenStyle PenStyleOf(uint16_t frameStyle) {
    return frameStyle <= 4 ? static_cast<TkvPenStyle>(frameStyle) : TkvPenStyle::Solid;
}

} // namespace

void TkvView::DrawFrame() {
    if (kv::FirstPassActive() || !Canvas) return;
    if (kv::DocumentMode() == 1 && (FrameTyp & 0x0F) == 0) return;
    TkvBrush brush = Canvas->Brush();
    brush.style = TkvBrushStyle::Solid;
    Canvas->SetBrush(brush);
    TkvPen pen = Canvas->Pen();
    pen.style = TkvPenStyle::Solid;
    if (kv::DocumentMode() == 0 && Width > 0 && Height > 0) {
        pen.color = 0;
        pen.width = 1;
        Canvas->SetPen(pen);
        const int L = Left, T = Top, W = Width, H = Height;
        const QPoint marks[8][2] = {
            {{L, T + 3}, {L, T}},         {{L, T}, {L + 4, T}},
            {{L, T + H - 3}, {L, T + H}}, {{L, T + H}, {L + 4, T + H}},
            {{L + W - 3, T}, {L + W, T}}, {{L + W, T}, {L + W, T + 4}},
            {{L + W - 3, T + H}, {L + W, T + H}}, {{L + W, T + H}, {L + W, T + H - 4}},
        };
        for (const auto& m : marks) Canvas->DrawLine(m[0], m[1]);
    }
    pen.color = FrameColor;
    pen.width = std::clamp(RoundClamped(FrameWidth), 0, kMaxPenWidth);
    if (FrameStyle != 5) pen.style = PenStyleOf(FrameStyle);
    Canvas->SetPen(pen);
    const QPoint end = ScaledBottomRight();
    const int r = end.x(), b = end.y();
    if (FrameTyp & 1) DrawFrameLine(r, Top, r, b);
    if (FrameTyp & 4) DrawFrameLine(Left, Top, Left, b);
    if (FrameTyp & 2) DrawFrameLine(Left, b, r, b);
    if (FrameTyp & 8) DrawFrameLine(Left, Top, r, Top);
}

void TkvView::DrawFrameLine(int x1, int y1, int x2, int y2) {
    if (!Canvas) return;
    TkvPen pen = Canvas->Pen();
    const bool vertical = x1 == x2;
    if (pen.style != TkvPenStyle::Solid) {
        const int n = std::clamp(pen.width, 0, kMaxPenWidth);
        // No colour for the gaps draws them white, as the background of a transparent object.
        Canvas->SetBrush({FillColor == 0x1FFFFFFF ? 0xFFFFFFu : FillColor, TkvBrushStyle::Solid});
        pen.width = 1;
        Canvas->SetPen(pen);
        const int h = n / 2;
        for (int i = 0; i < n; ++i) {
            if (vertical) Canvas->DrawLine({x1 + i - h, y1}, {x1 + i - h, y2});
            else Canvas->DrawLine({x1, y1 + i - h}, {x2, y1 + i - h});
        }
        pen.width = n;
        Canvas->SetPen(pen);
    } else if (FrameStyle != 5) {
        Canvas->DrawLine({x1, y1}, {x2, y2});
    } else {
        const int d = std::clamp(RoundClamped(FrameWidth), 0, kMaxPenWidth);
        if (vertical) Canvas->DrawLine({x1 - d, y1}, {x2 - d, y2});
        else Canvas->DrawLine({x1, y1 - d}, {x2, y2 - d});
        pen.color = FillColor == 0x1FFFFFFF ? 0xFFFFFFu : FillColor;
        Canvas->SetPen(pen);
        Canvas->DrawLine({x1, y1}, {x2, y2});
        pen.color = FrameColor;
        Canvas->SetPen(pen);
        if (vertical) Canvas->DrawLine({x1 + d, y1}, {x2 + d, y2});
        else Canvas->DrawLine({x1, y1 + d}, {x2, y2 + d});
    }
}

void TkvView::GetClipRegion(bool widen, QRegion& result) {
    // Edges and frame widths come from files: 64-bit arithmetic, clamped back at the end.
    const double w = FrameWidth;
    int64_t outer, inner;
    if (FrameStyle == 5) {
        outer = kv::RoundTo64(w * 1.5);
        inner = kv::RoundTo64(w + (w - 1) / 2);
    } else {
        outer = kv::RoundTo64(w / 2);
        inner = kv::RoundTo64((w - 1) / 2);
    }
    int64_t left = (FrameTyp & 4) ? int64_t(Left) - outer : Left;
    int64_t top = (FrameTyp & 8) ? int64_t(Top) - outer : Top;
    int64_t right = int64_t(Left) + Width + 1 + ((FrameTyp & 1) ? inner : 0);
    int64_t bottom = int64_t(Top) + Height + 1 + ((FrameTyp & 2) ? inner : 0);
    if (widen) {
        left -= 10;
        top -= 10;
        right += 10;
        bottom += 10;
    }
    result = QRegion(
        TkvRect{kv::ClampCoord(left), kv::ClampCoord(top), kv::ClampCoord(right), kv::ClampCoord(bottom)}
            .toQRect());
}

// ---------------------------------------------------------------- band alignment

void TkvView::AttachCanvas(TkvCanvas* canvas) {
    Canvas = canvas;
    kv::CurView() = this;
    ApplyBandAlign();
}

TkvView* TkvView::FindBandViewAt() {
    TkvPage* page = kv::DesignerPage();
    if (!page) return nullptr;
    TkvView* found = nullptr;
    for (const auto& v : page->Objects) {
        if (v->ObjectType != kvvt::Band) continue;
        if (v->Left <= Left && Left <= int64_t(v->Left) + v->Width && v->Top <= Top &&
            Top <= int64_t(v->Top) + v->Height)
            found = v.get();
    }
    return found;
}

void TkvView::ApplyBandAlign() {
    if (!kv::CurPage() || BandAlign == 0) return;
    const bool designing = kv::DocumentMode() == 0;
    TkvPage* page = designing ? kv::DesignerPage() : kv::CurPage();
    if (!page) return;
    const int L = page->PrintAreaLeft();
    const int R = page->PrintAreaRight();

    TkvView* leftN = nullptr;
    TkvView* rightN = nullptr;
    if (BandAlign == 1 || BandAlign == 2 || BandAlign == 7) {
        // Neighbours on the same line, keyed by their Left as four-digit text and sorted as text
        // (so five-digit and negative coordinates sort by their text, as stored reports expect).
        std::multimap<QByteArray, TkvView*> lefts, rights;
        const bool building = !designing && kv::CurBand() && kv::CurPage();
        for (const auto& q : page->Objects) {
            TkvView* Q = q.get();
            if (Q == this || Q->ObjectType == kvvt::Band) continue;
            int top = Top;
            const bool outsideBands = Q->OwnerBand && Q->OwnerBand->BandType() == 22;
            if (building && !outsideBands) top -= kv::CurBand()->BandTop();
            bool sameLine = Q->Top == top;
            if (building && !sameLine && Q->Top == Top && (kv::CurBand()->BandFlags() & 1)) sameLine = true;
            if (!sameLine) continue;
            char buf[16];
            std::snprintf(buf, sizeof buf, "%4.4d", Q->Left);
            const QByteArray key(buf);
            if (Q->Left < Left && Q->BandAlign == 1) lefts.emplace(key, Q);
            if (Q->Left > Left && Q->BandAlign == 2) rights.emplace(key, Q);
        }
        if (!lefts.empty()) leftN = std::prev(lefts.end())->second;
        if (!rights.empty()) rightN = rights.begin()->second;
    }

    switch (BandAlign) {
    case 1:
        Left = leftN ? kv::ClampCoord(int64_t(leftN->Left) + leftN->Width) : L;
        break;
    case 2:
        Left = kv::ClampCoord(rightN ? int64_t(rightN->Left) - Width - 1 : int64_t(R) - Width);
        break;
    case 3:
        Left = kv::ClampCoord(L + (int64_t(R) - L - Width) / 2);
        break;
    case 4:
        if (designing) {
            TkvView* b = FindBandViewAt();
            const int t = b ? b->Property("BANDTYPE").isEmpty() ? -1 : int(b->Property("BANDTYPE").toInt()) : -1;
            if (b && (t == 18 || t == 19 || t == 20)) {
                Left = b->Left;
                Width = b->Width;
            } else {
                Left = L;
                Width = kv::ClampCoord(int64_t(R) - L);
            }
        } else if (!kv::CurBand()) {
            Left = L;
            Width = kv::ClampCoord(int64_t(R) - L - 1);
        }
        break;
    case 5:
        if (designing)
            if (TkvView* b = FindBandViewAt()) Top = kv::ClampCoord(int64_t(b->Top) + b->Height - Height);
        break;
    case 6:
        if (designing)
            if (TkvView* b = FindBandViewAt()) Top = b->Top;
        break;
    case 7:
        Left = leftN ? kv::ClampCoord(int64_t(leftN->Left) + Width) : L;
        Width = kv::ClampCoord(rightN ? int64_t(rightN->Left) - Left : int64_t(R) - Left);
        break;
    default:
        break;
    }
}
