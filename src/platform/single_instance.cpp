#include "single_instance.h"

#include "core/ui_services.h"
#include "ui_dispatch.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
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
bool peerIsThisUser(qintptr descriptor) {
    if (descriptor < 0) return false;
    ucred peer{};
    socklen_t size = sizeof peer;
    if (getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return false;
    return size == sizeof peer && peer.uid == getuid();
}

// True while the sender of a command still waits for the answer: its end of the connection is
// not closed. A sender that gave up has told its user so; its command is then not carried out.
bool senderStillWaits(QLocalSocket* socket) {
    if (socket->state() != QLocalSocket::ConnectedState) return false;
    char byte;
    const ssize_t n = recv(int(socket->socketDescriptor()), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    // More data, or nothing to read yet: still there. 0: the other end has closed.
    return n > 0 || (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
}

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

LocalSingleInstance::~LocalSingleInstance() {
    if (server_) server_->close(); // removes the socket file
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
    // A socket file left behind by a copy that was killed would stop listen().
    QLocalServer::removeServer(socketPath());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this,
            &LocalSingleInstance::onNewConnection);
    if (!server_->listen(socketPath())) {
        // This copy still runs alone (the lock says so); later copies then end without
        // their command reaching it.
        qWarning("single instance: cannot listen on %s: %s", qPrintable(socketPath()),
                 qPrintable(server_->errorString()));
    }
    return true;
}

bool LocalSingleInstance::sendToRunning(const QString& command, bool patient) {
    if (base_.isEmpty()) return false;
    const QByteArray message = command.toUtf8() + '\n';
    if (message.size() > kMaxCommandBytes) return false;
    const QDeadlineTimer deadline(patient ? patientTimeoutMs_ : timeoutMs_);
    QLocalSocket socket;
    // The running copy takes its lock a moment before it listens, and one started at the same
    // time as this one may be in between: connecting is tried again until the deadline.
    for (;;) {
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(int(deadline.remainingTime()))) break;
        if (deadline.hasExpired()) return false;
        socket.abort();
        QThread::msleep(quint64(std::min<qint64>(20, deadline.remainingTime())));
    }
    // Only the user's own running copy is told anything.
    if (!peerIsThisUser(socket.socketDescriptor())) return false;
    socket.write(message);
    if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) return false;
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
        answer += socket.readAll();
    }
    return answer.startsWith(kAccepted);
}

void LocalSingleInstance::onNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        // Commands come from the user's own later copies only.
        if (!peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this,
                [this, socket] { dispatch([&] { onReadyRead(socket); }); });
        // A client that says nothing is dropped after the longest time a sender waits.
        QTimer* timer = new QTimer(socket);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, socket, &QLocalSocket::abort);
        timer->start(patientTimeoutMs_);
        if (socket->bytesAvailable() > 0) dispatch([&] { onReadyRead(socket); });
    }
}

void LocalSingleInstance::onReadyRead(QLocalSocket* socket) {
    if (socket->property("answered").toBool()) return;
    const qint64 end = socket->peek(kMaxCommandBytes).indexOf('\n');
    if (end < 0) {
        if (socket->bytesAvailable() >= kMaxCommandBytes) {
            socket->setProperty("answered", true);
            socket->write(kRefused);
            socket->disconnectFromServer();
        }
        return;
    }
    socket->setProperty("answered", true);
    const QString command = QString::fromUtf8(socket->read(end));
    // A copy kept waiting past its time has given up on this command.
    if (!senderStillWaits(socket)) {
        socket->abort();
        return;
    }
    // Answer only once the handler ran: the sender ends as soon as it has the answer.
    // The handler may let pending events run, in which the sender can go away.
    QPointer<QLocalSocket> guard(socket);
    const bool accepted = handler_ && handler_(command);
    if (!guard || socket->state() != QLocalSocket::ConnectedState) return;
    socket->write(accepted ? kAccepted : kRefused);
    socket->disconnectFromServer();
}

} // namespace rt
