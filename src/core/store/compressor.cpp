#include "core/store/compressor.h"

namespace kv {

namespace {

std::unique_ptr<TkvCompressor>& Installed() {
    static std::unique_ptr<TkvCompressor> compressor = std::make_unique<TkvCompressor>();
    return compressor;
}

} // namespace

TkvCompressor& Compressor() {
    return *Installed();
}

void SetCompressor(std::unique_ptr<TkvCompressor> compressor) {
    Installed() = compressor ? std::move(compressor) : std::make_unique<TkvCompressor>();
}

} // namespace kv
