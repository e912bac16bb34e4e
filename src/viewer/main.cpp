// kvviewer: the desktop viewer for prepared reports.
#include "core/library_context.h"
#include "core/startup.h"
#include "preview/desktop_services.h"
#include "preview/separate_preview.h"
#include "app/designer_preview.h"
#include "app/print_commands.h"
#include "designer/designer_form.h"
#include "designer/designer_registration.h"
#include "viewer/built_templates.h"
#include "viewer/icons.h"
#include "viewer/language.h"
#include "viewer/main_window.h"
#include "viewer/single_instance.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <functional>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("KV Viewer");
    QApplication::setOrganizationName("Kavora");
    QApplication::setDesktopFileName("kvviewer");
    QApplication::setWindowIcon(kv::ApplicationIcon());

    // Every argument is a report to open (a file manager passes several at once), or a template
    // (.kvf) to build first over the data sets and variables of --db, --data and --var. With
    // --design the designer opens instead, on the template given or on an empty report.
    QStringList files, templates, options;
    bool design = false;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        TkvTemplateBuildOptions check;
        QByteArray error;
        if (args[i] == "--design") {
            design = true;
            continue;
        }
        const int at = i;
        if (check.TakeOption(args, i, error)) {
            options << args.mid(at, i - at + 1);
            continue;
        }
        if (!error.isEmpty()) {
            std::fprintf(stderr, "kvviewer: %s\n", error.constData());
            return 2;
        }
        if (args[i].trimmed().isEmpty()) continue;
        if (kv::IsTemplateFile(args[i])) templates << args[i];
        else files << QFileInfo(args[i]).absoluteFilePath();
    }
    // What is opened, in one line each: report files by their full names, templates as requests
    // that carry the options of this command line.
    const QString designed = templates.isEmpty() ? QString() : QFileInfo(templates.front()).absoluteFilePath();
    for (const QString& t : templates)
        files << TkvTemplateRequest::FromCommandLine(t, options, QDir::currentPath()).Encode();
    const QString file = files.value(0);

    // A running copy takes the files (or just comes to the front) and this copy ends. The copy that
    // stays listens before its window exists; what is handed over meanwhile waits in the queue.
    TkvSingleInstance instance;
    std::function<void(const QString&)> open;
    if (!design && instance.HandOverOrListen(file, [&open](const QString& name) {
            if (open) open(name);
        })) {
        for (qsizetype i = 1; i < files.size(); ++i) TkvSingleInstance::HandOver(files[i]);
        return 0;
    }

    // One language at a time: the viewer's captions, the library's texts and Qt's own dialogs.
    TkvViewerLanguage language;
    language.Install(TkvViewerLanguage::Choose(qEnvironmentVariable("KV_LANG"), QLocale::system().name()));

    kv::StartUp();
    kv::InstallDesktopServices();
    kv::InstallSeparatePreview();
    kv::InstallPrintCommands();
    kv::InstallDesignerPreview();
    int rc = 0;
    if (design) {
        if (!designed.isEmpty() && !QFileInfo::exists(designed)) {
            std::fprintf(stderr, "kvviewer: %s: no such file\n", qPrintable(designed));
            kv::ShutDown();
            return 2;
        }
        TkvDesignerRegistration designer(kv::Library());
        QPointer<TkvDesignerForm> form = designer.OpenWindow(designed);
        rc = app.exec();
        delete form.data();
        kv::ShutDown();
        return rc;
    }
    {
        TkvDesignerRegistration designer(kv::Library());
        TfrmMain window;
        window.SetDesignerOpener([&designer](const QString& templateFile) -> QMainWindow* {
            return designer.OpenWindow(templateFile);
        });
        open = [&window](const QString& name) {
            // A template may take a while to build: the start that handed it over is answered
            // first and ends, the build runs afterwards.
            if (TkvTemplateRequest::IsRequest(name)) {
                QTimer::singleShot(0, &window, [&window, name] {
                    window.OpenPendingFile(name);
                    window.Activate();
                });
                return;
            }
            window.OpenPendingFile(name);
            window.Activate();
        };
        window.show();
        for (const QString& name : files) window.OpenPendingFile(name);
        rc = app.exec();
        open = nullptr;
    }
    kv::ShutDown();
    return rc;
}
