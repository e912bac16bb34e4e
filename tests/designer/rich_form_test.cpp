// The rich text editor window on real widgets: stored RTF in and out with indents kept in twips,
// the tool bar and the size box driven by mouse and keyboard, the ruler's markers dragged, bullets,
// "Insert expression", Save and exit / Cancel through Edit, files, and the "Text only" menu item.
// Runs at scale 1 and (as a second ctest entry) at QT_SCALE_FACTOR=2. With KV_TEST_SHOTS set to a
// folder, the window is grabbed to PNG there for a look.
#include "core/library_context.h"
#include "core/views/rich_view.h"
#include "designer/rich_form.h"
#include "designer/rich_popup.h"
#include "designer/rich_ruler.h"
#include "richtext/rich_text.h"
#include "richtext/rtf_reader.h"

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QComboBox>
#include <QFile>
#include <QFontComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

const QByteArray kSample =
    R"({\rtf1\ansi\ansicpg1251{\fonttbl{\f0\fcharset204 Arial;}{\f1\fcharset0 Times New Roman;}})"
    R"({\colortbl;\red200\green0\blue0;})"
    R"(\f0\fs28 {\b \'cf\'f0\'e8\'e2\'e5\'f2} {\cf1 red} [PAGE#]\par)"
    R"(\li720\fi-360\ri360\f1\fs20 Indented paragraph with a hanging first line.\par)"
    R"(\pard\qc Centred\par})";

void Shot(QWidget& w, const char* name) {
    const QByteArray dir = qgetenv("KV_TEST_SHOTS");
    if (dir.isEmpty()) return;
    w.grab().save(QString::fromLocal8Bit(dir) + '/' + name + QStringLiteral("@") +
                  QString::number(w.devicePixelRatioF()) + QStringLiteral(".png"));
}

void Click(TkvRichForm& form, const char* action) {
    QWidget* button = form.ToolBar()->widgetForAction(form.Action(action));
    ASSERT_TRUE(button) << action;
    QTest::mouseClick(button, Qt::LeftButton);
}

// The stored text read back as the report reads it.
struct Stored {
    explicit Stored(const QByteArray& rtf) { text.LoadRtf(rtf); }
    QTextBlock Block(int n) { return text.Document().findBlockByNumber(n); }
    QTextCharFormat FormatAt(int pos) {
        QTextCursor c(&text.Document());
        c.setPosition(pos + 1);
        return c.charFormat();
    }
    TkvRichText text;
};

struct FormFixture : ::testing::Test {
    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    TkvRichForm form;
};

