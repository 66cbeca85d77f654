// The limits of a document: the largest one they allow is written and read back, one beyond
// them is refused at save with the old file as it was, and hostile files are refused or opened
// within bounds, each in a process of its own whose peak memory is read.

#include "../common/test_support.h"
#include "cal_test_support.h"
#include "core/resources.h"
#include "document/cal_limits.h"
#include "document/doc_state.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QtEndian>

using namespace caltest;

namespace {

// A picture of w x h pixels that costs one bit a pixel in memory and in its bitmap file, while
// it counts for four bytes a pixel against the limits like any other.
rt::Picture lightPicture(int w, int h) {
    QImage image(w, h, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(0);
    image.setPixel(w - 1, h - 1, 1);
    return rt::Picture::fromImage(image);
}

// Appends an item of January showing picture, named as a photo would be.
void addItemPicture(CalDocument& doc, const rt::Picture& picture) {
    EVItem item;
    item.Kind = ItemKind::Event;
    item.Text = QStringLiteral("Photo");
    item.PictureFile = QStringLiteral("/photos/%1.jpg").arg(doc.Months(1).Cells(10).Count);
    item.Picture = picture;
    ListAppend(doc.Months(1).Cells(10), item);
}

// A document whose pictures reach the limits exactly: the default background at the
// per-picture limit, then item pictures of 8000 x 6000 and one last strip up to the total.
CalDocument largestDocument() {
    CalDocument doc;
    SetDocDefaults(doc);
    doc.Year = QStringLiteral("2004");
    doc.DefaultBackground.FileName = QStringLiteral("/photos/fond.jpg");
    doc.DefaultBackground.Picture = lightPicture(10000, 5000);
    static_assert(10000 * 5000 == kMaxPicturePixels);
    qint64 left = kMaxPictureBytes / rt::kDecodedBytesPerPixel - kMaxPicturePixels;
    while (left > 0) {
        const int rows = int(std::min<qint64>(left / 8000, 6000));
        const QSize size = rows > 0 ? QSize(8000, rows) : QSize(int(left), 1);
        addItemPicture(doc, lightPicture(size.width(), size.height()));
        left -= qint64(size.width()) * size.height();
    }
    return doc;
}

// Opens file in the helper program, a process of its own, and gives its report: "read 0|1",
// one "message ..." line a message box, "vmhwm <peak resident KiB>".
QStringList openInChild(const QString& file) {
    QProcess helper;
    helper.setStandardInputFile(QProcess::nullDevice());
    helper.start(QStringLiteral(CAL_OPEN_HELPER), {file});
    // Only a guard against a hang: the bound on time is the benchmark's to measure.
    if (!helper.waitForFinished(300000)) helper.kill();
    return QString::fromLocal8Bit(helper.readAllStandardOutput()).split(u'\n');
}

// A valid 4 x 4 PNG with a text chunk that declares 1,868,562,432 bytes and holds none, before
// its image data or its end chunk: libpng allocated (and cleared) the declared length before it
// found the file too short.
QByteArray pngDeclaringATextOf1_8GB(const char* before) {
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(qRgba(200, 100, 50, 255));
    return testing_support::pngWith(image, before, QByteArray::fromHex("6f600000") + "tEXt");
}

// An icon of one 4 x 4 image, the PNG, whose length and place the directory gives: Qt's icon
// reader hands the PNG's declared bytes to the PNG reader.
QByteArray iconOf(const QByteArray& png) {
    QByteArray icon = QByteArray::fromHex("0000010001000404000001002000") + QByteArray(8, '\0');
    qToLittleEndian(quint32(png.size()), icon.data() + 14);
    qToLittleEndian(quint32(icon.size()), icon.data() + 18);
    return icon + png;
}

// The report's message line of a code 1 error, up to its source line.
QString codeOne(int number, const QString& description) {
    return rt::LoadResString(10038) + QStringLiteral("  %1|").arg(number) +
           rt::LoadResString(10039) + QStringLiteral("  ") + description + u'|';
}

class CalLimits : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        ASSERT_TRUE(work.isValid());
        dir = QDir(work.path());
    }
    QTemporaryDir work{testing_support::scratchFolder() + QStringLiteral("/limits-XXXXXX")};
    QDir dir;
};

} // namespace

TEST_F(CalLimits, TheLargestDocumentIsWrittenAndReadBackEqual) {
    CalDocument doc = largestDocument();
    const QString file = dir.filePath(QStringLiteral("plus grand.cal"));
    ASSERT_TRUE(SaveCalFile(file, doc));
    EXPECT_TRUE(ui().msgBoxCalls.empty());

    CalDocument read;
    ASSERT_TRUE(LoadCalFile(file, read));
    EXPECT_TRUE(ui().msgBoxCalls.empty());
    EXPECT_EQ(WriteCalData(read), WriteCalData(doc));
    const auto same = [](const rt::Picture& back, const rt::Picture& written) {
        return back.image().convertToFormat(QImage::Format_Mono) == written.image();
    };
    EXPECT_TRUE(same(read.DefaultBackground.Picture, doc.DefaultBackground.Picture));
    for (int i = 0; i < doc.Months(1).Cells(10).Count; ++i)
        EXPECT_TRUE(same(read.Months(1).Cells(10).Items[size_t(i)].Picture,
                         doc.Months(1).Cells(10).Items[size_t(i)].Picture))
            << i;
}

