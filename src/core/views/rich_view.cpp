#include "core/views/rich_view.h"

#include "core/views/view_factory.h"
#include "render/canvas.h"

#include <climits>

QByteArray TkvRichView::ScratchRichText;
std::function<void(TkvRichView&, TkvCanvas&, const TkvRect&)> TkvRichView::RichTextRenderer;
std::function<bool(TkvRichView&)> TkvRichView::RichTextEditor;
TkvEditorProc TkvRichView::FieldChooser;
std::function<QByteArray(TkvRichView&)> TkvRichView::PrintTextPreparer;
std::function<int(TkvRichView&)> TkvRichView::HeightCalculator, TkvRichView::RemainingHeightCalculator;

TkvRichView::TkvRichView() {
    NamePrefix = "Rich";
}

void TkvRichView::SetProperty(const QByteArray& rawName, const TkvVariant& value) {
    TkvStretcheable::SetProperty(rawName, value);
    if (rawName.toUpper() == "TEXTONLY")
        Flags = static_cast<uint16_t>((Flags & ~kvflag::TextOnly) | (value.toBool() ? kvflag::TextOnly : 0));
}

void TkvRichView::GetProperty(const QByteArray& rawName, TkvVariant& result) {
    TkvStretcheable::GetProperty(rawName, result);
    if (result.isEmpty() && rawName.toUpper() == "TEXTONLY") result = (Flags & kvflag::TextOnly) != 0;
}

void TkvRichView::RegisterProperties() {
    TkvStretcheable::RegisterProperties();
    AddProperty("GapX", kvpk::Integer);
    AddProperty("GapY", kvpk::Integer);
    AddProperty("Lines", kvpk::Editor | kvpk::SingleOnly,
                [](TkvObject* o) { static_cast<TkvRichView*>(o)->ShowEditor(); });
    AddProperty("Stretched", kvpk::Boolean);
    AddProperty("TextOnly", kvpk::Boolean);
    AddProperty("DataField", kvpk::Editor | kvpk::SingleOnly | kvpk::Text, FieldChooser);
}

int TkvRichView::CalcHeight() {
    NextChar = 0;
    PrintedChars = 0;
    if (HeightCalculator) return HeightCalculator(*this);
    if (Visible == 0) return 0;
    FromChar = 0;
    return 2 * GapY + 8;
}

int TkvRichView::RemainingHeight() {
    return RemainingHeightCalculator ? RemainingHeightCalculator(*this) : 0;
}

void TkvRichView::ShowEditor() {
    if (RichTextEditor) RichTextEditor(*this);
}

void TkvRichView::Draw(TkvCanvas& canvas) {
    AttachCanvas(&canvas);
    ScaleForDrawing();
    DrawBackground();
    const TkvRect text{InnerRect.Left + GapX, InnerRect.Top + GapY, InnerRect.Right - GapX,
                       InnerRect.Bottom - GapY};
    FromChar = 0;
    if (Width > 0 && Height > 0 && RichTextRenderer) RichTextRenderer(*this, canvas, text);
    DrawFrame();
    RestoreAfterDrawing();
}

void TkvRichView::PrintToStream(TkvStream& s) {
    AttachCanvas(Canvas);
    ResultText = Memo;
    if (Visible == 0) return;
    const QByteArray keptTag = Tag;
    if (Tag.contains('[') && TagExpander) TagExpander(*this);
    ScratchRichText = PrintTextPreparer ? PrintTextPreparer(*this) : RichText;
    struct Restore {
        TkvRichView& v;
        QByteArray tag;
        ~Restore() {
            v.SavingFromScratch = 0;
            v.Tag = tag;
        }
    } restore{*this, keptTag};
    SavingFromScratch = 1;
    kv::WriteObjectEntry(s, *this);
}

// Tail: HasText (u8), EndPos (i32, absolute position just after the record), then the RTF bytes
// when HasText is 1. EndPos is authoritative for where the record ends.
void TkvRichView::LoadFromStream(TkvStream& s) {
    TkvStretcheable::LoadFromStream(s);
    const uint8_t hasText = s.ReadByte("the rich text flag");
    const int32_t endPos = s.ReadInt("the rich text end position");
    const qint64 pos = s.Position();
    // An end before the text would move the reader backwards (and re-read objects for ever).
    if (endPos < pos || endPos > s.Size()) throw TkvStreamError(pos, "the rich text end position");
    if (hasText == 1)
        RichText = s.ReadBytes(endPos - pos, "the rich text");
    else
        RichText.clear();
    s.Seek(endPos);
}

void TkvRichView::SaveToStream(TkvStream& s) {
    TkvStretcheable::SaveToStream(s);
    const QByteArray& text = SavingFromScratch ? ScratchRichText : RichText;
    s.WriteByte(text.isEmpty() ? 0 : 1);
    const qint64 p = s.Position();
    s.WriteInt(0);
    s.WriteBytes(text);
    const qint64 e = s.Position();
    if (e > INT32_MAX) throw TkvStreamError(e, "a rich text end position beyond 2 GB");
    s.Seek(p);
    s.WriteInt(static_cast<int32_t>(e));
    s.Seek(e);
}
