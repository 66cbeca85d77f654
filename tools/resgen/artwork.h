#pragma once
// The large pictures: the splash (399 x 281), the start-view logo (405 x 381), the About logo
// (141 x 300) and the password picture (69 x 134), in full colour or in the flat 16-colour look.

#include "pixel_painter.h"

#include <QImage>

namespace resgen {

QImage splashPicture(Look look);
QImage startLogo(Look look);
QImage aboutLogo(Look look);
QImage passwordPicture(Look look);

} // namespace resgen
