#pragma once
// Balances of the debts and savings. An income or expense belongs to a debt or saving when the
// name of its money text equals the debt's or saving's name (letter case counts). Sums are
// rounded to whole amounts after every addition, halves to the even neighbour, and held at the
// 32-bit limits rather than overflowing.

#include "records.h"

#include <cstdint>

// The net movement of one day cell for debt/saving DEIndex, leaving out item SkipIndex (-1
// leaves out none): a debt gains its incomes and loses its expenses, a saving the other way
// round. 0 when DEIndex is not in the list.
int32_t DEMovementsOfDay(int16_t DEIndex, const DayCell& Cell, int16_t SkipIndex);

// The balance of debt/saving DEIndex at the end of AtDate: its opening amount plus the
// movements of the document's days from its start date to AtDate, both included. 0 when
// DEIndex is not in the list or the debt or saving starts after AtDate.
int32_t DEBalanceAtDate(int16_t DEIndex, const DateRec& AtDate);
