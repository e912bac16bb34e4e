// Template streams from untrusted bytes: the load must end (loaded or refused) without crashing,
// hanging or allocating beyond the input.
#include "base/stream.h"
#include "core/globals.h"
#include "core/report/report.h"
#include "core/startup.h"

#include <QGuiApplication>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_template";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    static const bool started = (kv::StartUp(), true);
    (void)started;
    TkvReport report;
    TkvMemoryStream s(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const TkvTemplateLoadResult r = report.LoadFromStream(s);
    if (r.Ok()) {
        // What loaded must save again (unless it has more pages than a template holds).
        TkvMemoryStream out;
        try {
            report.SaveToStream(out);
        } catch (const TkvTemplateError&) {
        }
    }
    kv::CurReport() = nullptr;
    kv::CurPage() = nullptr;
    return 0;
}
