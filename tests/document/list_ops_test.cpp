#include "doc_fixture.h"
#include "document/list_ops.h"
#include "document/money_text.h"

namespace {

void setAutoEvents(const QStringList& texts) {
    ListClear(CurDoc.AutoEvents);
    for (const QString& t : texts) {
        AEItem a;
        a.Text = t;
        ListAppend(CurDoc.AutoEvents, a);
    }
}

QStringList autoEventTexts() {
    QStringList out;
    for (const AEItem& a : CurDoc.AutoEvents.Items)
        out << a.Text;
    EXPECT_EQ(CurDoc.AutoEvents.Count, int(CurDoc.AutoEvents.Items.size()));
    return out;
}

void setDayItems(int16_t month, int16_t cell, const QStringList& texts) {
    DayCell& c = CurDoc.Months(month).Cells(cell);
    ListClear(c);
    for (const QString& t : texts) {
        EVItem e;
        e.Text = t;
        ListAppend(c, e);
    }
}

QStringList dayTexts(int16_t month, int16_t cell) {
    QStringList out;
    const DayCell& c = CurDoc.Months(month).Cells(cell);
    for (const EVItem& e : c.Items)
        out << e.Text;
    EXPECT_EQ(c.Count, int(c.Items.size()));
    return out;
}

using P = RecordingViews::PaneRefresh;

} // namespace

using ListOps = DocTest;

