#pragma once
// A canvas that keeps every call as a record: a page drawn once can be replayed onto any other
// canvas, dumped as text for tests, and searched for text.
//
// Measuring (TextExtent, TextMetrics) is done on the process-wide measuring canvas with the current
// font and char spacing; fonts given by point size are sized at this canvas's vertical resolution.
//
// Dump() writes one line per record (colours as the report stores them: six hex digits with red in
// the low byte, "sysN" for system colour N, "none" for no colour; rectangles as "x,y wxh"):
//   pen color=000000 width=1 style=solid            (" mode=xor" added for XOR pens)
//   brush color=FFFFFF style=solid                  (style solid or clear)
//   font name="Arial" height=-16 size=10 style=3 color=000000 charset=1 escapement=0
//   bkmode opaque                                   (or transparent)
//   charspacing 2
//   line 10,20 -> 30,20 pen(color=000000 width=1 style=solid)
//   fillrect 0,0 100x20 brush(color=FFFFFF style=solid)
//   rectangle 0,0 100x20 pen(...) brush(...)
//   ellipse 0,0 100x20 pen(...) brush(...)
//   roundrect 0,0 100x20 radii=5,5 pen(...) brush(...)
//   polygon 0,0 10,0 10,10 pen(...) brush(...)
//   polyline 0,0 10,0 10,10 pen(...)
//   text 10,20 "Total: \"A\"" font(name="Arial" ...) spacing=0[ clip=0,0 100x20][ advances=7,7,3]
//   image 0,0 100x50 source=200x100 smooth=no
//   clip 0,0 100x20 + 0,40 100x20                   ("clip empty" for an empty region)
//   noclip
//   save
//   restore
// Pen styles are solid, dash, dot, dashdot, dashdotdot, clear. In text, `"` and `\` are escaped
// with a backslash and control characters as \n, \r, \t or \xNN.

#include "render/canvas_records.h"

#include <QStringList>
#include <vector>

struct TkvTextMatch {
    int record = 0;    // index into Records()
    int position = 0;  // character index of the match in the record's text
    QRect bounds;      // the whole text record's box
    QRect matchBounds; // the box around the matched characters
};

class TkvRecordingCanvas : public TkvCanvas {
public:
    explicit TkvRecordingCanvas(int dpiX = 96, int dpiY = 96, bool printer = false);

    const std::vector<TkvRecord>& Records() const { return records_; }
    void Clear();

    QStringList Dump() const;
    // Draws the records onto `target` in order. The target's own state (pen, brush, font, clip ...)
    // is saved before and restored after; each drawing record brings its own pen, brush and font.
    void Replay(TkvCanvas& target) const;
    // Every occurrence of `needle` in the text records, in record order.
    std::vector<TkvTextMatch> FindText(const QString& needle,
                                       Qt::CaseSensitivity cs = Qt::CaseInsensitive) const;

    int DpiX() const override { return dpiX_; }
    int DpiY() const override { return dpiY_; }
    bool IsPrinter() const override { return printer_; }

    void SetPen(const TkvPen& pen) override;
    void SetBrush(const TkvBrush& brush) override;
    void SetFont(const TkvFont& font) override;
    void SetBkOpaque(bool opaque) override;
    void SetCharSpacing(int pixels) override;

    void DrawLine(QPoint from, QPoint to) override;
    void FillRect(const QRect& r) override;
    void Rectangle(const QRect& r) override;
    void Ellipse(const QRect& r) override;
    void RoundRect(const QRect& r, int rx, int ry) override;
    void Polygon(const QPolygon& points) override;
    void Polyline(const QPolygon& points) override;
    void TextOut(QPoint at, const QString& text, const QRect* clip = nullptr,
                 const QVector<int>* advances = nullptr) override;
    void DrawImage(const QRect& target, const QImage& image, bool smooth) override;

    QSize TextExtent(const QString& text) override;
    TkvTextMetrics TextMetrics() override;

    void SetClipRegion(const QRegion& region) override;
    void ClearClip() override;

    void Save() override;
    void Restore() override;

private:

    // Sets the measuring canvas up for `font` and `charSpacing` at this canvas's resolution.
    TkvCanvas& Measurer(const TkvFont& font, int charSpacing) const;
    // Where each character of a text record starts (one more entry for the end), relative to it.
    std::vector<qint64> CharOffsets(const kvrec::Text& rec) const;
    // The box of a text record's cell between offsets x1 and x2, in page coordinates.
    QRect TextBox(const kvrec::Text& rec, qint64 x1, qint64 x2) const;

    int dpiX_, dpiY_;
    bool printer_;
    std::vector<TkvRecord> records_;
};
