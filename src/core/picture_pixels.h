#pragma once
// A picture kept as its decoded pixels, so that loading it is a copy rather than a decoding:
// a header of eight 32-bit numbers (the letters "MRVP", width, height, QImage format, bytes per
// scan line, number of colours, dots per metre across and down), the colour table, then the
// scan lines as QImage lays them out. The resource generator writes the program's own
// pictures in this form, and the program reads them back the same on the same machine.

#include <QByteArray>
#include <QImage>

namespace rt {

QByteArray encodePicturePixels(const QImage& image);
// The picture held in `bytes`, or a null image when they are not one. When they hold the scan
// lines suitably aligned the image is made over them, taking bytes of their own with it and
// reading raw data (QByteArray::fromRawData) where it is, read-only: that data must then last
// as long as the image and its copies (the program's compiled-in resources do). Otherwise the
// scan lines are copied.
QImage decodePicturePixels(QByteArray bytes);

} // namespace rt
