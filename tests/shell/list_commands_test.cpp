// The commands of the main window's list pages: the editors opened from them and the row
// selected afterwards, the re-applying of auto-events and birthdays, the double clicks, the
// ticks, a day item's picture, the summary's range boxes, and the guard outside "Edit".

#include "document/calendar_entries.h"
#include "document/modified.h"
#include "editors/frm_add_bd.h"
#include "editors/frm_add_de.h"
#include "panes_fixture.h"
#include "printing/frm_cm_graph.h"
#include "shell/list_commands.h"
#include "shell/side_panes.h"

#include <QAbstractItemView>
#include <QMouseEvent>

using namespace rt;

namespace {

void press(Control& Button) {
    Button.raiseEvent(Event::Click);
}

// The day items of the calendar that Key generated.
int ItemsFrom(const QString& Key) {
    int n = 0;
    for (int16_t m = 1; m <= 12; ++m)
        for (int16_t c = 7; c <= 48; ++c)
            for (const EVItem& i : CurDoc.Months(m).Cells(c).Items)
                n += i.SourceKey == Key ? 1 : 0;
    return n;
}

BDItem birthday(const char* Name, DateRec Born, const char* Key) {
    BDItem b;
    b.Name = QLatin1String(Name);
    b.BirthDate = Born;
    b.Key = QLatin1String(Key);
    return b;
}

AEItem daily(const char* Text) {
    AEItem a;
    a.Recurrence = AERecurrence::Daily;
    a.Kind = ItemKind::Event;
    a.Text = QLatin1String(Text);
    return a;
}

} // namespace

class ListCommandsTest : public PanesTest {
protected:
    void SetUp() override {
        PanesTest::SetUp();
        main().setTag(QStringLiteral("Edit"));
    }
    template <class F> void script(std::function<void(F&)> s) {
        services.forms->modalScripts.push_back([s](Form& f) { s(dynamic_cast<F&>(f)); });
    }
    // Shows page Tab with row Row selected.
    void showPage(int Tab, int16_t Row) {
        main().TbMenu.setTab(Tab);
        RefreshPane(false, Row);
    }
};

TEST_F(ListCommandsTest, AnAddSelectsTheAppendedRowAndWritesTheNewRecordIntoTheCalendar) {
    FrmMainForm& f = main();
    const struct {
        const char* page;
        int tab;
        CommandButton& add;
        ListBox& list;
        std::function<int()> count;
        std::function<void()> addBlank;
        std::function<void(Form&)> type;
        int generated; // day items the new record gives in 2004
    } pages[] = {
        {"auto-events", 3, f.CmdAEAdd, f.LstAE, [] { return int(CurDoc.AutoEvents.Count); },
         [] { ListAppend(CurDoc.AutoEvents, AEItem{}); }, [](Form&) {}, 12},
        {"debts", 2, f.CmdDEAdd, f.LstDE, [] { return int(CurDoc.DebtsSavings.Count); },
         [] { ListAppend(CurDoc.DebtsSavings, DEItem{}); },
         [](Form& e) {
             dynamic_cast<FrmAddDEForm&>(e).TxtGen(0).userEdited(QStringLiteral("Auto"));
         },
         0},
        {"birthdays", 1, f.CmdBDAdd, f.LstBD, [] { return int(CurDoc.Birthdays.Count); },
         [] { ListAppend(CurDoc.Birthdays, BDItem{}); },
         [](Form& e) { dynamic_cast<FrmAddBDForm&>(e).TxtGen.userEdited(QStringLiteral("Paul")); },
         1},
    };
    for (const auto& p : pages) {
        for (int before : {0, 5}) {
            CurDoc = BlankDocument(true);
            CurDoc.Year = QStringLiteral("2004");
            for (int i = 0; i < before; ++i)
                p.addBlank();
            showPage(p.tab, -1);
            // Cancelled: the list and its selection stay.
            script<EditorForm>([](EditorForm& e) { press(e.CmdCancel); });
            press(p.add);
            EXPECT_EQ(p.count(), before) << p.page;
            EXPECT_EQ(p.list.ListIndex(), before ? 0 : -1) << p.page;
            script<EditorForm>([&](EditorForm& e) {
                p.type(e);
                press(e.CmdOk);
            });
            press(p.add);
            EXPECT_EQ(p.list.ListCount(), before + 1) << p.page << before;
            EXPECT_EQ(p.list.ListIndex(), before) << p.page << before;
            int generated = 0;
            for (int16_t m = 1; m <= 12; ++m)
                for (int16_t c = 7; c <= 48; ++c)
                    generated += CurDoc.Months(m).Cells(c).Count;
            EXPECT_EQ(generated, p.generated) << p.page << before;
        }
    }
    EXPECT_EQ(services.forms->modalForms.count(QStringLiteral("FrmAddBD")), 4);
}

