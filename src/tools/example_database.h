#pragma once
// Writing the example database: one SQLite connection opened for a piece of work and closed again.

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <functional>

namespace kvdemo {

// Opens the database file at `path` on its own connection, runs `work` with a query on it, closes
// the connection and returns the error `work` left (or the one of a failed opening, "cannot
// `action` the example database PATH"); empty on success.
QByteArray WithExampleDatabase(const QString& path, const QString& connection, const char* action,
                               const std::function<void(QSqlDatabase&, QSqlQuery&, QByteArray& error)>& work);

// Runs a prepared query, or the statement `sql`; false with "cannot write the example database: ..."
// in `error` when it fails.
bool ExampleExec(QSqlQuery& q, QByteArray& error);
bool ExampleExec(QSqlQuery& q, const char* sql, QByteArray& error);

} // namespace kvdemo
