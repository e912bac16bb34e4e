#include "engine/data/sql_parameters.h"

#include <unordered_map>

namespace {

bool IsNameStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool IsNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// The end of a name starting at i (i itself when there is none).
qsizetype NameEnd(const QString& s, qsizetype i) {
    if (i >= s.size() || !IsNameStart(s[i])) return i;
    while (i < s.size() && IsNameChar(s[i]))
        ++i;
    return i;
}

} // namespace

namespace kv {

TkvSqlParameterText SplitSqlParameters(const QString& sql) {
    TkvSqlParameterText out;
    out.Sql.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype copied = 0; // sql[copied, i) still to be copied
    qsizetype i = 0;
    std::unordered_map<QByteArray, qsizetype> seen;
    auto skipTo = [&](qsizetype end) { i = std::min(end, n); };
    while (i < n) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            // E'...' texts escape with a backslash; all quoted parts double their quote.
            const bool backslash = c == u'\'' && i > 0 && (sql[i - 1] == u'E' || sql[i - 1] == u'e') &&
                                   (i < 2 || !IsNameChar(sql[i - 2]));
            qsizetype j = i + 1;
            while (j < n) {
                if (backslash && sql[j] == u'\\') {
                    j += 2;
                    continue;
                }
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            skipTo(j + 1);
            continue;
        }
        if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            skipTo(end < 0 ? n : end + 1);
            continue;
        }
        if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            skipTo(end < 0 ? n : end + 2);
            continue;
        }
        if (c == u'$' && (i == 0 || !IsNameChar(sql[i - 1]))) {
            // $tag$ ... $tag$ (the tag may be empty; $1 is a positional parameter, not a tag).
            const qsizetype tagEnd = NameEnd(sql, i + 1);
            if (tagEnd < n && sql[tagEnd] == u'$') {
                const QString tag = sql.mid(i, tagEnd - i + 1);
                const qsizetype end = sql.indexOf(tag, tagEnd + 1);
                skipTo(end < 0 ? n : end + tag.size());
                continue;
            }
        }
        if (c == u'?') {
            ++out.OtherPlaceholders;
            ++i;
            continue;
        }
        if (c == u':') {
            if (i + 1 < n && sql[i + 1] == u':') { // a cast
                i += 2;
                continue;
            }
            const bool afterName = i > 0 && IsNameChar(sql[i - 1]);
            qsizetype end = afterName ? i + 1 : NameEnd(sql, i + 1);
            if (end > i + 1) {
                // One qualifying dot: SET.FIELD.
                if (end + 1 < n && sql[end] == u'.') {
                    const qsizetype fieldEnd = NameEnd(sql, end + 1);
                    if (fieldEnd > end + 1) end = fieldEnd;
                }
                const QByteArray name = sql.mid(i + 1, end - i - 1).toUtf8();
                // Names are compared without regard to case.
                const auto [at, added] = seen.try_emplace(name.toLower(), out.Names.size());
                const qsizetype index = at->second;
                if (added) out.Names.append(name);
                out.Sql += QStringView(sql).mid(copied, i - copied);
                out.Sql += u'?';
                out.Order.push_back(static_cast<int>(index));
                copied = i = end;
                continue;
            }
        }
        ++i;
    }
    out.Sql += QStringView(sql).mid(copied);
    return out;
}

} // namespace kv
