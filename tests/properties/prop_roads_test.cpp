// The roads through the properties dialog as the program takes them: New creates a document
// through the dialog, and the properties command on an open document rebuilds the month
// windows after a change of year.

#include "common/test_support.h"
#include "document/calendar_entries.h"
#include "document/doc_state.h"
#include "document_dialogs/document_dialogs.h"
#include "prop_fixture.h"
#include "shell/main_module.h"

using namespace rt;

namespace {

// Plays the user in the properties dialog when it is shown modally.
void inDialog(ui_test::ScriptedServices& s, std::function<void(FrmPropForm&)> act) {
    s.forms->modalScripts.push_back([act](rt::Form& f) { act(static_cast<FrmPropForm&>(f)); });
}

} // namespace

class PropRoadsTest : public PropTest {
protected:
    void SetUp() override {
        PropTest::SetUp();
        FrmMain->setTag(QStringLiteral("Logo"));
        CurDoc = CalDocument{};
        SetModified(DocPart::All, 0, 0);
    }
    void TearDown() override {
        testing_support::resetFixedSystem();
        PropTest::TearDown();
    }
};

TEST_F(PropRoadsTest, NewEndsWithTheMonthWindowsOfTheNewDocumentInEdit) {
    inDialog(services, [](FrmPropForm& f) {
        // The new document takes the clock's year, which the list shows selected.
        EXPECT_EQ(f.LstVGen.SelectedItem()->Text(), QStringLiteral("2004"));
        EXPECT_EQ(f.CmbGen.ListIndex(), 0);
        EXPECT_EQ(f.TxtGen(1).Text(), LoadResString(540));
        f.TxtGen(0).userEdited(QStringLiteral("Claire"));
        f.CmbGen.userSelect(2); // February first
        f.CmdOk_Click();
    });

    NewDocument();

    EXPECT_EQ(services.forms->modalForms, QStringList{QStringLiteral("FrmProp")});
    EXPECT_FALSE(FrmProp.exists());                // released once closed
    EXPECT_TRUE(services.ui->msgBoxCalls.empty()); // a new document's year needs no question
    EXPECT_EQ(FrmMain->Tag(), QStringLiteral("Edit"));
    EXPECT_EQ(CurDoc.Author, QStringLiteral("Claire"));
    EXPECT_EQ(CurDoc.Year, QStringLiteral("2004"));
    EXPECT_EQ(CurDoc.OpenMonth, QStringLiteral("02"));
    EXPECT_EQ(CurDoc.HeaderModified, -1);
    EXPECT_TRUE(FrmMain->Caption().endsWith(QStringLiteral("[Sans nom]*")));
    // Every window is filled for the year; the month to open first is shown.
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(MonthForms(m)->Caption(), LoadResString(209 + m) + QStringLiteral(" 2004"));
    EXPECT_TRUE(MonthForms(2)->Visible());
    // 1 February 2004 is a Sunday: the first cell.
    EXPECT_EQ(MonthForms(2)->LblDay(7).Caption(), QStringLiteral("01"));
}

// A new document of a year after the fixed ones (2002 to 2013) finds it listed, and keeps it.
TEST_F(PropRoadsTest, NewInAYearAfterTheFixedListKeepsThatYear) {
    testing_support::fixedSystem().Now = QDateTime(QDate(2026, 5, 4), QTime(9, 0));
    inDialog(services, [](FrmPropForm& f) {
        ASSERT_NE(f.LstVGen.SelectedItem(), nullptr);
        EXPECT_EQ(f.LstVGen.SelectedItem()->Text(), QStringLiteral("2026"));
        EXPECT_EQ(f.LstVGen.ListItems().Count(), 35); // 2002 to 2036
        EXPECT_EQ(f.LstVGen.ListItems()(25).Text(), QStringLiteral("2026"));
        f.CmdOk_Click();
    });

    NewDocument();

    EXPECT_EQ(FrmMain->Tag(), QStringLiteral("Edit"));
    EXPECT_EQ(CurDoc.Year, QStringLiteral("2026"));
    EXPECT_EQ(CurDoc.IsSaved, -1); // nothing was changed
    EXPECT_TRUE(MonthForms(5)->Caption().endsWith(QStringLiteral(" 2026")));
}

TEST_F(PropRoadsTest, AChangeOfYearOnAnOpenDocumentRebuildsEveryMonthWindow) {
    inDialog(services, [](FrmPropForm&) {});
    NewDocument(); // closed by its close box: cancelled
    inDialog(services, [](FrmPropForm& f) { f.CmdOk_Click(); });
    NewDocument();
    ASSERT_EQ(FrmMain->Tag(), QStringLiteral("Edit"));
    AEItem weekly;
    weekly.Recurrence = AERecurrence::Weekly;
    weekly.Day = 2; // Mondays
    weekly.Key = QStringLiteral("AE0000000000000001");
    weekly.Text = QStringLiteral("Piscine");
    weekly.Kind = ItemKind::Event;
    weekly.StartDate = {1, 1, 2000};
    weekly.EndDate = {31, 12, 2099};
    ListAppend(CurDoc.AutoEvents, weekly);
    EVItem dentist;
    dentist.Text = QStringLiteral("Dentiste");
    dentist.Kind = ItemKind::Event;
    ListAppend(CurDoc.Months(2).Cells(20), dentist);
    services.ui->msgBoxAnswers.push_back(vbYes);
    inDialog(services, [](FrmPropForm& f) {
        f.LstVGen.ListItems()(8).setSelected(true); // 2009
        f.CmdOk_Click();
    });

    EXPECT_TRUE(ShowPropertiesDialog(false));

    ASSERT_EQ(services.ui->msgBoxCalls.size(), 1u);
    EXPECT_EQ(services.ui->msgBoxCalls[0].style, 292);
    EXPECT_EQ(FrmMain->Tag(), QStringLiteral("Edit"));
    EXPECT_EQ(CurDoc.Year, QStringLiteral("2009"));
    EXPECT_EQ(MonthForms(2)->Caption(), LoadResString(211) + QStringLiteral(" 2009"));
    // 2 February 2009 is a Monday, in cell 8; the old day item is gone.
    EXPECT_EQ(MonthForms(2)->LblDay(8).Caption(), QStringLiteral("02"));
    ASSERT_EQ(CurDoc.Months(2).Cells(8).Count, 1);
    EXPECT_EQ(CurDoc.Months(2).Cells(8).Items[0].Text, QStringLiteral("Piscine"));
    for (int c = kFirstCell; c <= kLastCell; ++c)
        for (const EVItem& ev : CurDoc.Months(2).Cells(c).Items)
            EXPECT_NE(ev.Text, QStringLiteral("Dentiste"));
    EXPECT_TRUE(FrmMain->Caption().endsWith(QStringLiteral("[Sans nom]*")));
}
