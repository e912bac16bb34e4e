// Searching a long report: `kvtool find` over a 10,000-page report (about 60 objects a page) for a
// word that appears only on the last page, so every page is recorded and searched. Reports pages
// searched per second and the tool's peak memory next to the peak of `kvtool info` on the same file
// (loading alone); an in-process run of the page search checks that memory stays flat while the
// pages go by (each page is unpacked, recorded, searched and released before the next).
//
// The file is generated on first use as <temp>/kv_find_bench.kvp (or $KV_FIND_BENCH_FILE).
#include "../tests/support/kvp_builder.h"
#include "core/report/report.h"
#include "core/startup.h"
#include "core/store/page_search.h"
#include "core/views/band_control_views.h"
#include "core/views/standard_views.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kPages = 10000;
const QByteArray kWord = "Zanzibar";

QString BenchFile() {
    static const QString path = [] {
        const QString p = qEnvironmentVariableIsSet("KV_FIND_BENCH_FILE") ? qEnvironmentVariable("KV_FIND_BENCH_FILE")
                                                                          : QDir::temp().filePath("kv_find_bench.kvp");
        if (QFileInfo(p).size() > 0) return p;
        kvpfile::FileSpec f;
        f.Pages.reserve(kPages);
        for (int i = 0; i < kPages; ++i) {
            kvpfile::PageSpec page;
            if (i + 1 < kPages) {
                page.Data = kvpfile::RealisticPage(i + 1, 60);
            } else {
                kvpfile::PackedPage last;
                kvpfile::CommonRecord r;
                r.Left = 40, r.Top = 500, r.Width = 680, r.Height = 30;
                r.Memo = {"Shipped to " + kWord + " on the last day"};
                last.Text(r);
                page.Data = last.Data();
            }
            f.Pages.push_back(std::move(page));
        }
        QFile out(p);
        if (!out.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(p));
        out.write(kvpfile::BuildKvp(f));
        return p;
    }();
    return path;
}

struct ChildRun {
    int exitCode = -1;
    double seconds = 0;    // wall clock
    double cpuSeconds = 0; // user and system time of the tool
    double peakMB = 0;
    QByteArray out;
};

// The high-water mark of a running process's resident set ("VmHWM" of /proc/PID/status), in KB.
long HighWaterKB(pid_t pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Runs kvtool with its standard output in a file. The peak resident set is read from /proc while
// the tool runs: the rusage figure of a spawned child also counts the memory of this process
// before the exec.
ChildRun RunKvtool(const QStringList& args) {
    const QByteArray tool = KV_KVTOOL;
    const QByteArray outPath = QDir::temp().filePath("kv_find_bench.out").toLocal8Bit();
    std::vector<QByteArray> storage{tool};
    for (const QString& a : args) storage.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& s : storage) argv.push_back(s.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ChildRun run;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, tool.constData(), &actions, nullptr, argv.data(), environ) != 0) return run;
    int status = 0;
    rusage usage{};
    long peakKB = 0;
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        peakKB = std::max(peakKB, HighWaterKB(pid));
        usleep(2000);
    }
    run.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                     usage.ru_stime.tv_usec / 1e6;
    run.seconds = timer.nsecsElapsed() / 1e9;
    posix_spawn_file_actions_destroy(&actions);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakMB = peakKB / 1024.0;
    QFile out(QString::fromLocal8Bit(outPath));
    if (out.open(QIODevice::ReadOnly)) run.out = out.readAll();
    return run;
}

void BM_KvtoolFindLastPage(benchmark::State& state) {
    const QString path = BenchFile();
    for (auto _ : state) {
        const ChildRun find = RunKvtool({"find", path, QString::fromLatin1(kWord)});
        if (find.exitCode != 0 || !find.out.startsWith(QByteArray::number(kPages) + '\t') || find.out.count('\n') != 1)
            state.SkipWithError("kvtool find did not find the word on the last page only");
        const ChildRun info = RunKvtool({"info", path});
        state.SetIterationTime(find.seconds);
        state.counters["pages_per_s"] = kPages / find.seconds;
        state.counters["pages_per_cpu_s"] = kPages / find.cpuSeconds;
        state.counters["info_s"] = info.seconds;
        state.counters["find_peak_MB"] = find.peakMB;
        state.counters["info_peak_MB"] = info.peakMB;
    }
}
BENCHMARK(BM_KvtoolFindLastPage)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

long ResidentKB() {
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

// The search loop in-process: resident memory after the first 1,000 pages and at the end.
void BM_FindOnPagesMemory(benchmark::State& state) {
    TkvReport report;
    report.LoadPreparedFile(BenchFile());
    TkvEMFPages& pages = report.EMFPages;
    for (auto _ : state) {
        long after1000 = 0;
        int found = 0;
        for (int i = 0; i < pages.Count(); ++i) {
            found += int(kv::FindOnPage(pages, i, QString::fromLatin1(kWord), Qt::CaseInsensitive).size());
            if (i == 999) after1000 = ResidentKB();
        }
        const long atEnd = ResidentKB();
        if (found != 1) state.SkipWithError("the word should be found once");
        int unpacked = 0;
        for (const auto& info : pages.PageList) unpacked += info->Page ? 1 : 0;
        if (unpacked != 0) state.SkipWithError("searched pages were left unpacked");
        state.counters["rss_after_1000_pages_MB"] = after1000 / 1024.0;
        state.counters["rss_growth_last_9000_pages_MB"] = (atEnd - after1000) / 1024.0;
    }
}
BENCHMARK(BM_FindOnPagesMemory)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    kv::StartUp();
    kv::RegisterStandardViews();
    kv::RegisterBandAndControlViews();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
