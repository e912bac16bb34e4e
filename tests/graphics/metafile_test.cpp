#include "graphic_samples.h"
#include "graphics/graphic_kind.h"
#include "graphics/metafile.h"

#include <gtest/gtest.h>

using namespace kvtest;

namespace {

constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

// A placeable WMF 1000 x 500 units at 1000 units per inch, drawn with a pen and brush, a slot
// reused after a delete, a line and a polygon.
QByteArray ShapesWmf() {
    const QRect box(0, 0, 1000, 500);
    return WmfBuilder()
        .Rec(0x020B, {0, 0})                // SetWindowOrg
        .Rec(0x020C, {500, 1000})           // SetWindowExt
        .Rec(0x02FA, {0, 10, 0, 0x00FF, 0}) // pen: solid, 10 wide, red -> slot 0
        .Rec(0x02FC, {0, 0xFF00, 0, 0})     // brush: solid green -> slot 1
        .Rec(0x012D, {0})
        .Rec(0x012D, {1})
        .Rec(0x041B, {250, 300, 50, 100})  // Rectangle(100, 50, 300, 250)
        .Rec(0x01F0, {0})                  // delete the pen (still selected: keeps drawing red)
        .Rec(0x02FA, {0, 0, 0, 0, 0x00FF}) // cosmetic blue pen -> the free slot 0
        .Rec(0x012D, {0})
        .Rec(0x0214, {0, 0})                      // MoveTo(0, 0)
        .Rec(0x0213, {500, 1000})                 // LineTo(1000, 500)
        .Rec(0x0324, {3, 0, 0, 500, 0, 500, 500}) // Polygon (0,0) (500,0) (500,500)
        .Finish(2, &box, 1000);
}

QByteArray TextWmf(int align, bool withDx) {
    Bytes font; // LOGFONT16: height -100, bold, Russian character set, "Arial"
    font.u16(-100).u16(0).u16(0).u16(0).u16(700).u8(0).u8(0).u8(0).u8(204).u8(0).u8(0).u8(0).u8(0);
    font.raw(QByteArray("Arial")).u8(0);
    Bytes text; // ExtTextOut at (400, 300), two characters, no rectangle
    text.u16(300).u16(400).u16(2).u16(0).raw(QByteArray("\xCF\xF0"));
    if (withDx) text.u16(100).u16(150);
    const QRect box(0, 0, 1000, 1000);
    return WmfBuilder()
        .RecRaw(0x02FB, font.b)
        .Rec(0x012D, {0})
        .Rec(0x0209, {0x00FF, 0}) // text colour red
        .Rec(0x0102, {1})         // transparent background
        .Rec(0x012E, {align})
        .RecRaw(0x0A32, text.b)
        .Finish(1, &box, 1000);
}

QByteArray LogFontW(int height, const QString& face, int charset = 1) {
    Bytes f;
    f.i32(height).i32(0).i32(0).i32(0).i32(400).u8(0).u8(0).u8(0).u8(charset).u8(0).u8(0).u8(0).u8(0);
    QByteArray name(64, '\0');
    for (int i = 0; i < face.size(); ++i) {
        name[2 * i] = char(face[i].unicode() & 0xFF);
        name[2 * i + 1] = char(face[i].unicode() >> 8);
    }
    return f.raw(name).b;
}

// EXTTEXTOUTW of `text` at (x, y) with one advance per character.
QByteArray ExtTextOutW(int x, int y, const QString& text, const QVector<int>& dx) {
    Bytes r;
    r.zeros(16).u32(1).f32(1).f32(1);            // bounds, graphics mode, scales
    const uint32_t offString = 8 + 16 + 12 + 40; // from the record start
    const uint32_t offDx = offString + uint32_t((text.size() * 2 + 3) / 4 * 4);
    r.i32(x).i32(y).u32(uint32_t(text.size())).u32(offString).u32(0).zeros(16).u32(dx.isEmpty() ? 0 : offDx);
    for (QChar c : text)
        r.u16(c.unicode());
    r.pad4();
    for (int d : dx)
        r.i32(d);
    return r.b;
}

// Reference device of 1000 pixels over 254 mm: 100 reference pixels per inch; frame of 1 inch.
const QRect kInchFrame(0, 0, 2540, 2540);

} // namespace

