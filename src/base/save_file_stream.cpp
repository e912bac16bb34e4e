#include "base/save_file_stream.h"

#include "base/file_stream.h"

TkvSaveFileStream::TkvSaveFileStream(const QString& path) : file_(path) {}

void TkvSaveFileStream::Seek(qint64 pos) {
    if (pos < 0 || pos > size_ || !file_.Device().seek(pos))
        throw TkvStreamError(pos, "a position outside the file");
    pos_ = pos;
}

void TkvSaveFileStream::Commit() {
    file_.Commit();
}

qint64 TkvSaveFileStream::ReadRaw(void*, qint64) {
    return 0;
}

void TkvSaveFileStream::WriteRaw(const void* src, qint64 n) {
    if (file_.Device().write(static_cast<const char*>(src), n) != n)
        throw TkvFileError("Cannot write file " + file_.Path().toStdString() + ": " +
                           file_.Device().errorString().toStdString());
    pos_ += n;
    size_ = std::max(size_, pos_);
}
