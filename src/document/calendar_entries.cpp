#include "calendar_entries.h"

#include "doc_state.h"
#include "doc_views.h"
#include "modified.h"
#include "month_grid.h"
#include "platform/resources.h"
#include "platform/ui_services.h"

#include <QSet>
#include <algorithm>

namespace {

// The item a source generates: no alarm (but one day ahead when switched on), no sound, the
// colour of its kind, no picture.
EVItem generatedItem(const QString& text, int32_t kind, const QString& key) {
    EVItem e;
    e.AlarmOn = 0;
    e.AlarmDaysBefore = 1;
    e.Sound = 0;
    e.Checked = 0;
    e.Text = text;
    e.Kind = kind;
    e.Colour = -1;
    e.PictureFile.clear();
    e.Picture = rt::Picture::empty();
    e.SourceKey = key;
    return e;
}

// Appends the item unless the date's cell already holds one of its source.
void addEntry(int16_t month, const DateRec& date, const EVItem& item) {
    if (!IsMonth(month)) return;
    const int cell = date.Day + WeekdayOf(date, true) + 5;
    if (!IsCell(cell)) return;
    DayCell& dc = CurDoc.Months(month).Cells(cell);
    const bool present =
        std::any_of(dc.Items.begin(), dc.Items.begin() + dc.Count,
                    [&](const EVItem& e) { return e.SourceKey == item.SourceKey; });
    if (!present) ListAppend(dc, item);
    views().RedrawDayCell(month, int16_t(cell));
    SetModified(DocPart::MonthDays, -1, month);
}

// Removes every generated item of the prefix whose key is not among the live keys.
void purgeOrphans(const QString& prefix, const QSet<QString>& keys) {
    for (int16_t m = 1; m <= 12; ++m) {
        for (int16_t c = kFirstCell; c <= kLastCell; ++c) {
            DayCell& cell = CurDoc.Months(m).Cells(c);
            int j = 0;
            while (j < cell.Count) {
                const QString& key = cell.Items[size_t(j)].SourceKey;
                if (key.startsWith(prefix, Qt::CaseSensitive) && !keys.contains(key)) {
                    ListRemoveAt(cell, j);
                    SetModified(DocPart::MonthDays, -1, m);
                    views().RedrawDayCell(m, c);
                } else {
                    ++j;
                }
            }
        }
    }
}

bool isProperDate(const DateRec& d) {
    return IsMonth(d.Month) && d.Day >= 1 && d.Day <= DaysInMonth(d.Year, d.Month);
}

// The candidate dates of one auto-event in year y, in date order, handed to offer(month, date).
template <class Offer> void candidateDates(const AEItem& ae, int16_t y, Offer offer) {
    switch (ae.Recurrence) {
    case AERecurrence::Monthly:
        if (ae.Day < 1) return;
        for (int16_t m = 1; m <= 12; ++m)
            offer(m, MakeDate(std::min(ae.Day, DaysInMonth(y, m)), m, y));
        return;
    case AERecurrence::Weekly:
        if (ae.Day < 1 || ae.Day > 7) return;
        for (int16_t m = 1; m <= 12; ++m)
            for (int16_t c = int16_t(ae.Day + 6); c <= kLastCell; c = int16_t(c + 7))
                if (const int16_t d = DayOfCell(y, m, c)) offer(m, MakeDate(d, m, y));
        return;
    case AERecurrence::EveryTwoWeeks: {
        // Every 14 days from the start date, also when it lies in an earlier year: the first
        // date taken is the first StartDate + 14k inside the year. Serial day numbers keep the
        // walk free of the 16-bit day limit however far back the start lies.
        if (!isProperDate(ae.StartDate) || IsDateAfter(ae.StartDate, ae.EndDate)) return;
        const int64_t start = DateSerial(ae.StartDate);
        const int64_t first = DateSerial(y, 1, 1);
        const int64_t last = DateSerial(y, 12, 31);
        int64_t t = start;
        if (t < first) t += (first - start + 13) / 14 * 14;
        for (; t <= last; t += 14) {
            const DateRec d = DateFromSerial(t);
            if (!IsDateInRange(d, ae.StartDate, ae.EndDate)) break;
            offer(d.Month, d);
        }
        return;
    }
    case AERecurrence::Yearly:
        if (ae.Day < 1 || !IsMonth(ae.Month)) return;
        offer(ae.Month, MakeDate(std::min(ae.Day, DaysInMonth(y, ae.Month)), ae.Month, y));
        return;
    case AERecurrence::Daily:
        for (int16_t m = 1; m <= 12; ++m)
            for (int16_t c = kFirstCell; c <= kLastCell; ++c)
                if (const int16_t d = DayOfCell(y, m, c)) offer(m, MakeDate(d, m, y));
        return;
    default:
        return;
    }
}

} // namespace

void AddAEEntry(int16_t AEIndex, int16_t Month, const DateRec& Date) {
    if (!InList(CurDoc.AutoEvents, AEIndex)) return;
    const AEItem& ae = CurDoc.AutoEvents.Items[size_t(AEIndex)];
    addEntry(Month, Date, generatedItem(ae.Text, ae.Kind, ae.Key));
}

void PurgeOrphanAEEntries() {
    rt::SetHourglass(true);
    rt::DoEventsNoInput();
    QSet<QString> keys;
    for (int i = 0; i < CurDoc.AutoEvents.Count; ++i)
        keys.insert(CurDoc.AutoEvents.Items[size_t(i)].Key);
    purgeOrphans(QStringLiteral("AE"), keys);
    rt::DoEventsNoInput();
}

void ApplyAEToCalendar() {
    const int16_t y = DocumentYear();
    rt::SetHourglass(true);
    rt::DoEventsNoInput();
    PurgeOrphanAEEntries();
    for (int16_t i = 0; i < CurDoc.AutoEvents.Count; ++i) {
        const AEItem ae = CurDoc.AutoEvents.Items[size_t(i)];
        candidateDates(ae, y, [&](int16_t m, const DateRec& date) {
            if (IsDateInRange(date, ae.StartDate, ae.EndDate)) AddAEEntry(i, m, date);
        });
    }
    rt::SetHourglass(false);
    rt::DoEventsNoInput();
}

void AddBDEntry(int16_t BDIndex, int16_t Month, const DateRec& Date) {
    if (!InList(CurDoc.Birthdays, BDIndex)) return;
    const BDItem& bd = CurDoc.Birthdays.Items[size_t(BDIndex)];
    addEntry(Month, Date,
             generatedItem(rt::LoadResString(2206) + bd.Name, ItemKind::Event, bd.Key));
}

void PurgeOrphanBDEntries() {
    QSet<QString> keys;
    for (int i = 0; i < CurDoc.Birthdays.Count; ++i)
        keys.insert(CurDoc.Birthdays.Items[size_t(i)].Key);
    purgeOrphans(QStringLiteral("BD"), keys);
}

void ApplyBDToCalendar() {
    const int16_t y = DocumentYear();
    rt::SetHourglass(true);
    rt::DoEventsNoInput();
    PurgeOrphanBDEntries();
    // One item in the document's year for every birthday, whatever its birth year.
    for (int16_t i = 0; i < CurDoc.Birthdays.Count; ++i) {
        const DateRec birth = CurDoc.Birthdays.Items[size_t(i)].BirthDate;
        const int16_t m = birth.Month;
        if (!IsMonth(m) || birth.Day < 1) continue;
        AddBDEntry(i, m, MakeDate(std::min(birth.Day, DaysInMonth(y, m)), m, y));
    }
    rt::SetHourglass(false);
    rt::DoEventsNoInput();
}
