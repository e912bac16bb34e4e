// Dialog pages before the report pages: shown through the program's dialog host with their visual
// controls, the page script as the form opens, MODALRESULT, a Cancel that ends the build with no
// pages, and builds without a host that only run the scripts.
#include "build_fixture.h"

#include "base/constants.h"
#include "core/views/control.h"
#include "core/views/non_visual_control.h"
#include "engine/build/dialog_host.h"

#include <gtest/gtest.h>

using kvtest::BuildFixture;

namespace {

class FakeDialogs : public TkvDialogHost {
public:
    int ShowDialog(TkvDialogPage& dialog) override {
        ++Shown;
        Caption = dialog.Page.Caption;
        Controls = int(dialog.Controls.size());
        const int preset = dialog.Activate();
        return preset ? preset : Answer;
    }
    int Answer = kv::mrOk;
    int Shown = 0;
    int Controls = 0;
    QByteArray Caption;
};


// A dialog page before the fixture's report page, with one visual and one non-visual control.
TkvPage* AddDialogPage(BuildFixture& f, const TkvStringList& script, bool withVisualControl = true) {
    auto page = std::make_unique<TkvPage>(9, 0, 0, -1, 0);
    page->PageType = kvpt::Dialog;
    page->Name = "Ask";
    page->Caption = "Which shop?";
    page->Script = script;
    if (withVisualControl) {
        auto edit = std::make_unique<TkvControl>();
        edit->Name = "ShopEdit";
        page->Objects.push_back(std::move(edit));
    }
    auto query = std::make_unique<TkvNonVisualControl>();
    query->Name = "Query1";
    page->Objects.push_back(std::move(query));
    TkvPage* raw = page.get();
    f.report.Pages.List.insert(f.report.Pages.List.begin(), std::move(page));
    return raw;
}

TEST(DialogPages, ShownBeforeTheReportPagesAndCancelEndsTheBuild) {
    struct Case {
        const char* what;
        bool host;
        int answer;              // of the host
        const char* script;      // of the dialog page
        bool visualControl;
        bool pageVisible;
        bool doublePass;
        int shown;               // dialogs the host showed
        const char* pages;       // built pages, empty when cancelled
    } cases[] = {
        {"OK", true, kv::mrOk, "Shop := 'Corner'", true, true, false, 1, "[Shop Corner]"},
        {"Cancel", true, kv::mrCancel, "Shop := 'Corner'", true, true, false, 1, ""},
        {"the script closes it with OK", true, kv::mrCancel, "Shop := 'Set'; MODALRESULT := mrOk", true, true, false,
         1, "[Shop Set]"},
        {"shown once in two passes", true, kv::mrOk, "Shop := 'Corner'", true, true, true, 1, "[Shop Corner]"},
        {"no host: the script only", false, kv::mrCancel, "Shop := 'Default'", true, true, false, 0,
         "[Shop Default]"},
        {"no host, the script cancels", false, kv::mrOk, "MODALRESULT := mrCancel", true, true, false, 0, ""},
        {"no visual control: not shown", true, kv::mrCancel, "Shop := 'Quiet'", false, true, false, 0,
         "[Shop Quiet]"},
        {"invisible page: not shown", true, kv::mrCancel, "Shop := 'Hidden'", true, false, false, 0,
         "[Shop Hidden]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildFixture f;
        f.AddBand(kvbt::Title, 20, 20, "Title");
        f.AddText(20, 20, 200, 18, "Shop [Shop]");
        f.vars.push_back({"Shop", TkvVariant(QByteArray("none"))});
        TkvPage* dialog = AddDialogPage(f, {c.script}, c.visualControl);
        dialog->PageVisible = c.pageVisible;
        f.report.DoublePassReport = c.doublePass;
        std::vector<QByteArray> customized;
        f.report.OnCustomizeObject = [&](TkvView* v) { customized.push_back(v->Name); };
        FakeDialogs host;
        host.Answer = c.answer;
        f.setup = [&](TkvReportBuilder& b) {
            if (c.host) b.Dialogs = &host;
        };
        const TkvBuildResult r = f.Build();
        f.page = f.report.Page(1);
        const bool cancelled = *c.pages == 0;
        EXPECT_TRUE(r.ErrorText.isEmpty()) << r.ErrorText.constData();
        EXPECT_EQ(r.Ok, !cancelled);
        EXPECT_EQ(r.DialogCancelled, cancelled);
        EXPECT_EQ(host.Shown, c.shown);
        if (c.shown) {
            EXPECT_EQ(host.Caption, "Which shop?");
            EXPECT_EQ(host.Controls, 1);
        }
        EXPECT_EQ(customized, std::vector<QByteArray>{"Query1"});
        EXPECT_EQ(f.AllText().toStdString(), c.pages);
    }
}

TEST(DialogPages, AScriptErrorOnADialogPageIsTheBuildError) {
    BuildFixture f;
    f.AddBand(kvbt::Title, 20, 20, "Title");
    f.AddText(20, 20, 200, 18, "x");
    AddDialogPage(f, {"Shop := ;"});
    FakeDialogs host;
    f.setup = [&](TkvReportBuilder& b) { b.Dialogs = &host; };
    const TkvBuildResult r = f.Build();
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.ErrorText.contains("Ask")) << r.ErrorText.constData();
    EXPECT_EQ(f.report.EMFPages.Count(), 0);
}

} // namespace
