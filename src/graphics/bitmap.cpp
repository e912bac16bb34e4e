#include "graphics/bitmap.h"

#include "base/byte_reader.h"
#include "graphics/dib_decoder.h"
#include "graphics/image_limits.h"
#include "graphics/jpeg.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <vector>

namespace kv::dib {

namespace {

enum : uint32_t {
    BiRgb = 0,
    BiRle8 = 1,
    BiRle4 = 2,
    BiBitfields = 3,
    BiJpeg = 4,
    BiPng = 5,
    BiAlphaBitfields = 6
};

struct MaskShift {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
};

MaskShift Analyse(uint32_t mask) {
    MaskShift m;
    m.mask = mask;
    if (mask == 0) return m;
    while (!(mask & 1)) {
        mask >>= 1;
        ++m.shift;
    }
    while (mask & 1) {
        mask >>= 1;
        ++m.bits;
    }
    return m;
}

int Channel(uint32_t px, const MaskShift& m) {
    if (m.bits == 0) return 0;
    const uint32_t v = (px & m.mask) >> m.shift;
    if (m.bits >= 8) return int(v >> (m.bits - 8));
    const uint32_t max = (1u << m.bits) - 1;
    return int((v * 255 + max / 2) / max);
}

QImage DecodeEmbedded(const Header& h, QByteArrayView bits) {
    QImage img;
    if (h.compression == BiJpeg) {
        img = DecodeJpeg(bits);
    } else {
        QByteArray copy = bits.toByteArray();
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "PNG");
        const QSize size = reader.size();
        if (!ImageSizeAllowed(size.width(), size.height()))
            throw TkvGraphicFormatError("embedded image too large");
        img = reader.read();
    }
    if (img.isNull()) throw TkvGraphicFormatError("embedded image does not decode");
    return img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

// Run-length pixels: a byte grid of palette indices, rows from the bottom.
std::vector<uint8_t> DecodeRle(const Header& h, QByteArrayView bits) {
    const int w = h.width, ht = h.height;
    std::vector<uint8_t> idx(size_t(w) * size_t(ht), 0);
    TkvByteReader r(bits);
    int x = 0, y = 0; // y counts from the bottom row
    const bool four = h.compression == BiRle4;
    auto put = [&](int value) {
        if (x < w && y < ht) idx[size_t(y) * w + x] = uint8_t(value);
        ++x;
    };
    while (r.Left() >= 2 && y < ht) {
        const int count = r.U8();
        const int value = r.U8();
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            x += r.U8();
            y += r.U8();
        } else { // absolute run of `value` pixels, padded to a word
            const int bytes = four ? (value + 1) / 2 : value;
            QByteArrayView run = r.Take(bytes);
            for (int i = 0; i < value; ++i) {
                const int b = uint8_t(run[four ? i / 2 : i]);
                put(four ? ((i & 1) ? b & 0x0F : b >> 4) : b);
            }
            if (bytes & 1) r.Skip(std::min<qsizetype>(1, r.Left()));
        }
    }
    return idx;
}

} // namespace

int64_t RowStride(int width, int bitCount) {
    if (width <= 0 || width > kMaxImageSide || bitCount <= 0 || bitCount > 32) return 0;
    return ((int64_t(width) * bitCount + 31) / 32) * 4;
}

