#pragma once
// The compression hook of prepared report files. The active library context keeps one instance;
// the base class compresses nothing and is never enabled, so files are written uncompressed. A
// replacement (installed with kv::SetCompressor) supplies both operations and sets Enabled.

#include "base/stream.h"

#include <cstdint>
#include <memory>

class TkvCompressor {
public:
    virtual ~TkvCompressor() = default;
    // Both read the source from its current position to its end and append to the destination.
    // The base leaves the destination as it is; the store does not call it for reading.
    virtual void Compress(TkvStream& source, TkvStream& dest) {}
    virtual void Decompress(TkvStream& source, TkvStream& dest) {}

    uint8_t Enabled = 0;
};

namespace kv {

// The active context's compressor; a base compressor until another is installed.
TkvCompressor& Compressor();
// Installs a replacement; null puts a base compressor back.
void SetCompressor(std::unique_ptr<TkvCompressor> compressor);
// Whether a replacement is installed. Without one, compressed pages are read when they are zlib
// streams and kept as stored otherwise.
bool CompressorInstalled();

} // namespace kv
