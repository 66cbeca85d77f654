// New, open and save on their roads, driven through scripted file and ask-save dialogs.

#include "core/resources.h"
#include "document/money_text.h"
#include "roads_fixture.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <malloc.h>

namespace {
QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST_F(RoadsTest, SaveAndSaveAsOnAnUnchangedDocumentWriteItWholeWithoutAskSave) {
    const QString file = path("named.cal");
    startDocument(file, true);
    CurDoc.Author = QStringLiteral("Léa"); // not marked: only a rewrite stores it
    EXPECT_TRUE(SaveDocument(true, false));
    EXPECT_TRUE(dialogs_->fileRequests.empty());
    EXPECT_EQ(readBack(file).Author, QStringLiteral("Léa"));
    EXPECT_FALSE(views_->Caption.endsWith(u'*'));

    dialogs_->answerCancel();
    EXPECT_FALSE(SaveDocument(true, true));
    EXPECT_EQ(dialogs_->fileRequests.at(0).fileName, file); // preset to the current name
    const QString copy = path("copy.cal");
    dialogs_->answerFile(copy);
    EXPECT_TRUE(SaveDocument(true, true));
    EXPECT_EQ(CurDoc.FileName, copy);
    EXPECT_EQ(stored(readBack(copy)), stored(CurDoc));
    EXPECT_TRUE(askSaveSeen.empty());
    EXPECT_TRUE(Exchange.DialogText.isEmpty());
}

TEST_F(RoadsTest, SaveOnAChangedUntitledDocumentAsksThePartsFirstThenTheName) {
    startDocument();
    changeAuthor(QStringLiteral("Marc"));
    const QString file = path("asked.cal");
    replyAskSave(Reply::Yes);
    dialogs_->answerFile(file);

    EXPECT_TRUE(SaveDocument(true, false));

    ASSERT_EQ(askSaveSeen.size(), 1u);
    EXPECT_TRUE(askSaveSeen[0].FileName.isEmpty());
    EXPECT_EQ(askSaveSeen[0].FileDialogsBefore, 0u);
    EXPECT_EQ(readBack(file).Author, QStringLiteral("Marc"));
    EXPECT_EQ(CurDoc.FileName, file);
    EXPECT_EQ(CurDoc.IsSaved, -1);
    EXPECT_EQ(stored(SavedDoc), stored(CurDoc));
}

TEST_F(RoadsTest, SaveAsOnAChangedDocumentAsksTheNameFirstAndNoKeepsEverything) {
    const QString file = path("old.cal");
    startDocument(file, true);
    const QByteArray before = fileBytes(file);
    changeAuthor(QStringLiteral("Nina"));
    dialogs_->answerFile(path("other.cal"));
    replyAskSave(Reply::No);

    EXPECT_TRUE(SaveDocument(true, true));

    EXPECT_EQ(askSaveSeen.at(0).FileName, path("other.cal"));
    EXPECT_EQ(askSaveSeen.at(0).FileDialogsBefore, 1u);
    EXPECT_FALSE(QFileInfo::exists(path("other.cal")));
    EXPECT_EQ(fileBytes(file), before);
    EXPECT_EQ(CurDoc.FileName, file);
    EXPECT_EQ(CurDoc.HeaderModified, -1);
}

TEST_F(RoadsTest, YesWithTheNamePromptCancelledOrAFailedWriteKeepsEveryChange) {
    startDocument();
    ListAppend(CurDoc.Months(3).Cells(10), event(QStringLiteral("Dentiste")));
    SetModified(DocPart::MonthDays, -1, 3);
    replyAskSave(Reply::Yes);
    dialogs_->answerCancel();
    EXPECT_FALSE(SaveDocument(true, false));
    EXPECT_TRUE(CurDoc.FileName.isEmpty());

    CurDoc.FileName = path("no/such/folder/doc.cal");
    replyAskSave(Reply::Yes);
    ui_->msgBoxAnswers.push_back(rt::vbCancel); // the writer's error message
    EXPECT_FALSE(SaveDocument(false, false));
    EXPECT_EQ(ui_->msgBoxCalls.size(), 1u);

    EXPECT_EQ(CurDoc.Months(3).DaysModified, -1);
    EXPECT_EQ(CurDoc.Months(3).Cells(10).Count, 1);
    EXPECT_EQ(SavedDoc.Months(3).Cells(10).Count, 0);
}

TEST_F(RoadsTest, ClosingGoesOnAfterNoWithoutWritingAndStaysInEditAfterCancel) {
    startDocument();
    EXPECT_TRUE(QueryCloseDocument()); // unchanged: nothing asked
    const QString file = path("close.cal");
    startDocument(file, true);
    const QByteArray before = fileBytes(file);
    changeAuthor(QStringLiteral("Y"));
    replyAskSave(Reply::No);
    EXPECT_TRUE(QueryCloseDocument());
    EXPECT_EQ(fileBytes(file), before);
    EXPECT_EQ(CurDoc.HeaderModified, -1);

    views_->State = QStringLiteral("Logo");
    replyAskSave(Reply::CloseBox);
    EXPECT_FALSE(QueryCloseDocument());
    EXPECT_EQ(views_->State, QStringLiteral("Edit"));
    EXPECT_EQ(askSaveSeen.size(), 2u);
}

TEST_F(RoadsTest, NewWithThePropertiesDialogCancelledEndsInLogoWithABlankUnmodifiedDocument) {
    startDocument(path("old.cal"));
    changeAuthor(QStringLiteral("Ancien"));
    replyAskSave(Reply::No);
    views_->PropertiesAnswers.push_back(false);

    NewDocument();

    EXPECT_EQ(views_->State, QStringLiteral("Logo"));
    EXPECT_TRUE(CurDoc.Author.isEmpty());
    EXPECT_TRUE(CurDoc.FileName.isEmpty());
    EXPECT_EQ(CurDoc.IsSaved, -1);
    EXPECT_EQ(stored(SavedDoc), stored(CurDoc));
    EXPECT_EQ(views_->CallsOf("HideMonthWindow").size(), 12);
    EXPECT_TRUE(views_->CallsOf("ShowMonthWindows").isEmpty());

    views_->PropertiesAnswers.push_back(true);
    NewDocument(); // unchanged: no ask-save
    EXPECT_EQ(askSaveSeen.size(), 1u);
    EXPECT_EQ(views_->State, QStringLiteral("Edit"));
    EXPECT_EQ(views_->CallsOf("ShowMonthWindows").size(), 1);
}

TEST_F(RoadsTest, APartialSaveDuringNewRebuildsNoWindows) {
    const QString file = path("partial.cal");
    startDocument(file, true);
    changeAuthor(QStringLiteral("Auteur"));
    ListAppend(CurDoc.Months(5).Cells(12), event(QStringLiteral("Réunion")));
    SetModified(DocPart::MonthDays, -1, 5);
    replyAskSave(Reply::Yes, {1}); // the header only

    NewDocument();

    EXPECT_TRUE(views_->CallsOf("ShowMonthWindows").isEmpty());
    EXPECT_EQ(views_->State, QStringLiteral("Logo"));
    const CalDocument written = readBack(file);
    EXPECT_EQ(written.Author, QStringLiteral("Auteur"));
    EXPECT_EQ(written.Months(5).Cells(12).Count, 0);
}

// New's marker ends with New, even when New stops at its ask-save step: a later partial save
// rebuilds the windows of the document it keeps.
TEST_F(RoadsTest, APartialSaveAfterAStoppedNewRebuildsTheWindows) {
    startDocument(path("kept.cal"), true);
    changeAuthor(QStringLiteral("Auteur"));
    ListAppend(CurDoc.Months(5).Cells(12), event(QStringLiteral("Réunion")));
    SetModified(DocPart::MonthDays, -1, 5);
    replyAskSave(Reply::Cancel);
    NewDocument();
    ASSERT_EQ(askSaveSeen.size(), 1u);
    replyAskSave(Reply::Yes, {1}); // the header only

    EXPECT_TRUE(QueryCloseDocument());

    EXPECT_EQ(views_->CallsOf("ShowMonthWindows").size(), 1);
    EXPECT_EQ(CurDoc.Author, QStringLiteral("Auteur"));
    EXPECT_EQ(CurDoc.Months(5).Cells(12).Count, 0);
}

TEST_F(RoadsTest, OpenThatFailsToReadEndsInTheLogoViewWithNoFlagSet) {
    startDocument();
    changeAuthor(QStringLiteral("Perdu"));
    replyAskSave(Reply::No);
    ui_->msgBoxAnswers.push_back(rt::vbCancel); // the reader's error message
    QString name = path("missing.cal");

    OpenDocument(name);

    EXPECT_EQ(views_->State, QStringLiteral("Logo"));
    EXPECT_EQ(CurDoc.IsSaved, -1);
    EXPECT_TRUE(CurDoc.Author.isEmpty());
}

// Mend: nothing may replace the document while it is being read or written.
TEST_F(RoadsTest, NewOpenAndClosingDoNothingWhileADocumentIsReadOrWritten) {
    startDocument(path("busy.cal"));
    changeAuthor(QStringLiteral("En cours"));
    views_->State = QStringLiteral("Load");
    views_->PropertiesAnswers.push_back(true);
    dialogs_->answerFile(path("other.cal"));
    views_->ClearCalls();

    NewDocument();
    QString asked;
    OpenDocument(asked);
    QString given = path("given.cal");
    OpenDocument(given);
    EXPECT_FALSE(QueryCloseDocument());

    EXPECT_TRUE(forms_->modalForms.isEmpty());
    EXPECT_TRUE(dialogs_->fileRequests.empty());
    EXPECT_TRUE(views_->Calls.isEmpty()) << views_->Calls.join(u' ').toStdString();
    EXPECT_EQ(CurDoc.Author, QStringLiteral("En cours"));
}

// The folder settings: "*" names a fixed folder; any other value follows the file chosen, also
// when the opening then stops.
struct FolderCase {
    const char* setting;
    const char* chosen; // "@" stands for the scratch folder
    const char* startFolder;
    const char* settingAfter;
};

inline void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.setting << " -> " << c.chosen;
}

