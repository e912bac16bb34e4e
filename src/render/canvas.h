#pragma once
// The one drawing seam. Views, pages, the preview, printing, PDF output and text search all draw
// through TkvCanvas. Coordinates are whole device pixels of the surface. Following the report
// format's conventions: rectangles exclude their right and bottom edge, a line excludes its end
// point, and colours are 32-bit report colours (RGB with red in the low byte, 0x80000000 + n system
// colour n, 0x1FFFFFFF no colour).

#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>
#include <vector>

enum class TkvPenStyle : uint8_t { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Clear = 5 };
enum class TkvPenMode : uint8_t { Copy, Xor };
enum class TkvBrushStyle : uint8_t { Solid, Clear };

struct TkvPen {
    uint32_t color = 0;
    int width = 1;
    TkvPenStyle style = TkvPenStyle::Solid;
    TkvPenMode mode = TkvPenMode::Copy;
    bool operator==(const TkvPen&) const = default;
};

struct TkvBrush {
    uint32_t color = 0xFFFFFF;
    TkvBrushStyle style = TkvBrushStyle::Solid;
    bool operator==(const TkvBrush&) const = default;
};

struct TkvFont {
    QString name = QStringLiteral("Arial");
    // Negative: the em size in device pixels; positive: the cell height (em + internal leading);
    // 0: use pointSize at the surface's resolution.
    int height = 0;
    int pointSize = 10;
    int style = 0;      // font style code: 1 italic, 2 bold, 4 underline, 8 strike-out
    uint32_t color = 0; // report colour
    int charset = 1;
    int escapement = 0; // tenths of a degree, counter-clockwise
    bool operator==(const TkvFont&) const = default;
};

struct TkvTextMetrics {
    int height = 0;  // ascent + descent
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int externalLeading = 0;
    int averageCharWidth = 0;
};

class TkvCanvas {
public:
    virtual ~TkvCanvas() = default;

    // Dots per inch of the surface (96 for the screen and the measuring canvas, the device's for printers).
    virtual int DpiX() const = 0;
    virtual int DpiY() const = 0;
    // Whether this surface is a printer (or PDF) page: views draw some things differently there.
    virtual bool IsPrinter() const { return false; }

    virtual void SetPen(const TkvPen& pen) = 0;
    virtual void SetBrush(const TkvBrush& brush) = 0;
    virtual void SetFont(const TkvFont& font) = 0;
    virtual void SetBkOpaque(bool opaque) = 0; // background mode of styled lines and text
    virtual void SetCharSpacing(int pixels) = 0; // extra advance after each character
    const TkvPen& Pen() const { return pen_; }
    const TkvBrush& Brush() const { return brush_; }
    const TkvFont& Font() const { return font_; }
    bool BkOpaque() const { return bkOpaque_; }
    int CharSpacing() const { return charSpacing_; }

    virtual void DrawLine(QPoint from, QPoint to) = 0;          // excludes `to`
    virtual void FillRect(const QRect& r) = 0;                   // brush only
    virtual void Rectangle(const QRect& r) = 0;                  // pen outline, brush inside
    virtual void Ellipse(const QRect& r) = 0;
    virtual void RoundRect(const QRect& r, int rx, int ry) = 0; // rx, ry: corner radii
    virtual void Polygon(const QPolygon& points) = 0;
    virtual void Polyline(const QPolygon& points) = 0;
    // Draws text with its reference point at the top-left of the text cell (baseline at the
    // reference point + ascent), clipped to `clip` when given, in the font's colour (no colour draws
    // nothing). The text is drawn character by character at whole-pixel advances plus char spacing,
    // exactly as TextExtent measures it; `advances`, when given, holds one advance per character
    // and replaces both. The font's escapement turns the text around the reference point. No
    // background is painted whatever the background mode: views fill their backgrounds themselves.
    virtual void TextOut(QPoint at, const QString& text, const QRect* clip = nullptr,
                         const QVector<int>* advances = nullptr) = 0;
    virtual void DrawImage(const QRect& target, const QImage& image, bool smooth) = 0;

    // Measuring with the current font (whole-pixel advances, no kerning, char spacing included).
    virtual QSize TextExtent(const QString& text) = 0;
    virtual TkvTextMetrics TextMetrics() = 0;

    // Clipping: none set means everything is visible.
    virtual void SetClipRegion(const QRegion& region) = 0;
    virtual void ClearClip() = 0;
    virtual QRegion ClipRegion() const { return clip_; }
    virtual bool HasClip() const { return hasClip_; }
    bool RectVisible(const QRect& r) const { return !HasClip() || ClipRegion().intersects(r); }

    virtual void Save() = 0;
    virtual void Restore() = 0;

protected:
    // For backends whose Save and Restore keep the state below on a stack. PopState brings back
    // everything but the font, which it returns so that the backend's SetFont can follow it with
    // whatever it derives from the font; nothing when nothing was pushed.
    void PushState() { stack_.push_back({pen_, brush_, font_, bkOpaque_, charSpacing_, clip_, hasClip_}); }
    std::optional<TkvFont> PopState() {
        if (stack_.empty()) return std::nullopt;
        State s = std::move(stack_.back());
        stack_.pop_back();
        pen_ = s.pen;
        brush_ = s.brush;
        bkOpaque_ = s.bkOpaque;
        charSpacing_ = s.charSpacing;
        clip_ = std::move(s.clip);
        hasClip_ = s.hasClip;
        return s.font;
    }
    // Back to a fresh canvas's state, with nothing pushed.
    void ResetState() {
        stack_.clear();
        pen_ = {};
        brush_ = {};
        font_ = {};
        bkOpaque_ = true;
        charSpacing_ = 0;
        clip_ = QRegion();
        hasClip_ = false;
    }

    TkvPen pen_;
    TkvBrush brush_;
    TkvFont font_;
    bool bkOpaque_ = true;
    int charSpacing_ = 0;
    QRegion clip_; // meaningful while hasClip_
    bool hasClip_ = false;

private:
    struct State {
        TkvPen pen;
        TkvBrush brush;
        TkvFont font;
        bool bkOpaque;
        int charSpacing;
        QRegion clip;
        bool hasClip;
    };
    std::vector<State> stack_;
};
