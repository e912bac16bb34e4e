#include "script/installed_functions.h"

#include "base/function_library.h"
#include "base/function_library_registry.h"
#include "base/library_texts.h"

#include <algorithm>

TkvInstalledFunctions::~TkvInstalledFunctions() {
    if (!installed_) return;
    kv::FunctionDescriptionHook = nullptr;
    kv::FunctionLibraryRemovedHook = nullptr;
}

void TkvInstalledFunctions::Install() {
    kv::FunctionDescriptionHook = [this](TkvFunctionLibrary* library, const QByteArray& name,
                                         const QByteArray& category, const QByteArray& description) {
        Add(library, name, category, description);
    };
    kv::FunctionLibraryRemovedHook = [this](TkvFunctionLibrary& library) { RemoveLibrary(library); };
    installed_ = true;
}

void TkvInstalledFunctions::Add(TkvFunctionLibrary* library, const QByteArray& name, const QByteArray& category,
                                const QByteArray& description) {
    if (category.isEmpty()) return;
    for (const TkvFunctionDesc& d : entries_)
        if (d.Name == name) return;
    TkvFunctionDesc d;
    d.Library = library;
    d.LibraryClass = library ? QByteArray(library->ClassName()) : QByteArray();
    d.Name = name;
    d.Category = category;
    d.Description = description;
    entries_.push_back(std::move(d));
}

TkvStringList TkvInstalledFunctions::Categories() const {
    TkvStringList out;
    for (const TkvFunctionDesc& d : entries_)
        if (!out.contains(d.Category)) out.append(d.Category);
    std::sort(out.begin(), out.end());
    return out;
}

void TkvInstalledFunctions::FunctionsOfCategory(const QByteArray& category, TkvStringList& out) const {
    out.clear();
    const bool all = category == kv::BuiltInLibraryText(55348);
    for (const TkvFunctionDesc& d : entries_)
        if (all || d.Category.compare(category, Qt::CaseInsensitive) == 0) out.append(d.Name);
    std::sort(out.begin(), out.end());
}

QByteArray TkvInstalledFunctions::Description(const QByteArray& name) const {
    for (const TkvFunctionDesc& d : entries_)
        if (d.Name.compare(name, Qt::CaseInsensitive) == 0) return d.Description;
    return {};
}

void TkvInstalledFunctions::RemoveLibrary(const TkvFunctionLibrary& library) {
    const QByteArray cls = library.ClassName();
    std::erase_if(entries_, [&](const TkvFunctionDesc& d) { return d.LibraryClass == cls; });
}
