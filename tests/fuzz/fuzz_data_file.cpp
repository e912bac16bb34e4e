// The data file beside a template (connection and data sets). Whatever reads without an error is
// written again and must read back to the same definitions.
// fuzz-link: kvbase
// fuzz-sources: core/data/data_definitions.cpp
#include "core/data/data_definitions.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    TkvDataDefinitions read;
    try {
        read = TkvDataDefinitions::Parse(text, "fuzz.kvdata");
    } catch (const TkvDataFileError&) {
        return 0;
    }
    try {
        if (!(TkvDataDefinitions::Parse(read.Serialize(), "again.kvdata") == read)) __builtin_trap();
    } catch (const TkvDataFileError&) {
        __builtin_trap();
    }
    return 0;
}
