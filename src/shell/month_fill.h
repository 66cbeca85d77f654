#pragma once
// Filling the twelve month windows from the live document: the day numbers of each cell, the
// colours of the weekday row and of the cells (grid lines, the selected day, today), and the
// rebuild of the windows after a document was opened, created or saved in part.

#include "document/records.h"

#include <cstdint>

// Writes the day numbers "01" to the month's last day into the cells of month window Month,
// from the cell of the 1st on, and empties every other cell. A document year that is not a
// 16-bit whole number leaves every cell empty.
void FillMonthDays(int16_t Month);

// Colours month window Month with the colour set in force for it.
void ApplyMonthColors(int16_t Month);

// Colours month window Month: the weekday row in the header colours, with or without grid
// lines; every cell in CellBack and DayText, transparent over a background picture (but for
// the selected day), the selected day in SelCellBack and today's number in TodayText. Reads
// the day numbers that FillMonthDays wrote.
void ApplyGridColors(int16_t Month, const ColourSet& Colours);

// Declared in main_module.h: FillMonthWindow fills one window (caption, day numbers, colours,
// background, item lines); ShowMonthWindows refills the windows made so far through the
// loading view, shows the month to open first (made then if need be), refreshes the side pane,
// writes the main caption and tiles the shown windows side by side.
