#include "file_output.h"

#include "rt_error.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
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

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

FileOutput::FileOutput(const QString& path, Mode mode) : path_(path) {
    if (mode == Mode::Direct) {
        file_ = QFile::encodeName(path);
        fd_ = ::open(file_.constData(),
                     O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd_ < 0) raiseErrno(errno);
        struct stat st {};
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd_);
            fd_ = -1;
            file_.clear(); // not ours to remove
            raiseErrno(EISDIR);
        }
    } else {
        QFileInfo target(path);
        if (target.isSymLink()) target = QFileInfo(target.symLinkTarget());
        if (const int32_t number = numberForUnwritableTarget(target)) raiseNumber(number);
        final_ = QFile::encodeName(target.absoluteFilePath());
        QByteArray pattern = final_ + ".XXXXXX";
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
    throw RtError(number, errorDescription(number) + QStringLiteral(" : ") + path_,
                  QString::fromLatin1(kAppTitle));
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
