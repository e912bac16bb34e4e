#include "base/date_time.h"

#include "base/format_settings.h"
#include "base/variant.h"

#include <QDate>
#include <cmath>

namespace {

constexpr double kMinDays = -693593.0;    // 1 January 0001
constexpr double kMaxDays = 2958465.99999; // 31 December 9999, end of day
constexpr int kMaxPattern = 4096;

[[noreturn]] void NotADate(const QByteArray& text) {
    throw TkvVariantError("'" + text.left(64).toStdString() + "' is not a valid date and time");
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

constexpr int64_t kEpochOffset = 25569; // 1970-01-01 as a day count since 1899-12-30

int DaysInMonth(int y, int m) {
    static const int n[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : n[m - 1];
}

void AppendNumber(QByteArray& out, int v, int width) {
    QByteArray s = QByteArray::number(v);
    if (s.size() < width) s.prepend(QByteArray(width - s.size(), '0'));
    out += s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

bool StartsWithNoCase(const QByteArray& p, qsizetype i, const char* word) {
    for (qsizetype k = 0; word[k]; ++k)
        if (i + k >= p.size() || Lower(p[i + k]) != word[k]) return false;
    return true;
}

struct Formatter {
    const TkvFormatSettings& fs;
    kv::TkvDateParts t;
    double days;
    QByteArray out;
    int depth = 0;

    // Whether the pattern holds an am/pm marker (12-hour clock).
    static bool HasAmPm(const QByteArray& p) {
        char quote = 0;
        for (qsizetype i = 0; i < p.size(); ++i) {
            if (quote) {
                if (p[i] == quote) quote = 0;
                continue;
            }
            if (p[i] == '"' || p[i] == '\'') quote = p[i];
            else if (StartsWithNoCase(p, i, "am/pm") || StartsWithNoCase(p, i, "a/p")) return true;
        }
        return false;
    }

    void Run(const QByteArray& p) {
        if (p.size() > kMaxPattern || ++depth > 3) throw TkvVariantError("Date format is too long");
        const bool twelve = HasAmPm(p);
        bool afterHour = false;
        for (qsizetype i = 0; i < p.size();) {
            const char c = p[i];
            const char lc = Lower(c);
            qsizetype run = 1;
            while (i + run < p.size() && Lower(p[i + run]) == lc && lc != '"' && lc != '\'') ++run;
            if (c == '"' || c == '\'') {
                qsizetype j = i + 1;
                while (j < p.size() && p[j] != c) out += p[j++];
                i = j + 1;
                continue;
            }
            if (lc == 'a' && StartsWithNoCase(p, i, "am/pm")) {
                out += t.Hour < 12 ? fs.TimeAMString : fs.TimePMString;
                i += 5;
                continue;
            }
            if (lc == 'a' && StartsWithNoCase(p, i, "a/p")) {
                out += t.Hour < 12 ? (c == 'A' ? "A" : "a") : (c == 'A' ? "P" : "p");
                i += 3;
                continue;
            }
            switch (lc) {
            case 'd':
                if (run == 1) AppendNumber(out, t.Day, 1);
                else if (run == 2) AppendNumber(out, t.Day, 2);
                else if (run == 3) out += fs.ShortDayNames[size_t(t.DayOfWeek)];
                else if (run == 4) out += fs.LongDayNames[size_t(t.DayOfWeek)];
                else if (run == 5) Run(fs.ShortDateFormat);
                else Run(fs.LongDateFormat);
                afterHour = false;
                break;
            case 'm':
                if (afterHour && run <= 2) AppendNumber(out, t.Minute, int(run));
                else if (run == 1) AppendNumber(out, t.Month, 1);
                else if (run == 2) AppendNumber(out, t.Month, 2);
                else if (run == 3) out += fs.ShortMonthNames[size_t(t.Month - 1)];
                else out += fs.LongMonthNames[size_t(t.Month - 1)];
                afterHour = false;
                break;
            case 'y':
                if (run <= 2) AppendNumber(out, t.Year % 100, 2);
                else AppendNumber(out, t.Year, 4);
                afterHour = false;
                break;
            case 'h': {
                int h = t.Hour;
                if (twelve) {
                    h %= 12;
                    if (h == 0) h = 12;
                }
                AppendNumber(out, h, run >= 2 ? 2 : 1);
                afterHour = true;
                break;
            }
            case 'n':
                AppendNumber(out, t.Minute, run >= 2 ? 2 : 1);
                afterHour = false;
                break;
            case 's':
                AppendNumber(out, t.Second, run >= 2 ? 2 : 1);
                afterHour = false;
                break;
            case 'z':
                AppendNumber(out, t.Millisecond, run >= 3 ? 3 : 1);
                break;
            case 't':
                Run(run >= 2 ? fs.LongTimeFormat : fs.ShortTimeFormat);
                break;
            case 'c':
                Default();
                break;
            case '/':
                for (qsizetype k = 0; k < run; ++k) out += fs.DateSeparator;
                break;
            case ':':
                for (qsizetype k = 0; k < run; ++k) out += fs.TimeSeparator;
                break;
            default:
                // Literals keep "m" after an hour meaning minutes ("hh:mm", "h mm").
                out += p.mid(i, run);
            }
            i += run;
        }
        --depth;
    }

    void Default() {
        const bool hasTime = t.Hour || t.Minute || t.Second || t.Millisecond;
        const bool hasDate = std::trunc(days) != 0;
        if (hasDate || !hasTime) Run(fs.ShortDateFormat);
        if (hasTime) {
            if (hasDate) out += ' ';
            Run(fs.LongTimeFormat);
        }
    }
};

// Reads an unsigned number of at most 9 digits at i.
bool ReadNumber(const QByteArray& s, qsizetype& i, int& v, int& digits) {
    v = 0;
    digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        if (digits == 9) return false;
        v = v * 10 + (s[i] - '0');
        ++digits;
        ++i;
    }
    return digits > 0;
}

void SkipBlanks(const QByteArray& s, qsizetype& i) {
    while (i < s.size() && s[i] == ' ') ++i;
}

// A date at i; false when none.
bool ScanDate(const QByteArray& s, qsizetype& i, const TkvFormatSettings& fs, double& days) {
    int n[3] = {0, 0, 0};
    int count = 0;
    int yearDigits = 0;
    SkipBlanks(s, i);
    while (count < 3) {
        int digits = 0;
        if (!ReadNumber(s, i, n[count], digits)) return false;
        ++count;
        if (count == 3 || i >= s.size() || s[i] != fs.DateSeparator) {
            yearDigits = digits;
            break;
        }
        ++i;
    }
    if (count < 2) return false;
    // The order of day, month and year follows the first letter of the short date form.
    char order = 'm';
    for (char c : fs.ShortDateFormat) {
        const char lc = Lower(c);
        if (lc == 'd' || lc == 'm' || lc == 'y') {
            order = lc;
            break;
        }
    }
    int y, m, d;
    if (count == 2) {
        y = QDate::currentDate().year();
        if (order == 'd') d = n[0], m = n[1];
        else m = n[0], d = n[1];
    } else if (order == 'd') {
        d = n[0], m = n[1], y = n[2];
    } else if (order == 'y') {
        y = n[0], m = n[1], d = n[2];
        yearDigits = 4;
    } else {
        m = n[0], d = n[1], y = n[2];
    }
    if (count == 3 && yearDigits <= 2 && order != 'y') y += y < 50 ? 2000 : 1900;
    return kv::EncodeDate(y, m, d, days);
}

bool ScanTime(const QByteArray& s, qsizetype& i, const TkvFormatSettings& fs, double& fraction) {
    int h = 0, mi = 0, sec = 0, ms = 0, digits = 0;
    SkipBlanks(s, i);
    if (!ReadNumber(s, i, h, digits)) return false;
    if (i >= s.size() || s[i] != fs.TimeSeparator) return false;
    ++i;
    if (!ReadNumber(s, i, mi, digits)) return false;
    if (i < s.size() && s[i] == fs.TimeSeparator) {
        ++i;
        if (!ReadNumber(s, i, sec, digits)) return false;
        if (i < s.size() && (s[i] == '.' || s[i] == fs.DecimalSeparator)) {
            ++i;
            if (!ReadNumber(s, i, ms, digits) || digits > 3) return false;
            while (digits++ < 3) ms *= 10;
        }
    }
    SkipBlanks(s, i);
    const QByteArray rest = s.mid(i).toUpper();
    auto marker = [&](const QByteArray& word, const char* fallback) {
        const QByteArray w = word.isEmpty() ? QByteArray(fallback) : word.toUpper();
        if (rest.startsWith(w)) {
            i += w.size();
            return true;
        }
        return false;
    };
    if (h <= 12 && marker(fs.TimeAMString, "AM")) {
        if (h == 12) h = 0;
    } else if (h <= 12 && marker(fs.TimePMString, "PM")) {
        if (h < 12) h += 12;
    }
    return kv::EncodeTime(h, mi, sec, ms, fraction);
}

} // namespace

namespace kv {

bool IsDateTimeInRange(double days) {
    return std::isfinite(days) && days >= kMinDays && days <= kMaxDays;
}

TkvDateParts DecodeDateTime(double days) {
    if (!IsDateTimeInRange(days)) throw TkvVariantError("Invalid argument to date encode");
    TkvDateParts p;
    const double whole = std::trunc(days);
    int64_t ms = static_cast<int64_t>(std::llround(std::fabs(days - whole) * 86400000.0));
    int64_t day = static_cast<int64_t>(whole);
    if (ms >= 86400000) {
        // Rounding reached the next midnight.
        ms = 0;
        day += days < 0 ? -1 : 1;
    }
    CivilFromDays(day - kEpochOffset, p.Year, p.Month, p.Day);
    p.Hour = int(ms / 3600000);
    p.Minute = int(ms / 60000 % 60);
    p.Second = int(ms / 1000 % 60);
    p.Millisecond = int(ms % 1000);
    // 30 December 1899 was a Saturday.
    p.DayOfWeek = int(((day % 7) + 7 + 6) % 7);
    return p;
}

bool EncodeDate(int year, int month, int day, double& days) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
        return false;
    days = double(DaysFromCivil(year, unsigned(month), unsigned(day)) + kEpochOffset);
    return true;
}

bool EncodeTime(int hour, int minute, int second, int ms, double& fraction) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || ms < 0 || ms > 999)
        return false;
    fraction = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + ms) / 86400000.0;
    return true;
}

