#pragma once
// The kinds of graphic a picture holds, in the numbering of picture records (0 none, 1 bitmap,
// 2 metafile, 3 icon, 4 JPEG), and detection of a kind from the data's signature.

#include <QByteArrayView>
#include <cstdint>

enum class TkvGraphicKind : uint8_t { None = 0, Bitmap = 1, Metafile = 2, Icon = 3, Jpeg = 4 };

namespace kv {

// Looks only at the leading bytes: "BM" bitmap file, FF D8 FF JPEG, an icon directory, a
// placeable or plain Windows metafile header, an enhanced metafile header. None otherwise.
TkvGraphicKind DetectGraphicKind(QByteArrayView bytes);

} // namespace kv
