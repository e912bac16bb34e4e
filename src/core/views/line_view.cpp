#include "core/views/line_view.h"

#include "base/coord.h"

#include <algorithm>
#include <climits>
#include <cmath>

using kv::ClampCoord;
using kv::TruncTo64;

TkvLineView::TkvLineView() {
    ObjectType = kvvt::Line;
    NamePrefix = "Line";
    FrameTyp = 4;
    FillColor = 0xFFFFFF;
    Flags = kvflag::Stretched;
}

void TkvLineView::RegisterProperties() {
    TkvStretcheable::RegisterProperties();
    ListProperty("Stretched");
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
    const TkvCanvasScope scope(*this, canvas);
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
        QRegion(TkvRect{ClampCoord(left), ClampCoord(top), ClampCoord(right), ClampCoord(bottom)}.toQRect());
}