TEST_F(FormFixture, StoredTextComesBackWithItsFormattingAndTwipsIndents) {
    form.LoadRtf(kSample);
    QTextDocument* doc = form.Editor()->document();
    EXPECT_EQ(doc->toPlainText(), QStringLiteral("Привет red [PAGE#]\nIndented paragraph with a hanging first "
                                                 "line.\nCentred"));
    // On screen an indent of 720 twips is 48 pixels; the ruler shows the caret's paragraph.
    const QTextBlockFormat b = doc->findBlockByNumber(1).blockFormat();
    EXPECT_DOUBLE_EQ(b.leftMargin(), 48);
    EXPECT_DOUBLE_EQ(b.textIndent(), -24);
    EXPECT_DOUBLE_EQ(b.rightMargin(), 24);
    QTextCursor c = form.Editor()->textCursor();
    c.setPosition(doc->findBlockByNumber(1).position() + 3);
    form.Editor()->setTextCursor(c);
    EXPECT_EQ(form.Ruler()->LeftIndent(), 720);
    EXPECT_EQ(form.Ruler()->FirstLineIndent(), -360);
    EXPECT_EQ(form.Ruler()->RightIndent(), 360);
    EXPECT_EQ(form.FontBox()->currentText(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(form.SizeBox()->currentText(), QStringLiteral("10"));
    Shot(form, "rich_form");

    Stored back(form.SaveRtf());
    EXPECT_EQ(back.text.PlainText(), QStringLiteral("Привет red [PAGE#]\nIndented paragraph with a hanging first "
                                                    "line.\nCentred"));
    EXPECT_DOUBLE_EQ(back.Block(1).blockFormat().leftMargin(), 720);
    EXPECT_DOUBLE_EQ(back.Block(1).blockFormat().textIndent(), -360);
    EXPECT_DOUBLE_EQ(back.Block(1).blockFormat().rightMargin(), 360);
    EXPECT_TRUE(back.Block(2).blockFormat().alignment() & Qt::AlignHCenter);
    EXPECT_EQ(back.FormatAt(0).fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(back.FormatAt(0).fontPointSize(), 14);
    EXPECT_EQ(back.FormatAt(7).foreground().color(), QColor(200, 0, 0));
    EXPECT_TRUE(form.SaveRtf().contains("\\u1055\\'cf")) << "Cyrillic with its code page's fallback\n"
                                                         << form.SaveRtf().toStdString();
}

TEST_F(FormFixture, PicturesPassThroughTheEditorUnchanged) {
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 40));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    form.LoadRtf("{\\rtf1 a{\\pict\\pngblip\\picwgoal240\\pichgoal180 " + png.toHex() + "}b\\par}");
    // The editor shows the picture at its size.
    const QImage shown = form.Editor()->viewport()->grab().toImage();
    EXPECT_GT(shown.pixelColor(shown.width() > 0 ? QPoint(int(20 * shown.devicePixelRatio()), int(10 * shown.devicePixelRatio())) : QPoint()).red(), 150);
    Stored back(form.SaveRtf());
    const QTextImageFormat f = back.FormatAt(1).toImageFormat(); // "a", the picture, "b"
    ASSERT_TRUE(f.isValid());
    EXPECT_EQ(back.text.Document().resource(QTextDocument::UserResource, kvrtf::PictureBytesUrl(QUrl(f.name()))).toByteArray(),
              png)
        << "the stored bytes, not a re-encoding";
}

TEST_F(FormFixture, ToolBarSizeBoxAndAlignmentActOnTheSelection) {
    form.Clear();
    QTest::mouseClick(form.Editor()->viewport(), Qt::LeftButton);
    QTest::keyClicks(form.Editor(), QStringLiteral("Hello world"));
    EXPECT_FALSE(form.Action("bold")->isChecked());
    QTest::keyClick(form.Editor(), Qt::Key_Home);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(form.Editor(), Qt::Key_Right, Qt::ShiftModifier);
    Click(form, "bold");
    Click(form, "underline");
    // The size box takes a typed size on Enter.
    QLineEdit* sizeEdit = form.SizeBox()->lineEdit();
    sizeEdit->selectAll();
    QTest::keyClicks(sizeEdit, QStringLiteral("18"));
    QTest::keyClick(sizeEdit, Qt::Key_Return);
    Click(form, "center");
    QTest::keyClick(form.Editor(), Qt::Key_End);
    EXPECT_FALSE(form.Action("bold")->isChecked()) << "the buttons follow the caret";
    EXPECT_TRUE(form.Action("center")->isChecked());
    QTest::keyClick(form.Editor(), Qt::Key_Home);
    QTest::keyClick(form.Editor(), Qt::Key_Right);
    EXPECT_TRUE(form.Action("bold")->isChecked());
    EXPECT_EQ(form.SizeBox()->currentText(), QStringLiteral("18"));
    EXPECT_TRUE(form.Action("undo")->isEnabled());

    Stored back(form.SaveRtf());
    EXPECT_EQ(back.text.PlainText(), QStringLiteral("Hello world"));
    EXPECT_EQ(back.FormatAt(0).fontWeight(), QFont::Bold);
    EXPECT_TRUE(back.FormatAt(0).fontUnderline());
    EXPECT_DOUBLE_EQ(back.FormatAt(0).fontPointSize(), 18);
    EXPECT_EQ(back.FormatAt(6).fontWeight(), QFont::Normal);
    EXPECT_DOUBLE_EQ(back.FormatAt(6).fontPointSize(), 10);
    EXPECT_TRUE(back.Block(0).blockFormat().alignment() & Qt::AlignHCenter);

    // Undo takes the last change back (the alignment).
    Click(form, "undo");
    EXPECT_FALSE(Stored(form.SaveRtf()).Block(0).blockFormat().alignment() & Qt::AlignHCenter);
}

TEST_F(FormFixture, DraggingRulerMarkersIndentsTheParagraph) {
    form.LoadRtf(R"({\rtf1 one\par two\par})");
    QTest::mouseClick(form.Editor()->viewport(), Qt::LeftButton, {}, QPoint(10, 8));
    TkvRichRuler* ruler = form.Ruler();
    const QPoint left = ruler->MarkerPosition(TkvRichRuler::Left);
    // One inch to the right: 96 device-independent pixels.
    QTest::mousePress(ruler, Qt::LeftButton, {}, left);
    QTest::mouseMove(ruler, left + QPoint(48, 0));
    QTest::mouseRelease(ruler, Qt::LeftButton, {}, left + QPoint(96, 0));
    const QPoint right = ruler->MarkerPosition(TkvRichRuler::Right);
    QTest::mousePress(ruler, Qt::LeftButton, {}, right);
    QTest::mouseRelease(ruler, Qt::LeftButton, {}, right - QPoint(48, 0));
    const QPoint first = ruler->MarkerPosition(TkvRichRuler::FirstLine);
    QTest::mousePress(ruler, Qt::LeftButton, {}, first);
    QTest::mouseRelease(ruler, Qt::LeftButton, {}, first - QPoint(24, 0));
    EXPECT_EQ(ruler->LeftIndent(), 1440);
    EXPECT_EQ(ruler->RightIndent(), 720);
    EXPECT_EQ(ruler->FirstLineIndent(), -360);

    Stored back(form.SaveRtf());
    const QTextBlockFormat b0 = back.Block(0).blockFormat(), b1 = back.Block(1).blockFormat();
    EXPECT_DOUBLE_EQ(b0.leftMargin(), 1440);
    EXPECT_DOUBLE_EQ(b0.rightMargin(), 720);
    EXPECT_DOUBLE_EQ(b0.textIndent(), -360);
    EXPECT_DOUBLE_EQ(b1.leftMargin(), 0) << "only the caret's paragraph";
}

TEST_F(FormFixture, ListBulletsAndInsertedExpressions) {
    form.LoadRtf(R"({\rtf1 first\par second\par})");
    EXPECT_FALSE(form.Action("expression")->isEnabled()) << "no expression builder";
    form.SetExpressionBuilder([](QWidget*) { return QStringLiteral("PAGE#"); });
    ASSERT_TRUE(form.Action("expression")->isEnabled());
    form.Editor()->moveCursor(QTextCursor::End);
    Click(form, "expression");
    form.Editor()->selectAll();
    Click(form, "list");
    EXPECT_TRUE(form.Action("list")->isChecked());
    EXPECT_EQ(form.Ruler()->LeftIndent(), 360) << "the ruler shows the list's indent";
    Shot(form, "rich_form_list");

    // Bullets are stored as the bullet and a tab before a hanging first line.
    Stored back(form.SaveRtf());
    EXPECT_EQ(back.text.PlainText(), QStringLiteral("•\tfirst\n•\tsecond[PAGE#]"));
    EXPECT_DOUBLE_EQ(back.Block(0).blockFormat().leftMargin(), 360);
    EXPECT_DOUBLE_EQ(back.Block(0).blockFormat().textIndent(), -360);

    Click(form, "list");
    EXPECT_FALSE(form.Action("list")->isChecked());
    EXPECT_EQ(Stored(form.SaveRtf()).text.PlainText(), QStringLiteral("first\nsecond[PAGE#]"));
    EXPECT_DOUBLE_EQ(Stored(form.SaveRtf()).Block(1).blockFormat().leftMargin(), 0);
}

// Edit runs the window modally; the test acts from inside its event loop.
void WhileModal(std::function<void(TkvRichForm&)> act) {
    QTimer::singleShot(0, [act] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* form = dynamic_cast<TkvRichForm*>(w); form && form->isVisible()) return act(*form);
        ADD_FAILURE() << "the editor is not shown";
    });
}

