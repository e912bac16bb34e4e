// WMF records: parameters are 16-bit and mostly stored in the reverse order of the GDI call.

#include "graphics/bitmap.h"
#include "graphics/charset_text.h"
#include "graphics/dib_decoder.h"
#include "graphics/metafile_player.h"
#include "graphics/metafile_records.h"

using namespace kv;

namespace {

// Four 16-bit values stored bottom, right, top, left.
QRectF ReadRectReversed(TkvByteReader& r) {
    const int bottom = r.I16(), right = r.I16(), top = r.I16(), left = r.I16();
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QPointF ReadPointReversed(TkvByteReader& r) {
    const int y = r.I16(), x = r.I16();
    return QPointF(x, y);
}

} // namespace

uint32_t TkvMetafilePlayer::PatternColor(QByteArrayView info, QByteArrayView bits, bool paletteIndices) {
    // Pattern fills are beyond the canvas; the pattern's average colour stands in for it.
    try {
        const dib::Header h = dib::ReadHeader(info, false, paletteIndices);
        if (paletteIndices || !Budget(int64_t(h.width) * h.height)) return 0x808080;
        const QImage image = dib::DecodePixels(h, bits.isNull() ? info.sliced(h.tableEnd) : bits, false);
        const QRgb c = image.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0);
        return uint32_t(qRed(c)) | uint32_t(qGreen(c)) << 8 | uint32_t(qBlue(c)) << 16;
    } catch (const TkvGraphicFormatError&) {
        return 0x808080;
    }
}

QPolygonF TkvMetafilePlayer::ReadPoints16(TkvByteReader& r, uint32_t count) {
    r.Require(qsizetype(count) * 4);
    if (count > kMaxRecordPoints) throw TkvGraphicFormatError("too many points in one record");
    QPolygonF points;
    points.reserve(qsizetype(count));
    for (uint32_t i = 0; i < count; ++i) {
        const int x = r.I16(), y = r.I16();
        points.append(QPointF(x, y));
    }
    return points;
}

