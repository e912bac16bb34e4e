#pragma once
// The object inspector's rows and their values: how a property value is shown in a row (its
// display form) and how the text of a row becomes a value again (RowValue), by property kind, and
// sizes in the designer's unit. Headless: the inspector window, the designer's fill and apply
// steps and the tests all go through these.

#include "base/error.h"
#include "base/stream_text.h"
#include "base/variant.h"
#include "core/library_context.h"

#include <QByteArray>
#include <cstdint>

// The designer's length unit (the status bar's "Pixels", "MM", "Inches").
enum class TkvDesignerUnit : uint8_t { Pixels = 0, Millimetres = 1, Inches = 2 };

// One listed property: the text shown and edited, its kind bits (kvpk), its editor and its
// enumeration (names in value order; values array or null).
struct TkvInspRow {
    QByteArray Name;
    QByteArray Text;
    uint16_t DataType = 0;
    TkvEditorProc Editor;
    TkvStringList Enum;
    TkvVariant EnumValues;

    bool HasEnumValues() const { return EnumValues.kind() == TkvVariant::Kind::Array; }
};

// A row text that cannot be turned into a value of its row's kind; what() is the message shown.
class TkvInspValueError : public TkvError {
public:
    using TkvError::TkvError;
};

namespace kvinsp {

// The row text of a value of the given kind (see the kind rules in insp_values.cpp).
QByteArray DisplayForm(const TkvVariant& value, uint16_t kind, const TkvStringList& enumNames = {},
                       const TkvVariant& enumValues = {});
// The value of a row's text; raises TkvInspValueError when the text is not a value of that kind.
TkvVariant RowValue(const TkvInspRow& row);

// Integer text: decimal, or hexadecimal after "$"; false when it is neither or out of 64 bits.
bool ParseIntegerText(const QByteArray& text, int64_t& value);

// Page units (pixels) in the designer's unit and back: millimetres v / 18 * 5, inches v / 18 * 5 /
// 25.4.
double ToDesignerUnit(double pageUnits, TkvDesignerUnit unit);
double FromDesignerUnit(double value, TkvDesignerUnit unit);
// A size row's text: pixels with general formatting, millimetres and inches with two decimals.
QByteArray SizeText(double pageUnits, TkvDesignerUnit unit);
// A size value entered in the designer's unit, as whole page units (for integer sizes) or as a
// real number of page units; raises TkvInspValueError for a size that is not a number or whose
// page units lie outside the coordinate range.
TkvVariant SizeFromDesignerUnit(const TkvVariant& value, TkvDesignerUnit unit, bool integer);

// The names of the drop-down list of a row: "False" and "True", the 42 colour names, or the
// enumeration names.
TkvStringList DropDownItems(const TkvInspRow& row);
// The value after a double-click on a boolean or enumeration row, as row text; the text itself
// when the row has no cycle.
QByteArray NextCycleText(const TkvInspRow& row);

} // namespace kvinsp
