#include "numeric.h"

#include "rt_error.h"

#include <QDate>
#include <QLocale>
#include <cfenv>
#include <clocale>
#include <cstdlib>
#include <cmath>
#include <limits>

namespace rt {

namespace {

bool isIgnored(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

// The text with the characters Val ignores removed, as plain ASCII where possible.
QString stripIgnored(const QString& text) {
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (!isIgnored(c)) s.append(c);
    return s;
}

int digitValue(QChar c, int base) {
    int v = -1;
    if (c >= u'0' && c <= u'9') v = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'f') v = c.unicode() - u'a' + 10;
    else if (c >= u'A' && c <= u'F') v = c.unicode() - u'A' + 10;
    return (v >= 0 && v < base) ? v : -1;
}

// "&H" / "&O" numbers: up to 4 digits are read as a 16-bit value and up to 8 as a 32-bit value
// (so "&HFFFF" is -1, as the original gave); longer ones as a plain positive number.
double radixValue(const QString& s, int start, int base) {
    double value = 0;
    int digits = 0;
    for (int i = start; i < s.size(); ++i) {
        int d = digitValue(s[i], base);
        if (d < 0) break;
        value = value * base + d;
        ++digits;
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

} // namespace

double Val(const QString& text) {
    const QString s = stripIgnored(text);
    if (s.size() >= 2 && s[0] == u'&') {
        QChar k = s[1].toUpper();
        if (k == u'H') return radixValue(s, 2, 16);
        if (k == u'O') return radixValue(s, 2, 8);
        return 0;
    }
    // Build a plain decimal text for strtod from the part that forms a number.
    std::string num;
    int i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) num += char(s[i++].unicode());
    bool mantissaDigits = false;
    while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128) {
        num += char(s[i++].unicode());
        mantissaDigits = true;
    }
    if (i < s.size() && s[i] == u'.') {
        num += '.';
        ++i;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
            num += char(s[i++].unicode());
            mantissaDigits = true;
        }
    }
    if (!mantissaDigits) return 0;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
        std::string exp = "e";
        int j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) exp += char(s[j++].unicode());
        bool expDigits = false;
        while (j < s.size() && s[j] >= u'0' && s[j] <= u'9') {
            exp += char(s[j++].unicode());
            expDigits = true;
        }
        if (expDigits) num += exp;
    }
    // The point is the decimal separator whatever the process locale (a French one has a comma).
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return strtod_l(num.c_str(), nullptr, cLocale);
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
    while (i < text.size() && text[i] == u' ') ++i;
    return text.mid(i);
}

QString RTrimBlanks(const QString& text) {
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == u' ') --n;
    return text.left(n);
}

QString TrimBlanks(const QString& text) { return LTrimBlanks(RTrimBlanks(text)); }

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
        while (i + n < pattern.size() && pattern[i + n].toLower() == c.toLower()) ++n;
        const QChar lc = c.toLower();
        if (lc == u'd') {
            out += n >= 2 ? FormatNumber(day, QStringLiteral("00")) : QString::number(day);
        } else if (lc == u'm') {
            if (n >= 4) out += locale.monthName(month, QLocale::LongFormat);
            else if (n == 3) out += locale.monthName(month, QLocale::ShortFormat);
            else out += n == 2 ? FormatNumber(month, QStringLiteral("00")) : QString::number(month);
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
