#include "common/test_support.h"
#include "platform/single_instance.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace rt;

namespace {

const QString kApp = QStringLiteral("Mirovanta");

// One copy of the helper program: see tests/helpers/single_instance_helper.cpp.
class Copy {
public:
    Copy(const QString& folder, const QString& command = QStringLiteral("RESTORE"),
         const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
        process_.setProcessEnvironment(env);
        process_.setProgram(QStringLiteral(SINGLE_INSTANCE_HELPER));
        process_.setArguments({folder, kApp, command});
        clock_.start();
        process_.start();
    }
    ~Copy() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(2000);
        }
    }
    // Waits (letting this process's events run) until the output holds text; false after 5 s.
    bool waitForOutput(const QString& text) {
        QElapsedTimer waited;
        waited.start();
        while (!output_.contains(text) && waited.elapsed() < 5000) {
            QEventLoop loop;
            QObject::connect(&process_, &QProcess::readyReadStandardOutput, &loop,
                             &QEventLoop::quit);
            QObject::connect(&process_, &QProcess::finished, &loop, &QEventLoop::quit);
            QTimer::singleShot(50, &loop, &QEventLoop::quit);
            loop.exec();
            output_ += QString::fromUtf8(process_.readAllStandardOutput());
        }
        return output_.contains(text);
    }
    // Waits until the copy ends, letting events run; its run time in ms, or -1 after 5 s.
    qint64 waitForEnd() {
        if (process_.state() != QProcess::NotRunning) {
            QEventLoop loop;
            QObject::connect(&process_, &QProcess::finished, &loop, &QEventLoop::quit);
            QTimer::singleShot(5000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        if (process_.state() != QProcess::NotRunning) return -1;
        output_ += QString::fromUtf8(process_.readAllStandardOutput());
        return clock_.elapsed();
    }
    void killHard() {
        process_.kill(); // SIGKILL: nothing is cleaned up
        process_.waitForFinished(2000);
    }
    int exitCode() const { return process_.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return process_.exitStatus(); }
    const QString& output() const { return output_; }

private:
    QProcess process_;
    QElapsedTimer clock_;
    QString output_;
};

} // namespace

TEST(SingleInstance, SecondCopyHandsRestoreToTheFirstAndEnds) {
    QTemporaryDir folder;
    Copy first(folder.path());
    ASSERT_TRUE(first.waitForOutput(QStringLiteral("listening"))) << first.output().toStdString();

    Copy second(folder.path());
    const qint64 ranFor = second.waitForEnd();
    ASSERT_GE(ranFor, 0) << "the second copy did not end";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(second.output(), QStringLiteral("second accepted\n"));
    EXPECT_TRUE(first.waitForOutput(QStringLiteral("received RESTORE\n")));

    // Another command reaches the first copy, which refuses it; the sender still ends well.
    Copy third(folder.path(), QStringLiteral("OPEN /tmp/a.cal"));
    ASSERT_GE(third.waitForEnd(), 0);
    EXPECT_EQ(third.exitCode(), 0);
    EXPECT_EQ(third.output(), QStringLiteral("second refused\n"));
    EXPECT_TRUE(first.waitForOutput(QStringLiteral("received OPEN /tmp/a.cal\n")));
}

TEST(SingleInstance, CopyKilledWithoutCleaningUpDoesNotStopTheNextStart) {
    QTemporaryDir folder;
    const LocalSingleInstance names(kApp, folder.path());
    {
        Copy killed(folder.path());
        ASSERT_TRUE(killed.waitForOutput(QStringLiteral("listening")));
        killed.killHard();
    }
    ASSERT_TRUE(QFile::exists(names.socketPath())); // left behind
    ASSERT_TRUE(QFile::exists(names.lockPath()));

    Copy next(folder.path());
    ASSERT_TRUE(next.waitForOutput(QStringLiteral("listening"))) << next.output().toStdString();
    Copy second(folder.path());
    ASSERT_GE(second.waitForEnd(), 0);
    EXPECT_EQ(second.output(), QStringLiteral("second accepted\n"));
    EXPECT_TRUE(next.waitForOutput(QStringLiteral("received RESTORE\n")));
}

