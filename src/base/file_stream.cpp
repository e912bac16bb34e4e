#include "base/file_stream.h"

TkvFileStream::TkvFileStream(const QString& path, Mode mode) : file_(path) {
    const bool ok = mode == Mode::Read ? file_.open(QIODevice::ReadOnly)
                                       : file_.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (!ok)
        throw TkvFileError("Cannot open file " + path.toStdString() + ": " + file_.errorString().toStdString());
    size_ = mode == Mode::Read ? file_.size() : 0;
}

void TkvFileStream::Seek(qint64 pos) {
    if (pos < 0 || pos > size_ || !file_.seek(pos)) throw TkvStreamError(pos, "a position outside the file");
    pos_ = pos;
}

void TkvFileStream::Flush() {
    if (!file_.flush()) throw TkvFileError("Cannot write file: " + file_.errorString().toStdString());
}

qint64 TkvFileStream::ReadRaw(void* dst, qint64 n) {
    const qint64 k = file_.read(static_cast<char*>(dst), n);
    if (k > 0) pos_ += k;
    return k;
}

void TkvFileStream::WriteRaw(const void* src, qint64 n) {
    if (file_.write(static_cast<const char*>(src), n) != n)
        throw TkvFileError("Cannot write file: " + file_.errorString().toStdString());
    pos_ += n;
    size_ = std::max(size_, pos_);
}
