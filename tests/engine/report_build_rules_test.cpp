// Building reports, rules met by small templates: the names a report knows (system variables,
// names looked up whole), texts that split over pages with objects below them, the first page when
// a band is taller than a page, and the [expressions] of rich text objects.
#include "build_fixture.h"

#include "base/codepage.h"
#include "core/store/emf_pages.h"
#include "core/views/rich_view.h"
#include "richtext/rich_text.h"

#include <QDateTime>
#include <gtest/gtest.h>

using kvtest::BuildFixture;
using kvtest::Row;

namespace {

TkvRichView* AddRich(BuildFixture& f, int left, int top, int width, int height, const QByteArray& rtf,
                     uint16_t flags = 0) {
    auto v = std::make_unique<TkvRichView>();
    v->Name = "Rich" + QByteArray::number(int(f.page->Objects.size()));
    v->SetBounds(left, top, width, height);
    v->RichText = rtf;
    v->Flags = flags;
    auto* raw = v.get();
    f.page->Objects.push_back(std::move(v));
    return raw;
}

// The plain texts of the rich text objects of a prepared page, in print order.
QStringList RichTexts(BuildFixture& f, int pageIndex) {
    QStringList out;
    TkvPage& p = f.report.EMFPages.UnpackPage(pageIndex);
    for (const auto& v : p.Objects)
        if (auto* rich = dynamic_cast<TkvRichView*>(v.get())) out << rich->PlainText();
    f.report.EMFPages.ReleasePage(pageIndex);
    return out;
}

TEST(ReportBuildRules, SystemVariablesAndNamesLookedUpWhole) {
    BuildFixture f;
    f.report.DocVersionMajor = "2";
    f.report.DocVersionMinor = "1";
    f.report.DocVersionRelease = "0";
    f.report.DocVersionBuild = "7";
    f.report.DocCreated = QDateTime(QDate(2020, 5, 1), QTime(10, 30));
    f.report.DocLastChange = QDateTime(QDate(2021, 6, 2), QTime(8, 0));
    f.vars.push_back({"Net Total", TkvVariant(int64_t(5))});
    f.AddBand(kvbt::Title, 20, 200, "Title");
    f.AddText(20, 20, 300, 18, "[VMAJOR].[VMINOR].[VRELEASE].[VBUILD]");
    f.AddText(20, 40, 300, 18, "[REPORTDATE #Dyyyy-mm-dd]");
    f.AddText(20, 60, 300, 18, "[Net Total]");
    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    EXPECT_EQ(f.PageText(0).toStdString(), "2.1.0.7, 2020-05-01, 5");
}

// A text that splits over pages moves the objects below it down with it, also when the object
// below comes first in the band: nothing prints on top of the text.
TEST(ReportBuildRules, ObjectsBelowASplitTextPrintBelowItsLastPart) {
    BuildFixture f;
    QByteArray many;
    for (int i = 1; i <= 150; ++i)
        many += "line" + QByteArray::number(i) + "\r\n";
    f.vars.push_back({"LONG", TkvVariant(many)});
    f.AddTable("T", {{"Name"}}, {Row({QByteArray("only")})});
    f.AddBand(kvbt::MasterData, 20, 40, "Rows", "T", kvbf::Stretched);
    f.AddText(20, 42, 300, 18, "below", 0x0002); // first in the band's order
    f.AddText(20, 20, 300, 20, "[LONG]", 0x0003);
    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    ASSERT_GE(r.PageCount, 2);
    int belowPage = -1, belowTop = -1, textPage = -1, textTop = -1;
    for (int p = 0; p < r.PageCount; ++p)
        for (const auto& t : f.Texts(p)) {
            if (t.Text == "below") belowPage = p, belowTop = t.Top;
            if (t.Text.startsWith("line")) textPage = p, textTop = t.Top;
        }
    EXPECT_EQ(belowPage, textPage) << "below prints with the text's last part, not over its first";
    EXPECT_GT(belowTop, textTop);
}

// A band taller than a page after the title and page header starts on page 1, below them.
TEST(ReportBuildRules, ATallFirstBandStartsOnTheFirstPage) {
    BuildFixture f;
    f.AddTable("T", {{"Name"}}, {Row({QByteArray("a")})});
    f.AddBand(kvbt::PageHeader, 20, 20, "PH", {}, kvbf::OnFirstPage);
    f.AddText(20, 20, 200, 18, "Head");
    f.AddBand(kvbt::Title, 50, 30, "Title");
    f.AddText(20, 50, 200, 18, "Title");
    f.AddBand(kvbt::MasterData, 90, 3000, "Tall", "T");
    f.AddText(20, 90, 200, 18, "[T.Name]", 0x0000);
    const TkvBuildResult r = f.Build(20);
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    const auto texts = f.Texts(0);
    ASSERT_EQ(texts.size(), 3u) << f.PageText(0).constData();
    EXPECT_EQ(texts[2].Text, "a");
    EXPECT_EQ(texts[2].Top, 70) << "right below the title";
}

// [expressions] of rich text: values in the report's code page, brackets inside quotes.
TEST(ReportBuildRules, RichTextExpressionsReadCodePageTextsAndQuotedBrackets) {
    BuildFixture f;
    f.vars.push_back({"X", TkvVariant(kv::EncodeText(QStringLiteral("Дом"), kvcs::Default))});
    f.AddBand(kvbt::Title, 20, 100, "Title");
    AddRich(f, 20, 20, 300, 30, R"({\rtf1{\fonttbl{\f0 Arial;}}\f0 Name: [X]\par})");
    AddRich(f, 20, 50, 300, 30, R"({\rtf1{\fonttbl{\f0 Arial;}}\f0 [IF(1, 'a]b', 'c')]!\par})");
    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    const QStringList texts = RichTexts(f, 0);
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0].trimmed(), QStringLiteral("Name: Дом"));
    EXPECT_EQ(texts[1].trimmed(), QStringLiteral("a]b!"));
}

