#pragma once
// The bundled demo report (examples/demo.kvp): a four-page bilingual sales report built from the
// library's own view classes and written by the prepared pages store, so the file is exactly what
// this system writes. Its pictures (a JPEG logo, bitmaps, a metafile chart) are made in code.

#include "cli/prepared_info.h"

#include <QString>

class TkvReport;

namespace kvcli {

// Fills the report's prepared pages store with the demo pages (the library must be started).
void BuildDemoReport(TkvReport& report);

// `kvtool make-demo OUT.kvp` (not listed in the help): writes the demo report.
CommandResult MakeDemo(const QString& out);

} // namespace kvcli
