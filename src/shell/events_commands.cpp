// The Add and Edit buttons of the events page: the caller's side of the day-item editor. The
// month windows' cell menu reaches them too, after making the clicked day current.

#include "document/doc_state.h"
#include "editors/editors.h"
#include "frm_main.h"
#include "main_module.h"

void FrmMainForm::CmdEVAdd_Click() {
    if (!editing()) return;
    // The events page shows its buttons only for a current day; the editor needs one.
    if (!IsMonth(CurMonth) || !IsCell(CurCell)) return;
    Exchange.DialogMode = 0;
    Exchange.DialogResult = 0;
    if (!ShowEVEditor()) return;
    // The list still shows the rows from before the add: its count is the new item's row.
    RefreshPane(false, int16_t(LstEV.ListCount()));
    RedrawDayCell(CurMonth, CurCell);
}

void FrmMainForm::CmdEVEdit_Click() {
    if (!editing()) return;
    if (!IsMonth(CurMonth) || !IsCell(CurCell)) return;
    const int16_t index = int16_t(LstEV.ListIndex());
    Exchange.DialogMode = 1;
    Exchange.DialogResult = 0;
    Exchange.EditIndex = index;
    if (!ShowEVEditor()) return;
    RefreshPane(false, index);
    RedrawDayCell(CurMonth, CurCell);
}
