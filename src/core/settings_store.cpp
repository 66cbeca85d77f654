#include "settings_store.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <vector>

namespace rt {

namespace {

QString& folderOverride() {
    static QString folder;
    return folder;
}

struct Entry {
    QString key;
    QString value;
};
struct Section {
    QString name;
    std::vector<Entry> entries;
};

// Values are written on one line: backslash, CR and LF are escaped.
QString escapeValue(const QString& v) {
    QString out;
    for (QChar c : v) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

QString unescapeValue(const QString& v) {
    QString out;
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] == u'\\' && i + 1 < v.size()) {
            const QChar n = v[++i];
            out += n == u'n' ? QChar(u'\n') : n == u'r' ? QChar(u'\r') : n;
        } else {
            out += v[i];
        }
    }
    return out;
}

std::vector<Section> readFile(const QString& path) {
    std::vector<Section> sections;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return sections;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            sections.push_back({line.mid(1, line.size() - 2), {}});
        } else if (!sections.empty() && !line.isEmpty() && !line.startsWith(u';')) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq > 0)
                sections.back().entries.push_back({line.left(eq), unescapeValue(line.mid(eq + 1))});
        }
    }
    return sections;
}

bool writeFile(const QString& path, const std::vector<Section>& sections) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    QString text;
    for (const Section& s : sections) {
        text += u'[' + s.name + QStringLiteral("]\n");
        for (const Entry& e : s.entries)
            text += e.key + u'=' + escapeValue(e.value) + u'\n';
        text += u'\n';
    }
    f.write(text.toUtf8());
    return f.commit();
}

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

void setSettingsFolder(const QString& folder) {
    folderOverride() = folder;
}

QString settingsFolder() {
    if (!folderOverride().isEmpty()) return folderOverride();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString settingsFilePath(const QString& appName) {
    return settingsFolder() + u'/' + appName + u'/' + appName + QStringLiteral(".ini");
}

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue) {
    for (const Section& s : readFile(settingsFilePath(appName))) {
        if (!same(s.name, section)) continue;
        for (const Entry& e : s.entries)
            if (same(e.key, key)) return e.value;
    }
    return defaultValue;
}

bool SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value) {
    // Section and key names are kept on one line and free of the characters that frame them.
    auto clean = [](QString s) {
        s.replace(u'\n', u' ').replace(u'\r', u' ').replace(u'[', u'(').replace(u']', u')');
        return s;
    };
    const QString path = settingsFilePath(appName);
    std::vector<Section> sections = readFile(path);
    Section* target = nullptr;
    for (Section& s : sections)
        if (same(s.name, section)) target = &s;
    if (!target) {
        sections.push_back({clean(section), {}});
        target = &sections.back();
    }
    for (Entry& e : target->entries) {
        if (same(e.key, key)) {
            e.value = value;
            return writeFile(path, sections);
        }
    }
    target->entries.push_back({clean(key).replace(u'=', u'_'), value});
    return writeFile(path, sections);
}

} // namespace rt
