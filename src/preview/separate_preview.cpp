#include "preview/separate_preview.h"

#include "base/codepage.h"
#include "core/library_context.h"

#include "core/locale.h"
#include "core/report/report.h"
#include "preview/preview_form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

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
        kv::SavePreviewPlacement(*this);
        ReturnPages();
        TkvPreviewForm::closeEvent(e);
    }
    void showEvent(QShowEvent* e) override {
        TkvPreviewForm::showEvent(e);
        Relayout();
    }
};

const QString Group = QStringLiteral("Form/TkvPreviewForm");

} // namespace

namespace kv {

void RestorePreviewPlacement(QWidget& window) {
    QSettings settings(QSettings::UserScope, QStringLiteral("Kavora"), QCoreApplication::applicationName());
    settings.beginGroup(Group);
    auto number = [&](const char* key, int fallback) {
        bool ok = false;
        const int v = settings.value(QLatin1String(key)).toInt(&ok);
        return ok ? v : fallback;
    };
    QRect r(number("XPosition", window.x()), number("YPosition", window.y()), number("Width", window.width()),
            number("Height", window.height()));
    // Sizes from the settings file are the user's to edit: keep them sane and on a screen.
    r.setWidth(std::clamp(r.width(), 200, 20000));
    r.setHeight(std::clamp(r.height(), 150, 20000));
    if (!QGuiApplication::screenAt(r.center())) r.moveTopLeft(window.pos());
    window.setGeometry(r);
    if (settings.value("Maximized", true).toBool())
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    else
        window.setWindowState(window.windowState() & ~Qt::WindowMaximized);
}

void SavePreviewPlacement(const QWidget& window) {
    QSettings settings(QSettings::UserScope, QStringLiteral("Kavora"), QCoreApplication::applicationName());
    settings.beginGroup(Group);
    const QRect r = window.isMaximized() ? window.normalGeometry() : window.geometry();
    settings.setValue("XPosition", r.x());
    settings.setValue("YPosition", r.y());
    settings.setValue("Width", r.width());
    settings.setValue("Height", r.height());
    settings.setValue("Maximized", window.isMaximized());
}

void ShowSeparatePreview(TkvReport& report, const std::function<bool(TkvReport&)>& rebuild) {
    auto* window = new SeparatePreviewWindow;
    window->RebuildReport = rebuild;
    // Report texts are in the report's character set, as printing decodes them.
    QString caption = DecodeText(LoadLibraryText(55207), kvcs::Default);
    if (!report.Title.isEmpty()) caption += " - " + DecodeText(report.Title, kvcs::Default);
    window->setWindowTitle(caption);
    window->TakePages(&report);
    window->ApplyToolbarSettings(report);
    window->ResetView(true);
    RestorePreviewPlacement(*window);
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
    kv::Library().SeparatePreview = [](TkvReport& report) { ShowSeparatePreview(report); };
}

} // namespace kv
