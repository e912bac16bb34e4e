#pragma once
// How values become text and texts become values: separators, date and time forms, month and day
// names, the words for true and false, and the display patterns of the format catalogue. One object
// is handed to whatever converts; nothing here reads or changes the process's C locale.
//
// Date and time patterns use the report library's own letters: d dd ddd dddd (day, two-digit day,
// short and long weekday), m mm mmm mmmm (month; minutes right after h or hh), yy yyyy, h hh, n nn
// (minute), s ss, am/pm and a/p (12-hour clock), "/" and ":" (the date and time separators below),
// quoted text copied.

#include <QByteArray>
#include <QByteArrayList>
#include <array>

class QLocale;

struct TkvFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ','; // 0: no thousands separator
    char DateSeparator = '/';
    char TimeSeparator = ':';
    QByteArray ShortDateFormat = "mm/dd/yyyy";
    QByteArray LongDateFormat = "dddd, mmmm d, yyyy";
    QByteArray ShortTimeFormat = "h:nn am/pm";
    QByteArray LongTimeFormat = "h:nn:ss am/pm";
    QByteArray TimeAMString = "AM";
    QByteArray TimePMString = "PM";
    std::array<QByteArray, 12> ShortMonthNames;
    std::array<QByteArray, 12> LongMonthNames;
    std::array<QByteArray, 7> ShortDayNames; // Sunday first
    std::array<QByteArray, 7> LongDayNames;
    QByteArray TrueText = "True";
    QByteArray FalseText = "False";

    // The predefined patterns of the display format catalogue: date indexes 0 to 2, time indexes
    // 0 to 3, boolean indexes 0 to 3 (from the library texts).
    std::array<QByteArray, 3> DatePatterns;
    std::array<QByteArray, 4> TimePatterns;
    std::array<QByteArray, 4> BooleanPatterns;

    // English names, "." and ",", US date order: the same on every machine (tests, tools).
    TkvFormatSettings();

    // Separators, forms and names of a Qt locale; texts in the code page of `charset`.
    static TkvFormatSettings FromLocale(const QLocale& locale, int charset = 1);

    // Overrides single items from "name=value;name=value": decimal, thousands, dateSeparator,
    // timeSeparator (one character each; an empty thousands value means none), shortDate, longDate,
    // shortTime, longTime (patterns in the letters above). Returns the items it could not apply.
    QByteArrayList ApplyOverrides(const QByteArray& items);

    // The default locale of the application (QLocale()) with the overrides of the environment
    // variable KV_FORMAT_SETTINGS. Built on first use and never changed afterwards.
    static const TkvFormatSettings& System();
};
