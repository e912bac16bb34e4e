// The text and script editor and the object editor dialogs on real widgets: OK and Cancel change
// or keep the object, each OK records one undo step that gives the object back, the compiler's
// first error keeps the editor open with the caret at its line and column, pictures that cannot be
// read are refused with their reason, and the editor hooks open the dialogs. Runs at scale 1 and 2.
#include "base/stream.h"
#include "base/stream_version.h"
#include "core/library_context.h"
#include "core/report/page.h"
#include "core/views/band_view.h"
#include "core/views/memo_view.h"
#include "core/views/picture_view.h"
#include "designer/designer_editors.h"
#include "designer/editor_form.h"
#include "designer/font_editor_form.h"
#include "designer/highlight_form.h"
#include "designer/picture_editor_form.h"
#include "designer/restrictions_form.h"
#include "designer/script_highlighter.h"
#include "designer/tag_editor_form.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QFile>
#include <QFontDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

void Shot(QWidget& w, const char* name) {
    const QByteArray dir = qgetenv("KV_TEST_SHOTS");
    if (dir.isEmpty()) return;
    w.grab().save(QString::fromLocal8Bit(dir) + '/' + name + QStringLiteral("@") +
                  QString::number(w.devicePixelRatioF()) + QStringLiteral(".png"));
}

// An undo stack of whole view records, as the designer's modify steps keep them.
struct FakeUndo {
    std::vector<TkvView*> views;
    std::vector<std::vector<QByteArray>> steps;
    void Record() {
        std::vector<QByteArray> step;
        for (TkvView* v : views) {
            kv::StreamVersion = kv::CurrentStreamVersion;
            TkvMemoryStream m;
            v->SaveToStream(m);
            step.push_back(m.TakeData());
        }
        steps.push_back(std::move(step));
    }
    void Undo() {
        ASSERT_FALSE(steps.empty());
        for (size_t i = 0; i < views.size(); ++i) {
            kv::StreamVersion = kv::CurrentStreamVersion;
            TkvMemoryStream m(steps.back()[i]);
            views[i]->LoadFromStream(m);
        }
        steps.pop_back();
    }
    TkvDesignerServices Services() {
        TkvDesignerServices s;
        s.BeforeChange = [this] { Record(); };
        s.SelectedViews = [this] { return views; };
        return s;
    }
};

// Runs `act` once the modal dialog is up (from inside its event loop).
void WhenShown(std::function<void()> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            ADD_FAILURE() << "no modal dialog";
            return;
        }
        act();
    });
}

QString Position(const QPlainTextEdit& pane) {
    const QTextCursor c = pane.textCursor();
    return QStringLiteral("%1:%2").arg(c.blockNumber() + 1).arg(c.positionInBlock() + 1);
}

class Editors : public ::testing::Test {
protected:
    Editors() {
        memo.Name = "Memo1";
        memo.Memo = {"Total: [Sum]"};
        undo.views = {&memo};
    }
    TkvMemoView memo;
    FakeUndo undo;
};

TEST_F(Editors, TextEditorOkStoresTextAndScriptCancelKeeps) {
    for (bool highlighting : {true, false}) {
        SCOPED_TRACE(highlighting);
        memo.Memo = {"Total: [Sum]"};
        memo.ScriptLines.clear();
        undo.steps.clear();
        auto editor = kv::MakeEditorForm(highlighting, nullptr);
        editor->Services = undo.Services();
        editor->Load(memo);
        editor->show();
        EXPECT_EQ(editor->ScriptPane()->toPlainText(), QStringLiteral("begin\n  \nend"));
        EXPECT_TRUE(editor->TextPane()->isVisible());
        EXPECT_TRUE(editor->ScriptPane()->isVisible());
        // The skeleton untouched stays no script.
        ASSERT_TRUE(editor->Accept());
        EXPECT_TRUE(memo.ScriptLines.isEmpty());
        EXPECT_EQ(undo.steps.size(), 1u);

        editor->Load(memo);
        editor->TextPane()->setPlainText(QStringLiteral("Sum: [Total]\nsecond"));
        editor->ScriptPane()->setPlainText(QStringLiteral("begin\n  Memo1.Visible := True\nend"));
        ASSERT_TRUE(editor->Accept());
        EXPECT_EQ(memo.Memo, (TkvStringList{"Sum: [Total]", "second"}));
        EXPECT_EQ(memo.ScriptLines, (TkvStringList{"begin", "  Memo1.Visible := True", "end"}));
        undo.Undo();
        EXPECT_EQ(memo.Memo, TkvStringList{"Total: [Sum]"});
        EXPECT_TRUE(memo.ScriptLines.isEmpty());

        // Cancel: nothing changes, no undo step.
        const size_t steps = undo.steps.size();
        WhenShown([&] {
            editor->TextPane()->setPlainText(QStringLiteral("changed"));
            QTest::keyClick(editor->TextPane(), Qt::Key_Escape);
        });
        EXPECT_EQ(editor->EditView(memo), QDialog::Rejected);
        EXPECT_EQ(memo.Memo, TkvStringList{"Total: [Sum]"});
        EXPECT_EQ(undo.steps.size(), steps);
    }
}

