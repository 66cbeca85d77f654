#include "settings.h"

#include "core/numeric.h"
#include "core/settings_store.h"
#include "core/system.h"
#include "document/paths.h"

#include <QFileInfo>
#include <QStringList>
#include <limits>

AppSettings Settings;

namespace {

QString Get(const QString& section, const QString& key, const QString& defaultValue) {
    return rt::GetSetting(kSettingsApp, section, key, defaultValue);
}

void Put(const QString& section, const QString& key, const QString& value) {
    rt::SaveSetting(kSettingsApp, section, key, value);
}

// The numeric value of a stored text rounded to a whole number of type T (halves to even). A
// value that does not fit in T takes the key's default rather than stopping the program.
template <class T> T StoredNumber(const QString& section, const QString& key, T defaultValue) {
    const double v = rt::RoundHalfEven(rt::Val(Get(section, key, QString::number(defaultValue))));
    if (!(v >= double(std::numeric_limits<T>::min()) && v <= double(std::numeric_limits<T>::max())))
        return defaultValue;
    return T(v);
}

// A normal file of exactly this name: not a folder, not hidden. Names are taken literally, so a
// "*" or "?" in a stored name matches nothing.
bool IsNormalFile(const QString& path) {
    if (path.isEmpty()) return false;
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

QString Two(int n) {
    return rt::FormatNumber(n, QStringLiteral("00"));
}

const QString kPaths = QStringLiteral("Paths");
const QString kPrinter = QStringLiteral("Printer");
const QString kAlarm = QStringLiteral("Alarm");

// The parent folder of a folder, ending with the separator; a root, or a folder in the root,
// gives the root.
QString ParentFolderFor(const QString& Folder, QChar Separator) {
    QString p = Folder;
    if (!p.endsWith(Separator)) p += Separator;
    // The parts between separators, the final separator left out; two separators in a row give
    // an empty part.
    const QStringList parts = p.left(p.size() - 1).split(Separator);
    QString r;
    if (parts.size() == 1) {
        r = parts.first() + Separator;
    } else {
        for (qsizetype i = 0; i + 1 < parts.size(); ++i)
            r += parts[i] + Separator;
    }
    return r;
}

} // namespace

QString DefaultWavFolderFor(const QString& ProgramFolder, QChar Separator) {
    return ParentFolderFor(ProgramFolder, Separator) + QStringLiteral("Wav") + Separator;
}

QString InstalledFilesFolderFor(const QString& ProgramFolder) {
    return ParentFolderFor(ProgramFolder, u'/') + QStringLiteral("share/mirovanta/");
}

QString DefaultWavFolder() {
    const QString programFolder = rt::sys().programFolder();
    const QString beside = DefaultWavFolderFor(programFolder);
    const QString installed = InstalledFilesFolderFor(programFolder) + QStringLiteral("Wav/");
    return !QFileInfo(beside).isDir() && QFileInfo(installed).isDir() ? installed : beside;
}

void LoadSettings() {
    // Documents and pictures start in the user's own folders: the program's is not the user's,
    // and cannot be written once installed.
    const QString documents = AddBackslash(rt::sys().documentsFolder());
    const QString pictures = AddBackslash(rt::sys().picturesFolder());

    Settings.CalOpenPath = AddBackslash(Get(kPaths, QStringLiteral("CalOpen"), documents));
    Settings.CalSavePath = AddBackslash(Get(kPaths, QStringLiteral("CalSave"), documents));
    Settings.ImgOpenPath = AddBackslash(Get(kPaths, QStringLiteral("ImgOpen"), pictures));
    Settings.ImgSavePath = AddBackslash(Get(kPaths, QStringLiteral("ImgSave"), pictures));

    Settings.PrintBackground = StoredNumber<int32_t>(kPrinter, QStringLiteral("BckImg"), 1);
    Settings.PrintCopies = StoredNumber<int16_t>(kPrinter, QStringLiteral("Copies"), 1);
    for (int m = 1; m <= 12; ++m)
        Settings.PrintMonths(m) =
            StoredNumber<int32_t>(kPrinter, QStringLiteral("Month") + QString::number(m), 1);

    const QString folder = DefaultWavFolder();
    for (int n = 1; n <= 10; ++n) {
        const QString defaultFile =
            folder + QStringLiteral("alarm") + Two(n) + QStringLiteral(".wav");
        QString file = Get(kAlarm, QStringLiteral("Sound") + QString::number(n), defaultFile);
        if (!IsNormalFile(file)) file = defaultFile;
        if (!IsNormalFile(file)) file.clear();
        Settings.SoundFiles(n) = file;
    }
}

void SaveSettings() {
    Put(kPaths, QStringLiteral("CalOpen"), rt::TrimBlanks(Settings.CalOpenPath));
    Put(kPaths, QStringLiteral("CalSave"), rt::TrimBlanks(Settings.CalSavePath));
    Put(kPaths, QStringLiteral("ImgOpen"), rt::TrimBlanks(Settings.ImgOpenPath));
    Put(kPaths, QStringLiteral("ImgSave"), rt::TrimBlanks(Settings.ImgSavePath));

    Put(kPrinter, QStringLiteral("BckImg"), QString::number(Settings.PrintBackground));
    Put(kPrinter, QStringLiteral("Copies"), QString::number(Settings.PrintCopies));
    for (int m = 1; m <= 12; ++m)
        Put(kPrinter, QStringLiteral("Month") + QString::number(m),
            QString::number(Settings.PrintMonths(m)));

    for (int n = 1; n <= 10; ++n)
        Put(kAlarm, QStringLiteral("Sound") + QString::number(n),
            rt::TrimBlanks(Settings.SoundFiles(n)));
}

int32_t ShowSplashSetting() {
    return StoredNumber<int32_t>(QStringLiteral("General"), QStringLiteral("ShowSplash"), 1);
}

int16_t AlarmIntervalSetting() {
    return StoredNumber<int16_t>(kAlarm, QStringLiteral("IntervalChk"), 15);
}
