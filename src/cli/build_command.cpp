#include "cli/build_command.h"

#include "cli/convert_command.h"
#include "cli/data_sets.h"
#include "cli/render_command.h"
#include "core/report/report.h"
#include "engine/build/report_builder.h"

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

// A build error holds several lines (what failed, report, object, the message): one line here.
QByteArray OneLineError(QByteArray text) {
    text.replace('\r', '\n');
    QByteArray out;
    for (const QByteArray& part : text.split('\n')) {
        const QByteArray t = part.trimmed();
        if (t.isEmpty() || t == "Report:") continue;
        out += (out.isEmpty() ? "" : "; ") + t;
    }
    return out;
}

// --var values: whole numbers and decimals as numbers, anything else as text.
TkvVariant VarValue(const QString& text) {
    bool ok = false;
    const qlonglong i = text.toLongLong(&ok);
    if (ok) return TkvVariant(int64_t(i));
    const double d = text.toDouble(&ok);
    if (ok) return TkvVariant(d);
    return TkvVariant(text.toUtf8());
}

} // namespace

QByteArray BuildUsage() {
    return "       kvtool build TEMPLATE.kvf -o OUT.kvp|OUT.pdf|OUT.txt|OUT.rtf|OUT.xlsx|OUT.png\n"
           "                    [--db sqlite:PATH|postgresql://HOST/DB] [--data NAME=SQL|NAME=csv:PATH]...\n"
           "                    [--var NAME=VALUE]... [--page N] [--max-pages N]\n";
}

CommandResult BuildFromArguments(const QStringList& args) {
    QString in, out, db;
    QList<QPair<QByteArray, QString>> data;
    QList<QPair<QByteArray, TkvVariant>> vars;
    int page = 1;
    int maxPages = 100000;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if ((a == "-o" || a == "--output") && hasValue) {
            out = args[++i];
        } else if (a == "--db" && hasValue) {
            db = args[++i];
        } else if (a == "--data" && hasValue) {
            QPair<QByteArray, QString> d;
            QByteArray error;
            if (!CliDataSets::ParseData(args[++i], d, error)) return Failure(2, error);
            data.append(d);
        } else if (a == "--var" && hasValue) {
            const QString spec = args[++i];
            const qsizetype eq = spec.indexOf('=');
            if (eq <= 0) return Failure(2, "--var wants NAME=VALUE, not " + spec.toUtf8());
            vars.append({spec.left(eq).toUtf8(), VarValue(spec.mid(eq + 1))});
        } else if ((a == "--page" || a == "--max-pages") && hasValue) {
            bool ok = false;
            const int n = args[++i].toInt(&ok);
            if (!ok || n < 1) return Failure(2, a.toUtf8() + " wants a number from 1");
            (a == "--page" ? page : maxPages) = n;
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
    TkvTemplateLoadResult loaded;
    if (!report.LoadFromFile(in, &loaded))
        return Failure(1, in.toUtf8() + ": " + OneLineError(loaded.Message.isEmpty() ? "cannot be read" : loaded.Message));

    std::unique_ptr<CliDataSets> sets;
    try {
        sets = std::make_unique<CliDataSets>(db, data);
    } catch (const std::exception& e) {
        return Failure(1, OneLineError(e.what()));
    }

    TkvReportBuilder builder(report);
    builder.MaxPages = maxPages;
    for (const auto& [name, value] : vars) builder.Variables.SetVariable(name, value);
    const bool terminal = isatty(fileno(stderr));
    if (terminal)
        builder.Progress = [](int pageNo) {
            std::fprintf(stderr, "\rBuilding page %d", pageNo);
            std::fflush(stderr);
            return true;
        };
    const TkvBuildResult built = builder.BuildDocument();
    if (terminal) std::fprintf(stderr, "\r\033[K");
    if (!built.Ok) {
        if (!built.ErrorText.isEmpty()) return Failure(1, in.toUtf8() + ": " + OneLineError(built.ErrorText));
        return Failure(1, in.toUtf8() + ": the build was stopped before it ended (STOPREPORT); nothing written");
    }
    if (built.PageCount == 0) return Failure(1, in.toUtf8() + ": the report has no pages; nothing written");

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
            if (page > built.PageCount)
                return Failure(1, "--page " + QByteArray::number(page) + ": the report has " +
                                      QByteArray::number(built.PageCount) + " pages");
            return Render(prepared, page, 1.0, out);
        }
        const ConvertFormat* format = ConvertFormatFor(ConvertSource::PreparedReport, out);
        if (!format) return Failure(2, out.toUtf8() + ": no writer");
        return format->Run({prepared, out});
    } catch (const std::exception& e) {
        return Failure(1, out.toUtf8() + ": " + OneLineError(e.what()));
    }
}

} // namespace kvcli
