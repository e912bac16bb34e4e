#pragma once
// The root of report objects: a table of named properties so that scripts, the object inspector
// and the engine can read and write any property of any object by name and call named methods.

#include "base/error.h"
#include "base/stream_text.h"
#include "base/variant.h"
#include "core/property_table.h"
#include "core/views/view_font.h"

#include <QByteArray>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct TkvFont;

// Property kind bits.
namespace kvpk {
constexpr uint16_t Hidden = 0x0000;
constexpr uint16_t Text = 0x0001;
constexpr uint16_t Integer = 0x0002;
constexpr uint16_t Real = 0x0004;
constexpr uint16_t Boolean = 0x0008;
constexpr uint16_t Color = 0x0010;
constexpr uint16_t Enum = 0x0020;
constexpr uint16_t Editor = 0x0040;
constexpr uint16_t PageUnits = 0x0080;
constexpr uint16_t SingleOnly = 0x0100;
} // namespace kvpk

struct TkvPropRec {
    QByteArray PropName; // at most 32 characters
    uint16_t PropKind = 0;
    std::optional<TkvStringList> EnumNames;
    TkvVariant EnumValues; // array of values, or null
    TkvEditorProc EditorProc;
};

class TkvObject {
public:
    virtual ~TkvObject() = default;

    // Class name as stored for add-in views and compared by the registries.
    virtual const char* ClassName() const { return "TkvObject"; }

    // The descriptors of this object's class (names are matched without regard to case).
    virtual const TkvPropertyTable& Properties() const;
    // Writes the property through its descriptor; a name without a setter is ignored.
    virtual void SetProperty(const QByteArray& name, const TkvVariant& value);
    // Reads the property through its descriptor; a name without a getter reads as null.
    virtual void GetProperty(const QByteArray& name, TkvVariant& result);
    virtual void CallMethod(const QByteArray& name, const TkvVariant& a1, const TkvVariant& a2,
                            const TkvVariant& a3, TkvVariant& result) {
        result = TkvVariant::Null();
    }
    // Empties the inspector's table (PropertyTable) and lists the class's properties again, through
    // ListProperty, in the order the inspector shows them.
    virtual void RegisterProperties() { ClearProperties(); }

    // Convenience: the property's value, or null.
    TkvVariant Property(const QByteArray& name) {
        TkvVariant r;
        GetProperty(name, r);
        return r;
    }

    void AddProperty(const QByteArray& name, uint16_t kind, TkvEditorProc editor = {});
    void AddEnumProperty(const QByteArray& name, const QByteArray& names, const TkvVariant& values);
    void ClearProperties() { PropertyTable.clear(); }
    // Lists the descriptor of `name` in the inspector's table with its kind, editor and items.
    void ListProperty(const QByteArray& name);
    TkvPropRec* FindProperty(const QByteArray& name);
    // Builds the table when it is still empty.
    void EnsureProperties() {
        if (PropertyTable.empty()) RegisterProperties();
    }

    // Describes the font properties of a font field, hidden from the inspector: "Font.Name" (text),
    // "Font.Size" (integer, points), "Font.Style" (font style code) and "Font.Color".
    template <class T>
    static void AddFontProperties(TkvPropertyBuilder<T>& b, std::type_identity_t<TkvViewFont T::*> font) {
        b.Add(
            "Font.Name", kvpk::Hidden, [font](T& o) { return TkvVariant((o.*font).Name); },
            [font](T& o, const TkvVariant& v) { (o.*font).Name = v.toText(); });
        b.Add(
            "Font.Size", kvpk::Hidden, [font](T& o) { return TkvVariant((o.*font).Size); },
            [font](T& o, const TkvVariant& v) { (o.*font).Size = static_cast<int32_t>(v.toInt()); });
        b.Add(
            "Font.Style", kvpk::Hidden, [font](T& o) { return TkvVariant(int((o.*font).Style & kvfs::All)); },
            [font](T& o, const TkvVariant& v) {
                (o.*font).Style = static_cast<uint16_t>(v.toInt() & kvfs::All);
            });
        b.Add(
            "Font.Color", kvpk::Hidden,
            [font](T& o) { return TkvVariant(int64_t(int32_t((o.*font).Color))); },
            [font](T& o, const TkvVariant& v) { (o.*font).Color = static_cast<uint32_t>(v.toInt()); });
    }

    // Script methods on a list-valued property. The methods that evaluate an expression
    // (".ADD", ".DELETE", ".INDEXOF") use the current report's evaluator (kv::RequireEvaluator).
    void CallListMethod(TkvStringList& list, const QByteArray& method, const QByteArray& propName,
                        const TkvVariant& a1, const TkvVariant& a2, const TkvVariant& a3, TkvVariant& result);

    std::vector<std::unique_ptr<TkvPropRec>> PropertyTable;
};

// A list method given a line number outside the list.
class TkvListIndexError : public TkvError {
public:
    explicit TkvListIndexError(int64_t index);
};
