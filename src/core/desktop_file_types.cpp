#include "desktop_file_types.h"

#include <QBuffer>
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

// Writes the bytes unless the file already holds exactly them; true when the file holds them.
bool writeIfChanged(const QString& path, const QByteArray& bytes, bool* changed) {
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

QString iconsFolder() {
    return desktopDataFolder() + QStringLiteral("/icons/hicolor");
}

// The icon's file in one size folder of the theme ("48x48").
QString iconFileIn(const QString& sizeFolder, const QString& TypeName) {
    return iconsFolder() + u'/' + sizeFolder + QStringLiteral("/apps/") +
           desktopIconName(TypeName) + QStringLiteral(".png");
}

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
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

QString desktopIconName(const QString& TypeName) {
    return TypeName.toLower();
}

QString desktopIconFile(const QString& TypeName, int Size) {
    return iconFileIn(QStringLiteral("%1x%1").arg(Size), TypeName);
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
    if (!Type.Icons.isEmpty()) {
        xml.writeEmptyElement(QStringLiteral("icon"));
        xml.writeAttribute(QStringLiteral("name"), desktopIconName(Type.TypeName));
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return text;
}

QString desktopEntryText(const DesktopFileType& Type) {
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=%1\n"
                                  "Comment=%2\n"
                                  "Exec=%3 %f\n"
                                  "MimeType=%4;\n")
                       .arg(entryString(Type.TypeName), entryString(Type.Description),
                            entryString(execProgram(Type.Program)), desktopMimeType(Type.TypeName));
    if (!Type.Icons.isEmpty())
        text += QStringLiteral("Icon=") + desktopIconName(Type.TypeName) + u'\n';
    return text + QStringLiteral("NoDisplay=true\n"
                                 "Terminal=false\n");
}

bool registerDesktopFileType(const DesktopFileType& Type) {
    bool changed = false;
    bool ok =
        writeIfChanged(desktopMimePackageFile(Type.TypeName), desktopMimePackageText(Type).toUtf8(),
                       &changed) &&
        writeIfChanged(desktopEntryFile(Type.TypeName), desktopEntryText(Type).toUtf8(), &changed);
    for (const QImage& icon : Type.Icons)
        ok = writeIfChanged(desktopIconFile(Type.TypeName, icon.width()), pngBytes(icon),
                            &changed) &&
             ok;
    if (changed) refreshCaches();
    return ok;
}

bool unregisterDesktopFileType(const QString& TypeName) {
    bool changed = false;
    bool ok = removeIfThere(desktopMimePackageFile(TypeName), &changed);
    ok = removeIfThere(desktopEntryFile(TypeName), &changed) && ok;
    // The icon in every size there is.
    for (const QString& size : QDir(iconsFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        ok = removeIfThere(iconFileIn(size, TypeName), &changed) && ok;
    if (changed) refreshCaches();
    return ok;
}

} // namespace rt
