// The real program, in a real X session, saving a document of a family folder as each member
// of the family in turn: the file stays the family's.

#include "common/test_support.h"
#include "document/cal_writer.h"
#include "document/doc_state.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct stat statOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

// Runs a command; its standard output.
QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

} // namespace

TEST(ProgramSave, FamilyMembersSaveTheirSharedYearInTurn) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to make two ordinary users";
    for (const char* tool : {"Xvfb", "xdotool", "setpriv"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            GTEST_SKIP() << tool << " is missing (scripts/setup installs it)";
    ASSERT_TRUE(testing_support::makeOrdinaryUsers());

    // The family folder: root's, writable by the family; the year is the first member's.
    QTemporaryDir top(QStringLiteral("/tmp/mrv-family-XXXXXX"));
    ASSERT_TRUE(top.isValid());
    ASSERT_EQ(::chmod(QFile::encodeName(top.path()).constData(), 0755), 0);
    const QString family = top.filePath(QStringLiteral("famille"));
    ASSERT_TRUE(QDir().mkpath(family));
    const QString year = family + QStringLiteral("/année 2004.cal");
    CalDocument doc;
    SetDocDefaults(doc);
    ASSERT_TRUE(SaveCalFile(year, doc));
    ASSERT_EQ(run(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"),
                   QStringLiteral("chgrp mrvfamily '%1' && chmod 775 '%1' && chown "
                                  "mrvalice:mrvfamily '%2' && chmod 664 '%2' && echo ok")
                       .arg(family, year)}),
              QStringLiteral("ok"));

    // An X server of its own, open to the users.
    QProcess x;
    x.start(QStringLiteral("Xvfb"),
            {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-ac"),
             QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x900x24")});
    ASSERT_TRUE(x.waitForReadyRead(20000));
    const QString display = u':' + QString::fromLatin1(x.readAllStandardOutput()).trimmed();

    const struct {
        const char* user;
        bool sameInode; // written in place (the other member) or replaced (the owner)
    } saves[] = {{"mrvalice", false}, {"mrvbob", true}, {"mrvalice", false}};
    for (const auto& s : saves) {
        SCOPED_TRACE(s.user);
        const struct stat before = statOf(year);
        const QString home = top.filePath(QLatin1String(s.user));
        QDir().mkpath(home);
        run(QStringLiteral("chown"), {QLatin1String(s.user), home});
        QProcessEnvironment env;
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("LANG"), QStringLiteral("fr_FR.UTF-8"));
        env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral("setpriv"),
                      {QStringLiteral("--reuid=") + QLatin1String(s.user),
                       QStringLiteral("--regid=") + QLatin1String(s.user),
                       QStringLiteral("--init-groups"), QStringLiteral("--"),
                       QStringLiteral(MIROVANTA_PROGRAM), year});
        ASSERT_TRUE(program.waitForStarted(5000));
        // The main window, with the document's name in its caption.
        const QStringList search = {QStringLiteral("search"), QStringLiteral("--sync"),
                                    QStringLiteral("--name"), QStringLiteral("Mirovanta v")};
        QProcess find;
        QProcessEnvironment xenv = QProcessEnvironment::systemEnvironment();
        xenv.insert(QStringLiteral("DISPLAY"), display);
        find.setProcessEnvironment(xenv);
        find.start(QStringLiteral("xdotool"), search);
        ASSERT_TRUE(find.waitForFinished(20000)) << "no main window";
        const QString window =
            QString::fromLatin1(find.readAllStandardOutput()).split(u'\n').value(0);
        ASSERT_FALSE(window.isEmpty());
        // The toolbar's third button, Save: an unchanged document is written whole.
        QThread::msleep(500);
        QProcess click;
        click.setProcessEnvironment(xenv);
        click.start(QStringLiteral("xdotool"),
                    {QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                     QStringLiteral("66"), QStringLiteral("15"), QStringLiteral("click"),
                     QStringLiteral("1")});
        ASSERT_TRUE(click.waitForFinished(10000));
        QElapsedTimer waited;
        waited.start();
        struct stat after = statOf(year);
        while (waited.elapsed() < 15000 && after.st_ino == before.st_ino &&
               after.st_mtim.tv_nsec == before.st_mtim.tv_nsec &&
               after.st_mtim.tv_sec == before.st_mtim.tv_sec) {
            QThread::msleep(100);
            after = statOf(year);
        }
        program.terminate();
        if (!program.waitForFinished(5000)) program.kill();
        program.waitForFinished(5000);

        EXPECT_TRUE(after.st_mtim.tv_sec != before.st_mtim.tv_sec ||
                    after.st_mtim.tv_nsec != before.st_mtim.tv_nsec ||
                    after.st_ino != before.st_ino)
            << "not saved: " << program.readAllStandardError().toStdString();
        EXPECT_EQ(after.st_ino == before.st_ino, s.sameInode);
        EXPECT_EQ(
            run(QStringLiteral("stat"), {QStringLiteral("-c"), QStringLiteral("%U:%G:%a"), year}),
            QStringLiteral("mrvalice:mrvfamily:664"));
        EXPECT_EQ(
            run(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("unzip -tq '%1' >/dev/null && ls -a '%2' | grep -c mirovanta-")
                     .arg(year, family)}),
            QStringLiteral("0"));
    }
    x.terminate();
    x.waitForFinished(5000);
}
