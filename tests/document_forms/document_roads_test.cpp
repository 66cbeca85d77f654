// New, open and save on every road, driven through scripted file and ask-save dialogs.

#include "document/cal_reader.h"
#include "document/money_text.h"
#include "platform/resources.h"
#include "roads_fixture.h"

#include <QDir>
#include <QFileInfo>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The document as stored: every field the file keeps, in file order.
QByteArray stored(const CalDocument& doc) {
    return WriteCalData(doc);
}

// Reads a file into a fresh document.
CalDocument readBack(const QString& path) {
    CalDocument doc = BlankDocument(true);
    EXPECT_TRUE(LoadCalFile(path, doc)) << path.toStdString();
    return doc;
}

EVItem event(const QString& text) {
    EVItem item;
    item.Text = text;
    item.Kind = ItemKind::Event;
    item.Colour = -1;
    return item;
}

} // namespace

// ---- Save and Save As

TEST_F(RoadsTest, SaveOnUnchangedNamedDocumentRewritesItWithoutAnyDialog) {
    const QString file = path("named.cal");
    startSavedDocument(file);
    CurDoc.Author = QStringLiteral("Léa"); // not marked: only a rewrite can store it
    ASSERT_TRUE(QFile::remove(file));

    EXPECT_TRUE(SaveDocument(true, false));

    EXPECT_TRUE(dialogs().fileRequests.empty());
    EXPECT_TRUE(askSaveSeen.empty());
    EXPECT_EQ(readBack(file).Author, QStringLiteral("Léa"));
    EXPECT_EQ(CurDoc.IsSaved, -1);
    EXPECT_FALSE(views().Caption.endsWith(u'*'));
    EXPECT_EQ(SavedDoc.Author, QStringLiteral("Léa"));
    EXPECT_TRUE(Exchange.DialogText.isEmpty());
}

TEST_F(RoadsTest, SaveOnUnchangedUntitledDocumentAsksTheNameThenWrites) {
    startDocument();
    const QString file = path("new.cal");
    dialogs().answerCancel();
    EXPECT_FALSE(SaveDocument(true, false));
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_TRUE(CurDoc.FileName.isEmpty());

    dialogs().answerFile(file);
    EXPECT_TRUE(SaveDocument(true, false));
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(CurDoc.FileName, file);
    EXPECT_EQ(SavedDoc.FileName, file);
    EXPECT_TRUE(askSaveSeen.empty());
}

TEST_F(RoadsTest, SaveAsOnUnchangedDocumentWritesItWholeUnderTheNewName) {
    const QString oldFile = path("old.cal");
    startSavedDocument(oldFile);
    CurDoc.Author = QStringLiteral("Zoé");

    dialogs().answerCancel();
    EXPECT_FALSE(SaveDocument(true, true));
    ASSERT_EQ(dialogs().fileRequests.size(), 1u);
    EXPECT_EQ(dialogs().fileRequests[0].fileName, oldFile); // preset to the current name
    EXPECT_EQ(CurDoc.FileName, oldFile);

    const QString newFile = path("copy.cal");
    dialogs().answerFile(newFile);
    EXPECT_TRUE(SaveDocument(true, true));
    EXPECT_EQ(CurDoc.FileName, newFile);
    EXPECT_EQ(stored(readBack(newFile)), stored(CurDoc));
    EXPECT_TRUE(askSaveSeen.empty());
}

TEST_F(RoadsTest, SaveOnChangedUntitledDocumentAsksThePartsFirstThenTheName) {
    startDocument();
    CurDoc.Author = QStringLiteral("Marc");
    SetModified(DocPart::Header, -1, 0);
    const QString file = path("asked.cal");
    replyAskSave(AskSaveReply::Yes);
    dialogs().answerFile(file);

    EXPECT_TRUE(SaveDocument(true, false));

    ASSERT_EQ(askSaveSeen.size(), 1u);
    EXPECT_TRUE(askSaveSeen[0].FileName.isEmpty());
    EXPECT_EQ(askSaveSeen[0].FileDialogsBefore, 0u); // the name is asked only after Yes
    EXPECT_EQ(dialogs().fileRequests.size(), 1u);
    EXPECT_EQ(readBack(file).Author, QStringLiteral("Marc"));
    EXPECT_EQ(CurDoc.FileName, file);
    EXPECT_EQ(CurDoc.IsSaved, -1);
    EXPECT_EQ(stored(SavedDoc), stored(CurDoc));
}

