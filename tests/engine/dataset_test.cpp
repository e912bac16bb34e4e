// Data sources: user datasets with counts and events, database datasets with ranges and bookmarks
// over memory, SQLite, CSV and PostgreSQL record sets, removal of referenced components, CSV parsing,
// SQL values by type and the record cache bound. The PostgreSQL cases use the private server ctest
// starts (tests/support/postgres_server.h) and are skipped with the reason when it is not running.
#include "engine/data/dataset.h"
#include "engine/data/row_sources.h"
#include "support/postgres_server.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(UserDataset, CountsAndEvents) {
    TkvUserDataset d("Rows");
    d.RangeEnd = TRangeEnd::reCount;
    d.RangeEndCount = 3;
    int nexts = 0;
    d.OnNext = [&](TkvDataset*) { ++nexts; };
    d.First();
    EXPECT_EQ(d.RecordNo, 0);
    d.Next();
    d.Next();
    EXPECT_EQ(d.RecordNo, 2);
    EXPECT_FALSE(d.Eof());
    d.Next();
    EXPECT_EQ(d.RecordNo, 3);
    EXPECT_TRUE(d.Eof());
    EXPECT_EQ(nexts, 2);

    d.RangeEndCount = 0;
    d.First();
    EXPECT_TRUE(d.Eof());
    d.OnCheckEOF = [](TkvDataset*, bool& eof) { eof = false; };
    d.Next();
    EXPECT_FALSE(d.Eof());
}

// Five records with ids 1 to 5 in each kind of record set.
enum class Backend { Memory, Sqlite, Csv, Postgres };

const char* BackendText(Backend backend) {
    const char* names[] = {"Memory", "Sqlite", "Csv", "Postgres"};
    return names[static_cast<int>(backend)];
}

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
    return BackendText(info.param);
}

void PrintTo(Backend backend, std::ostream* os) {
    *os << BackendText(backend);
}

// Runs statements on the connection a row source reads through (a temporary table of a PostgreSQL
// session is seen only there).
void Exec(const TkvSqlConnection& c, const QStringList& statements) {
    QSqlQuery q(QSqlDatabase::database(c.ConnectionName(), false));
    for (const QString& s : statements)
        ASSERT_TRUE(q.exec(s)) << s.toStdString() << ": " << q.lastError().text().toStdString();
}

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<TkvSqlConnection> connection;
    QString skipReason;
    // Null with skipReason set when the backend cannot be reached.
    std::unique_ptr<TkvRecordSet> Make(Backend b) {
        switch (b) {
        case Backend::Postgres: {
            const kvtest::PostgresServer pg = kvtest::TestPostgres("the five-record data set walk");
            if (!pg.SkipReason.isEmpty()) {
                skipReason = pg.SkipReason;
                return nullptr;
            }
            connection = std::make_unique<TkvSqlConnection>(pg.Address);
            QStringList fill{"create temporary table t (id integer, name text)"};
            for (int i = 5; i >= 1; --i)
                fill << QString("insert into t values (%1, 'n%1')").arg(i);
            Exec(*connection, fill);
            return std::make_unique<TkvRecordSet>(
                "T",
                std::make_unique<TkvSqlRowSource>(*connection, "select id, name from t order by id", "T"));
        }
        case Backend::Memory: {
            std::vector<TkvRow> rows;
            for (int i = 1; i <= 5; ++i)
                rows.push_back({TkvVariant(i), TkvVariant(QByteArray("n") + QByteArray::number(i))});
            return std::make_unique<TkvRecordSet>(
                "T", std::make_unique<TkvMemoryRowSource>(
                         std::vector<TkvColumn>{{"ID", TkvFieldType::Integer}, {"NAME"}}, std::move(rows)));
        }
        case Backend::Sqlite: {
            const QString path = dir.filePath("t.db");
            {
                QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "setup");
                db.setDatabaseName(path);
                db.open();
                QSqlQuery q(db);
                q.exec("create table t (id integer, name text)");
                for (int i = 1; i <= 5; ++i)
                    q.exec(QString("insert into t values (%1, 'n%1')").arg(i));
                db.close();
            }
            QSqlDatabase::removeDatabase("setup");
            connection = std::make_unique<TkvSqlConnection>("sqlite:" + path);
            return std::make_unique<TkvRecordSet>(
                "T",
                std::make_unique<TkvSqlRowSource>(*connection, "select id, name from t order by id", "T"));
        }
        case Backend::Csv: {
            QFile f(dir.filePath("t.csv"));
            f.open(QIODevice::WriteOnly);
            f.write("ID,NAME\r\n1,n1\r\n2,n2\r\n3,n3\r\n4,n4\r\n5,n5\r\n");
            f.close();
            return std::make_unique<TkvRecordSet>("T", std::make_unique<TkvCsvRowSource>(f.fileName(), "T"));
        }
        }
        return nullptr;
    }
};

