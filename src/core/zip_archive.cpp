#include "zip_archive.h"

#include "cp1252.h"
#include "file_output.h"
#include "rt_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <quazip/quacrc32.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>

#include <algorithm>

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

// The source file of an entry, read in pieces.
class InputFile {
public:
    explicit InputFile(const QString& path) : file_(path) {
        const QFileInfo info(path);
        if (!info.exists()) fail(ErrFileNotFound);
        if (!info.isFile() || !file_.open(QIODevice::ReadOnly)) fail(ErrPathFileAccess);
    }
    // The next piece into buffer; 0 at the end.
    qint64 read(QByteArray& buffer) {
        const qint64 n = file_.read(buffer.data(), buffer.size());
        if (n < 0 || file_.error() != QFileDevice::NoError) fail(ErrDeviceIO);
        return n;
    }
    void rewind() {
        if (!file_.seek(0)) fail(ErrDeviceIO);
    }

private:
    QFile file_;
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
    FileOutput out(target, FileOutput::Mode::Replace);
    // Every failure inside the component shows as a zip error; the file knows its cause.
    const auto failed = [&](int32_t number) {
        out.raiseIfFailed();
        fail(number);
    };

    QuaZip zip(&out);
    zip.setAutoClose(false); // the file is committed, never closed, by us
    // Sizes and CRC go into the local header: with a data descriptor instead, other tools
    // check an encrypted entry's password byte against the wrong value.
    zip.setDataDescriptorWritingEnabled(false);
    zip.setUtf8Enabled(true);
    if (!zip.open(QuaZip::mdCreate)) failed(ErrDeviceIO);

    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    for (const Entry& entry : entries_) {
        InputFile in(entry.path);
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
            while (const qint64 n = in.read(buffer))
                crc.update(QByteArray::fromRawData(buffer.constData(), n));
            in.rewind();
            const QByteArray password = toCp1252(entry.password);
            opened = file.open(QIODevice::WriteOnly, newInfo, password.constData(), crc.value());
        }
        if (!opened) failed(ErrDeviceIO);
        while (const qint64 n = in.read(buffer)) {
            if (file.write(buffer.constData(), n) != n) {
                file.close();
                failed(ErrDeviceIO);
            }
        }
        file.close();
        if (file.getZipError() != ZIP_OK) failed(ErrDeviceIO);
    }
    zip.close();
    if (zip.getZipError() != ZIP_OK) failed(ErrDeviceIO);
    out.commit();
}

QStringList ZipArchive::extract(const QString& archive, const QString& folder,
                                const QString& password, const ZipLimits& limits) {
    const QFileInfo archiveInfo(archive);
    if (!archiveInfo.exists()) fail(ErrFileNotFound);
    if (!archiveInfo.isFile()) fail(ErrZipNotArchive);

    QuaZip zip(archive);
    if (!zip.open(QuaZip::mdUnzip)) fail(ErrZipNotArchive);
    if (zip.getEntriesCount() > limits.MaxEntries) fail(ErrZipTooLarge);

    // What the archive declares is refused before anything is written; what comes out is
    // counted as well, since a declared size may lie.
    quint64 declared = 0;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!zip.getCurrentFileInfo(&info)) fail(ErrZipNotArchive);
        if (bareName(info.name).isEmpty()) continue;
        declared += std::min<quint64>(info.uncompressedSize, quint64(limits.MaxTotalSize) + 1);
        if (declared > quint64(limits.MaxTotalSize)) fail(ErrZipTooLarge);
    }
    if (zip.getZipError() != UNZ_OK) fail(ErrZipNotArchive);

    const QByteArray passwordBytes = toCp1252(password);
    const QDir target(folder);
    QStringList names;
    QSet<QString> written;
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

        QuaZipFile entry(&zip);
        // A password given for an entry that is not encrypted would garble it.
        const bool opened = encrypted ? entry.open(QIODevice::ReadOnly, passwordBytes.constData())
                                      : entry.open(QIODevice::ReadOnly);
        if (!opened) fail(dataError);

        FileOutput out(target.filePath(name), FileOutput::Mode::Direct);
        quint64 entrySize = 0;
        for (;;) {
            const qint64 n = entry.read(buffer.data(), buffer.size());
            if (n < 0) fail(dataError);
            if (n == 0) break;
            entrySize += quint64(n);
            total += n;
            if (total > limits.MaxTotalSize) fail(ErrZipTooLarge);
            out.writeAll(buffer.constData(), n);
        }
        entry.close();
        // The CRC is checked only for an entry read to its end: a stream that stops early
        // is as damaged as one that fails its CRC.
        if (entry.getZipError() != UNZ_OK || entrySize != info.uncompressedSize) fail(dataError);
        out.commit();
        if (!written.contains(name)) {
            written.insert(name);
            names.append(name);
        }
    }
    if (zip.getZipError() != UNZ_OK) fail(ErrZipNotArchive);
    return names;
}

} // namespace rt
