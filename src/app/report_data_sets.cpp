#include "app/report_data_sets.h"

#include "engine/data/parameter_links.h"

TkvReportDataSets::TkvReportDataSets(const QString& db, const QList<QPair<QByteArray, QString>>& data) {
    TkvDataModule& module = directory_.AddModule("Data");
    std::vector<TkvNamedRecordSet> named;
    for (const auto& [name, source] : data) {
        current_ = name;
        std::unique_ptr<TkvRowSource> rows;
        try {
            if (source.startsWith("csv:")) {
                rows = std::make_unique<TkvCsvRowSource>(source.mid(4), name);
            } else {
                if (db.isEmpty()) throw TkvDataError("no --db for its SQL");
                if (!connection_) connection_ = std::make_unique<TkvSqlConnection>(db);
                rows = std::make_unique<TkvSqlRowSource>(*connection_, source, name);
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