TEST_F(RoadsTest, SaveAsOnChangedDocumentAsksTheNameFirstAndNoKeepsEverything) {
    const QString oldFile = path("old.cal");
    startSavedDocument(oldFile);
    const QByteArray before = fileBytes(oldFile);
    CurDoc.Author = QStringLiteral("Nina");
    SetModified(DocPart::Header, -1, 0);
    const QString newFile = path("other.cal");
    dialogs().answerFile(newFile);
    replyAskSave(AskSaveReply::No);

    EXPECT_TRUE(SaveDocument(true, true));

    ASSERT_EQ(askSaveSeen.size(), 1u);
    EXPECT_EQ(askSaveSeen[0].FileName, newFile);
    EXPECT_EQ(askSaveSeen[0].FileDialogsBefore, 1u);
    EXPECT_FALSE(QFileInfo::exists(newFile));
    EXPECT_EQ(fileBytes(oldFile), before);
    EXPECT_EQ(CurDoc.FileName, oldFile);
    EXPECT_EQ(CurDoc.HeaderModified, -1);
    EXPECT_EQ(CurDoc.Author, QStringLiteral("Nina"));
    EXPECT_TRUE(Exchange.DialogText.isEmpty());
}

TEST_F(RoadsTest, CancelledNamePromptAfterYesWritesNothingAndKeepsTheFlags) {
    startDocument();
    ListAppend(CurDoc.Months(3).Cells(10), event(QStringLiteral("Dentiste")));
    SetModified(DocPart::MonthDays, -1, 3);
    replyAskSave(AskSaveReply::Yes);
    dialogs().answerCancel();

    EXPECT_FALSE(SaveDocument(true, false));

    EXPECT_EQ(CurDoc.Months(3).DaysModified, -1);
    EXPECT_EQ(CurDoc.IsSaved, 0);
    EXPECT_EQ(CurDoc.Months(3).Cells(10).Count, 1);
    EXPECT_EQ(SavedDoc.Months(3).Cells(10).Count, 0);
    EXPECT_TRUE(CurDoc.FileName.isEmpty());
    EXPECT_TRUE(ui().msgBoxCalls.empty());
}

TEST_F(RoadsTest, FailedWriteLeavesTheDocumentMarkedAndTheCallerStops) {
    startDocument(path("no/such/folder/doc.cal"));
    CurDoc.Author = QStringLiteral("X");
    SetModified(DocPart::Header, -1, 0);
    replyAskSave(AskSaveReply::Yes);
    ui().msgBoxAnswers.push_back(rt::vbCancel); // the writer's error message

    EXPECT_FALSE(SaveDocument(false, false));

    EXPECT_EQ(ui().msgBoxCalls.size(), 1u);
    EXPECT_EQ(CurDoc.HeaderModified, -1);
    EXPECT_TRUE(SavedDoc.Author.isEmpty());
}

// ---- Closing

TEST_F(RoadsTest, ClosingAnUnchangedDocumentGoesOnWithoutAsking) {
    startDocument();
    EXPECT_TRUE(QueryCloseDocument());
    EXPECT_TRUE(askSaveSeen.empty());
}

TEST_F(RoadsTest, ClosingWithNoEndsWithoutWritingAndCancelKeepsTheWindowInEdit) {
    const QString file = path("close.cal");
    startSavedDocument(file);
    const QByteArray before = fileBytes(file);
    CurDoc.Author = QStringLiteral("Y");
    SetModified(DocPart::Header, -1, 0);

    replyAskSave(AskSaveReply::No);
    EXPECT_TRUE(QueryCloseDocument());
    EXPECT_EQ(fileBytes(file), before);
    EXPECT_EQ(CurDoc.HeaderModified, -1); // nothing written, nothing dropped

    views().State = QStringLiteral("Logo");
    replyAskSave(AskSaveReply::Cancel);
    EXPECT_FALSE(QueryCloseDocument());
    EXPECT_EQ(views().State, QStringLiteral("Edit"));
    EXPECT_EQ(askSaveSeen.size(), 2u);
    EXPECT_EQ(askSaveSeen[1].FileName, file);
}

