// Loading a large prepared report: the store keeps every page packed, so loading should cost about
// one read of the file. Compares LoadPreparedFile of a 10,000-page file (about 60 objects a page)
// with reading the same file once into memory, and times unpacking one page of the loaded store.
//
// The file is generated on first use as <temp>/kv_load_bench.kvp (or $KV_BENCH_FILE) and left there,
// so that peak memory can be measured on the same file, e.g.
//   /usr/bin/time -v kvtool info <temp>/kv_load_bench.kvp
#include "../tests/support/kvp_builder.h"
#include "core/views/band_control_views.h"
#include "base/file_stream.h"
#include "core/report/report.h"
#include "core/views/standard_views.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

constexpr int kPages = 10000;
constexpr int kObjectsPerPage = 60;

QString BenchFile() {
    static const QString path = [] {
        const QString p = qEnvironmentVariableIsSet("KV_BENCH_FILE")
                              ? qEnvironmentVariable("KV_BENCH_FILE")
                              : QDir::temp().filePath("kv_load_bench.kvp");
        if (QFileInfo(p).size() > 0) return p;
        kvpfile::FileSpec f;
        f.Pages.reserve(kPages);
        for (int i = 0; i < kPages; ++i) {
            kvpfile::PageSpec page;
            page.Data = kvpfile::RealisticPage(i + 1, kObjectsPerPage);
            f.Pages.push_back(std::move(page));
        }
        QFile out(p);
        if (!out.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(p));
        out.write(kvpfile::BuildKvp(f));
        return p;
    }();
    return path;
}

void BM_ReadFileIntoMemory(benchmark::State& state) {
    const QString path = BenchFile();
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        QByteArray bytes = f.readAll();
        benchmark::DoNotOptimize(bytes.data());
        state.counters["MB"] = bytes.size() / 1e6;
    }
}
BENCHMARK(BM_ReadFileIntoMemory)->Unit(benchmark::kMillisecond);

void BM_LoadPreparedFile(benchmark::State& state) {
    const QString path = BenchFile();
    for (auto _ : state) {
        TkvReport report;
        report.LoadPreparedFile(path);
        if (report.EMFPages.Count() != kPages) state.SkipWithError("wrong page count");
        benchmark::DoNotOptimize(report.EMFPages.PageList.data());
    }
}
BENCHMARK(BM_LoadPreparedFile)->Unit(benchmark::kMillisecond);

// Unpacks one page of a loaded store; checks that no other page was unpacked alongside it.
void BM_UnpackOnePage(benchmark::State& state) {
    TkvReport report;
    report.LoadPreparedFile(BenchFile());
    TkvEMFPages& store = report.EMFPages;
    const int index = kPages / 2;
    for (auto _ : state) {
        TkvPage& page = store.UnpackPage(index);
        if (page.ObjectCount() != kObjectsPerPage) state.SkipWithError("wrong object count");
    }
    int unpacked = 0;
    for (const auto& info : store.PageList)
        unpacked += info->Page ? 1 : 0;
    if (unpacked != 1) state.SkipWithError("unpacking one page unpacked others");
    state.counters["unpackedPages"] = unpacked;
}
BENCHMARK(BM_UnpackOnePage)->Unit(benchmark::kMicrosecond);

// The damage sweep the info tests run: every prefix of a small two-page file loaded and every page
// unpacked. Its time belongs here rather than in a test's wall-clock bound.
void BM_LoadEveryPrefix(benchmark::State& state) {
    kvpfile::FileSpec f;
    f.Pages = {kvpfile::PageSpec{.Data = kvpfile::RealisticPage(1, 12)},
               kvpfile::PageSpec{.Data = kvpfile::RealisticPage(2, 12)}};
    const QByteArray good = kvpfile::BuildKvp(f);
    for (auto _ : state) {
        for (qsizetype n = 0; n < good.size(); ++n) {
            TkvReport report;
            TkvMemoryStream s(good.left(n));
            try {
                report.EMFPages.LoadFromStream(&s);
            } catch (const std::exception&) {
            }
            for (int i = 0; i < report.EMFPages.Count(); ++i) {
                try {
                    report.EMFPages.UnpackPage(i);
                } catch (const std::exception&) {
                }
                report.EMFPages.ReleasePage(i);
            }
        }
    }
    state.counters["prefixes"] = double(good.size());
}
BENCHMARK(BM_LoadEveryPrefix)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    kv::RegisterStandardViews();
    kv::RegisterBandAndControlViews();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
