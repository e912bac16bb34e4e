#pragma once
// Installs the classes of the built-in view type bytes in the view factory.

namespace kv {

// Registers type 0 TkvMemoView, 1 TkvPictureView, 2 TkvBandView, 3 TkvSubReportView and
// 4 TkvLineView. Start-up calls it once; calling it again changes nothing.
void RegisterStandardViews();

} // namespace kv
