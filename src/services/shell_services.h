#pragma once
// Small services of the main module that every part of the program calls: the printer check,
// playing an alarm sound, opening a help topic, running the options dialog, shortening a path
// shown in a label, the drive of a path and centring one control in another.

#include "platform/ui_control.h"

#include <QChar>
#include <QString>
#include <cstdint>
#include <functional>

// True when a printer is installed, by the printer list as last asked (rt::knownPrinters): it
// asks the print server nothing, so that refreshing the commands never waits on it.
// PrinterValue receives the device to print on: the printer chosen in the options for this
// run, or else the default printer; 0 when there is no printer.
bool CheckPrinter(int32_t& PrinterValue);

// Starts playing a wave file without waiting. True when the sound was NOT started (a missing
// or unplayable file); no sound at all is heard then. No audio device is no failure.
bool PlayWav(const QString& FileName);

// Opens Topic ("Html\d_about.htm") of the help file HelpFilePath. When the file or a viewer is
// missing, or the viewer cannot start, a message tells the user why no help appears.
void ShowHelp(const QString& Topic);

// Runs the options dialog modally; true when it was closed with OK. The commands of the main
// window are enabled anew afterwards in both cases.
bool ShowOptionsDialog();

// The text a label shows for a path longer than it may be: folders replaced by "..." from the
// left, one at a time, until the text is shorter than MaxLen; the first part (the drive, or the
// empty part before a leading "/") stays. When replacing every part still leaves the text too
// long, the text as shortened so far is returned. A text of at most MaxLen characters is
// returned whole.
QString ShortPath(const QString& Text, int MaxLen, QChar Separator = u'/');
// Shortens the path that Label shows (its Text for a text box, else its Caption) with
// ShortPath; when it is shortened, the label's tooltip holds the full path.
void ShowShortPath(rt::Control& Label, int16_t MaxLen, QChar Separator = u'/');

// The drive of a path, as drive lists take it: there is one drive here, "/", which every
// absolute path lies on; anything else gives its first two characters (a drive letter and its
// colon elsewhere), which no drive list accepts.
QString DriveOf(const QString& Path);

// Centres Obj in Container, each way where Obj is smaller, else puts it at the edge (0).
void CenterInContainer(rt::Control& Obj, rt::Control& Container);

// The options dialog as ShowOptionsDialog runs it: by default the main window's
// (MainWindowHost::RunOptionsDialog).
// Tests put a double in its place; an empty function restores the default. Returns the
// previous one.
std::function<void()> setOptionsDialogRunner(std::function<void()> Runner);
