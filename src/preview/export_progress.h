#pragma once
// Exports run inside the progress window of printing: "Processing page:  n from N", Cancel stops
// the export after its page (and nothing is written).

#include "export/export_run.h"

class TkvExportProgressWindow : public TkvExportProgress {
public:
    void Run(TkvReport& report, const std::function<void()>& work) override;
    void PageDone(TkvReport& report, int pageNo, int pageCount) override;
};
