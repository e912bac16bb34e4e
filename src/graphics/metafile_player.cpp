#include "graphics/metafile_player.h"

#include "graphics/metafile_records.h"

#include <QtMath>
#include <algorithm>
#include <cmath>

using namespace kv;

namespace {

// Device coordinates are kept far from int overflow whatever the stored numbers are.
constexpr double kCoordLimit = 1 << 28;

int ToDevice(double v) {
    if (!std::isfinite(v)) return 0;
    return int(std::nearbyint(std::clamp(v, -kCoordLimit, kCoordLimit)));
}

QPoint ToDevice(QPointF p) {
    return QPoint(ToDevice(p.x()), ToDevice(p.y()));
}

bool Finite(const QTransform& t) {
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) &&
           std::isfinite(t.m22()) && std::isfinite(t.dx()) && std::isfinite(t.dy());
}

} // namespace

TkvMetafilePlayer::TkvMetafilePlayer(const TkvMetafile& metafile, TkvCanvas& canvas, const QRect& target,
                                     const QRectF& frame)
    : mf_(metafile), canvas_(canvas), target_(target), frame_(frame),
      emf_(metafile.Format() == TkvMetafileFormat::Emf) {
    if (emf_) {
        objects_.resize(size_t(std::clamp(metafile.Emf().nHandles, 1, kMaxObjects)));
    } else {
        objects_.resize(size_t(std::clamp(metafile.WmfObjectCount(), 0, kMaxObjects)));
        dc_.mapMode = gdi::MmAnisotropic;
        dc_.windowOrg = frame.topLeft();
        dc_.windowExt = QPointF(frame.width(), frame.height());
    }
}

void TkvMetafilePlayer::Run() {
    if (target_.isEmpty() || frame_.width() == 0 || frame_.height() == 0) return;
    canvas_.Save();
    const TkvPen pen = canvas_.Pen();
    const TkvBrush brush = canvas_.Brush();
    const TkvFont font = canvas_.Font();
    const bool bkOpaque = canvas_.BkOpaque();
    const int charSpacing = canvas_.CharSpacing();
    baseHasClip_ = canvas_.HasClip();
    baseClip_ = canvas_.ClipRegion();

    const QByteArrayView data(mf_.Data());
    for (const TkvMetafile::Record& rec : mf_.Records()) {
        try {
            if (emf_) {
                // EMF offsets inside a record count from the record's start: read from there.
                TkvByteReader r(data.sliced(rec.offset - 8, rec.size + 8));
                r.Seek(8);
                PlayEmf(rec.type, r);
            } else {
                TkvByteReader r(data.sliced(rec.offset, rec.size));
                PlayWmf(rec.type, r);
            }
        } catch (const TkvGraphicFormatError&) {
            // A record that does not hold what its type needs is skipped; the rest still plays.
        }
    }

    if (baseHasClip_)
        canvas_.SetClipRegion(baseClip_);
    else
        canvas_.ClearClip();
    canvas_.SetPen(pen);
    canvas_.SetBrush(brush);
    canvas_.SetFont(font);
    canvas_.SetBkOpaque(bkOpaque);
    canvas_.SetCharSpacing(charSpacing);
    canvas_.Restore();
}

// ---- Mapping ------------------------------------------------------------------------------

