#include "app/designer_preview.h"

#include "app/report_preparation.h"
#include "core/library_context.h"
#include "core/report/report.h"

namespace kv {

void InstallDesignerPreview() {
    // PrepareReport builds inside the progress window and shows a failed build's error.
    Library().DesignerPreview = [](TkvReport& report) { return ShowReport(report); };
}

} // namespace kv