Header ReadHeader(QByteArrayView info, bool iconHalfHeight, bool paletteIndices) {
    TkvByteReader r(info);
    Header h;
    h.headerSize = r.U32();
    int64_t height = 0;
    uint32_t colorsUsed = 0;
    int entrySize = 4;
    if (h.headerSize == 12) {
        h.width = r.U16();
        height = r.U16();
        r.U16(); // planes
        h.bitCount = r.U16();
        entrySize = 3;
    } else {
        if (h.headerSize < 16 || h.headerSize > 1024) throw TkvGraphicFormatError("unknown bitmap header");
        r.Require(h.headerSize - 4);
        // Short (OS/2 2.x) headers leave the later fields at zero.
        QByteArray full(int(std::max<uint32_t>(h.headerSize, 56)), '\0');
        std::copy_n(info.data(), h.headerSize, full.data());
        TkvByteReader f(full);
        f.Skip(4);
        const int32_t width = f.I32();
        height = f.I32();
        f.U16(); // planes
        h.bitCount = f.U16();
        h.compression = f.U32();
        h.imageSize = f.U32();
        f.Skip(8); // resolution
        colorsUsed = f.U32();
        f.U32(); // important colours
        if (width <= 0) throw TkvGraphicFormatError("bad bitmap width");
        if (width > kMaxImageSide) throw TkvGraphicFormatError("bitmap too large");
        h.width = width;
        if (h.headerSize >= 52) {
            for (int i = 0; i < 3; ++i)
                h.masks[i] = f.U32();
            h.hasMasks = true;
        }
        if (h.headerSize >= 56) h.masks[3] = f.U32();
        if (h.headerSize == 64 &&
            ((h.compression == 3 && h.bitCount == 1) || (h.compression == 4 && h.bitCount == 24)))
            throw TkvGraphicFormatError("OS/2 compression not supported");
        r.Seek(h.headerSize);
        if (h.headerSize < 52 && (h.compression == BiBitfields || h.compression == BiAlphaBitfields)) {
            const int n = h.compression == BiAlphaBitfields ? 4 : 3;
            for (int i = 0; i < n; ++i)
                h.masks[i] = r.U32();
            h.hasMasks = true;
        }
    }
    if (height < 0) {
        h.topDown = true;
        height = -height;
    }
    if (iconHalfHeight) height /= 2;
    if (height <= 0 || height > kMaxImageSide) throw TkvGraphicFormatError("bad bitmap height");
    h.height = int(height);

    switch (h.compression) {
    case BiRgb:
        if (h.bitCount != 1 && h.bitCount != 2 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 16 &&
            h.bitCount != 24 && h.bitCount != 32)
            throw TkvGraphicFormatError("bad bit count");
        break;
    case BiRle8:
        if (h.bitCount != 8 || h.topDown) throw TkvGraphicFormatError("bad RLE8 bitmap");
        break;
    case BiRle4:
        if (h.bitCount != 4 || h.topDown) throw TkvGraphicFormatError("bad RLE4 bitmap");
        break;
    case BiBitfields:
    case BiAlphaBitfields:
        if (h.bitCount != 16 && h.bitCount != 32) throw TkvGraphicFormatError("bad bit-field bitmap");
        break;
    case BiJpeg:
    case BiPng:
        break;
    default:
        throw TkvGraphicFormatError("unknown bitmap compression");
    }
    if (h.compression == BiRgb && h.bitCount == 16) {
        h.masks[0] = 0x7C00;
        h.masks[1] = 0x03E0;
        h.masks[2] = 0x001F;
        h.masks[3] = 0;
    } else if (h.compression == BiRgb && h.bitCount == 32) {
        h.masks[0] = 0xFF0000;
        h.masks[1] = 0x00FF00;
        h.masks[2] = 0x0000FF;
        h.masks[3] = iconHalfHeight ? 0xFF000000 : (h.headerSize >= 56 ? h.masks[3] : 0);
    }

    const bool indexed =
        h.bitCount >= 1 && h.bitCount <= 8 && h.compression != BiJpeg && h.compression != BiPng;
    uint32_t count = colorsUsed;
    if (indexed) {
        const uint32_t full = 1u << h.bitCount;
        if (count == 0 || count > full) count = full;
    } else if (h.headerSize == 12) {
        count = 0;
    }
    count = std::min<uint32_t>(count, 65536);
    const int stored = paletteIndices ? 2 : entrySize;
    r.Require(qsizetype(count) * stored);
    if (indexed) {
        h.palette.reserve(int(count));
        for (uint32_t i = 0; i < count; ++i) {
            if (paletteIndices) {
                const int level = r.U16() & 0xFF;
                h.palette.append(qRgb(level, level, level));
            } else {
                const int b = r.U8(), g = r.U8(), red = r.U8();
                if (entrySize == 4) r.U8();
                h.palette.append(qRgb(red, g, b));
            }
        }
    } else {
        r.Skip(qsizetype(count) * stored); // an optional optimisation palette; the pixels carry colours
    }
    h.tableEnd = r.Pos();
    return h;
}

