// The display format dialog: the word it shows and composes, and which fields it enables.
#include "preview/display_format_dialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <gtest/gtest.h>

TEST(DisplayFormatDialog, ShowsAndComposesTheWord) {
    TkvDisplayFormatDialog d(0x101022C, "");
    EXPECT_EQ(d.windowTitle(), "Variable formatting");
    EXPECT_EQ(d.Categories()->currentRow(), 1);
    EXPECT_EQ(d.Formats()->count(), 5);
    EXPECT_EQ(d.Formats()->currentItem()->text(), "1234,50");
    EXPECT_EQ(d.Decimals()->text(), "2");
    EXPECT_EQ(d.Separator()->text(), ",");
    EXPECT_TRUE(d.Decimals()->isEnabled());
    EXPECT_FALSE(d.Custom()->isEnabled());
    EXPECT_EQ(d.Word(), 0x101022Cu);

    d.Formats()->setCurrentRow(4); // custom
    EXPECT_TRUE(d.Custom()->isEnabled());
    d.Custom()->setText("#,##0.00");
    EXPECT_EQ(d.Word(), 0x104022Cu);
    EXPECT_EQ(d.Format(), "#,##0.00");

    d.Categories()->setCurrentRow(0); // text: one format, no number fields
    EXPECT_EQ(d.Formats()->count(), 1);
    EXPECT_EQ(d.Formats()->currentRow(), 0);
    EXPECT_FALSE(d.Decimals()->isEnabled());
    EXPECT_FALSE(d.Custom()->isEnabled());
    EXPECT_EQ(d.Format(), "");

    d.Categories()->setCurrentRow(4);
    d.Formats()->setCurrentRow(1);
    EXPECT_EQ(d.Formats()->currentItem()->text(), "No;Yes");
    EXPECT_EQ(d.Word() & 0xFFFF0000u, 0x4010000u);

    EXPECT_EQ(TkvDisplayFormatDialog::ComposeWord(1, 1, "x", ""), 0x101002Cu);
    EXPECT_EQ(TkvDisplayFormatDialog::ComposeWord(1, 3, "999", "."), 0x103FF2Eu);
}
