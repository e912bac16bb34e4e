#include "base/format_settings.h"

#include "base/codepage.h"
#include "base/library_texts.h"

#include <QLocale>

namespace {

constexpr const char* kShortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kLongMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                         "July",    "August",   "September", "October", "November", "December"};
constexpr const char* kShortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kLongDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

QByteArray Text(int id) {
    const char* t = kv::BuiltInLibraryText(id);
    return t ? QByteArray(t) : QByteArray();
}

// One byte of the code page for a separator; a character the code page cannot hold becomes a blank
// (narrow no-break spaces and the like are the usual ones).
char SeparatorByte(const QString& s, int charset, char fallback) {
    if (s.isEmpty()) return fallback;
    const QByteArray b = kv::EncodeText(s.left(1), charset);
    if (b.size() != 1 || (b[0] == '?' && s[0] != QChar('?'))) return ' ';
    return b[0];
}

// A Qt date/time format in the library's pattern letters. The locale's separators become "/" and
// ":" so that an overridden separator applies to the locale's own forms as well.
QByteArray FromQtFormat(const QString& qt, QChar dateSep, QChar timeSep, int charset) {
    QByteArray out;
    const qsizetype n = qt.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = qt[i];
        qsizetype run = 1;
        while (i + run < n && qt[i + run] == c) ++run;
        if (c == QChar('\'')) {
            // Quoted text; '' is one quote.
            if (run >= 2) {
                out += '\'';
                i += 2;
                continue;
            }
            qsizetype j = i + 1;
            QString lit;
            while (j < n) {
                if (qt[j] == QChar('\'')) {
                    if (j + 1 < n && qt[j + 1] == QChar('\'')) {
                        lit += QChar('\'');
                        j += 2;
                        continue;
                    }
                    break;
                }
                lit += qt[j++];
            }
            if (!lit.isEmpty()) out += '"' + kv::EncodeText(lit, charset) + '"';
            i = j + 1;
            continue;
        }
        const char l = c.toLatin1();
        switch (l) {
        case 'd': out += QByteArray(int(std::min<qsizetype>(run, 4)), 'd'); break;
        case 'M': out += QByteArray(int(std::min<qsizetype>(run, 4)), 'm'); break;
        case 'y': out += run <= 2 ? "yy" : "yyyy"; break;
        case 'h':
        case 'H': out += run >= 2 ? "hh" : "h"; break;
        case 'm': out += run >= 2 ? "nn" : "n"; break;
        case 's': out += run >= 2 ? "ss" : "s"; break;
        case 'A':
        case 'a':
            if (i + 1 < n && (qt[i + 1] == QChar('P') || qt[i + 1] == QChar('p'))) {
                out += "am/pm";
                i += 2;
                continue;
            }
            out += "am/pm";
            break;
        case 'z':
        case 't': break; // milliseconds and time zones have no letter of their own
        default:
            for (qsizetype k = 0; k < run; ++k) {
                if (c == dateSep) out += '/';
                else if (c == timeSep) out += ':';
                else if (c.isLetter()) out += '"' + kv::EncodeText(QString(c), charset) + '"';
                else out += kv::EncodeText(QString(c), charset);
            }
        }
        i += run;
    }
    return out.trimmed();
}

// The first character of a format that is neither a letter nor a quote nor a blank.
QChar FirstSeparator(const QString& format, QChar fallback) {
    for (QChar c : format)
        if (!c.isLetterOrNumber() && c != QChar('\'') && !c.isSpace()) return c;
    return fallback;
}

} // namespace

TkvFormatSettings::TkvFormatSettings() {
    for (int i = 0; i < 12; ++i) {
        ShortMonthNames[size_t(i)] = kShortMonths[i];
        LongMonthNames[size_t(i)] = kLongMonths[i];
    }
    for (int i = 0; i < 7; ++i) {
        ShortDayNames[size_t(i)] = kShortDays[i];
        LongDayNames[size_t(i)] = kLongDays[i];
    }
    for (int i = 0; i < 3; ++i) DatePatterns[size_t(i)] = Text(55175 + i);
    for (int i = 0; i < 4; ++i) TimePatterns[size_t(i)] = Text(55179 + i);
    for (int i = 0; i < 4; ++i) BooleanPatterns[size_t(i)] = Text(55170 + i);
}