const QTransform& TkvMetafilePlayer::Xform() {
    if (xformValid_) return xform_;
    xformValid_ = true;
    const double tw = target_.width(), th = target_.height();
    QTransform t;
    if (!emf_) {
        // The window fills the target, as when a metafile plays into an anisotropic viewport.
        double sx = tw / dc_.windowExt.x(), sy = th / dc_.windowExt.y();
        if (dc_.mapMode == gdi::MmIsotropic) {
            const double s = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
        }
        t = QTransform(sx, 0, 0, sy, target_.left() - dc_.windowOrg.x() * sx,
                       target_.top() - dc_.windowOrg.y() * sy);
    } else {
        // World -> page (mapping mode, in reference-device pixels) -> frame onto the target.
        const QSizeF ppmm = mf_.Emf().devicePixelsPerMm;
        double sx = 1, sy = 1;
        switch (dc_.mapMode) {
        case gdi::MmText:
            break;
        case gdi::MmLoMetric:
            sx = ppmm.width() / 10;
            sy = -ppmm.height() / 10;
            break;
        case gdi::MmHiMetric:
            sx = ppmm.width() / 100;
            sy = -ppmm.height() / 100;
            break;
        case gdi::MmLoEnglish:
            sx = ppmm.width() * 0.254;
            sy = -ppmm.height() * 0.254;
            break;
        case gdi::MmHiEnglish:
            sx = ppmm.width() * 0.0254;
            sy = -ppmm.height() * 0.0254;
            break;
        case gdi::MmTwips:
            sx = ppmm.width() * 25.4 / 1440;
            sy = -ppmm.height() * 25.4 / 1440;
            break;
        default:
            sx = dc_.viewportExt.x() / dc_.windowExt.x();
            sy = dc_.viewportExt.y() / dc_.windowExt.y();
            if (dc_.mapMode == gdi::MmIsotropic) {
                const double s = std::min(std::abs(sx), std::abs(sy));
                sx = std::copysign(s, sx);
                sy = std::copysign(s, sy);
            }
            break;
        }
        const QTransform page(sx, 0, 0, sy, dc_.viewportOrg.x() - dc_.windowOrg.x() * sx,
                              dc_.viewportOrg.y() - dc_.windowOrg.y() * sy);
        const double fx = tw / frame_.width(), fy = th / frame_.height();
        const QTransform frame(fx, 0, 0, fy, target_.left() - frame_.left() * fx,
                               target_.top() - frame_.top() * fy);
        t = dc_.world * page * frame;
    }
    xform_ = Finite(t) ? t : QTransform(0, 0, 0, 0, 0, 0);
    return xform_;
}

QPoint TkvMetafilePlayer::MapPoint(QPointF logical) {
    return ToDevice(Map(logical));
}

bool TkvMetafilePlayer::AxisAligned() {
    const QTransform& t = Xform();
    return t.m12() == 0 && t.m21() == 0;
}

double TkvMetafilePlayer::ScaleX() {
    const QTransform& t = Xform();
    return std::hypot(t.m11(), t.m12());
}

double TkvMetafilePlayer::ScaleY() {
    const QTransform& t = Xform();
    return std::hypot(t.m21(), t.m22());
}

int TkvMetafilePlayer::DeviceLength(double logical, bool vertical) {
    return ToDevice(std::abs(logical) * (vertical ? ScaleY() : ScaleX()));
}

QRect TkvMetafilePlayer::MapRect(const QRectF& logical) {
    const QPoint a = MapPoint(logical.topLeft()), b = MapPoint(logical.bottomRight());
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()) - 1, std::max(a.y(), b.y()) - 1));
}

QRect TkvMetafilePlayer::MapReferenceRect(const QRectF& reference) {
    // EMF regions are in reference pixels: only the frame maps them.
    const double fx = target_.width() / frame_.width(), fy = target_.height() / frame_.height();
    const QPoint a = ToDevice(QPointF(target_.left() + (reference.left() - frame_.left()) * fx,
                                      target_.top() + (reference.top() - frame_.top()) * fy));
    const QPoint z = ToDevice(QPointF(target_.left() + (reference.right() - frame_.left()) * fx,
                                      target_.top() + (reference.bottom() - frame_.top()) * fy));
    return QRect(QPoint(std::min(a.x(), z.x()), std::min(a.y(), z.y())),
                 QPoint(std::max(a.x(), z.x()) - 1, std::max(a.y(), z.y()) - 1));
}

// ---- State to canvas ------------------------------------------------------------------------

