#pragma once
// A file type of the user's desktop: files ending in an extension get a MIME type of their own,
// and a program opens them. Registered for the current user only, by the freedesktop.org rules:
// a shared-mime-info package under <data>/mime/packages, a desktop entry under
// <data>/applications and the program's icon under <data>/icons/hicolor, <data> being the
// user's data folder (~/.local/share). The desktop's caches are brought up to date with
// update-mime-database and update-desktop-database where those tools are installed.

#include <QImage>
#include <QList>
#include <QString>

namespace rt {

struct DesktopFileType {
    QString Extension;   // with its dot: ".cal"
    QString TypeName;    // names the MIME type ("application/x-" + the name in lower case) and
                         // the files written; shown as the program's name in "Open with"
    QString Description; // the type's comment: "Calendar document"
    QString Program;     // the program's full path; it receives the file as its one argument
    QString SubclassOf;  // the MIME type the files also are ("application/zip"), or ""
    QList<QImage> Icons; // the program's icon, square, one image per size; it is also the
                         // files' icon. None: neither has an icon
};

// The MIME type of a type name: "application/x-" followed by the name in lower case.
QString desktopMimeType(const QString& TypeName);
// The files that register a type name.
QString desktopMimePackageFile(const QString& TypeName);
QString desktopEntryFile(const QString& TypeName);
// The icon's name in the icon theme (the type name in lower case), and its file for one size.
QString desktopIconName(const QString& TypeName);
QString desktopIconFile(const QString& TypeName, int Size);

// Writes the two files and the icons (when they changed) and refreshes the caches. False when a
// file could not be written.
bool registerDesktopFileType(const DesktopFileType& Type);
// Removes the two files and the icons of the type name, when there, and refreshes the caches.
// False when a file could not be removed.
bool unregisterDesktopFileType(const QString& TypeName);

// The texts of the two files.
QString desktopMimePackageText(const DesktopFileType& Type);
QString desktopEntryText(const DesktopFileType& Type);

// The user's data folder the files go under (tests point it at a scratch folder). An empty
// folder restores the user's own.
QString desktopDataFolder();
void setDesktopDataFolder(const QString& folder);

} // namespace rt
