// Every prefix and single-byte changes of each sample go through the decoders: nothing may crash
// (the suite runs under the sanitizers), hang or throw.

#include "graphic_samples.h"
#include "graphics/bitmap.h"
#include "graphics/graphic_kind.h"
#include "graphics/icon.h"
#include "graphics/jpeg.h"
#include "graphics/metafile.h"

#include <gtest/gtest.h>

using namespace kvtest;

namespace {

void DecodeAny(const QByteArray& bytes) {
    TkvRecordingCanvas canvas;
    switch (kv::DetectGraphicKind(bytes)) {
    case TkvGraphicKind::Bitmap:
        kv::DecodeBitmap(bytes);
        break;
    case TkvGraphicKind::Jpeg:
        kv::DecodeJpeg(bytes);
        break;
    case TkvGraphicKind::Icon:
        kv::DecodeIcon(bytes);
        break;
    case TkvGraphicKind::Metafile: {
        TkvMetafile mf(bytes);
        mf.Play(canvas, QRect(0, 0, 300, 200));
        break;
    }
    default:
        kv::DecodeDib(bytes);
        break;
    }
}

std::vector<std::pair<const char*, QByteArray>> Samples() {
    const QRgb R = qRgb(255, 0, 0), G = qRgb(0, 255, 0), B = qRgb(0, 0, 255);
    const Pixels px = {{R, G, B}, {B, G, R}};
    QImage photo(24, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            photo.setPixel(x, y, qRgb(x * 10, y * 15, 90));

    const QRect box(0, 0, 1000, 1000);
    Bytes font;
    font.u16(-100).u16(0).u16(0).u16(0).u16(700).u8(0).u8(0).u8(0).u8(204).zeros(4).raw("Arial").u8(0);
    Bytes text;
    text.u16(300).u16(400).u16(2).u16(6).u16(0).u16(0).u16(500).u16(500).raw("\xCF\xF0").u16(100).u16(150);
    Bytes dib;
    dib.u32(0x00CC0020).u16(0).u16(2).u16(3).u16(0).u16(0).u16(50).u16(100).u16(10).u16(0);
    dib.raw(MakeDib(px, {8}));
    Bytes region;
    region.u16(0).u16(6).u32(0).u16(34).u16(1).u16(4).u16(0).u16(0).u16(50).u16(50);
    region.u16(2).u16(0).u16(50).u16(0).u16(50).u16(2);
    const QByteArray wmf = WmfBuilder()
                               .Rec(0x02FA, {0, 10, 0, 0x00FF, 0})
                               .Rec(0x02FC, {0, 0xFF00, 0, 0})
                               .RecRaw(0x02FB, font.b)
                               .RecRaw(0x06FF, region.b)
                               .Rec(0x012D, {0})
                               .Rec(0x012D, {1})
                               .Rec(0x012D, {2})
                               .Rec(0x012C, {3})
                               .Rec(0x001E, {})
                               .Rec(0x0416, {800, 800, 10, 10})
                               .Rec(0x041B, {250, 300, 50, 100})
                               .Rec(0x0538, {2, 3, 3, 0, 0, 500, 0, 500, 500, 0, 0, 10, 10, 0, 10})
                               .Rec(0x081A, {0, 0, 100, 100, 400, 400, 0, 0})
                               .Rec(0x061C, {20, 20, 200, 200, 0, 0})
                               .RecRaw(0x0A32, text.b)
                               .RecRaw(0x0F43, dib.b)
                               .Rec(0x0127, {-1})
                               .Finish(4, &box, 1000);

    Bytes pen;
    pen.u32(1).u32(0).i32(5).i32(0).u32(0xFF);
    Bytes xform;
    xform.f32(1).f32(0.5f).f32(0).f32(1).f32(3).f32(4);
    Bytes strDib;
    const QByteArray packed = MakeDib(px, {4});
    strDib.zeros(16).i32(0).i32(0).i32(0).i32(0).i32(3).i32(2);
    strDib.u32(8 + 72).u32(40 + 64).u32(8 + 72 + 40 + 64).u32(uint32_t(packed.size() - 104));
    strDib.u32(0).u32(0x00CC0020).i32(60).i32(40).raw(packed);
    Bytes rgn;
    rgn.u32(48).u32(5).u32(32).u32(1).u32(1).u32(16).zeros(16).i32(0).i32(0).i32(50).i32(50);
    const QByteArray emf = EmfBuilder()
                               .Rec(17, {8})
                               .Rec(9, {1000, 1000})
                               .Rec(11, {100, 100})
                               .RecRaw(38, pen.b)
                               .Rec(37, {1})
                               .Rec(33, {})
                               .RecRaw(36, xform.b + QByteArray("\x02\0\0\0", 4))
                               .Rec(42, {100, 100, 500, 500})
                               .Rec(86, {0, 0, 0, 0, 3, 0x00000000, 0x00640064, 0x00000064})
                               .Rec(8, {0, 0, 0, 0, 2, 6, 3, 3, 0, 0, 10, 0, 10, 10, 0, 0, 5, 0, 5, 5})
                               .Rec(47, {0, 0, 100, 100, 100, 50, 50, 0})
                               .RecRaw(75, rgn.b)
                               .RecRaw(81, strDib.b)
                               .Rec(59, {})
                               .Rec(27, {0, 0})
                               .Rec(2, {0, 0, 0, 0, 4, 0, 0, 10, 10, 20, 0, 30, 30})
                               .Rec(60, {})
                               .Rec(64, {0, 0, 0, 0})
                               .Rec(34, {-1})
                               .Finish(QRect(0, 0, 2540, 2540), QSize(1000, 1000), QSize(254, 254));

    std::vector<std::vector<bool>> mask = {{true, false, false}, {false, false, true}};
    return {
        {"bmp1", MakeBmp({{R, 0}, {0, R}}, {1})},
        {"bmp4", MakeBmp(px, {4})},
        {"bmp8", MakeBmp(px, {8, true})},
        {"bmp16", MakeBmp(px, {16, false, true})},
        {"bmp24", MakeBmp(px, {24})},
        {"bmp32", MakeBmp(px, {32})},
        {"rle8", MakeBmp(px, {8, false, false, 8})},
        {"rle4", MakeBmp(px, {4, false, false, 4})},
        {"jpeg", kv::EncodeJpeg(photo, 70)},
        {"icon",
         MakeIcon({{QSize(3, 2), MakeIconDib(px, 8, mask)}, {QSize(3, 2), MakeIconDib(px, 32, mask)}}, 8)},
        {"wmf", wmf},
        {"emf", emf},
    };
}

} // namespace

TEST(Robustness, SamplesDecodeFirst) {
    for (const auto& [name, bytes] : Samples()) {
        SCOPED_TRACE(name);
        switch (kv::DetectGraphicKind(bytes)) {
        case TkvGraphicKind::Bitmap:
            EXPECT_FALSE(kv::DecodeBitmap(bytes).isNull());
            break;
        case TkvGraphicKind::Jpeg:
            EXPECT_FALSE(kv::DecodeJpeg(bytes).isNull());
            break;
        case TkvGraphicKind::Icon:
            EXPECT_FALSE(kv::DecodeIcon(bytes).isNull());
            break;
        case TkvGraphicKind::Metafile: {
            TkvMetafile mf(bytes);
            ASSERT_TRUE(mf.IsValid());
            TkvRecordingCanvas canvas;
            mf.Play(canvas, QRect(0, 0, 300, 200));
            EXPECT_GE(DrawingCount(canvas), 8u);
            break;
        }
        default:
            ADD_FAILURE() << "undetected sample";
        }
    }
}

TEST(Robustness, EveryPrefixAndByteFlip) {
    for (const auto& [name, bytes] : Samples()) {
        SCOPED_TRACE(name);
        for (qsizetype n = 0; n < bytes.size(); ++n)
            DecodeAny(bytes.left(n));
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            // Inverting a byte turns small counts and sizes into huge ones and back.
            QByteArray changed = bytes;
            changed[i] = char(~changed[i]);
            DecodeAny(changed);
        }
    }
}
