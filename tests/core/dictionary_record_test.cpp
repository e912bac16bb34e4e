// The dictionary record and file: markers -1 and -2, name toggling, the old record layout, the
// designer's alias and category queries and refused file versions.
#include "base/stream_text.h"
#include "base/stream_version.h"
#include "core/template/data_dictionary.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Record(int16_t marker, const QList<QPair<QByteArray, QByteArray>>& vars,
                  const QList<QPair<QByteArray, QByteArray>>& aliases) {
    TkvMemoryStream s;
    s.WriteWord(static_cast<uint16_t>(marker));
    for (const auto* list : {&vars, &aliases}) {
        s.WriteInt(static_cast<int32_t>(list->size()));
        for (const auto& [n, v] : *list) {
            kv::WriteStreamString(s, n);
            kv::WriteStreamString(s, v);
        }
    }
    s.WriteInt(1);
    kv::WriteStreamString(s, "Band1Source");
    kv::WriteStreamString(s, "");
    return s.TakeData();
}

TkvDataDictionary Read(const QByteArray& bytes) {
    TkvDataDictionary d;
    TkvMemoryStream s(bytes);
    d.LoadFromStream(s);
    return d;
}

TEST(DictionaryRecord, MarkersToggleAndCleanUp) {
    const QList<QPair<QByteArray, QByteArray>> vars = {{"Main", ""}, {" Total", "[Qty] * [Price]"}};
    const QList<QPair<QByteArray, QByteArray>> aliases = {{"Orders.Missing", ""}, {"Orders", "Sales"}};
    // Marker -1: unresolvable field keys with empty aliases and empty band aliases go.
    const TkvDataDictionary old = Read(Record(-1, vars, aliases));
    EXPECT_EQ(old.Variables.Name(0), " Main"); // first name without a blank: every name toggled
    EXPECT_EQ(old.Variables.Name(1), "Total");
    EXPECT_FALSE(old.FieldAliases.Contains("Orders.Missing"));
    EXPECT_TRUE(old.FieldAliases.Contains("Orders"));
    EXPECT_EQ(old.BandDatasources.Count(), 0);
    // Marker -2 keeps them.
    const TkvDataDictionary cur = Read(Record(-2, vars, aliases));
    EXPECT_TRUE(cur.FieldAliases.Contains("Orders.Missing"));
    EXPECT_EQ(cur.BandDatasources.Count(), 1);

    TkvMemoryStream out;
    cur.SaveToStream(out);
    EXPECT_EQ(Read(out.Data()).Variables.Name(0), " Main");
}

TEST(DictionaryRecord, OldLayoutBecomesCategoriesAndFieldReferences) {
    TkvMemoryStream s;
    s.WriteInt(2);
    auto shortString = [&](const QByteArray& t) {
        s.WriteByte(static_cast<uint8_t>(t.size()));
        s.WriteBytes(t);
    };
    s.WriteByte(1);
    s.WriteInt(0);
    shortString("Orders");
    shortString("Date");
    shortString("OrderDate");
    s.WriteByte(2);
    s.WriteInt(8);
    shortString("");
    shortString("");
    shortString("Pages");
    kv::WriteStreamMemo(s, {"Main", " OrderDate", " Pages"});
    const TkvDataDictionary d = Read(s.TakeData());
    ASSERT_EQ(d.Variables.Count(), 3);
    EXPECT_EQ(d.Variables.Name(0), " Main");
    EXPECT_EQ(d.Variables.Name(1), "OrderDate");
    EXPECT_EQ(d.Variables.Value(1).toText(), "Orders.\"Date\"");
    EXPECT_EQ(d.Variables.Value(2).toText(), "TOTALPAGES");
    EXPECT_EQ(d.FieldAliases.Count(), 0);
    EXPECT_EQ(d.GetCategoryList(), TkvStringList{"Main"});
    EXPECT_EQ(d.GetVariableList("main"), TkvStringList({"OrderDate", "Pages"}));
}

TEST(DictionaryRecord, CountsBeyondTheBytesLeftAreRefused) {
    TkvMemoryStream s;
    s.WriteWord(static_cast<uint16_t>(-2));
    s.WriteInt(1000000);
    TkvMemoryStream in(s.TakeData());
    TkvDataDictionary d;
    EXPECT_THROW(d.LoadFromStream(in), TkvStreamError);
}

TEST(DictionaryRecord, AliasesAndDisabledDatasets) {
    TkvDataDictionary d;
    d.FieldAliases.SetVariable("Customers", TkvVariant(QByteArray("Clients")));
    d.FieldAliases.SetVariable("Customers.Name", TkvVariant(QByteArray("Client name")));
    EXPECT_EQ(d.DatasetOfAlias("clients"), "Customers");
    EXPECT_EQ(d.FieldOfAlias("Client name"), "Name");
    EXPECT_EQ(d.AliasOf("Customers"), "Clients");
    EXPECT_EQ(d.AliasOf("Orders"), "Orders");

    struct Case {
        const char* entry;
        const char* name;
        bool enabled;
    } cases[] = {{"Cust*", "Customers", false},
                 {"Cust*", "CustOrders", false},
                 {"Cust*", "customers", true},
                 {"customers", "Customers", false},
                 {"Orders", "Customers", true}};
    for (const Case& c : cases) {
        d.DisabledDatasets = {c.entry};
        EXPECT_EQ(d.IsDatasetEnabled(c.name), c.enabled) << c.entry << " / " << c.name;
    }

    QByteArray ds, f;
    EXPECT_TRUE(TkvDataDictionary::SplitDottedName("Clients.\"Client name\"", ds, f));
    EXPECT_EQ(ds, "Clients");
    EXPECT_EQ(f, "Client name");
    EXPECT_TRUE(TkvDataDictionary::SplitDottedName("T.\"A.B\"", ds, f));
    EXPECT_EQ(ds, "T");
    EXPECT_EQ(f, "A.B");
    EXPECT_FALSE(TkvDataDictionary::SplitDottedName("\"A.B\"", ds, f));
}

TEST(DictionaryRecord, FilesRoundTripAndUnknownVersionsAreRefused) {
    QTemporaryDir dir;
    TkvDataDictionary d;
    d.Variables.SetVariable(" Main", TkvVariant(QByteArray()));
    d.Variables.SetVariable("Total", TkvVariant(QByteArray("1+2")));
    const QString path = dir.filePath("a.kvd");
    d.SaveToFile(path);
    TkvDataDictionary back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.Variables.Count(), 2);
    EXPECT_EQ(back.Variables.Value(1).toText(), "1+2");

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.write("\x63", 1);
    f.close();
    EXPECT_THROW(back.LoadFromFile(path), TkvDictionaryError);
    EXPECT_EQ(kv::StreamVersion, kv::CurrentStreamVersion);
}

} // namespace
