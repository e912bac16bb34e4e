// kvviewer: the desktop viewer for prepared reports.
#include "core/startup.h"
#include "preview/desktop_services.h"
#include "preview/separate_preview.h"
#include "app/build_progress_window.h"
#include "app/dialog_page_window.h"
#include "app/print_commands.h"
#include "viewer/built_templates.h"
#include "viewer/icons.h"
#include "viewer/main_window.h"
#include "viewer/single_instance.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <QStringList>
#include <cstdio>
#include <functional>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("KV Viewer");
    QApplication::setOrganizationName("Kavora");
    QApplication::setDesktopFileName("kvviewer");
    QApplication::setWindowIcon(kv::ApplicationIcon());

    // Every argument is a report to open (a file manager passes several at once), or a template
    // (.kvf) to build first over the data sets and variables of --db, --data and --var.
    QStringList files;
    TkvTemplateBuildOptions buildOptions;
    bool templates = false;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        QByteArray error;
        if (buildOptions.TakeOption(args, i, error)) continue;
        if (!error.isEmpty()) {
            std::fprintf(stderr, "kvviewer: %s\n", error.constData());
            return 2;
        }
        if (args[i].trimmed().isEmpty()) continue;
        files << QFileInfo(args[i]).absoluteFilePath();
        templates = templates || TkvBuiltTemplates::IsTemplate(args[i]);
    }
    const QString file = files.value(0);

    // A running copy takes the file (or just comes to the front) and this copy ends. The copy that
    // stays listens before its window exists; what is handed over meanwhile waits in the queue.
    // Templates are built and shown by this copy: their data options belong to this command line.
    TkvSingleInstance instance;
    std::function<void(const QString&)> open;
    if (!templates && instance.HandOverOrListen(file, [&open](const QString& name) {
            if (open) open(name);
        })) {
        for (qsizetype i = 1; i < files.size(); ++i) TkvSingleInstance::HandOver(files[i]);
        return 0;
    }

    // Captions in the user's language: Russian (the captions as designed) for a Russian locale,
    // English otherwise; KV_LANG chooses another.
    QTranslator viewerTexts, qtTexts;
    {
        QString lang = qEnvironmentVariable("KV_LANG");
        if (lang.isEmpty()) lang = QLocale::system().name();
        lang = lang.startsWith("ru", Qt::CaseInsensitive) ? "ru" : "en";
        const QString dir = QCoreApplication::applicationDirPath();
        for (const QString& where : {dir + "/translations", dir + "/../share/kvviewer/translations"})
            if (viewerTexts.load("kvviewer_" + lang, where)) break;
        if (!viewerTexts.isEmpty()) QCoreApplication::installTranslator(&viewerTexts);
        if (qtTexts.load("qtbase_" + lang, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&qtTexts);
    }

    kv::StartUp();
    kv::InstallDesktopServices();
    kv::InstallSeparatePreview();
    kv::InstallPrintCommands();
    int rc = 0;
    {
        TkvBuiltTemplates built;
        // Templates are built inside the progress window, whose Cancel stops the build.
        TkvBuildProgressWindow progress;
        TkvDialogPageWindow dialogs;
        buildOptions.Host = &progress;
        buildOptions.Dialogs = &dialogs;
        TfrmMain window;
        open = [&window](const QString& name) {
            window.OpenPendingFile(name);
            window.Activate();
        };
        window.show();
        for (const QString& name : files) {
            if (!TkvBuiltTemplates::IsTemplate(name)) {
                window.OpenPendingFile(name);
                continue;
            }
            QByteArray error;
            const QString prepared = built.Build(name, buildOptions, error);
            if (!prepared.isEmpty()) window.OpenPendingFile(prepared);
            else QMessageBox::critical(&window, QApplication::applicationName(), QString::fromUtf8(error));
        }
        rc = app.exec();
        open = nullptr;
    }
    kv::ShutDown();
    return rc;
}
