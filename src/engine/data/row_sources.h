#pragma once
// The row sources of the database layer: a query over a Qt SQL connection (SQLite embedded,
// PostgreSQL through Qt's driver), a CSV file and an in-memory table for tests.

#include "engine/data/record_set.h"

#include <QString>
#include <QStringDecoder>
#include <memory>

class QSqlDatabase;
class QFile;

// One named connection: "sqlite:PATH" or "postgresql://[user@]host[:port]/dbname" (host may be an
// absolute socket directory, written as postgresql:///dbname?host=/dir; user= names the role as
// the user part does). Raises TkvDataError
// with one line when the address is not understood or the database cannot be opened.
class TkvSqlConnection {
public:
    explicit TkvSqlConnection(const QString& address);
    ~TkvSqlConnection();
    TkvSqlConnection(const TkvSqlConnection&) = delete;
    TkvSqlConnection& operator=(const TkvSqlConnection&) = delete;

    const QString& ConnectionName() const { return name_; }
    QString DriverName() const;

    // Queries read at the same time (a master and its detail): a PostgreSQL session streams one
    // result at a time, so a query that starts while another one's result is still being read
    // here runs in a session of its own, opened with the same settings (it does not see this
    // session's temporary tables). SQLite reads any number of results at once.
    // TakeSession: whether `user` may run its query on this connection now (it then holds it
    // until FreeSession). OpenSession raises TkvDataError when the new session cannot open.
    bool TakeSession(const void* user) const;
    void FreeSession(const void* user) const;
    QString OpenSession() const;
    void CloseSession(const QString& session) const;

private:
    QString name_;
    bool oneResultAtATime_ = false;
    mutable const void* sessionUser_ = nullptr;
};

// A SELECT run on a connection (borrowed; must outlive the source), read forward-only. Named
// parameters in the SQL (`:NAME`, `:SET.FIELD`, see sql_parameters.h) are bound from the fields
// they are linked to, and the query runs again when their values change; a parameter that was
// never linked is an error naming the data set and the parameter when the query runs. A query
// mixing `?` with named parameters is refused when the source is made.
class TkvSqlRowSource : public TkvRowSource {
public:
    TkvSqlRowSource(const TkvSqlConnection& connection, QString sql, QByteArray datasetName);
    ~TkvSqlRowSource() override;
    void Restart() override;
    bool FetchRow(TkvRow& row) override;
    const std::vector<TkvColumn>& Columns() const override { return columns_; }
    void Close() override;
    QList<QByteArray> ParameterNames() const override { return names_; }
    void LinkParameter(int index, TkvRecordSet& from, const QByteArray& field) override;
    bool Rebind() override;

private:
    struct Query;
    struct Parameter {
        TkvRecordSet* From = nullptr;
        QByteArray Field;
        TkvVariant Value = TkvVariant::Null();
    };
    const TkvSqlConnection& connection_;
    QString sql_;
    QByteArray datasetName_;
    QList<QByteArray> names_;
    std::vector<int> order_; // the parameter of each placeholder
    std::vector<Parameter> parameters_;
    bool bound_ = false;
    void EndQuery();
    QString ownSession_; // opened when the connection was busy with another query
    std::unique_ptr<Query> query_;
    std::vector<TkvColumn> columns_;
};

// A CSV file: fields separated by the separator, quoted fields with doubled quotes, separators and
// line breaks inside quotes, the first row the column names. Every value is a text (an empty
// unquoted field is null). Lines and fields are bounded so that a damaged file cannot exhaust
// memory; a quoted field that never ends is an error naming the data set.
class TkvCsvRowSource : public TkvRowSource {
public:
    struct Options {
        char Separator = ',';
        QByteArray Encoding = "UTF-8";
    };
    static constexpr qint64 MaxRecordBytes = 16 << 20;
    static constexpr int MaxColumns = 4096;

    TkvCsvRowSource(QString path, QByteArray datasetName, Options options);
    TkvCsvRowSource(QString path, QByteArray datasetName)
        : TkvCsvRowSource(std::move(path), std::move(datasetName), Options()) {}
    ~TkvCsvRowSource() override;
    void Restart() override;
    bool FetchRow(TkvRow& row) override;
    const std::vector<TkvColumn>& Columns() const override { return columns_; }
    void Close() override;

    // Splits one record from bytes (for tests and the reader): fields as bytes, quoted flags.
    // Returns false at the end of input.
private:
    bool ReadRecord(std::vector<QByteArray>& fields, std::vector<bool>& quoted);
    bool FillBuffer();
    QByteArray Decode(const QByteArray& bytes);

    QString path_;
    QByteArray datasetName_;
    Options options_;
    std::unique_ptr<QFile> file_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool atEnd_ = false;
    bool utf8_ = true;
    std::vector<TkvColumn> columns_;
};

// Rows held in memory (tests, hosts that compute their data).
class TkvMemoryRowSource : public TkvRowSource {
public:
    TkvMemoryRowSource(std::vector<TkvColumn> columns, std::vector<TkvRow> rows)
        : columns_(std::move(columns)), rows_(std::move(rows)) {}
    void Restart() override {
        next_ = 0;
        ++Restarts;
    }
    bool FetchRow(TkvRow& row) override {
        if (next_ >= rows_.size()) return false;
        row = rows_[next_++];
        return true;
    }
    const std::vector<TkvColumn>& Columns() const override { return columns_; }
    int Restarts = 0;

private:
    std::vector<TkvColumn> columns_;
    std::vector<TkvRow> rows_;
    size_t next_ = 0;
};
