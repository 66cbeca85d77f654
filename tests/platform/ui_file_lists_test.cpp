// Drive, folder and file lists over a scratch folder.

#include "core/rt_error.h"
#include "platform/ui_file_lists.h"
#include "ui_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rt;
using ui_test::errorNumberOf;

namespace {
void touch(const QString& path) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
}
} // namespace

TEST(UiFileLists, FilesMatchPatternsIgnoringCaseAndFoldersListTheirSubfolders) {
    QTemporaryDir dir;
    const QString root = dir.path();
    for (const char* n : {"b.cal", "A.CAL", "notes.txt", "sans_point", ".cache.cal"})
        touch(root + u'/' + QString::fromLatin1(n));
    QDir(root).mkdir(QStringLiteral("Zeta"));
    QDir(root).mkdir(QStringLiteral("alpha"));

    ui_test::CountingForm form;
    FileListBox files(form);
    DirListBox dirs(form);
    int pathChanges = 0, patternChanges = 0, dirChanges = 0, clicks = 0;
    files.onPathChange = [&] { ++pathChanges; };
    files.onPatternChange = [&] { ++patternChanges; };
    files.onClick = [&] { ++clicks; };
    dirs.onChange = [&] { ++dirChanges; };

    files.setPath(root);
    EXPECT_EQ(pathChanges, 1);
    files.setPath(root + QStringLiteral("/")); // the same folder
    EXPECT_EQ(pathChanges, 1);
    // "*.*" is every file (hidden ones aside), sorted with letter case ignored.
    QStringList all;
    for (int i = 0; i < files.ListCount(); ++i)
        all << files.List(i);
    EXPECT_EQ(all, (QStringList{"A.CAL", "b.cal", "notes.txt", "sans_point"}));
    files.setPattern(QStringLiteral("*.cal;*.TXT"));
    EXPECT_EQ(patternChanges, 1);
    EXPECT_EQ(files.ListCount(), 3);
    files.setFileName(QStringLiteral("B.CAL"));
    EXPECT_EQ(files.FileName(), QStringLiteral("b.cal"));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(errorNumberOf([&] { files.setFileName(QStringLiteral("nope.cal")); }),
              ErrFileNotFound);
    EXPECT_EQ(errorNumberOf([&] { files.setPath(root + QStringLiteral("/missing")); }),
              ErrPathNotFound);

    dirs.setPath(root);
    EXPECT_EQ(dirChanges, 1);
    EXPECT_EQ(dirs.List(-1), QDir::cleanPath(root));
    EXPECT_EQ(dirs.List(-2), QDir::cleanPath(root + QStringLiteral("/..")));
    ASSERT_EQ(dirs.ListCount(), 2);
    EXPECT_EQ(dirs.List(0), root + QStringLiteral("/alpha"));
    EXPECT_EQ(dirs.List(1), root + QStringLiteral("/Zeta"));
    dirs.userOpen(1); // a double click opens the folder
    EXPECT_EQ(dirs.Path(), root + QStringLiteral("/Zeta"));
    EXPECT_EQ(dirChanges, 2);
    EXPECT_EQ(dirs.ListCount(), 0);

    DriveListBox drives(form);
    EXPECT_EQ(drives.Drive(), QStringLiteral("/"));
    EXPECT_EQ(errorNumberOf([&] { drives.setDrive(QStringLiteral("c:")); }), 68);
}
