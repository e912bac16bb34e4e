// kvtool info and convert: the JSON report of every object class, damaged input, and the binary's
// exit codes, error lines and file handling.
#include "cli/prepared_info.h"
#include "core/store/kvp_format.h"
#include "support/kvp_builder.h"
#include "support/kvtool_runner.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>


using namespace kvpfile;

namespace {

CommonRecord Rec(const QByteArray& name, QList<QByteArray> memo = {}) {
    CommonRecord r;
    r.Name = name;
    r.Memo = std::move(memo);
    return r;
}

// Two pages covering every class; page 2 also holds an add-in class nobody registered.
QByteArray SampleFile() {
    TextTail cyr;
    cyr.Charset = 204;
    cyr.FontName = "Times New Roman";
    cyr.FontSize = 12;
    cyr.FontStyle = 3;
    cyr.Alignment = 2;
    cyr.LineSpacing = 5;
    cyr.CharSpacing = 1;
    TextTail greek;
    greek.Charset = 161;
    TextTail east;
    east.Charset = 238;
    CommonRecord link = Rec("URL1", {"see page 3"});
    link.Tag = "@3";
    BandTail band;
    band.ChildBand = "Child1";
    band.Master = "MasterData1";
    band.Columns = 2;
    CommonRecord bandRec = Rec("Band1");
    bandRec.FrameTyp = 5; // master data
    bandRec.ClassRecordVersion = 1;

    PackedPage p1;
    p1.Text(Rec("Memo1", {"\xCF\xF0\xE8\xE2\xE5\xF2", "line 2"}), cyr)
        .Text(Rec("Memo2", {"\xC1\xE2\xE3"}), greek)
        .Text(Rec("Memo3", {"\xA3\xF3\x64\x9F"}), east)
        .Text(link)
        .Picture(Rec("Picture1"), 4, QByteArray("\xFF\xD8not really a jpeg"), 1)
        .Line(Rec("Line1"))
        .SubReport(Rec("SubReport1"), 2)
        .Band(bandRec, band)
        .Rich(Rec("Rich1"), "{\\rtf1 rich}");
    PackedPage p2;
    p2.Text(Rec("Memo4", {"before"})).AddIn("TkvChartView", Rec("Chart1")).Text(Rec("Memo5", {"after"}));
    PackedPage p3;
    p3.Line(Rec("Line2"));

    FileSpec f;
    f.PrinterName = "Office \xCF";
    f.WriterMark = 90;
    PageSpec a;
    a.Data = p1.Data();
    a.UseMargins = 0;
    a.Margins[0] = 1, a.Margins[1] = 2, a.Margins[2] = 3, a.Margins[3] = 4;
    PageSpec b;
    b.Data = p2.Data();
    b.PaperSize = 256;
    b.PaperWidth = 1000;
    b.PaperHeight = 1500;
    b.Orientation = 1;
    b.PaperBin = 3;
    PageSpec c;
    c.Data = p3.Data();
    f.Pages = {a, b, c};
    return BuildKvp(f);
}

// A small file with one object of every class and an unregistered add-in, for the damage sweeps.
QByteArray SmallFile() {
    CommonRecord band = Rec("Band1");
    band.ClassRecordVersion = 1;
    PackedPage p1;
    p1.Text(Rec("Memo1", {"\xCF\xF0"})).Picture(Rec("P"), 1, "BM").Line(Rec("L")).SubReport(Rec("S"), 1);
    p1.Band(band).Rich(Rec("R"), "{\\rtf1}");
    PackedPage p2;
    p2.AddIn("TkvChartView", Rec("C")).Text(Rec("M"));
    FileSpec f;
    f.Pages = {PageSpec{.Data = p1.Data()}, PageSpec{.Data = p2.Data()}};
    return BuildKvp(f);
}

QJsonObject ParseJson(const QByteArray& out) {
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(out, &err);
    EXPECT_EQ(err.error, QJsonParseError::NoError) << err.errorString().toStdString();
    return doc.object();
}

using kvtest::RunKvtool;
using kvtest::ToolRun;

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(KvtoolInfo, JsonReportsEveryClassAndTheFailingPage) {
    const kvcli::CommandResult r = kvcli::InfoFromBytes(SampleFile(), true, "sample.kvp");
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Error, "sample.kvp: Page 2: the object class \"TkvChartView\" is not registered");
    const QJsonObject doc = ParseJson(r.Out);
    EXPECT_EQ(doc["version"].toInt(), 25);
    EXPECT_EQ(doc["compressed"].toInt(), 0);
    EXPECT_EQ(doc["printer"].toString(), QString::fromUtf8("Office П"));
    EXPECT_EQ(doc["writerMark"].toInt(), 90);
    const QJsonArray pages = doc["pages"].toArray();
    ASSERT_EQ(pages.size(), 3);

