#pragma once
// Pictures as the original runtime handled them: a value that refers to a shared picture
// object. Copies of a record share one object; identity, not content, tells two pictures apart.
//
// Three states:
//  - no object at all (a default-constructed Picture), whose handle cannot be read;
//  - the empty picture: an object with handle 0 and no image;
//  - a loaded picture: an object with a unique non-zero handle and an image.

#include <QExplicitlySharedDataPointer>
#include <QIODevice>
#include <QImage>
#include <QSharedData>
#include <QString>
#include <cstdint>
#include <memory>

namespace rt {

class Picture {
public:
    Picture() = default; // no object

    static Picture empty();
    // A new picture object holding the image (a null image gives the empty picture). Holder,
    // when given, is kept alive as long as the picture object is.
    static Picture fromImage(const QImage& image, std::shared_ptr<const void> holder = nullptr);

    bool hasObject() const { return static_cast<bool>(d_); }
    // True for no object and for the empty picture.
    bool isEmpty() const { return !d_ || d_->handle == 0; }
    // The picture's numeric identifier: 0 for the empty picture, unique for a loaded one.
    // Reading the handle of no object raises run-time error 91, as the original did; callers
    // that must tolerate it check hasObject() first.
    int32_t handle() const;
    const QImage& image() const;
    int width() const { return image().width(); }
    int height() const { return image().height(); }

    // Same object (or both without one).
    bool sameObject(const Picture& other) const { return d_ == other.d_; }

private:
    struct Data : QSharedData {
        Data() = default;
        Data(int32_t h, const QImage& i, std::shared_ptr<const void> held)
            : handle(h), image(i), holder(std::move(held)) {}
        int32_t handle = 0;
        QImage image;
        // What else shares the image (the decoded file's holder), released with the picture.
        std::shared_ptr<const void> holder;
    };
    // One pointer: a document holds a picture in every day item, most of them without one.
    QExplicitlySharedDataPointer<const Data> d_;
};

// The bytes a picture of this size is counted for once decoded: 4 a pixel, the most a loaded
// picture keeps (LoadPicture turns deeper formats into 32-bit ones).
inline constexpr qint64 kDecodedBytesPerPixel = 4;
inline qint64 DecodedBytes(QSize size) {
    return size.isValid() ? qint64(size.width()) * size.height() * kDecodedBytesPerPixel : 0;
}

// The size in pixels a picture file gives in its header, read without decoding the picture.
// An invalid size when the path names no regular file, or a file whose size cannot be told:
// one whose header region holds a length past its end or more metadata than a picture may
// (picture_check.h).
QSize PictureFileSize(const QString& path);
// The same for a picture's bytes on a device open for reading, from where it stands.
QSize PictureSize(QIODevice& device);

// Loads a .bmp, .gif or .jpg file as a new picture object; an empty path gives the empty
// picture. Raises run-time error 53 when the file does not exist and 481 when it is not a
// picture, or one whose data ends before its header says it does: a length in the file runs
// past its end, or its metadata past what a picture may hold (picture_check.h). With maxPixels
// above 0, a picture of more pixels, as its header gives it or as its decoder would make it,
// raises 7 (out of memory) without being decoded.
Picture LoadPicture(const QString& path = QString(), qint64 maxPixels = 0);
// The same for a picture file's bytes held in memory.
Picture LoadPictureData(const QByteArray& data, qint64 maxPixels = 0);

// The images that the pictures loaded from files hold now, each file's once, and their bytes.
// An image leaves the count when the last picture loaded from its file is gone.
struct DecodedPicturesHeld {
    qsizetype count = 0;
    qint64 bytes = 0;
};
DecodedPicturesHeld DecodedPicturesInUse();

// Saves the picture as a .bmp file; raises 481 for an empty picture, 61 naming the file when
// the disk is full, and 75 when the file cannot be written otherwise.
void SavePicture(const Picture& picture, const QString& path);

} // namespace rt
