#pragma once
// Keeps one running copy per user. The first copy listens on a local socket; a later start
// connects, hands over its file name and waits until the first copy has opened (or failed to
// open) it. A socket left behind by a crashed copy is detected (nobody answers) and replaced.

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

class TkvSingleInstance : public QObject {
public:
    // The socket name: KV_VIEWER_SOCKET when set, otherwise one name per user.
    static QString SocketName();

    // Tries to hand `fileName` (may be empty) to a running copy. True when a running copy took
    // it and answered; false when there is none.
    static bool HandOver(const QString& fileName, int timeoutMs = 30000);

    // Becomes the first copy. `onOpen` is called with each handed-over file name (empty: just
    // activate); the sender is answered when it returns.
    bool Listen(std::function<void(const QString&)> onOpen);

private:
    QLocalServer* server_ = nullptr;
    std::function<void(const QString&)> onOpen_;
};
