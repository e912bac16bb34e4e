#pragma once
// The engine's database layer: a cursor over the records of one query, file or table, with the
// operations the data sources and the dictionary need (open, close, first, next, prior, end test,
// bookmarks, fields). Rows come from a TkvRowSource, fetched forward-only; the record set keeps
// only the rows Prior and live bookmarks can still reach, and restarts the source to go back
// further. A record set is a component so that a host can name it.

#include "base/error.h"
#include "base/component_directory.h"
#include "core/data/data_field.h"

#include <deque>
#include <exception>
#include <memory>
#include <string>
#include <vector>

// A failure of the database layer (open, fetch), with one line naming the data set.
class TkvDataError : public TkvError {
public:
    using TkvError::TkvError;
};

struct TkvColumn {
    QByteArray Name;
    TkvFieldType Type = TkvFieldType::String;
};

using TkvRow = std::vector<TkvVariant>;

class TkvRecordSet;

// Where rows come from. Restart goes back before the first row (opening on first use); FetchRow
// fills the next row or returns false at the end; the row it is given may hold an earlier row (its
// storage is reused), so every column is set. Both raise TkvDataError.
class TkvRowSource {
public:
    virtual ~TkvRowSource() = default;
    virtual void Restart() = 0;
    virtual bool FetchRow(TkvRow& row) = 0;
    // Valid after the first Restart.
    virtual const std::vector<TkvColumn>& Columns() const = 0;
    virtual void Close() {}

    // Rows that follow another data set's current record (a detail query's parameters). Most
    // sources have none.
    // The parameters the rows depend on, each once, in order of first use.
    virtual QList<QByteArray> ParameterNames() const { return {}; }
    // Parameter `index` of ParameterNames takes the value of `field` in the current record of
    // `from` (borrowed; it must outlive this source).
    virtual void LinkParameter(int index, TkvRecordSet& from, const QByteArray& field) {}
    // Takes the parameter values again from their record sets; true when one changed since the
    // last call, so the rows must be fetched again. The record set calls it before opening and
    // on First; Restart alone (going back for Prior) keeps the values it was last given.
    virtual bool Rebind() { return false; }
};

// A position a record set can return to: the row number, or none.
struct TkvBookmark {
    qint64 Row = -1;
    bool IsSet() const { return Row >= 0; }
};

class TkvRecordSet : public TkvComponent, public TkvDataFieldSource {
public:
    TkvRecordSet(QByteArray name, std::unique_ptr<TkvRowSource> source);
    ~TkvRecordSet() override;

    // Component.
    QByteArray ComponentName() const override { return name_; }
    TkvComponent* ComponentOwner() const override { return owner_; }
    void SetOwner(TkvComponent* owner) { owner_ = owner; }
    bool InheritsFrom(const QByteArray& className) const override;
    bool IsDataset() const override { return true; }
    // The row source (borrowed; for linking its parameters).
    TkvRowSource& Source() const { return *source_; }
    bool HasField(const QByteArray& fieldName) const override;
    QList<QByteArray> FieldNames() const override;

    // Opening positions on the first record. First fetches the rows again when the source's
    // parameters changed (a detail whose master moved). Raise TkvDataError.
    void Open();
    void Close();
    bool Active() const { return active_; }
    void First();
    void Next();
    void Prior();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    // Number of the current record from 0.
    qint64 RecNo() const { return current_; }

    TkvBookmark GetBookmark();
    void GotoBookmark(const TkvBookmark& b);
    void FreeBookmark(const TkvBookmark& b);
    // 0 when both name the same record.
    static int CompareBookmarks(const TkvBookmark& a, const TkvBookmark& b);

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    // Null when there is no field of that name (compared without regard to case). Opens first.
    TkvDataField* FieldByName(const QByteArray& name) override;
    TkvDataField* FieldAt(int i);

    // Rows kept behind the current one for Prior without a restart.
    static constexpr qint64 PriorWindow = 1024;
    // Rows currently held (for tests of the cache bound).
    qint64 CachedRows() const { return static_cast<qint64>(rows_.size()); }

    // The value of a column of the current record (null outside the data).
    const TkvVariant& CurrentValue(int column) const;

private:
    class RecordField;
    // Makes row r the current one, fetching or restarting as needed; false past the end.
    bool MoveTo(qint64 r);
    void Trim();

    QByteArray name_;
    TkvComponent* owner_ = nullptr;
    std::unique_ptr<TkvRowSource> source_;
    std::vector<std::unique_ptr<RecordField>> fields_;
    std::deque<TkvRow> rows_; // rows cacheStart_ .. cacheStart_ + size - 1
    TkvRow spare_;            // the last row dropped, whose storage the next fetch reuses
    qint64 cacheStart_ = 0;
    qint64 fetched_ = 0; // rows fetched from the source since its restart
    bool sourceEnded_ = false;
    qint64 current_ = 0;
    bool eof_ = true, bof_ = true, active_ = false;
    std::vector<qint64> bookmarks_;
    TkvVariant null_ = TkvVariant::Null();
};