QByteArray Id(TkvRecordSet& r) {
    return r.FieldByName("ID")->DisplayText();
}

class DBDataSetRanges : public ::testing::TestWithParam<Backend> {};

TEST_P(DBDataSetRanges, RangesFromTheCurrentRecordAndBack) {
    Fixture fx;
    std::unique_ptr<TkvRecordSet> rs = fx.Make(GetParam());
    if (!rs) GTEST_SKIP() << fx.skipReason.toStdString();
    struct Case {
        TRangeBegin begin;
        TRangeEnd end;
        QByteArray ids;
    } cases[] = {{TRangeBegin::rbFirst, TRangeEnd::reLast, "12345"},
                 {TRangeBegin::rbFirst, TRangeEnd::reCurrent, "123"},
                 {TRangeBegin::rbCurrent, TRangeEnd::reLast, "345"},
                 {TRangeBegin::rbCurrent, TRangeEnd::reCurrent, "3"},
                 {TRangeBegin::rbFirst, TRangeEnd::reCount, "12"}};
    for (const Case& c : cases) {
        rs->Open();
        rs->First();
        rs->Next();
        rs->Next();
        TkvDBDataSet d("Source");
        d.SetDataSet(rs.get());
        d.RangeBegin = c.begin;
        d.RangeEnd = c.end;
        d.RangeEndCount = 2;
        d.Init();
        QByteArray seen;
        for (d.First(); !d.Eof(); d.Next())
            seen += Id(*rs);
        EXPECT_EQ(seen, c.ids) << int(c.begin) << "/" << int(c.end);
        d.Exit();
        if (c.begin == TRangeBegin::rbCurrent || c.end == TRangeEnd::reCurrent) {
            EXPECT_EQ(Id(*rs), "3");
        }
    }
    // Prior walks back; past the start the record set stays on the first record.
    rs->First();
    rs->Next();
    rs->Prior();
    EXPECT_EQ(Id(*rs), "1");
    rs->Prior();
    EXPECT_TRUE(rs->Bof());
}

INSTANTIATE_TEST_SUITE_P(Backends, DBDataSetRanges,
                         ::testing::Values(Backend::Memory, Backend::Sqlite, Backend::Csv, Backend::Postgres),
                         BackendName);

TEST(DBDataSet, ReferencesRemovalAndOpeningFailures) {
    TkvDataModule form("Form1");
    auto* rs = form.Add(std::make_unique<TkvRecordSet>(
        "Table1", std::make_unique<TkvMemoryRowSource>(std::vector<TkvColumn>{{"A"}},
                                                       std::vector<TkvRow>{{TkvVariant(1)}})));
    auto* src = form.Add(std::make_unique<TkvDataSource>("DataSource1"));
    src->DataSet = rs;
    auto* d = form.Add(std::make_unique<TkvDBDataSet>("Source1"));

    d->SetDataSource(src);
    d->SetDataSet(rs);
    EXPECT_EQ(d->DataSource(), nullptr);
    EXPECT_EQ(d->DataSet(), rs);
    EXPECT_TRUE(d->HasField("a"));

    std::vector<std::string> calls;
    d->CloseDataSource = true;
    d->OnClose = [&](TkvDataset*) { calls.push_back(rs->Active() ? "close(active)" : "close(closed)"); };
    d->Init();
    EXPECT_TRUE(rs->Active());
    d->Exit();
    EXPECT_EQ(calls, std::vector<std::string>{"close(active)"});
    EXPECT_FALSE(rs->Active());

    form.Remove(rs);
    EXPECT_EQ(d->DataSet(), nullptr);
    EXPECT_EQ(src->DataSet, nullptr);
    try {
        d->Init();
        FAIL() << "Init without a dataset succeeded";
    } catch (const EDSError& e) {
        EXPECT_STREQ(e.what(), "Unable to open dataset Source1");
    }
}

QByteArray WriteFile(QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return f.fileName().toUtf8();
}

