#include "zip_archive.h"

#include "cp1252.h"
#include "file_output.h"
#include "rt_error.h"
#include "system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>
#include <quazip/quacrc32.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <quazip/quazipnewinfo.h>
#include <quazip/unzip.h>

#include <QTextCodec>
#include <langinfo.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rt {

namespace {

// The UTF-8 codec, for the names QuaZip reads in the locale's character set.
class Utf8NameCodec : public QTextCodec {
public:
    QByteArray name() const override { return QByteArrayLiteral("UTF-8"); }
    int mibEnum() const override { return 106; }

protected:
    QString convertToUnicode(const char* in, int length, ConverterState*) const override {
        return QString::fromUtf8(in, length);
    }
    QByteArray convertFromUnicode(const QChar* in, int length, ConverterState*) const override {
        return QStringView(in, length).toUtf8();
    }
};

// Names stored without the UTF-8 flag are read in the locale's character set, QuaZip's default.
// Under a UTF-8 locale that codec is given here: Qt finds the locale's codec through the ICU
// converter tables otherwise, which then stay loaded for the life of the program.
void useLocaleCodecForNames() {
    static const bool once = [] {
        if (std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0)
            QTextCodec::setCodecForLocale(new Utf8NameCodec); // owned by Qt's codec list
        return true;
    }();
    (void)once;
}

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
    entries_.push_back(Entry{QFileInfo(filePath).fileName(), filePath, {}, password});
}

void ZipArchive::addData(const QString& entryName, Producer produce, const QString& password) {
    entries_.push_back(Entry{entryName, QString(), std::move(produce), password});
}

FileIdentity ZipArchive::write(const QString& target, const FileIdentity& expected) const {
    FileOutput out(target, FileOutput::Mode::Replace, expected);
    // Every failure inside the component shows as a zip error; the file knows its cause.
    const auto failed = [&](int32_t number) {
        out.raiseIfFailed();
        fail(number);
    };

    useLocaleCodecForNames();
    QuaZip zip(&out);
    zip.setAutoClose(false); // the file is committed, never closed, by us
    // Sizes and CRC go into the local header: with a data descriptor instead, other tools
    // check an encrypted entry's password byte against the wrong value.
    zip.setDataDescriptorWritingEnabled(false);
    zip.setUtf8Enabled(true);
    if (!zip.open(QuaZip::mdCreate)) failed(ErrDeviceIO);

    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    for (const Entry& entry : entries_) {
        std::optional<InputFile> in;
        QByteArray data;
        std::optional<QuaZipNewInfo> newInfo;
        if (entry.produce) {
            data = entry.produce();
            if (data.isNull()) continue;
            newInfo.emplace(entry.name);
            // Private to its owner once extracted by another tool.
            newInfo->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ReadUser | QFileDevice::WriteUser);
        } else {
            in.emplace(entry.path);
            newInfo.emplace(entry.name, entry.path);
        }
        // The entry's bytes piece by piece, from memory or from its file.
        qint64 offset = 0;
        const auto next = [&]() -> QByteArray {
            if (in) {
                const qint64 n = in->read(buffer);
                return QByteArray::fromRawData(buffer.constData(), n);
            }
            const qint64 n = std::min<qint64>(buffer.size(), data.size() - offset);
            const QByteArray piece = QByteArray::fromRawData(data.constData() + offset, n);
            offset += n;
            return piece;
        };
        const auto rewind = [&] {
            if (in) in->rewind();
            offset = 0;
        };

        QuaZipFile file(&zip);
        bool opened;
        if (entry.password.isEmpty()) {
            opened = file.open(QIODevice::WriteOnly, *newInfo);
        } else {
            // Without a data descriptor the encryption header's check byte is the top byte of
            // the CRC, so the CRC must be known before the data is written.
            QuaCrc32 crc;
            for (QByteArray piece = next(); !piece.isEmpty(); piece = next())
                crc.update(piece);
            rewind();
            if (betweenPieces_) betweenPieces_();
            const QByteArray password = toCp1252(entry.password);
            opened = file.open(QIODevice::WriteOnly, *newInfo, password.constData(), crc.value());
        }
        if (!opened) failed(ErrDeviceIO);
        for (QByteArray piece = next(); !piece.isEmpty(); piece = next()) {
            if (file.write(piece.constData(), piece.size()) != piece.size()) {
                file.close();
                failed(ErrDeviceIO);
            }
            if (betweenPieces_) betweenPieces_();
        }
        file.close();
        if (file.getZipError() != ZIP_OK) failed(ErrDeviceIO);
    }
    zip.close();
    if (zip.getZipError() != ZIP_OK) failed(ErrDeviceIO);
    out.commit();
    return out.identity();
}

