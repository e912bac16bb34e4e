#include "core/views/control.h"

#include "render/canvas.h"
#include "render/colors.h"

#include <QPainter>

namespace {
constexpr uint32_t clBtnFace = 0x8000000F;
// A picture larger than this (scaled view size) is not worth painting.
constexpr int kMaxPictureSide = 16384;
} // namespace

TkvControl::TkvControl() {
    ObjectType = kvvt::AddIn;
    FillColor = clBtnFace;
    FrameTyp = 0;
}

const TkvPropertyTable& TkvControl::ClassProperties() {
    static const TkvPropertyTable table = [] {
        TkvPropertyTable t(&TkvView::ClassProperties());
        TkvPropertyBuilder<TkvControl> b(t);
        b.Extend("Visible", [](TkvControl& c, const TkvVariant& v) {
            if (c.Control) c.Control->SetVisible(v.toBool());
        });
        return t;
    }();
    return table;
}

void TkvControl::RegisterProperties() {
    ClearProperties();
    for (const char* n : {"Name", "Left", "Top", "Width", "Height", "Visible", "Restrictions"})
        ListProperty(n);
}

void TkvControl::Draw(TkvCanvas& canvas) {
    const TkvCanvasScope scope(*this, canvas);
    AttachCanvas(&canvas);
    if (Control) Control->SetBounds(0, 0, Width, Height);
    ScaleForDrawing();
    PaintControl();
    RestoreAfterDrawing();
}

void TkvControl::PaintControl() {
    if (!Canvas || Width < 0 || Height < 0 || Width >= kMaxPictureSide || Height >= kMaxPictureSide) return;
    QImage picture(Width + 1, Height + 1, QImage::Format_ARGB32_Premultiplied);
    picture.fill(kv::ColorToQColor(clBtnFace));
    if (Control) {
        const QImage face = Control->Render();
        if (!face.isNull()) {
            QPainter p(&picture);
            p.drawImage(0, 0, face);
        }
    }
    Canvas->DrawImage(QRect(Left, Top, picture.width(), picture.height()), picture, false);
}

void TkvControl::PlaceOnForm(QObject* form) {
    if (!Control) return;
    Control->SetParentForm(form);
    Control->SetBounds(Left, Top, Width, Height);
}
