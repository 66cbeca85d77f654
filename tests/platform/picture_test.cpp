#include "common/test_support.h"
#include "core/picture.h"
#include "core/picture_check.h"
#include "core/rt_error.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <climits>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

using namespace rt;

namespace {

QImage sample(int w = 7, int h = 5) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 30, y * 50, 200));
    return image;
}

int errorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const RtError& e) {
        return e.Number;
    }
    return 0;
}

// The header of a 24-bit bitmap of w x h pixels with none of its pixels: its size can be read,
// its picture never decoded.
QByteArray bitmapHeader(int w, int h) {
    QByteArray header("BM");
    QDataStream out(&header, QIODevice::Append);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(54 + quint64(w) * quint64(h) * 3) << quint32(0) << quint32(54) << quint32(40)
        << qint32(w) << qint32(h) << quint16(1) << quint16(24);
    header.append(24, '\0'); // no compression, sizes and colours unset
    return header;
}

class PictureFiles : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QTemporaryDir dir;
};

} // namespace

TEST(Picture, NoObjectEmptyAndLoadedStates) {
    const Picture none;
    EXPECT_FALSE(none.hasObject());
    EXPECT_TRUE(none.isEmpty());
    EXPECT_EQ(errorNumber([&] { (void)none.handle(); }), 91);

    const Picture empty = Picture::empty();
    EXPECT_TRUE(empty.hasObject());
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.handle(), 0);
    EXPECT_TRUE(empty.image().isNull());

    const Picture loaded = Picture::fromImage(sample());
    EXPECT_FALSE(loaded.isEmpty());
    EXPECT_NE(loaded.handle(), 0);
    EXPECT_EQ(loaded.width(), 7);
    EXPECT_EQ(loaded.height(), 5);

    EXPECT_TRUE(Picture::fromImage(QImage()).isEmpty());
}

TEST(Picture, CopiesShareOneObjectAndNewPicturesAreDistinct) {
    const Picture a = Picture::fromImage(sample());
    const Picture copy = a;
    const Picture b = Picture::fromImage(sample());
    EXPECT_TRUE(copy.sameObject(a));
    EXPECT_EQ(copy.handle(), a.handle());
    EXPECT_FALSE(b.sameObject(a));
    EXPECT_NE(b.handle(), a.handle());
    EXPECT_TRUE(Picture::empty().sameObject(Picture::empty()));
}

TEST_F(PictureFiles, SavedBitmapLoadsBackPixelForPixel) {
    const QString file = path(QStringLiteral("out.bmp"));
    const mode_t mask = ::umask(027);
    SavePicture(Picture::fromImage(sample()), file);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // as the user's umask says
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(2), QByteArray("BM"));
    f.close();

    const Picture back = LoadPicture(file);
    ASSERT_FALSE(back.isEmpty());
    EXPECT_EQ(back.image().convertToFormat(QImage::Format_RGB32), sample());
}

TEST_F(PictureFiles, LoadReadsEachFormatByItsContentAndGivesANewObjectEachTime) {
    ASSERT_TRUE(sample().save(path(QStringLiteral("a.jpg")), "JPG"));
    ASSERT_TRUE(sample(4, 3).save(path(QStringLiteral("bitmap-named.jpg")), "BMP"));
    const Picture jpg = LoadPicture(path(QStringLiteral("a.jpg")));
    EXPECT_EQ(jpg.image().size(), QSize(7, 5));
    const Picture misnamed = LoadPicture(path(QStringLiteral("bitmap-named.jpg")));
    EXPECT_EQ(misnamed.image().size(), QSize(4, 3));
    const Picture again = LoadPicture(path(QStringLiteral("a.jpg")));
    EXPECT_FALSE(again.sameObject(jpg));
    // A file named again is decoded once: the pictures share its pixels, until it is rewritten.
    EXPECT_EQ(again.image().constBits(), jpg.image().constBits());
    ASSERT_TRUE(sample(9, 5).save(path(QStringLiteral("a.jpg")), "JPG"));
    EXPECT_EQ(LoadPicture(path(QStringLiteral("a.jpg"))).image().size(), QSize(9, 5));
}

