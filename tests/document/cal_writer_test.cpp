#include "cal_test_support.h"
#include "common/test_support.h"
#include "core/resources.h"
#include "document/doc_state.h"

#include <QProcess>
#include <QRandomGenerator>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace caltest;

namespace {

class CalWriter : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        ASSERT_TRUE(work.isValid());
        dir = QDir(work.path());
    }

    QStringList entriesOf(const QString& archive) {
        const ToolResult r = runShell(QStringLiteral("zipinfo -1 %1").arg(quoted(archive)));
        EXPECT_EQ(r.exitCode, 0);
        return QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QByteArray calDataOf(const QString& archive, const QString& password = QString()) {
        const QString pw =
            password.isEmpty() ? QString() : QStringLiteral("-P ") + shellPassword(password);
        return runShell(QStringLiteral("unzip -p %1 %2 caldata.cal").arg(pw, quoted(archive))).out;
    }
    static QList<QByteArray> linesOf(const QByteArray& data) {
        QList<QByteArray> lines = data.split('\n');
        lines.removeLast();
        return lines;
    }

    QTemporaryDir work;
    QDir dir;
};

} // namespace

TEST_F(CalWriter, DefaultDocumentIsWrittenAsTheGoldenFile) {
    SetDocDefaults(CurDoc); // as New does; the clock says 2004
    CalDocument doc = CurDoc;
    const QByteArray golden = readFile(dataFile("default-2004.txt"));
    EXPECT_EQ(WriteCalData(doc), golden);

    const QString target = dir.filePath(QStringLiteral("défaut.cal"));
    ASSERT_TRUE(SaveCalFile(target, doc));
    // Pictures embedded but none named: caldata.cal alone.
    EXPECT_EQ(entriesOf(target), QStringList{QStringLiteral("caldata.cal")});
    EXPECT_EQ(calDataOf(target), golden);
    EXPECT_EQ(doc.FileName, target);
    EXPECT_EQ(CurDoc.FileName, target);

    EXPECT_EQ(views().CallsOf(QStringLiteral("SetMainMode")),
              QStringList{QStringLiteral("SetMainMode(2)")});
    QStringList captions;
    for (int id : {10024, 10025, 10026, 10027})
        captions << QStringLiteral("SetLoadingCaption(%1,%2)")
                        .arg(id == 10024 ? 0 : 1)
                        .arg(rt::LoadResString(id));
    EXPECT_EQ(views().CallsOf(QStringLiteral("SetLoadingCaption")), captions);
    EXPECT_FALSE(ui().hourglass());
    EXPECT_EQ(ui().hourglassChanges.front(), true);
    // No user input runs while writing: a click cannot start a second read or write.
    EXPECT_EQ(ui().doEventsCount, 0);
    EXPECT_GT(ui().doEventsNoInputCount, 0);
    EXPECT_TRUE(ui().msgBoxCalls.empty());
}

TEST_F(CalWriter, LinesFollowTheLayoutWithItsFieldOrder) {
    CalDocument doc = fullDocument(dir);
    const QList<QByteArray> lines = linesOf(WriteCalData(doc));
    // 709 + 8 per auto-event, 3 per debt/saving, 3 per birthday, 9 per day item.
    EXPECT_EQ(lines.size(), 709 + 8 * 2 + 3 * 2 + 3 * 1 + 9 * 4);
    const auto line = [&](int n) { return rt::fromCp1252(lines[n - 1]); };
    EXPECT_EQ(line(2), QStringLiteral("\"Zoë L’Œuvre – 12 €\"\r"));
    EXPECT_EQ(line(7), QStringLiteral("\"7\"\r"));          // AutoEvents.NextKey
    EXPECT_EQ(line(8), QStringLiteral("\"2004-12-31\"\r")); // EndDate first
    EXPECT_EQ(line(10), QStringLiteral("\"14\"\r"));        // Day, then Month
    EXPECT_EQ(line(11), QStringLiteral("\"7\"\r"));
    EXPECT_EQ(line(12), QStringLiteral("\"AE0000000000000006\"\r"));
    EXPECT_EQ(line(24), QStringLiteral("\"2\"\r"));          // debt/saving count
    EXPECT_EQ(line(25), QStringLiteral("\"2004-01-02\"\r")); // StartDate before IsSaving
    EXPECT_EQ(line(26), QStringLiteral("\"-1\"\r"));
    // Cells: 12 lines before them in January... March cell 9 is the 2 * 42 + 3rd count.
    const int firstCell = 7 + 1 + 2 * 8 + 1 + 2 * 3 + 2 + 3;
    const int march9 = firstCell + 2 * 42 + 2;
    EXPECT_EQ(line(march9), QStringLiteral("\"3\"\r"));
    EXPECT_EQ(line(march9 + 1), QStringLiteral("\"3\"\r")); // AlarmDaysBefore before AlarmOn
    EXPECT_EQ(line(march9 + 2), QStringLiteral("\"-1\"\r"));
    EXPECT_EQ(line(march9 + 9), QStringLiteral("\"AE0000000000000006\"\r"));
}

