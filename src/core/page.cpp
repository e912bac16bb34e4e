#include "core/page.h"

TkvPage::TkvPage() = default;
TkvPage::~TkvPage() = default;

int TkvPage::PrintAreaLeft() const {
    if (!UseMargins) return 0;
    return LeftMargin != 0 ? LeftMargin : Metrics.OffsetLeft;
}

int TkvPage::PrintAreaRight() const {
    if (!UseMargins) return Metrics.PageWidth;
    return RightMargin != 0 ? Metrics.PageWidth - RightMargin : Metrics.OffsetLeft + Metrics.PrintableWidth;
}

int TkvPage::PrintAreaTop() const {
    if (!UseMargins) return 0;
    return TopMargin != 0 ? TopMargin : Metrics.OffsetTop;
}

int TkvPage::PrintAreaBottom() const {
    if (!UseMargins) return Metrics.PageHeight;
    return BottomMargin != 0 ? Metrics.PageHeight - BottomMargin : Metrics.OffsetTop + Metrics.PrintableHeight;
}

TkvView* TkvPage::FindObject(const QByteArray& name) const {
    for (const auto& v : Objects)
        if (v->Name == name) return v.get();
    return nullptr;
}