TEST_F(PictureFiles, AFilesImageLeavesTheCacheWithTheLastPictureLoadedFromIt) {
    const QString file = path(QStringLiteral("big.bmp"));
    ASSERT_TRUE(sample(300, 200).save(file, "BMP"));
    const DecodedPicturesHeld before = DecodedPicturesInUse();
    std::optional<Picture> first = LoadPicture(file);
    Picture copy = *first; // the same picture object
    std::optional<Picture> second = LoadPicture(file);
    EXPECT_EQ(DecodedPicturesInUse().count, before.count + 1);
    EXPECT_EQ(DecodedPicturesInUse().bytes, before.bytes + 300 * 200 * 4);
    first.reset();
    second.reset();
    EXPECT_EQ(DecodedPicturesInUse().count, before.count + 1); // the copy still holds it
    copy = Picture::empty();
    EXPECT_EQ(DecodedPicturesInUse().count, before.count);
    EXPECT_EQ(DecodedPicturesInUse().bytes, before.bytes);
}

TEST_F(PictureFiles, LoadFailuresAndTheEmptyPath) {
    EXPECT_TRUE(LoadPicture(QString()).isEmpty());
    EXPECT_TRUE(LoadPicture(QString()).hasObject());

    QFile text(path(QStringLiteral("notes.bmp")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture at all");
    text.close();
    QDir(dir.path()).mkdir(QStringLiteral("folder.bmp"));
    // A bitmap whose pixel rows end before its header says: the decoder would fill them in.
    ASSERT_TRUE(sample(40, 30).save(path(QStringLiteral("cut.bmp")), "BMP"));
    QFile cut(path(QStringLiteral("cut.bmp")));
    ASSERT_TRUE(cut.resize(cut.size() - 100));
    // The largest width and height a header holds, over a few bytes of pixels.
    QFile largest(path(QStringLiteral("largest.bmp")));
    ASSERT_TRUE(largest.open(QIODevice::WriteOnly));
    largest.write(bitmapHeader(INT32_MAX, INT32_MIN) + QByteArray(12, '\x7f'));
    largest.close();
    // A JPEG whose comments pass what a picture's metadata may take, each segment whole.
    QByteArray jpeg;
    QBuffer out(&jpeg);
    out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(sample().save(&out, "JPG"));
    const QByteArray comment = QByteArray::fromHex("fffeffff") + QByteArray(65533, 'a');
    jpeg.insert(2, comment.repeated(kMaxPictureMetadataBytes / 65533 + 1));
    write(QStringLiteral("comments.jpg"), jpeg);
    // A PNG whose compressed texts inflate past that: each of 7.9 MB, as libpng inflates them.
    const QByteArray texts = testing_support::pngChunk(
        "zTXt", QByteArray("Comment\0\0", 9) + qCompress(QByteArray(7'900'000, 'a')).mid(4));
    write(QStringLiteral("texts.png"),
          testing_support::pngWith(sample(), "IEND", texts.repeated(3)));

    const std::pair<QString, int> cases[] = {
        {path(QStringLiteral("cut.bmp")), ErrInvalidPicture},
        {path(QStringLiteral("largest.bmp")), ErrInvalidPicture},
        {path(QStringLiteral("missing.bmp")), ErrFileNotFound},
        {path(QStringLiteral("folder.bmp")), ErrFileNotFound},
        {path(QStringLiteral("notes.bmp")), ErrInvalidPicture},
        {path(QStringLiteral("comments.jpg")), ErrInvalidPicture},
        {path(QStringLiteral("texts.png")), ErrInvalidPicture},
    };
    for (const auto& c : cases) {
        const QString& file = c.first;
        EXPECT_EQ(errorNumber([&] { LoadPicture(file); }), c.second) << file.toStdString();
    }
}

TEST_F(PictureFiles, SaveFailures) {
    EXPECT_EQ(errorNumber([&] { SavePicture(Picture::empty(), path(QStringLiteral("e.bmp"))); }),
              ErrInvalidPicture);
    EXPECT_EQ(errorNumber([&] { SavePicture(Picture(), path(QStringLiteral("n.bmp"))); }),
              ErrInvalidPicture);
    EXPECT_EQ(errorNumber([&] {
                  SavePicture(Picture::fromImage(sample()),
                              path(QStringLiteral("no/such/folder/x.bmp")));
              }),
              ErrPathFileAccess);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("e.bmp"))));
}

