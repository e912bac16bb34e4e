#include "base/function_library_registry.h"

#include "base/registry_limits.h"

namespace kv {

std::function<void(TkvFunctionLibrary*, const QByteArray&, const QByteArray&, const QByteArray&)>
    FunctionDescriptionHook;
std::function<void(TkvFunctionLibrary&)> FunctionLibraryRemovedHook;

namespace {

std::vector<std::unique_ptr<TkvFunctionLibrary>>& Libraries() {
    static std::vector<std::unique_ptr<TkvFunctionLibrary>> libraries;
    return libraries;
}

} // namespace

bool RegisterFunctionLibrary(const QByteArray& className, const TkvFunctionLibraryFactory& create) {
    for (const auto& lib : Libraries())
        if (className == lib->ClassName()) return true;
    if (static_cast<int>(Libraries().size()) >= kMaxRegistryEntries || !create) return false;
    std::unique_ptr<TkvFunctionLibrary> lib = create();
    if (!lib) return false;
    Libraries().push_back(std::move(lib));
    return true;
}

void UnregisterFunctionLibrary(const QByteArray& className) {
    auto& libs = Libraries();
    for (auto it = libs.begin(); it != libs.end(); ++it) {
        if (className != (*it)->ClassName()) continue;
        std::unique_ptr<TkvFunctionLibrary> lib = std::move(*it);
        libs.erase(it);
        if (FunctionLibraryRemovedHook) FunctionLibraryRemovedHook(*lib);
        return;
    }
}

void UnregisterAllFunctionLibraries() {
    while (!Libraries().empty())
        UnregisterFunctionLibrary(Libraries().back()->ClassName());
}

std::vector<TkvFunctionLibrary*> FunctionLibraries() {
    std::vector<TkvFunctionLibrary*> out;
    for (const auto& lib : Libraries())
        out.push_back(lib.get());
    return out;
}

void RegisterFunctionDescription(TkvFunctionLibrary* library, const QByteArray& name,
                                 const QByteArray& category, const QByteArray& description) {
    if (FunctionDescriptionHook) FunctionDescriptionHook(library, name, category, description);
}

} // namespace kv
