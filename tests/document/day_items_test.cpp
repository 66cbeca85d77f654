#include "doc_fixture.h"
#include "document/day_items.h"
#include "document/list_ops.h"
#include "document/money_text.h"
#include "document/month_grid.h"

namespace {

EVItem item(const QString& text, int32_t kind = ItemKind::Event, int32_t colour = -1) {
    EVItem e;
    e.Text = text;
    e.Kind = kind;
    e.Colour = colour;
    return e;
}

QStringList texts(int16_t month, int16_t cell) {
    QStringList out;
    for (const EVItem& e : CurDoc.Months(month).Cells(cell).Items)
        out << e.Text;
    return out;
}

void select(int16_t month, int16_t cell, int16_t index) {
    SelMonth = month;
    SelCell = cell;
    SelItem = index;
}

void expectEmptyClipboard() {
    EXPECT_EQ(GridClip.ClipMode, ClipboardMode::None);
    EXPECT_EQ(GridClip.ClipMonth, -1);
    EXPECT_EQ(GridClip.ClipCell, -1);
    EXPECT_EQ(GridClip.ClipIndex, -1);
}

} // namespace

class DayItems : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        CurDoc.Year = QStringLiteral("2004");
        DayCell& cell = CurDoc.Months(3).Cells(10);
        ListAppend(cell, item("a"));
        ListAppend(cell, item("b"));
    }
};

TEST_F(DayItems, ColourOfTheItemOrOfItsKind) {
    MonthRec& march = CurDoc.Months(3);
    march.Colours.EventText = 1;
    march.Colours.IncomeText = 2;
    march.Colours.ExpenseText = 3;
    CurDoc.DefaultColours.EventText = 11;
    CurDoc.DefaultColours.IncomeText = 12;
    CurDoc.DefaultColours.ExpenseText = 13;
    DayCell& cell = march.Cells(20);
    ListAppend(cell, item("own", ItemKind::Expense, 5));
    ListAppend(cell, item("event", ItemKind::Event));
    ListAppend(cell, item("income", ItemKind::Income));
    ListAppend(cell, item("expense", ItemKind::Expense));
    ListAppend(cell, item("odd", 7));
    const int32_t own[] = {5, 1, 2, 3, 1};
    const int32_t defaults[] = {5, 11, 12, 13, 11};
    for (int16_t i = 0; i < 5; ++i)
        EXPECT_EQ(GetDayItemColour(3, 20, i), own[i]) << i;
    march.Colours.UseDefault = -1;
    for (int16_t i = 0; i < 5; ++i)
        EXPECT_EQ(GetDayItemColour(3, 20, i), defaults[i]) << i;
}

TEST_F(DayItems, CopyThenPasteThreeTimes) {
    select(3, 10, 0);
    CopyDayItem();
    EXPECT_EQ(GridClip.ClipMode, ClipboardMode::Copy);
    EXPECT_EQ(CurDoc.Months(3).DaysModified, 0); // copying changes nothing
    select(4, 12, -1);
    for (int i = 0; i < 3; ++i)
        PasteDayItem();
    EXPECT_EQ(texts(4, 12), (QStringList{"a", "a", "a"}));
    EXPECT_EQ(texts(3, 10), (QStringList{"a", "b"}));
    EXPECT_EQ(GridClip.ClipMode, ClipboardMode::Copy);
    EXPECT_EQ(CurDoc.Months(4).DaysModified, -1);
    EXPECT_EQ(views().Calls.mid(1, 2), (QStringList{"RefreshPane(0,-1)", "RedrawDayCell(4,12)"}));
}

TEST_F(DayItems, ACopyOfAChangedSourceIsPastedOnce) {
    select(3, 10, 1);
    CopyDayItem();
    CurDoc.Months(3).Cells(10).Items[1].Text = QStringLiteral("b changé");
    select(3, 11, -1);
    PasteDayItem();
    EXPECT_EQ(texts(3, 11), QStringList{"b"});
    expectEmptyClipboard();
    EXPECT_EQ(GridClip.ClipItem.Text, QStringLiteral("b")); // the copy stays
    // The tick is no change.
    select(3, 10, 0);
    CopyDayItem();
    CurDoc.Months(3).Cells(10).Items[0].Checked = -1;
    select(3, 11, -1);
    PasteDayItem();
    EXPECT_EQ(GridClip.ClipMode, ClipboardMode::Copy);
}

