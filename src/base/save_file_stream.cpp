#include "base/save_file_stream.h"

#include "base/file_stream.h"

namespace {

std::string Describe(const QString& path, const QString& error) {
    return "Cannot write file " + path.toStdString() + ": " + error.toStdString();
}

} // namespace

TkvSaveFileStream::TkvSaveFileStream(const QString& path) : file_(path), path_(path) {
    if (!file_.open(QIODevice::WriteOnly)) throw TkvFileError(Describe(path_, file_.errorString()));
}

TkvSaveFileStream::~TkvSaveFileStream() {
    if (file_.isOpen()) file_.cancelWriting();
}

void TkvSaveFileStream::Seek(qint64 pos) {
    if (pos < 0 || pos > size_ || !file_.seek(pos)) throw TkvStreamError(pos, "a position outside the file");
    pos_ = pos;
}

void TkvSaveFileStream::Commit() {
    if (!file_.commit()) throw TkvFileError(Describe(path_, file_.errorString()));
}

qint64 TkvSaveFileStream::ReadRaw(void*, qint64) {
    return 0;
}

void TkvSaveFileStream::WriteRaw(const void* src, qint64 n) {
    if (file_.write(static_cast<const char*>(src), n) != n)
        throw TkvFileError(Describe(path_, file_.errorString()));
    pos_ += n;
    size_ = std::max(size_, pos_);
}
