// kvmakeexamples DIR: writes the example database and templates (examples/ holds the committed
// copies). DIR is made when it does not exist.
#include "tools/example_templates.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

namespace {

const char* kUsage =
    "usage: kvmakeexamples DIR\n"
    "Writes the example database (shop.sqlite) and templates (*.kvf) into DIR, made when missing.\n";

int Fail(QByteArray message) {
    // One line, however many the message brought.
    message.replace('\r', ' ').replace('\n', ' ');
    std::fprintf(stderr, "kvmakeexamples: %s\n", message.trimmed().constData());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-' || argv[1][0] == '\0') {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(dir)) return Fail(dir.toLocal8Bit() + ": the folder cannot be made");
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QByteArray error = kvdemo::MakeExamples(dir);
    return error.isEmpty() ? 0 : Fail(error);
}