TEST_F(DayItems, CutAndPasteIntoTheSameCellMovesTheItemToTheEnd) {
    select(3, 10, 0);
    CutDayItem();
    EXPECT_EQ(texts(3, 10), (QStringList{"a", "b"})); // still there until pasted
    PasteDayItem();
    EXPECT_EQ(texts(3, 10), (QStringList{"b", "a"}));
    expectEmptyClipboard();
}

TEST_F(DayItems, CutDeleteThenPasteRemovesNothingElse) {
    select(3, 10, 0);
    CutDayItem();
    RemoveDayItem(3, 10, false, 0);
    select(3, 11, -1);
    PasteDayItem();
    EXPECT_EQ(texts(3, 10), QStringList{"b"});
    EXPECT_EQ(texts(3, 11), QStringList{"a"});
    expectEmptyClipboard();
}

TEST_F(DayItems, CutGeneratedItemBecomesAnOrdinaryOne) {
    CurDoc.Months(3).Cells(10).Items[1].SourceKey = QStringLiteral("AE0000000000000001");
    select(3, 10, 1);
    CutDayItem();
    EXPECT_EQ(GridClip.ClipItem.SourceKey, QStringLiteral("AE0000000000000001"));
    select(5, 20, -1);
    PasteDayItem();
    EXPECT_EQ(texts(3, 10), QStringList{"a"});
    ASSERT_EQ(CurDoc.Months(5).Cells(20).Count, 1);
    EXPECT_TRUE(CurDoc.Months(5).Cells(20).Items[0].SourceKey.isEmpty());
}

TEST_F(DayItems, NothingIsTakenOrPastedOutsideTheGrid) {
    for (auto [m, c, i] : {std::tuple{3, 10, -1}, {3, 10, 2}, {0, 10, 0}, {3, 6, 0}}) {
        select(int16_t(m), int16_t(c), int16_t(i));
        CopyDayItem();
        CutDayItem();
        EXPECT_EQ(GridClip.ClipMode, ClipboardMode::None);
    }
    select(13, 10, -1);
    PasteDayItem();
    select(3, 49, -1);
    PasteDayItem();
    EXPECT_TRUE(views().Calls.isEmpty());
}

TEST_F(DayItems, DayTotalsRoundAfterEachItem) {
    DayCell& cell = CurDoc.Months(6).Cells(20);
    ListAppend(cell, item(MakeMoneyText("Pain", "1.5"), ItemKind::Expense));
    ListAppend(cell, item(MakeMoneyText("Lait", "2.5"), ItemKind::Expense)); // 2, then 4.5 -> 4
    ListAppend(cell, item(MakeMoneyText("Paie", "10"), ItemKind::Income));
    ListAppend(cell, item(MakeMoneyText("Note", "99"), ItemKind::Event));
    EXPECT_EQ(DayTotal(false, 6, 20), 4);
    EXPECT_EQ(DayTotal(true, 6, 20), 10);
    EXPECT_EQ(DayTotal(true, 6, 6), 0);
    EXPECT_EQ(DayTotal(true, 0, 20), 0);
    // Totals beyond the 32-bit range are held at the limit.
    ListAppend(cell, item(MakeMoneyText("Gros", "2000000000"), ItemKind::Income));
    ListAppend(cell, item(MakeMoneyText("Gros", "2000000000"), ItemKind::Income));
    EXPECT_EQ(DayTotal(true, 6, 20), INT32_MAX);
    ListAppend(CurDoc.Months(6).Cells(21),
               item(MakeMoneyText("Gros", "2000000000"), ItemKind::Income));
    EXPECT_EQ(SummaryTotal(true, 1, 6, 0), INT32_MAX);
    int32_t incomes = 0, expenses = 0;
    MonthTotals(6, incomes, expenses);
    EXPECT_EQ(incomes, INT32_MAX);
    EXPECT_EQ(expenses, 4);
    ListAppend(CurDoc.Months(6).Cells(22),
               item(MakeMoneyText("Loyer", "-2000000000.5"), ItemKind::Expense));
    ListAppend(CurDoc.Months(6).Cells(23),
               item(MakeMoneyText("Loyer", "-2000000000"), ItemKind::Expense));
    MonthTotals(6, incomes, expenses);
    EXPECT_EQ(expenses, SummaryTotal(false, 1, 6, 0));
    EXPECT_EQ(expenses, INT32_MIN);
    MonthTotals(13, incomes, expenses);
    EXPECT_EQ(incomes, 0);
    EXPECT_EQ(expenses, 0);
}

