#pragma once
// Date records and the date procedures of `CommonDates`.
//
// A DateRec holds three signed 16-bit numbers that are never validated when a record is made:
// (0, 0, 0) is the empty date, and day 0 or month 13 are allowed until a procedure normalises
// them. Normalising carries the month into the year first (month 13 is January of the next
// year, month 0 December of the year before), then counts the days from the 1st of that month
// (day 0 is the last day of the month before). Years are taken literally on the proleptic
// Gregorian calendar, year 0 included; there is no two-digit-year window.

#include <QString>
#include <cstdint>

struct DateRec {
    int16_t Day = 0;
    int16_t Month = 0;
    int16_t Year = 0;
};

// The record holding exactly these three values.
DateRec MakeDate(int16_t Day, int16_t Month, int16_t Year);

// The date N days after D (before it when N is negative). The day sum D.Day + N must fit in
// 16 bits; otherwise run-time error 6 (overflow) is raised, as is a result year beyond 16 bits.
DateRec AddDays(const DateRec& D, int32_t N);

// Number of days of a month; the month may lie outside 1 to 12 (0 is December of the year
// before). Month + 1 above 32767 raises run-time error 6.
int16_t DaysInMonth(int16_t Year, int16_t Month);

// Weekday 1 (Sunday) to 7 (Saturday) of D, or of the 1st of D's month.
int16_t WeekdayOf(const DateRec& D, bool FirstOfMonth);

// True when A is strictly later than B, comparing year, month and day as stored (not
// normalised).
bool IsDateAfter(const DateRec& A, const DateRec& B);

// True when First <= D <= Last, fields compared as stored.
bool IsDateInRange(const DateRec& D, const DateRec& First, const DateRec& Last);

// Text form: the year without leading zeros (year 0 gives nothing), "-", the month and "-",
// the day, each with at least two digits and its sign: (7, 3, 2004) gives "2004-03-07",
// (0, 0, 0) gives "-00-00".
QString DateToText(const DateRec& D);

// Reads a text form back: the year from the first 4 characters, the month from the first 2 of
// the last 5 and the day from the last 2, each by its numeric value rounded to a whole number.
// A piece beyond 16 bits raises run-time error 6.
DateRec TextToDate(const QString& S);

// Serial day numbers (days since 1 January 1970) of the normalised date, and back. They let
// rules step through days without the 16-bit limits of the day field.
int64_t DateSerial(int64_t Year, int64_t Month, int64_t Day);
inline int64_t DateSerial(const DateRec& D) {
    return DateSerial(D.Year, D.Month, D.Day);
}
// Raises run-time error 6 when the year does not fit in 16 bits.
DateRec DateFromSerial(int64_t Serial);
// Weekday 1 (Sunday) to 7 (Saturday) of a serial day number.
int16_t WeekdayOfSerial(int64_t Serial);
