#pragma once
// Properties by name. Each class describes every property it adds once: its name, the kind the
// object inspector shows, how a script reads and writes it, and the inspector's editor. The same
// descriptor serves GetProperty and SetProperty (scripts, the engine) and the listed table the
// inspector reads (TkvObject::PropertyTable, filled by RegisterProperties from the descriptors).

#include "base/variant.h"
#include "core/library_context.h"

#include <QByteArray>
#include <deque>
#include <functional>
#include <type_traits>
#include <utility>

struct TkvPropertyDescriptor {
    QByteArray Name;      // the inspector's spelling; names are matched without regard to case
    QByteArray UpperName; // Name in upper case, as lookups compare it
    uint16_t Kind = 0;    // kvpk bits the inspector shows
    // What a script reads; without a getter the property reads as null.
    std::function<TkvVariant(TkvObject&)> Get;
    // What a script writes; without a setter writing does nothing.
    std::function<void(TkvObject&, const TkvVariant&)> Set;
    // The inspector's editor, asked for when the table is listed (the designer installs editors
    // after the classes exist).
    std::function<TkvEditorProc(TkvObject&)> Editor;
    // Enumerated values: the item names (separated by ';') and their values, or null values for
    // items that stand for themselves. Asked for when the table is listed.
    std::function<std::pair<QByteArray, TkvVariant>(TkvObject&)> EnumItems;
};

// The descriptors of one class, in front of those of its base class: a name the class describes
// again replaces the base class's descriptor for objects of this class.
class TkvPropertyTable {
public:
    explicit TkvPropertyTable(const TkvPropertyTable* base = nullptr) : base_(base) {}

    // Adds a descriptor; the reference stays valid as long as the table.
    TkvPropertyDescriptor& Add(TkvPropertyDescriptor descriptor);
    // The descriptor of this class or the nearest base class that has the name; null when none has.
    const TkvPropertyDescriptor* Find(const QByteArray& name) const;

private:
    const TkvPropertyTable* base_;
    std::deque<TkvPropertyDescriptor> own_;
};

namespace kv {
// The descriptor editor that reads `hook` of the active context's editors when the table is listed.
inline std::function<TkvEditorProc(TkvObject&)> EditorOf(TkvEditorProc TkvEditorHooks::*hook) {
    return [hook](TkvObject&) { return Library().Editors.*hook; };
}
} // namespace kv

// Fills a class's table with typed getters and setters: `TkvPropertyBuilder<TkvMemoView> b(table)`.
template <class T> class TkvPropertyBuilder {
public:
    using Getter = std::function<TkvVariant(T&)>;
    using Setter = std::function<void(T&, const TkvVariant&)>;

    explicit TkvPropertyBuilder(TkvPropertyTable& table) : table_(table) {}

    TkvPropertyDescriptor& Add(const QByteArray& name, uint16_t kind, Getter get = {}, Setter set = {}) {
        TkvPropertyDescriptor d;
        d.Name = name;
        d.Kind = kind;
        if (get) d.Get = [get = std::move(get)](TkvObject& o) { return get(static_cast<T&>(o)); };
        if (set)
            d.Set = [set = std::move(set)](TkvObject& o, const TkvVariant& v) { set(static_cast<T&>(o), v); };
        return table_.Add(std::move(d));
    }
    // A property with an editor and no value of its own for scripts (the inspector's "Font").
    // `hook` names one of the designer's editors in the active library context, read when the
    // table is listed.
    TkvPropertyDescriptor& AddEditor(const QByteArray& name, uint16_t kind,
                                     TkvEditorProc TkvEditorHooks::*hook) {
        TkvPropertyDescriptor& d = Add(name, kind);
        d.Editor = kv::EditorOf(hook);
        return d;
    }
    // The base class's descriptor of `name` with another inspector kind and editor hook (the same
    // field edited another way in this class).
    TkvPropertyDescriptor& Refine(const QByteArray& name, uint16_t kind,
                                  TkvEditorProc TkvEditorHooks::*hook) {
        TkvPropertyDescriptor& d = table_.Add(Inherited(name));
        d.Kind = kind;
        d.Editor = kv::EditorOf(hook);
        return d;
    }
    // The base class's descriptor of `name` whose writing also runs `after` (a side effect this
    // class adds to the inherited field).
    TkvPropertyDescriptor& Extend(const QByteArray& name, Setter after) {
        TkvPropertyDescriptor& d = table_.Add(Inherited(name));
        d.Set = [set = d.Set, after = std::move(after)](TkvObject& o, const TkvVariant& v) {
            if (set) set(o, v);
            after(static_cast<T&>(o), v);
        };
        return d;
    }

private:
    TkvPropertyDescriptor Inherited(const QByteArray& name) const {
        const TkvPropertyDescriptor* base = table_.Find(name);
        TkvPropertyDescriptor d = base ? *base : TkvPropertyDescriptor{};
        d.Name = name;
        return d;
    }

    TkvPropertyTable& table_;
};

namespace kv {
// Gives a descriptor fixed enumerated items.
void SetEnumItems(TkvPropertyDescriptor& d, const QByteArray& names, const TkvVariant& values);
// Reads and writes a 32-bit integer field (values outside its range wrap, as stored fields do).
template <class T>
void AddIntProperty(TkvPropertyBuilder<T>& b, const QByteArray& name, uint16_t kind,
                    std::type_identity_t<int32_t T::*> field) {
    b.Add(
        name, kind, [field](T& o) { return TkvVariant(o.*field); },
        [field](T& o, const TkvVariant& v) { o.*field = static_cast<int32_t>(v.toInt()); });
}
// Reads and writes a flag bit of a 16-bit field as a boolean property.
template <class T>
void AddFlagProperty(TkvPropertyBuilder<T>& b, const QByteArray& name, uint16_t kind,
                     std::type_identity_t<uint16_t T::*> field, uint16_t bit) {
    b.Add(
        name, kind, [field, bit](T& o) { return TkvVariant((o.*field & bit) != 0); },
        [field, bit](T& o, const TkvVariant& v) {
            o.*field = static_cast<uint16_t>(v.toBool() ? (o.*field | bit) : (o.*field & ~bit));
        });
}
} // namespace kv
