#include "cli/convert_command.h"

#include "cli/export_command.h"
#include "cli/render_command.h"
#include "cli/template_command.h"

#include <QFileInfo>

namespace kvcli {

namespace {

// A writer of IN to OUT that takes no options.
template <CommandResult (*Write)(const QString&, const QString&)>
CommandResult Plain(const QStringList& args) {
    if (args.size() != 2) {
        CommandResult r;
        r.ExitCode = 2;
        r.Error = "convert to " + QFileInfo(args[1]).suffix().toUtf8() + " takes no options";
        return r;
    }
    return Write(args[0], args[1]);
}

constexpr const char* kExportOptions = "[--pages LIST] [--filter rtf|rtf-table]\n"
                                       "                    [--scale F | --scale-x F --scale-y F] "
                                       "[--page-breaks|--no-page-breaks]\n"
                                       "                    [--pictures|--no-pictures] [--frames] "
                                       "[--pseudographic] [--oem]\n"
                                       "                    [--keep-empty-lines] [--table] [--numbers]";

const ConvertFormat kFormats[] = {
    {ConvertSource::PreparedReport, "kvp", "prepared report", &Plain<&Convert>, nullptr},
    {ConvertSource::PreparedReport, "pdf", "PDF document", &Plain<&ConvertToPdf>, nullptr},
    {ConvertSource::PreparedReport, "txt", "plain text", &ExportFromArguments, kExportOptions},
    {ConvertSource::PreparedReport, "rtf", "RTF document", &ExportFromArguments, kExportOptions},
    {ConvertSource::PreparedReport, "xlsx", "Excel workbook", &ExportFromArguments, kExportOptions},
    {ConvertSource::Template, "kvf", "report template", &Plain<&ConvertTemplate>, nullptr},
};

CommandResult UsageError(const QByteArray& message) {
    CommandResult r;
    r.ExitCode = 2;
    r.Error = message;
    return r;
}

} // namespace

std::span<const ConvertFormat> ConvertFormats() {
    return kFormats;
}

ConvertSource ConvertSourceOf(const QString& in) {
    return QFileInfo(in).suffix().compare(QLatin1String("kvf"), Qt::CaseInsensitive) == 0
               ? ConvertSource::Template
               : ConvertSource::PreparedReport;
}

const ConvertFormat* ConvertFormatFor(ConvertSource source, const QString& out) {
    const QString extension = QFileInfo(out).suffix().toLower();
    for (const ConvertFormat& f : kFormats)
        if (f.Source == source && extension == QLatin1String(f.Extension)) return &f;
    return nullptr;
}

QByteArray ConvertFormatList(ConvertSource source) {
    QByteArray list;
    for (const ConvertFormat& f : kFormats) {
        if (f.Source != source) continue;
        if (!list.isEmpty()) list += ", ";
        list += QByteArray(f.Extension) + " (" + f.Description + ")";
    }
    return list;
}

QByteArray ConvertUsage() {
    // Rows of one source with the same options share a line: "IN.kvp OUT.kvp|OUT.pdf".
    QByteArray usage;
    for (size_t i = 0; i < std::size(kFormats); ++i) {
        bool shown = false;
        for (size_t j = 0; j < i && !shown; ++j)
            shown = kFormats[j].Source == kFormats[i].Source && kFormats[j].Options == kFormats[i].Options;
        if (shown) continue;
        QByteArray targets;
        for (size_t j = i; j < std::size(kFormats); ++j)
            if (kFormats[j].Source == kFormats[i].Source && kFormats[j].Options == kFormats[i].Options)
                targets += (targets.isEmpty() ? "OUT." : "|OUT.") + QByteArray(kFormats[j].Extension);
        usage += QByteArray("       kvtool convert ") +
                 (kFormats[i].Source == ConvertSource::Template ? "IN.kvf " : "IN.kvp ") + targets;
        if (kFormats[i].Options) usage += QByteArray(" ") + kFormats[i].Options;
        usage += "\n";
    }
    return usage;
}

CommandResult ConvertFromArguments(const QStringList& args) {
    if (args.size() < 2) return UsageError("convert needs IN and OUT");
    const QString& in = args[0];
    const QString& out = args[1];
    const ConvertSource source = ConvertSourceOf(in);
    if (const ConvertFormat* format = ConvertFormatFor(source, out)) return format->Run(args);
    const QString extension = QFileInfo(out).suffix();
    return UsageError(out.toUtf8() + ": cannot write " +
                      (extension.isEmpty() ? QByteArray("a file without an extension")
                                           : "'." + extension.toUtf8() + "' files") +
                      (source == ConvertSource::Template ? " from a template" : " from a prepared report") +
                      "; kvtool convert writes " + ConvertFormatList(source));
}

} // namespace kvcli
