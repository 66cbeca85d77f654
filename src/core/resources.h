#pragma once
// The program's resources by numeric id: the French string table and our own pictures and
// icons. Ids 210-221 are at once strings (month names), toolbar bitmaps and month icons, so a
// picture is asked for by type and id.
//
// The string table is resources/strings.txt, compiled in: one line per text, the id, a tab and
// the text in UTF-8, where "\r", "\n", "\t" and "\\" stand for a carriage return, a line feed, a
// tab and a backslash. Lines that are empty or begin with "#" are comments. Pictures are
// compiled in as their decoded pixels (picture_pixels.h) under ":/bitmaps/<id>.pixels" and
// ":/icons/<id>.pixels"; an icon is also there as PNG files, ":/icons/<id>.png" and a larger
// rendering ":/icons/32/<id>.png".

#include "picture.h"

#include <QByteArray>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QString>

namespace rt {

enum ResourceType : int { vbResBitmap = 0, vbResIcon = 1 };

// Run-time error raised for an id that the resources lack.
inline constexpr int32_t ErrResourceNotFound = 326;

// The text of a string id. An id that the table lacks raises run-time error 326.
QString LoadResString(int id);
// True when the table holds the id.
bool HasResString(int id);

// A bitmap or icon by id as a new picture object; raises 326 when there is none.
Picture LoadResPicture(int id, ResourceType type);
// An icon resource as a QIcon (with its larger rendering when there is one), for window icons;
// raises 326 when there is none.
QIcon LoadResIcon(int id);

// A string table read from its text form.
struct StringTable {
    QHash<int, QString> Texts;
    QList<int> DuplicateIds; // ids given more than once (the last text is kept)
    QList<int> BadLines;     // 1-based numbers of lines that are neither comments nor entries
};
StringTable ParseStringTable(const QByteArray& utf8);

} // namespace rt
