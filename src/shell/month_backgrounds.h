#pragma once
// Background pictures of the month windows: the month's own or the document's default, drawn
// as it is, stretched over the grid or tiled, on the picture surface behind the cells.

#include "document/records.h"
#include "platform/ui_picture_box.h"

#include <QPointF>
#include <cstdint>
#include <vector>

// Paints the background in force for month Month onto its window's PicCal.
void RefreshMonthBackground(int16_t Month);

// Paints Image onto Target, using Temp as a scratch surface that takes the picture's size:
// mode 0 at its own size at the top left corner (as Target's picture), 1 stretched over the
// whole of Target, 2 tiled from the top left corner; any other mode, or no picture, leaves
// Target cleared. Temp is left empty.
void PaintBackground(rt::PictureBox& Target, rt::PictureBox& Temp, const ImageItem& Image);

// The top left corners of the tiles that cover a surface W wide and H high with tiles TW by
// TH, column by column: X = 0, TW, 2 TW... while X <= W and, in each column, Y = 0, TH...
// while Y <= H. Nothing for a tile without size.
std::vector<QPointF> TilePositions(double W, double H, double TW, double TH);
