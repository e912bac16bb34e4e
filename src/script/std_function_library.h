#pragma once
// The standard function library: aggregates, date parts, formatting, text functions, INPUT and
// MESSAGEBOX. Arguments arrive as unevaluated texts and are evaluated through the call's
// TkvFunctionContext; the value is preset to the text "0" before any function runs. The
// constructor registers the 66 descriptions the designer lists (its own functions, the parser's
// operators and built-ins, the report's system variables and the interpreter's names).

#include "base/function_library.h"

class TkvStdFunctionLibrary : public TkvFunctionLibrary {
public:
    TkvStdFunctionLibrary();
    const char* ClassName() const override { return "TkvStdFunctionLibrary"; }
    void ComputeFunction(TkvFunctionContext& context, int index, const TkvVariant& p1, const TkvVariant& p2,
                         const TkvVariant& p3, TkvVariant& value) override;
};

namespace kv {
// Passes `text` through an edit mask ("mask[;keep literals[;blank]]"): mask characters 0 9 # L l A
// a C c take the next character of the text (a blank when it runs out), > and < switch to upper
// and lower case, <> ends the switch, \ makes the next mask character literal, _ stands for a
// blank, everything else is copied. Raises TkvVariantError for a mask over 4096 characters or one
// that ends with a lone "\".
QByteArray FormatMaskText(const QByteArray& mask, const QByteArray& text);
} // namespace kv