TkvPen TkvMetafilePlayer::DevicePen() {
    TkvPen pen;
    pen.color = dc_.pen.color & 0xFFFFFF;
    switch (dc_.pen.style & gdi::PsStyleMask) {
    case gdi::PsNull:
        pen.style = TkvPenStyle::Clear;
        break;
    case gdi::PsDash:
        pen.style = TkvPenStyle::Dash;
        break;
    case gdi::PsDot:
    case gdi::PsAlternate:
        pen.style = TkvPenStyle::Dot;
        break;
    case gdi::PsDashDot:
        pen.style = TkvPenStyle::DashDot;
        break;
    case gdi::PsDashDotDot:
        pen.style = TkvPenStyle::DashDotDot;
        break;
    default:
        pen.style = TkvPenStyle::Solid;
        break;
    }
    pen.width = std::max(1, ToDevice(dc_.pen.width * (ScaleX() + ScaleY()) / 2));
    if (dc_.rop2 == gdi::R2XorPen || dc_.rop2 == gdi::R2NotXorPen)
        pen.mode = TkvPenMode::Xor;
    else if (dc_.rop2 == gdi::R2Nop)
        pen.style = TkvPenStyle::Clear;
    else if (dc_.rop2 == gdi::R2Black)
        pen.color = 0;
    else if (dc_.rop2 == gdi::R2White)
        pen.color = 0xFFFFFF;
    return pen;
}

TkvBrush TkvMetafilePlayer::DeviceBrush(const LogBrush& brush) {
    TkvBrush b;
    b.color = brush.color & 0xFFFFFF;
    // Hatched brushes would need pattern fills the canvas lacks; leaving them hollow keeps what
    // lies under them readable, which a solid fill in the hatch colour would not.
    b.style = brush.style == gdi::BsNull || brush.style == gdi::BsHatched ? TkvBrushStyle::Clear
                                                                          : TkvBrushStyle::Solid;
    return b;
}

TkvFont TkvMetafilePlayer::DeviceFont() {
    TkvFont f;
    const LogFont& lf = dc_.font;
    f.name = lf.face.isEmpty() ? QStringLiteral("Arial") : lf.face;
    // A zero height asks for the default size: 12 pixels of the reference device (EMF) or 12
    // logical units (WMF, which has no reference device). Negative heights are em sizes.
    int h = lf.height == 0 ? ToDevice(12 * (emf_ ? std::abs(target_.height() / frame_.height()) : ScaleY()))
                           : DeviceLength(lf.height, true);
    h = std::max(h, 1);
    f.height = lf.height > 0 ? h : -h;
    f.style =
        (lf.italic ? 1 : 0) | (lf.weight >= 600 ? 2 : 0) | (lf.underline ? 4 : 0) | (lf.strikeOut ? 8 : 0);
    f.color = dc_.textColor & 0xFFFFFF;
    f.charset = lf.charset;
    f.escapement = lf.escapement;
    return f;
}

void TkvMetafilePlayer::ApplyClip() {
    if (dc_.clip) {
        canvas_.SetClipRegion(baseHasClip_ ? baseClip_.intersected(*dc_.clip) : *dc_.clip);
    } else if (baseHasClip_) {
        canvas_.SetClipRegion(baseClip_);
    } else {
        canvas_.ClearClip();
    }
}

void TkvMetafilePlayer::SetClip(const QRegion& region, int mode) {
    // No clip means everything: a huge rectangle stands for it in combinations.
    static const QRegion everything(QRect(-(1 << 28), -(1 << 28), 1 << 29, 1 << 29));
    const QRegion current = dc_.clip ? *dc_.clip : everything;
    switch (mode) {
    case gdi::RgnAnd:
        dc_.clip = current.intersected(region);
        break;
    case gdi::RgnOr:
        if (dc_.clip) dc_.clip = current.united(region);
        break;
    case gdi::RgnXor:
        dc_.clip = current.xored(region);
        break;
    case gdi::RgnDiff:
        dc_.clip = current.subtracted(region);
        break;
    default:
        dc_.clip = region;
        break;
    }
    ApplyClip();
}

// ---- Objects and saved states ------------------------------------------------------------------

void TkvMetafilePlayer::StoreObject(int index, Object object) {
    if (index < 0) {
        auto free = std::find_if(objects_.begin() + qsizetype(std::min(firstFree_, objects_.size())),
                                 objects_.end(), [](const auto& o) { return !o.has_value(); });
        if (free == objects_.end()) {
            if (objects_.size() >= size_t(kMaxObjects)) return;
            objects_.emplace_back();
            free = objects_.end() - 1;
        }
        *free = std::move(object);
        firstFree_ = size_t(free - objects_.begin()) + 1;
        return;
    }
    if (index >= kMaxObjects) return;
    if (size_t(index) >= objects_.size()) objects_.resize(size_t(index) + 1);
    objects_[size_t(index)] = std::move(object);
}

