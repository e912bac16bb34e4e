#pragma once
// Lays out and draws the text of a text object. The geometry (position, size, gaps, inner
// rectangle, zoom, origin, printer flag, frame) and the text (ResultText, Memo) are read from the
// view; what is particular to text objects (font, alignment, spacing, working flags) is held here
// and copied in and out by the text object around each call.
//
// Layout runs at zoom 1 in page units on the measuring canvas (96 dpi, never the screen), so line
// breaks do not depend on zoom or device; drawing only places the laid-out lines at the device's
// scale. Laid-out text ends each paragraph's last line with kv::ParagraphMark (code 1).
//
// Values read from files are clamped before use: font sizes, spacings, widths and positions near
// the integer limits cannot make drawing loop for ever or overflow, and the line step is at least 1.

#include "core/rect.h"
#include "base/stream_text.h"

#include <cstdint>
#include <functional>

class TkvCanvas;
class TkvExportTarget;
class TkvView;
struct TkvFont;

class TkvMemoLayout {
public:
    explicit TkvMemoLayout(TkvView& view) : view_(view) {}

    // --- the text object's fields the layout reads
    QByteArray FontName = "Arial";
    int32_t FontSize = 10; // points
    uint16_t FontStyle = 0;
    uint32_t FontColor = 0;
    uint8_t Charset = 1;
    int32_t Alignment = 0;
    int32_t LineSpacing = 2;
    int32_t CharSpacing = 0;
    bool FitLinesOnly = false;
    bool Exporting = false;
    // While Exporting, the output lines go here (not owned; none: exported lines go nowhere).
    TkvExportTarget* ExportTarget = nullptr;
    // --- and the ones it reads and writes
    bool PreWrapped = false;
    int32_t TextHeight = 0;
    int32_t LineHeight = 0;
    int32_t LinesDone = 0;

    // The whole drawing of a text object: auto width, layout at zoom 1, background, frame,
    // underlines and text. With auto width in a built report the view keeps its new size.
    void Draw(TkvCanvas& canvas);

    // Breaks view.ResultText into output lines (page units, at the geometry the view has now) and
    // returns them; sets TextHeight (lines x line step + both gaps) and LineHeight.
    TkvStringList LayoutText();

    // Places and outputs the laid-out lines of view.ResultText on view.Canvas, geometry already
    // scaled by ScaleForDrawing. Counts the lines output in LinesDone; with FitLinesOnly it stops at
    // the first line that does not fit. While Exporting, lines go to ExportTarget instead.
    void DrawText();
    // Horizontal rules under the line positions over the whole height (Flags 0x0080).
    void DrawUnderlines();
    // The width in page units that shows every line of `lines` unbroken, frame and gaps included.
    int CalcAutoWidth(const TkvStringList& lines);
    // Sets the canvas up for drawing text: transparent background, the font at the view's zoom
    // (screen) or in points (printer).
    void SetupFont(TkvCanvas& canvas);

    // view.ResultText := the lines of view.Memo with [expressions] replaced (unless text only) through
    // the current report's evaluator (lines stay as they are without one), values holding line
    // breaks giving several lines.
    void ExpandMemo();

    // For a text split over pages: of the laid-out view.ResultText, keeps the lines that fit the
    // current height (a trailing mark-only line is added when none of them ends a paragraph) and
    // returns the lines left for the next part. Geometry as for DrawText (already scaled).
    TkvStringList TakeFittingLines();

    // The em height in pixels of a font of `points` at 96 dpi (clamped to a drawable size).
    static int FontPixelHeight(int32_t points);
    // The step between lines: spacing plus em height, at least 1 and clamped.
    static int LineStep(int64_t spacing, int64_t pixelHeight);

    static TkvCanvas& Measuring();

private:
    TkvFont CanvasFont(int pixelHeight) const;
    // Font pixel height SetupFont gives on `canvas`.
    int DrawFontPixelHeight(const TkvCanvas& canvas) const;
    void OutputLines(int pixelHeight);
    void OutputRotatedLines(int pixelHeight);
    // Draws or exports one horizontal line at y; false (nothing output) when FitLinesOnly is set
    // and it does not fit.
    bool OutputLine(QByteArray s, int64_t& y, int step, bool rightAlign, int index, int count);
    void DrawLine(const QString& text, int x, int y, int extra, const QRect& clip);
    QRect ClipRect() const;
    QString Decode(const QByteArray& bytes) const;

    TkvView& view_;
    bool countOnly_ = false; // counting the lines that fit, nothing drawn
    int cell_ = 1;           // text cell height of the current output pass
};
