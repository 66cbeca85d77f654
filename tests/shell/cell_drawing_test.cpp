// The item lines of a day cell.

#include "month_fixture.h"
#include "shell/cell_drawing.h"
#include "shell/main_module.h"

using namespace rt;

namespace {
constexpr int16_t kCell = 22; // 15 March 2004
const Label& line(int n) {
    return MonthForms(3)->LblEV(n)(kCell);
}
} // namespace

class CellDrawingTest : public MonthTest {
protected:
    void SetUp() override {
        MonthTest::SetUp();
        newDocument(QStringLiteral("2004"));
        CurDoc.DefaultColours.EventText = 0x00102030;
        MonthForms(3).get(); // the lines are drawn in a window that is made
    }
    DayCell& cell() { return cellOf(3, kCell); }
    void fill(int Count) {
        ListClear(cell());
        for (int i = 0; i < Count; ++i)
            ListAppend(cell(), item(QStringLiteral("e%1").arg(i)));
        RedrawDayCell(3, kCell);
    }
};

TEST_F(CellDrawingTest, ACellShowsSevenItemsOrSixAndDots) {
    for (int count : {0, 6, 7, 8, 9, 7}) { // the last: an item removed again
        fill(count);
        for (int n = 1; n <= 7; ++n) {
            const QString want = n > count             ? QString()
                                 : n == 7 && count > 7 ? QStringLiteral("[...]")
                                                       : QStringLiteral("e%1").arg(n - 1);
            EXPECT_EQ(line(n).Caption(), want) << count << " items, line " << n;
        }
    }
}

TEST_F(CellDrawingTest, LinesTakeTheirKindsColourOrTheirOwnAndMoneyEndsInADollar) {
    ColourSet& own = CurDoc.Months(3).Colours;
    own = CurDoc.DefaultColours;
    own.UseDefault = 0;
    own.IncomeText = 0x00AA00AA;
    ListAppend(cell(), item(QStringLiteral("Dentiste")));
    ListAppend(cell(), item(QStringLiteral("Salaire    1800"), ItemKind::Income));
    ListAppend(cell(), item(QStringLiteral("Loyer      650"), ItemKind::Expense));
    ListAppend(cell(), item(QStringLiteral("Fête & cie"), ItemKind::Event, 0, 0x00008000));
    ListAppend(cell(), item(QStringLiteral("Abîmé"), ItemKind::Event, 0, 0x7FFFFFFF));
    RedrawDayCell(3, kCell);
    const QString captions[] = {"Dentiste", "Salaire    1800$", "Loyer      650$", "Fête & cie",
                                "Abîmé"};
    const int32_t colours[] = {0x00102030, 0x00AA00AA, own.ExpenseText, 0x00008000, vbWindowText};
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(line(n).Caption(), captions[n - 1]) << n;
        EXPECT_EQ(line(n).ForeColor(), colours[n - 1]) << n;
    }
}

TEST_F(CellDrawingTest, TicksStrikeThroughButNeverTheDotsLine) {
    fill(8);
    cell().Items[5].Checked = -1;
    cell().Items[6].Checked = -1;
    cell().Items[6].Colour = 0x000000AA;
    RedrawDayCell(3, kCell);
    EXPECT_TRUE(line(6).FontStrikethru());
    EXPECT_FALSE(line(7).FontStrikethru());
    EXPECT_EQ(line(7).ForeColor(), 0x00102030); // EventText of the colours in force

    ListRemoveAt(cell(), 7); // item 6 shows again, ticked and in its own colour
    RedrawDayCell(3, kCell);
    EXPECT_EQ(line(7).Caption(), QStringLiteral("e6"));
    EXPECT_TRUE(line(7).FontStrikethru());
    EXPECT_EQ(line(7).ForeColor(), 0x000000AA);

    cell().Items[5].Checked = 0; // unticked
    ListRemoveAt(cell(), 6);     // a line left without an item keeps its colour
    RedrawDayCell(3, kCell);
    EXPECT_FALSE(line(6).FontStrikethru());
    EXPECT_FALSE(line(7).FontStrikethru());
    EXPECT_EQ(line(7).Caption(), QString());
    EXPECT_EQ(line(7).ForeColor(), 0x000000AA);
}
