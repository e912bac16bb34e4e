// Library start-up and shutdown: idempotence, hook order, and what is set up and released.
#include "core/globals.h"
#include "core/library_tables.h"
#include "core/locale.h"
#include "core/startup.h"
#include "base/variables.h"
#include "core/views/view_factory.h"

#include <gtest/gtest.h>

namespace {

TEST(StartUp, HooksRunInStageOrderAndStopInReverse) {
    ASSERT_FALSE(kv::IsStarted());
    // Hooks stay registered for the life of the process, so what they touch must too.
    static std::vector<std::string> log;
    auto hook = [](const char* name, kv::TkvStartUpStage stage) {
        kv::AddStartUpHook(
            name, [name] { log.push_back(std::string("start ") + name); },
            [name] { log.push_back(std::string("stop ") + name); }, stage);
    };
    hook("test.compressor", kv::TkvStartUpStage::AfterNamedValues);
    hook("test.parser", kv::TkvStartUpStage::BeforeNamedValues);
    hook("test.dialogform", kv::TkvStartUpStage::AfterNamedValues);
    hook("test.parser", kv::TkvStartUpStage::AfterNamedValues); // same name: ignored
    kv::AddStartUpHook(
        "test.failing", [] {}, [] { throw std::runtime_error("form already gone"); },
        kv::TkvStartUpStage::BeforeNamedValues);

    kv::StartUp();
    kv::StartUp();
    EXPECT_TRUE(kv::IsStarted());
    EXPECT_EQ(kv::BandTypeName(1), "Report summary");
    EXPECT_GT(kv::ConstantsList().Count(), 0);
    const auto& addIns = kv::AddInObjects();
    EXPECT_TRUE(std::any_of(addIns.begin(), addIns.end(),
                            [](const auto& e) { return e.ClassName == "TkvRichView"; }));
    const uint32_t savedId = kv::NextViewID();
    EXPECT_EQ(kv::CreateViewByType(0, {})->ObjectType, 0);
    kv::NextViewID() = savedId;

    // A hook added while running starts at once.
    hook("test.late", kv::TkvStartUpStage::AfterNamedValues);

    kv::LibraryVariables().SetVariable("v", 1);

    kv::ShutDown(); // the failing stop is ignored
    kv::ShutDown();
    EXPECT_FALSE(kv::IsStarted());
    EXPECT_FALSE(kv::LibraryVariables().Contains("v"));

    const std::vector<std::string> want = {
        "start test.parser", "start test.compressor", "start test.dialogform", "start test.late",
        "stop test.late",    "stop test.dialogform",  "stop test.compressor",  "stop test.parser"};
    EXPECT_EQ(log, want);
}

} // namespace
