// The edit cycle of one prepared page, with a designer of the test's own registered in the library
// context: Yes packs the edited views, No and an unchanged page leave the packed bytes as they
// were, a failure inside restores everything, and the report's template is back afterwards.
#include "core/globals.h"
#include "core/library_context.h"
#include "core/report/report.h"
#include "core/views/memo_view.h"
#include "core/template/template_stream.h"
#include "core/views/standard_views.h"

#include <gtest/gtest.h>

namespace {

// Does to the page what a user would, then closes; records what it saw.
class FakeDesigner : public TkvReportDesignerHost {
public:
    struct Script {
        bool change = false;     // change the text of the first object
        bool throwInside = false; // fail while shown
        TkvReport* seenReport = nullptr;
        int seenPages = -1;
        TkvReportDesignerHost* seenCurrent = nullptr;
        TkvDesignerMode seenMode = TkvDesignerMode::Template;
    };
    FakeDesigner(TkvReport& report, Script& script) : report_(report), script_(script) {}
    bool IsModified() const override { return modified_; }
    void SetModified(bool m) override { modified_ = m; }
    void ShowModal() override {
        script_.seenReport = kv::CurReport();
        script_.seenPages = report_.PageCount();
        script_.seenCurrent = kv::Library().CurDesigner;
        if (script_.throwInside) throw TkvError("the designer broke");
        if (script_.change) {
            static_cast<TkvMemoView&>(*report_.Page(0)->Objects.front()).Memo = {"Edited"};
            modified_ = true;
        }
    }
    void RedrawPage() override {}
    void SelectObject(const QByteArray&) override {}
    TkvPage* CurrentPage() const override { return report_.Page(0); }

private:
    TkvReport& report_;
    Script& script_;
    bool modified_ = false;
};

// The report's template as bytes, without stamping the time of the last change.
QByteArray TemplateBytes(TkvReport& report) {
    TkvMemoryStream s;
    kv::SaveTemplate(report, s, false);
    return s.TakeData();
}

class EditPreparedPage : public ::testing::Test {
protected:
    void SetUp() override {
        kv::RegisterStandardViews();
        // The report's own template: one design page with one named object.
        TkvPage* design = report.Page(report.Pages.Add());
        auto memo = std::make_unique<TkvMemoView>();
        memo->Name = "DesignText";
        design->Objects.push_back(std::move(memo));
        // A prepared page with a text "Original".
        report.EMFPages.InsertPage(0, *design);
        TkvPage& page = report.EMFPages.UnpackPage(0);
        auto text = std::make_unique<TkvMemoView>();
        text->Name = "Text1";
        text->SetBounds(10, 10, 200, 20);
        text->Memo = {"Original"};
        page.Objects.push_back(std::move(text));
        report.EMFPages.PackPage(0);
        report.EMFPages.ReleasePage(0);
        templateBefore = TemplateBytes(report);
        packedBefore = report.EMFPages.PageInfo(0).Packed.Data();
    }

    QByteArray PageText() {
        TkvPage& page = report.EMFPages.UnpackPage(0);
        const QByteArray text = static_cast<TkvMemoView&>(*page.Objects.front()).Memo.value(0);
        report.EMFPages.ReleasePage(0);
        return text;
    }

    TkvReport report;
    QByteArray templateBefore, packedBefore;
};

TEST_F(EditPreparedPage, YesPacksTheChangesNoAndFailuresLeaveThePageAsItWas) {
    using Outcome = TkvEditPageResult::Outcome;
    const struct {
        const char* what;
        bool change, throwInside, answer;
        Outcome outcome;
        QByteArray text;
        bool asked;
    } cases[] = {
        {"changed, Yes", true, false, true, Outcome::Saved, "Edited", true},
        {"changed, No", true, false, false, Outcome::Dropped, "Original", true},
        {"unchanged", false, false, true, Outcome::Unchanged, "Original", false},
        {"failure inside", false, true, true, Outcome::Failed, "Original", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        report.Clear();
        report.EMFPages.Clear();
        SetUp();
        FakeDesigner::Script script;
        script.change = c.change;
        script.throwInside = c.throwInside;
        const TkvSetForScope<TkvDesignerFactory> registered(
            kv::Library().DesignerFactory, [&script](TkvReport& r, TkvDesignerMode mode) {
                script.seenMode = mode;
                return std::make_unique<FakeDesigner>(r, script);
            });
        FakeDesigner::Script outerScript;
        FakeDesigner outer(report, outerScript);
        const TkvSetForScope<TkvReportDesignerHost*> open(kv::Library().CurDesigner, &outer);
        TkvReport other;
        const TkvSetForScope<TkvReport*> current(kv::CurReport(), &other);

        // A prepared file's writer mark and the template's change time are no business of the cycle.
        report.WriterMark = 77;
        const QDateTime lastChange = report.DocLastChange;
        bool asked = false;
        const TkvEditPageResult r = report.EditPreparedPage(0, [&] {
            asked = true;
            return c.answer;
        });
        EXPECT_EQ(r.Result, c.outcome) << r.Message.toStdString();
        EXPECT_EQ(asked, c.asked);
        if (c.outcome == Outcome::Failed) {
            EXPECT_EQ(r.Message, "the designer broke");
        }
        // The designer saw the prepared page as the report's only page, in prepared-page mode.
        EXPECT_EQ(script.seenMode, TkvDesignerMode::PreparedPage);
        EXPECT_EQ(script.seenPages, 1);
        EXPECT_EQ(script.seenReport, &report);
        EXPECT_NE(script.seenCurrent, &outer);
        // Afterwards: the current designer and report, the writer mark, the change time and the
        // template as before; the page released.
        EXPECT_EQ(kv::Library().CurDesigner, &outer);
        EXPECT_EQ(kv::CurReport(), &other);
        EXPECT_EQ(report.WriterMark, 77);
        EXPECT_LE(qAbs(report.DocLastChange.msecsTo(lastChange)), 1);
        EXPECT_EQ(TemplateBytes(report), templateBefore);
        EXPECT_EQ(report.EMFPages.PageInfo(0).Page, nullptr);
        if (c.outcome == Outcome::Saved) EXPECT_NE(report.EMFPages.PageInfo(0).Packed.Data(), packedBefore);
        else EXPECT_EQ(report.EMFPages.PageInfo(0).Packed.Data(), packedBefore);
        EXPECT_EQ(PageText(), c.text);
    }
}

TEST_F(EditPreparedPage, WithoutADesignerOrPageNothingHappens) {
    const TkvSetForScope<TkvDesignerFactory> none(kv::Library().DesignerFactory, {});
    EXPECT_EQ(report.EditPreparedPage(0, [] { return true; }).Result, TkvEditPageResult::Outcome::NoDesigner);
    FakeDesigner::Script script;
    const TkvSetForScope<TkvDesignerFactory> registered(
        kv::Library().DesignerFactory,
        [&script](TkvReport& r, TkvDesignerMode) { return std::make_unique<FakeDesigner>(r, script); });
    const TkvEditPageResult r = report.EditPreparedPage(5, [] { return true; });
    EXPECT_EQ(r.Result, TkvEditPageResult::Outcome::Failed);
    EXPECT_EQ(r.Message, "There is no page 6 to edit");
    EXPECT_EQ(script.seenPages, -1);
    EXPECT_EQ(TemplateBytes(report), templateBefore);
}

} // namespace
