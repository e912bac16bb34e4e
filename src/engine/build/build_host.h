#pragma once
// What a build asks of the program that runs it besides data: a progress window with a Cancel
// button. The engine has no widgets; the program's window layer implements this interface and
// hands it to the builder (TkvReportBuilder::Host). Builds without a host (kvtool, tests) show
// nothing.

#include <QByteArray>
#include <functional>

class TkvReport;

class TkvBuildHost {
public:
    virtual ~TkvBuildHost() = default;
    // Runs `build` (the whole preparation, both passes) inside the progress window captioned
    // `caption` and returns when it is done. The window's Cancel sets report.CancelRequested; the
    // build notices it at its next page and ends. `build` does not throw.
    virtual void RunBuild(TkvReport& report, const QByteArray& caption, const std::function<void()>& build) = 0;
    // The progress line while the build runs ("Processing page:  3 from 10"), in the library's
    // code page. Called at the start of each pass and with every new page; it lets the window's
    // pending events run, so that a Cancel pressed meanwhile is seen.
    virtual void ShowProgress(const QByteArray& text) = 0;
    // What a script assigned to PROGRESS, shown below the progress line. The default ignores it.
    virtual void ShowProgressNote(const QByteArray& text) { (void)text; }
};