TEST(CsvRowSource, QuotedFieldsSeparatorsLineBreaksAndEncodings) {
    QTemporaryDir dir;
    const QByteArray path = WriteFile(dir, "a.csv",
                                      "\xEF\xBB\xBFName,Note,Qty\n"
                                      "\"Smith, J\",\"said \"\"hi\"\"\nand left\",3\r\n"
                                      "\n"
                                      "Plain,,\"\"\n"
                                      "Short\n");
    TkvRecordSet rs("A", std::make_unique<TkvCsvRowSource>(QString::fromUtf8(path), "A"));
    rs.Open();
    EXPECT_EQ(rs.FieldNames(), QList<QByteArray>({"Name", "Note", "Qty"}));
    EXPECT_EQ(rs.FieldByName("Name")->DisplayText(), "Smith, J");
    EXPECT_EQ(rs.FieldByName("Note")->DisplayText(), "said \"hi\"\nand left");
    rs.Next();
    EXPECT_EQ(rs.FieldByName("Name")->DisplayText(), "Plain");
    EXPECT_TRUE(rs.FieldByName("Note")->IsNull()); // empty unquoted: null
    EXPECT_FALSE(rs.FieldByName("Qty")->IsNull()); // "" quoted: an empty text
    rs.Next();
    EXPECT_TRUE(rs.FieldByName("Qty")->IsNull()); // missing trailing fields
    rs.Next();
    EXPECT_TRUE(rs.Eof());

    // Windows-1251 bytes with the encoding option reach the engine as report text.
    const QByteArray cyr = WriteFile(dir, "b.csv", "N\n\xcf\xf0\xe8\xe2\xe5\xf2\n");
    TkvCsvRowSource::Options o;
    o.Encoding = "windows-1251";
    TkvRecordSet rs2("B", std::make_unique<TkvCsvRowSource>(QString::fromUtf8(cyr), "B", o));
    rs2.Open();
    EXPECT_EQ(rs2.FieldByName("N")->DisplayText(), QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2"));

    // A quoted field longer than the read buffer (64 KB), with a doubled quote split by its edge.
    QByteArray big(100000, 'x');
    for (int at : {65530, 65540})
        big[at] = '"';
    const QByteArray longPath = WriteFile(dir, "l.csv", "A,B\n\"" + big.replace("\"", "\"\"") + "\",2\n");
    TkvRecordSet rsLong("L", std::make_unique<TkvCsvRowSource>(QString::fromUtf8(longPath), "L"));
    rsLong.Open();
    QByteArray expected(100000, 'x');
    for (int at : {65530, 65540})
        expected[at] = '"';
    EXPECT_EQ(rsLong.FieldByName("A")->DisplayText(), expected);
    EXPECT_EQ(rsLong.FieldByName("B")->DisplayText(), "2");

    const QByteArray open = WriteFile(dir, "c.csv", "A\n\"never ends\n1\n");
    TkvRecordSet rs3("Broken", std::make_unique<TkvCsvRowSource>(QString::fromUtf8(open), "Broken"));
    try {
        rs3.Open();
        FAIL();
    } catch (const TkvDataError& e) {
        EXPECT_STREQ(e.what(), "Data set Broken: a quoted field never ends");
    }
}

TEST(RecordSet, CacheStaysBoundedAndPriorReachesEvictedRows) {
    std::vector<TkvRow> rows;
    for (int i = 0; i < 5000; ++i)
        rows.push_back({TkvVariant(i)});
    auto source = std::make_unique<TkvMemoryRowSource>(std::vector<TkvColumn>{{"I"}}, std::move(rows));
    TkvMemoryRowSource* raw = source.get();
    TkvRecordSet rs("R", std::move(source));
    rs.Open();
    TkvBookmark mark;
    for (int i = 0; i < 4999; ++i) {
        if (i == 10) mark = rs.GetBookmark();
        rs.Next();
    }
    EXPECT_EQ(rs.FieldByName("I")->Value().toInt(), 4999);
    EXPECT_LE(rs.CachedRows(), 5000 - 10);
    rs.GotoBookmark(mark);
    EXPECT_EQ(rs.FieldByName("I")->Value().toInt(), 10);
    rs.FreeBookmark(mark);
    while (!rs.Eof())
        rs.Next();
    EXPECT_LE(rs.CachedRows(), TkvRecordSet::PriorWindow + 1);
    const int restarts = raw->Restarts;
    rs.First();
    EXPECT_EQ(rs.FieldByName("I")->Value().toInt(), 0);
    EXPECT_EQ(raw->Restarts, restarts + 1);
}

// Values of each SQL type as the engine sees them, a row of nulls after them, and a failing query,
// over SQLite and PostgreSQL.
class SqlRowSourceValues : public ::testing::TestWithParam<Backend> {};

TEST_P(SqlRowSourceValues, TypesNullsAndErrors) {
    const bool pg = GetParam() == Backend::Postgres;
    QTemporaryDir dir;
    QString address = "sqlite::memory:";
    if (pg) {
        const kvtest::PostgresServer server = kvtest::TestPostgres("SQL values by type");
        if (!server.SkipReason.isEmpty()) GTEST_SKIP() << server.SkipReason.toStdString();
        address = server.Address;
    }
    using V = TkvVariant;
    struct Column {
        const char* name;
        const char* sqliteType; // null: PostgreSQL only
        const char* pgType;
        const char* literal;
        TkvFieldType type;
        TkvVariant value;
    };
    // 45352 is 1 March 2024 counted from 30 December 1899.
    const Column columns[] = {
        {"i", "integer", "integer", "7", TkvFieldType::Integer, V(7)},
        {"big", nullptr, "bigint", "9000000000", TkvFieldType::LargeInt, V(int64_t(9000000000))},
        {"f", "double", "double precision", "2.5", TkvFieldType::Float, V(2.5)},
        {"txt", "text", "text", "'\u041f\u0440\u0438'", TkvFieldType::String, V("\xcf\xf0\xe8")},
        {"ok", nullptr, "boolean", "true", TkvFieldType::Boolean, V(true)},
        {"d", nullptr, "date", "'2024-03-01'", TkvFieldType::DateTime, V(V::DateTimeValue{45352})},
        {"ts", nullptr, "timestamp", "'2024-03-01 18:00:00'", TkvFieldType::DateTime,
         V(V::DateTimeValue{45352.75})},
        {"bin", "blob", "bytea", pg ? "'\\x00ff41'" : "x'00ff41'", TkvFieldType::Blob,
         V(QByteArray("\0\xff" "A", 3))},
    };
    QStringList decl, values, nulls, names;
    for (const Column& c : columns) {
        if (!pg && !c.sqliteType) continue;
        decl << QString("%1 %2").arg(c.name, pg ? c.pgType : c.sqliteType);
        values << QString::fromUtf8(c.literal);
        nulls << "null";
        names << c.name;
    }
    TkvSqlConnection connection(address);
    Exec(connection, {QString("create temporary table v (%1)").arg(decl.join(", ")),
                      QString("insert into v values (%1)").arg(values.join(", ")),
                      QString("insert into v values (%1)").arg(nulls.join(", "))});
    TkvRecordSet rs("V", std::make_unique<TkvSqlRowSource>(
                             connection, QString("select %1 from v order by i nulls last").arg(names.join(", ")), "V"));
    rs.Open();
    for (const Column& c : columns) {
        if (!pg && !c.sqliteType) continue;
        TkvDataField* f = rs.FieldByName(c.name);
        ASSERT_NE(f, nullptr) << c.name;
        EXPECT_EQ(f->DataType(), c.type) << c.name;
        EXPECT_EQ(f->Value(), c.value) << c.name << " " << f->DisplayText().toStdString();
    }
    rs.Next();
    ASSERT_FALSE(rs.Eof());
    for (const Column& c : columns) {
        if (!pg && !c.sqliteType) continue;
        EXPECT_TRUE(rs.FieldByName(c.name)->IsNull()) << c.name;
        EXPECT_EQ(rs.FieldByName(c.name)->DisplayText(), QByteArray()) << c.name;
    }
    rs.Next();
    EXPECT_TRUE(rs.Eof());

    // The server's message (several lines from PostgreSQL) becomes one line naming the data set.
    TkvRecordSet bad("Orders", std::make_unique<TkvSqlRowSource>(connection, "select * from nothing", "Orders"));
    try {
        bad.Open();
        FAIL() << "a query of a missing table opened";
    } catch (const TkvDataError& e) {
        const std::string m = e.what();
        EXPECT_EQ(m.rfind("Data set Orders: ", 0), 0u) << m;
        EXPECT_NE(m.find("nothing"), std::string::npos) << m;
        EXPECT_EQ(m.find('\n'), std::string::npos) << m;
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, SqlRowSourceValues, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         BackendName);

TEST(SqlRowSource, ErrorsNameTheDataSet) {
    QTemporaryDir dir;
    EXPECT_THROW(TkvSqlConnection("sqlite:" + dir.filePath("missing.db")), TkvDataError);
    EXPECT_THROW(TkvSqlConnection("mysql://x/y"), TkvDataError);
    TkvSqlConnection c("sqlite::memory:");
    TkvRecordSet rs("Orders", std::make_unique<TkvSqlRowSource>(c, "select * from nothing", "Orders"));
    try {
        rs.Open();
        FAIL();
    } catch (const TkvDataError& e) {
        const std::string m = e.what();
        EXPECT_EQ(m.rfind("Data set Orders: ", 0), 0u) << m;
        EXPECT_EQ(m.find('\n'), std::string::npos);
    }
}

} // namespace
