#pragma once
// Run-time errors as the original runtime raised them: a number, a description and a source.
// Procedures that trap errors catch RtError and report these three fields.

#include <QString>
#include <cstdint>
#include <stdexcept>

namespace rt {

// Error numbers used by the program.
enum ErrorNumber : int32_t {
    ErrInvalidCall = 5,
    ErrOverflow = 6,
    ErrOutOfMemory = 7,
    ErrSubscript = 9,
    ErrDivisionByZero = 11,
    ErrTypeMismatch = 13,
    ErrBadFileName = 52,
    ErrFileNotFound = 53,
    ErrDeviceIO = 57,
    ErrFileExists = 58,
    ErrDiskFull = 61,
    ErrInputPastEnd = 62,
    ErrPermissionDenied = 70,
    ErrPathFileAccess = 75,
    ErrPathNotFound = 76,
    ErrObjectNotSet = 91,
    ErrInvalidProperty = 380,
    ErrWrongArguments = 450,
    ErrInvalidPicture = 481,
    ErrPrinter = 482,
    ErrCancel = 32755, // a common dialog cancelled by the user
};

class RtError : public std::runtime_error {
public:
    RtError(int32_t number, QString description = {}, QString source = {});

    int32_t Number;
    QString Description;
    QString Source;
};

// The runtime's own French description of an error number ("" when it has none).
QString errorDescription(int32_t number);

// Application name used as the source of the program's own errors.
inline const char* const kAppTitle = "Mirovanta";

[[noreturn]] void raise(int32_t number, const QString& source = QString::fromLatin1(kAppTitle));

} // namespace rt
