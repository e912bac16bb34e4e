// Printing through a real spooler: the private CUPS scheduler of scripts/start-test-cups.sh with its
// PDF queue. ctest starts it as a fixture and passes its state folder in KV_TEST_CUPS_DIR; without
// it (or when it could not start) these tests are skipped with one line saying why.

#include "tools/demo_report.h"
#include "cli/print_command.h"
#include "cli/render_command.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

namespace {

QString CupsDir() {
    return qEnvironmentVariable("KV_TEST_CUPS_DIR");
}

// The scheduler's own folder (spool, output), named by the start script.
QString SpoolerRoot() {
    QFile root(CupsDir() + "/root");
    return root.open(QIODevice::ReadOnly) ? QString::fromUtf8(root.readAll()).trimmed() : QString();
}

QString SkipReason() {
    if (CupsDir().isEmpty())
        return "KV_TEST_CUPS_DIR is not set (run through ctest, which starts the spooler)";
    QFile status(CupsDir() + "/status");
    if (!status.open(QIODevice::ReadOnly)) return "the test spooler left no status in " + CupsDir();
    const QString s = QString::fromUtf8(status.readAll()).trimmed();
    if (s != "ready") return "the test spooler is " + s;
    // Every CUPS client of this process talks to the private scheduler.
    QFile server(CupsDir() + "/server");
    if (!server.open(QIODevice::ReadOnly)) return "the test spooler did not name its socket";
    if (SpoolerRoot().isEmpty()) return "the test spooler did not name its folder";
    qputenv("CUPS_SERVER", server.readAll().trimmed());
    return {};
}

QString RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The queue names its output after the job title and ends it with the job number; it is complete
// once poppler can read it.
QString WaitForOutput(const QString& title, int* jobId) {
    const QDir out(SpoolerRoot() + "/out");
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 90000) {
        for (const QString& name : out.entryList({title + "*.pdf"}, QDir::Files)) {
            const QString path = out.filePath(name);
            if (RunTool("pdfinfo", {path}).contains("Pages:")) {
                const QRegularExpressionMatch m = QRegularExpression("job_(\\d+)\\.pdf$").match(name);
                *jobId = m.hasMatch() ? m.captured(1).toInt() : 0;
                return path;
            }
        }
        QThread::msleep(200);
    }
    return {};
}

QStringList PageSizes(const QString& pdf, int pages) {
    QStringList sizes;
    const QString info = RunTool("pdfinfo", {"-f", "1", "-l", QString::number(pages), pdf});
    for (const QString& line : info.split('\n'))
        if (line.startsWith("Page ") && line.contains(" size:")) sizes << line.section("size:", 1).trimmed();
    return sizes;
}

QImage PageImage(const QString& pdf, int page, const QString& stem) {
    RunTool("pdftoppm", {"-r", "20", "-gray", "-png", "-singlefile", "-f", QString::number(page), "-l",
                         QString::number(page), pdf, stem});
    return QImage(stem + ".png");
}

// Mean absolute grey difference of two pages rendered alike, 0 to 255.
double Difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull()) return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    return sum / (a.width() * a.height());
}

