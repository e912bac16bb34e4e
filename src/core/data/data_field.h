#pragma once
// A field of the current record of a dataset, as views bound to a field (LoadFromField) and the
// engine's name look-up read it. The data layer of the engine implements it; the field is borrowed
// and valid while its dataset is open.

#include "base/stream.h"
#include "base/variant.h"

#include <QByteArray>

enum class TkvFieldType {
    Unknown,
    String,
    WideString,
    Integer,
    LargeInt,
    Float,
    Boolean,
    DateTime,
    Blob,
    Memo
};

class TkvDataField;

// A dataset as a view bound to one of its fields reaches it (the view's BoundDataSet): the
// engine's record sets implement it.
class TkvDataFieldSource {
public:
    virtual ~TkvDataFieldSource() = default;
    // Null when there is no field of that name. May raise the data layer's error.
    virtual TkvDataField* FieldByName(const QByteArray& name) = 0;
};

class TkvDataField {
public:
    virtual ~TkvDataField() = default;

    virtual QByteArray FieldName() const = 0;
    virtual TkvFieldType DataType() const = 0;
    virtual bool IsNull() const = 0;
    // The value of the current record (null when the field is null).
    virtual TkvVariant Value() const = 0;
    // The value as the user sees it (empty for null).
    virtual QByteArray DisplayText() const = 0;
    virtual bool HasGetTextHandler() const { return false; }
    bool IsBlob() const { return DataType() == TkvFieldType::Blob || DataType() == TkvFieldType::Memo; }
    // Appends the raw bytes of the value (blobs and memos; other types their display text).
    virtual void BlobToStream(TkvStream& s) const = 0;
};
