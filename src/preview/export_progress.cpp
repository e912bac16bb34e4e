#include "preview/export_progress.h"

#include "base/codepage.h"
#include "core/locale.h"
#include "core/report/report.h"
#include "print/print_job.h"
#include "print/progress_form.h"

#include <QApplication>
#include <QLabel>

void TkvExportProgressWindow::Run(TkvReport& report, const std::function<void()>& work) {
    if (!report.ShowProgress || !qobject_cast<QApplication*>(QCoreApplication::instance())) {
        work();
        return;
    }
    TkvProgressForm& progress = kv::ProgressWindow();
    QString caption = QString::fromLatin1(kv::LoadLibraryText(55203));
    if (!report.Title.isEmpty()) caption += QStringLiteral(" - ") + kv::DecodeText(report.Title, 1);
    progress.setWindowTitle(caption);
    progress.LabelPrefix = QString::fromLatin1(kv::LoadLibraryText(55205));
    progress.Label1->setText(progress.LabelPrefix + QStringLiteral("  1"));
    progress.StartWork = [&](TkvReport&) { work(); };
    progress.Show(report);
    progress.StartWork = nullptr;
}

void TkvExportProgressWindow::PageDone(TkvReport& report, int pageNo, int pageCount) {
    kv::ProgressShowsTotal = true;
    kv::ProgressTotal = pageCount;
    kv::ShowProgressNumber(report, pageNo);
    kv::ProgressShowsTotal = false;
}
