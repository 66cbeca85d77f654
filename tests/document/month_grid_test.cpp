#include "document/dates.h"
#include "document/month_grid.h"

#include <gtest/gtest.h>

TEST(MonthGrid, FirstOfTheMonthLiesInTheColumnOfItsWeekday) {
    // 2004 has a month starting on every weekday.
    struct Case {
        int16_t month;
        int16_t firstCell;
    } cases[] = {
        {2, 7},   // Sunday
        {3, 8},   // Monday
        {6, 9},   // Tuesday
        {9, 10},  // Wednesday
        {1, 11},  // Thursday
        {10, 12}, // Friday
        {5, 13},  // Saturday
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.month);
        EXPECT_EQ(CellOfDay(2004, c.month, 1), c.firstCell);
        EXPECT_EQ(DayOfCell(2004, c.month, c.firstCell), 1);
        EXPECT_EQ(DayOfCell(2004, c.month, c.firstCell - 1), 0);
        // The grid column is the weekday: Sunday in column 0.
        EXPECT_EQ(c.firstCell % 7 + 1, WeekdayOf({1, c.month, 2004}, false));
    }
    // 31 days from a Saturday end in cell 43 (January 2005).
    EXPECT_EQ(CellOfDay(2005, 1, 31), 43);
    EXPECT_EQ(DayOfCell(2005, 1, 43), 31);
    EXPECT_EQ(DayOfCell(2005, 1, 44), 0);
}

TEST(MonthGrid, EveryDayShowsOnceAndNothingElse) {
    for (int16_t year : {1900, 2000, 2003, 2004, 2005}) {
        for (int16_t month = 1; month <= 12; ++month) {
            int shown = 0;
            int16_t previous = 0;
            for (int16_t cell = 7; cell <= 48; ++cell) {
                const int16_t d = DayOfCell(year, month, cell);
                if (d == 0) continue;
                ++shown;
                ASSERT_EQ(d, previous + 1) << year << "-" << month << " cell " << cell;
                ASSERT_EQ(CellOfDay(year, month, d), cell);
                ASSERT_LE(cell, 43);
                previous = d;
            }
            ASSERT_EQ(shown, DaysInMonth(year, month)) << year << "-" << month;
        }
    }
    // February 2004 shows 29 days, February 2003 28.
    EXPECT_EQ(DayOfCell(2004, 2, CellOfDay(2004, 2, 29)), 29);
    EXPECT_EQ(DayOfCell(2003, 2, CellOfDay(2003, 2, 28) + 1), 0);
}

TEST(MonthGrid, OutOfRangeMonthsAndCellsShowNoDay) {
    EXPECT_EQ(DayOfCell(2004, 0, 10), 0);
    EXPECT_EQ(DayOfCell(2004, 13, 10), 0);
    EXPECT_EQ(DayOfCell(2004, 3, 6), 0);
    EXPECT_EQ(DayOfCell(2004, 3, 49), 0);
    EXPECT_EQ(DayOfCell(2004, 3, -1), 0);
}
