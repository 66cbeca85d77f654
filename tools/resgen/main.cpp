// Generates the program's own pictures, icons and default alarm sounds at build time.
//
//   mirovanta_resgen pictures <folder>   bitmaps/<id>.pixels, icons/<id>.pixels (decoded
//                                        pictures), icons/<id>.png, icons/32/<id>.png, and
//                                        mirovanta_pictures.qrc and mirovanta_images.qrc
//                                        listing them
//   mirovanta_resgen sounds <folder>     alarm01.wav to alarm10.wav
//   mirovanta_resgen appicon <folder> <size>...
//                                        the program's icon for the desktop's icon theme:
//                                        <size>x<size>/apps/mirovanta.png for each size, a
//                                        multiple of 16

#include "artwork.h"
#include "core/picture_pixels.h"
#include "icons.h"
#include "palette.h"
#include "sounds.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QList>
#include <QSaveFile>
#include <QSet>
#include <QStringList>
#include <cstdio>
#include <functional>

using namespace resgen;

namespace {

const Look kFull{true};
const Look kSixteen{false};

// Where a decoded picture is kept in the program: in place, uncompressed, so that the program
// draws it from the program file itself (the small pictures, the start view's logo, shown as
// long as the program runs, and the splash, drawn at every start before anything else); or
// compressed (zlib, whose code the program runs anyway for PNG files), decompressed when it
// is loaded (large pictures shown on demand).
enum class Keep { InPlace, Compressed };

class Writer {
public:
    explicit Writer(const QString& folder) : root_(folder) {}

    // A picture that the program loads by id is kept as its decoded pixels; a window icon
    // is also kept as PNG files, small and large, for the icons the program hands the desktop.
    void bitmap(int id, const QImage& image, Keep keep = Keep::InPlace) {
        savePixels(QStringLiteral("bitmaps/%1.pixels").arg(id), image, keep);
    }
    void icon(int id, const QImage& small, const QImage& large) {
        savePixels(QStringLiteral("icons/%1.pixels").arg(id), small, Keep::InPlace);
        save(QStringLiteral("icons/%1.png").arg(id), small);
        save(QStringLiteral("icons/32/%1.png").arg(id), large);
    }

    // Two resource files: mirovanta_pictures.qrc holds the pictures kept in place, and nothing
    // else, so that each starts on a 4-byte boundary of the resource data (their sizes are
    // multiples of 4) as a QImage over it needs; mirovanta_images.qrc holds the rest.
    bool finish() {
        writeQrc(QStringLiteral("mirovanta_pictures.qrc"), inPlace_);
        writeQrc(QStringLiteral("mirovanta_images.qrc"), files_);
        return !failed_;
    }

private:
    void writeQrc(const QString& name, const QStringList& files) {
        QString qrc =
            QStringLiteral("<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n");
        for (const QString& f : files) {
            const bool compressed = compressed_.contains(f);
            qrc +=
                compressed
                    ? QStringLiteral("    <file compression-algorithm=\"zlib\">%1</file>\n").arg(f)
                    : QStringLiteral("    <file>%1</file>\n").arg(f);
        }
        qrc += QStringLiteral("</qresource>\n</RCC>\n");
        QSaveFile out(root_.filePath(name));
        if (!out.open(QIODevice::WriteOnly) || out.write(qrc.toUtf8()) < 0 || !out.commit())
            failed_ = true;
    }

    void save(const QString& relative, const QImage& image) {
        const QString path = root_.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "mirovanta_resgen: cannot write %s\n", qPrintable(path));
            failed_ = true;
        }
        files_ << relative;
    }

    // The picture exactly as it reads back from a PNG file (format, colour table, resolution),
    // in the layout of rt::LoadResPicture.
    void savePixels(const QString& relative, const QImage& drawn, Keep keep) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage image;
        if (!drawn.save(&buffer, "PNG") || !image.loadFromData(png, "PNG")) {
            std::fprintf(stderr, "mirovanta_resgen: cannot encode %s\n", qPrintable(relative));
            failed_ = true;
            return;
        }
        const QString path = root_.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QSaveFile out(path);
        const QByteArray pixels = rt::encodePicturePixels(image);
        if (!out.open(QIODevice::WriteOnly) || out.write(pixels) < 0 || !out.commit()) {
            std::fprintf(stderr, "mirovanta_resgen: cannot write %s\n", qPrintable(path));
            failed_ = true;
        }
        if (keep == Keep::InPlace && pixels.size() % 4 == 0) {
            inPlace_ << relative;
        } else {
            files_ << relative;
            compressed_ << relative;
        }
    }

    QDir root_;
    QStringList files_;
    QStringList inPlace_;
    QSet<QString> compressed_;
    bool failed_ = false;
};

// The three colour depths of one large picture: 24 bits, 256 colours and 16 colours; the
// depths of the displays of few colours are kept compressed.
void threeDepths(Writer& w, int firstId, const std::function<QImage(Look)>& draw, Keep keep) {
    const QImage full = draw(kFull);
    w.bitmap(firstId, full.convertToFormat(QImage::Format_RGB32), keep);
    w.bitmap(firstId + 1, to256(full), Keep::Compressed);
    w.bitmap(firstId + 2, toVga16(draw(kSixteen), false), Keep::Compressed);
}

