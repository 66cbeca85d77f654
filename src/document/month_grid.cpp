#include "month_grid.h"

#include "dates.h"
#include "records.h"

int16_t CellOfDay(int16_t Year, int16_t Month, int16_t Day) {
    return int16_t(Day + WeekdayOf(MakeDate(1, Month, Year), true) + 5);
}

int16_t DayOfCell(int16_t Year, int16_t Month, int16_t Cell) {
    if (!IsMonth(Month) || !IsCell(Cell)) return 0;
    const int d = Cell - WeekdayOf(MakeDate(1, Month, Year), true) - 5;
    if (d < 1 || d > DaysInMonth(Year, Month)) return 0;
    return int16_t(d);
}
