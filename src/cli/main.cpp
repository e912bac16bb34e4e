// kvtool: the headless face of the report library.
#include "cli/build_command.h"
#include "cli/convert_command.h"
#include "cli/expression_command.h"
#include "cli/find_command.h"
#include "cli/prepared_info.h"
#include "cli/print_command.h"
#include "cli/render_command.h"
#include "cli/script_command.h"
#include "cli/template_command.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstring>

namespace {

void PrintUsage(FILE* out) {
    std::fprintf(
        out,
        "usage: kvtool COMMAND [ARGS]\n"
        "       kvtool info FILE.kvp [--json]\n"
        "%s"
        "%s"
        "       kvtool render FILE.kvp [--page N] [--zoom Z] -o OUT.png|OUT.pdf\n"
        "       kvtool print FILE.kvp [--printer NAME] [--pages LIST] [--copies N]\n"
        "                    [--collate|--no-collate] [--parity all|odd|even] [--title TEXT]\n"
        "       kvtool printers\n"
        "       kvtool find FILE.kvp TEXT [--case]\n"
        "       kvtool template info FILE.kvf [--json]\n"
        "       kvtool data list [TEMPLATE.kvf] [--db sqlite:PATH|postgresql://HOST/DB]\n"
        "                        [--data NAME=SQL|NAME=csv:PATH]... [--rows N]\n"
        "       kvtool eval [--json] [--var NAME=VALUE]... [--] EXPRESSION\n"
        "       kvtool format [--] FORMAT VALUE\n"
        "       kvtool script FILE|-e TEXT [--compile] [--var NAME=VALUE]... [--max-steps N]\n"
        "       kvtool --help | --version\n",
        kvcli::ConvertUsage().constData(), kvcli::BuildUsage().constData());
}

// Errors reach stderr as one line of our own; Qt's diagnostics about the environment (runtime
// directories, fonts) would add lines to it, so they are shown only with KVTOOL_VERBOSE set.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg || qEnvironmentVariableIsSet("KVTOOL_VERBOSE"))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

int Finish(const kvcli::CommandResult& r) {
    std::fwrite(r.Out.constData(), 1, static_cast<size_t>(r.Out.size()), stdout);
    std::fflush(stdout);
    if (!r.Error.isEmpty()) std::fprintf(stderr, "kvtool: %s\n", r.Error.constData());
    return r.ExitCode;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        PrintUsage(stdout);
        return 0;
    }
    if (!std::strcmp(argv[1], "--version")) {
        std::printf("kvtool %s\n", KV_VERSION);
        return 0;
    }
    // The expression and script commands need no application object, and must not let one take
    // arguments such as "-reverse" that are expressions here.
    if (!std::strcmp(argv[1], "eval") || !std::strcmp(argv[1], "format") || !std::strcmp(argv[1], "script")) {
        QStringList args;
        for (int i = 2; i < argc; ++i) args.append(QString::fromLocal8Bit(argv[i]));
        if (!std::strcmp(argv[1], "script")) return Finish(kvcli::ScriptFromArguments(args));
        return Finish(!std::strcmp(argv[1], "eval") ? kvcli::EvalFromArguments(args) : kvcli::FormatFromArguments(args));
    }
    // The search text is the user's, even where it looks like an option of the application object.
    QStringList rawArguments;
    for (int i = 2; i < argc; ++i) rawArguments.append(QString::fromLocal8Bit(argv[i]));
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    QGuiApplication app(argc, argv);
    const QString command = QString::fromLocal8Bit(argv[1]);
    if (command == "info" && (argc == 3 || (argc == 4 && !std::strcmp(argv[3], "--json"))))
        return Finish(kvcli::Info(QString::fromLocal8Bit(argv[2]), argc == 4));
    if (command == "template" && argc >= 4 && !std::strcmp(argv[2], "info") &&
        (argc == 4 || (argc == 5 && !std::strcmp(argv[4], "--json"))))
        return Finish(kvcli::TemplateInfo(QString::fromLocal8Bit(argv[3]), argc == 5));
    if (command == "data" && argc >= 3 && !std::strcmp(argv[2], "list"))
        return Finish(kvcli::DataList(app.arguments().mid(3)));
    if (command == "convert" && argc >= 4) return Finish(kvcli::ConvertFromArguments(app.arguments().mid(2)));
    if (command == "build") return Finish(kvcli::BuildFromArguments(app.arguments().mid(2)));
    if (command == "render") return Finish(kvcli::RenderFromArguments(app.arguments().mid(2)));
    if (command == "print") return Finish(kvcli::PrintFromArguments(app.arguments().mid(2)));
    if (command == "printers" && argc == 2) return Finish(kvcli::ListPrinters());
    if (command == "find") return Finish(kvcli::FindFromArguments(rawArguments, stdout));
    if (command == "info" || command == "convert" || command == "template" || command == "data") {
        PrintUsage(stderr);
        return 2;
    }
    std::fprintf(stderr, "kvtool: unknown command '%s'\n", argv[1]);
    return 2;
}
