#include "core/numeric.h"
#include "core/rt_error.h"

#include <QLocale>
#include <QRandomGenerator>
#include <bit>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

using namespace rt;

namespace {

int errorOf(auto&& call) {
    try {
        call();
    } catch (const RtError& e) {
        return e.Number;
    }
    return 0;
}

} // namespace

TEST(Val, ReadsNumbersAsTheOriginalRuntimeDid) {
    struct Case {
        const char16_t* text;
        double expected;
    };
    const Case cases[] = {
        {u" 1 000,5", 1000}, // blanks ignored, a comma ends the number
        {u"&H1F", 31},
        {u"&h1f", 31},
        {u"&O17", 15},
        {u"12e2x", 1200},
        {u"1\t2\n3", 123},
        {u"-12.5", -12.5},
        {u"+7", 7},
        {u".5", 0.5},
        {u"abc", 0},
        {u"", 0},
        {u"-", 0},
        {u"12,50", 12},
        {u"2004-03-10", 2004},
        {u"1.5D1", 15},
        {u"3e", 3},
        {u"3e+", 3},
        {u"&HFFFF", -1},
        {u"&H10000", 65536},
        {u"&HFFFFFFFF", -1},
        {u"&", 0},
        {u"1\r2", 1}, // a carriage return is not ignored
        {u"- 1 511 . 78", -1511.78},
        {u"& h 1F", 31},
        {u"1511.78", 1511.78},
        {u"0.5", 0.5},
        {u"1e-400", 0},
        {u"000.000123e3", 0.123},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(Val(QString::fromUtf16(c.text)), c.expected)
            << QString::fromUtf16(c.text).toStdString();
    // Beyond a double: infinite, with its sign.
    EXPECT_EQ(Val(QStringLiteral("-1e400")), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(Val(QStringLiteral("0.01e99999999999")), std::numeric_limits<double>::infinity());
    // A number longer than any amount is read in full.
    const QString longNumber = QString(300, u'0') + QStringLiteral("12.5") + QString(300, u'0');
    EXPECT_DOUBLE_EQ(Val(longNumber + QStringLiteral("e-1")), 1.25);
}

// A number written plainly takes a shorter road than the general reading; a character that is
// no part of a number, put after it, sends the same number down the general road.
TEST(Val, PlainNumbersReadAsTheGeneralReadingReadsThem) {
    QStringList amounts = {
        QStringLiteral(" 0"),
        QStringLiteral(" -0"),
        QStringLiteral(" +12.5"),
        QStringLiteral(" 5."),
        QStringLiteral(" .5"),
        QStringLiteral(" ."),
        QStringLiteral(" -"),
        QStringLiteral(""),
        QStringLiteral("   0.1"),
        QStringLiteral(" 0.3"),
        QStringLiteral(" 2.675"),
        QStringLiteral(" 1.005"),
        QStringLiteral(" 12.50 $"),
        QStringLiteral(" 1 000"),
        QStringLiteral(" 1e3"),
        QStringLiteral(" 1.2.3"),
        QStringLiteral(" &H10"),
        QStringLiteral("\t7"),
        QStringLiteral(" 999999999999999"),
        QStringLiteral(" 9999999999999999"),
        QStringLiteral(" 0.000000000000001"),
        QStringLiteral(" 123456789.123456"),
        QStringLiteral(" 00000000000000012"),
        QStringLiteral(" - 5"),
    };
    QRandomGenerator random(42);
    for (int i = 0; i < 20000; ++i) {
        const int decimals = int(random.bounded(8));
        const qint64 whole = random.bounded(Q_INT64_C(100000000000));
        QString text = QStringLiteral(" ") +
                       (random.bounded(4) == 0 ? QStringLiteral("-") : QString()) +
                       QString::number(whole);
        if (decimals)
            text += u'.' + QString::number(random.bounded(1000000), 10)
                               .rightJustified(decimals, u'0')
                               .left(decimals);
        amounts << text;
    }
    for (const QString& amount : amounts) {
        const double general = Val(QString(amount + u'x'));
        EXPECT_EQ(std::bit_cast<uint64_t>(Val(amount)), std::bit_cast<uint64_t>(general))
            << amount.toStdString();
    }
}

TEST(WholeNumbers, RoundHalvesToEvenAndRaiseOverflowOutsideTheRange) {
    EXPECT_EQ(CInt(2.5), 2);
    EXPECT_EQ(CInt(3.5), 4);
    EXPECT_EQ(CInt(-3.5), -4);
    EXPECT_EQ(CInt(-2.5), -2);
    EXPECT_EQ(CInt(0.5), 0);
    EXPECT_EQ(CInt(1.5), 2);
    EXPECT_EQ(CInt(32767.4), 32767);
    EXPECT_EQ(CInt(-32768.5), -32768);
    EXPECT_EQ(errorOf([] { CInt(32767.5); }), ErrOverflow);
    EXPECT_EQ(errorOf([] { CInt(-32768.6); }), ErrOverflow);
    EXPECT_EQ(errorOf([] { CInt(std::numeric_limits<double>::infinity()); }), ErrOverflow);
    EXPECT_EQ(errorOf([] { CInt(std::nan("")); }), ErrOverflow);

    EXPECT_EQ(CLng(2147483647.4), 2147483647);
    EXPECT_EQ(CLng(-2147483648.5), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(CLng(12.5), 12);
    EXPECT_EQ(CLng(13.5), 14);
    EXPECT_EQ(errorOf([] { CLng(2147483647.5); }), ErrOverflow);
    EXPECT_EQ(errorOf([] { CLng(-std::numeric_limits<double>::infinity()); }), ErrOverflow);
    EXPECT_EQ(errorOf([] { CLng(1e300); }), ErrOverflow);
}

TEST(WholeNumbers, OverflowCarriesTheDescriptionAndSource) {
    try {
        CInt(1e6);
        FAIL() << "no error raised";
    } catch (const RtError& e) {
        EXPECT_EQ(e.Number, 6);
        EXPECT_EQ(e.Description, QStringLiteral("Dépassement de capacité"));
        EXPECT_EQ(e.Source, QStringLiteral("Mirovanta"));
    }
}

TEST(TrimBlanks, RemovesOnlyBlanks) {
    EXPECT_EQ(TrimBlanks(QStringLiteral("  a b  ")), QStringLiteral("a b"));
    EXPECT_EQ(TrimBlanks(QStringLiteral("\ta\n")), QStringLiteral("\ta\n"));
    EXPECT_EQ(TrimBlanks(QStringLiteral(" \t ")), QStringLiteral("\t"));
    EXPECT_EQ(TrimBlanks(QStringLiteral("    ")), QString());
    EXPECT_EQ(LTrimBlanks(QStringLiteral("  x  ")), QStringLiteral("x  "));
    EXPECT_EQ(RTrimBlanks(QStringLiteral("  x  ")), QStringLiteral("  x"));
}

TEST(Format, DigitPatterns) {
    EXPECT_EQ(FormatNumber(5, QStringLiteral("0#")), QStringLiteral("05"));
    EXPECT_EQ(FormatNumber(0, QStringLiteral("0#")), QStringLiteral("00"));
    EXPECT_EQ(FormatNumber(31, QStringLiteral("00")), QStringLiteral("31"));
    EXPECT_EQ(FormatNumber(123, QStringLiteral("00")), QStringLiteral("123"));
    EXPECT_EQ(FormatNumber(-5, QStringLiteral("00")), QStringLiteral("-05"));
    EXPECT_EQ(FormatNumber(999, QStringLiteral("0000")), QStringLiteral("0999"));
    EXPECT_EQ(FormatNumber(42, QStringLiteral("00000#")), QStringLiteral("000042"));
    EXPECT_EQ(FormatNumber(17, QStringLiteral("000000000000000#")),
              QStringLiteral("0000000000000017"));
    EXPECT_EQ(FormatNumber(0, QStringLiteral("#")), QString());
    EXPECT_EQ(FormatNumber(std::numeric_limits<int64_t>::min(), QStringLiteral("0")),
              QStringLiteral("-9223372036854775808"));
}

TEST(Format, DatesUseTheLocaleMonthNames) {
    // The test main pins the French locale.
    EXPECT_EQ(FormatDate(2004, 3, 5, QStringLiteral("dd mmm yyyy")),
              QStringLiteral("05 mars 2004"));
    EXPECT_EQ(FormatDate(2004, 2, 29, QStringLiteral("dd mmm yyyy")),
              QStringLiteral("29 févr. 2004"));
    EXPECT_EQ(FormatDate(999, 12, 1, QStringLiteral("dd mmmm yyyy")),
              QStringLiteral("01 décembre 0999"));
}

TEST(MoneyAdd, RoundsAfterEachAdditionAndHoldsAtTheLimits) {
    int32_t total = 0;
    total = MoneyAdd(total, 12.5); // 12
    total = MoneyAdd(total, 13.5); // 26 (25.5 rounds to even... 12 + 13.5 = 25.5 -> 26)
    EXPECT_EQ(total, 26);
    EXPECT_EQ(MoneyAdd(40, 0.5), 40);
    EXPECT_EQ(MoneyAdd(41, 0.5), 42);
    EXPECT_EQ(MoneyAdd(2147483000, 1e6), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(MoneyAdd(-2147483000, -1e6), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(MoneyAdd(5, std::numeric_limits<double>::infinity()),
              std::numeric_limits<int32_t>::max());
    EXPECT_EQ(MoneyAdd(5, std::nan("")), 5);
}
