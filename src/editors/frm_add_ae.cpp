#include "frm_add_ae.h"

#include "core/numeric.h"
#include "core/ui_services.h"
#include "document/compare.h"
#include "document/doc_state.h"
#include "document/money_text.h"
#include "editors.h"

#include <algorithm>

rt::FormSlot<FrmAddAEForm> FrmAddAE{"FrmAddAE"};

namespace {

// The kind of a linked entry: adding to a debt's balance is an income, deducting an expense;
// for a saving the other way round.
int32_t LinkedKind(int16_t IsSaving, bool Add) {
    if (IsSaving == 0) return Add ? ItemKind::Income : ItemKind::Expense;
    return Add ? ItemKind::Expense : ItemKind::Income;
}

// IsBusy while code fills the controls, cleared however the filling ends.
struct BusyWhileFilling {
    BusyWhileFilling() { IsBusy = -1; }
    ~BusyWhileFilling() { IsBusy = 0; }
};

} // namespace

FrmAddAEForm::FrmAddAEForm() : EditorForm(QStringLiteral("FrmAddAE")) {
    TbAddAE.Move(120, 120, 5055, 4380);
    StyleText(TbAddAE);
    PicTab.forEach([](int, rt::PictureBox& page) {
        page.Move(0, 0, 4980, 3960);
        StylePanel(page);
    });
    layoutGeneralPage();
    layoutRecurrencePage();
    layoutRangePage();
    LayoutFrame(TbAddAE);
    SetFocusOrder({&ChkGen,   &ChkEV(0), &ChkEV(1), &ChkEV(2),  &TxtEV(0), &TxtEV(1), &CmbDE,
                   &TxtDE(0), &ChkDE(0), &ChkDE(1), &ChkAE(3),  &ChkAE(0), &CmbAE(0), &ChkAE(1),
                   &CmbAE(1), &ChkAE(2), &CmbAE(2), &ChkAE(4),  &CmbAE(4), &CmbAE(5), &DtRG(0),
                   &DtRG(1),  &CmdHelp,  &CmdOk,    &CmdCancel, &TbAddAE});

    // The state every opening starts from: the free-entry panel shown.
    PicGen(1).setVisible(false);
    PicGen(2).setVisible(false);
    TxtEV(0).setMaxLength(17);
    TxtEV(1).setMaxLength(6);
    TxtDE(0).setMaxLength(6);
    // The description goes into the document, held in Windows-1252.
    TxtEV(0).setCp1252Only(true);
    BindAmountBox(TxtEV(1));
    BindAmountBox(TxtDE(0));
    TxtEV(1).setText(QStringLiteral("0"));
    TxtDE(0).setText(QStringLiteral("0"));

    ChkGen.onClick = [this] { ChkGen_Click(); };
    CmbDE.onClick = [this] { CmbDE_Click(); };
    for (int i = 0; i <= 2; ++i)
        ChkEV(i).onClick = [this, i] { ChkEV_Click(i); };
    for (int i = 0; i <= 1; ++i) {
        TxtEV(i).onChange = [this, i] { TxtEV_Change(i); };
        ChkDE(i).onClick = [this, i] { ChkDE_Click(i); };
        DtRG(i).onChange = [this, i] { DtRG_Change(i); };
    }
    TxtDE(0).onChange = [this] { TxtDE_Change(0); };
    for (int i = 0; i <= 4; ++i)
        ChkAE(i).onClick = [this, i] { ChkAE_Click(i); };
    CmbAE.forEach(
        [this](int i, rt::ComboBox& combo) { combo.onClick = [this, i] { CmbAE_Click(i); }; });
    TbAddAE.onTabClick = [this](int previous) { TbAddAE_Click(previous); };
}

