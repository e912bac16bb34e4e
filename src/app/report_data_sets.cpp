#include "app/report_data_sets.h"

#include "engine/data/parameter_links.h"

namespace {

std::vector<TkvDataSetDefinition> Definitions(const QList<QPair<QByteArray, QString>>& data) {
    std::vector<TkvDataSetDefinition> sets;
    for (const auto& [name, source] : data) sets.push_back(TkvReportDataSets::Definition(name, source));
    return sets;
}

} // namespace

TkvDataSetDefinition TkvReportDataSets::Definition(const QByteArray& name, const QString& source) {
    TkvDataSetDefinition d;
    d.Name = name;
    if (source.startsWith("csv:")) {
        d.Kind = TkvDataSetDefinition::Source::Csv;
        d.CsvPath = source.mid(4);
    } else {
        d.Sql = source;
    }
    return d;
}

TkvReportDataSets::TkvReportDataSets(const QString& db, const QList<QPair<QByteArray, QString>>& data)
    : TkvReportDataSets(db, Definitions(data)) {}

TkvReportDataSets::TkvReportDataSets(const QString& db, const std::vector<TkvDataSetDefinition>& sets) {
    TkvDataModule& module = directory_.AddModule("Data");
    std::vector<TkvNamedRecordSet> named;
    for (const TkvDataSetDefinition& def : sets) {
        const QByteArray& name = def.Name;
        current_ = name;
        // A second source for a name would be dropped without a word.
        for (const auto* set : sets_)
            if (set->ComponentName().compare(name, Qt::CaseInsensitive) == 0)
                throw TkvDataError("Data set " + name.toStdString() + " is given more than once");
        std::unique_ptr<TkvRowSource> rows;
        try {
            if (def.Kind == TkvDataSetDefinition::Source::Csv) {
                rows = std::make_unique<TkvCsvRowSource>(def.CsvPath, name,
                                                         TkvCsvRowSource::Options{def.Separator, def.Encoding});
            } else {
                if (db.isEmpty()) throw TkvDataError("no database connection for its SQL (--db)");
                if (!connection_) connection_ = std::make_unique<TkvSqlConnection>(db);
                rows = std::make_unique<TkvSqlRowSource>(*connection_, def.Sql, name);
            }
        } catch (const std::exception& e) {
            // The message names the data set whose source could not be set up.
            const std::string what = e.what();
            if (what.find(name.toStdString()) != std::string::npos) throw;
            throw TkvDataError("Data set " + name.toStdString() + ": " + what);
        }
        auto* table = module.Add(std::make_unique<TkvRecordSet>(name + "Table", std::move(rows)));
        auto* set = module.Add(std::make_unique<TkvDBDataSet>(name));
        set->SetDataSet(table);
        sets_.push_back(set);
        named.push_back({name, table});
    }
    current_.clear();
    // Queries with parameters follow the current record of the data sets they name.
    kv::LinkParameters(named);
    kv::SetComponentDirectory(&directory_);
}

TkvReportDataSets::~TkvReportDataSets() {
    if (kv::ComponentDirectory() == &directory_) kv::SetComponentDirectory(nullptr);
}

bool TkvReportDataSets::ParseData(const QString& spec, QPair<QByteArray, QString>& out, QByteArray& error) {
    const qsizetype eq = spec.indexOf('=');
    if (eq <= 0) {
        error = "--data wants NAME=SQL or NAME=csv:PATH, not " + spec.toUtf8();
        return false;
    }
    out = {spec.left(eq).toUtf8(), spec.mid(eq + 1)};
    return true;
}
