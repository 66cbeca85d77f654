#include "picture.h"

#include "rt_error.h"

#include <QFileInfo>
#include <QImageReader>
#include <atomic>

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
    if (!d_) throw RtError(91, QStringLiteral("Variable objet ou variable de bloc With non définie"));
    return d_->handle;
}

const QImage& Picture::image() const { return d_ ? d_->image : nullImage(); }

Picture LoadPicture(const QString& path) {
    if (path.isEmpty()) return Picture::empty();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) raise(ErrFileNotFound);
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) raise(ErrInvalidPicture);
    return Picture::fromImage(image);
}

void SavePicture(const Picture& picture, const QString& path) {
    if (picture.isEmpty()) raise(ErrInvalidPicture);
    if (!picture.image().save(path, "BMP")) raise(ErrPathFileAccess);
}

} // namespace rt
