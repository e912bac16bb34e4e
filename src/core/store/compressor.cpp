#include "core/store/compressor.h"

#include "core/library_context.h"

#include <typeinfo>

namespace kv {

TkvCompressor& Compressor() {
    std::unique_ptr<TkvCompressor>& c = Library().Compressor;
    if (!c) c = std::make_unique<TkvCompressor>();
    return *c;
}

void SetCompressor(std::unique_ptr<TkvCompressor> compressor) {
    Library().Compressor = compressor ? std::move(compressor) : std::make_unique<TkvCompressor>();
}

bool CompressorInstalled() {
    const std::unique_ptr<TkvCompressor>& c = Library().Compressor;
    return c && typeid(*c) != typeid(TkvCompressor);
}

} // namespace kv
