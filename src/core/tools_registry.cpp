#include "core/tools_registry.h"

#include "core/views/view_factory.h"

namespace kv {

namespace {

std::vector<TkvToolsInfo>& Entries() {
    static std::vector<TkvToolsInfo> entries;
    return entries;
}

} // namespace

bool RegisterTool(const TkvToolsInfo& tool) {
    if (static_cast<int>(Entries().size()) >= kMaxRegistryEntries) return false;
    Entries().push_back(tool);
    return true;
}

const std::vector<TkvToolsInfo>& Tools() {
    return Entries();
}

void ClearTools() {
    Entries().clear();
}

} // namespace kv
