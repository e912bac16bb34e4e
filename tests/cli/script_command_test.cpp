// kvtool script through the binary: compiled listings, runs with variables, error lines and exit
// codes, the step bound, and INPUT answering its default without a display.
#include "support/kvtool_runner.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using kvtest::ToolRun;

ToolRun Kvtool(const QStringList& args) {
    return kvtest::RunKvtool(QStringList{"script"} + args, 60000, kvtest::FixedFormatEnvironment());
}

TEST(KvtoolScript, CompilesAndRuns) {
    struct Case {
        QStringList args;
        const char* out;
    } cases[] = {
        {{"--compile", "-e", "if x > 1 then y := 1 else y := 2"}, "0: IFNOT 3 x 1 >\n1: y := 1\n2: GOTO 4\n3: y := 2\n"},
        {{"-e", "begin s := 0; for i := 1 to 4 do s := s + i; t := 'done' end"}, "i=5\ns=10\nt=done\n"},
        {{"--var", "x=3", "-e", "if x > 1 then y := x * 2"}, "y=6\n"},
        {{"--var", "name=ann", "-e", "n := NAMECASE(name)"}, "n=Ann\n"},
        {{"-e", "begin A[2] := 5; b := A[2] end"}, "A[2]=5\nb=5\n"},
        {{"-e", "{nothing}"}, ""},
    };
    for (const Case& c : cases) {
        const ToolRun r = Kvtool(c.args);
        EXPECT_EQ(r.exitCode, 0) << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, c.out) << c.args.join(' ').toStdString();
    }
}

TEST(KvtoolScript, ErrorsAreOneLineWithAStatus) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("bad.kvs");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("begin\n  a := 1\n  b := 2\nend\n");
    f.close();
    struct Case {
        QStringList args;
        int code;
        const char* err;
    } cases[] = {
        {{file}, 1, "kvtool: script: 3:3: Need \";\" or \"end\" here\n"},
        {{"--compile", "-e", "begin a := 1 b := 2 end"},
         1,
         "kvtool: script: 1:14: Need \";\" or \"end\" here\n"},
        {{"-e", "x := 'a' - 1"}, 1, nullptr},
        {{"--max-steps", "500", "-e", "while 1 do x := 1"},
         1,
         "kvtool: script: 1:7: The script was stopped after 500 steps\n"},
        // Run errors name the line and column of the statement's expression.
        {{"-e", "begin\n  x := 1;\n  y := 5 MOD 0\nend."}, 1, "kvtool: script: 3:8: Division by zero\n"},
        {{dir.filePath("missing.kvs")}, 2, nullptr},
        {{"--bogus"}, 2, nullptr},
        {{}, 2, nullptr},
        {{"--var", "novalue", "-e", "x := 1"}, 2, nullptr},
    };
    for (const Case& c : cases) {
        const ToolRun r = Kvtool(c.args);
        EXPECT_EQ(r.exitCode, c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("kvtool: script: ")) << r.err.toStdString();
        if (c.err) {
            EXPECT_EQ(r.err, c.err);
        }
    }
}

TEST(KvtoolScript, DialogsAnswerTheirDefaultWithoutADisplay) {
    const ToolRun r = Kvtool({"-e", "begin y := INPUT('Year?', '2024'); b := MESSAGEBOX('Go on?', 'Run', 4) end"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "b=6\ny=2024\n");
    EXPECT_EQ(r.err, "INPUT: Year? [2024]\nMESSAGEBOX: Run: Go on?\n");
}

} // namespace
