// Building a list report: a master data band with five text objects (one field each) over an
// in-memory data set of 25,000, 50,000 and 100,000 rows, single pass, written to a prepared
// report file. Counters: rows per second, the file's size and the process's peak resident memory,
// so that growth from 25,000 to 100,000 rows can be read off one run.
#include "base/component_directory.h"
#include "core/report/report.h"
#include "core/startup.h"
#include "core/views/band_control_views.h"
#include "core/views/band_view.h"
#include "core/views/memo_view.h"
#include "core/views/standard_views.h"
#include "engine/build/report_builder.h"
#include "engine/data/dataset.h"
#include "engine/data/row_sources.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

double PeakResidentMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

void BM_BuildList(benchmark::State& state) {
    const int rowCount = int(state.range(0));
    kv::StartUp();
    kv::RegisterStandardViews();
    kv::RegisterBandAndControlViews();

    std::vector<TkvColumn> columns = {
        {"Id", TkvFieldType::Integer}, {"Name"}, {"City"}, {"Qty", TkvFieldType::Integer}, {"Note"}};
    std::vector<TkvRow> rows;
    rows.reserve(size_t(rowCount));
    for (int i = 0; i < rowCount; ++i)
        rows.push_back(TkvRow{TkvVariant(i), TkvVariant("Customer " + QByteArray::number(i)),
                              TkvVariant(i % 2 ? "Berlin" : "Lyon"), TkvVariant(i % 97),
                              TkvVariant("note " + QByteArray::number(i % 13))});

    TkvDataDirectory directory;
    TkvDataModule& module = directory.AddModule("Data");
    auto* table = module.Add(std::make_unique<TkvRecordSet>(
        "ItemsTable", std::make_unique<TkvMemoryRowSource>(std::move(columns), std::move(rows))));
    auto* set = module.Add(std::make_unique<TkvDBDataSet>("Items"));
    set->SetDataSet(table);
    kv::SetComponentDirectory(&directory);

    TkvReport report;
    report.Pages.Add();
    TkvPage* page = report.Page(0);
    page->Metrics.PageWidth = 758;
    page->Metrics.PageHeight = 1071;
    auto band = std::make_unique<TkvBandView>();
    band->Name = "MasterData1";
    band->SetBandType(kvbt::MasterData);
    band->SetBounds(0, 40, 700, 18);
    band->SetDataSource("Items");
    page->Objects.push_back(std::move(band));
    const char* const fields[] = {"Id", "Name", "City", "Qty", "Note"};
    for (int f = 0; f < 5; ++f) {
        auto text = std::make_unique<TkvMemoView>();
        text->Name = "Text" + QByteArray::number(f + 1);
        text->SetBounds(10 + f * 130, 40, 125, 18);
        text->Memo = {"[Items.\"" + QByteArray(fields[f]) + "\"]"};
        page->Objects.push_back(std::move(text));
    }

    QTemporaryDir dir;
    const QString out = dir.filePath("list.kvp");
    for (auto _ : state) {
        TkvReportBuilder builder(report);
        const TkvBuildResult result = builder.BuildDocument();
        if (!result.Ok) {
            state.SkipWithError(result.ErrorText.constData());
            break;
        }
        report.SavePreparedFile(out);
    }
    state.counters["rows/s"] =
        benchmark::Counter(double(rowCount) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["pages"] = double(report.EMFPages.Count());
    state.counters["file_MB"] = double(QFileInfo(out).size()) / (1024.0 * 1024.0);
    state.counters["peak_rss_MB"] = PeakResidentMB();
    kv::SetComponentDirectory(nullptr);
}
BENCHMARK(BM_BuildList)->Arg(25000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
