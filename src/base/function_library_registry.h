#pragma once
// The function library registry: one instance per registered class, asked in registration order
// (the standard library first, the database library second).

#include "base/function_library.h"

#include <QByteArray>
#include <functional>
#include <memory>
#include <vector>

// Creates an instance of one library class (the class's constructor registers its descriptions).
using TkvFunctionLibraryFactory = std::function<std::unique_ptr<TkvFunctionLibrary>()>;

namespace kv {

// Ignored (true) when a library of that class name is registered; otherwise an instance is created
// and appended. False when the registry already holds 64 libraries or the factory makes nothing.
bool RegisterFunctionLibrary(const QByteArray& className, const TkvFunctionLibraryFactory& create);
// Removes the instance's function descriptions (FunctionLibraryRemovedHook), destroys it and closes
// the gap. Nothing happens when the class is not registered.
void UnregisterFunctionLibrary(const QByteArray& className);
// Shutdown: unregisters every library, the last registered first.
void UnregisterAllFunctionLibraries();

// The registered libraries in registration order (owned by the registry).
std::vector<TkvFunctionLibrary*> FunctionLibraries();

// Forwards a function description (library, name, category, description) to the installed-functions
// list through FunctionDescriptionHook; nothing happens while no list is installed.
void RegisterFunctionDescription(TkvFunctionLibrary* library, const QByteArray& name,
                                 const QByteArray& category, const QByteArray& description);

// Installed by the installed-functions list of the engine.
extern std::function<void(TkvFunctionLibrary*, const QByteArray& name, const QByteArray& category,
                          const QByteArray& description)>
    FunctionDescriptionHook;
extern std::function<void(TkvFunctionLibrary&)> FunctionLibraryRemovedHook;

} // namespace kv
