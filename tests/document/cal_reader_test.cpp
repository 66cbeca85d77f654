#include "cal_test_support.h"
#include "core/heap_growth.h"
#include "core/resources.h"
#include "document/balances.h"
#include "document/calendar_entries.h"
#include "document/day_items.h"
#include "document/doc_state.h"
#include "document/money_text.h"
#include "document/month_grid.h"

#include <QElapsedTimer>
#include <QThread>
#include <functional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace caltest;

namespace {

class CalReader : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        ASSERT_TRUE(work.isValid());
        dir = QDir(work.path());
        // Private work folders go here, so a test can see that none is left behind.
        tmp = dir.filePath(QStringLiteral("tmp"));
        QDir().mkpath(tmp);
        hadTmp = qEnvironmentVariableIsSet("TMPDIR");
        oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(tmp));
    }
    void TearDown() override {
        if (!hadTmp)
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", oldTmp);
        DocTest::TearDown();
    }

    // The message boxes shown, by the body after the heading, file name and empty line.
    QStringList messageBodies() const {
        QStringList bodies;
        for (const auto& box : ui_->msgBoxCalls)
            bodies << box.prompt.section(QLatin1Char('\r'), 3);
        return bodies;
    }
    QStringList tmpLeft() const {
        return QDir(tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    void answerPasswords(std::initializer_list<const char*> typed) {
        for (const char* t : typed)
            views().PasswordAnswers.push_back({true, QString::fromUtf8(t)});
    }

    QTemporaryDir work;
    QDir dir;
    QString tmp;
    QByteArray oldTmp;
    bool hadTmp = false;
};

QString codeOneBody(int number) {
    return rt::LoadResString(10038) + QStringLiteral("  %1\r").arg(number) +
           rt::LoadResString(10039);
}

// The same for an error that names the file at path.
QString fileErrorBody(int number, const QString& path) {
    return codeOneBody(number) + QStringLiteral("  ") + rt::errorDescription(number) +
           QStringLiteral(" : ") + path;
}

} // namespace

TEST_F(CalReader, EveryFieldComesBackWithPasswordAndEmbeddedPictures) {
    const CalDocument original = fullDocument(dir);
    CalDocument written = original;
    const QString file = dir.filePath(QStringLiteral("complet.cal"));
    ASSERT_TRUE(SaveCalFile(file, written));
    // The picture files are gone: the pictures come from the archive.
    for (const QString& f : QDir(dir).entryList({QStringLiteral("*.bmp")}))
        QFile::remove(dir.filePath(f));

    views().ClearCalls();
    views().State = QStringLiteral("Logo");
    answerPasswords({"mot dé passe€"});
    CalDocument read;
    // Events run between the months of items: March read, December not yet.
    bool ranAmidItems = false;
    ui().onDoEvents = [&](bool) {
        ranAmidItems |= read.Months(3).Cells(9).Count == 3 && read.Months(12).Cells(48).Count == 0;
    };
    ASSERT_TRUE(LoadCalFile(file, read));
    EXPECT_TRUE(ranAmidItems);
    expectSameDocument(original, read);
    EXPECT_EQ(read.Password, original.Password);
    EXPECT_EQ(read.FileName, file);
    EXPECT_TRUE(ui().msgBoxCalls.empty());

    EXPECT_EQ(views().CallsOf(QStringLiteral("AskPassword")),
              QStringList{QStringLiteral("AskPassword()")});
    EXPECT_EQ(views().CallsOf(QStringLiteral("SetMainMode")),
              QStringList{QStringLiteral("SetMainMode(2)")});
    QStringList steps;
    for (int id : {10029, 10030, 10031})
        steps << rt::LoadResString(id);
    QStringList shown;
    for (const QString& call : views().CallsOf(QStringLiteral("SetLoadingCaption(1,")))
        if (!shown.contains(call.mid(20).chopped(1))) shown << call.mid(20).chopped(1);
    EXPECT_EQ(shown, steps);
    EXPECT_EQ(views().Loading[0], rt::LoadResString(10028));
    EXPECT_TRUE(PasswordHandOver.isEmpty());
    EXPECT_FALSE(ui().hourglass());
    EXPECT_EQ(ui().doEventsCount, 0); // user input held back throughout
    EXPECT_TRUE(tmpLeft().isEmpty());
}

