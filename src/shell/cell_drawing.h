#pragma once
// The item lines of the month windows' day cells: under its day number a cell shows its first
// items, one a line (LblEV1 to LblEV7), in the colour of their kind or their own, ticked items
// struck through. A cell with more than seven items shows six and "[...]"; the rest are reached
// through the events pane.

#include "platform/ui_controls.h"

#include <cstdint>

// Sets Label, item line Line (0 to 6) of cell (Month, Cell), from the cell's items in the live
// document. A line without an item gets an empty caption and keeps its text colour.
void DrawDayCellLine(int16_t Month, int16_t Cell, rt::Label& Label, int16_t Line);

// RedrawDayCell (declared in main_module.h) draws the seven lines of one cell.

// Draws every cell of month window Month.
void RedrawMonthCells(int16_t Month);
