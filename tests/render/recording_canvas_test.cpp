// The recording canvas: its dump is what other tests assert on, its replay must equal direct drawing.
#include "render/painter_canvas.h"
#include "render/recording_canvas.h"

#include <gtest/gtest.h>

namespace {

// A little of everything, in the order a view would do it.
void DrawScene(TkvCanvas& canvas) {
    canvas.SetBkOpaque(true);
    canvas.SetBrush({0xE0E0E0, TkvBrushStyle::Solid});
    canvas.FillRect(QRect(5, 5, 90, 30));
    canvas.SetPen({0x000000, 1, TkvPenStyle::Solid, TkvPenMode::Copy});
    canvas.DrawLine({5, 40}, {95, 40});
    canvas.SetPen({0x0000FF, 3, TkvPenStyle::Solid, TkvPenMode::Copy});
    canvas.DrawLine({50, 45}, {50, 90});
    canvas.SetBrush({0x00FF00, TkvBrushStyle::Solid});
    canvas.SetPen({0xFF0000, 1, TkvPenStyle::DashDot, TkvPenMode::Copy});
    canvas.DrawLine({5, 95}, {95, 95});
    canvas.Rectangle(QRect(60, 50, 30, 20));
    canvas.Ellipse(QRect(10, 50, 30, 20));
    canvas.Polyline(QPolygon({QPoint(10, 80), QPoint(30, 80), QPoint(40, 88)}));
    canvas.Save();
    canvas.SetClipRegion(QRegion(0, 0, 60, 100));
    TkvFont font;
    font.height = -14;
    font.style = 2;
    font.color = 0x800000;
    canvas.SetFont(font);
    canvas.SetCharSpacing(1);
    const QRect clip(5, 5, 80, 30);
    canvas.TextOut({8, 10}, QStringLiteral("Total amount 1,234.50"), &clip);
    canvas.Restore();
    canvas.SetPen({0xFFFFFF, 5, TkvPenStyle::Solid, TkvPenMode::Xor});
    canvas.DrawLine({20, 20}, {20, 20});
}

QImage Blank() {
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

} // namespace

TEST(RecordingCanvas, DumpsOneStableLinePerRecord) {
    TkvRecordingCanvas canvas;
    canvas.SetPen({0x000000, 1, TkvPenStyle::Solid, TkvPenMode::Copy});
    canvas.SetPen({0x0000FF, 5, TkvPenStyle::DashDotDot, TkvPenMode::Xor});
    canvas.SetBrush({0xFFFFFF, TkvBrushStyle::Solid});
    canvas.SetBrush({0x1FFFFFFF, TkvBrushStyle::Clear});
    TkvFont font;
    font.name = QStringLiteral("Times New Roman");
    font.height = -16;
    font.style = 3;
    font.color = 0x80000008;
    font.escapement = 900;
    canvas.SetFont(font);
    canvas.SetBkOpaque(false);
    canvas.SetCharSpacing(2);
    canvas.SetPen({0x000000, 1, TkvPenStyle::Solid, TkvPenMode::Copy});
    canvas.SetBrush({0xFFFFFF, TkvBrushStyle::Solid});
    canvas.DrawLine({10, 20}, {30, 20});
    canvas.FillRect(QRect(0, 0, 100, 20));
    canvas.Rectangle(QRect(1, 2, 3, 4));
    canvas.Ellipse(QRect(1, 2, 3, 4));
    canvas.RoundRect(QRect(1, 2, 3, 4), 5, 6);
    canvas.Polygon(QPolygon({QPoint(0, 0), QPoint(10, 0), QPoint(10, 10)}));
    canvas.Polyline(QPolygon({QPoint(0, 0), QPoint(10, 0)}));
    canvas.SetFont(TkvFont{});
    canvas.TextOut({10, 20}, QStringLiteral("Say \"hi\"\\\n\x01"));
    const QRect clip(0, 0, 100, 20);
    const QVector<int> advances{7, 7, 3};
    canvas.TextOut({1, 2}, QStringLiteral("abc"), &clip, &advances);
    canvas.DrawImage(QRect(0, 0, 100, 50), QImage(200, 100, QImage::Format_RGB32), false);
    canvas.DrawImage(QRect(0, 0, 10, 5), QImage(2, 1, QImage::Format_RGB32), true);
    canvas.Save();
    canvas.SetClipRegion(QRegion(0, 0, 100, 20).united(QRegion(0, 40, 100, 20)));
    canvas.SetClipRegion(QRegion());
    canvas.ClearClip();
    canvas.Restore();

    const QString plainFont =
        QStringLiteral("name=\"Arial\" height=0 size=10 style=0 color=000000 charset=1 escapement=0");
    const QStringList expected = {
        "pen color=000000 width=1 style=solid",
        "pen color=0000FF width=5 style=dashdotdot mode=xor",
        "brush color=FFFFFF style=solid",
        "brush color=none style=clear",
        "font name=\"Times New Roman\" height=-16 size=10 style=3 color=sys8 charset=1 escapement=900",
        "bkmode transparent",
        "charspacing 2",
        "pen color=000000 width=1 style=solid",
        "brush color=FFFFFF style=solid",
        "line 10,20 -> 30,20 pen(color=000000 width=1 style=solid)",
        "fillrect 0,0 100x20 brush(color=FFFFFF style=solid)",
        "rectangle 1,2 3x4 pen(color=000000 width=1 style=solid) brush(color=FFFFFF style=solid)",
        "ellipse 1,2 3x4 pen(color=000000 width=1 style=solid) brush(color=FFFFFF style=solid)",
        "roundrect 1,2 3x4 radii=5,6 pen(color=000000 width=1 style=solid) brush(color=FFFFFF style=solid)",
        "polygon 0,0 10,0 10,10 pen(color=000000 width=1 style=solid) brush(color=FFFFFF style=solid)",
        "polyline 0,0 10,0 pen(color=000000 width=1 style=solid)",
        "font " + plainFont,
        "text 10,20 \"Say \\\"hi\\\"\\\\\\n\\x01\" font(" + plainFont + ") spacing=2",
        "text 1,2 \"abc\" font(" + plainFont + ") spacing=2 clip=0,0 100x20 advances=7,7,3",
        "image 0,0 100x50 source=200x100 smooth=no",
        "image 0,0 10x5 source=2x1 smooth=yes",
        "save",
        "clip 0,0 100x20 + 0,40 100x20",
        "clip empty",
        "noclip",
        "restore",
    };
    const QStringList dump = canvas.Dump();
    ASSERT_EQ(dump.size(), expected.size()) << dump.join('\n').toStdString();
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(dump[i], expected[i]) << i;
}

TEST(RecordingCanvas, StateFollowsSaveAndRestore) {
    TkvRecordingCanvas canvas;
    canvas.SetPen({0x0000FF, 2, TkvPenStyle::Solid, TkvPenMode::Copy});
    canvas.Save();
    canvas.SetPen({0x00FF00, 1, TkvPenStyle::Dot, TkvPenMode::Copy});
    canvas.SetClipRegion(QRegion(0, 0, 10, 10));
    EXPECT_TRUE(canvas.HasClip());
    EXPECT_FALSE(canvas.RectVisible(QRect(20, 20, 5, 5)));
    canvas.Restore();
    EXPECT_EQ(canvas.Pen().color, 0x0000FFu);
    EXPECT_FALSE(canvas.HasClip());
    canvas.Restore(); // unbalanced: ignored and not recorded
    EXPECT_EQ(canvas.Dump().last(), QStringLiteral("restore"));
    EXPECT_EQ(canvas.Dump().size(), 5);
}

TEST(RecordingCanvas, ReplayEqualsDirectDrawingPixelForPixel) {
    QImage direct = Blank();
    {
        TkvPainterCanvas canvas(&direct);
        DrawScene(canvas);
    }
    TkvRecordingCanvas recording;
    DrawScene(recording);
    QImage replayed = Blank();
    {
        TkvPainterCanvas canvas(&replayed);
        // Whatever state the target had is not what the page was drawn with.
        canvas.SetPen({0x00FFFF, 9, TkvPenStyle::Dot, TkvPenMode::Xor});
        canvas.SetBkOpaque(false);
        recording.Replay(canvas);
        EXPECT_EQ(canvas.Pen().color, 0x00FFFFu);
        EXPECT_FALSE(canvas.BkOpaque());
        EXPECT_FALSE(canvas.HasClip());
    }
    EXPECT_EQ(replayed, direct);

    // Replaying onto another recording reproduces the drawing records.
    TkvRecordingCanvas copy;
    recording.Replay(copy);
    QStringList draws;
    for (const QString& line : copy.Dump())
        if (!line.startsWith("pen ") && !line.startsWith("brush ") && !line.startsWith("bkmode"))
            draws << line;
    QStringList original;
    for (const QString& line : recording.Dump())
        if (!line.startsWith("pen ") && !line.startsWith("brush ") && !line.startsWith("bkmode"))
            original << line;
    EXPECT_EQ(draws.mid(1, draws.size() - 2), original); // framed by the replay's own save/restore
}

TEST(RecordingCanvas, MeasuresLikeTheMeasuringCanvasAtItsResolution) {
    TkvRecordingCanvas screen;
    TkvFont font;
    font.height = -15;
    screen.SetFont(font);
    screen.SetCharSpacing(2);
    TkvPainterCanvas& measuring = kv::MeasuringCanvas();
    measuring.SetFont(font);
    measuring.SetCharSpacing(2);
    EXPECT_EQ(screen.TextExtent(QStringLiteral("Invoice 42")),
              measuring.TextExtent(QStringLiteral("Invoice 42")));

    font.height = 0;
    font.pointSize = 12;
    TkvRecordingCanvas printer(300, 300, true);
    printer.SetFont(font);
    screen.SetFont(font);
    EXPECT_GT(printer.TextMetrics().height, 2 * screen.TextMetrics().height);
}

TEST(RecordingCanvas, FindTextReportsRecordsAndBoxes) {
    TkvRecordingCanvas canvas;
    TkvFont font;
    font.height = -12;
    canvas.SetFont(font);
    canvas.FillRect(QRect(0, 0, 10, 10));
    canvas.TextOut({10, 20}, QStringLiteral("Total: 10, total: 20"));
    canvas.TextOut({10, 40}, QStringLiteral("nothing here"));

    const QSize extent = canvas.TextExtent(QStringLiteral("Total: 10, total: 20"));
    const int prefix = canvas.TextExtent(QStringLiteral("Total: 10, ")).width();
    const int word = canvas.TextExtent(QStringLiteral("Total")).width();
    const int lowerWord = canvas.TextExtent(QStringLiteral("total")).width();

    const auto matches = canvas.FindText(QStringLiteral("TOTAL"), Qt::CaseInsensitive);
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[0].record, 2);
    EXPECT_EQ(matches[0].position, 0);
    EXPECT_EQ(matches[0].bounds, QRect(QPoint(10, 20), extent));
    EXPECT_EQ(matches[0].matchBounds, QRect(10, 20, word, extent.height()));
    EXPECT_EQ(matches[1].position, 11);
    EXPECT_EQ(matches[1].matchBounds, QRect(10 + prefix, 20, lowerWord, extent.height()));

