#pragma once
// What the report needs of an embedded preview control. The preview library implements it; core
// never sees widgets.

class TkvReport;

class TkvPreviewHost {
public:
    virtual ~TkvPreviewHost() = default;
    // Takes the report's prepared pages and shows them from the first page.
    virtual void AttachReport(TkvReport* report) = 0;
    // Gives the pages back to the report.
    virtual void DetachReport() = 0;
};
