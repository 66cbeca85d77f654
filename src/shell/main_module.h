#pragma once
// Procedures of the program's main module that the main window and the month windows call.
// Each is defined with the part of the program it belongs to.

#include "platform/ui_control.h"
#include "platform/ui_controls.h"
#include "services/shell_services.h"

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
// Follows the printer list from now on (a new answer enables the commands anew, toolbar
// included), asking for it if it has not been asked yet: called as a document begins to load,
// so that the answer is known when its print commands show.
void WatchPrinters();
void ShowEVBalance();
void ShowDEBalance();

// ---- Month windows (the rest in month_fill.h, cell_drawing.h, month_backgrounds.h) ----
// Fills the month windows made so far for the live document and shows the month to open
// first; the others are filled as they are made.
void ShowMonthWindows();
// Fills one month window for the live document: caption, day numbers, colours, background and
// the item lines of its cells.
void FillMonthWindow(int16_t Month);
// Draws the item lines of one day cell from the live document.
void RedrawDayCell(int16_t Month, int16_t Cell);
// One month window: its day numbers, its colours, its background, the item lines of its cells.
void FillMonthDays(int16_t Month);
void ApplyMonthColors(int16_t Month);
void RefreshMonthBackground(int16_t Month);
void RedrawMonthCells(int16_t Month);
// Brings month window Month forward in its normal state, as choosing it in the Window menu does.
void ActivateMonthWindow(int16_t Month);

// ---- Day selection and cell menu ----
void SelectDay(int16_t Month, int16_t Cell);
// Line -1 and no label for the day label; Line 0..6 and the line's label for an item line.
void ShowCellMenu(int16_t Month, int16_t Cell, int16_t Line, rt::Label* Label);

// ---- Shell services: shell_services.h ----

// ---- Document properties and options ----
// Opens the document properties dialog on the live document; after OK rebuilds the month
// windows whose year, colours or background changed. True when the dialog was closed with OK.
bool ShowPropertiesDialog(bool NewDocument);

// ---- About window ----
// Shows the About window modally and releases it.
void ShowAboutForm();