class FolderRuleTest : public RoadsTest, public ::testing::WithParamInterface<FolderCase> {
protected:
    QString text(const char* s) {
        return QString::fromUtf8(s).replace(u'@', path(QStringLiteral("x")));
    }
};

TEST_P(FolderRuleTest, OpenAndSaveDialogsFollowTheFolderRule) {
    const FolderCase& c = GetParam();
    QDir().mkpath(QFileInfo(text(c.chosen)).path());
    startDocument(path("current.cal"));
    changeAuthor(QStringLiteral("Changé"));
    Settings.CalOpenPath = Settings.CalSavePath = text(c.setting);
    dialogs_->answerFile(text(c.chosen));
    replyAskSave(Reply::Cancel);
    QString name;

    OpenDocument(name);
    dialogs_->answerFile(text(c.chosen));
    EXPECT_EQ(AskCalFileName(), text(c.chosen));

    EXPECT_EQ(name, text(c.chosen));
    EXPECT_EQ(Settings.CalOpenPath, text(c.settingAfter));
    EXPECT_EQ(Settings.CalSavePath, text(c.settingAfter));
    ASSERT_EQ(dialogs_->fileRequests.size(), 2u);
    const rt::FileDialogRequest& open = dialogs_->fileRequests[0];
    const rt::FileDialogRequest& save = dialogs_->fileRequests[1];
    for (const rt::FileDialogRequest* r : {&open, &save}) {
        EXPECT_EQ(r->initDir, text(c.startFolder));
        EXPECT_EQ(r->filter, rt::LoadResString(10050));
        EXPECT_EQ(r->filterIndex, 2);
        EXPECT_EQ(r->defaultExt, QStringLiteral("cal"));
    }
    EXPECT_EQ(open.flags, rt::cdlOFNHideReadOnly);
    EXPECT_TRUE(open.fileName.isEmpty());
    EXPECT_EQ(save.flags, 32774); // overwrite prompt, no read-only box, read-only refused
    EXPECT_EQ(save.fileName, path("current.cal"));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, FolderRuleTest,
    ::testing::Values(FolderCase{"/home/u/docs/", "@/a.cal", "/home/u/docs/", "@/"},
                      FolderCase{"", "@/année 2004/b.cal", "", "@/année 2004/"},
                      FolderCase{"*/srv/fixe/", "@/c.cal", "/srv/fixe/", "*/srv/fixe/"},
                      FolderCase{"*", "@/d.cal", "", "*"}));

