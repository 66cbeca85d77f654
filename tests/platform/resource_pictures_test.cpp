#include "core/picture_pixels.h"
#include "core/resources.h"
#include "core/rt_error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace rt;

namespace {

enum class Depth {
    Full,   // 24 bits per pixel (no palette)
    Max256, // a palette of at most 256 colours
    Max16,  // at most 16 opaque colours
    Greyed, // at most 16 opaque colours, all light greys
};

struct Expected {
    QList<int> ids;
    ResourceType type;
    QSize size;
    Depth depth;
};

QList<int> range(int from, int to) {
    QList<int> ids;
    for (int id = from; id <= to; ++id)
        ids << id;
    return ids;
}

const QList<Expected>& expectedPictures() {
    static const QList<Expected> all = {
        {{101}, vbResBitmap, {399, 281}, Depth::Full},
        {{102}, vbResBitmap, {399, 281}, Depth::Max256},
        {{103}, vbResBitmap, {399, 281}, Depth::Max16},
        {{201}, vbResBitmap, {405, 381}, Depth::Full},
        {{202}, vbResBitmap, {405, 381}, Depth::Max256},
        {{203}, vbResBitmap, {405, 381}, Depth::Max16},
        {{601}, vbResBitmap, {141, 300}, Depth::Full},
        {{602}, vbResBitmap, {141, 300}, Depth::Max256},
        {{603}, vbResBitmap, {141, 300}, Depth::Max16},
        {{1701}, vbResBitmap, {69, 134}, Depth::Full},
        {{1702}, vbResBitmap, {69, 134}, Depth::Max256},
        {{1703}, vbResBitmap, {69, 134}, Depth::Max16},
        {range(204, 227), vbResBitmap, {16, 16}, Depth::Max16},
        {range(354, 359) + range(372, 377), vbResBitmap, {16, 16}, Depth::Full},
        {range(304, 327), vbResBitmap, {16, 16}, Depth::Greyed},
        {range(228, 233), vbResBitmap, {14, 13}, Depth::Max16},
        {range(328, 333), vbResBitmap, {14, 13}, Depth::Greyed},
        {{501, 1301}, vbResBitmap, {32, 32}, Depth::Full},
        {QList<int>{102, 501, 701, 1101, 1301, 1401, 1501, 1601, 1801} + range(210, 221),
         vbResIcon,
         {16, 16},
         Depth::Max16},
    };
    return all;
}

QSet<QRgb> opaqueColours(const QImage& image) {
    QSet<QRgb> colours;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) == 255) colours.insert(argb.pixel(x, y));
    return colours;
}

QByteArray digest(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    return QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char*>(argb.constBits()), argb.sizeInBytes()),
        QCryptographicHash::Sha1);
}

} // namespace

TEST(ResourcePictures, EveryIdLoadsInItsSizeAndColourDepth) {
    int loaded = 0;
    for (const Expected& e : expectedPictures()) {
        for (int id : e.ids) {
            SCOPED_TRACE(testing::Message() << (e.type == vbResIcon ? "icon " : "bitmap ") << id);
            const Picture p = LoadResPicture(id, e.type);
            ASSERT_FALSE(p.isEmpty());
            ++loaded;
            EXPECT_EQ(p.image().size(), e.size);
            const QSet<QRgb> colours = opaqueColours(p.image());
            // Not blank: a greyed image may be a single grey, any other has an outline and a fill.
            EXPECT_GE(colours.size(), e.depth == Depth::Greyed ? 1 : 2);
            switch (e.depth) {
            case Depth::Full:
                EXPECT_FALSE(p.image().format() == QImage::Format_Indexed8);
                EXPECT_GE(p.image().depth(), 24);
                break;
            case Depth::Max256:
                EXPECT_EQ(p.image().format(), QImage::Format_Indexed8);
                EXPECT_LE(p.image().colorCount(), 256);
                break;
            case Depth::Max16:
                EXPECT_LE(colours.size(), 16);
                break;
            case Depth::Greyed:
                EXPECT_LE(colours.size(), 16);
                for (QRgb c : colours) {
                    EXPECT_TRUE(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c))
                        << "not grey: " << std::hex << c;
                    EXPECT_GE(qRed(c), 128) << "too dark for a greyed image";
                }
                break;
            }
        }
    }
    EXPECT_EQ(loaded, 107);
}

