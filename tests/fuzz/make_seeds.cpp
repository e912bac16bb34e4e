// Writes the seed corpora of the fuzz targets (tests/fuzz/corpus/<target>/seed-*) from the test
// fixtures' builders and the demo report. Built on demand (target kv_fuzz_seeds) and run by hand
// when a reader learns something new:
//   kv_fuzz_seeds SOURCE_DIR        (writes under SOURCE_DIR/tests/fuzz/corpus)
// Regression inputs (files not named seed-*) are never touched.

#include "graphics/graphic_samples.h"
#include "support/kvp_builder.h"

#include "base/stream.h"
#include "core/report/report.h"
#include "core/startup.h"
#include "core/store/emf_pages.h"
#include "core/views/band_control_views.h"
#include "core/views/picture_view.h"
#include "core/views/standard_views.h"
#include "designer/designer_clipboard.h"
#include "graphics/jpeg.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <cstdio>

using namespace kvtest;

namespace {

QString corpus;
constexpr qsizetype kMaxSeed = 64 * 1024;
QSet<QByteArray> written; // the same bytes are one seed

void Write(const QString& target, const QString& name, const QByteArray& bytes) {
    if (bytes.size() > kMaxSeed) {
        std::printf("skipped %s/%s: %lld bytes\n", qPrintable(target), qPrintable(name), qlonglong(bytes.size()));
        return;
    }
    if (written.contains(target.toUtf8() + '/' + bytes)) return;
    written.insert(target.toUtf8() + '/' + bytes);
    QDir().mkpath(corpus + "/" + target);
    QFile f(corpus + "/" + target + "/seed-" + name);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
        std::exit(1);
    }
}