    const QJsonObject p1 = pages[0].toObject();
    EXPECT_EQ(p1["paperSize"].toInt(), 9);
    EXPECT_EQ(p1["paperWidth"].toInt(), 2100);
    EXPECT_EQ(p1["useMargins"].toBool(), false);
    EXPECT_EQ(p1["margins"].toArray(), (QJsonArray{1, 2, 3, 4}));
    const QJsonArray o = p1["objects"].toArray();
    ASSERT_EQ(o.size(), 9);
    const QJsonObject memo = o[0].toObject();
    EXPECT_EQ(memo["type"].toInt(), 0);
    EXPECT_EQ(memo["class"].toString(), "TkvMemoView");
    EXPECT_EQ(memo["name"].toString(), "Memo1");
    EXPECT_EQ(memo["memo"].toArray(), (QJsonArray{QString::fromUtf8("Привет"), "line 2"}));
    EXPECT_EQ(memo["font"].toObject(),
              (QJsonObject{
                  {"name", "Times New Roman"}, {"size", 12}, {"style", 3}, {"color", 0}, {"charset", 204}}));
    EXPECT_EQ(memo["alignment"].toInt(), 2);
    EXPECT_EQ(memo["lineSpacing"].toInt(), 5);
    EXPECT_EQ(memo["charSpacing"].toInt(), 1);
    for (const char* key : {"left", "top", "width", "height", "flags", "frameTyp", "frameWidth", "frameColor",
                            "frameStyle", "fillColor", "gapX", "gapY", "bandAlign", "restrictions", "tag"})
        EXPECT_TRUE(memo.contains(key)) << key;
    EXPECT_EQ(memo["fillColor"].toInteger(), 0x1FFFFFFF);
    EXPECT_EQ(o[1].toObject()["memo"].toArray(), QJsonArray{QString::fromUtf8("Αβγ")});
    EXPECT_EQ(o[2].toObject()["memo"].toArray(), QJsonArray{QString::fromUtf8("Łódź")});
    EXPECT_EQ(o[3].toObject()["tag"].toString(), "@3");
    const QJsonObject pic = o[4].toObject();
    EXPECT_EQ(pic["class"].toString(), "TkvPictureView");
    EXPECT_EQ(pic["graphicKind"].toInt(), 4);
    EXPECT_EQ(pic["blobType"].toInt(), 1);
    EXPECT_EQ(pic["graphicBytes"].toInt(), 19);
    EXPECT_EQ(o[5].toObject()["type"].toInt(), 4);
    EXPECT_EQ(o[6].toObject()["subPageIndex"].toInt(), 2);
    const QJsonObject b = o[7].toObject();
    EXPECT_EQ(b["bandType"].toInt(), 5);
    EXPECT_EQ(b["childBand"].toString(), "Child1");
    EXPECT_EQ(b["master"].toString(), "MasterData1");
    EXPECT_EQ(b["columns"].toInt(), 2);
    EXPECT_EQ(b["columnWidth"].toInt(), 200);
    EXPECT_EQ(b["columnGap"].toInt(), 20);
    EXPECT_EQ(b["newColumnAfter"].toInt(), 1);
    EXPECT_TRUE(b.contains("dataSource"));
    const QJsonObject rich = o[8].toObject();
    EXPECT_EQ(rich["type"].toInt(), 10);
    EXPECT_EQ(rich["class"].toString(), "TkvRichView");
    EXPECT_EQ(rich["hasText"].toBool(), true);
    EXPECT_EQ(rich["rtfBytes"].toInt(), 12);

