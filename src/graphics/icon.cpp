#include "graphics/icon.h"

#include "base/byte_reader.h"
#include "graphics/dib_decoder.h"
#include "graphics/image_limits.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <vector>

namespace kv {

namespace {

struct Entry {
    int width = 0, height = 0, bitCount = 0;
    uint32_t size = 0, offset = 0;
};

QImage DecodePng(QByteArrayView data) {
    QByteArray copy = data.toByteArray();
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "PNG");
    const QSize size = reader.size();
    if (!ImageSizeAllowed(size.width(), size.height())) return {};
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

QImage DecodeImage(QByteArrayView data) {
    if (data.size() >= 8 && data.startsWith("\x89PNG")) return DecodePng(data);
    const dib::Header h = dib::ReadHeader(data, true);
    QImage img = dib::DecodePixels(h, data.sliced(h.tableEnd), true);
    const bool hasAlpha = img.format() == QImage::Format_ARGB32;
    img = img.convertToFormat(QImage::Format_ARGB32);
    if (hasAlpha || h.compression != 0) return img; // alpha beats the mask; compressed images carry no mask
    // The AND mask follows the colour rows: 1 bit per pixel, set where the icon is transparent.
    const int64_t colourBytes = dib::RowStride(h.width, h.bitCount) * h.height;
    const int64_t maskStride = dib::RowStride(h.width, 1);
    const qsizetype maskAt = h.tableEnd + qsizetype(colourBytes);
    if (maskAt > data.size() || data.size() - maskAt < maskStride * h.height)
        return img; // no mask stored: the image is opaque
    const auto* mask = reinterpret_cast<const uint8_t*>(data.data() + maskAt);
    for (int y = 0; y < h.height; ++y) {
        const uint8_t* row = mask + (h.topDown ? y : h.height - 1 - y) * maskStride;
        QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < h.width; ++x)
            if (row[x / 8] & (0x80 >> (x % 8))) out[x] = 0;
    }
    return img;
}

} // namespace

QImage DecodeIcon(QByteArrayView file) {
    try {
        TkvByteReader r(file);
        const uint16_t reserved = r.U16(), type = r.U16(), count = r.U16();
        if (reserved != 0 || (type != 1 && type != 2) || count == 0) return {};
        std::vector<Entry> entries;
        for (int i = 0; i < count && r.Left() >= 16; ++i) {
            Entry e;
            e.width = r.U8();
            e.height = r.U8();
            r.Skip(4); // colour count, reserved, planes (hot spot x for cursors)
            e.bitCount = r.U16();
            e.size = r.U32();
            e.offset = r.U32();
            if (e.width == 0) e.width = 256;
            if (e.height == 0) e.height = 256;
            if (type == 2) e.bitCount = 0; // cursors store the hot spot here; rank by size only
            if (e.offset < uint32_t(file.size()) && e.size > 0) entries.push_back(e);
        }
        std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
            const int64_t areaA = int64_t(a.width) * a.height, areaB = int64_t(b.width) * b.height;
            return areaA != areaB ? areaA > areaB : a.bitCount > b.bitCount;
        });
        for (const Entry& e : entries) {
            const qsizetype size = std::min<qsizetype>(e.size, file.size() - e.offset);
            try {
                QImage img = DecodeImage(file.sliced(e.offset, size));
                if (!img.isNull()) return img;
            } catch (const TkvGraphicFormatError&) {
            }
        }
    } catch (const TkvGraphicFormatError&) {
    }
    return {};
}

} // namespace kv
