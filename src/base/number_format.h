#pragma once
// Numbers as text and texts as numbers, by an explicit TkvFormatSettings: never the C locale.
// Every conversion works on at most 15 significant digits, rounded half away from zero.

#include "base/variant.h"

#include <QByteArray>

struct TkvFormatSettings;

namespace kv {

// The general form: up to 15 significant digits, no trailing zeros; scientific ("1.5E20",
// "1E-5") when the decimal exponent is 15 or more or below -4.
QByteArray FloatToText(double v, const TkvFormatSettings& fs);

// Exactly `decimals` decimals (0 to 30), with thousands separators when asked; values of 1E15 and
// more in the general form.
QByteArray FloatToFixed(double v, int decimals, bool thousands, const TkvFormatSettings& fs);

// A number pattern: sections for positive;negative;zero values; "0" a digit always shown, "#" a
// digit shown when significant, the first "." the decimal separator, "," before it switches on
// thousands separators, "E+"/"E-"/"e+"/"e-" followed by "0"s scientific notation, quoted text and any
// other character copied. An empty pattern gives FloatToText. Output and pattern are bounded (a
// pattern over 4096 bytes raises TkvVariantError).
QByteArray FormatFloat(const QByteArray& pattern, double v, const TkvFormatSettings& fs);

// Reads a number: blanks around it, an optional sign, digits with at most one decimal separator
// (the settings' one or "."), an optional exponent; "$" followed by hex digits is an integer.
// The result is an integer when there is no separator or exponent and it fits, else floating.
// False when the text is not a number.
bool ParseNumber(const QByteArray& text, const TkvFormatSettings& fs, TkvVariant& out);

} // namespace kv
