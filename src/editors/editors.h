#pragma once
// Entry points of the editors for their callers: the list editors of the main window's list
// panes, and the alarm window.
//
// The caller first sets Exchange.DialogMode (0 add, 1 edit), for an edit Exchange.EditIndex (the
// record's index in its list) and Exchange.DialogResult 0. Each function shows its editor
// modally, releases it when it closes, and returns true when the editor stored a change
// (Exchange.DialogResult 1): the caller then re-applies auto-events or birthdays to the
// calendar and refreshes its pane.

#include <cstdint>

// The auto-event editor FrmAddAE, on CurDoc.AutoEvents.
bool ShowAEEditor();
// The birthday editor FrmAddBD, on CurDoc.Birthdays.
bool ShowBDEditor();
// The debt/saving editor FrmAddDE, on CurDoc.DebtsSavings.
bool ShowDEEditor();
// The day-item editor FrmAddEV, on the items of the current day (CurMonth, CurCell).
bool ShowEVEditor();

// The alarm window FrmAlarm, shown modally for item Index of day cell (Month, Cell); true when
// it changed the item.
bool ShowAlarm(int16_t Month, int16_t Cell, int16_t Index);

// Loads the editors' fonts and draws their common letters once, off screen, so that the first
// editor opened finds them ready; for a moment when nothing else is waiting.
void WarmEditorFonts();
