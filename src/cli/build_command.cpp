#include "cli/build_command.h"

#include "cli/convert_command.h"
#include "app/template_build.h"
#include "cli/render_command.h"
#include "core/report/report.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <unistd.h>

namespace kvcli {

namespace {

constexpr const char* kTargets[] = {"kvp", "pdf", "txt", "rtf", "xlsx", "png"};

CommandResult Failure(int code, const QByteArray& message) {
    CommandResult r;
    r.ExitCode = code;
    r.Error = message;
    return r;
}

} // namespace

QByteArray BuildUsage() {
    return "       kvtool build TEMPLATE.kvf -o OUT.kvp|OUT.pdf|OUT.txt|OUT.rtf|OUT.xlsx|OUT.png\n"
           "                    [--db sqlite:PATH|postgresql://HOST/DB] [--data NAME=SQL|NAME=csv:PATH]...\n"
           "                    [--var NAME=VALUE]... [--page N] [--max-pages N]\n";
}

CommandResult BuildFromArguments(const QStringList& args) {
    QString in, out;
    TkvTemplateBuildOptions options;
    int page = 1;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        QByteArray error;
        if (options.TakeOption(args, i, error)) continue;
        if (!error.isEmpty()) return Failure(2, error);
        if ((a == "-o" || a == "--output") && hasValue) {
            out = args[++i];
        } else if ((a == "--page" || a == "--max-pages") && hasValue) {
            bool ok = false;
            const int n = args[++i].toInt(&ok);
            if (!ok || n < 1) return Failure(2, a.toUtf8() + " wants a number from 1");
            (a == "--page" ? page : options.MaxPages) = n;
        } else if (!a.startsWith('-') && in.isEmpty()) {
            in = a;
        } else {
            return Failure(2, "usage:\n" + BuildUsage().mid(7));
        }
    }
    if (in.isEmpty() || out.isEmpty()) return Failure(2, "build needs TEMPLATE.kvf and -o OUT");
    const QString extension = QFileInfo(out).suffix().toLower();
    bool known = false;
    for (const char* t : kTargets) known = known || extension == QLatin1String(t);
    if (!known)
        return Failure(2, out.toUtf8() + ": cannot write '." + extension.toUtf8() +
                              "' files; kvtool build writes kvp, pdf, txt, rtf, xlsx and png");

    StartLibrary();
    TkvReport report;
    const bool terminal = isatty(fileno(stderr));
    bool progressShown = false;
    if (terminal)
        options.Progress = [&progressShown](int pageNo) {
            std::fprintf(stderr, "\rPage %d", pageNo);
            std::fflush(stderr);
            progressShown = true;
            return true;
        };
    QByteArray error;
    const int pageCount = kv::BuildTemplateFile(report, in, options, error);
    if (progressShown) std::fprintf(stderr, "\n");
    if (pageCount == 0) return Failure(1, error + "; nothing written");

    try {
        if (extension == "kvp") {
            report.SavePreparedFile(out);
            return {};
        }
        // The other formats are written from a prepared report by the converters, which write
        // their output only when complete.
        QTemporaryDir dir;
        if (!dir.isValid()) return Failure(1, "cannot create a temporary folder");
        const QString prepared = dir.filePath("build.kvp");
        report.SavePreparedFile(prepared);
        if (extension == "png") {
            if (page > pageCount)
                return Failure(1, "--page " + QByteArray::number(page) + ": the report has " +
                                      QByteArray::number(pageCount) + " pages");
            return Render(prepared, page, 1.0, out);
        }
        const ConvertFormat* format = ConvertFormatFor(ConvertSource::PreparedReport, out);
        if (!format) return Failure(2, out.toUtf8() + ": no writer");
        return format->Run({prepared, out});
    } catch (const std::exception& e) {
        return Failure(1, out.toUtf8() + ": " + kv::OneLineError(e.what()));
    }
}

} // namespace kvcli
