#pragma once
// The root of report objects: a table of named properties so that scripts, the object inspector
// and the engine can read and write any property of any object by name and call named methods.

#include "base/error.h"
#include "base/stream_text.h"
#include "base/variant.h"
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

class TkvObject;
// Opens a property's editor dialog in the designer; the designer installs these at start-up.
using TkvEditorProc = std::function<void(TkvObject*)>;

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

    virtual void SetProperty(const QByteArray& name, const TkvVariant& value) {}
    virtual void GetProperty(const QByteArray& name, TkvVariant& result) { result = TkvVariant::Null(); }
    virtual void CallMethod(const QByteArray& name, const TkvVariant& a1, const TkvVariant& a2,
                            const TkvVariant& a3, TkvVariant& result) {
        result = TkvVariant::Null();
    }
    // Empties the property table and fills it again.
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
    TkvPropRec* FindProperty(const QByteArray& name);
    // Builds the table when it is still empty.
    void EnsureProperties() {
        if (PropertyTable.empty()) RegisterProperties();
    }

    // Font properties by upper-cased name: "FONT.NAME" (text), "FONT.SIZE" (integer, points),
    // "FONT.STYLE" (font style code) and "FONT.COLOR". Other names are ignored (set) or leave the
    // result untouched (get), so a class can try them in its property chain.
    static void SetFontProperty(TkvViewFont& font, const QByteArray& name, const TkvVariant& value);
    static void GetFontProperty(const TkvViewFont& font, const QByteArray& name, TkvVariant& result);

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
