#include "resources.h"

#include "rt_error.h"

#include <QFile>
#include <QHash>

namespace rt {

namespace {

QString unescape(const QString& s) {
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'\\' && i + 1 < s.size()) {
            const QChar n = s[++i];
            if (n == u'r') out += u'\r';
            else if (n == u'n') out += u'\n';
            else if (n == u't') out += u'\t';
            else out += n;
        } else {
            out += s[i];
        }
    }
    return out;
}

const QHash<int, QString>& table() {
    static const QHash<int, QString> strings = [] {
        QHash<int, QString> t;
        QFile f(QStringLiteral(":/strings.txt"));
        if (!f.open(QIODevice::ReadOnly)) return t;
        const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
        for (const QString& line : lines) {
            if (line.isEmpty() || line.startsWith(u'#')) continue;
            const qsizetype tab = line.indexOf(u'\t');
            if (tab <= 0) continue;
            bool ok = false;
            const int id = line.left(tab).toInt(&ok);
            if (ok) t.insert(id, unescape(line.mid(tab + 1)));
        }
        return t;
    }();
    return strings;
}

constexpr int kResourceNotFound = 326;

QString pictureResourcePath(int id, ResourceType type) {
    return type == vbResIcon ? QStringLiteral(":/icons/%1.png").arg(id)
                             : QStringLiteral(":/bitmaps/%1.png").arg(id);
}

} // namespace

QString LoadResString(int id) {
    const auto it = table().constFind(id);
    if (it == table().constEnd())
        throw RtError(kResourceNotFound,
                      QStringLiteral("La ressource ayant l'identificateur '%1' est introuvable").arg(id));
    return *it;
}

bool HasResString(int id) { return table().contains(id); }

Picture LoadResPicture(int id, ResourceType type) {
    QImage image(pictureResourcePath(id, type));
    if (image.isNull())
        throw RtError(kResourceNotFound,
                      QStringLiteral("La ressource ayant l'identificateur '%1' est introuvable").arg(id));
    return Picture::fromImage(image);
}

QIcon LoadResIcon(int id) { return QIcon(pictureResourcePath(id, vbResIcon)); }

} // namespace rt
