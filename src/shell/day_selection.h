#pragma once
// The current day and the cell menu of the month windows.
//
// A left click on a cell makes it the current day (SelectDay, main_module.h): the day whose
// items the events pane lists. Its day label is highlighted, opaque in the SelCellBack colour of
// its month's colour set in force; at most one cell of the twelve windows is highlighted. A
// right click (ShowCellMenu) records the cell and item line under the pointer in SelMonth,
// SelCell and SelItem, frames the clicked line while the cell menu is open and enables the
// menu's entries for that cell.

#include "document/dates.h"

#include <QString>

// The events pane's text for the current day: "dd mmm yyyy" with the month's abbreviated name
// in the user's language ("15 mars 2004"). A date that is not a calendar date of the years 1 to
// 9999 shows its text form ("10000-01-05").
QString SelectedDateText(const DateRec& Date);