// ---- New

TEST_F(RoadsTest, NewWithThePropertiesDialogCancelledEndsInLogoWithABlankUnmodifiedDocument) {
    startSavedDocument(path("old.cal"));
    CurDoc.Author = QStringLiteral("Ancien");
    SetModified(DocPart::Header, -1, 0);
    replyAskSave(AskSaveReply::No);
    views().PropertiesAnswers.push_back(false);

    NewDocument();

    EXPECT_EQ(views().State, QStringLiteral("Logo"));
    EXPECT_TRUE(CurDoc.Author.isEmpty());
    EXPECT_TRUE(CurDoc.FileName.isEmpty());
    EXPECT_EQ(CurDoc.IsSaved, -1);
    EXPECT_EQ(CurDoc.Year, QStringLiteral("2004"));
    EXPECT_EQ(stored(SavedDoc), stored(CurDoc));
    EXPECT_EQ(views().CallsOf("HideMonthWindow").size(), 12);
    EXPECT_EQ(views().CallsOf("ShowMonthWindows").size(), 0);
    EXPECT_EQ(views().CallsOf("RefreshPane(1,-1)").size(), 1);
    // The document that was given up needs no more saving: closing asks nothing.
    EXPECT_TRUE(QueryCloseDocument());
    EXPECT_EQ(askSaveSeen.size(), 1u);
}

TEST_F(RoadsTest, NewConfirmedShowsTheMonthWindowsOfTheNewDocument) {
    startDocument();
    views().OnShowPropertiesDialog = [](bool isNew) {
        EXPECT_TRUE(isNew);
        // The dialog sees the new document in place, equal to its saved copy.
        EXPECT_EQ(CurDoc.IsSaved, -1);
        EXPECT_EQ(WriteCalData(CurDoc), WriteCalData(SavedDoc));
        CurDoc.Author = QStringLiteral("Nouveau");
        SetModified(DocPart::Header, -1, 0);
        return true;
    };

    NewDocument();

    EXPECT_TRUE(askSaveSeen.empty()); // an unchanged document is not asked about
    EXPECT_EQ(views().State, QStringLiteral("Edit"));
    EXPECT_EQ(views().CallsOf("ShowMonthWindows").size(), 1);
    EXPECT_EQ(views().CallsOf("SetMainMode(3)").size(), 1); // through the logo view
    EXPECT_EQ(CurDoc.Author, QStringLiteral("Nouveau"));
    EXPECT_EQ(CurDoc.HeaderModified, -1);
}

TEST_F(RoadsTest, NewStopsWhenTheAskSaveStepIsCancelled) {
    startDocument(path("kept.cal"));
    CurDoc.Author = QStringLiteral("Gardé");
    SetModified(DocPart::Header, -1, 0);
    views().State = QStringLiteral("Logo");
    replyAskSave(AskSaveReply::Cancel);

    NewDocument();

    EXPECT_EQ(CurDoc.Author, QStringLiteral("Gardé"));
    EXPECT_EQ(CurDoc.FileName, path("kept.cal"));
    EXPECT_EQ(views().State, QStringLiteral("Edit"));
    EXPECT_TRUE(views().CallsOf("ShowPropertiesDialog").isEmpty());
    EXPECT_FALSE(NoReloadMarker());
}

TEST_F(RoadsTest, NewPartialSaveDoesNotRebuildTheWindowsOfTheDocumentItReplaces) {
    const QString file = path("partial.cal");
    startSavedDocument(file);
    CurDoc.Author = QStringLiteral("Auteur");
    SetModified(DocPart::Header, -1, 0);
    ListAppend(CurDoc.Months(5).Cells(12), event(QStringLiteral("Réunion")));
    SetModified(DocPart::MonthDays, -1, 5);
    bool markerSeen = false;
    views().OnShowMonthWindows = [&] { ADD_FAILURE() << "month windows rebuilt during New"; };
    replyAskSave(AskSaveReply::Yes, {1}); // the header only
    views().OnShowPropertiesDialog = [&](bool) {
        markerSeen = NoReloadMarker();
        return false;
    };

    NewDocument();

    EXPECT_EQ(views().State, QStringLiteral("Logo"));
    EXPECT_FALSE(markerSeen); // the marker lasts only for the ask-save step
    const CalDocument written = readBack(file);
    EXPECT_EQ(written.Author, QStringLiteral("Auteur"));
    EXPECT_EQ(written.Months(5).Cells(12).Count, 0);
}

