#pragma once
// The private PostgreSQL server that ctest starts for the data set tests (fixture kv_postgres,
// scripts/start-test-postgres.sh, folder KV_BINARY_DIR/postgres-test). A test asks for it and skips,
// saying what it could not check and why, when the server is not running.

#include <QFile>
#include <QString>

namespace kvtest {

struct PostgresServer {
    QString Address;    // for TkvSqlConnection and kvtool --db
    QString SkipReason; // empty when the server is ready
};

inline PostgresServer TestPostgres(const char* what) {
    const QString dir = QStringLiteral(KV_BINARY_DIR "/postgres-test");
    auto skip = [&](const QString& why) {
        return PostgresServer{
            {}, QStringLiteral("\nnot checked: %1 against PostgreSQL: %2").arg(what, why)};
    };
    QFile status(dir + "/status");
    if (!status.open(QIODevice::ReadOnly))
        return skip("the test server was never started (run through ctest, which starts it)");
    const QString s = QString::fromUtf8(status.readAll()).trimmed();
    if (s == "stopped") return skip("the test server is stopped (run through ctest, which starts it)");
    if (s != "ready") return skip("the test server is " + s);
    QFile address(dir + "/address");
    if (!address.open(QIODevice::ReadOnly)) return skip("the test server did not write its address");
    return {QString::fromUtf8(address.readAll()).trimmed(), {}};
}

} // namespace kvtest
