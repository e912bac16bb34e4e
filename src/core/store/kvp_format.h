#pragma once
// Constants of the prepared report file (.kvp) and of the packed page format.

#include <cstdint>

namespace kvp {

// Version byte written; a reader takes 24 to 31 as a version byte, anything else as the start of a
// file without one (version 0).
constexpr uint8_t WrittenVersion = 25;
constexpr uint8_t FirstVersionByte = 24;
constexpr uint8_t LastVersionByte = 31;
// From this version on, page entries carry the paper bin and the four margins.
constexpr uint8_t BinAndMarginsVersion = 24;

inline bool IsVersionByte(uint8_t b) {
    return b >= FirstVersionByte && b <= LastVersionByte;
}
// The compressed flag of the current layout; any other value starts the picture layout.
inline bool IsCompressedFlag(uint8_t b) {
    return b == 0 || b == 1 || b == 255;
}

// Fixed part of a page entry: next offset, paper size, width, height, orientation, [bin],
// use margins, [4 margins].
constexpr int PageEntryHeaderSize = 4 + 2 + 4 + 4 + 1 + 1;
constexpr int PageEntryHeaderSizeV24 = PageEntryHeaderSize + 4 + 16;

// The WriterMark of a new report and of every template written.
constexpr uint8_t DefaultWriterMark = 88;

} // namespace kvp
