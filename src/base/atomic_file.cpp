#include "base/atomic_file.h"

#include "base/file_stream.h"

TkvAtomicFile::TkvAtomicFile(const QString& path) : file_(path), path_(path) {
    // Writing straight to the target when a temporary file cannot be made would give up atomicity.
    file_.setDirectWriteFallback(false);
    if (!file_.open(QIODevice::WriteOnly)) Fail(file_.errorString());
}

TkvAtomicFile::~TkvAtomicFile() {
    Discard();
}

void TkvAtomicFile::Write(const QByteArray& data) {
    if (done_) Fail(QStringLiteral("the file is already closed"));
    if (file_.write(data) != data.size()) Fail(file_.errorString());
}

void TkvAtomicFile::Commit(bool allowEmpty) {
    if (done_) Fail(QStringLiteral("the file is already closed"));
    if (!allowEmpty && file_.size() == 0) {
        Discard();
        Fail(QStringLiteral("nothing was written"));
    }
    done_ = true;
    if (!file_.commit()) Fail(file_.errorString());
}

void TkvAtomicFile::Discard() {
    if (done_) return;
    done_ = true;
    if (file_.isOpen()) file_.cancelWriting();
    // commit() after cancelWriting() closes the device and removes the temporary file.
    file_.commit();
}

void TkvAtomicFile::Fail(const QString& why) {
    QString line = QStringLiteral("Cannot write file %1: %2").arg(path_, why);
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    throw TkvFileError(line.toStdString());
}

namespace kv {

QString WriteFileAtomically(const QString& path, const QByteArray& data) {
    try {
        TkvAtomicFile file(path);
        file.Write(data);
        file.Commit(true);
    } catch (const TkvFileError& e) {
        return QString::fromStdString(e.what());
    }
    return {};
}

} // namespace kv
