// A file type registered with the user's desktop: the MIME package, the desktop entry, the
// caches, and the removal.

#include "common/test_support.h"
#include "core/desktop_file_types.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rt;

namespace {

class DesktopFileTypes : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        setDesktopDataFolder(dir_.path());
    }
    void TearDown() override { setDesktopDataFolder(QString()); }

    static QString readAll(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    static DesktopFileType type(const QString& program) {
        QImage small(16, 16, QImage::Format_ARGB32), large(32, 32, QImage::Format_ARGB32);
        small.fill(Qt::red);
        large.fill(Qt::blue);
        return {QStringLiteral(".cal"),
                QStringLiteral("Calendrier"),
                QStringLiteral("Document <Calendrier> & co"),
                program,
                QStringLiteral("application/zip"),
                {small, large}};
    }

    QTemporaryDir dir_{testing_support::scratchFolder() + QStringLiteral("/desktop-XXXXXX")};
};

struct ExecCase {
    const char* program;
    const char* exec; // the Exec line as the file holds it
};

} // namespace

// The program's path is quoted so that blanks, quotes, "$", "`", "\" and "%" reach it whole,
// and the entry stays valid.
TEST_F(DesktopFileTypes, TheProgramIsQuotedInTheExecLineOfAValidEntry) {
    const ExecCase cases[] = {
        {"/opt/cal/bin/cal", R"(Exec="/opt/cal/bin/cal" %f)"},
        {"/home/a b/bin/cal", R"(Exec="/home/a b/bin/cal" %f)"},
        {"/x/\"q\"/cal", R"(Exec="/x/\\"q\\"/cal" %f)"},
        {"/x/$HOME`/c\\d", R"(Exec="/x/\\$HOME\\`/c\\\\d" %f)"},
        {"/x/100%/cal", R"(Exec="/x/100%%/cal" %f)"},
    };
    for (const ExecCase& c : cases) {
        ASSERT_TRUE(registerDesktopFileType(type(QString::fromUtf8(c.program))));
        const QString text = readAll(desktopEntryFile(QStringLiteral("Calendrier")));
        EXPECT_TRUE(text.split(u'\n').contains(QString::fromUtf8(c.exec))) << c.program << "\n"
                                                                           << text.toStdString();
        // The desktop's own checker, when installed, accepts the entry as written.
        if (const auto problems = testing_support::desktopEntryProblems(
                desktopEntryFile(QStringLiteral("Calendrier")))) {
            EXPECT_EQ(*problems, QString()) << c.program;
        }
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
    // The icon: named by the entry and the type, written in each size into the user's theme.
    EXPECT_TRUE(package.contains(QStringLiteral("<icon name=\"calendrier\"/>")));
    EXPECT_TRUE(readAll(desktopEntryFile(QStringLiteral("Calendrier")))
                    .contains(QStringLiteral("\nIcon=calendrier\n")));
    for (const int size : {16, 32}) {
        const QString icon =
            dir_.filePath(QStringLiteral("icons/hicolor/%1x%1/apps/calendrier.png").arg(size));
        EXPECT_EQ(desktopIconFile(QStringLiteral("Calendrier"), size), icon);
        EXPECT_EQ(QImage(icon).size(), QSize(size, size)) << size;
    }

    if (!QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()) {
        const QString globs = readAll(dir_.filePath(QStringLiteral("mime/globs2")));
        EXPECT_TRUE(globs.contains(QStringLiteral("application/x-calendrier:*.cal")))
            << globs.toStdString();
    }

    ASSERT_TRUE(unregisterDesktopFileType(QStringLiteral("Calendrier")));
    EXPECT_FALSE(QFileInfo::exists(desktopMimePackageFile(QStringLiteral("Calendrier"))));
    EXPECT_FALSE(QFileInfo::exists(desktopEntryFile(QStringLiteral("Calendrier"))));
    for (const int size : {16, 32})
        EXPECT_FALSE(QFileInfo::exists(desktopIconFile(QStringLiteral("Calendrier"), size)));
    if (!QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()) {
        EXPECT_FALSE(readAll(dir_.filePath(QStringLiteral("mime/globs2")))
                         .contains(QStringLiteral("x-calendrier")));
    }
    // Nothing left to remove: still a success.
    EXPECT_TRUE(unregisterDesktopFileType(QStringLiteral("Calendrier")));
}
