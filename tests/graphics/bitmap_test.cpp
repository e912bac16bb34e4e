#include "graphic_samples.h"
#include "graphics/bitmap.h"
#include "graphics/graphic_kind.h"

#include <gtest/gtest.h>

using namespace kvtest;

namespace {

const QRgb R = qRgb(255, 0, 0), G = qRgb(0, 255, 0), B = qRgb(0, 0, 255), W = qRgb(255, 255, 255),
           K = qRgb(0, 0, 0), Y = qRgb(255, 255, 0);

void ExpectPixels(const QImage& img, const Pixels& px) {
    ASSERT_FALSE(img.isNull());
    ASSERT_EQ(img.width(), int(px[0].size()));
    ASSERT_EQ(img.height(), int(px.size()));
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            EXPECT_EQ(img.pixel(x, y) | 0xFF000000u, px[size_t(y)][size_t(x)] | 0xFF000000u) << x << "," << y;
}

struct DepthCase {
    const char* name;
    BmpOptions options;
    Pixels pixels;
};

} // namespace

// Every depth and row order: our decoder and Qt's own BMP reader agree with the pixels written.
TEST(Bitmap, DecodesEveryDepthAndRowOrder) {
    const Pixels mono = {{K, W, W, K, W, K, K, W, W}, {W, K, K, W, K, W, W, K, K}};
    const Pixels four = {{R, G, B}, {W, K, Y}};
    const DepthCase cases[] = {
        {"1-bit", {1}, mono},
        {"4-bit", {4}, four},
        {"8-bit", {8}, four},
        {"16-bit 555", {16}, four},
        {"16-bit 565 bit fields", {16, false, true}, four},
        {"24-bit", {24}, four},
        {"32-bit", {32}, four},
        {"24-bit top-down", {24, true}, four},
        {"8-bit top-down", {8, true}, four},
        {"RLE8", {8, false, false, 8}, {{R, R, R, G, B}, {W, W, K, K, K}}},
        {"RLE4", {4, false, false, 4}, {{R, R, R, G, B}, {W, W, K, K, K}}},
    };
    for (const DepthCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray bmp = MakeBmp(c.pixels, c.options);
        EXPECT_EQ(kv::DetectGraphicKind(bmp), TkvGraphicKind::Bitmap);
        ExpectPixels(kv::DecodeBitmap(bmp), c.pixels);
        ExpectPixels(kv::DecodeDib(MakeDib(c.pixels, c.options)), c.pixels);
        // Qt's reader as a second opinion (it widens 5-bit channels by shifting, so 16-bit
        // full-intensity channels read 248 there, not 255).
        if (c.options.bitCount != 16) {
            SCOPED_TRACE("Qt's reader");
            ExpectPixels(QImage::fromData(bmp, "BMP"), c.pixels);
        }
    }
}

TEST(Bitmap, MonochromeIsReported) {
    EXPECT_TRUE(kv::IsMonochromeDib(MakeDib({{K, W}}, {1})));
    EXPECT_FALSE(kv::IsMonochromeDib(MakeDib({{K, W}}, {8})));
}

TEST(Bitmap, RleDeltaAndAbsoluteRuns) {
    // 4x3 RLE8, palette 0 black, 1 red, 2 green: absolute run "1 2 1" on the bottom row, then a
    // delta that skips to (2, 2) and a run of two greens; unwritten pixels take colour 0.
    kvtest::Bytes b;
    b.u32(40).i32(4).i32(3).u16(1).u16(8).u32(1).u32(0).u32(0).u32(0).u32(3).u32(0);
    b.u8(0).u8(0).u8(0).u8(0).u8(0).u8(0).u8(255).u8(0).u8(0).u8(255).u8(0).u8(0);
    b.u8(0).u8(3).u8(1).u8(2).u8(1).u8(0); // absolute run of 3, padded
    b.u8(0).u8(2).u8(-1 & 0xFF).u8(0);     // delta (x += 255 clipped, y += 0)
    b.u8(0).u8(0);                         // end of line
    b.u8(0).u8(2).u8(2).u8(1);             // delta to (2, 2)
    b.u8(2).u8(2);                         // two greens
    b.u8(0).u8(1);
    ExpectPixels(kv::DecodeDib(b.b), {{K, K, G, G}, {K, K, K, K}, {R, G, R, K}});
}

TEST(Bitmap, RejectsBadInputWithoutAllocating) {
    const QByteArray good = MakeDib({{R, G}}, {24});
    auto withInt = [&](int at, int32_t v) {
        QByteArray d = good;
        kvtest::Bytes b;
        b.i32(v);
        d.replace(at, 4, b.b);
        return d;
    };
    EXPECT_TRUE(kv::DecodeDib(withInt(4, 20000)).isNull());     // width over the side cap
    EXPECT_TRUE(kv::DecodeDib(withInt(8, 16384)).isNull());     // pixels missing for the height
    EXPECT_TRUE(kv::DecodeDib(withInt(8, INT32_MIN)).isNull()); // height that cannot be negated
    EXPECT_TRUE(kv::DecodeDib(withInt(0, 7)).isNull());         // unknown header size
    EXPECT_TRUE(kv::DecodeDib(withInt(16, 9)).isNull());        // unknown compression
    EXPECT_TRUE(kv::DecodeDib(withInt(4, 0)).isNull());         // zero width
    EXPECT_TRUE(kv::DecodeDib(good.left(good.size() - 4)).isNull());
    // 16384 x 16384 passes the side cap but not the pixel budget.
    EXPECT_TRUE(kv::DecodeDib(withInt(8, 16384).replace(4, 4, QByteArray("\x00\x40\x00\x00", 4))).isNull());
}

TEST(Bitmap, PaletteIndexOutsideTheTableIsBlack) {
    // 8-bit with two palette entries; pixel values 1 and 200.
    kvtest::Bytes b;
    b.u32(40).i32(2).i32(1).u16(1).u16(8).u32(0).u32(0).u32(0).u32(0).u32(2).u32(0);
    b.u8(0).u8(0).u8(255).u8(0).u8(255).u8(0).u8(0).u8(0);
    b.u8(1).u8(200).u8(0).u8(0);
    ExpectPixels(kv::DecodeDib(b.b), {{B, K}});
}

TEST(Bitmap, WrongPixelOffsetInFileHeaderFallsBackToAfterTheTable) {
    QByteArray bmp = MakeBmp({{R, G}}, {24});
    bmp.replace(10, 4, QByteArray("\xFF\xFF\x00\x00", 4));
    ExpectPixels(kv::DecodeBitmap(bmp), {{R, G}});
}
