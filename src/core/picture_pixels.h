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
// The picture held in `bytes`, or a null image when they are not one. The image shares the
// bytes when they are its own (not raw data another object owns) and hold the scan lines
// suitably aligned, and copies them otherwise.
QImage decodePicturePixels(QByteArray bytes);

} // namespace rt
