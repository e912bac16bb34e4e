#pragma once
// The bundled demo report (examples/demo.kvp): a four-page bilingual sales report built from the
// library's own view classes and written by the prepared pages store, so the file is exactly what
// this system writes. Its pictures (a JPEG logo, bitmaps, a metafile chart) are made in code.

#include <QByteArray>
#include <QString>

class TkvReport;

namespace kvdemo {

// Fills the report's prepared pages store with the demo pages (the library must be started).
void BuildDemoReport(TkvReport& report);

// Writes the demo report to OUT (starting the library first). Returns an empty text on success,
// otherwise one line saying what failed.
QByteArray MakeDemo(const QString& out);

} // namespace kvdemo
