// JPEG pictures through the libjpeg decoder and its limits.
#include "fuzz_support.h"

#include "graphics/jpeg.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kvfuzz::StartGui();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kv::DecodeJpeg(kvfuzz::Bytes(data, size));
    return 0;
}
