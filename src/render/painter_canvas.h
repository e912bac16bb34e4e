#pragma once
// The canvas on a QPainter: images, PDF writers, printers and widgets.
//
// Geometry follows the report format's pixel conventions rather than Qt's:
// - a 1-pixel line sets the pixels from its start up to, not including, its end point; axis-aligned
//   lines are filled as exact pixel boxes on every device;
// - a line wider than 1 pixel is centred on its path (width 3 at x covers x-1..x+1) and has square
//   caps of half its width, so frame sides meet without notches;
// - styled pens (dash, dot, dash-dot, dash-dot-dot) are 1 pixel wide with the classic cosmetic
//   patterns; with an opaque background the gaps are painted in the brush colour;
// - Rectangle, Ellipse and RoundRect stay inside the rectangle with a 1-pixel pen, right and bottom
//   edge excluded;
// - XOR pens work where the paint engine has raster operations (images) and draw as copy elsewhere.
// Antialiasing is off for geometry (pixel exactness) and on for text and smooth images.

#include "render/canvas.h"

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QRawFont>
#include <memory>
#include <optional>
#include <vector>

class QPaintDevice;

class TkvPainterCanvas : public TkvCanvas {
public:
    struct Options {
        int dpiX = 0; // 0: the device's logical resolution
        int dpiY = 0;
        // -1: detect (printers and PDF writers are printers), 0: no, 1: yes.
        int printer = -1;
    };

    // Begins and owns a painter on `device` for the canvas's lifetime; the device must outlive it.
    explicit TkvPainterCanvas(QPaintDevice* device, const Options& options);
    explicit TkvPainterCanvas(QPaintDevice* device) : TkvPainterCanvas(device, Options{}) {}
    // Borrows a painter that is already active (a widget's paint event, a print job that turns
    // pages itself), with whatever transform it has. Its clip stays until the canvas sets or clears
    // its own. The canvas leaves the painter's state as it found it when destroyed.
    explicit TkvPainterCanvas(QPainter& painter, const Options& options);
    explicit TkvPainterCanvas(QPainter& painter) : TkvPainterCanvas(painter, Options{}) {}
    ~TkvPainterCanvas() override;
    TkvPainterCanvas(const TkvPainterCanvas&) = delete;
    TkvPainterCanvas& operator=(const TkvPainterCanvas&) = delete;

    QPainter& Painter() { return *painter_; }

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

    // The Qt font the current report font resolves to on this surface.
    const QFont& QtFont() const { return qfont_; }

private:

    void Init(const Options& options);
    void ApplyClip();
    // The part of the painter's logical plane that can reach the device; drawing is cut to it so
    // that absurd coordinates cannot make loops run for ever.
    QRect VisibleBounds() const;
    void FillBox(qint64 left, qint64 top, qint64 right, qint64 bottom, const QColor& color);
    // Strokes one segment with the current pen; `phase` carries a dash pattern across the
    // segments of a polyline or rectangle.
    void StrokeSegment(QPoint from, QPoint to, bool includeEnd, int& phase);
    void StrokeAxisSegment(QPoint from, QPoint to, bool includeEnd, int& phase);
    void StrokeClosedOutline(const QPolygon& points);
    // Per-cluster whole-pixel advances of `text` with the current font, char spacing included.
    std::vector<int> ClusterAdvances(const QString& text, std::vector<int>* clusterStarts);
    void SetCompositionForPen();

    std::unique_ptr<QPainter> ownedPainter_;
    QPainter* painter_ = nullptr;
    QPaintDevice* device_ = nullptr;
    int dpiX_ = 96;
    int dpiY_ = 96;
    bool printer_ = false;
    bool rasterOps_ = false;
    QFont qfont_;
    std::optional<QRawFont> rawFont_;   // of qfont_ without lines, made on first use
    QHash<char16_t, int> advanceCache_; // whole-pixel advances of single characters in qfont_
};

namespace kv {

// The Qt font for a report font on a surface of `dpiY` dots per inch: pixel-sized, no kerning,
// full hinting. `device` (may be null) is used to measure cell heights for positive heights.
QFont FontToQFont(const TkvFont& font, int dpiY, QPaintDevice* device = nullptr);

// The em size in pixels a report font has at `dpiY` (what a negative height would say).
int FontPixelSize(const TkvFont& font, int dpiY, QPaintDevice* device = nullptr);

// The process-wide measuring surface: a 96-dpi image canvas, never the screen, so that layout is
// the same with and without a display. Callers set the font (and char spacing) they measure with;
// the canvas keeps whatever was set last. Needs a QGuiApplication; released when it ends.
TkvPainterCanvas& MeasuringCanvas();

} // namespace kv
