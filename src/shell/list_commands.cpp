#include "list_commands.h"

#include "core/resources.h"
#include "core/ui_services.h"
#include "document/calendar_entries.h"
#include "document/doc_state.h"
#include "document/list_ops.h"
#include "document/modified.h"
#include "document/records.h"
#include "editors/editors.h"
#include "frm_main.h"
#include "main_module.h"

// Row i of a list is record i of its list; the list operations check their indexes, mark the
// document, refresh the pane and redraw the cell themselves.

namespace {

// The caller's side of an editor: the mode (0 add, 1 edit) and, for an edit, the record go to
// Exchange; true when the editor stored a change.
bool OpenEditor(bool (*Show)(), int32_t Mode, int16_t Index) {
    Exchange.DialogMode = Mode;
    Exchange.DialogResult = 0;
    if (Mode != 0) Exchange.EditIndex = Index;
    return Show();
}

// The row of a record appended to List: its last.
template <class List> int16_t LastRow(const List& list) {
    return int16_t(list.Count - 1);
}

// Item Row of day cell (Month, Cell), or none.
EVItem* DayItemAt(int16_t Month, int16_t Cell, int Row) {
    if (!IsMonth(Month) || !IsCell(Cell)) return nullptr;
    DayCell& cell = CurDoc.Months(Month).Cells(Cell);
    if (!InList(cell, Row) || Row >= int(cell.Items.size())) return nullptr;
    return &cell.Items[size_t(Row)];
}

int32_t SortOrder(int Index) {
    return Index == 0 ? 0 : 1; // 0 A to Z, 1 Z to A
}

void ConfirmUpdate() {
    rt::MsgBox(rt::LoadResString(10057), rt::vbOKOnly + rt::vbInformation,
               QStringLiteral("Mirovanta"));
}

} // namespace

bool StoreEditedPicture(EVItem& Item, const PicEditResult& Result) {
    if (Result.Changed != 1) return false;
    const bool samePicture =
        Item.Picture.sameObject(Result.Picture) || Item.Picture.image() == Result.Picture.image();
    const bool changed = Item.PictureFile != Result.FileName || !samePicture;
    Item.Picture = Result.Picture;
    Item.PictureFile = Result.FileName;
    return changed;
}

void FrmMainForm::bindListEvents() {
    CmdEVAdd.onClick = [this] { CmdEVAdd_Click(); };
    CmdEVEdit.onClick = [this] { CmdEVEdit_Click(); };
    CmdEVRemove.onClick = [this] { CmdEVRemove_Click(); };
    CmdEVShowPic.onClick = [this] { CmdEVShowPic_Click(); };
    CmdEVClear.onClick = [this] { CmdEVClear_Click(); };
    CmdEVUp.onClick = [this] { CmdEVUp_Click(); };
    CmdEVDown.onClick = [this] { CmdEVDown_Click(); };
    CmdAEAdd.onClick = [this] { CmdAEAdd_Click(); };
    CmdAEEdit.onClick = [this] { CmdAEEdit_Click(); };
    CmdAERemove.onClick = [this] { CmdAERemove_Click(); };
    CmdAEClear.onClick = [this] { CmdAEClear_Click(); };
    CmdAEUp.onClick = [this] { CmdAEUp_Click(); };
    CmdAEDown.onClick = [this] { CmdAEDown_Click(); };
    CmdAEUpdate.onClick = [this] { CmdAEUpdate_Click(); };
    CmdDEAdd.onClick = [this] { CmdDEAdd_Click(); };
    CmdDEEdit.onClick = [this] { CmdDEEdit_Click(); };
    CmdDERemove.onClick = [this] { CmdDERemove_Click(); };
    CmdDEClear.onClick = [this] { CmdDEClear_Click(); };
    CmdDEUp.onClick = [this] { CmdDEUp_Click(); };
    CmdDEDown.onClick = [this] { CmdDEDown_Click(); };
    CmdBDAdd.onClick = [this] { CmdBDAdd_Click(); };
    CmdBDEdit.onClick = [this] { CmdBDEdit_Click(); };
    CmdBDRemove.onClick = [this] { CmdBDRemove_Click(); };
    CmdBDClear.onClick = [this] { CmdBDClear_Click(); };
    CmdBDUp.onClick = [this] { CmdBDUp_Click(); };
    CmdBDDown.onClick = [this] { CmdBDDown_Click(); };
    CmdBDUpdate.onClick = [this] { CmdBDUpdate_Click(); };
    for (int i = 0; i <= 1; ++i) {
        CmdEVSort(i).onClick = [this, i] { CmdEVSort_Click(i); };
        CmdAESort(i).onClick = [this, i] { CmdAESort_Click(i); };
        CmdDESort(i).onClick = [this, i] { CmdDESort_Click(i); };
        CmdBDSort(i).onClick = [this, i] { CmdBDSort_Click(i); };
    }
    LstEV.onClick = [this] { LstEV_Click(); };
    LstEV.onDblClick = [this] { LstEV_DblClick(); };
    LstEV.onItemCheck = [this](int item) { LstEV_ItemCheck(item); };
    LstAE.onClick = [this] { LstAE_Click(); };
    LstAE.onDblClick = [this] { LstAE_DblClick(); };
    LstDE.onClick = [this] { LstDE_Click(); };
    LstDE.onDblClick = [this] { LstDE_DblClick(); };
    LstBD.onClick = [this] { LstBD_Click(); };
    LstBD.onDblClick = [this] { LstBD_DblClick(); };
    for (int i = 0; i <= 3; ++i)
        ChkSU(i).onClick = [this, i] { ChkSU_Click(i); };
}

