#include "file_output.h"

#include "rt_error.h"
#include "system.h"
#include "ui_services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace rt {

namespace {

void (*saveStepHook)(SaveStep) = nullptr;
int saveLockWaitMs = 30000;

void reachStep(SaveStep step) {
    if (saveStepHook) saveStepHook(step);
}

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

// What the number alone does not say of a system error.
QString causeOfErrno(int err) {
    switch (err) {
    case EFBIG:
        return QStringLiteral("la taille maximale d'un fichier est atteinte");
    case EDQUOT:
        return QStringLiteral("le quota de l'utilisateur est atteint");
    case EROFS:
        return QStringLiteral("le système de fichiers est en lecture seule");
    default:
        return QString();
    }
}

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QString nameOf(const QByteArray& path) {
    return QDir::toNativeSeparators(QFile::decodeName(path));
}

FileIdentity identityOf(const struct stat& st) {
    return FileIdentity{quint64(st.st_dev), quint64(st.st_ino)};
}

// Whether a write may follow the symbolic link at link: this user's or root's own, or in a
// folder where no one else may put a link (neither sticky nor writable by group or others).
// A link someone else planted in a shared folder could otherwise send the save onto any file
// of this user's.
bool linkIsTrusted(const QByteArray& link, const struct stat& st) {
    if (st.st_uid == ::geteuid() || st.st_uid == 0) return true;
    struct stat folder {};
    if (::stat(folderOf(link).constData(), &folder) != 0) return false;
    return (folder.st_mode & (S_ISVTX | S_IWGRP | S_IWOTH)) == 0;
}

// The file a write through path lands in: the end of its chain of symbolic links, each relative
// target taken from its own link's folder, to a name that is not a link (which may not exist
// yet). Empty, with the error number and its cause, when the chain loops or holds a link that
// is not trusted.
QByteArray endOfLinks(const QByteArray& path, int32_t& number, QString& cause) {
    QByteArray current = QFile::encodeName(QFileInfo(QFile::decodeName(path)).absoluteFilePath());
    if (path.endsWith('/')) current += '/'; // a folder's name stays one
    for (int step = 0; step < 40; ++step) { // the system's own bound on a chain
        struct stat st {};
        if (::lstat(current.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        if (!linkIsTrusted(current, st)) {
            number = ErrPermissionDenied;
            cause = QStringLiteral("le lien symbolique %1 a été fait par un autre utilisateur")
                        .arg(nameOf(current));
            return QByteArray();
        }
        char target[PATH_MAX];
        const ssize_t n = ::readlink(current.constData(), target, sizeof target);
        if (n <= 0) return current;
        const QByteArray next(target, int(n));
        current = next.startsWith('/') ? next : folderOf(current) + '/' + next;
    }
    number = ErrPathFileAccess; // a loop
    cause = QString();
    return QByteArray();
}

// The start of the names of the files this program writes beside target: hidden, and used by
// this program alone, so that one left by a save that was killed can be told apart and removed.
// The document's own name is cut to leave room for the rest within the longest file name.
QByteArray partialPrefix(const QByteArray& target) {
    static const QByteArray tag = ".mirovanta-";
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray name = target.mid(slash + 1).left(NAME_MAX - 1 - tag.size() - 6);
    return target.left(slash + 1) + '.' + name + tag;
}

// A new partial file under prefix, private to this user and locked for as long as it is open,
// so that a removal of leftovers never takes a file a save still writes.
int createPartial(const QByteArray& prefix, QByteArray& name) {
    name = prefix + "XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        name.clear();
        return -1;
    }
    ::flock(fd, LOCK_EX | LOCK_NB);
    return fd;
}

// Calls take(path, fd, st) for each regular file under prefix that this user may read, opened
// for reading (never through a link) for the time of the call.
template <typename Take> void forEachPartial(const QByteArray& prefix, Take take) {
    const QByteArray folder = prefix.left(prefix.lastIndexOf('/') + 1);
    const QByteArray start = prefix.mid(folder.size());
    DIR* dir = ::opendir(folder.constData());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.size() != start.size() + 6 || !name.startsWith(start)) continue;
        const QByteArray path = folder + name;
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) take(path, fd, st);
        ::close(fd);
    }
    ::closedir(dir);
}

