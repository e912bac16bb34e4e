#pragma once
// Installs the options dialog that fits a filter object as its OptionsDialog: the text export's,
// the line RTF export's, or the table one of the table RTF export and the workbook. The dialog edits
// that filter object only, so every window's filters keep their own options.

class QWidget;
class TkvExportFilter;

namespace kvexportui {

// parent: the window the dialog is modal to (may go away before the filter; then none).
void InstallOptionsDialog(TkvExportFilter& filter, QWidget* parent);

} // namespace kvexportui