TEST(Wmf, PlaceableShapesMapOntoTheTarget) {
    TkvMetafile mf(ShapesWmf());
    ASSERT_TRUE(mf.IsValid());
    EXPECT_EQ(mf.Format(), TkvMetafileFormat::PlaceableWmf);
    EXPECT_EQ(kv::DetectGraphicKind(mf.Data()), TkvGraphicKind::Metafile);
    EXPECT_EQ(mf.SizeHint(), QSize(96, 48)); // 1 x 0.5 inch at 96 dpi
    EXPECT_EQ(mf.Bounds(), QRectF(0, 0, 1000, 500));

    TkvRecordingCanvas canvas;
    mf.Play(canvas, QRect(10, 20, 200, 100)); // scale 0.2
    const auto rects = Drawn<kvrec::Rectangle>(canvas);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].rect, QRect(30, 30, 40, 40));
    EXPECT_EQ(rects[0].pen.color, kRed);
    EXPECT_EQ(rects[0].pen.width, 2);
    EXPECT_EQ(rects[0].brush.color, kGreen);
    EXPECT_EQ(rects[0].brush.style, TkvBrushStyle::Solid);

    const auto lines = Drawn<kvrec::Line>(canvas);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].from, QPoint(10, 20));
    EXPECT_EQ(lines[0].to, QPoint(210, 120));
    EXPECT_EQ(lines[0].pen.color, kBlue); // the new pen took the freed slot 0
    EXPECT_EQ(lines[0].pen.width, 1);

    const auto polygons = Drawn<kvrec::Polygon>(canvas);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].points, QPolygon({QPoint(10, 20), QPoint(110, 20), QPoint(110, 120)}));
    // The canvas's own state is back as it was.
    EXPECT_EQ(canvas.Pen(), TkvPen());
    EXPECT_EQ(canvas.Brush(), TkvBrush());
}

TEST(Wmf, TextDecodesWithTheFontCharsetAndAligns) {
    struct Case {
        int align;
        bool dx;
    };
    for (const Case c : {Case{0, true}, Case{24, true}, Case{6 | 8, false}}) {
        SCOPED_TRACE(c.align);
        TkvMetafile mf(TextWmf(c.align, c.dx));
        TkvRecordingCanvas canvas;
        mf.Play(canvas, QRect(0, 0, 500, 500)); // scale 0.5
        const auto texts = Drawn<kvrec::Text>(canvas);
        ASSERT_EQ(texts.size(), 1u);
        const auto& t = texts[0];
        EXPECT_EQ(t.text, QString::fromUtf8("Пр"));
        EXPECT_EQ(t.font.height, -50);
        EXPECT_EQ(t.font.style, 2);
        EXPECT_EQ(t.font.color, kRed);
        EXPECT_EQ(t.font.charset, 204);
        if (c.dx) {
            ASSERT_TRUE(t.advances.has_value());
            EXPECT_EQ(*t.advances, QVector<int>({50, 75}));
        }
        canvas.SetFont(t.font);
        const TkvTextMetrics m = canvas.TextMetrics();
        const int width = c.dx ? 125 : canvas.TextExtent(t.text).width();
        QPoint expected(200, 150);
        if (c.align == 24) expected.ry() -= m.ascent;
        if (c.align == (6 | 8)) expected -= QPoint(int(std::nearbyint(width / 2.0)), m.height);
        EXPECT_NEAR(t.at.x(), expected.x(), 1);
        EXPECT_EQ(t.at.y(), expected.y());
    }
}

