// The month windows: creation in MonthForms, captions, the grid's layout, activation, closing,
// the cell menu's commands and the reset for a blank document.

#include "core/rt_error.h"
#include "document/month_grid.h"
#include "document/records.h"
#include "shell_fixture.h"
#include "support/scripted_services.h"

#include <QApplication>
#include <QMdiArea>
#include <QMouseEvent>

using namespace rt;

namespace {
int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const RtError& e) {
        return e.Number;
    }
    return 0;
}
} // namespace

TEST_F(ShellTest, MonthWindowsAreCreatedOnFirstReferenceWithTheirTagAndCaptions) {
    EXPECT_EQ(errorOf([] { MonthForms(0); }), ErrSubscript);
    EXPECT_EQ(errorOf([] { MonthForms(13); }), ErrSubscript);
    EXPECT_FALSE(MonthForms(4).exists());
    FrmMonthModele& april = MonthForms(4).get();
    EXPECT_TRUE(FrmMain.exists()); // the windows live in the main window
    EXPECT_EQ(april.Tag(), QStringLiteral("4"));
    EXPECT_FALSE(april.Icon().isEmpty());
    EXPECT_TRUE(april.Loaded());
    EXPECT_FALSE(april.Visible()); // hidden until shown
    EXPECT_EQ(april.LblFix(0).Caption(), QStringLiteral("Dimanche"));
    EXPECT_EQ(april.LblFix(1).Caption(), QStringLiteral("Lundi"));
    EXPECT_EQ(april.LblFix(6).Caption(), QStringLiteral("Samedi"));
    const char* menu[] = {"Cou&per",    "&Copier",     "Co&ller",
                          "-",          "&Ajouter...", "&Éditer...",
                          "&Supprimer", "-",           "Afficher l'&Image..."};
    for (int i = 0; i <= 8; ++i)
        EXPECT_EQ(april.mnuEditCmd(i).Caption(), QString::fromUtf8(menu[i])) << i;
    EXPECT_EQ(april.LblDay.LBound(), 7);
    EXPECT_EQ(april.LblDay.UBound(), 48);
    EXPECT_EQ(april.LblEV7.Count(), 42);
    EXPECT_EQ(errorOf([&] { april.LblDay(6); }), ErrSubscript);
    EXPECT_EQ(&MonthForms(4).get(), &april); // the same window on every reference
}

TEST_F(ShellTest, TheGridHasSevenColumnsOfSixWeeksWithSevenLinesInEachCell) {
    FrmMain->Show();
    FrmMonthModele& w = MonthForms(3).get();
    w.Show();
    w.Move(0, 0, 9000, 7500);
    QCoreApplication::processEvents();
    for (int c = 7; c <= 48; ++c) {
        const Label& day = w.LblDay(c);
        const int row = c / 7 - 1, col = c % 7;
        // Left to right Sunday to Saturday, top to bottom the six weeks.
        if (col > 0) {
            EXPECT_EQ(day.Left(), w.LblDay(c - 1).Left() + w.LblDay(c - 1).Width());
        }
        if (row > 0) {
            EXPECT_EQ(day.Top(), w.LblDay(c - 7).Top() + w.LblDay(c - 7).Height());
        }
        // The item lines lie inside the cell, in order, under the day number's line.
        int previousTop = day.Top();
        for (int n = 1; n <= 7; ++n) {
            const Label& line = w.LblEV(n)(c);
            EXPECT_GT(line.Top(), previousTop) << c << " " << n;
            EXPECT_LE(line.Top() + line.Height(), day.Top() + day.Height());
            EXPECT_GE(line.Left(), day.Left());
            EXPECT_LE(line.Left() + line.Width(), day.Left() + day.Width());
            EXPECT_EQ(line.BackStyle(), 0); // transparent over the day label
            previousTop = line.Top();
        }
    }
    // The grid fills the window's inner area under the weekday row.
    EXPECT_EQ(w.LblDay(13).Left() + w.LblDay(13).Width(), w.PicCal.Width());
    EXPECT_EQ(w.LblDay(48).Top() + w.LblDay(48).Height(), w.PicCal.Height());
    EXPECT_EQ(w.PicEvent(6).Left() + w.PicEvent(6).Width(), w.PicCal.Width());
    // A weekday name keeps its offset in its box when the window is laid out again.
    w.LblFix(2).setTop(50);
    w.Move(0, 0, 12000, 9000);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.LblFix(2).Top(), 50);
    EXPECT_GT(w.LblDay(8).Width(), 1500);
}

