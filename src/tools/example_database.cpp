#include "tools/example_database.h"

#include <QSqlError>

namespace kvdemo {

QByteArray
WithExampleDatabase(const QString& path, const QString& connection, const char* action,
                    const std::function<void(QSqlDatabase&, QSqlQuery&, QByteArray& error)>& work) {
    QByteArray error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection);
        db.setDatabaseName(path);
        if (!db.open()) {
            error = QByteArray("cannot ") + action + " the example database " + path.toUtf8();
        } else {
            QSqlQuery q(db);
            work(db, q, error);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return error;
}

namespace {

bool Failed(QSqlQuery& q, QByteArray& error) {
    error = "cannot write the example database: " + q.lastError().text().toUtf8();
    return false;
}

} // namespace

bool ExampleExec(QSqlQuery& q, QByteArray& error) {
    return q.exec() || Failed(q, error);
}

bool ExampleExec(QSqlQuery& q, const char* sql, QByteArray& error) {
    return q.exec(QString::fromUtf8(sql)) || Failed(q, error);
}

} // namespace kvdemo