TEST(Wmf, ClippingSavedStatesAndRestoreOfTheCanvasClip) {
    const QRect box(0, 0, 100, 100);
    const QByteArray wmf = WmfBuilder()
                               .Rec(0x0416, {80, 80, 10, 10}) // IntersectClipRect(10, 10, 80, 80)
                               .Rec(0x001E, {})               // SaveDC
                               .Rec(0x0415, {50, 50, 20, 20}) // ExcludeClipRect(20, 20, 50, 50)
                               .Rec(0x041B, {90, 90, 0, 0})
                               .Rec(0x0127, {-1}) // RestoreDC(-1)
                               .Rec(0x041B, {90, 90, 0, 0})
                               .Finish(0, &box, 1440);
    TkvRecordingCanvas canvas;
    TkvMetafile(wmf).Play(canvas, QRect(0, 0, 100, 100));
    std::vector<QRegion> clips;
    for (const TkvRecord& r : canvas.Records())
        if (const auto* c = std::get_if<kvrec::SetClip>(&r)) clips.push_back(c->region);
    ASSERT_EQ(clips.size(), 3u);
    EXPECT_EQ(clips[0], QRegion(10, 10, 70, 70));
    EXPECT_EQ(clips[1], QRegion(10, 10, 70, 70).subtracted(QRegion(20, 20, 30, 30)));
    EXPECT_EQ(clips[2], QRegion(10, 10, 70, 70));
    EXPECT_FALSE(canvas.HasClip());

    // A clip the caller set stays in force underneath and is back afterwards.
    TkvRecordingCanvas clipped;
    clipped.SetClipRegion(QRegion(0, 0, 40, 40));
    TkvMetafile(wmf).Play(clipped, QRect(0, 0, 100, 100));
    EXPECT_EQ(clipped.ClipRegion(), QRegion(0, 0, 40, 40));
    for (const TkvRecord& r : clipped.Records()) {
        if (const auto* c = std::get_if<kvrec::SetClip>(&r)) {
            EXPECT_TRUE(QRegion(0, 0, 40, 40).contains(c->region.boundingRect()) || c->region.isEmpty());
        }
    }
}

TEST(Wmf, StretchDibDrawsTheBitmapIntoTheMappedRectangle) {
    const QRgb R = qRgb(255, 0, 0), B = qRgb(0, 0, 255);
    Bytes p;
    p.u32(0x00CC0020).u16(0);          // SRCCOPY, RGB colours
    p.u16(1).u16(2).u16(0).u16(0);     // source height 1, width 2 at (0, 0)
    p.u16(50).u16(100).u16(10).u16(0); // destination 100 x 50 at (0, 10)
    p.raw(MakeDib({{R, B}}, {24}));
    const QRect box(0, 0, 100, 100);
    TkvRecordingCanvas canvas;
    TkvMetafile(WmfBuilder().RecRaw(0x0F43, p.b).Finish(0, &box)).Play(canvas, QRect(0, 0, 200, 200));
    const auto images = Drawn<kvrec::Image>(canvas);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].target, QRect(0, 20, 200, 100));
    EXPECT_EQ(images[0].image.pixel(0, 0) | 0xFF000000u, R);
    EXPECT_EQ(images[0].image.pixel(1, 0) | 0xFF000000u, B);
}

TEST(Wmf, PlainFileWithoutWindowTakesTheDrawnExtent) {
    const QByteArray wmf = WmfBuilder().Rec(0x041B, {60, 110, 10, 10}).Finish(0);
    TkvMetafile mf(wmf);
    ASSERT_TRUE(mf.IsValid());
    EXPECT_EQ(mf.Format(), TkvMetafileFormat::Wmf);
    EXPECT_EQ(mf.Bounds(), QRectF(10, 10, 100, 50));
    TkvRecordingCanvas canvas;
    mf.Play(canvas, QRect(0, 0, 200, 100));
    const auto rects = Drawn<kvrec::Rectangle>(canvas);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].rect, QRect(0, 0, 200, 100));
}

