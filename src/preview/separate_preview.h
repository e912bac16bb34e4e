#pragma once
// A report without an embedded preview control shows its pages in a preview window of its own.

class TkvReport;

namespace kv {

// Installs the report's separate-preview hook: a preview window captioned "Preview" (and " - "
// and the report's title), shown modally when the report asks for it. The window gives the pages
// back to the report when it closes.
void InstallSeparatePreview();

// Opens the separate preview window for a report (what the hook does).
void ShowSeparatePreview(TkvReport& report);

} // namespace kv