void FrmAddAEForm::layoutGeneralPage() {
    LblGenSect(0).Move(120, 120, 4680, 255);
    ChkGen.Move(240, 480, 4560, 285);
    PicGen.forEach([](int, rt::PictureBox& panel) {
        panel.Move(120, 900, 4740, 2940);
        StylePanel(panel);
    });
    for (int i = 0; i <= 3; ++i) {
        LblGenSect(i).Move(0, i == 0 ? 120 : 0, 4680, 255);
        StyleHeading(LblGenSect(i));
    }
    LblGenSect(0).setLeft(120);

    // Free entry.
    ChkEV(0).Move(120, 360, 1440, 285);
    ChkEV(1).Move(1680, 360, 1440, 285);
    ChkEV(2).Move(3240, 360, 1440, 285);
    LblEV(0).Move(120, 780, 4440, 225);
    TxtEV(0).Move(120, 1020, 2520, 315);
    LblEV(1).Move(120, 1440, 4440, 225);
    TxtEV(1).Move(120, 1680, 1200, 315);

    // Linked entry.
    LblDE(0).Move(120, 360, 4440, 225);
    CmbDE.Move(120, 600, 2520, 315);
    LblDE(1).Move(120, 1020, 4440, 225);
    TxtDE(0).Move(120, 1260, 1200, 315);
    ChkDE(0).Move(120, 1680, 4440, 285);
    ChkDE(1).Move(120, 2010, 4440, 285);

    // The hint.
    LblDE(4).Move(120, 360, 4440, 1200);
    LblDE(4).setWordWrap(true);

    StyleText(ChkGen);
    for (int i = 0; i <= 2; ++i)
        StyleText(ChkEV(i));
    for (int i = 0; i <= 1; ++i) {
        StyleText(LblEV(i));
        StyleEntry(TxtEV(i));
        StyleText(ChkDE(i));
    }
    for (int i : {0, 1, 4})
        StyleText(LblDE(i));
    StyleEntry(CmbDE);
    StyleEntry(TxtDE(0));
    CmbDE.setStyle(rt::vbComboDropdownList);
}

QString FrmAddAEForm::HelpTopic() const {
    switch (TbAddAE.Tab()) {
    case 1:
        return QStringLiteral("Html\\d_addae_ae.htm");
    case 2:
        return QStringLiteral("Html\\d_addae_rg.htm");
    default:
        return QStringLiteral("Html\\d_addae_gen.htm");
    }
}

void FrmAddAEForm::LoadAndFill() {
    // The snapping starts from the dates filled in now.
    rangeShown_[0] = rangeShown_[1] = QDate();
    {
        BusyWhileFilling busy;
        LoadCaptions();
        FillDialog();
    }
    DtRG_Change(0);
    DtRG_Change(1);
}

void FrmAddAEForm::TbAddAE_Click(int) {
    EnablePages(PicTab, TbAddAE.Tab());
}

// ---- General page ----

void FrmAddAEForm::ChkEV_Click(int Index) {
    if (!ticked(ChkEV(Index))) {
        if (!ticked(ChkEV(0)) && !ticked(ChkEV(1)) && !ticked(ChkEV(2)))
            ChkEV(Index).setValue(rt::vbChecked);
        return;
    }
    for (int i = 0; i <= 2; ++i)
        if (i != Index) ChkEV(i).setValue(rt::vbUnchecked);
    if (Index == 0 || Index == 1) {
        // An income or expense carries a name of 10 characters in its money text.
        TxtEV(0).setMaxLength(10);
        TxtEV(0).setText(rt::TrimBlanks(TxtEV(0).Text().left(10)));
        TxtEV(1).setEnabled(true);
        TxtEV(1).setBackColor(rt::vbWindowBackground);
    } else {
        TxtEV(0).setMaxLength(17);
        TxtEV(1).setEnabled(false);
        TxtEV(1).setBackColor(rt::vbButtonFace);
    }
}

void FrmAddAEForm::ChkDE_Click(int Index) {
    rt::CheckBox& other = ChkDE(1 - Index);
    if (ticked(ChkDE(Index)) && ticked(other))
        other.setValue(rt::vbUnchecked);
    else if (!ticked(ChkDE(Index)) && !ticked(other))
        ChkDE(Index).setValue(rt::vbChecked);
}

void FrmAddAEForm::ChkGen_Click() {
    const bool linked = ticked(ChkGen);
    const int names = CmbDE.ListCount();
    PicGen(0).setVisible(!linked);
    PicGen(1).setVisible(linked && names > 0);
    PicGen(2).setVisible(linked && names == 0);
    if (linked) {
        CmdOk.setEnabled(CmbDE.ListIndex() != -1 && names > 0);
        return;
    }
    // A free description that names a debt or saving cannot be stored as a free entry.
    CmdOk.setEnabled(true);
    if (TxtEV(0).Text().isEmpty() || names == 0) return;
    for (int i = 0; i < CmbDE.ListCount(); ++i) {
        if (CmbDE.List(i) == TxtEV(0).Text()) {
            CmbDE.setListIndex(i);
            CmdOk.setEnabled(false);
        }
    }
}

