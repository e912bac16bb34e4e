#include "core/standard_views.h"

#include "core/line_view.h"
#include "core/memo_view.h"
#include "core/picture_view.h"
#include "core/subreport_view.h"
#include "core/view_factory.h"

namespace kv {

void RegisterStandardViews() {
    RegisterViewType(kvvt::Text, [] { return std::make_unique<TkvMemoView>(); });
    RegisterViewType(kvvt::Picture, [] { return std::make_unique<TkvPictureView>(); });
    // Type 2, TkvBandView, is registered with the dialog controls (RegisterBandAndControlViews).
    RegisterViewType(kvvt::SubReport, [] { return std::make_unique<TkvSubReportView>(); });
    RegisterViewType(kvvt::Line, [] { return std::make_unique<TkvLineView>(); });
}

} // namespace kv