QByteArray FormatDateTime(const QByteArray& pattern, double days, const TkvFormatSettings& fs) {
    Formatter f{fs, DecodeDateTime(days), days, {}};
    if (pattern.isEmpty()) f.Default();
    else f.Run(pattern);
    return f.out;
}

double ParseDate(const QByteArray& text, const TkvFormatSettings& fs) {
    qsizetype i = 0;
    double days = 0;
    if (!ScanDate(text, i, fs, days)) NotADate(text);
    SkipBlanks(text, i);
    if (i < text.size()) {
        double t = 0;
        if (!ScanTime(text, i, fs, t)) NotADate(text);
        days += days < 0 ? -t : t;
        SkipBlanks(text, i);
        if (i < text.size()) NotADate(text);
    }
    return days;
}

double ParseTime(const QByteArray& text, const TkvFormatSettings& fs) {
    qsizetype i = 0;
    double t = 0;
    if (!ScanTime(text, i, fs, t)) NotADate(text);
    SkipBlanks(text, i);
    if (i < text.size()) NotADate(text);
    return t;
}

double ParseDateTime(const QByteArray& text, const TkvFormatSettings& fs) {
    qsizetype i = 0;
    double t = 0;
    if (ScanTime(text, i, fs, t)) {
        SkipBlanks(text, i);
        if (i >= text.size()) return t;
    }
    return ParseDate(text, fs);
}

} // namespace kv
