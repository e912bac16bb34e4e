// kvtool eval and format through the binary: values, JSON, variables, "--" and leading minus,
// format words and inline formats, the format settings from the environment, and error lines.
#include "support/kvtool_runner.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

using kvtest::ToolRun;

ToolRun Kvtool(const QStringList& args, const QByteArray& settings = "decimal=.;thousands=,;dateSeparator=/;"
                                                                 "shortDate=mm/dd/yyyy;longTime=hh:nn:ss") {
    return kvtest::RunKvtool(args, 30000, kvtest::FixedFormatEnvironment(settings));
}

TEST(KvtoolEval, ValuesAndOptions) {
    struct Case {
        QStringList args;
        const char* out;
    } cases[] = {
        {{"eval", "2+3*4"}, "14\n"},
        {{"eval", "--", "-1+2"}, "1\n"},
        {{"eval", " -1+2"}, "1\n"},
        {{"eval", "-1+2"}, "1\n"},
        {{"eval", "7/2"}, "3.5\n"},
        {{"eval", "'It''s'"}, "It's\n"},
        {{"eval", "[Price] * [Qty] + 1", "--var", "Price=2.5", "--var=Qty=4"}, "11\n"},
        {{"eval", "--var", "Name=Smith", "'Dear ' + [Name]"}, "Dear Smith\n"},
        {{"eval", "1234.5 #N2.2"}, "1234.50\n"},
        {{"eval", "STRTODATE('11/15/1998')"}, "11/15/1998\n"},
        {{"eval", ""}, "0\n"},
        // The function libraries of a report.
        {{"eval", "LENGTH('abcd') + 1"}, "5\n"},
        {{"eval", "UPPERCASE('ab') + LOWERCASE('CD')"}, "ABcd\n"},
        {{"eval", "FORMATFLOAT('0.00', 2.5)"}, "2.50\n"},
        {{"eval", "YEAROF(STRTODATE('12/30/1999') + 2)"}, "2000\n"},
        {{"eval", "FIELDISNULL('x')"}, "True\n"},
        {{"eval", "IF(mrOk = 1, 'ok', 'no')"}, "ok\n"},
    };
    for (const Case& c : cases) {
        const ToolRun r = Kvtool(c.args);
        EXPECT_EQ(r.exitCode, 0) << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, c.out) << c.args.join(' ').toStdString();
    }
}

TEST(KvtoolEval, JsonTypes) {
    struct Case {
        const char* expr;
        const char* type;
        QJsonValue value;
    } cases[] = {
        {"1+2", "integer", 3},
        {"7/2", "float", 3.5},
        {"1=1", "integer", 1},
        {"TRUE", "boolean", true},
        {"'a\"b'", "text", "a\"b"},
        {"STRTODATE('11/15/1998')", "date", "1998-11-15T00:00:00"},
        {"Null", "null", QJsonValue::Null},
    };
    for (const Case& c : cases) {
        const ToolRun r = Kvtool({"eval", "--json", c.expr});
        ASSERT_EQ(r.exitCode, 0) << c.expr << r.err.toStdString();
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        EXPECT_EQ(o["type"].toString(), c.type) << c.expr;
        EXPECT_EQ(o["value"], c.value) << c.expr;
    }
}

TEST(KvtoolFormat, WordsInlineFormatsAndSettings) {
    struct Case {
        QStringList args;
        QByteArray settings;
        const char* out;
    } cases[] = {
        {{"format", "0x101022C", "1234.5"}, "thousands= ", "1234,50\n"},
        {{"format", "0x103022C", "1234.5"}, "thousands= ", "1 234,50\n"},
        {{"format", "0x100022C", "1234.5"}, "thousands= ", "1234,5\n"},
        {{"format", "#N#,##0.00", "1234567.891"}, "thousands=,", "1,234,567.89\n"},
        {{"format", "#N#,##0.00", "1234567.891"}, "thousands=.", "1.234.567.89\n"},
        {{"format", "#Ddd.mm.yyyy", "36114"}, "", "15.11.1998\n"},
        {{"format", "0x2010000", "36114"}, "", "11.15.1998\n"},
        {{"format", "#BNo;Yes", "1"}, "", "Yes\n"},
        {{"format", "--", "#N#0.00", "-2.5"}, "", "-2.50\n"},
        {{"format", "0x1010200", "1,5"}, "decimal=,", "1,50\n"},
    };
    for (const Case& c : cases) {
        const ToolRun r = Kvtool(c.args, c.settings);
        EXPECT_EQ(r.exitCode, 0) << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, c.out) << c.args.join(' ').toStdString();
    }
}

TEST(KvtoolEval, UnknownNamesAndFunctionsAreNamed) {
    const ToolRun name = Kvtool({"eval", "FOO * 2"});
    EXPECT_EQ(name.err, "kvtool: eval: Undefined symbol \"FOO\"\n");
    const ToolRun function = Kvtool({"eval", "1 + NOSUCHFUNCTION(1)"});
    EXPECT_EQ(function.err, "kvtool: eval: Undefined function \"NOSUCHFUNCTION\"\n");
}

TEST(KvtoolExpressions, ErrorsAreOneLineWithStatusTwo) {
    const QList<QStringList> cases = {
        {"eval"},
        {"eval", "(1+2"},
        {"eval", "'open"},
        {"eval", "1", "2"},
        {"eval", "--bogus", "1"},
        {"eval", "1", "--var"},
        {"eval", "1", "--var", "novalue"},
        {"eval", "7 MOD 0"},
        {"eval", "%"},
        // Names and functions found nowhere, as a report reports them.
        {"eval", "FOO * 2"},
        {"eval", "NOSUCHFUNCTION(1)"},
        // A date past the last representable day.
        {"eval", "STRTODATE('12/31/9999') + 1"},
        {"format", "0x101022C"},
        {"format", "0x101022C", "abc"},
        {"format", "zzz", "1"},
        {"format", "#N1.999", "1"},
    };
    for (const QStringList& args : cases) {
        const ToolRun r = Kvtool(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("kvtool: ")) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
}

} // namespace
