// The report's interpreter: where assignments go, names and functions through the report's hooks,
// the library dispatch order, and FIELDISNULL over a record set.
#include "engine/script/database_function_library.h"
#include "engine/script/report_interpretator.h"

#include "base/function_library_registry.h"
#include "core/template/data_dictionary.h"
#include "engine/data/record_set.h"
#include "engine/data/row_sources.h"
#include "script/function_context.h"
#include "script/std_function_library.h"

#include <gtest/gtest.h>

namespace {

using V = TkvVariant;

TEST(ReportInterpretator, AssignmentsGoWhereTheNameLives) {
    TkvVariables variables;
    variables.SetVariable("Known", V(1));
    TkvDataDictionary dictionary;
    dictionary.Variables.SetVariable("DictVar", V("[Price] * 2"));
    QList<QByteArray> events;
    TInterpretator in;
    in.Variables = &variables;
    in.Dictionary = &dictionary;
    in.SetModalResult = [&](int64_t v) { events.append("modal " + QByteArray::number(v)); };
    in.SetCurY = [&](int64_t v) { events.append("cury " + QByteArray::number(v)); };
    in.ShowProgress = [&](const QByteArray& t) { events.append("progress " + t); };
    in.ResolveName = [&](const QByteArray& name, V& value) {
        if (variables.Contains(name)) value = variables.GetVariable(name);
    };
    TkvStringList compiled, errors;
    in.Compile({"begin known := 2; dictvar := 'x'; ModalResult := 1; CurY := 100; Progress := 'half'; x := 5; "
                "y := x + known end"},
               compiled, errors);
    ASSERT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
    in.Execute(compiled);
    EXPECT_EQ(variables.GetVariable("Known").toInt(), 2);
    EXPECT_EQ(dictionary.Variables.GetVariable("DictVar").toText(), "x");
    EXPECT_EQ(events, (QList<QByteArray>{"modal 1", "cury 100", "progress half"}));
    // Neither a variable nor a dictionary variable nor a property: a new library-wide variable.
    EXPECT_EQ(variables.GetVariable("x").toInt(), 5);
    EXPECT_EQ(variables.GetVariable("y").toInt(), 7);
    EXPECT_FALSE(variables.Contains("MODALRESULT"));
}

TEST(ReportInterpretator, LibrariesAreAskedInRegistrationOrder) {
    kv::UnregisterAllFunctionLibraries();
    ASSERT_TRUE(kv::RegisterFunctionLibrary("TkvStdFunctionLibrary", [] { return std::make_unique<TkvStdFunctionLibrary>(); }));
    ASSERT_TRUE(kv::RegisterFunctionLibrary("TDatabaseFunctionLibrary", [] { return std::make_unique<TDatabaseFunctionLibrary>(); }));
    TInterpretator in;
    TkvFunctionContext context;
    context.Evaluate = [&](const QByteArray& e) { return in.Parser().Evaluate(e); };
    in.ResolveFunction = [&](const QByteArray& name, const V& p1, const V& p2, const V& p3, V& value) {
        if (!kv::CallFunctionLibraries(context, name, p1, p2, p3, value)) value = V("unknown");
    };
    EXPECT_EQ(in.Parser().Evaluate("NAMECASE('jOHN')").toText(), "John");
    EXPECT_EQ(in.Parser().Evaluate("NOSUCH(1)").toText(), "unknown");
    // Without a default dataset no field is found: FIELDISNULL answers true.
    EXPECT_EQ(in.Parser().Evaluate("FIELDISNULL('Phone')").toBool(), true);
    kv::UnregisterAllFunctionLibraries();
}

TEST(ReportInterpretator, FieldIsNullReadsTheCurrentRecord) {
    TkvRecordSet customers("Customers", std::make_unique<TkvMemoryRowSource>(
                                            std::vector<TkvColumn>{{"Name", TkvFieldType::String},
                                                                   {"Phone", TkvFieldType::String}},
                                            std::vector<TkvRow>{{V("Ann"), V::Null()}, {V("Bob"), V("555")}}));
    customers.Open();
    TkvParser parser;
    TkvFunctionContext context;
    context.Evaluate = [&](const QByteArray& e) { return parser.Evaluate(e); };
    context.DefaultDataset = [&]() -> TkvComponent* { return &customers; };
    TDatabaseFunctionLibrary library;
    V value;
    ASSERT_TRUE(library.TryFunction(context, "FIELDISNULL", V("'Phone'"), V(""), V(""), value));
    EXPECT_EQ(value, V(true));
    customers.Next();
    library.TryFunction(context, "fieldisnull", V("'Phone'"), V(""), V(""), value);
    EXPECT_EQ(value, V(false));
    EXPECT_THROW(library.TryFunction(context, "FIELDISNULL", V("'Fax'"), V(""), V(""), value), TkvExpressionError);
    EXPECT_FALSE(library.TryFunction(context, "SUM", V(""), V(""), V(""), value));
}

} // namespace
