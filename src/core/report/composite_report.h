#pragma once
// A report that chains other reports into one document: its prepared pages store receives the
// pages of every report of `Reports`, in order, with page numbers running on from one report to
// the next. Its own design pages are not built. With a `Dataset` the whole chain is built once per
// record of it.
//
// A report of the chain whose first page continues on the previous page (PrintToPrevPage) starts
// on the last page of the report before it, as long as both use the same paper and orientation.

#include "core/report/report.h"

#include <vector>

class TkvCompositeReport : public TkvReport {
public:
    const char* ClassName() const override { return "TkvCompositeReport"; }

    // Borrowed: the reports must outlive every build of the composite. A null entry is skipped;
    // a report listed twice is built twice.
    std::vector<TkvReport*> Reports;
};
