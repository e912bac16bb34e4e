// Drawing a prepared page scaled into a rectangle.
#include "core/store/emf_pages.h"

#include "base/coord.h"
#include "core/globals.h"
#include "core/rect.h"
#include "core/report/page.h"
#include "base/text_util.h"
#include "render/canvas.h"

void TkvEMFPages::ReleasePage(int index) {
    PreparedPageInfo& info = PageInfo(index);
    if (info.Page && kv::CurPage() == info.Page.get()) kv::CurPage() = nullptr;
    info.Page.reset();
}

void TkvEMFPages::DrawPage(int index, TkvCanvas& canvas, const QRect& r) {
    if (index < 0 || index >= Count()) return;
    PreparedPageInfo& info = *PageList[static_cast<size_t>(index)];
    const bool toPrinter = canvas.IsPrinter();
    kv::DocumentMode() = 1;
    if (!info.PageVisible) {
        ReleasePage(index);
        return;
    }
    if (!info.Page) UnpackPage(index);
    TkvPage* page = info.Page.get();
    kv::CurPage() = page;
    // A page whose paper size is unknown cannot be scaled: nothing sensible can be drawn.
    if (!info.HasPageArea() || r.isEmpty()) return;
    const double kx = double(r.width()) / info.Metrics.PageWidth;
    const double ky = double(r.height()) / info.Metrics.PageHeight;
    for (const auto& v : page->Objects) {
        if (!toPrinter && canvas.HasClip()) {
            // View edges come from the file: 64-bit arithmetic, clamped back for the clip test.
            const int64_t left = kv::RoundTo64(v->Left * kx) + r.left() - 10;
            const int64_t top = kv::RoundTo64(v->Top * ky) + r.top() - 10;
            const int64_t right = kv::RoundTo64((double(v->Left) + v->Width) * kx) + r.left() + 10;
            const int64_t bottom = kv::RoundTo64((double(v->Top) + v->Height) * ky) + r.top() + 10;
            const TkvRect bounds{kv::ClampCoord(left), kv::ClampCoord(top), kv::ClampCoord(right),
                                 kv::ClampCoord(bottom)};
            if (!canvas.RectVisible(bounds.toQRect())) continue;
        }
        v->ZoomX = kx;
        v->ZoomY = ky;
        v->OriginX = r.left();
        v->OriginY = r.top();
        v->ToPrinter = toPrinter;
        v->Draw(canvas);
    }
}
