#pragma once
// A rectangle as the report format means it: left, top, right, bottom with right and bottom
// exclusive (a 1 x 1 rectangle at (5, 5) is (5, 5, 6, 6)).

#include <QRect>

struct TkvRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TkvRect&) const = default;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    QRect toQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TkvRect fromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
};