// ---- Open

TEST_F(RoadsTest, OpenShowsTheOpenDialogSetUpForCalFiles) {
    startDocument();
    Settings.CalOpenPath = path("");
    dialogs().answerCancel();
    QString name;

    OpenDocument(name);

    ASSERT_EQ(dialogs().fileRequests.size(), 1u);
    const rt::FileDialogRequest& r = dialogs().fileRequests[0];
    EXPECT_FALSE(r.save);
    EXPECT_EQ(r.filter, rt::LoadResString(10050));
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_EQ(r.defaultExt, QStringLiteral("cal"));
    EXPECT_EQ(r.flags, rt::cdlOFNHideReadOnly);
    EXPECT_TRUE(r.fileName.isEmpty());
    EXPECT_EQ(r.initDir, path(""));
    EXPECT_TRUE(r.title.isEmpty());
    // Cancelled: no ask-save step, nothing changes.
    EXPECT_TRUE(name.isEmpty());
    EXPECT_TRUE(askSaveSeen.empty());
    EXPECT_TRUE(views().CallsOf("HideMonthWindow").isEmpty());
}

TEST_F(RoadsTest, SaveDialogIsSetUpToRefuseReadOnlyTargets) {
    startDocument(path("current.cal"));
    Settings.CalSavePath = QStringLiteral("*/srv/calendriers/");
    QFile readOnly(path("locked.cal"));
    ASSERT_TRUE(readOnly.open(QIODevice::WriteOnly));
    readOnly.close();
    ASSERT_TRUE(readOnly.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    dialogs().answerFile(path("locked.cal"));
    dialogs().answerFile(path("free"));

    EXPECT_EQ(AskCalFileName(), path("free.cal"));

    ASSERT_EQ(dialogs().fileRequests.size(), 2u); // asked again after the refusal
    const rt::FileDialogRequest& r = dialogs().fileRequests[0];
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.flags, 32774);
    EXPECT_EQ(r.filter, rt::LoadResString(10050));
    EXPECT_EQ(r.filterIndex, 2);
    EXPECT_EQ(r.defaultExt, QStringLiteral("cal"));
    EXPECT_EQ(r.fileName, path("current.cal"));
    EXPECT_EQ(r.initDir, QStringLiteral("/srv/calendriers/"));
    EXPECT_EQ(ui().msgBoxCalls.size(), 1u);
    EXPECT_EQ(Settings.CalSavePath, QStringLiteral("*/srv/calendriers/"));
}

TEST_F(RoadsTest, OpenFromTheCommandLineReadsTheGivenFileWithoutAnyDialog) {
    const QString file = path("cmdline.cal");
    startDocument();
    CurDoc.Author = QStringLiteral("Ligne");
    ListAppend(CurDoc.AutoEvents, AEItem{});
    ASSERT_TRUE(SaveCalFile(file, CurDoc));
    startDocument();
    views().State = QStringLiteral("Logo");
    Settings.CalOpenPath = QStringLiteral("/home/u/");
    QString name = file;

    OpenDocument(name);

    EXPECT_TRUE(dialogs().fileRequests.empty());
    EXPECT_EQ(Settings.CalOpenPath, QStringLiteral("/home/u/"));
    EXPECT_EQ(CurDoc.Author, QStringLiteral("Ligne"));
    EXPECT_EQ(CurDoc.FileName, file);
    EXPECT_EQ(CurDoc.IsSaved, -1);
    EXPECT_EQ(stored(SavedDoc), stored(CurDoc));
    EXPECT_EQ(views().State, QStringLiteral("Edit"));
    EXPECT_EQ(views().CallsOf("ShowMonthWindows").size(), 1);
}

