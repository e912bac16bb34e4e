// Prepared reports (.kvp): load the file, then unpack every page and draw it onto the recording
// canvas, as the viewer and kvtool do one page at a time. Pictures on the pages go through their
// decoders while drawing.
#include "fuzz_support.h"

#include "base/stream.h"
#include "core/report/report.h"
#include "core/startup.h"
#include "core/store/emf_pages.h"
#include "core/views/band_control_views.h"
#include "core/views/standard_views.h"
#include "render/recording_canvas.h"

#include <exception>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kvfuzz::StartGui();
    kv::StartUp();
    kv::RegisterStandardViews();
    kv::RegisterBandAndControlViews();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = kvfuzz::Bytes(data, size).toByteArray();
    TkvReport report;
    TkvEMFPages& store = report.EMFPages;
    try {
        TkvMemoryStream stream(bytes);
        store.LoadFromStream(&stream);
    } catch (const std::exception&) {
        // The pages read before the failure stay and are drawn below.
    }
    TkvRecordingCanvas canvas;
    for (int i = 0; i < store.Count(); ++i) {
        try {
            store.UnpackPage(i);
            store.PageInfo(i).PageVisible = 1;
            store.DrawPage(i, canvas, QRect(0, 0, 794, 1123));
        } catch (const std::exception&) {
        }
        store.PageInfo(i).PageVisible = 0;
        store.ReleasePage(i);
        canvas.Clear();
    }
    return 0;
}
