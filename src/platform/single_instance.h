#pragma once
// One running copy per user: a later copy hands a command ("RESTORE") to the copy that runs and
// ends. One replaceable instance: the program uses the local-socket one, tests a scripted one
// (see scripted_services.h).

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

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
    // copy that answers, a refused command) gives false, and the wait is short.
    virtual bool sendToRunning(const QString& command) = 0;
    // The handler that answers received commands; without one every command is refused.
    virtual void setCommandHandler(CommandHandler handler) = 0;
};

SingleInstance& singleInstance();
// Installs a new one; returns the previous one. nullptr restores the local-socket one.
std::shared_ptr<SingleInstance> setSingleInstance(std::shared_ptr<SingleInstance> instance);

// The running copy holds a lock file and listens on a local socket, both in a folder private to
// the user (the runtime folder), both named after the application and the user id. A lock left
// by a copy that was killed is taken over, and its socket file removed.
class LocalSingleInstance : public QObject, public SingleInstance {
    Q_OBJECT
public:
    // appName empty: the application's name. folder empty: the user's runtime folder.
    explicit LocalSingleInstance(QString appName = {}, QString folder = {}, int timeoutMs = 750);
    ~LocalSingleInstance() override;

    bool claim() override;
    bool sendToRunning(const QString& command) override;
    void setCommandHandler(CommandHandler handler) override { handler_ = std::move(handler); }

    QString socketPath() const;
    QString lockPath() const;

    // Longest command accepted, in bytes; a longer one is refused unread.
    static constexpr int kMaxCommandBytes = 256;

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);

    QString base_;
    int timeoutMs_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
    CommandHandler handler_;
};

} // namespace rt
