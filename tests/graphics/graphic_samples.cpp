#include "graphic_samples.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace kvtest {

namespace {

QByteArray PixelRows(const Pixels& px, const BmpOptions& o, const QVector<QRgb>& palette) {
    const int w = int(px[0].size()), h = int(px.size());
    auto index = [&](QRgb c) { return int(palette.indexOf(c | 0xFF000000u)); };
    QByteArray out;
    if (o.rle) {
        // Each row as encoded runs of equal pixels, then end of line; end of bitmap at the end.
        for (int row = 0; row < h; ++row) {
            const auto& line = px[size_t(h - 1 - row)];
            int x = 0;
            while (x < w) {
                int n = 1;
                while (x + n < w && n < 255 && line[size_t(x + n)] == line[size_t(x)])
                    ++n;
                const int i = index(line[size_t(x)]);
                out.append(char(n));
                out.append(char(o.rle == 4 ? (i << 4 | i) : i));
                x += n;
            }
            out.append('\0').append('\0');
        }
        out.append('\0').append('\1');
        return out;
    }
    for (int row = 0; row < h; ++row) {
        const auto& line = px[size_t(o.topDown ? row : h - 1 - row)];
        Bytes r;
        if (o.bitCount <= 8) {
            int acc = 0, bits = 0;
            for (int x = 0; x < w; ++x) {
                acc = acc << o.bitCount | index(line[size_t(x)]);
                bits += o.bitCount;
                if (bits == 8) {
                    r.u8(acc);
                    acc = bits = 0;
                }
            }
            if (bits) r.u8(acc << (8 - bits));
        } else {
            for (int x = 0; x < w; ++x) {
                const QRgb c = line[size_t(x)];
                if (o.bitCount == 16 && o.bitfields565)
                    r.u16((qRed(c) >> 3) << 11 | (qGreen(c) >> 2) << 5 | qBlue(c) >> 3);
                else if (o.bitCount == 16)
                    r.u16((qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | qBlue(c) >> 3);
                else if (o.bitCount == 24)
                    r.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c));
                else
                    r.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c)).u8(qAlpha(c));
            }
        }
        r.pad4();
        out.append(r.b);
    }
    return out;
}

} // namespace

QByteArray MakeDib(const Pixels& px, const BmpOptions& o) {
    const int w = int(px[0].size()), h = int(px.size());
    QVector<QRgb> palette;
    if (o.bitCount <= 8) {
        for (const auto& line : px)
            for (QRgb c : line)
                if (!palette.contains(c | 0xFF000000u)) palette.append(c | 0xFF000000u);
        while (palette.size() < (1 << o.bitCount))
            palette.append(0xFF000000u);
    }
    const QByteArray rows = PixelRows(px, o, palette);
    Bytes b;
    b.u32(40).i32(w).i32(o.topDown ? -h : h).u16(1).u16(o.bitCount);
    b.u32(o.rle == 8 ? 1 : o.rle == 4 ? 2 : o.bitfields565 ? 3 : 0);
    b.u32(uint32_t(rows.size())).i32(2835).i32(2835).u32(uint32_t(palette.size())).u32(0);
    if (o.bitfields565) b.u32(0xF800).u32(0x07E0).u32(0x001F);
    for (QRgb c : palette)
        b.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c)).u8(0);
    b.raw(rows);
    return b.b;
}

QByteArray MakeBmp(const Pixels& px, const BmpOptions& o) {
    const QByteArray dib = MakeDib(px, o);
    const int rowsSize = int(MakeDib(px, o).size()); // header, table and rows
    Bytes f;
    const int palette = o.bitCount <= 8 ? (1 << o.bitCount) * 4 : 0;
    const int masks = o.bitfields565 ? 12 : 0;
    f.u8('B').u8('M').u32(uint32_t(14 + rowsSize)).u32(0).u32(uint32_t(14 + 40 + masks + palette));
    f.raw(dib);
    return f.b;
}

QByteArray MakeIconDib(const Pixels& px, int bitCount, const std::vector<std::vector<bool>>& transparent) {
    BmpOptions o;
    o.bitCount = bitCount;
    QByteArray dib = MakeDib(px, o);
    const int w = int(px[0].size()), h = int(px.size());
    // Height doubled: colour rows and mask rows together.
    Bytes height;
    height.i32(2 * h);
    dib.replace(8, 4, height.b);
    for (int row = h - 1; row >= 0; --row) {
        Bytes r;
        int acc = 0, bits = 0;
        for (int x = 0; x < w; ++x) {
            acc = acc << 1 | (transparent[size_t(row)][size_t(x)] ? 1 : 0);
            if (++bits == 8) {
                r.u8(acc);
                acc = bits = 0;
            }
        }
        if (bits) r.u8(acc << (8 - bits));
        r.pad4();
        dib.append(r.b);
    }
    return dib;
}