TEST_F(CalWriter, PicturesAreEmbeddedInTheirOrderAndOnlyCaldataIsEncrypted) {
    CalDocument doc = fullDocument(dir);
    const QString target = dir.filePath(QStringLiteral("full.cal"));
    ASSERT_TRUE(SaveCalFile(target, doc));
    // Month 5 uses the default background: no bck.05 although it names a file.
    EXPECT_EQ(entriesOf(target),
              (QStringList{QStringLiteral("caldata.cal"), QStringLiteral("bck.00"),
                           QStringLiteral("bck.02"), QStringLiteral("ev.03090002"),
                           QStringLiteral("ev.12480000")}));
    EXPECT_EQ(calDataOf(target, doc.Password), WriteCalData(doc));

    // Python's zipfile agrees: caldata.cal needs the password, the pictures do not.
    const ToolResult py = runShell(
        QStringLiteral(
            "python3 -c \"import sys, zipfile\n"
            "z = zipfile.ZipFile(sys.argv[1])\n"
            "assert all(bool(i.flag_bits & 1) == (i.filename == 'caldata.cal') for i in "
            "z.infolist())\n"
            "sys.stdout.buffer.write(z.read('caldata.cal', pwd=bytes.fromhex(sys.argv[2])))\n"
            "z.read('bck.02')\" %1 %2")
            .arg(quoted(target), QString::fromLatin1(rt::toCp1252(doc.Password).toHex())));
    EXPECT_EQ(py.exitCode, 0) << py.err.toStdString();
    EXPECT_EQ(py.out, WriteCalData(doc));
    const ToolResult pic = runShell(QStringLiteral("unzip -p %1 ev.12480000").arg(quoted(target)));
    EXPECT_EQ(pic.exitCode, 0);
    EXPECT_EQ(QImage::fromData(pic.out).size(), QSize(5, 9));

    // Without embedding, caldata.cal alone, whatever pictures are named.
    doc.EmbedPictures = 0;
    doc.Password.clear();
    ASSERT_TRUE(SaveCalFile(target, doc));
    EXPECT_EQ(entriesOf(target), QStringList{QStringLiteral("caldata.cal")});
    EXPECT_EQ(calDataOf(target), WriteCalData(doc));
}

TEST_F(CalWriter, PictureThatCouldNotBeLoadedNeverFailsTheSave) {
    CalDocument doc;
    SetDocDefaults(doc);
    const QString onDisk = makePicture(dir, QStringLiteral("disk.bmp"), qRgb(1, 200, 3));
    EVItem item;
    item.PictureFile = onDisk; // its picture is empty, as after a failed load
    item.Picture = rt::Picture::empty();
    ListAppend(doc.Months(1).Cells(10), item);
    item.PictureFile = dir.filePath(QStringLiteral("gone.bmp")); // and no file either
    ListAppend(doc.Months(1).Cells(10), item);
    doc.DefaultBackground.FileName = dir.filePath(QStringLiteral("gone-too.bmp"));

    const QString target = dir.filePath(QStringLiteral("doc.cal"));
    ASSERT_TRUE(SaveCalFile(target, doc));
    EXPECT_TRUE(ui().msgBoxCalls.empty());
    EXPECT_EQ(entriesOf(target),
              (QStringList{QStringLiteral("caldata.cal"), QStringLiteral("ev.01100000")}));
    const ToolResult pic = runShell(QStringLiteral("unzip -p %1 ev.01100000").arg(quoted(target)));
    EXPECT_EQ(QImage::fromData(pic.out).pixel(3, 3), qRgb(1, 200, 3));
}