TkvFormatSettings TkvFormatSettings::FromLocale(const QLocale& locale, int charset) {
    TkvFormatSettings s;
    s.DecimalSeparator = SeparatorByte(locale.decimalPoint(), charset, '.');
    s.ThousandSeparator = SeparatorByte(locale.groupSeparator(), charset, ',');
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    const QString longTime = locale.timeFormat(QLocale::LongFormat);
    const QChar dateSep = FirstSeparator(shortDate, QChar('/'));
    const QChar timeSep = FirstSeparator(locale.timeFormat(QLocale::ShortFormat), QChar(':'));
    s.DateSeparator = SeparatorByte(dateSep, charset, '/');
    s.TimeSeparator = SeparatorByte(timeSep, charset, ':');
    s.ShortDateFormat = FromQtFormat(shortDate, dateSep, timeSep, charset);
    s.LongDateFormat = FromQtFormat(locale.dateFormat(QLocale::LongFormat), dateSep, timeSep, charset);
    s.ShortTimeFormat = FromQtFormat(locale.timeFormat(QLocale::ShortFormat), dateSep, timeSep, charset);
    s.LongTimeFormat = FromQtFormat(longTime, dateSep, timeSep, charset);
    if (!locale.amText().isEmpty()) s.TimeAMString = kv::EncodeText(locale.amText(), charset);
    if (!locale.pmText().isEmpty()) s.TimePMString = kv::EncodeText(locale.pmText(), charset);
    for (int i = 0; i < 12; ++i) {
        s.ShortMonthNames[size_t(i)] = kv::EncodeText(locale.monthName(i + 1, QLocale::ShortFormat), charset);
        s.LongMonthNames[size_t(i)] = kv::EncodeText(locale.monthName(i + 1, QLocale::LongFormat), charset);
    }
    for (int i = 0; i < 7; ++i) {
        const int qtDay = i == 0 ? 7 : i; // Qt counts Monday 1 ... Sunday 7
        s.ShortDayNames[size_t(i)] = kv::EncodeText(locale.dayName(qtDay, QLocale::ShortFormat), charset);
        s.LongDayNames[size_t(i)] = kv::EncodeText(locale.dayName(qtDay, QLocale::LongFormat), charset);
    }
    return s;
}

QByteArrayList TkvFormatSettings::ApplyOverrides(const QByteArray& items) {
    QByteArrayList rejected;
    for (const QByteArray& item : items.split(';')) {
        if (item.trimmed().isEmpty()) continue;
        const qsizetype eq = item.indexOf('=');
        if (eq <= 0) {
            rejected.append(item);
            continue;
        }
        const QByteArray name = item.left(eq).trimmed();
        const QByteArray value = item.mid(eq + 1);
        auto oneChar = [&](char& target, bool emptyMeansNone) {
            if (value.size() == 1) target = value[0];
            else if (value.isEmpty() && emptyMeansNone) target = 0;
            else rejected.append(item);
        };
        auto pattern = [&](QByteArray& target) {
            if (value.trimmed().isEmpty() || value.size() > 255) rejected.append(item);
            else target = value;
        };
        if (name == "decimal") oneChar(DecimalSeparator, false);
        else if (name == "thousands") oneChar(ThousandSeparator, true);
        else if (name == "dateSeparator") oneChar(DateSeparator, false);
        else if (name == "timeSeparator") oneChar(TimeSeparator, false);
        else if (name == "shortDate") pattern(ShortDateFormat);
        else if (name == "longDate") pattern(LongDateFormat);
        else if (name == "shortTime") pattern(ShortTimeFormat);
        else if (name == "longTime") pattern(LongTimeFormat);
        else rejected.append(item);
    }
    return rejected;
}

const TkvFormatSettings& TkvFormatSettings::System() {
    static const TkvFormatSettings settings = [] {
        TkvFormatSettings s = FromLocale(QLocale());
        s.ApplyOverrides(qgetenv("KV_FORMAT_SETTINGS"));
        return s;
    }();
    return settings;
}
