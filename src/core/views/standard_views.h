#pragma once
// Installs the classes of the built-in view type bytes in the view factory.

namespace kv {

// Registers type 0 TkvMemoView, 1 TkvPictureView, 3 TkvSubReportView and 4 TkvLineView (type 2,
// the band view, comes with RegisterBandAndControlViews). Start-up calls it; calling it again
// changes nothing.
void RegisterStandardViews();

} // namespace kv
