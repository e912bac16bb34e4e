#pragma once
// Named parameters of a query: `:NAME` or `:SET.FIELD` written in the SQL text. The text handed to
// the database has a positional placeholder `?` in place of each, so values are always bound,
// never pasted into the SQL. Quoted texts and identifiers, comments, dollar-quoted bodies and
// `::` casts are not searched; a colon right after a letter, digit or `_` starts no parameter
// (`12:30`, `a[lo:hi]`).

#include <QByteArray>
#include <QList>
#include <QString>
#include <vector>

struct TkvSqlParameterText {
    QString Sql;               // the query with `?` for each parameter
    QList<QByteArray> Names;   // each parameter once, in order of first use
    std::vector<int> Order;    // for each `?` of Sql, its index in Names
    int OtherPlaceholders = 0; // `?` already in the text (outside quotes and comments)
};

namespace kv {

TkvSqlParameterText SplitSqlParameters(const QString& sql);

} // namespace kv
