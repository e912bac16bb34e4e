#include "core/report.h"

TkvReport::TkvReport() = default;
TkvReport::~TkvReport() = default;

TkvView* TkvReport::FindViewByName(const QByteArray& name) const {
    for (const auto& p : Pages)
        if (TkvView* v = p->FindObject(name)) return v;
    return nullptr;
}