// Removes the regular files of this user that earlier, interrupted saves left under prefix,
// but for one that a save still holds open.
void removeLeftOvers(const QByteArray& prefix) {
    forEachPartial(prefix, [](const QByteArray& path, int fd, const struct stat& st) {
        if (st.st_uid == ::geteuid() && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
    });
}

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Gives the file at fd every extended attribute of the file at from (its access control list
// among them). False when one of them cannot be given.
bool copyAttributes(int from, int fd) {
    const ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size < 0) return errno == ENOTSUP;
    QByteArray names(size, '\0');
    const ssize_t got = ::flistxattr(from, names.data(), size_t(names.size()));
    if (got < 0) return false;
    names.truncate(got);
    for (const QByteArray& name : names.split('\0')) {
        if (name.isEmpty()) continue;
        const ssize_t length = ::fgetxattr(from, name.constData(), nullptr, 0);
        if (length < 0) return false;
        QByteArray value(length, '\0');
        const ssize_t read = ::fgetxattr(from, name.constData(), value.data(), size_t(length));
        if (read < 0 || ::fsetxattr(fd, name.constData(), value.constData(), size_t(read), 0) != 0)
            return false;
    }
    return true;
}

} // namespace

RtError fileError(int32_t number, const QString& path, const QString& cause) {
    QString description = errorDescription(number) + QStringLiteral(" : ") + path;
    const QFileInfo info(path);
    if (!cause.isEmpty())
        description += QStringLiteral(" (") + cause + u')';
    else if (number == ErrPathNotFound && !QFileInfo(info.absolutePath()).isDir())
        description += QStringLiteral(" (le dossier %1 n'existe pas)")
                           .arg(QDir::toNativeSeparators(info.absolutePath()));
    else if (number == ErrPathFileAccess && info.isDir())
        description += QStringLiteral(" (ce nom est celui d'un dossier)");
    return RtError(number, description, QString::fromLatin1(kAppTitle));
}

FileIdentity identityOfOpenFile(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? identityOf(st) : FileIdentity();
}

void removePartialFiles(const QString& path) {
    int32_t number = 0;
    QString cause;
    const QByteArray end = endOfLinks(FileNameBytes(path), number, cause);
    if (!end.isEmpty()) removeLeftOvers(partialPrefix(end));
}

QStringList partialFilesOf(const QString& path) {
    int32_t number = 0;
    QString cause;
    const QByteArray end = endOfLinks(FileNameBytes(path), number, cause);
    if (end.isEmpty()) return {};
    std::vector<std::pair<std::pair<qint64, qint64>, QByteArray>> found;
    forEachPartial(partialPrefix(end), [&](const QByteArray& name, int, const struct stat& st) {
        found.push_back({{qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec)}, name});
    });
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a > b; });
    QStringList names;
    for (const auto& file : found)
        names.append(QFile::decodeName(file.second));
    return names;
}

void setSaveStepHook(void (*hook)(SaveStep)) {
    saveStepHook = hook;
}

void setSaveLockWait(int milliseconds) {
    saveLockWaitMs = milliseconds;
}

void prepareProcessSignals() {
    // A write beyond the file size limit then fails with EFBIG, which the file's writer
    // reports, instead of ending the program and every unsaved change with it.
    std::signal(SIGXFSZ, SIG_IGN);
}

FileOutput::FileOutput(const QString& path, Mode mode, const FileIdentity& expected) : path_(path) {
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
        openReplacement(expected);
    }
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

