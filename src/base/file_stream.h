#pragma once
// A stream over a file on disk, read through Qt's buffered file.

#include "base/stream.h"

#include <QFile>

class TkvFileStream : public TkvStream {
public:
    enum class Mode { Read, Write };
    // Opens the file; raises TkvFileError with a clear message when it cannot be opened.
    TkvFileStream(const QString& path, Mode mode);

    qint64 Size() const override { return size_; }
    qint64 Position() const override { return pos_; }
    void Seek(qint64 pos) override;
    // Writes buffered data; raises when the device reports an error.
    void Flush();

protected:
    qint64 ReadRaw(void* dst, qint64 n) override;
    void WriteRaw(const void* src, qint64 n) override;

private:
    QFile file_;
    qint64 size_ = 0;
    qint64 pos_ = 0;
};

// A file that cannot be opened, read or written.
class TkvFileError : public std::exception {
public:
    explicit TkvFileError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};