TEST_F(CalLimits, ADocumentBeyondALimitIsRefusedAtSaveAndTheOldFileStays) {
    const auto onePixelMore = [](CalDocument& doc) {
        doc = largestDocument();
        addItemPicture(doc, lightPicture(1, 1));
    };
    const struct {
        const char* name;
        std::function<void(CalDocument&)> make;
        QString why;
    } cases[] = {
        {"a picture beyond the per-picture limit",
         [](CalDocument& doc) { addItemPicture(doc, lightPicture(10001, 5000)); },
         PictureTooLargeText(QStringLiteral("/photos/0.jpg"), QSize(10001, 5000))},
        {"pictures one pixel beyond the total", onePixelMore, PicturesTooLargeText()},
        {"one picture too many",
         [](CalDocument& doc) {
             const rt::Picture dot = lightPicture(1, 1);
             for (int month = 1; month <= 2; ++month)
                 for (int i = 0; i < kMaxEntries / 2; ++i) {
                     EVItem item;
                     item.PictureFile = QStringLiteral("/photos/point.bmp");
                     item.Picture = dot;
                     ListAppend(doc.Months(month).Cells(20 + i / 32767), item);
                 }
         },
         TooManyPicturesText()},
        {"one day item too many",
         [](CalDocument& doc) {
             for (qint64 i = 0; i <= kMaxDayItems; ++i)
                 ListAppend(doc.Months(int(1 + i / (42 * 32767))).Cells(7 + int(i / 32767 % 42)),
                            EVItem());
         },
         TooManyItemsText()},
        {"a data text beyond its limit",
         [](CalDocument& doc) { doc.Author = QString(int(kMaxDataBytes), u'a'); },
         DataTooLargeText()},
    };
    const QString file = dir.filePath(QStringLiteral("ancien.cal"));
    CalDocument old;
    SetDocDefaults(old);
    old.Author = QStringLiteral("l'ancien");
    ASSERT_TRUE(SaveCalFile(file, old));
    const QByteArray before = readFile(file);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CalDocument doc;
        SetDocDefaults(doc);
        c.make(doc);
        doc.FileName = QStringLiteral("/avant/nom.cal");
        ui().msgBoxCalls.clear();
        EXPECT_FALSE(SaveCalFile(file, doc));
        ASSERT_EQ(ui().msgBoxCalls.size(), 1u);
        const auto& box = ui().msgBoxCalls[0];
        EXPECT_EQ(box.prompt, rt::LoadResString(10033) + u'\r' + file + QStringLiteral("\r\r") +
                                  c.why + QStringLiteral("\r\r") + rt::LoadResString(10160));
        EXPECT_EQ(box.style, rt::vbCritical | rt::vbOKOnly);
        EXPECT_EQ(readFile(file), before);
        EXPECT_EQ(dir.entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("ancien.cal")});
        EXPECT_EQ(doc.FileName, QStringLiteral("/avant/nom.cal"));
        EXPECT_FALSE(ui().hourglass());
    }
}

