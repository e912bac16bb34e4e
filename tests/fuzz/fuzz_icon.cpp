// Icon and cursor files: the directory, each image's DIB with its mask, embedded PNG images.
#include "fuzz_support.h"

#include "graphics/icon.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kvfuzz::StartGui();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kv::DecodeIcon(kvfuzz::Bytes(data, size));
    return 0;
}
