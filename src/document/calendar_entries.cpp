#include "calendar_entries.h"

#include "core/resources.h"
#include "core/ui_services.h"
#include "doc_state.h"
#include "doc_views.h"
#include "modified.h"
#include "month_grid.h"

#include <QSet>
#include <algorithm>
#include <array>
#include <vector>

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

// The item an auto-event generates.
EVItem generatedItem(const AEItem& ae) {
    return generatedItem(ae.Text, ae.Kind, ae.Key);
}

// The item a birthday generates: an event with its name after the prefix (resource 2206).
EVItem generatedItem(const BDItem& bd, const QString& prefix) {
    return generatedItem(prefix + bd.Name, ItemKind::Event, bd.Key);
}

// The cells of the twelve months in one table: a cell's place in it.
constexpr int kMonthCells = kLastCell - kFirstCell + 1;
constexpr int kYearCells = 12 * kMonthCells;
size_t yearCellSlot(int month, int cell) {
    return size_t((month - 1) * kMonthCells + (cell - kFirstCell));
}

// The cell of a date of month, or 0 when there is none.
int cellOfDate(int16_t month, const DateRec& date) {
    if (!IsMonth(month)) return 0;
    const int cell = date.Day + WeekdayOf(date, true) + 5;
    return IsCell(cell) ? cell : 0;
}

// Appends the item unless the date's cell already holds one of its source.
void addEntry(int16_t month, const DateRec& date, const EVItem& item) {
    const int cell = cellOfDate(month, date);
    if (cell == 0) return;
    DayCell& dc = CurDoc.Months(month).Cells(cell);
    const bool present =
        std::any_of(dc.Items.begin(), dc.Items.begin() + dc.Count,
                    [&](const EVItem& e) { return e.SourceKey == item.SourceKey; });
    if (!present) ListAppend(dc, item);
    views().RedrawDayCell(month, int16_t(cell));
    SetModified(DocPart::MonthDays, -1, month);
}

// Writes the items of one apply into the cells. Each cell it reaches keeps the set of source
// keys it holds, gathered the first time, so an offer costs the same however many items the
// cell holds; finish() redraws each such cell and marks its month changed once, in the order
// they were first reached.
class CellWriter {
public:
    CellWriter() { index_.fill(-1); }

    // Runs write(*this), then finishes, also when write fails half way.
    template <class Write> static void run(Write write) {
        CellWriter cells;
        try {
            write(cells);
        } catch (...) {
            cells.finish();
            throw;
        }
        cells.finish();
    }

    // Counts an item of key to come for the cell of date, unless the cell holds one already, so
    // that the cell makes room for its new items at once rather than growing one by one.
    void expect(int16_t month, const DateRec& date, const QString& key) {
        const int cell = cellOfDate(month, date);
        if (cell == 0) return;
        Reached& r = reach(month, cell);
        if (!r.Keys.contains(key)) ++r.Coming;
    }

    // Appends the item made by make() to the cell of date unless it holds one of key already.
    // A key no other source of the apply shares need not be remembered once added: its source
    // offers each day once.
    template <class Make>
    void offer(int16_t month, const DateRec& date, const QString& key, bool shared, Make make) {
        const int cell = cellOfDate(month, date);
        if (cell == 0) return;
        Reached& r = reach(month, cell);
        if (r.Keys.contains(key)) return;
        DayCell& dc = CurDoc.Months(month).Cells(cell);
        if (r.Coming > 1) {
            dc.Items.resize(size_t(dc.Count));
            dc.Items.reserve(size_t(dc.Count + r.Coming));
            r.Coming = 0;
        }
        ListAppend(dc, make());
        if (shared) r.Keys.insert(key);
    }

private:
    void finish() {
        for (const Reached& r : reached_) {
            views().RedrawDayCell(r.Month, r.Cell);
            SetModified(DocPart::MonthDays, -1, r.Month);
        }
        reached_.clear();
    }

    struct Reached {
        int16_t Month;
        int16_t Cell;
        QSet<QString> Keys; // the source keys the cell holds
        int Coming;         // items counted to come and not yet made room for
    };

    // The cell's record, made with the keys it holds the first time it is reached.
    Reached& reach(int16_t month, int cell) {
        int& at = index_[yearCellSlot(month, cell)];
        if (at < 0) {
            at = int(reached_.size());
            Reached r{month, int16_t(cell), {}, 0};
            const DayCell& dc = CurDoc.Months(month).Cells(cell);
            for (int i = 0; i < dc.Count; ++i)
                r.Keys.insert(dc.Items[size_t(i)].SourceKey);
            reached_.push_back(std::move(r));
        }
        return reached_[size_t(at)];
    }

    std::array<int, kYearCells> index_;
    std::vector<Reached> reached_;
};

