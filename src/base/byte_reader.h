#pragma once
// Little-endian reading over borrowed bytes for the graphic decoders. Every read checks what is
// left and throws TkvGraphicFormatError; the public decoders catch it and report failure (a null
// image, an invalid metafile), so a bad picture never escapes as an exception.

#include "base/error.h"

#include <QByteArrayView>
#include <cstdint>
#include <stdexcept>

class TkvGraphicFormatError : public TkvError {
public:
    using TkvError::TkvError;
};

class TkvByteReader {
public:
    explicit TkvByteReader(QByteArrayView bytes) : data_(bytes) {}

    qsizetype Pos() const { return pos_; }
    qsizetype Size() const { return data_.size(); }
    qsizetype Left() const { return data_.size() - pos_; }
    QByteArrayView Bytes() const { return data_; }

    void Require(qsizetype n) const {
        if (n < 0 || n > Left()) throw TkvGraphicFormatError("graphic data ends early");
    }
    void Seek(qsizetype pos) {
        if (pos < 0 || pos > data_.size()) throw TkvGraphicFormatError("graphic offset outside the data");
        pos_ = pos;
    }
    void Skip(qsizetype n) {
        Require(n);
        pos_ += n;
    }
    QByteArrayView Take(qsizetype n) {
        Require(n);
        QByteArrayView v = data_.sliced(pos_, n);
        pos_ += n;
        return v;
    }

    uint8_t U8() {
        Require(1);
        return static_cast<uint8_t>(data_[pos_++]);
    }
    uint16_t U16() {
        Require(2);
        uint16_t v = At(pos_) | At(pos_ + 1) << 8;
        pos_ += 2;
        return v;
    }
    uint32_t U32() {
        Require(4);
        uint32_t v = uint32_t(At(pos_)) | uint32_t(At(pos_ + 1)) << 8 | uint32_t(At(pos_ + 2)) << 16 |
                     uint32_t(At(pos_ + 3)) << 24;
        pos_ += 4;
        return v;
    }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    float F32() {
        uint32_t bits = U32();
        float f;
        static_assert(sizeof f == sizeof bits);
        __builtin_memcpy(&f, &bits, sizeof f);
        return f;
    }

    // Reads at an absolute position without moving.
    uint16_t U16At(qsizetype pos) const {
        if (pos < 0 || pos > data_.size() - 2) throw TkvGraphicFormatError("graphic data ends early");
        return At(pos) | At(pos + 1) << 8;
    }
    uint32_t U32At(qsizetype pos) const {
        if (pos < 0 || pos > data_.size() - 4) throw TkvGraphicFormatError("graphic data ends early");
        return uint32_t(At(pos)) | uint32_t(At(pos + 1)) << 8 | uint32_t(At(pos + 2)) << 16 |
               uint32_t(At(pos + 3)) << 24;
    }

private:
    uint32_t At(qsizetype i) const { return static_cast<uint8_t>(data_[i]); }

    QByteArrayView data_;
    qsizetype pos_ = 0;
};
