// The build installed into a prefix as a packager installs it (DESTDIR): the desktop entry and
// the ".cal" type as the desktop's own tools read them, the installed program finding its
// alarm sounds from its own place, and its modules where it looks for them, unloaded at start.

#include "common/test_support.h"
#include "core/desktop_file_types.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs a program to its end; its output, or why it failed.
QByteArray run(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    const bool ended = p.waitForFinished(120000);
    EXPECT_TRUE(ended && p.exitCode() == 0) << program.toStdString() << "\n"
                                            << p.readAll().toStdString();
    return p.readAll();
}

} // namespace

TEST(Install, TheInstalledProgramFindsItsSoundsAndTheDesktopAcceptsItsFiles) {
    if (QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed (scripts/setup installs it)";
    QTemporaryDir scratch(testing_support::scratchFolder() + QStringLiteral("/install-XXXXXX"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DESTDIR"), scratch.filePath(QStringLiteral("dest")));
    run(QStringLiteral(MIROVANTA_CMAKE),
        {QStringLiteral("--install"), QStringLiteral(MIROVANTA_BUILD_DIR),
         QStringLiteral("--prefix"), QStringLiteral("/usr/local")},
        env);
    const QString root = QDir(scratch.filePath(QStringLiteral("dest/usr/local"))).canonicalPath();
    ASSERT_FALSE(root.isEmpty());

    for (const int size : {16, 48, 128})
        EXPECT_EQ(
            QImage(root + QStringLiteral("/share/icons/hicolor/%1x%1/apps/mirovanta.png").arg(size))
                .size(),
            QSize(size, size));
    // The entry is valid and names the type the user's own association names.
    const QString entry = root + QStringLiteral("/share/applications/mirovanta.desktop");
    EXPECT_EQ(testing_support::desktopEntryProblems(entry), QString());
    const QByteArray mime = rt::desktopMimeType(QStringLiteral("Mirovanta")).toUtf8();
    EXPECT_TRUE(readAll(entry).contains("\nMimeType=" + mime + ";\n"));
    // The type as the MIME database compiles it.
    const QString mimeDir = root + QStringLiteral("/share/mime");
    run(QStringLiteral("update-mime-database"), {mimeDir}, env);
    EXPECT_TRUE(readAll(mimeDir + QStringLiteral("/globs2")).contains(mime + ":*.cal"));
    EXPECT_TRUE(
        readAll(mimeDir + QStringLiteral("/subclasses")).contains(mime + " application/zip"));
    EXPECT_TRUE(readAll(mimeDir + QStringLiteral("/icons")).contains(mime + ":mirovanta"));

    // The installed program, started as a user starts it, says where it found its sounds.
    const QString runtime = scratch.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.remove(QStringLiteral("DESTDIR"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), scratch.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("mirovanta.*.info=true"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.setReadChannel(QProcess::StandardError); // where the log goes
    program.start(root + QStringLiteral("/bin/mirovanta"), {});
    QByteArray log;
    QElapsedTimer waited;
    waited.start();
    while (!log.contains("mirovanta.handoff: started") && waited.elapsed() < 20000 &&
           program.waitForReadyRead(20000))
        log += program.readAllStandardError();
    // Started without a document, the program has mapped neither Qt Multimedia, Qt Charts nor
    // Qt Print Support: they come with its modules, on the first sound, chart or printer.
    const QByteArray maps = readAll(QStringLiteral("/proc/%1/maps").arg(program.processId()));
    program.kill();
    program.waitForFinished(5000);
    EXPECT_TRUE(log.contains("alarm sounds: 10 in " + root.toUtf8() + "/share/mirovanta/Wav/\n"))
        << log.toStdString();
    EXPECT_TRUE(maps.contains("/libQt6Widgets.so")) << maps.toStdString(); // the maps were read
    for (const char* library :
         {"/libQt6Multimedia.so", "/libQt6Charts.so", "/libQt6PrintSupport.so", "/libmirovanta_"})
        EXPECT_FALSE(maps.contains(library)) << library;
    for (const char* module : {"sound", "chart", "print"})
        EXPECT_TRUE(QFileInfo(root + QStringLiteral("/lib/mirovanta/libmirovanta_%1.so")
                                         .arg(QLatin1String(module)))
                        .isFile())
            << module;
}
