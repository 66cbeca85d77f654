#include "doc_fixture.h"
#include "document/calendar_entries.h"
#include "document/modified.h"
#include "document/month_grid.h"

namespace {

AEItem autoEvent(int32_t recurrence, int16_t day, int16_t month, DateRec start, DateRec end,
                 const QString& key, const QString& text = QStringLiteral("Piscine")) {
    AEItem a;
    a.Recurrence = recurrence;
    a.Day = day;
    a.Month = month;
    a.StartDate = start;
    a.EndDate = end;
    a.Key = key;
    a.Text = text;
    a.Kind = ItemKind::Event;
    return a;
}

BDItem birthday(DateRec date, const QString& key, const QString& name) {
    BDItem b;
    b.BirthDate = date;
    b.Key = key;
    b.Name = name;
    return b;
}

EVItem userItem(const QString& text) {
    EVItem e;
    e.Text = text;
    e.Kind = ItemKind::Event;
    e.Colour = -1;
    return e;
}

// The days ("MM-DD") whose cells hold items of the key, once per item, in date order.
QStringList daysOf(const QString& key) {
    QStringList out;
    const int16_t year = DocumentYear();
    for (int16_t m = 1; m <= 12; ++m)
        for (int16_t c = 7; c <= 48; ++c)
            for (const EVItem& e : CurDoc.Months(m).Cells(c).Items)
                if (e.SourceKey == key) {
                    const int16_t d = DayOfCell(year, m, c);
                    out << (d ? QStringLiteral("%1-%2")
                                    .arg(m, 2, 10, QChar(u'0'))
                                    .arg(d, 2, 10, QChar(u'0'))
                              : QStringLiteral("no day in %1/%2").arg(m).arg(c));
                }
    return out;
}

int itemCount() {
    int n = 0;
    for (int16_t m = 1; m <= 12; ++m)
        for (int16_t c = 7; c <= 48; ++c)
            n += CurDoc.Months(m).Cells(c).Count;
    return n;
}

DayCell& cellOf(int16_t month, int16_t day) {
    return CurDoc.Months(month).Cells(CellOfDay(DocumentYear(), month, day));
}

const QString kA = QStringLiteral("AE0000000000000001");
const QString kB = QStringLiteral("AE0000000000000002");

} // namespace

class CalendarEntries : public DocTest {
protected:
    void SetUp() override {
        DocTest::SetUp();
        CurDoc.Year = QStringLiteral("2004");
    }
    void applyOne(const AEItem& a) {
        ListAppend(CurDoc.AutoEvents, a);
        ApplyAEToCalendar();
    }
};

