// The rich text object at build time and on the page: [expression] expansion in the formatting of
// the opening bracket, heights, splitting into consecutive parts, hidden objects, drawing through
// the canvas at any scale.
#include "band_control_support.h"

#include "core/data/data_field.h"
#include "core/views/band_control_views.h"
#include "core/views/rich_view.h"
#include "core/views/view_factory.h"
#include "render/recording_canvas.h"
#include "richtext/rich_text.h"

#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace kvtest;

namespace {

// Installs the engine's hooks for one test and removes them whatever happens.
struct HooksGuard {
    HooksGuard() {
        kv::Library().RichExpressionToText = [this](TkvRichView&, const QString& e) {
            ++evaluations;
            if (e == QLatin1String("PAGE#")) return QString::number(page);
            return QStringLiteral("<%1>").arg(e);
        };
        kv::Library().RichBeforePrint = [this](TkvRichView& v) {
            if (hide) v.Visible = 0;
        };
    }
    ~HooksGuard() {
        kv::Library().RichExpressionToText = nullptr;
        kv::Library().RichBeforePrint = nullptr;
    }
    int page = 7;
    int evaluations = 0;
    bool hide = false;
};

// Prints the object as a prepared entry and reads it back (null when nothing was written).
std::unique_ptr<TkvRichView> Printed(TkvRichView& v) {
    TkvMemoryStream s;
    v.Prepared = 1;
    v.PrintToStream(s);
    v.Prepared = 0;
    if (s.Size() == 0) return nullptr;
    s.Seek(0);
    auto back = kv::ReadObjectEntry(s, true);
    return std::unique_ptr<TkvRichView>(static_cast<TkvRichView*>(back.release()));
}

TEST(RichViewBuild, PageNumberExpandsInTheBracketsFormattingUnlessTextOnly) {
    GlobalsGuard globals;
    kv::RegisterBandAndControlViews();
    HooksGuard hooks;
    TkvRichView v;
    v.SetBounds(0, 0, 300, 40);
    v.RichText = R"({\rtf1{\fonttbl{\f0 Arial;}}\f0 Page {\b\i [PAGE#]} of [[N]]\par})";
    auto out = Printed(v);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->RichEdit().PlainText(), QStringLiteral("Page 7 of <[N]>"));
    QTextCursor c(&out->RichEdit().Document());
    c.setPosition(6); // the character after "Page "
    EXPECT_EQ(c.charFormat().fontWeight(), QFont::Bold);
    EXPECT_TRUE(c.charFormat().fontItalic());
    EXPECT_EQ(v.RichText, QByteArray(R"({\rtf1{\fonttbl{\f0 Arial;}}\f0 Page {\b\i [PAGE#]} of [[N]]\par})"))
        << "building never changes the object's own text";

    v.SetProperty("TextOnly", true);
    out = Printed(v);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->RichEdit().PlainText(), QStringLiteral("Page [PAGE#] of [[N]]"));
}

TEST(RichViewBuild, HeightsOfEmptyAndHiddenObjects) {
    GlobalsGuard globals;
    HooksGuard hooks;
    TkvRichView v;
    v.SetBounds(0, 0, 200, 50);
    v.GapY = 3;
    EXPECT_EQ(v.MinHeight(), 8);
    EXPECT_EQ(v.CalcHeight(), 2 * 3 + 8) << "empty text";
    v.RichText = "{\\rtf1}";
    EXPECT_EQ(v.CalcHeight(), 2 * 3 + 8) << "RTF without text";
    v.RichText = "{\\rtf1 one line}";
    const int one = v.CalcHeight();
    v.RichText = "{\\rtf1 one\\par two\\par three}";
    const int three = v.CalcHeight();
    EXPECT_GT(one, 2 * 3 + 8);
    EXPECT_NEAR(three - 6, 3 * (one - 6), 3) << one << " " << three;

    hooks.hide = true;
    EXPECT_EQ(v.CalcHeight(), 0);
    v.Visible = 0xFFFF;
    TkvMemoryStream s;
    v.PrintToStream(s);
    EXPECT_EQ(s.Size(), 0) << "a hidden object writes nothing";
}