void TkvMetafilePlayer::SelectObject(int index) {
    if (index < 0 || size_t(index) >= objects_.size() || !objects_[size_t(index)]) return;
    const Object& o = *objects_[size_t(index)];
    if (const auto* pen = std::get_if<LogPen>(&o))
        dc_.pen = *pen;
    else if (const auto* brush = std::get_if<LogBrush>(&o))
        dc_.brush = *brush;
    else if (const auto* font = std::get_if<LogFont>(&o))
        dc_.font = *font;
    else if (const auto* region = std::get_if<Region>(&o)) {
        // Selecting a region makes it the clip region (WMF regions are logical).
        QVector<QRect> rects;
        for (const QRectF& rect : region->rects)
            rects.append(MapRect(rect));
        SetClip(RegionFromRects(rects), gdi::RgnCopy);
    }
}

void TkvMetafilePlayer::DeleteObject(int index) {
    if (index >= 0 && size_t(index) < objects_.size()) {
        objects_[size_t(index)].reset();
        firstFree_ = std::min(firstFree_, size_t(index));
    }
}

void TkvMetafilePlayer::SaveDc() {
    if (saved_.size() < size_t(kMaxSavedStates)) saved_.push_back(dc_);
}

void TkvMetafilePlayer::RestoreDc(int which) {
    // Negative: relative to the latest save (-1 is the latest); positive: the n-th save.
    int64_t index = which < 0 ? int64_t(saved_.size()) + which : int64_t(which) - 1;
    if (index < 0 || index >= int64_t(saved_.size())) return;
    dc_ = saved_[size_t(index)];
    saved_.resize(size_t(index));
    MappingChanged();
    ApplyClip();
}

bool TkvMetafilePlayer::Budget(int64_t pixels) {
    if (pixels <= 0 || pixels > kMaxBitmapPixels - bitmapPixels_) return false;
    bitmapPixels_ += pixels;
    return true;
}

// ---- Drawing ------------------------------------------------------------------------------------

void TkvMetafilePlayer::PaintDevicePolygon(const QPolygon& device, bool closed, bool fill) {
    if (device.size() < 2) return;
    if (inPath_) {
        if (pathPoints_ + device.size() > kMaxPathPoints) return;
        pathPoints_ += int(device.size());
        path_.push_back({device, closed});
        return;
    }
    canvas_.SetPen(DevicePen());
    canvas_.SetBkOpaque(dc_.bkMode == gdi::Opaque);
    if (closed) {
        canvas_.SetBrush(fill ? DeviceBrush(dc_.brush) : TkvBrush{0, TkvBrushStyle::Clear});
        canvas_.Polygon(device);
    } else {
        // Gaps of styled lines take the background colour.
        canvas_.SetBrush(TkvBrush{dc_.bkColor & 0xFFFFFF, TkvBrushStyle::Solid});
        canvas_.Polyline(device);
    }
}

void TkvMetafilePlayer::DrawPolyline(const QPolygonF& logical) {
    QPolygon device;
    device.reserve(logical.size());
    for (const QPointF& p : logical)
        device.append(MapPoint(p));
    PaintDevicePolygon(device, false, false);
}

void TkvMetafilePlayer::DrawPolygon(const QPolygonF& logical) {
    QPolygon device;
    device.reserve(logical.size());
    for (const QPointF& p : logical)
        device.append(MapPoint(p));
    PaintDevicePolygon(device, true, true);
}

void TkvMetafilePlayer::DrawPolyPolygon(const std::vector<QPolygonF>& logical) {
    // The canvas fills one polygon at a time: holes of a poly-polygon are filled over. Filling
    // every part first and outlining afterwards keeps outlines visible.
    if (inPath_) {
        for (const QPolygonF& poly : logical)
            DrawPolygon(poly);
        return;
    }
    const LogPen pen = dc_.pen;
    dc_.pen.style = gdi::PsNull;
    for (const QPolygonF& poly : logical)
        DrawPolygon(poly);
    dc_.pen = pen;
    if ((pen.style & gdi::PsStyleMask) == gdi::PsNull) return;
    for (const QPolygonF& poly : logical) {
        QPolygon device;
        for (const QPointF& p : poly)
            device.append(MapPoint(p));
        PaintDevicePolygon(device, true, false);
    }
}