TEST_F(CalendarEntries, RecurrencesLandOnTheirDays) {
    struct Case {
        const char* name;
        AEItem ae;
        QStringList days;
    } cases[] = {
        {"weekly on Wednesdays",
         autoEvent(5, 4, 0, {10, 3, 2004}, {7, 4, 2004}, kA),
         {"03-10", "03-17", "03-24", "03-31", "04-07"}},
        {"weekly on Mondays from a Wednesday",
         autoEvent(5, 2, 0, {10, 3, 2004}, {22, 3, 2004}, kA),
         {"03-15", "03-22"}},
        {"every two weeks across a month boundary",
         autoEvent(6, 1, 0, {24, 3, 2004}, {31, 5, 2004}, kA),
         {"03-24", "04-07", "04-21", "05-05", "05-19"}},
        {"every two weeks from the year before",
         autoEvent(6, 0, 0, {24, 12, 2003}, {20, 2, 2004}, kA),
         {"01-07", "01-21", "02-04", "02-18"}},
        {"monthly on the 31st",
         autoEvent(4, 31, 0, {1, 1, 2004}, {31, 12, 2004}, kA),
         {"01-31", "02-29", "03-31", "04-30", "05-31", "06-30", "07-31", "08-31", "09-30", "10-31",
          "11-30", "12-31"}},
        {"monthly on the 31st inside a range",
         autoEvent(4, 31, 0, {1, 4, 2004}, {30, 6, 2004}, kA),
         {"04-30", "05-31", "06-30"}},
        {"yearly on 29 February", autoEvent(7, 29, 2, {1, 1, 2000}, {31, 12, 2010}, kA), {"02-29"}},
        {"daily",
         autoEvent(8, 0, 0, {27, 2, 2004}, {2, 3, 2004}, kA),
         {"02-27", "02-28", "02-29", "03-01", "03-02"}},
        {"start after end", autoEvent(8, 0, 0, {2, 3, 2004}, {1, 3, 2004}, kA), {}},
        {"range in another year", autoEvent(4, 5, 0, {1, 1, 2003}, {31, 12, 2003}, kA), {}},
        {"unknown recurrence", autoEvent(3, 5, 0, {1, 1, 2004}, {31, 12, 2004}, kA), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CurDoc = CalDocument{};
        CurDoc.Year = QStringLiteral("2004");
        applyOne(c.ae);
        EXPECT_EQ(daysOf(kA), c.days);
        EXPECT_EQ(itemCount(), c.days.size());
    }
}

TEST_F(CalendarEntries, LeapDayFallsBackTo28FebruaryInOtherYears) {
    CurDoc.Year = QStringLiteral("2003");
    ListAppend(CurDoc.AutoEvents, autoEvent(7, 29, 2, {1, 1, 2000}, {31, 12, 2010}, kA));
    ListAppend(CurDoc.AutoEvents, autoEvent(4, 31, 0, {1, 2, 2003}, {28, 2, 2003}, kB));
    ListAppend(CurDoc.Birthdays, birthday({29, 2, 1960}, QStringLiteral("BD01"), "Anne"));
    ApplyAEToCalendar();
    ApplyBDToCalendar();
    EXPECT_EQ(daysOf(kA), QStringList{"02-28"});
    EXPECT_EQ(daysOf(kB), QStringList{"02-28"});
    EXPECT_EQ(daysOf(QStringLiteral("BD01")), QStringList{"02-28"});
}

TEST_F(CalendarEntries, TwoWeekWalkFromALongAgoStartDoesNotOverflow) {
    // More than 32767 days separate the start from the document's year.
    applyOne(autoEvent(6, 0, 0, {3, 1, 1900}, {31, 1, 2004}, kA));
    EXPECT_EQ(daysOf(kA), (QStringList{"01-14", "01-28"}));
}

TEST_F(CalendarEntries, GeneratedItemsCarryTheirSource) {
    AEItem pay = autoEvent(7, 15, 3, {1, 1, 2004}, {31, 12, 2004}, kA, "Salaire    1500");
    pay.Kind = ItemKind::Income;
    applyOne(pay);
    ListAppend(CurDoc.Birthdays, birthday({15, 3, 2010}, QStringLiteral("BD01"), "Léa"));
    ApplyBDToCalendar();

    const DayCell& cell = cellOf(3, 15);
    ASSERT_EQ(cell.Count, 2);
    const EVItem& a = cell.Items[0];
    EXPECT_EQ(a.AlarmOn, 0);
    EXPECT_EQ(a.AlarmDaysBefore, 1);
    EXPECT_EQ(a.Sound, 0);
    EXPECT_EQ(a.Checked, 0);
    EXPECT_EQ(a.Text, QStringLiteral("Salaire    1500"));
    EXPECT_EQ(a.Kind, ItemKind::Income);
    EXPECT_EQ(a.Colour, -1);
    EXPECT_TRUE(a.PictureFile.isEmpty());
    ASSERT_TRUE(a.Picture.hasObject());
    EXPECT_EQ(a.Picture.handle(), 0);
    EXPECT_EQ(a.SourceKey, kA);
    // A birthday of someone born after the document's year still shows.
    const EVItem& b = cell.Items[1];
    EXPECT_EQ(b.Text, QStringLiteral("AN:Léa"));
    EXPECT_EQ(b.Kind, ItemKind::Event);
    EXPECT_EQ(b.AlarmDaysBefore, 1);
    EXPECT_EQ(b.SourceKey, QStringLiteral("BD01"));
    EXPECT_FALSE(ui().hourglass());
}

TEST_F(CalendarEntries, ApplyingTwiceAddsNothingButMarksAgain) {
    ListAppend(CurDoc.AutoEvents, autoEvent(7, 15, 3, {1, 1, 2004}, {31, 12, 2004}, kA));
    ListAppend(CurDoc.AutoEvents, autoEvent(5, 1, 0, {1, 6, 2004}, {30, 6, 2004}, kB));
    ListAppend(CurDoc.Birthdays, birthday({2, 8, 1970}, QStringLiteral("BD01"), "Marc"));
    ApplyAEToCalendar();
    ApplyBDToCalendar();
    const int items = itemCount();
    EXPECT_EQ(items, 1 + 4 + 1);

    SetModified(DocPart::All, 0, 0);
    views().ClearCalls();
    ApplyAEToCalendar();
    ApplyBDToCalendar();
    EXPECT_EQ(itemCount(), items);
    // Every month with a candidate date is marked changed again, and only those.
    for (int16_t m = 1; m <= 12; ++m)
        EXPECT_EQ(CurDoc.Months(m).DaysModified, (m == 3 || m == 6 || m == 8) ? -1 : 0) << m;
    EXPECT_EQ(views().Redraws.size(), 6u);
    EXPECT_EQ(CurDoc.IsSaved, 0);
}

TEST_F(CalendarEntries, RemovingTheSourceRemovesExactlyItsItems) {
    ListAppend(CurDoc.AutoEvents, autoEvent(8, 0, 0, {1, 3, 2004}, {3, 3, 2004}, kA));
    ListAppend(CurDoc.AutoEvents, autoEvent(8, 0, 0, {2, 3, 2004}, {4, 3, 2004}, kB));
    ApplyAEToCalendar();
    ListAppend(cellOf(3, 2), userItem("à moi"));
    ListAppend(cellOf(3, 2), EVItem{userItem("collé")}); // a pasted copy has no key

    ListRemoveAt(CurDoc.AutoEvents, 0);
    SetModified(DocPart::All, 0, 0);
    views().ClearCalls();
    ApplyAEToCalendar();
    EXPECT_TRUE(daysOf(kA).isEmpty());
    EXPECT_EQ(daysOf(kB), (QStringList{"03-02", "03-03", "03-04"}));
    // The second day keeps, in order, the other source's item and the user's two items.
    const DayCell& day2 = cellOf(3, 2);
    ASSERT_EQ(day2.Count, 3);
    EXPECT_EQ(day2.Items[0].SourceKey, kB);
    EXPECT_EQ(day2.Items[1].Text, QStringLiteral("à moi"));
    EXPECT_EQ(day2.Items[2].Text, QStringLiteral("collé"));
    EXPECT_EQ(cellOf(3, 1).Count, 0);
}

TEST_F(CalendarEntries, PurgeRemovesEveryOrphanOfACell) {
    DayCell& cell = cellOf(5, 10);
    EVItem orphan1 = userItem("vieux");
    orphan1.SourceKey = QStringLiteral("AE0000000000000077");
    EVItem orphan2 = orphan1;
    orphan2.SourceKey = QStringLiteral("AE0000000000000078");
    EVItem lowercase = userItem("ae minuscule");
    lowercase.SourceKey = QStringLiteral("ae0000000000000077"); // not a generated key
    ListAppend(cell, orphan1);
    ListAppend(cell, orphan2);
    ListAppend(cell, userItem("garde"));
    ListAppend(cell, lowercase);
    PurgeOrphanAEEntries();
    ASSERT_EQ(cell.Count, 2);
    EXPECT_EQ(cell.Items[0].Text, QStringLiteral("garde"));
    EXPECT_EQ(cell.Items[1].Text, QStringLiteral("ae minuscule"));
    EXPECT_EQ(CurDoc.Months(5).DaysModified, -1);
    EXPECT_EQ(views().Redraws.size(), 2u); // once per removal
    // Birthday items are left to the birthday purge.
    EVItem bd = userItem("AN:x");
    bd.SourceKey = QStringLiteral("BD0000000000000001");
    ListAppend(cell, bd);
    PurgeOrphanAEEntries();
    EXPECT_EQ(cell.Count, 3);
    PurgeOrphanBDEntries();
    EXPECT_EQ(cell.Count, 2);
}

TEST_F(CalendarEntries, AnEditedSourceReplacesItsItemsWithFreshOnes) {
    applyOne(autoEvent(7, 1, 4, {1, 1, 2004}, {31, 12, 2004}, kA));
    EVItem& given = cellOf(4, 1).Items[0];
    given.AlarmOn = -1;
    given.Colour = 255;
    // Untouched while the key lives.
    ApplyAEToCalendar();
    EXPECT_EQ(cellOf(4, 1).Items[0].Colour, 255);
    // The editor issues a new key.
    CurDoc.AutoEvents.Items[0].Key = kB;
    ApplyAEToCalendar();
    ASSERT_EQ(cellOf(4, 1).Count, 1);
    EXPECT_EQ(cellOf(4, 1).Items[0].SourceKey, kB);
    EXPECT_EQ(cellOf(4, 1).Items[0].Colour, -1);
    EXPECT_EQ(cellOf(4, 1).Items[0].AlarmOn, 0);
}

TEST_F(CalendarEntries, WeeklyAndDailyItemsSurviveAChangeOfYear) {
    // The properties dialog's change of year: a blank document of the new year (which empties
    // the month windows), the lists put back, then the apply.
    ListAppend(CurDoc.AutoEvents, autoEvent(5, 2, 0, {1, 1, 2004}, {31, 12, 2005}, kA));
    ListAppend(CurDoc.AutoEvents, autoEvent(8, 0, 0, {30, 12, 2005}, {31, 12, 2005}, kB));
    ApplyAEToCalendar();
    const AEList lists = CurDoc.AutoEvents;
    CurDoc = BlankDocument(false);
    CurDoc.Year = QStringLiteral("2005");
    CurDoc.AutoEvents = lists;
    ApplyAEToCalendar();
    EXPECT_EQ(daysOf(kA).size(), 52); // the Mondays of 2005
    EXPECT_EQ(daysOf(kA).value(0), QStringLiteral("01-03"));
    EXPECT_EQ(daysOf(kB), (QStringList{"12-30", "12-31"}));
}

TEST_F(CalendarEntries, DamagedRecordsGiveNoItemAndNoCrash) {
    const AEItem damaged[] = {
        autoEvent(4, 0, 0, {1, 1, 2004}, {31, 12, 2004}, kA),  // monthly on day 0
        autoEvent(4, -3, 0, {1, 1, 2004}, {31, 12, 2004}, kA), // negative day
        autoEvent(5, 9, 0, {1, 1, 2004}, {31, 12, 2004}, kA),  // no ninth weekday
        autoEvent(5, 0, 0, {1, 1, 2004}, {31, 12, 2004}, kA),
        autoEvent(7, 10, 13, {1, 1, 2004}, {31, 12, 2004}, kA), // thirteenth month
        autoEvent(7, 10, 0, {1, 1, 2004}, {31, 12, 2004}, kA),
        autoEvent(6, 0, 0, {0, 0, 0}, {31, 12, 2004}, kA), // no start date
        autoEvent(6, 0, 0, {1, 32767, 2004}, {31, 12, 32767}, kA),
    };
    for (const AEItem& a : damaged)
        ListAppend(CurDoc.AutoEvents, a);
    ListAppend(CurDoc.Birthdays, birthday({10, 0, 1970}, QStringLiteral("BD01"), "x"));
    ListAppend(CurDoc.Birthdays, birthday({0, 5, 1970}, QStringLiteral("BD02"), "y"));
    ListAppend(CurDoc.Birthdays, birthday({10, 13, 1970}, QStringLiteral("BD03"), "z"));
    EXPECT_NO_THROW(ApplyAEToCalendar());
    EXPECT_NO_THROW(ApplyBDToCalendar());
    EXPECT_EQ(itemCount(), 0);
    // A monthly day beyond 31 is held at each month's last day.
    CurDoc.AutoEvents.Items[0].Day = 40;
    ApplyAEToCalendar();
    EXPECT_EQ(daysOf(kA).value(1), QStringLiteral("02-29"));
}

TEST_F(CalendarEntries, ApplyShowsTheHourglassAndLetsPaintingRun) {
    bool hourglassDuringEvents = false;
    ui().onDoEvents = [&](bool excludeUserInput) {
        hourglassDuringEvents = ui().hourglass();
        EXPECT_TRUE(excludeUserInput);
    };
    ApplyAEToCalendar();
    EXPECT_FALSE(ui().hourglass());
    EXPECT_FALSE(hourglassDuringEvents); // the last run comes after the pointer is restored
    EXPECT_EQ(ui().hourglassChanges.front(), true);
    EXPECT_EQ(ui().doEventsCount, 0);
    EXPECT_EQ(ui().doEventsNoInputCount, 4);
}

TEST_F(CalendarEntries, ThreeThousandDailyAutoEventsFillEveryDayInTheirOrder) {
    constexpr int kCount = 3000;
    const auto key = [](int i) { return QStringLiteral("AE%1").arg(i + 1, 16, 10, QChar(u'0')); };
    // A user's item and a generated one already in place on 1 March stay first.
    ListAppend(cellOf(3, 1), userItem(QStringLiteral("à moi")));
    EVItem kept = userItem(QStringLiteral("Piscine"));
    kept.SourceKey = key(7);
    ListAppend(cellOf(3, 1), kept);
    for (int i = 0; i < kCount; ++i)
        ListAppend(CurDoc.AutoEvents, autoEvent(8, 0, 0, {1, 1, 2004}, {31, 12, 2004}, key(i),
                                                QStringLiteral("n%1").arg(i)));
    ApplyAEToCalendar();

    EXPECT_EQ(itemCount(), 366 * kCount + 1);
    for (int16_t m : {1, 3, 12}) {
        const DayCell& cell = cellOf(m, m == 3 ? 1 : 31);
        const int offset = m == 3 ? 2 : 0;
        ASSERT_EQ(cell.Count, kCount + (m == 3 ? 1 : 0)) << m;
        // The sources in list order, each once; the one already there keeps its place.
        for (int i = 0, at = offset; i < kCount; ++i) {
            if (m == 3 && i == 7) continue;
            EXPECT_EQ(cell.Items[size_t(at++)].SourceKey, key(i)) << m << " " << i;
        }
        EXPECT_EQ(cell.Items[size_t(offset)].Text, QStringLiteral("n0"));
    }
    EXPECT_EQ(cellOf(3, 1).Items[1].Text, QStringLiteral("Piscine"));
    // Each day's cell is drawn once, not once per source.
    EXPECT_EQ(views().Redraws.size(), 366u);

    // Without their sources, every generated item goes and the user's item stays alone.
    views().ClearCalls();
    ListClear(CurDoc.AutoEvents);
    ApplyAEToCalendar();
    EXPECT_EQ(itemCount(), 1);
    EXPECT_EQ(cellOf(3, 1).Items[0].Text, QStringLiteral("à moi"));
}
