#include "preview/separate_preview.h"

#include "base/codepage.h"

#include "core/locale.h"
#include "core/report/report.h"
#include "preview/preview_form.h"

#include <QCloseEvent>
#include <QEventLoop>

namespace {

// The preview window as a top-level window that hands the pages back when it closes.
class SeparatePreviewWindow : public TkvPreviewForm {
public:
    SeparatePreviewWindow() {
        setAttribute(Qt::WA_DeleteOnClose);
        resize(900, 700);
    }

protected:
    void closeEvent(QCloseEvent* e) override {
        ReturnPages();
        TkvPreviewForm::closeEvent(e);
    }
    void showEvent(QShowEvent* e) override {
        TkvPreviewForm::showEvent(e);
        Relayout();
    }
};

} // namespace

namespace kv {

void ShowSeparatePreview(TkvReport& report) {
    auto* window = new SeparatePreviewWindow;
    // Report texts are in the report's character set, as printing decodes them.
    QString caption = DecodeText(LoadLibraryText(55207), kvcs::Default);
    if (!report.Title.isEmpty()) caption += " - " + DecodeText(report.Title, kvcs::Default);
    window->setWindowTitle(caption);
    window->TakePages(&report);
    window->ResetView(true);
    if (report.ModalPreview) {
        window->setWindowModality(Qt::ApplicationModal);
        QEventLoop loop;
        QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
        window->show();
        loop.exec();
    } else {
        window->show();
    }
}

void InstallSeparatePreview() {
    TkvReport::SeparatePreviewHook = [](TkvReport& report) { ShowSeparatePreview(report); };
}

} // namespace kv