// A reading started ahead is taken by the first reading of its file while the file is the one it
// read: the document then comes whole, never seen half read. Whatever happens meanwhile, the
// open gives what a reading of its own gives right after, with the same messages.
TEST_F(CalReader, AReadingAheadIsTakenOnlyForItsFileUnchanged) {
    CalDocument doc = fullDocument(dir);
    doc.Password.clear();
    doc.EmbedPictures = 0;
    const QString file = dir.filePath(QStringLiteral("devant.cal"));
    const QString other = dir.filePath(QStringLiteral("autre.cal"));
    ASSERT_TRUE(SaveCalFile(file, doc));
    CalDocument read;
    bool halfRead = false;
    ui().onDoEvents = [&](bool) {
        halfRead |= read.Months(3).Cells(9).Count == 3 && read.Months(12).Cells(48).Count == 0;
    };
    const auto save = [&] { ASSERT_TRUE(SaveCalFile(file, doc)); };
    qsizetype held = 0; // the pictures held before the reading ahead
    const struct {
        const char* what;
        std::function<void()> meanwhile;
        const QString& loaded;
        bool taken;
    } cases[] = {
        {"unchanged", [] {}, file, true},
        {"saved again", [&] { doc.Author = QStringLiteral("Après"); save(); }, file, false},
        {"a picture replaced once decoded",
         [&] {
             QElapsedTimer decoding;
             decoding.start();
             while (rt::DecodedPicturesInUse().count < held + 2 && !decoding.hasExpired(10000))
                 QThread::msleep(2);
             ASSERT_EQ(rt::DecodedPicturesInUse().count, held + 2); // the items' two
             makePicture(dir, QStringLiteral("dernier.bmp"), qRgb(0, 0, 250), 7, 3);
         },
         file, true},
        {"another file",
         [&] {
             CalDocument empty;
             SetDocDefaults(empty);
             ASSERT_TRUE(SaveCalFile(other, empty));
         },
         other, false},
        {"a password",
         [&] {
             doc.Password = QStringLiteral("clé");
             save();
             answerPasswords({"clé", "clé"});
         },
         file, false},
        {"damaged",
         [&] {
             doc.Password.clear();
             save();
             QFile damaged(file);
             ASSERT_TRUE(damaged.open(QIODevice::ReadWrite) && damaged.resize(damaged.size() / 2));
             ui().msgBoxAnswers = {rt::vbCancel, rt::vbCancel};
         },
         file, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // No item's picture is held: the reading ahead decodes them afresh.
        read = CalDocument();
        doc.Months(3).Cells(9).Items[2].Picture = rt::Picture::empty();
        doc.Months(12).Cells(48).Items[0].Picture = rt::Picture::empty();
        DropCalFileReadAhead();
        held = rt::DecodedPicturesInUse().count;
        ReadCalFileAhead(file);
        c.meanwhile();
        halfRead = false;
        ui().msgBoxCalls.clear();
        const bool loaded = LoadCalFile(c.loaded, read);
        const QStringList messages = messageBodies();
        if (c.taken) {
            EXPECT_FALSE(halfRead);
        }
        CalDocument own;
        ui().msgBoxCalls.clear();
        EXPECT_EQ(LoadCalFile(c.loaded, own), loaded);
        EXPECT_EQ(messageBodies(), messages);
        if (!loaded) continue;
        expectSameDocument(own, read);
        const DayCell& last = own.Months(12).Cells(48);
        for (int i = 0; i < last.Count; ++i)
            EXPECT_TRUE(read.Months(12).Cells(48).Items[size_t(i)].Picture.image() ==
                        last.Items[size_t(i)].Picture.image());
    }
}

TEST_F(CalReader, TextValuesWithLineBreaksAndQuotesKeepTheRestOfTheDocumentInPlace) {
    CalDocument doc = fullDocument(dir);
    doc.Password.clear();
    doc.Author = QStringLiteral("Le \"grand\" livre");
    doc.Months(3).Cells(9).Items[1].Text = QStringLiteral("deux\r\nlignes\n");
    CalDocument expected = doc;
    expected.Months(3).Cells(9).Items[1].Text = QStringLiteral("deux  lignes");
    const QString file = dir.filePath(QStringLiteral("texte.cal"));
    ASSERT_TRUE(SaveCalFile(file, doc));
    CalDocument read;
    ASSERT_TRUE(LoadCalFile(file, read));
    expectSameDocument(expected, read);
}

TEST_F(CalReader, PasswordIsAskedTwiceAtMost) {
    CalDocument doc;
    SetDocDefaults(doc);
    doc.Password = QStringLiteral("Secret");
    const QString file = dir.filePath(QStringLiteral("p.cal"));
    ASSERT_TRUE(SaveCalFile(file, doc));

    const QString invalid = rt::LoadResString(10047);
    const struct {
        std::vector<RecordingViews::PasswordAnswer> answers;
        bool read;
        int prompts;
        QStringList bodies;
    } cases[] = {
        {{{true, QStringLiteral("Secret")}}, true, 1, {}},
        {{{true, QStringLiteral("wrong")}, {true, QStringLiteral("Secret")}}, true, 2, {}},
        {{{true, QString()}, {true, QStringLiteral("Secret")}}, true, 2, {}}, // "" is a try
        {{{true, QStringLiteral("  Secret ")}}, true, 1, {}},
        {{{true, QStringLiteral("a")},
          {true, QStringLiteral("b")},
          {true, QStringLiteral("Secret")}},
         false,
         2,
         {invalid}},
        {{{true, QStringLiteral("secret")}, {true, QStringLiteral("SECRET")}}, false, 2, {invalid}},
        {{{false, QStringLiteral("Secret")}}, false, 1, {}},
        {{{true, QStringLiteral("x")}, {false, QString()}}, false, 2, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "answers: " << c.answers.size() << " read " << c.read);
        views().ClearCalls();
        views().PasswordAnswers.assign(c.answers.begin(), c.answers.end());
        ui().msgBoxCalls.clear();
        CalDocument read;
        EXPECT_EQ(LoadCalFile(file, read), c.read);
        EXPECT_EQ(views().CallsOf(QStringLiteral("AskPassword(")).size(), c.prompts);
        EXPECT_EQ(messageBodies(), c.bodies);
        if (c.read) {
            EXPECT_EQ(read.Password, QStringLiteral("Secret"));
        }
        EXPECT_TRUE(PasswordHandOver.isEmpty());
        EXPECT_FALSE(ui().hourglass());
        EXPECT_TRUE(tmpLeft().isEmpty());
    }
}

TEST_F(CalReader, BadInputGetsItsMessage) {
    const QByteArray golden = readFile(dataFile("default-2004.txt"));
    const QString v21 = QStringLiteral("\"2.1\"\r\n");
    const QByteArray body = golden.mid(v21.size());
    const auto withLine = [&](int n, const QByteArray& value) {
        QList<QByteArray> lines = golden.split('\n');
        lines[n - 1] = '"' + value + "\"\r";
        return lines.join('\n');
    };
    QString notZip = dir.filePath(QStringLiteral("texte.cal"));
    writeFile(notZip, golden);
    const QString truncatedZip = dir.filePath(QStringLiteral("coupé.cal"));
    {
        CalDocument doc;
        SetDocDefaults(doc);
        ASSERT_TRUE(SaveCalFile(truncatedZip, doc));
        const QByteArray whole = readFile(truncatedZip);
        writeFile(truncatedZip, whole.left(whole.size() - 30));
    }
    const QString version = rt::LoadResString(10035);
    const QString folder = dir.filePath(QStringLiteral("dossier.cal"));
    QDir().mkpath(folder);
    const QString locked = dir.filePath(QStringLiteral("privé.cal"));
    QFile::copy(truncatedZip, locked);
    QFile::setPermissions(locked, QFileDevice::Permissions());
    const struct {
        const char* name;
        QString file; // an archive of its own, or made from data
        QByteArray data;
        QString body; // the start of the message body
        int style;
    } cases[] = {
        {"a folder",
         folder,
         {},
         fileErrorBody(rt::ErrPathFileAccess, folder) +
             QStringLiteral(" (ce nom est celui d'un dossier)"),
         rt::vbRetryCancel},
        // Root reads every file: the row is skipped when the tests run as root.
        {"no permission (skipped as root)",
         locked,
         {},
         fileErrorBody(rt::ErrPermissionDenied, locked),
         rt::vbRetryCancel},
        {"not a zip", notZip, {}, codeOneBody(rt::ErrZipNotArchive), rt::vbRetryCancel},
        {"truncated archive",
         truncatedZip,
         {},
         codeOneBody(rt::ErrZipNotArchive),
         rt::vbRetryCancel},
        {"missing file",
         dir.filePath(QStringLiteral("nulle part.cal")),
         {},
         codeOneBody(rt::ErrFileNotFound),
         rt::vbRetryCancel},
        {"version 1.9", {}, "\"1.9\"\r\n" + body, version, rt::vbOKOnly},
        {"version 2.10", {}, "\"2.10\"\r\n" + body, version, rt::vbOKOnly},
        {"ends early",
         {},
         golden.left(golden.size() - 20),
         codeOneBody(rt::ErrInputPastEnd),
         rt::vbRetryCancel},
        {"empty caldata", {}, QByteArray(), codeOneBody(rt::ErrInputPastEnd), rt::vbRetryCancel},
        {"year 0", {}, withLine(4, "0"), codeOneBody(ErrBadFileFormat), rt::vbRetryCancel},
        {"year 10000", {}, withLine(4, "10000"), codeOneBody(ErrBadFileFormat), rt::vbRetryCancel},
        {"year not a number",
         {},
         withLine(4, "l'an deux mille"),
         codeOneBody(ErrBadFileFormat),
         rt::vbRetryCancel},
        {"negative count", {}, withLine(8, "-2"), codeOneBody(ErrBadFileFormat), rt::vbRetryCancel},
        {"count beyond the file",
         {},
         withLine(400, "30000"),
         codeOneBody(rt::ErrInputPastEnd),
         rt::vbRetryCancel},
        {"value too large",
         {},
         withLine(6, "40000"),
         codeOneBody(rt::ErrOverflow),
         rt::vbRetryCancel},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.file == locked && ::getuid() == 0) continue;
        const QString file =
            c.file.isEmpty() ? makeArchive(dir, QString::fromUtf8(c.name) + QStringLiteral(".cal"),
                                           {{QStringLiteral("caldata.cal"), c.data}})
                             : c.file;
        ui().msgBoxCalls.clear();
        ui().msgBoxAnswers = {rt::vbCancel};
        CalDocument read;
        read.Author = QStringLiteral("avant");
        EXPECT_FALSE(LoadCalFile(file, read));
        ASSERT_EQ(ui().msgBoxCalls.size(), 1u);
        const auto& box = ui().msgBoxCalls[0];
        EXPECT_TRUE(box.prompt.startsWith(rt::LoadResString(10032) + QStringLiteral("\r") + file +
                                          QStringLiteral("\r\r") + c.body))
            << box.prompt.toStdString();
        EXPECT_EQ(box.style, rt::vbCritical | c.style);
        EXPECT_EQ(box.title, rt::LoadResString(10036));
        EXPECT_TRUE(views().CallsOf(QStringLiteral("AskPassword")).isEmpty());
        EXPECT_TRUE(tmpLeft().isEmpty());
    }
}

