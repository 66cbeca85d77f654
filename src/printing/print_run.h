#pragma once
// The entry points of printing: a whole print job on the printer, and the print preview.
//
// A print job is an ImageItem: an empty FileName prints the calendar (the months flagged in
// Settings.PrintMonths, in Settings.PrintCopies collated copies), any other FileName prints its
// Picture on one page, at its natural size (Mode 0) or stretched (any other Mode).

#include "document/records.h"
#include "printing.h"

#include <QString>
#include <cstdint>

// The print document's name: "Mirovanta v", the version, " - " and the document's file name,
// or "[Sans nom]" for a document never saved.
QString PrintDocumentName();

// The pages of a calendar run: the copies times the months chosen (every non-zero flag), in 32
// bits (4096 copies of twelve months are more pages than 16 bits hold).
int32_t PrintPageTotal();

// The second status line before page Page of Total: "Page 03 de 12 ...".
QString PrintPageStatus(int32_t Page, int32_t Total);