TEST_F(Editors, ScriptErrorKeepsTheEditorOpenAtTheErrorsLineAndColumn) {
    for (bool highlighting : {true, false}) {
        SCOPED_TRACE(highlighting);
        auto editor = kv::MakeEditorForm(highlighting, nullptr);
        editor->Services = undo.Services();
        editor->resize(500, 450);
        WhenShown([&] {
            // A missing ";" between two statements: reported where the second starts.
            editor->ScriptPane()->setPlainText(QStringLiteral("begin\n  a := 1\n  b := 2\nend"));
            QTest::keyClick(editor->ScriptPane(), Qt::Key_Return, Qt::ControlModifier);
            EXPECT_TRUE(editor->isVisible());
            EXPECT_EQ(Position(*editor->ScriptPane()), QStringLiteral("3:3"));
            EXPECT_TRUE(editor->LastError().startsWith(QStringLiteral("Line 3/3:")))
                << editor->LastError().toStdString();
            EXPECT_TRUE(editor->MessageLine()->isVisible());
            EXPECT_TRUE(editor->MessageLine()->text().contains(QStringLiteral("Need")))
                << editor->MessageLine()->text().toStdString();
            EXPECT_EQ(editor->ActiveEditor(), editor->ScriptPane());
            EXPECT_TRUE(undo.steps.empty());
            Shot(*editor, highlighting ? "editor-error" : "editor1-error");
            // Mended, OK closes.
            editor->ScriptPane()->setPlainText(QStringLiteral("begin\n  a := 1;\n  b := 2\nend"));
            editor->Action("ok")->trigger();
        });
        EXPECT_EQ(editor->EditView(memo), QDialog::Accepted);
        EXPECT_EQ(memo.ScriptLines.size(), 4);
        undo.steps.clear();
    }
}

TEST_F(Editors, ErrorPositions) {
    struct Case {
        const char* error;
        int line, column;
    } cases[] = {{"Line 3/5: Need \";\" here", 3, 5}, {"Line 12/1: x", 12, 1}, {"no position", 1, 1}};
    for (const Case& c : cases) {
        int line = 0, column = 0;
        TkvEditorForm::ErrorPosition(QString::fromLatin1(c.error), line, column);
        EXPECT_EQ(line, c.line) << c.error;
        EXPECT_EQ(column, c.column) << c.error;
    }
}

TEST_F(Editors, SkeletonRulesOfTheTwoVariants) {
    struct Case {
        const char* script;
        bool highlighting, plain;
    } cases[] = {
        {"begin\n  \nend", true, true}, {"BEGIN END", true, false}, {"  begin\n\n\n end ", true, false},
        {"Begin\n\nEnd", true, false},  {"", true, false},          {"begin\n x := 1\nend", false, false},
    };
    TkvEditorForm highlighting;
    TkvEditorForm1 plain;
    for (const Case& c : cases) {
        highlighting.ScriptPane()->setPlainText(QString::fromLatin1(c.script));
        plain.ScriptPane()->setPlainText(QString::fromLatin1(c.script));
        EXPECT_EQ(highlighting.ScriptIsSkeleton(), c.highlighting) << c.script;
        EXPECT_EQ(plain.ScriptIsSkeleton(), c.plain) << c.script;
    }
}

