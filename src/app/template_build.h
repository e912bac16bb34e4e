#pragma once
// Building a template file over named data sets into a prepared report: what `kvtool build` and
// `kvviewer TEMPLATE.kvf` share. The data sets are those of the template's data file
// (TkvDataDefinitions, beside the template) with the programs' --db and --data over single entries;
// --var sets report variables. The data sets live (installed as the component directory) only for
// the build.

#include "base/variant.h"
#include "core/data/data_definitions.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

class TkvReport;
class TkvBuildHost;
class TkvDialogHost;

struct TkvTemplateBuildOptions {
    QString Database;                              // --db sqlite:PATH|postgresql://...
    QList<QPair<QByteArray, QString>> Data;        // --data NAME=SQL|NAME=csv:PATH
    QList<QPair<QByteArray, TkvVariant>> Variables; // --var NAME=VALUE
    int MaxPages = 100000;
    // Called with the page number while pages are built; false cancels.
    std::function<bool(int pageNo)> Progress;
    // The program's progress window (borrowed; none in kvtool).
    TkvBuildHost* Host = nullptr;
    // Shows the template's dialog pages (borrowed; none in kvtool: their defaults are taken).
    TkvDialogHost* Dialogs = nullptr;

    // Takes --db, --data or --var at args[i] with its value, moving i to the value. False when
    // args[i] is none of them, or (with `error` set) when the value is malformed.
    bool TakeOption(const QStringList& args, int& i, QByteArray& error);
};

// The data of one build: the connection and data sets with their paths resolved.
struct TkvTemplateData {
    QString Database;
    std::vector<TkvDataSetDefinition> Sets;
    QString DataFile; // the data file read; empty when the template has none
};

namespace kv {

// Reads the data file of `templateFile`, when there is one, taking its relative paths from the
// template's folder, and lays `database` (when not empty) and the `data` sets over it: a set of the
// same name is replaced, another added. Command-line paths are relative to the working folder.
// Raises TkvDataFileError (one line naming the file and line) for a damaged data file.
TkvTemplateData TemplateData(const QString& templateFile, const QString& database,
                             const QList<QPair<QByteArray, QString>>& data);

// What to do about a template that names data sets it has no data for: one line for the end of a
// message.
QByteArray NoDataFileHint(const QString& templateFile);

// --var values: whole numbers and decimals as numbers, anything else as text.
TkvVariant TemplateVariableValue(const QString& text);

// A build or load error holds several lines: one line for a message or a command line.
QByteArray OneLineError(QByteArray text);

// Loads `templateFile` into `report` and builds it. Returns the page count, or 0 with `error`
// set to one line naming the file (load, data set, build failure, a stopped or empty build).
// `cancelled`, when given, tells a build the user (or the report's script) stopped from a failure.
int BuildTemplateFile(TkvReport& report, const QString& templateFile, const TkvTemplateBuildOptions& options,
                      QByteArray& error, bool* cancelled = nullptr);

} // namespace kv
