// Writes the application icon at the sizes desktops use into <dir>/<n>x<n>/apps/kvviewer.png, for the
// build to install under share/icons/hicolor.
#include "viewer/icons.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kvviewer_icons <folder>\n");
        return 2;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(dir) || !kv::ApplicationIconImage(size).save(dir + "/kvviewer.png")) {
            std::fprintf(stderr, "kvviewer_icons: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
