#pragma once
// Flag and alignment bits of a text object, and the mark that ends a laid-out paragraph: shared by
// the text object, its layout and the word wrapper.

#include <QByteArray>
#include <cstdint>

// Flag bits of a text object (bit 0 stretched and bit 15 notify are common to all views).
namespace kvmf {
constexpr uint16_t WordWrap = 0x0002;
constexpr uint16_t WordBreak = 0x0004;
constexpr uint16_t AutoWidth = 0x0008;
constexpr uint16_t TextOnly = 0x0010;
constexpr uint16_t Suppress = 0x0020;
constexpr uint16_t HideZeros = 0x0040;
constexpr uint16_t Underlines = 0x0080;
constexpr uint16_t RtlReading = 0x0100;
} // namespace kvmf

// Alignment bits: bits 0-1 place each line, bit 2 rotates the text by 90 degrees, bits 3 and 4
// place the block of lines across their direction (both set: the block stays at the top).
namespace kvta {
constexpr int32_t Left = 0;
constexpr int32_t Right = 1;
constexpr int32_t Center = 2;
constexpr int32_t Justify = 3;
constexpr int32_t HorizontalMask = 3;
constexpr int32_t Vertical = 4;
constexpr int32_t Middle = 8;
constexpr int32_t Down = 16;
} // namespace kvta

namespace kv {
// Ends the last laid-out line of each paragraph; a text holding it is already laid out.
constexpr char ParagraphMark = '\x01';

// Takes the paragraph mark off the end of a laid-out line; whether it was there.
inline bool TakeParagraphMark(QByteArray& line) {
    if (!line.endsWith(ParagraphMark)) return false;
    line.chop(1);
    return true;
}
} // namespace kv
