#pragma once
// Small routines shared by views and exports. (Parsing number texts and splitting at ";" are in
// core/text_util.h.)

#include "render/canvas.h"

#include <QByteArray>

namespace kv {

// A copy of the font turned by 90 degrees (escapement 900 tenths of a degree), for vertical text.
TkvFont RotatedFont(const TkvFont& font);

// The platform family name the original library reported to scripts: always "NT" here, as every
// platform this program runs on is of that family ("32s", "95" and "98" are never reported).
QByteArray OperatingSystemName();

} // namespace kv
