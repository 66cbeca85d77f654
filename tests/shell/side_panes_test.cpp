// The side panes: the rows of the four lists, the day's totals, the row selected after a
// refresh, the IsBusy guard and the two balances.

#include "panes_fixture.h"
#include "shell/side_panes.h"
#include "shell/summary_pane.h"

using namespace rt;

namespace {
AEItem autoEvent(int32_t Recurrence, int16_t Day, int16_t Month, int32_t Kind, const char* Text) {
    AEItem a;
    a.Recurrence = Recurrence;
    a.Day = Day;
    a.Month = Month;
    a.Kind = Kind;
    a.Text = QString::fromUtf8(Text);
    return a;
}
} // namespace

TEST_F(PanesTest, RowsShowEachRecordAsItsListWritesIt) {
    const std::pair<AEItem, const char*> autoEvents[] = {
        {autoEvent(4, 5, 0, 3, "Loyer      850"), "(DE) - (1M le 05) - Loyer      850$"},
        {autoEvent(5, 1, 0, 1, "Messe"), "(EV) - (1S le DI) - Messe"},
        {autoEvent(6, 6, 0, 2, "Paie 900"), "(RE) - (2S le VE) - Paie 900$"},
        {autoEvent(7, 1, 7, 1, "Fête"), "(EV) - (1A le 01/07) - Fête"},
        {autoEvent(8, 0, 0, 1, "Pilule"), "(EV) - (1J) - Pilule"},
        // Damaged records keep their row: no recurrence part, an unknown kind as an event.
        {autoEvent(9, 3, 0, 1, "Bizarre"), "(EV) - Bizarre"},
        {autoEvent(4, 12, 0, 0, "Sans genre"), "(EV) - (1M le 12) - Sans genre"},
    };
    for (const auto& [record, row] : autoEvents)
        EXPECT_EQ(AERowText(record), QString::fromUtf8(row));
    const std::pair<EVItem, const char*> items[] = {
        {item(1, QStringLiteral("Dentiste")), "(EV) - Dentiste"},
        {money(2, "Salaire", "1800"), "(RE) - Salaire    1800$"},
        {money(3, "Épicerie", "-12"), "(DE) - Épicerie   -12$"},
        {item(42, QStringLiteral("Genre 42")), "(EV) - Genre 42"},
    };
    for (const auto& [record, row] : items)
        EXPECT_EQ(EVRowText(record), QString::fromUtf8(row));
    EXPECT_EQ(DERowText(debt("Auto", "5000", {})), "(dette) - Auto       5000$");
    EXPECT_EQ(DERowText(debt("Auto", "5000", {}, 1)), "(épargne) - Auto       5000$");
    EXPECT_EQ(BDRowText(BDItem{MakeDate(14, 3, 1935), {}, QStringLiteral("Grand-papa")}),
              "Grand-papa - (1935-03-14)");
    EXPECT_EQ(AmountText(-12), "-12$");
    EXPECT_EQ(AmountText(0), "0$");
    EXPECT_EQ(AmountText(4294967294LL), "4294967294$");
}

TEST_F(PanesTest, EveryRecordHasTheRowOfItsIndexWhateverItsKind) {
    FrmMainForm& f = main();
    for (int32_t kind : {1, 9, 3})
        ListAppend(day(3, 15), item(kind, QStringLiteral("k%1").arg(kind)));
    for (int32_t recurrence : {4, 77, 8})
        ListAppend(CurDoc.AutoEvents, autoEvent(recurrence, 1, 0, 1, "r"));
    selectDay(3, 15);
    FillEVList(CurMonth, CurCell);
    FillAEList();
    ASSERT_EQ(f.LstEV.ListCount(), 3);
    EXPECT_EQ(f.LstEV.List(1), "(EV) - k9");
    EXPECT_EQ(f.LstEV.List(2), "(DE) - k3$");
    ASSERT_EQ(f.LstAE.ListCount(), 3);
    EXPECT_EQ(f.LstAE.List(1), "(EV) - r");
    EXPECT_EQ(f.LstAE.List(2), "(EV) - (1J) - r");
}

TEST_F(PanesTest, TheDaysTotalsRoundEveryAdditionHalfToEven) {
    FrmMainForm& f = main();
    struct Case {
        std::vector<EVItem> items;
        const char *in, *out, *total;
    } cases[] = {
        {{money(2, "Paie", "100"), money(3, "Essence", "40.5"), money(3, "Gomme", "0.5")},
         "100$",
         "40$",
         "60$"},
        // Sums held at the 32-bit limits; their difference is shown whole, not wrapped.
        {{money(2, "Gros lot", "9e99"), money(3, "Remise", "-9e99")},
         "2147483647$",
         "-2147483648$",
         "4294967295$"},
        {{money(3, "Café", "12"), item(1, QStringLiteral("12"))}, "0$", "12$", "-12$"},
    };
    for (const Case& c : cases) {
        ListClear(day(5, 3));
        for (const EVItem& i : c.items)
            ListAppend(day(5, 3), i);
        FillEVList(5, CellOfDay(2004, 5, 3));
        EXPECT_EQ(f.LstEV.ListCount(), int(c.items.size()));
        EXPECT_EQ(f.LblEVInTot(1).Caption(), c.in);
        EXPECT_EQ(f.LblEVOutTot(1).Caption(), c.out);
        EXPECT_EQ(f.LblEVTot(1).Caption(), c.total);
    }
    // Outside the grid the list is emptied and the totals keep what they showed.
    for (const auto& [month, cell] : {std::pair<int16_t, int16_t>{0, 0}, {3, 6}, {13, 20}}) {
        f.LstEV.AddItem(QStringLiteral("ancien"));
        FillEVList(month, cell);
        EXPECT_EQ(f.LstEV.ListCount(), 0);
        EXPECT_EQ(f.LblEVTot(1).Caption(), "-12$");
    }
}

