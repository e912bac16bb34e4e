// Scrolling through a 10,000-page prepared report in the preview: the store keeps pages packed and
// the page box unpacks only the pages in view, so memory should stay near the file's size and a
// repaint should cost about the same on the last page as on the first.
//
// Generates the report (about 60 objects a page) into a temporary folder, loads it into a preview
// window whose page box is 1000 x 700, then scrolls from the top to the bottom one screen at a time,
// repainting synchronously after each step. Prints the file size, the peak resident set size (from
// /proc/self/status), the median and slowest repaint and how many pages are left unpacked.
// Pass a page count as the first argument for a shorter run.
#include "../tests/support/kvp_builder.h"
#include "core/views/band_control_views.h"
#include "core/store/emf_pages.h"
#include "core/report/report.h"
#include "core/views/standard_views.h"
#include "core/startup.h"
#include "preview/page_box.h"
#include "preview/preview_form.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int kObjectsPerPage = 60;
constexpr int kBoxWidth = 1000, kBoxHeight = 700;

// Resident set size in bytes, 0 where /proc is not available.
qint64 ResidentBytes() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return 0;
}

int UnpackedPages(TkvEMFPages& store) {
    int n = 0;
    for (int i = 0; i < store.Count(); ++i)
        n += store.PageInfo(i).Page ? 1 : 0;
    return n;
}

double Mb(qint64 bytes) {
    return double(bytes) / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kv::StartUp();
    kv::RegisterStandardViews();
    kv::RegisterBandAndControlViews();
    const int pages = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scroll.kvp"));
    {
        kvpfile::FileSpec f;
        f.Pages.reserve(size_t(pages));
        for (int i = 0; i < pages; ++i) {
            kvpfile::PageSpec page;
            page.Data = kvpfile::RealisticPage(i + 1, kObjectsPerPage);
            f.Pages.push_back(std::move(page));
        }
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(kvpfile::BuildKvp(f)) <= 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const qint64 fileSize = QFileInfo(path).size();
    const qint64 rssBeforeLoad = ResidentBytes();

    TkvReport report;
    report.LoadPreparedFile(path);
    const qint64 rssAfterLoad = ResidentBytes();
    TkvPreviewForm form;
    form.TakePages(&report);
    TkvEMFPages& store = *form.Pages();
    form.resize(kBoxWidth + 100, kBoxHeight + 100);
    form.show();
    QApplication::processEvents();
    // Grow or shrink the window by what the page box is off its target size.
    const QSize box = form.PageBox()->size();
    form.resize(form.size() + QSize(kBoxWidth - box.width(), kBoxHeight - box.height()));
    QApplication::processEvents();
    form.ResetView(true);
    form.PageBox()->repaint();
    const int unpackedAfterOpen = UnpackedPages(store);

    std::printf("pages %d, page box %d x %d, zoom %.3f, scroll range 0..%d\n", store.Count(),
                form.PageBox()->width(), form.PageBox()->height(), form.Zoom, form.VScrollBar()->maximum());
    std::printf("unpacked pages after opening: %d\n", unpackedAfterOpen);

    using Clock = std::chrono::steady_clock;
    std::vector<double> repaintMs;
    qint64 maxRss = ResidentBytes();
    QScrollBar* bar = form.VScrollBar();
    const int step = form.PageBox()->height();
    for (int v = 0;; v = std::min(v + step, bar->maximum())) {
        bar->setValue(v);
        const auto t0 = Clock::now();
        form.PageBox()->repaint();
        repaintMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        maxRss = std::max(maxRss, ResidentBytes());
        if (repaintMs.size() % 200 == 0) QApplication::processEvents();
        if (v == bar->maximum()) break;
    }
    const int unpackedAtEnd = UnpackedPages(store);

    std::vector<double> sorted = repaintMs;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    const double slowest = sorted.back();
    const auto slowestAt = std::max_element(repaintMs.begin(), repaintMs.end()) - repaintMs.begin();

    std::printf("file size:             %lld bytes (%.1f MiB)\n", fileSize, Mb(fileSize));
    std::printf("RSS before loading:    %.1f MiB\n", Mb(rssBeforeLoad));
    std::printf("RSS after loading:     %.1f MiB\n", Mb(rssAfterLoad));
    std::printf("max RSS while scrolling: %.1f MiB\n", Mb(maxRss));
    std::printf("max RSS - file size:   %.1f MiB\n", Mb(maxRss - fileSize));
    std::printf("repaints: %zu, median %.3f ms, max %.3f ms (step %lld), first %.3f ms, last %.3f ms\n",
                repaintMs.size(), median, slowest, static_cast<long long>(slowestAt), repaintMs.front(),
                repaintMs.back());
    std::printf("unpacked pages at the end: %d (current page %d)\n", unpackedAtEnd, form.CurrentPage);
    form.ReturnPages();
    return 0;
}
