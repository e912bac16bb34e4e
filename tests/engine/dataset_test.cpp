// Data sources: user datasets with counts and events, database datasets with ranges and bookmarks
// over memory, SQLite and CSV record sets, removal of referenced components, CSV parsing and the
// record cache bound.
#include "engine/data/dataset.h"
#include "engine/data/row_sources.h"

#include <QFile>
#include <QSqlDatabase>
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
enum class Backend { Memory, Sqlite, Csv };

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<TkvSqlConnection> connection;
    std::unique_ptr<TkvRecordSet> Make(Backend b) {
        switch (b) {
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

int Id(TkvRecordSet& r) {
    return static_cast<int>(r.FieldByName("id")->Value().toInt());
}
QByteArray Id(TkvRecordSet& r, bool) {
    return r.FieldByName("ID")->DisplayText();
}

class DBDataSetRanges : public ::testing::TestWithParam<Backend> {};

TEST_P(DBDataSetRanges, RangesFromTheCurrentRecordAndBack) {
    Fixture fx;
    std::unique_ptr<TkvRecordSet> rs = fx.Make(GetParam());
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
            seen += Id(*rs, true);
        EXPECT_EQ(seen, c.ids) << int(c.begin) << "/" << int(c.end);
        d.Exit();
        if (c.begin == TRangeBegin::rbCurrent || c.end == TRangeEnd::reCurrent) EXPECT_EQ(Id(*rs, true), "3");
    }
    // Prior walks back; past the start the record set stays on the first record.
    rs->First();
    rs->Next();
    rs->Prior();
    EXPECT_EQ(Id(*rs, true), "1");
    rs->Prior();
    EXPECT_TRUE(rs->Bof());
}

INSTANTIATE_TEST_SUITE_P(Backends, DBDataSetRanges,
                         ::testing::Values(Backend::Memory, Backend::Sqlite, Backend::Csv));

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
