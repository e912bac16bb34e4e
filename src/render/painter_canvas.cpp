#include "render/painter_canvas.h"

#include "render/colors.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainterPath>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Halves to even, like every scaled coordinate of the report format.
int RoundHalfEven(double v) {
    if (!std::isfinite(v)) return 0;
    const double r = std::nearbyint(v);
    if (r >= double(INT_MAX)) return INT_MAX;
    if (r <= double(INT_MIN)) return INT_MIN;
    return static_cast<int>(r);
}

// Font sizes beyond this many device pixels only exhaust glyph caches.
constexpr int kMaxFontPixels = 20000;
// Pens wider than this are drawn at this width (the views already cap frames far below it).
constexpr int kMaxPenWidth = 10000;

// Classic cosmetic patterns: on, off, on, off ... in pixels.
const std::vector<int>& DashPattern(TkvPenStyle style) {
    static const std::vector<int> dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6}, dashDotDot{9, 3, 3, 3, 3, 3},
        none{};
    switch (style) {
    case TkvPenStyle::Dash:
        return dash;
    case TkvPenStyle::Dot:
        return dot;
    case TkvPenStyle::DashDot:
        return dashDot;
    case TkvPenStyle::DashDotDot:
        return dashDotDot;
    default:
        return none;
    }
}

int PatternPeriod(const std::vector<int>& pattern) {
    int sum = 0;
    for (int v : pattern)
        sum += v;
    return sum;
}

bool IsStyled(TkvPenStyle style) {
    return style != TkvPenStyle::Solid && style != TkvPenStyle::Clear;
}

bool PenVisible(const TkvPen& pen) {
    return pen.style != TkvPenStyle::Clear && pen.color != kv::kNoColor;
}

bool BrushVisible(const TkvBrush& brush) {
    return brush.style != TkvBrushStyle::Clear && brush.color != kv::kNoColor;
}

int PenWidth(const TkvPen& pen) {
    if (IsStyled(pen.style)) return 1;
    return std::clamp(pen.width, 1, kMaxPenWidth);
}

// A character with the marks that follow it (and both halves of a surrogate pair) is drawn and
// advanced as one unit.
std::vector<int> ClusterStarts(const QString& text) {
    std::vector<int> starts;
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        starts.push_back(i);
        if (text[i].isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate())
            i += 2;
        else
            ++i;
        while (i < n && text[i].isMark())
            ++i;
    }
    return starts;
}

} // namespace

// ---------------------------------------------------------------- fonts

namespace kv {

int FontPixelSize(const TkvFont& font, int dpiY, QPaintDevice* device) {
    if (font.height < 0) return int(std::clamp<qint64>(-qint64(font.height), 1, kMaxFontPixels));
    if (font.height == 0) {
        const double px = double(font.pointSize) * std::max(dpiY, 1) / 72.0;
        return std::clamp(RoundHalfEven(px), 1, kMaxFontPixels);
    }
    // A positive height asks for the cell (em plus internal leading): take the largest em whose
    // cell does not exceed it, starting from the font's proportions.
    const int cell = std::min(font.height, kMaxFontPixels);
    static QHash<QString, int> cache;
    const QString key = QStringLiteral("%1|%2|%3").arg(font.name).arg(font.style & 3).arg(cell);
    if (auto it = cache.constFind(key); it != cache.constEnd()) return it.value();
    QFont probe(font.name);
    probe.setBold(font.style & 2);
    probe.setItalic(font.style & 1);
    probe.setHintingPreference(QFont::PreferFullHinting);
    auto cellOf = [&](int em) {
        probe.setPixelSize(em);
        const QFontMetrics fm = device ? QFontMetrics(probe, device) : QFontMetrics(probe);
        return fm.ascent() + fm.descent();
    };
    const int atCell = cellOf(cell);
    int em = atCell > 0 ? std::max(1, RoundHalfEven(double(cell) * cell / atCell)) : cell;
    for (int i = 0; i < 4 && em > 1 && cellOf(em) > cell; ++i)
        --em;
    for (int i = 0; i < 4 && cellOf(em + 1) <= cell; ++i)
        ++em;
    cache.insert(key, em);
    return em;
}

QFont FontToQFont(const TkvFont& font, int dpiY, QPaintDevice* device) {
    QFont f(font.name.isEmpty() ? QStringLiteral("Arial") : font.name);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setItalic(font.style & 1);
    f.setBold(font.style & 2);
    f.setUnderline(font.style & 4);
    f.setStrikeOut(font.style & 8);
    f.setPixelSize(FontPixelSize(font, dpiY, device));
    return f;
}

namespace {

struct MeasuringSurface {
    QImage image{8, 8, QImage::Format_ARGB32_Premultiplied};
    std::unique_ptr<TkvPainterCanvas> canvas;
    MeasuringSurface() {
        constexpr int dotsPerMeter = 3780; // 96 dpi
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        image.fill(Qt::white);
        canvas = std::make_unique<TkvPainterCanvas>(&image, TkvPainterCanvas::Options{96, 96, 0});
    }
};

std::unique_ptr<MeasuringSurface> measuring;

} // namespace

TkvPainterCanvas& MeasuringCanvas() {
    if (!measuring) {
        measuring = std::make_unique<MeasuringSurface>();
        // Fonts must go before the application that owns the font database.
        qAddPostRoutine([] { measuring.reset(); });
    }
    return *measuring->canvas;
}

} // namespace kv

