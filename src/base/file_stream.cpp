#include "base/file_stream.h"

TkvFileStream::TkvFileStream(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::ReadOnly))
        throw TkvFileError("Cannot open file " + path.toStdString() + ": " +
                           file_.errorString().toStdString());
    size_ = file_.size();
}

void TkvFileStream::Seek(qint64 pos) {
    if (pos < 0 || pos > size_ || !file_.seek(pos)) throw TkvStreamError(pos, "a position outside the file");
    pos_ = pos;
}

qint64 TkvFileStream::ReadRaw(void* dst, qint64 n) {
    const qint64 k = file_.read(static_cast<char*>(dst), n);
    if (k > 0) pos_ += k;
    return k;
}

void TkvFileStream::WriteRaw(const void*, qint64) {
    throw TkvFileError("Cannot write file " + file_.fileName().toStdString() + ": it is open for reading");
}
