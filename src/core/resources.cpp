#include "resources.h"

#include "picture_pixels.h"
#include "rt_error.h"

#include <QFile>
#include <QResource>
#include <mutex>

// The compiled-in resources live in a static library; nothing else refers to their object files,
// so they are registered by name here, before the first look-up.
static void registerCompiledResources() {
    static std::once_flag once;
    std::call_once(once, [] {
        Q_INIT_RESOURCE(resources);
        Q_INIT_RESOURCE(mirovanta_images);
        Q_INIT_RESOURCE(mirovanta_pictures);
    });
}

namespace rt {

namespace {

QString unescape(QStringView s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != u'\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const QChar n = s[i + 1];
        if (n == u'r')
            out += u'\r';
        else if (n == u'n')
            out += u'\n';
        else if (n == u't')
            out += u'\t';
        else if (n == u'\\')
            out += u'\\';
        else {
            out += s[i]; // not an escape: the backslash stays
            continue;
        }
        ++i;
    }
    return out;
}

const QHash<int, QString>& table() {
    static const QHash<int, QString> strings = [] {
        registerCompiledResources();
        QFile f(QStringLiteral(":/strings.txt"));
        if (!f.open(QIODevice::ReadOnly)) return QHash<int, QString>();
        return ParseStringTable(f.readAll()).Texts;
    }();
    return strings;
}

[[noreturn]] void notFound(int id) {
    throw RtError(
        ErrResourceNotFound,
        QStringLiteral("La ressource ayant l'identificateur '%1' est introuvable").arg(id));
}

QString picturePath(int id, ResourceType type) {
    return type == vbResIcon ? QStringLiteral(":/icons/%1.pixels").arg(id)
                             : QStringLiteral(":/bitmaps/%1.pixels").arg(id);
}

QString iconFilePath(int id) {
    return QStringLiteral(":/icons/%1.png").arg(id);
}

} // namespace

StringTable ParseStringTable(const QByteArray& utf8) {
    StringTable result;
    const QStringList lines = QString::fromUtf8(utf8).split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QStringView line = lines[n];
        if (line.endsWith(u'\r')) line.chop(1); // a table saved with Windows line ends
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const qsizetype tab = line.indexOf(u'\t');
        bool ok = false;
        const int id = tab > 0 ? line.left(tab).toInt(&ok) : 0;
        if (!ok) {
            result.BadLines.append(int(n + 1));
            continue;
        }
        if (result.Texts.contains(id)) result.DuplicateIds.append(id);
        result.Texts.insert(id, unescape(line.mid(tab + 1)));
    }
    return result;
}

QString LoadResString(int id) {
    const auto it = table().constFind(id);
    if (it == table().constEnd()) notFound(id);
    return *it;
}

bool HasResString(int id) {
    return table().contains(id);
}

Picture LoadResPicture(int id, ResourceType type) {
    registerCompiledResources();
    // A picture kept in place is drawn from the program's own data; a compressed one is
    // decompressed. None is decoded.
    const QResource resource(picturePath(id, type));
    const QImage image =
        resource.isValid() ? decodePicturePixels(resource.uncompressedData()) : QImage();
    if (image.isNull()) notFound(id);
    return Picture::fromImage(image);
}

QIcon LoadResIcon(int id) {
    registerCompiledResources();
    const QString small = iconFilePath(id);
    if (!QFile::exists(small)) notFound(id);
    QIcon icon(small);
    const QString large = QStringLiteral(":/icons/32/%1.png").arg(id);
    if (QFile::exists(large)) icon.addFile(large);
    return icon;
}

} // namespace rt
