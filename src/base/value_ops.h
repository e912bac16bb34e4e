#pragma once
// Arithmetic, comparison and conversion of engine values under an explicit TkvFormatSettings.
// Every failure raises TkvVariantError with one line of text.
//
// Conversions:
// - to text: unassigned and null give the empty text; numbers in the general form with up to 15
//   significant digits and the settings' decimal separator; booleans as the settings' true/false
//   words; date-times in the short date and long time forms.
// - to a number: texts are read as numbers (ParseNumber); booleans are -1 (true) and 0; date-times
//   their day count; unassigned is 0; null cannot be converted.
// Arithmetic: "+" joins two texts (or a text and unassigned), otherwise adds numbers; "-", "*" are
// integer on two integers (floating when the result would overflow); a date-time plus or minus a
// number is a date-time, two date-times subtract to a day count. Null in arithmetic gives null.
// Comparisons follow the expression language: texts byte by byte; text and number as numbers; a
// date-time against anything non-null as date-times; booleans false before true, and a number or
// text against a boolean is taken as a boolean (non-zero is true); unassigned below everything
// else and equal to unassigned; null only with "=" and "<>".

#include "base/variant.h"

struct TkvFormatSettings;

namespace kvval {

enum class Compare { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

// Texts joined by "+" longer than this raise TkvVariantError instead of taking all memory.
constexpr qsizetype kMaxTextLength = qsizetype(16) << 20;

QByteArray ToText(const TkvVariant& v, const TkvFormatSettings& fs);
// An integer or floating value (date-times become floating, booleans integer).
TkvVariant ToNumber(const TkvVariant& v, const TkvFormatSettings& fs);
double ToDouble(const TkvVariant& v, const TkvFormatSettings& fs);
// Floating values round half to even; values outside the 64-bit range raise an error.
int64_t ToInteger(const TkvVariant& v, const TkvFormatSettings& fs);
// Booleans, numbers (non-zero is true) and texts (the true/false words in any case, or numbers).
bool ToBoolean(const TkvVariant& v, const TkvFormatSettings& fs);
// A day count: date-times and numbers as they are, texts read as numbers or as date and time.
double ToDateTime(const TkvVariant& v, const TkvFormatSettings& fs);

// Texts are joined (at most kMaxTextLength characters), everything else added.
TkvVariant Add(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs);
TkvVariant Subtract(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs);
TkvVariant Multiply(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs);
// Floating quotient; a zero divisor raises an error (the expression language answers 0 itself).
TkvVariant Divide(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs);
// Integer remainder, both operands as integers; a zero divisor raises an error.
TkvVariant Modulo(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs);
// Logical on two booleans, bitwise on the integer values otherwise.
TkvVariant And(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs);
TkvVariant Or(const TkvVariant& a, const TkvVariant& b, const TkvFormatSettings& fs);
TkvVariant Negate(const TkvVariant& a, const TkvFormatSettings& fs);

bool CompareValues(const TkvVariant& a, const TkvVariant& b, Compare op, const TkvFormatSettings& fs);

} // namespace kvval