TEST_F(ListCommandsTest, AnEditReappliesAndRefreshesOnlyWhenTheEditorStoredAChange) {
    FrmMainForm& f = main();
    ListAppend(CurDoc.Birthdays, birthday("Anne", {12, 5, 1980}, "BD0000000000000001"));
    ListAppend(CurDoc.Birthdays, birthday("Paul", {3, 3, 1975}, "BD0000000000000002"));
    CurDoc.Birthdays.NextKey = 2;
    ApplyBDToCalendar();
    ListClear(day(3, 3)); // the user deleted Paul's day item: an apply would put it back
    showPage(1, 1);
    f.LstBD.setList(1, QStringLiteral("stale")); // a refresh would rewrite the row

    script<FrmAddBDForm>([](FrmAddBDForm& e) { press(e.CmdOk); }); // nothing changed
    press(f.CmdBDEdit);
    EXPECT_EQ(ItemsFrom(QStringLiteral("BD0000000000000002")), 0);
    EXPECT_EQ(f.LstBD.List(1), QStringLiteral("stale"));

    script<FrmAddBDForm>([](FrmAddBDForm& e) {
        EXPECT_EQ(e.TxtGen.Text(), QStringLiteral("Paul")); // the selected row's record
        e.TxtGen.userEdited(QStringLiteral("Paula"));
        press(e.CmdOk);
    });
    press(f.CmdBDEdit);
    const BDItem& paula = CurDoc.Birthdays.Items[1];
    EXPECT_EQ(ItemsFrom(paula.Key), 1);
    EXPECT_EQ(f.LstBD.List(1), BDRowText(paula));
    EXPECT_EQ(f.LstBD.ListIndex(), 1);
}

TEST_F(ListCommandsTest, ADoubleClickOpensTheRowsEditorAndLeavesAnEventsTickAsItWas) {
    FrmMainForm& f = main();
    ListAppend(CurDoc.DebtsSavings, debt("Auto", "5000", {1, 1, 2004}));
    ListAppend(CurDoc.DebtsSavings, debt("Maison", "90000", {1, 1, 2004}));
    showPage(2, 0);
    script<FrmAddDEForm>([](FrmAddDEForm& e) {
        EXPECT_EQ(e.TxtGen(0).Text(), QStringLiteral("Maison"));
        press(e.CmdCancel);
    });
    f.LstDE.userSelect(1);
    f.LstDE.userDoubleClick(1);
    ASSERT_EQ(services.forms->modalForms, QStringList{QStringLiteral("FrmAddDE")});
    f.LstDE.setListIndex(-1);
    f.LstDE_DblClick(); // no row: no editor
    EXPECT_EQ(services.forms->modalForms.size(), 1);

    // An events row double-clicked with the mouse: the list ticks it, the handler unticks it.
    f.Move(0, 0, 15360, 11520);
    f.Show();
    ListAppend(day(3, 15), item(ItemKind::Event, QStringLiteral("Dentiste")));
    ListAppend(day(3, 15), item(ItemKind::Event, QStringLiteral("Garage")));
    selectDay(3, 15);
    showPage(4, 0);
    SetModified(DocPart::All, 0, 0);
    auto* view = qobject_cast<QAbstractItemView*>(f.LstEV.widget());
    ASSERT_NE(view, nullptr);
    const QPoint at = view->visualRect(view->model()->index(1, 0)).center() + QPoint(30, 0);
    script<EditorForm>([](EditorForm& e) {
        EXPECT_EQ(e.OpenIndex(), 1); // the item editor on the row double-clicked
        press(e.CmdCancel);
    });
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                           QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent e(t, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                      t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &e);
    }
    EXPECT_EQ(f.LstEV.ListIndex(), 1);
    EXPECT_FALSE(f.LstEV.Selected(1));
    EXPECT_EQ(day(3, 15).Items[1].Checked, 0);
    EXPECT_EQ(CurDoc.Months(3).DaysModified, -1); // stored twice, marked all the same
    EXPECT_TRUE(f.Caption().endsWith(u'*'));
    EXPECT_EQ(services.forms->modalForms.last(), QStringLiteral("FrmAddEV"));
}

