#pragma once
// A write stream for a file the user owns, over the atomic writer: the target is replaced only on
// Commit; a stream destroyed without Commit leaves the old file as it was.

#include "base/atomic_file.h"
#include "base/stream.h"

class TkvSaveFileStream : public TkvStream {
public:
    // Raises TkvFileError when the temporary file cannot be created.
    explicit TkvSaveFileStream(const QString& path);

    qint64 Size() const override { return size_; }
    qint64 Position() const override { return pos_; }
    void Seek(qint64 pos) override;
    // Renames the finished file over the target; raises TkvFileError when that fails.
    void Commit();

protected:
    qint64 ReadRaw(void* dst, qint64 n) override;
    void WriteRaw(const void* src, qint64 n) override;

private:
    TkvAtomicFile file_;
    qint64 size_ = 0;
    qint64 pos_ = 0;
};
