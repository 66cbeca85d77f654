// The editors' shared frame: the amount filter, the dates shown for stored dates, keys, and the
// frame's behaviour as every editor has it (shown here on the debt/saving editor).

#include "editors/editor_frame.h"
#include "editors/frm_add_de.h"
#include "editors_fixture.h"

TEST(AmountFilter, KeepsTheAbsoluteValueOfTheLeadingNumberInGeneralForm) {
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {
        {"abc", "0"},
        {"", "0"},
        {"-12,5", "12"},
        {"12.", "12"},
        {"0.25", ".25"},
        {"007", "7"},
        {"1e20", "1E+20"},
        {"12.50", "12.5"},
        {"1 2", "12"},        // blanks are skipped wherever they stand
        {"&HFFFF", "1"},      // a four-digit hexadecimal number is a 16-bit value: -1
        {"1e400", "0"},       // beyond a double: 0 rather than a failure
        {"0.0001", ".0001"},  // the smallest value still written out
        {"0.00001", "1E-05"}, // below it the exponent form
        {"999999999999999", "999999999999999"},
        {"1234567890123456789", "1.23456789012346E+18"},
        {"-0", "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AmountFilterText(QString::fromUtf8(c.typed)), QString::fromUtf8(c.shown))
            << c.typed;
}

TEST(PickerDate, StoredDatesTheCalendarLacksAreCarriedOverAndKeptInRange) {
    const struct {
        DateRec stored;
        QDate shown;
    } cases[] = {
        {{29, 2, 2004}, QDate(2004, 2, 29)},    {{31, 2, 2004}, QDate(2004, 3, 2)},
        {{0, 3, 2004}, QDate(2004, 2, 29)},     {{1, 13, 2004}, QDate(2005, 1, 1)},
        {{0, 0, 0}, QDate(1601, 1, 1)},         {{1, 1, 1500}, QDate(1601, 1, 1)},
        {{31, 12, 32767}, QDate(9999, 12, 31)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PickerDate(c.stored), c.shown) << DateToText(c.stored).toStdString();
}

TEST(ListKey, SixteenDigitsAfterThePrefixAndNoKeyBeyondTheCounter) {
    EXPECT_EQ(ListKey(QStringLiteral("BD"), 7), QStringLiteral("BD0000000000000007"));
    int32_t next = 41;
    QString key;
    ASSERT_TRUE(IssueKey(next, QStringLiteral("AE"), key));
    EXPECT_EQ(next, 42);
    EXPECT_EQ(key, QStringLiteral("AE0000000000000042"));
    next = 2147483647;
    key.clear();
    EXPECT_FALSE(IssueKey(next, QStringLiteral("AE"), key));
    EXPECT_EQ(next, 2147483647);
    EXPECT_TRUE(key.isEmpty());
}

using EditorFrameTest = EditorTest;

TEST_F(EditorFrameTest, OpensOverTheNavigationPanelWhereverTheMainWindowIs) {
    FrmMain->Move(1500, 900);
    FrmMain->PicMenu.setWidth(500); // collapsed
    int top = 0, left = 0, panelWidth = 0;
    open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [&](FrmAddDEForm& f) {
        top = f.Top();
        left = f.Left();
        panelWidth = FrmMain->PicMenu.Width();
    });
    EXPECT_EQ(top, FrmMain->Top() + 850);
    EXPECT_EQ(left, FrmMain->Left() + FrmMain->PicMenu.Left() + FrmMain->TbMenu.Left() + 80);
    EXPECT_EQ(panelWidth, 4000); // opened to its full width
    EXPECT_FALSE(FrmMain->TmNavVisible.Enabled());
}

TEST_F(EditorFrameTest, CancelAndTheCloseBoxStoreNothingAfterEveryControlChanged) {
    CurDoc.DebtsSavings.Items.push_back(debt(QStringLiteral("Banque     100")));
    CurDoc.DebtsSavings.Count = 1;
    SetModified(DocPart::All, 0, 0);
    const DEList before = CurDoc.DebtsSavings;
    for (bool closeBox : {false, true}) {
        const bool changed = open<FrmAddDEForm>(&ShowDEEditor, 1, 0, [&](FrmAddDEForm& f) {
            f.ChkGen(1).userClicked();
            f.TxtGen(0).userEdited(QStringLiteral("Autre"));
            f.TxtGen(1).userEdited(QStringLiteral("55"));
            f.DtGen.userChanged(QDate(2004, 6, 1));
            if (closeBox)
                f.closeByUser();
            else
                f.CmdCancel.raiseEvent(rt::Event::Click);
        });
        EXPECT_FALSE(changed);
        ASSERT_EQ(CurDoc.DebtsSavings.Count, 1);
        EXPECT_FALSE(CompareDEItem(CurDoc.DebtsSavings.Items[0], before.Items[0]));
        EXPECT_EQ(CurDoc.DebtsSavings.Modified, 0);
        EXPECT_EQ(CurDoc.IsSaved, -1);
    }
    EXPECT_EQ(services.forms->modalClosedByDefault, 0);
}

TEST_F(EditorFrameTest, EnterPressesOkEscapeLeavesItOpenF1OpensTheHelpTopic) {
    bool openAfterEscape = false;
    const bool changed = open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [&](FrmAddDEForm& f) {
        press(f.TxtGen(0), Qt::Key_F1);
        press(f.DtGen, Qt::Key_F1);
        f.CmdHelp.raiseEvent(rt::Event::Click);
        press(f.TxtGen(0), Qt::Key_Escape);
        openAfterEscape = f.Loaded() && f.Visible();
        press(f.TxtGen(0), Qt::Key_Return);
    });
    EXPECT_TRUE(openAfterEscape);
    EXPECT_TRUE(changed); // Enter ended the add as OK does
    EXPECT_EQ(CurDoc.DebtsSavings.Count, 1);
    ASSERT_EQ(help->calls.size(), 3u);
    for (const auto& call : help->calls)
        EXPECT_EQ(call.topic, QStringLiteral("Html\\d_de.htm"));
    EXPECT_EQ(services.forms->modalClosedByDefault, 0);
}

TEST_F(EditorFrameTest, EveryOpeningStartsFromAFreshFormAndTheFormIsReleased) {
    open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [](FrmAddDEForm& f) {
        f.TxtGen(0).userEdited(QStringLiteral("Prêt"));
        f.ChkGen(1).userClicked();
        f.CmdOk.raiseEvent(rt::Event::Click);
    });
    EXPECT_FALSE(FrmAddDE.exists());
    QString name, balance;
    int saving = -1;
    open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [&](FrmAddDEForm& f) {
        name = f.TxtGen(0).Text();
        balance = f.TxtGen(1).Text();
        saving = f.ChkGen(1).Value();
        f.CmdCancel.raiseEvent(rt::Event::Click);
    });
    EXPECT_EQ(name, QString());
    EXPECT_EQ(balance, QStringLiteral("0"));
    EXPECT_EQ(saving, 0);
    EXPECT_EQ(CurDoc.DebtsSavings.Count, 1);
}

