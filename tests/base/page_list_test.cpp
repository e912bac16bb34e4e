// Page lists: the grammar, clamping to the report's pages, and the messages for malformed lists.

#include "base/page_list.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> Pages(const char* text, int count) {
    QString error;
    const std::optional<TkvPageList> list = TkvPageList::Parse(QString::fromUtf8(text), count, &error);
    EXPECT_TRUE(list.has_value()) << text << ": " << error.toStdString();
    return list ? list->Pages() : std::vector<int>{};
}

TEST(PageList, SelectsPages) {
    struct Case {
        const char* text;
        int count;
        std::vector<int> pages;
    };
    const Case cases[] = {
        {"", 3, {1, 2, 3}},
        {"   ", 2, {1, 2}},
        {"1,3,5-12", 20, {1, 3, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"5-", 9, {5, 6, 7, 8, 9}},
        {" 1 , 3 ", 5, {1, 3}},
        {"3,3", 5, {3}},
        {"12-5", 20, {}},
        {"1-3-5", 9, {3, 4, 5}},
        {"1-3-", 5, {3, 4, 5}},
        {"7-", 9, {7, 8, 9}},
        {"0-2", 5, {1, 2}},
        {"20", 9, {}},
        {"1-2000000000", 4, {1, 2, 3, 4}},
        {"99999999999999999999999", 4, {}},
        {"2-99999999999999999999999", 4, {2, 3, 4}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Pages(c.text, c.count), c.pages) << c.text;
}

TEST(PageList, RefusesMalformedLists) {
    for (const char* text : {"-", "-5", ",,", "1,", ",1", "1--3", "1,a", "1;2", "x", "1-3,-"}) {
        QString error;
        EXPECT_FALSE(TkvPageList::Parse(QString::fromUtf8(text), 9, &error).has_value()) << text;
        EXPECT_FALSE(error.isEmpty()) << text;
    }
    QString error;
    TkvPageList::Parse("1,,2", 9, &error);
    EXPECT_TRUE(error.contains("page number")) << error.toStdString();
}

TEST(PageList, AllPagesAndEmptySelections) {
    const auto all = TkvPageList::Parse("", 4);
    ASSERT_TRUE(all);
    EXPECT_TRUE(all->AllPages());
    EXPECT_TRUE(all->Contains(4));
    EXPECT_FALSE(all->SelectsNone());
    const auto none = TkvPageList::Parse("12-5", 20);
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->AllPages());
    EXPECT_TRUE(none->SelectsNone());
    EXPECT_FALSE(none->Contains(12));
}

} // namespace