TEST_F(ListOps, MovingOutOfTheListDoesNothing) {
    setAutoEvents({"a", "b", "c"});
    MoveAE(0, -1);
    MoveAE(2, 3);
    MoveAE(-1, 0);
    EXPECT_EQ(autoEventTexts(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(CurDoc.AutoEvents.Modified, 0);
    EXPECT_TRUE(views().Calls.isEmpty());
}

TEST_F(ListOps, MovingKeepsTheMovedRecordSelected) {
    setAutoEvents({"a", "b", "c"});
    MoveAE(2, 1);
    EXPECT_EQ(autoEventTexts(), (QStringList{"a", "c", "b"}));
    EXPECT_EQ(CurDoc.AutoEvents.Modified, -1);
    EXPECT_EQ(views().Refreshes, (std::vector<P>{{false, 1}}));
    // A swap alone neither marks nor refreshes.
    CurDoc.AutoEvents.Modified = 0;
    views().ClearCalls();
    SwapAE(0, 2);
    EXPECT_EQ(autoEventTexts(), (QStringList{"b", "c", "a"}));
    EXPECT_EQ(CurDoc.AutoEvents.Modified, 0);
    EXPECT_TRUE(views().Calls.isEmpty());
}

TEST_F(ListOps, RemovingSelectsTheRowThatTookItsPlace) {
    struct Case {
        int16_t index;
        QStringList after;
        int16_t selected;
    } cases[] = {
        {1, {"a", "c"}, 1}, // the middle: the old third row, now second
        {2, {"a", "b"}, 1}, // the last: the new last row
        {0, {"b", "c"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        setAutoEvents({"a", "b", "c"});
        views().ClearCalls();
        RemoveAE(false, c.index);
        EXPECT_EQ(autoEventTexts(), c.after);
        EXPECT_EQ(views().Refreshes, (std::vector<P>{{false, c.selected}}));
        EXPECT_EQ(CurDoc.AutoEvents.Modified, -1);
    }
}

TEST_F(ListOps, RemovingTheOnlyRecordLeavesNoRowSelected) {
    setAutoEvents({"a"});
    RemoveAE(false, 0);
    EXPECT_EQ(CurDoc.AutoEvents.Count, 0);
    EXPECT_TRUE(CurDoc.AutoEvents.Items.empty());
    EXPECT_EQ(views().Refreshes, (std::vector<P>{{false, -1}}));
}

TEST_F(ListOps, RemovingOutOfRangeDoesNothingButClearAlwaysMarks) {
    setAutoEvents({"a"});
    RemoveAE(false, 1);
    RemoveAE(false, -1);
    EXPECT_EQ(CurDoc.AutoEvents.Count, 1);
    EXPECT_EQ(CurDoc.AutoEvents.Modified, 0);
    EXPECT_TRUE(views().Calls.isEmpty());

    RemoveDEItem(true, 99); // an empty list, any index
    EXPECT_EQ(CurDoc.DebtsSavings.Modified, -1);
    EXPECT_EQ(views().Refreshes, (std::vector<P>{{false, -1}}));
    RemoveAE(true, 0);
    EXPECT_EQ(CurDoc.AutoEvents.Count, 0);
}

TEST_F(ListOps, SortingOrdersTextsAsReadersDo) {
    struct Case {
        QStringList before;
        int32_t descending;
        QStringList after;
    } cases[] = {
        {{"b", "a", "c"}, 0, {"a", "b", "c"}},
        {{"b", "a", "c"}, 1, {"c", "b", "a"}},
        // Accented letters sort beside their base letter, not after z.
        {{"f", "é", "e", "z"}, 0, {"e", "é", "f", "z"}},
        // Letter case is ignored; equal texts keep their order in both directions.
        {{"b", "A", "a", "B"}, 0, {"A", "a", "b", "B"}},
        {{"b", "A", "a", "B"}, 1, {"b", "B", "A", "a"}},
        // Money texts sort by the padded name, then by the amount as typed.
        {{MakeMoneyText("Loyer", "20"), MakeMoneyText("Eau", "5"), MakeMoneyText("Loyer", "100")},
         0,
         {MakeMoneyText("Eau", "5"), MakeMoneyText("Loyer", "100"), MakeMoneyText("Loyer", "20")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before.join(u',').toStdString());
        setAutoEvents(c.before);
        CurDoc.AutoEvents.Modified = 0;
        views().ClearCalls();
        SortAE(c.descending);
        EXPECT_EQ(autoEventTexts(), c.after);
        EXPECT_EQ(CurDoc.AutoEvents.Modified, -1);
        EXPECT_EQ(views().Refreshes, (std::vector<P>{{false, -1}}));
    }
    EXPECT_GE(ui().doEventsCount, 1);
}

TEST_F(ListOps, SortingKeepsWholeRecordsAndSortsBirthdaysByName) {
    const char* names[] = {"Paul", "anne", "Zoé"};
    for (int i = 0; i < 3; ++i) {
        BDItem b;
        b.Name = QString::fromUtf8(names[i]);
        b.Key = QStringLiteral("BD%1").arg(i);
        b.BirthDate = {int16_t(i + 1), 1, 1970};
        ListAppend(CurDoc.Birthdays, b);
    }
    SortBD(0);
    ASSERT_EQ(CurDoc.Birthdays.Count, 3);
    EXPECT_EQ(CurDoc.Birthdays.Items[0].Name, QStringLiteral("anne"));
    EXPECT_EQ(CurDoc.Birthdays.Items[0].Key, QStringLiteral("BD1"));
    EXPECT_EQ(CurDoc.Birthdays.Items[0].BirthDate.Day, 2);
    EXPECT_EQ(CurDoc.Birthdays.Items[2].Name, QStringLiteral("Zoé"));
    EXPECT_EQ(CurDoc.Birthdays.Modified, -1);
}

TEST_F(ListOps, OneRecordIsNotSortedNorMarked) {
    setAutoEvents({"a"});
    SortAE(1);
    SortDEItems(0);
    EXPECT_EQ(CurDoc.AutoEvents.Modified, 0);
    EXPECT_EQ(CurDoc.DebtsSavings.Modified, 0);
    EXPECT_TRUE(views().Calls.isEmpty());
}

TEST_F(ListOps, DayItemsOutsideTheGridAreLeftAlone) {
    setDayItems(3, 10, {"a", "b"});
    MoveDayItem(0, 10, 0, 1);
    MoveDayItem(3, 6, 0, 1);
    RemoveDayItem(13, 10, true, 0);
    RemoveDayItem(3, 49, false, 0);
    SortDayItems(3, 5, 1);
    SwapDayItems(-1, 10, 0, 1);
    EXPECT_EQ(dayTexts(3, 10), (QStringList{"a", "b"}));
    EXPECT_TRUE(views().Calls.isEmpty());
}

TEST_F(ListOps, DayItemOperationsRedrawTheirCell) {
    setDayItems(3, 10, {"b", "c", "a"});
    MoveDayItem(3, 10, 0, 1);
    EXPECT_EQ(dayTexts(3, 10), (QStringList{"c", "b", "a"}));
    EXPECT_EQ(CurDoc.Months(3).DaysModified, -1);
    EXPECT_EQ(views().Refreshes, (std::vector<P>{{false, 1}}));
    EXPECT_EQ(views().Redraws, (std::vector<RecordingViews::CellRef>{{3, 10}}));

    // The sort redraws before it marks and refreshes.
    views().ClearCalls();
    SortDayItems(3, 10, 0);
    EXPECT_EQ(dayTexts(3, 10), (QStringList{"a", "b", "c"}));
    ASSERT_EQ(views().Calls.size(), 3);
    EXPECT_EQ(views().Calls[0], QStringLiteral("RedrawDayCell(3,10)"));
    EXPECT_TRUE(views().Calls[1].startsWith(QStringLiteral("SetMainCaption")));
    EXPECT_EQ(views().Calls[2], QStringLiteral("RefreshPane(0,-1)"));
}

TEST_F(ListOps, RemovingADayItemSelectsOnTheCurrentDay) {
    setDayItems(3, 10, {"a", "b", "c"});
    setDayItems(4, 12, {"x"});
    CurMonth = 4;
    CurCell = 12;
    // Removed from another day: the pane shows the current day, whose last row is 0.
    RemoveDayItem(3, 10, false, 2);
    EXPECT_EQ(dayTexts(3, 10), (QStringList{"a", "b"}));
    EXPECT_EQ(views().Refreshes.back(), (P{false, 0}));
    EXPECT_EQ(views().Redraws.back(), (RecordingViews::CellRef{3, 10}));
    // Removed from the current day itself.
    CurMonth = 3;
    CurCell = 10;
    RemoveDayItem(3, 10, false, 0);
    EXPECT_EQ(views().Refreshes.back(), (P{false, 0}));
    EXPECT_EQ(dayTexts(3, 10), (QStringList{"b"}));
}

TEST_F(ListOps, RemovingADayItemWithNoCurrentDaySelectsNoRow) {
    // The cell menu's Delete works while no day is current.
    setDayItems(3, 10, {"a", "b", "c"});
    ASSERT_EQ(CurMonth, 0);
    RemoveDayItem(3, 10, false, 1);
    EXPECT_EQ(dayTexts(3, 10), (QStringList{"a", "c"}));
    EXPECT_EQ(views().Refreshes, (std::vector<P>{{false, -1}}));
    EXPECT_EQ(CurDoc.Months(3).DaysModified, -1);
}

TEST_F(ListOps, WeekdayNames) {
    const char* longNames[] = {"Dimanche", "Lundi",    "Mardi", "Mercredi",
                               "Jeudi",    "Vendredi", "Samedi"};
    const char* shortNames[] = {"DI", "LU", "MA", "ME", "JE", "VE", "SA"};
    for (int16_t d = 1; d <= 7; ++d) {
        EXPECT_EQ(GetDayName(d, true), QString::fromLatin1(longNames[d - 1]));
        EXPECT_EQ(GetDayName(d, false), QString::fromLatin1(shortNames[d - 1]));
    }
    EXPECT_EQ(GetDayName(8, true), QString());
    EXPECT_EQ(GetDayName(0, false), QString());
}
