#include "graphic_samples.h"
#include "graphics/graphic_kind.h"
#include "graphics/icon.h"
#include "graphics/jpeg.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace kvtest;

namespace {

QImage Gradient(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, 128));
    return img;
}

int MaxChannelError(const QImage& a, const QImage& b) {
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

} // namespace

TEST(Jpeg, RoundTripKeepsSizeAndColours) {
    const QImage source = Gradient(40, 24);
    const QByteArray jpeg = kv::EncodeJpeg(source, 95);
    ASSERT_FALSE(jpeg.isEmpty());
    EXPECT_EQ(kv::DetectGraphicKind(jpeg), TkvGraphicKind::Jpeg);
    const QImage back = kv::DecodeJpeg(jpeg);
    ASSERT_EQ(back.size(), source.size());
    EXPECT_LE(MaxChannelError(source, back), 12);
    // Lower quality gives a smaller file.
    EXPECT_LT(kv::EncodeJpeg(source, 10).size(), jpeg.size());
}

TEST(Jpeg, TransparentPixelsFlattenOntoWhite) {
    QImage clear(8, 8, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    const QImage back = kv::DecodeJpeg(kv::EncodeJpeg(clear, 90));
    ASSERT_FALSE(back.isNull());
    EXPECT_GE(qRed(back.pixel(4, 4)), 245);
}

TEST(Jpeg, GreyFilesDecode) {
    QImage grey(16, 16, QImage::Format_Grayscale8);
    grey.fill(100);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(grey.save(&buffer, "JPEG", 95));
    const QImage back = kv::DecodeJpeg(bytes);
    ASSERT_FALSE(back.isNull());
    EXPECT_NEAR(qGreen(back.pixel(8, 8)), 100, 3);
}

TEST(Jpeg, CorruptOrTruncatedReturnsNull) {
    const QByteArray jpeg = kv::EncodeJpeg(Gradient(64, 64), 80);
    EXPECT_TRUE(kv::DecodeJpeg(jpeg.left(jpeg.size() / 2)).isNull()); // ends early
    EXPECT_TRUE(kv::DecodeJpeg(jpeg.left(200)).isNull());
    EXPECT_TRUE(kv::DecodeJpeg(QByteArray("\xFF\xD8\xFF\xE0garbage", 11)).isNull());
    EXPECT_TRUE(kv::DecodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(kv::EncodeJpeg(QImage(), 80).isEmpty());
    // A frame header claiming 60000 x 60000 is refused before decoding.
    QByteArray huge = jpeg;
    const qsizetype sof = huge.indexOf("\xFF\xC0");
    ASSERT_GT(sof, 0);
    huge[sof + 5] = char(0xEA);
    huge[sof + 6] = char(0x60);
    huge[sof + 7] = char(0xEA);
    huge[sof + 8] = char(0x60);
    EXPECT_TRUE(kv::DecodeJpeg(huge).isNull());
}

TEST(Icon, PicksLargestDeepestImageAndAppliesMask) {
    const QRgb R = qRgb(255, 0, 0), B = qRgb(0, 0, 255);
    const Pixels small = {{R, R}, {R, R}};
    const Pixels big = {{B, B, B, B}, {B, B, B, B}, {B, B, B, B}, {B, B, B, B}};
    std::vector<std::vector<bool>> mask(4, std::vector<bool>(4, false));
    mask[0][0] = true; // top-left corner transparent
    const QByteArray ico = MakeIcon({{QSize(2, 2), MakeIconDib(small, 24, {{false, false}, {false, false}})},
                                     {QSize(4, 4), MakeIconDib(big, 8, mask)}},
                                    8);
    EXPECT_EQ(kv::DetectGraphicKind(ico), TkvGraphicKind::Icon);
    const QImage img = kv::DecodeIcon(ico);
    ASSERT_EQ(img.size(), QSize(4, 4));
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
    EXPECT_EQ(img.pixel(1, 0), 0xFF0000FFu);
    EXPECT_EQ(img.pixel(3, 3), 0xFF0000FFu);
}

TEST(Icon, AlphaChannelBeatsMaskAndBrokenBestFallsBack) {
    const Pixels px = {{qRgba(255, 0, 0, 128), qRgba(0, 255, 0, 255)}};
    const QByteArray alphaDib = MakeIconDib(px, 32, {{true, true}});
    const QImage img = kv::DecodeIcon(MakeIcon({{QSize(2, 1), alphaDib}}));
    ASSERT_EQ(img.size(), QSize(2, 1));
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 128);
    EXPECT_EQ(qAlpha(img.pixel(1, 0)), 255);

    // The larger entry is garbage: the smaller one is used.
    const QByteArray ico = MakeIcon({{QSize(16, 16), QByteArray(40, 'x')}, {QSize(2, 1), alphaDib}});
    EXPECT_EQ(kv::DecodeIcon(ico).size(), QSize(2, 1));
    EXPECT_TRUE(kv::DecodeIcon(QByteArray("\0\0\1\0\0\0", 6)).isNull());
}

TEST(GraphicKind, DetectsBySignature) {
    EXPECT_EQ(kv::DetectGraphicKind(QByteArray()), TkvGraphicKind::None);
    EXPECT_EQ(kv::DetectGraphicKind(QByteArray("GIF89a")), TkvGraphicKind::None);
    EXPECT_EQ(kv::DetectGraphicKind(QByteArray("\xD7\xCD\xC6\x9A", 4)), TkvGraphicKind::Metafile);
}
