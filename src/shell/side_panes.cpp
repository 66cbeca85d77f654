#include "side_panes.h"

#include "command_enabling.h"
#include "core/numeric.h"
#include "core/resources.h"
#include "core/ui_services.h"
#include "document/balances.h"
#include "document/dates.h"
#include "document/doc_state.h"
#include "document/list_ops.h"
#include "document/money_text.h"
#include "frm_main.h"
#include "summary_pane.h"

namespace {

// Tabs of the navigation panel.
enum Tab : int {
    Summary = 0,
    Birthdays = 1,
    DebtsSavings = 2,
    AutoEvents = 3,
    Events = 4,
    Commands = 5
};

QString T(int id) {
    return rt::LoadResString(id);
}

// The prefix of a kind: "EV", "RE" or "DE". A kind the program does not know (a damaged file)
// is shown as an event, so that its record still has its row.
QString KindPrefix(int32_t Kind) {
    switch (Kind) {
    case ItemKind::Income:
        return T(10017);
    case ItemKind::Expense:
        return T(10018);
    default:
        return T(10019);
    }
}

QString TwoDigits(int16_t Value) {
    return rt::FormatNumber(Value, QStringLiteral("00"));
}

// The recurrence part of an auto-event's row; nothing for a recurrence the program does not
// know.
QString RecurrenceText(const AEItem& Item) {
    const QString dd = TwoDigits(Item.Day);
    const QString wd = GetDayName(Item.Day, false);
    switch (Item.Recurrence) {
    case AERecurrence::Monthly:
        return QStringLiteral("(%1 %2) - ").arg(T(10012), dd);
    case AERecurrence::Weekly:
        return QStringLiteral("(%1 %2) - ").arg(T(10013), wd);
    case AERecurrence::EveryTwoWeeks:
        return QStringLiteral("(%1 %2) - ").arg(T(10014), wd);
    case AERecurrence::Yearly:
        return QStringLiteral("(%1 %2/%3) - ").arg(T(10059), dd, TwoDigits(Item.Month));
    case AERecurrence::Daily:
        return QStringLiteral("(%1) - ").arg(T(10058));
    default:
        return {};
    }
}

// The caption of a balance: "Balance (2004-02-09):".
QString BalanceCaption() {
    return QStringLiteral("%1 (%2):").arg(T(10020), DateToText(CurDate));
}

bool DayIsCurrent() {
    return IsMonth(CurMonth) && IsCell(CurCell);
}

// Sets IsBusy for the life of the object and clears it afterwards, also when a step fails, so
// that the window's handlers do not stay switched off.
struct BusyWhileFilling {
    BusyWhileFilling() { IsBusy = -1; }
    ~BusyWhileFilling() { IsBusy = 0; }
    BusyWhileFilling(const BusyWhileFilling&) = delete;
    BusyWhileFilling& operator=(const BusyWhileFilling&) = delete;
};

} // namespace

QString EVRowText(const EVItem& Item) {
    QString row = QStringLiteral("(%1) - %2").arg(KindPrefix(Item.Kind), Item.Text);
    if (HasMoneyText(Item.Kind)) row += QLatin1Char('$');
    return row;
}

QString AERowText(const AEItem& Item) {
    QString row =
        QStringLiteral("(%1) - %2%3").arg(KindPrefix(Item.Kind), RecurrenceText(Item), Item.Text);
    if (HasMoneyText(Item.Kind)) row += QLatin1Char('$');
    return row;
}

QString DERowText(const DEItem& Item) {
    return QStringLiteral("(%1) - %2$").arg(T(Item.IsSaving != 0 ? 10015 : 10016), Item.Text);
}

QString BDRowText(const BDItem& Item) {
    return QStringLiteral("%1 - (%2)").arg(Item.Name, DateToText(Item.BirthDate));
}

void FillEVList(int16_t Month, int16_t Cell) {
    FrmMainForm& f = FrmMain.get();
    f.LstEV.Clear();
    if (!IsMonth(Month) || !IsCell(Cell)) return;
    int32_t incomes = 0;
    int32_t expenses = 0;
    const DayCell& cell = CurDoc.Months(Month).Cells(Cell);
    for (int i = 0; i < cell.Count && i < int(cell.Items.size()); ++i) {
        const EVItem& item = cell.Items[size_t(i)];
        f.LstEV.setList(i, EVRowText(item));
        if (item.Kind == ItemKind::Income) incomes = rt::MoneyAdd(incomes, MoneyAmount(item.Text));
        if (item.Kind == ItemKind::Expense)
            expenses = rt::MoneyAdd(expenses, MoneyAmount(item.Text));
        f.LstEV.setSelected(i, item.Checked != 0);
    }
    f.LblEVInTot(1).setCaption(AmountText(incomes));
    f.LblEVOutTot(1).setCaption(AmountText(expenses));
    f.LblEVTot(1).setCaption(AmountText(int64_t(incomes) - expenses));
}