TEST_F(CalWriter, FailedSaveReportsItAndCancelLeavesNoFile) {
    CalDocument doc;
    SetDocDefaults(doc);
    CurDoc.FileName = QStringLiteral("/old/name.cal");
    const QString target = dir.filePath(QStringLiteral("missing/doc.cal"));
    ui().msgBoxAnswers = {rt::vbCancel};
    EXPECT_FALSE(SaveCalFile(target, doc));
    ASSERT_EQ(ui().msgBoxCalls.size(), 1u);
    const auto& box = ui().msgBoxCalls[0];
    EXPECT_EQ(box.title, rt::LoadResString(10036));
    EXPECT_EQ(box.style, rt::vbCritical | rt::vbRetryCancel);
    EXPECT_TRUE(box.prompt.startsWith(rt::LoadResString(10033) + QStringLiteral("\r") + target +
                                      QStringLiteral("\r\r") + rt::LoadResString(10038) +
                                      QStringLiteral("  76\r")))
        << box.prompt.toStdString();
    EXPECT_TRUE(box.prompt.contains(
        QStringLiteral("le dossier %1 n'existe pas").arg(dir.filePath(QStringLiteral("missing")))))
        << box.prompt.toStdString();
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(doc.FileName, QString());
    EXPECT_EQ(CurDoc.FileName, QStringLiteral("/old/name.cal"));
    EXPECT_FALSE(ui().hourglass());
}

TEST_F(CalWriter, RetryWritesTheWholeFileAgainFromItsFirstLine) {
    CalDocument doc = fullDocument(dir);
    const QString folder = dir.filePath(QStringLiteral("later"));
    const QString target = folder + QStringLiteral("/doc.cal");
    // The folder appears once the message has been answered, as if the user had made it.
    ui().onDoEvents = [&](bool) {
        if (ui().msgBoxCalls.size() == 1) QDir().mkpath(folder);
    };
    ui().msgBoxAnswers = {rt::vbRetry};
    ASSERT_TRUE(SaveCalFile(target, doc));
    EXPECT_EQ(ui().msgBoxCalls.size(), 1u);
    EXPECT_EQ(calDataOf(target, doc.Password), WriteCalData(doc));
    EXPECT_EQ(entriesOf(target).size(), 5);
}

TEST_F(CalWriter, FailingDeviceLeavesThePreviousFileByteForByte) {
    CalDocument doc = fullDocument(dir);
    // Two pictures of random pixels: each fits under the file size limit set below, the
    // archive holding both cannot.
    QRandomGenerator rng(7);
    for (ImageItem* image : {&doc.DefaultBackground, &doc.Months(2).Background}) {
        QImage noise(300, 300, QImage::Format_RGB32);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x)
                noise.setPixel(x, y, rng.generate() | 0xFF000000u);
        image->Picture = rt::Picture::fromImage(noise);
    }

    const QString target = dir.filePath(QStringLiteral("doc.cal"));
    CalDocument previous;
    SetDocDefaults(previous);
    ASSERT_TRUE(SaveCalFile(target, previous));
    const QByteArray before = readFile(target);

    // Every file stops growing at the limit: with room for each picture the archive fails, with
    // less the work folder is full first. Either way the disk is full, for the file named.
    const struct {
        rlim_t limit;
        QString named; // the end of the file name the message gives
    } cases[] = {
        {400 * 1024, target},
        {100 * 1024, target}, // no work file of its own: the archive is made from memory
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named.toStdString());
        ui().msgBoxCalls.clear();
        struct rlimit saved {};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        struct rlimit small = saved;
        small.rlim_cur = c.limit;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        ui().msgBoxAnswers = {rt::vbRetry, rt::vbCancel};
        const bool written = SaveCalFile(target, doc);
        setrlimit(RLIMIT_FSIZE, &saved);

        EXPECT_FALSE(written);
        ASSERT_EQ(ui().msgBoxCalls.size(), 2u);
        const QString prompt = ui().msgBoxCalls[0].prompt;
        EXPECT_TRUE(prompt.contains(QStringLiteral("  61\r") + rt::LoadResString(10039) +
                                    QStringLiteral("  ") + rt::errorDescription(rt::ErrDiskFull) +
                                    QStringLiteral(" : ")))
            << prompt.toStdString();
        EXPECT_TRUE(
            prompt.section(u'\r', 4, 4).contains(c.named + QStringLiteral(" (la taille maximale")))
            << prompt.toStdString();
        EXPECT_EQ(readFile(target), before);
        EXPECT_EQ(QDir(dir).entryList({QStringLiteral("*doc.cal*")}, QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("doc.cal")});
    }
}

