#pragma once
// The dialog pages of a report as modal Qt dialogs: the form takes the page's caption, border
// style, colour, size and position; each visual control is placed on it at its position (a control
// whose class supplies no widget is shown as a named frame), and a row of OK and Cancel buttons
// below the page's area lets the user always answer, whatever controls the page has. Without a
// widget application the page script runs and the defaults are taken (OK).

#include "engine/build/dialog_host.h"

class QWidget;

class TkvDialogPageWindow : public TkvDialogHost {
public:
    // `parent` (borrowed, may be null) owns the forms while they are shown; a progress window
    // that is up takes precedence, so the form stays above it.
    explicit TkvDialogPageWindow(QWidget* parent = nullptr) : parent_(parent) {}

    int ShowDialog(TkvDialogPage& dialog) override;

private:
    QWidget* parent_;
};
