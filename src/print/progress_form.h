#pragma once
// The progress window of printing and exporting: a small fixed dialog with a progress text, a second
// label and a Cancel button. One instance serves the process. Show runs the work inside the modal
// window: the work pumps the message queue, so the window repaints and Cancel is noticed; Cancel
// sets the report's CancelRequested and the work stops after its current page.

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class TkvReport;

class TkvProgressForm : public QDialog {
public:
    explicit TkvProgressForm(QWidget* parent = nullptr);

    // Runs StartWork with the report once the window is up and closes the window when it returns.
    // Returns QDialog::Accepted, or QDialog::Rejected when the user cancelled.
    int Show(TkvReport& report);

    TkvReport* Report = nullptr;
    QString LabelPrefix;
    std::function<void(TkvReport&)> StartWork;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Button1 = nullptr;

protected:
    bool event(QEvent* e) override;
    void reject() override;
    void closeEvent(QCloseEvent* e) override;

private:
    void Cancel();
    bool working_ = false;
};

namespace kv {

// The process's progress window, created on first use (needs a QApplication).
TkvProgressForm& ProgressWindow();
// The window when it was created, else null (headless programs never create it).
TkvProgressForm* ExistingProgressWindow();

// Set while an export or the final pass of a two-pass build shows "n from total".
extern bool ProgressShowsTotal;
extern int ProgressTotal;
constexpr int FromTextId = 55199;

} // namespace kv