TEST_F(ListCommandsTest, RemovingAnAutoEventPurgesItsDaysButRemovingADebtLeavesTheDaysNamingIt) {
    FrmMainForm& f = main();
    AEItem rent = daily("Loyer");
    rent.Recurrence = AERecurrence::Monthly;
    rent.Day = 1;
    rent.StartDate = {1, 1, 2004};
    rent.EndDate = {31, 12, 2004};
    rent.Key = QStringLiteral("AE0000000000000001");
    ListAppend(CurDoc.AutoEvents, rent);
    ApplyAEToCalendar();
    ASSERT_EQ(ItemsFrom(rent.Key), 12);
    showPage(3, 0);
    press(f.CmdAERemove);
    EXPECT_EQ(CurDoc.AutoEvents.Count, 0);
    EXPECT_EQ(ItemsFrom(rent.Key), 0);

    ListAppend(CurDoc.DebtsSavings, debt("Auto", "5000", {1, 1, 2004}));
    ListAppend(day(3, 15), money(ItemKind::Expense, "Auto", "250"));
    showPage(2, 0);
    press(f.CmdDEClear);
    EXPECT_EQ(CurDoc.DebtsSavings.Count, 0);
    EXPECT_EQ(day(3, 15).Count, 1);
}

TEST_F(ListCommandsTest, UpdatePutsBackADeletedBirthdayAndConfirmsAtEveryPress) {
    FrmMainForm& f = main();
    ListAppend(CurDoc.Birthdays, birthday("Anne", {12, 5, 1980}, "BD0000000000000001"));
    ApplyBDToCalendar();
    ListClear(day(5, 12));
    showPage(1, 0);
    for (int pressNo = 1; pressNo <= 2; ++pressNo) {
        SetModified(DocPart::All, 0, 0);
        press(f.CmdBDUpdate);
        EXPECT_EQ(day(5, 12).Count, 1) << pressNo;
        ASSERT_EQ(services.ui->msgBoxCalls.size(), size_t(pressNo));
        EXPECT_EQ(services.ui->msgBoxCalls.back().prompt,
                  QStringLiteral("Le calendrier a été mis à jour avec succès!"));
        EXPECT_EQ(services.ui->msgBoxCalls.back().style, vbOKOnly + vbInformation);
        EXPECT_EQ(services.ui->msgBoxCalls.back().title, QStringLiteral("Mirovanta"));
        // The month is marked even by the second press, which adds nothing.
        EXPECT_EQ(CurDoc.Months(5).DaysModified, -1) << pressNo;
    }
}

TEST_F(ListCommandsTest, SortAndMoveButtonsOfEachListOrderTheRecordsAndFollowTheRow) {
    FrmMainForm& f = main();
    const char* const texts[] = {"Banane", "Cerise", "Abricot"};
    const struct {
        const char* page;
        int tab;
        ListBox& list;
        ControlArray<CommandButton>& sort;
        CommandButton& up;
        CommandButton& down;
        std::function<void(const char*)> add;
        std::function<QString(int)> text;
    } pages[] = {
        {"events", 4, f.LstEV, f.CmdEVSort, f.CmdEVUp, f.CmdEVDown,
         [](const char* t) { ListAppend(day(3, 15), item(ItemKind::Event, QLatin1String(t))); },
         [](int i) { return day(3, 15).Items[size_t(i)].Text; }},
        {"auto-events", 3, f.LstAE, f.CmdAESort, f.CmdAEUp, f.CmdAEDown,
         [](const char* t) { ListAppend(CurDoc.AutoEvents, daily(t)); },
         [](int i) { return CurDoc.AutoEvents.Items[size_t(i)].Text; }},
        {"debts", 2, f.LstDE, f.CmdDESort, f.CmdDEUp, f.CmdDEDown,
         [](const char* t) {
             ListAppend(CurDoc.DebtsSavings, debt(t, "10", {1, 1, 2004}));
         },
         [](int i) { return MoneyName(CurDoc.DebtsSavings.Items[size_t(i)].Text); }},
        {"birthdays", 1, f.LstBD, f.CmdBDSort, f.CmdBDUp, f.CmdBDDown,
         [](const char* t) {
             ListAppend(CurDoc.Birthdays, birthday(t, {1, 2, 1990}, ""));
         },
         [](int i) { return CurDoc.Birthdays.Items[size_t(i)].Name; }},
    };
    selectDay(3, 15);
    for (const auto& p : pages) {
        for (const char* t : texts)
            p.add(t);
        auto order = [&] { return QStringList{p.text(0), p.text(1), p.text(2)}.join(u' '); };
        showPage(p.tab, 2);
        press(p.sort(1));
        EXPECT_EQ(order(), QStringLiteral("Cerise Banane Abricot")) << p.page;
        EXPECT_EQ(p.list.ListIndex(), 0) << p.page;
        press(p.sort(0));
        EXPECT_EQ(order(), QStringLiteral("Abricot Banane Cerise")) << p.page;
        p.list.setListIndex(1);
        press(p.up);
        EXPECT_EQ(order(), QStringLiteral("Banane Abricot Cerise")) << p.page;
        EXPECT_EQ(p.list.ListIndex(), 0) << p.page;
        press(p.up); // the first row has none above it
        EXPECT_EQ(order(), QStringLiteral("Banane Abricot Cerise")) << p.page;
        press(p.down);
        EXPECT_EQ(order(), QStringLiteral("Abricot Banane Cerise")) << p.page;
        EXPECT_EQ(p.list.ListIndex(), 1) << p.page;
    }
}

