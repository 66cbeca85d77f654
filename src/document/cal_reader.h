#pragma once
// Reading a ".cal" file, the document error message, and the loading of one picture file.

#include "cal_format.h"
#include "records.h"

#include <QSize>
#include <QString>
#include <cstdint>

namespace rt {
class RtError;
}

// Reads the ".cal" file FileName into Doc. Shows the loading captions and the hourglass, asks
// for the read password when the archive needs one (twice at most), and reports every failure
// in the document error message; Retry after an error starts the whole read again. True when
// read: Doc.FileName is FileName and Doc.Password the password that opened it ("" for none).
// False when the read failed or the password prompt was cancelled: Doc then holds a blank
// document, partly filled.
bool LoadCalFile(const QString& FileName, CalDocument& Doc);

// Starts reading the records of the ".cal" file FileName on a thread of its own, as the program
// starts with that document named: the first LoadCalFile then takes them instead of reading the
// text itself, when it reads that file without a password and the file is still the one read
// (the same file, size and times). Anything else, a fault of the file among them, leaves the
// reading to LoadCalFile, which reports it as ever. Nothing is shown or asked on the thread.
void ReadCalFileAhead(const QString& FileName);
// Waits for a reading started ahead that no LoadCalFile took, and lets its records go.
void DropCalFileReadAhead();

// Read the values after the version line of "caldata.cal" in layout "2.1" or "2.0" into Doc,
// which is blank when they start; the "2.0" reader converts to the current records. A value
// that does not fit its field, a year outside 1 to 9999, a negative count or a file that ends
// early raises a run-time error.
bool ReadCalData21(CalDocument& Doc, CalTextReader& In);
bool ReadCalData20(CalDocument& Doc, CalTextReader& In);

// Shows the document error message and returns the button chosen (Retry or Cancel for a
// run-time error, OK otherwise). Writing is 0 while reading and 1 while writing (which always
// shows the run-time error). ErrorInfo is the run-time error for code 1; PictureName the
// picture's file name for codes 3 and 4. Note, when given, ends the message.
int32_t ShowCalFileError(const QString& FileName, int32_t Code, int32_t Writing,
                         const rt::RtError* ErrorInfo, const QString& PictureName,
                         const QString& Note = QString());

// Loads the picture file Image.FileName into Image.Picture. Only an absolute path naming a
// regular file is opened. False, with the empty picture, when it is missing, not a picture or
// beyond the per-picture limit (cal_limits.h). Shows nothing and raises nothing.
bool LoadImageItemPicture(ImageItem& Image);
// The size in pixels of the picture LoadImageItemPicture would load from FileName, read from the
// file's header without decoding it; invalid when it would open no file or cannot tell.
QSize PictureSizeOfFile(const QString& FileName);

// Why a document is beyond its limits, in words for the user: a picture of Size named Name
// beyond the per-picture limit; pictures beyond the memory they may take; too many pictures;
// too many day items; a data text too large.
QString PictureTooLargeText(const QString& Name, QSize Size);
QString PicturesTooLargeText();
QString TooManyPicturesText();
QString TooManyItemsText();
QString DataTooLargeText();
