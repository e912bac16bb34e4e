#include "core/property_table.h"

TkvPropertyDescriptor& TkvPropertyTable::Add(TkvPropertyDescriptor descriptor) {
    descriptor.Name = descriptor.Name.left(32);
    descriptor.UpperName = descriptor.Name.toUpper();
    return own_.emplace_back(std::move(descriptor));
}

const TkvPropertyDescriptor* TkvPropertyTable::Find(const QByteArray& name) const {
    const QByteArray up = name.toUpper();
    for (const TkvPropertyTable* t = this; t; t = t->base_)
        for (auto it = t->own_.rbegin(); it != t->own_.rend(); ++it)
            if (it->UpperName == up) return &*it;
    return nullptr;
}

void kv::SetEnumItems(TkvPropertyDescriptor& d, const QByteArray& names, const TkvVariant& values) {
    d.EnumItems = [names, values](TkvObject&) { return std::make_pair(names, values); };
}
