// libFuzzer target: any text as an expression, and as a postfix form, through the parser with
// hooks that answer names and evaluate function arguments (so recursion is exercised). Must end
// in a value or a TkvVariantError, never a crash, hang or unbounded memory.
// fuzz-link: kvscript
#include "script/parser.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    static const TkvFormatSettings settings;
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TkvParser parser(settings);
    parser.OnGetVariable = [&](const QByteArray& name, TkvVariant& value) {
        if (name.size() == 1) value = TkvVariant(int64_t(name[0]));
        else if (name.startsWith('E')) value = parser.Evaluate(name.mid(1));
    };
    parser.OnFunction = [&](const QByteArray& name, const TkvVariant& p1, const TkvVariant& p2,
                            const TkvVariant& p3, TkvVariant& value) {
        value = parser.Evaluate(p1.toText());
        if (!p2.toText().isEmpty()) value = parser.Evaluate(p2.toText());
    };
    try {
        parser.Evaluate(text);
    } catch (const TkvVariantError&) {
    }
    try {
        parser.EvaluatePostfix(text);
    } catch (const TkvVariantError&) {
    }
    return 0;
}
