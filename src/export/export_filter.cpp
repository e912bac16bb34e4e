#include "export/export_filter.h"

#include "export/export_registry.h"

TkvExportFilter::~TkvExportFilter() {
    kv::UnregisterExportFilter(this);
}

void TkvExportFilter::ClearLines() {
    Lines.clear();
}

int TkvExportFilter::ShowOptionsDialog() {
    if (!ShowDialog || !OptionsDialog) return kvmr::Ok;
    return OptionsDialog(*this);
}