    const QJsonObject p2 = pages[1].toObject();
    EXPECT_EQ(p2["paperSize"].toInt(), 256);
    EXPECT_EQ(p2["orientation"].toInt(), 1);
    EXPECT_EQ(p2["bin"].toInt(), 3);
    EXPECT_TRUE(p2["error"].toString().contains("TkvChartView"));
    EXPECT_EQ(p2["objects"].toArray().size(), 1); // the view before the failure
    EXPECT_EQ(pages[2].toObject()["objects"].toArray().size(), 1);
}

TEST(KvtoolInfo, VersionlessAndPictureLayoutsReportVersionZero) {
    FileSpec f;
    f.Version = 0;
    f.Pages = {PageSpec{}};
    QJsonObject doc = ParseJson(kvcli::InfoFromBytes(BuildKvp(f), true, "a").Out);
    EXPECT_EQ(doc["version"].toInt(), 0);
    EXPECT_EQ(doc["layout"].toString(), "current");
    f.PictureLayout = true;
    f.Pages[0].Data = "metafile";
    const kvcli::CommandResult r = kvcli::InfoFromBytes(BuildKvp(f), true, "b");
    EXPECT_EQ(r.ExitCode, 0) << r.Error.toStdString();
    doc = ParseJson(r.Out);
    EXPECT_EQ(doc["layout"].toString(), "picture");
    const QJsonObject pic = doc["pages"][0]["objects"][0].toObject();
    EXPECT_EQ(pic["graphicKind"].toInt(), 2);
    EXPECT_EQ(pic["graphicBytes"].toInt(), 8);
}

// Every truncation and every byte inverted: never a crash or hang; a failure is one line.
TEST(KvtoolInfo, DamagedFilesNeverCrashAndFailWithOneLine) {
    const QByteArray good = SmallFile();
    auto check = [&](const QByteArray& bytes, const std::string& what) {
        const kvcli::CommandResult r = kvcli::InfoFromBytes(bytes, true, "f.kvp");
        if (r.ExitCode != 0) {
            EXPECT_FALSE(r.Error.isEmpty()) << what;
            EXPECT_FALSE(r.Error.contains('\n')) << what;
        }
        EXPECT_FALSE(QJsonDocument::fromJson(r.Out).isNull()) << what;
    };
    for (qsizetype n = 0; n < good.size(); ++n)
        check(good.left(n), "truncated at " + std::to_string(n));
    for (qsizetype i = 0; i < good.size(); ++i) {
        // Low bit everywhere would double the run time; a sample of it catches off-by-one lengths.
        for (uint8_t x : {uint8_t(0xFF), uint8_t(i % 5 == 0 ? 0x01 : 0)}) {
            if (x == 0) continue;
            QByteArray b = good;
            b[i] = static_cast<char>(b[i] ^ x);
            check(b, "byte " + std::to_string(i) + " flipped by " + std::to_string(x));
        }
    }
}