TEST(RichViewBuild, ASplitPrintsConsecutivePartsAndMovesOn) {
    GlobalsGuard globals;
    kv::RegisterBandAndControlViews();
    HooksGuard hooks;
    TkvRichView v;
    QByteArray rtf = "{\\rtf1\\fs20 ";
    for (int i = 0; i < 12; ++i)
        rtf += "Line " + QByteArray::number(i) + " [PAGE#]\\par ";
    rtf += "}";
    v.RichText = rtf;
    v.SetBounds(0, 0, 300, 100);
    const int full = v.CalcHeight();
    ASSERT_GT(full, 100);

    // Part one: what fits into 60 units; part two: the rest.
    v.Height = 60;
    v.PrintPhase = kvpp::SplitPart;
    const int remaining = v.RemainingHeight();
    EXPECT_GE(remaining, 2 * v.GapY);
    auto first = Printed(v);
    EXPECT_EQ(v.PrintPhase, kvpp::Normal) << "set back after a part print";
    v.Height = 1000;
    v.PrintPhase = kvpp::SplitPart;
    auto second = Printed(v);
    ASSERT_TRUE(first && second);
    const QString a = first->RichEdit().PlainText(), b = second->RichEdit().PlainText();
    EXPECT_TRUE(a.startsWith(QStringLiteral("Line 0 7"))) << a.toStdString();
    EXPECT_FALSE(a.contains(QStringLiteral("Line 11")));
    EXPECT_TRUE(b.endsWith(QStringLiteral("Line 11 7"))) << b.toStdString();
    TkvRichText whole;
    whole.LoadRtf(rtf);
    EXPECT_EQ((a + "\n" + b).count(QStringLiteral("Line ")), 12) << a.toStdString() << "|" << b.toStdString();
    EXPECT_TRUE(b.startsWith(QStringLiteral("Line "))) << "the second part starts where the first ended";

    // A height that holds no line still places one line per part, so a split always moves on.
    v.CalcHeight();
    v.Height = 2;
    int parts = 0;
    QString all;
    while (parts < 40) {
        v.PrintPhase = kvpp::SplitPart;
        auto part = Printed(v);
        ASSERT_TRUE(part);
        const QString t = part->RichEdit().PlainText();
        if (t.isEmpty()) break;
        all += t + "\n";
        ++parts;
    }
    EXPECT_EQ(parts, 12);
    EXPECT_EQ(all.count(QStringLiteral("Line ")), 12);
}

// A blob field of the current record as the data layer hands it over.
class BlobField : public TkvDataField {
public:
    BlobField(QByteArray bytes, bool null) : bytes_(std::move(bytes)), null_(null) {}
    QByteArray FieldName() const override { return "NOTES"; }
    TkvFieldType DataType() const override { return TkvFieldType::Blob; }
    bool IsNull() const override { return null_; }
    TkvVariant Value() const override { return null_ ? TkvVariant() : TkvVariant(bytes_); }
    QByteArray DisplayText() const override { return null_ ? QByteArray() : bytes_; }
    void BlobToStream(TkvStream& s) const override {
        if (!null_) s.WriteBytes(bytes_);
    }

private:
    QByteArray bytes_;
    bool null_;
};

