// The editors' shared frame: the amount filter, and what every editor does the same way (shown
// on the debt/saving editor): placement, Cancel and the close box, keys, and the records it
// refuses to store.

#include "editors/editor_frame.h"
#include "editors/frm_add_de.h"
#include "editors_fixture.h"

#include <clocale>
#include <string>

TEST(AmountFilter, KeepsTheAbsoluteValueOfTheLeadingNumberInGeneralForm) {
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {
        {"abc", "0"},
        {"", "0"},
        {"-12,5", "12.5"},
        {"12.", "12"},
        {"0.25", ".25"},
        {"007", "7"},
        {"1e20", "1E+20"},
        {"12.50", "12.5"},
        {"1 2", "12"},
        {"&HFFFF", "1"},
        {"-0", "0"},
        {"0.0001", ".0001"},
        {"1e400", "0"}, // beyond a double: 0 rather than a failure
        {"0.00001", "1E-05"},
        {"999999999999999", "999999999999999"},
        {"1234567890123456789", "1.23456789012346E+18"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AmountFilterText(QString::fromUtf8(c.typed)), QString::fromUtf8(c.shown))
            << c.typed;
}

TEST(AmountFilter, WhileTypingOneSeparatorAfterWholeDigitsStaysAsAPoint) {
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {
        {"12.", "12."}, {"12,", "12."},  {"-12,", "12."},    {" 0,", "0."}, {".", "0."},
        {"12..", "12"}, {"1.5.", "1.5"}, {"1e5.", "100000"}, {"abc.", "0"}, {"12,50", "12.5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AmountTypingText(QString::fromUtf8(c.typed)), QString::fromUtf8(c.shown))
            << c.typed;
}

// The program runs under the user's locale, whose decimal separator is a comma in French: the
// filter reads and writes its point all the same.
TEST(AmountFilter, TheProcessLocaleChangesNothing) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"), nullptr);
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {{"187.4", "187.4"}, {"187,45", "187.45"}, {"0.5", ".5"}, {"1.5e20", "1.5E+20"}};
    for (const auto& c : cases)
        EXPECT_EQ(AmountTypingText(QString::fromUtf8(c.typed)), QString::fromUtf8(c.shown))
            << c.typed;
    std::setlocale(LC_NUMERIC, previous.c_str());
}

using EditorFrameTest = EditorTest;

TEST_F(EditorFrameTest, OpensOverTheOpenedNavigationPanelWhereverTheMainWindowIs) {
    FrmMain->Move(1500, 900);
    FrmMain->PicMenu.setWidth(500); // collapsed
    int top = 0, left = 0, panel = 0;
    open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [&](FrmAddDEForm& f) {
        top = f.Top();
        left = f.Left();
        panel = FrmMain->PicMenu.Width();
    });
    EXPECT_EQ(top, FrmMain->Top() + 850);
    EXPECT_EQ(left, FrmMain->Left() + FrmMain->PicMenu.Left() + FrmMain->TbMenu.Left() + 80);
    EXPECT_EQ(panel, 4000);
}

TEST_F(EditorFrameTest, CancelAndTheCloseBoxStoreNothingAfterEveryControlChanged) {
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Banque     100")));
    SetModified(DocPart::All, 0, 0);
    const DEItem before = CurDoc.DebtsSavings.Items[0];
    for (bool closeBox : {false, true}) {
        EXPECT_FALSE(open<FrmAddDEForm>(&ShowDEEditor, 1, 0, [&](FrmAddDEForm& f) {
            f.ChkGen(1).userClicked();
            f.TxtGen(0).userEdited(QStringLiteral("Autre"));
            f.TxtGen(1).userEdited(QStringLiteral("55"));
            f.DtGen.userChanged(QDate(2004, 6, 1));
            closeBox ? void(f.closeByUser()) : click(f.CmdCancel);
        }));
        EXPECT_FALSE(CompareDEItem(CurDoc.DebtsSavings.Items[0], before));
        EXPECT_EQ(CurDoc.IsSaved, -1);
    }
}

TEST_F(EditorFrameTest, EnterPressesOkEscapeLeavesItOpenF1OpensTheTopicOnce) {
    bool openAfterEscape = false;
    EXPECT_TRUE(open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [&](FrmAddDEForm& f) {
        press(f.TxtGen(0), Qt::Key_F1);
        press(f.DtGen, Qt::Key_F1);
        press(f.TxtGen(0), Qt::Key_Escape);
        openAfterEscape = f.Loaded() && f.Visible();
        press(f.TxtGen(0), Qt::Key_Return);
    }));
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(services.forms->modalClosedByDefault, 0); // Enter closed it
    ASSERT_EQ(help->calls.size(), 2u);
    EXPECT_EQ(help->calls[1].topic, QStringLiteral("Html\\d_de.htm"));
}

// A dialog that falls due while the editor is open (an alarm) may rewrite Exchange; the editor
// still stores into the record it was opened for.
TEST_F(EditorFrameTest, TheEditedRecordIsTheOneTheEditorWasOpenedFor) {
    for (const char* name : {"Un", "Deux", "Trois"})
        ListAppend(CurDoc.DebtsSavings, debt(MakeMoneyText(QString::fromUtf8(name), "0")));
    EXPECT_TRUE(open<FrmAddDEForm>(&ShowDEEditor, 1, 1, [](FrmAddDEForm& f) {
        Exchange.EditIndex = 2;
        Exchange.DialogMode = 0;
        f.TxtGen(1).userEdited(QStringLiteral("9"));
        click(f.CmdOk);
    }));
    ASSERT_EQ(CurDoc.DebtsSavings.Count, 3);
    EXPECT_EQ(CurDoc.DebtsSavings.Items[1].Text, QStringLiteral("Deux       9"));
    EXPECT_EQ(CurDoc.DebtsSavings.Items[2].Text, QStringLiteral("Trois      0"));
}

TEST_F(EditorFrameTest, NoRecordIsStoredForAMissingSlotAFullListOrAnExhaustedKeyCounter) {
    const struct {
        const char* why;
        int32_t mode;
        int16_t index;
        int16_t count;
    } cases[] = {
        {"edit of a record that is not there", 1, 4, 1},
        {"add to a list of 32767 records", 0, 0, 32767},
    };
    for (const auto& c : cases) {
        ListClear(CurDoc.DebtsSavings);
        CurDoc.DebtsSavings.Items.resize(size_t(c.count));
        CurDoc.DebtsSavings.Count = c.count;
        EXPECT_FALSE(open<FrmAddDEForm>(&ShowDEEditor, c.mode, c.index, [](FrmAddDEForm& f) {
            f.TxtGen(0).userEdited(QStringLiteral("Nouveau"));
            click(f.CmdOk);
        })) << c.why;
        EXPECT_EQ(CurDoc.DebtsSavings.Count, c.count) << c.why;
        EXPECT_EQ(CurDoc.IsSaved, -1) << c.why;
    }
    int32_t next = 2147483647;
    QString key;
    EXPECT_FALSE(IssueKey(next, QStringLiteral("AE"), key));
    EXPECT_EQ(next, 2147483647);
}
