#include "app/build_progress_window.h"

#include "base/codepage.h"
#include "core/locale.h"
#include "print/progress_form.h"

#include <QApplication>
#include <QLabel>

namespace {

QString Decoded(const QByteArray& text) { return kv::DecodeText(text, kvcs::Default); }

} // namespace

void TkvBuildProgressWindow::RunBuild(TkvReport& report, const QByteArray& caption,
                                      const std::function<void()>& build) {
    // A build started while another runs in the window (a script that builds) runs without it.
    if (form_ || !qobject_cast<QApplication*>(QCoreApplication::instance())) {
        build();
        return;
    }
    TkvProgressForm& form = kv::ProgressWindow();
    form.setWindowTitle(Decoded(caption));
    form.LabelPrefix = Decoded(kv::LoadLibraryText(55205));
    form.Label1->setText(form.LabelPrefix + QStringLiteral("  1"));
    form.StartWork = [&build](TkvReport&) { build(); };
    form_ = &form;
    struct Done {
        TkvBuildProgressWindow& w;
        ~Done() {
            w.form_->StartWork = nullptr;
            w.form_ = nullptr;
        }
    } done{*this};
    form.Show(report);
}

void TkvBuildProgressWindow::ShowProgress(const QByteArray& text) {
    if (!form_) return;
    form_->Label1->setText(Decoded(text));
    // Repaints the window and lets a Cancel click reach it.
    QCoreApplication::processEvents();
}

void TkvBuildProgressWindow::ShowProgressNote(const QByteArray& text) {
    if (!form_) return;
    form_->Label2->setText(Decoded(text));
    QCoreApplication::processEvents();
}
