#include "core/views/memo_view.h"

#include "core/data/data_field.h"
#include "core/globals.h"
#include "base/stream_text.h"

#include <algorithm>
#include <climits>
#include <cmath>


namespace {

// Boolean properties that stand for one flag bit each.
struct FlagProperty {
    const char* name;
    uint16_t bit;
};

constexpr FlagProperty kFlagProperties[] = {
    {"WordWrap", kvmf::WordWrap},     {"WordBreak", kvmf::WordBreak},   {"AutoWidth", kvmf::AutoWidth},
    {"TextOnly", kvmf::TextOnly},     {"Suppress", kvmf::Suppress},     {"HideZeros", kvmf::HideZeros},
    {"Underlines", kvmf::Underlines}, {"RTLReading", kvmf::RtlReading},
};

// Heights computed from stored values may be anything; keep results inside int range.
int ClampToInt(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int>(std::clamp(v, double(INT_MIN), double(INT_MAX)));
}

int RoundToInt(double v) {
    return ClampToInt(std::nearbyint(v));
}

} // namespace

TkvMemoView::TkvMemoView() {
    ObjectType = kvvt::Text;
    NamePrefix = "Memo";
    Flags = kvflag::Stretched | kvmf::WordWrap;
}

// ---------------------------------------------------------------- properties

const TkvPropertyTable& TkvMemoView::ClassProperties() {
    static const TkvPropertyTable table = [] {
        TkvPropertyTable t(&TkvStretcheable::ClassProperties());
        TkvPropertyBuilder<TkvMemoView> b(t);
        AddFontProperties(b, &TkvMemoView::Font);
        b.AddEditor("Font", kvpk::Editor, &TkvEditorHooks::Font);
        kv::AddIntProperty(b, "Alignment", kvpk::Hidden, &TkvMemoView::Alignment);
        b.AddEditor("DisplayFormat", kvpk::Editor, &TkvEditorHooks::DisplayFormat);
        b.AddEditor("Highlight", kvpk::Editor, &TkvEditorHooks::Highlight);
        kv::AddIntProperty(b, "LineSpacing", kvpk::Integer, &TkvMemoView::LineSpacing);
        kv::AddIntProperty(b, "CharSpacing", kvpk::Integer, &TkvMemoView::CharSpacing);
        b.Add("Lines.Count", kvpk::Hidden, [](TkvMemoView& v) { return TkvVariant(int64_t(v.Memo.size())); });
        for (const FlagProperty& f : kFlagProperties)
            kv::AddFlagProperty(b, f.name, kvpk::Boolean, &TkvMemoView::Flags, f.bit);
        return t;
    }();
    return table;
}

void TkvMemoView::CallMethod(const QByteArray& name, const TkvVariant& a1, const TkvVariant& a2,
                             const TkvVariant& a3, TkvVariant& result) {
    TkvStretcheable::CallMethod(name, a1, a2, a3, result);
    if (result.isEmpty()) CallListMethod(Memo, name, "LINES", a1, a2, a3, result);
}

void TkvMemoView::RegisterProperties() {
    TkvStretcheable::RegisterProperties();
    for (const char* n :
         {"Font.Name",     "Font.Size",   "Font.Style",  "Font.Color",  "Font",     "Alignment",
          "DisplayFormat", "Highlight",   "LineSpacing", "CharSpacing", "GapX",     "GapY",
          "Stretched",     "WordWrap",    "WordBreak",   "AutoWidth",   "TextOnly", "Suppress",
          "HideZeros",     "Lines.Count", "Underlines",  "RTLReading"})
        ListProperty(n);
}

// ---------------------------------------------------------------- record

void TkvMemoView::LoadFromStream(TkvStream& s) {
    TkvStretcheable::LoadFromStream(s);
    const uint8_t version = kv::StreamVersion;
    Font.Name = kv::ReadStreamString(s);
    Font.Size = s.ReadInt("the font size");
    Font.Style = s.ReadWord("the font style");
    Font.Color = s.ReadUInt("the font colour");
    Alignment = s.ReadInt("the text alignment");
    const uint16_t charset = s.ReadWord("the font character set");
    // Records before version 23 carry a character set word that means nothing.
    Font.Charset = version >= 23 ? static_cast<uint8_t>(charset & 0xFF) : kv::DefaultCharset;
    if (Prepared == 0) {
        HighlightFontStyle = s.ReadWord("the highlight font style");
        HighlightFontColor = s.ReadUInt("the highlight font colour");
        HighlightFillColor = s.ReadUInt("the highlight fill colour");
        HighlightCondition = kv::ReadStreamString(s);
    }
    if (version >= 24) {
        LineSpacing = s.ReadInt("the line spacing");
        CharSpacing = s.ReadInt("the character spacing");
    }
    // Version 21 records stored no word wrap bit and always wrapped; records of other versions
    // carry the bit as meant.
    if (version == 21) Flags |= kvmf::WordWrap;
}

void TkvMemoView::SaveToStream(TkvStream& s) {
    TkvStretcheable::SaveToStream(s);
    kv::WriteStreamString(s, Font.Name);
    s.WriteInt(Font.Size);
    s.WriteWord(Font.Style);
    s.WriteUInt(Font.Color);
    s.WriteInt(Alignment);
    s.WriteWord(Font.Charset);
    if (Prepared == 0) {
        s.WriteWord(HighlightFontStyle);
        s.WriteUInt(HighlightFontColor);
        s.WriteUInt(HighlightFillColor);
        kv::WriteStreamString(s, HighlightCondition);
    }
    s.WriteInt(LineSpacing);
    s.WriteInt(CharSpacing);
}

// ---------------------------------------------------------------- drawing and heights

// Draw and CalcHeight: memo_view_draw.cpp, through the text layout module.

void TkvMemoView::ShowEditor() {
    if (const TkvEditorProc& editor = kv::Library().Editors.Memo) editor(this);
}

int TkvMemoView::FontPixelHeight() const {
    return RoundToInt(double(Font.Size) * 96.0 / 72.0);
}

int TkvMemoView::MinHeight() {
    const double h = FontPixelHeight();
    LineHeight = ClampToInt(double(LineSpacing) + h);
    return ClampToInt(std::nearbyint(2.0 * FrameWidth) + LineSpacing + h + 2.0 * GapY);
}

int TkvMemoView::RemainingHeight() {
    const int64_t h = FontPixelHeight();
    LineHeight = ClampToInt(double(LineSpacing) + double(h));
    const int64_t frame = RoundToInt(2.0 * FrameWidth);
    const int64_t edges = 2 * int64_t(GapY) + frame;
    // A line step of zero or less holds no lines at all: nothing is left over beyond frame and gaps.
    const int64_t rest = LineHeight > 0 ? (int64_t(Height) - edges) % LineHeight : 0;
    return ClampToInt(double(edges + rest));
}

void TkvMemoView::LoadFromField(TkvDataField* field) {
    if (!field || !field->IsBlob()) return;
    TkvMemoryStream content;
    if (!field->IsNull()) field->BlobToStream(content);
    ResultText = kv::SplitLines(content.Data());
}
