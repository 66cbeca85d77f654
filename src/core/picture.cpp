#include "picture.h"

#include "file_output.h"
#include "rt_error.h"

#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <atomic>
#include <climits>
#include <optional>

namespace rt {

namespace {
int32_t nextHandle() {
    static std::atomic<int32_t> counter{0};
    int32_t h = ++counter;
    if (h <= 0) { // wrapped after two thousand million pictures: start again above 0
        counter = 1;
        h = 1;
    }
    return h;
}

const QImage& nullImage() {
    static const QImage image;
    return image;
}
} // namespace

Picture Picture::empty() {
    static const auto emptyData = std::make_shared<const Data>();
    Picture p;
    p.d_ = emptyData;
    return p;
}

Picture Picture::fromImage(const QImage& image) {
    if (image.isNull()) return empty();
    Picture p;
    p.d_ = std::make_shared<const Data>(Data{nextHandle(), image});
    return p;
}

int32_t Picture::handle() const {
    if (!d_)
        throw RtError(91, QStringLiteral("Variable objet ou variable de bloc With non définie"));
    return d_->handle;
}

const QImage& Picture::image() const {
    return d_ ? d_->image : nullImage();
}

QSize PictureFileSize(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) return QSize();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    return size.isValid() && !size.isEmpty() ? size : QSize();
}

Picture LoadPicture(const QString& path, qint64 maxPixels) {
    if (path.isEmpty()) return Picture::empty();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) raise(ErrFileNotFound);
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (maxPixels > 0) {
        const QSize size = reader.size();
        if (size.isValid() && qint64(size.width()) * size.height() > maxPixels)
            raise(ErrOutOfMemory);
        // Qt's own bound on one decoded image must let the largest allowed picture through at
        // 32 bits a pixel; it still stops a file whose header hides its size, and a deeper
        // picture that would take more while it is decoded.
        const qint64 megabytes = (maxPixels * kDecodedBytesPerPixel + (1 << 20) - 1) >> 20;
        if (QImageReader::allocationLimit() < megabytes)
            QImageReader::setAllocationLimit(int(std::min<qint64>(megabytes, INT_MAX)));
    }
    QImage image = reader.read();
    if (image.isNull()) raise(ErrInvalidPicture);
    if (maxPixels > 0 && qint64(image.width()) * image.height() > maxPixels) raise(ErrOutOfMemory);
    // Sixteen bits a channel adds nothing on the screen and would double the memory kept.
    if (image.depth() > 32)
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                              : QImage::Format_RGB32);
    return Picture::fromImage(image);
}

void SavePicture(const Picture& picture, const QString& path) {
    if (picture.isEmpty()) raise(ErrInvalidPicture);
    // The file is written by the system's own calls, so a full disk is told apart.
    std::optional<FileOutput> out;
    try {
        out.emplace(path, FileOutput::Mode::Direct);
    } catch (const RtError& e) {
        if (e.Number == ErrDiskFull) throw;
        raise(ErrPathFileAccess);
    }
    QImageWriter writer(&*out, "BMP");
    if (!writer.write(picture.image())) {
        out->raiseIfFailed();
        raise(ErrPathFileAccess);
    }
    out->commit();
}

} // namespace rt