Pixels Gradient(int w, int h, int colours) {
    static const QRgb palette[] = {0xFF000000, 0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00,
                                   0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFF808080};
    Pixels px(size_t(h), std::vector<QRgb>(size_t(w), 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px[size_t(y)][size_t(x)] = palette[(x / 2 + y) % colours];
    return px;
}

QImage Picture(int w, int h, QImage::Format format) {
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(Qt::blue);
    p.setBrush(QColor(200, 40, 40));
    p.drawEllipse(2, 2, w - 4, h - 4);
    p.drawLine(0, h - 1, w - 1, 0);
    p.end();
    return img.convertToFormat(format);
}

QByteArray SampleWmf(bool placeable) {
    const QRect box(0, 0, 1000, 500);
    return WmfBuilder()
        .Rec(0x020B, {0, 0})
        .Rec(0x020C, {500, 1000})
        .Rec(0x02FA, {0, 10, 0, 0x00FF, 0})
        .Rec(0x02FC, {0, 0xFF00, 0, 0})
        .Rec(0x012D, {0})
        .Rec(0x012D, {1})
        .Rec(0x041B, {250, 300, 50, 100})
        .Rec(0x0418, {400, 600, 100, 200}) // Ellipse
        .Rec(0x0214, {0, 0})
        .Rec(0x0213, {500, 1000})
        .Rec(0x0324, {3, 0, 0, 500, 0, 500, 500})
        .Rec(0x0325, {3, 10, 10, 400, 10, 400, 400}) // Polyline
        .Rec(0x001E, {})
        .Rec(0x0416, {80, 80, 10, 10})
        .Rec(0x0127, {-1})
        .Rec(0x0209, {0x00FF, 0})
        .Rec(0x0102, {1})
        .Rec(0x0521, {5, 'H' | 'e' << 8, 'l' | 'l' << 8, 'o', 100, 100}) // TextOut
        .Rec(0x01F0, {0})
        .Finish(2, placeable ? &box : nullptr, 1000);
}

QByteArray SampleEmf() {
    Bytes pen;
    pen.u32(1).u32(0).i32(3).i32(0).u32(0x0000FF);
    return EmfBuilder()
        .Rec(17, {8})
        .Rec(9, {1000, 1000})
        .Rec(11, {100, 100})
        .RecRaw(38, pen.b)
        .Rec(37, {1})
        .Rec(39, {2, 0, 0x00FF00, 0})
        .Rec(37, {2})
        .Rec(42, {100, 100, 500, 500})
        .Rec(37, {int32_t(0x80000004)})
        .Rec(43, {500, 500, 900, 900})
        .Rec(33, {})
        .Rec(30, {0, 0, 300, 300})
        .Rec(27, {0, 0})
        .Rec(54, {900, 100})
        .Rec(34, {-1})
        .Rec(59, {})
        .Rec(27, {0, 0})
        .Rec(54, {100, 0})
        .Rec(54, {100, 100})
        .Rec(61, {})
        .Rec(60, {})
        .Rec(62, {0, 0, 0, 0})
        .Rec(40, {1})
        .Finish(QRect(0, 0, 2540, 2540), QSize(1000, 1000), QSize(254, 254));
}

void BitmapSeeds() {
    struct Depth {
        const char* name;
        BmpOptions options;
        int colours;
    };
    const Depth depths[] = {
        {"1bit.bmp", {1}, 2},
        {"4bit.bmp", {4}, 8},
        {"8bit.bmp", {8}, 8},
        {"16bit.bmp", {16}, 8},
        {"16bit-565.bmp", {16, false, true}, 8},
        {"24bit.bmp", {24}, 8},
        {"24bit-topdown.bmp", {24, true}, 8},
        {"32bit.bmp", {32}, 8},
        {"rle4.bmp", {4, false, false, 4}, 8},
        {"rle8.bmp", {8, false, false, 8}, 8},
    };
    for (const Depth& d : depths) {
        const Pixels px = Gradient(7, 5, d.colours);
        Write("bitmap", d.name, MakeBmp(px, d.options));
        Write("bitmap", QString(d.name).replace(".bmp", ".dib"), MakeDib(px, d.options));
    }
    std::vector<std::vector<bool>> mask(5, std::vector<bool>(7, false));
    mask[0][0] = mask[4][6] = true;
    Write("icon", "4bit.ico", MakeIcon({{QSize(7, 5), MakeIconDib(Gradient(7, 5, 8), 4, mask)}}, 4));
    Write("icon", "32bit.ico", MakeIcon({{QSize(7, 5), MakeIconDib(Gradient(7, 5, 8), 32, mask)}}, 32));
    Write("icon", "two-images.ico",
          MakeIcon({{QSize(7, 5), MakeIconDib(Gradient(7, 5, 2), 1, mask)},
                    {QSize(7, 5), MakeIconDib(Gradient(7, 5, 8), 8, mask)}},
                   8));
}

void JpegSeeds() {
    Write("jpeg", "rgb.jpg", kv::EncodeJpeg(Picture(24, 16, QImage::Format_RGB32), 80));
    Write("jpeg", "grey.jpg", kv::EncodeJpeg(Picture(17, 9, QImage::Format_Grayscale8), 50));
    Write("jpeg", "one-pixel.jpg", kv::EncodeJpeg(Picture(1, 1, QImage::Format_RGB32), 10));
    Write("jpeg", "odd-size.jpg", kv::EncodeJpeg(Picture(33, 31, QImage::Format_RGB32), 95));
}

void MetafileSeeds() {
    Write("metafile", "shapes.wmf", SampleWmf(false));
    Write("metafile", "shapes-placeable.wmf", SampleWmf(true));
    Write("metafile", "shapes.emf", SampleEmf());
}

void PageListSeeds() {
    const char* lists[] = {"1,3,5-12", "7-", "2-3", "1-2000000000", "12-5", "1 , 2 - 4 - 6", "", "-5", ",,",
                           "1,", "a", "4-4,9-"};
    int i = 0;
    for (const char* list : lists) {
        QByteArray b;
        const int pages = i % 3 == 0 ? 9 : 300;
        b.append(char(pages & 0xFF)).append(char(pages >> 8)).append(list);
        Write("page_list", QStringLiteral("list-%1").arg(++i), b);
    }
}

void KvpSeeds(const QString& demoPath) {
    using namespace kvpfile;
    FileSpec f;
    f.Pages = {PageSpec{.Data = RealisticPage(1, 12)}, PageSpec{.Data = RealisticPage(2, 6)}};
    Write("kvp", "realistic.kvp", BuildKvp(f));

    // Each layout version with a page of every standard view.
    for (int version : {21, 23, 24, 25}) {
        PackedPage page(version);
        CommonRecord r;
        r.Memo = {"Text line", "second"};
        page.Text(r);
        CommonRecord pic = r;
        pic.Memo = {};
        pic.Top = 60;
        page.Picture(pic, kvgk::Bitmap, MakeBmp(Gradient(4, 3, 8), {8}));
        pic.Top = 100;
        page.Picture(pic, kvgk::Metafile, SampleWmf(true));
        pic.Top = 140;
        page.Picture(pic, kvgk::Jpeg, kv::EncodeJpeg(Picture(12, 8, QImage::Format_RGB32), 60));
        page.Band(r);
        page.Line(r);
        if (version >= 24) page.Rich(r, "{\\rtf1\\ansi Rich {\\b bold} text\\par}");
        FileSpec v;
        v.Version = version == 21 ? 0 : version;
        v.Pages = {PageSpec{.Data = page.Data()}};
        Write("kvp", QStringLiteral("views-v%1.kvp").arg(version), BuildKvp(v));
    }

    // The oldest layout: pages that are metafiles.
    FileSpec old;
    old.PictureLayout = true;
    old.Pages = {PageSpec{.Data = SampleWmf(true)}, PageSpec{.Data = SampleEmf()}};
    Write("kvp", "picture-layout.kvp", BuildKvp(old));

    // The demo report, one page per file (the whole file is too big to mutate quickly).
    QFile demo(demoPath);
    if (!demo.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(demoPath));
        std::exit(1);
    }
    const QByteArray demoBytes = demo.readAll();
    TkvReport probe;
    TkvMemoryStream in(demoBytes);
    probe.EMFPages.LoadFromStream(&in);
    const int pages = probe.EMFPages.Count();
    for (int keep = 0; keep < pages; ++keep) {
        TkvReport report;
        TkvMemoryStream s(demoBytes);
        report.EMFPages.LoadFromStream(&s);
        for (int i = pages - 1; i >= 0; --i)
            if (i != keep) report.EMFPages.DeletePage(i);
        TkvMemoryStream out;
        report.EMFPages.SaveToStream(&out);
        Write("kvp", QStringLiteral("demo-page%1.kvp").arg(keep + 1), out.Data());

        // And the demo's pictures as seeds of their readers.
        TkvPage& page = probe.EMFPages.UnpackPage(keep);
        int n = 0;
        for (const auto& view : page.Objects) {
            auto* pic = dynamic_cast<TkvPictureView*>(view.get());
            if (!pic || pic->Picture.Data.isEmpty()) continue;
            const QString name = QStringLiteral("demo-page%1-%2").arg(keep + 1).arg(++n);
            switch (pic->Picture.Kind) {
            case kvgk::Bitmap: Write("bitmap", name + ".bmp", pic->Picture.Data); break;
            case kvgk::Metafile: Write("metafile", name + ".mf", pic->Picture.Data); break;
            case kvgk::Jpeg: Write("jpeg", name + ".jpg", pic->Picture.Data); break;
            case kvgk::Icon: Write("icon", name + ".ico", pic->Picture.Data); break;
            default: break;
            }
        }
        probe.EMFPages.ReleasePage(keep);
    }
}

// Designer clipboard streams: every page of the example templates copied whole, and each kind of
// view alone.
void ClipboardSeeds(const QString& examples) {
    QSet<QByteArray> classes;
    for (const char* name : {"price_list.kvf", "invoice.kvf", "labels.kvf"}) {
        TkvReport report;
        if (!report.LoadFromFile(examples + '/' + name)) continue;
        for (int p = 0; p < report.PageCount(); ++p) {
            std::vector<QByteArray> items;
            for (const auto& view : report.Page(p)->Objects) {
                items.push_back(TkvDesignerClipboard::ViewStream(*view));
                if (!classes.contains(view->ClassName())) {
                    classes.insert(view->ClassName());
                    Write("clipboard", QStringLiteral("view-%1").arg(QString::fromLatin1(view->ClassName())),
                          TkvDesignerClipboard::Encode({items.back()}));
                }
            }
            Write("clipboard", QStringLiteral("%1-page%2").arg(QString::fromLatin1(name)).arg(p + 1),
                  TkvDesignerClipboard::Encode(items));
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kv_fuzz_seeds SOURCE_DIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    kv::StartUp();
    kv::RegisterStandardViews();
    kv::RegisterBandAndControlViews();
    const QString source = QString::fromLocal8Bit(argv[1]);
    corpus = source + "/tests/fuzz/corpus";
    BitmapSeeds();
    JpegSeeds();
    MetafileSeeds();
    PageListSeeds();
    KvpSeeds(source + "/examples/demo.kvp");
    ClipboardSeeds(source + "/examples");
    return 0;
}