QByteArray MakeIcon(const std::vector<std::pair<QSize, QByteArray>>& images, int bitCountOfEach) {
    Bytes b;
    b.u16(0).u16(1).u16(int(images.size()));
    uint32_t offset = 6 + 16 * uint32_t(images.size());
    for (const auto& [size, data] : images) {
        b.u8(size.width() & 0xFF).u8(size.height() & 0xFF).u8(0).u8(0).u16(1).u16(bitCountOfEach);
        b.u32(uint32_t(data.size())).u32(offset);
        offset += uint32_t(data.size());
    }
    for (const auto& image : images)
        b.raw(image.second);
    return b.b;
}

WmfBuilder& WmfBuilder::Rec(uint16_t function, std::initializer_list<int> words) {
    Bytes p;
    for (int w : words)
        p.u16(w);
    return RecRaw(function, p.b);
}

WmfBuilder& WmfBuilder::RecRaw(uint16_t function, const QByteArray& params) {
    QByteArray padded = params;
    if (padded.size() % 2) padded.append('\0');
    const uint32_t words = 3 + uint32_t(padded.size() / 2);
    Bytes r;
    r.u32(words).u16(function).raw(padded);
    records_.append(r.b);
    maxRecord_ = std::max(maxRecord_, words);
    return *this;
}

QByteArray WmfBuilder::Finish(int objects, const QRect* box, int inch) const {
    Bytes b;
    if (box) {
        b.u32(0x9AC6CDD7).u16(0).u16(box->left()).u16(box->top()).u16(box->left() + box->width());
        b.u16(box->top() + box->height()).u16(inch).u32(0);
        // Checksum: XOR of the ten words before it.
        uint16_t sum = 0;
        for (int i = 0; i < 20; i += 2)
            sum ^= uint16_t(uint8_t(b.b[i]) | uint8_t(b.b[i + 1]) << 8);
        b.u16(sum);
    }
    const uint32_t total = 9 + uint32_t(records_.size() / 2) + 3;
    b.u16(1).u16(9).u16(0x0300).u32(total).u16(objects).u32(maxRecord_).u16(0);
    b.raw(records_);
    b.u32(3).u16(0);
    return b.b;
}

EmfBuilder& EmfBuilder::Rec(uint32_t type, std::initializer_list<int32_t> values) {
    Bytes p;
    for (int32_t v : values)
        p.i32(v);
    return RecRaw(type, p.b);
}

EmfBuilder& EmfBuilder::RecRaw(uint32_t type, const QByteArray& params) {
    Bytes r;
    r.u32(type).u32(uint32_t(8 + params.size())).raw(params);
    r.pad4();
    // The stored size covers the padding too.
    Bytes size;
    size.u32(uint32_t(r.b.size()));
    r.b.replace(4, 4, size.b);
    records_.append(r.b);
    ++count_;
    return *this;
}

QByteArray EmfBuilder::Finish(QRect frame, QSize devicePx, QSize deviceMm, int handles) const {
    Bytes b;
    const uint32_t headerSize = 108;
    const uint32_t total = headerSize + uint32_t(records_.size()) + 20;
    b.u32(1).u32(headerSize);
    b.i32(0).i32(0).i32(100).i32(100); // bounds
    b.i32(frame.left()).i32(frame.top()).i32(frame.left() + frame.width()).i32(frame.top() + frame.height());
    b.u32(0x464D4520).u32(0x10000).u32(total).u32(uint32_t(count_ + 2)).u16(handles).u16(0);
    b.u32(0).u32(0).u32(0); // description, palette
    b.i32(devicePx.width()).i32(devicePx.height()).i32(deviceMm.width()).i32(deviceMm.height());
    b.u32(0).u32(0).u32(0);                                       // pixel format, OpenGL
    b.i32(deviceMm.width() * 1000).i32(deviceMm.height() * 1000); // micrometres
    b.raw(records_);
    b.u32(14).u32(20).u32(0).u32(0).u32(20);
    return b.b;
}

size_t DrawingCount(const TkvRecordingCanvas& canvas) {
    size_t n = 0;
    for (const TkvRecord& r : canvas.Records())
        n += std::holds_alternative<kvrec::Line>(r) || std::holds_alternative<kvrec::FillRect>(r) ||
             std::holds_alternative<kvrec::Rectangle>(r) || std::holds_alternative<kvrec::Ellipse>(r) ||
             std::holds_alternative<kvrec::RoundRect>(r) || std::holds_alternative<kvrec::Polygon>(r) ||
             std::holds_alternative<kvrec::Polyline>(r) || std::holds_alternative<kvrec::Text>(r) ||
             std::holds_alternative<kvrec::Image>(r);
    return n;
}

} // namespace kvtest