TEST(ResourcePictures, EachImageOfASetIsItsOwnDrawing) {
    // Catches two ids that show the same picture, such as a key wired to the wrong drawing.
    const QList<QList<int>> sets = {range(204, 227), range(354, 359) + range(372, 377),
                                    range(304, 327), range(228, 233), range(328, 333)};
    for (const QList<int>& ids : sets) {
        QHash<QByteArray, int> seen;
        for (int id : ids) {
            const QByteArray d = digest(LoadResPicture(id, vbResBitmap).image());
            EXPECT_FALSE(seen.contains(d)) << "bitmap " << id << " repeats " << seen.value(d);
            seen.insert(d, id);
        }
    }
}

TEST(ResourcePictures, ADepthVariantShowsTheSamePicture) {
    // The 16-colour image of a command and its full-colour image differ only in colour: their
    // shapes (the opaque pixels) mostly coincide.
    for (int id : range(204, 209) + range(222, 227)) {
        const QImage small =
            LoadResPicture(id, vbResBitmap).image().convertToFormat(QImage::Format_ARGB32);
        const QImage deep =
            LoadResPicture(id + 150, vbResBitmap).image().convertToFormat(QImage::Format_ARGB32);
        int same = 0, total = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool a = qAlpha(small.pixel(x, y)) > 127, b = qAlpha(deep.pixel(x, y)) > 127;
                total += a || b;
                same += a && b;
            }
        EXPECT_GE(same * 10, total * 8) << "bitmaps " << id << " and " << id + 150;
    }
}

TEST(ResourcePictures, EachLoadGivesANewPictureObject) {
    // A small picture and the start view's logo, which are read where the program keeps them,
    // and the splash, which is decompressed: a change to a copy of one reaches no other load.
    for (int id : {210, 201, 101}) {
        SCOPED_TRACE(id);
        const Picture a = LoadResPicture(id, vbResBitmap);
        const Picture b = LoadResPicture(id, vbResBitmap);
        EXPECT_FALSE(a.sameObject(b));
        EXPECT_NE(a.handle(), b.handle());
        EXPECT_EQ(digest(a.image()), digest(b.image()));
        QImage changed = a.image();
        changed.fill(Qt::magenta);
        EXPECT_NE(digest(changed), digest(a.image()));
        EXPECT_EQ(digest(LoadResPicture(id, vbResBitmap).image()), digest(b.image()));
    }
}

TEST(ResourcePictures, IconsCarryASmallAndALargeRendering) {
    for (int id : QList<int>{102, 501, 701, 1101, 1301, 1401, 1501, 1601, 1801} + range(210, 221)) {
        const QIcon icon = LoadResIcon(id);
        ASSERT_FALSE(icon.isNull()) << id;
        const QList<QSize> sizes = icon.availableSizes();
        EXPECT_TRUE(sizes.contains(QSize(16, 16))) << id;
        EXPECT_TRUE(sizes.contains(QSize(32, 32))) << id;
    }
}

TEST(ResourcePictures, AnIdWithoutAPictureOfThatTypeRaisesResourceNotFound) {
    const QList<std::pair<int, ResourceType>> absent = {
        {204, vbResIcon}, {701, vbResBitmap}, {0, vbResBitmap}, {9999, vbResIcon}};
    for (const auto& [id, type] : absent) {
        try {
            LoadResPicture(id, type);
            ADD_FAILURE() << "no error for " << id;
        } catch (const RtError& e) {
            EXPECT_EQ(e.Number, ErrResourceNotFound);
        }
    }
    EXPECT_THROW(LoadResIcon(204), RtError);
}

TEST(ResourcePictures, MonthIdsAreAtOnceTextBitmapAndIcon) {
    for (int id : range(210, 221)) {
        EXPECT_TRUE(HasResString(id));
        EXPECT_EQ(LoadResPicture(id, vbResBitmap).image().size(), QSize(16, 16));
        EXPECT_EQ(LoadResPicture(id, vbResIcon).image().size(), QSize(16, 16));
    }
}

