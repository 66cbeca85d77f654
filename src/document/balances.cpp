#include "balances.h"

#include "core/numeric.h"
#include "doc_state.h"
#include "money_text.h"
#include "month_grid.h"

int32_t DEMovementsOfDay(int16_t DEIndex, const DayCell& Cell, int16_t SkipIndex) {
    if (!InList(CurDoc.DebtsSavings, DEIndex)) return 0;
    const DEItem& de = CurDoc.DebtsSavings.Items[size_t(DEIndex)];
    const QString name = MoneyName(de.Text);
    const bool saving = de.IsSaving != 0;
    int32_t total = 0;
    for (int j = 0; j < Cell.Count; ++j) {
        const EVItem& item = Cell.Items[size_t(j)];
        if (j == SkipIndex || MoneyName(item.Text) != name) continue;
        if (item.Kind != ItemKind::Income && item.Kind != ItemKind::Expense) continue;
        const bool adds = (item.Kind == ItemKind::Income) != saving;
        const double amount = MoneyAmount(item.Text);
        total = rt::MoneyAdd(total, adds ? amount : -amount);
    }
    return total;
}

int32_t DEBalanceAtDate(int16_t DEIndex, const DateRec& AtDate) {
    if (!InList(CurDoc.DebtsSavings, DEIndex)) return 0;
    const DEItem& de = CurDoc.DebtsSavings.Items[size_t(DEIndex)];
    if (IsDateAfter(de.StartDate, AtDate)) return 0;
    const DateRec start = de.StartDate;
    int32_t balance = rt::MoneyAdd(0, MoneyAmount(de.Text));
    const int16_t year = DocumentYear();
    for (int16_t m = 1; m <= 12; ++m) {
        for (int16_t c = kFirstCell; c <= kLastCell; ++c) {
            const DayCell& cell = CurDoc.Months(m).Cells(c);
            if (cell.Count == 0) continue;
            const int16_t day = DayOfCell(year, m, c);
            if (day == 0) continue;
            if (IsDateInRange(MakeDate(day, m, year), start, AtDate))
                balance = rt::MoneyAdd(balance, DEMovementsOfDay(DEIndex, cell, -1));
        }
    }
    return balance;
}
