#include "core/views/rich_view.h"

#include "core/library_context.h"

#include "base/codepage.h"
#include "base/coord.h"
#include "core/data/data_field.h"
#include "core/globals.h"
#include "core/report/report.h"
#include "core/views/view_factory.h"
#include "core/views/view_font.h"
#include "render/canvas.h"
#include "richtext/rich_text.h"

#include <algorithm>
#include <climits>
#include <cmath>


TkvRichView::TkvRichView() {
    NamePrefix = "Rich";
}

TkvRichView::~TkvRichView() = default;

int TkvRichView::ToTwips(int64_t units) {
    return kv::ClampCoord(kv::RoundTo64(double(units) * 1440.0 / 96.0));
}

const TkvPropertyTable& TkvRichView::ClassProperties() {
    static const TkvPropertyTable table = [] {
        TkvPropertyTable t(&TkvStretcheable::ClassProperties());
        TkvPropertyBuilder<TkvRichView> b(t);
        b.Add("Lines", kvpk::Editor | kvpk::SingleOnly).Editor = [](TkvObject&) -> TkvEditorProc {
            return [](TkvObject* o) { static_cast<TkvRichView*>(o)->ShowEditor(); };
        };
        kv::AddFlagProperty(b, "TextOnly", kvpk::Boolean, &TkvRichView::Flags, kvflag::TextOnly);
        b.Refine("DataField", kvpk::Editor | kvpk::SingleOnly | kvpk::Text, &TkvEditorHooks::RichField);
        return t;
    }();
    return table;
}

void TkvRichView::RegisterProperties() {
    TkvStretcheable::RegisterProperties();
    for (const char* n : {"GapX", "GapY", "Lines", "Stretched", "TextOnly", "DataField"})
        ListProperty(n);
}

TkvRichText& TkvRichView::RichEdit() {
    if (!richEdit_) richEdit_ = std::make_unique<TkvRichText>();
    if (richEditSource_.isNull() || richEditSource_ != RichText) {
        if (RichText.isEmpty())
            richEdit_->Clear();
        else
            richEdit_->LoadRtf(RichText);
        richEditSource_ = RichText.isNull() ? QByteArray("") : RichText;
    }
    return *richEdit_;
}

void TkvRichView::CopyRichText(TkvRichText& destination, const TkvRichText& source) {
    destination.CopyFrom(source);
}

void TkvRichView::ExpandRichText(TkvRichText& control) {
    // Brackets nest: "[a[b]]" is one expression, and brackets inside quoted texts do not count, as
    // in a memo's text. An opening bracket without its match ends the scan.
    QString raw = control.RawText();
    qsizetype q = raw.indexOf(QLatin1Char('['));
    int guard = 0;
    while (q >= 0 && guard++ < 100000) {
        int depth = 0;
        qsizetype t = -1;
        bool single = false, dbl = false;
        for (qsizetype i = q; i < raw.size(); ++i) {
            const QChar c = raw[i];
            if (c == QLatin1Char('\'') && !dbl)
                single = !single;
            else if (c == QLatin1Char('"') && !single)
                dbl = !dbl;
            else if (!single && !dbl) {
                if (c == QLatin1Char('[')) ++depth;
                if (c == QLatin1Char(']') && --depth == 0) {
                    t = i;
                    break;
                }
            }
        }
        if (t < 0) break;
        const QString expression = raw.mid(q + 1, t - q - 1);
        QString value;
        if (kv::Library().RichExpressionToText)
            value = kv::Library().RichExpressionToText(*this, expression);
        else if (kv::CurEvaluator() && kv::CurReport())
            // Expressions and their values are texts of the report's code page.
            value = kv::DecodeText(
                kv::CurReport()->ExpressionToText(kv::EncodeText(expression, kv::DefaultCharset)),
                kv::DefaultCharset);
        else
            value = raw.mid(q, t - q + 1);
        control.Replace(int(q), int(t - q + 1), value);
        raw = control.RawText();
        q = raw.indexOf(QLatin1Char('['), q + value.size());
    }
}

std::unique_ptr<TkvRichText> TkvRichView::ExpandedCopy() {
    auto scratch = std::make_unique<TkvRichText>();
    CopyRichText(*scratch, RichEdit());
    if (!(Flags & kvflag::TextOnly)) ExpandRichText(*scratch);
    return scratch;
}

