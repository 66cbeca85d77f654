// The real program, in a real X session, saving a document of a family folder as each member
// of the family in turn: the file stays the family's.

#include "common/test_support.h"
#include "document/cal_writer.h"
#include "document/doc_state.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// A command's standard output, once it has ended.
QString run(const QString& program, const QStringList& args,
            const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
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

    // The family folder, root's and writable by the family; the year is the first member's.
    QTemporaryDir top(QStringLiteral("/tmp/mrv-family-XXXXXX"));
    ASSERT_TRUE(QFile::setPermissions(top.path(), QFile::permissions(top.path()) |
                                                      QFile::ReadOther | QFile::ExeOther));
    const QString family = top.filePath(QStringLiteral("famille"));
    const QString year = family + QStringLiteral("/année 2004.cal");
    CalDocument doc;
    SetDocDefaults(doc);
    ASSERT_TRUE(QDir().mkpath(family) && SaveCalFile(year, doc));
    const auto sh = [](const QString& script) {
        return run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
    };
    ASSERT_EQ(sh(QStringLiteral("chgrp mrvfamily '%1' && chmod 775 '%1' && chown "
                                "mrvalice:mrvfamily '%2' && chmod 664 '%2' && echo ok")
                     .arg(family, year)),
              QStringLiteral("ok"));

    // An X server of its own, open to the users.
    QProcess x;
    x.start(QStringLiteral("Xvfb"),
            {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-ac"),
             QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x900x24")});
    ASSERT_TRUE(x.waitForReadyRead(20000));
    QProcessEnvironment env;
    env.insert(QStringLiteral("DISPLAY"), u':' + QString::fromLatin1(x.readAll()).trimmed());
    env.insert(QStringLiteral("LANG"), QStringLiteral("fr_FR.UTF-8"));
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    const auto xdotool = [&](const QStringList& args) {
        return run(QStringLiteral("xdotool"), args, env);
    };
    const auto stamp = [&] { return sh(QStringLiteral("stat -c %i.%Y.%y '%1'").arg(year)); };

    // The owner's save replaces the file, the other member's writes in it: the owner, group and
    // mode stay, and no partial file is left.
    const struct {
        const char* user;
        bool sameInode;
    } saves[] = {{"mrvalice", false}, {"mrvbob", true}, {"mrvalice", false}};
    for (const auto& s : saves) {
        SCOPED_TRACE(s.user);
        const QString user = QLatin1String(s.user);
        const QString home = top.filePath(user);
        ASSERT_EQ(sh(QStringLiteral("mkdir -p '%1' && chown %2 '%1' && echo ok").arg(home, user)),
                  QStringLiteral("ok"));
        env.insert(QStringLiteral("HOME"), home);
        const QString before = stamp();
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral("setpriv"),
                      {QStringLiteral("--reuid=") + user, QStringLiteral("--regid=") + user,
                       QStringLiteral("--init-groups"), QStringLiteral(MIROVANTA_PROGRAM), year});
        // The main window, then a click on the toolbar's third button, Save: an unchanged
        // document is written whole. A search ends with an X error, and nothing found, when a
        // window it looks at goes meanwhile (the splash): it is asked again.
        QString window;
        QElapsedTimer searching;
        searching.start();
        while (window.isEmpty() && !searching.hasExpired(30000))
            window = xdotool({QStringLiteral("search"), QStringLiteral("--sync"),
                              QStringLiteral("--name"), QStringLiteral("Mirovanta v")})
                         .section(u'\n', 0, 0);
        ASSERT_FALSE(window.isEmpty()) << "no main window";
        QThread::msleep(500);
        xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                 QStringLiteral("66"), QStringLiteral("15"), QStringLiteral("click"),
                 QStringLiteral("1")});
        for (int i = 0; i < 150 && stamp() == before; ++i)
            QThread::msleep(100);
        const QString after = stamp();
        // A save in place changes the file a little before it removes the copy it kept beside.
        const QString partials = QStringLiteral("ls -a '%1' | grep -c mirovanta-").arg(family);
        for (int i = 0; i < 150 && sh(partials) != QLatin1String("0"); ++i)
            QThread::msleep(100);
        program.terminate();
        program.waitForFinished(5000);
        EXPECT_NE(after, before) << "not saved: " << program.readAllStandardError().toStdString();
        EXPECT_EQ(after.section(u'.', 0, 0) == before.section(u'.', 0, 0), s.sameInode);
        EXPECT_EQ(
            sh(QStringLiteral("stat -c %U:%G:%a '%1'; unzip -tq '%1' >/dev/null && ").arg(year) +
               partials),
            QStringLiteral("mrvalice:mrvfamily:664\n0"));
    }
    x.terminate();
    x.waitForFinished(5000);
}