// The first copy is this test: its handler gets the command while its events run.
TEST(SingleInstance, RunningCopyAnswersWithItsHandler) {
    QTemporaryDir folder;
    LocalSingleInstance running(kApp, folder.path());
    ASSERT_TRUE(running.claim());
    EXPECT_TRUE(running.claim()); // asking again changes nothing
    QStringList received;
    bool accept = true;
    running.setCommandHandler([&](const QString& command) {
        received << command;
        return accept;
    });

    Copy second(folder.path());
    ASSERT_GE(second.waitForEnd(), 0);
    EXPECT_EQ(second.output(), QStringLiteral("second accepted\n"));
    accept = false;
    Copy third(folder.path());
    ASSERT_GE(third.waitForEnd(), 0);
    EXPECT_EQ(third.output(), QStringLiteral("second refused\n"));
    EXPECT_EQ(received, QStringList({QStringLiteral("RESTORE"), QStringLiteral("RESTORE")}));
    // A command with a long path arrives whole.
    accept = true;
    const QString longCommand = QStringLiteral("OPEN ") + QString(4000, u'a');
    Copy fourth(folder.path(), longCommand);
    ASSERT_GE(fourth.waitForEnd(), 0);
    EXPECT_EQ(fourth.output(), QStringLiteral("second accepted\n"));
    EXPECT_EQ(received.value(2), longCommand);

    // A second object in this process finds the place taken.
    LocalSingleInstance other(kApp, folder.path());
    EXPECT_FALSE(other.claim());
}

// A first copy that holds the place but does not listen yet (still starting): the second copy
// ends within the wait all the same.
TEST(SingleInstance, SecondCopyEndsWhenTheFirstDoesNotAnswer) {
    QTemporaryDir folder;
    const LocalSingleInstance names(kApp, folder.path());
    QLockFile starting(names.lockPath());
    ASSERT_TRUE(starting.tryLock(0));

    Copy second(folder.path());
    const qint64 ranFor = second.waitForEnd();
    ASSERT_GE(ranFor, 0);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(second.output(), QStringLiteral("second refused\n"));
}

// Two copies started at the same moment, again and again: one runs, and the other always
// reaches it, also when it finds the place taken before the running copy listens.
TEST(SingleInstance, TwoCopiesStartedTogetherAlwaysHandOver) {
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        QTemporaryDir folder;
        Copy a(folder.path());
        Copy b(folder.path());
        ASSERT_TRUE(a.waitForOutput(QStringLiteral("\n")) && b.waitForOutput(QStringLiteral("\n")));
        const bool aRuns = a.output().startsWith(QStringLiteral("listening"));
        Copy& running = aRuns ? a : b;
        Copy& later = aRuns ? b : a;
        ASSERT_GE(later.waitForEnd(), 0);
        EXPECT_EQ(later.output(), QStringLiteral("second accepted\n"));
        EXPECT_TRUE(running.waitForOutput(QStringLiteral("received RESTORE\n")));
    }
}

TEST(SingleInstance, SocketIsPrivateToTheUserAndNamedAfterAppAndUser) {
    QTemporaryDir folder;
    LocalSingleInstance running(QStringLiteral("Mon Agenda/2"), folder.path());
    ASSERT_TRUE(running.claim());
    const QString expected =
        folder.filePath(QStringLiteral("Mon_Agenda_2-%1.socket").arg(getuid()));
    EXPECT_EQ(running.socketPath(), expected);
    ASSERT_TRUE(QFile::exists(expected));
    const QFile::Permissions perms = QFile::permissions(expected);
    EXPECT_FALSE(perms &
                 (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther));
}

// Another user's program never reaches the running copy, even through a socket file opened to
// everyone. Needs root to be two users.
TEST(SingleInstance, OnlyTheSameUserTalksOverTheSocket) {
    if (getuid() != 0) GTEST_SKIP() << "needs root to run a copy as another user";
    const QFile::Permissions open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                    QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    const QString scratch = testing_support::scratchFolder();
    QFile::setPermissions(scratch, QFile::permissions(scratch) | QFile::ExeOther);
    QTemporaryDir folder(scratch + QStringLiteral("/users-XXXXXX"));
    ASSERT_TRUE(QFile::setPermissions(folder.path(), open));

    LocalSingleInstance running(kApp, folder.path());
    ASSERT_TRUE(running.claim());
    QStringList received;
    running.setCommandHandler([&](const QString& command) {
        received << command;
        return true;
    });
    ASSERT_TRUE(QFile::setPermissions(running.socketPath(), open));
    QProcessEnvironment stranger = QProcessEnvironment::systemEnvironment();
    stranger.insert(QStringLiteral("SINGLE_INSTANCE_HELPER_UID"), QStringLiteral("65534"));
    stranger.insert(QStringLiteral("SINGLE_INSTANCE_HELPER_RAW"), running.socketPath());
    Copy other(folder.path(), QStringLiteral("OPEN /etc/x.cal"), stranger);
    ASSERT_GE(other.waitForEnd(), 0);
    EXPECT_EQ(other.output(), QStringLiteral("no answer\n"));
    EXPECT_TRUE(received.isEmpty());
}

