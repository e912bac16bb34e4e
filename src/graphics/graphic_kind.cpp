#include "graphics/graphic_kind.h"

#include "base/byte_reader.h"
#include "graphics/metafile.h"

namespace kv {

TkvGraphicKind DetectGraphicKind(QByteArrayView bytes) {
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return TkvGraphicKind::Bitmap;
    if (bytes.size() >= 3 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xD8 &&
        uint8_t(bytes[2]) == 0xFF)
        return TkvGraphicKind::Jpeg;
    if (bytes.size() >= 6) {
        TkvByteReader r(bytes);
        const uint16_t reserved = r.U16(), type = r.U16(), count = r.U16();
        if (reserved == 0 && type == 1 && count > 0) return TkvGraphicKind::Icon;
    }
    if (TkvMetafile::DetectFormat(bytes) != TkvMetafileFormat::None) return TkvGraphicKind::Metafile;
    return TkvGraphicKind::None;
}

} // namespace kv
