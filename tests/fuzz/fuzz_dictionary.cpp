// Dictionary records (current and old layouts) from untrusted bytes.
#include "base/stream.h"
#include "base/stream_version.h"
#include "core/template/data_dictionary.h"

#include <cstddef>
#include <cstdint>
#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte picks the string encoding, as the version byte of a dictionary file does.
    kv::StreamVersion = data[0] % 2 ? 22 : kv::CurrentStreamVersion;
    TkvMemoryStream s(QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)));
    TkvDataDictionary d;
    try {
        d.LoadFromStream(s);
        TkvMemoryStream out;
        d.SaveToStream(out);
    } catch (const std::exception&) {
    }
    kv::StreamVersion = kv::CurrentStreamVersion;
    return 0;
}
