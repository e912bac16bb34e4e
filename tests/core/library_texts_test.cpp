// Library texts: the built-in table, the localisation hook and the tables filled from the texts.
#include "core/library_tables.h"
#include "base/library_texts.h"
#include "core/locale.h"

#include <gtest/gtest.h>

namespace {

TEST(LibraryTexts, SpotChecksOfTheBuiltInTable) {
    struct Case {
        int id;
        const char* text;
    };
    const Case cases[] = {
        {53000, "Find text"},
        {53048, "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12"},
        {53267, "Don't de&lete"},
        {55000, "OK"},
        {55007, "Virtual printer"},
        {55008, "Letter, 8 1/2 x 11\""},           // paper entry 0
        {55027, "#10 Envelope, 4 1/8  x 9 1/2\""}, // entry 19: two spaces before x
        {55036, "C3 Envelope,  324 x 458 mm"},     // entry 28: two spaces after the comma
        {55039, "C65 Envelope, 114 x 229 mm"},
        {55055, "Letter Extra 9/275 x 12\""}, // entry 47 (paper id 50: ids 48 and 49 do not occur)
        {55074, "Custom"},                   // entry 66
        {55076, "[None]"},
        {55077, "Report title"},
        {55099, "None"},
        {55150, "[None]"},
        {55174, "Custom"},
        {55200, "An error occured during calculating"},
        {55223, "Insert RichText object"},
        {55337, "1"},
        {55442, "You can't place two or more %s objects on one page."},
        {58001, "Active="},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kv::LoadLibraryText(c.id), QByteArray(c.text)) << c.id;
}

TEST(LibraryTexts, IdsWithoutTextYieldTheEmptyText) {
    for (int id : {0, 55193, 55151, 58003, 99999, -1})
        EXPECT_EQ(kv::LoadLibraryText(id), QByteArray()) << id;
}

TEST(LibraryTexts, TableStaysInsideTheIdRangeAndTheLengthLimit) {
    for (const kv::TkvLibraryText& t : kv::BuiltInLibraryTexts()) {
        EXPECT_GE(t.Id, 53000);
        EXPECT_LE(t.Id, 58104);
        EXPECT_LE(qstrlen(t.Text), size_t(TkvLocale::kMaxTextLength)) << t.Id;
    }
}

class LocaleHookTest : public ::testing::Test {
protected:
    void TearDown() override { TkvLocale::Instance().SetLocalizationHook({}); }
};

TEST_F(LocaleHookTest, NonEmptyAnswerWinsAndEmptyAnswerKeepsTheBuiltInText) {
    TkvLocale::Instance().SetLocalizationHook([](int id) -> QByteArray {
        if (id == 55000) return "Ja";
        if (id == 99999) return QByteArray(2000, 'x');
        return {};
    });
    EXPECT_EQ(kv::LoadLibraryText(55000), "Ja");
    EXPECT_EQ(kv::LoadLibraryText(55001), "Cancel");
    EXPECT_EQ(kv::LoadLibraryText(99999).size(), 2000); // the hook's answer is used unchanged
}

TEST(LibraryTables, BandNamesAndDisplayFormatsComeFromTheTexts) {
    EXPECT_EQ(kv::BandTypeName(0), "Report title");
    EXPECT_EQ(kv::BandTypeName(13), "Overlay");
    EXPECT_EQ(kv::BandTypeName(21), "Child");
    EXPECT_EQ(kv::BandTypeName(22), "None");
    EXPECT_EQ(kv::BandTypeName(23), "");
    EXPECT_EQ(kv::BandTypeName(-1), "");
    EXPECT_EQ(kv::BooleanFormat(3), "False;True");
    EXPECT_EQ(kv::DateFormat(2), "d mmm yyyy");
    EXPECT_EQ(kv::TimeFormat(0), "hh:nn:ss");
    EXPECT_EQ(kv::TimeFormat(4), "");
    EXPECT_EQ(kv::DefaultFontCharset(), 1);
}

TEST(LibraryTables, BandBrushIsAWhiteAndSilverCheckerboard) {
    const QImage& img = kv::BandBrushBitmap();
    ASSERT_EQ(img.size(), QSize(8, 8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(img.pixel(x, y) & 0xFFFFFF, (x + y) % 2 == 0 ? 0xFFFFFFu : 0xC0C0C0u) << x << "," << y;
    EXPECT_EQ(kv::ScratchBitmap().size(), QSize(8, 8));
}

TEST(LibraryBitmaps, AMissingBitmapIsANullImage) {
    EXPECT_TRUE(kv::LoadLibraryBitmap("NO_SUCH_BITMAP").isNull());
    EXPECT_TRUE(kv::LoadLibraryBitmap("").isNull());
}

} // namespace
