// Dictionary look-up: field references through aliases, cached fields, variables evaluated per
// read, null field values by type, and cycles between variables.
#include "base/component_directory.h"
#include "core/globals.h"
#include "core/report/report.h"
#include "engine/data/dataset.h"
#include "engine/data/dictionary_lookup.h"
#include "engine/data/row_sources.h"

#include <gtest/gtest.h>

namespace {

// Installs a directory for the test and removes it afterwards.
struct DirectoryGuard {
    TkvDataDirectory dir;
    DirectoryGuard() { kv::SetComponentDirectory(&dir); }
    ~DirectoryGuard() { kv::SetComponentDirectory(nullptr); }
};

TEST(DictionaryLookup, AliasesCacheVariablesNullsAndCycles) {
    DirectoryGuard g;
    TkvDataModule& m = g.dir.AddModule("Data");
    std::vector<TkvRow> rows = {{TkvVariant(QByteArray("Ann")), TkvVariant(2), TkvVariant(true)},
                                {TkvVariant::Null(), TkvVariant::Null(), TkvVariant::Null()}};
    auto* table = m.Add(std::make_unique<TkvRecordSet>(
        "CustomersTable",
        std::make_unique<TkvMemoryRowSource>(
            std::vector<TkvColumn>{{"Name"}, {"Qty", TkvFieldType::Integer}, {"Vip", TkvFieldType::Boolean}},
            std::move(rows))));
    auto* customers = m.Add(std::make_unique<TkvDBDataSet>("Customers"));
    customers->SetDataSet(table);
    TkvReport report;
    kv::CurReport() = &report;

    TkvDataDictionary d;
    d.FieldAliases.SetVariable("Customers", TkvVariant(QByteArray("Clients")));
    d.FieldAliases.SetVariable("Customers.Name", TkvVariant(QByteArray("Client name")));
    d.Variables.SetVariable(" Main", TkvVariant(QByteArray()));
    d.Variables.SetVariable("Who", TkvVariant(QByteArray("Customers.\"Name\"")));
    d.Variables.SetVariable("Twice", TkvVariant(QByteArray("2*Qty")));
    d.Variables.SetVariable("A", TkvVariant(QByteArray("B")));
    d.Variables.SetVariable("B", TkvVariant(QByteArray("A")));
    TkvDictionaryLookup lookup(d);
    int evaluations = 0;
    lookup.Evaluate = [&](const QByteArray& e) -> TkvVariant {
        ++evaluations;
        if (e == "2*Qty")
            return TkvVariant(2 * TkvDictionaryLookup::FieldValue(*table->FieldByName("Qty")).toInt());
        TkvVariant v;
        lookup.GetValue(e, v); // a variable naming another one
        return v;
    };

    TkvVariant v;
    ASSERT_TRUE(lookup.IsVariable("Clients.\"Client name\""));
    lookup.GetValue("Clients.\"Client name\"", v);
    EXPECT_EQ(v.toText(), "Ann");
    ASSERT_TRUE(lookup.IsVariable("Who"));
    EXPECT_EQ(lookup.CacheCount(), 2);
    lookup.GetValue("Who", v);
    EXPECT_EQ(v.toText(), "Ann");
    EXPECT_EQ(evaluations, 0); // cached: read straight from the field
    lookup.GetValue("Twice", v);
    EXPECT_EQ(v.toInt(), 4);
    EXPECT_FALSE(lookup.IsVariable("Customers.\"Missing\""));

    table->Next();
    lookup.GetValue("Twice", v);
    EXPECT_EQ(v.toInt(), 0);
    struct Case {
        const char* name;
        TkvVariant expected;
    } nulls[] = {{"Customers.Name", TkvVariant(QByteArray())},
                 {"Customers.Qty", TkvVariant(0)},
                 {"Customers.Vip", TkvVariant(false)}};
    for (const Case& c : nulls) {
        ASSERT_TRUE(lookup.IsVariable(c.name)) << c.name;
        lookup.GetValue(c.name, v);
        EXPECT_EQ(v, c.expected) << c.name;
    }

    try {
        lookup.GetValue("A", v);
        FAIL() << "a cycle between variables was evaluated";
    } catch (const TkvDataError& e) {
        EXPECT_STREQ(e.what(), "The variable A refers to itself");
    }
    kv::CurReport() = nullptr;
}

} // namespace
