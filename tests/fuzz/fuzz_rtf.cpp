// libFuzzer target for the RTF reader: read, lay out, fit, draw onto a recording canvas and write
// back. Any input must finish without a crash, a hang or runaway memory.
#include "render/recording_canvas.h"
#include "richtext/rich_text.h"

#include <QByteArray>
#include <QGuiApplication>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

void EnsureApplication() {
    static std::unique_ptr<QGuiApplication> app = [] {
        if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_rtf";
        static char* argv[] = {name, nullptr};
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 20) return 0;
    EnsureApplication();
    TkvRichText text;
    text.LoadRtf(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    const int length = text.Length();
    int next = 0, parts = 0;
    while (next < length && parts++ < 1000)
        next = text.FitRange(next, 3000, 400);
    text.HeightTwips(0, 3000);
    TkvRecordingCanvas canvas;
    text.Draw(canvas, QRect(0, 0, 200, 300), 3000, 4500);
    text.PlainText();
    TkvRichText copy;
    copy.LoadRtf(text.SaveRtf());
    return 0;
}