TEST(RichViewBuild, LoadFromFieldTakesTheBlobAsTheText) {
    GlobalsGuard globals;
    kv::RegisterBandAndControlViews();
    struct Case {
        const char* name;
        QByteArray blob;
        bool null;
        QString printed;
    };
    const Case cases[] = {
        {"rtf with a code page and a bracket",
         QByteArray("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0 "
                    "\\'cf\\'f0\\'e8 {\\b [PAGE#]}\\par}"),
         false, QStringLiteral("При 7")},
        {"bytes that are not rtf", QByteArray("plain [PAGE#] notes"), false, QStringLiteral("plain 7 notes")},
        {"a null field empties the text", QByteArray(), true, QString()},
        {"an rtf cut short", QByteArray("{\\rtf1 {\\b cut [PAGE#]"), false, QStringLiteral("cut 7")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BlobField field(c.blob, c.null);
        HooksGuard hooks;
        // The engine's before-print step loads the bound field before the text is expanded.
        kv::Library().RichBeforePrint = [&field](TkvRichView& v) {
            v.LoadFromField(const_cast<BlobField*>(&field));
        };
        TkvRichView v;
        v.SetBounds(0, 0, 300, 40);
        v.RichText = "{\\rtf1 template text\\par}";
        EXPECT_GT(v.CalcHeight(), 0);
        auto out = Printed(v);
        ASSERT_TRUE(out);
        EXPECT_EQ(out->RichEdit().PlainText().trimmed(), c.printed);
        EXPECT_EQ(v.RichText, c.null ? QByteArray() : c.blob) << "the blob is kept as it was stored";
    }
    TkvRichView v;
    v.RichText = "{\\rtf1 kept}";
    v.LoadFromField(nullptr);
    EXPECT_EQ(v.RichText, "{\\rtf1 kept}");
}

TEST(RichViewDraw, TextRunsLandInsideTheObjectAtEveryScale) {
    GlobalsGuard globals;
    TkvRichView v;
    v.SetBounds(10, 20, 400, 100);
    kv::DocumentMode() = 1; // previewing: drawn at the canvas's zoom
    v.RichText = R"({\rtf1{\fonttbl{\f0\fcharset204 Arial;}}{\colortbl;\red255\green0\blue0;})"
                 R"(\f0\fs24 \'cf\'f0\'e8\'e2\'e5\'f2 {\cf1\b world}\par\qc centred})";
    for (double zoom : {1.0, 2.0, 600.0 / 96.0}) {
        SCOPED_TRACE(zoom);
        TkvRecordingCanvas canvas(int(96 * zoom), int(96 * zoom));
        v.ZoomX = v.ZoomY = zoom;
        v.Draw(canvas);
        const QRect box(int(10 * zoom), int(20 * zoom), int(400 * zoom), int(100 * zoom));
        QStringList texts;
        for (const TkvRecord& r : canvas.Records()) {
            if (const auto* t = std::get_if<kvrec::Text>(&r)) {
                texts << t->text;
                EXPECT_TRUE(box.contains(t->at)) << t->text.toStdString();
                if (t->text == QLatin1String("world")) {
                    EXPECT_EQ(t->font.color, 0x0000FFu);
                    EXPECT_EQ(t->font.style & 2, 2);
                }
            }
        }
        EXPECT_EQ(texts.join('|'), QStringLiteral("Привет |world|centred"));
        ASSERT_EQ(canvas.FindText(QStringLiteral("centred")).size(), 1u);
        const QRect c = canvas.FindText(QStringLiteral("centred"))[0].bounds;
        EXPECT_NEAR(c.center().x(), box.left() + (400 - 2 * v.GapX) * zoom / 2 + v.GapX * zoom, 3 * zoom);
    }
}

TEST(RichViewDraw, ZeroSizeDrawsOnlyBackgroundAndFrame) {
    GlobalsGuard globals;
    TkvRichView v;
    v.SetBounds(0, 0, 0, 50);
    v.RichText = "{\\rtf1 text}";
    v.FillColor = 0xFFFFFF;
    TkvRecordingCanvas canvas;
    v.Draw(canvas);
    EXPECT_TRUE(canvas.FindText(QStringLiteral("text")).empty());
}

TEST(RichViewExport, PlainTextAndLines) {
    TkvRichView v;
    v.SetBounds(0, 0, 60, 100);
    v.RichText = R"({\rtf1 alpha beta gamma delta\par\trowd\cellx1000\cellx2000\pard\intbl a\cell b\cell\row})";
    EXPECT_EQ(v.PlainText(), QStringLiteral("alpha beta gamma delta\na\tb"));
    const QStringList lines = v.TextLines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.last(), QStringLiteral("a\tb"));
    EXPECT_EQ(lines.mid(0, lines.size() - 1).join(' '), QStringLiteral("alpha beta gamma delta"));
}

} // namespace
