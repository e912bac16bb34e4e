#include "cli/find_command.h"

#include "core/report/report.h"
#include "core/store/emf_pages.h"
#include "core/store/page_search.h"

#include <QStringList>

namespace kvcli {

namespace {

// A match as one output line: control characters (a tab would split the fields) become spaces.
QByteArray MatchLine(int page, const TkvPageMatch& m) {
    QString text = m.Text;
    for (QChar& c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = u' ';
    return QByteArray::number(page) + '\t' + QByteArray::number(m.Bounds.left()) + ',' +
           QByteArray::number(m.Bounds.top()) + '\t' + text.toUtf8() + '\n';
}

} // namespace

CommandResult Find(const QString& path, const QString& text, bool caseSensitive, FILE* out) {
    CommandResult r;
    StartLibrary();
    TkvReport report;
    try {
        report.LoadPreparedFile(path);
    } catch (const std::exception& e) {
        r.ExitCode = 2;
        r.Error = QByteArray("cannot read ") + path.toLocal8Bit() + ": " + e.what();
        return r;
    }
    TkvEMFPages& pages = report.EMFPages;
    bool found = false;
    int damaged = 0;
    QByteArray firstDamage;
    for (int i = 0; i < pages.Count(); ++i) {
        std::vector<TkvPageMatch> matches;
        try {
            matches = kv::FindOnPage(pages, i, text, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
        } catch (const std::exception& e) {
            if (damaged++ == 0) firstDamage = e.what();
            continue;
        }
        for (const TkvPageMatch& m : matches) {
            found = true;
            const QByteArray line = MatchLine(i + 1, m);
            if (out) std::fwrite(line.constData(), 1, size_t(line.size()), out);
            else r.Out += line;
        }
    }
    if (damaged > 0) {
        r.ExitCode = 2;
        r.Error = firstDamage;
        if (damaged > 1) r.Error += " (and " + QByteArray::number(damaged - 1) + " more pages could not be searched)";
        return r;
    }
    r.ExitCode = found ? 0 : 1;
    return r;
}

CommandResult FindFromArguments(const QStringList& args, FILE* out) {
    QStringList positional;
    bool caseSensitive = false;
    bool options = true;
    for (const QString& a : args) {
        if (options && a == "--") options = false;
        else if (options && a == "--case") caseSensitive = true;
        else if (options && a.startsWith("--")) return {2, {}, "find: unknown option " + a.toLocal8Bit()};
        else positional << a;
    }
    if (positional.size() != 2) return {2, {}, "usage: kvtool find FILE TEXT [--case]"};
    return Find(positional[0], positional[1], caseSensitive, out);
}

} // namespace kvcli
