#include "file_output.h"

#include "rt_error.h"
#include "system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rt {

namespace {

// The runtime's error number for a system error while creating or writing a file.
int32_t errorNumberOfErrno(int err) {
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
    case EFBIG: // the file size limit: no more room for this file
        return ErrDiskFull;
    case EIO:
        return ErrDeviceIO;
    default:
        return ErrPathFileAccess;
    }
}

// Why a new file cannot be made in place of target, from what can be seen before trying.
int32_t numberForUnwritableTarget(const QFileInfo& target) {
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists() || !folder.isDir()) return ErrPathNotFound;
    if (target.isDir()) return ErrPathFileAccess;
    if (!folder.isWritable() || (target.exists() && !target.isWritable()))
        return ErrPermissionDenied;
    return 0;
}

// The file a write through path lands in: the end of its chain of symbolic links. An existing
// end is found by the system; a dangling chain is followed one link at a time, each relative
// target taken from its own link's folder, to the name that does not exist yet.
QString endOfLinks(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink()) return info.absoluteFilePath();
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty()) return canonical;
    QString current = info.absoluteFilePath();
    for (int step = 0; step < 40; ++step) { // the system's own bound on a chain
        char target[PATH_MAX];
        const ssize_t n = ::readlink(QFile::encodeName(current).constData(), target, sizeof target);
        if (n < 0) return current; // not a link: the end of the chain
        const QString next = QFile::decodeName(QByteArray(target, int(n)));
        current = QFileInfo(next).isAbsolute()
                      ? next
                      : QFileInfo(current).absolutePath() + QLatin1Char('/') + next;
    }
    return QString(); // a loop
}

// The start of the names of the new files written beside target: hidden, and used by this
// program alone, so that one left by a write that was killed can be told apart and removed.
// The document's own name is cut to leave room for the rest within the longest file name.
QByteArray partialPrefix(const QByteArray& target) {
    static const QByteArray tag = ".mirovanta-";
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray name = target.mid(slash + 1).left(NAME_MAX - 1 - tag.size() - 6);
    return target.left(slash + 1) + '.' + name + tag;
}

// Removes the regular files of this user that earlier, interrupted writes left under prefix.
void removeLeftOvers(const QByteArray& prefix) {
    const qsizetype slash = prefix.lastIndexOf('/');
    const QByteArray folder = prefix.left(slash + 1);
    const QByteArray start = prefix.mid(slash + 1);
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.size() != start.size() + 6 || !name.startsWith(start)) continue;
        const QByteArray path = folder + name;
        struct stat st {};
        if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid())
            ::unlink(path.constData());
    }
    ::closedir(dir);
}

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

RtError fileError(int32_t number, const QString& path) {
    QString description = errorDescription(number) + QStringLiteral(" : ") + path;
    const QFileInfo info(path);
    if (number == ErrPathNotFound && !QFileInfo(info.absolutePath()).isDir())
        description += QStringLiteral(" (le dossier %1 n'existe pas)")
                           .arg(QDir::toNativeSeparators(info.absolutePath()));
    else if (number == ErrPathFileAccess && info.isDir())
        description += QStringLiteral(" (ce nom est celui d'un dossier)");
    return RtError(number, description, QString::fromLatin1(kAppTitle));
}

FileOutput::FileOutput(const QString& path, Mode mode) : path_(path) {
    if (mode == Mode::Direct) {
        file_ = FileNameBytes(path);
        // The user's umask decides who else may read it, as for any other program's file.
        fd_ = ::open(file_.constData(),
                     O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
        if (fd_ < 0) raiseErrno(errno);
        struct stat st {};
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd_);
            fd_ = -1;
            file_.clear(); // not ours to remove
            raiseErrno(EISDIR);
        }
    } else {
        // Every link of a chain stays a link: the file at its end is the one replaced.
        const QString end = endOfLinks(path);
        if (end.isEmpty()) raiseErrno(ELOOP);
        const QFileInfo target(end);
        if (const int32_t number = numberForUnwritableTarget(target)) raiseNumber(number);
        final_ = FileNameBytes(target.absoluteFilePath());
        const QByteArray prefix = partialPrefix(final_);
        removeLeftOvers(prefix);
        QByteArray pattern = prefix + "XXXXXX";
        fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd_ < 0) raiseErrno(errno);
        file_ = pattern;
        // The new file takes the access rights of the one it replaces, or the usual ones.
        struct stat st {};
        const mode_t rights =
            ::stat(final_.constData(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~currentUmask());
        if (::fchmod(fd_, rights) != 0) {
            const int err = errno;
            discard();
            raiseErrno(err);
        }
    }
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

FileOutput::~FileOutput() {
    discard();
}

void FileOutput::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!committed_ && !file_.isEmpty()) ::unlink(file_.constData());
    file_.clear();
}

void FileOutput::raiseNumber(int32_t number) const {
    throw fileError(number, path_);
}

void FileOutput::raiseErrno(int err) const {
    raiseNumber(errorNumberOfErrno(err));
}

qint64 FileOutput::writeData(const char* data, qint64 size) {
    if (failedErrno_ != 0 || fd_ < 0) return -1;
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, data + done, size_t(size - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            failedErrno_ = errno;
            return -1;
        }
        done += n;
    }
    return done;
}

bool FileOutput::seek(qint64 pos) {
    if (fd_ < 0 || ::lseek(fd_, off_t(pos), SEEK_SET) < 0) return false;
    return QIODevice::seek(pos);
}

qint64 FileOutput::size() const {
    struct stat st {};
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 ? qint64(st.st_size) : 0;
}

void FileOutput::writeAll(const char* data, qint64 size) {
    if (write(data, size) != size) {
        raiseIfFailed();
        raiseErrno(EIO);
    }
}

void FileOutput::raiseIfFailed() const {
    if (failedErrno_ != 0) raiseErrno(failedErrno_);
}

void FileOutput::commit() {
    raiseIfFailed();
    if (fd_ < 0) raiseErrno(EBADF);
    // Some file systems report a full disk only when the data reaches it; a work file that is
    // read back at once need not wait for the disk.
    if (!final_.isEmpty() && ::fsync(fd_) != 0) raiseErrno(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) raiseErrno(errno);
    if (!final_.isEmpty() && ::rename(file_.constData(), final_.constData()) != 0)
        raiseErrno(errno);
    committed_ = true;
    QIODevice::close();
}

} // namespace rt
