#pragma once
// Shared DIB parsing for bitmaps, metafiles and icons (not part of the public interface).

#include <QByteArrayView>
#include <QImage>
#include <QVector>
#include <cstdint>

namespace kv::dib {

struct Header {
    uint32_t headerSize = 0;
    int width = 0;
    int height = 0; // rows of the image (positive)
    bool topDown = false;
    int bitCount = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    uint32_t masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    bool hasMasks = false;
    QVector<QRgb> palette;
    qsizetype tableEnd = 0; // offset after header, masks and colour table
};

// Reads the header, masks and colour table at the start of `info`. `iconHalfHeight` halves the
// stored height, as icon images store the colour rows and the mask rows together.
// Throws TkvGraphicFormatError.
Header ReadHeader(QByteArrayView info, bool iconHalfHeight = false, bool paletteIndices = false);

// Bytes of one uncompressed row (4-byte aligned); 0 when it does not fit the caps.
int64_t RowStride(int width, int bitCount);

// Decodes the pixels. Throws TkvGraphicFormatError; checks the image caps before allocating.
// The result is Format_ARGB32 when `keepAlpha` and the pixels carry alpha, else Format_RGB32.
QImage DecodePixels(const Header& h, QByteArrayView bits, bool keepAlpha);

} // namespace kv::dib
