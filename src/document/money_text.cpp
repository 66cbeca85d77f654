#include "money_text.h"

#include "core/numeric.h"
#include "records.h"

bool HasMoneyText(int32_t Kind) {
    return Kind == ItemKind::Income || Kind == ItemKind::Expense;
}

QString MakeMoneyText(const QString& Name, const QString& Amount) {
    return Name.left(10).leftJustified(10, u' ') + u' ' + Amount;
}

QString MoneyName(const QString& Text) {
    return rt::TrimBlanks(Text.left(10));
}

namespace {

// The value of an amount written plainly, as one is typed: blanks, a sign, at most 15 digits
// with a decimal point among or after them, and nothing after. Such a number is an integer
// below 2^53 divided by an exact power of ten, and that one division rounds it as Val does
// (to the nearest double), so the result is Val's to the bit. False for any other text.
bool plainAmount(QStringView text, double& value) {
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
        if (c >= u'0' && c <= u'9') {
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

double MoneyAmount(const QString& Text) {
    // Read in place: the totals read every money item of a year, most of them written plainly.
    if (Text.size() <= 10) return 0;
    const QStringView amount = QStringView(Text).sliced(10);
    double value = 0;
    return plainAmount(amount, value) ? value : rt::Val(amount);
}
