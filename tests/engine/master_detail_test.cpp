// Master/detail over SQL parameters: a detail query names fields of its master (:SET.FIELD or
// :FIELD), is bound from the master's current record and runs again when the master moves.
// Parameters are found outside quotes and comments, bound rather than pasted, and links that
// cannot be made are errors naming the data set and the parameter.
#include "build_fixture.h"
#include "support/postgres_server.h"

#include "engine/data/parameter_links.h"
#include "engine/data/row_sources.h"
#include "engine/data/sql_parameters.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using kvtest::BuildFixture;

namespace {

TEST(SqlParameters, FoundOutsideQuotesCommentsAndCasts) {
    struct Case {
        const char* sql;
        const char* positional;
        QList<QByteArray> names;
        std::vector<int> order;
        int others;
    };
    const Case cases[] = {
        {"select * from t", "select * from t", {}, {}, 0},
        {"select * from l where invoice = :Invoices.id and x = :y or z = :INVOICES.ID",
         "select * from l where invoice = ? and x = ? or z = ?",
         {"Invoices.id", "y"},
         {0, 1, 0},
         0},
        {"select ':a', \"b:c\", x::text, '12:30' from t where a=:p -- :q\n and b = :r /* :s */",
         "select ':a', \"b:c\", x::text, '12:30' from t where a=? -- :q\n and b = ? /* :s */",
         {"p", "r"},
         {0, 1},
         0},
        {"select 'it''s :no', E'\\' :no', $$ :no $$, $t$ :no $t$, a[lo:hi] from t where a = :yes",
         "select 'it''s :no', E'\\' :no', $$ :no $$, $t$ :no $t$, a[lo:hi] from t where a = ?",
         {"yes"},
         {0},
         0},
        {"select * from t where a = ? and b = :p and c = '?'",
         "select * from t where a = ? and b = ? and c = '?'",
         {"p"},
         {0},
         1},
        {"select 'never ends :p", "select 'never ends :p", {}, {}, 0},
        {"select :a.", "select ?.", {"a"}, {0}, 0},
        {"select : a, :1", "select : a, :1", {}, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        const TkvSqlParameterText t = kv::SplitSqlParameters(QString::fromUtf8(c.sql));
        EXPECT_EQ(t.Sql.toStdString(), c.positional);
        EXPECT_EQ(t.Names, c.names);
        EXPECT_EQ(t.Order, c.order);
        EXPECT_EQ(t.OtherPlaceholders, c.others);
    }
}

// A shop database: three invoices, the second without lines.
class ShopDatabase {
public:
    ShopDatabase() {
        path = dir.filePath("shop.db");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "master-detail-setup");
            db.setDatabaseName(path);
            db.open();
            QSqlQuery q(db);
            for (const char* sql :
                 {"create table invoices (id integer primary key, customer text, issued text)",
                  "insert into invoices values (1, 'Ann', '2026-03-01'), (2, 'Bob''s; drop table lines; --', "
                  "'2026-03-02'), (3, 'Cy', '2026-03-03')",
                  "create table lines (invoice_id integer, item text, qty integer, price real)",
                  "insert into lines values (1, 'tea', 2, 2.5), (1, 'cake', 1, 4), (3, 'jam', 3, 3.25)"})
                q.exec(sql);
            db.close();
        }
        QSqlDatabase::removeDatabase("master-detail-setup");
        connection = std::make_unique<TkvSqlConnection>("sqlite:" + path);
    }

    TkvRecordSet* Add(BuildFixture& f, const QByteArray& name, const QString& sql) {
        auto* table = f.module.Add(std::make_unique<TkvRecordSet>(
            name + "Table", std::make_unique<TkvSqlRowSource>(*connection, sql, name)));
        f.module.Add(std::make_unique<TkvDBDataSet>(name))->SetDataSet(table);
        named.push_back({name, table});
        return table;
    }

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<TkvSqlConnection> connection;
    std::vector<TkvNamedRecordSet> named;
};