TEST(Emf, ShapesTextAndStockObjectsUnderAnisotropicMapping) {
    Bytes pen;
    pen.u32(1).u32(0).i32(0).i32(0).u32(kRed);
    Bytes font;
    font.u32(3).raw(LogFontW(-200, QStringLiteral("Courier New")));
    const QByteArray emf = EmfBuilder()
                               .Rec(17, {8})         // MM_ANISOTROPIC
                               .Rec(9, {1000, 1000}) // window extent
                               .Rec(11, {100, 100})  // viewport extent (reference pixels)
                               .RecRaw(38, pen.b)    // pen 1
                               .Rec(37, {1})
                               .Rec(39, {2, 1, 0, 0}) // null brush 2
                               .Rec(37, {2})
                               .Rec(42, {100, 100, 500, 500})
                               .Rec(37, {int32_t(0x80000004)}) // BLACK_BRUSH
                               .Rec(43, {500, 500, 900, 900})
                               .RecRaw(82, font.b)
                               .Rec(37, {3})
                               .Rec(22, {6 | 8}) // centre, bottom
                               .Rec(18, {1})
                               .RecRaw(84, ExtTextOutW(500, 1000, QStringLiteral("Hi"), {100, 100}))
                               .Finish(kInchFrame, QSize(1000, 1000), QSize(254, 254));
    TkvMetafile mf(emf);
    ASSERT_TRUE(mf.IsValid());
    EXPECT_EQ(mf.Format(), TkvMetafileFormat::Emf);
    EXPECT_EQ(mf.SizeHint(), QSize(96, 96));
    EXPECT_EQ(mf.Bounds(), QRectF(0, 0, 100, 100));

    TkvRecordingCanvas canvas;
    mf.Play(canvas, QRect(0, 0, 200, 200)); // logical 1000 -> 200 pixels
    const auto ellipses = Drawn<kvrec::Ellipse>(canvas);
    ASSERT_EQ(ellipses.size(), 1u);
    EXPECT_EQ(ellipses[0].rect, QRect(20, 20, 80, 80));
    EXPECT_EQ(ellipses[0].pen.color, kRed);
    EXPECT_EQ(ellipses[0].brush.style, TkvBrushStyle::Clear);
    const auto rects = Drawn<kvrec::Rectangle>(canvas);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].rect, QRect(100, 100, 80, 80));
    EXPECT_EQ(rects[0].brush.color, 0u);
    EXPECT_EQ(rects[0].brush.style, TkvBrushStyle::Solid);

    const auto texts = Drawn<kvrec::Text>(canvas);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, QStringLiteral("Hi"));
    EXPECT_EQ(texts[0].font.name, QStringLiteral("Courier New"));
    EXPECT_EQ(texts[0].font.height, -40);
    EXPECT_EQ(*texts[0].advances, QVector<int>({20, 20}));
    canvas.SetFont(texts[0].font);
    EXPECT_EQ(texts[0].at, QPoint(80, 200 - canvas.TextMetrics().height));
}

TEST(Emf, FixedMappingModesAndWorldTransform) {
    struct Case {
        const char* name;
        std::vector<std::pair<uint32_t, std::vector<int32_t>>> setup;
        QRect expected;
    };
    Bytes halve;
    halve.f32(0.5f).f32(0).f32(0).f32(0.5f).f32(10).f32(0);
    const Case cases[] = {
        {"lometric, y up", {{17, {2}}}, QRect(0, 0, 200, 200)},
        {"lometric, origin moved", {{17, {2}}, {12, {20, 0}}}, QRect(40, 0, 200, 200)},
        {"anisotropic, zero extent refused", {{17, {8}}, {9, {0, 0}}}, QRect(0, -508, 508, 508)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EmfBuilder b;
        for (const auto& [type, values] : c.setup) {
            Bytes p;
            for (int32_t v : values)
                p.i32(v);
            b.RecRaw(type, p.b);
        }
        b.Rec(43, {0, 0, 254, -254}); // one inch square in tenths of a millimetre (y up)
        TkvRecordingCanvas canvas;
        TkvMetafile(b.Finish(kInchFrame, QSize(1000, 1000), QSize(254, 254)))
            .Play(canvas, QRect(0, 0, 200, 200));
        const auto rects = Drawn<kvrec::Rectangle>(canvas);
        ASSERT_EQ(rects.size(), 1u);
        EXPECT_EQ(rects[0].rect, c.expected);
    }
    // World transform: half size, moved right by 10 logical units (MM_TEXT: reference pixels).
    TkvRecordingCanvas canvas;
    TkvMetafile(EmfBuilder()
                    .RecRaw(35, halve.b)
                    .Rec(43, {0, 0, 100, 100})
                    .Finish(kInchFrame, QSize(1000, 1000), QSize(254, 254)))
        .Play(canvas, QRect(0, 0, 100, 100));
    const auto rects = Drawn<kvrec::Rectangle>(canvas);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].rect, QRect(10, 0, 50, 50));
}

