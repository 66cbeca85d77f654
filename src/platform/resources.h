#pragma once
// The program's resources by numeric id: the French string table and our own pictures and
// icons. Ids 210-221 are at once strings (month names), toolbar bitmaps and month icons, so a
// picture is asked for by type and id.

#include "picture.h"

#include <QIcon>
#include <QString>

namespace rt {

enum ResourceType : int { vbResBitmap = 0, vbResIcon = 1 };

// The text of a string id. An id that the table lacks raises run-time error 326 ("resource
// not found").
QString LoadResString(int id);
// True when the table holds the id.
bool HasResString(int id);

// A bitmap or icon by id as a new picture object; raises 326 when there is none.
Picture LoadResPicture(int id, ResourceType type);
// An icon resource as a QIcon, for window icons.
QIcon LoadResIcon(int id);

} // namespace rt
