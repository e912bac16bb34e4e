// Drawing one prepared page onto an image at 100 % zoom (one pixel a page unit, 91.63 units to the
// inch), against poppler's pdftoppm rasterising the same page exported by `kvtool convert`, at 96 dpi
// and at the resolution that gives our image's pixel size.
//
// Ours is timed twice: unpacking and drawing the page (what the preview does for a page coming into
// view), and the same followed by PNG encoding to memory (what pdftoppm's figure includes besides
// starting a process and parsing the PDF). The ratios ours / pdftoppm are printed at the end.
// The pdftoppm benchmark is skipped when pdftoppm is not on the PATH.
#include "../tests/support/kvp_builder.h"
#include "core/views/band_control_views.h"
#include "core/store/emf_pages.h"
#include "core/report/report.h"
#include "core/views/standard_views.h"
#include "core/startup.h"
#include "render/painter_canvas.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>

namespace {

constexpr int kObjects = 100;

struct Fixture {
    QTemporaryDir dir;
    QString kvp, pdf;
    TkvReport report;
    QString error;

    Fixture() {
        kvp = dir.filePath(QStringLiteral("page.kvp"));
        pdf = dir.filePath(QStringLiteral("page.pdf"));
        kvpfile::FileSpec f;
        kvpfile::PageSpec page;
        page.Data = kvpfile::RealisticPage(1, kObjects);
        f.Pages.push_back(std::move(page));
        QFile out(kvp);
        if (!out.open(QIODevice::WriteOnly) || out.write(kvpfile::BuildKvp(f)) <= 0) {
            error = QStringLiteral("cannot write ") + kvp;
            return;
        }
        out.close();
        report.LoadPreparedFile(kvp);
        QProcess convert;
        convert.start(QStringLiteral(KV_KVTOOL), {QStringLiteral("convert"), kvp, pdf});
        if (!convert.waitForFinished(120000) || convert.exitStatus() != QProcess::NormalExit ||
            convert.exitCode() != 0)
            error = QStringLiteral("kvtool convert failed: ") +
                    QString::fromLocal8Bit(convert.readAllStandardError());
    }
};

Fixture& TheFixture() {
    static Fixture f;
    return f;
}

// Mean wall time of one iteration of each benchmark, for the ratios.
double g_drawMs = 0, g_drawPngMs = 0, g_popplerMs = 0, g_popplerSameSizeMs = 0;

using Clock = std::chrono::steady_clock;

double MsPerIteration(Clock::time_point start, const benchmark::State& state) {
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return state.iterations() ? ms / double(state.iterations()) : 0;
}

// Unpacks page 1, draws it over white into a 96 dpi image of the page's size, lets the page go.
QImage DrawPageOnce(TkvEMFPages& store) {
    PreparedPageInfo& info = store.PageInfo(0);
    QImage image(info.Metrics.PageWidth, info.Metrics.PageHeight, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    {
        TkvPainterCanvas canvas(&image, TkvPainterCanvas::Options{96, 96, 0});
        info.PageVisible = 1;
        store.DrawPage(0, canvas, image.rect());
    }
    info.PageVisible = 0;
    info.Page.reset();
    return image;
}

void BM_DrawPage(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (!f.error.isEmpty()) return state.SkipWithError(qPrintable(f.error));
    const auto start = Clock::now();
    for (auto _ : state) {
        QImage image = DrawPageOnce(f.report.EMFPages);
        benchmark::DoNotOptimize(image.constBits());
    }
    g_drawMs = MsPerIteration(start, state);
    // Pixels that are not white: a page drawn as blank would time nothing.
    const QImage image = DrawPageOnce(f.report.EMFPages);
    qint64 ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            ink += (row[x] & 0xFFFFFF) != 0xFFFFFF;
    }
    if (ink == 0) state.SkipWithError("the page was drawn blank");
    state.counters["inkPixels"] = double(ink);
    const PreparedPageInfo& info = f.report.EMFPages.PageInfo(0);
    state.counters["width"] = info.Metrics.PageWidth;
    state.counters["height"] = info.Metrics.PageHeight;
}
BENCHMARK(BM_DrawPage)->Unit(benchmark::kMillisecond);

void BM_DrawPageAndEncodePng(benchmark::State& state) {
    Fixture& f = TheFixture();
    if (!f.error.isEmpty()) return state.SkipWithError(qPrintable(f.error));
    const auto start = Clock::now();
    for (auto _ : state) {
        QImage image = DrawPageOnce(f.report.EMFPages);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        benchmark::DoNotOptimize(png.data());
    }
    g_drawPngMs = MsPerIteration(start, state);
}
BENCHMARK(BM_DrawPageAndEncodePng)->Unit(benchmark::kMillisecond);

// pdftoppm at `dpi`; `ms` receives the mean wall time of one run.
void RunPdftoppm(benchmark::State& state, const char* dpi, double* ms) {
    Fixture& f = TheFixture();
    if (!f.error.isEmpty()) return state.SkipWithError(qPrintable(f.error));
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (tool.isEmpty()) return state.SkipWithError("pdftoppm is not installed");
    const QString prefix = f.dir.filePath(QStringLiteral("poppler"));
    const auto start = Clock::now();
    for (auto _ : state) {
        QProcess p;
        p.start(tool, {QStringLiteral("-r"), QString::fromLatin1(dpi), QStringLiteral("-png"),
                       QStringLiteral("-singlefile"), f.pdf, prefix});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            state.SkipWithError("pdftoppm failed");
            break;
        }
    }
    *ms = MsPerIteration(start, state);
    const QImage out(prefix + QStringLiteral(".png"));
    state.counters["width"] = out.width();
    state.counters["height"] = out.height();
}

void BM_Pdftoppm(benchmark::State& state) {
    RunPdftoppm(state, "96", &g_popplerMs);
}
BENCHMARK(BM_Pdftoppm)->Unit(benchmark::kMillisecond);

// Page units are 91.63 to the inch, so at 100 % our image is smaller than pdftoppm's at 96 dpi;
// this run rasterises the same number of pixels as ours.
void BM_PdftoppmSameSize(benchmark::State& state) {
    RunPdftoppm(state, "91.6256157635468", &g_popplerSameSizeMs);
}
BENCHMARK(BM_PdftoppmSameSize)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    kv::StartUp();
    kv::RegisterStandardViews();
    kv::RegisterBandAndControlViews();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_popplerMs > 0 && g_drawMs > 0) {
        std::printf("draw page:              %.3f ms, pdftoppm %.3f ms, ours / pdftoppm = %.4f\n", g_drawMs,
                    g_popplerMs, g_drawMs / g_popplerMs);
        if (g_drawPngMs > 0)
            std::printf("draw page + PNG encode: %.3f ms, pdftoppm %.3f ms, ours / pdftoppm = %.4f\n",
                        g_drawPngMs, g_popplerMs, g_drawPngMs / g_popplerMs);
    }
    if (g_popplerSameSizeMs > 0 && g_drawMs > 0 && g_drawPngMs > 0)
        std::printf(
            "same pixel size: pdftoppm %.3f ms, draw / pdftoppm = %.4f, draw + PNG / pdftoppm = %.4f\n",
            g_popplerSameSizeMs, g_drawMs / g_popplerSameSizeMs, g_drawPngMs / g_popplerSameSizeMs);
    return 0;
}