TEST_F(RoadsTest, ADocumentSavedClosedAndOpenedAgainEqualsWhatWasSaved) {
    startDocument();
    CurDoc.Author = QStringLiteral("Mère Noël œ €");
    CurDoc.OpenMonth = QStringLiteral("03");
    CurDoc.Password = QStringLiteral("sésame");
    AEItem ae{AERecurrence::Monthly,
              5,
              0,
              MakeDate(1, 1, 2004),
              MakeDate(31, 12, 2004),
              QStringLiteral("AE0000000000000001"),
              MakeMoneyText(QStringLiteral("Loyer"), QStringLiteral("850")),
              ItemKind::Expense};
    ListAppend(CurDoc.AutoEvents, ae);
    CurDoc.AutoEvents.NextKey = 1;
    ListAppend(CurDoc.DebtsSavings,
               DEItem{-1, MakeDate(1, 2, 2004), MakeMoneyText(QStringLiteral("Livret"), "1200")});
    ListAppend(CurDoc.Birthdays,
               BDItem{MakeDate(14, 7, 1990), QStringLiteral("BD0000000000000001"), "Chloé"});
    CurDoc.Birthdays.NextKey = 1;
    EVItem alarm = event(QStringLiteral("Rendez-vous « médecin »"));
    alarm.AlarmOn = -1;
    alarm.AlarmDaysBefore = 3; // in December: not due when it is opened again
    alarm.Sound = 3;
    ListAppend(CurDoc.Months(12).Cells(20), alarm);
    CurDoc.Months(6).Colours.CellBack = 0x00123456;
    CurDoc.Months(6).Background.Mode = ImageMode::Tiled;
    SetModified(DocPart::All, -1, 0);
    const QString file = path("roundtrip.cal");
    replyAskSave(Reply::Yes);
    dialogs_->answerFile(file);
    ASSERT_TRUE(SaveDocument(true, false));
    views_->SetMainMode(1); // as the Save command does after writing
    const CalDocument saved = CurDoc;

    NewDocument(); // closes it: nothing left to save
    ASSERT_TRUE(CurDoc.Author.isEmpty());
    Settings.CalOpenPath = QStringLiteral("/home/u/");
    QString name = file; // as from the command line: no dialog, the folder setting stays
    views_->PasswordAnswers.push_back({true, QStringLiteral("sésame")});
    OpenDocument(name);

    EXPECT_EQ(stored(CurDoc), stored(saved));
    EXPECT_EQ(CurDoc.Password, saved.Password);
    EXPECT_EQ(CurDoc.FileName, file);
    EXPECT_EQ(CurDoc.IsSaved, -1);
    EXPECT_EQ(stored(SavedDoc), stored(CurDoc));
    EXPECT_EQ(views_->State, QStringLiteral("Edit"));
    EXPECT_EQ(askSaveSeen.size(), 1u);
    EXPECT_EQ(dialogs_->fileRequests.size(), 1u); // the save dialog only
    EXPECT_EQ(Settings.CalOpenPath, QStringLiteral("/home/u/"));
}

