// Sub-reports inside bands: pages printed in a band's sub-report objects, side by side from the
// objects' tops, over as many pages as they need, nested, and refused when they form a cycle.
#include "build_fixture.h"

#include "core/store/emf_pages.h"
#include "core/views/subreport_view.h"

#include <gtest/gtest.h>

using kvtest::BuildFixture;
using kvtest::Row;

namespace {

std::vector<TkvRow> Names(const char* prefix, int n) {
    std::vector<TkvRow> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back(Row({QByteArray(prefix + QByteArray::number(i))}));
    return rows;
}

TkvSubReportView* AddSubReport(BuildFixture& f, int left, int top, int width, int height, int page,
                               const QByteArray& name) {
    auto v = std::make_unique<TkvSubReportView>();
    v->Name = name;
    v->SetBounds(left, top, width, height);
    v->SubPageIndex = page;
    auto* raw = v.get();
    f.page->Objects.push_back(std::move(v));
    return raw;
}

// Makes the next objects go to a new page of the report; returns its index.
int StartPage(BuildFixture& f) {
    f.page = BuildFixture::AddPage(f.report);
    return f.report.PageCount() - 1;
}

// A page with one master band of 20 over the data set, printing its Name at the print area's left.
int ListPage(BuildFixture& f, const QByteArray& set) {
    const int index = StartPage(f);
    f.AddBand(kvbt::MasterData, 20, 20, set + "Rows", set);
    f.AddText(20, 20, 200, 18, "[" + set + ".Name]");
    return index;
}

struct Placed {
    int Page, Left, Top;
};

// Where each text was printed, by text.
std::map<QByteArray, Placed> Places(BuildFixture& f, int pages) {
    std::map<QByteArray, Placed> out;
    for (int p = 0; p < pages; ++p)
        for (const auto& t : f.Texts(p))
            out[t.Text] = {p, t.Left, t.Top};
    return out;
}

} // namespace

TEST(SubReports, TwoPrintSideBySideFromTheirTopsAndThePageGoesOnBelowTheTallerOne) {
    BuildFixture f;
    f.AddTable("G", {{"Name"}, {"K"}},
               {Row({QByteArray("a"), QByteArray("x")}), Row({QByteArray("b"), QByteArray("x")}),
                Row({QByteArray("c"), QByteArray("y")})});
    f.AddTable("B", {{"Name"}}, Names("b", 5));
    f.AddBand(kvbt::Title, 20, 30, "Title");
    f.AddText(20, 20, 200, 10, "Top");
    AddSubReport(f, 20, 30, 300, 20, 1, "Left");
    AddSubReport(f, 360, 40, 300, 20, 2, "Right");
    f.AddBand(kvbt::Summary, 100, 20, "Sum");
    f.AddText(20, 100, 200, 18, "After");
    TkvPage* main = f.page;
    // The left one groups its rows (group values are taken while the page is recorded).
    StartPage(f);
    f.AddBand(kvbt::GroupHeader, 20, 20, "GH", "G.K");
    f.AddText(20, 20, 200, 18, "H[G.K]");
    f.AddBand(kvbt::MasterData, 50, 20, "GRows", "G");
    f.AddText(20, 50, 200, 18, "[G.Name]:[LINE#]");
    ListPage(f, "B");
    f.page = main;

    const TkvBuildResult r = f.Build();
    ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
    ASSERT_EQ(r.PageCount, 1) << "the sub-report pages are not built on their own";
    EXPECT_EQ(f.PageText(0).toStdString(), "Top, Hx, a:1, b:2, Hy, c:1, b1, b2, b3, b4, b5, After");
    const auto at = Places(f, 1);
    // Band top 20 (the print area's top); objects 10 and 20 below it.
    const struct {
        const char* text;
        int left, top;
    } expected[] = {{"Hx", 20, 30}, {"a:1", 20, 50}, {"c:1", 20, 110}, {"b1", 360, 40}, {"b5", 360, 120}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.text);
        ASSERT_TRUE(at.count(e.text));
        EXPECT_EQ(at.at(e.text).Left, e.left);
        EXPECT_EQ(at.at(e.text).Top, e.top);
    }
    EXPECT_EQ(at.at("After").Top, 140) << "below the taller sub-report (b5 ends at 140)";
}