QStringList ZipArchive::extract(const QString& archive, const QString& folder,
                                const QString& password, const ZipLimits& limits) {
    ZipReader reader(archive, password, limits);
    const QDir target(folder);
    for (const QString& name : reader.names()) {
        // Read whole before its file is made: a failure leaves no partial file.
        const QByteArray data = reader.read(name);
        FileOutput out(target.filePath(name), FileOutput::Mode::Direct);
        out.writeAll(data.constData(), data.size());
        out.commit();
    }
    return reader.names();
}

ZipReader::ZipReader(const QString& archive, const QString& password, const ZipLimits& limits)
    : password_(toCp1252(password)), hasPassword_(!password.isEmpty()), limits_(limits) {
    // Opened once by the system, so that the reason a file cannot be read is known, and never
    // waiting on a special file that carries the name.
    const int fd = ::open(FileNameBytes(archive).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR) fail(ErrFileNotFound);
        if (err == EACCES || err == EPERM) throw fileError(ErrPermissionDenied, archive);
        fail(ErrZipNotArchive);
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        if (folder) throw fileError(ErrPathFileAccess, archive);
        fail(ErrZipNotArchive);
    }
    identity_ = FileIdentity{quint64(st.st_dev), quint64(st.st_ino)};
    file_ = std::make_unique<QFile>();
    if (!file_->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        fail(ErrZipNotArchive);
    }
    useLocaleCodecForNames();
    zip_ = std::make_unique<QuaZip>(file_.get());
    if (!zip_->open(QuaZip::mdUnzip)) fail(ErrZipNotArchive);
    if (zip_->getEntriesCount() > limits.MaxEntries) fail(ErrZipTooLarge);

    // What the archive declares is refused before anything is read; what comes out is
    // counted as well, since a declared size may lie.
    quint64 declared = 0;
    for (bool more = zip_->goToFirstFile(); more; more = zip_->goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!zip_->getCurrentFileInfo(&info)) fail(ErrZipNotArchive);
        const QString name = ZipArchive::bareName(info.name);
        if (name.isEmpty()) continue; // folders and names that lead out of the folder
        declared += std::min<quint64>(info.uncompressedSize, quint64(limits.MaxTotalSize) + 1);
        if (declared > quint64(limits.MaxTotalSize)) fail(ErrZipTooLarge);
        unz64_file_pos pos{};
        if (unzGetFilePos64(zip_->getUnzFile(), &pos) != UNZ_OK) fail(ErrZipNotArchive);
        if (!entries_.contains(name)) names_.append(name);
        entries_.insert(name, Entry{pos.pos_in_zip_directory, pos.num_of_file,
                                    info.uncompressedSize, info.isEncrypted()});
    }
    if (zip_->getZipError() != UNZ_OK) fail(ErrZipNotArchive);
}

ZipReader::~ZipReader() {
    if (zip_) zip_->close();
}

qint64 ZipReader::declaredSize(const QString& name) const {
    const auto it = entries_.constFind(name);
    return it == entries_.cend() ? -1 : qint64(it->size);
}

