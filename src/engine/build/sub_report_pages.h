#pragma once
// Which pages of a report are printed inside sub-report objects, found before any page is built:
// such a page is not built on its own, and a page that reaches itself through its sub-report
// objects (directly or through other pages) would print for ever, so it is refused up front.

#include <QByteArray>
#include <vector>

class TkvReport;
class TkvView;

struct TkvSubReportPages {
    std::vector<bool> IsSubReport; // per page of the report
    QByteArray Error;              // empty when every sub-report object names a report page, without cycles
    TkvView* ErrorObject = nullptr;
};

TkvSubReportPages FindSubReportPages(const TkvReport& report);
