#include "common/test_support.h"
#include "core/settings_store.h"
#include "doc_fixture.h"
#include "document/alarm_scan.h"
#include "document/month_grid.h"

namespace {

using A = RecordingViews::AlarmRef;

// Adds an item with its alarm on to day (day, month) of the document's year; returns its
// place.
A addAlarm(int16_t month, int16_t day, int32_t daysBefore, const QString& text = "x") {
    EVItem e;
    e.AlarmOn = -1;
    e.AlarmDaysBefore = daysBefore;
    e.Text = text;
    e.Kind = ItemKind::Event;
    e.Colour = -1;
    const int16_t cell = CellOfDay(DocumentYear(), month, day);
    DayCell& c = CurDoc.Months(month).Cells(cell);
    ListAppend(c, e);
    return A{month, cell, int16_t(c.Count - 1)};
}

void setToday(int y, int m, int d) {
    testing_support::fixedSystem().Now = QDateTime(QDate(y, m, d), QTime(9, 0));
}

// Sets the scan interval for the length of a test.
struct IntervalSetting {
    explicit IntervalSetting(const QString& value) { save(value); }
    ~IntervalSetting() { save(QStringLiteral("15")); }
    static void save(const QString& v) {
        rt::SaveSetting(QStringLiteral("Mirovanta"), QStringLiteral("Alarm"),
                        QStringLiteral("IntervalChk"), v);
    }
};

} // namespace

class AlarmScan : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        CurDoc.Year = QStringLiteral("2004");
    }
};

TEST_F(AlarmScan, AnAlarmIsDueFromItsDaysBeforeOnAndStaysDue) {
    const A item = addAlarm(3, 10, 3);
    struct Case {
        int day;
        bool shown;
    } cases[] = {{6, false}, {7, true}, {10, true}, {20, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.day);
        setToday(2004, 3, c.day);
        views().ClearCalls();
        CheckAlarms();
        EXPECT_EQ(views().Alarms, c.shown ? std::vector<A>{item} : std::vector<A>{});
    }
    // The next year the item is long past and still due.
    setToday(2005, 1, 1);
    views().ClearCalls();
    CheckAlarms();
    EXPECT_EQ(views().Alarms.size(), 1u);
}

TEST_F(AlarmScan, NoDaysBeforeMeansFromItsOwnDay) {
    const A item = addAlarm(3, 15, 0);
    setToday(2004, 3, 14);
    CheckAlarms();
    EXPECT_TRUE(views().Alarms.empty());
    setToday(2004, 3, 15);
    CheckAlarms();
    EXPECT_EQ(views().Alarms, std::vector<A>{item});
}

TEST_F(AlarmScan, AlarmsComeInMonthCellAndDayOrder) {
    const A march2 = addAlarm(3, 2, 0, "second of the day");
    const A feb = addAlarm(2, 20, 0);
    const A march1 = addAlarm(3, 2, 0, "first?");
    const A jan = addAlarm(1, 31, 0);
    const A early = addAlarm(3, 1, 0);
    addAlarm(3, 16, 0); // tomorrow
    EVItem off;
    off.AlarmOn = 0;
    ListAppend(CurDoc.Months(1).Cells(CellOfDay(2004, 1, 5)), off);
    CheckAlarms();
    EXPECT_EQ(views().Alarms, (std::vector<A>{jan, feb, early, march2, march1}));
    EXPECT_EQ(march2.Index, 0);
    EXPECT_EQ(march1.Index, 1);
}

TEST_F(AlarmScan, AnyNonZeroAlarmFlagCounts) {
    A item = addAlarm(1, 5, 0);
    CurDoc.Months(item.Month).Cells(item.Cell).Items[0].AlarmOn = 1;
    CheckAlarms();
    EXPECT_EQ(views().Alarms.size(), 1u);
}

TEST_F(AlarmScan, CellsWithoutADayAreNeverLookedAt) {
    // 1 March 2004 is a Monday, in cell 8: cell 7 shows no day.
    EVItem e;
    e.AlarmOn = -1;
    ListAppend(CurDoc.Months(3).Cells(7), e);
    ListAppend(CurDoc.Months(3).Cells(48), e);
    CheckAlarms();
    EXPECT_TRUE(views().Alarms.empty());
}

TEST_F(AlarmScan, NothingIsShownOutsideEditingOrWithTheScanSwitchedOff) {
    addAlarm(1, 5, 0);
    views().State = QStringLiteral("Logo");
    CheckAlarms();
    views().State = QStringLiteral("Load");
    CheckAlarms();
    views().State = QStringLiteral("Edit");
    IsBusy = -1;
    CheckAlarms();
    IsBusy = 0;
    {
        IntervalSetting off(QStringLiteral("-1"));
        CheckAlarms();
    }
    {
        IntervalSetting off(QStringLiteral(" -1.0"));
        CheckAlarms();
    }
    EXPECT_TRUE(views().Alarms.empty());
    IntervalSetting five(QStringLiteral("5"));
    CheckAlarms();
    EXPECT_EQ(views().Alarms.size(), 1u);
}