// ---------------------------------------------------------------- construction and state

TkvPainterCanvas::TkvPainterCanvas(QPaintDevice* device, const Options& options)
    : ownedPainter_(std::make_unique<QPainter>(device)), painter_(ownedPainter_.get()), device_(device) {
    Init(options);
}

TkvPainterCanvas::TkvPainterCanvas(QPainter& painter, const Options& options)
    : painter_(&painter), device_(painter.device()) {
    painter_->save();
    Init(options);
}

TkvPainterCanvas::~TkvPainterCanvas() {
    if (ownedPainter_) {
        if (ownedPainter_->isActive()) ownedPainter_->end();
    } else if (painter_->isActive()) {
        painter_->restore();
    }
}

void TkvPainterCanvas::Init(const Options& options) {
    dpiX_ = options.dpiX > 0 ? options.dpiX : (device_ ? device_->logicalDpiX() : 96);
    dpiY_ = options.dpiY > 0 ? options.dpiY : (device_ ? device_->logicalDpiY() : 96);
    QPaintEngine* engine = painter_->isActive() ? painter_->paintEngine() : nullptr;
    if (options.printer >= 0) {
        printer_ = options.printer == 1;
    } else {
        printer_ = (device_ && device_->devType() == QInternal::Printer) ||
                   (engine && engine->type() == QPaintEngine::Pdf);
    }
    rasterOps_ = engine && engine->hasFeature(QPaintEngine::RasterOpModes);
    if (painter_->isActive()) {
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
        if (ownedPainter_) painter_->setClipping(false);
    }
    qfont_ = kv::FontToQFont(font_, dpiY_, device_);
}

void TkvPainterCanvas::SetPen(const TkvPen& pen) {
    pen_ = pen;
}

void TkvPainterCanvas::SetBrush(const TkvBrush& brush) {
    brush_ = brush;
}

void TkvPainterCanvas::SetFont(const TkvFont& font) {
    if (font == font_) return;
    font_ = font;
    qfont_ = kv::FontToQFont(font_, dpiY_, device_);
    rawFont_.reset();
    advanceCache_.clear();
}

void TkvPainterCanvas::SetBkOpaque(bool opaque) {
    bkOpaque_ = opaque;
}

void TkvPainterCanvas::SetCharSpacing(int pixels) {
    charSpacing_ = pixels;
}

void TkvPainterCanvas::SetClipRegion(const QRegion& region) {
    clip_ = region;
    hasClip_ = true;
    ApplyClip();
}

