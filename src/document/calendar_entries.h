#pragma once
// Writes the auto-events and birthdays into the day cells of the document's year.
//
// Each auto-event or birthday gives one generated day item per matching day, carrying the key
// of its source in SourceKey; an apply never adds a second item of one source to a cell, and
// first removes the generated items whose source no longer exists (an edited source gets a
// new key, so its old items go and fresh ones come). Day numbers come from the month grid of
// the document's year, so the result does not depend on the month windows being filled.
//
// A record outside the ranges the editors keep to (a day below 1, a weekday outside 1 to 7, a
// month outside 1 to 12, an impossible start date for the two-week kind) gives no item.

#include "dates.h"

#include <cstdint>

void ApplyAEToCalendar();
// Gives auto-event AEIndex one item on Date, a day of month Month of the document's year;
// redraws the cell and marks the month changed whether or not an item was added.
void AddAEEntry(int16_t AEIndex, int16_t Month, const DateRec& Date);
void PurgeOrphanAEEntries();

void ApplyBDToCalendar();
void AddBDEntry(int16_t BDIndex, int16_t Month, const DateRec& Date);
void PurgeOrphanBDEntries();
