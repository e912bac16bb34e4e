// The demo exported by `kvtool convert` to every format and opened by LibreOffice (headless): each
// file holds the report's texts, Cyrillic included, in the order of the report. LibreOffice is slow
// to start, so one run converts all documents and one the workbook.
#include "support/kvtool_runner.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kDemo = QStringLiteral(KV_TEST_DATA "/../../examples/demo.kvp");
const QString kTool = kvtest::KvtoolPath();

int RunTool(const QString& program, const QStringList& args, QByteArray* err = nullptr) {
    const kvtest::ToolRun r = kvtest::RunProgram(program, args, 180000);
    if (err) *err = r.err;
    return r.exitCode;
}

QString ReadText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Each needle appears after the previous one.
void ExpectInOrder(const QString& text, const QStringList& needles, const char* what) {
    qsizetype at = 0;
    for (const QString& n : needles) {
        const qsizetype found = text.indexOf(n, at);
        EXPECT_GE(found, 0) << what << ": missing or out of order: " << n.toStdString();
        if (found >= 0) at = found + n.size();
    }
}

const QStringList kTexts = {QStringLiteral("ООО «Северный ветер»"), QStringLiteral("Отчёт о продажах"),
                            QStringLiteral("Бумага офисная A4"), QStringLiteral("Картридж лазерный 59X"),
                            QStringLiteral("Итого за квартал"), QStringLiteral("Комментарий / Commentary"),
                            QStringLiteral("Продажи по регионам")};

TEST(ExportInterop, LibreOfficeReadsEveryExport) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "\nnot checked: the exports read by LibreOffice: LibreOffice is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString d = dir.path();
    QByteArray err;
    ASSERT_EQ(RunTool(kTool, {"convert", kDemo, d + "/line.rtf", "--filter", "rtf"}, &err), 0) << err.constData();
    ASSERT_EQ(RunTool(kTool, {"convert", kDemo, d + "/table.rtf"}, &err), 0) << err.constData();
    ASSERT_EQ(RunTool(kTool, {"convert", kDemo, d + "/book.xlsx"}, &err), 0) << err.constData();
    const QString profile = QStringLiteral("-env:UserInstallation=file://") + d + "/lo-profile";
    ASSERT_EQ(RunTool(soffice, {profile, "--headless", "--convert-to", "txt:Text (encoded):UTF8", "--outdir", d + "/out",
                            d + "/line.rtf", d + "/table.rtf"}),
              0);
    ASSERT_EQ(RunTool(soffice, {profile, "--headless", "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76",
                            "--outdir", d + "/out", d + "/book.xlsx"}),
              0);
    ExpectInOrder(ReadText(d + "/out/line.txt"), kTexts, "line RTF");
    ExpectInOrder(ReadText(d + "/out/table.txt"), kTexts, "table RTF");
    ExpectInOrder(ReadText(d + "/out/book.csv"), kTexts, "workbook");
}

// The table RTF as LibreOffice lays it out: one printed page per report page, each page's own texts
// on it (the rows of one page once ran on into the next, so a page's header ended up at the bottom
// of the page before), and rotated text read as one line instead of a column of single letters.
TEST(ExportInterop, TableRtfKeepsThePagesAndRotatedText) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (soffice.isEmpty() || pdftotext.isEmpty())
        GTEST_SKIP() << "\nnot checked: the table RTF laid out by LibreOffice: LibreOffice or pdftotext is "
                        "not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString d = dir.path();
    QByteArray err;
    ASSERT_EQ(RunTool(kTool, {"convert", kDemo, d + "/table.rtf"}, &err), 0) << err.constData();
    const QString profile = QStringLiteral("-env:UserInstallation=file://") + d + "/lo-profile";
    ASSERT_EQ(RunTool(soffice, {profile, "--headless", "--convert-to", "pdf", "--outdir", d, d + "/table.rtf"}), 0);
    const auto pageText = [&](int page) {
        const QString out = d + QStringLiteral("/p%1.txt").arg(page);
        const QString n = QString::number(page);
        if (RunTool(pdftotext, {"-f", n, "-l", n, d + "/table.pdf", out}) != 0) return QString();
        return ReadText(out);
    };
    // Texts that begin each page (below its running header) and the footers of the portrait pages.
    const QStringList firsts = {QStringLiteral("Отчёт о продажах за III квартал"),
                                QStringLiteral("Продажи по регионам / Sales"),
                                QStringLiteral("Выводы и рекомендации"), QStringLiteral("Приложение 1")};
    for (int page = 1; page <= 4; ++page) {
        const QString text = pageText(page);
        ASSERT_FALSE(text.isEmpty()) << "no printed page " << page;
        for (int other = 0; other < 4; ++other)
            EXPECT_EQ(text.contains(firsts[other]), other == page - 1)
                << firsts[other].toStdString() << " on printed page " << page;
        // The footer sits at the right edge: on a landscape page laid on portrait paper it was cut.
        EXPECT_TRUE(text.contains(QStringLiteral("Страница %1 из 4").arg(page))) << page;
    }
    EXPECT_TRUE(pageText(5).isEmpty()) << "more printed pages than report pages";
    EXPECT_TRUE(pageText(2).contains(QStringLiteral("ДЛЯ СЛУЖЕБНОГО ПОЛЬЗОВАНИЯ")));
    EXPECT_TRUE(pageText(4).contains(QStringLiteral("Менеджер")));
    // The rich text object keeps its Cyrillic (windows-1251 bytes in its own RTF).
    const QString page3 = pageText(3);
    EXPECT_TRUE(page3.contains(QStringLiteral("Рекомендации"))) << page3.toStdString();
    EXPECT_TRUE(page3.contains(QStringLiteral("Продлить годовые договоры")));

    // Each printed page has its report page's paper: the demo's last page is landscape.
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdfinfo.isEmpty()) return;
    QProcess info;
    info.start(pdfinfo, {"-f", "1", "-l", "4", d + "/table.pdf"});
    ASSERT_TRUE(info.waitForFinished(60000));
    const QString sizes = QString::fromUtf8(info.readAllStandardOutput());
    for (int page = 1; page <= 4; ++page) {
        const QRegularExpression re(QStringLiteral("Page +%1 size: +([0-9.]+) x ([0-9.]+)").arg(page));
        const QRegularExpressionMatch m = re.match(sizes);
        ASSERT_TRUE(m.hasMatch()) << sizes.toStdString();
        const bool wide = m.captured(1).toDouble() > m.captured(2).toDouble();
        EXPECT_EQ(wide, page == 4) << "printed page " << page << ": " << m.captured(0).toStdString();
    }
}

} // namespace
