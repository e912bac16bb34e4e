#include "app/template_build.h"

#include "app/report_data_sets.h"
#include "core/report/report.h"
#include "engine/build/report_builder.h"
#include "engine/data/record_set.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

bool TkvTemplateBuildOptions::TakeOption(const QStringList& args, int& i, QByteArray& error) {
    const QString& a = args[i];
    if (i + 1 >= args.size() || (a != "--db" && a != "--data" && a != "--var")) return false;
    const QString value = args[++i];
    if (a == "--db") {
        Database = value;
        return true;
    }
    if (a == "--data") {
        QPair<QByteArray, QString> d;
        if (!TkvReportDataSets::ParseData(value, d, error)) return false;
        Data.append(d);
        return true;
    }
    const qsizetype eq = value.indexOf('=');
    if (eq <= 0) {
        error = "--var wants NAME=VALUE, not " + value.toUtf8();
        return false;
    }
    Variables.append({value.left(eq).toUtf8(), kv::TemplateVariableValue(value.mid(eq + 1))});
    return true;
}

namespace kv {

TkvVariant TemplateVariableValue(const QString& text) {
    bool ok = false;
    const qlonglong i = text.toLongLong(&ok);
    if (ok) return TkvVariant(int64_t(i));
    const double d = text.toDouble(&ok);
    if (ok) return TkvVariant(d);
    return TkvVariant(text.toUtf8());
}

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

TkvTemplateData TemplateData(const QString& templateFile, const QString& database,
                             const QList<QPair<QByteArray, QString>>& data) {
    TkvTemplateData out;
    const QString file = TkvDataDefinitions::FileFor(templateFile);
    if (QFileInfo::exists(file)) {
        const QDir folder = QFileInfo(templateFile).absoluteDir();
        const TkvDataDefinitions read = TkvDataDefinitions::Load(file);
        out.DataFile = file;
        out.Database = read.ResolvedDatabase(folder);
        out.Sets = read.Sets;
        for (TkvDataSetDefinition& set : out.Sets)
            if (set.Kind == TkvDataSetDefinition::Source::Csv)
                set.CsvPath = TkvDataDefinitions::ResolvedCsvPath(set, folder);
    }
    if (!database.isEmpty()) out.Database = database;
    // A command line naming one set twice would have one of its sources dropped without a word.
    for (qsizetype i = 0; i < data.size(); ++i)
        for (qsizetype j = 0; j < i; ++j)
            if (data[j].first.compare(data[i].first, Qt::CaseInsensitive) == 0)
                throw TkvDataError("Data set " + data[i].first.toStdString() + " is given more than once");
    for (const auto& [name, source] : data) {
        const TkvDataSetDefinition given = TkvReportDataSets::Definition(name, source);
        bool replaced = false;
        for (TkvDataSetDefinition& set : out.Sets)
            if (set.Name.compare(name, Qt::CaseInsensitive) == 0) {
                set = given;
                replaced = true;
            }
        if (!replaced) out.Sets.push_back(given);
    }
    return out;
}

QByteArray NoDataFileHint(const QString& templateFile) {
    return "the template has no data file (" + QFileInfo(TkvDataDefinitions::FileFor(templateFile)).fileName().toUtf8() +
           " beside it): write one, or give the data with --db ADDRESS and --data NAME=SQL|NAME=csv:PATH";
}

int BuildTemplateFile(TkvReport& report, const QString& templateFile, const TkvTemplateBuildOptions& options,
                      QByteArray& error, bool* cancelled) {
    if (cancelled) *cancelled = false;
    const QByteArray file = templateFile.toUtf8();
    TkvTemplateLoadResult loaded;
    if (!report.LoadFromFile(templateFile, &loaded)) {
        error = file + ": " + OneLineError(loaded.Message.isEmpty() ? "cannot be read" : loaded.Message);
        return 0;
    }
    std::unique_ptr<TkvReportDataSets> sets;
    TkvTemplateData data;
    try {
        data = TemplateData(templateFile, options.Database, options.Data);
        sets = std::make_unique<TkvReportDataSets>(data.Database, data.Sets);
    } catch (const std::exception& e) {
        error = OneLineError(e.what());
        return 0;
    }
    TkvReportBuilder builder(report);
    builder.MaxPages = options.MaxPages;
    for (const auto& [name, value] : options.Variables) builder.Variables.SetVariable(name, value);
    if (options.Progress) builder.Progress = options.Progress;
    builder.Host = options.Host;
    builder.Dialogs = options.Dialogs;
    const TkvBuildResult built = builder.BuildDocument();
    if (cancelled) *cancelled = built.DialogCancelled || built.Cancelled;
    if (built.DialogCancelled) {
        error = file + ": the dialog was cancelled; nothing was built";
        return 0;
    }
    // STOPREPORT (or Cancel) ends the build with the pages made so far, which the report keeps.
    const bool stoppedWithPages = built.Cancelled && built.ErrorText.isEmpty() && built.PageCount > 0;
    if (!built.Ok && !stoppedWithPages) {
        error = file + ": " +
                (built.ErrorText.isEmpty() ? QByteArray("the build was stopped before it ended (Cancel or STOPREPORT)")
                                           : OneLineError(built.ErrorText));
        // A data source that was not found, with no data given at all: say how to give it.
        if (data.DataFile.isEmpty() && options.Data.isEmpty() && error.contains("data source") &&
            error.contains(" was not found"))
            error += "; " + NoDataFileHint(templateFile);
        return 0;
    }
    if (built.PageCount == 0) {
        error = file + ": the report has no pages";
        return 0;
    }
    return built.PageCount;
}

} // namespace kv
