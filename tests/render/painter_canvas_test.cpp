// Pixel semantics of the painter canvas on images: where geometry is exact the tests look at pixels.
#include "render/colors.h"
#include "render/painter_canvas.h"

#include <QBuffer>
#include <QFontInfo>
#include <QPdfWriter>
#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0x0000FF; // report colours keep red in the low byte
constexpr QRgb kWhiteRgb = 0xFFFFFFFF;

QImage Paint(const std::function<void(TkvCanvas&)>& draw, QSize size = {60, 60}) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        TkvPainterCanvas canvas(&image);
        draw(canvas);
    }
    return image;
}

using PixelSet = std::set<std::pair<int, int>>;

PixelSet PixelsOf(const QImage& image, QRgb rgb) {
    PixelSet set;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == rgb) set.insert({x, y});
    return set;
}

PixelSet Box(int left, int top, int right, int bottom) { // right/bottom exclusive
    PixelSet set;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            set.insert({x, y});
    return set;
}

// Bounding box of everything that is not white.
QRect InkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kWhiteRgb) box |= QRect(x, y, 1, 1);
    return box;
}

TkvPen Pen(uint32_t color, int width = 1, TkvPenStyle style = TkvPenStyle::Solid) {
    return {color, width, style, TkvPenMode::Copy};
}

} // namespace

TEST(PainterCanvasLines, OnePixelLinesExcludeTheirEndPoint) {
    struct Case {
        const char* name;
        QPoint from, to;
        PixelSet expected;
    };
    const Case cases[] = {
        {"left to right", {2, 5}, {8, 5}, Box(2, 5, 8, 6)},
        {"right to left", {8, 5}, {2, 5}, Box(3, 5, 9, 6)},
        {"downwards", {4, 1}, {4, 7}, Box(4, 1, 5, 7)},
        {"upwards", {4, 7}, {4, 1}, Box(4, 2, 5, 8)},
        {"zero length", {4, 4}, {4, 4}, {}},
        {"diagonal", {2, 2}, {6, 6}, {{2, 2}, {3, 3}, {4, 4}, {5, 5}}},
    };
    for (const Case& c : cases) {
        const QImage image = Paint([&](TkvCanvas& canvas) {
            canvas.SetPen(Pen(kBlack));
            canvas.DrawLine(c.from, c.to);
        });
        EXPECT_EQ(PixelsOf(image, 0xFF000000), c.expected) << c.name;
    }
}

TEST(PainterCanvasLines, WidePensAreCentredWithSquareCaps) {
    const QImage vertical = Paint([](TkvCanvas& canvas) {
        canvas.SetPen(Pen(kBlack, 3));
        canvas.DrawLine({10, 5}, {10, 15});
    });
    EXPECT_EQ(PixelsOf(vertical, 0xFF000000), Box(9, 4, 12, 17));
    // A 5-pixel dot, as the designer's selection handles use.
    const QImage dot = Paint([](TkvCanvas& canvas) {
        canvas.SetPen(Pen(kBlack, 5));
        canvas.DrawLine({20, 20}, {20, 20});
    });
    EXPECT_EQ(PixelsOf(dot, 0xFF000000), Box(18, 18, 23, 23));
}