TEST_F(CalWriter, SaveThroughLinksWritesTheFileAtTheEndAndKeepsEveryLink) {
    ASSERT_TRUE(dir.mkpath(QStringLiteral("real")) && dir.mkpath(QStringLiteral("links")));
    const QString real = dir.filePath(QStringLiteral("real/doc.cal"));
    const QString relative = QStringLiteral("../real/doc.cal");
    const auto link = [&](int i) {
        return QFile::encodeName(dir.filePath(QStringLiteral("links/%1.cal").arg(i)));
    };
    const struct {
        const char* name;
        QStringList chain; // what links/0.cal, links/1.cal... point to
        bool existing;
    } cases[] = {
        {"one level", {real}, true},
        {"relative", {relative}, true},
        {"two levels", {QStringLiteral("1.cal"), relative}, true},
        {"dangling", {QStringLiteral("1.cal"), relative}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CalDocument doc; // each case's file is new to it
        SetDocDefaults(doc);
        QFile::remove(real);
        if (c.existing) {
            writeFile(real, "ancien");
            ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
        }
        for (int i = 0; i < c.chain.size(); ++i) {
            ::unlink(link(i).constData());
            ASSERT_EQ(::symlink(QFile::encodeName(c.chain[i]).constData(), link(i).constData()), 0);
        }
        ASSERT_TRUE(SaveCalFile(QFile::decodeName(link(0)), doc));
        EXPECT_EQ(calDataOf(real), WriteCalData(doc));
        for (int i = 0; i < c.chain.size(); ++i) {
            char target[4096];
            const ssize_t n = ::readlink(link(i).constData(), target, sizeof target);
            EXPECT_EQ(QByteArray(target, int(std::max<ssize_t>(n, 0))),
                      QFile::encodeName(c.chain[i]));
        }
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
        if (c.existing) { // the mode of the file replaced
            EXPECT_EQ(st.st_mode & 0777, 0640u);
        }
        EXPECT_EQ(QDir(dir.filePath(QStringLiteral("real"))).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("doc.cal")});
    }
}

// A save of a big year killed in the middle leaves nothing under its TMPDIR, only its partial
// file beside the document, which the next save removes.
TEST_F(CalWriter, AKilledSaveLeavesNothingOutsideAndTheNextSaveRemovesItsPartialFile) {
    const QString tmp = dir.filePath(QStringLiteral("tmp"));
    ASSERT_TRUE(dir.mkpath(QStringLiteral("tmp")));
    const QString target = dir.filePath(QStringLiteral("grand.cal"));
    const auto partials = [&] {
        return QDir(dir).entryList({QStringLiteral(".grand.cal.mirovanta-*")},
                                   QDir::Files | QDir::Hidden);
    };
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), tmp);
    child.setProcessEnvironment(env);
    child.start(QStringLiteral(CAL_OPEN_HELPER),
                {QStringLiteral("--save"), target, QStringLiteral("200000")});
    ASSERT_TRUE(child.waitForStarted(5000));
    while (partials().isEmpty() && !child.waitForFinished(2)) {
    }
    child.kill(); // SIGKILL, while its archive is being written
    child.waitForFinished(5000);
    ASSERT_EQ(partials().size(), 1) << "the save ended before it could be killed";
    EXPECT_TRUE(
        QDir(tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());

    CalDocument doc;
    SetDocDefaults(doc);
    ASSERT_TRUE(SaveCalFile(target, doc));
    EXPECT_TRUE(partials().isEmpty());
    EXPECT_EQ(calDataOf(target), WriteCalData(doc));
}