void FillAEList() {
    FrmMainForm& f = FrmMain.get();
    f.LstAE.Clear();
    const AEList& list = CurDoc.AutoEvents;
    for (int i = 0; i < list.Count && i < int(list.Items.size()); ++i)
        f.LstAE.setList(i, AERowText(list.Items[size_t(i)]));
}

void FillDEList() {
    FrmMainForm& f = FrmMain.get();
    f.LstDE.Clear();
    const DEList& list = CurDoc.DebtsSavings;
    for (int i = 0; i < list.Count && i < int(list.Items.size()); ++i)
        f.LstDE.setList(i, DERowText(list.Items[size_t(i)]));
}

void FillBDList() {
    FrmMainForm& f = FrmMain.get();
    f.LstBD.Clear();
    const BDList& list = CurDoc.Birthdays;
    for (int i = 0; i < list.Count && i < int(list.Items.size()); ++i)
        f.LstBD.setList(i, BDRowText(list.Items[size_t(i)]));
}

void RefreshPane(bool UpdateToolbar, int16_t SelectIndex) {
    FrmMainForm& f = FrmMain.get();
    const int tab = f.TbMenu.Tab();
    if (tab == Summary || tab == Commands) {
        if (tab == Summary) ComputeSummary();
        UpdateMainControls(UpdateToolbar);
        rt::DoEvents();
        return;
    }
    if (tab < Birthdays || tab > Events) return;

    // Selecting a row raises the list's click, and ticking a row its check: their handlers
    // return at once while IsBusy is set.
    BusyWhileFilling busy;
    rt::ListBox* list = nullptr;
    switch (tab) {
    case Events:
        FillEVList(CurMonth, CurCell);
        list = &f.LstEV;
        break;
    case AutoEvents:
        FillAEList();
        list = &f.LstAE;
        break;
    case DebtsSavings:
        FillDEList();
        list = &f.LstDE;
        break;
    default:
        FillBDList();
        list = &f.LstBD;
        break;
    }
    if (SelectIndex >= 0 && SelectIndex < list->ListCount())
        list->setListIndex(SelectIndex);
    else if (list->ListCount() > 0)
        list->setListIndex(0);
    else
        list->setListIndex(-1);
    UpdateMainControls(UpdateToolbar);
    if (tab == DebtsSavings) ShowDEBalance();
    if (tab == Events) ShowEVBalance();
    rt::DoEvents();
}

void ShowDEBalance() {
    FrmMainForm& f = FrmMain.get();
    f.LblDEBal(0).setVisible(false);
    f.LblDEBal(1).setVisible(false);
    if (!DayIsCurrent()) return;
    const int row = f.LstDE.ListIndex();
    if (!InList(CurDoc.DebtsSavings, row)) return;
    f.LblDEBal(0).setCaption(BalanceCaption());
    f.LblDEBal(1).setCaption(AmountText(DEBalanceAtDate(int16_t(row), CurDate)));
    f.LblDEBal(0).setVisible(true);
    f.LblDEBal(1).setVisible(true);
}

void ShowEVBalance() {
    FrmMainForm& f = FrmMain.get();
    f.LblEVBal(0).setVisible(false);
    f.LblEVBal(1).setVisible(false);
    if (!DayIsCurrent()) return;
    const DayCell& cell = CurDoc.Months(CurMonth).Cells(CurCell);
    const int row = f.LstEV.ListIndex();
    if (!InList(cell, row) || row >= int(cell.Items.size())) return;
    const EVItem& item = cell.Items[size_t(row)];
    // Only incomes and expenses move a debt or saving.
    if (!HasMoneyText(item.Kind)) return;
    const QString name = MoneyName(item.Text);
    const DEList& debts = CurDoc.DebtsSavings;
    for (int i = 0; i < debts.Count && i < int(debts.Items.size()); ++i) {
        if (MoneyName(debts.Items[size_t(i)].Text) != name) continue;
        f.LblEVBal(0).setCaption(BalanceCaption());
        f.LblEVBal(1).setCaption(AmountText(DEBalanceAtDate(int16_t(i), CurDate)));
        f.LblEVBal(0).setVisible(true);
        f.LblEVBal(1).setVisible(true);
        return;
    }
}
