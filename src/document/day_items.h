#pragma once
// Day items: the colour they are drawn in, the month windows' one-item clipboard, and the
// income and expense totals of a day and of a range of days.

#include <cstdint>

// The colour of item Index of day cell (Month, Cell): its own colour, or with -1 the colour of
// its kind in the colour set in force for the month. A place that holds no item raises
// run-time error 9.
int32_t GetDayItemColour(int16_t Month, int16_t Cell, int16_t Index);

// Copy and Cut take item SelItem of cell (SelMonth, SelCell) into the clipboard; a cut item
// stays in its cell until it is pasted. Nothing happens unless the selection names an item.
void CopyDayItem();
void CutDayItem();
// Appends a copy of the clipboard's item (as an ordinary item, with no source key) to cell
// (SelMonth, SelCell). When the source is still in place and unchanged, a cut removes it and a
// copy stays ready for another paste; otherwise the clipboard is emptied.
void PasteDayItem();

// The sum of the amounts of the cell's incomes (Income) or expenses; 0 outside the grid.
int32_t DayTotal(bool Income, int16_t Month, int16_t Cell);
// The same over a range: 0 the day, 1 the month, 2 the day and the 6 following days, 3 the day
// and the 13 following days (ranges stop at 31 December). 0 for any other range, or a month or
// cell outside the grid (the cell is not needed for the month).
int32_t SummaryTotal(bool Income, int16_t Range, int16_t Month, int16_t Cell);
// The month's incomes and expenses at once, each equal to SummaryTotal(..., 1, Month, ...):
// the items are read once for both (the chart gathers every month of a year).
void MonthTotals(int16_t Month, int32_t& Incomes, int32_t& Expenses);
