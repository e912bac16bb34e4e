#pragma once
// Small text routines shared by the dialogs and exports.

#include "base/stream_text.h"

namespace kv {

// Pieces between semicolons, in order; a trailing ";" gives no empty last piece.
TkvStringList SplitSemicolons(const QByteArray& text);

// Every "," and "." becomes the decimal separator, blanks are trimmed, the rest must be a number;
// raises TkvVariantError otherwise.
double ParseNumberText(const QByteArray& text);

// Round to nearest with halves to even, the rounding of every scaled coordinate.
int RoundEven(double v);

} // namespace kv
