#pragma once
// The results that the picture editor and the picture chooser hand back to their callers.
// Shutdown empties them: numbers 0, texts "", the empty picture.

#include "platform/picture.h"

#include <QString>
#include <cstdint>

extern int32_t PicEditAccepted;    // 1 when the picture editor was closed with OK
extern QString PicEditFileName;    // the file the editor last opened or saved
extern rt::Picture PicEditPicture; // the edited picture
extern int32_t PicChooseAccepted;  // 1 when the picture chooser was closed with OK
extern QString PicChooseFileName;  // the file chosen
