#include "render/recording_canvas.h"

#include "render/colors.h"
#include "render/painter_canvas.h"

#include <QTransform>
#include <algorithm>

namespace {

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

QString ColorText(uint32_t color) {
    if (color == kv::kNoColor) return QStringLiteral("none");
    if (color & 0x80000000u) return QStringLiteral("sys%1").arg(color & 0xFF);
    return QStringLiteral("%1").arg(color, 6, 16, QLatin1Char('0')).toUpper();
}

const char* PenStyleText(TkvPenStyle style) {
    switch (style) {
    case TkvPenStyle::Solid:
        return "solid";
    case TkvPenStyle::Dash:
        return "dash";
    case TkvPenStyle::Dot:
        return "dot";
    case TkvPenStyle::DashDot:
        return "dashdot";
    case TkvPenStyle::DashDotDot:
        return "dashdotdot";
    case TkvPenStyle::Clear:
        return "clear";
    }
    return "?";
}

QString PenFields(const TkvPen& pen) {
    QString s = QStringLiteral("color=%1 width=%2 style=%3")
                    .arg(ColorText(pen.color))
                    .arg(pen.width)
                    .arg(QLatin1String(PenStyleText(pen.style)));
    if (pen.mode == TkvPenMode::Xor) s += QStringLiteral(" mode=xor");
    return s;
}

QString BrushFields(const TkvBrush& brush) {
    return QStringLiteral("color=%1 style=%2")
        .arg(ColorText(brush.color),
             brush.style == TkvBrushStyle::Clear ? QStringLiteral("clear") : QStringLiteral("solid"));
}

QString Quoted(const QString& text) {
    QString out = QStringLiteral("\"");
    for (QChar ch : text) {
        switch (ch.unicode()) {
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (ch.unicode() < 0x20 || ch.unicode() == 0x7F)
                out += QStringLiteral("\\x") +
                       QString::number(ch.unicode(), 16).toUpper().rightJustified(2, u'0');
            else
                out += ch;
        }
    }
    return out + QLatin1Char('"');
}

QString FontFields(const TkvFont& font) {
    return QStringLiteral("name=%1 height=%2 size=%3 style=%4 color=%5 charset=%6 escapement=%7")
        .arg(Quoted(font.name))
        .arg(font.height)
        .arg(font.pointSize)
        .arg(font.style)
        .arg(ColorText(font.color))
        .arg(font.charset)
        .arg(font.escapement);
}

QString PointText(QPoint p) {
    return QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
}

QString RectText(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height());
}

QString PointsText(const QPolygon& points) {
    QStringList parts;
    for (QPoint p : points)
        parts << PointText(p);
    return parts.join(QLatin1Char(' '));
}

QString ShapeSuffix(const TkvPen& pen, const TkvBrush& brush) {
    return QStringLiteral(" pen(%1) brush(%2)").arg(PenFields(pen), BrushFields(brush));
}

QTransform TextTransform(const kvrec::Text& rec) {
    QTransform t;
    t.translate(rec.at.x(), rec.at.y());
    if (rec.font.escapement % 3600 != 0) t.rotate(-rec.font.escapement / 10.0);
    return t;
}

} // namespace

TkvRecordingCanvas::TkvRecordingCanvas(int dpiX, int dpiY, bool printer)
    : dpiX_(dpiX > 0 ? dpiX : 96), dpiY_(dpiY > 0 ? dpiY : 96), printer_(printer) {}

void TkvRecordingCanvas::Clear() {
    records_.clear();
    ResetState();
}

// ---------------------------------------------------------------- recording

void TkvRecordingCanvas::SetPen(const TkvPen& pen) {
    pen_ = pen;
    records_.push_back(kvrec::SetPen{pen});
}

void TkvRecordingCanvas::SetBrush(const TkvBrush& brush) {
    brush_ = brush;
    records_.push_back(kvrec::SetBrush{brush});
}

void TkvRecordingCanvas::SetFont(const TkvFont& font) {
    font_ = font;
    records_.push_back(kvrec::SetFont{font});
}

void TkvRecordingCanvas::SetBkOpaque(bool opaque) {
    bkOpaque_ = opaque;
    records_.push_back(kvrec::SetBkOpaque{opaque});
}

