// libFuzzer target: inline formats, number and date patterns and format words from any bytes.
// The first 8 bytes choose the format word and the value; the rest is the format text.
// fuzz-link: kvbase
#include "base/date_time.h"
#include "base/display_format.h"
#include "base/expression_evaluator.h"
#include "base/format_settings.h"
#include "base/number_format.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8 || size > 4096) return 0;
    static const TkvFormatSettings settings;
    uint32_t word;
    int32_t raw;
    std::memcpy(&word, data, 4);
    std::memcpy(&raw, data + 4, 4);
    const QByteArray text(reinterpret_cast<const char*>(data + 8), static_cast<qsizetype>(size - 8));
    const double values[] = {double(raw), raw / 1000.0, double(raw) * 1e12, -0.5, 0.0};
    try {
        const kv::TkvInlineFormat f = kv::ParseInlineFormat(" #" + text, word, text);
        for (double v : values) kv::FormatValue(TkvVariant(v), f.Word, f.Format, settings);
    } catch (const TkvVariantError&) {
    }
    for (double v : values) {
        kv::FormatValue(TkvVariant(v), word, text, settings);
        kv::FormatValue(TkvVariant(text), word, text, settings);
        try {
            kv::FormatFloat(text, v, settings);
        } catch (const TkvVariantError&) {
        }
        try {
            kv::FormatDateTime(text, v, settings);
        } catch (const TkvVariantError&) {
        }
    }
    TkvVariant number;
    kv::ParseNumber(text, settings, number);
    try {
        kv::ParseDateTime(text, settings);
    } catch (const TkvVariantError&) {
    }
    return 0;
}