TEST(Emf, PathsFillAsPolygonsAndClipPathsClip) {
    const QByteArray emf = EmfBuilder()
                               .Rec(59, {})     // BeginPath
                               .Rec(27, {0, 0}) // MoveTo
                               .Rec(54, {100, 0})
                               .Rec(54, {100, 100})
                               .Rec(61, {})           // CloseFigure
                               .Rec(60, {})           // EndPath
                               .Rec(62, {0, 0, 0, 0}) // FillPath
                               .Rec(59, {})
                               .Rec(43, {0, 0, 50, 50})
                               .Rec(60, {})
                               .Rec(67, {5}) // SelectClipPath(RGN_COPY)
                               .Finish(kInchFrame, QSize(1000, 1000), QSize(254, 254));
    TkvRecordingCanvas canvas;
    TkvMetafile(emf).Play(canvas, QRect(0, 0, 100, 100));
    const auto polygons = Drawn<kvrec::Polygon>(canvas);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].points, QPolygon({QPoint(0, 0), QPoint(100, 0), QPoint(100, 100)}));
    EXPECT_EQ(polygons[0].pen.style, TkvPenStyle::Clear);
    bool clipped = false;
    for (const TkvRecord& r : canvas.Records())
        if (const auto* c = std::get_if<kvrec::SetClip>(&r))
            clipped = clipped || c->region.boundingRect() == QRect(0, 0, 50, 50);
    EXPECT_TRUE(clipped);
}

TEST(Metafile, DamagedFilesDrawNothingOrWhatCameBefore) {
    // Header damage: nothing.
    QByteArray emf = EmfBuilder().Rec(43, {0, 0, 10, 10}).Finish(QRect(0, 0, 0, 0));
    emf.replace(8, 16, Bytes().i32(10).i32(10).i32(0).i32(0).b); // bounds left > right, frame empty
    EXPECT_FALSE(TkvMetafile(emf).IsValid());
    EXPECT_FALSE(TkvMetafile(QByteArray("\x01\x00\x09\x00", 4)).IsValid());
    TkvRecordingCanvas canvas;
    TkvMetafile().Play(canvas, QRect(0, 0, 10, 10));
    EXPECT_TRUE(canvas.Records().empty());

    // A record whose size runs past the end ends the list; the first record still draws.
    QByteArray wmf = WmfBuilder().Rec(0x041B, {10, 10, 0, 0}).Rec(0x041B, {20, 20, 0, 0}).Finish(0);
    const qsizetype second = 18 + 14;
    wmf[second] = char(0xFF);
    wmf[second + 1] = char(0x7F);
    TkvMetafile mf(wmf);
    ASSERT_TRUE(mf.IsValid());
    EXPECT_EQ(mf.Records().size(), 1u);

    // Records too short for their type are skipped; an empty target draws nothing.
    const QRect box(0, 0, 10, 10);
    TkvMetafile shortRecords(
        WmfBuilder().Rec(0x041B, {1}).Rec(0x0324, {500, 0}).Rec(0x041B, {10, 10, 0, 0}).Finish(0, &box));
    TkvRecordingCanvas c2;
    shortRecords.Play(c2, QRect(0, 0, 0, 50));
    EXPECT_EQ(DrawingCount(c2), 0u);
    shortRecords.Play(c2, QRect(0, 0, 10, 10));
    EXPECT_EQ(DrawingCount(c2), 1u);
}
