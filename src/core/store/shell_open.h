#pragma once
// Opening a link target ("URL" objects of prepared pages) with the desktop. Core never starts
// programs itself: it hands the target to a hook that the widget layer installs, which decides
// what it is willing to open (web and mail links, existing documents). Without a hook nothing opens.

#include <QByteArray>
#include <functional>

namespace kv {

// Returns whether the target was opened.
using TkvShellOpenHook = std::function<bool(const QByteArray& target)>;

void SetShellOpenHook(TkvShellOpenHook hook);
bool ShellOpen(const QByteArray& target);

} // namespace kv
