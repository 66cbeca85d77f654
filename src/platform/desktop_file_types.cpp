#include "desktop_file_types.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QXmlStreamWriter>

namespace rt {

namespace {

QString& folderOverride() {
    static QString folder;
    return folder;
}

QString baseName(const QString& typeName) {
    return typeName.toLower() + QStringLiteral("-document");
}

// A value of the desktop entry's string type: backslashes and line ends escaped.
QString entryString(const QString& s) {
    QString out;
    for (QChar c : s) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else if (c == u'\t')
            out += QStringLiteral("\\t");
        else
            out += c;
    }
    return out;
}

// The program as the first word of an Exec line: quoted, with the characters that the quotes
// do not protect escaped, a literal "%" doubled.
QString execProgram(const QString& program) {
    QString quoted = QStringLiteral("\"");
    for (QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
        if (c == u'%') quoted += u'%';
        quoted += c;
    }
    return quoted + u'"';
}

// Writes the text unless the file already holds exactly it; true when the file holds it.
bool writeIfChanged(const QString& path, const QString& text, bool* changed) {
    const QByteArray bytes = text.toUtf8();
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == bytes) return true;
    current.close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(bytes);
    if (!f.commit()) return false;
    *changed = true;
    return true;
}

bool removeIfThere(const QString& path, bool* changed) {
    if (!QFileInfo::exists(path)) return true;
    if (!QFile::remove(path)) return false;
    *changed = true;
    return true;
}

// Runs a cache tool on a folder when the tool is installed; its failure only leaves the cache
// as it was.
void runTool(const QString& tool, const QString& folder) {
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty() || !QFileInfo(folder).isDir()) return;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(exe, {folder});
    if (!p.waitForFinished(30000)) p.kill();
    p.waitForFinished(1000);
}

void refreshCaches() {
    runTool(QStringLiteral("update-mime-database"), desktopDataFolder() + QStringLiteral("/mime"));
    runTool(QStringLiteral("update-desktop-database"),
            desktopDataFolder() + QStringLiteral("/applications"));
}

} // namespace

QString desktopDataFolder() {
    if (!folderOverride().isEmpty()) return folderOverride();
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

void setDesktopDataFolder(const QString& folder) {
    folderOverride() = folder;
}

QString desktopMimeType(const QString& TypeName) {
    return QStringLiteral("application/x-") + TypeName.toLower();
}

QString desktopMimePackageFile(const QString& TypeName) {
    return desktopDataFolder() + QStringLiteral("/mime/packages/") + baseName(TypeName) +
           QStringLiteral(".xml");
}

QString desktopEntryFile(const QString& TypeName) {
    return desktopDataFolder() + QStringLiteral("/applications/") + baseName(TypeName) +
           QStringLiteral(".desktop");
}

QString desktopMimePackageText(const DesktopFileType& Type) {
    QString text;
    QXmlStreamWriter xml(&text);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(
        QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info"));
    xml.writeStartElement(QStringLiteral("mime-info"));
    xml.writeStartElement(QStringLiteral("mime-type"));
    xml.writeAttribute(QStringLiteral("type"), desktopMimeType(Type.TypeName));
    xml.writeTextElement(QStringLiteral("comment"), Type.Description);
    if (!Type.SubclassOf.isEmpty()) {
        xml.writeEmptyElement(QStringLiteral("sub-class-of"));
        xml.writeAttribute(QStringLiteral("type"), Type.SubclassOf);
    }
    xml.writeEmptyElement(QStringLiteral("glob"));
    xml.writeAttribute(QStringLiteral("pattern"), u'*' + Type.Extension);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return text;
}

QString desktopEntryText(const DesktopFileType& Type) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=%1\n"
                          "Comment=%2\n"
                          "Exec=%3 %f\n"
                          "MimeType=%4;\n"
                          "NoDisplay=true\n"
                          "Terminal=false\n")
        .arg(entryString(Type.TypeName), entryString(Type.Description),
             entryString(execProgram(Type.Program)), desktopMimeType(Type.TypeName));
}

bool registerDesktopFileType(const DesktopFileType& Type) {
    bool changed = false;
    const bool ok =
        writeIfChanged(desktopMimePackageFile(Type.TypeName), desktopMimePackageText(Type),
                       &changed) &&
        writeIfChanged(desktopEntryFile(Type.TypeName), desktopEntryText(Type), &changed);
    if (changed) refreshCaches();
    return ok;
}

bool unregisterDesktopFileType(const QString& TypeName) {
    bool changed = false;
    bool ok = removeIfThere(desktopMimePackageFile(TypeName), &changed);
    ok = removeIfThere(desktopEntryFile(TypeName), &changed) && ok;
    if (changed) refreshCaches();
    return ok;
}

} // namespace rt
