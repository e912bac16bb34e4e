#pragma once
// Date-time values: a floating count of days since 30 December 1899, the fraction being the time of
// day (for days before that date the fraction's absolute value). Years 1 to 9999 are representable;
// anything outside raises TkvVariantError.

#include <QByteArray>
#include <cstdint>

struct TkvFormatSettings;

namespace kv {

struct TkvDateParts {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
    int DayOfWeek = 0; // 0 Sunday ... 6 Saturday
};

// Raises TkvVariantError when the value is not a finite date-time of years 1 to 9999.
TkvDateParts DecodeDateTime(double days);
// Whether the value is a finite date-time of years 1 to 9999.
bool IsDateTimeInRange(double days);
// False when the date does not exist.
bool EncodeDate(int year, int month, int day, double& days);
bool EncodeTime(int hour, int minute, int second, int ms, double& fraction);

// The value in a date pattern (letters in format_settings.h); an empty pattern is the short date,
// followed by the long time unless the time is midnight (a date-time of day 0 shows the time only).
// The output is bounded: a pattern longer than 4096 bytes raises TkvVariantError.
QByteArray FormatDateTime(const QByteArray& pattern, double days, const TkvFormatSettings& fs);

// A date in the order of the short date form (day, month, year numbers separated by the date
// separator; a missing year is the current one; two-digit years 00-49 are 20xx, 50-99 19xx),
// optionally followed by a time. Raises TkvVariantError when the text is not one.
double ParseDate(const QByteArray& text, const TkvFormatSettings& fs);
// A time of day: hours, minutes and optional seconds separated by the time separator, optionally
// followed by the am or pm word. Raises TkvVariantError when the text is not one.
double ParseTime(const QByteArray& text, const TkvFormatSettings& fs);
// A date, a time, or a date followed by a time.
double ParseDateTime(const QByteArray& text, const TkvFormatSettings& fs);

} // namespace kv