    EXPECT_EQ(canvas.FindText(QStringLiteral("total"), Qt::CaseSensitive).size(), 1u);
    EXPECT_TRUE(canvas.FindText(QStringLiteral("absent")).empty());
    EXPECT_TRUE(canvas.FindText(QString()).empty());

    // Given advances decide the box; rotated text gets the box around it.
    const QVector<int> advances{10, 10, 10};
    canvas.TextOut({0, 0}, QStringLiteral("xyz"), nullptr, &advances);
    font.escapement = 900;
    canvas.SetFont(font);
    canvas.TextOut({50, 100}, QStringLiteral("xyz"));
    const auto xyz = canvas.FindText(QStringLiteral("y"));
    ASSERT_EQ(xyz.size(), 2u);
    EXPECT_EQ(xyz[0].matchBounds.left(), 10);
    EXPECT_EQ(xyz[0].matchBounds.width(), 10);
    EXPECT_EQ(xyz[1].bounds.left(), 50);
    EXPECT_EQ(xyz[1].bounds.bottom() + 1, 100);
    EXPECT_GT(xyz[1].bounds.height(), xyz[1].bounds.width());
}

TEST(RecordingCanvas, FindTextInALongRecordMeasuresItOnce) {
    // A text record from a file may be long and match everywhere; each match must not re-measure
    // the text before it.
    TkvRecordingCanvas canvas;
    const QString text = QStringLiteral("ab").repeated(20000);
    canvas.TextOut({0, 0}, text);
    const auto matches = canvas.FindText(QStringLiteral("AB"));
    ASSERT_EQ(matches.size(), 20000u);
    const int pair = canvas.TextExtent(QStringLiteral("ab")).width();
    EXPECT_EQ(matches.back().position, 39998);
    EXPECT_EQ(matches.back().matchBounds.left(), std::min(19999 * pair, 1 << 29));
}
