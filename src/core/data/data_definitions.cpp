#include "core/data/data_definitions.h"

#include "base/atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>
#include <QUrlQuery>

namespace {

[[noreturn]] void Fail(const QString& fileName, int line, const QString& what) {
    QString where = fileName;
    if (line > 0) where += ':' + QString::number(line);
    throw TkvDataFileError((where + ": " + what).toStdString());
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray Shown(const QByteArray& text) {
    QByteArray s = text.left(40);
    for (char& c : s)
        if (uchar(c) < 0x20) c = '?';
    return text.size() > 40 ? s + "..." : s;
}

bool IsPostgres(const QString& database) {
    return database.startsWith("postgresql://") || database.startsWith("postgres://");
}

// What a section holds while it is read: the line it started on and the keys seen.
struct Section {
    enum class Kind { None, Connection, Data } Kind = Kind::None;
    int Line = 0;
    QList<QByteArray> Keys;
    TkvDataSetDefinition Set;
    bool HasSource = false;
};

} // namespace

QString TkvDataDefinitions::FileFor(const QString& templateFile) {
    const QFileInfo info(templateFile);
    return info.dir().filePath(info.completeBaseName() + '.' + Extension);
}

bool TkvDataDefinitions::ValidName(const QByteArray& name) {
    if (name.isEmpty() || name.size() > MaxNameLength) return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        if (!letter && !(i > 0 && c >= '0' && c <= '9')) return false;
    }
    return true;
}

bool TkvDataDefinitions::HasPassword(const QString& database) {
    if (!IsPostgres(database)) return false;
    const QUrl url(database);
    return !url.password().isEmpty() || QUrlQuery(url).hasQueryItem("password") ||
           database.contains("password=", Qt::CaseInsensitive);
}