TEST(ResourcePictures, EveryPictureTheSourceAsksForExists) {
    const QRegularExpression picture(QStringLiteral(
        R"(LoadResPicture\s*\(\s*(\d+)\s*,\s*(?:rt::)?(vbResBitmap|vbResIcon)\s*\)|LoadResIcon\s*\(\s*(\d+)\s*\))"));
    const QString root = QDir::cleanPath(QStringLiteral(MIROVANTA_TEST_DATA "/../.."));
    QDirIterator it(root + QStringLiteral("/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                    QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        QFile f(it.next());
        ++files;
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        for (auto m = picture.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            const bool icon =
                match.captured(2) == QLatin1String("vbResIcon") || match.hasCaptured(3);
            const int id = (match.hasCaptured(3) ? match.captured(3) : match.captured(1)).toInt();
            EXPECT_NO_THROW(LoadResPicture(id, icon ? vbResIcon : vbResBitmap))
                << (icon ? "icon " : "bitmap ") << id << " asked for in "
                << QDir(root).relativeFilePath(f.fileName()).toStdString();
        }
    }
    EXPECT_GT(files, 0);
}

namespace {

struct PixelsRow {
    const char* name;
    QImage image;
};

QImage drawn(QSize size, QImage::Format format, int colours = 0) {
    QImage image(size, format);
    if (colours > 0) {
        QList<QRgb> table;
        for (int i = 0; i < colours; ++i)
            table << qRgb(i * 7 % 256, 255 - i, i * 13 % 256);
        image.setColorTable(table);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, uint((x * 3 + y) % colours));
    } else {
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, qRgba(x * 9 % 256, y * 5 % 256, (x + y) % 256, 255));
    }
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(2835);
    return image;
}

const PixelsRow kPixelsRows[] = {
    {"SixteenColoursOddWidth", drawn({14, 13}, QImage::Format_Indexed8, 17)},
    {"Palette256", drawn({33, 7}, QImage::Format_Indexed8, 254)},
    {"FullColour", drawn({399, 281}, QImage::Format_RGB32)},
    {"WithAlpha", drawn({32, 32}, QImage::Format_ARGB32)},
};

class PicturePixelsTest : public testing::TestWithParam<PixelsRow> {};

void expectSamePicture(const QImage& got, const QImage& want) {
    ASSERT_FALSE(got.isNull());
    EXPECT_EQ(got.format(), want.format());
    EXPECT_EQ(got.size(), want.size());
    EXPECT_EQ(got.colorTable(), want.colorTable());
    EXPECT_EQ(got.dotsPerMeterX(), want.dotsPerMeterX());
    EXPECT_EQ(got.dotsPerMeterY(), want.dotsPerMeterY());
    EXPECT_TRUE(got == want);
}

} // namespace

// Pictures come back as they went in, from bytes of their own (decompressed) and from bytes
// that another object holds (stored as they are), and a change to one leaves the bytes alone.
TEST_P(PicturePixelsTest, ComesBackAsItWentIn) {
    const QImage& want = GetParam().image;
    const QByteArray bytes = encodePicturePixels(want);
    const QByteArray owned(bytes.constData(), bytes.size());
    expectSamePicture(decodePicturePixels(owned), want);
    const QByteArray raw = QByteArray::fromRawData(bytes.constData(), bytes.size());
    QImage fromRaw = decodePicturePixels(raw);
    expectSamePicture(fromRaw, want);
    fromRaw.setPixel(0, 0, fromRaw.format() == QImage::Format_Indexed8 ? 1u : 0xff000000u);
    EXPECT_EQ(bytes, encodePicturePixels(want));
    expectSamePicture(decodePicturePixels(raw), want);
    // Cut short, lengthened or with another mark, the bytes are no picture.
    EXPECT_TRUE(decodePicturePixels(bytes.left(bytes.size() - 1)).isNull());
    EXPECT_TRUE(decodePicturePixels(bytes + '\0').isNull());
    QByteArray other = bytes;
    other[0] = 'X';
    EXPECT_TRUE(decodePicturePixels(other).isNull());
    EXPECT_TRUE(decodePicturePixels(QByteArray()).isNull());
}

INSTANTIATE_TEST_SUITE_P(Rows, PicturePixelsTest, testing::ValuesIn(kPixelsRows),
                         [](const testing::TestParamInfo<PixelsRow>& info) {
                             return std::string(info.param.name);
                         });
