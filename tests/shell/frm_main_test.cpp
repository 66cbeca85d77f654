// The main window: its controls, its load, the handlers of the frame, the toolbar, the timers,
// the pages' lists and the summary range boxes.

#include "common/test_support.h"
#include "document/records.h"
#include "platform/settings_store.h"
#include "shell/settings.h"
#include "shell_fixture.h"

#include <QApplication>
#include <QMdiArea>

using namespace rt;

namespace {
void storeInterval(const QString& value) {
    ASSERT_TRUE(
        SaveSetting(kSettingsApp, QStringLiteral("Alarm"), QStringLiteral("IntervalChk"), value));
}
} // namespace

TEST_F(ShellTest, TheMainWindowHasEveryControlInItsPlace) {
    FrmMainForm& f = FrmMain.get();
    EXPECT_EQ(f.Tag(), QString()); // empty right after loading
    EXPECT_EQ(f.TbMenu.Tabs(), 6);
    EXPECT_EQ(f.PicMenu.Width(), 4000);
    EXPECT_EQ(f.PicMenu.Align(), vbAlignLeft);
    // The page of tab t is PicTab(5 - t).
    for (int t = 0; t <= 5; ++t)
        EXPECT_EQ(f.PicTab(5 - t).widget()->parentWidget(), f.TbMenu.Page(t).clientWidget());
    // Arrays with their own bounds, LblStepTwo with a gap.
    EXPECT_EQ(f.LblStepOne.LBound(), 0);
    EXPECT_EQ(f.LblStepOne.UBound(), 4);
    EXPECT_EQ(f.LblStepTwo.indexes(), (std::vector<int>{0, 4}));
    EXPECT_EQ(f.ChkSU.Count(), 4);
    EXPECT_EQ(f.TxtSUInf.UBound(), 2);
    EXPECT_EQ(f.CmdBDSort.Count(), 2);
    EXPECT_EQ(f.LstEV.Style(), vbListBoxCheckbox);
    EXPECT_EQ(f.LstAE.Style(), vbListBoxStandard);
    // Timers: 1000 ms and 65535 ms, the navigation timer off.
    EXPECT_EQ(f.TmNavVisible.Interval(), 1000);
    EXPECT_FALSE(f.TmNavVisible.isRunning());
    EXPECT_EQ(f.TmALCheck.Interval(), 65535);
    EXPECT_FALSE(f.LVTemp.Visible());
    EXPECT_FALSE(f.PicView.Visible());
}

TEST_F(ShellTest, LoadingStartsTheAlarmTimerAndEnablesOnlyTheCurrentPage) {
    storeInterval(QStringLiteral("20"));
    FrmMainForm& f = FrmMain.get();
    EXPECT_TRUE(f.TmALCheck.isRunning());
    EXPECT_EQ(f.NextAlarmCheck, testing_support::fixedNow().addSecs(20 * 60));
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(f.PicTab(i).Enabled(), f.TbMenu.Tab() == 5 - i) << i;

    // A tab change enables only its page.
    f.TbMenu.setTab(4);
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(f.PicTab(i).Enabled(), i == 1) << i;
    FrmMain.release();
    ui_test::flushReleased();

    storeInterval(QStringLiteral("-1"));
    EXPECT_FALSE(FrmMain->TmALCheck.isRunning());
    storeInterval(QStringLiteral("15"));
}

TEST_F(ShellTest, TheAlarmTimerScansOnlyOnceTheCheckIsDue) {
    storeInterval(QStringLiteral("10"));
    FrmMainForm& f = FrmMain.get();
    const QDateTime due = f.NextAlarmCheck;
    f.TmALCheck_Timer(); // not yet due
    EXPECT_EQ(f.NextAlarmCheck, due);
    testing_support::fixedSystem().Now = due.addSecs(30);
    f.TmALCheck_Timer();
    EXPECT_EQ(f.NextAlarmCheck, due.addSecs(30 + 10 * 60));
    EXPECT_TRUE(f.TmALCheck.isRunning());
    storeInterval(QStringLiteral("-1"));
    f.TmALCheck_Timer();
    EXPECT_FALSE(f.TmALCheck.isRunning());
    // A value beyond 16 bits takes the default of 15 minutes instead of failing every tick.
    storeInterval(QStringLiteral("40000"));
    f.TmALCheck.setEnabled(true);
    testing_support::fixedSystem().Now = due.addSecs(3600);
    f.TmALCheck_Timer();
    EXPECT_EQ(f.NextAlarmCheck, due.addSecs(3600 + 15 * 60));
    storeInterval(QStringLiteral("15"));
}