TEST_F(CalReader, RetryReadsAgainFromTheStart) {
    CalDocument doc = fullDocument(dir);
    doc.Password.clear();
    const QString good = dir.filePath(QStringLiteral("bon.cal"));
    ASSERT_TRUE(SaveCalFile(good, doc));
    const QString file = dir.filePath(QStringLiteral("plus tard.cal"));

    // A persistent fault: every Retry meets it again at the same place, never reads on.
    const QByteArray golden = readFile(dataFile("default-2004.txt"));
    QList<QByteArray> lines = golden.split('\n');
    lines[5] = "\"99999\"\r";
    const QString bad = makeArchive(dir, QStringLiteral("mauvais.cal"),
                                    {{QStringLiteral("caldata.cal"), lines.join('\n')}});
    ui().msgBoxAnswers = {rt::vbRetry, rt::vbRetry, rt::vbCancel};
    CalDocument read;
    EXPECT_FALSE(LoadCalFile(bad, read));
    EXPECT_EQ(messageBodies(), QStringList(3, messageBodies().value(0)));
    EXPECT_TRUE(messageBodies().value(0).startsWith(codeOneBody(rt::ErrOverflow)));

    // A passing fault: the file appears after the first message; Retry reads it whole.
    ui().msgBoxCalls.clear();
    ui().msgBoxAnswers = {rt::vbRetry};
    ui().onDoEvents = [&](bool) {
        if (ui().msgBoxCalls.size() == 1 && !QFile::exists(file)) QFile::copy(good, file);
    };
    ASSERT_TRUE(LoadCalFile(file, read));
    EXPECT_EQ(ui().msgBoxCalls.size(), 1u);
    expectSameDocument(doc, read);
}

