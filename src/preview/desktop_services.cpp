#include "preview/desktop_services.h"

#include "base/codepage.h"
#include "core/store/shell_open.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace kv {

QUrl SafeLinkTarget(const QByteArray& target) {
    const QString text = kv::DecodeText(target, 1).trimmed();
    if (text.isEmpty()) return {};
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && (scheme == "http" || scheme == "https") && !url.host().isEmpty()) return url;
    if (url.isValid() && scheme == "mailto" && !url.path().isEmpty()) return url;
    // A plain path (or file: URL) to an existing document; programs and launchers are refused.
    const QString path = scheme == "file" ? url.toLocalFile() : (scheme.size() <= 1 ? text : QString());
    if (path.isEmpty()) return {};
    const QFileInfo info(path);
    static const QStringList kRefused = {"exe", "com", "bat", "cmd", "sh", "bash", "desktop", "run",
                                         "bin", "appimage", "jar", "py", "pl", "msi", "scr", "vbs", "js"};
    if (!info.exists() || !info.isFile() || info.isExecutable() || kRefused.contains(info.suffix().toLower()))
        return {};
    return QUrl::fromLocalFile(info.absoluteFilePath());
}

void InstallDesktopServices() {
    kv::SetShellOpenHook([](const QByteArray& target) {
        const QUrl url = SafeLinkTarget(target);
        return url.isValid() && QDesktopServices::openUrl(url);
    });
}

} // namespace kv