TEST_F(RoadsTest, OpenThatFailsToReadEndsInTheLogoViewWithNoFlagSet) {
    startDocument();
    CurDoc.Author = QStringLiteral("Perdu");
    SetModified(DocPart::Header, -1, 0);
    replyAskSave(AskSaveReply::No);
    ui().msgBoxAnswers.push_back(rt::vbCancel); // the reader's error message
    QString name = path("missing.cal");

    OpenDocument(name);

    EXPECT_EQ(views().State, QStringLiteral("Logo"));
    EXPECT_EQ(CurDoc.IsSaved, -1);
    EXPECT_TRUE(CurDoc.Author.isEmpty());
    EXPECT_EQ(views().CallsOf("RefreshPane(1,-1)").size(), 1);
}

TEST_F(RoadsTest, OpenStopsWhenTheAskSaveStepIsCancelled) {
    startDocument();
    CurDoc.Author = QStringLiteral("Reste");
    SetModified(DocPart::Header, -1, 0);
    replyAskSave(AskSaveReply::Cancel);
    QString name = path("whatever.cal");

    OpenDocument(name);

    EXPECT_EQ(CurDoc.Author, QStringLiteral("Reste"));
    EXPECT_EQ(CurDoc.HeaderModified, -1);
    EXPECT_EQ(views().State, QStringLiteral("Edit"));
    EXPECT_TRUE(views().CallsOf("HideMonthWindow").isEmpty());
}

// ---- Nothing starts while a document is read or written

TEST_F(RoadsTest, NewOpenAndClosingDoNothingWhileADocumentIsReadOrWritten) {
    startDocument(path("busy.cal"));
    CurDoc.Author = QStringLiteral("En cours");
    SetModified(DocPart::Header, -1, 0);
    views().State = QStringLiteral("Load");
    views().PropertiesAnswers.push_back(true);
    dialogs().answerFile(path("other.cal"));
    views().ClearCalls();

    NewDocument();
    QString asked;
    OpenDocument(asked);
    QString given = path("given.cal");
    OpenDocument(given);
    EXPECT_FALSE(QueryCloseDocument());

    EXPECT_TRUE(askSaveSeen.empty());
    EXPECT_TRUE(dialogs().fileRequests.empty());
    EXPECT_TRUE(views().Calls.isEmpty()) << views().Calls.join(u' ').toStdString();
    EXPECT_EQ(views().State, QStringLiteral("Load"));
    EXPECT_EQ(CurDoc.Author, QStringLiteral("En cours"));
    EXPECT_EQ(CurDoc.HeaderModified, -1);
}

// ---- The folder settings

struct FolderCase {
    const char* setting;
    const char* chosen;       // file chosen in the dialog; "@" is the scratch folder
    const char* startFolder;  // where the dialog starts
    const char* settingAfter; // the setting afterwards
};

inline void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.setting << " -> " << c.chosen;
}

class FolderRuleTest : public RoadsTest, public ::testing::WithParamInterface<FolderCase> {
protected:
    QString scratch(const char* text) {
        QString s = QString::fromUtf8(text);
        s.replace(u'@', path(QStringLiteral("x")));
        return s;
    }
    void SetUp() override {
        RoadsTest::SetUp();
        QDir().mkpath(QFileInfo(scratch(GetParam().chosen)).path());
    }
};

TEST_P(FolderRuleTest, OpenDialogFollowsTheFolderRuleWhateverTheOutcome) {
    const FolderCase& c = GetParam();
    startDocument();
    CurDoc.Author = QStringLiteral("Changé");
    SetModified(DocPart::Header, -1, 0);
    Settings.CalOpenPath = scratch(c.setting);
    dialogs().answerFile(scratch(c.chosen));
    replyAskSave(AskSaveReply::Cancel); // the setting changes even when the opening stops
    QString name;

    OpenDocument(name);

    ASSERT_EQ(dialogs().fileRequests.size(), 1u);
    EXPECT_EQ(dialogs().fileRequests[0].initDir, scratch(c.startFolder));
    EXPECT_EQ(Settings.CalOpenPath, scratch(c.settingAfter));
    EXPECT_EQ(name, scratch(c.chosen));
}

