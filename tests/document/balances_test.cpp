#include "doc_fixture.h"
#include "document/balances.h"
#include "document/money_text.h"
#include "document/month_grid.h"

namespace {

void addMoney(DateRec date, int32_t kind, const QString& name, const QString& amount) {
    EVItem e;
    e.Kind = kind;
    e.Text = MakeMoneyText(name, amount);
    e.Colour = -1;
    ListAppend(CurDoc.Months(date.Month).Cells(CellOfDay(date.Year, date.Month, date.Day)), e);
}

void addDebt(int16_t isSaving, DateRec start, const QString& name, const QString& amount) {
    ListAppend(CurDoc.DebtsSavings, DEItem{isSaving, start, MakeMoneyText(name, amount)});
}

DayCell& cellOf(DateRec d) {
    return CurDoc.Months(d.Month).Cells(CellOfDay(d.Year, d.Month, d.Day));
}

} // namespace

class Balances : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        CurDoc.Year = QStringLiteral("2004");
    }
};

TEST_F(Balances, DebtsAndSavingsMoveOppositeWays) {
    addDebt(0, {1, 3, 2004}, "Prêt", "500");
    addDebt(-1, {1, 3, 2004}, "Livret", "500");
    for (const char* name : {"Prêt", "Livret"}) {
        addMoney({10, 3, 2004}, ItemKind::Expense, QString::fromUtf8(name), "100");
        addMoney({10, 3, 2004}, ItemKind::Income, QString::fromUtf8(name), "50");
    }
    struct Case {
        DateRec at;
        int32_t debt, saving;
    } cases[] = {
        {{29, 2, 2004}, 0, 0}, // before the start: nothing, not the opening amount
        {{1, 3, 2004}, 500, 500},   {{9, 3, 2004}, 500, 500}, {{10, 3, 2004}, 450, 550},
        {{31, 12, 2004}, 450, 550}, {{1, 1, 2010}, 450, 550}, // after the year: the whole year
                                                              // counts
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(DateToText(c.at).toStdString());
        EXPECT_EQ(DEBalanceAtDate(0, c.at), c.debt);
        EXPECT_EQ(DEBalanceAtDate(1, c.at), c.saving);
    }
    EXPECT_EQ(DEBalanceAtDate(2, {1, 1, 2005}), 0);
    EXPECT_EQ(DEBalanceAtDate(-1, {1, 1, 2005}), 0);
}

TEST_F(Balances, EverySumIsRoundedHalvesToEven) {
    addDebt(0, {1, 1, 2004}, "Auto", "100");
    addMoney({10, 2, 2004}, ItemKind::Income, "Auto", "12.5"); // 112.5 -> 112
    addMoney({10, 3, 2004}, ItemKind::Income, "Auto", "13.5"); // 125.5 -> 126
    addMoney({10, 4, 2004}, ItemKind::Expense, "Auto", "50");  // after the date asked
    addMoney({5, 1, 2004}, ItemKind::Event, "Auto", "1000");   // events never count
    EXPECT_EQ(DEBalanceAtDate(0, {28, 2, 2004}), 112);
    EXPECT_EQ(DEBalanceAtDate(0, {31, 3, 2004}), 126);
    EXPECT_EQ(DEBalanceAtDate(0, {10, 4, 2004}), 76);
    // The opening amount is rounded too.
    CurDoc.DebtsSavings.Items[0].Text = MakeMoneyText("Auto", "100.5");
    EXPECT_EQ(DEBalanceAtDate(0, {9, 2, 2004}), 100);
}

TEST_F(Balances, MovementsOfOneDay) {
    addDebt(0, {1, 1, 2004}, "Prêt", "0");
    const DateRec day{10, 3, 2004};
    addMoney(day, ItemKind::Income, "Prêt", "0.5");    // 0.5 -> 0
    addMoney(day, ItemKind::Income, "Prêt", "1.5");    // 1.5 -> 2
    addMoney(day, ItemKind::Income, "prêt", "100");    // another name: letter case counts
    addMoney(day, ItemKind::Income, "Prêt ", "1 000"); // trailing blank trimmed; 1 000 = 1000
    EXPECT_EQ(DEMovementsOfDay(0, cellOf(day), -1), 1002);
    EXPECT_EQ(DEMovementsOfDay(0, cellOf(day), 3), 2);
    EXPECT_EQ(DEMovementsOfDay(0, cellOf(day), 1), 1000); // 0.5 alone rounds to 0
    EXPECT_EQ(DEMovementsOfDay(1, cellOf(day), -1), 0);

    DayCell other;
    ListAppend(other,
               EVItem{0, 0, 0, 0, MakeMoneyText("Prêt", "1"), ItemKind::Income, -1, {}, {}, {}});
    ListAppend(other,
               EVItem{0, 0, 0, 0, MakeMoneyText("Prêt", "0.5"), ItemKind::Income, -1, {}, {}, {}});
    EXPECT_EQ(DEMovementsOfDay(0, other, -1), 2); // 1, then 1.5 -> 2
}

TEST_F(Balances, OnlyTheDocumentYearCounts) {
    addDebt(0, {1, 6, 2003}, "Prêt", "10");
    addMoney({2, 1, 2004}, ItemKind::Income, "Prêt", "5");
    EXPECT_EQ(DEBalanceAtDate(0, {1, 1, 2004}), 10);
    EXPECT_EQ(DEBalanceAtDate(0, {2, 1, 2004}), 15);
    // Items on the start day itself count.
    CurDoc.DebtsSavings.Items[0].StartDate = {2, 1, 2004};
    EXPECT_EQ(DEBalanceAtDate(0, {2, 1, 2004}), 15);
}

TEST_F(Balances, BalancesBeyondThirtyTwoBitsAreHeldAtTheLimit) {
    addDebt(0, {1, 1, 2004}, "Gros", "2147483000");
    addMoney({5, 1, 2004}, ItemKind::Income, "Gros", "1000");
    addMoney({6, 1, 2004}, ItemKind::Income, "Gros", "1e12");
    EXPECT_EQ(DEBalanceAtDate(0, {31, 12, 2004}), INT32_MAX);
    addDebt(-1, {1, 1, 2004}, "Gros", "-2147483000");
    EXPECT_EQ(DEBalanceAtDate(1, {31, 12, 2004}), INT32_MIN);
    addDebt(0, {1, 1, 2004}, "Énorme", "9e99");
    EXPECT_EQ(DEBalanceAtDate(2, {1, 1, 2004}), INT32_MAX);
}