TEST(CupsPrint, DemoPagesTwoToThreeInTwoCollatedCopies) {
    if (const QString why = SkipReason(); !why.isEmpty()) GTEST_SKIP() << "\nnot checked: printing through a CUPS spooler: " << why.toStdString();
    const QString demo = QDir(CupsDir()).filePath("demo.kvp");
    ASSERT_EQ(kvdemo::MakeDemo(demo), QByteArray());
    const QString title = QStringLiteral("kvdemo%1").arg(QCoreApplication::applicationPid());

    const kvcli::CommandResult r = kvcli::PrintFromArguments(
        {demo, "--printer", "kvpdf", "--pages", "2-3", "--copies", "2", "--collate", "--title", title});
    ASSERT_EQ(r.ExitCode, 0) << r.Error.toStdString();
    EXPECT_EQ(r.Out, "printed 4 page(s) in 1 document(s) on \"kvpdf\"\n");

    int jobId = 0;
    const QString pdf = WaitForOutput(title, &jobId);
    ASSERT_FALSE(pdf.isEmpty()) << "no output from the spooler in " << SpoolerRoot().toStdString() << "/out";
    EXPECT_TRUE(RunTool("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+4\\n")));
    EXPECT_EQ(PageSizes(pdf, 4), QStringList(4, QStringLiteral("595 x 842 pts (A4)")));

    // The document the spooler received carries the text; the queue's PostScript stage keeps the
    // drawing but not the text encoding, so the text is read from the spooled job.
    const QString spooled = QStringLiteral("%1/spool/d%2-001").arg(SpoolerRoot()).arg(jobId, 5, 10, QChar('0'));
    ASSERT_TRUE(QFile::exists(spooled)) << spooled.toStdString();
    QStringList texts;
    for (int page = 1; page <= 4; ++page)
        texts << RunTool("pdftotext",
                         {"-f", QString::number(page), "-l", QString::number(page), spooled, "-"});
    const QString direct = QDir(CupsDir()).filePath(title + "-direct.pdf");
    ASSERT_EQ(kvcli::ConvertToPdf(demo, direct).ExitCode, 0);
    const auto demoText = [&](int page) {
        return RunTool("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), direct, "-"});
    };
    EXPECT_FALSE(demoText(2).trimmed().isEmpty());
    EXPECT_NE(demoText(2), demoText(3));
    EXPECT_EQ(texts, (QStringList{demoText(2), demoText(3), demoText(2), demoText(3)}));

    // And the sheets that came out are pages 2, 3, 2, 3 as drawn directly.
    const QString stem = QDir(CupsDir()).filePath(title);
    const QImage want2 = PageImage(direct, 2, stem + "-w2"), want3 = PageImage(direct, 3, stem + "-w3");
    const QImage want[] = {want2, want3, want2, want3};
    for (int page = 1; page <= 4; ++page) {
        const QImage got = PageImage(pdf, page, stem + QStringLiteral("-g%1").arg(page));
        const QImage& same = want[page - 1];
        const QImage& other = page % 2 ? want3 : want2;
        EXPECT_LT(Difference(got, same), Difference(got, other)) << "sheet " << page;
        EXPECT_LT(Difference(got, same), 8.0) << "sheet " << page;
    }
}

TEST(CupsPrint, PrinterListAndRefusals) {
    if (const QString why = SkipReason(); !why.isEmpty()) GTEST_SKIP() << "\nnot checked: printing through a CUPS spooler: " << why.toStdString();
    const kvcli::CommandResult list = kvcli::ListPrinters();
    EXPECT_EQ(list.ExitCode, 0);
    EXPECT_TRUE(list.Out.contains("kvpdf\n")) << list.Out.toStdString();
    EXPECT_TRUE(list.Out.endsWith("Virtual printer (cannot print)\n")) << list.Out.toStdString();

    const QString demo = QDir(CupsDir()).filePath("demo-refusals.kvp");
    ASSERT_EQ(kvdemo::MakeDemo(demo), QByteArray());
    struct Case {
        QStringList args;
        int exitCode;
    };
    const Case cases[] = {
        {{"--pages", "-"}, 2},
        {{"--pages", "-5"}, 2},
        {{"--pages", ",,"}, 2},
        {{"--copies", "0"}, 2},
        {{"--parity", "both"}, 2},
        {{"--pages", "4", "--parity", "odd"}, 1}, // selects no page
        {{"--pages", "7-9"}, 1},                  // beyond the last page
        {{"--printer", "Virtual printer"}, 1},    // cannot print
        {{"--printer", "no-such-printer"}, 1},
    };
    for (const Case& c : cases) {
        const kvcli::CommandResult r = kvcli::PrintFromArguments(QStringList{demo} + c.args);
        EXPECT_EQ(r.ExitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_FALSE(r.Error.isEmpty()) << c.args.join(' ').toStdString();
    }
}

} // namespace