TEST_F(CalReader, PicturesThatCannotBeLoadedAreReportedAndReadingGoesOn) {
    CalDocument doc = fullDocument(dir);
    doc.Password.clear();
    const QString embedded = dir.filePath(QStringLiteral("intégré.cal"));
    ASSERT_TRUE(SaveCalFile(embedded, doc));
    // Drop the picture entry of the March item from the archive.
    ASSERT_EQ(runShell(QStringLiteral("zip -q -d %1 ev.03090002").arg(quoted(embedded))).exitCode,
              0);

    CalDocument read;
    ASSERT_TRUE(LoadCalFile(embedded, read));
    const QString marchPicture = doc.Months(3).Cells(9).Items[2].PictureFile;
    EXPECT_EQ(messageBodies(),
              QStringList{rt::LoadResString(10034) + QStringLiteral("\r\r") +
                          rt::LoadResString(10037) + QStringLiteral("\r") + marchPicture});
    EXPECT_EQ(ui().msgBoxCalls[0].style, rt::vbCritical | rt::vbOKOnly);
    EXPECT_EQ(read.Months(3).Cells(9).Items[2].PictureFile, marchPicture); // name kept
    EXPECT_TRUE(read.Months(3).Cells(9).Items[2].Picture.isEmpty());
    EXPECT_FALSE(read.Months(12).Cells(48).Items[0].Picture.isEmpty());

    // Not embedded: each picture is its own file; a missing one, a relative path, a folder
    // and a pipe are reported and their names cleared, without waiting on the pipe.
    doc.EmbedPictures = 0;
    QFile::remove(doc.DefaultBackground.FileName);
    doc.Months(2).Background.FileName = QStringLiteral("février.bmp");
    doc.Months(3).Cells(9).Items[2].PictureFile = dir.path();
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    doc.Months(12).Cells(48).Items[0].PictureFile = fifo;
    const QString separate = dir.filePath(QStringLiteral("séparé.cal"));
    ASSERT_TRUE(SaveCalFile(separate, doc));
    ui().msgBoxCalls.clear();
    ASSERT_TRUE(LoadCalFile(separate, read));
    QStringList expected;
    for (const QString& name : {doc.DefaultBackground.FileName, QStringLiteral("février.bmp"),
                                dir.path(), doc.Months(5).Background.FileName, fifo})
        expected << rt::LoadResString(10034) + QStringLiteral("\r\r") + rt::LoadResString(10046) +
                        QStringLiteral("\r") + name;
    EXPECT_EQ(messageBodies(), expected);
    EXPECT_TRUE(read.DefaultBackground.FileName.isEmpty());
    EXPECT_TRUE(read.Months(2).Background.FileName.isEmpty());
    EXPECT_TRUE(read.Months(3).Cells(9).Items[2].PictureFile.isEmpty());
    EXPECT_TRUE(read.Months(12).Cells(48).Items[0].PictureFile.isEmpty());
    EXPECT_EQ(read.Months(3).Cells(9).Items[1].Text, doc.Months(3).Cells(9).Items[1].Text);
}

