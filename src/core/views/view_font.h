#pragma once
// The font of a view as report records store it: typeface bytes, size in points, font style code,
// colour and character set. Kept as stored so records round-trip byte for byte; the drawing code
// turns it into a canvas font.

#include <QByteArray>
#include <cstdint>

// Font style code bits (bold is 2 and italic 1 in stored records and scripts).
namespace kvfs {
constexpr uint16_t Italic = 1;
constexpr uint16_t Bold = 2;
constexpr uint16_t Underline = 4;
constexpr uint16_t StrikeOut = 8;
// The bits a style code may carry; anything above is not a style.
constexpr uint16_t All = 0x000F;
} // namespace kvfs

namespace kv {
// The library's default font character set (library text 55337, "1").
constexpr uint8_t DefaultCharset = 1;
} // namespace kv

struct TkvViewFont {
    QByteArray Name = "Arial";
    int32_t Size = 10;  // points
    uint16_t Style = 0; // font style code as stored; only the kvfs bits are a style
    uint32_t Color = 0; // report colour
    uint8_t Charset = kv::DefaultCharset;
    bool operator==(const TkvViewFont&) const = default;
};
