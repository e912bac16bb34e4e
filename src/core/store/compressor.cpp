#include "core/store/compressor.h"

#include <typeinfo>

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

bool CompressorInstalled() {
    return typeid(*Installed()) != typeid(TkvCompressor);
}

} // namespace kv
