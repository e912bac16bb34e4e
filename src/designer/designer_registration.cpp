#include "designer/designer_registration.h"

#include "core/library_context.h"
#include "core/report/report.h"
#include "designer/designer_form.h"

TkvDesignerRegistration::TkvDesignerRegistration(TkvLibraryContext& context) : context_(context) {
    context_.DesignerFactory = [this](TkvReport& report, TkvDesignerMode mode) -> std::unique_ptr<TkvReportDesignerHost> {
        return std::make_unique<TkvDesignerForm>(report, mode, shared_);
    };
}

TkvDesignerRegistration::~TkvDesignerRegistration() {
    context_.DesignerFactory = nullptr;
}

TkvDesignerForm* TkvDesignerRegistration::OpenWindow(const QString& templateFile, QWidget* parent) {
    auto report = std::make_unique<TkvReport>();
    auto* form = new TkvDesignerForm(*report, TkvDesignerMode::Template, shared_, parent);
    form->TakeReport(std::move(report));
    form->setAttribute(Qt::WA_DeleteOnClose, true);
    if (!templateFile.isEmpty()) form->OpenFile(templateFile);
    form->show();
    return form;
}
