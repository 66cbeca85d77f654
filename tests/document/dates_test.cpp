#include "core/rt_error.h"
#include "document/dates.h"

#include <gtest/gtest.h>

namespace {

struct AddCase {
    DateRec from;
    int32_t n;
    DateRec expected;
};

void expectDate(const DateRec& actual, const DateRec& expected) {
    EXPECT_EQ(actual.Day, expected.Day);
    EXPECT_EQ(actual.Month, expected.Month);
    EXPECT_EQ(actual.Year, expected.Year);
}

int errorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const rt::RtError& e) {
        return e.Number;
    }
    return 0;
}

} // namespace

TEST(Dates, AddDaysCrossesMonthsYearsAndLeapDays) {
    const AddCase cases[] = {
        {{31, 1, 2004}, 1, {1, 2, 2004}},     {{1, 3, 2004}, -1, {29, 2, 2004}},
        {{1, 3, 2003}, -1, {28, 2, 2003}},    {{31, 12, 2004}, 1, {1, 1, 2005}},
        {{28, 2, 1900}, 1, {1, 3, 1900}},  // 1900 is no leap year
        {{28, 2, 2000}, 1, {29, 2, 2000}}, // 2000 is one
        {{1, 1, 2004}, 366, {1, 1, 2005}},    {{1, 1, 2004}, -1, {31, 12, 2003}},
        {{10, 3, 2004}, 14, {24, 3, 2004}},   {{0, 3, 2004}, 0, {29, 2, 2004}}, // N = 0 normalises
        {{1, 13, 2004}, 0, {1, 1, 2005}},     {{1, 0, 2004}, 0, {1, 12, 2003}},
        {{1, -1, 2004}, 0, {1, 11, 2003}},    {{32, 1, 2004}, 0, {1, 2, 2004}},
        {{1, 1, 2004}, 32766, {16, 9, 2093}}, {{1, 1, 0}, -1, {31, 12, -1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1-%2-%3 + %4")
                         .arg(c.from.Year)
                         .arg(c.from.Month)
                         .arg(c.from.Day)
                         .arg(c.n)
                         .toStdString());
        expectDate(AddDays(c.from, c.n), c.expected);
    }
}

TEST(Dates, AddDaysOverflowsWhenTheDaySumLeavesSixteenBits) {
    EXPECT_EQ(errorNumberOf([] { AddDays({1, 1, 2004}, 40000); }), rt::ErrOverflow);
    EXPECT_EQ(errorNumberOf([] { AddDays({1, 1, 2004}, 32767); }), rt::ErrOverflow);
    EXPECT_EQ(errorNumberOf([] { AddDays({-1, 1, 2004}, -32768); }), rt::ErrOverflow);
    EXPECT_EQ(errorNumberOf([] { AddDays({1, 1, 2004}, INT32_MIN); }), rt::ErrOverflow);
    // A result year beyond 16 bits is an overflow too, never a wrapped year.
    EXPECT_EQ(errorNumberOf([] { AddDays({31, 12, 32767}, 1); }), rt::ErrOverflow);
    EXPECT_EQ(errorNumberOf([] { AddDays({1, 1, 2004}, -32768); }), 0);
}

TEST(Dates, DaysInMonth) {
    struct Case {
        int16_t year, month, days;
    } cases[] = {{1900, 2, 28},  {2000, 2, 29}, {2004, 2, 29},  {2003, 2, 28},  {2004, 4, 30},
                 {2004, 1, 31},  {2004, 0, 31}, {2004, 13, 31}, {2004, 14, 28}, {2003, 14, 29},
                 {2004, -1, 30}, {0, 2, 29},    {-4, 2, 29},    {100, 2, 28}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1-%2").arg(c.year).arg(c.month).toStdString());
        EXPECT_EQ(DaysInMonth(c.year, c.month), c.days);
    }
    EXPECT_EQ(errorNumberOf([] { DaysInMonth(2004, 32767); }), rt::ErrOverflow);
    EXPECT_EQ(DaysInMonth(2004, 32766), 30); // month 32766 of 2004 is June 4734
}

TEST(Dates, WeekdayOf) {
    EXPECT_EQ(WeekdayOf({7, 3, 2004}, false), 1); // Sunday
    EXPECT_EQ(WeekdayOf({7, 3, 2004}, true), 2);  // 1 March 2004 was a Monday
    EXPECT_EQ(WeekdayOf({15, 3, 2004}, false), 2);
    EXPECT_EQ(WeekdayOf({1, 1, 2000}, false), 7); // Saturday
    EXPECT_EQ(WeekdayOf({1, 1, 1970}, false), 5); // Thursday
    EXPECT_EQ(WeekdayOf({31, 12, 1969}, false), 4);
    EXPECT_EQ(WeekdayOf({0, 3, 2004}, false), 1); // 29 February 2004, a Sunday
}

TEST(Dates, ComparisonsTakeTheFieldsAsStored) {
    const DateRec d{7, 3, 2004};
    EXPECT_FALSE(IsDateAfter(d, d));
    EXPECT_TRUE(IsDateInRange(d, d, d));
    EXPECT_TRUE(IsDateAfter({1, 2, 2004}, {32, 1, 2004})); // not normalised
    EXPECT_TRUE(IsDateAfter({1, 1, 2005}, {31, 12, 2004}));
    EXPECT_FALSE(IsDateAfter({31, 12, 2004}, {1, 1, 2005}));
    EXPECT_TRUE(IsDateAfter({8, 3, 2004}, {7, 3, 2004}));
    EXPECT_TRUE(IsDateAfter({1, 1, 1}, {-1, -1, -1}));
    EXPECT_TRUE(IsDateInRange({10, 3, 2004}, {1, 3, 2004}, {10, 3, 2004}));
    EXPECT_FALSE(IsDateInRange({11, 3, 2004}, {1, 3, 2004}, {10, 3, 2004}));
    EXPECT_FALSE(IsDateInRange({29, 2, 2004}, {1, 3, 2004}, {10, 3, 2004}));
    // A range whose first day is after its last holds no date.
    EXPECT_FALSE(IsDateInRange({5, 3, 2004}, {10, 3, 2004}, {1, 3, 2004}));
}

TEST(Dates, DateToText) {
    struct Case {
        DateRec d;
        const char* text;
    } cases[] = {
        {{7, 3, 2004}, "2004-03-07"},   {{0, 0, 0}, "-00-00"},           {{1, 1, 999}, "999-01-01"},
        {{-5, 1, 2004}, "2004-01--05"}, {{5, -12, 2004}, "2004--12-05"}, {{1, 1, -3}, "-3-01-01"},
        {{31, 12, 9999}, "9999-12-31"}, {{100, 13, 1}, "1-13-100"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DateToText(c.d), QString::fromLatin1(c.text));
}

TEST(Dates, TextToDateReadsFixedPlaces) {
    struct Case {
        const char* text;
        DateRec d;
    } cases[] = {
        {"2004-03-07", {7, 3, 2004}},
        {"-00-00", {0, 0, 0}},
        {"", {0, 0, 0}},
        {"999-01-01", {1, 1, 999}},  // the year stops at the first "-"
        {"2004-3-7", {-7, 4, 2004}}, // month and day keep their places at the end
        {"7", {7, 7, 7}},            // a short text gives what its characters give
        {"12", {12, 12, 12}},
        {"abcd-ef-gh", {0, 0, 0}},      // no number at all
        {" 2004-03-07", {7, 3, 200}},   // blanks are ignored inside a piece
        {"2004-03-07  ", {0, 0, 2004}}, // trailing blanks shift the fixed places
        {"&H10-03-07", {7, 3, 16}},
        {"2004-03-.5", {0, 3, 2004}}, // halves go to the even neighbour
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        expectDate(TextToDate(QString::fromLatin1(c.text)), c.d);
    }
    EXPECT_EQ(errorNumberOf([] { TextToDate(QStringLiteral("9e99-01-01")); }), rt::ErrOverflow);
    EXPECT_EQ(errorNumberOf([] { TextToDate(QStringLiteral("2004-01-99999")); }), 0);
}

TEST(Dates, TextFormReadsBackForFourDigitYears) {
    // Year 0 writes no year digits, so only the empty date (0, 0, 0) of year 0 reads back.
    expectDate(TextToDate(DateToText({1, 1, 0})), {1, 1, -1});
    for (int16_t year : {1, 99, 999, 1900, 2004, 9999})
        for (int16_t month : {1, 9, 12})
            for (int16_t day : {1, 9, 31}) {
                const DateRec d{day, month, year};
                expectDate(TextToDate(DateToText(d)), d);
            }
}

TEST(Dates, SerialNumbersRoundTrip) {
    for (int64_t s = -800000; s <= 800000; s += 997) {
        const DateRec d = DateFromSerial(s);
        ASSERT_EQ(DateSerial(d), s);
        ASSERT_EQ(AddDays(d, 1).Day, DateFromSerial(s + 1).Day);
    }
}
