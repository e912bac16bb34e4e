#pragma once
// Windows bitmaps: files with their 14-byte file header, and bare device-independent bitmaps as
// metafiles and icons embed them. Every bit depth the format allows is read (1, 2, 4, 8 with a
// palette; 16 and 32 as 5-5-5 or with bit-field masks; 24; RLE4 and RLE8; embedded JPEG and PNG),
// rows bottom-up or top-down. Failures (truncated data, bad header, size over the caps of
// image_limits.h) give a null image.

#include <QByteArrayView>
#include <QImage>

namespace kv {

// A bitmap file ("BM" header). A bare DIB (no file header) is accepted too, as some databases
// store them that way.
QImage DecodeBitmap(QByteArrayView file);

// A packed DIB: the info header, its colour table or masks, then the pixels.
QImage DecodeDib(QByteArrayView packedDib);

// A DIB whose header (with colour table) and pixels lie apart, as in enhanced metafile records.
// With `paletteIndices` the colour table holds 16-bit indices into a logical palette that is not
// available here; the indices are then shown as grey levels.
QImage DecodeDib(QByteArrayView info, QByteArrayView bits, bool paletteIndices = false);

// Whether the image came from a 1-bit DIB (two colours): printing stretches those differently.
bool IsMonochromeDib(QByteArrayView packedDib);

} // namespace kv
