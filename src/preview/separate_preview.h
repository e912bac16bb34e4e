#pragma once
// A report without an embedded preview control shows its pages in a preview window of its own.

#include <QString>
#include <functional>

class QWidget;
class TkvReport;

namespace kv {

// Installs the report's separate-preview hook: a preview window captioned "Preview" (and " - "
// and the report's title), shown modally when the report asks for it. The window gives the pages
// back to the report when it closes.
void InstallSeparatePreview();

// Opens the separate preview window for a report (what the hook does). `rebuild`, when given,
// prepares the report again after the page setup changed (the window's RebuildReport).
void ShowSeparatePreview(TkvReport& report, const std::function<bool(TkvReport&)>& rebuild = {});

// Placement of the separate preview window, kept in the user's settings ("Kavora", the
// application's name) in the group "Form/TkvPreviewForm": XPosition, YPosition, Width, Height and
// Maximized. A window opens maximised unless Maximized is false; a missing value keeps the
// window's own; a saved position is used only where it is on some screen.
void RestorePreviewPlacement(QWidget& window);
void SavePreviewPlacement(const QWidget& window);

} // namespace kv
