// The main window: its controls, its load, the handlers of the frame, the toolbar, the timers,
// the pages' lists and the summary range boxes.

#include "common/test_support.h"
#include "core/settings_store.h"
#include "document/modified.h"
#include "document/month_grid.h"
#include "document/records.h"
#include "services/settings.h"
#include "services/shell_services.h"
#include "shell/app_state.h"
#include "shell/prop_handoff.h"
#include "shell_fixture.h"
#include "support/scripted_services.h"

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

// ---- Help buttons, the toolbar, the logo view and the alarm timer ----

TEST_F(ShellTest, EachPagesHelpTopicFollowsTheDocumentAndTheSelectedDay) {
    auto help = std::make_shared<ScriptedHelp>();
    auto previous = setHelpServices(help);
    FrmMainForm& f = FrmMain.get();
    // By help button: the topic without a document, with one and no day, with a day selected.
    const char* const topics[6][3] = {{"t_commands", "t_commands", "t_commands"},
                                      {"t_events_1", "t_events_2", "t_events_3"},
                                      {"t_aevents_1", "t_aevents_2", "t_aevents_2"},
                                      {"t_debts_1", "t_debts_2", "t_debts_2"},
                                      {"t_bd_1", "t_bd_2", "t_bd_2"},
                                      {"t_sum_1", "t_sum_2", "t_sum_3"}};
    const struct {
        const char* state;
        int16_t cell, busy;
    } situations[] = {{"Logo", 0, 0}, {"Edit", 0, -1}, {"Edit", 22, 0}};
    for (int i = 0; i <= 5; ++i) {
        for (int s = 0; s < 3; ++s) {
            f.setTag(QLatin1String(situations[s].state));
            CurCell = situations[s].cell;
            IsBusy = situations[s].busy; // the help buttons act whatever the state
            help->calls.clear();
            f.CmdHelp(i).raiseEvent(Event::Click);
            IsBusy = 0;
            ASSERT_EQ(help->calls.size(), 1u) << i << " " << s;
            EXPECT_EQ(help->calls[0].topic,
                      QStringLiteral("Html\\%1.htm").arg(QLatin1String(topics[i][s])))
                << i << " " << s;
        }
    }
    help->calls.clear();
    f.CmdHelp_Click(6);
    EXPECT_TRUE(help->calls.empty());
    setHelpServices(previous);
}

// Every kind of toolbar key in the states "Logo" and "Edit": what a click leads to.
TEST_F(ShellTest, TheToolbarPassesNewOpenOptionsAndHelpAlwaysAndTheRestOnlyInEdit) {
    auto dialogs = std::make_shared<ScriptedCommonDialogs>();
    auto previousDialogs = setCommonDialogServices(dialogs);
    auto help = std::make_shared<ScriptedHelp>();
    auto previousHelp = setHelpServices(help);
    QStringList seen;
    auto previousOptions = setOptionsDialogRunner([&] { seen << QStringLiteral("options"); });
    auto previousProperties =
        setPropertiesDialogRunner([&] { seen << QStringLiteral("properties"); });
    FrmMainForm& f = FrmMain.get();
    f.Show();
    FrmMonthModele& march = MonthForms(3).get();
    FrmMonthModele& april = MonthForms(4).get();
    const QRect start(0, 0, 300, 200);

    const struct {
        const char* key;
        const char* inLogo;
        const char* inEdit;
    } cases[] = {
        {"New", "new properties", "new properties"},
        {"Open", "file", "file"},
        {"Save", "", "file"},
        {"Sep1", "", ""},
        {"Options", "options", "options"},
        {"m12", "", "shown"},
        {"Prop", "", "properties"},
        {"HTile", "", "arranged"},
        {"VTile", "", "arranged"},
        {"Cascade", "", "arranged"},
        {"Help", "help", "help"},
    };
    for (const auto& c : cases) {
        for (const char* state : {"Logo", "Edit"}) {
            SCOPED_TRACE(std::string(c.key) + " in " + state);
            CurDoc = BlankDocument(true); // unchanged and untitled
            SetModified(DocPart::All, 0, 0);
            f.setTag(QLatin1String(state));
            if (MonthForms(12).exists()) MonthForms(12)->Hide();
            for (FrmMonthModele* w : {&march, &april}) {
                w->Show();
                w->window()->setGeometry(start);
            }
            seen.clear();
            help->calls.clear();
            dialogs->fileRequests.clear();
            const uint64_t generation = DocGeneration;

            // The handler itself: the command enabling may have greyed the button meanwhile.
            f.TbMain_ButtonClick(f.TbMain.Buttons(QLatin1String(c.key)));

            if (DocGeneration != generation) seen << QStringLiteral("new");
            if (!dialogs->fileRequests.empty()) seen << QStringLiteral("file");
            if (!help->calls.empty() && help->calls[0].topic == QStringLiteral("Html\\index.htm"))
                seen << QStringLiteral("help");
            if (MonthForms(12).exists() && MonthForms(12)->Visible())
                seen << QStringLiteral("shown");
            if (march.window()->geometry() != start || april.window()->geometry() != start)
                seen << QStringLiteral("arranged");
            QStringList expected =
                QString::fromLatin1(QByteArray(state) == "Logo" ? c.inLogo : c.inEdit)
                    .split(u' ', Qt::SkipEmptyParts);
            seen.sort();
            expected.sort();
            EXPECT_EQ(seen, expected);
        }
    }
    setPropertiesDialogRunner(previousProperties);
    setOptionsDialogRunner(previousOptions);
    setHelpServices(previousHelp);
    setCommonDialogServices(previousDialogs);
}

