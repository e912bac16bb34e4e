#pragma once
// TkvReportDesigner: the designer window as the library knows it. The report component and the
// edit cycle make one through the library context's DesignerFactory (TkvDesignerRegistration
// installs it), in template mode or prepared-page mode, and see it only as a
// TkvReportDesignerHost. TkvDesignerForm is the one class.

#include "core/report/report_designer_host.h"

#include <QMainWindow>

class TkvReport;
class QEventLoop;

class TkvReportDesigner : public QMainWindow, public TkvReportDesignerHost {
public:
    TkvReportDesigner(TkvReport& report, TkvDesignerMode mode, QWidget* parent = nullptr)
        : QMainWindow(parent), report_(report), mode_(mode) {}

    TkvDesignerMode Mode() const { return mode_; }
    bool TemplateMode() const { return mode_ == TkvDesignerMode::Template; }
    TkvReport& Report() const { return report_; }

    // Records a modify step of the selection before a change made from outside the surface.
    virtual void BeforeChange() = 0;
    // After such a change: redraw, status bar, notifications.
    virtual void AfterChange() = 0;

    // Shows the window application-modal and returns when it closes.
    void ShowModal() override;

protected:
    // Ends ShowModal's wait; the window's close calls it once the close is accepted.
    void EndModal();

    TkvReport& report_;
    TkvDesignerMode mode_;

private:
    QEventLoop* modalLoop_ = nullptr;
};
