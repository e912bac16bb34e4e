// Time from the start of the viewer to the first page painted on screen: the real main window opens
// the file as the command line does, and the clock stops when the page area has painted a page.
// Usage: viewer_start_bench [file.kvp ...]; without files the demo report and a generated 10,000-page
// report (<temp>/kv_start_bench.kvp, about 60 objects a page, kept for later runs) are measured.
#include "../tests/support/kvp_builder.h"
#include "core/startup.h"
#include "core/store/emf_pages.h"
#include "preview/preview.h"
#include "preview/preview_form.h"
#include "viewer/child_window.h"
#include "viewer/main_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <cstdio>

namespace {

QString LargeReport() {
    const QString path = QDir(QDir::tempPath()).filePath("kv_start_bench.kvp");
    if (QFile::exists(path)) return path;
    kvpfile::FileSpec f;
    for (int i = 0; i < 10000; ++i) {
        kvpfile::PageSpec page;
        page.Data = kvpfile::RealisticPage(i + 1, 60);
        f.Pages.push_back(page);
    }
    QFile out(path);
    if (out.open(QIODevice::WriteOnly)) out.write(kvpfile::BuildKvp(f));
    return path;
}

// Milliseconds from `clock` until the first page of a new document window showing `file` is painted.
double TimeToFirstPage(const QString& file, QElapsedTimer& clock) {
    TfrmMain window;
    window.resize(1000, 800);
    window.show();
    window.OpenPendingFile(file);
    auto* sub = window.MdiArea()->currentSubWindow();
    auto* child = sub ? dynamic_cast<TfrmChild*>(sub->widget()) : nullptr;
    if (!child || !child->Preview().Form().Pages()) return -1;
    TkvEMFPages& pages = *child->Preview().Form().Pages();
    while (!pages.PageInfo(0).PageVisible && clock.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    kv::StartUp();
    QStringList files;
    for (int i = 1; i < argc; ++i) files << QString::fromLocal8Bit(argv[i]);
    if (files.isEmpty()) files << QStringLiteral(KV_SOURCE_DIR "/examples/demo.kvp") << LargeReport();
    for (const QString& file : files) {
        const double ms = TimeToFirstPage(file, clock);
        std::printf("%-60s first page painted %.1f ms after start\n", qPrintable(QFileInfo(file).fileName()), ms);
        clock.restart();
    }
    kv::ShutDown();
    return 0;
}