// ---- Events page ----

void FrmMainForm::CmdEVRemove_Click() {
    if (!editing()) return;
    RemoveDayItem(CurMonth, CurCell, false, int16_t(LstEV.ListIndex()));
}

void FrmMainForm::CmdEVShowPic_Click() {
    if (!editing()) return;
    const int16_t month = CurMonth;
    const int16_t cell = CurCell;
    const int row = LstEV.ListIndex();
    const EVItem* item = DayItemAt(month, cell, row);
    if (!item) return;
    const PicEditResult result = EditPicture(item->Picture, item->PictureFile);
    // The item is looked up again: the array may have moved while the editor was open.
    EVItem* target = DayItemAt(month, cell, row);
    if (!target || !StoreEditedPicture(*target, result)) return;
    // The day items carry the picture and its file into the saved document: unmarked, the
    // change would be lost on closing and dropped by a partial save.
    SetModified(DocPart::MonthDays, -1, month);
    UpdateMainControls(false);
}

void FrmMainForm::CmdEVClear_Click() {
    if (!editing()) return;
    RemoveDayItem(CurMonth, CurCell, true, -1);
}

void FrmMainForm::CmdEVUp_Click() {
    if (!editing()) return;
    const auto i = int16_t(LstEV.ListIndex());
    MoveDayItem(CurMonth, CurCell, i, int16_t(i - 1));
}

void FrmMainForm::CmdEVDown_Click() {
    if (!editing()) return;
    const auto i = int16_t(LstEV.ListIndex());
    MoveDayItem(CurMonth, CurCell, i, int16_t(i + 1));
}

void FrmMainForm::CmdEVSort_Click(int Index) {
    if (!editing()) return;
    SortDayItems(CurMonth, CurCell, SortOrder(Index));
}

void FrmMainForm::LstEV_Click() {
    if (!editing()) return;
    if (LstEV.ListCount() >= 1) LstEV.Refresh();
    UpdateMainControls(false);
    ShowEVBalance();
}

void FrmMainForm::LstEV_DblClick() {
    if (!editing()) return;
    if (LstEV.ListCount() < 1 || LstEV.ListIndex() == -1) return;
    // The list changed the row's tick on the double click: setting it back stores it again
    // (ItemCheck), so the tick ends as it was.
    const int row = LstEV.ListIndex();
    LstEV.setSelected(row, !LstEV.Selected(row));
    LstEV.Refresh();
    rt::DoEvents();
    CmdEVEdit_Click();
}

void FrmMainForm::LstEV_ItemCheck(int Item) {
    if (!editing() || LstEV.ListCount() == 0) return;
    EVItem* item = DayItemAt(CurMonth, CurCell, Item);
    if (!item) return;
    SetModified(DocPart::MonthDays, -1, CurMonth);
    item->Checked = LstEV.Selected(Item) ? -1 : 0;
    RedrawDayCell(CurMonth, CurCell);
}

// ---- Auto-events page ----

void FrmMainForm::CmdAEAdd_Click() {
    if (!editing()) return;
    if (!OpenEditor(&ShowAEEditor, 0, 0)) return;
    ApplyAEToCalendar();
    RefreshPane(false, LastRow(CurDoc.AutoEvents));
}

void FrmMainForm::CmdAEEdit_Click() {
    if (!editing()) return;
    const auto row = int16_t(LstAE.ListIndex());
    if (!OpenEditor(&ShowAEEditor, 1, row)) return;
    ApplyAEToCalendar();
    RefreshPane(false, row);
}

void FrmMainForm::CmdAERemove_Click() {
    if (!editing()) return;
    RemoveAE(false, int16_t(LstAE.ListIndex()));
    ApplyAEToCalendar();
}

void FrmMainForm::CmdAEClear_Click() {
    if (!editing()) return;
    RemoveAE(true, -1);
    ApplyAEToCalendar();
}

void FrmMainForm::CmdAEUp_Click() {
    if (!editing()) return;
    const auto i = int16_t(LstAE.ListIndex());
    MoveAE(i, int16_t(i - 1));
}

void FrmMainForm::CmdAEDown_Click() {
    if (!editing()) return;
    const auto i = int16_t(LstAE.ListIndex());
    MoveAE(i, int16_t(i + 1));
}

