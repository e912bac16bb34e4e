// libFuzzer target: any text as a script, compiled (also in place) and executed with the standard
// library and a small step bound. Must end normally or in a TkvVariantError, never a crash, hang
// or unbounded memory.
// fuzz-link: kvscript
#include "script/standalone_interpretator.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 8192) return 0;
    static const TkvFormatSettings settings;
    static FILE* sink = std::fopen("/dev/null", "w");
    static TkvHeadlessDialogs dialogs(sink);
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TkvStandaloneInterpretator interpretator(settings, &dialogs);
    interpretator.MaxSteps = 20000;
    TkvStringList lines = kv::SplitLines(text);
    TkvStringList compiled, errors;
    interpretator.Compile(lines, compiled, errors);
    interpretator.Compile(lines, lines, errors);
    if (lines != compiled) __builtin_trap(); // in-place compilation must give the same list
    try {
        interpretator.Execute(compiled);
    } catch (const TkvVariantError&) {
    }
    // Compiled lines are also taken as they come.
    try {
        interpretator.Execute(kv::SplitLines(text));
    } catch (const TkvVariantError&) {
    }
    return 0;
}