TEST_F(DayItems, TotalsLeaveTheDayItemsSharedWithTheSavedCopy) {
    ListAppend(CurDoc.Months(6).Cells(20), item(MakeMoneyText("Paie", "10"), ItemKind::Income));
    SavedDoc = CurDoc;
    const auto first = [](const CalDocument& doc) { return &doc.Months(6).Cells(20).Items[0]; };
    ASSERT_EQ(first(CurDoc), first(SavedDoc));
    EXPECT_EQ(DayTotal(true, 6, 20), 10);
    EXPECT_EQ(SummaryTotal(true, 1, 6, 0), 10);
    EXPECT_EQ(first(CurDoc), first(SavedDoc));
}

TEST_F(DayItems, SummaryRanges) {
    // One income of 1 on every day of the year, and of 100 on 31 December.
    for (int16_t m = 1; m <= 12; ++m)
        for (int16_t c = 7; c <= 48; ++c) {
            if (!DayOfCell(2004, m, c)) {
                ListAppend(CurDoc.Months(m).Cells(c),
                           item(MakeMoneyText("Fantôme", "1000"),
                                ItemKind::Income)); // no day: never counted by ranges
                continue;
            }
            ListAppend(CurDoc.Months(m).Cells(c),
                       item(MakeMoneyText("Jour", "1"), ItemKind::Income));
        }
    ListAppend(CurDoc.Months(12).Cells(CellOfDay(2004, 12, 31)),
               item(MakeMoneyText("Fin", "100"), ItemKind::Income));
    const int16_t dec28 = CellOfDay(2004, 12, 28);
    const int16_t jan28 = CellOfDay(2004, 1, 28);
    struct Case {
        int16_t range, month, cell;
        int32_t total;
    } cases[] = {
        {0, 1, jan28, 1},    {2, 1, jan28, 7}, // 28 January to 3 February
        {3, 1, jan28, 14},                     // to 10 February
        {2, 12, dec28, 104},                   // 28 to 31 December only
        {3, 12, dec28, 104}, {4, 1, jan28, 0}, {-1, 1, jan28, 0}, {2, 13, 7, 0}, {2, 1, 6, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("range %1 from %2/%3")
                         .arg(c.range)
                         .arg(c.month)
                         .arg(c.cell)
                         .toStdString());
        EXPECT_EQ(SummaryTotal(true, c.range, c.month, c.cell), c.total);
    }
    // The whole month needs no cell, and counts every cell it holds.
    const int blanks = 42 - DaysInMonth(2004, 2);
    EXPECT_EQ(SummaryTotal(true, 1, 2, 0), 29 + 1000 * blanks);
    EXPECT_EQ(SummaryTotal(false, 1, 2, 0), 0);
    // Both of a month at once, the same.
    ListAppend(CurDoc.Months(2).Cells(20), item(MakeMoneyText("Pain", "2.5"), ItemKind::Expense));
    ListAppend(CurDoc.Months(2).Cells(21), item(MakeMoneyText("Pain", "0.5"), ItemKind::Expense));
    for (int16_t m = 1; m <= 12; ++m) {
        int32_t incomes = -1, expenses = -1;
        MonthTotals(m, incomes, expenses);
        EXPECT_EQ(incomes, SummaryTotal(true, 1, m, 0)) << m;
        EXPECT_EQ(expenses, SummaryTotal(false, 1, m, 0)) << m;
    }
    int32_t incomes = -1, expenses = -1;
    MonthTotals(2, incomes, expenses);
    EXPECT_EQ(expenses, 2); // 2.5 -> 2, 0.5 -> 0
}
