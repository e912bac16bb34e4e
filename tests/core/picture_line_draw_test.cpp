// Drawing pictures, lines and sub-report boxes, asserted on recording canvas records.
#include "core/globals.h"
#include "core/views/line_view.h"
#include "core/views/picture_view.h"
#include "core/views/subreport_view.h"
#include "graphics/jpeg.h"
#include "render/recording_canvas.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct DocumentModeScope {
    explicit DocumentModeScope(uint8_t mode) : saved_(kv::DocumentMode()) { kv::DocumentMode() = mode; }
    ~DocumentModeScope() { kv::DocumentMode() = saved_; }

private:
    uint8_t saved_;
};

QImage Filled(int w, int h, QImage::Format format = QImage::Format_RGB32) {
    QImage img(w, h, format);
    img.fill(QColor(200, 30, 30));
    return img;
}

QByteArray Encoded(const QImage& img, const char* format) {
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, format);
    return bytes;
}

QByteArray BitmapFile(int w, int h) {
    return Encoded(Filled(w, h), "BMP");
}

// An icon file whose single image is stored as PNG.
QByteArray IconFile(int w, int h) {
    const QByteArray png = Encoded(Filled(w, h, QImage::Format_ARGB32), "PNG");
    QByteArray ico(6 + 16, '\0');
    auto put16 = [&](int at, uint16_t v) { qToLittleEndian<uint16_t>(v, ico.data() + at); };
    auto put32 = [&](int at, uint32_t v) { qToLittleEndian<uint32_t>(v, ico.data() + at); };
    put16(2, 1);
    put16(4, 1);
    ico[6] = char(w);
    ico[7] = char(h);
    put16(10, 1);
    put16(12, 32);
    put32(14, uint32_t(png.size()));
    put32(18, 22);
    return ico + png;
}

// A placeable metafile of one rectangle, 0..w x 0..h logical units at 96 units per inch.
QByteArray MetafileFile(int w, int h) {
    QByteArray out;
    auto put16 = [&](uint16_t v) { out.append(char(v & 0xFF)).append(char(v >> 8)); };
    auto put32 = [&](uint32_t v) {
        put16(uint16_t(v & 0xFFFF));
        put16(uint16_t(v >> 16));
    };
    put32(0x9AC6CDD7u);
    put16(0);
    for (int v : {0, 0, w, h})
        put16(uint16_t(v));
    put16(96);
    put32(0);
    uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= qFromLittleEndian<uint16_t>(out.constData() + 2 * i);
    put16(sum);
    // Header, one RECTANGLE record (bottom, right, top, left), EOF.
    put16(1);
    put16(9);
    put16(0x0300);
    put32(9 + 7 + 3);
    put16(0);
    put32(7);
    put16(0);
    put32(7);
    put16(0x041B);
    for (int v : {h, w, 0, 0})
        put16(uint16_t(v));
    put32(3);
    put16(0);
    return out;
}

std::vector<kvrec::Image> Images(const TkvRecordingCanvas& c) {
    std::vector<kvrec::Image> out;
    for (const TkvRecord& r : c.Records())
        if (auto* img = std::get_if<kvrec::Image>(&r)) out.push_back(*img);
    return out;
}

int DrawingRecords(const TkvRecordingCanvas& c) {
    int n = 0;
    for (const TkvRecord& r : c.Records())
        if (std::holds_alternative<kvrec::Rectangle>(r) || std::holds_alternative<kvrec::Polygon>(r) ||
            std::holds_alternative<kvrec::Polyline>(r) || std::holds_alternative<kvrec::Line>(r) ||
            std::holds_alternative<kvrec::FillRect>(r))
            ++n;
    return n;
}

// A picture object at (10, 20), 200 x 200, without frame, in print mode.
void Place(TkvPictureView& v, uint16_t flags, double zoom = 1.0) {
    v.SetBounds(10, 20, 200, 200);
    v.FrameTyp = 0;
    v.Flags = flags;
    v.ZoomX = v.ZoomY = zoom;
    v.OriginX = v.OriginY = 0;
}

constexpr uint16_t kStretched = kvflag::Stretched;
constexpr uint16_t kKeep = kvpf::KeepAspect;
constexpr uint16_t kCenter = kvpf::Center;