void FileOutput::openReplacement(const FileIdentity& expected) {
    int32_t number = 0;
    QString cause;
    // Every link of a chain stays a link: the file at its end is the one saved.
    final_ = endOfLinks(FileNameBytes(path_), number, cause);
    if (final_.isEmpty()) raiseNumber(number, cause);
    const QByteArray folder = folderOf(final_);
    struct stat folderStat {};
    if (::stat(folder.constData(), &folderStat) != 0 || !S_ISDIR(folderStat.st_mode))
        raiseNumber(ErrPathNotFound);

    // Another save may put a new file in the place of the one this save waits for: a save over
    // a name that may take any file then goes on with the one there now, a few times at most.
    for (int attempt = 0; attempt < 4; ++attempt) {
        struct stat st {};
        if (::lstat(final_.constData(), &st) == 0) {
            if (openExisting(st, expected)) return;
            continue;
        }
        if (errno != ENOENT) raiseErrno(errno);
        // A new file: made beside its name, which it takes on commit.
        fd_ = createPartial(partialPrefix(final_), file_);
        if (fd_ < 0) {
            const int err = errno;
            if (err == EACCES || err == EPERM)
                raiseNumber(ErrPermissionDenied,
                            QStringLiteral("le dossier %1 n'est pas accessible en écriture")
                                .arg(nameOf(folder)));
            raiseErrno(err);
        }
        if (::fchmod(fd_, 0666 & ~currentUmask()) != 0) {
            const int err = errno;
            discard();
            raiseErrno(err);
        }
        return;
    }
    raiseNumber(ErrPathFileAccess,
                QStringLiteral("le fichier a été remplacé sur le disque pendant l'enregistrement"));
}

// Opens the existing file found at the name, waits until no other save holds it, and holds it
// until the commit ends; then chooses the road. False, with nothing held, when by then the name
// leads to no file or to another one than expected is null.
bool FileOutput::openExisting(const struct stat& found, const FileIdentity& expected) {
    if (!S_ISREG(found.st_mode)) raiseNumber(ErrPathFileAccess);
    const auto replaced = [this] {
        raiseNumber(ErrPathFileAccess,
                    QStringLiteral("le fichier a été remplacé sur le disque depuis "
                                   "l'ouverture du document ; enregistrez-le sous un autre nom"));
    };
    if (!expected.isNull() && identityOf(found) != expected) replaced();

    // The file itself is opened, which it must allow, and stays open: what is written in
    // place goes to this very file, whatever becomes of its name. It is opened for reading
    // too where it allows, so that its copy is read through the descriptor that holds the
    // lock: a network file system keeps the lock as a record lock, which closing any other
    // descriptor of the file would give up.
    int target = ::open(final_.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    readable_ = target >= 0;
    if (target < 0 && (errno == EACCES || errno == EPERM))
        target = ::open(final_.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (target < 0) {
        const int err = errno;
        if (err == EACCES || err == EPERM)
            raiseNumber(ErrPermissionDenied,
                        QStringLiteral("le fichier n'est pas accessible en écriture"));
        raiseErrno(err);
    }
    holdAgainstOtherSaves(target);

    // Which file the name leads to is told once this save holds it: a save that held it before
    // may have renamed a new file over it.
    struct stat opened {};
    struct stat now {};
    const bool named = ::fstat(target, &opened) == 0 && ::lstat(final_.constData(), &now) == 0 &&
                       identityOf(opened) == identityOf(now);
    if (!named || (!expected.isNull() && identityOf(opened) != expected)) {
        ::close(target);
        if (!expected.isNull() && ::lstat(final_.constData(), &now) == 0) replaced();
        return false;
    }
    existing_ = identityOf(opened);

    if (makeStandIn(opened, target)) {
        heldFd_ = target;
        return true;
    }
    // Written in place, through the descriptor opened above.
    inPlace_ = true;
    fd_ = target;
    return true;
}

// Waits until no other save holds the file open at target, then holds it until target is
// closed. A file system without locks saves unlocked, as it always did. Raises, with target
// closed, when the other save does not end in time.
void FileOutput::holdAgainstOtherSaves(int target) const {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(saveLockWaitMs);
    bool waiting = false;
    for (;;) {
        if (::flock(target, LOCK_EX | LOCK_NB) == 0) return;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return; // no locks here
        if (!waiting) {
            waiting = true;
            reachStep(SaveStep::WaitForOtherSave);
        }
        if (Clock::now() >= until) {
            ::close(target);
            raiseNumber(ErrPathFileAccess,
                        QStringLiteral("un autre enregistrement de ce fichier est en cours ; "
                                       "réessayez dans un moment"));
        }
        ::poll(nullptr, 0, 10);
        DoEventsNoInput(); // the window still paints its hourglass and caption
    }
}

// Makes the new file that will take the place of the existing one, when it can be the same
// file in every way its owner can tell; false (and nothing made) otherwise.
bool FileOutput::makeStandIn(const struct stat& existing, int target) {
    const QByteArray folder = folderOf(final_);
    if (existing.st_uid != ::geteuid() || existing.st_nlink != 1 ||
        ::access(folder.constData(), W_OK | X_OK) != 0)
        return false;
    QByteArray name;
    const int fd = createPartial(partialPrefix(final_), name);
    if (fd < 0) return false;
    struct stat made {};
    // The group first: a change of owner or group may clear the set-id bits of the mode; the
    // access list last, since a change of mode changes its mask.
    const bool same =
        ::fstat(fd, &made) == 0 && made.st_dev == existing.st_dev &&
        (made.st_gid == existing.st_gid || ::fchown(fd, uid_t(-1), existing.st_gid) == 0) &&
        ::fchmod(fd, existing.st_mode & 07777) == 0 && copyAttributes(target, fd);
    if (!same) {
        ::close(fd);
        ::unlink(name.constData());
        return false;
    }
    fd_ = fd;
    file_ = name;
    return true;
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
    if (copyFd_ >= 0) {
        ::close(copyFd_);
        copyFd_ = -1;
    }
    if (heldFd_ >= 0) { // what another save waits for, once nothing of this one is left
        ::close(heldFd_);
        heldFd_ = -1;
    }
}

void FileOutput::raiseNumber(int32_t number, const QString& cause) const {
    throw fileError(number, path_, cause);
}

void FileOutput::raiseErrno(int err) const {
    raiseNumber(errorNumberOfErrno(err), causeOfErrno(err));
}

qint64 FileOutput::writeData(const char* data, qint64 size) {
    if (failedErrno_ != 0 || fd_ < 0) return -1;
    if (inPlace_) {
        const qint64 at = pos();
        if (at + size > buffer_.size()) buffer_.resize(at + size);
        std::memcpy(buffer_.data() + at, data, size_t(size));
        return size;
    }
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
    if (fd_ < 0 || pos < 0) return false;
    if (!inPlace_ && ::lseek(fd_, off_t(pos), SEEK_SET) < 0) return false;
    return QIODevice::seek(pos);
}

qint64 FileOutput::size() const {
    if (inPlace_) return buffer_.size();
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

void FileOutput::pwriteAll(const char* data, qint64 size, qint64 offset) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd_, data + done, size_t(size - done), off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            raiseErrno(errno);
        }
        done += n;
    }
}

