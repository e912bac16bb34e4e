// The report component's prepared-file duties, its design page list and the page's properties.
#include "core/views/band_control_views.h"
#include "core/store/compressor.h"
#include "base/file_stream.h"
#include "core/globals.h"
#include "core/views/memo_view.h"
#include "core/paper/printer.h"
#include "core/report/report.h"
#include "core/views/standard_views.h"
#include "support/kvp_builder.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kvpfile;

namespace {

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class FailingCompressor : public TkvCompressor {
public:
    FailingCompressor() { Enabled = 1; }
    void Compress(TkvStream&, TkvStream&) override { throw std::runtime_error("disk full"); }
};

} // namespace

TEST(PreparedReport, LoadAndSavePreparedFiles) {
    kv::RegisterStandardViews();
    QTemporaryDir dir;
    const QString path = dir.filePath("a.kvp");
    FileSpec f;
    const TkvPrinter& printer = kv::SharedPrinter();
    f.PrinterName = printer.Printers.value(printer.PrinterIndex);
    f.WriterMark = 93;
    f.Pages = {PageSpec{.Data = RealisticPage(1, 8)}};
    WriteFile(path, BuildKvp(f));

    TkvReport report;
    report.DocAuthor = "someone";
    report.WriterMark = 1;
    report.LoadPreparedFile(path);
    EXPECT_TRUE(report.DocAuthor.isEmpty());
    EXPECT_FALSE(report.Rebuildable);
    EXPECT_EQ(report.WriterMark, 93);
    EXPECT_EQ(report.PrinterName, f.PrinterName);
    EXPECT_EQ(report.EMFPages.Count(), 1);

    const QString copy = dir.filePath("b.kvp");
    report.SavePreparedFile(copy);
    EXPECT_EQ(ReadFile(copy), ReadFile(path));

    // A save that fails half-way leaves the old file as it was and no temporary file behind.
    kv::SetCompressor(std::make_unique<FailingCompressor>());
    EXPECT_THROW(report.SavePreparedFile(copy), std::runtime_error);
    kv::SetCompressor(nullptr);
    EXPECT_EQ(ReadFile(copy), ReadFile(path));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);

    EXPECT_THROW(report.SavePreparedFile(dir.filePath("no/such/dir/c.kvp")), TkvFileError);
    EXPECT_THROW(report.LoadPreparedFile(dir.filePath("missing.kvp")), TkvFileError);

    // A damaged file raises; the pages read before stay in the store.
    f.Pages.push_back(f.Pages[0]);
    WriteFile(path, BuildKvp(f).chopped(1));
    EXPECT_THROW(report.LoadPreparedFile(path), TkvPreparedFileError);
    EXPECT_EQ(report.EMFPages.Count(), 2);
}

TEST(PreparedReport, NewReportAndClear) {
    TkvReport report;
    EXPECT_EQ(report.TemplateFileName, "Untitled");
    EXPECT_EQ(report.WriterMark, 88);
    EXPECT_TRUE(report.Rebuildable);
    EXPECT_EQ(report.PreviewButtons, 0x7F);
    report.Pages.Add();
    report.DoublePassReport = 0xFFFF;
    report.DocName = "x";
    report.WriterMark = 5;
    kv::DocumentMode() = 1;
    report.Dictionary.Variables.SetVariable("Total", TkvVariant(QByteArray("1")));
    report.Clear();
    EXPECT_EQ(report.PageCount(), 0);
    EXPECT_EQ(report.Dictionary.Variables.Count(), 0) << "the dictionary goes with the template";
    EXPECT_EQ(report.DoublePassReport, 0);
    EXPECT_TRUE(report.DocName.isEmpty());
    EXPECT_EQ(report.WriterMark, 88);
    EXPECT_EQ(kv::DocumentMode(), 0);
}