TEST_F(CalReader, ArchivesFromOtherToolsAndOlderLayouts) {
    // A hand-written "2.0" file, zipped with a password by zip itself.
    const QString folder = dir.filePath(QStringLiteral("main"));
    QDir().mkpath(folder);
    QFile::copy(dataFile("v20-beta2.txt"), folder + QStringLiteral("/caldata.cal"));
    const QString file = dir.filePath(QStringLiteral("ancien.cal"));
    ASSERT_EQ(runShell(QStringLiteral("cd %1 && zip -q -P %2 %3 caldata.cal")
                           .arg(quoted(folder), shellPassword(QStringLiteral("été")), quoted(file)))
                  .exitCode,
              0);
    answerPasswords({"été"});
    CalDocument read;
    ASSERT_TRUE(LoadCalFile(file, read));
    EXPECT_EQ(read.Author, QStringLiteral("Émile Brontë"));
    EXPECT_EQ(read.Year, QStringLiteral("2003"));
    ASSERT_EQ(read.AutoEvents.Count, 3);
    EXPECT_EQ(read.AutoEvents.NextKey, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(read.AutoEvents.Items[size_t(i)].Key,
                  QStringLiteral("AE000000000000000%1").arg(i + 1));
        EXPECT_EQ(read.AutoEvents.Items[size_t(i)].Month, 0);
    }
    EXPECT_EQ(read.AutoEvents.Items[2].Recurrence, AERecurrence::Yearly);
    EXPECT_EQ(read.AutoEvents.Items[2].Text, QStringLiteral("Fête œuvre €"));
    EXPECT_EQ(read.DebtsSavings.Items[0].Text, QStringLiteral("Épargne    1500"));
    EXPECT_EQ(read.Birthdays.Count, 0);
    const DayCell& jan = read.Months(1).Cells(10);
    ASSERT_EQ(jan.Count, 2);
    EXPECT_EQ(jan.Items[0].Text, QStringLiteral("Réunion d’équipe"));
    EXPECT_EQ(jan.Items[0].AlarmDaysBefore, 3);
    EXPECT_EQ(jan.Items[1].Checked, -1);
    EXPECT_TRUE(jan.Items[1].SourceKey.isEmpty());
    EXPECT_EQ(read.Months(12).Cells(48).Items[0].Colour, 255);
    EXPECT_EQ(read.DefaultBackground.Mode, ImageMode::Tiled);
    EXPECT_EQ(read.DefaultColours.CellBack, 255);
    EXPECT_EQ(read.DefaultColours.ShowGrid, 0);

    // Written back, it is an ordinary "2.1" document.
    const QList<QByteArray> lines = WriteCalData(read).split('\n');
    EXPECT_EQ(lines.size() - 1, 709 + 8 * 3 + 3 * 1 + 9 * 3);
    EXPECT_EQ(lines[0], QByteArray("\"2.1\"\r"));

    // Entry names leading out of the folder are read flat, and nothing is written outside.
    const QString names = dir.filePath(QStringLiteral("noms.cal"));
    ASSERT_EQ(runShell(QStringLiteral("python3 -c \"import sys, zipfile\n"
                                      "z = zipfile.ZipFile(sys.argv[1], 'w')\n"
                                      "z.write(sys.argv[2], '../caldata.cal')\n"
                                      "z.close()\" %1 %2")
                           .arg(quoted(names), quoted(dataFile("default-2004.txt"))))
                  .exitCode,
              0);
    ui().msgBoxCalls.clear();
    ASSERT_TRUE(LoadCalFile(names, read));
    EXPECT_TRUE(ui().msgBoxCalls.empty());
    EXPECT_EQ(read.Year, QStringLiteral("2004"));
    EXPECT_TRUE(tmpLeft().isEmpty());
}

