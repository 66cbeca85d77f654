#pragma once
// Optional parts of the program that pull in big libraries (Qt Multimedia for the sounds, Qt
// Charts for the chart, Qt Print Support for the printers) are built as shared modules
// "libmirovanta_<name>.so" and loaded on first use, so that a start that needs none of them
// does not map them. A module offers one extern "C" entry, which returns an object of an
// interface declared in a header of this folder (sound_output.h, line_chart.h, print_module.h);
// the module includes that header and links no library of ours.
//
// Folders searched, in order: the program's folder, then "<program folder>/../lib/mirovanta",
// where an installed program keeps them (and the build, which lays out bin/ and lib/ the same
// way). The program's folder is the one of the file the kernel runs (/proc/self/exe), never a
// name its caller chose: a program runs and loads only what lies in its own installation. A
// file that does not load is reported and the next folder tried. A loaded module stays loaded
// for the life of the process: its objects and their code must outlive every caller.

#include <QString>
#include <QStringList>

namespace rt {

// "libmirovanta_<name>.so".
QString moduleFileName(const QString& name);

// The folders searched for modules and for the program's helper programs, in order: the
// program's own two, then those added by addModuleFolder. Works before the application object
// exists, and gives none when the kernel cannot tell the program's file.
QStringList moduleFolders();

// Searches folder too, after the program's own (a test program: the build tree's modules).
// The program never calls it.
void addModuleFolder(const QString& folder);

struct ModuleEntry {
    QFunctionPointer function = nullptr; // null when the module cannot be used
    QString file;                        // the file loaded, empty when none loaded
    QString error;                       // why function is null, for the log and the user
};

// Loads module name (once: the outcome is kept) and resolves its entry. A module that is
// missing, does not load or lacks the entry is logged once as a warning (category
// "mirovanta.modules") and gives a null function; the caller carries on without it. Loading
// is logged at the info level. From any thread.
ModuleEntry loadModule(const QString& name, const char* entry);

// The entry as a typed function, null when the module cannot be used.
template <typename Function> Function moduleFunction(const QString& name, const char* entry) {
    return reinterpret_cast<Function>(loadModule(name, entry).function);
}

// Searches these folders instead of moduleFolders() (tests); an empty list restores the
// program's. The outcomes kept so far are forgotten; libraries loaded stay loaded.
void setModuleFolders(const QStringList& folders);

} // namespace rt