void TkvRecordingCanvas::SetCharSpacing(int pixels) {
    charSpacing_ = pixels;
    records_.push_back(kvrec::SetCharSpacing{pixels});
}

void TkvRecordingCanvas::DrawLine(QPoint from, QPoint to) {
    records_.push_back(kvrec::Line{from, to, pen_, brush_, bkOpaque_});
}

void TkvRecordingCanvas::FillRect(const QRect& r) {
    records_.push_back(kvrec::FillRect{r, brush_});
}

void TkvRecordingCanvas::Rectangle(const QRect& r) {
    records_.push_back(kvrec::Rectangle{r, pen_, brush_, bkOpaque_});
}

void TkvRecordingCanvas::Ellipse(const QRect& r) {
    records_.push_back(kvrec::Ellipse{r, pen_, brush_, bkOpaque_});
}

void TkvRecordingCanvas::RoundRect(const QRect& r, int rx, int ry) {
    records_.push_back(kvrec::RoundRect{r, rx, ry, pen_, brush_, bkOpaque_});
}

void TkvRecordingCanvas::Polygon(const QPolygon& points) {
    records_.push_back(kvrec::Polygon{points, pen_, brush_, bkOpaque_});
}

void TkvRecordingCanvas::Polyline(const QPolygon& points) {
    records_.push_back(kvrec::Polyline{points, pen_, brush_, bkOpaque_});
}

void TkvRecordingCanvas::TextOut(QPoint at, const QString& text, const QRect* clip,
                                 const QVector<int>* advances) {
    kvrec::Text rec;
    rec.at = at;
    rec.text = text;
    if (clip) rec.clip = *clip;
    if (advances) rec.advances = *advances;
    rec.font = font_;
    rec.charSpacing = charSpacing_;
    qint64 width = 0;
    if (advances && advances->size() >= text.size()) {
        for (qsizetype i = 0; i < text.size(); ++i)
            width += (*advances)[i];
    } else {
        width = Measurer(font_, charSpacing_).TextExtent(text).width();
    }
    rec.bounds = TextBox(rec, 0, width);
    records_.push_back(std::move(rec));
}

void TkvRecordingCanvas::DrawImage(const QRect& target, const QImage& image, bool smooth) {
    records_.push_back(kvrec::Image{target, image, smooth});
}

void TkvRecordingCanvas::SetClipRegion(const QRegion& region) {
    clip_ = region;
    hasClip_ = true;
    records_.push_back(kvrec::SetClip{region});
}

void TkvRecordingCanvas::ClearClip() {
    clip_ = QRegion();
    hasClip_ = false;
    records_.push_back(kvrec::ClearClip{});
}

void TkvRecordingCanvas::Save() {
    PushState();
    records_.push_back(kvrec::Save{});
}

void TkvRecordingCanvas::Restore() {
    const std::optional<TkvFont> font = PopState();
    if (!font) return;
    font_ = *font;
    records_.push_back(kvrec::Restore{});
}

// ---------------------------------------------------------------- measuring

TkvCanvas& TkvRecordingCanvas::Measurer(const TkvFont& font, int charSpacing) const {
    TkvCanvas& m = kv::MeasuringCanvas();
    TkvFont sized = font;
    // The measuring canvas works at 96 dpi; a point size is turned into pixels at ours.
    if (sized.height == 0) sized.height = -kv::FontPixelSize(font, dpiY_);
    m.SetFont(sized);
    m.SetCharSpacing(charSpacing);
    return m;
}

QSize TkvRecordingCanvas::TextExtent(const QString& text) {
    return Measurer(font_, charSpacing_).TextExtent(text);
}

TkvTextMetrics TkvRecordingCanvas::TextMetrics() {
    return Measurer(font_, charSpacing_).TextMetrics();
}

std::vector<qint64> TkvRecordingCanvas::CharOffsets(const kvrec::Text& rec) const {
    TkvCanvas& m = Measurer(rec.font, rec.charSpacing);
    const qsizetype n = rec.text.size();
    std::vector<qint64> offsets(size_t(n) + 1, 0);
    for (qsizetype i = 0; i < n; ++i) {
        const qint64 advance = rec.advances && i < rec.advances->size()
                                   ? (*rec.advances)[i]
                                   : m.TextExtent(QString(rec.text[i])).width();
        offsets[size_t(i) + 1] = offsets[size_t(i)] + advance;
    }
    return offsets;
}

