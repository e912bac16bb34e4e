// Designer clipboard bytes from another program: the decode and every view stream must end
// (read or refused) without crashing, hanging or allocating beyond the input. Input that is no
// clipboard stream is read as one view stream.
// fuzz-link: kvcore
// fuzz-sources: designer/designer_clipboard.cpp
#include "core/globals.h"
#include "core/startup.h"
#include "core/views/view.h"
#include "designer/designer_clipboard.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvfuzz::StartGui();
    static const bool started = (kv::StartUp(), true);
    (void)started;
    const QByteArray bytes = kvfuzz::Bytes(data, size).toByteArray();
    std::vector<QByteArray> items;
    try {
        items = TkvDesignerClipboard::Decode(bytes);
    } catch (const TkvClipboardError&) {
        items = {bytes};
    }
    for (const QByteArray& item : items) {
        try {
            std::unique_ptr<TkvView> view = TkvDesignerClipboard::ReadView(item);
            // What was read writes again.
            (void)TkvDesignerClipboard::ViewStream(*view);
        } catch (const TkvClipboardError&) {
        }
    }
    kv::CurReport() = nullptr;
    return 0;
}
