// kvmakeexamples DIR: writes the example database and templates (examples/ holds the committed
// copies).
#include "tools/example_templates.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: kvmakeexamples DIR\n", stderr);
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QByteArray error = kvdemo::MakeExamples(QString::fromLocal8Bit(argv[1]));
    if (error.isEmpty()) return 0;
    std::fprintf(stderr, "kvmakeexamples: %s\n", error.constData());
    return 1;
}