void TkvPainterCanvas::ClearClip() {
    clip_ = QRegion();
    hasClip_ = false;
    ApplyClip();
}

void TkvPainterCanvas::ApplyClip() {
    if (!painter_->isActive()) return;
    if (hasClip_) {
        // Qt 6.4 ignores a clip equal to the one that was switched off unless clipping is switched
        // back on first.
        painter_->setClipping(true);
        painter_->setClipRegion(clip_);
    } else {
        painter_->setClipping(false);
    }
}

void TkvPainterCanvas::Save() {
    PushState();
}

void TkvPainterCanvas::Restore() {
    const std::optional<TkvFont> font = PopState();
    if (!font) return;
    SetFont(*font);
    ApplyClip();
}

QRect TkvPainterCanvas::VisibleBounds() const {
    if (!device_) return {};
    // The painter's transform maps to device pixels: at a device pixel ratio above 1 it holds that
    // ratio as a scale. A widget reports its size in logical pixels, an image or pixmap in device
    // pixels; scaling the size by the ratio covers both (an image's bound is merely generous).
    const qreal ratio = std::max<qreal>(1.0, device_->devicePixelRatio());
    QRect bounds(0, 0, int(std::ceil(device_->width() * ratio)), int(std::ceil(device_->height() * ratio)));
    if (painter_->isActive() && !painter_->combinedTransform().isIdentity()) {
        bool invertible = false;
        const QTransform inverse = painter_->combinedTransform().inverted(&invertible);
        if (invertible) bounds = inverse.mapRect(bounds);
    }
    if (hasClip_) bounds &= clip_.boundingRect();
    if (bounds.isEmpty()) return {};
    return bounds.adjusted(-1, -1, 1, 1);
}

void TkvPainterCanvas::SetCompositionForPen() {
    painter_->setCompositionMode(pen_.mode == TkvPenMode::Xor && rasterOps_
                                     ? QPainter::RasterOp_SourceXorDestination
                                     : QPainter::CompositionMode_SourceOver);
}

void TkvPainterCanvas::FillBox(qint64 left, qint64 top, qint64 right, qint64 bottom, const QColor& color) {
    const QRect visible = VisibleBounds();
    left = std::max<qint64>(left, visible.left());
    top = std::max<qint64>(top, visible.top());
    right = std::min<qint64>(right, qint64(visible.right()) + 1);
    bottom = std::min<qint64>(bottom, qint64(visible.bottom()) + 1);
    if (left >= right || top >= bottom) return;
    painter_->fillRect(QRect(int(left), int(top), int(right - left), int(bottom - top)), color);
}

// ---------------------------------------------------------------- lines and shapes

