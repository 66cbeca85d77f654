#pragma once
// The picture tools that the rest of the program calls: the picture chooser (ChoosePicture),
// the picture editor (EditPicture) and the brightness pass of the editor (AdjustBrightness),
// with the variables through which the two forms hand their results back. Shutdown empties
// those variables: numbers 0, texts "", the empty picture.

#include "platform/picture.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>

namespace rt {
class PictureBox;
} // namespace rt

extern int32_t PicEditAccepted;    // 1 when the picture editor was closed with OK
extern QString PicEditFileName;    // the file the editor last opened, or the name given in
extern rt::Picture PicEditPicture; // the picture the editor's reset returns to; after OK the edit
extern int32_t PicChooseAccepted;  // 1 when the picture chooser was closed with Open
extern QString PicChooseFileName;  // the file chosen

// What the picture chooser hands back.
struct PicChooseResult {
    int32_t Accepted = 0; // 1 when the user chose a file with the open button
    QString FileName;     // the chosen file's full path; "" when Accepted is 0
};

// What the picture editor hands back.
struct PicEditResult {
    int32_t Changed = 0; // 1 when the editor was closed with OK, changed or not
    QString FileName;    // the editor's file name after OK, else the one given in
    rt::Picture Picture = rt::Picture::empty(); // the picture as shown after OK, else the one given
};

// Shows the picture chooser modally. The chooser starts in the picture-open folder of the
// settings; FileName is carried for the caller's sake only. The caller loads the chosen file and
// reports a file that is no picture.
PicChooseResult ChoosePicture(const QString& FileName);

// Shows the picture editor modally on Picture, whose file is FileName.
PicEditResult EditPicture(const rt::Picture& Picture, const QString& FileName);

// Adds Amount (-100 to 100) to the red, green and blue of every pixel of Pic's picture, each held
// within 0 to 255, column after column, repainting every ten columns. Amount 0 or outside the
// range does nothing.
void AdjustBrightness(int16_t Amount, rt::PictureBox& Pic);
// The pass itself on an image; afterColumn(x) runs after each column x that is a multiple of 10.
void AdjustImageBrightness(QImage& Image, int Amount,
                           const std::function<void(int)>& afterColumn = {});

// The drive of a path, as drive lists take it: there is one drive here, "/", which every
// absolute path lies on; anything else gives its first two characters (a drive letter and its
// colon elsewhere), which no drive list accepts.
QString DriveOf(const QString& Path);

// The pictures of a dialog's Help button: the image "Help" of the main window's image lists,
// normal and disabled.
rt::Picture HelpPicture();
rt::Picture HelpDisabledPicture();

// A run-time error as the dialogs report it: Lead (when not empty) and an empty line, then
// text 10038 with the number and text 10039 with the description, lines joined by carriage
// returns.
QString ErrorReportText(const QString& Lead, int32_t Number, const QString& Description);
