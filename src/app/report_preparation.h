#pragma once
// The report-level entry points for programs with windows: PrepareReport builds the report's
// pages into its store (BuildDocument) inside the progress window, showing a failed build's error
// in a message box; ShowReport prepares the report and shows its pages in a preview window.
// Without a widget application both build without windows and show nothing.

#include "engine/build/report_builder.h"

#include <functional>

class TkvReport;

namespace kv {

// Builds `report`. True when pages were built to the end; false after an error (the store is
// then empty), a Cancel in the progress window or STOPREPORT (the pages so far stay, unless the
// first of two passes was stopped). `setup`, when given, adjusts the builder first (variables, a
// page limit). `result`, when given, receives the build's result.
bool PrepareReport(TkvReport& report, const std::function<void(TkvReportBuilder&)>& setup = {},
                   TkvBuildResult* result = nullptr);

// PrepareReport, then the pages in a preview (the report's embedded one, or a preview window that
// prepares the report again, with the same `setup`, when its page setup changes). Returns
// PrepareReport's answer; a build that was stopped still shows the pages it made.
bool ShowReport(TkvReport& report, const std::function<void(TkvReportBuilder&)>& setup = {});

} // namespace kv