bool ZipReader::goTo(const Entry& entry) {
    // The archive has a current entry again, then the one asked for.
    if (!zip_->goToFirstFile()) return false;
    unz64_file_pos pos{entry.directoryPos, entry.number};
    return unzGoToFilePos64(zip_->getUnzFile(), &pos) == UNZ_OK;
}

bool ZipReader::openCurrent(QuaZipFile& file, const Entry& entry) const {
    // A password given for an entry that is not encrypted would garble it.
    return entry.encrypted ? file.open(QIODevice::ReadOnly, password_.constData())
                           : file.open(QIODevice::ReadOnly);
}

int32_t ZipReader::openEntry(const QString& name, QuaZipFile& file, Entry& entry) {
    const auto it = entries_.constFind(name);
    if (it == entries_.cend()) fail(ErrFileNotFound);
    entry = *it;
    // Every failure on an encrypted entry is the password's: a wrong one shows only as
    // garbage that fails to inflate, or as a CRC error once the entry is read to its end.
    const int32_t dataError = entry.encrypted ? ErrZipPassword : ErrZipCorrupt;
    if (entry.encrypted && !hasPassword_) fail(ErrZipPassword);
    if (!goTo(entry)) fail(ErrZipNotArchive);
    if (!openCurrent(file, entry)) fail(dataError);
    return dataError;
}

void ZipReader::readBlocks(const QString& name,
                           const std::function<void(const char*, qsizetype)>& take) {
    const std::function<qsizetype(char*, qsizetype)> next = stream(name);
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    while (const qsizetype n = next(buffer.data(), buffer.size()))
        take(buffer.constData(), n);
}

QByteArray ZipReader::read(const QString& name) {
    QByteArray data;
    const qint64 declared = declaredSize(name);
    if (declared > 0) data.reserve(qsizetype(std::min<qint64>(declared, 64 << 20)));
    readBlocks(name, [&](const char* bytes, qsizetype size) { data.append(bytes, size); });
    return data;
}

std::function<qsizetype(char*, qsizetype)> ZipReader::readAgain(const QString& name) {
    auto file = std::make_shared<QuaZipFile>(zip_.get());
    Entry entry;
    const int32_t dataError = openEntry(name, *file, entry);
    return [file, dataError, left = entry.size](char* to, qsizetype size) mutable {
        // Read and checked once already: it gives the same bytes, and no more than then.
        const qint64 n = file->read(to, qint64(std::min<quint64>(quint64(size), left)));
        if (n < 0) fail(dataError);
        left -= quint64(n);
        return qsizetype(n);
    };
}

std::function<qsizetype(char*, qsizetype)> ZipReader::stream(const QString& name) {
    auto file = std::make_shared<QuaZipFile>(zip_.get());
    Entry entry;
    const int32_t dataError = openEntry(name, *file, entry);
    return [this, file, dataError, declared = entry.size, size = quint64(0),
            ended = false](char* to, qsizetype room) mutable -> qsizetype {
        if (ended) return 0;
        const qint64 n = file->read(to, room);
        if (n < 0) fail(dataError);
        // More than declared: the entry is damaged, whatever else it holds.
        if (size + quint64(n) > declared) fail(dataError);
        size += quint64(n);
        if (total_ + qint64(size) > limits_.MaxTotalSize) fail(ErrZipTooLarge);
        if (n > 0) return qsizetype(n);
        ended = true;
        file->close();
        // A stream that stops early is as damaged as one that fails its CRC.
        if (file->getZipError() != UNZ_OK || size != declared) fail(dataError);
        total_ += qint64(size);
        return 0;
    };
}

std::unique_ptr<QIODevice> ZipReader::open(const QString& name) {
    const auto it = entries_.constFind(name);
    if (it == entries_.cend() || (it->encrypted && !hasPassword_) || !goTo(*it)) return nullptr;
    auto file = std::make_unique<QuaZipFile>(zip_.get());
    if (!openCurrent(*file, *it)) return nullptr;
    return file;
}

} // namespace rt
