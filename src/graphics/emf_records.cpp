// EMF records: 32-bit parameters in call order; offsets inside a record count from its start.

#include "graphics/bitmap.h"
#include "graphics/charset_text.h"
#include "graphics/dib_decoder.h"
#include "graphics/image_limits.h"
#include "graphics/metafile_player.h"
#include "graphics/metafile_records.h"

#include <algorithm>
#include <cmath>

using namespace kv;

namespace {

QRectF ReadRectL(TkvByteReader& r) {
    const int32_t left = r.I32(), top = r.I32(), right = r.I32(), bottom = r.I32();
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QPointF ReadPointL(TkvByteReader& r) {
    const int32_t x = r.I32(), y = r.I32();
    return QPointF(x, y);
}

// A part of the record given by an offset and a size, both checked against the record.
QByteArrayView Part(const TkvByteReader& r, uint32_t offset, uint32_t size) {
    if (offset > uint64_t(r.Size()) || size > uint64_t(r.Size()) - offset)
        throw TkvGraphicFormatError("record part outside the record");
    return r.Bytes().sliced(offset, size);
}

std::optional<QTransform> ReadXform(TkvByteReader& r) {
    const float m11 = r.F32(), m12 = r.F32(), m21 = r.F32(), m22 = r.F32(), dx = r.F32(), dy = r.F32();
    for (float v : {m11, m12, m21, m22, dx, dy})
        if (!std::isfinite(v)) return std::nullopt;
    return QTransform(m11, m12, m21, m22, dx, dy);
}

} // namespace

QPolygonF TkvMetafilePlayer::ReadPoints32(TkvByteReader& r, uint32_t count) {
    r.Require(qsizetype(count) * 8);
    if (count > kMaxRecordPoints) throw TkvGraphicFormatError("too many points in one record");
    QPolygonF points;
    points.reserve(qsizetype(count));
    for (uint32_t i = 0; i < count; ++i)
        points.append(ReadPointL(r));
    return points;
}

void TkvMetafilePlayer::EmfPolyPoly(TkvByteReader& r, bool closed, bool sixteen) {
    r.Skip(16); // bounds
    const uint32_t polys = r.U32(), total = r.U32();
    r.Require(qsizetype(polys) * 4);
    std::vector<uint32_t> counts(polys);
    uint64_t sum = 0;
    for (auto& n : counts) {
        n = r.U32();
        sum += n;
    }
    if (sum > total) throw TkvGraphicFormatError("poly-polygon counts exceed the points");
    std::vector<QPolygonF> parts;
    for (uint32_t n : counts)
        parts.push_back(sixteen ? ReadPoints16(r, n) : ReadPoints32(r, n));
    if (closed) {
        DrawPolyPolygon(parts);
    } else {
        for (const QPolygonF& part : parts)
            DrawPolyline(part);
    }
}

void TkvMetafilePlayer::EmfSelectObject(uint32_t index) {
    if (!(index & 0x80000000u)) {
        SelectObject(index > uint32_t(kMaxObjects) ? -1 : int(index));
        return;
    }
    LogFont font;
    switch (index & 0x7FFFFFFFu) {
    case 0:
        dc_.brush = {gdi::BsSolid, 0xFFFFFF};
        break;
    case 1:
        dc_.brush = {gdi::BsSolid, 0xC0C0C0};
        break;
    case 2:
        dc_.brush = {gdi::BsSolid, 0x808080};
        break;
    case 3:
        dc_.brush = {gdi::BsSolid, 0x404040};
        break;
    case 4:
        dc_.brush = {gdi::BsSolid, 0};
        break;
    case 5:
        dc_.brush = {gdi::BsNull, 0};
        break;
    case 6:
        dc_.pen = {gdi::PsSolid, 0, 0xFFFFFF};
        break;
    case 7:
        dc_.pen = {gdi::PsSolid, 0, 0};
        break;
    case 8:
        dc_.pen = {gdi::PsNull, 0, 0};
        break;
    case 10:
    case 11:
    case 16:
        font.face = QStringLiteral("Courier New");
        dc_.font = font;
        break;
    case 12:
    case 13:
    case 14:
    case 17:
        dc_.font = font;
        break;
    default:
        break;
    }
}

void TkvMetafilePlayer::PlayEmf(uint32_t type, TkvByteReader& r) {
    switch (type) {
    case emf::PolyBezier:
    case emf::PolyBezierTo:
    case emf::Polygon:
    case emf::Polyline:
    case emf::PolylineTo:
    case emf::PolyBezier16:
    case emf::PolyBezierTo16:
    case emf::Polygon16:
    case emf::Polyline16:
    case emf::PolylineTo16: {
        r.Skip(16);
        const uint32_t count = r.U32();
        const bool sixteen = type >= emf::PolyBezier16;
        const QPolygonF points = sixteen ? ReadPoints16(r, count) : ReadPoints32(r, count);
        switch (sixteen ? type - emf::PolyBezier16 + emf::PolyBezier : type) {
        case emf::PolyBezier:
            PolyBezier(points, false);
            break;
        case emf::PolyBezierTo:
            PolyBezier(points, true);
            break;
        case emf::Polygon:
            DrawPolygon(points);
            break;
        case emf::Polyline:
            DrawPolyline(points);
            break;
        default: // emf::PolylineTo
            for (const QPointF& p : points)
                LineTo(p);
            break;
        }
        break;
    }
    case emf::PolyPolyline:
    case emf::PolyPolygon:
        EmfPolyPoly(r, type == emf::PolyPolygon, false);
        break;
    case emf::PolyPolyline16:
    case emf::PolyPolygon16:
        EmfPolyPoly(r, type == emf::PolyPolygon16, true);
        break;
    case emf::SetWindowExtEx:
    case emf::SetViewportExtEx: {
        const QPointF ext = ReadPointL(r);
        if (ext.x() == 0 || ext.y() == 0) break; // refused, as GDI refuses a zero extent
        (type == emf::SetWindowExtEx ? dc_.windowExt : dc_.viewportExt) = ext;
        MappingChanged();
        break;
    }
    case emf::SetWindowOrgEx:
        dc_.windowOrg = ReadPointL(r);
        MappingChanged();
        break;
    case emf::SetViewportOrgEx:
        dc_.viewportOrg = ReadPointL(r);
        MappingChanged();
        break;
    case emf::ScaleViewportExtEx:
    case emf::ScaleWindowExtEx: {
        const int32_t xNum = r.I32(), xDenom = r.I32(), yNum = r.I32(), yDenom = r.I32();
        if (xNum == 0 || xDenom == 0 || yNum == 0 || yDenom == 0) break;
        QPointF& ext = type == emf::ScaleWindowExtEx ? dc_.windowExt : dc_.viewportExt;
        ext = QPointF(ext.x() * xNum / xDenom, ext.y() * yNum / yDenom);
        MappingChanged();
        break;
    }
    case emf::SetMapMode:
        dc_.mapMode = int(r.U32());
        MappingChanged();
        break;
    case emf::SetWorldTransform:
        if (const auto t = ReadXform(r)) {
            dc_.world = *t;
            MappingChanged();
        }
        break;
    case emf::ModifyWorldTransform: {
        const auto t = ReadXform(r);
        const uint32_t mode = r.U32();
        if (mode == 1)
            dc_.world = QTransform();
        else if (!t)
            break;
        else if (mode == 2)
            dc_.world = *t * dc_.world;
        else if (mode == 3)
            dc_.world = dc_.world * *t;
        else if (mode == 4)
            dc_.world = *t;
        MappingChanged();
        break;
    }
    case emf::SetPixelV: {
        const QPoint p = MapPoint(ReadPointL(r));
        FillDeviceRect(QRect(p, QSize(1, 1)), r.U32());
        break;
    }
    case emf::SetBkMode:
        dc_.bkMode = int(r.U32());
        break;
    case emf::SetRop2:
        dc_.rop2 = int(r.U32());
        break;
    case emf::SetTextAlign:
        dc_.textAlign = r.U32();
        break;
    case emf::SetTextColor:
        dc_.textColor = r.U32();
        break;
    case emf::SetBkColor:
        dc_.bkColor = r.U32();
        break;
    case emf::SetArcDirection:
        dc_.arcDirection = int(r.U32());
        break;
    case emf::MoveToEx:
        dc_.current = ReadPointL(r);
        if (inPath_) path_.push_back({QPolygon{MapPoint(dc_.current)}, false});
        break;
    case emf::LineTo:
        LineTo(ReadPointL(r));
        break;
    case emf::OffsetClipRgn: {
        const QPointF d = ReadPointL(r);
        if (dc_.clip) {
            dc_.clip->translate(MapPoint(d) - MapPoint(QPointF(0, 0)));
            ApplyClip();
        }
        break;
    }
    case emf::ExcludeClipRect:
        SetClip(QRegion(MapRect(ReadRectL(r))), gdi::RgnDiff);
        break;
    case emf::IntersectClipRect:
        SetClip(QRegion(MapRect(ReadRectL(r))), gdi::RgnAnd);
        break;
    case emf::SaveDc:
        SaveDc();
        break;
    case emf::RestoreDc:
        RestoreDc(r.I32());
        break;
    case emf::SelectObject:
        EmfSelectObject(r.U32());
        break;
    case emf::DeleteObject: {
        const uint32_t index = r.U32();
        if (index < uint32_t(kMaxObjects)) DeleteObject(int(index));
        break;
    }
    case emf::CreatePen: {
        const uint32_t index = r.U32();
        LogPen pen;
        pen.style = r.U32();
        pen.width = r.I32();
        r.I32();
        pen.color = r.U32();
        if (index < uint32_t(kMaxObjects)) StoreObject(int(index), pen);
        break;
    }
    case emf::ExtCreatePen: {
        const uint32_t index = r.U32();
        r.Skip(16); // pattern bitmap of the pen's brush
        LogPen pen;
        pen.style = r.U32();
        const uint32_t width = r.U32();
        const uint32_t brushStyle = r.U32();
        pen.color = r.U32();
        // Cosmetic pens are one pixel whatever their stored width.
        pen.width =
            (pen.style & 0xF0000) == gdi::PsGeometric ? double(std::min<uint32_t>(width, 1u << 24)) : 0;
        if (brushStyle == gdi::BsNull) pen.style = gdi::PsNull;
        if (index < uint32_t(kMaxObjects)) StoreObject(int(index), pen);
        break;
    }
    case emf::CreateBrushIndirect: {
        const uint32_t index = r.U32();
        LogBrush brush;
        brush.style = r.U32();
        brush.color = r.U32();
        if (index < uint32_t(kMaxObjects)) StoreObject(int(index), brush);
        break;
    }
    case emf::CreateMonoBrush:
    case emf::CreateDibPatternBrushPt: {
        const uint32_t index = r.U32(), usage = r.U32();
        const uint32_t offBmi = r.U32(), cbBmi = r.U32(), offBits = r.U32(), cbBits = r.U32();
        const uint32_t color = PatternColor(Part(r, offBmi, cbBmi), Part(r, offBits, cbBits), usage == 1);
        if (index < uint32_t(kMaxObjects)) StoreObject(int(index), LogBrush{gdi::BsSolid, color});
        break;
    }
    case emf::ExtCreateFontIndirectW: {
        const uint32_t index = r.U32();
        LogFont font;
        font.height = r.I32();
        font.width = r.I32();
        font.escapement = r.I32();
        r.I32(); // orientation
        font.weight = r.I32();
        font.italic = r.U8();
        font.underline = r.U8();
        font.strikeOut = r.U8();
        font.charset = r.U8();
        r.Skip(4);
        QByteArrayView face = r.Take(std::min<qsizetype>(64, r.Left() & ~qsizetype(1)));
        QString name = QString::fromUtf16(reinterpret_cast<const char16_t*>(face.data()), face.size() / 2);
        const qsizetype nul = name.indexOf(QChar(0));
        if (nul >= 0) name.truncate(nul);
        font.face = name;
        if (index < uint32_t(kMaxObjects)) StoreObject(int(index), font);
        break;
    }
    case emf::CreatePalette: {
        const uint32_t index = r.U32();
        if (index < uint32_t(kMaxObjects)) StoreObject(int(index), Placeholder{});
        break;
    }
    case emf::Rectangle:
        DrawRectangle(ReadRectL(r));
        break;
    case emf::Ellipse:
        DrawEllipse(ReadRectL(r));
        break;
    case emf::RoundRect: {
        const QRectF box = ReadRectL(r);
        const QPointF corner = ReadPointL(r);
        DrawRoundRect(box, corner.x(), corner.y());
        break;
    }
    case emf::Arc:
    case emf::ArcTo:
    case emf::Chord:
    case emf::Pie: {
        const QRectF box = ReadRectL(r);
        const QPointF start = ReadPointL(r), end = ReadPointL(r);
        DrawArc(box, start, end,
                type == emf::Chord ? ArcKind::Chord
                : type == emf::Pie ? ArcKind::Pie
                                   : ArcKind::Arc,
                type == emf::ArcTo);
        break;
    }
    case emf::BeginPath:
        path_.clear();
        pathPoints_ = 0;
        inPath_ = true;
        break;
    case emf::EndPath:
        break; // the path stays until it is used
    case emf::CloseFigure:
        if (inPath_ && !path_.empty()) path_.back().closed = true;
        break;
    case emf::AbortPath:
        inPath_ = false;
        path_.clear();
        pathPoints_ = 0;
        break;
    case emf::FillPath:
        FlushPath(false, true);
        break;
    case emf::StrokePath:
        FlushPath(true, false);
        break;
    case emf::StrokeAndFillPath:
        FlushPath(true, true);
        break;
    case emf::SelectClipPath: {
        const uint32_t mode = r.U32();
        SetClip(PathRegion(), int(mode));
        break;
    }
    case emf::FillRgn:
    case emf::PaintRgn:
    case emf::ExtSelectClipRgn: {
        uint32_t size = 0, mode = gdi::RgnCopy;
        LogBrush brush = dc_.brush;
        if (type == emf::ExtSelectClipRgn) {
            size = r.U32();
            mode = r.U32();
        } else {
            r.Skip(16);
            size = r.U32();
            if (type == emf::FillRgn) {
                const uint32_t index = r.U32();
                if (index >= objects_.size() || !objects_[index] ||
                    !std::holds_alternative<LogBrush>(*objects_[index]))
                    break;
                brush = std::get<LogBrush>(*objects_[index]);
            }
        }
        if (type == emf::ExtSelectClipRgn && size == 0) {
            if (mode == gdi::RgnCopy) {
                dc_.clip.reset();
                ApplyClip();
            }
            break;
        }
        TkvByteReader rgn(r.Take(std::min<qsizetype>(size, r.Left())));
        rgn.Skip(8);
        const uint32_t count = rgn.U32();
        rgn.Skip(4 + 16);
        rgn.Require(qsizetype(count) * 16);
        Region region;
        for (uint32_t i = 0; i < count; ++i)
            region.rects.append(ReadRectL(rgn));
        if (type == emf::ExtSelectClipRgn) {
            QVector<QRect> rects;
            for (const QRectF& rect : region.rects)
                rects.append(MapReferenceRect(rect));
            SetClip(RegionFromRects(rects), int(mode));
        } else {
            TkvMetafilePlayer::FillRegion(region, true, brush);
        }
        break;
    }
    case emf::ExtTextOutA:
    case emf::ExtTextOutW:
        r.Skip(16 + 12); // bounds, graphics mode, scales
        EmfTextOut(r, type == emf::ExtTextOutW, r.Pos(), 1);
        break;
    case emf::PolyTextOutA:
    case emf::PolyTextOutW: {
        r.Skip(16 + 12);
        const uint32_t count = r.U32();
        r.Require(qsizetype(count) * 40);
        const qsizetype first = r.Pos();
        for (uint32_t i = 0; i < count; ++i)
            EmfTextOut(r, type == emf::PolyTextOutW, first + qsizetype(i) * 40, 1);
        break;
    }
    case emf::BitBlt:
    case emf::StretchBlt:
    case emf::SetDiBitsToDevice:
    case emf::StretchDiBits:
        EmfBitmap(type, r);
        break;
    default:
        break; // header, comments, palettes, colour management and the rest draw nothing
    }
}

void TkvMetafilePlayer::EmfTextOut(TkvByteReader& r, bool wide, qsizetype emrTextAt, double) {
    r.Seek(emrTextAt);
    const QPointF at = ReadPointL(r);
    const uint32_t count = r.U32(), offString = r.U32(), options = r.U32();
    const QRectF rect = ReadRectL(r);
    const uint32_t offDx = r.U32();
    if (count > uint32_t(r.Size())) throw TkvGraphicFormatError("text longer than its record");
    const bool hasRect = options & (gdi::EtoOpaque | gdi::EtoClipped);
    if (options & gdi::EtoGlyphIndex) {
        // Glyph numbers of a font we do not have: only the opaque box can be drawn.
        DrawText(at, QString(), nullptr, options, hasRect ? &rect : nullptr);
        return;
    }
    const QByteArrayView bytes = Part(r, offString, wide ? count * 2 : count);
    QVector<double> dx;
    if (offDx != 0) {
        const uint32_t step = (options & gdi::EtoPdy) ? 8 : 4;
        const QByteArrayView part = Part(r, offDx, count * step);
        TkvByteReader d(part);
        for (uint32_t i = 0; i < count; ++i) {
            dx.append(d.I32());
            if (step == 8) d.I32();
        }
    }
    if (wide) {
        const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data()), count);
        DrawText(at, text, dx.isEmpty() ? nullptr : &dx, options, hasRect ? &rect : nullptr);
        return;
    }
    QVector<double> perChar;
    const QString text = dx.isEmpty() ? DecodeCharsetText(bytes, dc_.font.charset)
                                      : DecodeCharsetTextWithAdvances(bytes, dc_.font.charset, dx, &perChar);
    DrawText(at, text, perChar.isEmpty() ? nullptr : &perChar, options, hasRect ? &rect : nullptr);
}

