#include "engine/data/row_sources.h"

#include "base/codepage.h"
#include "engine/data/sql_parameters.h"

#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <QUrlQuery>
#include <QUuid>
#include <cmath>
#include <cstring>

namespace {

constexpr int kDefaultCharset = 1;

bool IsAscii(const char* p, qsizetype n) {
    for (qsizetype i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
    return true;
}

bool IsAscii(const QString& s) {
    for (QChar c : s)
        if (c.unicode() >= 0x80) return false;
    return true;
}

// Whether the report code page writes the ASCII characters as themselves (checked once: every
// table the code pages come from is, but a converter that is not would get every text wrong).
bool AsciiIsItself() {
    static const bool same = [] {
        QString all;
        for (char16_t c = 1; c < 0x80; ++c)
            all.append(QChar(c));
        return kv::EncodeText(all, kDefaultCharset) == all.toLatin1();
    }();
    return same;
}

// Texts of the engine are bytes of the report code page. Most texts of a data set are ASCII and
// skip the converter, which is the costliest step of reading a row.
QByteArray ReportText(const QString& s) {
    if (IsAscii(s) && AsciiIsItself()) return s.toLatin1();
    return kv::EncodeText(s, kDefaultCharset);
}

std::string OneLine(QString s) {
    s.replace('\n', ' ');
    s.replace('\r', ' ');
    return s.simplified().toStdString();
}

TkvFieldType FieldTypeOf(QMetaType t) {
    switch (t.id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
        return TkvFieldType::Integer;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return TkvFieldType::LargeInt;
    case QMetaType::Double:
    case QMetaType::Float:
        return TkvFieldType::Float;
    case QMetaType::Bool:
        return TkvFieldType::Boolean;
    case QMetaType::QDate:
    case QMetaType::QTime:
    case QMetaType::QDateTime:
        return TkvFieldType::DateTime;
    case QMetaType::QByteArray:
        return TkvFieldType::Blob;
    default:
        return TkvFieldType::String;
    }
}

double DaysOf(const QDateTime& t) {
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    const QDateTime wall(t.date(), t.time(), Qt::UTC);
    return static_cast<double>(epoch.msecsTo(wall)) / 86400000.0;
}

TkvVariant ValueOf(const QVariant& v) {
    if (v.isNull() || !v.isValid()) return TkvVariant::Null();
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
        return TkvVariant(static_cast<int64_t>(v.toLongLong()));
    case QMetaType::ULongLong:
        return TkvVariant(static_cast<int64_t>(v.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return TkvVariant(v.toDouble());
    case QMetaType::Bool:
        return TkvVariant(v.toBool());
    case QMetaType::QDate:
        return TkvVariant(TkvVariant::DateTimeValue{DaysOf(QDateTime(v.toDate(), QTime(0, 0)))});
    case QMetaType::QDateTime:
        return TkvVariant(TkvVariant::DateTimeValue{DaysOf(v.toDateTime())});
    case QMetaType::QTime:
        return TkvVariant(TkvVariant::DateTimeValue{QTime(0, 0).msecsTo(v.toTime()) / 86400000.0});
    case QMetaType::QByteArray:
        return TkvVariant(v.toByteArray());
    default: {
        const QString s = v.toString();
        return TkvVariant(ReportText(s));
    }
    }
}

// A parameter value as the database takes it: texts in the report code page become Unicode, a
// date without a time a date (as SQLite stores dates), null a null text.
QVariant SqlValueOf(const TkvVariant& v) {
    switch (v.kind()) {
    case TkvVariant::Kind::Integer:
        return QVariant(static_cast<qlonglong>(v.toInt()));
    case TkvVariant::Kind::Float:
        return QVariant(v.toDouble());
    case TkvVariant::Kind::Boolean:
        return QVariant(v.toBool());
    case TkvVariant::Kind::DateTime: {
        static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
        const double days = v.toDouble();
        if (!std::isfinite(days) || std::abs(days) > 3.0e6) return QVariant(QMetaType::fromType<QString>());
        const QDateTime t = epoch.addMSecs(static_cast<qint64>(std::llround(days * 86400000.0)));
        if (t.time() == QTime(0, 0)) return QVariant(t.date());
        return QVariant(QDateTime(t.date(), t.time()));
    }
    case TkvVariant::Kind::Text:
        return QVariant(kv::DecodeText(v.toText(), kDefaultCharset));
    default:
        return QVariant(QMetaType::fromType<QString>());
    }
}

} // namespace

// ---------------------------------------------------------------- SQL

TkvSqlConnection::TkvSqlConnection(const QString& address) {
    name_ = "kv-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QSqlDatabase db;
    if (address.startsWith("sqlite:")) {
        db = QSqlDatabase::addDatabase("QSQLITE", name_);
        const QString path = address.mid(7);
        // An existing file only: opening must not create an empty database behind a mistyped path.
        if (path != ":memory:" && !QFile::exists(path)) {
            QSqlDatabase::removeDatabase(name_);
            throw TkvDataError("Cannot open the database " + path.toStdString() + ": no such file");
        }
        db.setDatabaseName(path);
    } else if (address.startsWith("postgresql://") || address.startsWith("postgres://")) {
        const QUrl url(address);
        db = QSqlDatabase::addDatabase("QPSQL", name_);
        if (!db.isValid()) {
            QSqlDatabase::removeDatabase(name_);
            throw TkvDataError("The PostgreSQL driver of Qt is not installed");
        }
        const QUrlQuery q(url);
        QString host = url.host();
        if (q.hasQueryItem("host")) host = q.queryItemValue("host");
        if (!host.isEmpty()) db.setHostName(host);
        if (url.port() > 0) db.setPort(url.port());
        if (q.hasQueryItem("port")) db.setPort(q.queryItemValue("port").toInt());
        if (!url.userName().isEmpty()) db.setUserName(url.userName());
        if (q.hasQueryItem("user")) db.setUserName(q.queryItemValue("user"));
        if (!url.password().isEmpty()) db.setPassword(url.password());
        db.setDatabaseName(url.path().mid(1));
        db.setConnectOptions("connect_timeout=5");
        oneResultAtATime_ = true;
    } else {
        throw TkvDataError("Unknown database address " + address.toStdString() +
                           " (use sqlite:PATH or postgresql://HOST/DB)");
    }
    if (!db.open()) {
        const std::string why = OneLine(db.lastError().text());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
        throw TkvDataError("Cannot open the database: " + why);
    }
}

TkvSqlConnection::~TkvSqlConnection() {
    {
        QSqlDatabase db = QSqlDatabase::database(name_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(name_);
}

QString TkvSqlConnection::DriverName() const {
    return QSqlDatabase::database(name_, false).driverName();
}

bool TkvSqlConnection::TakeSession(const void* user) const {
    if (!oneResultAtATime_) return true;
    if (sessionUser_ && sessionUser_ != user) return false;
    sessionUser_ = user;
    return true;
}

void TkvSqlConnection::FreeSession(const void* user) const {
    if (sessionUser_ == user) sessionUser_ = nullptr;
}

QString TkvSqlConnection::OpenSession() const {
    const QString session = "kv-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QSqlDatabase db = QSqlDatabase::cloneDatabase(name_, session);
    if (!db.open()) {
        const std::string why = OneLine(db.lastError().text());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(session);
        throw TkvDataError("Cannot open the database: " + why);
    }
    return session;
}

void TkvSqlConnection::CloseSession(const QString& session) const {
    {
        QSqlDatabase db = QSqlDatabase::database(session, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(session);
}

struct TkvSqlRowSource::Query {
    QSqlQuery q;
    int columns = 0;
};

TkvSqlRowSource::TkvSqlRowSource(const TkvSqlConnection& connection, QString sql, QByteArray datasetName)
    : connection_(connection), sql_(std::move(sql)), datasetName_(std::move(datasetName)) {
    TkvSqlParameterText split = kv::SplitSqlParameters(sql_);
    if (split.Names.isEmpty()) return; // the text goes to the database as it is
    if (split.OtherPlaceholders > 0)
        throw TkvDataError("Data set " + datasetName_.toStdString() +
                           ": the query mixes ? placeholders with named parameters (:NAME)");
    sql_ = std::move(split.Sql);
    names_ = std::move(split.Names);
    order_ = std::move(split.Order);
    parameters_.resize(static_cast<size_t>(names_.size()));
}

void TkvSqlRowSource::LinkParameter(int index, TkvRecordSet& from, const QByteArray& field) {
    if (index < 0 || index >= static_cast<int>(parameters_.size())) return;
    Parameter& p = parameters_[static_cast<size_t>(index)];
    p.From = &from;
    p.Field = field;
    bound_ = false;
}

bool TkvSqlRowSource::Rebind() {
    if (parameters_.empty()) return false;
    bool changed = !bound_;
    for (size_t i = 0; i < parameters_.size(); ++i) {
        Parameter& p = parameters_[i];
        if (!p.From)
            throw TkvDataError("Data set " + datasetName_.toStdString() + ": the parameter :" +
                               names_[static_cast<qsizetype>(i)].toStdString() +
                               " is linked to no field of another data set");
        TkvDataField* f = p.From->FieldByName(p.Field);
        if (!f)
            throw TkvDataError("Data set " + datasetName_.toStdString() + ": the parameter :" +
                               names_[static_cast<qsizetype>(i)].toStdString() + " names a field " +
                               p.Field.toStdString() + " that " + p.From->ComponentName().toStdString() +
                               " does not have");
        TkvVariant v = f->Value();
        if (v.isUnassigned()) v = TkvVariant::Null();
        if (!(v == p.Value) || !bound_) {
            p.Value = std::move(v);
            changed = true;
        }
    }
    bound_ = true;
    return changed;
}

TkvSqlRowSource::~TkvSqlRowSource() {
    EndQuery();
    if (!ownSession_.isEmpty()) connection_.CloseSession(ownSession_);
}

void TkvSqlRowSource::EndQuery() {
    query_.reset();
    connection_.FreeSession(this);
}

void TkvSqlRowSource::Restart() {
    EndQuery();
    QString session = connection_.ConnectionName();
    if (!connection_.TakeSession(this)) {
        if (ownSession_.isEmpty()) {
            try {
                ownSession_ = connection_.OpenSession();
            } catch (const std::exception& e) {
                throw TkvDataError("Data set " + datasetName_.toStdString() + ": " + e.what());
            }
        }
        session = ownSession_;
    }
    query_ = std::make_unique<Query>();
    query_->q = QSqlQuery(QSqlDatabase::database(session, false));
    query_->q.setForwardOnly(true);
    bool ran = false;
    if (parameters_.empty()) {
        ran = query_->q.exec(sql_);
    } else {
        if (!bound_) Rebind();
        ran = query_->q.prepare(sql_);
        if (ran) {
            for (int index : order_)
                query_->q.addBindValue(SqlValueOf(parameters_[static_cast<size_t>(index)].Value));
            ran = query_->q.exec();
        }
    }
    if (!ran) {
        const std::string why = OneLine(query_->q.lastError().text());
        EndQuery();
        throw TkvDataError("Data set " + datasetName_.toStdString() + ": " + why);
    }
    const QSqlRecord rec = query_->q.record();
    columns_.clear();
    for (int i = 0; i < rec.count(); ++i)
        columns_.push_back({ReportText(rec.fieldName(i)), FieldTypeOf(rec.field(i).metaType())});
    query_->columns = rec.count();
}

bool TkvSqlRowSource::FetchRow(TkvRow& row) {
    if (!query_) return false;
    if (!query_->q.next()) {
        const QSqlError error = query_->q.lastError();
        // The result is read to its end: the session can run other queries.
        EndQuery();
        if (error.isValid())
            throw TkvDataError("Data set " + datasetName_.toStdString() + ": " + OneLine(error.text()));
        return false;
    }
    row.resize(static_cast<size_t>(query_->columns));
    for (int i = 0; i < query_->columns; ++i)
        row[static_cast<size_t>(i)] = ValueOf(query_->q.value(i));
    return true;
}

void TkvSqlRowSource::Close() {
    EndQuery();
}

// ---------------------------------------------------------------- CSV

TkvCsvRowSource::TkvCsvRowSource(QString path, QByteArray datasetName, Options options)
    : path_(std::move(path)), datasetName_(std::move(datasetName)), options_(std::move(options)) {
    utf8_ = options_.Encoding.compare("UTF-8", Qt::CaseInsensitive) == 0 ||
            options_.Encoding.compare("UTF8", Qt::CaseInsensitive) == 0;
    if (!utf8_ && !QStringDecoder(options_.Encoding.constData()).isValid())
        throw TkvDataError("Data set " + datasetName_.toStdString() + ": unknown encoding " +
                           options_.Encoding.toStdString());
}

TkvCsvRowSource::~TkvCsvRowSource() = default;

void TkvCsvRowSource::Restart() {
    file_ = std::make_unique<QFile>(path_);
    if (!file_->open(QIODevice::ReadOnly))
        throw TkvDataError("Data set " + datasetName_.toStdString() + ": cannot open " + path_.toStdString());
    buffer_.clear();
    pos_ = 0;
    atEnd_ = false;
    std::vector<QByteArray> names;
    std::vector<bool> quoted;
    columns_.clear();
    if (!ReadRecord(names, quoted)) return;
    // A UTF-8 byte order mark before the first name is not part of it.
    if (!names.empty() && names[0].startsWith("\xEF\xBB\xBF")) names[0].remove(0, 3);
    for (const QByteArray& n : names)
        columns_.push_back({Decode(n), TkvFieldType::String});
}

void TkvCsvRowSource::Close() {
    file_.reset();
}

bool TkvCsvRowSource::FillBuffer() {
    if (atEnd_ || !file_) return false;
    if (pos_ > 0) {
        buffer_.remove(0, pos_);
        pos_ = 0;
    }
    const QByteArray more = file_->read(1 << 16);
    if (more.isEmpty()) {
        atEnd_ = true;
        return false;
    }
    buffer_.append(more);
    return true;
}

QByteArray TkvCsvRowSource::Decode(const QByteArray& bytes) {
    if (IsAscii(bytes.constData(), bytes.size())) return bytes;
    if (utf8_) return ReportText(QString::fromUtf8(bytes));
    QStringDecoder dec(options_.Encoding.constData());
    return ReportText(dec.decode(bytes));
}

bool TkvCsvRowSource::ReadRecord(std::vector<QByteArray>& fields, std::vector<bool>& quoted) {
    fields.clear();
    quoted.clear();
    QByteArray field;
    bool inQuotes = false, wasQuoted = false, any = false;
    qint64 recordBytes = 0;
    const char sep = options_.Separator;
    auto endField = [&] {
        if (static_cast<int>(fields.size()) >= MaxColumns)
            throw TkvDataError("Data set " + datasetName_.toStdString() + ": more than 4096 columns");
        fields.push_back(std::move(field));
        quoted.push_back(wasQuoted);
        field = QByteArray();
        wasQuoted = false;
    };
    for (;;) {
        if (pos_ >= buffer_.size() && !FillBuffer()) {
            if (inQuotes)
                throw TkvDataError("Data set " + datasetName_.toStdString() + ": a quoted field never ends");
            if (!any) return false;
            endField();
            return true;
        }
        const char* p = buffer_.constData();
        const qsizetype n = buffer_.size();
        while (pos_ < n) {
            const char c = p[pos_];
            any = true;
            if (++recordBytes > MaxRecordBytes)
                throw TkvDataError("Data set " + datasetName_.toStdString() + ": a record longer than 16 MB");
            if (inQuotes) {
                if (c == '"') {
                    // A doubled quote is a quote; a single one ends the quoted part. The next byte
                    // may not be in the buffer yet.
                    if (pos_ + 1 >= n) {
                        if (!FillBuffer()) {
                            ++pos_;
                            inQuotes = false;
                            break;
                        }
                        break; // the outer loop takes the grown buffer
                    }
                    if (p[pos_ + 1] == '"') {
                        field.append('"');
                        pos_ += 2;
                        ++recordBytes;
                        continue;
                    }
                    inQuotes = false;
                    ++pos_;
                    continue;
                }
                // Take the run of bytes up to the next quote at once.
                const void* quote = std::memchr(p + pos_ + 1, '"', static_cast<size_t>(n - pos_ - 1));
                const qsizetype end = quote ? static_cast<const char*>(quote) - p : n;
                field.append(p + pos_, end - pos_);
                recordBytes += end - pos_ - 1;
                pos_ = end;
                continue;
            }
            if (c == '"' && field.isEmpty() && !wasQuoted) {
                inQuotes = wasQuoted = true;
                ++pos_;
                continue;
            }
            if (c == sep) {
                endField();
                ++pos_;
                continue;
            }
            if (c == '\r' || c == '\n') {
                ++pos_;
                if (c == '\r') {
                    if (pos_ >= buffer_.size()) FillBuffer();
                    if (pos_ < buffer_.size() && buffer_[pos_] == '\n') ++pos_;
                }
                endField();
                return true;
            }
            // Scan a run of plain bytes at once.
            qsizetype end = pos_ + 1;
            while (end < n && p[end] != sep && p[end] != '\r' && p[end] != '\n' && p[end] != '"')
                ++end;
            field.append(p + pos_, end - pos_);
            recordBytes += end - pos_ - 1;
            pos_ = end;
        }
    }
}

bool TkvCsvRowSource::FetchRow(TkvRow& row) {
    std::vector<QByteArray> fields;
    std::vector<bool> quoted;
    for (;;) {
        if (!ReadRecord(fields, quoted)) return false;
        // A blank line is no record.
        if (fields.size() == 1 && fields[0].isEmpty() && !quoted[0]) continue;
        break;
    }
    row.assign(columns_.size(), TkvVariant::Null());
    for (size_t i = 0; i < fields.size() && i < columns_.size(); ++i) {
        if (fields[i].isEmpty() && !quoted[i]) continue;
        row[i] = TkvVariant(Decode(fields[i]));
    }
    return true;
}
