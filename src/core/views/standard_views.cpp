#include "core/views/standard_views.h"

#include "core/views/line_view.h"
#include "core/views/memo_view.h"
#include "core/views/picture_view.h"
#include "core/views/subreport_view.h"
#include "core/views/view_factory.h"

namespace kv {

void RegisterStandardViews() {
    RegisterViewType(kvvt::Text, [] { return std::make_unique<TkvMemoView>(); });
    RegisterViewType(kvvt::Picture, [] { return std::make_unique<TkvPictureView>(); });
    // Type 2, TkvBandView, is registered with the dialog controls (RegisterBandAndControlViews).
    RegisterViewType(kvvt::SubReport, [] { return std::make_unique<TkvSubReportView>(); });
    RegisterViewType(kvvt::Line, [] { return std::make_unique<TkvLineView>(); });
}

} // namespace kv
