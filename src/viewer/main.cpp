// kvviewer: the desktop viewer for prepared reports.
#include "core/startup.h"
#include "preview/desktop_services.h"
#include "preview/separate_preview.h"
#include "app/print_commands.h"
#include "viewer/main_window.h"
#include "viewer/single_instance.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("KV Viewer");
    QApplication::setOrganizationName("Kavora");

    QString file = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (!file.trimmed().isEmpty()) file = QFileInfo(file).absoluteFilePath();

    // A running copy takes the file (or just comes to the front) and this copy ends.
    if (TkvSingleInstance::HandOver(file)) return 0;

    kv::StartUp();
    kv::InstallDesktopServices();
    kv::InstallSeparatePreview();
    kv::InstallPrintCommands();
    int rc = 0;
    {
        TfrmMain window;
        TkvSingleInstance instance;
        instance.Listen([&window](const QString& name) {
            window.OpenPendingFile(name);
            window.Activate();
        });
        window.show();
        window.OpenPendingFile(file);
        rc = app.exec();
    }
    kv::ShutDown();
    return rc;
}
