#pragma once
// Modified flags of the live document and the main window's caption.

#include <QString>
#include <cstdint>

// Writes the modified flag of a document part (DocPart; 0 writes all 42 flags) with Value
// unchanged (-1 marks a change, 0 clears it; Month 1 to 12 for the parts of one month), then
// recomputes CurDoc.IsSaved and rewrites the main window's caption. An unknown part, or a month
// outside 1 to 12 for a month's part, writes no flag, but the rest runs all the same.
void SetModified(int32_t Part, int16_t Value, int16_t Month);

// The caption of the main window while a document is shown: "Mirovanta v", the version,
// " - ", the file's full path or "[Sans nom]", and "*" while a change is unsaved.
QString DocumentCaption();
