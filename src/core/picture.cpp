#include "picture.h"

#include "file_output.h"
#include "picture_check.h"
#include "rt_error.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

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

// Pictures decoded from files, so that a file named by many items is decoded once and its
// pixels shared by every picture loaded from it (each still a picture object of its own). A
// file is known by its path, size and time of change: a file written again is decoded again.
// The cache holds no image itself: the pictures loaded from a file share one holder, and the
// image leaves the cache as soon as the last of them lets it go.
class DecodedPictures {
public:
    struct Key {
        QString path;
        qint64 size;
        qint64 modified;
        bool operator==(const Key& o) const {
            return size == o.size && modified == o.modified && path == o.path;
        }
        friend size_t qHash(const Key& key, size_t seed = 0) {
            return qHashMulti(seed, key.path, key.size, key.modified);
        }
    };
    static Key keyOf(const QFileInfo& info) {
        return {info.absoluteFilePath(), info.size(), info.lastModified().toMSecsSinceEpoch()};
    }

    // The image of one file, shared by the pictures loaded from it.
    class Held {
    public:
        Held(DecodedPictures& cache, Key key, QImage image)
            : cache_(cache), key_(std::move(key)), image_(std::move(image)) {}
        ~Held() { cache_.forget(key_); }
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;
        const QImage& image() const { return image_; }

    private:
        DecodedPictures& cache_;
        const Key key_;
        const QImage image_;
    };

    std::shared_ptr<const Held> find(const Key& key) {
        std::shared_ptr<const Held> held;
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto it = images_.constFind(key);
        if (it != images_.cend()) held = it.value().lock();
        return held;
    }

    std::shared_ptr<const Held> add(const Key& key, const QImage& image) {
        auto held = std::make_shared<const Held>(*this, key, image);
        const std::lock_guard<std::mutex> lock(mutex_);
        images_.insert(key, held);
        return held;
    }

    DecodedPicturesHeld held() {
        // Released after the lock: the last of a holder forgets its entry under the lock.
        std::vector<std::shared_ptr<const Held>> alive;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            for (const std::weak_ptr<const Held>& entry : images_)
                if (std::shared_ptr<const Held> h = entry.lock()) alive.push_back(std::move(h));
        }
        DecodedPicturesHeld result;
        for (const auto& h : alive) {
            ++result.count;
            result.bytes += h->image().sizeInBytes();
        }
        return result;
    }

private:
    // The last picture of key let its image go; a file loaded again meanwhile keeps its new one.
    void forget(const Key& key) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto it = images_.find(key);
        if (it != images_.end() && it.value().expired()) images_.erase(it);
    }

    std::mutex mutex_;
    QHash<Key, std::weak_ptr<const Held>> images_;
};

DecodedPictures& decodedPictures() {
    // Never destroyed: pictures in objects that outlive it at exit still forget their entries.
    static DecodedPictures* const cache = new DecodedPictures;
    return *cache;
}
} // namespace

Picture Picture::empty() {
    static const QExplicitlySharedDataPointer<const Data> emptyData(new Data);
    Picture p;
    p.d_ = emptyData;
    return p;
}

Picture Picture::fromImage(const QImage& image, std::shared_ptr<const void> holder) {
    if (image.isNull()) return empty();
    Picture p;
    p.d_ =
        QExplicitlySharedDataPointer<const Data>(new Data(nextHandle(), image, std::move(holder)));
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QSize();
    return PictureSize(file);
}

QSize PictureSize(QIODevice& device) {
    // Reading the header is decoding enough for libpng to hold the chunks before the pixels.
    if (CheckPicture(device, false, 0) != PictureCheck::Sound) return QSize();
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    return size.isValid() && !size.isEmpty() ? size : QSize();
}