int TkvRichView::FormatRichText(bool render, TkvRichText* control) {
    NextChar = FromChar;
    if (render) {
        if (!Canvas) return NextChar;
        const int w = ToTwips(int64_t(SavedWidth) - 2 * int64_t(SavedGapX)),
                  h = ToTwips(int64_t(SavedHeight) - 2 * int64_t(SavedGapY));
        if (w > 0 && h > 0) RichEdit().Draw(*Canvas, InnerRect.toQRect(), w, h, FromChar);
        NextChar = RichEdit().Length();
        return NextChar;
    }
    TkvRichText& text = control ? *control : RichEdit();
    NextChar = text.FitRange(FromChar, std::max(1, WidthTwips()), std::max(0, HeightTwips()));
    return NextChar;
}

int TkvRichView::RichTextHeight(TkvRichText& control) {
    // The least whole page-unit height whose twips hold the text (what a bisection over the
    // rectangle height finds, done in one layout).
    const int twips = control.HeightTwips(FromChar, std::max(1, WidthTwips()));
    int hi = std::min(1000000, (twips + 14) / 15);
    while (hi > 0 && ToTwips(hi - 1) >= twips)
        --hi;
    if (hi < 2) hi = 8;
    return kv::ClampCoord(2 * int64_t(GapY) + hi);
}

void TkvRichView::Draw(TkvCanvas& canvas) {
    const TkvCanvasScope scope(*this, canvas);
    AttachCanvas(&canvas);
    ScaleForDrawing();
    DrawBackground();
    InnerRect = {InnerRect.Left + GapX, InnerRect.Top + GapY, InnerRect.Right - GapX, InnerRect.Bottom - GapY};
    FromChar = 0;
    if (Width > 0 && Height > 0) FormatRichText(true);
    DrawFrame();
    RestoreAfterDrawing();
}

int TkvRichView::CalcHeight() {
    NextChar = 0;
    PrintedChars = 0;
    RunScript();
    if (kv::Library().RichBeforePrint) kv::Library().RichBeforePrint(*this);
    if (Visible == 0) return 0;
    ResultText = Memo;
    BeforePrintStep();
    auto scratch = ExpandedCopy();
    FromChar = 0;
    return RichTextHeight(*scratch);
}

int TkvRichView::RemainingHeight() {
    // The object grows by what this part leaves unused: the gaps and frame the next part repeats
    // and the space below the part's last line, which the text did not fill. The part just
    // printed runs from FromChar to NextChar.
    auto scratch = ExpandedCopy();
    const int32_t keptFrom = FromChar;
    const int end = std::clamp(int(NextChar), 0, scratch->Length());
    const int start = std::clamp(int(FromChar), 0, end);
    scratch->Delete(end, scratch->Length() - end);
    scratch->Delete(0, start);
    FromChar = 0;
    const int frame = int(std::nearbyint(2 * FrameWidth));
    const int used = scratch->IsEmpty() ? 2 * GapY : RichTextHeight(*scratch);
    FromChar = keptFrom;
    return std::max(0, Height - used - frame) + 2 * GapY + frame;
}

void TkvRichView::ShowEditor() {
    if (kv::Library().RichTextEditor) kv::Library().RichTextEditor(*this);
}

void TkvRichView::LoadFromField(TkvDataField* field) {
    if (!field) return;
    TkvMemoryStream blob;
    if (!field->IsNull()) field->BlobToStream(blob);
    RichText = blob.TakeData();
}

void TkvRichView::PrintToStream(TkvStream& s) {
    AttachCanvas(Canvas);
    ResultText = Memo;
    BeforePrintStep();
    if (kv::Library().RichBeforePrint) kv::Library().RichBeforePrint(*this);
    RunScript();
    if (Visible == 0) return;
    const QByteArray keptTag = Tag;
    if (Tag.contains('[')) ExpandTagBrackets();
    auto scratch = ExpandedCopy();
    if (PrintPhase == kvpp::SplitPart) {
        FromChar = NextChar;
        FormatRichText(false, scratch.get());
        scratch->Delete(NextChar, scratch->Length() - NextChar);
        scratch->Delete(0, PrintedChars);
        PrintedChars = NextChar;
    }
    PrintedText = scratch->IsEmpty() ? QByteArray() : scratch->SaveRtf();
    struct Restore {
        TkvRichView& v;
        QByteArray tag;
        ~Restore() {
            v.SavingFromScratch = 0;
            v.Tag = tag;
            // A later print of the same object starts afresh instead of printing a stale part.
            v.PrintPhase = kvpp::Normal;
        }
    } restore{*this, keptTag};
    SavingFromScratch = 1;
    kv::WriteObjectEntry(s, *this);
}

QString TkvRichView::PlainText() {
    return RichEdit().PlainText();
}

QStringList TkvRichView::TextLines() {
    return RichEdit().Lines(std::max(1, WidthTwips()));
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
    const QByteArray& text = SavingFromScratch ? PrintedText : RichText;
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
