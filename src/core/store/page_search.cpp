#include "core/store/page_search.h"

#include "base/text_util.h"
#include "core/store/emf_pages.h"
#include "render/recording_canvas.h"

namespace kv {

QRect PageDrawArea(const PreparedPageInfo& info, const QRect& page, double zoom) {
    if (info.UseMargins) return page;
    const TkvPageMetrics& m = info.Metrics;
    return QRect(page.left() + RoundEven((m.OffsetLeft + double(info.Margins.Left)) * zoom),
                 page.top() + RoundEven((m.OffsetTop + double(info.Margins.Top)) * zoom),
                 RoundEven((double(m.PrintableWidth) - info.Margins.Left - info.Margins.Right) * zoom),
                 RoundEven((double(m.PrintableHeight) - info.Margins.Top - info.Margins.Bottom) * zoom));
}

std::vector<TkvPageMatch> FindOnPage(TkvEMFPages& pages, int index, const QString& needle,
                                     Qt::CaseSensitivity cs) {
    std::vector<TkvPageMatch> result;
    if (needle.isEmpty() || index < 0 || index >= pages.Count()) return result;
    PreparedPageInfo& info = pages.PageInfo(index);
    if (!info.HasPageArea()) return result;
    const uint8_t wasVisible = info.PageVisible;
    // The page goes back to its packed form however the search ends.
    struct Release {
        TkvEMFPages& pages;
        int index;
        PreparedPageInfo& info;
        uint8_t visible;
        ~Release() {
            pages.ReleasePage(index);
            info.PageVisible = visible;
        }
    } release{pages, index, info, wasVisible};
    TkvRecordingCanvas canvas;
    info.PageVisible = 1;
    pages.DrawPage(index, canvas, PageDrawArea(info, QRect(0, 0, info.Metrics.PageWidth, info.Metrics.PageHeight), 1.0));
    for (const TkvTextMatch& m : canvas.FindText(needle, cs)) {
        const auto& rec = std::get<kvrec::Text>(canvas.Records()[size_t(m.record)]);
        result.push_back({m.matchBounds, rec.text.mid(m.position, needle.size())});
    }
    return result;
}

} // namespace kv
