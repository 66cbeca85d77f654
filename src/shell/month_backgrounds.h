#pragma once
// Background pictures of the month windows: the month's own or the document's default, drawn
// as it is, stretched over the grid or tiled, on the picture surface behind the cells.

#include <cstdint>

// Paints the background in force for month Month onto its window's PicCal: now if the window
// is shown, else when it is shown.
void RefreshMonthBackground(int16_t Month);
