#pragma once
// Small routines shared by views and exports. (Parsing number texts and splitting at ";" are in
// core/text_util.h.)

#include "render/canvas.h"

#include <QByteArray>

namespace kv {

// A copy of the font turned by 90 degrees (escapement 900 tenths of a degree), for vertical text.
TkvFont RotatedFont(const TkvFont& font);

// The platform family name reported to scripts: always "NT", the family every platform this program
// runs on belongs to ("32s", "95" and "98" are names scripts may test for but never get).
QByteArray OperatingSystemName();

} // namespace kv
