#pragma once
// The named data sets of the programs' --db and --data options (kvtool build and data list,
// kvviewer TEMPLATE.kvf): each NAME=SQL (over the --db connection) or NAME=csv:PATH becomes a
// record set walked by a data set component NAME, all in one data module installed as the
// component directory while this object lives. A query's parameters (:SET.FIELD, or :FIELD of
// the one other set that has it) are bound from the current record of the set they name, so a
// detail's rows follow its master.

#include "core/data/data_definitions.h"
#include "engine/data/dataset.h"
#include "engine/data/row_sources.h"

#include <QList>
#include <QPair>
#include <QString>
#include <memory>
#include <vector>

class TkvReportDataSets {
public:
    // Raises TkvDataError for a SQL data set without --db, a connection that cannot open, or a
    // parameter that cannot be linked (unknown, ambiguous, a cycle).
    TkvReportDataSets(const QString& db, const QList<QPair<QByteArray, QString>>& data);
    // The same from definitions whose CSV paths are already resolved (absolute, or relative to
    // the working folder).
    TkvReportDataSets(const QString& db, const std::vector<TkvDataSetDefinition>& sets);
    ~TkvReportDataSets();
    TkvReportDataSets(const TkvReportDataSets&) = delete;
    TkvReportDataSets& operator=(const TkvReportDataSets&) = delete;

    const std::vector<TkvDBDataSet*>& Sets() const { return sets_; }
    // The data set whose rows were being opened when a failure was raised.
    const QByteArray& Current() const { return current_; }

    // Parses "NAME=SOURCE"; false (with a message) when there is no name.
    static bool ParseData(const QString& spec, QPair<QByteArray, QString>& out, QByteArray& error);
    // A --data value as a definition: "csv:PATH" a CSV file, anything else a query.
    static TkvDataSetDefinition Definition(const QByteArray& name, const QString& source);

private:
    std::unique_ptr<TkvSqlConnection> connection_;
    TkvDataDirectory directory_;
    std::vector<TkvDBDataSet*> sets_;
    QByteArray current_;
};
