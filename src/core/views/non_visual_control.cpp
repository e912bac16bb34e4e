#include "core/views/non_visual_control.h"

#include "core/locale.h"
#include "render/canvas.h"

#include <QPainter>

namespace {
constexpr uint32_t clBtnFace = 0x8000000F;
constexpr uint32_t clBtnShadow = 0x80000010;
constexpr uint32_t clBtnHighlight = 0x80000014;
constexpr uint32_t cl3DDkShadow = 0x80000015;
constexpr uint32_t cl3DLight = 0x80000016;
constexpr int kTileSize = 28;

// One ring of a raised edge on the rectangle (l, t, r, b), right and bottom exclusive.
void EdgeRing(TkvCanvas& c, int l, int t, int r, int b, uint32_t topLeft, uint32_t bottomRight) {
    c.SetPen({topLeft, 1, TkvPenStyle::Solid, TkvPenMode::Copy});
    c.DrawLine({l, b - 1}, {l, t});
    c.DrawLine({l, t}, {r - 1, t});
    c.SetPen({bottomRight, 1, TkvPenStyle::Solid, TkvPenMode::Copy});
    c.DrawLine({l, b - 1}, {r, b - 1});
    c.DrawLine({r - 1, t}, {r - 1, b - 1});
}
} // namespace

TkvNonVisualControl::TkvNonVisualControl() : ComponentIcon(kv::LoadLibraryBitmap("KV_NONVISUALCOMPONENT")) {
    if (ComponentIcon.isNull()) ComponentIcon = DefaultComponentIcon();
    Width = kTileSize;
    Height = kTileSize;
}

QImage TkvNonVisualControl::DefaultComponentIcon() {
    static const QImage icon = [] {
        QImage img(20, 20, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.setBrush(QColor(0xFF, 0xFF, 0xE0));
        p.drawRect(2, 2, 15, 15);
        p.setBrush(QColor(0x00, 0x00, 0x80));
        p.drawRect(6, 6, 7, 7);
        return img;
    }();
    return icon;
}

const TkvPropertyTable& TkvNonVisualControl::ClassProperties() {
    static const TkvPropertyTable table = [] {
        TkvPropertyTable t(&TkvControl::ClassProperties());
        TkvPropertyBuilder<TkvNonVisualControl> b(t);
        b.Extend("Name", [](TkvNonVisualControl& c, const TkvVariant& v) {
            if (c.Component) c.Component->SetComponentName(v.toText());
        });
        return t;
    }();
    return table;
}

void TkvNonVisualControl::RegisterProperties() {
    ClearProperties();
    for (const char* n : {"Name", "Restrictions"})
        ListProperty(n);
}

void TkvNonVisualControl::Draw(TkvCanvas& canvas) {
    const TkvCanvasScope scope(*this, canvas);
    Width = kTileSize;
    Height = kTileSize;
    AttachCanvas(&canvas);
    ScaleForDrawing();
    FillColor = clBtnFace;
    DrawBackground();
    PaintControl();
    RestoreAfterDrawing();
}

void TkvNonVisualControl::PaintControl() {
    if (!Canvas) return;
    const TkvRect& r = InnerRect;
    if (r.Width() >= 4 && r.Height() >= 4) {
        EdgeRing(*Canvas, r.Left, r.Top, r.Right, r.Bottom, cl3DLight, cl3DDkShadow);
        EdgeRing(*Canvas, r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1, clBtnHighlight, clBtnShadow);
    }
    if (!ComponentIcon.isNull())
        Canvas->DrawImage(QRect(QPoint(r.Left + 2, r.Top + 2), ComponentIcon.size()), ComponentIcon, false);
}