TEST_F(PictureFiles, APictureBeyondItsPixelLimitIsRefusedBeforeItIsDecoded) {
    const QString huge = path(QStringLiteral("huge.bmp"));
    QFile f(huge);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bitmapHeader(16384, 16384));
    f.close();
    const QString small = path(QStringLiteral("small.bmp"));
    SavePicture(Picture::fromImage(sample(10, 10)), small);
    // Sixteen bits a channel comes back at 32 bits a pixel, the most a picture keeps.
    const QString deep = path(QStringLiteral("deep.png"));
    QImage wide(6, 4, QImage::Format_RGBA64);
    wide.fill(QColor(10, 20, 30));
    ASSERT_TRUE(wide.save(deep, "PNG"));

    // An icon whose directory gives 0 x 0 (256 and more) and whose bitmap is 10000 x 10000
    // (twice as high with its mask), without pixels: the icon reader reports 256 x 256 and
    // makes the bitmap's size.
    const QByteArray directory = QByteArray::fromHex("0000010001000000000001002000");
    const QByteArray icon =
        directory + QByteArray::fromHex("2800000016000000") + bitmapHeader(10000, 20000).mid(14);
    write(QStringLiteral("icon.ico"), icon);

    const struct {
        QString file;
        qint64 maxPixels;
        int error;
    } cases[] = {
        {huge, 50'000'000, ErrOutOfMemory}, // told by its header alone
        {path(QStringLiteral("icon.ico")), 50'000'000, ErrOutOfMemory},
        {small, 100, 0},
        {small, 99, ErrOutOfMemory},
        {deep, 24, 0},
    };
    for (const auto& c : cases) {
        Picture loaded;
        EXPECT_EQ(errorNumber([&] { loaded = LoadPicture(c.file, c.maxPixels); }), c.error)
            << c.file.toStdString() << " " << c.maxPixels;
        if (c.error == 0) {
            EXPECT_LE(loaded.image().depth(), 32);
            EXPECT_LE(DecodedBytes(loaded.image().size()), c.maxPixels * kDecodedBytesPerPixel);
        }
    }
    EXPECT_EQ(LoadPicture(deep).image().pixelColor(5, 3), QColor(10, 20, 30));

    EXPECT_EQ(PictureFileSize(huge), QSize(16384, 16384));
    EXPECT_EQ(PictureFileSize(small), QSize(10, 10));
    for (const QString& none : {dir.path(), path(QStringLiteral("absent.bmp")), QString()})
        EXPECT_FALSE(PictureFileSize(none).isValid()) << none.toStdString();
}

// PNGs laid out as the format allows load as they always did: image data over many chunks,
// chunks libpng passes over however large, texts within the metadata bound, bytes after the
// end, an end chunk without its CRC.
TEST_F(PictureFiles, PNGsOfEveryLayoutWithinTheirBytesLoadPixelForPixel) {
    const QImage noise = sample(300, 200);
    const QByteArray extra =
        testing_support::pngChunk("zzZz", QByteArray(20 << 20, 'z')) +
        testing_support::pngChunk("tEXt", QByteArray("Comment\0", 8) + QByteArray(1 << 20, 't')) +
        testing_support::pngChunk("zTXt", QByteArray("Comment\0\0", 9) +
                                              qCompress(QByteArray(4 << 20, 'c')).mid(4));
    const QByteArray plain = testing_support::pngWith(noise, "IEND", {});
    // Its image data in chunks of 32 bytes, the extra chunks before them.
    QByteArray split = plain;
    const qsizetype at = plain.indexOf("IDAT") - 4;
    const qsizetype length = qFromBigEndian<quint32>(plain.constData() + at);
    QByteArray pieces = extra;
    for (qsizetype i = 0; i < length; i += 32)
        pieces += testing_support::pngChunk(
            "IDAT", plain.mid(at + 8 + i, std::min<qsizetype>(32, length - i)));
    split.replace(at, 12 + length, pieces);
    ASSERT_GT(split.count("IDAT"), 10);
    const std::pair<QString, QByteArray> cases[] = {
        {QStringLiteral("chunks.png"), split + "after"},
        {QStringLiteral("no-crc.png"), plain.left(plain.size() - 4)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name.toStdString());
        write(name, bytes);
        EXPECT_EQ(PictureFileSize(path(name)), noise.size());
        const Picture loaded = LoadPicture(path(name), 50'000'000);
        EXPECT_EQ(loaded.image().convertToFormat(QImage::Format_RGB32), noise);
        EXPECT_EQ(LoadPictureData(bytes, 50'000'000).image().convertToFormat(QImage::Format_RGB32),
                  noise);
    }
}