// Each invoice with its own lines and their total; the invoice without lines is printed (its
// band asks for that) with nothing under it and a zero total.
TEST(MasterDetail, DetailRowsFollowTheMasterInABuild) {
    const struct {
        const char* what;
        const char* lines;
    } cases[] = {
        {"set and field", "select item, qty, price from lines where invoice_id = :Invoices.id order by item"},
        {"field of the one other set",
         "select item, qty, price from lines where invoice_id = :id order by item"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShopDatabase db;
        BuildFixture f;
        db.Add(f, "Invoices", "select id, customer from invoices order by id");
        db.Add(f, "Lines", c.lines);
        kv::LinkParameters(db.named);
        f.AddBand(kvbt::MasterData, 20, 20, "Invoice", "Invoices", kvbf::PrintIfSubsetEmpty);
        f.AddText(20, 20, 300, 18, "Invoice [Invoices.id] [Invoices.customer]");
        f.AddBand(kvbt::DetailData, 50, 20, "Line", "Lines");
        f.AddText(20, 50, 300, 18,
                  "[Lines.item] [Lines.qty] x [Lines.price] = [[Lines.qty] * [Lines.price]]");
        f.AddBand(kvbt::DetailFooter, 80, 20, "Total");
        f.AddText(20, 80, 300, 18, "[COUNT(Line)] lines, total [SUM([Lines.qty] * [Lines.price])]");
        const TkvBuildResult r = f.Build();
        ASSERT_TRUE(r.Ok) << r.ErrorText.constData();
        EXPECT_EQ(f.AllText().toStdString(),
                  "[Invoice 1 Ann, cake 1 x 4 = 4, tea 2 x 2.5 = 5, 2 lines, total 9, "
                  "Invoice 2 Bob's; drop table lines; --, "
                  "Invoice 3 Cy, jam 3 x 3.25 = 9.75, 1 lines, total 9.75]");
    }
}

// Values are bound: a text with quotes and SQL in it is compared as a text, the table it names
// stays.
TEST(MasterDetail, ValuesAreBoundNotPasted) {
    ShopDatabase db;
    BuildFixture f;
    TkvRecordSet* invoices = db.Add(f, "Invoices", "select customer from invoices order by id");
    TkvRecordSet* same = db.Add(f, "Same", "select id from invoices where customer = :Invoices.customer");
    kv::LinkParameters(db.named);
    std::vector<QByteArray> seen;
    for (invoices->First(); !invoices->Eof(); invoices->Next()) {
        same->First();
        seen.push_back(same->Eof() ? "none" : same->FieldByName("id")->DisplayText());
    }
    EXPECT_EQ(seen, (std::vector<QByteArray>{"1", "2", "3"}));
    QSqlDatabase check = QSqlDatabase::database(db.connection->ConnectionName());
    QSqlQuery q(check);
    ASSERT_TRUE(q.exec("select count(*) from lines") && q.next());
    EXPECT_EQ(q.value(0).toInt(), 3);
}

// Going back further than the rows kept (Prior, a bookmark) fetches the rows again with the values
// the detail was opened with, not those of the master's record now.
TEST(MasterDetail, GoingBackKeepsTheRowsOfTheMasterRecordTheyBelongTo) {
    ShopDatabase db;
    BuildFixture f;
    TkvRecordSet* counts = db.Add(f, "Counts", "select 1200 as n union all select 5");
    TkvRecordSet* numbers = db.Add(
        f, "Numbers",
        "with recursive s(i) as (select 1 union all select i + 1 from s where i < :n) select i from s");
    kv::LinkParameters(db.named);
    counts->First();
    numbers->First();
    const TkvBookmark start = numbers->GetBookmark();
    for (int i = 0; i < 1100; ++i)
        numbers->Next();
    EXPECT_EQ(numbers->FieldByName("i")->DisplayText(), "1101");
    counts->Next();
    numbers->GotoBookmark(start);
    EXPECT_EQ(numbers->FieldByName("i")->DisplayText(), "1");
    numbers->FreeBookmark(start);
    int rows = 0;
    for (numbers->First(); !numbers->Eof() && rows < 10000; numbers->Next())
        ++rows;
    EXPECT_EQ(rows, 5); // First took the master's new record
}

// PostgreSQL takes the same texts: casts (::) stay, a ? or :name inside a quoted text is no
// placeholder, and texts and numbers are bound with their types. The detail runs while the
// master's result is still being read, which one PostgreSQL session cannot do.
TEST(MasterDetail, PostgresBindsTheSameParameters) {
    const kvtest::PostgresServer server = kvtest::TestPostgres("master/detail parameters");
    if (!server.SkipReason.isEmpty()) GTEST_SKIP() << server.SkipReason.toStdString();
    TkvSqlConnection connection(server.Address);
    {
        QSqlQuery q(QSqlDatabase::database(connection.ConnectionName()));
        for (const char* sql : {"drop table if exists md_invoices", "drop table if exists md_lines",
                                "create table md_invoices (id integer, customer text)",
                                "insert into md_invoices values (1, 'Ann?'), (2, 'Bob :x'), (3, 'Cy')",
                                "create table md_lines (invoice_id integer, item text)",
                                "insert into md_lines values (1, 'tea'), (1, 'cake'), (3, 'jam')"})
            ASSERT_TRUE(q.exec(sql)) << sql;
    }
    TkvRecordSet invoices(
        "Invoices",
        std::make_unique<TkvSqlRowSource>(
            connection, "select id::bigint as id, customer from md_invoices order by id", "Invoices"));
    TkvRecordSet lines("Lines", std::make_unique<TkvSqlRowSource>(
                                    connection,
                                    "select item || ' for ' || :customer || '?' as item from md_lines "
                                    "where invoice_id = :Invoices.id::integer and ':no' <> '?' order by item",
                                    "Lines"));
    kv::LinkParameters({{"Invoices", &invoices}, {"Lines", &lines}});
    QByteArray seen;
    for (invoices.First(); !invoices.Eof(); invoices.Next()) {
        seen += "[";
        for (lines.First(); !lines.Eof(); lines.Next())
            seen += lines.FieldByName("item")->DisplayText() + ";";
        seen += "]";
    }
    EXPECT_EQ(seen.toStdString(), "[cake for Ann??;tea for Ann??;][][jam for Cy?;]");
}

TEST(MasterDetail, LinksThatCannotBeMadeNameTheDataSetAndTheParameter) {
    struct Set {
        const char* name;
        const char* sql;
    };
    const struct {
        std::vector<Set> sets;
        const char* error;
    } cases[] = {
        {{{"Invoices", "select id from invoices"},
          {"Lines", "select * from lines where invoice_id = :Invoice.id"}},
         "Data set Lines: the parameter :Invoice.id names no data set Invoice"},
        {{{"Invoices", "select id from invoices"},
          {"Lines", "select * from lines where invoice_id = :Invoices.nr"}},
         "Data set Lines: the parameter :Invoices.nr names no field of Invoices"},
        {{{"Invoices", "select id from invoices"}, {"Lines", "select * from lines where invoice_id = :nr"}},
         "Data set Lines: the parameter :nr is no field of another data set"},
        {{{"A", "select id from invoices"},
          {"B", "select id from invoices"},
          {"Lines", "select * from lines where invoice_id = :id"}},
         "Data set Lines: the parameter :id is a field of both A and B; write :A.id"},
        {{{"Lines", "select * from lines where invoice_id = :Lines.invoice_id"}},
         "Data set Lines: the parameter :Lines.invoice_id takes its value from the data set itself"},
        {{{"A", "select id from invoices where id = :B.id"},
          {"B", "select id from invoices where id = :A.id"}},
         "Data set B: the parameter :A.id closes a cycle of data sets: A -> B -> A"},
        {{{"Invoices", "select id from invoices where id = :x and y = ?"}},
         "Data set Invoices: the query mixes ? placeholders with named parameters (:NAME)"},
        {{{"Invoices", "select id from nowhere"},
          {"Lines", "select * from lines where invoice_id = :Invoices.id"}},
         "Data set Invoices: no such table"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        ShopDatabase db;
        BuildFixture f;
        try {
            for (const Set& s : c.sets)
                db.Add(f, s.name, QString::fromUtf8(s.sql));
            kv::LinkParameters(db.named);
            ADD_FAILURE() << "linked";
        } catch (const TkvDataError& e) {
            const std::string m = e.what();
            EXPECT_EQ(m.rfind(c.error, 0), 0u) << m;
            EXPECT_EQ(m.find('\n'), std::string::npos) << m;
        }
    }
    // A parameter that was never linked fails when the query runs, naming it.
    ShopDatabase db;
    TkvRecordSet lines("Lines", std::make_unique<TkvSqlRowSource>(
                                    *db.connection, "select * from lines where invoice_id = :id", "Lines"));
    try {
        lines.Open();
        ADD_FAILURE() << "opened";
    } catch (const TkvDataError& e) {
        EXPECT_STREQ(e.what(), "Data set Lines: the parameter :id is linked to no field of another data set");
    }
}

} // namespace