TEST(PainterCanvasLines, StyledPensUseClassicPatternsWithGapsInBrushColour) {
    struct Case {
        TkvPenStyle style;
        bool opaque;
        const char* row; // '#' pen, 'r' brush colour, '.' untouched; pixels 0..47 of a line 0 -> 48
    };
    const std::string dash = std::string(18, '#') + std::string(6, 'r');
    const std::string dashClear = std::string(18, '#') + std::string(6, '.');
    const std::string dashRow = dash + dash, dashClearRow = dashClear + dashClear;
    const std::string dotRow = [] {
        std::string s;
        for (int i = 0; i < 8; ++i)
            s += "###rrr";
        return s;
    }();
    const std::string dashDot = "#########rrrrrr###rrrrrr";
    const std::string dashDotDot = "#########rrr###rrr###rrr";
    const Case cases[] = {
        {TkvPenStyle::Dash, true, dashRow.c_str()},
        {TkvPenStyle::Dash, false, dashClearRow.c_str()},
        {TkvPenStyle::Dot, true, dotRow.c_str()},
    };
    auto rowOf = [](const QImage& image, int y, int n) {
        std::string row;
        for (int x = 0; x < n; ++x) {
            const QRgb p = image.pixel(x, y);
            row += p == 0xFF000000 ? '#' : p == 0xFFFF0000 ? 'r' : p == kWhiteRgb ? '.' : '?';
        }
        return row;
    };
    auto drawRow = [](TkvPenStyle style, bool opaque) {
        return Paint([&](TkvCanvas& canvas) {
            canvas.SetBkOpaque(opaque);
            canvas.SetBrush({kRed, TkvBrushStyle::Solid});
            canvas.SetPen(Pen(kBlack, 7, style)); // styled pens are always 1 pixel wide
            canvas.DrawLine({0, 2}, {48, 2});
        });
    };
    for (const Case& c : cases) {
        const QImage image = drawRow(c.style, c.opaque);
        EXPECT_EQ(rowOf(image, 2, 49), std::string(c.row) + ".") << int(c.style) << c.opaque;
        EXPECT_EQ(rowOf(image, 1, 49), std::string(49, '.'));
        EXPECT_EQ(rowOf(image, 3, 49), std::string(49, '.'));
    }
    EXPECT_EQ(rowOf(drawRow(TkvPenStyle::DashDot, true), 2, 48), dashDot + dashDot);
    EXPECT_EQ(rowOf(drawRow(TkvPenStyle::DashDotDot, true), 2, 48), dashDotDot + dashDotDot);
}

TEST(PainterCanvasLines, AbsurdCoordinatesFinishAndDrawTheVisiblePart) {
    const QImage image = Paint([](TkvCanvas& canvas) {
        canvas.SetPen(Pen(kBlack, 1, TkvPenStyle::Dot));
        canvas.SetBkOpaque(false);
        canvas.DrawLine({INT_MIN, 5}, {INT_MAX, 5});
        canvas.SetPen(Pen(kBlack, 1));
        canvas.DrawLine({7, INT_MAX}, {7, INT_MIN});
        canvas.SetBrush({kBlack, TkvBrushStyle::Solid});
        canvas.FillRect(QRect(INT_MIN / 2, 40, INT_MAX, 2));
    });
    EXPECT_GT(PixelsOf(image, 0xFF000000).size(), 60u * 3 / 2);
    EXPECT_EQ(image.pixel(7, 59), 0xFF000000);
    EXPECT_EQ(image.pixel(0, 41), 0xFF000000);
}

TEST(PainterCanvasShapes, FillRectAndRectangleExcludeRightAndBottomEdge) {
    const QImage filled = Paint([](TkvCanvas& canvas) {
        canvas.SetBrush({kBlack, TkvBrushStyle::Solid});
        canvas.FillRect(QRect(3, 4, 5, 6));
    });
    EXPECT_EQ(PixelsOf(filled, 0xFF000000), Box(3, 4, 8, 10));

    const QImage rect = Paint([](TkvCanvas& canvas) {
        canvas.SetPen(Pen(kBlack));
        canvas.SetBrush({kRed, TkvBrushStyle::Solid});
        canvas.Rectangle(QRect(3, 4, 5, 6));
    });
    PixelSet outline = Box(3, 4, 8, 10);
    for (const auto& p : Box(4, 5, 7, 9))
        outline.erase(p);
    EXPECT_EQ(PixelsOf(rect, 0xFF000000), outline);
    EXPECT_EQ(PixelsOf(rect, 0xFFFF0000), Box(4, 5, 7, 9));

    const QImage wide = Paint([](TkvCanvas& canvas) {
        canvas.SetPen(Pen(kBlack, 3));
        canvas.SetBrush({kRed, TkvBrushStyle::Solid});
        canvas.Rectangle(QRect(10, 10, 20, 20));
    });
    PixelSet band = Box(9, 9, 31, 31);
    for (const auto& p : Box(12, 12, 28, 28))
        band.erase(p);
    EXPECT_EQ(PixelsOf(wide, 0xFF000000), band);
    EXPECT_EQ(PixelsOf(wide, 0xFFFF0000), Box(12, 12, 28, 28));
}

TEST(PainterCanvasShapes, EllipseStaysInsideItsRectangle) {
    const QImage image = Paint([](TkvCanvas& canvas) {
        canvas.SetPen(Pen(kBlack));
        canvas.SetBrush({kRed, TkvBrushStyle::Solid});
        canvas.Ellipse(QRect(10, 10, 20, 12));
    });
    EXPECT_EQ(InkBox(image), QRect(10, 10, 20, 12));
    EXPECT_EQ(image.pixel(20, 16), 0xFFFF0000);
}

