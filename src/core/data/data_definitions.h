#pragma once
// The data of a template, kept beside it in a text file of the same base name (invoice.kvf ->
// invoice.kvdata): the database connection and the named data sets, each a SQL query over that
// connection or a CSV file. People read, diff and edit the file, so it is plain sections of
// "key = value" lines:
//
//     # comment (a line starting with # or ;)
//     [connection]
//     database = sqlite:shop.sqlite
//
//     [data Invoices]
//     sql = select id as Number, issued as Issued
//         from invoices order by id          <- a line starting with a blank continues the value
//
//     [data Prices]
//     csv = prices.csv
//     separator = ;                          (one character, or "tab"; default ",")
//     encoding = windows-1252                (default UTF-8)
//
// Paths (the SQLite file, CSV files) are relative to the folder of the data file. A PostgreSQL
// address never holds a password: libpq takes it from PGPASSWORD or ~/.pgpass.
//
// The file is untrusted input: its size, lines, values and number of data sets are bounded, and
// every fault is one TkvDataFileError "FILE:LINE: what is wrong".

#include "base/error.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <vector>

class TkvDataFileError : public TkvError {
public:
    using TkvError::TkvError;
};

struct TkvDataSetDefinition {
    enum class Source { Sql, Csv };

    QByteArray Name;
    Source Kind = Source::Sql;
    QString Sql;      // Source::Sql: the query, lines joined by "\n"
    QString CsvPath;  // Source::Csv: as written (relative to the data file's folder, or absolute)
    char Separator = ',';
    QByteArray Encoding = "UTF-8";

    bool operator==(const TkvDataSetDefinition&) const = default;
};

class TkvDataDefinitions {
public:
    static constexpr qint64 MaxFileBytes = 1 << 20;
    static constexpr int MaxLineBytes = 64 * 1024;
    static constexpr int MaxValueBytes = 256 * 1024;
    static constexpr int MaxDataSets = 256;
    static constexpr int MaxNameLength = 64;
    static constexpr const char* Extension = "kvdata";

    // The connection as written: "sqlite:PATH" or "postgresql://..."; empty when the data sets are
    // CSV files only.
    QString Database;
    std::vector<TkvDataSetDefinition> Sets;

    bool operator==(const TkvDataDefinitions&) const = default;

    // The data file of a template: same folder, same base name, extension ".kvdata".
    static QString FileFor(const QString& templateFile);

    // Reads the text of a data file; `fileName` names it in the errors. Raises TkvDataFileError.
    static TkvDataDefinitions Parse(const QByteArray& text, const QString& fileName);
    // Reads the file at `path` (at most MaxFileBytes). Raises TkvDataFileError.
    static TkvDataDefinitions Load(const QString& path);

    // The text of the file; Parse gives these definitions back. A password in a PostgreSQL address
    // is left out, and empty lines inside a query are dropped (they would end nothing, but the
    // file stays tidy).
    QByteArray Serialize() const;
    // Writes the file through the atomic writer. Raises TkvError when it cannot.
    void Save(const QString& path) const;

    // The data set of that name (compared without regard to case), or null.
    const TkvDataSetDefinition* Find(const QByteArray& name) const;
    // Replaces the data set of the same name, or appends it.
    void Set(const TkvDataSetDefinition& set);
    bool Remove(const QByteArray& name);

    // The connection and CSV paths with relative paths taken from `folder`.
    QString ResolvedDatabase(const QDir& folder) const;
    static QString ResolvedCsvPath(const TkvDataSetDefinition& set, const QDir& folder);

    // Whether `name` can name a data set: a letter or "_", then letters, digits or "_".
    static bool ValidName(const QByteArray& name);
    // Whether a database address carries a password (which is never written to the file).
    static bool HasPassword(const QString& database);
};