// The backgrounds of a year leave memory with it: a new document replacing a year of thirteen
// large background files leaves none of their images held, and the heap as it was.
TEST_F(RoadsTest, ANewDocumentFreesThePicturesOfTheYearItReplaces) {
    startDocument(path("images.cal"));
    CurDoc.EmbedPictures = 0;
    for (int m = 0; m <= 12; ++m) {
        QImage image(1000, 1000, QImage::Format_RGB32);
        image.fill(qRgb(m * 19, 80, 200));
        const QString file = path(QStringLiteral("fond%1.bmp").arg(m));
        ASSERT_TRUE(image.save(file, "BMP"));
        ImageItem& background = m == 0 ? CurDoc.DefaultBackground : CurDoc.Months(m).Background;
        background.FileName = file;
        background.UseDefault = 0;
    }
    saveAsIs(path("images.cal"));
    startDocument();
    const rt::DecodedPicturesHeld before = rt::DecodedPicturesInUse();
    const size_t heapBefore = mallinfo2().uordblks;

    QString name = path("images.cal");
    OpenDocument(name);
    EXPECT_EQ(rt::DecodedPicturesInUse().count, before.count + 13);
    views_->PropertiesAnswers.push_back(true);
    NewDocument();

    EXPECT_EQ(rt::DecodedPicturesInUse().count, before.count);
    EXPECT_EQ(rt::DecodedPicturesInUse().bytes, before.bytes);
    EXPECT_LT(mallinfo2().uordblks, heapBefore + 4 * 1024 * 1024); // 52 MB were held
}