// Makes sure the file can hold length bytes before any of its old content is overwritten.
void FileOutput::reserve(qint64 length, qint64 oldLength) {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        rlim_t(length) > limit.rlim_cur)
        raiseErrno(EFBIG);
    if (length == 0) return;
    if (::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, off_t(length)) == 0) return;
    const int err = errno;
    if (err != EOPNOTSUPP && err != ENOSYS) {
        ::ftruncate(fd_, off_t(oldLength)); // gives back what was reserved beyond the end
        raiseErrno(err);
    }
    // A file system that reserves nothing: the part beyond the old end is written first, so
    // that a full disk shows while the old content is still whole.
    if (length <= oldLength) return;
    try {
        pwriteAll(buffer_.constData() + oldLength, length - oldLength, oldLength);
    } catch (...) {
        ::ftruncate(fd_, off_t(oldLength));
        throw;
    }
}

// Keeps a copy of the old file beside it, where the folder allows, for as long as it is being
// overwritten: a save killed in the middle then leaves the old year under the copy's name. The
// copy shows no one more than the file does.
void FileOutput::keepCopy(const struct stat& existing) {
    if (::access(folderOf(final_).constData(), W_OK | X_OK) != 0) return;
    const int source =
        readable_ ? fd_
                  : ::open(final_.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (source < 0) return;
    QByteArray name;
    const int fd = identityOfOpenFile(source) == identityOf(existing)
                       ? createPartial(partialPrefix(final_), name)
                       : -1;
    bool copied = false;
    if (fd >= 0) {
        // With the file's group and access list it shows what the file shows; without them,
        // its owner alone may read it.
        const bool same =
            (existing.st_gid == ::getegid() || ::fchown(fd, uid_t(-1), existing.st_gid) == 0) &&
            ::fchmod(fd, existing.st_mode & 0777) == 0 && copyAttributes(fd_, fd);
        copied = same || ::fchmod(fd, existing.st_mode & 0700) == 0;
        QByteArray piece(256 * 1024, Qt::Uninitialized);
        // The old content only: the room reserved beyond its end may hold new bytes already.
        for (off_t at = 0;;) {
            if (!copied) break;
            const off_t left = existing.st_size - at;
            const ssize_t n = left <= 0 ? 0
                                        : ::pread(source, piece.data(),
                                                  size_t(std::min<off_t>(left, piece.size())), at);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                copied = n == 0;
                break;
            }
            copied = ::write(fd, piece.constData(), size_t(n)) == n;
            at += n;
        }
        copied = copied && ::fsync(fd) == 0;
    }
    if (source != fd_) ::close(source);
    if (!copied) {
        if (fd >= 0) {
            ::close(fd);
            ::unlink(name.constData());
        }
        return;
    }
    copy_ = name;
    copyFd_ = fd;
}