TEST_F(PanesTest, RefreshSelectsTheAskedRowOrTheFirstAndStoresNothing) {
    FrmMainForm& f = main();
    for (int i = 0; i < 3; ++i) {
        ListAppend(day(3, 15), item(1, QStringLiteral("e%1").arg(i)));
        ListAppend(CurDoc.AutoEvents, autoEvent(8, 1, 0, 1, "a"));
        ListAppend(CurDoc.DebtsSavings, debt("d", "1", MakeDate(1, 1, 2004)));
        ListAppend(CurDoc.Birthdays, BDItem{});
    }
    day(3, 15).Items[1].Checked = -1;
    selectDay(3, 15);
    f.setTag(QStringLiteral("Edit"));
    ListBox* lists[] = {nullptr, &f.LstBD, &f.LstDE, &f.LstAE, &f.LstEV};
    const std::pair<int16_t, int> selections[] = {{-1, 0}, {2, 2}, {3, 0}, {99, 0}, {-7, 0}};
    for (int tab = 1; tab <= 4; ++tab) {
        f.TbMenu.setTab(tab);
        for (const auto& [asked, selected] : selections) {
            RefreshPane(false, asked);
            EXPECT_EQ(lists[tab]->ListCount(), 3) << tab;
            EXPECT_EQ(lists[tab]->ListIndex(), selected) << tab << " " << asked;
        }
    }
    // The ticks and selections raised the events list's events while IsBusy was set: nothing
    // was stored back or marked, and IsBusy is clear again.
    EXPECT_TRUE(f.LstEV.Selected(1));
    EXPECT_EQ(CurDoc.Months(3).DaysModified, 0);
    EXPECT_EQ(IsBusy, 0);
    f.LstEV.userTick(0, true); // the user's tick is stored
    EXPECT_EQ(day(3, 15).Items[0].Checked, -1);
    // An empty list, or the events list with no current day, selects nothing.
    selectDay(0, 0);
    RefreshPane(false, 1);
    EXPECT_EQ(f.LstEV.ListCount(), 0);
    EXPECT_EQ(f.LstEV.ListIndex(), -1);
}

TEST_F(PanesTest, BalancesOfTheSelectedDebtOrOfTheSelectedItemsDebt) {
    FrmMainForm& f = main();
    // Two debts named "Auto": the first one counts. A saving moves the other way round.
    ListAppend(CurDoc.DebtsSavings, debt("Auto", "5000", MakeDate(1, 1, 2004)));
    ListAppend(CurDoc.DebtsSavings, debt("Auto", "999", MakeDate(1, 1, 2004)));
    ListAppend(CurDoc.DebtsSavings, debt("Banque", "300", MakeDate(1, 1, 2004), -1));
    ListAppend(CurDoc.DebtsSavings, debt("Maison", "7000", MakeDate(1, 6, 2004)));
    DayCell& cell = day(2, 9);
    for (const EVItem& i : {money(3, "Auto", "800"), item(1, QStringLiteral("Auto")),
                            money(2, "Banque", "50"), money(2, "auto", "5")})
        ListAppend(cell, i);
    selectDay(2, 9);
    f.setTag(QStringLiteral("Edit"));
    struct Case {
        int tab;
        int16_t row;
        const char* balance; // nullptr: hidden
    } cases[] = {
        {4, 0, "4200$"}, {4, 1, nullptr}, {4, 2, "250$"}, {4, 3, nullptr},
        {2, 0, "4200$"}, {2, 2, "250$"},  {2, 3, "0$"}, // Maison starts after the day
    };
    for (const Case& c : cases) {
        f.TbMenu.setTab(c.tab);
        RefreshPane(false, c.row);
        ControlArray<Label>& bal = c.tab == 4 ? f.LblEVBal : f.LblDEBal;
        EXPECT_EQ(bal(0).Visible(), c.balance != nullptr) << c.tab << " " << c.row;
        EXPECT_EQ(bal(1).Visible(), c.balance != nullptr) << c.tab << " " << c.row;
        if (!c.balance) continue;
        EXPECT_EQ(bal(0).Caption(), "Balance (2004-02-09):");
        EXPECT_EQ(bal(1).Caption(), c.balance) << c.tab << " " << c.row;
    }
    f.LstDE.userSelect(0); // a click updates it
    EXPECT_EQ(f.LblDEBal(1).Caption(), "4200$");
    selectDay(0, 0); // no current day: hidden
    ShowDEBalance();
    EXPECT_FALSE(f.LblDEBal(1).Visible());
}
