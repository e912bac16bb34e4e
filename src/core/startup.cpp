#include "core/startup.h"

#include "core/views/band_control_views.h"
#include "base/function_library_registry.h"
#include "core/library_tables.h"
#include "core/locale.h"
#include "core/views/standard_views.h"
#include "core/tools_registry.h"
#include "core/views/view_factory.h"

#include <vector>

namespace kv {

namespace {

struct Hook {
    QByteArray Name;
    std::function<void()> Start;
    std::function<void()> Stop;
    TkvStartUpStage Stage;
    bool Running = false;
};

std::vector<Hook>& Hooks() {
    static std::vector<Hook> hooks;
    return hooks;
}

bool gStarted = false;

// Hooks may add hooks while they run, so the list is walked by index and the function copied.
void StartHook(size_t i) {
    Hooks()[i].Running = true;
    const std::function<void()> start = Hooks()[i].Start;
    if (start) start();
}

void StartStage(TkvStartUpStage stage) {
    for (size_t i = 0; i < Hooks().size(); ++i)
        if (Hooks()[i].Stage == stage && !Hooks()[i].Running) StartHook(i);
}

} // namespace

void AddStartUpHook(const QByteArray& name, std::function<void()> start, std::function<void()> stop,
                    TkvStartUpStage stage) {
    if (HasStartUpHook(name)) return;
    Hooks().push_back({name, std::move(start), std::move(stop), stage});
    if (gStarted) StartHook(Hooks().size() - 1);
}

bool HasStartUpHook(const QByteArray& name) {
    for (const Hook& h : Hooks())
        if (h.Name == name) return true;
    return false;
}

bool IsStarted() {
    return gStarted;
}

void StartUp() {
    if (gStarted) return;
    gStarted = true;
    FillLibraryTables();
    ScratchStrings().clear();
    CreateLibraryBitmaps();
    // The view classes of the type bytes 0 to 4 and the rich text add-in.
    RegisterStandardViews();
    RegisterBandAndControlViews();
    StartStage(TkvStartUpStage::BeforeNamedValues);
    CreateNamedValueLists();
    StartStage(TkvStartUpStage::AfterNamedValues);
}

void ShutDown() {
    if (!gStarted) return;
    gStarted = false;
    ReleaseLibraryTables();
    UnregisterAllAddIns();
    ClearTools();
    // Libraries go before the hooks stop, so that the installed-functions list still exists while
    // each library's descriptions are removed from it.
    UnregisterAllFunctionLibraries();
    TkvLocale::Release();
    ReleaseLibraryBitmaps();
    ScratchStrings().clear();

    // Reverse start order: the AfterNamedValues hooks, then the BeforeNamedValues ones, each stage
    // last-added first.
    std::vector<size_t> order;
    for (TkvStartUpStage stage : {TkvStartUpStage::AfterNamedValues, TkvStartUpStage::BeforeNamedValues})
        for (size_t i = Hooks().size(); i-- > 0;)
            if (Hooks()[i].Stage == stage && Hooks()[i].Running) order.push_back(i);
    for (size_t i : order) {
        Hooks()[i].Running = false;
        const std::function<void()> stop = Hooks()[i].Stop;
        try {
            if (stop) stop();
        } catch (...) {
        }
    }
    ReleaseNamedValueLists();
}

} // namespace kv
