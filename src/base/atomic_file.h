#pragma once
// The one way a file the user owns is written: the bytes go to a temporary file beside the target,
// which replaces the target in one rename only when Commit succeeds. Destroying the writer without
// a successful Commit removes the temporary file and leaves the target as it was, so a failed or
// interrupted write never leaves a partial or empty file behind. The result keeps the permissions
// of the file it replaces; a new file gets the usual permissions of new files.

#include <QSaveFile>
#include <QString>

class TkvAtomicFile {
public:
    // Creates the temporary file; raises TkvFileError with a one-line message when it cannot.
    explicit TkvAtomicFile(const QString& path);
    ~TkvAtomicFile();
    TkvAtomicFile(const TkvAtomicFile&) = delete;
    TkvAtomicFile& operator=(const TkvAtomicFile&) = delete;

    // Where the bytes go until Commit; valid for the writer's lifetime.
    QIODevice& Device() { return file_; }
    const QString& Path() const { return path_; }

    // Writes all of data; raises TkvFileError when the device refuses.
    void Write(const QByteArray& data);
    // Renames the finished file over the target; raises TkvFileError (the target untouched) when
    // the data could not be written or the rename fails. Refuses an empty result unless allowEmpty:
    // an empty file where a document was meant to be is always a failure of the writer.
    void Commit(bool allowEmpty = false);
    // Drops what was written; the target stays as it was.
    void Discard();

private:
    [[noreturn]] void Fail(const QString& why);

    QSaveFile file_;
    QString path_;
    bool done_ = false;
};

namespace kv {

// Writes a whole file atomically; returns an empty string on success, otherwise the one-line reason.
QString WriteFileAtomically(const QString& path, const QByteArray& data);

} // namespace kv
