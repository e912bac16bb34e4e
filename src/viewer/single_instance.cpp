#include "viewer/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <unistd.h>

TkvSingleInstance::TkvSingleInstance() = default;
TkvSingleInstance::~TkvSingleInstance() = default;

QString TkvSingleInstance::SocketName() {
    const QByteArray env = qgetenv("KV_VIEWER_SOCKET");
    if (!env.isEmpty()) {
        const QString name = QString::fromLocal8Bit(env);
        return name.startsWith('/') ? name : QDir(QDir::tempPath()).filePath(name);
    }
    // Qt checks that the runtime folder belongs to the user and is private, and makes one when
    // XDG_RUNTIME_DIR is unset.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath() + "/kvviewer-" + QString::number(getuid());
    QDir().mkpath(dir);
    return QDir(dir).filePath("kvviewer.socket");
}

bool TkvSingleInstance::HandOver(const QString& fileName, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(SocketName());
    if (!socket.waitForConnected(1000)) return false;
    QByteArray message = fileName.toUtf8();
    message.append('\n');
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    // The running copy answers once the file is open (or failed to open).
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs)) return socket.bytesAvailable() > 0;
    }
    return true;
}

bool TkvSingleInstance::HandOverOrListen(const QString& fileName, std::function<void(const QString&)> onOpen) {
    if (HandOver(fileName)) return true;
    // Only one start at a time goes on from here: the others wait, then find the winner listening.
    // A start that hangs while holding the lock is not waited for beyond the timeout.
    QLockFile lock(SocketName() + ".lock");
    lock.setStaleLockTime(30000);
    lock.tryLock(20000);
    if (HandOver(fileName)) return true;
    Listen(std::move(onOpen));
    return false; // the lock is released once this copy listens
}

bool TkvSingleInstance::Listen(std::function<void(const QString&)> onOpen) {
    onOpen_ = std::move(onOpen);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = SocketName();
    // Listening with access options renames the new socket over whatever has the name, so a live
    // copy is looked for first. A name nobody answers on is a crashed copy's leftover.
    {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(500)) return false;
    }
    QLocalServer::removeServer(name);
    if (!server_->listen(name)) return false;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            auto serve = [this, client] {
                if (!client->canReadLine()) return;
                const QString name = QString::fromUtf8(client->readLine(64 * 1024)).trimmed();
                if (onOpen_) onOpen_(name);
                client->write("done\n");
                client->flush();
                client->disconnectFromServer();
            };
            connect(client, &QLocalSocket::readyRead, client, serve);
            serve();
        }
    });
    return true;
}