TEST_F(CalLimits, HostileFilesAreRefusedOrOpenedWithinBounds) {
    constexpr qint64 kOnePictureMiB = (kMaxPicturePixels * rt::kDecodedBytesPerPixel >> 20) + 64;
    const QByteArray golden = readFile(dataFile("default-2004.txt"));
    // One picture of 5600 x 5600 deflates to next to nothing and decodes to 125 MB.
    QByteArray png;
    {
        QImage big(5600, 5600, QImage::Format_RGB32);
        big.fill(qRgb(10, 120, 200));
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(big.save(&buffer, "PNG"));
    }
    const auto fortyPictures = [&] {
        CalDocument doc;
        SetDocDefaults(doc);
        doc.Year = QStringLiteral("2004");
        std::vector<std::pair<QString, QByteArray>> files{{QStringLiteral("caldata.cal"), {}}};
        for (int i = 0; i < 40; ++i) {
            addItemPicture(doc, rt::Picture());
            files.push_back({ItemPictureEntryName(1, 10, i), png});
        }
        files[0].second = WriteCalData(doc);
        return files;
    };
    // A document whose default background is the picture: an entry of it, or its own file.
    const auto background = [&](const QString& name, const QByteArray& picture, bool embedded) {
        CalDocument doc;
        SetDocDefaults(doc);
        doc.Year = QStringLiteral("2004");
        doc.EmbedPictures = embedded ? 1 : 0;
        doc.DefaultBackground.FileName =
            embedded ? QStringLiteral("/photos/fond") : dir.filePath(name);
        std::vector<std::pair<QString, QByteArray>> files{
            {QStringLiteral("caldata.cal"), WriteCalData(doc)}};
        if (embedded)
            files.push_back({BackgroundEntryName(0), picture});
        else
            writeFile(dir.filePath(name), picture);
        return makeArchive(dir, name + QStringLiteral(".cal"), files);
    };
    // The message of a picture not loaded, the document opened without it.
    const auto notLoaded = [](int nameLine, const QString& name) {
        return rt::LoadResString(10034) + QStringLiteral("||") + rt::LoadResString(nameLine) +
               u'|' + name;
    };
    const QString embeddedBackground = notLoaded(10037, QStringLiteral("/photos/fond"));
    // Counts of 32,767 items of nine empty lines each, cell after cell, past the limit.
    const auto tooManyItems = [&] {
        QList<QByteArray> lines = golden.split('\n');
        QByteArray data = lines.mid(0, 10).join('\n') + '\n';
        const int cells = int(kMaxDayItems / 32767) + 1;
        for (int c = 0; c < cells; ++c)
            data += "\"32767\"\r\n" + QByteArray(32767 * 9, '\n');
        return data;
    };
    const struct {
        const char* name;
        std::function<QString()> make;
        bool opens;
        QString message; // the start of the message's body, if any
        // The bound on the peak: 1.5 GiB for what the document's limits allow; where one
        // picture is read, the per-picture limit's 190 MiB and 64 MiB for the rest (the helper
        // takes some 20), which a decoder allocating what a file declares passes (1.8 GB).
        qint64 peakMiB = 1536;
    } cases[] = {
        {"forty pictures of 5600 x 5600 in a small archive",
         [&] { return makeArchive(dir, QStringLiteral("images.cal"), fortyPictures()); }, false,
         codeOne(rt::ErrOutOfMemory, PicturesTooLargeText())},
        {"a background entry whose PNG declares a text of 1.8 GB after its pixels",
         [&] {
             return background(QStringLiteral("fin.png"), pngDeclaringATextOf1_8GB("IEND"), true);
         },
         true, embeddedBackground, kOnePictureMiB},
        {"the same before its pixels, which reading its size reaches",
         [&] {
             return background(QStringLiteral("début.png"), pngDeclaringATextOf1_8GB("IDAT"), true);
         },
         true, embeddedBackground, kOnePictureMiB},
        {"that PNG as the background's own file",
         [&] {
             return background(QStringLiteral("fond.png"), pngDeclaringATextOf1_8GB("IEND"), false);
         },
         true, notLoaded(10046, dir.filePath(QStringLiteral("fond.png"))), kOnePictureMiB},
        {"that PNG inside an icon entry",
         [&] {
             return background(QStringLiteral("icône.ico"),
                               iconOf(pngDeclaringATextOf1_8GB("IEND")), true);
         },
         true, embeddedBackground, kOnePictureMiB},
        {"60 MB of empty lines after the data",
         [&] {
             return makeArchive(dir, QStringLiteral("lignes.cal"),
                                {{QStringLiteral("caldata.cal"),
                                  golden + QByteArray("\r\n").repeated(30'000'000)}});
         },
         true, QString()},
        {"twelve million lines of 0 after the data",
         [&] {
             return makeArchive(dir, QStringLiteral("zéros.cal"),
                                {{QStringLiteral("caldata.cal"),
                                  golden + QByteArray("\"0\"\r\n").repeated(12'000'000)}});
         },
         true, QString()},
        {"more day items than the limit",
         [&] {
             return makeArchive(dir, QStringLiteral("éléments.cal"),
                                {{QStringLiteral("caldata.cal"), tooManyItems()}});
         },
         false, codeOne(ErrBadFileFormat, TooManyItemsText())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = c.make();
        const QStringList report = openInChild(file);
        QFile::remove(file);
        const QStringList messages = report.filter(QRegularExpression(QStringLiteral("^message ")));
        EXPECT_EQ(report.value(0), c.opens ? QStringLiteral("read 1") : QStringLiteral("read 0"));
        // Opened without a word, or with the one message that says why it is refused or what
        // it could not load.
        ASSERT_EQ(messages.size(), c.message.isEmpty() ? 0 : 1) << report.join(u'\n').toStdString();
        if (!c.message.isEmpty()) {
            EXPECT_TRUE(messages[0].section(u'|', 3).startsWith(c.message))
                << messages[0].toStdString();
        }
        const qint64 peakKiB = report.filter(QStringLiteral("vmhwm ")).value(0).mid(6).toLongLong();
        EXPECT_GT(peakKiB, 0);
        EXPECT_LT(peakKiB, c.peakMiB * 1024);
    }
}