void FrmAddAEForm::CmbDE_Click() {
    CmdOk.setEnabled(!ticked(ChkGen) || (CmbDE.ListIndex() != -1 && CmbDE.ListCount() > 0));
}

void FrmAddAEForm::TxtEV_Change(int Index) {
    if (Index == 0) {
        const QString text = TxtEV(0).Text();
        if (text.isEmpty() || ticked(ChkGen) || CmbDE.ListCount() == 0) return;
        CmdOk.setEnabled(true);
        // Typing a debt's or saving's name links the entry to it; the last match wins.
        for (int i = 0; i < CmbDE.ListCount(); ++i) {
            if (CmbDE.List(i) == text) {
                CmbDE.setListIndex(i);
                ChkGen.setValue(rt::vbChecked);
            }
        }
    } else if (Index == 1) {
        ApplyAmountFilter(TxtEV(1));
        if (CmbDE.ListCount() >= 1 && TxtDE(0).Text() != TxtEV(1).Text())
            TxtDE(0).setText(TxtEV(1).Text());
    }
}

void FrmAddAEForm::TxtDE_Change(int Index) {
    if (Index != 0) return;
    ApplyAmountFilter(TxtDE(0));
    if (TxtEV(1).Text() != TxtDE(0).Text()) TxtEV(1).setText(TxtDE(0).Text());
}

// ---- The record ----

void FrmAddAEForm::FillDialog() {
    const DEList& debts = CurDoc.DebtsSavings;
    for (int16_t i = 0; i < debts.Count && size_t(i) < debts.Items.size(); ++i)
        CmbDE.AddItem(MoneyName(debts.Items[size_t(i)].Text));

    const AEList& list = CurDoc.AutoEvents;
    if (IsEdit() && InList(list, OpenIndex())) {
        const AEItem& r = list.Items[size_t(OpenIndex())];
        if (r.Kind == ItemKind::Income)
            ChkEV(0).setValue(rt::vbChecked);
        else if (r.Kind == ItemKind::Expense)
            ChkEV(1).setValue(rt::vbChecked);
        else if (r.Kind == ItemKind::Event)
            ChkEV(2).setValue(rt::vbChecked);
        const bool money = r.Kind == ItemKind::Income || r.Kind == ItemKind::Expense;
        // A name that a debt or saving bears links the entry to it (TxtEV_Change).
        TxtEV(0).setText(money ? MoneyName(r.Text) : rt::TrimBlanks(r.Text));
        ChkDE(0).setValue(rt::vbChecked);
        rt::DoEvents();
        const int linked = CmbDE.ListIndex();
        if (ticked(ChkGen) && InList(debts, linked)) {
            const bool add = LinkedKind(debts.Items[size_t(linked)].IsSaving, true) == r.Kind;
            const bool deduct = LinkedKind(debts.Items[size_t(linked)].IsSaving, false) == r.Kind;
            if (add) ChkDE(0).setValue(rt::vbChecked);
            if (deduct) ChkDE(1).setValue(rt::vbChecked);
        }
        TxtEV(1).setText(money ? rt::TrimBlanks(r.Text.mid(10)) : QStringLiteral("0"));
        EndAmountEntry(TxtEV(1));

        // Day and month from a damaged file may lie beyond the combos: the nearest row.
        auto row = [this](int combo, int value) {
            return std::clamp(value - 1, 0, CmbAE(combo).ListCount() - 1);
        };
        for (int i : {0, 1, 2, 4, 5})
            CmbAE(i).setListIndex(0);
        switch (r.Recurrence) {
        case AERecurrence::Monthly:
            ChkAE(0).setValue(rt::vbChecked);
            CmbAE(0).setListIndex(row(0, r.Day));
            break;
        case AERecurrence::Weekly:
            ChkAE(1).setValue(rt::vbChecked);
            CmbAE(1).setListIndex(row(1, r.Day));
            break;
        case AERecurrence::EveryTwoWeeks:
            ChkAE(2).setValue(rt::vbChecked);
            CmbAE(2).setListIndex(row(2, r.Day));
            break;
        case AERecurrence::Daily:
            ChkAE(3).setValue(rt::vbChecked);
            break;
        case AERecurrence::Yearly:
            ChkAE(4).setValue(rt::vbChecked);
            CmbAE(4).setListIndex(row(4, r.Day));
            CmbAE(5).setListIndex(row(5, r.Month));
            break;
        default:
            // An unknown recurrence ticks no box; the user picks one.
            break;
        }
        DtRG(0).setValue(PickerDate(r.StartDate));
        DtRG(1).setValue(PickerDate(r.EndDate));
    } else {
        ChkGen.setValue(rt::vbUnchecked);
        ChkEV(2).setValue(rt::vbChecked);
        ChkDE(0).setValue(rt::vbChecked);
        TxtEV(0).setText(QString());
        TxtEV(1).setText(QStringLiteral("0"));
        for (int i : {0, 1, 2, 4, 5})
            CmbAE(i).setListIndex(0);
        ChkAE(0).setValue(rt::vbChecked);
        // The whole document year.
        const int16_t year = EditorDocumentYear();
        DtRG(0).setValue(QDate(year, 1, 1));
        DtRG(1).setValue(QDate(year, 12, DaysInMonth(year, 12)));
    }
    EnablePages(PicTab, TbAddAE.Tab());
}