TEST_F(AlarmScan, APastYearShowsEveryAlarmStillOn) {
    CurDoc.Year = QStringLiteral("2003");
    addAlarm(1, 1, 0);
    addAlarm(12, 31, 0);
    addAlarm(12, 31, -5); // after its day, still in the past
    CheckAlarms();
    EXPECT_EQ(views().Alarms.size(), 3u);
    EXPECT_EQ(ui().doEventsCount, 12 * 42); // once after every cell
}

TEST_F(AlarmScan, AnyDaysBeforeFromAFileIsSurvived) {
    addAlarm(3, 1, 40000);
    addAlarm(3, 2, -40000);
    addAlarm(3, 3, INT32_MIN);
    addAlarm(3, 4, INT32_MAX);
    addAlarm(3, 5, 32769 + 5);                     // one beyond the reach of a date record
    const A reachable = addAlarm(3, 6, 32768 + 6); // day sum -32768
    const A normal = addAlarm(3, 10, 365);
    EXPECT_NO_THROW(CheckAlarms());
    EXPECT_EQ(views().Alarms, (std::vector<A>{reachable, normal}));
}

TEST_F(AlarmScan, ADocumentYearBeyondSixteenBitsShowsNothing) {
    addAlarm(3, 1, 0);
    CurDoc.Year = QStringLiteral("99999");
    EXPECT_NO_THROW(CheckAlarms());
    EXPECT_TRUE(views().Alarms.empty());
}

TEST_F(AlarmScan, TheItemCountIsTakenBeforeTheFirstItem) {
    const A first = addAlarm(2, 10, 0);
    views().OnShowAlarm = [&](int16_t m, int16_t c, int16_t) {
        // The alarm window of this test adds a due item to the same day...
        EVItem more = CurDoc.Months(m).Cells(c).Items[0];
        ListAppend(CurDoc.Months(m).Cells(c), more);
        return false;
    };
    CheckAlarms();
    EXPECT_EQ(views().Alarms, std::vector<A>{first});
    // ... or removes the day's items while more were due.
    addAlarm(2, 10, 0);
    views().ClearCalls();
    views().OnShowAlarm = [&](int16_t m, int16_t c, int16_t) {
        ListClear(CurDoc.Months(m).Cells(c));
        return false;
    };
    EXPECT_NO_THROW(CheckAlarms());
    EXPECT_EQ(views().Alarms.size(), 1u);
}

TEST_F(AlarmScan, StopsWhenTheProgramLeavesEditing) {
    addAlarm(1, 5, 0);
    addAlarm(6, 5, 0);
    ui().onDoEvents = [&](bool) {
        if (!views().Alarms.empty()) views().State = QStringLiteral("Unload");
    };
    CheckAlarms();
    EXPECT_EQ(views().Alarms.size(), 1u);
    EXPECT_LT(ui().doEventsCount, 12 * 42);
}

TEST_F(AlarmScan, AScanIsNeverNestedAndANewDocumentIsScannedAfter) {
    const A old1 = addAlarm(1, 5, 0, "ancien");
    addAlarm(6, 5, 0, "ancien");
    bool opened = false;
    size_t shownWhenOpening = 0;
    // While events run after the first alarm, the user opens another document, whose opening
    // asks for a scan.
    ui().onDoEvents = [&](bool) {
        if (opened || views().Alarms.empty()) return;
        opened = true;
        CurDoc = BlankDocument(false);
        CurDoc.Year = QStringLiteral("2004");
        addAlarm(2, 1, 0, "nouveau");
        shownWhenOpening = views().Alarms.size();
        CheckAlarms();
        EXPECT_EQ(views().Alarms.size(), shownWhenOpening); // not nested
    };
    CheckAlarms();
    ASSERT_TRUE(opened);
    // The old document's June alarm is not shown; the new document's is, once.
    ASSERT_EQ(views().Alarms.size(), 2u);
    EXPECT_EQ(views().Alarms[0], old1);
    EXPECT_EQ(views().Alarms[1].Month, 2);
    EXPECT_EQ(CurDoc.Months(2).Cells(views().Alarms[1].Cell).Items[0].Text,
              QStringLiteral("nouveau"));
}

TEST_F(AlarmScan, ARequestForTheSameDocumentDuringAScanIsNotRepeated) {
    addAlarm(1, 5, 0);
    views().OnShowAlarm = [&](int16_t, int16_t, int16_t) {
        CheckAlarms(); // as a timer tick would
        return false;
    };
    CheckAlarms();
    EXPECT_EQ(views().Alarms.size(), 1u);
    // And the scan can run again afterwards.
    views().OnShowAlarm = nullptr;
    CheckAlarms();
    EXPECT_EQ(views().Alarms.size(), 2u);
}
