// kvtool find through the binary: matches as drawn (case option, texts in another character set),
// positions inside their objects, exit status 0/1/2 and one-line errors.
#include "support/kvp_builder.h"
#include "support/kvtool_runner.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using kvtest::ToolRun;

ToolRun Kvtool(const QStringList& args) {
    return kvtest::RunKvtool(args, 30000);
}

kvpfile::PageSpec PageWithTexts(const std::vector<std::pair<QByteArray, uint16_t>>& texts) {
    kvpfile::PackedPage packed;
    int top = 100;
    for (const auto& [text, charset] : texts) {
        kvpfile::CommonRecord r;
        r.Name = "Memo" + QByteArray::number(top);
        r.Left = 100, r.Top = top, r.Width = 300, r.Height = 30;
        r.Memo = {text};
        kvpfile::TextTail t;
        t.Charset = charset;
        packed.Text(r, t);
        top += 60;
    }
    kvpfile::PageSpec p;
    p.Data = packed.Data();
    return p;
}

class KvtoolFind : public ::testing::Test {
protected:
    void SetUp() override {
        kvpfile::FileSpec f;
        f.Pages.push_back(PageWithTexts({{"abc here", 1}, {"xAbCx", 1}}));
        f.Pages.push_back(PageWithTexts({{"nothing", 1}}));
        // "Привет" in Windows-1251 in an object of the Cyrillic character set.
        f.Pages.push_back(PageWithTexts({{"ABC", 1}, {"\xcf\xf0\xe8\xe2\xe5\xf2", 204}}));
        path = dir.filePath("find.kvp");
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(kvpfile::BuildKvp(f));
    }
    QTemporaryDir dir;
    QString path;
};

TEST_F(KvtoolFind, MatchesAsDrawn) {
    struct Case {
        QStringList args;
        int exitCode;
        QList<QByteArray> pagesAndTexts; // "PAGE TEXT" of each line
    } cases[] = {
        {{"abc"}, 0, {"1 abc", "1 AbC", "3 ABC"}},
        {{"abc", "--case"}, 0, {"1 abc"}},
        {{"--case", "ABC"}, 0, {"3 ABC"}},
        {{"привет"}, 0, {"3 Привет"}},
        {{"\xcf\xf0"}, 1, {}},
        {{"absent"}, 1, {}},
        {{""}, 1, {}},
    };
    for (const Case& c : cases) {
        QStringList args{"find", path};
        args += c.args;
        const ToolRun r = Kvtool(args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(r.exitCode, c.exitCode) << what << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << what << ": " << r.err.toStdString();
        QList<QByteArray> lines = r.out.split('\n');
        ASSERT_EQ(lines.takeLast(), "") << what;
        ASSERT_EQ(lines.size(), c.pagesAndTexts.size()) << what << ": " << r.out.toStdString();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QList<QByteArray> fields = lines[i].split('\t');
            ASSERT_EQ(fields.size(), 3) << lines[i].toStdString();
            EXPECT_EQ(fields[0] + ' ' + fields[2], c.pagesAndTexts[i]) << what;
            // The match lies inside its object (100 wide margin of the 300-unit object at left 100).
            const QList<QByteArray> at = fields[1].split(',');
            ASSERT_EQ(at.size(), 2);
            EXPECT_GE(at[0].toInt(), 100) << lines[i].toStdString();
            EXPECT_LT(at[0].toInt(), 400) << lines[i].toStdString();
            EXPECT_GE(at[1].toInt(), 100) << lines[i].toStdString();
            EXPECT_LT(at[1].toInt(), 300) << lines[i].toStdString();
        }
    }
}

TEST_F(KvtoolFind, ErrorsAreOneLineWithStatusTwo) {
    const QString damaged = dir.filePath("damaged.kvp");
    {
        kvpfile::FileSpec f;
        f.Pages.push_back(PageWithTexts({{"abc", 1}}));
        kvpfile::PageSpec bad;
        bad.Data = QByteArray(1, char(25)) + QByteArray("\x63garbage", 8);
        f.Pages.push_back(bad);
        QFile out(damaged);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(kvpfile::BuildKvp(f));
    }
    const QString notReport = dir.filePath("text.kvp");
    {
        QFile out(notReport);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("this is not a report");
    }
    struct Case {
        QStringList args;
        QByteArray out;
    } cases[] = {
        {{"find", dir.filePath("missing.kvp"), "abc"}, ""},
        {{"find", notReport, "abc"}, ""},
        {{"find", path}, ""},
        {{"find", path, "abc", "--whole"}, ""},
        // The page that could be read is still searched.
        {{"find", damaged, "abc"}, "1\t"},
    };
    for (const Case& c : cases) {
        const ToolRun r = Kvtool(c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(r.exitCode, 2) << what;
        EXPECT_TRUE(r.out.startsWith(c.out)) << what << ": " << r.out.toStdString();
        EXPECT_TRUE(r.err.startsWith("kvtool: ")) << what;
        EXPECT_EQ(r.err.count('\n'), 1) << what << ": " << r.err.toStdString();
    }
}

} // namespace