TEST(KvtoolBinary, InfoConvertAndErrors) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString in = dir.filePath("in.kvp"), out = dir.filePath("out.kvp"),
                  again = dir.filePath("again.kvp");
    FileSpec f;
    f.Pages = {PageSpec{.Data = RealisticPage(1, 12)}, PageSpec{.Data = RealisticPage(2, 12)}};
    WriteFile(in, BuildKvp(f));

    ToolRun r = RunKvtool({"info", in});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Pages: 2")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("210 x 297 mm")) << r.out.toStdString();
    EXPECT_TRUE(r.err.isEmpty());

    r = RunKvtool({"info", in, "--json"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(ParseJson(r.out)["pages"].toArray().size(), 2);

    // convert: loading and saving again is byte-identical (same selected printer).
    r = RunKvtool({"convert", in, out});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = RunKvtool({"convert", out, again});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(ReadFile(again), ReadFile(out));
    EXPECT_EQ(ReadFile(out), ReadFile(in));

    // A damaged input: one line, non-zero, and the existing output file is left alone.
    const QString bad = dir.filePath("bad.kvp");
    WriteFile(bad, BuildKvp(f).left(60));
    const QByteArray before = ReadFile(out);
    r = RunKvtool({"convert", bad, out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.startsWith("kvtool: " + bad.toUtf8()));
    EXPECT_EQ(ReadFile(out), before);

    // A target that cannot be written: the failure is reported, nothing left behind.
    r = RunKvtool({"convert", in, dir.filePath("missing/dir/out.kvp")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count('\n'), 1);

    // A target extension it cannot write: a usage error naming the formats it can write, and nothing
    // written (an existing file stays as it was).
    WriteFile(dir.filePath("kept.odt"), "document");
    for (const char* target : {"out.foo", "out.docx", "out", "out.kvp.bak", "kept.odt"}) {
        const QString path = dir.filePath(target);
        const bool existed = QFile::exists(path);
        r = RunKvtool({"convert", in, path});
        EXPECT_EQ(r.exitCode, 2) << target;
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("kvp (prepared report), pdf (PDF document)")) << r.err.toStdString();
        EXPECT_EQ(QFile::exists(path), existed) << target;
    }
    EXPECT_EQ(ReadFile(dir.filePath("kept.odt")), "document");
    // A template converts to a template only; the refusal comes before the input is read.
    r = RunKvtool({"convert", dir.filePath("missing.kvf"), dir.filePath("t.pdf")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("writes kvf (report template)\n")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("t.pdf")));
    // The extension is matched in any case.
    r = RunKvtool({"convert", in, dir.filePath("upper.KVP")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(ReadFile(dir.filePath("upper.KVP")), ReadFile(in));

    r = RunKvtool({"info", dir.filePath("nope.kvp")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count('\n'), 1);
    EXPECT_TRUE(r.out.isEmpty());

    r = RunKvtool({"info"});
    EXPECT_EQ(r.exitCode, 2);
}

// A report whose compressed flag is set: zlib pages are shown and converted with every object; pages
// in another compression make info fail, convert to .kvp give the pages back byte for byte, and
// convert to PDF fail without leaving a file.
TEST(KvtoolBinary, CompressedPagesAreShownOrKeptButNeverEmptied) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray page = RealisticPage(1, 12);
    FileSpec f;
    f.Compressed = 1;

    f.Pages = {PageSpec{.Data = qCompress(page).mid(4)}};
    const QString zlibIn = dir.filePath("zlib.kvp"), zlibOut = dir.filePath("zlib-out.kvp");
    WriteFile(zlibIn, BuildKvp(f));
    ToolRun r = RunKvtool({"info", zlibIn, "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray zlibPages = ParseJson(r.out)["pages"].toArray();
    ASSERT_EQ(zlibPages.size(), 1);
    EXPECT_EQ(zlibPages[0]["objects"].toArray().size(), 12);
    r = RunKvtool({"convert", zlibIn, zlibOut});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(ReadFile(zlibOut).contains(page));

    f.Pages = {PageSpec{.Data = page}, PageSpec{.Data = page}};
    const QString in = dir.filePath("in.kvp"), out = dir.filePath("out.kvp"), pdf = dir.filePath("out.pdf");
    WriteFile(in, BuildKvp(f));
    r = RunKvtool({"info", in, "--json"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("cannot be displayed")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("(2 pages could not be read)")) << r.err.toStdString();
    const QJsonArray pages = ParseJson(r.out)["pages"].toArray();
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0]["error"].toString().contains("cannot be displayed"));
    r = RunKvtool({"info", in});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains("cannot be displayed")) << r.out.toStdString();

    r = RunKvtool({"convert", in, out});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(ReadFile(out), ReadFile(in));
    r = RunKvtool({"convert", in, pdf});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}
