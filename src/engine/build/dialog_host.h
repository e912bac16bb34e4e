#pragma once
// How a build shows the dialog pages of a report: before any report page is built, each visible
// dialog page with visual controls is shown as a modal form, in page order; a Cancel ends the
// build with no pages. The engine has no widgets: a program with windows implements this
// interface and hands it to the builder (TkvReportBuilder::Dialogs). Without one (kvtool, tests)
// nothing is shown: each dialog page's script runs and its controls keep their defaults.

#include <functional>
#include <vector>

class TkvPage;
class TkvControl;

// A dialog page as the builder hands it to the host.
struct TkvDialogPage {
    TkvPage& Page; // caption, border style, colour, bounds and position of the form
    // The visual controls of the page in page order, each already placed on no form.
    std::vector<TkvControl*> Controls;
    // Runs the page's script as the form opens; returns the modal result it set (MODALRESULT),
    // 0 when none. A result set here closes the form before it is shown.
    std::function<int()> Activate;
};

class TkvDialogHost {
public:
    virtual ~TkvDialogHost() = default;
    // Shows the dialog modally (calling Activate once as it opens) and returns its modal result:
    // mrOk (1), mrCancel (2), ... Closing the form without a button is mrCancel.
    virtual int ShowDialog(TkvDialogPage& dialog) = 0;
};