// A dialog that falls due while the editor is open (an alarm) may rewrite Exchange; the editor
// still stores into the record it was opened for.
TEST_F(EditorFrameTest, TheEditedRecordIsTheOneTheEditorWasOpenedFor) {
    for (const char* name : {"Un", "Deux", "Trois"})
        ListAppend(CurDoc.DebtsSavings, debt(MakeMoneyText(QString::fromUtf8(name), "0")));
    const bool changed = open<FrmAddDEForm>(&ShowDEEditor, 1, 1, [](FrmAddDEForm& f) {
        Exchange.EditIndex = 2;
        Exchange.DialogMode = 0;
        f.TxtGen(1).userEdited(QStringLiteral("9"));
        f.CmdOk.raiseEvent(rt::Event::Click);
    });
    EXPECT_TRUE(changed);
    ASSERT_EQ(CurDoc.DebtsSavings.Count, 3);
    EXPECT_EQ(CurDoc.DebtsSavings.Items[1].Text, QStringLiteral("Deux       9"));
    EXPECT_EQ(CurDoc.DebtsSavings.Items[2].Text, QStringLiteral("Trois      0"));
}

TEST_F(EditorFrameTest, AnEditOfARecordThatIsNotThereStoresNothing) {
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Seul       5")));
    const bool changed = open<FrmAddDEForm>(&ShowDEEditor, 1, 4, [](FrmAddDEForm& f) {
        f.TxtGen(0).userEdited(QStringLiteral("Nouveau"));
        f.CmdOk.raiseEvent(rt::Event::Click);
    });
    EXPECT_FALSE(changed);
    EXPECT_EQ(CurDoc.DebtsSavings.Count, 1);
    EXPECT_EQ(CurDoc.DebtsSavings.Modified, 0);
}

TEST_F(EditorFrameTest, AnAddToAFullListStoresNothing) {
    CurDoc.DebtsSavings.Items.resize(32767);
    CurDoc.DebtsSavings.Count = 32767;
    const bool changed = open<FrmAddDEForm>(
        &ShowDEEditor, 0, 0, [](FrmAddDEForm& f) { f.CmdOk.raiseEvent(rt::Event::Click); });
    EXPECT_FALSE(changed);
    EXPECT_EQ(CurDoc.DebtsSavings.Count, 32767);
    EXPECT_EQ(CurDoc.DebtsSavings.Modified, 0);
}
