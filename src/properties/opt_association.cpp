#include "opt_association.h"

#include "common_reg.h"
#include "core/desktop_file_types.h"
#include "core/resources.h"
#include "core/system.h"
#include "document/paths.h"

namespace {

const QString kExtension = QStringLiteral(".cal");
const QString kTypeName = QStringLiteral("Mirovanta");
const QString kDescription = QStringLiteral("Mirovanta document");
const QString kCommandKey = QStringLiteral("Mirovanta\\shell\\open\\command");
// The main window's icon, which the desktop shows for the program and its documents.
constexpr int kProgramIcon = 102;

// The program's icon in each size the resources draw it.
QList<QImage> programIcons() {
    QList<QImage> images;
    const QIcon icon = rt::LoadResIcon(kProgramIcon);
    for (const QSize& size : icon.availableSizes())
        images << icon.pixmap(size, 1.0).toImage();
    return images;
}

} // namespace

QString ProgramFile() {
    return AddBackslash(rt::sys().programFolder()) + rt::sys().executableName();
}

QString CalCommandLine() {
    return u'"' + ProgramFile() + QStringLiteral("\" %1");
}

bool IsCalAssociated() {
    const QString type = QueryValue(kExtension, QString(), rt::HKEY_CLASSES_ROOT).toString();
    if (type.toUpper() != kTypeName.toUpper()) return false;
    const QString command = QueryValue(kCommandKey, QString(), rt::HKEY_CLASSES_ROOT).toString();
    return command.toUpper() == CalCommandLine().toUpper();
}

void WriteCalAssociation() {
    CreateNewKey(kExtension, rt::HKEY_CLASSES_ROOT);
    SetKeyValue(kExtension, QString(), kTypeName, rt::REG_SZ, rt::HKEY_CLASSES_ROOT);
    CreateNewKey(kTypeName, rt::HKEY_CLASSES_ROOT);
    SetKeyValue(kTypeName, QString(), kDescription, rt::REG_SZ, rt::HKEY_CLASSES_ROOT);
    CreateNewKey(kCommandKey, rt::HKEY_CLASSES_ROOT);
    SetKeyValue(kCommandKey, QString(), CalCommandLine(), rt::REG_SZ, rt::HKEY_CLASSES_ROOT);

    // A ".cal" document is a zip archive.
    rt::registerDesktopFileType({kExtension, kTypeName, kDescription, ProgramFile(),
                                 QStringLiteral("application/zip"), programIcons()});
}

void RemoveCalAssociation() {
    DeleteKey(kTypeName, rt::HKEY_CLASSES_ROOT);
    const QVariant type = QueryValue(kExtension, QString(), rt::HKEY_CLASSES_ROOT);
    if (type.toString() == kTypeName) DeleteValue(kExtension, QString(), rt::HKEY_CLASSES_ROOT);

    rt::unregisterDesktopFileType(kTypeName);
}