TEST_F(CalReader, OversizedArchiveIsRefusedWithAClearMessage) {
    const QString file = dir.filePath(QStringLiteral("énorme.cal"));
    ASSERT_EQ(
        runShell(QStringLiteral("python3 -c \"import sys, zipfile\n"
                                "z = zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED)\n"
                                "z.writestr('caldata.cal', bytes(65 * 1024 * 1024))\n"
                                "z.close()\" %1")
                     .arg(quoted(file)))
            .exitCode,
        0);
    ui().msgBoxAnswers = {rt::vbCancel};
    CalDocument read;
    EXPECT_FALSE(LoadCalFile(file, read));
    ASSERT_EQ(messageBodies().size(), 1);
    // The data entry beyond its limit is refused before it is read.
    EXPECT_TRUE(messageBodies()[0].startsWith(codeOneBody(ErrBadFileFormat)))
        << messageBodies()[0].toStdString();
    EXPECT_TRUE(messageBodies()[0].contains(DataTooLargeText()));
    EXPECT_TRUE(tmpLeft().isEmpty());
}

TEST_F(CalReader, ErrorMessageTexts) {
    const rt::RtError error(62, QStringLiteral(" L'entrée dépasse la fin de fichier "),
                            QStringLiteral("Mirovanta"));
    const QString head = rt::LoadResString(10032) + QStringLiteral("\r/x/doc.cal\r\r");
    const QString one = rt::LoadResString(10038) + QStringLiteral("  62\r") +
                        rt::LoadResString(10039) +
                        QStringLiteral("  L'entrée dépasse la fin de fichier\r") +
                        rt::LoadResString(10040) + QStringLiteral("  Mirovanta");
    const struct {
        int code;
        int writing;
        QString prompt;
        int style;
    } cases[] = {
        {1, 0, head + one, rt::vbRetryCancel},
        {2, 0, head + rt::LoadResString(10035), rt::vbOKOnly},
        {3, 0,
         head + rt::LoadResString(10034) + QStringLiteral("\r\r") + rt::LoadResString(10037) +
             QStringLiteral("\r/p/a.bmp"),
         rt::vbOKOnly},
        {4, 0,
         head + rt::LoadResString(10034) + QStringLiteral("\r\r") + rt::LoadResString(10046) +
             QStringLiteral("\r/p/a.bmp"),
         rt::vbOKOnly},
        {5, 0, head + rt::LoadResString(10047), rt::vbOKOnly},
        {2, 1, rt::LoadResString(10033) + QStringLiteral("\r/x/doc.cal\r\r") + one,
         rt::vbRetryCancel},
    };
    for (const auto& c : cases) {
        ui().msgBoxCalls.clear();
        ui().msgBoxAnswers = {rt::vbCancel};
        EXPECT_EQ(ShowCalFileError(QStringLiteral(" /x/doc.cal "), c.code, c.writing, &error,
                                   QStringLiteral(" /p/a.bmp ")),
                  rt::vbCancel);
        ASSERT_EQ(ui().msgBoxCalls.size(), 1u);
        EXPECT_EQ(ui().msgBoxCalls[0].prompt, c.prompt) << c.code << " " << c.writing;
        EXPECT_EQ(ui().msgBoxCalls[0].style, rt::vbCritical | c.style);
        EXPECT_EQ(ui().msgBoxCalls[0].title, QStringLiteral("Erreur de fichier CAL"));
    }
}

