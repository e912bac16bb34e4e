// Walking rows through TkvDBDataSet, reading three fields a row, over SQLite and CSV: 1,000,000 rows
// by default, KV_DATA_BENCH_ROWS sets another count (a profiler run wants fewer). The counter
// rows_per_second is what to compare between runs.
#include "engine/data/dataset.h"
#include "engine/data/row_sources.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <utility>

namespace {

int Rows() {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("KV_DATA_BENCH_ROWS", &ok);
    return ok && n > 0 ? n : 1000000;
}

// The same rows as an SQLite database and a CSV file, written once per run.
struct Files {
    QTemporaryDir dir;
    QString db, csv;
    Files() : db(dir.filePath("b.db")), csv(dir.filePath("b.csv")) {
        const int rows = Rows();
        {
            QSqlDatabase s = QSqlDatabase::addDatabase("QSQLITE", "bench-setup");
            s.setDatabaseName(db);
            s.open();
            QSqlQuery q(s);
            q.exec("create table t (id integer, name text, amount real)");
            q.exec("with recursive n(i) as (select 1 union all select i + 1 from n where i < " +
                   QString::number(rows) + ") insert into t select i, 'name ' || i, i * 0.5 from n");
            s.close();
        }
        QSqlDatabase::removeDatabase("bench-setup");
        QFile f(csv);
        f.open(QIODevice::WriteOnly);
        f.write("id,name,amount\n");
        QByteArray chunk;
        for (int i = 1; i <= rows; ++i) {
            chunk += QByteArray::number(i) + ",\"name " + QByteArray::number(i) + "\"," +
                     QByteArray::number(i * 0.5) + '\n';
            if (chunk.size() > (1 << 20)) f.write(std::exchange(chunk, {}));
        }
        f.write(chunk);
    }
};

Files& TheFiles() {
    static Files files;
    return files;
}

void Walk(benchmark::State& state, TkvRecordSet& rs) {
    int64_t rows = 0;
    for (auto _ : state) {
        TkvDBDataSet d("Bench");
        d.SetDataSet(&rs);
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
        if (n != Rows() || len <= 0) {
            state.SkipWithError("the walk did not visit every row");
            return;
        }
        benchmark::DoNotOptimize(len);
        rows += n;
    }
    state.counters["rows_per_second"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
}

void BM_WalkSqlite(benchmark::State& state) {
    TkvSqlConnection c("sqlite:" + TheFiles().db);
    TkvRecordSet sql("T", std::make_unique<TkvSqlRowSource>(c, "select id, name, amount from t", "T"));
    Walk(state, sql);
}
BENCHMARK(BM_WalkSqlite)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WalkCsv(benchmark::State& state) {
    TkvRecordSet csv("C", std::make_unique<TkvCsvRowSource>(TheFiles().csv, "C"));
    Walk(state, csv);
}
BENCHMARK(BM_WalkCsv)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // Qt SQL's drivers are plugins
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
