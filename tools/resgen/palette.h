#pragma once
// Colour reduction of the generated pictures: the 16 colours of the standard VGA palette, a
// 256-colour palette, and the greyed look of a disabled toolbar image.

#include <QImage>
#include <QList>
#include <QRgb>

namespace resgen {

// The 16 colours of the standard VGA palette.
const QList<QRgb>& vga16();

// The picture in at most 16 colours of the VGA palette (each pixel the nearest colour, spreading
// the error over its neighbours when dither is set). A pixel more than half transparent becomes
// fully transparent (an extra palette entry), any other fully opaque.
QImage toVga16(const QImage& image, bool dither);

// The picture in at most 256 colours, without transparency.
QImage to256(const QImage& image);

// The greyed look of a picture: its grey levels lightened towards white, reduced to the VGA
// greys (black, dark grey, light grey, white); transparency is kept.
QImage greyed(const QImage& image);

} // namespace resgen
