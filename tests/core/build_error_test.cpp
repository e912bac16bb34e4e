// The error text of a failed build.
#include "core/report/build_error.h"
#include "core/globals.h"
#include "core/report/report.h"

#include <gtest/gtest.h>

namespace {

class MemoLikeView : public TkvView {
public:
    void Draw(TkvCanvas&) override {}
};

class BuildErrorTest : public ::testing::Test {
protected:
    BuildErrorTest() {
        report.Name = "Report1";
        view.Name = "Memo1";
        view.Memo = {"[Price]", "x"};
        kv::CurReport() = &report;
        kv::MasterReport() = &master;
        kv::CurView() = &view;
        kv::ErrorFlag() = false;
    }
    ~BuildErrorTest() override {
        kv::CurReport() = nullptr;
        kv::MasterReport() = nullptr;
        kv::CurView() = nullptr;
        kv::ErrorFlag() = savedFlag_;
        kv::ErrorText() = savedText_;
    }

    TkvReport report, master;
    MemoLikeView view;

private:
    bool savedFlag_ = kv::ErrorFlag();
    QByteArray savedText_ = kv::ErrorText();
};

TEST_F(BuildErrorTest, WithAViewTheMemoLinesAndTheObjectLineAreIncluded) {
    kv::ErrorText() = "earlier text";
    kv::SetBuildError("Undefined symbol \"X\"");
    EXPECT_TRUE(kv::ErrorFlag());
    EXPECT_TRUE(master.Terminated); // the outermost report stops, not the part being built
    EXPECT_FALSE(report.Terminated);
    EXPECT_EQ(kv::ErrorText(),
              "An error occured during calculating\r[Price]\rx\r\rReport: Report1\rObject: Memo1\r\r"
              "Undefined symbol \"X\"");
}

TEST_F(BuildErrorTest, WithoutAViewTheObjectLineIsLeftOut) {
    kv::CurView() = nullptr;
    kv::MasterReport() = nullptr; // no outermost report: nothing to stop, no failure either
    kv::SetBuildError("boom");
    EXPECT_EQ(kv::ErrorText(), "An error occured during calculating\r\rReport: Report1\r\rboom");
}

} // namespace
