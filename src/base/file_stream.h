#pragma once
// A read stream over a file on disk, through Qt's buffered file. Files are written only through
// the atomic writer (base/atomic_file.h, base/save_file_stream.h).

#include "base/error.h"
#include "base/stream.h"

#include <QFile>

class TkvFileStream : public TkvStream {
public:
    // Opens the file for reading; raises TkvFileError with a clear message when it cannot be opened.
    explicit TkvFileStream(const QString& path);

    qint64 Size() const override { return size_; }
    qint64 Position() const override { return pos_; }
    void Seek(qint64 pos) override;

protected:
    qint64 ReadRaw(void* dst, qint64 n) override;
    // A read stream: raises TkvFileError.
    void WriteRaw(const void* src, qint64 n) override;

private:
    QFile file_;
    qint64 size_ = 0;
    qint64 pos_ = 0;
};

// A file that cannot be opened, read or written.
class TkvFileError : public TkvError {
public:
    using TkvError::TkvError;
};
