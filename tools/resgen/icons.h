#pragma once
// The small drawings: toolbar images (16 x 16), the small button pictures (14 x 13), window
// icons and the 32 x 32 pictures, each drawn on its pixel grid by name.

#include "pixel_painter.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace resgen {

// Names of the drawings: the toolbar keys "New", "Open", "Save", "Preview", "Print", "Options",
// "Prop", "Help", "HTile", "VTile", "Cascade", "AIcons" and "m01" to "m12"; the small buttons
// "ShowPic", "Up", "Down", "SortAZ", "Update", "SortZA"; the icons "Main", "Alarm", "Chart",
// "PicEdit", "SaveQuestion"; the 32 x 32 pictures "MonthGrid" and "Question".
QStringList drawingNames();
QSize drawingSize(const QString& name);

// The drawing on a transparent image of its size times scale.
QImage renderDrawing(const QString& name, Look look, int scale = 1);

} // namespace resgen
