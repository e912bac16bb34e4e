// Frames and fills of the view base: as canvas records, and as pixels on an image at two zooms.
#include "core/globals.h"
#include "core/views/band_control_views.h"
#include "core/views/standard_views.h"
#include "core/views/stretcheable.h"
#include "core/views/view.h"
#include "core/views/view_factory.h"
#include "render/painter_canvas.h"
#include "render/recording_canvas.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// Draws what every view draws around its content: background and frame.
class FrameView : public TkvView {
public:
    void Draw(TkvCanvas& canvas) override {
        AttachCanvas(&canvas);
        ScaleForDrawing();
        DrawBackground();
        DrawFrame();
        RestoreAfterDrawing();
    }
};

struct PrintMode {
    explicit PrintMode(uint8_t mode) { kv::DocumentMode() = mode; }
    ~PrintMode() { kv::DocumentMode() = 0; }
};

QStringList Lines(const TkvRecordingCanvas& c) {
    QStringList out;
    for (const QString& l : c.Dump())
        if (l.startsWith("line")) out << l.section(' ', 0, 3);
    return out;
}

TEST(ViewDraw, DashedFrameIsParallelOnePixelLines) {
    PrintMode print(1);
    FrameView v;
    v.SetBounds(10, 20, 100, 30);
    v.FrameTyp = 8; // top only
    v.FrameWidth = 3;
    v.FrameStyle = 1;
    TkvRecordingCanvas c;
    v.Draw(c);
    EXPECT_EQ(Lines(c), (QStringList{"line 10,19 -> 110,19", "line 10,20 -> 110,20", "line 10,21 -> 110,21"}));
    for (const QString& l : c.Dump())
        if (l.startsWith("line")) {
            EXPECT_TRUE(l.contains("width=1 style=dash")) << l.toStdString();
        }
}

TEST(ViewDraw, DoubleFrameClearsTheMiddleWithTheFill) {
    PrintMode print(1);
    FrameView v;
    v.SetBounds(10, 20, 100, 30);
    v.FrameTyp = 4; // left only
    v.FrameWidth = 1;
    v.FrameStyle = 5;
    v.FillColor = 0x00FF00;
    v.FrameColor = 0x0000FF;
    TkvRecordingCanvas c;
    v.Draw(c);
    QStringList lines;
    for (const QString& l : c.Dump())
        if (l.startsWith("line")) lines << l.section(' ', 0, 3) + " " + l.section("color=", 1).left(6);
    EXPECT_EQ(lines, (QStringList{"line 9,20 -> 9,50 0000FF", "line 10,20 -> 10,50 00FF00",
                                  "line 11,20 -> 11,50 0000FF"}));
}

TEST(ViewDraw, TransparentViewPaintsNoBackgroundOutsideDesign) {
    FrameView v;
    v.SetBounds(0, 0, 10, 10);
    {
        PrintMode print(1);
        TkvRecordingCanvas c;
        v.Draw(c);
        EXPECT_FALSE(c.Dump().join('\n').contains("fillrect"));
    }
    TkvRecordingCanvas c;
    v.Draw(c);
    // Designing: the inner rectangle is painted white, and the corner marks are drawn.
    EXPECT_TRUE(c.Dump().join('\n').contains("fillrect 0,0 11x11 brush(color=FFFFFF"));
    EXPECT_EQ(Lines(c).size(), 8);
}

// Pixels of a framed, filled view on an image: the fill covers the frame too (right and bottom
// exclusive) and each frame side is centred on its edge.
TEST(ViewDraw, FramedFilledViewPixelsAtZoomOneAndTwo) {
    PrintMode print(1);
    struct Case {
        double zoom;
        int frameWidth;
        QRect fill;        // the background rectangle
        int top0, top1;    // rows covered by the top side
        int right0, right1; // columns covered by the right side
    };
    // View at (10, 10) of size 40 x 20 with all four sides.
    const Case cases[] = {
        {1.0, 1, QRect(10, 10, 40, 20), 10, 10, 50, 50},
        {2.0, 1, QRect(20, 20, 80, 40), 19, 20, 99, 100},
        {1.0, 3, QRect(10, 10, 40, 20), 9, 11, 49, 51},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " width " << c.frameWidth);
        QImage img(140, 100, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            TkvPainterCanvas canvas(&img);
            FrameView v;
            v.SetBounds(10, 10, 40, 20);
            v.FrameTyp = 15;
            v.FrameWidth = c.frameWidth;
            v.FrameColor = 0x000000;
            v.FillColor = 0x0000FF; // red
            v.ZoomX = v.ZoomY = c.zoom;
            v.Draw(canvas);
        }
        const QRgb red = qRgb(255, 0, 0), black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
        const int midX = c.fill.center().x(), midY = c.fill.center().y();
        EXPECT_EQ(img.pixel(midX, midY), red);
        for (int y = c.top0; y <= c.top1; ++y) EXPECT_EQ(img.pixel(midX, y), black) << "top row " << y;
        EXPECT_EQ(img.pixel(midX, c.top0 - 1), white);
        EXPECT_NE(img.pixel(midX, c.top1 + 1), black);
        for (int x = c.right0; x <= c.right1; ++x) EXPECT_EQ(img.pixel(x, midY), black) << "right column " << x;
        EXPECT_EQ(img.pixel(c.right1 + 1, midY), white);
        EXPECT_NE(img.pixel(c.right0 - 1, midY), black);
        // Outside the frame nothing is painted.
        EXPECT_EQ(img.pixel(c.fill.left() - 3, midY), white);
        EXPECT_EQ(img.pixel(midX, c.fill.bottom() + 4), white);
    }
}

} // namespace

// After drawing or measuring, no view keeps the canvas it was given: the canvas may be gone before
// the view is used again (the engine calls PrintToStream outside drawing).
TEST(ViewDraw, NoViewKeepsTheCanvasAfterDrawing) {
    kv::RegisterStandardViews();
    kv::RegisterBandAndControlViews();
    struct Case {
        uint8_t type;
        QByteArray className;
    };
    const Case cases[] = {{kvvt::Text, {}},    {kvvt::Picture, {}}, {kvvt::Band, {}},
                          {kvvt::SubReport, {}}, {kvvt::Line, {}},  {kvvt::AddIn, "TkvRichView"}};
    for (const Case& c : cases) {
        std::unique_ptr<TkvView> v = kv::CreateViewByType(c.type, c.className);
        SCOPED_TRACE(v->ClassName());
        v->SetBounds(10, 10, 100, 40);
        v->Memo = {"text"};
        {
            TkvRecordingCanvas canvas;
            v->Draw(canvas);
        }
        EXPECT_EQ(v->Canvas, nullptr);
        if (auto* stretching = dynamic_cast<TkvStretcheable*>(v.get())) {
            stretching->CalcHeight();
            EXPECT_EQ(v->Canvas, nullptr);
        }
    }
}
