#pragma once
// Caps applied by every decoder before it allocates pixels: stored dimensions come from untrusted
// files, and a 4-byte header must not be able to ask for gigabytes.

#include <cstdint>

namespace kv {

constexpr int kMaxImageSide = 16384;
// 40 million pixels: about 160 MB as 32-bit pixels, more than any picture a report holds.
constexpr int64_t kMaxImagePixels = 40'000'000;

// Whether an image of this size may be allocated.
constexpr bool ImageSizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

} // namespace kv
