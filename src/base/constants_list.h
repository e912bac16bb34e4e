#pragma once
// The named constants that expressions and scripts see as read-only values.

class TkvVariables;

namespace kv {

// Adds, in this order: the 42 colour names (values as signed 32-bit integers, as colour
// properties read them), mrNone..mrNo, "CRLF" (bytes 13 10), "Null" (the null value), then the
// font style, frame side, text alignment, band alignment, frame line style and message box names.
void FillConstantsList(TkvVariables& list);

} // namespace kv