// The lock and the socket go only where no other user can put anything first.
TEST(SingleInstance, PrivateFolderIsTheUsersOwnAndAForeignOneIsNeverTrusted) {
    QTemporaryDir home(testing_support::scratchFolder() + QStringLiteral("/private-XXXXXX"));
    ASSERT_TRUE(home.isValid());
    const QString runtime = home.filePath(QStringLiteral("run"));
    const QString cache = home.filePath(QStringLiteral("cache"));
    const QString ours = cache + QStringLiteral("/mirovanta");
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR"),
                     savedCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
    const bool root = ::geteuid() == 0;
    const struct {
        const char* name;
        mode_t runtimeMode; // 0: no runtime folder named
        uid_t runtimeOwner; // as root only
        mode_t cacheMode;   // 0: not made beforehand
        uid_t cacheOwner;   // as root only
        QString expected;
        bool needsRoot;
    } cases[] = {
        {"the session's runtime folder", 0700, 0, 0, 0, runtime, false},
        {"no runtime folder: the cache's", 0, 0, 0, 0, ours, false},
        {"a runtime folder open to others", 0777, 0, 0, 0, ours, false},
        {"the user's own cache folder made open is narrowed", 0, 0, 0777, 0, ours, false},
        {"another user's runtime folder", 0700, 65534, 0, 0, ours, true},
        {"another user's folder in the cache", 0, 0, 0700, 65534, QString(), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsRoot && !root) continue; // two users need root
        QDir(runtime).removeRecursively();
        QDir(cache).removeRecursively();
        if (c.runtimeMode != 0) {
            ASSERT_TRUE(QDir().mkpath(runtime));
            ::chmod(QFile::encodeName(runtime).constData(), c.runtimeMode);
            if (c.runtimeOwner != 0) {
                ASSERT_EQ(
                    ::chown(QFile::encodeName(runtime).constData(), c.runtimeOwner, c.runtimeOwner),
                    0);
            }
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        } else {
            qunsetenv("XDG_RUNTIME_DIR");
        }
        if (c.cacheMode != 0) {
            ASSERT_TRUE(QDir().mkpath(ours));
            ::chmod(QFile::encodeName(ours).constData(), c.cacheMode);
            if (c.cacheOwner != 0) {
                ASSERT_EQ(::chown(QFile::encodeName(ours).constData(), c.cacheOwner, c.cacheOwner),
                          0);
            }
        }
        EXPECT_EQ(LocalSingleInstance::privateFolder(), c.expected);
        if (c.expected == ours) {
            EXPECT_EQ(QFile::permissions(ours) & 0x0077, 0) << "open to others";
        }
        // Without a folder to trust the copy runs alone, and hands nothing to anyone.
        LocalSingleInstance instance(kApp, QString(), 50);
        EXPECT_TRUE(instance.claim());
        EXPECT_EQ(QFile::exists(instance.lockPath()), !c.expected.isEmpty());
        EXPECT_FALSE(instance.sendToRunning(QStringLiteral("RESTORE")));
    }
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
    if (savedCache.isNull())
        qunsetenv("XDG_CACHE_HOME");
    else
        qputenv("XDG_CACHE_HOME", savedCache);
}

// A lock file that another user put in the folder does not keep the program from starting.
TEST(SingleInstance, AnotherUsersLockIsNotTaken) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to make another user's file";
    QTemporaryDir folder;
    LocalSingleInstance first(kApp, folder.path());
    QFile planted(first.lockPath());
    ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
    planted.write("1\nmirovanta\nhost\n");
    planted.close();
    ASSERT_EQ(::chown(QFile::encodeName(first.lockPath()).constData(), 65534, 65534), 0);
    ASSERT_TRUE(first.claim());
    first.setCommandHandler([](const QString& command) { return command == "RESTORE"; });
    Copy second(folder.path());
    ASSERT_GE(second.waitForEnd(), 0);
    EXPECT_EQ(second.output(), QStringLiteral("second accepted\n"));
}
