// Metafiles (plain and placeable WMF, EMF): parse the record list, then play it onto the recording
// canvas at its own size and into a small target.
#include "fuzz_support.h"

#include "graphics/metafile.h"
#include "render/recording_canvas.h"

#include <exception>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kvfuzz::StartGui();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TkvMetafile metafile;
    if (!metafile.Load(kvfuzz::Bytes(data, size).toByteArray())) return 0;
    metafile.Bounds();
    TkvRecordingCanvas canvas;
    try {
        const QSize natural = metafile.SizeHint().boundedTo(QSize(4000, 4000));
        metafile.Play(canvas, QRect(QPoint(0, 0), natural));
        metafile.Play(canvas, QRect(10, 10, 37, 23));
    } catch (const std::exception&) {
    }
    return 0;
}