QRect TkvRecordingCanvas::TextBox(const kvrec::Text& rec, qint64 x1, qint64 x2) const {
    const int height = Measurer(rec.font, rec.charSpacing).TextMetrics().height;
    const auto clampInt = [](qint64 v) { return int(std::clamp<qint64>(v, -(1 << 29), 1 << 29)); };
    const QRect local(clampInt(x1), 0, clampInt(x2 - x1), height);
    return TextTransform(rec).mapRect(local);
}

// ---------------------------------------------------------------- reading the records

QStringList TkvRecordingCanvas::Dump() const {
    QStringList lines;
    lines.reserve(int(records_.size()));
    for (const TkvRecord& record : records_) {
        lines << std::visit(
            Overloaded{
                [](const kvrec::SetPen& r) { return QStringLiteral("pen ") + PenFields(r.pen); },
                [](const kvrec::SetBrush& r) { return QStringLiteral("brush ") + BrushFields(r.brush); },
                [](const kvrec::SetFont& r) { return QStringLiteral("font ") + FontFields(r.font); },
                [](const kvrec::SetBkOpaque& r) {
                    return r.opaque ? QStringLiteral("bkmode opaque") : QStringLiteral("bkmode transparent");
                },
                [](const kvrec::SetCharSpacing& r) { return QStringLiteral("charspacing %1").arg(r.pixels); },
                [](const kvrec::Line& r) {
                    return QStringLiteral("line %1 -> %2 pen(%3)")
                        .arg(PointText(r.from), PointText(r.to), PenFields(r.pen));
                },
                [](const kvrec::FillRect& r) {
                    return QStringLiteral("fillrect %1 brush(%2)")
                        .arg(RectText(r.rect), BrushFields(r.brush));
                },
                [](const kvrec::Rectangle& r) {
                    return QStringLiteral("rectangle ") + RectText(r.rect) + ShapeSuffix(r.pen, r.brush);
                },
                [](const kvrec::Ellipse& r) {
                    return QStringLiteral("ellipse ") + RectText(r.rect) + ShapeSuffix(r.pen, r.brush);
                },
                [](const kvrec::RoundRect& r) {
                    return QStringLiteral("roundrect %1 radii=%2,%3")
                               .arg(RectText(r.rect))
                               .arg(r.rx)
                               .arg(r.ry) +
                           ShapeSuffix(r.pen, r.brush);
                },
                [](const kvrec::Polygon& r) {
                    return QStringLiteral("polygon ") + PointsText(r.points) + ShapeSuffix(r.pen, r.brush);
                },
                [](const kvrec::Polyline& r) {
                    return QStringLiteral("polyline %1 pen(%2)").arg(PointsText(r.points), PenFields(r.pen));
                },
                [](const kvrec::Text& r) {
                    QString s = QStringLiteral("text %1 %2 font(%3) spacing=%4")
                                    .arg(PointText(r.at), Quoted(r.text), FontFields(r.font))
                                    .arg(r.charSpacing);
                    if (r.clip) s += QStringLiteral(" clip=") + RectText(*r.clip);
                    if (r.advances) {
                        QStringList a;
                        for (int v : *r.advances)
                            a << QString::number(v);
                        s += QStringLiteral(" advances=") + a.join(QLatin1Char(','));
                    }
                    return s;
                },
                [](const kvrec::Image& r) {
                    return QStringLiteral("image %1 source=%2x%3 smooth=%4")
                        .arg(RectText(r.target))
                        .arg(r.image.width())
                        .arg(r.image.height())
                        .arg(r.smooth ? QStringLiteral("yes") : QStringLiteral("no"));
                },
                [](const kvrec::SetClip& r) {
                    if (r.region.isEmpty()) return QStringLiteral("clip empty");
                    QStringList parts;
                    for (const QRect& rect : r.region)
                        parts << RectText(rect);
                    return QStringLiteral("clip ") + parts.join(QStringLiteral(" + "));
                },
                [](const kvrec::ClearClip&) { return QStringLiteral("noclip"); },
                [](const kvrec::Save&) { return QStringLiteral("save"); },
                [](const kvrec::Restore&) { return QStringLiteral("restore"); },
            },
            record);
    }
    return lines;
}