void TkvMetafilePlayer::PlayWmf(uint32_t function, TkvByteReader& r) {
    switch (function) {
    case wmf::SaveDc:
        SaveDc();
        break;
    case wmf::RestoreDc:
        RestoreDc(r.I16());
        break;
    case wmf::SetMapMode:
        dc_.mapMode = r.U16();
        MappingChanged();
        break;
    case wmf::SetWindowOrg:
        dc_.windowOrg = ReadPointReversed(r);
        MappingChanged();
        break;
    case wmf::SetWindowExt: {
        const QPointF ext = ReadPointReversed(r);
        if (ext.x() != 0 && ext.y() != 0) { // a zero extent is refused, as GDI refuses it
            dc_.windowExt = ext;
            MappingChanged();
        }
        break;
    }
    case wmf::OffsetWindowOrg:
        dc_.windowOrg += ReadPointReversed(r);
        MappingChanged();
        break;
    case wmf::ScaleWindowExt: {
        const int yDenom = r.I16(), yNum = r.I16(), xDenom = r.I16(), xNum = r.I16();
        if (xDenom != 0 && yDenom != 0 && xNum != 0 && yNum != 0) {
            dc_.windowExt = QPointF(dc_.windowExt.x() * xNum / xDenom, dc_.windowExt.y() * yNum / yDenom);
            MappingChanged();
        }
        break;
    }
    case wmf::SetBkMode:
        dc_.bkMode = r.U16();
        break;
    case wmf::SetBkColor:
        dc_.bkColor = r.U32();
        break;
    case wmf::SetTextColor:
        dc_.textColor = r.U32();
        break;
    case wmf::SetTextAlign:
        dc_.textAlign = r.U16();
        break;
    case wmf::SetRop2:
        dc_.rop2 = r.U16();
        break;
    case wmf::SetTextCharExtra:
        dc_.charExtra = r.I16();
        break;
    case wmf::MoveTo:
        dc_.current = ReadPointReversed(r);
        break;
    case wmf::LineTo:
        LineTo(ReadPointReversed(r));
        break;
    case wmf::Rectangle:
        DrawRectangle(ReadRectReversed(r));
        break;
    case wmf::Ellipse:
        DrawEllipse(ReadRectReversed(r));
        break;
    case wmf::RoundRect: {
        const int height = r.I16(), width = r.I16();
        DrawRoundRect(ReadRectReversed(r), width, height);
        break;
    }
    case wmf::Arc:
    case wmf::Pie:
    case wmf::Chord: {
        const QPointF end = ReadPointReversed(r), start = ReadPointReversed(r);
        const QRectF box = ReadRectReversed(r);
        DrawArc(box, start, end,
                function == wmf::Arc   ? ArcKind::Arc
                : function == wmf::Pie ? ArcKind::Pie
                                       : ArcKind::Chord);
        break;
    }
    case wmf::Polygon:
        DrawPolygon(ReadPoints16(r, r.U16()));
        break;
    case wmf::Polyline:
        DrawPolyline(ReadPoints16(r, r.U16()));
        break;
    case wmf::PolyPolygon: {
        const uint16_t count = r.U16();
        r.Require(qsizetype(count) * 2);
        std::vector<uint16_t> sizes(count);
        for (auto& n : sizes)
            n = r.U16();
        std::vector<QPolygonF> polygons;
        for (uint16_t n : sizes)
            polygons.push_back(ReadPoints16(r, n));
        DrawPolyPolygon(polygons);
        break;
    }
    case wmf::SetPixel: {
        const uint32_t color = r.U32();
        const QPoint p = MapPoint(ReadPointReversed(r));
        FillDeviceRect(QRect(p, QSize(1, 1)), color);
        break;
    }
    case wmf::PatBlt: {
        const uint32_t rop = r.U32();
        const int height = r.I16(), width = r.I16(), y = r.I16(), x = r.I16();
        DrawBitmap(QImage(), QRectF(x, y, width, height), QRect(), rop);
        break;
    }
    case wmf::IntersectClipRect:
        SetClip(QRegion(MapRect(ReadRectReversed(r))), gdi::RgnAnd);
        break;
    case wmf::ExcludeClipRect:
        SetClip(QRegion(MapRect(ReadRectReversed(r))), gdi::RgnDiff);
        break;
    case wmf::OffsetClipRgn: {
        const QPointF d = ReadPointReversed(r);
        if (dc_.clip) {
            const QPoint delta = MapPoint(d) - MapPoint(QPointF(0, 0));
            dc_.clip->translate(delta);
            ApplyClip();
        }
        break;
    }
    case wmf::SelectClipRegion: {
        const uint16_t index = r.U16();
        if (index < objects_.size() && objects_[index] && std::holds_alternative<Region>(*objects_[index])) {
            SelectObject(index);
        } else {
            dc_.clip.reset();
            ApplyClip();
        }
        break;
    }
    case wmf::FillRegion:
    case wmf::FrameRegion: {
        const uint16_t region = r.U16(), brush = r.U16();
        if (region < objects_.size() && brush < objects_.size() && objects_[region] && objects_[brush]) {
            const auto* rg = std::get_if<Region>(&*objects_[region]);
            const auto* br = std::get_if<LogBrush>(&*objects_[brush]);
            if (rg && br && function == wmf::FillRegion) TkvMetafilePlayer::FillRegion(*rg, false, *br);
        }
        break;
    }
    case wmf::PaintRegion: {
        const uint16_t region = r.U16();
        if (region < objects_.size() && objects_[region])
            if (const auto* rg = std::get_if<Region>(&*objects_[region]))
                TkvMetafilePlayer::FillRegion(*rg, false, dc_.brush);
        break;
    }
    case wmf::SelectObject:
        SelectObject(r.U16());
        break;
    case wmf::DeleteObject:
        DeleteObject(r.U16());
        break;
    case wmf::CreatePenIndirect: {
        LogPen pen;
        pen.style = r.U16();
        pen.width = r.I16();
        r.I16();
        pen.color = r.U32();
        StoreObject(-1, pen);
        break;
    }
    case wmf::CreateBrushIndirect: {
        LogBrush brush;
        brush.style = r.U16();
        brush.color = r.U32();
        StoreObject(-1, brush);
        break;
    }
    case wmf::DibCreatePatternBrush: {
        r.U16(); // style
        const uint16_t usage = r.U16();
        StoreObject(-1, LogBrush{gdi::BsSolid, PatternColor(r.Bytes().sliced(r.Pos()), {}, usage == 1)});
        break;
    }
    case wmf::CreatePatternBrush: {
        LogBrush brush; // an old device-dependent bitmap: shown as a mid grey
        brush.color = 0x808080;
        StoreObject(-1, brush);
        break;
    }
    case wmf::CreateFontIndirect: {
        LogFont font;
        font.height = r.I16();
        font.width = r.I16();
        font.escapement = r.I16();
        r.I16(); // orientation
        font.weight = r.I16();
        font.italic = r.U8();
        font.underline = r.U8();
        font.strikeOut = r.U8();
        font.charset = r.U8();
        r.Skip(4); // precision, quality, pitch and family
        QByteArrayView face = r.Take(std::min<qsizetype>(32, r.Left()));
        const qsizetype nul = face.indexOf('\0');
        if (nul >= 0) face = face.first(nul);
        font.face = DecodeCharsetText(face, font.charset);
        StoreObject(-1, font);
        break;
    }
    case wmf::CreatePalette:
        StoreObject(-1, Placeholder{});
        break;
    case wmf::CreateRegion:
        WmfCreateRegion(r);
        break;
    case wmf::TextOut:
        WmfTextOut(r, false);
        break;
    case wmf::ExtTextOut:
        WmfTextOut(r, true);
        break;
    case wmf::DibBitBlt:
    case wmf::DibStretchBlt:
    case wmf::StretchDib:
    case wmf::SetDibToDev:
        WmfDib(function, r);
        break;
    default:
        break; // palettes, escapes, flood fills and the rest draw nothing here
    }
}

