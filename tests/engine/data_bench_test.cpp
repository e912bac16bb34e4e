// Walking 1,000,000 rows through TkvDBDataSet, reading three fields a row, over SQLite and CSV.
// Disabled by default; run with --gtest_also_run_disabled_tests --gtest_filter=DataBench.*
// KV_DATA_BENCH_ROWS sets another row count (a profiler run wants fewer).
#include "engine/data/dataset.h"
#include "engine/data/row_sources.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const int kRows = [] {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("KV_DATA_BENCH_ROWS", &ok);
    return ok && n > 0 ? n : 1000000;
}();

double Walk(TkvRecordSet& rs) {
    TkvDBDataSet d("Bench");
    d.SetDataSet(&rs);
    QElapsedTimer t;
    t.start();
    d.Init();
    TkvDataField* a = rs.FieldByName("id");
    TkvDataField* b = rs.FieldByName("name");
    TkvDataField* c = rs.FieldByName("amount");
    int64_t n = 0, len = 0;
    for (d.First(); !d.Eof(); d.Next()) {
        len += a->Value().isNull() + b->Value().toText().size() + c->Value().isNull();
        ++n;
    }
    d.Exit();
    EXPECT_EQ(n, kRows);
    EXPECT_GT(len, 0);
    return n / (t.nsecsElapsed() / 1e9);
}

TEST(DataBench, DISABLED_MillionRowsSqliteAndCsv) {
    QTemporaryDir dir;
    const QString db = dir.filePath("b.db");
    {
        QSqlDatabase s = QSqlDatabase::addDatabase("QSQLITE", "bench-setup");
        s.setDatabaseName(db);
        s.open();
        QSqlQuery q(s);
        q.exec("create table t (id integer, name text, amount real)");
        q.exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
               QString::number(kRows) + ") insert into t select i, 'name ' || i, i * 0.5 from n");
        s.close();
    }
    QSqlDatabase::removeDatabase("bench-setup");
    QFile f(dir.filePath("b.csv"));
    f.open(QIODevice::WriteOnly);
    f.write("id,name,amount\n");
    QByteArray chunk;
    for (int i = 1; i <= kRows; ++i) {
        chunk += QByteArray::number(i) + ",\"name " + QByteArray::number(i) + "\"," +
                 QByteArray::number(i * 0.5) + '\n';
        if (chunk.size() > (1 << 20)) f.write(std::exchange(chunk, {}));
    }
    f.write(chunk);
    f.close();

    TkvSqlConnection c("sqlite:" + db);
    TkvRecordSet sql("T", std::make_unique<TkvSqlRowSource>(c, "select id, name, amount from t", "T"));
    TkvRecordSet csv("C", std::make_unique<TkvCsvRowSource>(f.fileName(), "C"));
    std::printf("SQLite: %.0f rows/s\n", Walk(sql));
    std::printf("CSV: %.0f rows/s\n", Walk(csv));
}

} // namespace
