#include "zip_archive.h"

#include "cp1252.h"
#include "rt_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <quazip/quacrc32.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rt {

namespace {

const QString& source() {
    static const QString s = QStringLiteral("ZipArchive");
    return s;
}

QString zipDescription(int32_t number) {
    switch (number) {
    case ErrZipNotArchive:
        return QStringLiteral("Le fichier n'est pas une archive zip ou l'archive est endommagée.");
    case ErrZipCorrupt:
        return QStringLiteral("Une entrée de l'archive est endommagée.");
    case ErrZipTooLarge:
        return QStringLiteral(
            "L'archive contient trop d'entrées ou des données trop volumineuses.");
    case ErrZipPassword:
        return QStringLiteral("Mot de passe manquant ou incorrect.");
    default:
        return errorDescription(number);
    }
}

[[noreturn]] void fail(int32_t number) {
    throw RtError(number, zipDescription(number), source());
}

// The runtime's error number for a system error while creating or writing a file.
int32_t numberOfErrno(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return ErrPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrPermissionDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrDiskFull;
    case EIO:
        return ErrDeviceIO;
    default:
        return ErrPathFileAccess;
    }
}

// Why a save file could not be opened beside target.
int32_t numberForUnopenedTarget(const QString& target) {
    const QFileInfo info(target);
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists() || !folder.isDir()) return ErrPathNotFound;
    if (info.isDir()) return ErrPathFileAccess;
    if (!folder.isWritable() || (info.exists() && !info.isWritable())) return ErrPermissionDenied;
    return ErrPathFileAccess;
}

int32_t numberForDeviceError(const QFileDevice& device) {
    return device.error() == QFileDevice::ResourceError ? ErrDiskFull : ErrDeviceIO;
}

QByteArray readWholeFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) fail(ErrFileNotFound);
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) fail(ErrPathFileAccess);
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) fail(ErrDeviceIO);
    return data;
}

// A regular file created (or truncated) for writing, never through a symbolic link and never
// blocking on a special file that happens to carry the name.
class OutputFile {
public:
    explicit OutputFile(const QString& path) : path_(QFile::encodeName(path)) {
        fd_ = ::open(path_.constData(),
                     O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd_ < 0) fail(numberOfErrno(errno));
        struct stat st {};
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd_);
            fd_ = -1;
            fail(ErrPathFileAccess);
        }
    }
    ~OutputFile() {
        if (fd_ >= 0) {
            ::close(fd_);
            if (!complete_) ::unlink(path_.constData());
        }
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(const char* data, qint64 size) {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size_t(size));
            if (n < 0) {
                if (errno == EINTR) continue;
                fail(numberOfErrno(errno));
            }
            data += n;
            size -= n;
        }
    }
    void finish() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            ::unlink(path_.constData());
            fail(numberOfErrno(errno));
        }
        complete_ = true;
    }

private:
    QByteArray path_;
    int fd_ = -1;
    bool complete_ = false;
};

} // namespace

QString ZipArchive::bareName(const QString& entryName) {
    const qsizetype cut =
        std::max(entryName.lastIndexOf(QLatin1Char('/')), entryName.lastIndexOf(QLatin1Char('\\')));
    const QString name = entryName.mid(cut + 1);
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QChar(0)))
        return QString();
    return name;
}

void ZipArchive::addFile(const QString& filePath, const QString& password) {
    entries_.push_back(Entry{filePath, password});
}

void ZipArchive::write(const QString& target) const {
    QSaveFile save(target);
    if (!save.open(QIODevice::WriteOnly)) fail(numberForUnopenedTarget(target));

    QuaZip zip(&save);
    zip.setAutoClose(false); // the save file is committed, never closed, by us
    // Sizes and CRC go into the local header: with a data descriptor instead, other tools
    // check an encrypted entry's password byte against the wrong value.
    zip.setDataDescriptorWritingEnabled(false);
    zip.setUtf8Enabled(true);
    if (!zip.open(QuaZip::mdCreate)) fail(numberForDeviceError(save));

    for (const Entry& entry : entries_) {
        const QByteArray data = readWholeFile(entry.path);
        const QFileInfo info(entry.path);
        QuaZipNewInfo newInfo(info.fileName(), entry.path);
        QuaZipFile file(&zip);
        bool opened;
        if (entry.password.isEmpty()) {
            opened = file.open(QIODevice::WriteOnly, newInfo);
        } else {
            // Without a data descriptor the encryption header's check byte is the top byte of
            // the CRC, so the CRC must be known before the data is written.
            QuaCrc32 crc;
            const QByteArray password = toCp1252(entry.password);
            opened =
                file.open(QIODevice::WriteOnly, newInfo, password.constData(), crc.calculate(data));
        }
        if (!opened) fail(numberForDeviceError(save));
        const qint64 written = file.write(data);
        file.close();
        if (written != data.size() || file.getZipError() != ZIP_OK)
            fail(numberForDeviceError(save));
    }
    zip.close();
    if (zip.getZipError() != ZIP_OK || save.error() != QFileDevice::NoError)
        fail(numberForDeviceError(save));
    if (!save.commit()) fail(numberForDeviceError(save));
}

QStringList ZipArchive::extract(const QString& archive, const QString& folder,
                                const QString& password, const ZipLimits& limits) {
    const QFileInfo archiveInfo(archive);
    if (!archiveInfo.exists()) fail(ErrFileNotFound);
    if (!archiveInfo.isFile()) fail(ErrZipNotArchive);

    QuaZip zip(archive);
    if (!zip.open(QuaZip::mdUnzip)) fail(ErrZipNotArchive);
    if (zip.getEntriesCount() > limits.MaxEntries) fail(ErrZipTooLarge);

    const QByteArray passwordBytes = toCp1252(password);
    const QDir target(folder);
    QStringList names;
    qint64 total = 0;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);

    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!zip.getCurrentFileInfo(&info)) fail(ErrZipNotArchive);
        const QString name = bareName(info.name);
        if (name.isEmpty()) continue; // folders and names that lead out of the folder

        const bool encrypted = info.isEncrypted();
        // Every failure on an encrypted entry is the password's: a wrong one shows only as
        // garbage that fails to inflate, or as a CRC error once the entry is read to its end.
        const int32_t dataError = encrypted ? ErrZipPassword : ErrZipCorrupt;
        if (encrypted && password.isEmpty()) fail(ErrZipPassword);
        if (info.uncompressedSize > quint64(limits.MaxTotalSize - total)) fail(ErrZipTooLarge);

        QuaZipFile entry(&zip);
        // A password given for an entry that is not encrypted would garble it.
        const bool opened = encrypted ? entry.open(QIODevice::ReadOnly, passwordBytes.constData())
                                      : entry.open(QIODevice::ReadOnly);
        if (!opened) fail(dataError);

        OutputFile out(target.filePath(name));
        quint64 entrySize = 0;
        for (;;) {
            const qint64 n = entry.read(buffer.data(), buffer.size());
            if (n < 0) fail(dataError);
            if (n == 0) break;
            entrySize += quint64(n);
            total += n;
            if (total > limits.MaxTotalSize) fail(ErrZipTooLarge);
            out.write(buffer.constData(), n);
        }
        entry.close();
        // The CRC is checked only for an entry read to its end: a stream that stops early
        // is as damaged as one that fails its CRC.
        if (entry.getZipError() != UNZ_OK || entrySize != info.uncompressedSize) fail(dataError);
        out.finish();
        if (!names.contains(name)) names.append(name);
    }
    if (zip.getZipError() != UNZ_OK) fail(ErrZipNotArchive);
    return names;
}

} // namespace rt
