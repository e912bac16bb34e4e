// The workbook export: column names, which texts count as numbers, and a small sheet read back by
// openpyxl (texts as text, merged ranges, fonts, fills, borders, wrap, sizes, selection).
#include "export/export_fixture.h"
#include "export/export_run.h"
#include "export/xlsx_export.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(XlsxExport, ColumnNames) {
    const std::pair<int, const char*> cases[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"},
                                                 {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}};
    for (const auto& [n, name] : cases) EXPECT_EQ(TkvXlsxExport::ColumnName(n), name) << n;
}

TEST(XlsxExport, PlainNumbers) {
    const std::pair<const char*, bool> cases[] = {
        {"42", true},         {"-3,5", true},   {"1 323 000,00", true}, {"1\u00a0200", true}, {"0.25", true},
        {"007", false},       {"=1+1", false},  {"1 23", false},        {"12,", false},       {"1e5", false},
        {"4 200 руб.", false}, {"", false},      {"1234 567", false},    {"+7 812", false},
    };
    for (const auto& [text, plain] : cases)
        EXPECT_EQ(TkvXlsxExport::IsPlainNumber(QString::fromUtf8(text)), plain) << text;
    double v = 0;
    ASSERT_TRUE(TkvXlsxExport::IsPlainNumber(QStringLiteral("1 323 000,50"), &v));
    EXPECT_DOUBLE_EQ(v, 1323000.5);
}

// Cancel during the rows' heights stops that loop at once (and the cells after it).
TEST(XlsxExport, CancelStopsTheRowLoop) {
    struct CancelAfterTwoRows : TkvExportProgress {
        void StartPhase(const QString& message, int) override {
            rows = message == QLatin1String("Progress rows");
        }
        void Tick() override {
            if (rows && ++ticks == 2) report->CancelRequested = true;
        }
        TkvReport* report = nullptr;
        bool rows = false;
        int ticks = 0;
    } progress;
    QTemporaryDir dir;
    TkvReport report;
    std::vector<kvtest::MemoSpec> memos;
    for (int i = 0; i < 40; ++i)
        memos.push_back({0, i * 20, 100, 20, QString::number(i)});
    kvtest::AddMemoPage(report, memos);
    progress.report = &report;
    TkvXlsxExport f;
    f.ShowDialog = false;
    kv::ExportWithFilter(report, f, dir.filePath("t.xlsx"), &progress);
    EXPECT_GT(progress.ticks, 0);
    EXPECT_LT(progress.ticks, 10) << "the row loop went on after Cancel";
}

// Read back by a second implementation of the format. openpyxl shows a merged range's outer
// frame on its first cell; the width is 200 page units / 8 plus the format's padding.
TEST(XlsxExport, SheetReadBackByOpenpyxl) {
    const QString python = QStringLiteral("/usr/bin/python3");
    if (QProcess::execute(python, {"-c", "import openpyxl"}) != 0)
        GTEST_SKIP() << "\nnot checked: xlsx read back by openpyxl: python3-openpyxl is not installed";
    QTemporaryDir dir;
    TkvReport report;
    kvtest::AddMemoPage(report, {{0, 0, 200, 40, "=SUM(A1)", 15, 2, 0x00FFFF, 2},
                                 {200, 0, 100, 20, "007"},
                                 {200, 20, 100, 20, "1 200,50"},
                                 {0, 40, 300, 20, QStringLiteral("Итого")}});
    TkvXlsxExport f;
    f.ShowDialog = false;
    f.ConvertNumbers = true;
    const QString out = dir.filePath("t.xlsx");
    const TkvExportResult r = kv::ExportWithFilter(report, f, out);
    ASSERT_TRUE(r.Ok()) << r.Message.toStdString();
    const char* script = R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
def show(c):
    cell = ws[c]
    b = cell.border
    sides = ''.join(s for s, x in (('t', b.top), ('l', b.left), ('b', b.bottom), ('r', b.right)) if x.style)
    fill = cell.fill.fgColor.rgb if cell.fill.fill_type == 'solid' else '-'
    print(c, repr(cell.value), cell.data_type, cell.font.b, cell.alignment.horizontal, cell.alignment.wrap_text, fill, sides or '-')
for c in ('A1', 'B1', 'B2', 'A3'): show(c)
print(sorted(str(m) for m in ws.merged_cells.ranges))
print(round(ws.column_dimensions['A'].width, 2), round(ws.row_dimensions[1].height, 2))
print(ws.sheet_view.selection[0].activeCell)
)";
    QProcess p;
    p.start(python, {"-c", script, out});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString got = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(got.toStdString(), QStringLiteral("A1 '=SUM(A1)' s True center True FFFFFF00 tlbr\n"
                                  "B1 '007' s False left True - -\n"
                                  "B2 1200.5 n False left True - -\n"
                                  "A3 'Итого' s False left True - -\n"
                                  "['A1:A2', 'A3:B3']\n"
                                  "25.71 15.27\n"
                                  "A1\n").toStdString())
        << p.readAllStandardError().constData();
}

} // namespace