QImage sixteen(const QString& drawing) {
    return toVga16(renderDrawing(drawing, kSixteen), false);
}

bool writePictures(const QString& folder) {
    Writer w(folder);
    threeDepths(w, 101, splashPicture, Keep::InPlace);
    threeDepths(w, 201, startLogo, Keep::InPlace);
    threeDepths(w, 601, aboutLogo, Keep::Compressed);
    threeDepths(w, 1701, passwordPicture, Keep::Compressed);

    // Toolbar images: the 16-colour image, the full-colour image for deeper displays and the
    // greyed image, by key.
    struct Command {
        const char* key;
        int normal, deep, grey;
    };
    const Command commands[] = {
        {"New", 204, 354, 304},     {"Open", 205, 355, 305},    {"Save", 206, 356, 306},
        {"Preview", 207, 357, 307}, {"Print", 208, 358, 308},   {"Options", 209, 359, 309},
        {"Prop", 222, 372, 322},    {"Help", 223, 373, 323},    {"HTile", 224, 374, 324},
        {"VTile", 225, 375, 325},   {"Cascade", 226, 376, 326}, {"AIcons", 227, 377, 327},
    };
    for (const Command& c : commands) {
        const QString key = QString::fromLatin1(c.key);
        w.bitmap(c.normal, sixteen(key));
        w.bitmap(c.deep, renderDrawing(key, kFull));
        w.bitmap(c.grey, greyed(renderDrawing(key, kFull)));
    }
    for (int m = 1; m <= 12; ++m) {
        const QString key = QStringLiteral("m%1").arg(m, 2, 10, QLatin1Char('0'));
        w.bitmap(209 + m, sixteen(key));
        w.bitmap(309 + m, greyed(renderDrawing(key, kFull)));
        w.icon(209 + m, sixteen(key), renderDrawing(key, kFull, 2));
    }
    // Small button pictures (14 x 13) and their greyed look (id + 100).
    const std::pair<int, const char*> buttons[] = {{228, "ShowPic"}, {229, "Up"},
                                                   {230, "Down"},    {231, "SortAZ"},
                                                   {232, "Update"},  {233, "SortZA"}};
    for (const auto& [id, key] : buttons) {
        w.bitmap(id, sixteen(QString::fromLatin1(key)));
        w.bitmap(id + 100, greyed(renderDrawing(QString::fromLatin1(key), kFull)));
    }
    w.bitmap(501, renderDrawing(QStringLiteral("MonthGrid"), kFull));
    w.bitmap(1301, renderDrawing(QStringLiteral("Question"), kFull));

    // Window icons: 16 x 16 in 16 colours, with a full-colour 32 x 32 rendering.
    const std::pair<int, const char*> icons[] = {
        {102, "Main"},     {501, "Prop"},          {701, "Alarm"},
        {1101, "Chart"},   {1301, "SaveQuestion"}, {1401, "Open"},
        {1501, "Preview"}, {1601, "Options"},      {1801, "PicEdit"},
    };
    for (const auto& [id, key] : icons)
        w.icon(id, sixteen(QString::fromLatin1(key)),
               renderDrawing(QString::fromLatin1(key), kFull, 2));
    return w.finish();
}

bool writeSounds(const QString& folder) {
    QDir().mkpath(folder);
    for (int n = 1; n <= kSoundCount; ++n) {
        const QString path =
            QDir(folder).filePath(QStringLiteral("alarm%1.wav").arg(n, 2, 10, QLatin1Char('0')));
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(alarmSound(n)) < 0 || !f.commit()) {
            std::fprintf(stderr, "mirovanta_resgen: cannot write %s\n", qPrintable(path));
            return false;
        }
    }
    return true;
}

// The main window's icon drawn larger, in full colour, once per size.
bool writeAppIcons(const QString& folder, const QList<int>& sizes) {
    for (const int size : sizes) {
        const QString path =
            QDir(folder).filePath(QStringLiteral("%1x%1/apps/mirovanta.png").arg(size));
        QDir().mkpath(QFileInfo(path).path());
        if (!renderDrawing(QStringLiteral("Main"), kFull, size / 16).save(path, "PNG")) {
            std::fprintf(stderr, "mirovanta_resgen: cannot write %s\n", qPrintable(path));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const QString what = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QList<int> sizes;
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size < 16 || size % 16 != 0) {
            std::fprintf(stderr, "mirovanta_resgen: not a multiple of 16: %s\n", argv[i]);
            return 2;
        }
        sizes << size;
    }
    const bool appIcon = what == QLatin1String("appicon");
    if (argc < 3 || (appIcon ? sizes.isEmpty() : argc != 3)) {
        std::fprintf(stderr, "usage: mirovanta_resgen pictures|sounds <folder>\n"
                             "       mirovanta_resgen appicon <folder> <size>...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);
    if (what == QLatin1String("sounds")) return writeSounds(folder) ? 0 : 1;
    if (!appIcon && what != QLatin1String("pictures")) {
        std::fprintf(stderr, "mirovanta_resgen: unknown output '%s'\n", argv[1]);
        return 2;
    }
    // Text is drawn with the installed fonts; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (appIcon) return writeAppIcons(folder, sizes) ? 0 : 1;
    return writePictures(folder) ? 0 : 1;
}
