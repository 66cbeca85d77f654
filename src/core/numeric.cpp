#include "numeric.h"

#include "rt_error.h"

#include <QDate>
#include <QLocale>
#include <QVarLengthArray>
#include <algorithm>
#include <cfenv>
#include <cstdint>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace rt {

namespace {

bool isIgnored(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Walks a text one character at a time, stepping over the characters Val ignores.
class Scanner {
public:
    explicit Scanner(QStringView text) : p_(text.utf16()), end_(p_ + text.size()) { skipIgnored(); }
    // The current character, 0 at the end.
    char16_t peek() const { return p_ == end_ ? 0 : *p_; }
    void next() {
        if (p_ == end_) return;
        ++p_;
        skipIgnored();
    }

private:
    void skipIgnored() {
        while (p_ != end_ && isIgnored(*p_))
            ++p_;
    }
    const char16_t* p_;
    const char16_t* end_;
};

bool isDecimalDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

int digitValue(char16_t c, int base) {
    int v = -1;
    if (isDecimalDigit(c))
        v = c - u'0';
    else if (c >= u'a' && c <= u'f')
        v = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        v = c - u'A' + 10;
    return (v >= 0 && v < base) ? v : -1;
}

// "&H" / "&O" numbers: up to 4 digits are read as a 16-bit value and up to 8 as a 32-bit value
// (so "&HFFFF" is -1, as the original gave); longer ones as a plain positive number.
double radixValue(Scanner& in, int base) {
    double value = 0;
    int digits = 0;
    for (int d = digitValue(in.peek(), base); d >= 0; d = digitValue(in.peek(), base)) {
        value = value * base + d;
        ++digits;
        in.next();
    }
    const int bitsPerDigit = base == 16 ? 4 : 3;
    const int bits = digits * bitsPerDigit;
    if (digits > 0 && bits <= 16) {
        if (value >= 32768) value -= 65536;
    } else if (digits > 0 && bits <= 32) {
        if (value >= 2147483648.0) value -= 4294967296.0;
    }
    return value;
}

// A number written plainly, as an amount is typed: blanks, a sign, at most 15 digits with a
// decimal point among or after them, and nothing after. Such a number is an integer below 2^53
// divided by an exact power of ten, and that one division rounds it as the general reading
// below does (to the nearest double), so the result is the same to the bit. False for any
// other text, which the general reading takes.
bool plainNumber(QStringView text, double& value) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
    int64_t mantissa = 0;
    int digits = 0, decimals = 0;
    bool point = false;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (isDecimalDigit(c)) {
            if (++digits > 15) return false;
            mantissa = mantissa * 10 + (c - u'0');
            if (point) ++decimals;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (digits == 0) return false;
    static constexpr double kTens[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    value = double(mantissa) / kTens[decimals];
    if (negative) value = -value;
    return true;
}

} // namespace

double Val(QStringView text) {
    // Most numbers read (every amount of a year's totals) are written plainly.
    double plain = 0;
    if (plainNumber(text, plain)) return plain;
    Scanner in(text);
    if (in.peek() == u'&') {
        in.next();
        const char16_t k = in.peek();
        in.next();
        if (k == u'H' || k == u'h') return radixValue(in, 16);
        if (k == u'O' || k == u'o') return radixValue(in, 8);
        return 0;
    }
    // The sign is applied at the end: std::from_chars takes no "+".
    bool negative = false;
    if (in.peek() == u'+' || in.peek() == u'-') {
        negative = in.peek() == u'-';
        in.next();
    }
    // The characters of the number in the plain form std::from_chars reads, on the stack unless
    // the number is longer than any real amount.
    QVarLengthArray<char, 64> num;
    bool mantissaDigits = false;
    // The power of ten of the first significant digit, to tell an overflow from an underflow.
    int64_t scale = 0;
    bool significant = false;
    for (; isDecimalDigit(in.peek()); in.next()) {
        num.append(char(in.peek()));
        mantissaDigits = true;
        if (in.peek() != u'0') significant = true;
        if (significant) ++scale;
    }
    if (in.peek() == u'.') {
        num.append('.');
        for (in.next(); isDecimalDigit(in.peek()); in.next()) {
            num.append(char(in.peek()));
            mantissaDigits = true;
            if (in.peek() != u'0') significant = true;
            if (!significant) --scale;
        }
    }
    if (!mantissaDigits) return 0;
    const char16_t e = in.peek();
    if (e == u'e' || e == u'E' || e == u'd' || e == u'D') {
        const qsizetype mantissaEnd = num.size();
        num.append('e');
        in.next();
        bool expNegative = false;
        if (in.peek() == u'+' || in.peek() == u'-') {
            expNegative = in.peek() == u'-';
            num.append(char(in.peek()));
            in.next();
        }
        int64_t exponent = 0;
        bool expDigits = false;
        for (; isDecimalDigit(in.peek()); in.next()) {
            num.append(char(in.peek()));
            exponent = std::min<int64_t>(exponent * 10 + (in.peek() - u'0'), 1'000'000'000);
            expDigits = true;
        }
        // An exponent mark without digits is not part of the number.
        if (!expDigits) num.resize(mantissaEnd);
        scale += expNegative ? -exponent : exponent;
    }
    double value = 0;
    if (std::from_chars(num.data(), num.data() + num.size(), value).ec ==
        std::errc::result_out_of_range)
        value = scale > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
}

double RoundHalfEven(double value) {
    // nearbyint follows the current rounding mode, which is to-nearest-even unless changed.
    const int saved = std::fegetround();
    if (saved != FE_TONEAREST) std::fesetround(FE_TONEAREST);
    double r = std::nearbyint(value);
    if (saved != FE_TONEAREST) std::fesetround(saved);
    return r;
}

int16_t CInt(double value) {
    if (!std::isfinite(value)) raise(ErrOverflow);
    const double r = RoundHalfEven(value);
    if (r < -32768.0 || r > 32767.0) raise(ErrOverflow);
    return static_cast<int16_t>(r);
}

int32_t CLng(double value) {
    if (!std::isfinite(value)) raise(ErrOverflow);
    const double r = RoundHalfEven(value);
    if (r < -2147483648.0 || r > 2147483647.0) raise(ErrOverflow);
    return static_cast<int32_t>(r);
}

QString LTrimBlanks(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    return text.mid(i);
}

QString RTrimBlanks(const QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ')
        --n;
    return text.left(n);
}

QString TrimBlanks(const QString& text) {
    return LTrimBlanks(RTrimBlanks(text));
}

QString FormatNumber(int64_t value, const QString& pattern) {
    const qsizetype firstZero = pattern.indexOf(u'0');
    const qsizetype minDigits = firstZero < 0 ? 0 : pattern.size() - firstZero;
    // Magnitude as unsigned so that the most negative value formats too.
    const uint64_t magnitude = value < 0 ? uint64_t(0) - uint64_t(value) : uint64_t(value);
    QString digits = magnitude == 0 && minDigits == 0 ? QString() : QString::number(magnitude);
    if (digits.size() < minDigits) digits = QString(minDigits - digits.size(), u'0') + digits;
    return value < 0 ? u'-' + digits : digits;
}

QString FormatDate(int year, int month, int day, const QString& pattern) {
    const QLocale locale;
    QString out;
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar c = pattern[i];
        qsizetype n = 0;
        while (i + n < pattern.size() && pattern[i + n].toLower() == c.toLower())
            ++n;
        const QChar lc = c.toLower();
        if (lc == u'd') {
            out += n >= 2 ? FormatNumber(day, QStringLiteral("00")) : QString::number(day);
        } else if (lc == u'm') {
            if (n >= 4)
                out += locale.monthName(month, QLocale::LongFormat);
            else if (n == 3)
                out += locale.monthName(month, QLocale::ShortFormat);
            else
                out += n == 2 ? FormatNumber(month, QStringLiteral("00")) : QString::number(month);
        } else if (lc == u'y') {
            out += n >= 3 ? FormatNumber(year, QStringLiteral("0000"))
                          : FormatNumber(year % 100, QStringLiteral("00"));
        } else {
            out += QString(n, c);
        }
        i += n;
    }
    return out;
}

int32_t MoneyAdd(int32_t total, double amount) {
    double sum = RoundHalfEven(double(total) + amount);
    if (std::isnan(sum)) return total;
    if (sum > 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (sum < -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(sum);
}

} // namespace rt
