#pragma once
// The process and machine facts the program reads: clock, screen, colour depth, program folder
// and command line. One replaceable instance, so that tests can fix each of them.

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>

namespace rt {

class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    // The local date and time now.
    virtual QDateTime now() const;
    QDate today() const { return now().date(); }
    // Size of the primary screen in pixels.
    virtual QSize screenSize() const;
    // The part of the primary screen that windows may take (without panels and docks), in
    // device-independent pixels; empty when there is no screen.
    virtual QRect availableArea() const;
    // Bits per pixel of the display (4 = 16 colours, 8 = 256 colours, more = full colour).
    virtual int colorDepth() const;
    // Folder of the program file, without a trailing separator.
    virtual QString programFolder() const;
    // The program file's name without its folder.
    virtual QString executableName() const;
    // The user's folders for documents and for pictures, without a trailing separator: those
    // the desktop names, or the home folder where there is none.
    virtual QString documentsFolder() const;
    virtual QString picturesFolder() const;
    // The text after the program's own name: the arguments joined by blanks.
    virtual QString commandLine() const;
    // The same as the system handed it over, in bytes: a name that is not valid in the
    // system's encoding keeps there what its text shows as replacement characters.
    virtual QByteArray commandLineBytes() const;
};

// A system whose every fact is set by the caller (tests); unset facts fall back to the real one.
class FixedSystemInfo : public SystemInfo {
public:
    QDateTime now() const override { return Now.isValid() ? Now : SystemInfo::now(); }
    QSize screenSize() const override {
        return Screen.isValid() ? Screen : SystemInfo::screenSize();
    }
    // Available (or else the whole of Screen) in device pixels, divided by Scale.
    QRect availableArea() const override;
    int colorDepth() const override { return Depth > 0 ? Depth : SystemInfo::colorDepth(); }
    QString programFolder() const override {
        return ProgramFolder.isNull() ? SystemInfo::programFolder() : ProgramFolder;
    }
    QString executableName() const override {
        return ExecutableName.isNull() ? SystemInfo::executableName() : ExecutableName;
    }
    QString documentsFolder() const override {
        return DocumentsFolder.isNull() ? SystemInfo::documentsFolder() : DocumentsFolder;
    }
    QString picturesFolder() const override {
        return PicturesFolder.isNull() ? SystemInfo::picturesFolder() : PicturesFolder;
    }
    QString commandLine() const override { return CommandLine; }
    QByteArray commandLineBytes() const override {
        return CommandLineBytes.isNull() ? QFile::encodeName(CommandLine) : CommandLineBytes;
    }

    QDateTime Now;
    QSize Screen;
    QRect Available;
    // Device pixels per device-independent pixel, as a scale factor of the display sets it.
    double Scale = 1.0;
    int Depth = 0;
    QString ProgramFolder;
    QString ExecutableName;
    QString DocumentsFolder;
    QString PicturesFolder;
    QString CommandLine;
    QByteArray CommandLineBytes; // null: CommandLine's
};

// Keeps the program's arguments as the system handed them over (the application object's
// argv, once it has taken its own options out).
void SetProgramArguments(int argc, const char* const* argv);

// A file's name whose bytes are not valid in the system's encoding shows with replacement
// characters, and that text names no file. The bytes of such a name, as given to the program,
// are kept beside the text it shows, so that the file it names is read and written all the
// same.
void RememberFileNameBytes(const QString& name, const QByteArray& bytes);
// The bytes the file system knows the file name by: those remembered for it, else its
// encoding.
QByteArray FileNameBytes(const QString& name);

SystemInfo& sys();
// Installs a new system; returns the previous one. Passing nullptr restores the real system.
std::shared_ptr<SystemInfo> setSystem(std::shared_ptr<SystemInfo> system);

} // namespace rt
