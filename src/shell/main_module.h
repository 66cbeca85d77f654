#pragma once
// Procedures of the program's main module that the main window and the month windows call.
// Each is defined with the part of the program it belongs to.

#include "platform/ui_control.h"
#include "platform/ui_controls.h"
#include "printing/print_run.h"
#include "shell_services.h"

#include <QString>
#include <cstdint>

// ---- Application state and navigation panel ----
// 1 "Edit", 2 "Load" (loading view), 3 "Logo" (logo view); any other value hides the views.
void SetMainMode(int32_t Mode);
// Expands the navigation panel at once, or collapses it at once or after one second.
void SetNavPanel(bool Expand, bool Immediate);

// ---- Start-up and shutdown ----
void ShutdownApp();

// ---- Side panes and command enabling ----
void RefreshPane(bool UpdateToolbar, int16_t SelectIndex);
void UpdateMainControls(bool UpdateToolbar);
void ShowEVBalance();
void ShowDEBalance();

// ---- Month windows (the rest in month_fill.h, cell_drawing.h, month_backgrounds.h) ----
// Fills the twelve month windows for the live document and shows the month to open first.
void ShowMonthWindows();
// Draws the item lines of one day cell from the live document.
void RedrawDayCell(int16_t Month, int16_t Cell);
// One month window: its day numbers, its colours, its background, the item lines of its cells.
void FillMonthDays(int16_t Month);
void ApplyMonthColors(int16_t Month);
void RefreshMonthBackground(int16_t Month);
void RedrawMonthCells(int16_t Month);

// ---- Alarm window ----
// Shows the alarm of item Index of day cell (Month, Cell) modally; true when it changed the item.
bool ShowAlarm(int16_t Month, int16_t Cell, int16_t Index);

// ---- Day selection and cell menu ----
void SelectDay(int16_t Month, int16_t Cell);
// Line -1 and no label for the day label; Line 0..6 and the line's label for an item line.
void ShowCellMenu(int16_t Month, int16_t Cell, int16_t Line, rt::Label* Label);

// ---- Shell services: shell_services.h ----

// ---- Document properties and options ----
// Opens the document properties dialog on the live document; after OK rebuilds the month
// windows whose year, colours or background changed. True when the dialog was closed with OK.
bool ShowPropertiesDialog(bool NewDocument);
// Show the document properties dialog FrmProp / the options dialog FrmOpt modally and release
// the instance once it has closed. Closed with OK, the dialog leaves Exchange.DialogResult 1.
void RunPropertiesDialog();
void RunOptionsDialog();

// ---- Printing and the summary chart ----
// ShowPrintPreview and PrintCalendar: printing/print_run.h.
// Shows the summary chart FrmSUChart modally and releases the instance once it has closed.
void RunSummaryChart();

// ---- About window ----
// Shows the About window modally and releases it.
void ShowAboutForm();