TEST(PainterCanvasModes, XorTwiceRestoresAndNoColourDrawsNothing) {
    QImage original(40, 40, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            original.setPixel(x, y, qRgb(x * 6, y * 6, 77));
    auto drawXor = [](TkvCanvas& canvas) {
        canvas.SetPen({0x00FFFF, 5, TkvPenStyle::Solid, TkvPenMode::Xor});
        canvas.DrawLine({5, 5}, {30, 5});
        canvas.SetPen({0xFFFFFF, 1, TkvPenStyle::Solid, TkvPenMode::Xor});
        canvas.DrawLine({5, 20}, {30, 35});
        canvas.SetBrush({0x123456, TkvBrushStyle::Solid});
        canvas.Rectangle(QRect(10, 10, 8, 8));
    };
    QImage image = original;
    {
        TkvPainterCanvas canvas(&image);
        drawXor(canvas);
    }
    ASSERT_NE(image, original);
    EXPECT_EQ(image.pixel(10, 5), original.pixel(10, 5) ^ 0x00FFFF00u); // red and green flipped
    {
        TkvPainterCanvas canvas(&image);
        drawXor(canvas);
    }
    EXPECT_EQ(image, original);

    const QImage none = Paint([](TkvCanvas& canvas) {
        canvas.SetPen(Pen(kv::kNoColor, 3));
        canvas.SetBrush({kv::kNoColor, TkvBrushStyle::Solid});
        canvas.DrawLine({1, 1}, {50, 1});
        canvas.FillRect(QRect(0, 0, 60, 60));
        canvas.Rectangle(QRect(5, 5, 20, 20));
        canvas.Ellipse(QRect(5, 5, 20, 20));
        TkvFont font;
        font.height = -20;
        font.color = kv::kNoColor;
        canvas.SetFont(font);
        canvas.TextOut({5, 5}, QStringLiteral("Hidden"));
    });
    EXPECT_TRUE(InkBox(none).isEmpty());
}

TEST(PainterCanvasClip, ClipRegionLimitsDrawingAndSaveRestoreNestsState) {
    const QImage image = Paint([](TkvCanvas& canvas) {
        EXPECT_FALSE(canvas.HasClip());
        EXPECT_TRUE(canvas.RectVisible(QRect(100, 100, 1, 1)));
        canvas.SetBrush({kBlack, TkvBrushStyle::Solid});
        canvas.Save();
        canvas.SetClipRegion(QRegion(10, 10, 10, 10).united(QRegion(40, 40, 5, 5)));
        canvas.SetBrush({kRed, TkvBrushStyle::Solid});
        EXPECT_TRUE(canvas.RectVisible(QRect(42, 42, 1, 1)));
        EXPECT_FALSE(canvas.RectVisible(QRect(30, 30, 5, 5)));
        canvas.Save();
        canvas.ClearClip();
        canvas.Restore();
        EXPECT_TRUE(canvas.HasClip());
        canvas.FillRect(QRect(0, 0, 60, 60));
        canvas.Restore();
        EXPECT_FALSE(canvas.HasClip());
        EXPECT_EQ(canvas.Brush().color, kBlack);
        canvas.FillRect(QRect(0, 55, 60, 5));
    });
    EXPECT_EQ(PixelsOf(image, 0xFFFF0000), [] {
        PixelSet s = Box(10, 10, 20, 20);
        s.merge(Box(40, 40, 45, 45));
        return s;
    }());
    EXPECT_EQ(PixelsOf(image, 0xFF000000), Box(0, 55, 60, 60));
}

TEST(PainterCanvasImages, StretchesWithOrWithoutSmoothing) {
    QImage source(2, 1, QImage::Format_ARGB32_Premultiplied);
    source.setPixel(0, 0, 0xFF000000);
    source.setPixel(1, 0, 0xFFFFFFFF);
    const QImage sharp =
        Paint([&](TkvCanvas& canvas) { canvas.DrawImage(QRect(0, 0, 40, 10), source, false); });
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(sharp.pixel(x, 5), x < 20 ? 0xFF000000 : kWhiteRgb) << x;
    const QImage smooth =
        Paint([&](TkvCanvas& canvas) { canvas.DrawImage(QRect(0, 0, 40, 10), source, true); });
    const QRgb middle = smooth.pixel(20, 5);
    EXPECT_NE(middle, 0xFF000000);
    EXPECT_NE(middle, kWhiteRgb);
}

// ---------------------------------------------------------------- fonts and text

TEST(PainterCanvasFonts, HeightsResolveToPixelSizes) {
    TkvPainterCanvas& canvas = kv::MeasuringCanvas();
    EXPECT_EQ(canvas.DpiX(), 96);
    TkvFont font;
    font.height = -16;
    canvas.SetFont(font);
    EXPECT_EQ(canvas.QtFont().pixelSize(), 16);
    EXPECT_EQ(QFontInfo(canvas.QtFont()).family(), QStringLiteral("Liberation Sans"));
    const TkvTextMetrics m = canvas.TextMetrics();
    EXPECT_EQ(m.height, m.ascent + m.descent);
    EXPECT_EQ(m.internalLeading, m.height - 16);
    EXPECT_GT(m.averageCharWidth, 0);

    // A positive height is the cell: the largest em whose cell fits.
    font.height = 20;
    canvas.SetFont(font);
    const int em = canvas.QtFont().pixelSize();
    EXPECT_LE(canvas.TextMetrics().height, 20);
    EXPECT_LT(em, 20);
    font.height = -(em + 1);
    canvas.SetFont(font);
    EXPECT_GT(canvas.TextMetrics().height, 20);

    // Height 0: point size at the surface's resolution.
    font.height = 0;
    font.pointSize = 12;
    canvas.SetFont(font);
    EXPECT_EQ(canvas.QtFont().pixelSize(), 16);
    QImage image(4, 4, QImage::Format_ARGB32_Premultiplied);
    TkvPainterCanvas printer(&image, {300, 300, 1});
    EXPECT_TRUE(printer.IsPrinter());
    printer.SetFont(font);
    EXPECT_EQ(printer.QtFont().pixelSize(), 50);

    // Absurd sizes from a file are capped.
    font.height = INT_MIN;
    canvas.SetFont(font);
    EXPECT_LE(canvas.QtFont().pixelSize(), 20000);
}

TEST(PainterCanvasFonts, StyleCodesMapToFontFlags) {
    struct Case {
        int style;
        bool italic, bold, underline, strikeOut;
    };
    const Case cases[] = {{0, false, false, false, false}, {1, true, false, false, false},
                          {2, false, true, false, false},  {4, false, false, true, false},
                          {8, false, false, false, true},  {15, true, true, true, true}};
    for (const Case& c : cases) {
        TkvFont font;
        font.style = c.style;
        const QFont q = kv::FontToQFont(font, 96);
        EXPECT_EQ(q.italic(), c.italic) << c.style;
        EXPECT_EQ(q.bold(), c.bold) << c.style;
        EXPECT_EQ(q.underline(), c.underline) << c.style;
        EXPECT_EQ(q.strikeOut(), c.strikeOut) << c.style;
        EXPECT_FALSE(q.kerning());
    }
}

TEST(PainterCanvasFonts, ExtentIsTheSumOfWholeAdvancesPlusSpacing) {
    TkvPainterCanvas& canvas = kv::MeasuringCanvas();
    for (const char* family : {"Arial", "Times New Roman", "Courier New"}) {
        TkvFont font;
        font.name = QString::fromLatin1(family);
        font.height = -13;
        canvas.SetFont(font);
        const QString text = QStringLiteral("AVAWAY To, 1.5 Wij");
        for (int spacing : {0, 3}) {
            canvas.SetCharSpacing(spacing);
            int sum = 0;
            for (QChar ch : text)
                sum += canvas.TextExtent(QString(ch)).width();
            EXPECT_EQ(canvas.TextExtent(text).width(), sum) << family << spacing;
        }
        canvas.SetCharSpacing(0);
        const int plain = canvas.TextExtent(text).width();
        canvas.SetCharSpacing(3);
        EXPECT_EQ(canvas.TextExtent(text).width(), plain + 3 * int(text.size())) << family;
        EXPECT_EQ(canvas.TextExtent(text).height(), canvas.TextMetrics().height);
        canvas.SetCharSpacing(0);
    }
}

TEST(PainterCanvasText, DrawnAtTheAscentBaselineAndClipped) {
    TkvFont font;
    font.height = -20;
    int ascent = 0, width = 0;
    const QPoint at(150, 100); // far from the origin: the whole run must still be drawn
    const QImage image = Paint(
        [&](TkvCanvas& canvas) {
            canvas.SetFont(font);
            ascent = canvas.TextMetrics().ascent;
            width = canvas.TextExtent(QStringLiteral("HHHHHH")).width();
            canvas.TextOut(at, QStringLiteral("HHHHHH"));
        },
        {300, 200});
    const QRect ink = InkBox(image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.bottom(), at.y() + ascent - 1, 1); // "H" sits on the baseline
    EXPECT_GE(ink.top(), at.y());
    EXPECT_GE(ink.left(), at.x());
    EXPECT_LE(ink.right(), at.x() + width);
    EXPECT_GE(ink.right(), at.x() + width - 4); // only the last side bearing is blank

    const QImage clipped = Paint(
        [&](TkvCanvas& canvas) {
            canvas.SetFont(font);
            const QRect clip(at.x(), at.y(), 40, 40);
            canvas.TextOut(at, QStringLiteral("HHHHHH"), &clip);
        },
        {300, 200});
    const QRect clippedInk = InkBox(clipped);
    ASSERT_FALSE(clippedInk.isEmpty());
    EXPECT_EQ(clippedInk.right(), at.x() + 39); // cut through the third "H"
}

TEST(PainterCanvasText, EscapementTurnsTextCounterClockwise) {
    TkvFont font;
    font.height = -16;
    font.escapement = 900;
    int width = 0, height = 0;
    const QImage image = Paint(
        [&](TkvCanvas& canvas) {
            canvas.SetFont(font);
            width = canvas.TextExtent(QStringLiteral("HHHHHH")).width();
            height = canvas.TextMetrics().height;
            canvas.TextOut({20, 90}, QStringLiteral("HHHHHH"));
        },
        {100, 100});
    const QRect ink = InkBox(image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GT(ink.height(), 2 * ink.width());
    // Reading upwards from the reference point, the cell lying to its right.
    EXPECT_GE(ink.top(), 90 - width - 1);
    EXPECT_LE(ink.bottom(), 90);
    EXPECT_GE(ink.left(), 20);
    EXPECT_LE(ink.right(), 20 + height);
}

TEST(PainterCanvasText, GlyphRunAndPerCharacterDrawingAgree) {
    // Images take one positioned glyph run, printers one character at a time; both must put the
    // same glyphs at the same whole-pixel positions.
    auto draw = [](int printer, const QString& text) {
        QImage image(300, 40, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            TkvPainterCanvas canvas(&image, {96, 96, printer});
            TkvFont font;
            font.height = -15;
            font.style = 4;
            canvas.SetFont(font);
            canvas.SetCharSpacing(1);
            canvas.TextOut({3, 5}, text);
        }
        return image;
    };
    for (const QString& text :
         {QStringLiteral("Invoice no. 4711, AVAWAY fi ffl"), QStringLiteral("tab\there\x01ok")})
        EXPECT_EQ(draw(0, text), draw(1, text)) << text.toStdString();
}

TEST(PainterCanvasDevices, PdfWritersArePrintersAndBorrowedPaintersGetTheirStateBack) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(300);
        TkvPainterCanvas canvas(&pdf);
        EXPECT_TRUE(canvas.IsPrinter());
        EXPECT_EQ(canvas.DpiX(), 300);
        EXPECT_EQ(canvas.DpiY(), 300);
        // No raster operations on PDF: XOR draws as copy instead of failing.
        canvas.SetPen({0x0000FF, 5, TkvPenStyle::Solid, TkvPenMode::Xor});
        canvas.DrawLine({100, 100}, {900, 100});
        canvas.TextOut({100, 200}, QStringLiteral("Page 1"));
    }
    EXPECT_TRUE(buffer.data().startsWith("%PDF"));

    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QPen pen(Qt::green, 4);
    painter.setPen(pen);
    {
        TkvPainterCanvas canvas(painter);
        EXPECT_FALSE(canvas.IsPrinter());
        canvas.SetClipRegion(QRegion(0, 0, 5, 5));
        canvas.SetBrush({0x000000, TkvBrushStyle::Solid});
        canvas.FillRect(QRect(0, 0, 20, 20));
    }
    EXPECT_FALSE(painter.hasClipping());
    EXPECT_EQ(painter.pen(), pen);
    painter.end();
    EXPECT_EQ(image.pixel(4, 4), 0xFF000000);
    EXPECT_EQ(image.pixel(5, 5), kWhiteRgb);
}
