#include "picture_pixels.h"

#include <QList>
#include <cstring>

namespace rt {

namespace {

constexpr char kMagic[4] = {'M', 'R', 'V', 'P'};

struct Header {
    char magic[4];
    quint32 width, height, format, bytesPerLine, colours;
    qint32 dotsX, dotsY;
};
static_assert(sizeof(Header) == 32);

void releaseBytes(void* bytes) {
    delete static_cast<QByteArray*>(bytes);
}

} // namespace

QByteArray encodePicturePixels(const QImage& image) {
    const QList<QRgb> colours = image.colorTable();
    Header h{};
    std::memcpy(h.magic, kMagic, sizeof kMagic);
    h.width = quint32(image.width());
    h.height = quint32(image.height());
    h.format = quint32(image.format());
    h.bytesPerLine = quint32(image.bytesPerLine());
    h.colours = quint32(colours.size());
    h.dotsX = image.dotsPerMeterX();
    h.dotsY = image.dotsPerMeterY();
    QByteArray out(reinterpret_cast<const char*>(&h), sizeof h);
    out.append(reinterpret_cast<const char*>(colours.constData()),
               qsizetype(colours.size() * sizeof(QRgb)));
    out.append(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    return out;
}

QImage decodePicturePixels(QByteArray bytes) {
    Header h;
    if (bytes.size() < qsizetype(sizeof h)) return {};
    std::memcpy(&h, bytes.constData(), sizeof h);
    if (std::memcmp(h.magic, kMagic, sizeof kMagic) != 0 || h.format == 0 ||
        h.format >= QImage::NImageFormats || h.width == 0 || h.height == 0 || h.colours > 256)
        return {};
    const auto format = QImage::Format(h.format);
    const qsizetype tableBytes = qsizetype(h.colours) * qsizetype(sizeof(QRgb));
    const qsizetype offset = qsizetype(sizeof h) + tableBytes;
    const qsizetype lines = qsizetype(h.bytesPerLine) * h.height;
    if (bytes.size() != offset + lines) return {};
    QList<QRgb> colours(h.colours);
    // An empty list has no storage to copy into.
    if (tableBytes > 0)
        std::memcpy(colours.data(), bytes.constData() + sizeof h, size_t(tableBytes));

    QImage image;
    // Raw data (QByteArray::fromRawData) is never detached: its bytes are another object's.
    const auto at = reinterpret_cast<quintptr>(bytes.constData() + offset);
    const bool aligned = at % 4 == 0 && h.bytesPerLine % 4 == 0;
    if (aligned && bytes.isDetached()) {
        // The decompressed bytes become the image's own: no copy of the scan lines.
        auto* owner = new QByteArray(std::move(bytes));
        image = QImage(reinterpret_cast<uchar*>(owner->data()) + offset, int(h.width),
                       int(h.height), qsizetype(h.bytesPerLine), format, releaseBytes, owner);
        if (image.isNull()) delete owner;
    } else if (aligned) {
        // Read where they are, as a read-only image: a change makes the image a copy of its own.
        image = QImage(reinterpret_cast<const uchar*>(bytes.constData()) + offset, int(h.width),
                       int(h.height), qsizetype(h.bytesPerLine), format);
    } else {
        image = QImage(int(h.width), int(h.height), format);
        if (image.isNull() || image.bytesPerLine() != qsizetype(h.bytesPerLine)) return {};
        std::memcpy(image.bits(), bytes.constData() + offset, size_t(lines));
    }
    if (image.isNull()) return {};
    if (!colours.isEmpty()) image.setColorTable(colours);
    image.setDotsPerMeterX(h.dotsX);
    image.setDotsPerMeterY(h.dotsY);
    return image;
}

} // namespace rt
