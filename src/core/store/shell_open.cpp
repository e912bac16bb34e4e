#include "core/store/shell_open.h"

namespace kv {

namespace {

TkvShellOpenHook& Hook() {
    static TkvShellOpenHook hook;
    return hook;
}

} // namespace

void SetShellOpenHook(TkvShellOpenHook hook) {
    Hook() = std::move(hook);
}

bool ShellOpen(const QByteArray& target) {
    return Hook() ? Hook()(target) : false;
}

} // namespace kv