TEST_P(FolderRuleTest, SaveDialogFollowsTheFolderRule) {
    const FolderCase& c = GetParam();
    startDocument();
    Settings.CalSavePath = scratch(c.setting);
    dialogs().answerFile(scratch(c.chosen));

    EXPECT_EQ(AskCalFileName(), scratch(c.chosen));

    ASSERT_EQ(dialogs().fileRequests.size(), 1u);
    EXPECT_EQ(dialogs().fileRequests[0].initDir, scratch(c.startFolder));
    EXPECT_EQ(Settings.CalSavePath, scratch(c.settingAfter));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, FolderRuleTest,
    ::testing::Values(FolderCase{"/home/u/docs/", "@/a.cal", "/home/u/docs/", "@/"},
                      FolderCase{"", "@/année 2004/b.cal", "", "@/année 2004/"},
                      FolderCase{"*/srv/fixe/", "@/c.cal", "/srv/fixe/", "*/srv/fixe/"},
                      FolderCase{"*", "@/d.cal", "", "*"}));

TEST(FolderSetting, BecomesTheChosenFilesFolderWithItsSeparator) {
    QString setting = QStringLiteral("/home/u/");
    UpdateFolderSetting(setting, QStringLiteral("/e.cal"), QStringLiteral("e.cal"));
    EXPECT_EQ(setting, QStringLiteral("/"));
    UpdateFolderSetting(setting, QStringLiteral("/a/b/f.cal"), QString());
    EXPECT_EQ(setting, QStringLiteral("/a/b/"));
}

TEST_F(RoadsTest, CancelledDialogsLeaveTheFolderSettingsAlone) {
    startDocument();
    Settings.CalOpenPath = QStringLiteral("/a/");
    Settings.CalSavePath = QStringLiteral("/b/");
    dialogs().answerCancel();
    dialogs().answerCancel();
    QString name;
    OpenDocument(name);
    EXPECT_TRUE(AskCalFileName().isEmpty());
    EXPECT_EQ(Settings.CalOpenPath, QStringLiteral("/a/"));
    EXPECT_EQ(Settings.CalSavePath, QStringLiteral("/b/"));
}

// ---- Round trip through the roads

TEST_F(RoadsTest, ADocumentSavedClosedAndOpenedAgainEqualsWhatWasSaved) {
    startDocument();
    CurDoc.Author = QStringLiteral("Mère Noël œ €");
    CurDoc.OpenMonth = QStringLiteral("03");
    CurDoc.Password = QStringLiteral("sésame");
    AEItem ae;
    ae.Recurrence = AERecurrence::Monthly;
    ae.Day = 5;
    ae.StartDate = MakeDate(1, 1, 2004);
    ae.EndDate = MakeDate(31, 12, 2004);
    ae.Key = QStringLiteral("AE0000000000000001");
    ae.Text = MakeMoneyText(QStringLiteral("Loyer"), QStringLiteral("850"));
    ae.Kind = ItemKind::Expense;
    ListAppend(CurDoc.AutoEvents, ae);
    CurDoc.AutoEvents.NextKey = 1;
    DEItem de;
    de.IsSaving = -1;
    de.StartDate = MakeDate(1, 2, 2004);
    de.Text = MakeMoneyText(QStringLiteral("Livret"), QStringLiteral("1200"));
    ListAppend(CurDoc.DebtsSavings, de);
    BDItem bd;
    bd.BirthDate = MakeDate(14, 7, 1990);
    bd.Key = QStringLiteral("BD0000000000000001");
    bd.Name = QStringLiteral("Chloé");
    ListAppend(CurDoc.Birthdays, bd);
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
    replyAskSave(AskSaveReply::Yes);
    dialogs().answerFile(file);
    ASSERT_TRUE(SaveDocument(true, false));
    views().SetMainMode(1); // as the Save command does after writing
    const CalDocument saved = CurDoc;

    // Closed: New gives it up for a blank document (nothing left to save).
    NewDocument();
    ASSERT_TRUE(CurDoc.Author.isEmpty());

    QString name = file;
    views().PasswordAnswers.push_back({true, QStringLiteral("sésame")});
    OpenDocument(name);

    EXPECT_EQ(stored(CurDoc), stored(saved));
    EXPECT_EQ(CurDoc.Password, saved.Password);
    EXPECT_EQ(CurDoc.FileName, file);
    EXPECT_EQ(CurDoc.IsSaved, -1);
    EXPECT_EQ(views().State, QStringLiteral("Edit"));
}