TEST_F(ShellTest, ClosingAMonthWindowHidesItAndKeepsItsControls) {
    FrmMainForm& main = FrmMain.get();
    main.Show();
    addMonthButtons();
    main.setTag(QStringLiteral("Edit"));
    FrmMonthModele& march = MonthForms(3).get();
    march.Form_Activate();
    ASSERT_TRUE(march.Visible());
    EXPECT_EQ(monthButton(3).Value(), 1);
    march.LblDay(8).setCaption(QStringLiteral("01"));
    march.LblEV2(8).setCaption(QStringLiteral("Dentiste"));

    march.window()->close(); // the user's close box
    EXPECT_FALSE(march.Visible());
    EXPECT_FALSE(march.window()->isVisible());
    EXPECT_TRUE(march.Loaded());
    EXPECT_EQ(monthButton(3).Value(), 0);
    ui_test::flushReleased();
    ASSERT_EQ(MonthForms(3).peek(), &march);
    EXPECT_EQ(march.LblDay(8).Caption(), QStringLiteral("01"));
    EXPECT_EQ(march.LblEV2(8).Caption(), QStringLiteral("Dentiste"));
    EXPECT_EQ(main.mdiArea()->subWindowList().size(), 1);

    // Its toolbar button brings the same window back.
    main.TbMain.userClick(monthButton(3));
    EXPECT_TRUE(march.Visible());
    EXPECT_EQ(march.LblEV2(8).Caption(), QStringLiteral("Dentiste"));
    EXPECT_EQ(monthButton(3).Value(), 1);

    // In the state "Unload" the window closes for good.
    main.setTag(QStringLiteral("Unload"));
    march.window()->close();
    EXPECT_FALSE(march.Loaded());
}

TEST_F(ShellTest, ActivationActsOnlyInEditAndWhenNotBusy) {
    FrmMainForm& main = FrmMain.get();
    main.Show();
    addMonthButtons();
    FrmMonthModele& june = MonthForms(6).get();
    main.setTag(QStringLiteral("Logo"));
    june.Form_Activate();
    EXPECT_FALSE(june.Visible());
    main.setTag(QStringLiteral("Edit"));
    IsBusy = -1;
    june.Form_Activate();
    EXPECT_FALSE(june.Visible());
    IsBusy = 0;
    june.Form_Activate();
    EXPECT_TRUE(june.Visible());
    EXPECT_EQ(monthButton(6).Value(), 1);
    EXPECT_EQ(main.ActiveForm(), &june);

    // Activating another month releases June's button; hiding it activates June again.
    MonthForms(7)->Form_Activate();
    EXPECT_EQ(monthButton(6).Value(), 0);
    EXPECT_EQ(monthButton(7).Value(), 1);
    MonthForms(7)->window()->close();
    EXPECT_EQ(main.ActiveForm(), &june);
    EXPECT_EQ(monthButton(6).Value(), 1);
}