TEST_F(CalReader, LoadImageItemPictureOpensOnlyAbsoluteRegularPictureFiles) {
    const QString good = makePicture(dir, QStringLiteral("bon.bmp"), qRgb(5, 6, 7));
    const QString text = dir.filePath(QStringLiteral("texte.bmp"));
    writeFile(text, "pas une image");
    const QString fifo = dir.filePath(QStringLiteral("tube"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString oldCurrent = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const struct {
        QString name;
        bool loads;
    } cases[] = {
        {good, true},
        {QString(), false},
        {QStringLiteral("bon.bmp"), false}, // relative
        {text, false},
        {fifo, false},
        {dir.path(), false},
        {dir.filePath(QStringLiteral("absent.bmp")), false},
    };
    for (const auto& c : cases) {
        ImageItem image;
        image.FileName = c.name;
        EXPECT_EQ(LoadImageItemPicture(image), c.loads) << c.name.toStdString();
        EXPECT_TRUE(image.Picture.hasObject());
        EXPECT_EQ(image.Picture.isEmpty(), !c.loads);
        EXPECT_EQ(image.FileName, c.name);
    }
    QDir::setCurrent(oldCurrent);
}

// Items that name one picture file each get a picture object of their own, with its pixels.
TEST_F(CalReader, ItemsNamingOnePictureFileHavePicturesOfTheirOwn) {
    CalDocument doc;
    SetDocDefaults(doc);
    doc.Year = QStringLiteral("2004");
    doc.EmbedPictures = 0;
    EVItem item;
    item.PictureFile = makePicture(dir, QStringLiteral("même.bmp"), qRgb(1, 2, 3));
    for (int i = 0; i < 3; ++i)
        ListAppend(doc.Months(2).Cells(10 + i), item);
    const QString file = dir.filePath(QStringLiteral("partagée.cal"));
    ASSERT_TRUE(SaveCalFile(file, doc));
    CalDocument read;
    ASSERT_TRUE(LoadCalFile(file, read));
    std::set<int32_t> handles;
    for (int i = 0; i < 3; ++i) {
        const rt::Picture& picture = read.Months(2).Cells(10 + i).Items.at(0).Picture;
        ASSERT_FALSE(picture.isEmpty()) << i;
        EXPECT_EQ(picture.image().pixel(0, 0), qRgb(1, 2, 3)) << i;
        handles.insert(picture.handle());
    }
    EXPECT_EQ(handles.size(), 3u);
}

namespace {

// The huge pages the process holds, in KiB (AnonHugePages), or -1.
qint64 hugePagesHeldKiB() {
    QFile status(QStringLiteral("/proc/self/smaps_rollup"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("AnonHugePages:"))
            return line.mid(14).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace

// A big year's records go into huge pages where the system gives them on request, and read
// back whole; for a small one nothing is asked.
TEST_F(CalReader, BigYearReadsWholeWithItsRecordsInHugePages) {
    CalDocument doc;
    SetDocDefaults(doc);
    doc.Year = QStringLiteral("2004");
    doc.EmbedPictures = 0;
    // Texts of their own, as amounts are: about 5 MiB of text.
    for (int i = 0; i < 70000; ++i) {
        EVItem item;
        item.Kind = ItemKind::Income;
        item.Text = QStringLiteral("Compte %1 %2.%3").arg(i % 300).arg(i).arg(i % 100);
        item.AlarmDaysBefore = i % 4;
        ListAppend(doc.Months(1 + i % 12).Cells(7 + i / 12 % 42), item);
    }
    const QString file = dir.filePath(QStringLiteral("grande.cal"));
    ASSERT_TRUE(SaveCalFile(file, doc));
    const qint64 before = hugePagesHeldKiB();
    CalDocument read;
    ASSERT_TRUE(LoadCalFile(file, read));
    const qint64 after = hugePagesHeldKiB();
    for (int m = 1; m <= 12; ++m)
        for (int c = kFirstCell; c <= kLastCell; ++c) {
            const DayCell& want = doc.Months(m).Cells(c);
            const DayCell& got = read.Months(m).Cells(c);
            ASSERT_EQ(got.Count, want.Count) << m << "/" << c;
            for (int j = 0; j < want.Count; ++j) {
                ASSERT_EQ(got.Items[size_t(j)].Text, want.Items[size_t(j)].Text) << m << "/" << c;
                ASSERT_EQ(got.Items[size_t(j)].AlarmDaysBefore,
                          want.Items[size_t(j)].AlarmDaysBefore);
            }
        }
    if (rt::HugePageSizeOnRequest() == 0 || before < 0)
        GTEST_SKIP() << "no huge pages on request here";
    EXPECT_GT(after, before);
    // Below a few huge pages' worth nothing is asked.
    EXPECT_FALSE(rt::HeapGrowth(rt::HugePageSizeOnRequest()).active());
    EXPECT_TRUE(rt::HeapGrowth(4 * rt::HugePageSizeOnRequest()).active());
}

TEST_F(CalReader, MoneyTextsComeBackAsTheyWereWritten) {
    // Nameless incomes, expenses, debts/savings and auto-events, and a name typed with one
    // leading blank: their money texts keep the blanks before them, so name and amount stay.
    CurDoc = BlankDocument(true);
    SetDocDefaults(CurDoc);
    CurDoc.Year = QStringLiteral("2004");
    const struct {
        int32_t kind; // 0 for a debt or saving
        const char* name;
        const char* amount;
    } moneys[] = {
        {ItemKind::Income, "", "12"},
        {ItemKind::Expense, "", "5"},
        {ItemKind::Income, " Loyer", "650"},
        {ItemKind::Expense, " ", "7"},
        {0, "", "1500"},
        {0, " Livret", "300"},
    };
    DayCell& day = CurDoc.Months(3).Cells(CellOfDay(2004, 3, 9));
    for (const auto& m : moneys) {
        const QString text = MakeMoneyText(QString::fromUtf8(m.name), QString::fromUtf8(m.amount));
        if (m.kind == 0) {
            DEItem de;
            de.StartDate = MakeDate(1, 1, 2004);
            de.IsSaving = *m.name != 0 ? -1 : 0;
            de.Text = text;
            ListAppend(CurDoc.DebtsSavings, de);
            continue;
        }
        EVItem ev;
        ev.Kind = m.kind;
        ev.Text = text;
        ev.Colour = -1;
        ListAppend(day, ev);
    }
    // An event keeps the trimming of every other text.
    EVItem event;
    event.Kind = ItemKind::Event;
    event.Text = QStringLiteral("  Réunion ");
    ListAppend(day, event);
    for (const auto& [kind, amount] :
         {std::pair{ItemKind::Income, "40"}, {ItemKind::Expense, "9"}}) {
        AEItem ae;
        ae.Recurrence = AERecurrence::Monthly;
        ae.Day = 5;
        ae.StartDate = MakeDate(1, 1, 2004);
        ae.EndDate = MakeDate(31, 12, 2004);
        ae.Kind = kind;
        ae.Text = MakeMoneyText(QString(), QString::fromLatin1(amount));
        ae.Key = QStringLiteral("AE%1").arg(kind, 16, 10, QLatin1Char('0'));
        ListAppend(CurDoc.AutoEvents, ae);
    }
    ApplyAEToCalendar();

    const auto totals = [] {
        std::vector<int32_t> t;
        const int16_t cell = CellOfDay(2004, 3, 9);
        for (bool income : {true, false})
            for (int16_t range : {0, 1})
                t.push_back(SummaryTotal(income, range, 3, cell));
        for (int16_t i = 0; i < CurDoc.DebtsSavings.Count; ++i)
            t.push_back(DEBalanceAtDate(i, MakeDate(31, 12, 2004)));
        return t;
    };
    // Day incomes 12 + 650, expenses 5 + 7; the month adds the auto-events' 40 and 9. The
    // nameless debt moves with every nameless income and expense of the year.
    const std::vector<int32_t> expected{662, 702, 12, 21, 1500 + 12 + 12 * 40 - 5 - 7 - 12 * 9,
                                        300};
    ASSERT_EQ(totals(), expected);

    const QString file = dir.filePath(QStringLiteral("sans nom.cal"));
    CalDocument written = CurDoc;
    ASSERT_TRUE(SaveCalFile(file, written));
    CalDocument read;
    ASSERT_TRUE(LoadCalFile(file, read));
    CalDocument trimmed = CurDoc;
    trimmed.Months(3).Cells(CellOfDay(2004, 3, 9)).Items.back().Text = QStringLiteral("Réunion");
    expectSameDocument(trimmed, read); // the same texts: the same names and amounts
    CurDoc = read;
    EXPECT_EQ(totals(), expected);
}

TEST_F(CalReader, TruncatedBitmapsAreRefusedAndTheMessagesStopAfterTen) {
    // Embedded bitmaps whose last rows are missing: their pixels would be whatever memory held.
    QByteArray cut =
        readFile(makePicture(dir, QStringLiteral("entier.bmp"), qRgb(9, 9, 9), 64, 64));
    cut.chop(cut.size() / 2);
    CalDocument doc;
    SetDocDefaults(doc);
    doc.Year = QStringLiteral("2004");
    doc.DefaultBackground.FileName = dir.filePath(QStringLiteral("fond.bmp"));
    const QString photo = dir.filePath(QStringLiteral("photo.bmp"));
    EVItem item;
    item.PictureFile = photo;
    ListAppend(doc.Months(1).Cells(10), item);
    const QString embedded = makeArchive(dir, QStringLiteral("coupé.cal"),
                                         {{QStringLiteral("caldata.cal"), WriteCalData(doc)},
                                          {QStringLiteral("bck.00"), cut},
                                          {ItemPictureEntryName(1, 10, 0), cut}});
    // A thousand items whose picture file is gone: ten messages, then one that counts the rest.
    CalDocument many;
    SetDocDefaults(many);
    many.Year = QStringLiteral("2004");
    many.EmbedPictures = 0;
    item.PictureFile = QStringLiteral("/nonexistent/x.bmp");
    for (int i = 0; i < 1000; ++i)
        ListAppend(many.Months(1 + i % 12).Cells(kFirstCell + i % 42), item);
    const QString missing = makeArchive(dir, QStringLiteral("mille.cal"),
                                        {{QStringLiteral("caldata.cal"), WriteCalData(many)}});

    const QString head = rt::LoadResString(10034) + QStringLiteral("\r\r");
    const QString inArchive = head + rt::LoadResString(10037) + QStringLiteral("\r");
    const QString ofItsOwn = head + rt::LoadResString(10046) + QStringLiteral("\r");
    const QStringList tenMissing(10, ofItsOwn + QStringLiteral("/nonexistent/x.bmp"));
    const struct {
        const char* name;
        QString file;
        QStringList bodies;
    } cases[] = {
        {"embedded", embedded, {inArchive + doc.DefaultBackground.FileName, inArchive + photo}},
        {"a thousand missing", missing,
         tenMissing + QStringList{head + rt::LoadResString(10168).arg(990)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui().msgBoxCalls.clear();
        CalDocument read;
        ASSERT_TRUE(LoadCalFile(c.file, read));
        EXPECT_EQ(messageBodies(), c.bodies);
        const EVItem& first = c.file == missing ? read.Months(1).Cells(kFirstCell).Items.at(0)
                                                : read.Months(1).Cells(10).Items.at(0);
        EXPECT_TRUE(first.Picture.isEmpty());
        // Kept for an embedded picture, cleared for a file of its own.
        EXPECT_EQ(first.PictureFile.isEmpty(), c.file == missing);
    }
}