TEST(RichFormEdit, SaveAndExitStoresTheTextAndCancelKeepsIt) {
    TkvRichView view;
    view.SetBounds(0, 0, 200, 50);
    view.RichText = R"({\rtf1 before\par})";
    int changes = 0;
    const TkvSetForScope<std::function<bool(TkvRichView&)>> editor(kv::Library().RichTextEditor, nullptr);
    kv::InstallRichTextEditor([&changes] { ++changes; });

    WhileModal([](TkvRichForm& form) {
        EXPECT_EQ(form.Editor()->toPlainText(), QStringLiteral("before"));
        EXPECT_EQ(form.TextWidth(), 200 - 2 * 2) << "laid out at the object's width";
        form.Editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(form.Editor(), QStringLiteral(" after"));
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
    });
    view.ShowEditor();
    EXPECT_EQ(view.RichText, R"({\rtf1 before\par})");
    EXPECT_EQ(changes, 0);

    WhileModal([](TkvRichForm& form) {
        EXPECT_EQ(form.Editor()->toPlainText(), QStringLiteral("before")) << "emptied after the last use";
        form.Editor()->moveCursor(QTextCursor::End);
        QTest::keyClicks(form.Editor(), QStringLiteral(" after"));
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
    });
    view.ShowEditor();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(view.RichEdit().PlainText(), QStringLiteral("before after"));
}

