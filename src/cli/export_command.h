#pragma once
// `kvtool convert IN.kvp OUT.txt|OUT.rtf|OUT.xlsx [options]`: the export filters without a display.

#include "cli/prepared_info.h"

#include <QStringList>

namespace kvcli {

// Whether the target's extension is one the export filters write (.txt, .rtf, .xlsx).
bool IsExportTarget(const QString& out);

// Parses the arguments after "convert" (IN OUT and the options) and runs the export; usage errors
// give exit code 2, a file that cannot be read or written 1. Nothing is written on failure.
CommandResult ExportFromArguments(const QStringList& args);

} // namespace kvcli
