#include "core/shared_routines.h"

namespace kv {

TkvFont RotatedFont(const TkvFont& font) {
    TkvFont rotated = font;
    rotated.escapement = 900;
    return rotated;
}

QByteArray OperatingSystemName() {
    return "NT";
}

} // namespace kv
