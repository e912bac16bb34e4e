// The PDF that `kvtool convert` writes, read back by poppler's pdfinfo and pdftotext: the demo's page
// count and paper (A4, portrait and landscape), and its texts, Cyrillic included, in reading order.
// Skipped where poppler's tools are not installed.
#include "cli/prepared_info.h"
#include "core/report/report.h"
#include "core/store/emf_pages.h"
#include "support/kvtool_runner.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

const QString kDemo = QStringLiteral(KV_TEST_DATA "/../../examples/demo.kvp");

using kvtest::ToolRun;

ToolRun Execute(const QString& program, const QStringList& args) {
    return kvtest::RunProgram(program, args, 120000);
}

class DemoPdf : public ::testing::Test {
protected:
    void SetUp() override {
        pdfinfo_ = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
        pdftotext_ = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdfinfo_.isEmpty() || pdftotext_.isEmpty()) GTEST_SKIP() << "\nnot checked: PDF text read back: pdfinfo/pdftotext are not installed (package poppler-utils)";
        ASSERT_TRUE(dir_.isValid());
        pdf_ = dir_.filePath(QStringLiteral("demo.pdf"));
        const ToolRun convert = Execute(kvtest::KvtoolPath(), {QStringLiteral("convert"), kDemo, pdf_});
        ASSERT_EQ(convert.exitCode, 0) << convert.err.toStdString();
    }

    // Page texts of the PDF as pdftotext -layout lays them out, one entry per page.
    QStringList PageTexts() {
        const ToolRun r = Execute(pdftotext_, {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                               QStringLiteral("UTF-8"), pdf_, QStringLiteral("-")});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        QStringList pages = QString::fromUtf8(r.out).split(QChar('\f'));
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
        return pages;
    }

    QTemporaryDir dir_;
    QString pdf_, pdfinfo_, pdftotext_;
};

TEST_F(DemoPdf, PageCountAndPaperMatchTheReport) {
    kvcli::StartLibrary();
    TkvReport report;
    report.LoadPreparedFile(kDemo);
    TkvEMFPages& store = report.EMFPages;
    ASSERT_GT(store.Count(), 1);

    const ToolRun info = Execute(pdfinfo_, {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                            QString::number(store.Count() + 1), pdf_});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    const QString text = QString::fromUtf8(info.out);
    const auto pagesLine =
        QRegularExpression(QStringLiteral(R"(^Pages:\s+(\d+)\s*$)"), QRegularExpression::MultilineOption)
            .match(text);
    ASSERT_TRUE(pagesLine.hasMatch()) << text.toStdString();
    EXPECT_EQ(pagesLine.captured(1).toInt(), store.Count());

    std::map<int, std::pair<double, double>> sizes;
    static const QRegularExpression sizeLine(
        QStringLiteral(R"(Page\s+(\d+) size:\s+([\d.]+) x ([\d.]+) pts)"));
    for (auto it = sizeLine.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        sizes[m.captured(1).toInt()] = {m.captured(2).toDouble(), m.captured(3).toDouble()};
    }
    ASSERT_EQ(int(sizes.size()), store.Count()) << text.toStdString();
    bool sawLandscape = false;
    for (int i = 0; i < store.Count(); ++i) {
        const PreparedPageInfo& page = store.PageInfo(i);
        const bool landscape = page.Metrics.PageWidth > page.Metrics.PageHeight;
        sawLandscape |= landscape;
        const auto [w, h] = sizes[i + 1];
        SCOPED_TRACE(testing::Message() << "page " << i + 1);
        // A4 is 595.28 x 841.89 points; pdfinfo prints them rounded.
        EXPECT_NEAR(w, landscape ? 842 : 595, 1.0);
        EXPECT_NEAR(h, landscape ? 595 : 842, 1.0);
    }
    EXPECT_TRUE(sawLandscape) << "the demo is expected to hold a landscape page";
}

TEST_F(DemoPdf, TextsReadInOrderWithCyrillic) {
    const QStringList pages = PageTexts();
    ASSERT_EQ(pages.size(), 4);
    // Pairs on one page, the first above (or left of) the second.
    struct Case {
        int page;
        QString first, second;
    };
    const Case cases[] = {
        {1, QStringLiteral("Отчёт о продажах за III квартал 2026 года"),
         QStringLiteral("Quarterly sales report, Q3 2026 (July – September)")},
        {1, QStringLiteral("ООО «Северный ветер»"),
         QStringLiteral("Бумага офисная A4, 500 л. / Office paper A4, 500 sheets")},
        {1, QStringLiteral("Бумага офисная A4, 500 л."),
         QStringLiteral("Лоток для бумаг / Desk letter tray")},
        {2, QStringLiteral("Отчёт о продажах · Q3 2026"),
         QStringLiteral("Продажи по регионам / Sales by region")},
        {3, QStringLiteral("Выводы и рекомендации / Conclusions and recommendations"),
         QStringLiteral("Третий квартал подтвердил устойчивость спроса")},
        {4, QStringLiteral("Приложение 1. Крупнейшие клиенты / Appendix 1. Top customers"),
         QStringLiteral("АО «Балтийский порт» / Baltic Port JSC")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "page " << c.page << ": " << c.first.toStdString());
        const QString& text = pages[c.page - 1];
        const qsizetype a = text.indexOf(c.first), b = text.indexOf(c.second);
        ASSERT_GE(a, 0) << text.toStdString();
        ASSERT_GE(b, 0) << text.toStdString();
        EXPECT_LT(a, b);
    }
}

} // namespace
