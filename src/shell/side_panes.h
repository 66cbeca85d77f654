#pragma once
// The side panes of the main window's navigation panel: the lists of the current day's items,
// the auto-events, the debts and savings and the birthdays, with the day's totals and the
// balances of debts and savings. RefreshPane, ShowEVBalance and ShowDEBalance are declared with
// the other main-module procedures in main_module.h.
//
// Row i of each list shows record i of its document list, whatever the record holds, so that a
// row number is always the index of the record the list commands act on.

#include "document/records.h"
#include "main_module.h"

#include <QString>
#include <cstdint>

// Lists the items of day cell (Month, Cell) in the events list, ticks the checked ones and
// writes the day's totals. Outside the grid the list is emptied and the totals keep their text.
void FillEVList(int16_t Month, int16_t Cell);
// Each clears its list and writes one row per record of the live document.
void FillAEList();
void FillDEList();
void FillBDList();

// The text of a row of each list.
QString EVRowText(const EVItem& Item);
QString AERowText(const AEItem& Item);
QString DERowText(const DEItem& Item);
QString BDRowText(const BDItem& Item);