TEST(SubReports, ContinueOnNewPagesBelowTheHeadersAndNestedOnesToo) {
    struct Case {
        const char* what;
        bool nested; // the long list is a sub-report of a sub-report
    } cases[] = {{"one level", false}, {"nested", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        f.AddTable("L", {{"Name"}}, Names("r", 120));
        f.AddTable("S", {{"Name"}}, Names("s", 2));
        f.AddBand(kvbt::PageHeader, 20, 30, "PH");
        f.AddText(20, 20, 200, 18, "Head");
        f.AddBand(kvbt::Title, 60, 30, "Title");
        AddSubReport(f, 20, 60, 300, 20, 1, "Long");
        AddSubReport(f, 360, 60, 300, 20, 2, "Short");
        f.AddBand(kvbt::Summary, 100, 20, "Sum");
        f.AddText(20, 100, 200, 18, "After");
        TkvPage* main = f.page;
        if (c.nested) {
            StartPage(f); // page 1: a title holding the list's sub-report
            f.AddBand(kvbt::Title, 20, 20, "Inner");
            f.AddText(20, 20, 200, 18, "Inner");
            AddSubReport(f, 20, 40, 300, 20, 3, "List");
            // The inner title's child follows the list, on the page where the list ended.
            static_cast<TkvBandView*>(f.page->FindObject("Inner"))->ChildBand = "InnerChild";
            f.AddBand(kvbt::Child, 70, 20, "InnerChild");
            f.AddText(20, 70, 200, 18, "InnerEnd");
            ListPage(f, "S");
            ListPage(f, "L");
        } else {
            ListPage(f, "L");
            ListPage(f, "S");
        }
        f.page = main;

        const TkvBuildResult r = f.Build(50);
        ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
        ASSERT_GE(r.PageCount, 3);
        const auto at = Places(f, r.PageCount);
        QByteArray rows;
        int lastPage = 0, lastTop = 0;
        for (int i = 1; i <= 120; ++i) {
            const QByteArray name = "r" + QByteArray::number(i);
            ASSERT_TRUE(at.count(name)) << name.constData();
            const Placed& p = at.at(name);
            if (i == 1) {
                EXPECT_EQ(p.Page, 0);
                EXPECT_EQ(p.Top, c.nested ? 40 : 20) << "at the sub-report object's top";
            } else if (p.Page == lastPage) {
                EXPECT_EQ(p.Top, lastTop + 20) << name.constData();
            } else {
                EXPECT_EQ(p.Page, lastPage + 1) << name.constData();
                EXPECT_EQ(p.Top, 50) << name.constData() << " starts below the new page's header";
            }
            EXPECT_LE(p.Top + 20, f.bottom) << name.constData();
            lastPage = p.Page;
            lastTop = p.Top;
        }
        EXPECT_EQ(at.at("s2").Page, 0);
        EXPECT_EQ(at.at("s2").Left, 360);
        const int below = c.nested ? 20 : 0; // the inner title's child
        if (c.nested) {
            ASSERT_TRUE(at.count("InnerEnd"));
            EXPECT_EQ(at.at("InnerEnd").Page, lastPage);
            EXPECT_EQ(at.at("InnerEnd").Top, lastTop + 20);
        }
        EXPECT_EQ(at.at("After").Page, lastPage);
        EXPECT_EQ(at.at("After").Top, lastTop + 20 + below);
        EXPECT_EQ(r.PageCount, lastPage + 1);
        int heads = 0;
        for (int p = 0; p < r.PageCount; ++p)
            heads += f.PageText(p).count("Head");
        EXPECT_EQ(heads, r.PageCount - 1) << "the page header prints on the pages after the first";
    }
}

TEST(SubReports, PagesThatReachThemselvesOrNoPageAreBuildErrorsNamingTheObject) {
    struct Case {
        const char* what;
        std::vector<std::vector<int>> subReports; // per page: the pages its sub-report objects name
        const char* named;
    } cases[] = {
        {"a page in itself", {{1}, {1}}, "Sub1_0"},
        {"through another page", {{1}, {2}, {1}}, "Sub2_0"},
        {"the first page", {{0}}, "Sub0_0"},
        {"no such page", {{7}}, "Sub0_0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        f.AddTable("T", {{"Name"}}, Names("t", 2));
        for (size_t p = 0; p < c.subReports.size(); ++p) {
            if (p > 0) StartPage(f);
            f.AddBand(kvbt::Title, 20, 30, "Title" + QByteArray::number(p));
            f.AddText(20, 20, 200, 10, "page" + QByteArray::number(p));
            for (size_t i = 0; i < c.subReports[p].size(); ++i)
                AddSubReport(f, 20, 30, 200, 20, c.subReports[p][i],
                             "Sub" + QByteArray::number(p) + "_" + QByteArray::number(i));
        }
        f.page = f.report.Page(0);
        const TkvBuildResult r = f.Build(50);
        EXPECT_FALSE(r.Ok);
        EXPECT_TRUE(r.ErrorText.contains(c.named)) << r.ErrorText.constData();
        EXPECT_EQ(f.report.EMFPages.Count(), 0);
    }
}

// The first of two passes counts the pages sub-reports continue on, so TOTALPAGES is right.
TEST(SubReports, TwoPassesCountThePagesTheyContinueOn) {
    for (const bool twoPasses : {false, true}) {
        SCOPED_TRACE(twoPasses ? "two passes" : "one pass");
        BuildFixture f;
        if (twoPasses) f.report.DoublePassReport = 0xFFFF;
        f.AddTable("L", {{"Name"}}, Names("r", 120));
        f.AddBand(kvbt::Title, 20, 30, "Title");
        AddSubReport(f, 20, 20, 300, 20, 1, "Long");
        f.AddBand(kvbt::PageFooter, 100, 20, "PF", {}, kvbf::OnFirstPage | kvbf::OnLastPage);
        f.AddText(400, 100, 200, 18, "Page [PAGE#] of [TOTALPAGES]");
        TkvPage* main = f.page;
        ListPage(f, "L");
        f.page = main;
        const TkvBuildResult r = f.Build(50);
        ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
        ASSERT_EQ(r.PageCount, 3) << "120 rows of 20 on pages of 1011 less the footer";
        for (int p = 0; p < r.PageCount; ++p) {
            const QByteArray text = f.PageText(p);
            EXPECT_TRUE(text.endsWith("Page " + QByteArray::number(p + 1) + (twoPasses ? " of 3" : " of 0")))
                << text.constData();
        }
    }
}