void FrmAddAEForm::StoreItem() {
    AEItem n;
    QString name;
    if (!ticked(ChkGen)) {
        name = rt::TrimBlanks(TxtEV(0).Text());
        if (ticked(ChkEV(0))) n.Kind = ItemKind::Income;
        if (ticked(ChkEV(1))) n.Kind = ItemKind::Expense;
        if (ticked(ChkEV(2))) n.Kind = ItemKind::Event;
    } else {
        const int linked = CmbDE.ListIndex();
        if (!InList(CurDoc.DebtsSavings, linked)) {
            // OK is disabled while no debt or saving is chosen; nothing to store without one.
            Exchange.DialogResult = 0;
            return;
        }
        name = CmbDE.List(linked);
        n.Kind = LinkedKind(CurDoc.DebtsSavings.Items[size_t(linked)].IsSaving, ticked(ChkDE(0)));
    }
    n.Text = n.Kind == ItemKind::Event ? rt::TrimBlanks(TxtEV(0).Text())
                                       : MakeMoneyText(name, AmountFilterText(TxtEV(1).Text()));

    const struct {
        int box;
        int32_t recurrence;
        int dayCombo; // -1: no day
        int monthCombo;
    } rules[] = {
        {0, AERecurrence::Monthly, 0, -1},       {1, AERecurrence::Weekly, 1, -1},
        {2, AERecurrence::EveryTwoWeeks, 2, -1}, {3, AERecurrence::Daily, -1, -1},
        {4, AERecurrence::Yearly, 4, 5},
    };
    for (const auto& rule : rules) {
        if (!ticked(ChkAE(rule.box))) continue;
        n.Recurrence = rule.recurrence;
        n.Day = rule.dayCombo < 0 ? 0 : int16_t(CmbAE(rule.dayCombo).ListIndex() + 1);
        n.Month = rule.monthCombo < 0 ? 0 : int16_t(CmbAE(rule.monthCombo).ListIndex() + 1);
    }
    n.StartDate = DateOfPicker(DtRG(0));
    n.EndDate = DateOfPicker(DtRG(1));

    // A stored change always takes a new key: the day items of the old one go at the next apply.
    auto key = [](AEItem& record, const AEItem&) {
        return IssueKey(CurDoc.AutoEvents.NextKey, QStringLiteral("AE"), record.Key);
    };
    StoreListRecord<AEList, AEItem>(CurDoc.AutoEvents, OpenMode(), OpenIndex(), n, &CompareAEItem,
                                    key, DocPart::AutoEvents);
}

bool ShowAEEditor() {
    FrmAddAE->Show(rt::vbModal);
    FrmAddAE.release();
    return Exchange.DialogResult == 1;
}
