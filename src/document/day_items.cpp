#include "day_items.h"

#include "compare.h"
#include "core/numeric.h"
#include "doc_state.h"
#include "doc_views.h"
#include "list_ops.h"
#include "modified.h"
#include "money_text.h"
#include "month_grid.h"

namespace {

void clearClipboard() {
    GridClip.ClipMode = ClipboardMode::None;
    GridClip.ClipMonth = -1;
    GridClip.ClipCell = -1;
    GridClip.ClipIndex = -1;
}

void takeSelection(int32_t mode) {
    if (!IsMonth(SelMonth) || !IsCell(SelCell)) return;
    const DayCell& cell = CurDoc.Months(SelMonth).Cells(SelCell);
    if (!InList(cell, SelItem)) return;
    GridClip.ClipMode = mode;
    GridClip.ClipMonth = SelMonth;
    GridClip.ClipCell = SelCell;
    GridClip.ClipIndex = SelItem;
    GridClip.ClipItem = cell.Items[size_t(SelItem)];
}

} // namespace

int32_t GetDayItemColour(int16_t Month, int16_t Cell, int16_t Index) {
    const MonthRec& month = CurDoc.Months(Month);
    const DayCell& cell = month.Cells(Cell);
    if (!InList(cell, Index)) rt::raise(rt::ErrSubscript);
    const EVItem& item = cell.Items[size_t(Index)];
    if (item.Colour != -1) return item.Colour;
    const ColourSet& colours =
        month.Colours.UseDefault != 0 ? CurDoc.DefaultColours : month.Colours;
    switch (item.Kind) {
    case ItemKind::Income:
        return colours.IncomeText;
    case ItemKind::Expense:
        return colours.ExpenseText;
    default:
        return colours.EventText;
    }
}

void CopyDayItem() {
    takeSelection(ClipboardMode::Copy);
}

void CutDayItem() {
    takeSelection(ClipboardMode::Cut);
}

void PasteDayItem() {
    if (!IsMonth(SelMonth) || !IsCell(SelCell)) return;
    // The refresh below runs window code; keep the target named now.
    const int16_t month = SelMonth;
    const int16_t cellNo = SelCell;
    EVItem copy = GridClip.ClipItem;
    copy.SourceKey.clear();
    ListAppend(CurDoc.Months(month).Cells(cellNo), copy);
    SetModified(DocPart::MonthDays, -1, month);
    views().RefreshPane(false, -1);
    views().RedrawDayCell(month, cellNo);

    bool unchanged = false;
    if (IsMonth(GridClip.ClipMonth) && IsCell(GridClip.ClipCell)) {
        const DayCell& source = CurDoc.Months(GridClip.ClipMonth).Cells(GridClip.ClipCell);
        unchanged = InList(source, GridClip.ClipIndex) &&
                    !CompareEVItem(GridClip.ClipItem, source.Items[size_t(GridClip.ClipIndex)]);
    }
    if (unchanged && GridClip.ClipMode == ClipboardMode::Copy) return;
    if (unchanged && GridClip.ClipMode == ClipboardMode::Cut)
        RemoveDayItem(GridClip.ClipMonth, GridClip.ClipCell, false, GridClip.ClipIndex);
    clearClipboard();
}

namespace {

// The sums of a cell's incomes and of its expenses (of those asked for), each rounded and held
// in range as money is added. Read through a const cell: the items a saved copy shares stay
// shared.
void addCellTotals(const DayCell& cell, int32_t* incomes, int32_t* expenses) {
    for (const EVItem& item : cell.Items) {
        if (incomes && item.Kind == ItemKind::Income)
            *incomes = rt::MoneyAdd(*incomes, MoneyAmount(item.Text));
        else if (expenses && item.Kind == ItemKind::Expense)
            *expenses = rt::MoneyAdd(*expenses, MoneyAmount(item.Text));
    }
}

// The month's sums of its day totals, each day rounded and held in range first.
void addMonthTotals(int16_t Month, int32_t* incomes, int32_t* expenses) {
    const MonthRec& month = CurDoc.Months(Month);
    for (int16_t c = kFirstCell; c <= kLastCell; ++c) {
        int32_t in = 0, out = 0;
        addCellTotals(month.Cells(c), incomes ? &in : nullptr, expenses ? &out : nullptr);
        if (incomes) *incomes = rt::MoneyAdd(*incomes, in);
        if (expenses) *expenses = rt::MoneyAdd(*expenses, out);
    }
}

} // namespace

int32_t DayTotal(bool Income, int16_t Month, int16_t Cell) {
    if (!IsMonth(Month) || !IsCell(Cell)) return 0;
    int32_t total = 0;
    addCellTotals(CurDoc.Months(Month).Cells(Cell), Income ? &total : nullptr,
                  Income ? nullptr : &total);
    return total;
}

void MonthTotals(int16_t Month, int32_t& Incomes, int32_t& Expenses) {
    Incomes = 0;
    Expenses = 0;
    if (IsMonth(Month)) addMonthTotals(Month, &Incomes, &Expenses);
}

int32_t SummaryTotal(bool Income, int16_t Range, int16_t Month, int16_t Cell) {
    if (!IsMonth(Month) || Range < 0 || Range > 3) return 0;
    if (Range != 1 && !IsCell(Cell)) return 0;
    if (Range == 0) return DayTotal(Income, Month, Cell);
    int32_t total = 0;
    if (Range == 1) {
        addMonthTotals(Month, Income ? &total : nullptr, Income ? nullptr : &total);
        return total;
    }
    const int wanted = Range == 2 ? 7 : 14;
    const int16_t year = DocumentYear();
    int counted = 0;
    int16_t m = Month;
    int16_t c = Cell;
    for (;;) {
        if (DayOfCell(year, m, c) != 0) {
            total = rt::MoneyAdd(total, DayTotal(Income, m, c));
            if (++counted == wanted) return total;
        }
        if (++c > kLastCell) {
            c = kFirstCell;
            if (++m > 12) return total;
        }
    }
}
