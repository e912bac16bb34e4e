// The atomic writer every file a user owns goes through.
#include "base/atomic_file.h"
#include "base/file_stream.h"
#include "base/save_file_stream.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList FilesIn(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

TEST(AtomicFile, TargetChangesOnlyOnCommit) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.bin");
    WriteFile(path, "old");
    {
        TkvAtomicFile file(path);
        file.Write("new contents");
        EXPECT_EQ(ReadFile(path), "old");
        file.Commit();
    }
    EXPECT_EQ(ReadFile(path), "new contents");
    EXPECT_EQ(FilesIn(dir), QStringList{"out.bin"});

    // Abandoned (an exception on the way, a failed writer): the old file stays, nothing is left beside it.
    {
        TkvAtomicFile file(path);
        file.Write("half");
    }
    EXPECT_EQ(ReadFile(path), "new contents");
    {
        TkvAtomicFile file(path);
        file.Write("half");
        file.Discard();
        EXPECT_THROW(file.Commit(), TkvFileError);
    }
    EXPECT_EQ(ReadFile(path), "new contents");
    EXPECT_EQ(FilesIn(dir), QStringList{"out.bin"});
}

TEST(AtomicFile, EmptyResultIsRefusedUnlessAllowed) {
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.pdf");
    WriteFile(path, "a document");
    {
        TkvAtomicFile file(path);
        EXPECT_THROW(file.Commit(), TkvFileError);
    }
    EXPECT_EQ(ReadFile(path), "a document");
    EXPECT_EQ(kv::WriteFileAtomically(path, {}), QString());
    EXPECT_EQ(ReadFile(path), QByteArray());
}

TEST(AtomicFile, KeepsPermissionsOfTheReplacedFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("shared.kvp");
    WriteFile(path, "x");
    const auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                             QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::WriteGroup;
    ASSERT_TRUE(QFile::setPermissions(path, permissions));
    EXPECT_EQ(kv::WriteFileAtomically(path, "y"), QString());
    EXPECT_EQ(QFile::permissions(path), permissions);
    // A new file is readable by others, like any file the user creates (not private like a temporary).
    const QString fresh = dir.filePath("fresh.kvp");
    EXPECT_EQ(kv::WriteFileAtomically(fresh, "z"), QString());
    EXPECT_TRUE(QFile::permissions(fresh) & QFileDevice::ReadOwner);
    EXPECT_TRUE(QFile::permissions(fresh) & QFileDevice::WriteOwner);
}

TEST(AtomicFile, FailuresAreOneLineNamingTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("no/such/dir/out.png");
    try {
        TkvAtomicFile file(path);
        FAIL() << "a file in a missing folder was opened";
    } catch (const TkvFileError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find(path.toStdString()), std::string::npos) << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
    const QString reason = kv::WriteFileAtomically(path, "x");
    EXPECT_TRUE(reason.contains(path)) << reason.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST(AtomicFile, SaveStreamSeeksBackAndCommits) {
    QTemporaryDir dir;
    const QString path = dir.filePath("s.kvp");
    {
        TkvSaveFileStream s(path);
        s.WriteInt(0);
        s.WriteByte(7);
        s.Seek(0);
        s.WriteInt(5);
        s.Seek(s.Size());
        EXPECT_THROW(s.Seek(s.Size() + 1), TkvStreamError);
        s.Commit();
    }
    EXPECT_EQ(ReadFile(path), QByteArray("\x05\x00\x00\x00\x07", 5));
    // The read stream refuses writes instead of truncating anything.
    TkvFileStream in(path);
    EXPECT_THROW(in.WriteByte(1), TkvFileError);
    EXPECT_EQ(ReadFile(path).size(), 5);
}
