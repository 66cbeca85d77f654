#pragma once
// Which day of a month each grid cell shows.
//
// The grid has six weeks of seven cells, Sunday first, numbered 7 to 48. Day d of a month lies
// in cell d + w + 5, where w is the weekday of the 1st (Sunday = 1); the cells before the 1st
// and after the last day show no day. These functions give the same day numbers as the month
// windows' day labels once those are filled for the year, and work without any window.

#include <cstdint>

// The cell of day Day of month Month (1 to 12) in year Year.
int16_t CellOfDay(int16_t Year, int16_t Month, int16_t Day);

// The day of month Month shown in cell Cell in year Year, or 0 when the cell shows no day (a
// month outside 1 to 12 or a cell outside 7 to 48 shows none either).
int16_t DayOfCell(int16_t Year, int16_t Month, int16_t Cell);
