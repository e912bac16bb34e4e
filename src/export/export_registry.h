#pragma once
// The export filter registry. Filters register themselves when created and unregister when
// destroyed; the preview's save dialog lists the entries in registration order.

#include "export/export_filter.h"

#include <QByteArray>
#include <vector>

struct TkvExportFilterInfo {
    TkvExportFilter* Filter = nullptr; // not owned
    QByteArray Description;
    QByteArray FileMask; // such as "*.txt"
    // The filter's class name when it registered: unregistering runs from destructors, where the
    // object can no longer answer for its most derived class.
    QByteArray ClassName;
};

namespace kv {

// Refused (false) when an entry with a filter of the same class name and the same file mask exists,
// or when the registry already holds 64 entries. A filter refused for a duplicate is kept on
// standby: when the registered filter of its class and mask unregisters, the standby one takes over
// its entry, so a second document window does not lose its export formats when the first closes.
bool RegisterExportFilter(TkvExportFilter* filter, const QByteArray& description, const QByteArray& fileMask);

// Removes the entry of this filter object (the last one when it has several) and closes the gap.
// Entries are matched by object, not only by class name, so that no entry is left pointing to a
// destroyed filter while another filter of the class lives on.
void UnregisterExportFilter(TkvExportFilter* filter);

const std::vector<TkvExportFilterInfo>& ExportFilters();

// The entries of ExportFilters in their order, each served by the caller's own filter of the
// entry's class and mask when it has one (registered or on standby), else by the registered
// filter. A document window exports through its own filter objects, so that two windows never
// share options, dialogs or the state of a running export.
std::vector<TkvExportFilterInfo> ExportFiltersFor(const std::vector<TkvExportFilter*>& own);
// Shutdown: forget every entry.
void ClearExportFilters();

} // namespace kv