void TkvPainterCanvas::StrokeAxisSegment(QPoint from, QPoint to, bool includeEnd, int& phase) {
    const bool horizontal = from.y() == to.y();
    // Work along the axis as `a` and across it as `c`; boxes are turned back at the end.
    const qint64 a1 = horizontal ? from.x() : from.y();
    const qint64 a2 = horizontal ? to.x() : to.y();
    const qint64 c = horizontal ? from.y() : from.x();
    auto box = [&](qint64 aLo, qint64 aHi, qint64 cLo, qint64 cHi, const QColor& color) {
        if (horizontal)
            FillBox(aLo, cLo, aHi, cHi, color);
        else
            FillBox(cLo, aLo, cHi, aHi, color);
    };
    const qint64 count = std::abs(a2 - a1) + (includeEnd ? 1 : 0); // pixels of a 1-pixel line
    const QColor penColor = kv::ColorToQColor(pen_.color);

    if (!IsStyled(pen_.style)) {
        const int w = PenWidth(pen_);
        if (w == 1) {
            if (count <= 0) return;
            const qint64 lo = a1 <= a2 ? a1 : a1 - count + 1;
            box(lo, lo + count, c, c + 1, penColor);
        } else {
            const qint64 off = w / 2;
            box(std::min(a1, a2) - off, std::max(a1, a2) - off + w, c - off, c - off + w, penColor);
        }
        return;
    }

    const std::vector<int>& pattern = DashPattern(pen_.style);
    const int period = PatternPeriod(pattern);
    const int startPhase = phase;
    phase = int((startPhase + count) % period);
    if (count <= 0) return;

    // Only the pixels that can reach the device are walked: a line may be billions of pixels long.
    const QRect visible = VisibleBounds();
    const qint64 vLo = horizontal ? visible.left() : visible.top();
    const qint64 vHi = (horizontal ? qint64(visible.right()) : qint64(visible.bottom())) + 1;
    const qint64 cLo = horizontal ? visible.top() : visible.left();
    const qint64 cHi = (horizontal ? qint64(visible.bottom()) : qint64(visible.right())) + 1;
    if (c < cLo || c >= cHi) return;
    const int dir = a2 >= a1 ? 1 : -1;
    // Pixel i of the line sits at a1 + dir * i.
    qint64 iFirst = 0, iLast = count; // [iFirst, iLast)
    if (dir > 0) {
        iFirst = std::max<qint64>(iFirst, vLo - a1);
        iLast = std::min<qint64>(iLast, vHi - a1);
    } else {
        iFirst = std::max<qint64>(iFirst, a1 - (vHi - 1));
        iLast = std::min<qint64>(iLast, a1 - vLo + 1);
    }
    if (iFirst >= iLast) return;

    const bool paintGaps = bkOpaque_ && brush_.color != kv::kNoColor;
    const QColor gapColor = kv::ColorToQColor(brush_.color);
    qint64 i = iFirst;
    // Find the pattern element pixel iFirst falls in.
    int pos = int((startPhase + iFirst) % period);
    size_t element = 0;
    while (pos >= pattern[element]) {
        pos -= pattern[element];
        element = (element + 1) % pattern.size();
    }
    while (i < iLast) {
        const qint64 run = std::min<qint64>(pattern[element] - pos, iLast - i);
        const bool on = element % 2 == 0;
        if (on || paintGaps) {
            const qint64 p1 = a1 + dir * i, p2 = a1 + dir * (i + run - 1);
            const QColor& color = on ? penColor : gapColor;
            if (on)
                SetCompositionForPen();
            else
                painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
            box(std::min(p1, p2), std::max(p1, p2) + 1, c, c + 1, color);
        }
        i += run;
        pos = 0;
        element = (element + 1) % pattern.size();
    }
}