TEST_F(ShellTest, TheNavigationTimerCollapsesThePanel) {
    FrmMainForm& f = FrmMain.get();
    f.TmNavVisible.setEnabled(true);
    f.TmNavVisible_Timer();
    EXPECT_FALSE(f.TmNavVisible.Enabled());
    EXPECT_EQ(f.PicMenu.Width(), 500);
}

TEST_F(ShellTest, OnlyRestoreIsAcceptedFromASecondCopy) {
    FrmMainForm& f = FrmMain.get();
    f.Show();
    struct Case {
        QString command;
        int cancel;
    } cases[] = {{QStringLiteral("RESTORE"), 0},
                 {QStringLiteral("restore"), 1},
                 {QStringLiteral("RESTORE "), 1},
                 {QString(), 1}};
    for (const Case& c : cases) {
        f.setWindowState(vbNormal);
        int cancel = -7;
        f.MDIForm_LinkExecute(c.command, cancel);
        EXPECT_EQ(cancel, c.cancel) << c.command.toStdString();
        EXPECT_EQ(f.WindowState(), c.cancel == 0 ? vbMaximized : vbNormal);
    }
    // Hidden, the focus step fails; the command still counts as accepted.
    f.Hide();
    int cancel = 1;
    f.MDIForm_LinkExecute(QStringLiteral("RESTORE"), cancel);
    EXPECT_EQ(cancel, 0);
}

TEST_F(ShellTest, ClosingIsRefusedWhileADocumentIsReadOrWritten) {
    FrmMainForm& f = FrmMain.get();
    f.setTag(QStringLiteral("Load"));
    int cancel = 0;
    f.MDIForm_QueryUnload(cancel, vbFormControlMenu);
    EXPECT_EQ(cancel, 1);
    f.setTag(QStringLiteral("Edit"));
    IsBusy = -1;
    cancel = 0;
    f.MDIForm_QueryUnload(cancel, vbFormControlMenu);
    EXPECT_EQ(cancel, 1);
    IsBusy = 0;
    EXPECT_TRUE(f.Loaded());
}

TEST_F(ShellTest, TheToolbarActsOnMonthButtonsOnlyInEdit) {
    FrmMainForm& f = FrmMain.get();
    f.Show();
    addMonthButtons();
    f.setTag(QStringLiteral("Logo"));
    f.TbMain.userClick(monthButton(5));
    EXPECT_FALSE(MonthForms(5).exists() && MonthForms(5)->Visible());

    f.setTag(QStringLiteral("Edit"));
    MonthForms(5)->setWindowState(vbMinimized);
    f.TbMain.userClick(monthButton(5));
    EXPECT_TRUE(MonthForms(5)->Visible());
    EXPECT_EQ(MonthForms(5)->WindowState(), vbNormal);
    EXPECT_EQ(monthButton(5).Value(), 1);
    EXPECT_EQ(f.ActiveForm(), MonthForms(5).peek());

    MonthForms(5)->Show();
    f.TbMain.userClick(monthButton(7)); // another month: the group releases May
    EXPECT_EQ(monthButton(5).Value(), 0);
    EXPECT_EQ(monthButton(7).Value(), 1);
    EXPECT_TRUE(MonthForms(7)->Visible());

    // Tiling buttons arrange the shown windows side by side or one above the other.
    f.TbMain.userClick(f.TbMain.Buttons(QStringLiteral("VTile")));
    EXPECT_NE(MonthForms(5)->window()->x(), MonthForms(7)->window()->x());
    EXPECT_EQ(MonthForms(5)->window()->y(), MonthForms(7)->window()->y());
}

