#include "engine/build/sub_report_pages.h"

#include "core/report/page.h"
#include "core/report/report.h"
#include "core/views/subreport_view.h"

TkvSubReportPages FindSubReportPages(const TkvReport& report) {
    TkvSubReportPages result;
    const int n = report.PageCount();
    result.IsSubReport.assign(size_t(n), false);
    // Edges page -> (object, page) of every sub-report object.
    std::vector<std::vector<std::pair<TkvView*, int>>> edges(static_cast<size_t>(n));
    for (int p = 0; p < n; ++p) {
        const TkvPage* page = report.Page(p);
        if (page->PageType != kvpt::Report) continue;
        for (const auto& o : page->Objects) {
            auto* s = dynamic_cast<TkvSubReportView*>(o.get());
            if (!s) continue;
            const int target = s->SubPageIndex;
            if (target < 0 || target >= n || report.Page(target)->PageType != kvpt::Report) {
                result.Error = "The sub-report " + s->Name + " names page " +
                               QByteArray::number(qint64(target) + 1) +
                               ", which is not a report page of the report";
                result.ErrorObject = s;
                return result;
            }
            result.IsSubReport[size_t(target)] = true;
            edges[size_t(p)].push_back({s, target});
        }
    }
    // Depth-first walk without recursion: 0 unvisited, 1 on the current path, 2 finished.
    std::vector<int> state(size_t(n), 0);
    for (int start = 0; start < n; ++start) {
        if (state[size_t(start)]) continue;
        std::vector<std::pair<int, size_t>> stack{{start, 0}};
        state[size_t(start)] = 1;
        while (!stack.empty()) {
            auto& [page, next] = stack.back();
            if (next >= edges[size_t(page)].size()) {
                state[size_t(page)] = 2;
                stack.pop_back();
                continue;
            }
            const auto [object, target] = edges[size_t(page)][next++];
            if (state[size_t(target)] == 1) {
                result.Error = "The sub-report " + object->Name +
                               " prints its own page inside itself (the sub-reports form a cycle)";
                result.ErrorObject = object;
                return result;
            }
            if (state[size_t(target)] == 0) {
                state[size_t(target)] = 1;
                stack.emplace_back(target, size_t(0));
            }
        }
    }
    return result;
}
