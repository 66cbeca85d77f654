#pragma once
// Moving, removing and sorting the entries of the live document's four lists (auto-events,
// birthdays, debts/savings, the items of one day), and the weekday names.
//
// Each operation marks its part changed, refreshes the side pane with the row to select and,
// for day items, redraws the day's cell. An index, month or cell out of range does nothing.
// Sorting orders the texts as the user reads them: by the current locale's collation, letter
// case ignored; entries with equal texts keep their order, in both directions.

#include <QString>
#include <cstdint>

void SwapAE(int16_t I, int16_t J);
void MoveAE(int16_t From, int16_t To);
void RemoveAE(bool ClearAll, int16_t Index);
void SortAE(int32_t Descending);

void SwapBD(int16_t I, int16_t J);
void MoveBD(int16_t From, int16_t To);
void RemoveBD(bool ClearAll, int16_t Index);
void SortBD(int32_t Descending);

void SwapDEItems(int16_t I, int16_t J);
void MoveDEItem(int16_t From, int16_t To);
void RemoveDEItem(bool ClearAll, int16_t Index);
void SortDEItems(int32_t Descending);

void SwapDayItems(int16_t Month, int16_t Cell, int16_t I, int16_t J);
void MoveDayItem(int16_t Month, int16_t Cell, int16_t From, int16_t To);
// After removing one item the pane selects the row that took its place in the current day's
// list, or that list's last row; with no current day it selects none.
void RemoveDayItem(int16_t Month, int16_t Cell, bool ClearAll, int16_t Index);
void SortDayItems(int16_t Month, int16_t Cell, int32_t Descending);

// The name of weekday DayIndex (1 Sunday to 7 Saturday), long ("Dimanche") or short ("DI");
// "" for any other index.
QString GetDayName(int16_t DayIndex, bool LongName);