void TkvPainterCanvas::StrokeSegment(QPoint from, QPoint to, bool includeEnd, int& phase) {
    if (!PenVisible(pen_)) return;
    SetCompositionForPen();
    if (from.x() == to.x() || from.y() == to.y()) {
        StrokeAxisSegment(from, to, includeEnd, phase);
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    const int w = PenWidth(pen_);
    QPen pen(kv::ColorToQColor(pen_.color), w);
    if (w == 1) {
        pen.setCosmetic(true);
        pen.setCapStyle(Qt::FlatCap);
    } else {
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
    }
    if (IsStyled(pen_.style)) {
        const std::vector<int>& pattern = DashPattern(pen_.style);
        pen.setDashPattern(QList<qreal>(pattern.begin(), pattern.end()));
        pen.setDashOffset(phase);
        const qint64 length =
            std::max(std::abs(qint64(to.x()) - from.x()), std::abs(qint64(to.y()) - from.y()));
        phase = int((phase + length) % PatternPeriod(pattern));
        const bool paintGaps = bkOpaque_ && brush_.color != kv::kNoColor;
        painter_->setBackgroundMode(paintGaps ? Qt::OpaqueMode : Qt::TransparentMode);
        painter_->setBackground(kv::ColorToQColor(brush_.color));
    }
    painter_->setPen(pen);
    painter_->drawLine(from, to);
    if (includeEnd && w == 1) painter_->drawPoint(to);
    painter_->setBackgroundMode(Qt::TransparentMode);
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TkvPainterCanvas::DrawLine(QPoint from, QPoint to) {
    int phase = 0;
    StrokeSegment(from, to, false, phase);
}

void TkvPainterCanvas::Polyline(const QPolygon& points) {
    int phase = 0;
    for (int i = 1; i < points.size(); ++i)
        StrokeSegment(points[i - 1], points[i], false, phase);
}

void TkvPainterCanvas::StrokeClosedOutline(const QPolygon& points) {
    int phase = 0;
    for (int i = 0; i < points.size(); ++i)
        StrokeSegment(points[i], points[(i + 1) % points.size()], false, phase);
}

void TkvPainterCanvas::FillRect(const QRect& r) {
    if (!BrushVisible(brush_) || r.width() <= 0 || r.height() <= 0) return;
    FillBox(r.left(), r.top(), qint64(r.left()) + r.width(), qint64(r.top()) + r.height(),
            kv::ColorToQColor(brush_.color));
}

void TkvPainterCanvas::Rectangle(const QRect& r) {
    if (r.width() <= 0 || r.height() <= 0) return;
    const qint64 l = r.left(), t = r.top(), rr = l + r.width(), b = t + r.height();
    const bool pen = PenVisible(pen_);
    const int w = PenWidth(pen_);
    // The outline runs through the outermost pixels (l .. rr-1, t .. b-1), centred for wide pens.
    const qint64 off = w / 2;
    const qint64 outerL = l - off, outerT = t - off, outerR = rr - 1 - off + w, outerB = b - 1 - off + w;
    const qint64 innerL = l - off + w, innerT = t - off + w, innerR = rr - 1 - off, innerB = b - 1 - off;
    if (BrushVisible(brush_)) {
        SetCompositionForPen();
        const QColor fill = kv::ColorToQColor(brush_.color);
        if (pen)
            FillBox(innerL, innerT, innerR, innerB, fill);
        else
            FillBox(l, t, rr, b, fill);
    }
    if (!pen) {
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    if (IsStyled(pen_.style) || w == 1) {
        StrokeClosedOutline(QPolygon({QPoint(int(l), int(t)), QPoint(int(rr - 1), int(t)),
                                      QPoint(int(rr - 1), int(b - 1)), QPoint(int(l), int(b - 1))}));
        return;
    }
    SetCompositionForPen();
    const QColor color = kv::ColorToQColor(pen_.color);
    if (innerL >= innerR || innerT >= innerB) {
        FillBox(outerL, outerT, outerR, outerB, color);
    } else {
        FillBox(outerL, outerT, outerR, innerT, color);
        FillBox(outerL, innerB, outerR, outerB, color);
        FillBox(outerL, innerT, innerL, innerB, color);
        FillBox(innerR, innerT, outerR, innerB, color);
    }
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

namespace {

// The pen and brush of shapes Qt draws itself (ellipses, rounded rectangles, polygon fills).
QPen ShapePen(const TkvPen& pen) {
    if (!PenVisible(pen)) return QPen(Qt::NoPen);
    const int w = PenWidth(pen);
    QPen q(kv::ColorToQColor(pen.color), w);
    q.setCosmetic(w == 1);
    q.setJoinStyle(Qt::MiterJoin);
    if (IsStyled(pen.style)) {
        const std::vector<int>& pattern = DashPattern(pen.style);
        q.setDashPattern(QList<qreal>(pattern.begin(), pattern.end()));
    }
    return q;
}

} // namespace

void TkvPainterCanvas::Ellipse(const QRect& r) {
    if (r.width() <= 0 || r.height() <= 0) return;
    SetCompositionForPen();
    painter_->setPen(ShapePen(pen_));
    painter_->setBrush(BrushVisible(brush_) ? QBrush(kv::ColorToQColor(brush_.color)) : QBrush(Qt::NoBrush));
    painter_->setBackgroundMode(bkOpaque_ && IsStyled(pen_.style) ? Qt::OpaqueMode : Qt::TransparentMode);
    painter_->setBackground(kv::ColorToQColor(brush_.color));
    // With non-antialiased drawing Qt's outline covers width + 1 pixels; the report's excludes the
    // right and bottom edge.
    painter_->drawEllipse(QRectF(r.left(), r.top(), r.width() - 1, r.height() - 1));
    painter_->setBackgroundMode(Qt::TransparentMode);
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TkvPainterCanvas::RoundRect(const QRect& r, int rx, int ry) {
    if (r.width() <= 0 || r.height() <= 0) return;
    SetCompositionForPen();
    painter_->setPen(ShapePen(pen_));
    painter_->setBrush(BrushVisible(brush_) ? QBrush(kv::ColorToQColor(brush_.color)) : QBrush(Qt::NoBrush));
    painter_->setBackgroundMode(bkOpaque_ && IsStyled(pen_.style) ? Qt::OpaqueMode : Qt::TransparentMode);
    painter_->setBackground(kv::ColorToQColor(brush_.color));
    painter_->drawRoundedRect(QRectF(r.left(), r.top(), r.width() - 1, r.height() - 1), std::max(rx, 0),
                              std::max(ry, 0));
    painter_->setBackgroundMode(Qt::TransparentMode);
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TkvPainterCanvas::Polygon(const QPolygon& points) {
    if (points.size() < 2) return;
    if (BrushVisible(brush_)) {
        SetCompositionForPen();
        painter_->setPen(Qt::NoPen);
        painter_->setBrush(kv::ColorToQColor(brush_.color));
        painter_->drawPolygon(points, Qt::OddEvenFill);
        painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    StrokeClosedOutline(points);
}

void TkvPainterCanvas::DrawImage(const QRect& target, const QImage& image, bool smooth) {
    if (image.isNull() || target.width() <= 0 || target.height() <= 0) return;
    painter_->save();
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter_->drawImage(QRectF(target), image);
    painter_->restore();
}

// ---------------------------------------------------------------- text

std::vector<int> TkvPainterCanvas::ClusterAdvances(const QString& text, std::vector<int>* clusterStarts) {
    std::vector<int> starts = ClusterStarts(text);
    std::vector<int> advances;
    advances.reserve(starts.size());
    const QFontMetrics fm(qfont_, device_);
    for (size_t k = 0; k < starts.size(); ++k) {
        const int end = k + 1 < starts.size() ? starts[k + 1] : int(text.size());
        int advance;
        if (end - starts[k] == 1) {
            const char16_t ch = text[starts[k]].unicode();
            auto it = advanceCache_.constFind(ch);
            if (it == advanceCache_.constEnd())
                it = advanceCache_.insert(ch, fm.horizontalAdvance(QChar(ch)));
            advance = it.value();
        } else {
            advance = fm.horizontalAdvance(text.mid(starts[k], end - starts[k]));
        }
        advances.push_back(advance + charSpacing_);
    }
    if (clusterStarts) *clusterStarts = std::move(starts);
    return advances;
}

QSize TkvPainterCanvas::TextExtent(const QString& text) {
    const QFontMetrics fm(qfont_, device_);
    qint64 width = 0;
    for (int a : ClusterAdvances(text, nullptr))
        width += a;
    return QSize(int(std::clamp<qint64>(width, INT_MIN, INT_MAX)), fm.ascent() + fm.descent());
}

TkvTextMetrics TkvPainterCanvas::TextMetrics() {
    const QFontMetrics fm(qfont_, device_);
    TkvTextMetrics m;
    m.ascent = fm.ascent();
    m.descent = fm.descent();
    m.height = m.ascent + m.descent;
    m.internalLeading = std::max(0, m.height - qfont_.pixelSize());
    m.externalLeading = std::max(0, fm.leading());
    m.averageCharWidth = fm.averageCharWidth();
    return m;
}

void TkvPainterCanvas::TextOut(QPoint at, const QString& text, const QRect* clip,
                               const QVector<int>* advances) {
    if (text.isEmpty() || font_.color == kv::kNoColor || !painter_->isActive()) return;
    std::vector<int> starts;
    std::vector<int> measured = ClusterAdvances(text, &starts);
    // Given advances are per character and replace both the font's advances and char spacing.
    if (advances) {
        for (size_t k = 0; k < starts.size(); ++k) {
            const int end = k + 1 < starts.size() ? starts[k + 1] : int(text.size());
            if (end > advances->size()) break;
            int sum = 0;
            for (int i = starts[k]; i < end; ++i)
                sum += (*advances)[i];
            measured[k] = sum;
        }
    }

    painter_->save();
    if (clip) {
        painter_->setClipping(true);
        painter_->setClipRegion(hasClip_ ? clip_.intersected(*clip) : QRegion(*clip));
    }
    QFont drawFont = qfont_;
    drawFont.setUnderline(false);
    drawFont.setStrikeOut(false);
    painter_->setFont(drawFont);
    painter_->setPen(kv::ColorToQColor(font_.color));
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_->setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics fm(qfont_, device_);
    const int ascent = fm.ascent();
    const bool rotated = font_.escapement % 3600 != 0;
    const QRect visible = rotated ? QRect() : VisibleBounds().translated(-at);
    painter_->translate(at);
    if (rotated) painter_->rotate(-font_.escapement / 10.0);

    // Clusters that can reach the device; long runs far outside are skipped.
    std::vector<qint64> xs(starts.size());
    qint64 x = 0;
    for (size_t k = 0; k < starts.size(); ++k) {
        xs[k] = x;
        x += measured[k];
    }
    auto shown = [&](size_t k) {
        return rotated || (xs[k] <= visible.right() && xs[k] + measured[k] >= visible.left());
    };

    // Screens and images take the whole run as one positioned glyph run when every character is
    // a glyph of the font itself; printers get characters (so PDF text stays extractable), and
    // characters that need a fallback font or combine with marks go one cluster at a time.
    bool drawn = false;
    if (!printer_ && starts.size() == size_t(text.size())) {
        if (!rawFont_) rawFont_ = QRawFont::fromFont(drawFont);
        if (rawFont_->isValid()) {
            const QList<quint32> glyphs = rawFont_->glyphIndexesForString(text);
            bool complete = glyphs.size() == text.size();
            QList<quint32> runGlyphs;
            QList<QPointF> positions;
            for (qsizetype k = 0; complete && k < glyphs.size(); ++k) {
                if (text[k].unicode() < 0x20 || !shown(size_t(k))) continue;
                if (glyphs[k] == 0) complete = false;
                runGlyphs.push_back(glyphs[k]);
                positions.push_back(QPointF(double(xs[size_t(k)]), ascent));
            }
            if (complete) {
                QGlyphRun run;
                run.setRawFont(*rawFont_);
                run.setGlyphIndexes(runGlyphs);
                run.setPositions(positions);
                painter_->drawGlyphRun(QPointF(0, 0), run);
                drawn = true;
            }
        }
    }
    for (size_t k = 0; !drawn && k < starts.size(); ++k) {
        const int end = k + 1 < starts.size() ? starts[k + 1] : int(text.size());
        const QChar first = text[starts[k]];
        if (shown(k) && !(end - starts[k] == 1 && (first.isSpace() || first.unicode() < 0x20)))
            painter_->drawText(QPoint(int(xs[k]), ascent), text.mid(starts[k], end - starts[k]));
    }
    if (font_.style & (4 | 8)) {
        const int thickness = std::max(1, fm.lineWidth());
        const int width = int(std::clamp<qint64>(x, 0, INT_MAX));
        const QColor color = kv::ColorToQColor(font_.color);
        if (font_.style & 4)
            painter_->fillRect(QRect(0, ascent + fm.underlinePos(), width, thickness), color);
        if (font_.style & 8)
            painter_->fillRect(QRect(0, ascent - fm.strikeOutPos(), width, thickness), color);
    }
    painter_->restore();
}
