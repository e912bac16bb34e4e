// kvmakedemo OUT.kvp: writes the bundled demo report (examples/demo.kvp is the committed copy).
#include "tools/demo_report.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: kvmakedemo OUT.kvp\n", stderr);
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QByteArray error = kvdemo::MakeDemo(QString::fromLocal8Bit(argv[1]));
    if (error.isEmpty()) return 0;
    std::fprintf(stderr, "kvmakedemo: %s\n", error.constData());
    return 1;
}
