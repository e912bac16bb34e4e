#pragma once
// Icon files (.ico; cursor files too): the best image of the directory, with transparency from
// its alpha channel or its AND mask.

#include <QByteArrayView>
#include <QImage>

namespace kv {

// "Best" is the largest image, then the deepest colour; when it does not decode the next best is
// tried. Embedded PNG images are read as well. Null when no image decodes. The result is
// Format_ARGB32.
QImage DecodeIcon(QByteArrayView file);

} // namespace kv