// Field names without their dataset are read from the default dataset: the data band's own.
TEST(ReportBuildRules, BareFieldNamesReadTheDefaultDataset) {
    BuildFixture f;
    f.report.UseDefaultDataSetName = true;
    f.AddTable("Items", {{"name"}, {"qty", TkvFieldType::Integer}, {"note"}},
               {Row({QByteArray("tea"), int64_t(2), TkvVariant::Null()}),
                Row({QByteArray("cake"), int64_t(5), QByteArray("x")})});
    f.AddBand(kvbt::MasterData, 20, 20, "Rows", "Items");
    f.AddText(20, 20, 300, 18, "[name] x[qty] [IF(FIELDISNULL('note'), 'none', [note])]");
    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    EXPECT_EQ(f.AllText().toStdString(), "[tea x2 none, cake x5 x]");
}

// Aggregates are found in the texts and scripts of a band's objects and of the band, also inside
// a branch not taken when they are looked for; an average runs over its own footer's rows.
TEST(ReportBuildRules, AggregatesFoundWhereverTheyAreUsed) {
    struct Case {
        const char* what;
        const char* bandScript;
        const char* summary;
        const char* expected;
    } cases[] = {
        {"used only in the summary band's script", "Total := SUM([T.N])", "total [Total]", "total 10"},
        {"inside a branch taken only later", "", "[IF([Seen] = 1, SUM([T.N]), 'none')]", "10"},
        {"an average over a group footer's rows as well", "", "avg [AVG([T.N]) * 2]", "avg 5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        f.vars.push_back({"Seen", TkvVariant(int64_t(0))});
        f.vars.push_back({"Total", TkvVariant(int64_t(0))});
        f.AddTable("T", {{"G"}, {"N", TkvFieldType::Integer}},
                   {Row({QByteArray("x"), int64_t(1)}), Row({QByteArray("x"), int64_t(2)}),
                    Row({QByteArray("y"), int64_t(3)}), Row({QByteArray("y"), int64_t(4)})});
        f.AddBand(kvbt::GroupHeader, 20, 20, "GH", "T.G");
        auto* rows = f.AddBand(kvbt::MasterData, 50, 20, "Rows", "T");
        rows->ScriptLines = {"Seen := 1"};
        f.AddText(20, 50, 200, 18, "[T.N]");
        f.AddBand(kvbt::GroupFooter, 80, 20, "GF");
        f.AddText(20, 80, 200, 18, "g[SUM([T.N])]");
        auto* summary = f.AddBand(kvbt::Summary, 110, 20, "Sum");
        if (*c.bandScript) summary->ScriptLines = {c.bandScript};
        f.AddText(20, 110, 200, 18, c.summary);
        const TkvBuildResult r = f.Build();
        ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
        EXPECT_EQ(f.AllText().toStdString(), std::string("[1, 2, g3, 3, 4, g7, ") + c.expected + "]");
    }
}

// A view with the notify bit is told of every text object printed.
TEST(ReportBuildRules, NotifiedViewsHearOfEveryPrintedText) {
    // Saved and loaded as a plain text object; counts what it is told while the build runs.
    class Listener : public TkvMemoView {
    public:
        void ViewPrinted(TkvView* printed) override { heard->append(printed->Name); }
        QByteArrayList* heard = nullptr;
    };
    BuildFixture f;
    QByteArrayList heard;
    f.AddTable("T", {{"Name"}}, {Row({QByteArray("a")}), Row({QByteArray("b")})});
    f.AddBand(kvbt::MasterData, 20, 20, "Rows", "T");
    f.AddText(20, 20, 200, 18, "[T.Name]")->Name = "Row";
    auto listener = std::make_unique<Listener>();
    listener->Name = "Listener";
    listener->SetBounds(400, 300, 10, 10);
    listener->Flags = kvflag::Notify;
    listener->heard = &heard;
    f.page->Objects.push_back(std::move(listener));
    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    EXPECT_EQ(heard.count("Row"), 2) << heard.join(',').constData();
}

// An element of an object's list property is written and read through the object.
TEST(ReportBuildRules, ArrayElementsOfObjectProperties) {
    BuildFixture f;
    f.AddTable("T", {{"Name"}}, {Row({QByteArray("a")}), Row({QByteArray("b")})});
    auto* rows = f.AddBand(kvbt::MasterData, 20, 20, "Rows", "T");
    rows->ScriptLines = {"Text1.Lines[0] := 'new ' + [T.Name]"};
    f.AddText(20, 20, 200, 18, "old");
    f.AddText(250, 20, 200, 18, "copy [Text1.Lines[0]]");
    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    EXPECT_EQ(f.AllText().toStdString(), "[new a, copy new a, new b, copy new b]");
}

} // namespace
