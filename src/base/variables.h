#pragma once
// A list of named values: the library-wide variables, the constants list, the aggregate stores of
// data bands and the data dictionary's lists. Names are compared without regard to letter case and
// occur at most once. In sorted mode the list keeps itself sorted by name; it also remembers the
// order in which names were added, for callers that list them as they were given.

#include "base/variant.h"

#include <QByteArray>
#include <vector>

class TkvVariables {
public:
    explicit TkvVariables(bool sorted = false) : sorted_(sorted) {}

    // Overwrites the value of an existing name; otherwise adds the name at the end (sorted mode:
    // at its sorted place).
    void SetVariable(const QByteArray& name, const TkvVariant& value);
    // The value, or null when the name is absent.
    TkvVariant GetVariable(const QByteArray& name) const;
    // Index of the name, or -1.
    int IndexOf(const QByteArray& name) const;
    bool Contains(const QByteArray& name) const { return IndexOf(name) >= 0; }
    int Count() const { return static_cast<int>(entries_.size()); }

    // By index: an index out of range reads the empty name or the integer 0; writing is ignored.
    // Renaming to a name held by another entry is ignored too (names stay unique).
    QByteArray Name(int i) const;
    TkvVariant Value(int i) const;
    void SetName(int i, const QByteArray& name);
    void SetValue(int i, const TkvVariant& value);

    // Ignored when out of range.
    void Delete(int i);
    void Clear() { entries_.clear(); }
    // Inserts the name with the integer value 0 at index i (clamped to the list; sorted mode: at its
    // sorted place). Ignored when the name is already there.
    void Insert(int i, const QByteArray& name);
    // Replaces the entries by copies of another list's entries (this list keeps its own mode).
    void Assign(const TkvVariables& other);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);

    // The indexes of the entries in the order their names were first added.
    std::vector<int> InsertionOrder() const;

private:
    struct Entry {
        QByteArray Name;
        TkvVariant Value;
        uint64_t Sequence;
    };
    // Sorted mode: the index where the name is or would go.
    int LowerBound(const QByteArray& name) const;
    void Resort();

    std::vector<Entry> entries_;
    bool sorted_;
    uint64_t nextSequence_ = 0;
};
