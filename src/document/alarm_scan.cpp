#include "alarm_scan.h"

#include "core/numeric.h"
#include "core/settings_store.h"
#include "core/system.h"
#include "core/ui_services.h"
#include "doc_state.h"
#include "doc_views.h"
#include "month_grid.h"

namespace {

bool scanRunning = false;
bool scanRequested = false;
bool scanStopped = false;

bool mayScan() {
    if (views().AppState() != QLatin1String("Edit")) return false;
    const QString interval = rt::GetSetting(QStringLiteral("Mirovanta"), QStringLiteral("Alarm"),
                                            QStringLiteral("IntervalChk"), QStringLiteral("15"));
    if (rt::Val(interval) == -1) return false;
    return IsBusy == 0;
}

// Due when the day's serial number minus the days before is not after today. The alarm date
// must be one a date record can hold: its day sum fits in 16 bits, as when it is computed by
// AddDays.
bool isDue(int16_t day, int16_t month, int16_t year, int32_t daysBefore, int64_t today) {
    const int64_t daySum = int64_t(day) - int64_t(daysBefore);
    if (daySum < -32768 || daySum > 32767) return false;
    return DateSerial(year, month, daySum) <= today;
}

// One pass over the live document. Returns when done, or as soon as the state or the
// document changed under it.
void scanOnce() {
    const uint64_t generation = DocGeneration;
    const auto stillValid = [&] {
        return !scanStopped && DocGeneration == generation &&
               views().AppState() == QLatin1String("Edit");
    };
    const QDate now = rt::sys().today();
    const int64_t today = DateSerial(now.year(), now.month(), now.day());
    int16_t year = 0;
    try {
        year = DocumentYear();
    } catch (const rt::RtError&) {
        return; // a year beyond 16 bits holds no day a cell could show
    }

    for (int16_t m = 1; m <= 12; ++m) {
        for (int16_t c = kFirstCell; c <= kLastCell; ++c) {
            const int16_t day = DayOfCell(year, m, c);
            if (day != 0) {
                const int16_t count = CurDoc.Months(m).Cells(c).Count;
                for (int16_t j = 0; j < count; ++j) {
                    const DayCell& cell = CurDoc.Months(m).Cells(c);
                    if (j >= cell.Count) break;
                    const EVItem& item = cell.Items[size_t(j)];
                    if (item.AlarmOn == 0 || !isDue(day, m, year, item.AlarmDaysBefore, today))
                        continue;
                    views().ShowAlarm(m, c, j);
                    if (!stillValid()) return;
                }
            }
            rt::DoEvents();
            if (!stillValid()) return;
        }
    }
}

} // namespace

void CheckAlarms() {
    if (!mayScan()) return;
    if (scanRunning) {
        scanRequested = true;
        return;
    }
    struct Running {
        Running() { scanRunning = true; }
        ~Running() {
            scanRunning = false;
            scanRequested = false;
            scanStopped = false;
        }
    } running;
    // A request made during a pass is for a document that replaced the one being scanned (as
    // after an Open); for the same document the pass under way already covers it.
    for (;;) {
        scanRequested = false;
        const uint64_t generation = DocGeneration;
        scanOnce();
        if (scanStopped || !scanRequested || DocGeneration == generation || !mayScan()) break;
    }
}

void StopAlarmScan() {
    if (scanRunning) scanStopped = true;
}

bool AlarmScanRunning() {
    return scanRunning;
}
