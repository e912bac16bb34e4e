#pragma once
// Keeps one running copy per user. The first copy listens on a local socket in the user's private
// runtime folder; a later start connects, hands over its file name and waits until the first copy
// has opened (or failed to open) it. Starts that race each other (a file manager opening several
// files at once) are put in order by a lock file beside the socket: the one holding it either finds
// a copy to hand over to or becomes the first copy. A socket nobody answers on is replaced only by
// the lock holder, so a live copy's socket is never removed.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

class TkvSingleInstance : public QObject {
public:
    TkvSingleInstance();
    ~TkvSingleInstance() override;

    // The socket's full path: KV_VIEWER_SOCKET when set (a bare name lies in the temporary folder),
    // otherwise "kvviewer.socket" in XDG_RUNTIME_DIR (Qt's private runtime folder when unset).
    static QString SocketName();

    // Tries to hand `fileName` (may be empty) to a running copy. True when a running copy took
    // it and answered; false when there is none.
    static bool HandOver(const QString& fileName, int timeoutMs = 30000);

    // The whole start: hands the file to a running copy (true: this copy should end), or becomes the
    // first copy (false) and calls `onOpen` with each handed-over file name (empty: just activate);
    // the sender is answered when it returns. `onOpen` is set before anyone can connect.
    bool HandOverOrListen(const QString& fileName, std::function<void(const QString&)> onOpen);

    // Becomes the first copy without the election (the caller holds the lock or needs none).
    bool Listen(std::function<void(const QString&)> onOpen);

private:
    QLocalServer* server_ = nullptr;
    std::function<void(const QString&)> onOpen_;
};
