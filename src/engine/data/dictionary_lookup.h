#pragma once
// Name look-up through a report's data dictionary while a report is built: IsVariable tells
// whether a name is a dictionary variable or a dataset field, GetValue computes it. Names resolved
// to a field are cached for the rest of the pass (ClearCache at the start of every pass).

#include "core/template/data_dictionary.h"
#include "engine/data/record_set.h"

#include <QMap>
#include <functional>

class TkvDictionaryLookup {
public:
    explicit TkvDictionaryLookup(const TkvDataDictionary& dictionary) : dictionary_(dictionary) {}

    bool IsVariable(const QByteArray& name);
    // Raises TkvDataError for a variable that refers to itself through other variables.
    void GetValue(const QByteArray& name, TkvVariant& value);
    void ClearCache() { cache_.clear(); }
    int CacheCount() const { return static_cast<int>(cache_.size()); }

    // The value of a field as expressions see it: display text for fields with a get-text handler
    // and large integers; null becomes "" for texts, false for booleans, 0 for the rest.
    static TkvVariant FieldValue(TkvDataField& field);
    // The record set behind a dataset component (a record set, or the one a TkvDBDataSet walks).
    static TkvRecordSet* RecordSetOf(TkvComponent* dataset);

    // The shared parser's Evaluate (installed by the script layer; without it a variable's text is
    // its value). The default dataset of the moment (the builder's choice; null when none).
    std::function<TkvVariant(const QByteArray& expression)> Evaluate;
    std::function<TkvComponent*()> DefaultDataset;
    // Library-wide script variables that take precedence over stored values (not owned; may be null).
    const TkvVariables* ScriptVariables = nullptr;

    // Variables nested deeper than this are taken for a cycle.
    static constexpr int MaxDepth = 64;

private:
    struct CacheItem {
        TkvComponent* DataSet = nullptr;
        QByteArray FieldName;
    };
    bool Resolve(const QByteArray& name, const QByteArray& text);

    const TkvDataDictionary& dictionary_;
    QMap<QByteArray, CacheItem> cache_; // keys upper-cased: compared without regard to case
    QList<QByteArray> evaluating_;
};