TEST_F(ShellTest, TheCellMenuCommandsActOnTheCellUnderTheMenu) {
    FrmMainForm& main = FrmMain.get();
    // Made with no document shown, the window shows no day in its cells (as damaged data).
    FrmMonthModele& march = MonthForms(3).get();
    main.setTag(QStringLiteral("Edit"));
    CurDoc = BlankDocument(true);
    CurDoc.Year = QStringLiteral("2004");
    CurDoc.IsSaved = -1;
    DayCell& cell = CurDoc.Months(3).Cells(10);
    cell.Items.resize(2);
    cell.Count = 2;
    cell.Items[0].Text = QStringLiteral("Dentiste");
    cell.Items[1].Text = QStringLiteral("Loyer");
    SelMonth = 3;
    SelCell = 10;
    SelItem = 1;

    march.mnuEditCmd(1).raiseEvent(Event::Click); // Copy
    EXPECT_EQ(GridClip.ClipMode, ClipboardMode::Copy);
    EXPECT_EQ(GridClip.ClipIndex, 1);

    // Edit... switches to the events page first; with the item's row not in the list (a stale
    // list) it edits nothing rather than the wrong row.
    main.TbMenu.setTab(0);
    march.mnuEditCmd(5).raiseEvent(Event::Click);
    EXPECT_EQ(main.TbMenu.Tab(), 4);
    EXPECT_EQ(main.LstEV.ListIndex(), -1);

    march.mnuEditCmd(6).raiseEvent(Event::Click); // Delete: at once, no question
    EXPECT_EQ(cell.Count, 1);
    EXPECT_EQ(cell.Items[0].Text, QStringLiteral("Dentiste"));
    EXPECT_TRUE(services.ui->msgBoxCalls.empty());
}

TEST_F(ShellTest, ABlankDocumentEmptiesTheWindow) {
    FrmMonthModele& w = MonthForms(2).get();
    w.LblDay(9).setCaption(QStringLiteral("01"));
    w.LblDay(9).setBackStyle(0);
    w.LblEV1(9).setCaption(QStringLiteral("x"));
    w.Move(600, 300);
    views().ResetMonthWindow(2, RGB(10, 20, 30));
    EXPECT_EQ(w.LblDay(9).Caption(), QString());
    EXPECT_EQ(w.LblDay(9).BackStyle(), 1);
    EXPECT_EQ(w.LblDay(9).BackColor(), RGB(10, 20, 30));
    EXPECT_EQ(w.LblEV1(9).Caption(), QString());
    EXPECT_EQ(w.WindowState(), vbNormal);
    EXPECT_EQ(w.Left(), 0);
    EXPECT_EQ(w.Top(), 0);
    // At shutdown the window is unloaded and its slot emptied.
    FrmMain->setTag(QStringLiteral("Unload"));
    views().UnloadMonthWindow(2);
    EXPECT_FALSE(MonthForms(2).exists());
}

TEST_F(ShellTest, TheViewsReadAndWriteTheMainWindow) {
    FrmMain->setTag(QStringLiteral("Edit"));
    EXPECT_EQ(views().AppState(), QStringLiteral("Edit"));
    views().SetMainCaption(QStringLiteral("Mirovanta v2.1 - [Sans nom]*"));
    EXPECT_EQ(FrmMain->Caption(), QStringLiteral("Mirovanta v2.1 - [Sans nom]*"));
    views().SetLoadingCaption(1, QStringLiteral("Chargement Mars..."));
    EXPECT_EQ(FrmMain->LblLoading(1).Caption(), QStringLiteral("Chargement Mars..."));
    MonthForms(5)->Show();
    views().HideMonthWindow(5); // a close request only hides
    EXPECT_FALSE(MonthForms(5)->Visible());
    EXPECT_TRUE(MonthForms(5)->Loaded());
}

