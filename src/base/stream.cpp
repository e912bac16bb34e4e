#include "base/stream.h"

#include <QtEndian>
#include <cstring>

TkvStreamError::TkvStreamError(qint64 offset, std::string what)
    : offset_(offset), item_(std::move(what)) {
    message_ = "Stream read error: unexpected end of data while reading " + item_ + " at offset " +
               std::to_string(offset_);
}

void TkvStream::Require(qint64 n, const char* what) const {
    if (n < 0 || n > Remaining()) Fail(what);
}

void TkvStream::Fail(const char* what) const { throw TkvStreamError(Position(), what); }

void TkvStream::ReadBuffer(void* dst, qint64 n, const char* what) {
    Require(n, what);
    if (n == 0) return;
    if (ReadRaw(dst, n) != n) Fail(what);
}

QByteArray TkvStream::ReadBytes(qint64 n, const char* what) {
    Require(n, what);
    QByteArray out(static_cast<qsizetype>(n), Qt::Uninitialized);
    ReadBuffer(out.data(), n, what);
    return out;
}

void TkvStream::WriteBuffer(const void* src, qint64 n) {
    if (n > 0) WriteRaw(src, n);
}

uint8_t TkvStream::ReadByte(const char* what) {
    uint8_t v;
    ReadBuffer(&v, 1, what);
    return v;
}

uint16_t TkvStream::ReadWord(const char* what) {
    uchar b[2];
    ReadBuffer(b, 2, what);
    return qFromLittleEndian<quint16>(b);
}

int32_t TkvStream::ReadInt(const char* what) {
    uchar b[4];
    ReadBuffer(b, 4, what);
    return qFromLittleEndian<qint32>(b);
}

float TkvStream::ReadSingle(const char* what) {
    uchar b[4];
    ReadBuffer(b, 4, what);
    quint32 bits = qFromLittleEndian<quint32>(b);
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

double TkvStream::ReadDouble(const char* what) {
    uchar b[8];
    ReadBuffer(b, 8, what);
    quint64 bits = qFromLittleEndian<quint64>(b);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

void TkvStream::WriteWord(uint16_t v) {
    uchar b[2];
    qToLittleEndian<quint16>(v, b);
    WriteBuffer(b, 2);
}

void TkvStream::WriteInt(int32_t v) {
    uchar b[4];
    qToLittleEndian<qint32>(v, b);
    WriteBuffer(b, 4);
}

void TkvStream::WriteSingle(float v) {
    quint32 bits;
    std::memcpy(&bits, &v, 4);
    uchar b[4];
    qToLittleEndian<quint32>(bits, b);
    WriteBuffer(b, 4);
}

void TkvStream::WriteDouble(double v) {
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    uchar b[8];
    qToLittleEndian<quint64>(bits, b);
    WriteBuffer(b, 8);
}

// --- memory stream

void TkvMemoryStream::Seek(qint64 pos) {
    if (pos < 0 || pos > data_.size()) throw TkvStreamError(pos, "a position outside the stream");
    pos_ = pos;
}

QByteArray TkvMemoryStream::TakeData() {
    pos_ = 0;
    return std::exchange(data_, QByteArray());
}

void TkvMemoryStream::Clear() {
    data_.clear();
    pos_ = 0;
}

qint64 TkvMemoryStream::ReadRaw(void* dst, qint64 n) {
    const qint64 k = std::min(n, data_.size() - pos_);
    std::memcpy(dst, data_.constData() + pos_, static_cast<size_t>(k));
    pos_ += k;
    return k;
}

void TkvMemoryStream::WriteRaw(const void* src, qint64 n) {
    const qint64 end = pos_ + n;
    if (end > data_.size()) data_.resize(static_cast<qsizetype>(end));
    std::memcpy(data_.data() + pos_, src, static_cast<size_t>(n));
    pos_ = end;
}

// --- bounded stream

TkvBoundedStream::TkvBoundedStream(TkvStream& base, qint64 end) : base_(base), end_(end) {
    if (end_ < base_.Position() || end_ > base_.Size()) base_.Fail("a record end outside the stream");
}

void TkvBoundedStream::Seek(qint64 pos) {
    if (pos > end_) throw TkvStreamError(pos, "a position outside the record");
    base_.Seek(pos);
}

qint64 TkvBoundedStream::ReadRaw(void* dst, qint64 n) { return base_.ReadBuffer(dst, n), n; }

void TkvBoundedStream::WriteRaw(const void* src, qint64 n) { base_.WriteBuffer(src, n); }
