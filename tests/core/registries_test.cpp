// The add-in object, function library and designer tool registries, and the view
// factory's handling of unregistered add-in classes.
#include "base/function_library_registry.h"
#include "core/globals.h"
#include "core/tools_registry.h"
#include "core/views/view_factory.h"

#include <gtest/gtest.h>

namespace {

class TestAddIn : public TkvView {
public:
    const char* ClassName() const override { return "TkvTestAddIn"; }
    void Draw(TkvCanvas&) override {}
};

// Every test starts and ends with empty registries and the error globals restored.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override {
        Reset();
        kv::ErrorFlag() = savedFlag_;
        kv::ErrorText() = savedText_;
        kv::NextViewID() = savedId_;
    }
    static void Reset() {
        kv::UnregisterAllAddIns();
        kv::UnregisterAllFunctionLibraries();
        kv::ClearTools();
    }

private:
    bool savedFlag_ = kv::ErrorFlag();
    QByteArray savedText_ = kv::ErrorText();
    uint32_t savedId_ = kv::NextViewID();
};

TEST_F(RegistryTest, SameAddInClassTwiceLeavesOneEntry) {
    auto make = [] { return std::make_unique<TestAddIn>(); };
    EXPECT_TRUE(kv::RegisterAddInObject("TkvTestAddIn", make, {}, "55223"));
    EXPECT_TRUE(kv::RegisterAddInObject("TkvTestAddIn", make));
    ASSERT_EQ(kv::AddInObjects().size(), 1u);
    EXPECT_EQ(kv::AddInObjects()[0].ButtonHint, "55223");
    EXPECT_EQ(kv::AddInObjects()[0].Flag, 0);

    kv::NextViewID() = 40;
    std::unique_ptr<TkvView> v = kv::CreateViewByType(10, "TkvTestAddIn");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->ObjectType, 10);
    EXPECT_EQ(v->ID, 40u);
    EXPECT_EQ(kv::NextViewID(), 41u);
}

TEST_F(RegistryTest, UnregisteredAddInClassesAccumulateInErrorText) {
    kv::ErrorFlag() = false;
    kv::ErrorText().clear();
    try {
        kv::CreateViewByType(10, "TkvGone");
        FAIL() << "no failure raised";
    } catch (const TkvClassNotFound& e) {
        EXPECT_STREQ(e.what(), "TkvGone\r");
    }
    EXPECT_TRUE(kv::ErrorFlag());
    // Class names compare exactly: a different case is another class.
    kv::RegisterAddInObject("TkvTestAddIn", [] { return std::make_unique<TestAddIn>(); });
    try {
        kv::CreateViewByType(10, "tkvtestaddin");
        FAIL() << "no failure raised";
    } catch (const TkvClassNotFound& e) {
        EXPECT_STREQ(e.what(), "TkvGone\rtkvtestaddin\r");
    }
    EXPECT_EQ(kv::ErrorText(), "TkvGone\rtkvtestaddin\r");
}

TEST_F(RegistryTest, RegistriesHoldAtMost64Entries) {
    for (int i = 0; i < 65; ++i) {
        EXPECT_EQ(kv::RegisterAddInObject("C" + QByteArray::number(i),
                                          [] { return std::make_unique<TestAddIn>(); }),
                  i < 64);
        EXPECT_EQ(kv::RegisterTool({"tool", {}, {}}), i < 64);
    }
    EXPECT_EQ(kv::AddInObjects().size(), 64u);
    EXPECT_EQ(kv::Tools().size(), 64u);
}

class NamedLibrary : public TkvFunctionLibrary {
public:
    NamedLibrary(const char* name, int* alive) : name_(name), alive_(alive) { ++*alive_; }
    ~NamedLibrary() override { --*alive_; }
    const char* ClassName() const override { return name_; }

private:
    const char* name_;
    int* alive_;
};

TEST_F(RegistryTest, FunctionLibrariesAreCreatedOnceAndDestroyedOnUnregister) {
    int alive = 0;
    std::vector<QByteArray> removed;
    kv::FunctionLibraryRemovedHook = [&](TkvFunctionLibrary& lib) { removed.push_back(lib.ClassName()); };
    auto factory = [&](const char* name) {
        return [&alive, name] { return std::make_unique<NamedLibrary>(name, &alive); };
    };
    EXPECT_TRUE(kv::RegisterFunctionLibrary("TkvStdFunctionLibrary", factory("TkvStdFunctionLibrary")));
    EXPECT_TRUE(kv::RegisterFunctionLibrary("TDatabaseFunctionLibrary", factory("TDatabaseFunctionLibrary")));
    EXPECT_TRUE(kv::RegisterFunctionLibrary("TkvStdFunctionLibrary", factory("TkvStdFunctionLibrary")));
    EXPECT_EQ(alive, 2);
    ASSERT_EQ(kv::FunctionLibraries().size(), 2u);
    EXPECT_STREQ(kv::FunctionLibraries()[0]->ClassName(), "TkvStdFunctionLibrary");

    kv::UnregisterFunctionLibrary("TkvStdFunctionLibrary");
    EXPECT_EQ(alive, 1);
    ASSERT_EQ(kv::FunctionLibraries().size(), 1u);
    EXPECT_STREQ(kv::FunctionLibraries()[0]->ClassName(), "TDatabaseFunctionLibrary");
    kv::UnregisterFunctionLibrary("TNoSuchLibrary");
    kv::UnregisterAllFunctionLibraries();
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(removed, (std::vector<QByteArray>{"TkvStdFunctionLibrary", "TDatabaseFunctionLibrary"}));
    kv::FunctionLibraryRemovedHook = nullptr;
}

} // namespace
