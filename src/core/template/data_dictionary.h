#pragma once
// The stored part of a report's data dictionary: variables in categories, field aliases, band data
// source aliases and the datasets hidden from the designer, with the dictionary record of template
// streams, the dictionary file and the designer's list queries. Resolving names to values (the
// cache, IsVariable, GetValue) needs the data layer and the parser and lives in the engine.

#include "base/error.h"
#include "base/stream.h"
#include "base/stream_text.h"
#include "base/variables.h"

#include <QByteArray>
#include <QString>
#include <exception>
#include <string>

// A dictionary record or file the reader cannot take.
class TkvDictionaryError : public TkvError {
public:
    using TkvError::TkvError;
};

class TkvDataDictionary {
public:
    // Empties Variables, FieldAliases and BandDatasources (DisabledDatasets stays).
    void Clear();

    // The dictionary record; reading clears first. Counts are checked against the bytes left.
    void LoadFromStream(TkvStream& s);
    void SaveToStream(TkvStream& s) const;
    // The dictionary file: one version byte, then the record. A version byte the reader does not
    // know (above the current stream version or below the oldest template version) is refused
    // with TkvDictionaryError rather than read as garbage. Saving goes through the atomic writer.
    void LoadFromFile(const QString& fileName);
    void SaveToFile(const QString& fileName) const;

    // Designer queries.
    bool IsDatasetEnabled(const QByteArray& name) const;
    TkvStringList GetDatasetList() const;
    TkvStringList GetFieldList(const QByteArray& datasetName) const;
    TkvStringList GetBandDatasourceList() const;
    TkvStringList GetCategoryList() const;
    TkvStringList GetVariableList(const QByteArray& category) const;
    QByteArray DatasetOfAlias(const QByteArray& alias) const;
    QByteArray FieldOfAlias(const QByteArray& alias) const;
    QByteArray BandDatasourceOfAlias(const QByteArray& alias) const;
    QByteArray AliasOf(const QByteArray& name) const;

    // Splits "Dataset.Field" at the last dot outside double quotes; the field part loses its
    // surrounding quotes. False (parts untouched) when there is no such dot.
    static bool SplitDottedName(const QByteArray& text, QByteArray& dataset, QByteArray& field);

    TkvVariables Variables;
    TkvVariables FieldAliases;
    TkvVariables BandDatasources;
    TkvStringList DisabledDatasets;

private:
    void ReadOldRecord(TkvStream& s);
};

namespace kvdict {
// Bounds for untrusted records: entries per list and old-record entries.
constexpr int32_t MaxEntries = 1 << 20;
constexpr uint8_t OldestFileVersion = 21;
} // namespace kvdict