TEST(PictureDraw, TargetRectangleFollowsStretchKeepAspectAndCenter) {
    DocumentModeScope mode(1);
    // InnerRect of a frameless 200 x 200 object at (10, 20) spans 201 x 201 pixels.
    struct Case {
        const char* name;
        QSize picture;
        uint16_t flags;
        double zoom;
        QRect expected;
    } cases[] = {
        // kx = 2, ky = 4: full width, 100 high, moved down by (201 - 100) div 2.
        {"wide, keep aspect, centred", {100, 50}, kStretched | kKeep | kCenter, 1, {10, 70, 201, 100}},
        {"wide, keep aspect", {100, 50}, kStretched | kKeep, 1, {10, 20, 201, 100}},
        // kx = 4, ky = 2: full height, 100 wide, moved right by (201 - 100) div 2.
        {"tall, keep aspect, centred", {50, 100}, kStretched | kKeep | kCenter, 1, {60, 20, 100, 201}},
        {"stretched fills, centre ignored", {100, 50}, kStretched | kCenter, 1, {10, 20, 201, 201}},
        {"own size", {100, 50}, 0, 1, {10, 20, 100, 50}},
        // Zoom 2: the object becomes (20, 40) 400 x 400, InnerRect 401 x 401; the picture 200 x 100.
        {"own size at zoom 2, centred", {100, 50}, kCenter, 2, {120, 190, 200, 100}},
        // A picture wider than the object overhangs it; (201 - 300) div 2 truncates toward zero.
        {"own size wider than object, centred", {300, 50}, kCenter, 1, {-39, 95, 300, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TkvPictureView v;
        Place(v, c.flags, c.zoom);
        v.Picture = {kvgk::Bitmap, BitmapFile(c.picture.width(), c.picture.height())};
        TkvRecordingCanvas canvas;
        v.Draw(canvas);
        const auto images = Images(canvas);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].target, c.expected);
        EXPECT_EQ(images[0].image.size(), c.picture);
        // Drawing gives the object its own geometry back.
        EXPECT_EQ(QRect(v.Left, v.Top, v.Width, v.Height), QRect(10, 20, 200, 200));
    }
}

