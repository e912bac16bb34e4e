#pragma once
// Display formats: the 32-bit format word of every view, FormatValue (a value to text by a word and
// a custom pattern), the inline formats written after " #" inside a bracketed expression, and
// ExpressionToText, which evaluates a bracketed expression and formats its value.
//
// Format word: bits 0-7 decimal separator (numbers), 8-15 number of decimals (numbers), 16-23 index
// within the category (0 to 3 predefined, 4 custom: the format text), 24-27 category (0 text,
// 1 number, 2 date, 3 time, 4 boolean).

#include "base/variant.h"

#include <QByteArray>
#include <cstdint>

struct TkvFormatSettings;
class TkvExpressionEvaluator;

namespace kvdf {
constexpr uint32_t Text = 0, Number = 1, Date = 2, Time = 3, Boolean = 4;
constexpr uint32_t CustomIndex = 4;
constexpr uint32_t Category(uint32_t word) { return (word >> 24) & 0x0F; }
constexpr uint32_t Index(uint32_t word) { return (word >> 16) & 0xFF; }
constexpr uint32_t Decimals(uint32_t word) { return (word >> 8) & 0xFF; }
constexpr char Separator(uint32_t word) { return char(word & 0xFF); }
constexpr uint32_t Word(uint32_t category, uint32_t index, uint32_t decimals, uint8_t separator) {
    return (category << 24) | (index << 16) | (decimals << 8) | separator;
}
// A text with every [expression] replaced by its ExpressionToText, left to right; inserted text is
// not scanned again. Raises TkvExpressionError for a "[" without its "]".
QByteArray ExpandExpressions(const QByteArray& text, uint32_t word, const QByteArray& format, bool hideZeros,
                             TkvExpressionEvaluator& evaluator);

} // namespace kvdf

namespace kv {

// The value as text by the format word and the custom format text. Unassigned, null and texts of
// blanks give the empty text; a conversion that fails gives the value's plain text.
QByteArray FormatValue(const TkvVariant& value, uint32_t word, const QByteArray& format,
                       const TkvFormatSettings& fs);

// An expression with its inline format taken off: the expression before " #", and the word and
// format text the inline format selects (the given ones when there is none).
struct TkvInlineFormat {
    QByteArray Expression;
    uint32_t Word = 0;
    QByteArray Format;
};
// Raises TkvExpressionError when the inline format asks for more decimals than the word holds.
TkvInlineFormat ParseInlineFormat(const QByteArray& expression, uint32_t word, const QByteArray& format);

// The text of a bracketed expression (without its brackets) for a view with that display format:
// inline format, evaluation through `evaluator`, hide zeros (a non-text value equal to 0 gives the
// empty text), then FormatValue. Evaluation errors propagate.
QByteArray ExpressionToText(const QByteArray& expression, uint32_t word, const QByteArray& format, bool hideZeros,
                            TkvExpressionEvaluator& evaluator);

// A text with every [expression] replaced by its ExpressionToText, left to right; inserted text is
// not scanned again. Raises TkvExpressionError for a "[" without its "]".
QByteArray ExpandExpressions(const QByteArray& text, uint32_t word, const QByteArray& format, bool hideZeros,
                             TkvExpressionEvaluator& evaluator);

} // namespace kv