TEST_F(FormFixture, FilesAreReadBoundedAndWrittenWhole) {
    QTemporaryDir dir;
    form.LoadRtf(kSample);
    const QString rtf = dir.filePath("a.rtf"), txt = dir.filePath("a.txt");
    ASSERT_TRUE(form.SaveFile(rtf, false)) << form.LastError().toStdString();
    ASSERT_TRUE(form.SaveFile(txt, true)) << form.LastError().toStdString();
    QFile t(txt);
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_TRUE(t.readAll().startsWith("\xCF\xF0\xE8\xE2\xE5\xF2 red [PAGE#]\r\nIndented"))
        << "plain text in the default code page";
    form.Clear();
    ASSERT_TRUE(form.OpenFile(rtf));
    EXPECT_TRUE(form.Editor()->toPlainText().startsWith(QStringLiteral("Привет red")));
    ASSERT_TRUE(form.OpenFile(txt)) << "text files open as plain text";
    EXPECT_TRUE(form.Editor()->toPlainText().startsWith(QStringLiteral("Привет red")));

    EXPECT_FALSE(form.OpenFile(dir.filePath("missing.rtf")));
    EXPECT_FALSE(form.LastError().contains('\n'));
    EXPECT_FALSE(form.SaveFile(dir.filePath("no/such/dir/b.rtf"), false));
    EXPECT_FALSE(form.LastError().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("no/such/dir/b.rtf")));
}

TEST(RichPopup, TextOnlySetsTheFlagOnSelectedObjectsThatMayChange) {
    TkvRichView a, b, locked;
    a.Flags = kvflag::Stretched;
    locked.Restrictions = 0x08;
    int before = 0, after = 0;
    QMenu menu;
    kv::AddRichPopupItems(menu, a, {{&a, &b, &locked}, [&] { ++before; }, [&] { ++after; }});
    QStringList texts;
    for (QAction* item : menu.actions())
        texts << (item->isSeparator() ? QStringLiteral("-") : item->text() + (item->isChecked() ? "*" : ""));
    EXPECT_EQ(texts.join('|'), QStringLiteral("-|Stretched*|Text only"));

    menu.actions().at(2)->trigger();
    EXPECT_EQ(a.Flags, kvflag::Stretched | kvflag::TextOnly);
    EXPECT_EQ(b.Flags & kvflag::TextOnly, kvflag::TextOnly);
    EXPECT_EQ(locked.Flags & kvflag::TextOnly, 0);
    menu.actions().at(1)->trigger(); // unchecks "Stretched"
    EXPECT_EQ(a.Flags & kvflag::Stretched, 0);
    EXPECT_EQ(before, 2);
    EXPECT_EQ(after, 2);
}

} // namespace