QImage DecodePixels(const Header& h, QByteArrayView bits, bool keepAlpha) {
    if (h.compression == BiJpeg || h.compression == BiPng) return DecodeEmbedded(h, bits);
    if (!ImageSizeAllowed(h.width, h.height)) throw TkvGraphicFormatError("bitmap too large");
    const int w = h.width, ht = h.height;
    QImage img(w, ht, QImage::Format_ARGB32);
    if (img.isNull()) throw TkvGraphicFormatError("out of memory for bitmap");
    auto paletteColor = [&](int i) -> QRgb {
        return i < h.palette.size() ? h.palette[i] | 0xFF000000u : 0xFF000000u;
    };

    if (h.compression == BiRle8 || h.compression == BiRle4) {
        const std::vector<uint8_t> idx = DecodeRle(h, bits);
        for (int y = 0; y < ht; ++y) {
            QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(ht - 1 - y));
            const uint8_t* in = idx.data() + size_t(y) * w;
            for (int x = 0; x < w; ++x)
                out[x] = paletteColor(in[x]);
        }
        return img.convertToFormat(QImage::Format_RGB32);
    }

    const int64_t stride = RowStride(w, h.bitCount);
    const int64_t lastRow = (int64_t(w) * h.bitCount + 7) / 8;
    if (stride == 0 || int64_t(bits.size()) < stride * (ht - 1) + lastRow)
        throw TkvGraphicFormatError("bitmap pixels end early");
    const MaskShift ms[4] = {Analyse(h.masks[0]), Analyse(h.masks[1]), Analyse(h.masks[2]),
                             Analyse(h.masks[3])};
    const bool alpha = keepAlpha && h.masks[3] != 0;
    bool anyAlpha = false;
    const auto* base = reinterpret_cast<const uint8_t*>(bits.data());
    for (int y = 0; y < ht; ++y) {
        const uint8_t* in = base + int64_t(h.topDown ? y : ht - 1 - y) * stride;
        QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        switch (h.bitCount) {
        case 1:
        case 2:
        case 4:
        case 8: {
            const int bpp = h.bitCount, perByte = 8 / bpp, mask = (1 << bpp) - 1;
            for (int x = 0; x < w; ++x) {
                const int shift = 8 - bpp * (x % perByte + 1);
                out[x] = paletteColor((in[x / perByte] >> shift) & mask);
            }
            break;
        }
        case 24:
            for (int x = 0; x < w; ++x)
                out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
            break;
        default: { // 16 and 32 through masks
            const int bytes = h.bitCount / 8;
            for (int x = 0; x < w; ++x) {
                uint32_t px = in[bytes * x] | uint32_t(in[bytes * x + 1]) << 8;
                if (bytes == 4) px |= uint32_t(in[4 * x + 2]) << 16 | uint32_t(in[4 * x + 3]) << 24;
                int a = 255;
                if (alpha) {
                    a = Channel(px, ms[3]);
                    anyAlpha = anyAlpha || a != 0;
                }
                out[x] = qRgba(Channel(px, ms[0]), Channel(px, ms[1]), Channel(px, ms[2]), a);
            }
            break;
        }
        }
    }
    if (alpha && anyAlpha) return img;
    // No usable alpha: every pixel is opaque.
    return img.convertToFormat(QImage::Format_RGB32);
}

} // namespace kv::dib

namespace kv {

QImage DecodeDib(QByteArrayView packedDib) {
    try {
        const dib::Header h = dib::ReadHeader(packedDib);
        return dib::DecodePixels(h, packedDib.sliced(h.tableEnd), true);
    } catch (const TkvGraphicFormatError&) {
        return {};
    }
}

QImage DecodeDib(QByteArrayView info, QByteArrayView bits, bool paletteIndices) {
    try {
        const dib::Header h = dib::ReadHeader(info, false, paletteIndices);
        return dib::DecodePixels(h, bits, true);
    } catch (const TkvGraphicFormatError&) {
        return {};
    }
}

QImage DecodeBitmap(QByteArrayView file) {
    if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') return DecodeDib(file);
    try {
        TkvByteReader r(file);
        const uint32_t offBits = r.U32At(10);
        r.Seek(14);
        QByteArrayView info = file.sliced(14);
        const dib::Header h = dib::ReadHeader(info);
        // The stored offset is trusted only when it points past the colour table and inside the
        // file; writers that left it 0 or wrong still have their pixels right after the table.
        qsizetype bitsAt = 14 + h.tableEnd;
        if (offBits >= uint32_t(bitsAt) && offBits < uint32_t(file.size())) bitsAt = qsizetype(offBits);
        return dib::DecodePixels(h, file.sliced(bitsAt), true);
    } catch (const TkvGraphicFormatError&) {
        return {};
    }
}

bool IsMonochromeDib(QByteArrayView packedDib) {
    try {
        return dib::ReadHeader(packedDib).bitCount == 1;
    } catch (const TkvGraphicFormatError&) {
        return false;
    }
}

} // namespace kv
