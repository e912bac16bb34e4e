#include "viewer/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

QString TkvSingleInstance::SocketName() {
    const QByteArray env = qgetenv("KV_VIEWER_SOCKET");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = QDir::home().dirName();
    return QStringLiteral("kvviewer-") + user;
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

bool TkvSingleInstance::Listen(std::function<void(const QString&)> onOpen) {
    onOpen_ = std::move(onOpen);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(SocketName())) {
        // Nobody answered HandOver, so whatever holds the name is stale.
        QLocalServer::removeServer(SocketName());
        if (!server_->listen(SocketName())) return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            auto serve = [this, client] {
                if (!client->canReadLine()) return;
                const QString name = QString::fromUtf8(client->readLine()).trimmed();
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
