#pragma once
// Start-up and shutdown of the library: once per process, before the first report exists and
// after the last one is gone. Later subsystems (progress window, function libraries, parser and
// interpreter, compression hook, page builder, hidden dialog form, designer class) join through
// start-up hooks.

#include <QByteArray>
#include <functional>

namespace kv {

// Where in start-up a hook runs. In order: the text tables, the scratch string list, the two
// bitmaps and the built-in view classes (type bytes 0 to 4, the rich text add-in); then the BeforeNamedValues
// hooks (progress window, installed-functions list, function libraries, parser, interpreter); then the
// library-wide variables and the filled constants list; then the AfterNamedValues hooks (compression hook,
// page builder's list, hidden dialog form).
enum class TkvStartUpStage { BeforeNamedValues, AfterNamedValues };

// Hooks of one stage start in the order they were added. A name that is already present is ignored.
// Adding a hook while the library is running starts it at once. A stop function may be empty.
void AddStartUpHook(const QByteArray& name, std::function<void()> start, std::function<void()> stop,
                    TkvStartUpStage stage = TkvStartUpStage::AfterNamedValues);
bool HasStartUpHook(const QByteArray& name);

// Both are idempotent. Shutdown releases the text tables and the registries (add-in objects,
// designer tools, function libraries; export filters leave theirs when they are destroyed), the
// locale, the bitmaps and the scratch list,
// then stops the hooks in reverse start order (a failing stop is ignored: shutdown must finish),
// then destroys the variables and constants lists.
void StartUp();
void ShutDown();
bool IsStarted();

} // namespace kv
