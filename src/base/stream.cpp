#include "base/stream.h"

#include <QtEndian>
#include <bit>
#include <cstring>

TkvStreamError::TkvStreamError(qint64 offset, std::string what)
    : TkvError("Stream read error: unexpected end of data while reading " + what + " at offset " +
               std::to_string(offset)),
      offset_(offset), item_(std::move(what)) {}

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

namespace {

// Every number in a report stream is little-endian and unaligned; floating-point values are their
// IEEE bits read and written as unsigned integers of the same size.
template <typename T>
T ReadLittleEndian(TkvStream& s, const char* what) {
    uchar b[sizeof(T)];
    s.ReadBuffer(b, sizeof(T), what);
    return qFromLittleEndian<T>(b);
}

template <typename T>
void WriteLittleEndian(TkvStream& s, T v) {
    uchar b[sizeof(T)];
    qToLittleEndian<T>(v, b);
    s.WriteBuffer(b, sizeof(T));
}

} // namespace

uint8_t TkvStream::ReadByte(const char* what) {
    uint8_t v;
    ReadBuffer(&v, 1, what);
    return v;
}

uint16_t TkvStream::ReadWord(const char* what) { return ReadLittleEndian<quint16>(*this, what); }

int32_t TkvStream::ReadInt(const char* what) { return ReadLittleEndian<qint32>(*this, what); }

float TkvStream::ReadSingle(const char* what) {
    return std::bit_cast<float>(ReadLittleEndian<quint32>(*this, what));
}

double TkvStream::ReadDouble(const char* what) {
    return std::bit_cast<double>(ReadLittleEndian<quint64>(*this, what));
}

void TkvStream::WriteWord(uint16_t v) { WriteLittleEndian<quint16>(*this, v); }

void TkvStream::WriteInt(int32_t v) { WriteLittleEndian<qint32>(*this, v); }

void TkvStream::WriteSingle(float v) { WriteLittleEndian<quint32>(*this, std::bit_cast<quint32>(v)); }

void TkvStream::WriteDouble(double v) { WriteLittleEndian<quint64>(*this, std::bit_cast<quint64>(v)); }

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