TEST(PreparedReport, DesignPageListAndFindViewByName) {
    TkvReport report;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(report.Pages.Add(), i);
        report.Page(i)->Name = "P" + QByteArray::number(i);
        auto v = std::make_unique<TkvMemoView>();
        v->Name = i == 0 ? "Other" : "Same";
        report.Page(i)->Objects.push_back(std::move(v));
    }
    EXPECT_EQ(report.Page(0)->PaperBin, 65535);
    EXPECT_EQ(report.FindViewByName("Same"), report.Page(1)->Object(0));
    // Scripts hand bare names over upper-cased; an exact match elsewhere still wins.
    EXPECT_EQ(report.FindViewByName("OTHER"), report.Page(0)->Object(0));
    report.Page(2)->Objects[0]->Name = "SAME";
    EXPECT_EQ(report.FindViewByName("SAME"), report.Page(2)->Object(0));
    EXPECT_EQ(report.FindViewByName("same"), report.Page(1)->Object(0));
    report.Page(2)->Objects[0]->Name = "Same";
    report.Pages.Move(2, 0);
    EXPECT_EQ(report.Page(0)->Name, "P2");
    EXPECT_EQ(report.FindViewByName("Same"), report.Page(0)->Object(0));
    report.Pages.Delete(0);
    EXPECT_EQ(report.Page(0)->Name, "P0");
    EXPECT_EQ(report.FindViewByName("Nope"), nullptr);
    EXPECT_THROW(report.Pages.Delete(5), std::out_of_range);
}

TEST(PageProperties, PaperExtentsInPageUnits) {
    TkvPage page(9, 0, 0, -1, 0);
    ASSERT_EQ(page.PaperWidth, 2100);
    EXPECT_EQ(page.PaperBin, 65535);
    EXPECT_EQ(page.Property("Width").toInt(), 756);
    page.SetProperty("Width", 756);
    EXPECT_EQ(page.PaperWidth, 2100);
    page.SetProperty("Height", 1000);
    EXPECT_EQ(page.PaperHeight, 2778); // 1000 x 50 / 18 = 2777.8
    EXPECT_EQ(page.PaperSize, 256);
    EXPECT_EQ(page.Property("Height").toInt(), 1000);

    page.SetProperty("Size", 9);
    EXPECT_EQ(page.PaperSize, 9);
    page.SetProperty("orientation", 1);
    EXPECT_EQ(page.Orientation, 1);
    EXPECT_EQ(page.PaperWidth, 2970);

    page.SetProperty("StretchToPrintable", true);
    EXPECT_EQ(page.UseMargins, 0);
    page.SetProperty("LeftMargin", 40);
    EXPECT_EQ(page.Property("LEFTMARGIN").toInt(), 40);
    page.EnsureProperties();
    EXPECT_NE(page.FindProperty("Size"), nullptr);
    EXPECT_NE(page.FindProperty("OnBeforePrint"), nullptr);
    EXPECT_EQ(page.FindProperty("Caption"), nullptr);
}

TEST(PageProperties, MarginsWhilePrintingAreThoseInEffect) {
    TkvPage page(9, 0, 0, -1, 0);
    page.RightMargin = 0;
    page.LeftMargin = 30;
    kv::DocumentMode() = 1;
    EXPECT_EQ(page.Property("LeftMargin").toInt(), 30);
    // No right margin of its own: the printer's unprintable border.
    EXPECT_EQ(page.Property("RightMargin").toInt(),
              page.Metrics.PageWidth - page.Metrics.OffsetLeft - page.Metrics.PrintableWidth);
    kv::DocumentMode() = 0;
    EXPECT_EQ(page.Property("RightMargin").toInt(), 0);
}

TEST(PageProperties, DialogPagesHaveWindowProperties) {
    TkvPage page;
    page.SetProperty("Type", 1);
    page.EnsureProperties();
    EXPECT_NE(page.FindProperty("Caption"), nullptr);
    EXPECT_EQ(page.FindProperty("Size"), nullptr);
    EXPECT_EQ(page.Property("Caption").toText(), "Form");
    page.SetProperty("Width", 500);
    EXPECT_EQ(page.FormWidth, 500);
    EXPECT_EQ(page.Property("Position").toInt(), 4);
    page.SetProperty("OnActivate", "a := 1");
    EXPECT_EQ(page.Script, TkvStringList{"a := 1"});
}