TEST(PictureDraw, PrinterRulesPerGraphicKind) {
    DocumentModeScope mode(1);
    const QByteArray jpeg = kv::EncodeJpeg(Filled(40, 20));
    ASSERT_FALSE(jpeg.isEmpty());
    struct Case {
        const char* name;
        TkvGraphic graphic;
        bool printer;
        int images;   // image records expected
        bool smooth;  // of that record
        bool rgb888;  // a 24-bit copy is what printers stretch
        bool vectors; // drawn as canvas records rather than an image
    } cases[] = {
        {"bitmap on screen", {kvgk::Bitmap, BitmapFile(40, 20)}, false, 1, true, false, false},
        {"bitmap on printer", {kvgk::Bitmap, BitmapFile(40, 20)}, true, 1, false, true, false},
        {"JPEG on printer", {kvgk::Jpeg, jpeg}, true, 1, false, true, false},
        {"icon on screen", {kvgk::Icon, IconFile(16, 16)}, false, 1, true, false, false},
        {"icon on printer", {kvgk::Icon, IconFile(16, 16)}, true, 0, false, false, false},
        {"metafile on printer", {kvgk::Metafile, MetafileFile(96, 48)}, true, 0, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TkvPictureView v;
        Place(v, kStretched | kKeep | kCenter);
        v.ToPrinter = c.printer;
        v.Picture = c.graphic;
        ASSERT_FALSE(v.GraphicSize().isEmpty());
        TkvRecordingCanvas canvas(c.printer ? 600 : 96, c.printer ? 600 : 96, c.printer);
        v.Draw(canvas);
        const auto images = Images(canvas);
        ASSERT_EQ(int(images.size()), c.images);
        if (c.images) {
            EXPECT_EQ(images[0].smooth, c.smooth);
            if (c.rgb888) {
                EXPECT_EQ(images[0].image.format(), QImage::Format_RGB888);
            }
        }
        if (c.vectors) {
            EXPECT_GT(DrawingRecords(canvas), 0);
        }
    }
}

TEST(PictureDraw, BadOrEmptyPicturesDrawNothingAndNeverThrow) {
    DocumentModeScope mode(1);
    const QByteArray jpeg = kv::EncodeJpeg(Filled(40, 20));
    struct Case {
        const char* name;
        TkvGraphic graphic;
        QSize objectSize;
    } cases[] = {
        {"garbage JPEG", {kvgk::Jpeg, QByteArray("\xFF\xD8\xFF garbage", 12)}, {200, 200}},
        {"truncated JPEG", {kvgk::Jpeg, jpeg.left(jpeg.size() / 2)}, {200, 200}},
        {"garbage bitmap", {kvgk::Bitmap, "BM\x10\x00"}, {200, 200}},
        {"garbage metafile", {kvgk::Metafile, "\xD7\xCD\xC6\x9A"}, {200, 200}},
        {"unknown kind", {9, BitmapFile(4, 4)}, {200, 200}},
        {"empty picture", {}, {200, 200}},
        {"zero-sized object", {kvgk::Bitmap, BitmapFile(40, 20)}, {0, 0}},
        {"zero-sized metafile picture", {kvgk::Metafile, MetafileFile(0, 0)}, {200, 200}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TkvPictureView v;
        Place(v, kStretched | kKeep | kCenter);
        v.SetBounds(10, 20, c.objectSize.width(), c.objectSize.height());
        v.FrameTyp = 15;
        v.Picture = c.graphic;
        TkvRecordingCanvas canvas(600, 600, true);
        v.ToPrinter = 1;
        ASSERT_NO_THROW(v.Draw(canvas));
        EXPECT_TRUE(Images(canvas).empty());
        int lines = 0;
        for (const TkvRecord& r : canvas.Records())
            lines += std::holds_alternative<kvrec::Line>(r);
        if (!c.objectSize.isEmpty()) {
            EXPECT_EQ(lines, 4) << "the frame is drawn whatever the picture";
        }
    }
}

TEST(PictureDraw, DecodedPictureFollowsChangedBytes) {
    DocumentModeScope mode(1);
    TkvPictureView v;
    Place(v, 0);
    v.Picture = {kvgk::Bitmap, BitmapFile(30, 10)};
    EXPECT_EQ(v.GraphicSize(), QSize(30, 10));
    v.Picture.Data = BitmapFile(12, 34);
    EXPECT_EQ(v.GraphicSize(), QSize(12, 34));
    // Changing the bytes in place (a detached copy) is seen as well.
    v.Picture.Data[0] = 'X';
    EXPECT_TRUE(v.GraphicSize().isEmpty());
    v.Picture.Data[0] = 'B';
    v.Picture.Kind = kvgk::Jpeg; // the same bytes read as another kind do not decode
    EXPECT_TRUE(v.GraphicSize().isEmpty());
    v.Picture.Kind = kvgk::Bitmap;
    TkvRecordingCanvas canvas;
    v.Draw(canvas);
    ASSERT_EQ(Images(canvas).size(), 1u);
    EXPECT_EQ(Images(canvas)[0].target, QRect(10, 20, 12, 34));
}

TEST(PictureDraw, EmptyPictureShowsPlaceholderOnlyWhileDesigning) {
    TkvPictureView v;
    Place(v, kStretched);
    {
        DocumentModeScope mode(0);
        TkvRecordingCanvas canvas;
        v.Draw(canvas);
        const auto found = canvas.FindText("[Picture]");
        ASSERT_EQ(found.size(), 1u);
        ASSERT_EQ(Images(canvas).size(), 1u);
        EXPECT_EQ(Images(canvas)[0].target.topLeft(), QPoint(11, 22));
    }
    {
        DocumentModeScope mode(1);
        TkvRecordingCanvas canvas;
        v.Draw(canvas);
        EXPECT_TRUE(canvas.FindText("[Picture]").empty());
        EXPECT_TRUE(Images(canvas).empty());
    }
}

TEST(LineDraw, ShapeDecidesDirectionForGood) {
    DocumentModeScope mode(1);
    struct Case {
        QSize size;
        uint16_t frameTyp;
        QSize after;
        QPoint from, to;
    } cases[] = {
        {{100, 1}, 8, {100, 0}, {10, 20}, {110, 20}}, // wider than high: horizontal, top side
        {{1, 1}, 4, {0, 1}, {10, 20}, {10, 21}},      // not wider: vertical
        {{5, 50}, 4, {0, 50}, {10, 20}, {10, 70}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("%1x%2").arg(c.size.width()).arg(c.size.height()).toStdString());
        TkvLineView v;
        v.SetBounds(10, 20, c.size.width(), c.size.height());
        v.FrameTyp = c.frameTyp == 8 ? 4 : 8; // the stored side does not matter
        TkvRecordingCanvas canvas;
        v.Draw(canvas);
        EXPECT_EQ(v.FrameTyp, c.frameTyp);
        EXPECT_EQ(QSize(v.Width, v.Height), c.after);
        std::vector<kvrec::Line> lines;
        for (const TkvRecord& r : canvas.Records())
            if (auto* l = std::get_if<kvrec::Line>(&r)) lines.push_back(*l);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].from, c.from);
        EXPECT_EQ(lines[0].to, c.to);
        // No background: nothing is filled under a line.
        for (const TkvRecord& r : canvas.Records())
            EXPECT_FALSE(std::holds_alternative<kvrec::FillRect>(r));
    }
}

TEST(SubReportDraw, LabelledWhiteRectangleIgnoringOwnFrameAndFill) {
    DocumentModeScope mode(1);
    TkvSubReportView v;
    v.SetBounds(10, 20, 100, 40);
    v.Name = "SubReport1";
    v.FrameWidth = 5;
    v.FrameTyp = 15;
    v.FillColor = 0x0000FF;
    TkvRecordingCanvas canvas;
    v.Draw(canvas);
    EXPECT_EQ(v.FrameWidth, 1.0f);
    std::vector<kvrec::Rectangle> rects;
    for (const TkvRecord& r : canvas.Records())
        if (auto* rc = std::get_if<kvrec::Rectangle>(&r)) rects.push_back(*rc);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].rect, QRect(10, 20, 101, 41));
    EXPECT_EQ(rects[0].brush.color, 0xFFFFFFu);
    EXPECT_EQ(rects[0].pen.color, 0u);
    const auto found = canvas.FindText("SubReport1");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].bounds.topLeft(), QPoint(12, 22));
}

} // namespace
