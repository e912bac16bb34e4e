#pragma once
// A rectangle as the report format means it: left, top, right, bottom with right and bottom
// exclusive (a 1 x 1 rectangle at (5, 5) is (5, 5, 6, 6)).

#include "base/coord.h"

#include <QRect>

struct TkvRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TkvRect&) const = default;
    // Edges from a file may lie anywhere in int: sizes are computed on 64 bits and clamped.
    int Width() const { return kv::ClampCoord(int64_t(Right) - Left); }
    int Height() const { return kv::ClampCoord(int64_t(Bottom) - Top); }
    // The edges are clamped first so that Qt's own right and bottom stay inside int.
    QRect toQRect() const {
        const int l = kv::ClampCoord(Left), t = kv::ClampCoord(Top);
        return QRect(l, t, kv::ClampCoord(Right) - l, kv::ClampCoord(Bottom) - t);
    }
    // A rectangle from edges computed on 64 bits, each clamped back into the coordinate range.
    static TkvRect Clamped(int64_t l, int64_t t, int64_t r, int64_t b) {
        return {kv::ClampCoord(l), kv::ClampCoord(t), kv::ClampCoord(r), kv::ClampCoord(b)};
    }
    static TkvRect fromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
};