TEST_F(ListCommandsTest, OutsideEditOrWhileBusyNoCommandOfThePagesActs) {
    FrmMainForm& f = main();
    for (const char* t : {"B", "A"}) {
        ListAppend(CurDoc.AutoEvents, daily(t));
        ListAppend(CurDoc.DebtsSavings, debt(t, "10", {1, 1, 2004}));
        ListAppend(CurDoc.Birthdays, birthday(t, {1, 2, 1990}, ""));
        ListAppend(day(3, 15), item(ItemKind::Event, QLatin1String(t), QStringLiteral("a.bmp")));
    }
    selectDay(3, 15);
    for (int tab = 1; tab <= 4; ++tab)
        showPage(tab, 0);
    SetModified(DocPart::All, 0, 0);
    std::vector<Control*> commands = {
        &f.CmdEVAdd,     &f.CmdEVEdit,    &f.CmdEVRemove,  &f.CmdEVClear,   &f.CmdEVUp,
        &f.CmdEVDown,    &f.CmdEVShowPic, &f.CmdEVSort(0), &f.CmdAEAdd,     &f.CmdAEEdit,
        &f.CmdAERemove,  &f.CmdAEClear,   &f.CmdAEDown,    &f.CmdAESort(1), &f.CmdAEUpdate,
        &f.CmdDEAdd,     &f.CmdDEEdit,    &f.CmdDERemove,  &f.CmdDEClear,   &f.CmdDEDown,
        &f.CmdDESort(1), &f.CmdBDAdd,     &f.CmdBDEdit,    &f.CmdBDRemove,  &f.CmdBDClear,
        &f.CmdBDDown,    &f.CmdBDSort(1), &f.CmdBDUpdate};
    const struct {
        const char* state;
        int16_t busy;
    } states[] = {{"Logo", 0}, {"Load", 0}, {"Edit", -1}};
    for (const auto& s : states) {
        f.setTag(QLatin1String(s.state));
        IsBusy = s.busy;
        for (Control* c : commands)
            press(*c);
        f.LstEV.setSelected(0, true);
        f.LstEV.userDoubleClick(1);
        f.LstAE.userDoubleClick(0);
        f.LstDE.userDoubleClick(0);
        f.LstBD.userDoubleClick(0);
        IsBusy = 0;
        EXPECT_EQ(CurDoc.IsSaved, -1) << s.state;
        EXPECT_EQ(CurDoc.AutoEvents.Count + CurDoc.DebtsSavings.Count + CurDoc.Birthdays.Count +
                      day(3, 15).Count,
                  8)
            << s.state;
        EXPECT_EQ(CurDoc.AutoEvents.Items[0].Text, QStringLiteral("B")) << s.state;
        EXPECT_EQ(day(3, 15).Items[0].Checked, 0) << s.state;
        EXPECT_TRUE(services.forms->modalForms.isEmpty()) << s.state;
        EXPECT_TRUE(services.ui->msgBoxCalls.empty()) << s.state;
    }
}

