#include "export/export_registry.h"

#include "base/registry_limits.h"

#include <algorithm>

namespace kv {

namespace {

std::vector<TkvExportFilterInfo>& Entries() {
    static std::vector<TkvExportFilterInfo> entries;
    return entries;
}

std::vector<TkvExportFilterInfo>& Standby() {
    static std::vector<TkvExportFilterInfo> standby;
    return standby;
}

} // namespace

bool RegisterExportFilter(TkvExportFilter* filter, const QByteArray& description,
                          const QByteArray& fileMask) {
    if (!filter) return false;
    const QByteArray className = filter->ClassName();
    for (const auto& e : Entries()) {
        if (e.ClassName == className && e.FileMask == fileMask) {
            if (e.Filter != filter) Standby().push_back({filter, description, fileMask, className});
            return false;
        }
    }
    if (static_cast<int>(Entries().size()) >= kMaxRegistryEntries) return false;
    Entries().push_back({filter, description, fileMask, className});
    return true;
}

void UnregisterExportFilter(TkvExportFilter* filter) {
    auto& standby = Standby();
    std::erase_if(standby, [filter](const TkvExportFilterInfo& e) { return e.Filter == filter; });
    auto& entries = Entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->Filter != filter) continue;
        const auto pos = std::next(it).base();
        // A standby filter of the same class and mask takes over the entry in place.
        for (auto s = standby.begin(); s != standby.end(); ++s) {
            if (s->ClassName == pos->ClassName && s->FileMask == pos->FileMask) {
                *pos = *s;
                standby.erase(s);
                return;
            }
        }
        entries.erase(pos);
        return;
    }
}

const std::vector<TkvExportFilterInfo>& ExportFilters() {
    return Entries();
}

std::vector<TkvExportFilterInfo> ExportFiltersFor(const std::vector<TkvExportFilter*>& own) {
    std::vector<TkvExportFilterInfo> out = Entries();
    const auto ownFilter = [&own](const TkvExportFilterInfo& e) {
        return std::find(own.begin(), own.end(), e.Filter) != own.end();
    };
    for (TkvExportFilterInfo& entry : out) {
        if (ownFilter(entry)) continue;
        for (const auto* list : {&Entries(), &Standby()}) {
            const auto it = std::find_if(list->begin(), list->end(), [&](const TkvExportFilterInfo& e) {
                return ownFilter(e) && e.ClassName == entry.ClassName && e.FileMask == entry.FileMask;
            });
            if (it != list->end()) {
                entry.Filter = it->Filter;
                break;
            }
        }
    }
    return out;
}

void ClearExportFilters() {
    Entries().clear();
    Standby().clear();
}

} // namespace kv
