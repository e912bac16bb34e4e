#pragma once
// Builds run from a window show the progress window of printing while they run: its caption
// names the report ("Preparing report - Title"), its line the pass and page ("Performing 1st
// pass:  2", "Processing page:  3 from 10"), and its Cancel button stops the build after the page
// in progress. Without a widget application (kvtool, tests without widgets) the build just runs.

#include "engine/build/build_host.h"

class TkvProgressForm;

class TkvBuildProgressWindow : public TkvBuildHost {
public:
    void RunBuild(TkvReport& report, const QByteArray& caption, const std::function<void()>& build) override;
    void ShowProgress(const QByteArray& text) override;
    void ShowProgressNote(const QByteArray& text) override;

    // The window while a build runs in it, else null.
    TkvProgressForm* Form() const { return form_; }

private:
    TkvProgressForm* form_ = nullptr;
};