// Removes every generated item of the prefix whose key is not among the live keys. Each cell
// is closed up in one pass and its month marked changed once; every removal is still redrawn.
void purgeOrphans(const QString& prefix, const QSet<QString>& keys) {
    for (int16_t m = 1; m <= 12; ++m) {
        for (int16_t c = kFirstCell; c <= kLastCell; ++c) {
            DayCell& cell = CurDoc.Months(m).Cells(c);
            const auto orphan = [&](const EVItem& e) {
                return e.SourceKey.startsWith(prefix, Qt::CaseSensitive) &&
                       !keys.contains(e.SourceKey);
            };
            const auto end =
                cell.Items.begin() + std::min<qsizetype>(cell.Count, qsizetype(cell.Items.size()));
            if (std::none_of(cell.Items.begin(), end, orphan)) continue;
            cell.Items.resize(size_t(cell.Count));
            const auto kept = std::stable_partition(cell.Items.begin(), cell.Items.end(),
                                                    [&](const EVItem& e) { return !orphan(e); });
            const auto removed = std::distance(kept, cell.Items.end());
            cell.Items.erase(kept, cell.Items.end());
            cell.Count = int16_t(cell.Items.size());
            SetModified(DocPart::MonthDays, -1, m);
            for (auto k = removed; k > 0; --k)
                views().RedrawDayCell(m, c);
        }
    }
}

// The keys that more than one source of the list carries.
template <class List> QSet<QString> sharedKeys(const List& list) {
    QSet<QString> seen, shared;
    for (int i = 0; i < list.Count; ++i) {
        const QString& key = list.Items[size_t(i)].Key;
        if (seen.contains(key))
            shared.insert(key);
        else
            seen.insert(key);
    }
    return shared;
}

bool isProperDate(const DateRec& d) {
    return IsMonth(d.Month) && d.Day >= 1 && d.Day <= DaysInMonth(d.Year, d.Month);
}

// The day shown in each cell of the twelve months of one year (0 for none), worked out once per
// apply rather than once per auto-event.
class YearGrid {
public:
    explicit YearGrid(int16_t y) {
        for (int16_t m = 1; m <= 12; ++m)
            for (int16_t c = kFirstCell; c <= kLastCell; ++c)
                days_[yearCellSlot(m, c)] = DayOfCell(y, m, c);
    }
    int16_t day(int16_t m, int16_t c) const { return days_[yearCellSlot(m, c)]; }

private:
    std::array<int16_t, kYearCells> days_{};
};

// The candidate dates of one auto-event in year y, in date order, handed to offer(month, date).
template <class Offer>
void candidateDates(const AEItem& ae, int16_t y, const YearGrid& grid, Offer offer) {
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
                if (const int16_t d = grid.day(m, c)) offer(m, MakeDate(d, m, y));
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
                if (const int16_t d = grid.day(m, c)) offer(m, MakeDate(d, m, y));
        return;
    default:
        return;
    }
}

} // namespace

void AddAEEntry(int16_t AEIndex, int16_t Month, const DateRec& Date) {
    if (!InList(CurDoc.AutoEvents, AEIndex)) return;
    const AEItem& ae = CurDoc.AutoEvents.Items[size_t(AEIndex)];
    addEntry(Month, Date, generatedItem(ae));
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
    const YearGrid grid(y);
    const QSet<QString> shared = sharedKeys(CurDoc.AutoEvents);
    CellWriter::run([&](CellWriter& cells) {
        const auto eachDate = [&](const AEItem& ae, auto use) {
            candidateDates(ae, y, grid, [&](int16_t m, const DateRec& date) {
                if (IsDateInRange(date, ae.StartDate, ae.EndDate)) use(m, date);
            });
        };
        for (int16_t i = 0; i < CurDoc.AutoEvents.Count; ++i) {
            const AEItem& ae = CurDoc.AutoEvents.Items[size_t(i)];
            eachDate(ae, [&](int16_t m, const DateRec& date) { cells.expect(m, date, ae.Key); });
        }
        for (int16_t i = 0; i < CurDoc.AutoEvents.Count; ++i) {
            const AEItem ae = CurDoc.AutoEvents.Items[size_t(i)];
            const bool keyShared = shared.contains(ae.Key);
            eachDate(ae, [&](int16_t m, const DateRec& date) {
                cells.offer(m, date, ae.Key, keyShared,
                            [&] { return generatedItem(ae); });
            });
        }
    });
    rt::SetHourglass(false);
    rt::DoEventsNoInput();
}

void AddBDEntry(int16_t BDIndex, int16_t Month, const DateRec& Date) {
    if (!InList(CurDoc.Birthdays, BDIndex)) return;
    const BDItem& bd = CurDoc.Birthdays.Items[size_t(BDIndex)];
    addEntry(Month, Date, generatedItem(bd, rt::LoadResString(2206)));
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
    const QString prefix = rt::LoadResString(2206);
    const QSet<QString> shared = sharedKeys(CurDoc.Birthdays);
    CellWriter::run([&](CellWriter& cells) {
        for (int16_t i = 0; i < CurDoc.Birthdays.Count; ++i) {
            const BDItem bd = CurDoc.Birthdays.Items[size_t(i)];
            const int16_t m = bd.BirthDate.Month;
            if (!IsMonth(m) || bd.BirthDate.Day < 1) continue;
            cells.offer(m, MakeDate(std::min(bd.BirthDate.Day, DaysInMonth(y, m)), m, y), bd.Key,
                        shared.contains(bd.Key),
                        [&] { return generatedItem(bd, prefix); });
        }
    });
    rt::SetHourglass(false);
    rt::DoEventsNoInput();
}
