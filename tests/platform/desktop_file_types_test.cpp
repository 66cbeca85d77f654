// A file type registered with the user's desktop: the MIME package, the desktop entry, the
// caches, and the removal.

#include "platform/desktop_file_types.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rt;

namespace {

class DesktopFileTypes : public ::testing::Test {
protected:
    void SetUp() override { setDesktopDataFolder(dir_.path()); }
    void TearDown() override { setDesktopDataFolder(QString()); }

    static QString readAll(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    static DesktopFileType type(const QString& program) {
        return {QStringLiteral(".cal"), QStringLiteral("Calendrier"),
                QStringLiteral("Document <Calendrier> & co"), program,
                QStringLiteral("application/zip")};
    }

    QTemporaryDir dir_;
};

struct ExecCase {
    const char* program;
    const char* exec; // the Exec line as the file holds it
};

} // namespace

// The program's path is quoted so that blanks, quotes, "$", "`", "\" and "%" reach it whole.
TEST_F(DesktopFileTypes, TheProgramIsQuotedInTheExecLine) {
    const ExecCase cases[] = {
        {"/opt/cal/bin/cal", R"(Exec="/opt/cal/bin/cal" %f)"},
        {"/home/a b/bin/cal", R"(Exec="/home/a b/bin/cal" %f)"},
        {"/x/\"q\"/cal", R"(Exec="/x/\\"q\\"/cal" %f)"},
        {"/x/$HOME`/c\\d", R"(Exec="/x/\\$HOME\\`/c\\\\d" %f)"},
        {"/x/100%/cal", R"(Exec="/x/100%%/cal" %f)"},
    };
    for (const ExecCase& c : cases) {
        const QString text = desktopEntryText(type(QString::fromUtf8(c.program)));
        EXPECT_TRUE(text.split(u'\n').contains(QString::fromUtf8(c.exec))) << c.program << "\n"
                                                                           << text.toStdString();
    }
    const QString text = desktopEntryText(type(QStringLiteral("/p")));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\nType=Application\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nMimeType=application/x-calendrier;\n")));
}

TEST_F(DesktopFileTypes, RegisteringWritesBothFilesAndTheCacheKnowsTheExtension) {
    ASSERT_TRUE(registerDesktopFileType(type(QStringLiteral("/opt/cal/bin/cal"))));
    const QString package = readAll(desktopMimePackageFile(QStringLiteral("Calendrier")));
    EXPECT_TRUE(package.contains(QStringLiteral("<mime-type type=\"application/x-calendrier\">")));
    EXPECT_TRUE(package.contains(QStringLiteral("<glob pattern=\"*.cal\"/>")));
    EXPECT_TRUE(package.contains(QStringLiteral("<sub-class-of type=\"application/zip\"/>")));
    EXPECT_TRUE(package.contains(QStringLiteral("Document &lt;Calendrier&gt; &amp; co")));
    EXPECT_EQ(readAll(desktopEntryFile(QStringLiteral("calendrier"))),
              desktopEntryText(type(QStringLiteral("/opt/cal/bin/cal"))));

    if (!QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()) {
        const QString globs = readAll(dir_.filePath(QStringLiteral("mime/globs2")));
        EXPECT_TRUE(globs.contains(QStringLiteral("application/x-calendrier:*.cal")))
            << globs.toStdString();
    }

    ASSERT_TRUE(unregisterDesktopFileType(QStringLiteral("Calendrier")));
    EXPECT_FALSE(QFileInfo::exists(desktopMimePackageFile(QStringLiteral("Calendrier"))));
    EXPECT_FALSE(QFileInfo::exists(desktopEntryFile(QStringLiteral("Calendrier"))));
    if (!QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()) {
        EXPECT_FALSE(readAll(dir_.filePath(QStringLiteral("mime/globs2")))
                         .contains(QStringLiteral("x-calendrier")));
    }
    // Nothing left to remove: still a success.
    EXPECT_TRUE(unregisterDesktopFileType(QStringLiteral("Calendrier")));
}