void TkvMetafilePlayer::EmfBitmap(uint32_t type, TkvByteReader& r) {
    r.Skip(16); // bounds
    int32_t xd = 0, yd = 0, wd = 0, hd = 0, xs = 0, ys = 0, ws = 0, hs = 0;
    uint32_t rop = gdi::SrcCopy, usage = 0, offBmi = 0, cbBmi = 0, offBits = 0, cbBits = 0;
    bool bottomOrigin = false;
    if (type == emf::BitBlt || type == emf::StretchBlt) {
        xd = r.I32();
        yd = r.I32();
        wd = r.I32();
        hd = r.I32();
        rop = r.U32();
        xs = r.I32();
        ys = r.I32();
        r.Skip(24 + 4); // source transform, source background colour
        usage = r.U32();
        offBmi = r.U32();
        cbBmi = r.U32();
        offBits = r.U32();
        cbBits = r.U32();
        ws = wd;
        hs = hd;
        if (type == emf::StretchBlt) {
            ws = r.I32();
            hs = r.I32();
        }
    } else {
        xd = r.I32();
        yd = r.I32();
        xs = r.I32();
        ys = r.I32();
        ws = r.I32();
        hs = r.I32();
        offBmi = r.U32();
        cbBmi = r.U32();
        offBits = r.U32();
        cbBits = r.U32();
        usage = r.U32();
        if (type == emf::StretchDiBits) {
            rop = r.U32();
            wd = r.I32();
            hd = r.I32();
        } else {
            wd = ws;
            hd = hs;
        }
        bottomOrigin = true;
    }
    const QRectF dest(xd, yd, wd, hd);
    if (cbBmi == 0) {
        DrawBitmap(QImage(), dest, QRect(), rop);
        return;
    }
    const QByteArrayView info = Part(r, offBmi, cbBmi), bits = Part(r, offBits, cbBits);
    const dib::Header h = dib::ReadHeader(info, false, usage == 1);
    if (!Budget(int64_t(h.width) * h.height)) return;
    const QImage image = dib::DecodePixels(h, bits, true);
    // DIB source rectangles count rows from the bottom of a bottom-up DIB.
    const int64_t top = bottomOrigin && !h.topDown ? int64_t(image.height()) - ys - hs : ys;
    auto clamp = [](int64_t v) { return int(std::clamp<int64_t>(v, -kMaxImageSide * 2, kMaxImageSide * 2)); };
    DrawBitmap(image, dest, QRect(clamp(xs), clamp(top), clamp(ws), clamp(hs)), rop);
}
