#pragma once
// What the rest of the program calls of the document's dialogs: new, open, save and close, the
// roads every change of document takes, and the password prompt.
//
// The roads keep the live document and its last-saved copy in step, send every changed
// document through the ask-save dialog before it is written or given up, and move the
// application state between "Logo", "Load" and "Edit".
//
// New and Open do nothing while a document is being read or written (state "Load") or the
// program is shutting down: replacing the live document in the middle of an operation on it
// would corrupt it.

#include <QString>

// Asks to save, then makes a blank document with the default properties and opens the
// properties dialog for it. Confirmed: the month windows are shown ("Edit"); cancelled: the
// logo view with the blank, unchanged document.
void NewDocument();

// Reads a ".cal" file into the live document. An empty FileName shows the open dialog first
// and receives the chosen name (a cancel changes nothing). Asks to save the current document
// before reading.
void OpenDocument(QString& FileName);

// Writes or asks. Force is set by the Save and Save As commands, which also write an
// unchanged document (directly and whole); SaveAs asks the name first. A changed document
// always goes through the ask-save dialog. True when the caller may go on: nothing needed
// saving, the document was written, or the user chose not to save it.
bool SaveDocument(bool Force, bool SaveAs);

// The save dialog, started in the save folder and preset to the live document's name; the
// chosen full name, or "" when cancelled.
QString AskCalFileName();

// The ask-save step of closing the main window: true when the closing may go on. While a
// document is being read or written it is false at once and nothing changes; otherwise, when
// the user stops the closing, the state goes back to "Edit".
bool QueryCloseDocument();

// The folder setting rule of the two file dialogs. A setting that begins with "*" names a
// fixed folder; any other setting is the folder last used.
// The folder a dialog starts in.
QString DialogStartFolder(const QString& Setting);
// The setting after the user chose FullName (whose name without its folder is FileTitle): a
// fixed folder stays, any other becomes the chosen file's folder with its trailing separator.
void UpdateFolderSetting(QString& Setting, const QString& FullName, const QString& FileTitle);

// Asks for the read password. Expected "" is read mode: true after OK, with the typed password
// (trimmed, possibly "") left in PasswordHandOver for the reader; a password that Windows-1252
// cannot hold is handed over as "", a wrong one. Otherwise confirm mode: true only after OK
// with the typed password, trimmed, equal to Expected (letter case counts).
bool AskPassword(const QString& Expected);
