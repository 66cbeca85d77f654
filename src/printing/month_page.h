#pragma once
// One page of a print job, drawn on a printing engine document its caller has started: a
// calendar month of the live document, or the job's picture. The page is drawn in page
// centimetres through the engine's output members only, so it is the same on paper and in the
// preview.

#include "api_printer.h"
#include "document/records.h"

#include <cstdint>

// A picture job (Job.FileName not empty) draws Job.Picture inside a 0.3 cm margin, stretched
// when Job.Mode is not 0, else at its natural size; Month is not looked at. A calendar job
// draws month Month (1 to 12; any other month draws nothing): its title (MonthCaption), the
// weekday band, the grid of six weeks, the background when the settings print it, and the day
// cells. The job is not changed.
void PrintMonthPage(cmAPIPrinter& Engine, int16_t Month, const ImageItem& Job);

// One day cell of a calendar page: the day number the month window shows in the cell
// (DayLabel), then the first seven items of the day, right-aligned, in their colours. Right is
// the x of the cell's right edge; Top the y of its top edge, which the procedure advances by
// 0.175.
void PrintDayCell(cmAPIPrinter& Engine, int16_t Month, int16_t Cell, float Right, float& Top,
                  int32_t DayColour, float CellWidth, float CellHeight);
