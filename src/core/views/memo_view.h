#pragma once
// The text object: lines of text with [expressions], laid out in its rectangle with word wrap,
// alignment, rotation, line and character spacing, an optional highlight, and a height that can
// grow with the text. This class holds the object's data, its properties and its record; the
// text layout module supplies the layout, the drawing of the text and the print-time operations.

#include "core/views/memo_flags.h"
#include "core/views/stretcheable.h"
#include "core/views/view_font.h"

class TkvMemoView : public TkvStretcheable {
public:
    TkvMemoView();
    const char* ClassName() const override { return "TkvMemoView"; }

    // TkvView's names, the font names and the text object's own names.
    static const TkvPropertyTable& ClassProperties();
    const TkvPropertyTable& Properties() const override { return ClassProperties(); }
    // The stretcheable methods, then the list methods formed with "LINES" on Memo.
    void CallMethod(const QByteArray& name, const TkvVariant& a1, const TkvVariant& a2, const TkvVariant& a3,
                    TkvVariant& result) override;
    void RegisterProperties() override;

    // The common record, then the text object's tail.
    void LoadFromStream(TkvStream& stream) override;
    void SaveToStream(TkvStream& stream) override;

    // Lays the text out at zoom 1 and draws background, frame, underlines and text (memo_view_draw.cpp).
    void Draw(TkvCanvas& canvas) override;
    void ShowEditor() override;
    // The object (ExportObject), then each laid-out output line (ExportTextLine) with the frame
    // sides of that line; nothing is drawn (memo_view_draw.cpp).
    void ExportContents(TkvExportTarget& target) override;

    // Writes the object's record into a prepared page: runs the script (unless the height was just
    // calculated), expands the text (unless a bound field or the application gave it), applies
    // highlight and print-time band alignment, and in a split part writes only the lines that fit
    // the current height, keeping the rest in ResultText for the next part. Suppress repeated
    // values writes nothing for a text equal to the last one. PrintPhase is 0 afterwards.
    void PrintToStream(TkvStream& stream) override;
    // The width that shows the expanded text unbroken, frame and gaps included; ResultText keeps
    // the expanded lines (memo_view_draw.cpp).
    int CalcTextWidth();
    // Height of the laid-out text plus both gaps; ResultText keeps the laid-out lines (memo_view_draw.cpp).
    int CalcHeight() override;
    // A blob or memo field gives its whole content as the text lines of ResultText (so they are
    // not expanded again); other fields leave ResultText alone, since [expressions] bring their
    // values with the object's display format.
    void LoadFromField(TkvDataField* field) override;
    // One line with its frame and gaps.
    int MinHeight() override;
    // The part of the current height that holds no whole line, plus frame and gaps.
    int RemainingHeight() override;

    // While HighlightCondition holds (evaluated from HighlightPostfix through the current report's
    // evaluator; a value other than 0), Font takes the highlight style and colour and FillColor the
    // highlight fill. Failures are ignored: no highlight. The caller saves and restores Font and
    // FillColor around the operation that needs it.
    void ApplyHighlight();

    // Em height of Font in pixels at the screen resolution (96 dpi), page units.
    int FontPixelHeight() const;

    // --- fields, after those of TkvStretcheable
    QByteArray LastValue;     // text last written for this object (suppress repeated values)
    TkvViewFont Font;         // "Arial", 10 points, no style, black, default character set
    uint8_t PreWrapped = 0;   // the text to draw is laid-out lines with paragraph marks
    int32_t TextHeight = 0;   // height of the laid-out text plus both vertical gaps
    uint8_t FitLinesOnly = 0; // laying out for a print: stop at the first line that does not fit
    int32_t LineHeight = 0;   // line step of the last layout or height query
    int32_t LinesDone = 0;    // lines output by the last output pass
    uint8_t Exporting = 0;    // lines go to the export filter instead of the canvas
    int32_t Alignment = kvta::Left;
    uint16_t HighlightFontStyle = kvfs::Bold; // font style code while the condition holds
    uint32_t HighlightFontColor = 0;
    uint32_t HighlightFillColor = 0xFFFFFF;
    QByteArray HighlightCondition; // expression; empty means no highlight
    // HighlightCondition in postfix form: set by the page builder when it prepares the page, or
    // converted on first use (and again when the condition changes).
    QByteArray HighlightPostfix;
    int32_t LineSpacing = 2;       // extra page units between lines
    int32_t CharSpacing = 0;       // extra page units between characters

private:
    QByteArray highlightSource_; // the condition HighlightPostfix was converted from
};
