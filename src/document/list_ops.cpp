#include "list_ops.h"

#include "core/resources.h"
#include "core/ui_services.h"
#include "doc_state.h"
#include "doc_views.h"
#include "modified.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <numeric>

namespace {

template <class List> bool swapIn(List& list, int i, int j) {
    if (!InList(list, i) || !InList(list, j)) return false;
    std::swap(list.Items[size_t(i)], list.Items[size_t(j)]);
    return true;
}

template <class List> void moveIn(List& list, int from, int to, int32_t part) {
    if (!swapIn(list, from, to)) return;
    SetModified(part, -1, 0);
    views().RefreshPane(false, int16_t(to));
}

template <class List> void removeIn(List& list, bool clearAll, int index, int32_t part) {
    if (clearAll) {
        ListClear(list);
    } else {
        if (!InList(list, index)) return;
        ListRemoveAt(list, index);
    }
    SetModified(part, -1, 0);
    if (!clearAll && list.Count > 0)
        views().RefreshPane(false, int16_t(std::min<int>(index, list.Count - 1)));
    else
        views().RefreshPane(false, -1);
}

// Puts the list's items in the order of their sort texts. Returns false, changing nothing,
// when the list has fewer than two items.
template <class List, class TextOf> bool sortIn(List& list, int32_t descending, TextOf textOf) {
    if (list.Count < 2) return false;
    rt::DoEvents();
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::vector<QString> texts;
    texts.reserve(list.Items.size());
    for (const auto& item : list.Items)
        texts.push_back(textOf(item));
    std::vector<size_t> order(texts.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int c = collator.compare(texts[a], texts[b]);
        return descending == 1 ? c > 0 : c < 0;
    });
    decltype(list.Items) sorted;
    sorted.reserve(order.size());
    for (size_t i : order)
        sorted.push_back(std::move(list.Items[i]));
    list.Items = std::move(sorted);
    return true;
}

DayCell* dayCell(int16_t month, int16_t cell) {
    if (!IsMonth(month) || !IsCell(cell)) return nullptr;
    return &CurDoc.Months(month).Cells(cell);
}

} // namespace

void SwapAE(int16_t I, int16_t J) {
    swapIn(CurDoc.AutoEvents, I, J);
}
void MoveAE(int16_t From, int16_t To) {
    moveIn(CurDoc.AutoEvents, From, To, DocPart::AutoEvents);
}
void RemoveAE(bool ClearAll, int16_t Index) {
    removeIn(CurDoc.AutoEvents, ClearAll, Index, DocPart::AutoEvents);
}
void SortAE(int32_t Descending) {
    if (!sortIn(CurDoc.AutoEvents, Descending, [](const AEItem& a) { return a.Text; })) return;
    SetModified(DocPart::AutoEvents, -1, 0);
    views().RefreshPane(false, -1);
}

void SwapBD(int16_t I, int16_t J) {
    swapIn(CurDoc.Birthdays, I, J);
}
void MoveBD(int16_t From, int16_t To) {
    moveIn(CurDoc.Birthdays, From, To, DocPart::Birthdays);
}
void RemoveBD(bool ClearAll, int16_t Index) {
    removeIn(CurDoc.Birthdays, ClearAll, Index, DocPart::Birthdays);
}
void SortBD(int32_t Descending) {
    if (!sortIn(CurDoc.Birthdays, Descending, [](const BDItem& b) { return b.Name; })) return;
    SetModified(DocPart::Birthdays, -1, 0);
    views().RefreshPane(false, -1);
}

void SwapDEItems(int16_t I, int16_t J) {
    swapIn(CurDoc.DebtsSavings, I, J);
}
void MoveDEItem(int16_t From, int16_t To) {
    moveIn(CurDoc.DebtsSavings, From, To, DocPart::DebtsSavings);
}
void RemoveDEItem(bool ClearAll, int16_t Index) {
    removeIn(CurDoc.DebtsSavings, ClearAll, Index, DocPart::DebtsSavings);
}
void SortDEItems(int32_t Descending) {
    if (!sortIn(CurDoc.DebtsSavings, Descending, [](const DEItem& d) { return d.Text; })) return;
    SetModified(DocPart::DebtsSavings, -1, 0);
    views().RefreshPane(false, -1);
}

void SwapDayItems(int16_t Month, int16_t Cell, int16_t I, int16_t J) {
    if (DayCell* cell = dayCell(Month, Cell)) swapIn(*cell, I, J);
}

void MoveDayItem(int16_t Month, int16_t Cell, int16_t From, int16_t To) {
    DayCell* cell = dayCell(Month, Cell);
    if (!cell || !swapIn(*cell, From, To)) return;
    SetModified(DocPart::MonthDays, -1, Month);
    views().RefreshPane(false, To);
    views().RedrawDayCell(Month, Cell);
}

void RemoveDayItem(int16_t Month, int16_t Cell, bool ClearAll, int16_t Index) {
    DayCell* cell = dayCell(Month, Cell);
    if (!cell) return;
    if (ClearAll) {
        ListClear(*cell);
    } else {
        if (!InList(*cell, Index)) return;
        ListRemoveAt(*cell, Index);
    }
    SetModified(DocPart::MonthDays, -1, Month);
    int16_t select = -1;
    // The pane lists the current day, which need not be the day removed from; with no current
    // day (the cell menu's Delete works without one) there is no row to select.
    if (!ClearAll && cell->Count > 0) {
        if (const DayCell* current = dayCell(CurMonth, CurCell))
            select = int16_t(std::min<int>(Index, current->Count - 1));
    }
    views().RefreshPane(false, select);
    views().RedrawDayCell(Month, Cell);
}

void SortDayItems(int16_t Month, int16_t Cell, int32_t Descending) {
    DayCell* cell = dayCell(Month, Cell);
    if (!cell || !sortIn(*cell, Descending, [](const EVItem& e) { return e.Text; })) return;
    views().RedrawDayCell(Month, Cell);
    SetModified(DocPart::MonthDays, -1, Month);
    views().RefreshPane(false, -1);
}

QString GetDayName(int16_t DayIndex, bool LongName) {
    if (DayIndex < 1 || DayIndex > 7) return QString();
    if (LongName) return rt::LoadResString(DayIndex == 1 ? 407 : 399 + DayIndex);
    return rt::LoadResString(10004 + DayIndex);
}