TkvDataDefinitions TkvDataDefinitions::Parse(const QByteArray& text, const QString& fileName) {
    if (text.size() > MaxFileBytes)
        Fail(fileName, 0, QString("the data file is larger than %1 KiB").arg(MaxFileBytes / 1024));
    TkvDataDefinitions out;
    Section section;
    QString* value = nullptr; // the value the next continued line adds to
    int valueLine = 0;

    // Ends the section being read: a data set needs its source.
    auto closeSection = [&]() {
        if (section.Kind == Section::Kind::Data) {
            if (!section.HasSource)
                Fail(fileName, section.Line,
                     "data set " + QString::fromUtf8(section.Set.Name) + " has neither sql nor csv");
            if (section.Set.Kind == TkvDataSetDefinition::Source::Sql && section.Set.Sql.trimmed().isEmpty())
                Fail(fileName, section.Line, "data set " + QString::fromUtf8(section.Set.Name) + " has an empty query");
            if (section.Set.Kind == TkvDataSetDefinition::Source::Sql &&
                (section.Keys.contains("separator") || section.Keys.contains("encoding")))
                Fail(fileName, section.Line,
                     "data set " + QString::fromUtf8(section.Set.Name) + ": separator and encoding belong to a CSV file");
            if (section.Set.Kind == TkvDataSetDefinition::Source::Csv && section.Set.CsvPath.isEmpty())
                Fail(fileName, section.Line, "data set " + QString::fromUtf8(section.Set.Name) + " names no CSV file");
            out.Sets.push_back(section.Set);
        }
        section = Section();
        value = nullptr;
    };

    qsizetype pos = 0;
    int lineNo = 0;
    if (text.startsWith("\xEF\xBB\xBF")) pos = 3;
    while (pos < text.size()) {
        ++lineNo;
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0) end = text.size();
        QByteArray line = text.mid(pos, end - pos);
        pos = end + 1;
        if (line.endsWith('\r')) line.chop(1);
        if (line.size() > MaxLineBytes)
            Fail(fileName, lineNo, QString("the line is longer than %1 KiB").arg(MaxLineBytes / 1024));
        if (line.contains('\0')) Fail(fileName, lineNo, "the line holds a zero byte");
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8.decode(line);
        if (utf8.hasError()) Fail(fileName, lineNo, "the line is not UTF-8 text");

        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty() || line.startsWith('#') || line.startsWith(';')) continue;

        if (IsBlank(line[0])) {
            // The value of the last key goes on.
            if (!value) Fail(fileName, lineNo, "an indented line continues no value");
            if (value->size() + decoded.size() > MaxValueBytes)
                Fail(fileName, valueLine, QString("the value is longer than %1 KiB").arg(MaxValueBytes / 1024));
            const QString more = decoded.trimmed();
            *value = value->isEmpty() ? more : *value + '\n' + more;
            continue;
        }

        if (trimmed.startsWith('[')) {
            if (!trimmed.endsWith(']')) Fail(fileName, lineNo, "a section line ends in ]");
            closeSection();
            const QByteArray head = trimmed.mid(1, trimmed.size() - 2).trimmed();
            section.Line = lineNo;
            if (head == "connection") {
                // One connection, before or after the data sets; a second database key is refused.
                section.Kind = Section::Kind::Connection;
                continue;
            }
            if (head.startsWith("data") && head.size() > 4 && IsBlank(head[4])) {
                const QByteArray name = head.mid(5).trimmed();
                if (!ValidName(name))
                    Fail(fileName, lineNo,
                         "'" + QString::fromUtf8(Shown(name)) +
                             "' is no data set name (letters, digits and _, not starting with a digit, at most " +
                             QString::number(MaxNameLength) + ")");
                if (out.Find(name)) Fail(fileName, lineNo, "data set " + QString::fromUtf8(name) + " is defined twice");
                if (int(out.Sets.size()) >= MaxDataSets)
                    Fail(fileName, lineNo, QString("more than %1 data sets").arg(MaxDataSets));
                section.Kind = Section::Kind::Data;
                section.Set.Name = name;
                continue;
            }
            Fail(fileName, lineNo,
                 "unknown section [" + QString::fromUtf8(Shown(head)) + "] ([connection] or [data NAME])");
        }

        const qsizetype eq = line.indexOf('=');
        if (eq < 0) Fail(fileName, lineNo, "expected KEY = VALUE");
        const QByteArray key = line.left(eq).trimmed().toLower();
        const QString v = QString::fromUtf8(line.mid(eq + 1)).trimmed();
        if (section.Kind == Section::Kind::None)
            Fail(fileName, lineNo, "'" + QString::fromUtf8(Shown(key)) + "' stands before any section");
        if (section.Keys.contains(key)) Fail(fileName, lineNo, "'" + QString::fromUtf8(key) + "' is given twice");
        section.Keys.append(key);
        value = nullptr;
        valueLine = lineNo;

        if (section.Kind == Section::Kind::Connection) {
            if (key != "database")
                Fail(fileName, lineNo, "unknown key '" + QString::fromUtf8(Shown(key)) + "' (database)");
            if (!out.Database.isEmpty()) Fail(fileName, lineNo, "the connection is given twice");
            if (!v.startsWith("sqlite:") && !IsPostgres(v))
                Fail(fileName, lineNo, "the database is sqlite:PATH or postgresql://HOST/DB");
            if (v == "sqlite:") Fail(fileName, lineNo, "sqlite: names no file");
            if (HasPassword(v))
                Fail(fileName, lineNo,
                     "a password is never kept in the data file: PostgreSQL takes it from PGPASSWORD or ~/.pgpass");
            out.Database = v;
            continue;
        }

        TkvDataSetDefinition& set = section.Set;
        if (key == "sql" || key == "csv") {
            if (section.HasSource) Fail(fileName, lineNo, "a data set has either sql or csv, not both");
            section.HasSource = true;
            if (key == "sql") {
                set.Kind = TkvDataSetDefinition::Source::Sql;
                set.Sql = v;
                value = &set.Sql;
            } else {
                set.Kind = TkvDataSetDefinition::Source::Csv;
                set.CsvPath = v;
            }
        } else if (key == "separator") {
            if (v == "tab") set.Separator = '\t';
            else if (v.size() == 1 && v[0].unicode() > 0x20 && v[0].unicode() < 0x7F && v[0] != '"')
                set.Separator = char(v[0].unicode());
            else
                Fail(fileName, lineNo, "the separator is one character or \"tab\"");
        } else if (key == "encoding") {
            const QByteArray name = v.toLatin1();
            if (name.isEmpty() || name.size() > 40 || !QStringDecoder(name.constData()).isValid())
                Fail(fileName, lineNo, "unknown encoding '" + QString::fromUtf8(Shown(v.toUtf8())) + "'");
            set.Encoding = name.compare("UTF-8", Qt::CaseInsensitive) == 0 ? QByteArray("UTF-8") : name;
        } else {
            Fail(fileName, lineNo,
                 "unknown key '" + QString::fromUtf8(Shown(key)) + "' (sql, csv, separator, encoding)");
        }
    }
    closeSection();
    return out;
}

