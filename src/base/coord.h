#pragma once
// Arithmetic on coordinates and sizes read from a file, which may be anything: compute on 64 bits,
// then bring the result back to int with ClampCoord. Clamped coordinates keep to a quarter of the int
// range, so a width or height computed from two of them, or a clamped coordinate plus a clamped size,
// still fits an int.

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace kv {

constexpr int kMaxCoord = INT_MAX / 4;

constexpr int ClampCoord(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, -kMaxCoord, kMaxCoord));
}

// Truncates toward zero; not-a-number gives 0 and the result stays within +-1e15.
inline int64_t TruncTo64(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int64_t>(std::clamp(std::trunc(v), -1e15, 1e15));
}

// Rounds half to even like RoundEven, on 64 bits; not-a-number gives 0.
inline int64_t RoundTo64(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int64_t>(std::clamp(std::nearbyint(v), -1e15, 1e15));
}

} // namespace kv
