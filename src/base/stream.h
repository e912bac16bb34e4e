#pragma once
// Bounds-checked byte streams. Every report stream is little-endian and unaligned;
// every read checks what is left and raises TkvStreamError instead of reading past the end.

#include "base/error.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <exception>
#include <string>

// The stream read (or write) error: carries the offset and what was being read.
class TkvStreamError : public TkvError {
public:
    TkvStreamError(qint64 offset, std::string what);
    qint64 offset() const { return offset_; }
    const std::string& item() const { return item_; }

private:
    qint64 offset_;
    std::string item_;
};

class TkvStream {
public:
    virtual ~TkvStream() = default;

    virtual qint64 Size() const = 0;
    virtual qint64 Position() const = 0;
    // Moves to an absolute position; a position outside 0..Size() raises the stream error.
    virtual void Seek(qint64 pos) = 0;
    qint64 Remaining() const { return Size() - Position(); }

    // Reads exactly n bytes or raises; `what` names the item for the error message.
    void ReadBuffer(void* dst, qint64 n, const char* what = "data");
    QByteArray ReadBytes(qint64 n, const char* what = "data");
    void WriteBuffer(const void* src, qint64 n);
    void WriteBytes(const QByteArray& bytes) { WriteBuffer(bytes.constData(), bytes.size()); }

    uint8_t ReadByte(const char* what = "byte");
    uint16_t ReadWord(const char* what = "word");
    int32_t ReadInt(const char* what = "integer");
    uint32_t ReadUInt(const char* what = "integer") { return static_cast<uint32_t>(ReadInt(what)); }
    float ReadSingle(const char* what = "single");
    double ReadDouble(const char* what = "double");
    bool ReadBool(const char* what = "boolean") { return ReadByte(what) != 0; }

    void WriteByte(uint8_t v) { WriteBuffer(&v, 1); }
    void WriteWord(uint16_t v);
    void WriteInt(int32_t v);
    void WriteUInt(uint32_t v) { WriteInt(static_cast<int32_t>(v)); }
    void WriteSingle(float v);
    void WriteDouble(double v);
    void WriteBool(bool v) { WriteByte(v ? 1 : 0); }

    // Raises the stream error unless n more bytes can be read: used before allocating from a stored count.
    void Require(qint64 n, const char* what) const;
    [[noreturn]] void Fail(const char* what) const;

protected:
    virtual qint64 ReadRaw(void* dst, qint64 n) = 0;
    virtual void WriteRaw(const void* src, qint64 n) = 0;
};

// A stream over bytes held in memory. Reading a QByteArray shares it (no copy).
class TkvMemoryStream : public TkvStream {
public:
    TkvMemoryStream() = default;
    explicit TkvMemoryStream(QByteArray bytes) : data_(std::move(bytes)) {}

    qint64 Size() const override { return data_.size(); }
    qint64 Position() const override { return pos_; }
    void Seek(qint64 pos) override;

    const QByteArray& Data() const { return data_; }
    QByteArray TakeData();
    void Clear();

protected:
    qint64 ReadRaw(void* dst, qint64 n) override;
    void WriteRaw(const void* src, qint64 n) override;

private:
    QByteArray data_;
    qint64 pos_ = 0;
};

// A view of a window [start, end) of another stream: reads inside a record with a stored end
// position cannot run past it. Positions are those of the underlying stream.
class TkvBoundedStream : public TkvStream {
public:
    TkvBoundedStream(TkvStream& base, qint64 end);
    qint64 Size() const override { return end_; }
    qint64 Position() const override { return base_.Position(); }
    void Seek(qint64 pos) override;

protected:
    qint64 ReadRaw(void* dst, qint64 n) override;
    void WriteRaw(const void* src, qint64 n) override;

private:
    TkvStream& base_;
    qint64 end_;
};