void FileOutput::commitInPlace() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) raiseErrno(errno);
    const qint64 length = buffer_.size();
    reserve(length, qint64(st.st_size));
    keepCopy(st);
    reachStep(SaveStep::Write);
    try {
        pwriteAll(buffer_.constData(), length, 0);
        // The file takes the length of this content, whatever it held before.
        if (::ftruncate(fd_, off_t(length)) != 0) raiseErrno(errno);
        if (::fsync(fd_) != 0) raiseErrno(errno);
    } catch (RtError& e) {
        // The old content may be half overwritten: its copy stays where the user can find it.
        if (!copy_.isEmpty())
            e.Description +=
                QStringLiteral(" (l'ancien fichier est gardé sous le nom %1)").arg(nameOf(copy_));
        throw;
    }
    buffer_ = QByteArray();
    if (!copy_.isEmpty()) {
        ::unlink(copy_.constData());
        ::close(copyFd_);
        copyFd_ = -1;
        copy_.clear();
    }
}

void FileOutput::commit() {
    raiseIfFailed();
    if (fd_ < 0) raiseErrno(EBADF);
    if (inPlace_) {
        commitInPlace();
    } else if (!final_.isEmpty()) {
        // Some file systems report a full disk only when the data reaches it.
        if (::fsync(fd_) != 0) raiseErrno(errno);
        reachStep(SaveStep::Write);
        if (existing_.isNull()) {
            // A name that another file took in the meantime is not taken from it.
            if (::renameat2(AT_FDCWD, file_.constData(), AT_FDCWD, final_.constData(),
                            RENAME_NOREPLACE) != 0) {
                const int err = errno;
                if (err != EINVAL && err != ENOSYS) raiseErrno(err);
                if (::rename(file_.constData(), final_.constData()) != 0) raiseErrno(errno);
            }
        } else {
            struct stat st {};
            if (::lstat(final_.constData(), &st) != 0 || identityOf(st) != existing_)
                raiseNumber(ErrPathFileAccess,
                            QStringLiteral("le fichier a été remplacé sur le disque pendant "
                                           "l'enregistrement"));
            if (::rename(file_.constData(), final_.constData()) != 0) raiseErrno(errno);
        }
    }
    identity_ = identityOfOpenFile(fd_);
    const int fd = fd_;
    fd_ = -1;
    // Direct: a file whose last data the system could not take is removed again.
    if (::close(fd) != 0 && final_.isEmpty()) raiseErrno(errno);
    committed_ = true;
    if (heldFd_ >= 0) { // renamed over: another save may now go on with the name
        ::close(heldFd_);
        heldFd_ = -1;
    }
    QIODevice::close();
    // What earlier saves that were killed left beside the file.
    if (!final_.isEmpty()) removeLeftOvers(partialPrefix(final_));
}

} // namespace rt
