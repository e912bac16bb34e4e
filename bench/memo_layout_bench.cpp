// Layout speed of long text lines on the measuring canvas.

#include "core/views/text_wrapper.h"
#include "render/painter_canvas.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

namespace {

void WrapLongLine(benchmark::State& state, const QByteArray& text) {
    TkvCanvas& canvas = kv::MeasuringCanvas();
    TkvFont font;
    font.height = -13;
    canvas.SetFont(font);
    canvas.SetCharSpacing(0);
    for (auto _ : state) {
        TkvTextWrapper wrapper(canvas, 0, int(state.range(0)), false);
        TkvStringList out;
        wrapper.WrapLine(text, out);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size());
}

void BM_WrapWithoutSpaces(benchmark::State& state) {
    QByteArray text(64 * 1024, 'x');
    for (int i = 0; i < text.size(); ++i)
        text[i] = char('a' + i % 26);
    WrapLongLine(state, text);
}
BENCHMARK(BM_WrapWithoutSpaces)->Arg(100)->Arg(700)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_WrapWords(benchmark::State& state) {
    QByteArray text;
    while (text.size() < 64 * 1024)
        text += "lorem ipsum dolor sit amet ";
    WrapLongLine(state, text);
}
BENCHMARK(BM_WrapWords)->Arg(100)->Arg(700)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