// Closed shapes are outlined with the selected pen and filled with the selected brush.
void TkvMetafilePlayer::SelectShapeTools() {
    canvas_.SetPen(DevicePen());
    canvas_.SetBrush(DeviceBrush(dc_.brush));
    canvas_.SetBkOpaque(false);
}

void TkvMetafilePlayer::DrawRectangle(const QRectF& logical) {
    if (!AxisAligned() || inPath_) {
        DrawPolygon(QPolygonF(logical));
        return;
    }
    const QRect r = MapRect(logical);
    if (r.isEmpty()) return;
    SelectShapeTools();
    canvas_.Rectangle(r);
}

void TkvMetafilePlayer::DrawEllipse(const QRectF& logical) {
    if (inPath_) {
        DrawArc(logical, logical.topLeft(), logical.topLeft(), ArcKind::Chord);
        return;
    }
    const QRect r = MapRect(logical);
    if (r.isEmpty()) return;
    SelectShapeTools();
    canvas_.Ellipse(r);
}

void TkvMetafilePlayer::DrawRoundRect(const QRectF& logical, double cornerWidth, double cornerHeight) {
    if (!AxisAligned() || inPath_) {
        DrawPolygon(QPolygonF(logical));
        return;
    }
    const QRect r = MapRect(logical);
    if (r.isEmpty()) return;
    SelectShapeTools();
    canvas_.RoundRect(r, DeviceLength(cornerWidth, false) / 2, DeviceLength(cornerHeight, true) / 2);
}

void TkvMetafilePlayer::DrawArc(const QRectF& box, QPointF start, QPointF end, ArcKind kind,
                                bool lineToStart) {
    // Computed in device space, where "counter-clockwise" is what the viewer sees.
    const QPointF a = Map(box.topLeft()), b = Map(box.bottomRight());
    const QPointF c = (a + b) / 2;
    const double rx = std::abs(b.x() - a.x()) / 2, ry = std::abs(b.y() - a.y()) / 2;
    if (!(rx >= 0.5 && ry >= 0.5) || !std::isfinite(rx) || !std::isfinite(ry)) return;
    const QPointF s = Map(start), e = Map(end);
    const double t0 = std::atan2(-(s.y() - c.y()) / ry, (s.x() - c.x()) / rx);
    double t1 = std::atan2(-(e.y() - c.y()) / ry, (e.x() - c.x()) / rx);
    const bool clockwise = dc_.arcDirection == gdi::Clockwise;
    double sweep = clockwise ? t0 - t1 : t1 - t0;
    while (sweep <= 1e-9)
        sweep += 2 * M_PI;
    // Clamped as a double: a huge ellipse must not overflow the step count.
    const int steps = int(std::clamp(sweep * std::max(rx, ry) / 4, 8.0, 256.0));
    QPolygon device;
    if (kind == ArcKind::Pie) device.append(ToDevice(c));
    for (int i = 0; i <= steps; ++i) {
        const double t = t0 + (clockwise ? -sweep : sweep) * i / steps;
        device.append(ToDevice(QPointF(c.x() + rx * std::cos(t), c.y() - ry * std::sin(t))));
    }
    if (lineToStart && !device.isEmpty()) {
        PaintDevicePolygon(QPolygon{MapPoint(dc_.current), device.first()}, false, false);
        dc_.current = Xform().inverted().map(QPointF(device.last()));
    }
    PaintDevicePolygon(device, kind != ArcKind::Arc, kind != ArcKind::Arc);
}

void TkvMetafilePlayer::LineTo(QPointF logical) {
    const QPoint from = MapPoint(dc_.current), to = MapPoint(logical);
    dc_.current = logical;
    if (inPath_) {
        if (!path_.empty() && !path_.back().closed && !path_.back().points.isEmpty() &&
            path_.back().points.last() == from && pathPoints_ < kMaxPathPoints) {
            path_.back().points.append(to);
            ++pathPoints_;
        } else {
            PaintDevicePolygon(QPolygon{from, to}, false, false);
        }
        return;
    }
    canvas_.SetPen(DevicePen());
    canvas_.SetBkOpaque(dc_.bkMode == gdi::Opaque);
    canvas_.SetBrush(TkvBrush{dc_.bkColor & 0xFFFFFF, TkvBrushStyle::Solid});
    canvas_.DrawLine(from, to);
}