// The toolbar lets pending events run before it acts; a close accepted meanwhile leaves
// nothing to act on (the options dialog would otherwise open over a program already shut down).
TEST_F(ShellTest, AToolbarClickDoesNothingOnceTheProgramClosedWhileItsEventsRan) {
    int options = 0;
    auto previous = setOptionsDialogRunner([&] { ++options; });
    FrmMainForm& f = FrmMain.get();
    for (const char* key : {"Options", "New"}) {
        f.setTag(QStringLiteral("Logo"));
        services.ui->onDoEvents = [&](bool) { f.setTag(QStringLiteral("Unload")); };
        const uint64_t generation = DocGeneration;
        f.TbMain_ButtonClick(f.TbMain.Buttons(QLatin1String(key)));
        services.ui->onDoEvents = nullptr;
        EXPECT_EQ(options, 0) << key;
        EXPECT_EQ(DocGeneration, generation) << key;
    }
    f.setTag(QStringLiteral("Logo"));
    f.TbMain_ButtonClick(f.TbMain.Buttons(QStringLiteral("Options")));
    EXPECT_EQ(options, 1);
    setOptionsDialogRunner(previous);
}

TEST_F(ShellTest, TheLogoViewTakesTheOuterWidthBesideThePanelInLogoAndLoadOnly) {
    FrmMainForm& f = FrmMain.get();
    f.Show();
    SetMainMode(3);
    f.setWidth(3000); // narrower than the open panel: the positive difference
    f.MDIForm_Resize();
    EXPECT_EQ(f.PicView.Width(), 1000);
    f.setWidth(12000); // the outer width, frame included
    f.MDIForm_Resize();
    EXPECT_EQ(f.PicView.Width(), 8000);
    f.setTag(QStringLiteral("Edit"));
    f.setWidth(14000);
    f.MDIForm_Resize();
    EXPECT_EQ(f.PicView.Width(), 8000);
}

namespace {
// The program's views with the alarm window replaced by a record of its calls; each alarm
// shown takes a minute of the user's.
class AlarmSpyViews : public ShellViews {
public:
    bool ShowAlarm(int16_t Month, int16_t Cell, int16_t) override {
        alarms.push_back(Month * 100 + Cell);
        timerRunningDuringScan = FrmMain->TmALCheck.Enabled();
        testing_support::fixedSystem().Now = testing_support::fixedSystem().Now.addSecs(60);
        return false;
    }
    std::vector<int> alarms;
    bool timerRunningDuringScan = true;
};
} // namespace

TEST_F(ShellTest, ADueTickScansOnlyInEditWithoutAnOpenDialogAndCountsFromTheScansEnd) {
    storeInterval(QStringLiteral("10"));
    auto spy = std::make_shared<AlarmSpyViews>();
    setDocViews(spy);
    FrmMainForm& f = FrmMain.get();
    CurDoc = BlankDocument(true);
    CurDoc.Year = QStringLiteral("2004");
    EVItem item;
    item.AlarmOn = -1;
    item.AlarmDaysBefore = 1;
    const int cell = CellOfDay(2004, 3, 16);
    ListAppend(CurDoc.Months(3).Cells(cell), item);

    enum Where { Edit, Logo, Busy, Dialog };
    for (Where where : {Edit, Logo, Busy, Dialog}) {
        SCOPED_TRACE(int(where));
        testing_support::resetFixedSystem();
        const QDateTime due = testing_support::fixedNow();
        f.NextAlarmCheck = due;
        f.TmALCheck.setEnabled(true);
        spy->alarms.clear();
        f.setTag(where == Logo ? QStringLiteral("Logo") : QStringLiteral("Edit"));
        if (where == Dialog) {
            // A tick while an editor is open: no scan, the check stays due and the timer armed;
            // the first tick after the editor closed scans.
            rt::FormSlot<ui_test::OkCancelDialog> editor;
            services.forms->modalScripts.push_back([&](Form&) { f.TmALCheck_Timer(); });
            editor->Show(vbModal);
            editor.release();
            EXPECT_TRUE(spy->alarms.empty());
            EXPECT_EQ(f.NextAlarmCheck, due);
            EXPECT_TRUE(f.TmALCheck.Enabled());
            f.TmALCheck_Timer();
            EXPECT_EQ(spy->alarms, std::vector<int>{300 + cell});
            continue;
        }
        IsBusy = where == Busy ? -1 : 0;
        f.TmALCheck_Timer();
        IsBusy = 0;
        const bool scans = where == Edit;
        EXPECT_EQ(spy->alarms, scans ? std::vector<int>{300 + cell} : std::vector<int>{});
        if (scans) {
            EXPECT_FALSE(spy->timerRunningDuringScan);
        }
        // Counted from the end of the scan, whether it found anything or not.
        EXPECT_EQ(f.NextAlarmCheck, due.addSecs((scans ? 60 : 0) + 10 * 60));
        EXPECT_TRUE(f.TmALCheck.Enabled());
    }

    // A close accepted while the scan let events run: the timer stays off.
    f.setTag(QStringLiteral("Edit"));
    f.NextAlarmCheck = testing_support::fixedSystem().Now;
    services.ui->onDoEvents = [&](bool) { f.setTag(QStringLiteral("Unload")); };
    f.TmALCheck_Timer();
    services.ui->onDoEvents = nullptr;
    EXPECT_FALSE(f.TmALCheck.Enabled());
    f.setTag(QStringLiteral("Edit"));

    // An interval of 0, or a text that is no number, scans at every tick once armed with it.
    for (const char* interval : {"0", "abc"}) {
        storeInterval(QLatin1String(interval));
        f.NextAlarmCheck = testing_support::fixedSystem().Now;
        spy->alarms.clear();
        f.TmALCheck_Timer();
        f.TmALCheck_Timer();
        EXPECT_EQ(spy->alarms.size(), 2u) << interval;
    }
    storeInterval(QStringLiteral("15"));
}