// A save as an ordinary user keeps the document the file its owner set up, in every folder the
// user may save in, and refuses what would write elsewhere. Each row prepares the folder $D and
// its document $F as root (with the shell functions below; the helper program is $H), saves $F
// as a user, and checks the files as root. The helper's year of N items holds N lines
// "... ment n° ..." in its data. A row with a rival holds its save once it holds the file, then
// starts the rival's save, which must wait for it, and lets the first go on.
TEST_F(CalWriter, SavesAsOrdinaryUsersKeepTheFileAsItsOwnerSetItUp) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to make two ordinary users";
    ASSERT_TRUE(testing_support::makeOrdinaryUsers());
    for (const char* tool : {"setfacl", "setfattr", "setpriv", "flock"})
        if (runShell(QStringLiteral("command -v %1").arg(QLatin1String(tool))).exitCode != 0)
            GTEST_SKIP() << tool << " is missing (scripts/setup installs it)";
    // The users must reach the helper and the folders.
    QTemporaryDir top(QStringLiteral("/tmp/mrv-users-XXXXXX"));
    ASSERT_TRUE(top.isValid());
    ASSERT_EQ(::chmod(QFile::encodeName(top.path()).constData(), 0755), 0);
    const QString functions = QStringLiteral(
        "set -e\n"
        "old() { $H --save \"$F\" 3 >/dev/null; stat -c %i \"$F\" > \"$D/ino\"; unzip -p \"$F\" > "
        "\"$D/old\"; }\n"
        "is() { [ \"$(stat -c %U:%G:%a \"$F\")\" = \"$1\" ]; }\n"
        "items() { [ \"$(unzip -p \"$F\" caldata.cal | grep -ac 'ment n')\" = \"$1\" ]; }\n"
        "inPlace() { [ \"$(stat -c %i \"$F\")\" = \"$(cat \"$D/ino\")\" ]; }\n"
        "unchanged() { unzip -p \"$F\" | cmp -s - \"$D/old\"; }\n"
        "noPartial() { ! ls -a \"$D\" | grep -q mirovanta-; }\n"
        "meta() { getfacl -c \"$F\"; getfattr -d \"$F\" | tail -n +2; }\n"
        "family() { chgrp mrvfamily \"$D\"; chmod 775 \"$D\"; }\n"
        "notes() { mkdir \"$D/a\"; echo notes > \"$D/a/n.txt\"; chown -R mrvalice \"$D/a\"; }\n"
        "plant() { rm \"$F\"; ln -s \"$D/a/n.txt\" \"$F\"; chown -h mrvbob \"$F\"; }\n");
    const struct {
        const char* name;
        const char* setup; // as root; a row with the setup of the one before goes on in its folder
        const char* user;  // who saves
        int fileSizeKiB;   // the size limit; 0 for none
        const char* mode;  // "--save N" (a new year of N items), "--resave" (open, then save),
                           // "" (open only)
        const char* between; // as root, after the open of --resave and before the save
        const char* message; // in the message box (%1 the file, %2 its folder); "" when saved
        const char* check;   // as root, must succeed
        const char* rival = nullptr;       // "USER MODE" of the second save
        const char* rivalMessage = "";     // in its message box; "" when saved
        int rivalLockWaitMs = 0;           // how long it waits for the first; 0 for as shipped
    } cases[] = {
        // clang-format off
        // The owner's own file: a new file takes its place, with its group, access list and
        // attributes.
        {"group of the owner's file", "old; chown -R mrvalice \"$D\"; chgrp mrvfamily \"$F\"; chmod 640 \"$F\"",
         "mrvalice", 0, "--save 5", "", "", "is mrvalice:mrvfamily:640; ! inPlace; items 5"},
        {"access list and attributes", "old; chown -R mrvalice \"$D\"; chgrp mrvfamily \"$F\"; chmod 600 \"$F\"; "
         "setfacl -m u:mrvbob:r \"$F\"; setfattr -n user.note -v budget \"$F\"; "
         "setfattr -n user.xdg.origin.url -v file:///x \"$F\"; meta > \"$D/meta\"",
         "mrvalice", 0, "--save 5", "", "", "meta | cmp -s - \"$D/meta\"; ! inPlace; items 5"},
        // A family folder: the owner's save keeps the group, so the other member still saves.
        {"family folder, the owner saves", "family; old; chown mrvalice:mrvfamily \"$F\"; chmod 664 \"$F\"",
         "mrvalice", 0, "--save 5", "", "", "is mrvalice:mrvfamily:664; ! inPlace; stat -c %i \"$F\" > \"$D/ino\""},
        {"family folder, then the other member", "family; old; chown mrvalice:mrvfamily \"$F\"; chmod 664 \"$F\"",
         "mrvbob", 0, "--save 6", "", "", "is mrvalice:mrvfamily:664; inPlace; items 6"},
        // Written in place: every name of the file shows the new year.
        {"hard links", "old; ln \"$F\" \"$D/other.cal\"; chown -R mrvalice \"$D\"",
         "mrvalice", 0, "--save 5", "", "", "inPlace; F=\"$D/other.cal\" items 5; noPartial"},
        {"own file in a folder of root's", "old; chown mrvalice \"$F\"",
         "mrvalice", 0, "--save 5", "", "", "inPlace; items 5"},
        {"another user's 666 file in a folder of root's", "old; chown mrvalice \"$F\"; chmod 666 \"$F\"",
         "mrvbob", 0, "--save 5", "", "", "is mrvalice:root:666; inPlace; items 5"},
        {"another user's 666 file in a sticky folder", "chmod 1777 \"$D\"; old; chown mrvalice \"$F\"; chmod 666 \"$F\"",
         "mrvbob", 0, "--save 5", "", "", "inPlace; items 5; noPartial"},
        {"a new file in a folder of root's", "", "mrvalice", 0, "--save 5", "",
         "  70|Description de l'erreur :  Permission refusée : %1 (le dossier %2 n'est pas accessible",
         "[ ! -e \"$F\" ]"},
        // The file size limit: the save fails with its message, the program goes on, and the old
        // year stays whole on either road.
        {"size limit, replaced", "old; chown -R mrvalice \"$D\"", "mrvalice", 100, "--save 40000", "",
         "  61|Description de l'erreur :  Disque plein : %1 (la taille maximale", "unchanged; noPartial"},
        {"size limit, in place", "old; ln \"$F\" \"$D/other.cal\"; chown -R mrvalice \"$D\"", "mrvalice", 100,
         "--save 40000", "", "  61|Description de l'erreur :  Disque plein : %1 (la taille maximale",
         "unchanged; inPlace; noPartial"},
        // A link planted by another user between the open and the save is not followed, nor
        // is a file put in the document's place written over.
        {"link planted in a sticky folder", "chmod 1777 \"$D\"; old; chown mrvbob \"$F\"; chmod 666 \"$F\"; notes",
         "mrvalice", 0, "--resave", "plant", "  70|Description de l'erreur :  Permission refusée : %1 (le lien symbolique %1",
         "[ \"$(cat \"$D/a/n.txt\")\" = notes ]"},
        {"link planted in a family folder", "family; old; chown mrvbob:mrvfamily \"$F\"; chmod 664 \"$F\"; notes",
         "mrvalice", 0, "--resave", "plant", "  70|Description de l'erreur :  Permission refusée : %1 (le lien symbolique %1",
         "[ \"$(cat \"$D/a/n.txt\")\" = notes ]"},
        {"document replaced on disk since it was opened", "family; old; chown mrvalice:mrvfamily \"$F\"; chmod 664 \"$F\"",
         "mrvalice", 0, "--resave", "echo autre > \"$D/x\"; mv \"$D/x\" \"$F\"",
         "  75|Description de l'erreur :  Erreur d'accès au chemin/fichier : %1 (le fichier a été remplacé sur le disque",
         "[ \"$(cat \"$F\")\" = autre ]"},
        // Opening removes what killed saves of this user left, but not another user's, nor one
        // still in use.
        {"leftovers of killed saves", "chmod 1777 \"$D\"; old; chown mrvalice \"$F\"; "
         "for x in AAAAAA BBBBBB CCCCCC; do echo x > \"$D/.d.cal.mirovanta-$x\"; done; "
         "chown mrvalice \"$D/.d.cal.mirovanta-AAAAAA\"; chown mrvbob \"$D/.d.cal.mirovanta-BBBBBB\"; "
         "(flock \"$D/.d.cal.mirovanta-CCCCCC\" sleep 60 >/dev/null 2>&1 &); sleep 0.2",
         "mrvalice", 0, "", "", "", "r=0; [ ! -e \"$D/.d.cal.mirovanta-AAAAAA\" ] && [ -e \"$D/.d.cal.mirovanta-BBBBBB\" ] && "
         "[ -e \"$D/.d.cal.mirovanta-CCCCCC\" ] || r=1; pkill -f \"flock $D\"; exit $r"},
        // Two saves of one year at the same moment: the second waits for the first, whichever
        // road each takes, and the year is the whole one of the save that came last.
        {"two members in place, the shorter first", "family; old; chgrp mrvfamily \"$F\"; chmod 664 \"$F\"",
         "mrvbob", 0, "--save 5", "", "", "inPlace; items 3000; noPartial; unzip -tq \"$F\"",
         "mrvalice --save 3000"},
        {"the owner's rename waits for the other's write in place", "family; old; chown mrvalice:mrvfamily \"$F\"; chmod 664 \"$F\"",
         "mrvbob", 0, "--save 5", "", "", "! inPlace; items 3000; is mrvalice:mrvfamily:664; noPartial",
         "mrvalice --save 3000"},
        {"a write in place after the owner's rename finds the file replaced", "family; old; chown mrvalice:mrvfamily \"$F\"; chmod 664 \"$F\"",
         "mrvalice", 0, "--save 3000", "", "", "! inPlace; items 3000; noPartial", "mrvbob --resave",
         "  75|Description de l'erreur :  Erreur d'accès au chemin/fichier : %1 (le fichier a été remplacé sur le disque depuis"},
        {"a save that waits too long gives up", "family; old; chgrp mrvfamily \"$F\"; chmod 664 \"$F\"",
         "mrvbob", 0, "--save 5", "", "", "inPlace; items 5; noPartial", "mrvalice --save 3000",
         "  75|Description de l'erreur :  Erreur d'accès au chemin/fichier : %1 (un autre enregistrement de ce fichier est en cours", 300},
        // A year that an interrupted save left damaged names the whole copy kept beside it, not
        // the newer unfinished one, and leaves both.
        {"a damaged year names its whole copy", "family; old; chown mrvalice:mrvfamily \"$F\"; chmod 664 \"$F\"; "
         "K=\"$D/.d.cal.mirovanta-Kept01\"; cp -p \"$F\" \"$K\"; chown mrvbob \"$K\"; touch -d '1 minute ago' \"$K\"; "
         "head -c $(($(stat -c %s \"$F\") / 2)) \"$F\" > \"$D/.d.cal.mirovanta-Torn01\"; chmod 644 \"$D/.d.cal.mirovanta-Torn01\"; "
         "printf 'xxxxxxxxxxxxxxxx' | dd of=\"$F\" bs=1 seek=100 conv=notrunc 2>/dev/null",
         "mrvalice", 0, "", "", "13002|Description de l'erreur :  Une entrée de l'archive est endommagée.|"
         "Source de l'erreur :  ZipArchive||Une copie complète de ce calendrier, gardée par un enregistrement qui n'a pas "
         "pu finir, se trouve à côté de lui :|%2/.d.cal.mirovanta-Kept01|Ce fichier caché n'a pas été modifié",
         "[ -e \"$D/.d.cal.mirovanta-Kept01\" ] && [ -e \"$D/.d.cal.mirovanta-Torn01\" ]"},
        // clang-format on
    };
    QString folder;
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (&c == cases || std::strcmp(c.setup, (&c - 1)->setup) != 0)
            folder = top.filePath(QString::number(n++));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("D"), folder);
        env.insert(QStringLiteral("F"), folder + QStringLiteral("/d.cal"));
        env.insert(QStringLiteral("H"), QStringLiteral(CAL_OPEN_HELPER));
        env.remove(QStringLiteral("XDG_RUNTIME_DIR")); // root's
        const auto asRoot = [&](const char* script) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"), functions + QString::fromUtf8(script)});
            return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit &&
                   p.exitCode() == 0;
        };
        if (QDir().mkpath(folder) && !QFileInfo::exists(folder + QStringLiteral("/ino"))) {
            ASSERT_TRUE(asRoot(c.setup));
        }

        // The user's save, as the program's process, the size limit set by its shell; the
        // helper takes the file before the count of items.
        const QStringList mode = QString::fromLatin1(c.mode).split(u' ');
        QString command = QStringLiteral("setpriv --reuid=%1 --regid=%1 --init-groups -- \"$H\" "
                                         "%2 \"$F\" %3")
                              .arg(QLatin1String(c.user), mode.value(0), mode.value(1));
        if (c.fileSizeKiB > 0)
            command = QStringLiteral("ulimit -f %1; exec ").arg(c.fileSizeKiB) + command;
        const auto waitForLine = [](QProcess& p, const char* line) {
            while (!p.peek(1 << 16).contains(line) && p.waitForReadyRead(20000)) {
            }
            return p.peek(1 << 16).contains(line);
        };
        QProcess save;
        QProcessEnvironment saveEnv = env;
        if (c.rival) saveEnv.insert(QStringLiteral("MRV_HOLD_SAVE"), QStringLiteral("1"));
        save.setProcessEnvironment(saveEnv);
        save.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
        if (mode[0] == QLatin1String("--resave")) waitForLine(save, "read ");
        if (*c.between != '\0') {
            EXPECT_TRUE(asRoot(c.between));
        }
        QProcess rival;
        QString rivalOut;
        if (c.rival) {
            ASSERT_TRUE(waitForLine(save, "holding")) << save.readAll().toStdString();
            const QStringList rivalMode = QString::fromLatin1(c.rival).split(u' ');
            QProcessEnvironment rivalEnv = env;
            if (c.rivalLockWaitMs > 0)
                rivalEnv.insert(QStringLiteral("MRV_SAVE_LOCK_WAIT_MS"),
                                QString::number(c.rivalLockWaitMs));
            rival.setProcessEnvironment(rivalEnv);
            rival.start(QStringLiteral("/bin/sh"),
                        {QStringLiteral("-c"),
                         QStringLiteral("exec setpriv --reuid=%1 --regid=%1 --init-groups -- "
                                        "\"$H\" %2 \"$F\" %3")
                             .arg(rivalMode.value(0), rivalMode.value(1), rivalMode.value(2))});
            rival.closeWriteChannel();
            // The rival waits for the first save: it has not saved when the first goes on.
            EXPECT_TRUE(waitForLine(rival, "waiting")) << rival.peek(1 << 16).toStdString();
            EXPECT_FALSE(rival.peek(1 << 16).contains("saved "));
            if (c.rivalLockWaitMs > 0) { // it gives up while the first still holds the file
                EXPECT_TRUE(rival.waitForFinished(20000));
            }
            save.write("go\n");
        }
        save.closeWriteChannel();
        ASSERT_TRUE(save.waitForFinished(120000));
        if (c.rival) {
            ASSERT_TRUE(rival.state() == QProcess::NotRunning || rival.waitForFinished(120000));
            rivalOut = QString::fromUtf8(rival.readAllStandardOutput());
            const QString expected =
                QString::fromUtf8(c.rivalMessage)
                    .replace(QStringLiteral("%1"), env.value(QStringLiteral("F")));
            EXPECT_TRUE(rivalOut.contains(expected.isEmpty() ? QStringLiteral("saved 1")
                                                             : QStringLiteral("saved 0\nmessage ")))
                << rivalOut.toStdString();
            EXPECT_TRUE(rivalOut.contains(expected)) << rivalOut.toStdString();
        }
        const QString out = QString::fromUtf8(save.readAllStandardOutput());
        // The size limit is no signal: the process ends as it should.
        EXPECT_EQ(save.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(save.exitCode(), 0) << save.readAllStandardError().toStdString();
        const QString message = QString::fromUtf8(c.message)
                                    .replace(QStringLiteral("%1"), env.value(QStringLiteral("F")))
                                    .replace(QStringLiteral("%2"), folder);
        const QString outcome = QLatin1String(*c.mode == '\0' ? "read " : "saved ") +
                                (message.isEmpty() ? QStringLiteral("1")
                                                   : QStringLiteral("0\nmessage "));
        EXPECT_TRUE(out.contains(outcome)) << out.toStdString();
        EXPECT_TRUE(out.contains(message)) << out.toStdString();
        EXPECT_TRUE(asRoot(c.check)) << out.toStdString() << rivalOut.toStdString();
    }
}
