#pragma once
// Builders for hand-made graphic files: little-endian byte writing, bitmaps of each depth,
// icons, WMF and EMF record streams. Each writes the published layouts independently of the
// decoders under test.

#include "render/recording_canvas.h"

#include <QByteArray>
#include <QImage>
#include <QVector>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace kvtest {

struct Bytes {
    QByteArray b;
    Bytes& u8(int v) {
        b.append(char(v & 0xFF));
        return *this;
    }
    Bytes& u16(int v) { return u8(v).u8(v >> 8); }
    Bytes& u32(uint32_t v) { return u16(int(v & 0xFFFF)).u16(int(v >> 16)); }
    Bytes& i32(int32_t v) { return u32(uint32_t(v)); }
    Bytes& f32(float v) {
        uint32_t u;
        memcpy(&u, &v, 4);
        return u32(u);
    }
    Bytes& raw(const QByteArray& v) {
        b.append(v);
        return *this;
    }
    Bytes& zeros(int n) {
        b.append(QByteArray(n, '\0'));
        return *this;
    }
    Bytes& pad4() {
        while (b.size() % 4)
            u8(0);
        return *this;
    }
};

// Pixels as rows of colours (top row first).
using Pixels = std::vector<std::vector<QRgb>>;

struct BmpOptions {
    int bitCount = 24;
    bool topDown = false;
    bool bitfields565 = false; // 16-bit with BI_BITFIELDS 5-6-5 masks
    int rle = 0;               // 4 or 8: RLE4 / RLE8 with the given depth
};

// A packed DIB (info header, colour table, pixels) and a BMP file around it.
QByteArray MakeDib(const Pixels& pixels, const BmpOptions& options);
QByteArray MakeBmp(const Pixels& pixels, const BmpOptions& options);

// A one-image icon file holding `dib` (an icon DIB: height doubled, AND mask appended).
QByteArray MakeIconDib(const Pixels& pixels, int bitCount, const std::vector<std::vector<bool>>& transparent);
QByteArray MakeIcon(const std::vector<std::pair<QSize, QByteArray>>& images, int bitCountOfEach = 32);

// WMF: records as (function, 16-bit words or raw bytes); Finish adds the headers.
class WmfBuilder {
public:
    WmfBuilder& Rec(uint16_t function, std::initializer_list<int> words);
    WmfBuilder& RecRaw(uint16_t function, const QByteArray& params);
    // With a box: a placeable header (box in logical units, `inch` units per inch).
    QByteArray Finish(int objects, const QRect* box = nullptr, int inch = 1440) const;

private:
    QByteArray records_;
    uint32_t maxRecord_ = 3;
};

// EMF: records as (type, 32-bit values or raw bytes); Finish adds header (frame in 0.01 mm,
// reference device `devicePx` pixels over `deviceMm` millimetres) and the end record.
class EmfBuilder {
public:
    EmfBuilder& Rec(uint32_t type, std::initializer_list<int32_t> values);
    EmfBuilder& RecRaw(uint32_t type, const QByteArray& params);
    QByteArray Finish(QRect frame01mm, QSize devicePx = QSize(96, 96), QSize deviceMm = QSize(254, 254),
                      int handles = 8) const;

private:
    QByteArray records_;
    int count_ = 0;
};

// The drawing records of one kind on a recording canvas, in order.
template <class T> std::vector<T> Drawn(const TkvRecordingCanvas& canvas) {
    std::vector<T> out;
    for (const TkvRecord& r : canvas.Records())
        if (const T* t = std::get_if<T>(&r)) out.push_back(*t);
    return out;
}

size_t DrawingCount(const TkvRecordingCanvas& canvas);

} // namespace kvtest