void TkvMetafilePlayer::WmfCreateRegion(TkvByteReader& r) {
    // The slot is taken whatever the region holds, so later object numbers stay right.
    Region region;
    try {
        r.Skip(10); // next in chain, object type, object count, region size
        const uint16_t scans = r.U16();
        r.Skip(2 + 8); // largest scan, bounding box
        for (uint16_t i = 0; i < scans; ++i) {
            const uint16_t count = r.U16();
            const int top = r.I16(), bottom = r.I16();
            for (uint16_t k = 0; k + 1 < count; k += 2) {
                const int left = r.I16(), right = r.I16();
                region.rects.append(QRectF(QPointF(left, top), QPointF(right, bottom)));
            }
            r.U16(); // count repeated
        }
    } catch (const TkvGraphicFormatError&) {
    }
    StoreObject(-1, region);
}

void TkvMetafilePlayer::WmfTextOut(TkvByteReader& r, bool extended) {
    QPointF at;
    uint16_t options = 0;
    std::optional<QRectF> rect;
    QByteArrayView bytes;
    if (!extended) {
        const uint16_t length = r.U16();
        bytes = r.Take(length);
        if (length & 1) r.Skip(std::min<qsizetype>(1, r.Left()));
        at = ReadPointReversed(r);
    } else {
        at = ReadPointReversed(r);
        const uint16_t length = r.U16();
        options = r.U16();
        if (options & (gdi::EtoOpaque | gdi::EtoClipped)) {
            const int left = r.I16(), top = r.I16(), right = r.I16(), bottom = r.I16();
            rect = QRectF(QPointF(left, top), QPointF(right, bottom));
        }
        bytes = r.Take(length);
        if (length & 1) r.Skip(std::min<qsizetype>(1, r.Left()));
        if (r.Left() >= qsizetype(length) * 2) {
            QVector<double> perByte;
            for (uint16_t i = 0; i < length; ++i)
                perByte.append(r.I16());
            QVector<double> perChar;
            const QString text = DecodeCharsetTextWithAdvances(bytes, dc_.font.charset, perByte, &perChar);
            DrawText(at, text, perChar.isEmpty() ? nullptr : &perChar, options, rect ? &*rect : nullptr);
            return;
        }
    }
    DrawText(at, DecodeCharsetText(bytes, dc_.font.charset), nullptr, options, rect ? &*rect : nullptr);
}

void TkvMetafilePlayer::WmfDib(uint32_t function, TkvByteReader& r) {
    uint32_t rop = gdi::SrcCopy;
    int xs = 0, ys = 0, ws = 0, hs = 0, xd = 0, yd = 0, wd = 0, hd = 0;
    bool bottomOrigin = false, paletteIndices = false;
    switch (function) {
    case wmf::DibBitBlt: {
        rop = r.U32();
        const bool noBitmap = r.Size() == 18;
        ys = r.I16();
        xs = r.I16();
        if (noBitmap) r.I16();
        hd = hs = r.I16();
        wd = ws = r.I16();
        yd = r.I16();
        xd = r.I16();
        if (noBitmap) {
            DrawBitmap(QImage(), QRectF(xd, yd, wd, hd), QRect(), rop);
            return;
        }
        break;
    }
    case wmf::DibStretchBlt: {
        rop = r.U32();
        const bool noBitmap = r.Size() == 22;
        hs = r.I16();
        ws = r.I16();
        ys = r.I16();
        xs = r.I16();
        if (noBitmap) r.I16();
        hd = r.I16();
        wd = r.I16();
        yd = r.I16();
        xd = r.I16();
        if (noBitmap) {
            DrawBitmap(QImage(), QRectF(xd, yd, wd, hd), QRect(), rop);
            return;
        }
        break;
    }
    case wmf::StretchDib:
        rop = r.U32();
        paletteIndices = r.U16() == 1;
        hs = r.I16();
        ws = r.I16();
        ys = r.I16();
        xs = r.I16();
        hd = r.I16();
        wd = r.I16();
        yd = r.I16();
        xd = r.I16();
        bottomOrigin = true;
        break;
    default: // wmf::SetDibToDev
        paletteIndices = r.U16() == 1;
        r.U16(); // scan count
        r.U16(); // start scan
        ys = r.I16();
        xs = r.I16();
        hd = hs = r.I16();
        wd = ws = r.I16();
        yd = r.I16();
        xd = r.I16();
        bottomOrigin = true;
        break;
    }
    const QByteArrayView dibBytes = r.Bytes().sliced(r.Pos());
    const dib::Header h = dib::ReadHeader(dibBytes, false, paletteIndices);
    if (!Budget(int64_t(h.width) * h.height)) return;
    const QImage image = dib::DecodePixels(h, dibBytes.sliced(h.tableEnd), true);
    const int top = bottomOrigin && !h.topDown ? image.height() - ys - hs : ys;
    DrawBitmap(image, QRectF(xd, yd, wd, hd), QRect(xs, top, ws, hs), rop);
}
