#include "dates.h"

#include "core/numeric.h"
#include "core/rt_error.h"

namespace {

int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

int64_t floorMod(int64_t a, int64_t b) {
    return a - floorDiv(a, b) * b;
}

// Days since 1970-01-01 of a proper civil date (month 1 to 12).
int64_t daysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = floorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Civil {
    int64_t year;
    int64_t month;
    int64_t day;
};

Civil civilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = floorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    return {yoe + era * 400 + (m <= 2 ? 1 : 0), m, d};
}

bool fitsInt16(int64_t v) {
    return v >= -32768 && v <= 32767;
}

} // namespace

DateRec MakeDate(int16_t Day, int16_t Month, int16_t Year) {
    return DateRec{Day, Month, Year};
}

int64_t DateSerial(int64_t Year, int64_t Month, int64_t Day) {
    const int64_t y = Year + floorDiv(Month - 1, 12);
    const int64_t m = floorMod(Month - 1, 12) + 1;
    return daysFromCivil(y, m, 1) + (Day - 1);
}

DateRec DateFromSerial(int64_t Serial) {
    const Civil c = civilFromDays(Serial);
    if (!fitsInt16(c.year)) rt::raise(rt::ErrOverflow);
    return MakeDate(int16_t(c.day), int16_t(c.month), int16_t(c.year));
}

int16_t WeekdayOfSerial(int64_t Serial) {
    // 1 January 1970 was a Thursday (5).
    return int16_t(floorMod(Serial + 4, 7) + 1);
}

DateRec AddDays(const DateRec& D, int32_t N) {
    const int64_t sum = int64_t(D.Day) + int64_t(N);
    if (!fitsInt16(sum)) rt::raise(rt::ErrOverflow);
    return DateFromSerial(DateSerial(D.Year, D.Month, sum));
}

int16_t DaysInMonth(int16_t Year, int16_t Month) {
    if (int32_t(Month) + 1 > 32767) rt::raise(rt::ErrOverflow);
    return int16_t(civilFromDays(DateSerial(Year, int64_t(Month) + 1, 0)).day);
}

int16_t WeekdayOf(const DateRec& D, bool FirstOfMonth) {
    return WeekdayOfSerial(DateSerial(D.Year, D.Month, FirstOfMonth ? 1 : D.Day));
}

bool IsDateAfter(const DateRec& A, const DateRec& B) {
    if (A.Year != B.Year) return A.Year > B.Year;
    if (A.Month != B.Month) return A.Month > B.Month;
    return A.Day > B.Day;
}

bool IsDateInRange(const DateRec& D, const DateRec& First, const DateRec& Last) {
    if (IsDateAfter(D, Last)) return false;
    if (IsDateAfter(First, D)) return false;
    return true;
}

QString DateToText(const DateRec& D) {
    return rt::FormatNumber(D.Year, QStringLiteral("#")) + u'-' +
           rt::FormatNumber(D.Month, QStringLiteral("00")) + u'-' +
           rt::FormatNumber(D.Day, QStringLiteral("00"));
}

DateRec TextToDate(const QString& S) {
    DateRec d;
    d.Year = rt::CInt(rt::Val(S.left(4)));
    d.Month = rt::CInt(rt::Val(S.right(5).left(2)));
    d.Day = rt::CInt(rt::Val(S.right(2)));
    return d;
}
