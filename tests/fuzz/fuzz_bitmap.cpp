// Bitmaps: a file with its "BM" header (or a bare DIB), and the same bytes as a packed DIB as
// metafiles and pictures in reports hold them.
#include "fuzz_support.h"

#include "graphics/bitmap.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kvfuzz::StartGui();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes = kvfuzz::Bytes(data, size);
    kv::DecodeBitmap(bytes);
    kv::IsMonochromeDib(bytes);
    kv::DecodeDib(bytes);
    // A DIB whose header and pixels lie apart, as enhanced metafile records keep them: the first
    // byte chooses where the header ends.
    if (size > 1) {
        const QByteArrayView dib = bytes.sliced(1);
        const qsizetype split = qMin<qsizetype>(dib.size(), 40 + 4 * (data[0] & 0x7F));
        kv::DecodeDib(dib.first(split), dib.sliced(split), data[0] & 0x80);
    }
    return 0;
}