void FrmMainForm::CmdAESort_Click(int Index) {
    if (!editing()) return;
    SortAE(SortOrder(Index));
}

void FrmMainForm::CmdAEUpdate_Click() {
    if (!editing()) return;
    ApplyAEToCalendar();
    ConfirmUpdate();
}

void FrmMainForm::LstAE_Click() {
    if (!editing()) return;
    UpdateMainControls(false);
}

void FrmMainForm::LstAE_DblClick() {
    if (!editing()) return;
    if (LstAE.ListCount() >= 1 && LstAE.ListIndex() != -1) CmdAEEdit_Click();
}

// ---- Debts and savings page ----
// Debts and savings are never written into the calendar: their commands change the list only.

void FrmMainForm::CmdDEAdd_Click() {
    if (!editing()) return;
    if (!OpenEditor(&ShowDEEditor, 0, 0)) return;
    RefreshPane(false, LastRow(CurDoc.DebtsSavings));
}

void FrmMainForm::CmdDEEdit_Click() {
    if (!editing()) return;
    const auto row = int16_t(LstDE.ListIndex());
    if (!OpenEditor(&ShowDEEditor, 1, row)) return;
    RefreshPane(false, row);
}

void FrmMainForm::CmdDERemove_Click() {
    if (!editing()) return;
    RemoveDEItem(false, int16_t(LstDE.ListIndex()));
}

void FrmMainForm::CmdDEClear_Click() {
    if (!editing()) return;
    RemoveDEItem(true, -1);
}

void FrmMainForm::CmdDEUp_Click() {
    if (!editing()) return;
    const auto i = int16_t(LstDE.ListIndex());
    MoveDEItem(i, int16_t(i - 1));
}

void FrmMainForm::CmdDEDown_Click() {
    if (!editing()) return;
    const auto i = int16_t(LstDE.ListIndex());
    MoveDEItem(i, int16_t(i + 1));
}

void FrmMainForm::CmdDESort_Click(int Index) {
    if (!editing()) return;
    SortDEItems(SortOrder(Index));
}

void FrmMainForm::LstDE_Click() {
    if (!editing()) return;
    ShowDEBalance();
    UpdateMainControls(false);
}

void FrmMainForm::LstDE_DblClick() {
    if (!editing()) return;
    if (LstDE.ListCount() >= 1 && LstDE.ListIndex() != -1) CmdDEEdit_Click();
}

// ---- Birthdays page ----

void FrmMainForm::CmdBDAdd_Click() {
    if (!editing()) return;
    if (!OpenEditor(&ShowBDEditor, 0, 0)) return;
    ApplyBDToCalendar();
    RefreshPane(false, LastRow(CurDoc.Birthdays));
}

void FrmMainForm::CmdBDEdit_Click() {
    if (!editing()) return;
    const auto row = int16_t(LstBD.ListIndex());
    if (!OpenEditor(&ShowBDEditor, 1, row)) return;
    ApplyBDToCalendar();
    RefreshPane(false, row);
}

void FrmMainForm::CmdBDRemove_Click() {
    if (!editing()) return;
    RemoveBD(false, int16_t(LstBD.ListIndex()));
    ApplyBDToCalendar();
}

void FrmMainForm::CmdBDClear_Click() {
    if (!editing()) return;
    RemoveBD(true, -1);
    ApplyBDToCalendar();
}

void FrmMainForm::CmdBDUp_Click() {
    if (!editing()) return;
    const auto i = int16_t(LstBD.ListIndex());
    MoveBD(i, int16_t(i - 1));
}

void FrmMainForm::CmdBDDown_Click() {
    if (!editing()) return;
    const auto i = int16_t(LstBD.ListIndex());
    MoveBD(i, int16_t(i + 1));
}

void FrmMainForm::CmdBDSort_Click(int Index) {
    if (!editing()) return;
    SortBD(SortOrder(Index));
}

void FrmMainForm::CmdBDUpdate_Click() {
    if (!editing()) return;
    ApplyBDToCalendar();
    ConfirmUpdate();
}

void FrmMainForm::LstBD_Click() {
    if (!editing()) return;
    UpdateMainControls(false);
}

void FrmMainForm::LstBD_DblClick() {
    if (!editing()) return;
    if (LstBD.ListCount() >= 1 && LstBD.ListIndex() != -1) CmdBDEdit_Click();
}

// ---- Summary page ----

void FrmMainForm::ChkSU_Click(int Index) {
    if (!editing()) return;
    if (ChkSU(Index).Value() == 0) {
        // The last box ticked cannot be cleared: ticking it again clicks it once more.
        bool anyTicked = false;
        for (int i = 0; i <= 3; ++i)
            anyTicked = anyTicked || ChkSU(i).Value() != 0;
        if (!anyTicked) ChkSU(Index).setValue(1);
        return;
    }
    for (int i = 0; i <= 3; ++i)
        if (i != Index) ChkSU(i).setValue(0);
    RefreshPane(false, -1);
}