void TkvRecordingCanvas::Replay(TkvCanvas& target) const {
    target.Save();
    int depth = 0;
    auto usePen = [&](const TkvPen& pen) {
        if (!(target.Pen() == pen)) target.SetPen(pen);
    };
    auto useBrush = [&](const TkvBrush& brush) {
        if (!(target.Brush() == brush)) target.SetBrush(brush);
    };
    auto useBk = [&](bool opaque) {
        if (target.BkOpaque() != opaque) target.SetBkOpaque(opaque);
    };
    for (const TkvRecord& record : records_) {
        std::visit(Overloaded{
                       [&](const kvrec::SetPen& r) { target.SetPen(r.pen); },
                       [&](const kvrec::SetBrush& r) { target.SetBrush(r.brush); },
                       [&](const kvrec::SetFont& r) { target.SetFont(r.font); },
                       [&](const kvrec::SetBkOpaque& r) { target.SetBkOpaque(r.opaque); },
                       [&](const kvrec::SetCharSpacing& r) { target.SetCharSpacing(r.pixels); },
                       [&](const kvrec::Line& r) {
                           usePen(r.pen);
                           useBrush(r.brush);
                           useBk(r.bkOpaque);
                           target.DrawLine(r.from, r.to);
                       },
                       [&](const kvrec::FillRect& r) {
                           useBrush(r.brush);
                           target.FillRect(r.rect);
                       },
                       [&](const kvrec::Rectangle& r) {
                           usePen(r.pen);
                           useBrush(r.brush);
                           useBk(r.bkOpaque);
                           target.Rectangle(r.rect);
                       },
                       [&](const kvrec::Ellipse& r) {
                           usePen(r.pen);
                           useBrush(r.brush);
                           useBk(r.bkOpaque);
                           target.Ellipse(r.rect);
                       },
                       [&](const kvrec::RoundRect& r) {
                           usePen(r.pen);
                           useBrush(r.brush);
                           useBk(r.bkOpaque);
                           target.RoundRect(r.rect, r.rx, r.ry);
                       },
                       [&](const kvrec::Polygon& r) {
                           usePen(r.pen);
                           useBrush(r.brush);
                           useBk(r.bkOpaque);
                           target.Polygon(r.points);
                       },
                       [&](const kvrec::Polyline& r) {
                           usePen(r.pen);
                           useBrush(r.brush);
                           useBk(r.bkOpaque);
                           target.Polyline(r.points);
                       },
                       [&](const kvrec::Text& r) {
                           if (!(target.Font() == r.font)) target.SetFont(r.font);
                           if (target.CharSpacing() != r.charSpacing) target.SetCharSpacing(r.charSpacing);
                           target.TextOut(r.at, r.text, r.clip ? &*r.clip : nullptr,
                                          r.advances ? &*r.advances : nullptr);
                       },
                       [&](const kvrec::Image& r) { target.DrawImage(r.target, r.image, r.smooth); },
                       [&](const kvrec::SetClip& r) { target.SetClipRegion(r.region); },
                       [&](const kvrec::ClearClip&) { target.ClearClip(); },
                       [&](const kvrec::Save&) {
                           target.Save();
                           ++depth;
                       },
                       [&](const kvrec::Restore&) {
                           // A restore without its save here must not undo the save made above.
                           if (depth == 0) return;
                           target.Restore();
                           --depth;
                       },
                   },
                   record);
    }
    while (depth-- > 0)
        target.Restore();
    target.Restore();
}

std::vector<TkvTextMatch> TkvRecordingCanvas::FindText(const QString& needle, Qt::CaseSensitivity cs) const {
    std::vector<TkvTextMatch> matches;
    if (needle.isEmpty()) return matches;
    for (size_t i = 0; i < records_.size(); ++i) {
        const auto* rec = std::get_if<kvrec::Text>(&records_[i]);
        if (!rec) continue;
        qsizetype at = rec->text.indexOf(needle, 0, cs);
        if (at < 0) continue;
        const std::vector<qint64> offsets = CharOffsets(*rec);
        for (; at >= 0; at = rec->text.indexOf(needle, at + needle.size(), cs)) {
            const QRect box = TextBox(*rec, offsets[size_t(at)], offsets[size_t(at + needle.size())]);
            matches.push_back({int(i), int(at), rec->bounds, box});
        }
    }
    return matches;
}
