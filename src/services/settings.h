#pragma once
// The program's settings in the per-user settings store (application "Mirovanta"): the shared
// record `Settings`, read once at start-up and written back once at shutdown, and the few keys
// read straight from the store where they are used.

#include "core/rt_error.h"

#include <QString>
#include <array>
#include <cstdint>

// A fixed array reached as A(i) with i from Lo to Hi; any other index raises run-time error 9.
template <class T, int Lo, int Hi> struct BoundedArray {
    std::array<T, size_t(Hi - Lo + 1)> Store{};

    T& operator()(int i) {
        if (i < Lo || i > Hi) rt::raise(rt::ErrSubscript);
        return Store[size_t(i - Lo)];
    }
    const T& operator()(int i) const {
        if (i < Lo || i > Hi) rt::raise(rt::ErrSubscript);
        return Store[size_t(i - Lo)];
    }
    bool operator==(const BoundedArray&) const = default;
};

// The settings the whole program shares. A folder that begins with "*" is fixed (the file
// dialogs always start in the folder after the "*"); any other folder is the one last used.
struct AppSettings {
    QString CalOpenPath; // folders, each ending with the separator once read
    QString CalSavePath;
    QString ImgOpenPath;
    QString ImgSavePath;
    BoundedArray<QString, 1, 10> SoundFiles; // alarm sound n; "" when no file exists
    int32_t PrintBackground = 0;             // 1: print the background picture
    int16_t PrintCopies = 0;
    BoundedArray<int32_t, 1, 12> PrintMonths; // 1: month m is printed
    int32_t PrinterValue = 0; // printer chosen in the options for this run; 0 none; never stored

    bool operator==(const AppSettings&) const = default;
};

extern AppSettings Settings;

// The application name under which every setting is stored.
inline const QString kSettingsApp = QStringLiteral("Mirovanta");

// Fills `Settings` (all but PrinterValue) from the store; missing keys take their defaults.
void LoadSettings();
// Writes every stored field of `Settings` back to the store.
void SaveSettings();

// The folder of the default alarm sounds, ending with the separator: "Wav" in the parent folder
// of the program folder (in the root itself when the program lies in the root), as in the build
// tree. When that folder does not exist but the installed program's does, the installed one:
// "Wav" among the installed files (InstalledFilesFolderFor).
QString DefaultWavFolder();
// "Wav" in the parent folder, for a given program folder and separator.
QString DefaultWavFolderFor(const QString& ProgramFolder, QChar Separator = u'/');
// Where an installed program's own files lie, ending with "/": the program in <prefix>/bin,
// its files in <prefix>/share/mirovanta.
QString InstalledFilesFolderFor(const QString& ProgramFolder);

// General/"ShowSplash": the splash is shown at start-up only when this is 1.
int32_t ShowSplashSetting();
// Alarm/"IntervalChk": minutes between two alarm checks, -1 for none. A stored value outside
// the 16-bit range takes the default, 15.
int16_t AlarmIntervalSetting();
