#include "core/views/line_view.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

int64_t TruncTo64(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int64_t>(std::clamp(std::trunc(v), -1e15, 1e15));
}

// Edges from a file may be anything; a quarter of the int range keeps every width and height
// computed from two edges inside int as well.
int ClampToInt(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT_MIN / 4, INT_MAX / 4));
}

} // namespace

TkvLineView::TkvLineView() {
    ObjectType = kvvt::Line;
    NamePrefix = "Line";
    FrameTyp = 4;
    FillColor = 0xFFFFFF;
    Flags = kvflag::Stretched;
}

void TkvLineView::RegisterProperties() {
    TkvStretcheable::RegisterProperties();
    AddProperty("Stretched", kvpk::Boolean);
}

void TkvLineView::NormalizeDirection() {
    if (Height < Width) {
        Height = 0;
        FrameTyp = 8;
    } else {
        Width = 0;
        FrameTyp = 4;
    }
}

void TkvLineView::Draw(TkvCanvas& canvas) {
    AttachCanvas(&canvas);
    NormalizeDirection();
    ScaleForDrawing();
    DrawFrame();
    RestoreAfterDrawing();
}

void TkvLineView::GetClipRegion(bool widen, QRegion& result) {
    const double w = FrameWidth;
    int64_t outer, inner;
    if (FrameStyle == 5) {
        outer = TruncTo64(w * 1.5);
        inner = TruncTo64(double(TruncTo64((w - 1) / 2)) + w);
    } else {
        outer = TruncTo64(w / 2);
        inner = TruncTo64((w - 1) / 2);
    }
    int64_t left = Left, top = Top;
    int64_t right = int64_t(Left) + Width + 1, bottom = int64_t(Top) + Height + 1;
    if (FrameTyp == 4) {
        left -= outer;
        right += inner;
    } else {
        top -= outer;
        bottom += inner;
    }
    if (widen) {
        left -= 10;
        top -= 10;
        right += 10;
        bottom += 10;
    }
    result =
        QRegion(TkvRect{ClampToInt(left), ClampToInt(top), ClampToInt(right), ClampToInt(bottom)}.toQRect());
}
