#include "base/component_directory.h"

TkvComponent* TkvComponent::FindComponent(const QByteArray& name) const {
    for (int i = 0; i < ComponentCount(); ++i) {
        TkvComponent* c = ComponentAt(i);
        if (c && c->ComponentName().compare(name, Qt::CaseInsensitive) == 0) return c;
    }
    return nullptr;
}

TkvComponent* TkvComponentDirectory::FindGlobalComponent(const QByteArray& name) const {
    for (TkvComponent* c : GlobalComponents())
        if (c && c->ComponentName().compare(name, Qt::CaseInsensitive) == 0) return c;
    return nullptr;
}

namespace kv {

namespace {
TkvComponentDirectory* gDirectory = nullptr;
} // namespace

void SetComponentDirectory(TkvComponentDirectory* directory) {
    gDirectory = directory;
}
TkvComponentDirectory* ComponentDirectory() {
    return gDirectory;
}

} // namespace kv