TEST_F(Editors, RestrictionsAndBandsAndInserts) {
    TkvEditorForm editor;
    memo.Restrictions = 0x01;
    editor.Load(memo);
    EXPECT_TRUE(editor.TextPane()->isReadOnly());
    EXPECT_FALSE(editor.ScriptPane()->isReadOnly());
    memo.Restrictions = 0x02;
    editor.Load(memo);
    EXPECT_FALSE(editor.TextPane()->isReadOnly());
    EXPECT_TRUE(editor.ScriptPane()->isReadOnly());
    memo.Restrictions = 0;

    // A band edits its script alone; the script button stays down.
    TkvBandView band;
    editor.Load(band);
    editor.show();
    EXPECT_FALSE(editor.TextPane()->isVisible());
    EXPECT_TRUE(editor.ScriptPane()->isVisible());
    editor.Action("script")->trigger();
    EXPECT_TRUE(editor.Action("script")->isChecked());
    EXPECT_TRUE(editor.ScriptPane()->isVisible());
    EXPECT_EQ(editor.ActiveEditor(), editor.ScriptPane());
    editor.hide();

    // Hiding the script is remembered for the next object.
    editor.Services.InsertFieldExpression = [](QWidget*) { return QStringLiteral("[Orders.Total]"); };
    editor.Load(memo);
    editor.show();
    editor.Action("script")->trigger();
    EXPECT_FALSE(editor.ScriptPane()->isVisible());
    editor.TextPane()->moveCursor(QTextCursor::End);
    editor.TextPane()->setFocus();
    QTest::keyClick(editor.TextPane(), Qt::Key_Insert);
    EXPECT_EQ(editor.TextPane()->toPlainText(), QStringLiteral("Total: [Sum][Orders.Total]"));
    ASSERT_TRUE(editor.Accept());
    EXPECT_EQ(memo.Memo, TkvStringList{"Total: [Sum][Orders.Total]"});
    EXPECT_FALSE(editor.ScriptShown);
    editor.Load(memo);
    EXPECT_FALSE(editor.ScriptPane()->isVisible());

    // Word wrap does not split the stored line.
    editor.Action("wordwrap")->trigger();
    editor.TextPane()->setPlainText(QString(300, 'x'));
    ASSERT_TRUE(editor.Accept());
    EXPECT_EQ(memo.Memo.size(), 1);
}

TEST(ScriptHighlighter, Tokens) {
    using T = TkvScriptHighlighter::Token;
    bool inComment = false;
    auto spans =
        TkvScriptHighlighter::Scan(QStringLiteral("if x > 10 then s := 'a { b' // note"), false, inComment);
    std::vector<std::pair<QString, T>> got;
    const QString line = QStringLiteral("if x > 10 then s := 'a { b' // note");
    for (const auto& s : spans)
        got.push_back({line.mid(s.Start, s.Length), s.Kind});
    const std::vector<std::pair<QString, T>> want = {{"if", T::Keyword},
                                                     {"10", T::Number},
                                                     {"then", T::Keyword},
                                                     {"'a { b'", T::String},
                                                     {"// note", T::Comment}};
    EXPECT_EQ(got, want);
    EXPECT_FALSE(inComment);
    // A { comment running over lines.
    spans = TkvScriptHighlighter::Scan(QStringLiteral("x := $FF; { open"), false, inComment);
    EXPECT_TRUE(inComment);
    EXPECT_EQ(spans.front().Kind, T::Number);
    spans = TkvScriptHighlighter::Scan(QStringLiteral("still } END"), true, inComment);
    EXPECT_FALSE(inComment);
    ASSERT_EQ(spans.size(), 2u);
    EXPECT_EQ(spans[0].Kind, T::Comment);
    EXPECT_EQ(spans[1].Kind, T::Keyword);
}

