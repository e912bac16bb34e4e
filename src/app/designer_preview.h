#pragma once
// The designer's Preview command builds the report being edited in the progress window and shows
// its pages in a preview window; a failed build shows its error (naming the object) in a message box.

namespace kv {

// Installs the service in the active library context.
void InstallDesignerPreview();

} // namespace kv
