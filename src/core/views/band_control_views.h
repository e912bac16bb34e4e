#pragma once
// Start-up registration of the band view (type 2) and the library's add-in views (the rich text
// object). Call once before any report is read; registering again changes nothing.

namespace kv {
void RegisterBandAndControlViews();
} // namespace kv
