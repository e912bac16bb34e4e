#pragma once
// JPEG through libjpeg(-turbo). libjpeg's fatal errors return here instead of ending the process,
// sizes are capped (image_limits.h) before pixels are allocated, and a file that ends early counts
// as corrupt rather than being padded with grey.

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

namespace kv {

// Null on any failure. Grey, RGB/YCbCr and CMYK/YCCK files decode to Format_RGB32.
QImage DecodeJpeg(QByteArrayView data);

// Baseline JFIF at `quality` (clamped to 1..100); transparent pixels are flattened onto white.
// Empty on failure (null image, over the size caps, encoder error).
QByteArray EncodeJpeg(const QImage& image, int quality = 75);

} // namespace kv
