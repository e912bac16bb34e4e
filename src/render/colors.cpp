#include "render/colors.h"

namespace kv {

namespace {

// A conventional light desktop palette for system colours 0..24.
constexpr uint32_t kSystemColors[] = {
    0xC8C8C8, // scroll bar
    0x000000, // background
    0xD1B499, // active caption
    0xDBCDBF, // inactive caption
    0xF0F0F0, // menu
    0xFFFFFF, // window
    0x646464, // window frame
    0x000000, // menu text
    0x000000, // window text
    0x000000, // caption text
    0xB4B4B4, // active border
    0xFCF7F4, // inactive border
    0xABABAB, // app workspace
    0xFF9933, // highlight (BGR)
    0xFFFFFF, // highlight text
    0xF0F0F0, // button face
    0xA0A0A0, // button shadow
    0x6D6D6D, // gray text
    0x000000, // button text
    0x000000, // inactive caption text
    0xFFFFFF, // button highlight
    0x696969, // 3D dark shadow
    0xE3E3E3, // 3D light
    0x000000, // info text
    0xE1FFFF, // info background
};

} // namespace

QColor ColorToQColor(uint32_t color) {
    if (color == kNoColor) return QColor(Qt::transparent);
    if (color & 0x80000000u) {
        const uint32_t n = color & 0xFF;
        color = n < std::size(kSystemColors) ? kSystemColors[n] : 0;
    }
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

uint32_t QColorToColor(const QColor& c) {
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

} // namespace kv