void TkvMetafilePlayer::PolyBezier(const QPolygonF& logical, bool fromCurrent) {
    QPolygonF pts;
    if (fromCurrent) pts.append(dc_.current);
    pts += logical;
    if (pts.size() < 4) return;
    QPolygon device{MapPoint(pts[0])};
    // 16 segments per curve, fewer for very long records so the output stays bounded.
    const int kSegments = int(std::clamp<qsizetype>(qsizetype(kMaxRecordPoints) * 3 / pts.size(), 1, 16));
    for (qsizetype i = 0; i + 3 < pts.size(); i += 3) {
        const QPointF p0 = Map(pts[i]), p1 = Map(pts[i + 1]), p2 = Map(pts[i + 2]), p3 = Map(pts[i + 3]);
        for (int k = 1; k <= kSegments; ++k) {
            const double t = double(k) / kSegments, u = 1 - t;
            device.append(
                ToDevice(u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3));
        }
    }
    if (fromCurrent) dc_.current = pts[pts.size() - 1 - (pts.size() - 1) % 3];
    PaintDevicePolygon(device, false, false);
}

void TkvMetafilePlayer::FillDeviceRect(const QRect& r, uint32_t color) {
    if (r.isEmpty()) return;
    canvas_.SetBrush(TkvBrush{color & 0xFFFFFF, TkvBrushStyle::Solid});
    canvas_.FillRect(r);
}

void TkvMetafilePlayer::FillRegion(const Region& region, bool deviceUnits, const LogBrush& brush) {
    const TkvBrush b = DeviceBrush(brush);
    if (b.style == TkvBrushStyle::Clear) return;
    canvas_.SetBrush(b);
    for (const QRectF& rect : region.rects) {
        const QRect r = deviceUnits ? MapReferenceRect(rect) : MapRect(rect);
        if (!r.isEmpty()) canvas_.FillRect(r);
    }
}

void TkvMetafilePlayer::DrawText(QPointF logicalAt, const QString& text,
                                 const QVector<double>* logicalAdvances, uint32_t options,
                                 const QRectF* logicalRect) {
    const bool updateCp = dc_.textAlign & gdi::TaUpdateCp;
    if (updateCp) logicalAt = dc_.current;
    const TkvFont font = DeviceFont();
    canvas_.SetFont(font);
    canvas_.SetCharSpacing(DeviceLength(dc_.charExtra, false));
    canvas_.SetBkOpaque(false);

    QRect rect;
    if (logicalRect) rect = MapRect(*logicalRect);
    if ((options & gdi::EtoOpaque) && logicalRect) FillDeviceRect(rect, dc_.bkColor);
    if (text.isEmpty()) return;

    const QPointF origin = Map(logicalAt);
    QVector<int> advances;
    int width = 0;
    if (logicalAdvances && logicalAdvances->size() == text.size()) {
        // Cumulative positions are mapped, so rounding does not add up along the line.
        double sum = 0;
        int previous = 0;
        const double sx = Xform().m11() < 0 ? -ScaleX() : ScaleX();
        for (double a : *logicalAdvances) {
            sum += a;
            const int position = ToDevice(sum * sx);
            advances.append(position - previous);
            previous = position;
        }
        width = previous;
    } else {
        width = canvas_.TextExtent(text).width();
    }
    const TkvTextMetrics metrics = canvas_.TextMetrics();

    double dx = 0, dy = 0;
    const uint32_t horizontal = dc_.textAlign & gdi::TaCenter;
    if (horizontal == gdi::TaCenter)
        dx = -width / 2.0;
    else if (horizontal == gdi::TaRight)
        dx = -width;
    const uint32_t vertical = dc_.textAlign & gdi::TaBaseline;
    if (vertical == gdi::TaBaseline)
        dy = -metrics.ascent;
    else if (vertical == gdi::TaBottom)
        dy = -metrics.height;
    const double angle = qDegreesToRadians(font.escapement / 10.0);
    const double ca = std::cos(angle), sa = std::sin(angle);
    const QPoint at = ToDevice(QPointF(origin.x() + dx * ca + dy * sa, origin.y() - dx * sa + dy * ca));

    if (dc_.bkMode == gdi::Opaque && !(options & gdi::EtoOpaque) && font.escapement == 0)
        FillDeviceRect(QRect(at.x(), at.y(), width, metrics.height), dc_.bkColor);
    const bool clipped = (options & gdi::EtoClipped) && logicalRect;
    canvas_.TextOut(at, text, clipped ? &rect : nullptr, advances.isEmpty() ? nullptr : &advances);

    if (updateCp && ScaleX() > 0) {
        const double logicalWidth = width / ScaleX();
        if (horizontal == gdi::TaRight)
            dc_.current.rx() -= logicalWidth;
        else if (horizontal != gdi::TaCenter)
            dc_.current.rx() += logicalWidth;
    }
}

