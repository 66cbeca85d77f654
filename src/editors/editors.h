#pragma once
// Entry points of the list editors for their callers (the main window's list panes).
//
// The caller first sets Exchange.DialogMode (0 add, 1 edit), for an edit Exchange.EditIndex (the
// record's index in its list) and Exchange.DialogResult 0. Each function shows its editor
// modally, releases it when it closes, and returns true when the editor stored a change
// (Exchange.DialogResult 1): the caller then re-applies auto-events or birthdays to the
// calendar and refreshes its pane.

// The auto-event editor FrmAddAE, on CurDoc.AutoEvents.
bool ShowAEEditor();
// The birthday editor FrmAddBD, on CurDoc.Birthdays.
bool ShowBDEditor();
// The debt/saving editor FrmAddDE, on CurDoc.DebtsSavings.
bool ShowDEEditor();
// The day-item editor FrmAddEV, on the items of the current day (CurMonth, CurCell).
bool ShowEVEditor();
