#pragma once
// The document's module-level state, owned for the whole run: the live document and its
// last-saved copy, the current day, the grid selection, the clipboard, the dialog exchange
// record and the busy flag. Everything starts zeroed; ResetDocumentState() zeroes it again
// (tests call it before each case).

#include "records.h"

#include <QString>
#include <cstdint>

extern CalDocument CurDoc;   // the live document
extern CalDocument SavedDoc; // the document as last read or written
extern ItemClipboard GridClip;
extern FormExchange Exchange;

// The current day, whose items the events pane lists (0 when there is none).
extern int16_t CurMonth;
extern int16_t CurCell;
extern DateRec CurDate;

// The cell and item line under the month window's cell menu (SelItem -1: the day label).
extern int16_t SelMonth;
extern int16_t SelCell;
extern int16_t SelItem;

// Set while code fills controls: event handlers and the alarm scan return at once.
extern int16_t IsBusy;

// The file layout version, also shown in window captions ("2.1", set at start-up).
extern QString AppVersion;
// The program folder followed by the help file's name (set at start-up).
extern QString HelpFilePath;

// Carries a read password typed in the password prompt to the document reader, which takes it
// and empties it.
extern QString PasswordHandOver;

// Counts the blank documents made. Every road that replaces the live document (New, Open, a
// partial save, a change of year, shutdown) starts from BlankDocument, so a change of this
// number tells a long-running rule (the alarm scan) that the document it walks is gone.
extern uint64_t DocGeneration;

// Zeroes every variable above, as at program start.
void ResetDocumentState();

// An empty document whose twelve months carry the live document's default background and
// colours of this moment. Unless KeepViews, also resets the current day, the clipboard
// positions and the twelve month windows (which are unloaded in the state "Unload").
CalDocument BlankDocument(bool KeepViews);

// Gives Doc the values of a new document: opening month "00", the clock's year, pictures
// embedded, the default colours and background, and the live document's defaults in every
// month. New calls it on the live document itself.
void SetDocDefaults(CalDocument& Doc);

// The year of the live document: the numeric value of CurDoc.Year as a 16-bit whole number
// (run-time error 6 when it does not fit).
int16_t DocumentYear();
