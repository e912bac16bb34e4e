#include "core/views/band_control_views.h"

#include "core/views/band_view.h"
#include "core/views/rich_view.h"
#include "core/views/view_factory.h"

namespace kv {

void RegisterBandAndControlViews() {
    RegisterViewType(kvvt::Band, [] { return std::make_unique<TkvBandView>(); });
    // Hint: text 55223, "Insert RichText object".
    RegisterAddInObject(
        "TkvRichView", [] { return std::make_unique<TkvRichView>(); }, QImage(), "55223");
}

} // namespace kv