void TkvMetafilePlayer::DrawBitmap(const QImage& image, const QRectF& logicalDest, QRect source,
                                   uint32_t rop) {
    if (inPath_) return;
    const QPointF a = Map(logicalDest.topLeft()), b = Map(logicalDest.bottomRight());
    const QPoint da = ToDevice(a), db = ToDevice(b);
    const QRect dest = QRect(QPoint(std::min(da.x(), db.x()), std::min(da.y(), db.y())),
                             QPoint(std::max(da.x(), db.x()) - 1, std::max(da.y(), db.y()) - 1));
    if (dest.isEmpty()) return;
    if (rop == gdi::PatCopy || rop == gdi::Blackness || rop == gdi::Whiteness) {
        if (rop == gdi::PatCopy) {
            const TkvBrush brush = DeviceBrush(dc_.brush);
            if (brush.style == TkvBrushStyle::Clear) return;
            FillDeviceRect(dest, brush.color);
        } else {
            FillDeviceRect(dest, rop == gdi::Blackness ? 0 : 0xFFFFFF);
        }
        return;
    }
    // Only plain copies are drawn: mask pairs (AND then OR) and inversions need raster
    // operations the canvas does not have, and drawing them as copies would blacken the picture.
    if (image.isNull() || (rop != gdi::SrcCopy && rop != gdi::MergeCopy)) return;
    source = source.normalized().intersected(image.rect());
    if (source.isEmpty()) return;
    QImage part = source == image.rect() ? image : image.copy(source);
    const bool mirrorX = b.x() < a.x(), mirrorY = b.y() < a.y();
    if (mirrorX || mirrorY) part = part.mirrored(mirrorX, mirrorY);
    canvas_.DrawImage(dest, part, false);
}

void TkvMetafilePlayer::FlushPath(bool stroke, bool fill) {
    inPath_ = false;
    const std::vector<Figure> figures = std::move(path_);
    path_.clear();
    pathPoints_ = 0;
    if (fill) {
        const LogPen pen = dc_.pen;
        if (!stroke) dc_.pen.style = gdi::PsNull;
        for (const Figure& f : figures)
            PaintDevicePolygon(f.points, true, true);
        dc_.pen = pen;
        return;
    }
    if (stroke)
        for (const Figure& f : figures)
            PaintDevicePolygon(f.points, f.closed, false);
}

QRegion TkvMetafilePlayer::RegionFromRects(const QVector<QRect>& rects) {
    constexpr qsizetype kMaxRegionRects = 4096;
    if (rects.size() > kMaxRegionRects) {
        QRect box;
        for (const QRect& r : rects)
            box |= r;
        return QRegion(box);
    }
    QRegion region;
    for (const QRect& r : rects)
        region += r;
    return region;
}

QRegion TkvMetafilePlayer::PathRegion() {
    QRegion region;
    if (path_.size() <= 256) {
        for (const Figure& f : path_)
            region += QRegion(f.points);
    } else {
        QRect box;
        for (const Figure& f : path_)
            box |= f.points.boundingRect();
        region = QRegion(box);
    }
    path_.clear();
    pathPoints_ = 0;
    inPath_ = false;
    return region;
}