TEST_F(ListCommandsTest, TheWeekBoxRecomputesTheSummaryAndTheEmptyEventsListStillUpdates) {
    FrmMainForm& f = main();
    selectDay(3, 15);
    showPage(0, -1);
    f.ChkSU(2).setValue(1);
    EXPECT_EQ(f.ChkSU(0).Value(), 0);
    EXPECT_EQ(f.LblSUTo(1).Caption(), QStringLiteral("2004-03-21"));

    // A click on the events list recomputes the commands even when the day has no item.
    showPage(4, -1);
    f.CmdEVClear.setEnabled(true);
    f.LstEV_Click();
    EXPECT_FALSE(f.CmdEVClear.Enabled());
}

// ---- The picture of a day item ----

TEST(StoreEditedPictureTest, TheItemTakesAnAcceptedPictureAndReportsWhetherItChanged) {
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    const Picture shown = Picture::fromImage(red);
    const Picture sameLook = Picture::fromImage(red);
    QImage blue = red;
    blue.fill(Qt::blue);
    const Picture darker = Picture::fromImage(blue);
    const struct {
        const char* result;
        PicEditResult edit;
        bool changed;
        const char* fileAfter;
    } cases[] = {
        {"cancelled", {0, "b.bmp", darker}, false, "a.bmp"},
        {"OK, nothing done", {1, "a.bmp", shown}, false, "a.bmp"},
        {"OK, the same look anew", {1, "a.bmp", sameLook}, false, "a.bmp"},
        {"OK, another file", {1, "b.bmp", shown}, true, "b.bmp"},
        {"OK, the picture changed", {1, "a.bmp", darker}, true, "a.bmp"},
        {"OK, the picture removed", {1, "", Picture::empty()}, true, ""},
    };
    for (const auto& c : cases) {
        EVItem item;
        item.PictureFile = QStringLiteral("a.bmp");
        item.Picture = shown;
        EXPECT_EQ(StoreEditedPicture(item, c.edit), c.changed) << c.result;
        EXPECT_EQ(item.PictureFile, QLatin1String(c.fileAfter)) << c.result;
        EXPECT_TRUE(item.Picture.sameObject(c.edit.Changed ? c.edit.Picture : shown)) << c.result;
    }
}

TEST_F(ListCommandsTest, ShowPictureStoresTheEditedPictureAndMarksTheMonthOnlyWhenItChanged) {
    FrmMainForm& f = main();
    QImage red(40, 30, QImage::Format_RGB32);
    red.fill(QColor(200, 10, 0));
    EVItem photo = item(ItemKind::Event, QStringLiteral("Photo"), QStringLiteral("/img/a.bmp"));
    photo.Picture = Picture::fromImage(red);
    ListAppend(day(3, 15), photo);
    selectDay(3, 15);
    showPage(4, 0);
    const struct {
        const char* closing;
        std::function<void(FrmCmGraphForm&)> user;
        bool marked;
    } cases[] = {
        {"Cancel", [](FrmCmGraphForm& e) { press(e.CmdCancel); }, false},
        {"OK, nothing done", [](FrmCmGraphForm& e) { press(e.CmdOk); }, false},
        {"OK, darker",
         [](FrmCmGraphForm& e) {
             e.SldBright.setValue(-100);
             press(e.CmdBrightApply);
             press(e.CmdOk);
         },
         true},
    };
    for (const auto& c : cases) {
        SetModified(DocPart::All, 0, 0);
        script<FrmCmGraphForm>(c.user);
        press(f.CmdEVShowPic);
        const EVItem& shown = day(3, 15).Items[0];
        EXPECT_EQ(CurDoc.Months(3).DaysModified, c.marked ? -1 : 0) << c.closing;
        EXPECT_EQ(f.Caption().endsWith(u'*'), c.marked) << c.closing;
        EXPECT_EQ(QColor(shown.Picture.image().pixel(0, 0)),
                  c.marked ? QColor(100, 0, 0) : QColor(200, 10, 0))
            << c.closing;
        EXPECT_EQ(shown.PictureFile, QStringLiteral("/img/a.bmp")) << c.closing;
    }
    EXPECT_EQ(services.forms->modalForms.size(), 3);
    selectDay(0, 0); // no current day: no picture to show
    f.CmdEVShowPic_Click();
    EXPECT_EQ(services.forms->modalForms.size(), 3);
}