namespace {

// False for a bitmap whose uncompressed pixel rows end past the end of its data: the decoder
// would hand back the missing rows as whatever memory held. Compressed bitmaps are checked by
// their decoder, the other formats by CheckPicture.
bool bitmapIsWhole(QIODevice& device) {
    const QByteArray head = device.peek(54);
    if (head.size() < 26 || !head.startsWith("BM")) return true;
    const char* h = head.constData();
    const quint32 offset = qFromLittleEndian<quint32>(h + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(h + 14);
    qint64 width = 0;
    qint64 height = 0;
    quint32 bits = 0;
    quint32 compression = 0;
    if (headerSize == 12) { // the oldest header: 16-bit sizes, never compressed
        width = qFromLittleEndian<quint16>(h + 18);
        height = qFromLittleEndian<quint16>(h + 20);
        bits = qFromLittleEndian<quint16>(h + 24);
    } else if (headerSize >= 40 && head.size() >= 34) {
        width = qint32(qFromLittleEndian<quint32>(h + 18));
        height = qint32(qFromLittleEndian<quint32>(h + 22));
        bits = qFromLittleEndian<quint16>(h + 28);
        compression = qFromLittleEndian<quint32>(h + 30);
    } else {
        return true;
    }
    constexpr quint32 kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;
    if (compression != kRgb && compression != kBitFields && compression != kAlphaBitFields)
        return true;
    if (width <= 0 || bits == 0 || bits > 32) return true; // the decoder refuses these
    // Widths and heights of 31 bits make rows of up to 2^34 bytes and a product beyond 64 bits:
    // the rows are counted against the bytes after the header rather than multiplied out.
    const qint64 rowBytes = (width * bits + 31) / 32 * 4;
    const qint64 start = std::max<qint64>(offset, 14 + qint64(headerSize));
    const qint64 pixelBytes = device.size() - start;
    if (pixelBytes < 0) return false;
    const qint64 rows = std::abs(height);
    return rows == 0 || rowBytes <= pixelBytes / rows;
}

// Decodes the picture whose bytes the device holds from its start.
Picture decodePicture(QIODevice& device, qint64 maxPixels) {
    // Before the header is read: reading it may already allocate what the file declares.
    switch (CheckPicture(device, true, maxPixels)) {
    case PictureCheck::Sound:
        break;
    case PictureCheck::TooLarge:
        raise(ErrOutOfMemory);
    case PictureCheck::Damaged:
    case PictureCheck::Unseen:
        raise(ErrInvalidPicture);
    }
    // Told before the decoder reads on from the start.
    const bool whole = bitmapIsWhole(device);
    QImageReader reader(&device);
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
    if (!whole) raise(ErrInvalidPicture);
    QImage image = reader.read();
    if (image.isNull()) raise(ErrInvalidPicture);
    if (maxPixels > 0 && qint64(image.width()) * image.height() > maxPixels) raise(ErrOutOfMemory);
    // Sixteen bits a channel adds nothing on the screen and would double the memory kept.
    if (image.depth() > 32)
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                              : QImage::Format_RGB32);
    return Picture::fromImage(image);
}

} // namespace

Picture LoadPicture(const QString& path, qint64 maxPixels) {
    if (path.isEmpty()) return Picture::empty();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) raise(ErrFileNotFound);
    const DecodedPictures::Key key = DecodedPictures::keyOf(info);
    if (const auto known = decodedPictures().find(key)) {
        const QImage& image = known->image();
        if (maxPixels > 0 && qint64(image.width()) * image.height() > maxPixels)
            raise(ErrOutOfMemory);
        return Picture::fromImage(image, known);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) raise(ErrInvalidPicture);
    const Picture decoded = decodePicture(file, maxPixels);
    return Picture::fromImage(decoded.image(), decodedPictures().add(key, decoded.image()));
}

DecodedPicturesHeld DecodedPicturesInUse() {
    return decodedPictures().held();
}

Picture LoadPictureData(const QByteArray& data, qint64 maxPixels) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return decodePicture(buffer, maxPixels);
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
