#pragma once
// The plain text export: the text lines of a page laid out on a character grid, one column per
// 6.5 / ScaleX page units and one row per 14 / ScaleY page units, with the frames of text objects
// drawn in box-drawing or plain characters. The RTF export reuses its line collection.

#include "export/export_filter.h"

#include <QByteArray>
#include <vector>

// Frame pieces on the grid are stored as 4-bit direction sets (1 up, 2 right, 4 down, 8 left), so
// pieces drawn over one another merge by bitwise or; they become characters when a row is written.
namespace kvframe {
constexpr char Vertical = 5, Horizontal = 10, TopLeft = 6, TopRight = 12, BottomLeft = 3, BottomRight = 9;
} // namespace kvframe

class TkvTextExport : public TkvExportFilter {
public:
    // Registers "ASCII Text file (*.txt)" with the mask "*.txt".
    TkvTextExport();
    const char* ClassName() const override { return "TkvTextExport"; }

    double ScaleX = 1.0; // one character column is 6.5 / ScaleX page units
    double ScaleY = 1.0; // one text line is 14 / ScaleY page units
    bool KillEmptyLines = true;
    bool ConvertToOEM = false; // rows from the ANSI code page to the matching DOS code page
    bool ExportFrames = false;
    bool UsePseudographic = false; // box-drawing characters of the DOS code page, else | - +
    bool PageBreaks = true;        // a form feed row after every page

    // The character rows of the page being written.
    std::vector<QByteArray> OutputRows;

    // Lines and columns are bounded: text further down or right is not written.
    static constexpr int kMaxLines = 20000;
    static constexpr int kMaxColumns = 4000;
    static constexpr int kInitialLines = 201;

    void BeginPage() override;
    void EndPage() override;
    void ExportTextLine(const TkvRect& drawRect, int x, int y, const QByteArray& text, uint16_t frameSides,
                        TkvView& view) override;

    // The text line a vertical position falls on (round half to even of y / (14 / ScaleY)); -1 when
    // it lies outside the lines a page can hold.
    int LineOf(int y) const;
    // Inserts the record before the first record of its line with an equal or greater X.
    void PlaceText(int line, TkvTextRec rec);
    // The character of a direction code (1 to 15) for writing; other bytes are returned unchanged.
    static char FrameChar(uint8_t code, bool pseudographic);

protected:
    struct NoRegistration {};
    explicit TkvTextExport(NoRegistration) {}
    // The record of an exported line, filled from the text object it came from.
    static TkvTextRec MakeRecord(const TkvRect& drawRect, int x, const QByteArray& text, uint16_t frameSides,
                                 TkvView& view);
    // Index of the last line slot that holds text, or -1.
    int LastUsedLine() const;

private:
    void DrawFrame(const TkvTextRec& rec, int& row);
    void PutPiece(int row, int p, int n, char piece);
    QByteArray ToOem(const QByteArray& row) const;
};
