#pragma once
// The two procedures that frame the whole run: start-up and shutdown.

#include <QString>

// The program's start-up: checks the screen, hands a second start over to the copy that
// already runs (with the document on its command line, when there is one), reads the settings,
// builds the main window and the twelve month windows behind the splash, shows the main window and
// opens the document named on the command line. Returns false when the program is to end at once
// (the user declined a small screen, or another copy runs); the event loop then does not start.
bool Main();

// The last step of closing the main window, once the ask-save step allowed it: the state
// "Unload", every other form unloaded and released, both documents reset, the settings written
// back and the shared records cleared. The main window itself then unloads, and its release
// ends the program.
void ShutdownApp();

// The help file: "mrv2help.chm" in the program folder; when it is not there but lies among the
// installed program's files (InstalledFilesFolderFor, settings.h), that one.
QString HelpFileFor(const QString& ProgramFolder);

// The document named on the command line: the arguments joined by blanks, without the double
// quotes of a quoted path and without blanks at either end; "" when there is none.
QString CommandLineDocument();

// The command a later copy hands to the running one first; a later copy with a document then
// asks for it with LinkOpenCommand (frm_main.h).
inline const QString kRestoreCommand = QStringLiteral("RESTORE");
