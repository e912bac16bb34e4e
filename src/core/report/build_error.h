#pragma once
// The error path of a report build: when an expression or script raises while pages are built,
// the failure is described in ErrorText (shown once, with the caption "Error", when the build
// ends) and the outermost report is told to stop.

#include <QByteArray>

namespace kv {

// Sets ErrorFlag; ErrorText becomes "An error occured during calculating", then, when CurView
// exists, each of its memo lines after a carriage return; then CR CR "Report: " + CurReport's name,
// CR, "Object: " + CurView's name (only with a view), CR CR and the exception message. Sets the
// terminate flag of MasterReport.
void SetBuildError(const QByteArray& exceptionMessage);

} // namespace kv
