// kvtool render / convert to PDF and the bundled demo report, run in-process.
#include "tools/demo_report.h"
#include "cli/render_command.h"
#include "core/store/emf_pages.h"
#include "core/views/memo_view.h"
#include "core/views/picture_view.h"
#include "core/report/report.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <set>

namespace {

const QString kDemo = QStringLiteral(KV_TEST_DATA "/../../examples/demo.kvp");

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The /MediaBox of every page object, in PDF points.
std::vector<QSizeF> MediaBoxes(const QByteArray& pdf) {
    std::vector<QSizeF> out;
    static const QRegularExpression box(
        QStringLiteral(R"(/MediaBox\s*\[\s*([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s*\])"));
    auto it = box.globalMatch(QString::fromLatin1(pdf));
    while (it.hasNext()) {
        const auto m = it.next();
        out.emplace_back(m.captured(3).toDouble() - m.captured(1).toDouble(),
                         m.captured(4).toDouble() - m.captured(2).toDouble());
    }
    return out;
}

class RenderCommand : public ::testing::Test {
protected:
    void SetUp() override { kvcli::StartLibrary(); }
};
using DemoReport = RenderCommand;

int PdfPageObjects(const QByteArray& pdf) {
    static const QRegularExpression page(QStringLiteral(R"(/Type\s*/Page[^s])"));
    return int(QString::fromLatin1(pdf).count(page));
}

// Files left in a directory (temporary files included).
QStringList Entries(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

struct DemoFacts {
    int pages = 0;
    std::set<uint8_t> pictureKinds;
    bool httpsLinkNamedUrl1 = false;
    std::set<QByteArray> pageLinks;
    bool rotatedText = false, justifiedText = false, cyrillicCharset = false, dashed = false, doubled = false;
    int undecodablePictures = 0;
};

DemoFacts Inspect(TkvReport& report) {
    DemoFacts f;
    TkvEMFPages& store = report.EMFPages;
    f.pages = store.Count();
    for (int i = 0; i < store.Count(); ++i) {
        TkvPage& page = store.UnpackPage(i);
        for (const auto& v : page.Objects) {
            if (v->Name.startsWith("URL") && v->Tag.startsWith('@')) f.pageLinks.insert(v->Tag);
            if (v->Name == "URL1" && v->Tag.startsWith("https://")) f.httpsLinkNamedUrl1 = true;
            f.dashed |= v->FrameTyp != 0 && v->FrameStyle == 1;
            f.doubled |= v->FrameTyp != 0 && v->FrameStyle == 5;
            if (auto* pic = dynamic_cast<TkvPictureView*>(v.get())) {
                f.pictureKinds.insert(pic->Picture.Kind);
                if (pic->GraphicSize().isEmpty()) ++f.undecodablePictures;
            }
            if (auto* memo = dynamic_cast<TkvMemoView*>(v.get())) {
                f.rotatedText |= (memo->Alignment & kvta::Vertical) != 0;
                f.justifiedText |= (memo->Alignment & kvta::HorizontalMask) == kvta::Justify;
                f.cyrillicCharset |= memo->Font.Charset == 204;
            }
        }
        store.PageInfo(i).Page.reset();
    }
    return f;
}

TEST_F(DemoReport, CommittedAndFreshlyBuiltFilesHoldTheAdvertisedContent) {
    QTemporaryDir dir;
    const QString fresh = dir.filePath("fresh.kvp");
    ASSERT_EQ(kvdemo::MakeDemo(fresh), QByteArray());
    for (const QString& path : {kDemo, fresh}) {
        SCOPED_TRACE(path.toStdString());
        TkvReport report;
        ASSERT_NO_THROW(report.LoadPreparedFile(path));
        const DemoFacts f = Inspect(report);
        EXPECT_EQ(f.pages, 4);
        EXPECT_EQ(f.pictureKinds, (std::set<uint8_t>{kvgk::Bitmap, kvgk::Metafile, kvgk::Jpeg}));
        EXPECT_EQ(f.undecodablePictures, 0);
        EXPECT_TRUE(f.httpsLinkNamedUrl1);
        EXPECT_EQ(f.pageLinks, (std::set<QByteArray>{"@1", "@2", "@3", "@4"}));
        EXPECT_TRUE(f.rotatedText);
        EXPECT_TRUE(f.justifiedText);
        EXPECT_TRUE(f.cyrillicCharset);
        EXPECT_TRUE(f.dashed);
        EXPECT_TRUE(f.doubled);
    }
}

TEST_F(RenderCommand, EveryDemoPageRendersAtThePreviewSize) {
    QTemporaryDir dir;
    TkvReport report;
    report.LoadPreparedFile(kDemo);
    for (double zoom : {1.0, 0.5}) {
        for (int page = 1; page <= report.EMFPages.Count(); ++page) {
            SCOPED_TRACE(QString("page %1 zoom %2").arg(page).arg(zoom).toStdString());
            const QString out = dir.filePath(QString("p%1-%2.png").arg(page).arg(zoom));
            const kvcli::CommandResult r = kvcli::Render(kDemo, page, zoom, out);
            ASSERT_EQ(r.ExitCode, 0) << r.Error.constData();
            const QImage img(out);
            const TkvPageMetrics& m = report.EMFPages.PageInfo(page - 1).Metrics;
            // Halves round to even: 1069 x 0.5 is 534.
            EXPECT_EQ(img.size(), QSize(int(std::nearbyint(m.PageWidth * zoom)),
                                        int(std::nearbyint(m.PageHeight * zoom))));
            // The paper is white at its corner; something is drawn on it.
            EXPECT_EQ(img.pixel(img.width() - 1, img.height() - 1), qRgb(255, 255, 255));
            bool inked = false;
            for (int y = 0; y < img.height() && !inked; y += 3)
                for (int x = 0; x < img.width() && !inked; x += 3)
                    inked = img.pixel(x, y) != qRgb(255, 255, 255);
            EXPECT_TRUE(inked);
        }
    }
    // A one-page PDF of page 4 (landscape A4).
    const QString pdf = dir.filePath("p4.pdf");
    ASSERT_EQ(kvcli::Render(kDemo, 4, 1.0, pdf).ExitCode, 0);
    const auto boxes = MediaBoxes(ReadAll(pdf));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NEAR(boxes[0].width(), 841.9, 1.0);
    EXPECT_NEAR(boxes[0].height(), 595.3, 1.0);
}

TEST_F(RenderCommand, ConvertWritesEveryPageAtItsPaperSize) {
    QTemporaryDir dir;
    const QString out = dir.filePath("demo.pdf");
    const kvcli::CommandResult r = kvcli::ConvertToPdf(kDemo, out);
    ASSERT_EQ(r.ExitCode, 0) << r.Error.constData();
    const QByteArray pdf = ReadAll(out);
    ASSERT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(PdfPageObjects(pdf), 4);
    const auto boxes = MediaBoxes(pdf);
    ASSERT_EQ(boxes.size(), 4u);
    const QSizeF portrait(595.3, 841.9);
    const QSizeF expected[] = {portrait, portrait, portrait, portrait.transposed()};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(boxes[i].width(), expected[i].width(), 1.0) << "page " << i + 1;
        EXPECT_NEAR(boxes[i].height(), expected[i].height(), 1.0) << "page " << i + 1;
    }
    // Fonts are embedded, not referenced.
    EXPECT_TRUE(pdf.contains("/FontFile2") || pdf.contains("/FontFile3") || pdf.contains("/FontFile"));
    EXPECT_EQ(Entries(dir.path()), QStringList{"demo.pdf"});
}

TEST_F(RenderCommand, FailuresGiveOneLineAndLeaveNoOutput) {
    QTemporaryDir dir;
    const QString garbage = dir.filePath("garbage.kvp");
    WriteAll(garbage, QByteArray(64, '\x19'));
    // A file whose second page holds an object of an unknown type.
    const QString badPage = dir.filePath("badpage.kvp");
    {
        TkvReport report;
        kvdemo::BuildDemoReport(report);
        PreparedPageInfo& info = report.EMFPages.PageInfo(1);
        info.Packed.Seek(info.Packed.Size());
        info.Packed.WriteByte(77);
        report.SavePreparedFile(badPage);
    }
    const QString missing = dir.filePath("missing.kvp");
    const QString noDir = dir.filePath("no/such/dir/out.png");
    struct Case {
        const char* name;
        std::function<kvcli::CommandResult(const QString& out)> run;
        QString out;
        int exitCode;
    } cases[] = {
        {"missing input", [&](const QString& o) { return kvcli::Render(missing, 1, 1, o); }, "a.png", 1},
        {"garbage input", [&](const QString& o) { return kvcli::Render(garbage, 1, 1, o); }, "b.png", 1},
        {"page 0", [&](const QString& o) { return kvcli::Render(kDemo, 0, 1, o); }, "c.png", 1},
        {"page past the end", [&](const QString& o) { return kvcli::Render(kDemo, 5, 1, o); }, "d.png", 1},
        {"zoom 0", [&](const QString& o) { return kvcli::Render(kDemo, 1, 0, o); }, "e.png", 2},
        {"huge zoom", [&](const QString& o) { return kvcli::Render(kDemo, 1, 1e9, o); }, "f.png", 2},
        {"unknown format", [&](const QString& o) { return kvcli::Render(kDemo, 1, 1, o); }, "g.bmp", 2},
        {"unwritable png", [&](const QString&) { return kvcli::Render(kDemo, 1, 1, noDir); }, "h.png", 1},
        {"unwritable pdf",
         [&](const QString&) { return kvcli::ConvertToPdf(kDemo, dir.filePath("no/such/x.pdf")); }, "i.pdf",
         1},
        {"page that cannot be read, PNG", [&](const QString& o) { return kvcli::Render(badPage, 2, 1, o); },
         "j.png", 1},
        {"page that cannot be read, PDF", [&](const QString& o) { return kvcli::ConvertToPdf(badPage, o); },
         "k.pdf", 1},
        {"render without output", [&](const QString&) { return kvcli::RenderFromArguments({kDemo}); },
         "l.png", 2},
        {"render with a bad page number",
         [&](const QString& o) {
             return kvcli::RenderFromArguments({kDemo, "--page", "x", "-o", o});
         },
         "m.png", 2},
    };
    const QStringList before = Entries(dir.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = dir.filePath(c.out);
        const kvcli::CommandResult r = c.run(out);
        EXPECT_EQ(r.ExitCode, c.exitCode);
        EXPECT_FALSE(r.Error.isEmpty());
        EXPECT_FALSE(r.Error.contains('\n'));
        EXPECT_FALSE(QFile::exists(out));
        EXPECT_EQ(Entries(dir.path()), before) << "no partial or temporary file is left";
    }
    // An existing target is kept when the conversion fails.
    const QString kept = dir.filePath("kept.pdf");
    WriteAll(kept, "old");
    EXPECT_EQ(kvcli::ConvertToPdf(badPage, kept).ExitCode, 1);
    EXPECT_EQ(ReadAll(kept), "old");
}

TEST_F(RenderCommand, ArgumentsSelectPageAndZoom) {
    QTemporaryDir dir;
    const QString out = dir.filePath("z.png");
    const kvcli::CommandResult r =
        kvcli::RenderFromArguments({"--zoom", "0.25", kDemo, "--page", "4", "-o", out});
    ASSERT_EQ(r.ExitCode, 0) << r.Error.constData();
    TkvReport report;
    report.LoadPreparedFile(kDemo);
    const TkvPageMetrics& m = report.EMFPages.PageInfo(3).Metrics;
    EXPECT_GT(m.PageWidth, m.PageHeight); // page 4 is landscape
    EXPECT_EQ(QImage(out).size(),
              QSize(int(std::nearbyint(m.PageWidth * 0.25)), int(std::nearbyint(m.PageHeight * 0.25))));
}

} // namespace
