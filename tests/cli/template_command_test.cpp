// kvtool template info / convert for templates and data list, run in-process.
#include "cli/template_command.h"
#include "core/report/report.h"
#include "core/views/band_view.h"
#include "core/views/memo_view.h"
#include "engine/data/row_sources.h"
#include "support/kvtool_runner.h"
#include "support/postgres_server.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString MakeTemplate(QTemporaryDir& dir) {
    kvcli::StartLibrary();
    TkvReport r;
    r.Pages.Add();
    r.Page(0)->Name = "Page1";
    auto band = std::make_unique<TkvBandView>();
    band->Name = "MasterData1";
    band->SetBandType(kvbt::MasterData);
    band->SetDataSource("Customers");
    band->Height = 24;
    r.Page(0)->Objects.push_back(std::move(band));
    auto memo = std::make_unique<TkvMemoView>();
    memo->Name = "Memo1";
    memo->Memo = {"[Customers.\"name\"]"};
    r.Page(0)->Objects.push_back(std::move(memo));
    r.Dictionary.Variables.SetVariable(" Main", TkvVariant(QByteArray()));
    const QString path = dir.filePath("t.kvf");
    r.SaveToFile(path);
    return path;
}

TEST(TemplateCommand, InfoJsonConvertAndErrors) {
    QTemporaryDir dir;
    const QString path = MakeTemplate(dir);
    const kvcli::CommandResult text = kvcli::TemplateInfo(path, false);
    ASSERT_EQ(text.ExitCode, 0) << text.Error.constData();
    EXPECT_TRUE(text.Out.contains("band MasterData1 MasterData source \"Customers\" height 24"))
        << text.Out.constData();
    EXPECT_TRUE(text.Out.contains("object Memo1 TkvMemoView \"[Customers.\\\"name\\\"]\"") ||
                text.Out.contains("object Memo1 TkvMemoView \"[Customers.\"name\"]\""));

    const kvcli::CommandResult json = kvcli::TemplateInfo(path, true);
    const QJsonObject root = QJsonDocument::fromJson(json.Out).object();
    const QJsonObject page = root["pages"].toArray()[0].toObject();
    EXPECT_EQ(page["bands"].toArray()[0].toObject()["dataSource"].toString(), "Customers");
    EXPECT_EQ(page["objects"].toArray()[0].toObject()["memo"].toString(), "[Customers.\"name\"]");
    EXPECT_EQ(root["dictionary"].toObject()["variables"].toArray().size(), 1);

    const QString copy = dir.filePath("copy.kvf");
    EXPECT_EQ(kvcli::ConvertTemplate(path, copy).ExitCode, 0);
    QFile a(path), b(copy);
    a.open(QIODevice::ReadOnly);
    b.open(QIODevice::ReadOnly);
    EXPECT_EQ(a.readAll().chopped(8), b.readAll().chopped(8)); // all but the last-change date

    QFile junk(dir.filePath("junk.kvf"));
    junk.open(QIODevice::WriteOnly);
    junk.write("\x1A rest");
    junk.close();
    const kvcli::CommandResult bad = kvcli::TemplateInfo(junk.fileName(), false);
    EXPECT_EQ(bad.ExitCode, 1);
    EXPECT_TRUE(bad.Error.endsWith("Unsupported KVF format"));
    EXPECT_FALSE(QFile::exists(dir.filePath("none.kvf")));
    EXPECT_EQ(kvcli::ConvertTemplate(junk.fileName(), dir.filePath("none.kvf")).ExitCode, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("none.kvf")));

    // An empty file is no template (it loads as an empty report).
    QFile empty(dir.filePath("empty.kvf"));
    empty.open(QIODevice::WriteOnly);
    empty.close();
    const kvcli::CommandResult none = kvcli::TemplateInfo(empty.fileName(), false);
    EXPECT_EQ(none.ExitCode, 1);
    EXPECT_TRUE(none.Out.isEmpty());
    EXPECT_TRUE(none.Error.endsWith("the file is empty, not a template")) << none.Error.constData();
}

TEST(DataCommand, ListsCsvRowsAndNamesFailingDataSets) {
    QTemporaryDir dir;
    QFile f(dir.filePath("a.csv"));
    f.open(QIODevice::WriteOnly);
    f.write("Name,Qty\n\"Smith, J\",3\nLee,\n");
    f.close();
    const kvcli::CommandResult ok = kvcli::DataList({"--data", "Items=csv:" + f.fileName(), "--rows", "1"});
    EXPECT_EQ(ok.ExitCode, 0) << ok.Error.constData();
    EXPECT_EQ(ok.Out, "Items: Name Qty\nSmith, J\t3\n");

    const kvcli::CommandResult bad =
        kvcli::DataList({"--db", "sqlite::memory:", "--data", "Orders=select * from x"});
    EXPECT_EQ(bad.ExitCode, 1);
    EXPECT_TRUE(bad.Error.startsWith("Data set Orders: ")) << bad.Error.constData();
    EXPECT_TRUE(bad.Out.isEmpty());
    EXPECT_EQ(kvcli::DataList({"--data", "noequals"}).ExitCode, 2);
    const kvcli::CommandResult closed =
        kvcli::DataList({"--db", "sqlite:" + dir.filePath("none/no.db"), "--data", "Orders=select 1"});
    EXPECT_EQ(closed.ExitCode, 1);
    EXPECT_TRUE(closed.Error.startsWith("Data set Orders: Cannot open the database")) << closed.Error.constData();
}

// The kvtool program lists a table of the private PostgreSQL test server and names a data set whose
// query the server refuses.
TEST(DataCommand, KvtoolListsPostgresRows) {
    const kvtest::PostgresServer pg = kvtest::TestPostgres("kvtool data list");
    if (!pg.SkipReason.isEmpty()) GTEST_SKIP() << pg.SkipReason.toStdString();
    const QString table = QStringLiteral("kv_cli_%1").arg(QCoreApplication::applicationPid());
    TkvSqlConnection setup(pg.Address);
    QSqlQuery q(QSqlDatabase::database(setup.ConnectionName(), false));
    ASSERT_TRUE(q.exec(QString("create table %1 (id integer, name text, note text)").arg(table)));
    ASSERT_TRUE(q.exec(QString("insert into %1 values (1, 'Smith, J', 'two\nlines'), (2, 'Lee', null), "
                               "(3, 'Ann', '')")
                           .arg(table)));
    auto run = [&](const QStringList& args, QByteArray* err) {
        const kvtest::ToolRun r = kvtest::RunKvtool(args, 30000);
        *err = r.err;
        return std::make_pair(r.exitCode, r.out);
    };
    QByteArray err;
    const auto [code, out] = run({"data", "list", "--db", pg.Address, "--data",
                                  "People=select id, name, note from " + table + " order by id", "--rows", "2"},
                                 &err);
    EXPECT_EQ(code, 0) << err.constData();
    EXPECT_EQ(out, "People: id name note\n1\tSmith, J\ttwo\\nlines\n2\tLee\t(null)\n");

    const auto [badCode, badOut] =
        run({"data", "list", "--db", pg.Address, "--data", "Orders=select * from kv_no_such_table"}, &err);
    EXPECT_EQ(badCode, 1);
    EXPECT_TRUE(badOut.isEmpty());
    EXPECT_TRUE(err.startsWith("kvtool: Data set Orders: ")) << err.constData();
    EXPECT_EQ(err.count('\n'), 1) << err.constData();
    q.exec("drop table " + table);
}

} // namespace
