#pragma once
// The ".cal" file type: kept in the registry under HKEY_CLASSES_ROOT (".cal" names the type
// "Mirovanta", whose open command runs the program on the file), and registered with the
// user's desktop alongside, so that the desktop opens ".cal" files with the program and shows
// the program's icon for them.

#include <QString>

// The program's file: its folder with a trailing separator and its file name.
QString ProgramFile();
// The open command as the registry keeps it: the program's file in double quotes, " %1".
QString CalCommandLine();
// True when ".cal" names "Mirovanta" and the type's open command is CalCommandLine, both
// compared without regard to letter case. The description is not looked at.
bool IsCalAssociated();
// Writes the three keys, and registers the type with the desktop.
void WriteCalAssociation();
// Deletes the key "Mirovanta", then the default value of ".cal" only when it names "Mirovanta"
// exactly (another program's type is left alone); removes the desktop's registration.
void RemoveCalAssociation();