TEST_F(Editors, TagEditorOkCancelAndUndo) {
    memo.Tag = "old";
    TkvAttrEditorForm dialog;
    dialog.Services = undo.Services();
    dialog.Services.InsertExpression = [](QWidget*, const QString&) { return QStringLiteral("[Date]"); };
    WhenShown([&] {
        dialog.Edit()->setText(QStringLiteral("new "));
        dialog.Edit()->end(false);
        QTest::mouseClick(dialog.ExpressionButton(), Qt::LeftButton);
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.EditObjectTag(memo), QDialog::Accepted);
    EXPECT_EQ(memo.Tag, "new [Date]");
    WhenShown([&] {
        dialog.Edit()->setText(QStringLiteral("dropped"));
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.EditObjectTag(memo), QDialog::Rejected);
    EXPECT_EQ(memo.Tag, "new [Date]");
    ASSERT_EQ(undo.steps.size(), 1u);
    undo.Undo();
    EXPECT_EQ(memo.Tag, "old");
}

TEST_F(Editors, HighlightEditorChangesTextObjectsOnly) {
    TkvMemoView memo2, memo3;
    TkvPictureView picture;
    memo.HighlightFontStyle = kvfs::StrikeOut;
    undo.views = {&memo, &memo2, &picture, &memo3};
    TkvHilightForm dialog;
    dialog.Services = undo.Services();
    dialog.Services.ChooseColor = [](uint32_t& c, QWidget*) {
        c = 0x0000FF;
        return true;
    };
    WhenShown([&] {
        EXPECT_TRUE(dialog.Other()->isChecked()); // default fill is white
        dialog.Condition()->setText(QStringLiteral("[Qty] > 10"));
        dialog.Bold()->setChecked(false);
        dialog.Italic()->setChecked(true);
        QTest::mouseClick(dialog.FontColorButton(), Qt::LeftButton);
        dialog.Transparent()->setChecked(true);
        EXPECT_FALSE(dialog.FillColorButton()->isEnabled());
        Shot(dialog, "highlight");
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.EditHighlight(undo.views), QDialog::Accepted);
    for (TkvMemoView* m : {&memo, &memo2, &memo3}) {
        EXPECT_EQ(m->HighlightCondition, "[Qty] > 10");
        EXPECT_EQ(m->HighlightFontStyle, kvfs::Italic);
        EXPECT_EQ(m->HighlightFontColor, 0x0000FFu);
        EXPECT_EQ(m->HighlightFillColor, 0x1FFFFFFFu);
    }
    undo.Undo();
    EXPECT_EQ(memo2.HighlightCondition, "");
    EXPECT_EQ(memo.HighlightFontStyle, kvfs::StrikeOut);
    EXPECT_EQ(memo.HighlightFillColor, 0xFFFFFFu);

    WhenShown([&] {
        dialog.Condition()->setText(QStringLiteral("dropped"));
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.EditHighlight(undo.views), QDialog::Rejected);
    EXPECT_EQ(memo.HighlightCondition, "");
    EXPECT_TRUE(undo.steps.empty());
}

TEST_F(Editors, RestrictionsEditorSetsTheSevenBitsOfEverySelectedObject) {
    TkvMemoView other;
    memo.Restrictions = 0x01 | 0x10;
    other.Restrictions = 0x40 | 0x100; // a bit beyond the seven stays
    undo.views = {&memo, &other};
    TkvRestrictionsForm dialog;
    dialog.Services = undo.Services();
    WhenShown([&] {
        EXPECT_TRUE(dialog.Box(0)->isChecked());
        EXPECT_TRUE(dialog.Box(4)->isChecked());
        for (int n = 0; n < 7; ++n)
            dialog.Box(n)->setChecked(n == 5); // only "Don't move"
        Shot(dialog, "restrictions");
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.EditRestrictions(memo, undo.views), QDialog::Accepted);
    EXPECT_EQ(memo.Restrictions, 0x20);
    EXPECT_EQ(other.Restrictions, 0x20 | 0x100);
    undo.Undo();
    EXPECT_EQ(memo.Restrictions, 0x01 | 0x10);
    EXPECT_EQ(other.Restrictions, 0x40 | 0x100);
    WhenShown([&] {
        dialog.Box(6)->setChecked(true);
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.EditRestrictions(memo, undo.views), QDialog::Rejected);
    EXPECT_EQ(memo.Restrictions, 0x01 | 0x10);
}

QByteArray BitmapBytes(QColor color) {
    QImage image(8, 6, QImage::Format_RGB888);
    image.fill(color);
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    image.save(&b, "BMP");
    return bytes;
}

TEST(PictureEditor, LoadClearOkCancelUndoAndRefusedFiles) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("red.bmp"));
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(BitmapBytes(Qt::red));
    }
    const struct {
        const char* name;
        QByteArray bytes;
        const char* reason;
    } bad[] = {
        {"notes.txt", "just text", "is not a BMP, JPEG, icon, WMF or EMF picture"},
        {"cut.bmp", BitmapBytes(Qt::blue).left(20), "is damaged"},
        {"empty.jpg", QByteArray(), "is not a BMP"},
    };
    for (const auto& b : bad) {
        QFile f(dir.filePath(QString::fromLatin1(b.name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b.bytes);
    }

    TkvPictureView view;
    view.Picture = {kvgk::Bitmap, BitmapBytes(Qt::green)};
    const TkvGraphic original = view.Picture;
    FakeUndo undo;
    undo.views = {&view};
    TkvGEditorForm dialog;
    dialog.Services = undo.Services();
    QStringList shown;
    dialog.ShowError = [&](const QString& m) { shown << m; };

    dialog.Load(view);
    for (const auto& b : bad) {
        EXPECT_FALSE(dialog.LoadFile(dir.filePath(QString::fromLatin1(b.name)))) << b.name;
        EXPECT_TRUE(dialog.LastError().contains(QString::fromLatin1(b.reason)))
            << dialog.LastError().toStdString();
        EXPECT_TRUE(dialog.LastError().contains(QString::fromLatin1(b.name)));
        EXPECT_EQ(dialog.Picture(), original); // the dialog keeps its picture
    }
    EXPECT_FALSE(dialog.LoadFile(dir.filePath(QStringLiteral("missing.bmp"))));
    EXPECT_EQ(shown.size(), 4);

    dialog.ChooseFile = [&](QWidget*) { return good; };
    WhenShown([&] {
        QTest::mouseClick(dialog.LoadButton(), Qt::LeftButton);
        Shot(dialog, "picture");
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.EditPicture(view), QDialog::Accepted);
    EXPECT_EQ(view.Picture.Kind, kvgk::Bitmap);
    EXPECT_EQ(view.Picture.Data, BitmapBytes(Qt::red));
    undo.Undo();
    EXPECT_EQ(view.Picture, original);

    // Clear and Cancel: kept. Clear and OK: emptied, and the empty preview says so.
    WhenShown([&] {
        QTest::mouseClick(dialog.ClearButton(), Qt::LeftButton);
        QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.EditPicture(view), QDialog::Rejected);
    EXPECT_EQ(view.Picture, original);
    WhenShown([&] {
        QTest::mouseClick(dialog.ClearButton(), Qt::LeftButton);
        Shot(dialog, "picture-none");
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.EditPicture(view), QDialog::Accepted);
    EXPECT_TRUE(view.Picture.IsEmpty());
    EXPECT_EQ(undo.steps.size(), 1u);
}

TEST(DesignerEditors, HooksOpenTheDialogsAndRestrictionsKeepThemShut) {
    TkvLibraryContext context;
    TkvLibraryScope scope(context);
    TkvMemoView memo;
    memo.Name = "Memo1";
    FakeUndo undo;
    undo.views = {&memo};
    {
        TkvDesignerEditors editors(&context, nullptr, undo.Services());
        QString field = QStringLiteral("[Orders.Total]");
        editors.Services.InsertFieldExpression = [&](QWidget*) { return field; };
        ASSERT_TRUE(context.Editors.Memo);
        ASSERT_TRUE(context.Editors.Tag);

        // ShowEditor of a text object opens the text editor.
        WhenShown([&] {
            editors.TextEditor().TextPane()->setPlainText(QStringLiteral("from the hook"));
            editors.TextEditor().Action("ok")->trigger();
        });
        memo.ShowEditor();
        EXPECT_EQ(memo.Memo, TkvStringList{"from the hook"});

        // The data field chooser's answer becomes the memo.
        EXPECT_TRUE(editors.EditDataField(memo));
        EXPECT_EQ(memo.Memo, TkvStringList{"[Orders.Total]"});

        // Don't edit contents: neither the tag editor nor the field chooser opens.
        memo.Restrictions = 0x04;
        context.Editors.Tag(&memo); // would block if a dialog opened
        EXPECT_FALSE(editors.EditDataField(memo));
        memo.Restrictions = 0;
        editors.Services.DesignerRestrictions = [] { return uint16_t(0x0001); };
        EXPECT_FALSE(editors.EditDataField(memo));
        EXPECT_EQ(undo.steps.size(), 2u);

        editors.SetSyntaxHighlight(false);
        EXPECT_FALSE(editors.TextEditor().SyntaxHighlighting());
    }
    EXPECT_FALSE(context.Editors.Memo); // the hooks go with the editors
}

} // namespace

namespace {

TEST_F(Editors, LinesComeBackAsTheyWere) {
    TkvEditorForm editor;
    for (const TkvStringList& lines : {TkvStringList{"one"}, TkvStringList{"a", "", "b", ""}}) {
        memo.Memo = lines;
        editor.Load(memo);
        ASSERT_TRUE(editor.Accept());
        EXPECT_EQ(memo.Memo, lines);
    }
}

} // namespace

namespace {

TEST_F(Editors, FontEditorSetsFontAndColourOfSelectedTextObjects) {
    TkvMemoView other, locked;
    locked.Restrictions = 0x08; // don't modify
    undo.views = {&memo, &other, &locked};
    TkvFontEditorForm dialog;
    dialog.Services = undo.Services();
    dialog.Services.ChooseColor = [](uint32_t& c, QWidget*) {
        c = 0x0000FF;
        return true;
    };
    WhenShown([&] {
        QFont f = dialog.Chooser()->currentFont();
        f.setPointSize(16);
        dialog.Chooser()->setCurrentFont(f);
        QTest::mouseClick(dialog.ColorButton(), Qt::LeftButton);
        Shot(dialog, "font");
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.EditFont(memo, undo.views), QDialog::Accepted);
    for (TkvMemoView* m : {&memo, &other}) {
        EXPECT_EQ(m->Font.Size, 16);
        EXPECT_EQ(m->Font.Color, 0x0000FFu);
    }
    EXPECT_EQ(locked.Font.Size, 10);
    undo.Undo();
    EXPECT_EQ(memo.Font.Size, 10);
    EXPECT_EQ(memo.Font.Color, 0u);
    WhenShown([&] { QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton); });
    EXPECT_EQ(dialog.EditFont(memo, undo.views), QDialog::Rejected);
    EXPECT_TRUE(undo.steps.empty());
}

TEST_F(Editors, PageScriptInTheScriptPaneAlone) {
    TkvPage page;
    page.Script = {"begin", "  x := 1", "end"};
    TkvEditorForm editor;
    int steps = 0;
    editor.Services.BeforeChange = [&] { ++steps; };
    WhenShown([&] {
        EXPECT_FALSE(editor.TextPane()->isVisible());
        EXPECT_EQ(editor.ScriptPane()->toPlainText(), QStringLiteral("begin\n  x := 1\nend"));
        editor.ScriptPane()->setPlainText(QStringLiteral("begin\n  x := \nend"));
        editor.Action("ok")->trigger();
        EXPECT_TRUE(editor.isVisible());
        EXPECT_EQ(steps, 0);
        editor.ScriptPane()->setPlainText(QStringLiteral("begin\n  x := 2\nend"));
        editor.Action("ok")->trigger();
    });
    EXPECT_EQ(editor.EditPageScript(page), QDialog::Accepted);
    EXPECT_EQ(page.Script, (TkvStringList{"begin", "  x := 2", "end"}));
    EXPECT_EQ(steps, 1);
}

} // namespace
