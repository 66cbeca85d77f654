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

// What the picture chooser hands back: Accepted 1 when a file was chosen, with its full path.
struct PicChooseResult {
    int32_t Accepted = 0;
    QString FileName;
};

// What the picture editor hands back: Changed 1 when it was closed with OK, with the edited
// picture and its file name; otherwise the picture and file name given in.
struct PicEditResult {
    int32_t Changed = 0;
    QString FileName;
    rt::Picture Picture = rt::Picture::empty();
};

// Shows the picture chooser modally (it opens in the picture-open folder; FileName does not
// choose the start).
PicChooseResult ChoosePicture(const QString& FileName);
// Shows the picture editor modally on Picture, whose file is FileName.
PicEditResult EditPicture(const rt::Picture& Picture, const QString& FileName);
