#pragma once
// The report component: design pages, document information and (later) the prepared pages store.

#include "core/page.h"

#include <memory>
#include <vector>

class TkvReport : public TkvObject {
public:
    TkvReport();
    ~TkvReport() override;
    const char* ClassName() const override { return "TkvReport"; }

    // The first view with that name on any design page, in page order.
    TkvView* FindViewByName(const QByteArray& name) const;
    TkvPage* Page(int i) const { return Pages[static_cast<size_t>(i)].get(); }
    int PageCount() const { return static_cast<int>(Pages.size()); }

    QByteArray Name;
    std::vector<std::unique_ptr<TkvPage>> Pages;
};
