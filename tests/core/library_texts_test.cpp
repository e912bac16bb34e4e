// Library texts: the built-in table, the localisation hook and the tables filled from the texts.
#include "core/library_tables.h"
#include "base/library_texts.h"
#include "core/locale.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The built-in table is the one source: every entry is found by its id, and ids are unique.
TEST(LibraryTexts, EveryEntryIsFoundByItsUniqueId) {
    std::set<int> ids;
    for (const kv::TkvLibraryText& t : kv::BuiltInLibraryTexts()) {
        EXPECT_TRUE(ids.insert(t.Id).second) << t.Id;
        EXPECT_EQ(kv::LoadLibraryText(t.Id), QByteArray(t.Text)) << t.Id;
    }
}

// Texts the library reads as data rather than shows: the default character set is a number.
TEST(LibraryTexts, TextsReadAsDataAreWellFormed) {
    bool ok = false;
    const int charset = kv::LoadLibraryText(55337).trimmed().toInt(&ok);
    EXPECT_TRUE(ok);
    EXPECT_GE(charset, 0);
    EXPECT_LE(charset, 255);
    EXPECT_EQ(kv::LoadLibraryText(55442).count("%s"), 1);
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
