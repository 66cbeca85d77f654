// Two real copies of the program: the later one hands "RESTORE", and its document when it has
// one, to the running one and ends.

#include "common/test_support.h"
#include "document/cal_writer.h"
#include "document/doc_state.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

class HandOffProcesses : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        runtime = home.filePath(QStringLiteral("runtime"));
        ASSERT_TRUE(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("QT_LOGGING_RULES"),
                   QStringLiteral("mirovanta.handoff.info=true"));
    }
    void TearDown() override {
        for (QProcess* p : {&first, &second})
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(3000);
            }
    }

    void start(QProcess& p, const QStringList& args = {}) {
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::SeparateChannels);
        p.start(QStringLiteral(MIROVANTA_PROGRAM), args);
        ASSERT_TRUE(p.waitForStarted(5000));
    }

    // Reads the process's log until it holds text, or the time is up.
    bool waitForLog(QProcess& p, QByteArray& log, const QByteArray& text, int ms = 10000) {
        QElapsedTimer t;
        t.start();
        while (!log.contains(text) && t.elapsed() < ms) {
            p.waitForReadyRead(100);
            log += p.readAllStandardError();
            if (p.state() == QProcess::NotRunning) {
                log += p.readAllStandardError();
                break;
            }
        }
        return log.contains(text);
    }

    QTemporaryDir home{testing_support::scratchFolder() + QStringLiteral("/handoff-XXXXXX")};
    QString runtime;
    QProcessEnvironment env;
    QProcess first;
    QProcess second;
};

} // namespace

TEST_F(HandOffProcesses, TheSecondCopyEndsAtOnceAndTheFirstReceivesRestore) {
    QByteArray firstLog;
    start(first);
    ASSERT_TRUE(waitForLog(first, firstLog, "started")) << firstLog.toStdString();

    // The later copy, without a document.
    start(second);
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    const QByteArray secondLog = second.readAllStandardError();
    EXPECT_FALSE(secondLog.contains("started")) << secondLog.toStdString();

    EXPECT_TRUE(waitForLog(first, firstLog, "received RESTORE: accepted", 3000))
        << firstLog.toStdString();
    EXPECT_FALSE(firstLog.contains("received OPEN")) << firstLog.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);
    // Neither copy wrote settings: the first still runs, the second read none.
    EXPECT_FALSE(QFile::exists(home.filePath(QStringLiteral("config/Mirovanta/Mirovanta.ini"))));
}

TEST_F(HandOffProcesses, ACopyKilledWithoutCleaningUpDoesNotStopTheNextStart) {
    QByteArray log;
    start(first);
    ASSERT_TRUE(waitForLog(first, log, "started")) << log.toStdString();
    first.kill(); // leaves its lock and socket files behind
    ASSERT_TRUE(first.waitForFinished(3000));
    EXPECT_FALSE(QDir(runtime).entryList(QDir::Files | QDir::System).isEmpty());

    // The next start runs as the first copy, and hands-off reach it.
    QByteArray nextLog;
    start(second);
    ASSERT_TRUE(waitForLog(second, nextLog, "started")) << nextLog.toStdString();
    QProcess third;
    third.setProcessEnvironment(env);
    third.start(QStringLiteral(MIROVANTA_PROGRAM), {});
    ASSERT_TRUE(third.waitForFinished(3000));
    EXPECT_EQ(third.exitCode(), 0);
    EXPECT_TRUE(waitForLog(second, nextLog, "received RESTORE: accepted", 3000))
        << nextLog.toStdString();
}

TEST_F(HandOffProcesses, TheSecondCopyHandsItsDocumentOverAndTheFirstOpensIt) {
    const QString folder = home.filePath(QStringLiteral("mes calendriers"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/budget 2004.cal");
    CalDocument doc = BlankDocument(true);
    doc.Year = QStringLiteral("2004");
    doc.OpenMonth = QStringLiteral("00");
    ASSERT_TRUE(SaveCalFile(path, doc));

    QByteArray firstLog;
    start(first);
    ASSERT_TRUE(waitForLog(first, firstLog, "started")) << firstLog.toStdString();
    // Named from its own working folder, as a file manager may start it.
    second.setWorkingDirectory(folder);
    start(second, {QStringLiteral("budget 2004.cal")});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    // The first copy opens it and shows it in its caption.
    const QByteArray opened =
        "opened " + path.toUtf8() + ": Mirovanta v2.1 - " + path.toUtf8() + '\n';
    EXPECT_TRUE(waitForLog(first, firstLog, opened)) << firstLog.toStdString();
    EXPECT_TRUE(firstLog.contains("received RESTORE: accepted")) << firstLog.toStdString();
}
