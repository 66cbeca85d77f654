#pragma once
// The commands of the main window's list pages (events of the current day, auto-events, debts
// and savings, birthdays) and the summary's range boxes. The handlers are members of
// FrmMainForm; this header holds what they share with others.

#include "printing/printing.h"

struct EVItem;

// Puts what the picture editor handed back into a day item: nothing unless it was closed with
// OK (Changed 1); then the item takes the editor's picture and file name. True when that changed
// the item (another file, or another image), so that the caller marks the month's day items:
// the picture and its file are saved with the document.
bool StoreEditedPicture(EVItem& Item, const PicEditResult& Result);
