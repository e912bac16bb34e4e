#pragma once
// The report object for formatted text, kept in Rich Text Format (an add-in view, "TkvRichView",
// type 10). The stored RTF bytes are kept exactly as read and written back unchanged; the rich text
// control of the object (RichEdit) is made from them when the text is laid out, measured or drawn.
//
// Build-time operations (CalcHeight, RemainingHeight, PrintToStream) work on a scratch copy of the
// text owned by the operation, so objects never disturb each other's text and RichText itself is
// never changed by building.

#include "core/views/stretcheable.h"

#include <QStringList>
#include <functional>
#include <memory>

class TkvRichText;

class TkvRichView : public TkvStretcheable {
public:
    TkvRichView();
    ~TkvRichView() override;
    const char* ClassName() const override { return "TkvRichView"; }

    static const TkvPropertyTable& ClassProperties();
    const TkvPropertyTable& Properties() const override { return ClassProperties(); }
    void RegisterProperties() override;

    // Draws the whole text of RichEdit laid out at the unscaled size and stretched into the area
    // inside the frame and gaps.
    void Draw(TkvCanvas& canvas) override;
    // Writes the prepared entry with the expanded text (and, for a part print, only the part that
    // fits from where the previous part ended). Unlike other views, no print-time band alignment
    // is applied. PrintPhase is set back to 0 afterwards.
    void PrintToStream(TkvStream& stream) override;
    void LoadFromStream(TkvStream& stream) override;
    void SaveToStream(TkvStream& stream) override;
    void ShowEditor() override;
    // Takes the field's whole content as the object's RTF (bytes that are not RTF show as plain
    // text); a null field empties the text.
    void LoadFromField(TkvDataField* field) override;

    int CalcHeight() override;
    int MinHeight() override { return 8; }
    int RemainingHeight() override;
    bool HasText() const { return !RichText.isEmpty(); }

    // The object's formatted text as the rich text control holds it (made from RichText when
    // RichText changed since the last call).
    TkvRichText& RichEdit();
    // Copies the source's text with its formatting into the destination (through RTF).
    static void CopyRichText(TkvRichText& destination, const TkvRichText& source);
    // Replaces every [expression] of the control's text by its value (ExpressionToText), in the
    // character formatting of the opening bracket. Inserted text is not scanned again.
    void ExpandRichText(TkvRichText& control);
    // Measures (render false) how much of the control's text from FromChar on fits into the
    // current size and returns NextChar; render true draws RichEdit onto Canvas into InnerRect.
    int FormatRichText(bool render, TkvRichText* control = nullptr);
    // 2 x GapY + the height in page units that the control's text from FromChar on needs (8 when
    // it needs less than 2).
    int RichTextHeight(TkvRichText& control);

    // For exports: the plain text of the object (paragraphs separated by "\n", table cells by
    // tabs) and its lines as laid out at the object's width.
    QString PlainText();
    QStringList TextLines();

    // Page units to twips at the screen's 96 pixels per inch, halves to even; clamped to the
    // coordinate range, since sizes come from files.
    static int ToTwips(int64_t units);

    // --- fields of its own, in declared order
    int32_t PrintedChars = 0;
    int32_t NextChar = 0;
    int32_t FromChar = 0;
    // While set, SaveToStream writes PrintedText instead of RichText (set only while printing).
    uint8_t SavingFromScratch = 0;
    // The object's formatted text: RTF bytes as read, written back unchanged.
    QByteArray RichText;
    // The RTF that PrintToStream writes: the expanded (and cut) text of this print.
    QByteArray PrintedText;

    // The value of an [expression] (without it the expression stays as typed), the report's
    // before-print step (run after the object's script) and the rich text editor come from the
    // library context (RichExpressionToText, RichBeforePrint, RichTextEditor), the field chooser
    // from its designer editors.

private:
    // The scratch copy of RichEdit for one build-time operation, expanded unless text only.
    std::unique_ptr<TkvRichText> ExpandedCopy();
    int WidthTwips() const { return ToTwips(int64_t(Width) - 2 * int64_t(GapX)); }
    int HeightTwips() const { return ToTwips(int64_t(Height) - 2 * int64_t(GapY)); }

    std::unique_ptr<TkvRichText> richEdit_;
    QByteArray richEditSource_;
};

namespace kvflag {
// Rich text: [expressions] are not replaced.
constexpr uint16_t TextOnly = 0x0010;
} // namespace kvflag
