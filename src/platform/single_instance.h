#pragma once
// One running copy per user: a later copy hands its commands (come to the front, open a
// document) to the copy that runs and ends. One replaceable instance: the program uses the
// local-socket one, tests a scripted one (tests/support/scripted_services.h).

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLockFile;
class QSocketNotifier;

namespace rt {

class SingleInstance {
public:
    // Answers a command received from a later copy: true when it was accepted.
    using CommandHandler = std::function<bool(const QString& command)>;

    virtual ~SingleInstance() = default;
    // Claims the place of the running copy. True: this copy is the first, and from now on it
    // receives the commands of later copies (or, when the lock cannot be made at all, runs
    // alone). False: another copy runs, or is still starting.
    virtual bool claim() = 0;
    // Hands a command to the running copy; true when that copy accepted it. Every failure (no
    // copy that answers, a refused command) gives false. The wait is short; a patient send
    // waits longer for a copy that is busy. A copy that holds the place but does not listen
    // yet is tried again until the wait ends.
    virtual bool sendToRunning(const QString& command, bool patient = false) = 0;
    // The handler that answers received commands; without one every command is refused.
    virtual void setCommandHandler(CommandHandler handler) = 0;
};

SingleInstance& singleInstance();
// Installs a new one; returns the previous one. nullptr restores the local-socket one.
std::shared_ptr<SingleInstance> setSingleInstance(std::shared_ptr<SingleInstance> instance);

// The running copy holds a lock file and listens on a local socket, both in a folder private to
// the user (privateFolder()), both named after the application and the user id. The socket
// file is readable and writable by its owner only, and each end of a connection checks that the
// other runs as the same user: a command from another user is never read, and a command is
// never handed to another user's program. A lock left by a copy that was killed is taken over,
// and its socket file removed. The socket is the system's own (a Unix domain socket watched by
// the event loop), so that the program needs no network library.
class LocalSingleInstance : public QObject, public SingleInstance {
    Q_OBJECT
public:
    // appName empty: the application's name. folder empty: privateFolder().
    explicit LocalSingleInstance(QString appName = {}, QString folder = {}, int timeoutMs = 750,
                                 int patientTimeoutMs = 10000);
    ~LocalSingleInstance() override;

    bool claim() override;
    bool sendToRunning(const QString& command, bool patient = false) override;
    void setCommandHandler(CommandHandler handler) override { handler_ = std::move(handler); }

    // The folder of the lock and the socket: the session's runtime folder when it is the
    // user's own and private, else "mirovanta" in the user's cache folder (made private);
    // empty when neither can be trusted, and the program then runs without a lock.
    static QString privateFolder();

    QString socketPath() const;
    QString lockPath() const;

    // Longest command accepted, in bytes, its line end included; a longer one is refused
    // unread. Room for a command with a long path.
    static constexpr int kMaxCommandBytes = 16384;

private:
    class Connection;
    bool listen();
    void onNewConnection();
    void onCommand(Connection* connection, const QString& command);

    QString base_;
    int timeoutMs_;
    int patientTimeoutMs_;
    std::unique_ptr<QLockFile> lock_;
    int server_ = -1; // the listening socket
    std::unique_ptr<QSocketNotifier> serverNotifier_;
    CommandHandler handler_;
};

} // namespace rt
