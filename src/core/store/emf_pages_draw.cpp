// Drawing a prepared page scaled into a rectangle.
#include "core/store/emf_pages.h"

#include "core/globals.h"
#include "core/report/page.h"
#include "base/text_util.h"
#include "render/canvas.h"

void TkvEMFPages::ReleasePage(int index) {
    PreparedPageInfo& info = PageInfo(index);
    if (info.Page && kv::CurPage == info.Page.get()) kv::CurPage = nullptr;
    info.Page.reset();
}

void TkvEMFPages::DrawPage(int index, TkvCanvas& canvas, const QRect& r) {
    if (index < 0 || index >= Count()) return;
    PreparedPageInfo& info = *PageList[static_cast<size_t>(index)];
    const bool toPrinter = canvas.IsPrinter();
    kv::DocumentMode = 1;
    if (!info.PageVisible) {
        ReleasePage(index);
        return;
    }
    if (!info.Page) UnpackPage(index);
    TkvPage* page = info.Page.get();
    kv::CurPage = page;
    // A page whose paper size is unknown cannot be scaled: nothing sensible can be drawn.
    if (!info.HasPageArea() || r.isEmpty()) return;
    const double kx = double(r.width()) / info.Metrics.PageWidth;
    const double ky = double(r.height()) / info.Metrics.PageHeight;
    for (const auto& v : page->Objects) {
        if (!toPrinter && canvas.HasClip()) {
            const int left = kv::RoundEven(v->Left * kx) + r.left() - 10;
            const int top = kv::RoundEven(v->Top * ky) + r.top() - 10;
            const int right = kv::RoundEven((double(v->Left) + v->Width) * kx) + r.left() + 10;
            const int bottom = kv::RoundEven((double(v->Top) + v->Height) * ky) + r.top() + 10;
            if (!canvas.RectVisible(QRect(left, top, right - left, bottom - top))) continue;
        }
        v->ZoomX = kx;
        v->ZoomY = ky;
        v->OriginX = r.left();
        v->OriginY = r.top();
        v->ToPrinter = toPrinter;
        v->Draw(canvas);
    }
}
