#pragma once
// Painting shared by the month windows, the previews of the dialogs and printing: the caption
// and day numbers a month shows, the colours and background in force for a month, the colour a
// control shows for a colour value of the document, and a background picture drawn as it is,
// stretched or tiled.

#include "document/records.h"
#include "platform/ui_picture_box.h"

#include <QPointF>
#include <QString>
#include <cstdint>
#include <vector>

// The caption of month Month (1 to 12) of the live document: the month's name, a blank and the
// document's year as it is written ("Mars 2004").
QString MonthCaption(int16_t Month);
// The day number cell Cell of month Month shows for the live document's year: at least two
// digits ("05"); "" for a cell without a day, or when the document's year is not a 16-bit whole
// number.
QString DayLabel(int16_t Month, int16_t Cell);

// The colour set in force for a month: its own, or the document's default when the month's
// UseDefault is set.
const ColourSet& ColoursInForce(int16_t Month);
// The background in force for a month: its own, or the document's default when the month's
// UseDefault is set. It has a picture when its FileName is not empty.
const ImageItem& BackgroundInForce(int16_t Month);

// The colour a control is given for a colour value of the document: the value itself when it
// is a plain colour (0 to 0xFFFFFF) or one of the system colours, Fallback for any other value
// (a damaged or foreign file may hold anything in its 32 bits).
int32_t DisplayColour(int32_t Value, int32_t Fallback);

// Paints Image onto Target, using Temp as a scratch surface that takes the picture's size:
// mode 0 at its own size at the top left corner (as Target's picture), 1 stretched over the
// whole of Target, 2 tiled from the top left corner; any other mode, or no picture, leaves
// Target cleared. Temp is left empty.
void PaintBackground(rt::PictureBox& Target, rt::PictureBox& Temp, const ImageItem& Image);

// The top left corners of the tiles that cover a surface W wide and H high with tiles TW by
// TH, column by column: X = 0, TW, 2 TW... while X <= W and, in each column, Y = 0, TH...
// while Y <= H. Nothing for a tile without size.
std::vector<QPointF> TilePositions(double W, double H, double TW, double TH);