// While code fills the controls the grid ignores clicks, but mouse moves still start the
// panel's collapse; outside "Edit" they do nothing.
TEST_F(ShellTest, MouseMovesOverAMonthStartTheCollapseInEditEvenWhileBusy) {
    FrmMainForm& main = FrmMain.get();
    main.Show();
    FrmMonthModele& may = MonthForms(5).get();
    may.Show();
    QCoreApplication::processEvents();
    struct Place {
        QWidget* widget;
        QPoint at;
    };
    // Labels are drawn by the widget of their container, which hands them the mouse.
    auto on = [](const Label& label) {
        return Place{label.host(), label.placeInHost().topLeft() + QPoint(2, 2)};
    };
    auto moveOver = [](const Place& place) {
        const QPointF at(place.at);
        QMouseEvent e(QEvent::MouseMove, at, place.widget->mapToGlobal(at), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(place.widget, &e);
    };
    const Place places[] = {on(may.LblDay(20)),
                            on(may.LblEV3(20)),
                            on(may.LblFix(2)),
                            {may.PicCal.clientWidget(), QPoint(2, 2)}};
    const struct {
        const char* state;
        int16_t busy;
        bool counts;
    } cases[] = {{"Edit", 0, true}, {"Edit", -1, true}, {"Logo", 0, false}, {"Load", 0, false}};
    for (const auto& c : cases) {
        for (const Place& place : places) {
            SCOPED_TRACE(std::string(c.state) + (c.busy ? " busy " : " ") +
                         std::to_string(place.at.x()) + "," + std::to_string(place.at.y()));
            main.setTag(QLatin1String(c.state));
            main.TmNavVisible.setEnabled(false);
            main.PicMenu.setWidth(4000);
            IsBusy = c.busy;
            moveOver(place);
            IsBusy = 0;
            EXPECT_EQ(main.TmNavVisible.Enabled(), c.counts);
            EXPECT_EQ(main.PicMenu.Width(), 4000); // closed only when the count ends
        }
    }
    // Back over the panel within the second: the count stops, the panel stays open.
    main.setTag(QStringLiteral("Edit"));
    moveOver(on(may.LblDay(20)));
    main.PicMenu_MouseMove(0, 0, 10, 10);
    EXPECT_FALSE(main.TmNavVisible.Enabled());
    EXPECT_EQ(main.PicMenu.Width(), 4000);

    // Clicks while busy, and a middle click, do nothing.
    CurDoc.Year = QStringLiteral("2004");
    may.LblDay(20).setCaption(QStringLiteral("13"));
    const size_t popups = services.forms->popups.size();
    IsBusy = -1;
    may.LblDay_MouseUp(20, vbLeftButton, 0, 0, 0);
    may.LblEV_MouseUp(2, 20, vbRightButton, 0, 0, 0);
    IsBusy = 0;
    may.LblEV_MouseUp(1, 20, vbMiddleButton, 0, 0, 0);
    EXPECT_EQ(CurCell, 0);
    EXPECT_EQ(services.forms->popups.size(), popups);
}

TEST_F(ShellTest, F1InAMonthOpensItsHelpTopicAndAddWorksOnTheClickedDay) {
    auto help = std::make_shared<ScriptedHelp>();
    auto previous = setHelpServices(help);
    FrmMainForm& main = FrmMain.get();
    FrmMonthModele& march = MonthForms(3).get();
    for (int key : {vbKeyF1 + 1, int(vbKeyF1)})
        march.Form_KeyDown(key, 0);
    ASSERT_EQ(help->calls.size(), 1u);
    EXPECT_EQ(help->calls[0].topic, QStringLiteral("Html\\d_month.htm"));
    setHelpServices(previous);

    // Add... from the cell menu: the events page first, then the clicked day made current.
    CurDoc.Year = QStringLiteral("2004");
    main.setTag(QStringLiteral("Edit"));
    const int cell = CellOfDay(2004, 3, 22);
    march.LblDay(cell).setCaption(QStringLiteral("22"));
    main.TbMenu.setTab(2);
    SelMonth = 3;
    SelCell = int16_t(cell);
    SelItem = -1;
    march.mnuEditCmd(4).raiseEvent(Event::Click);
    EXPECT_EQ(main.TbMenu.Tab(), 4);
    EXPECT_EQ(CurMonth, 3);
    EXPECT_EQ(CurCell, cell);
}
