#include "app/report_preparation.h"

#include "app/build_progress_window.h"
#include "app/dialog_page_window.h"
#include "base/codepage.h"
#include "core/globals.h"
#include "core/locale.h"
#include "core/report/report.h"
#include "preview/separate_preview.h"

#include <QApplication>
#include <QMessageBox>

namespace kv {

namespace {

bool HasWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

} // namespace

bool PrepareReport(TkvReport& report, const std::function<void(TkvReportBuilder&)>& setup,
                   TkvBuildResult* result) {
    TkvBuildProgressWindow window;
    TkvDialogPageWindow dialogs(HasWidgets() ? QApplication::activeWindow() : nullptr);
    TkvReportBuilder builder(report);
    if (HasWidgets()) {
        builder.Host = &window;
        builder.Dialogs = &dialogs;
    }
    if (setup) setup(builder);
    const TkvBuildResult built = builder.BuildDocument();
    if (result) *result = built;
    if (!built.ErrorText.isEmpty() && HasWidgets()) {
        QString text = DecodeText(built.ErrorText, kvcs::Default);
        text.replace(u'\r', u'\n');
        QMessageBox box(QMessageBox::Critical, DecodeText(LoadLibraryText(55206), kvcs::Default), text,
                        QMessageBox::Ok, QApplication::activeWindow());
        box.setObjectName("kvBuildErrorBox");
        box.exec();
    }
    return built.Ok;
}

bool ShowReport(TkvReport& report, const std::function<void(TkvReportBuilder&)>& setup) {
    TkvBuildResult built;
    const bool ok = PrepareReport(report, setup, &built);
    if (!built.ErrorText.isEmpty() || !HasWidgets()) return ok;
    if (report.Preview || report.EMFPages.Count() == 0) {
        report.ShowPreparedPages();
        return ok;
    }
    // A preview window of its own, which prepares the report again when its page setup changes.
    CurReport() = MasterReport() = &report;
    DocumentMode() = 1;
    CurBand() = nullptr;
    ShowSeparatePreview(report, [setup](TkvReport& r) { return PrepareReport(r, setup); });
    return ok;
}

} // namespace kv
