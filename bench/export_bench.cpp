// Exports of a long report (60 framed texts a page) to every format, at 250 and 1,000 pages, to
// show the pages per second and how the time grows with the pages.
#include "core/report/page.h"
#include "core/report/report.h"
#include "core/startup.h"
#include "core/views/memo_view.h"
#include "export/export_run.h"
#include "export/rtf_adv_export.h"
#include "export/rtf_export.h"
#include "export/text_export.h"
#include "export/xlsx_export.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

TkvReport& Report(int pages) {
    static std::map<int, std::unique_ptr<TkvReport>> reports;
    auto& r = reports[pages];
    if (r) return *r;
    kv::StartUp();
    r = std::make_unique<TkvReport>();
    TkvPage design;
    for (int p = 0; p < pages; ++p) {
        r->EMFPages.InsertPage(p, design);
        auto page = std::make_unique<TkvPage>();
        for (int i = 0; i < 60; ++i) {
            auto m = std::make_unique<TkvMemoView>();
            m->SetBounds(40 + (i % 4) * 170, 40 + (i / 4) * 60, 170, 60);
            m->FrameTyp = 15;
            m->Flags = 0;
            m->Memo = {"Row " + QByteArray::number(i / 4) + " cell " + QByteArray::number(i % 4),
                       "page " + QByteArray::number(p + 1)};
            m->Name = "Memo" + QByteArray::number(i + 1);
            m->OwnerPage = page.get();
            page->Objects.push_back(std::move(m));
        }
        r->EMFPages.PageInfo(p).Page = std::move(page);
        r->EMFPages.PackPage(p);
        r->EMFPages.ReleasePage(p);
    }
    return *r;
}

template <class Filter> void BM_Export(benchmark::State& state) {
    const int pages = int(state.range(0));
    TkvReport& report = Report(pages);
    QTemporaryDir dir;
    for (auto _ : state) {
        Filter f;
        f.ShowDialog = false;
        const TkvExportResult r = kv::ExportWithFilter(report, f, dir.filePath("out"));
        if (!r.Ok()) state.SkipWithError(r.Message.toUtf8().constData());
    }
    state.counters["pages/s"] = benchmark::Counter(double(pages) * double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK_TEMPLATE(BM_Export, TkvTextExport)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Export, TkvRTFExport)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Export, TkvRtfAdvExport)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Export, TkvXlsxExport)->Arg(250)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
