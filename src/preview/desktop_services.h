#pragma once
// Link targets of prepared pages opened with the desktop's default handler.

#include <QByteArray>
#include <QUrl>

namespace kv {

// What a link target may open as: a web or mail address, or an existing document. Anything else
// (other schemes, missing files, programs and launchers) yields an invalid URL.
QUrl SafeLinkTarget(const QByteArray& target);

// Installs the shell-open hook of the core over QDesktopServices, limited to SafeLinkTarget.
void InstallDesktopServices();

} // namespace kv
