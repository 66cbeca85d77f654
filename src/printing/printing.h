#pragma once
// What the rest of the program calls of printing: a print job and its preview, the summary
// chart, and the picture chooser and editor, with the variables through which those two forms
// hand their results back. Shutdown empties those variables: numbers 0, texts "", the empty
// picture.
//
// A print job is an ImageItem: an empty FileName prints the calendar (the months flagged in
// Settings.PrintMonths, in Settings.PrintCopies collated copies), any other FileName prints its
// Picture on one page, at its natural size (Mode 0) or stretched (any other Mode).

#include "core/picture.h"
#include "document/records.h"

#include <QString>
#include <cstdint>

// Runs the job on the printer of CheckPrinter, nothing at all when no printer is installed.
// The progress shows on the preview window (FromPreview) or on the main window, which is held
// in its "Load" state for the run and left in "Edit".
void PrintCalendar(bool FromPreview, const ImageItem& Job);

// Shows the preview of the job modally (through Exchange.PrintJob, emptied afterwards).
void ShowPrintPreview(const ImageItem& Job);

// The print job of the calendar months: no file name, mode 0, the empty picture, flags 0.
ImageItem CalendarPrintJob();

// Shows the summary chart FrmSUChart modally and releases the instance once it has closed.
void RunSummaryChart();

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

// Whether the picture file is within the per-picture limit of a document (cal_limits.h); a
// file whose size cannot be told passes, its loading reports it. Otherwise tells the user the
// picture's size and the limit, and gives false. Every place that takes a chosen picture asks
// this first.
bool PictureWithinLimit(const QString& FileName);

// Shows the printer dialog of the options on the main window's print dialog, the page in
// Orientation; the device of the printer chosen, or 0 when the dialog was cancelled.
int32_t SetupPrinter(int32_t Orientation);
