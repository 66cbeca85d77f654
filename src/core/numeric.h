#pragma once
// The original runtime's rules for numbers and texts, one helper each. Every part of the
// program reads numbers from text, rounds and formats through these and nothing else.

#include <QString>
#include <cstdint>

namespace rt {

// Numeric value of a text: blanks, tabs and line feeds are ignored anywhere; an optional sign,
// digits, an optional "." with more digits and an optional exponent (E or D) are read, or a
// hexadecimal number after "&H" / an octal one after "&O". Reading stops at the first other
// character; a text that does not begin with a number gives 0. A comma is never a decimal point,
// whatever the process locale says.
double Val(QStringView text);
inline double Val(const QString& text) {
    return Val(QStringView(text));
}

// Conversion to a 16-bit / 32-bit whole number: halves go to the even neighbour; a value
// outside the range (or infinite, or not a number) raises run-time error 6.
int16_t CInt(double value);
int32_t CLng(double value);

// Removes blanks (U+0020) at both ends; tabs and line ends stay.
QString TrimBlanks(const QString& text);
QString LTrimBlanks(const QString& text);
QString RTrimBlanks(const QString& text);

// Formats a whole number with a digit pattern of '0' and '#' placeholders ("00", "0#",
// "0000", "00000#", "000000000000000#"): at least as many digits as the pattern has from its
// first '0' on, more when the number needs them; a negative number gets a leading "-".
QString FormatNumber(int64_t value, const QString& pattern);

// Formats a date with "dd", "mmm" (abbreviated month name of the current locale), "mmmm" (full
// month name) and "yyyy" parts separated by blanks, as in "dd mmm yyyy". The date must be a
// valid calendar date.
QString FormatDate(int year, int month, int day, const QString& pattern);

// Adds an amount to a money total and rounds the sum to a whole number (halves to even). A sum
// beyond the 32-bit range is held at the limit rather than overflowing.
int32_t MoneyAdd(int32_t total, double amount);

// Rounds to a whole number, halves to the even neighbour, without any range check.
double RoundHalfEven(double value);

} // namespace rt