TEST_F(ShellTest, TheSummaryBoxesKeepExactlyOneTicked) {
    FrmMainForm& f = FrmMain.get();
    f.setTag(QStringLiteral("Edit"));
    f.ChkSU(0).setValue(1);
    f.ChkSU(2).setValue(1); // ticking one clears the others
    const int expected[] = {0, 0, 1, 0};
    for (int i = 0; i <= 3; ++i)
        EXPECT_EQ(f.ChkSU(i).Value(), expected[i]) << i;
    f.ChkSU(2).setValue(0); // the last one ticked cannot be cleared
    EXPECT_EQ(f.ChkSU(2).Value(), 1);
    // Outside "Edit" the handler does nothing: the boxes behave as plain check boxes.
    f.setTag(QStringLiteral("Logo"));
    f.ChkSU(1).setValue(1);
    EXPECT_EQ(f.ChkSU(2).Value(), 1);
}

TEST_F(ShellTest, TickingAnEventsRowStoresItInTheItemAndMarksTheMonth) {
    FrmMainForm& f = FrmMain.get();
    CurDoc = BlankDocument(true);
    DayCell& cell = CurDoc.Months(3).Cells(12);
    cell.Items.resize(2);
    cell.Count = 2;
    cell.Items[0].Text = QStringLiteral("Dentiste");
    cell.Items[1].Text = QStringLiteral("Loyer");
    CurMonth = 3;
    CurCell = 12;
    f.LstEV.AddItem(QStringLiteral("Dentiste"));
    f.LstEV.AddItem(QStringLiteral("Loyer"));

    f.setTag(QStringLiteral("Edit"));
    f.LstEV.setSelected(1, true);
    EXPECT_EQ(cell.Items[1].Checked, -1);
    EXPECT_EQ(cell.Items[0].Checked, 0);
    EXPECT_EQ(CurDoc.Months(3).DaysModified, -1);
    f.LstEV.setSelected(1, false);
    EXPECT_EQ(cell.Items[1].Checked, 0);

    // While the pane is being filled (IsBusy) the ticks are not stored back.
    IsBusy = -1;
    f.LstEV.setSelected(0, true);
    EXPECT_EQ(cell.Items[0].Checked, 0);
    IsBusy = 0;
}

TEST_F(ShellTest, UpdateOfAutoEventsConfirmsWithAMessage) {
    FrmMainForm& f = FrmMain.get();
    CurDoc = BlankDocument(true);
    CurDoc.Year = QStringLiteral("2004");
    f.setTag(QStringLiteral("Logo"));
    f.CmdAEUpdate.raiseEvent(Event::Click);
    EXPECT_TRUE(services.ui->msgBoxCalls.empty());
    f.setTag(QStringLiteral("Edit"));
    f.CmdAEUpdate.raiseEvent(Event::Click);
    ASSERT_EQ(services.ui->msgBoxCalls.size(), 1u);
    EXPECT_EQ(services.ui->msgBoxCalls[0].prompt,
              QStringLiteral("Le calendrier a été mis à jour avec succès!"));
    EXPECT_EQ(services.ui->msgBoxCalls[0].style, vbInformation);
    EXPECT_EQ(services.ui->msgBoxCalls[0].title, QStringLiteral("Mirovanta"));
}

TEST_F(ShellTest, TheExitButtonClosesThroughTheWindowsQuestion) {
    FrmMainForm& f = FrmMain.get();
    f.setTag(QStringLiteral("Load"));
    f.CmdCOExit.raiseEvent(Event::Click); // refused while loading
    EXPECT_TRUE(f.Loaded());
    f.setTag(QStringLiteral("Logo"));
    f.CmdCOExit.raiseEvent(Event::Click); // an unchanged document: the window unloads
    EXPECT_FALSE(f.Loaded());
}