TkvDataDefinitions TkvDataDefinitions::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) Fail(path, 0, "cannot be read: " + file.errorString());
    // One byte more than allowed tells a file that is too large without reading all of it.
    const QByteArray text = file.read(MaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) Fail(path, 0, "cannot be read: " + file.errorString());
    return Parse(text, path);
}

namespace {

void WriteValue(QByteArray& out, const char* key, const QString& value) {
    out += key;
    out += " = ";
    bool first = true;
    for (const QString& part : value.split('\n')) {
        const QString line = part.trimmed();
        if (line.isEmpty()) continue;
        if (!first) out += "    ";
        out += line.toUtf8() + '\n';
        first = false;
    }
    if (first) out += '\n';
}

} // namespace

QByteArray TkvDataDefinitions::Serialize() const {
    QByteArray out = "# The data of a report template: its database connection and named data sets.\n"
                     "# Paths are relative to this file's folder; a line starting with a blank continues\n"
                     "# the value above it.\n";
    if (!Database.isEmpty()) {
        QString database = Database;
        if (HasPassword(database)) {
            QUrl url(database);
            url.setPassword({});
            QUrlQuery query(url);
            query.removeAllQueryItems("password");
            url.setQuery(query);
            database = url.toString();
        }
        out += "\n[connection]\n";
        WriteValue(out, "database", database);
    }
    for (const TkvDataSetDefinition& set : Sets) {
        out += "\n[data " + set.Name + "]\n";
        if (set.Kind == TkvDataSetDefinition::Source::Sql) {
            WriteValue(out, "sql", set.Sql);
            continue;
        }
        WriteValue(out, "csv", set.CsvPath);
        if (set.Separator != ',')
            out += set.Separator == '\t' ? QByteArray("separator = tab\n")
                                         : "separator = " + QByteArray(1, set.Separator) + '\n';
        if (set.Encoding.compare("UTF-8", Qt::CaseInsensitive) != 0) out += "encoding = " + set.Encoding + '\n';
    }
    return out;
}

void TkvDataDefinitions::Save(const QString& path) const {
    const QString error = kv::WriteFileAtomically(path, Serialize());
    if (!error.isEmpty()) throw TkvDataFileError(error.toStdString());
}

const TkvDataSetDefinition* TkvDataDefinitions::Find(const QByteArray& name) const {
    for (const TkvDataSetDefinition& s : Sets)
        if (s.Name.compare(name, Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

void TkvDataDefinitions::Set(const TkvDataSetDefinition& set) {
    for (TkvDataSetDefinition& s : Sets)
        if (s.Name.compare(set.Name, Qt::CaseInsensitive) == 0) {
            s = set;
            return;
        }
    Sets.push_back(set);
}

bool TkvDataDefinitions::Remove(const QByteArray& name) {
    for (auto it = Sets.begin(); it != Sets.end(); ++it)
        if (it->Name.compare(name, Qt::CaseInsensitive) == 0) {
            Sets.erase(it);
            return true;
        }
    return false;
}

QString TkvDataDefinitions::ResolvedDatabase(const QDir& folder) const {
    if (!Database.startsWith("sqlite:")) return Database;
    const QString path = Database.mid(7);
    if (path == ":memory:" || QDir::isAbsolutePath(path)) return Database;
    return "sqlite:" + QDir::cleanPath(folder.absoluteFilePath(path));
}

QString TkvDataDefinitions::ResolvedCsvPath(const TkvDataSetDefinition& set, const QDir& folder) {
    if (QDir::isAbsolutePath(set.CsvPath)) return set.CsvPath;
    return QDir::cleanPath(folder.absoluteFilePath(set.CsvPath));
}
