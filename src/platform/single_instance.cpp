#include "single_instance.h"

#include "core/ui_services.h"
#include "ui_dispatch.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QPointer>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace rt {

namespace {
std::shared_ptr<SingleInstance>& current() {
    static std::shared_ptr<SingleInstance> instance = std::make_shared<LocalSingleInstance>();
    return instance;
}

const QByteArray kAccepted = "1\n";
const QByteArray kRefused = "0\n";

// True when the process at the other end of a local socket runs as this process's user. The
// kernel tells who connected (or who listens); a socket whose peer cannot be told is refused.
bool peerIsThisUser(int descriptor) {
    if (descriptor < 0) return false;
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return false;
    return size == sizeof peer && peer.uid == getuid();
}

// True while the sender of a command still waits for the answer: its end of the connection is
// not closed. A sender that gave up has told its user so; its command is then not carried out.
bool senderStillWaits(int descriptor) {
    if (descriptor < 0) return false;
    char byte;
    const ssize_t n = recv(descriptor, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    // More data, or nothing to read yet: still there. 0: the other end has closed.
    return n > 0 || (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
}

// The address of a socket file; false when its path is too long for one.
bool addressOf(const QString& path, sockaddr_un& address) {
    const QByteArray name = QFile::encodeName(path);
    address = sockaddr_un{};
    if (name.isEmpty() || size_t(name.size()) >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return true;
}

// A local stream socket that never blocks, and that a started program does not inherit.
int newSocket() {
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

// Waits until the socket is ready for events (or closed) or the deadline has passed; true
// when it is ready.
bool waitFor(int descriptor, short events, const QDeadlineTimer& deadline) {
    for (;;) {
        pollfd p{descriptor, events, 0};
        const qint64 left = std::clamp<qint64>(deadline.remainingTime(), 0, INT_MAX);
        const int n = ::poll(&p, 1, int(left));
        if (n >= 0) return n > 0;
        if (errno != EINTR) return false;
    }
}

// Closes a socket when it goes out of scope.
struct SocketCloser {
    int descriptor;
    ~SocketCloser() { ::close(descriptor); }
};

// Whether folder is a folder (not a link) that this user owns and no one else may enter.
bool isPrivateFolder(const QString& folder) {
    struct stat st {};
    return ::lstat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// A name safe in a file name.
QString fileSafe(const QString& name) {
    QString out;
    for (const QChar c : name)
        out += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'-' || c == u'_' ? c : u'_';
    return out;
}
} // namespace

SingleInstance& singleInstance() {
    return *current();
}

std::shared_ptr<SingleInstance> setSingleInstance(std::shared_ptr<SingleInstance> instance) {
    auto previous = current();
    current() = instance ? std::move(instance) : std::make_shared<LocalSingleInstance>();
    return previous;
}

LocalSingleInstance::LocalSingleInstance(QString appName, QString folder, int timeoutMs,
                                         int patientTimeoutMs)
    : timeoutMs_(timeoutMs), patientTimeoutMs_(patientTimeoutMs) {
    if (appName.isEmpty()) appName = applicationTitle();
    if (folder.isEmpty()) folder = privateFolder();
    // No folder to trust: this copy runs alone (claim).
    if (!folder.isEmpty())
        base_ = QDir(folder).filePath(fileSafe(appName) + u'-' + QString::number(getuid()));
}

QString LocalSingleInstance::privateFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime)) return runtime;
    // Without the session's runtime folder, one of the user's own in the cache folder: a
    // folder in the shared temporary folder could be made first by anyone.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || !QDir().mkpath(cache)) return QString();
    const QString folder = cache + QStringLiteral("/mirovanta");
    const QByteArray name = QFile::encodeName(folder);
    ::mkdir(name.constData(), 0700);
    struct stat st {};
    // The user's own folder made with a wider mode by hand is narrowed.
    if (::lstat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & 077) != 0)
        ::chmod(name.constData(), 0700);
    return isPrivateFolder(folder) ? folder : QString();
}

// A connection of a later copy: its command is read as it comes, up to its line end.
class LocalSingleInstance::Connection : public QObject {
public:
    Connection(LocalSingleInstance* owner, int descriptor, int timeoutMs)
        : QObject(owner), owner_(owner), descriptor_(descriptor),
          notifier_(descriptor, QSocketNotifier::Read) {
        connect(&notifier_, &QSocketNotifier::activated, this,
                [this] { dispatch([&] { readMore(); }); });
        // A client that says nothing is dropped after the longest time a sender waits.
        timer_.setSingleShot(true);
        connect(&timer_, &QTimer::timeout, this, [this] { close(); });
        timer_.start(timeoutMs);
    }
    ~Connection() override {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    int descriptor() const { return descriptor_; }
    // Gives the sender its answer and closes the connection.
    void answer(const QByteArray& text) {
        if (descriptor_ >= 0)
            (void)::send(descriptor_, text.constData(), size_t(text.size()), MSG_NOSIGNAL);
        close();
    }
    // Closes the connection; the object goes once events run again.
    void close() {
        if (descriptor_ < 0) return;
        notifier_.setEnabled(false);
        timer_.stop();
        ::close(descriptor_);
        descriptor_ = -1;
        deleteLater();
    }

private:
    void readMore() {
        if (descriptor_ < 0 || answered_) return;
        bool ended = false; // the sender closed its end, or the connection failed
        char block[4096];
        while (data_.size() < kMaxCommandBytes) {
            const ssize_t n = ::recv(descriptor_, block, sizeof block, MSG_DONTWAIT);
            if (n > 0) {
                data_.append(block, qsizetype(n));
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            ended = n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            break;
        }
        const qsizetype end = data_.left(kMaxCommandBytes).indexOf('\n');
        if (end < 0) {
            if (data_.size() >= kMaxCommandBytes) {
                answered_ = true;
                answer(kRefused);
            } else if (ended) {
                close();
            }
            return;
        }
        answered_ = true;
        // Nothing more is read: the sender waits for the answer, or gives up.
        notifier_.setEnabled(false);
        owner_->onCommand(this, QString::fromUtf8(data_.left(end)));
    }

    LocalSingleInstance* owner_;
    int descriptor_;
    QSocketNotifier notifier_;
    QTimer timer_;
    QByteArray data_;
    bool answered_ = false;
};

LocalSingleInstance::~LocalSingleInstance() {
    if (server_ < 0) return;
    serverNotifier_.reset();
    ::close(server_);
    QFile::remove(socketPath());
}

QString LocalSingleInstance::socketPath() const {
    return base_ + QStringLiteral(".socket");
}
QString LocalSingleInstance::lockPath() const {
    return base_ + QStringLiteral(".lock");
}

bool LocalSingleInstance::claim() {
    if (lock_) return true;
    if (base_.isEmpty()) {
        qWarning("single instance: no private folder for the lock; running alone");
        return true;
    }
    // A lock there that is not this user's was not made by this user's program.
    struct stat st {};
    const QByteArray lockName = QFile::encodeName(lockPath());
    if (::lstat(lockName.constData(), &st) == 0 &&
        (st.st_uid != ::geteuid() || !S_ISREG(st.st_mode)))
        ::unlink(lockName.constData());
    auto lock = std::make_unique<QLockFile>(lockPath());
    // A running copy keeps its lock however long it runs; a lock whose process is gone is
    // taken over at once.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError) return false;
        // The folder cannot hold the lock: run alone rather than not at all.
        qWarning("single instance: cannot create %s", qPrintable(lockPath()));
        return true;
    }
    lock_ = std::move(lock);
    // A socket file left behind by a copy that was killed would stop listening.
    QFile::remove(socketPath());
    if (!listen()) {
        // This copy still runs alone (the lock says so); later copies then end without
        // their command reaching it.
        qWarning("single instance: cannot listen on %s: %s", qPrintable(socketPath()),
                 std::strerror(errno));
    }
    return true;
}

bool LocalSingleInstance::listen() {
    sockaddr_un address;
    if (!addressOf(socketPath(), address)) {
        errno = ENAMETOOLONG;
        return false;
    }
    const int descriptor = newSocket();
    if (descriptor < 0) return false;
    if (::bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(descriptor);
        errno = error;
        return false;
    }
    // The socket file is this user's alone, in a folder that is already.
    if (::chmod(address.sun_path, 0600) != 0 || ::listen(descriptor, SOMAXCONN) != 0) {
        const int error = errno;
        ::close(descriptor);
        ::unlink(address.sun_path);
        errno = error;
        return false;
    }
    server_ = descriptor;
    serverNotifier_ = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    connect(serverNotifier_.get(), &QSocketNotifier::activated, this,
            &LocalSingleInstance::onNewConnection);
    return true;
}

bool LocalSingleInstance::sendToRunning(const QString& command, bool patient) {
    if (base_.isEmpty()) return false;
    const QByteArray message = command.toUtf8() + '\n';
    if (message.size() > kMaxCommandBytes) return false;
    sockaddr_un address;
    if (!addressOf(socketPath(), address)) return false;
    const QDeadlineTimer deadline(patient ? patientTimeoutMs_ : timeoutMs_);
    // The running copy takes its lock a moment before it listens, and one started at the same
    // time as this one may be in between: connecting is tried again until the deadline.
    int descriptor;
    for (;;) {
        descriptor = newSocket();
        if (descriptor < 0) return false;
        if (::connect(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            break;
        ::close(descriptor);
        if (deadline.hasExpired()) return false;
        QThread::msleep(quint64(std::min<qint64>(20, deadline.remainingTime())));
    }
    const SocketCloser closer{descriptor};
    // Only the user's own running copy is told anything.
    if (!peerIsThisUser(descriptor)) return false;
    for (qsizetype sent = 0; sent < message.size();) {
        const ssize_t n = ::send(descriptor, message.constData() + sent,
                                 size_t(message.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) &&
            waitFor(descriptor, POLLOUT, deadline))
            continue;
        return false;
    }
    QByteArray answer;
    while (!answer.contains('\n')) {
        char block[64];
        const ssize_t n = ::recv(descriptor, block, sizeof block, 0);
        if (n > 0) {
            answer.append(block, qsizetype(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) &&
            waitFor(descriptor, POLLIN, deadline))
            continue;
        return false; // closed without an answer, or no answer in time
    }
    return answer.startsWith(kAccepted);
}

void LocalSingleInstance::onNewConnection() {
    for (;;) {
        const int descriptor = ::accept4(server_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (descriptor < 0) {
            if (errno == EINTR) continue;
            return; // none waiting
        }
        // Commands come from the user's own later copies only.
        if (!peerIsThisUser(descriptor)) {
            ::close(descriptor);
            continue;
        }
        new Connection(this, descriptor, patientTimeoutMs_);
    }
}

void LocalSingleInstance::onCommand(Connection* connection, const QString& command) {
    // A copy kept waiting past its time has given up on this command.
    if (!senderStillWaits(connection->descriptor())) {
        connection->close();
        return;
    }
    // Answer only once the handler ran: the sender ends as soon as it has the answer.
    // The handler may let pending events run, in which the connection can be dropped.
    QPointer<Connection> guard(connection);
    const bool accepted = handler_ && handler_(command);
    if (!guard || connection->descriptor() < 0) return;
    connection->answer(accepted ? kAccepted : kRefused);
}

} // namespace rt
