// The properties dialog's frame and general page: what the page shows, what OK writes back and
// marks, the change of year, tabs and help.

#include "common/test_support.h"
#include "document/doc_state.h"
#include "prop_fixture.h"

#include <QFile>
#include <QTemporaryDir>

using namespace rt;

namespace {

// Every modified flag of the document, for comparing before and after.
std::vector<int16_t> allFlags(const CalDocument& d) {
    std::vector<int16_t> f{
        d.HeaderModified,        d.AutoEvents.Modified,        d.Birthdays.Modified,
        d.DebtsSavings.Modified, d.DefaultBackground.Modified, d.DefaultColours.Modified};
    for (int m = 1; m <= 12; ++m) {
        f.push_back(d.Months(m).DaysModified);
        f.push_back(d.Months(m).Background.Modified);
        f.push_back(d.Months(m).Colours.Modified);
    }
    return f;
}

} // namespace

TEST(FileSizeText, KilobytesOfAThousandBytes) {
    const std::pair<qint64, const char*> cases[] = {
        {0, " 0 KB"},
        {5, " 0,01 KB"},
        {500, " 0,5 KB"},
        {994, " 0,99 KB"},
        {999, " 1 KB"},
        {1000, "1 KB"},
        {1499, "1 KB"},
        {1500, "2 KB"},
        {999499, "999 KB"},
        {999500, "1 000 KB"},
        {1234567890, "1 234 568 KB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(FileSizeText(bytes), QString::fromUtf8(text)) << bytes;
}

TEST_F(PropTest, OkWithoutAChangeWritesAndMarksNothing) {
    CurDoc.Password = QStringLiteral("secret");
    CurDoc.DefaultBackground.FileName = QStringLiteral("/images/fond.bmp");
    CurDoc.DefaultBackground.Picture = plainPicture(Qt::blue);
    SetModified(DocPart::All, 0, 0);
    const CalDocument before = CurDoc;
    dialog();
    clickNode(14); // looking at the sections changes nothing either
    clickNode(17);

    dialog().CmdOk_Click();

    EXPECT_FALSE(FrmProp->Loaded());
    EXPECT_EQ(Exchange.DialogResult, 1);
    EXPECT_TRUE(services.forms->modalForms.isEmpty()); // no password confirmation
    EXPECT_EQ(allFlags(CurDoc), allFlags(before));
    EXPECT_EQ(CurDoc.IsSaved, -1);
    EXPECT_EQ(CurDoc.Author, before.Author);
    EXPECT_EQ(CurDoc.OpenMonth, before.OpenMonth);
    EXPECT_TRUE(CurDoc.DefaultBackground.Picture.sameObject(before.DefaultBackground.Picture));
}

TEST_F(PropTest, AuthorAndMonthToOpenAreStoredAndMarkTheHeader) {
    struct Case {
        const char* author; // typed
        int month;          // chosen in the list
        const char* storedAuthor;
        const char* storedMonth;
        bool marked;
    };
    const Case cases[] = {
        {"Anne", 3, "Anne", "03", false},
        {"  Anne  ", 3, "Anne", "03", false}, // only blanks around: no change
        {"  Bruno ", 3, "Bruno", "03", true},
        {"Anne", 0, "Anne", "00", true},
        {"Anne", 12, "Anne", "12", true},
    };
    for (const Case& c : cases) {
        CurDoc = sampleDocument();
        SetModified(DocPart::All, 0, 0);
        FrmPropForm& f = dialog();
        EXPECT_EQ(f.TxtGen(0).Text(), QStringLiteral("Anne"));
        EXPECT_EQ(f.CmbGen.ListIndex(), 3);
        f.TxtGen(0).userEdited(QString::fromUtf8(c.author));
        f.CmbGen.userSelect(c.month);
        f.CmdOk_Click();
        EXPECT_EQ(CurDoc.Author, QString::fromUtf8(c.storedAuthor)) << c.author;
        EXPECT_EQ(CurDoc.OpenMonth, QString::fromUtf8(c.storedMonth)) << c.month;
        EXPECT_EQ(CurDoc.HeaderModified != 0, c.marked) << c.author << c.month;
        FrmProp.release();
    }
}

TEST_F(PropTest, CancelAndTheCloseBoxWriteNothing) {
    for (bool closeBox : {false, true}) {
        Exchange.DialogResult = 0;
        FrmPropForm& f = dialog();
        f.TxtGen(0).userEdited(QStringLiteral("Autre"));
        f.ChkSave(1).userClicked();
        f.LstVGen.ListItems()(1).setSelected(true);
        if (closeBox)
            f.closeByUser();
        else
            f.CmdCancel_Click();
        EXPECT_FALSE(f.Loaded());
        EXPECT_EQ(Exchange.DialogResult, 0);
        EXPECT_EQ(CurDoc.Author, QStringLiteral("Anne"));
        EXPECT_EQ(CurDoc.Year, QStringLiteral("2004"));
        EXPECT_EQ(CurDoc.IsSaved, -1);
        EXPECT_TRUE(services.ui->msgBoxCalls.empty());
        FrmProp.release();
    }
}

TEST_F(PropTest, FileNameAndSizeShownOnlyForANamedDocumentInEdit) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("budget.cal"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QByteArray(999, 'x'));
    out.close();
    const QString longName =
        QStringLiteral("/home/utilisateur/Documents/Mes calendriers/Famille/2004/agenda.cal");
    struct Case {
        QString fileName;
        const char* state;
        QString shownName;
        QString shownSize;
    };
    const Case cases[] = {
        {file, "Edit", file, QStringLiteral(" 1 KB")},
        {longName, "Edit", QString(), LoadResString(541)}, // removed since it was opened
        {QString(), "Edit", LoadResString(540), LoadResString(541)},
        {file, "Logo", LoadResString(540), LoadResString(541)},
    };
    for (const Case& c : cases) {
        CurDoc.FileName = c.fileName;
        FrmMain->setTag(QString::fromLatin1(c.state));
        FrmPropForm& f = dialog();
        EXPECT_EQ(f.TxtGen(2).Text(), c.shownSize) << c.fileName;
        if (c.fileName != longName) {
            EXPECT_EQ(f.TxtGen(1).Text(), c.shownName) << c.fileName;
        } else {
            // Shortened under 55 characters, folders first; the full name in the tooltip.
            EXPECT_LT(f.TxtGen(1).Text().size(), 55);
            EXPECT_TRUE(f.TxtGen(1).Text().startsWith(QStringLiteral("/...")));
            EXPECT_TRUE(f.TxtGen(1).Text().endsWith(QStringLiteral("/2004/agenda.cal")));
            EXPECT_EQ(f.TxtGen(1).ToolTipText(), longName);
        }
        FrmProp.release();
    }
}

TEST_F(PropTest, ChangeOfYearInEditAsksAndNoKeepsTheYear) {
    services.ui->msgBoxAnswers.push_back(vbNo);
    FrmPropForm& f = dialog();
    f.LstVGen.ListItems()(1).setSelected(true); // 2002
    f.TxtGen(0).userEdited(QStringLiteral("Bruno"));
    f.CmdOk_Click();

    ASSERT_EQ(services.ui->msgBoxCalls.size(), 1u);
    EXPECT_EQ(services.ui->msgBoxCalls[0].prompt, LoadResString(543));
    EXPECT_EQ(services.ui->msgBoxCalls[0].style, vbYesNo | vbQuestion | vbDefaultButton2);
    EXPECT_TRUE(services.ui->msgBoxCalls[0].title.isEmpty());
    EXPECT_EQ(CurDoc.Year, QStringLiteral("2004"));
    EXPECT_EQ(CurDoc.Author, QStringLiteral("Bruno"));
    EXPECT_EQ(FrmMain->Tag(), QStringLiteral("Edit"));
}

TEST_F(PropTest, ChangeOfYearInEditRebuildsAnUntitledDocumentThatKeepsItsLists) {
    CurDoc.FileName = QStringLiteral("/tmp/ancien.cal");
    BDItem birthday;
    birthday.BirthDate = {29, 2, 1980};
    birthday.Key = QStringLiteral("BD0000000000000001");
    birthday.Name = QStringLiteral("Léa");
    ListAppend(CurDoc.Birthdays, birthday);
    DEItem saving;
    saving.IsSaving = -1;
    saving.Text = QStringLiteral("Livret    100");
    ListAppend(CurDoc.DebtsSavings, saving);
    EVItem item;
    item.Text = QStringLiteral("Réunion");
    item.Kind = ItemKind::Event;
    ListAppend(CurDoc.Months(6).Cells(20), item);
    SetModified(DocPart::All, 0, 0);
    services.ui->msgBoxAnswers.push_back(vbYes);
    FrmPropForm& f = dialog();
    f.LstVGen.ListItems()(2).setSelected(true); // 2003
    f.CmdOk_Click();

    EXPECT_EQ(CurDoc.Year, QStringLiteral("2003"));
    EXPECT_TRUE(CurDoc.FileName.isEmpty());
    EXPECT_EQ(FrmMain->Tag(), QStringLiteral("Load")); // the hand-off rebuilds the windows
    EXPECT_EQ(FrmMain->LblLoading(0).Caption(), LoadResString(10001));
    EXPECT_EQ(CurDoc.HeaderModified, -1);
    EXPECT_EQ(CurDoc.Birthdays.Count, 1);
    EXPECT_EQ(CurDoc.Birthdays.Modified, -1);
    EXPECT_EQ(CurDoc.DebtsSavings.Count, 1);
    EXPECT_EQ(CurDoc.DebtsSavings.Modified, -1);
    EXPECT_EQ(CurDoc.AutoEvents.Modified, 0); // an empty list is not marked
    // The birthday of 29 February falls on the 28th in 2003; the day item is gone.
    int items = 0;
    for (int m = 1; m <= 12; ++m)
        for (int c = kFirstCell; c <= kLastCell; ++c)
            for (const EVItem& ev : CurDoc.Months(m).Cells(c).Items) {
                ++items;
                EXPECT_EQ(m, 2);
                EXPECT_NE(ev.Text, QStringLiteral("Réunion"));
            }
    EXPECT_EQ(items, 1);
    // The display settings edited in the dialog land in the new document: January's own
    // colours differ from the blank document's copy of the defaults.
    EXPECT_EQ(CurDoc.Months(1).Colours.CellBack, RGB(220, 230, 255));
    EXPECT_EQ(CurDoc.Months(1).Colours.Modified, -1);
}

TEST_F(PropTest, ANewDocumentTakesAnotherYearWithoutAQuestion) {
    FrmMain->setTag(QStringLiteral("Logo"));
    EVItem item;
    item.Text = QStringLiteral("Gardé");
    ListAppend(CurDoc.Months(6).Cells(20), item);
    FrmPropForm& f = dialog();
    f.LstVGen.ListItems()(12).setSelected(true); // 2013
    f.CmdOk_Click();

    EXPECT_TRUE(services.ui->msgBoxCalls.empty());
    EXPECT_EQ(CurDoc.Year, QStringLiteral("2013"));
    EXPECT_EQ(CurDoc.HeaderModified, -1);
    EXPECT_EQ(CurDoc.Months(6).Cells(20).Count, 1);
    EXPECT_EQ(FrmMain->Tag(), QStringLiteral("Logo"));
}

// Mend: a year outside the listed ones (2002 to ten years after the clock's, 2014) is listed in
// its place and kept; no year at all keeps the document's (empty) year; a month to open outside
// "00" to "12" is kept.
TEST_F(PropTest, YearsAndMonthsOutsideTheListsAreKept) {
    struct Case {
        const char* year;
        const char* openMonth;
        int items;         // in the year list
        int selectedIndex; // 0: none
    };
    const Case cases[] = {
        {"1999", "13", 14, 1},
        {"2026", "00", 14, 14},
        {"", "05", 13, 0},
    };
    for (const Case& c : cases) {
        CurDoc.Year = QString::fromLatin1(c.year);
        CurDoc.OpenMonth = QString::fromLatin1(c.openMonth);
        SetModified(DocPart::All, 0, 0);
        FrmPropForm& f = dialog();
        EXPECT_EQ(f.LstVGen.ListItems().Count(), c.items) << c.year;
        const ListItem* selected = f.LstVGen.SelectedItem();
        EXPECT_EQ(selected ? selected->Index() : 0, c.selectedIndex) << c.year;
        f.CmdOk_Click();
        EXPECT_TRUE(services.ui->msgBoxCalls.empty());
        EXPECT_EQ(CurDoc.Year, QString::fromLatin1(c.year));
        EXPECT_EQ(CurDoc.OpenMonth, QString::fromLatin1(c.openMonth));
        EXPECT_EQ(CurDoc.IsSaved, -1) << c.year;
        FrmProp.release();
    }
}

// With the clock on 9 December 2026 the year list goes on after 2013 to 2036, so that next
// year's calendar can be made: a new document takes the last year with End and Enter.
TEST_F(PropTest, TheYearListGoesOnToTenYearsAfterTheClocksYear) {
    testing_support::fixedSystem().Now = QDateTime(QDate(2026, 12, 9), QTime(10, 0));
    FrmMain->setTag(QStringLiteral("Logo"));
    FrmPropForm& f = dialog();
    QStringList shown, expected;
    for (int i = 1; i <= f.LstVGen.ListItems().Count(); ++i)
        shown << f.LstVGen.ListItems()(i).Text();
    for (int year = 2002; year <= 2036; ++year)
        expected << QString::number(year);
    EXPECT_EQ(shown, expected);
    f.Show();
    testing_support::tabInto(f.LstVGen.widget());
    EXPECT_TRUE(testing_support::userTypes({Qt::Key_End, Qt::Key_Return}));
    EXPECT_FALSE(f.Loaded());
    EXPECT_EQ(CurDoc.Year, QStringLiteral("2036"));
}

// One F1 typed in a page's control opens that page's topic once, and the Return after it still
// reaches OK.
TEST_F(PropTest, OneF1PressOpensThePageTopicOnce) {
    FrmPropForm& f = dialog();
    f.Show();
    const struct {
        int tab;
        rt::Control& focus;
        const char* topic;
    } rows[] = {{0, f.CmbGen, "Html/d_prop_gen.htm"},
                {0, f.LstVGen, "Html/d_prop_gen.htm"},
                {1, f.TreeDisp, "Html/d_prop_disp.htm"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.focus.Name().toStdString());
        f.TbProp.userSelect(row.tab);
        help->calls.clear();
        testing_support::tabInto(row.focus.widget());
        EXPECT_TRUE(testing_support::userTypes({Qt::Key_F1}));
        ASSERT_EQ(help->calls.size(), 1u);
        EXPECT_EQ(helpTopicPath(help->calls[0].topic),
                  helpTopicPath(QString::fromLatin1(row.topic)));
    }
    EXPECT_TRUE(testing_support::userTypes({Qt::Key_Return}));
    EXPECT_FALSE(f.Loaded());
}

TEST_F(PropTest, EachTabEnablesItsPanelAndOpensItsHelpTopic) {
    FrmPropForm& f = dialog();
    const char* topics[] = {"Html/d_prop_gen.htm", "Html/d_prop_disp.htm", "Html/d_prop_sav.htm"};
    for (int tab : {1, 2, 0}) {
        f.TbProp.userSelect(tab);
        EXPECT_EQ(f.PicGen.Enabled(), tab == 0);
        EXPECT_EQ(f.PicDisp(0).Enabled(), tab == 1);
        EXPECT_EQ(f.PicSave.Enabled(), tab == 2);
        int f1 = vbKeyF1;
        f.Form_KeyDown(f1, 0);
        ASSERT_FALSE(help->calls.empty());
        EXPECT_EQ(helpTopicPath(help->calls.back().topic),
                  helpTopicPath(QString::fromLatin1(topics[tab]).replace(u'/', u'\\')));
    }
    EXPECT_EQ(help->calls.size(), 3u);
    EXPECT_EQ(f.Caption(), QStringLiteral("Mirovanta - ") + LoadResString(501));
}
