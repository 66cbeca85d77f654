#pragma once
// Procedures of the program's main module that the main window and the month windows call.
// Each is defined with the part of the program it belongs to.

#include "platform/ui_control.h"
#include "platform/ui_controls.h"

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

// ---- Month windows ----
// Fills the twelve month windows for the live document and shows the month to open first.
void ShowMonthWindows();
void RedrawDayCell(int16_t Month, int16_t Cell);

// ---- Alarm window ----
// Shows the alarm of item Index of day cell (Month, Cell) modally; true when it changed the item.
bool ShowAlarm(int16_t Month, int16_t Cell, int16_t Index);

// ---- Day selection and cell menu ----
void SelectDay(int16_t Month, int16_t Cell);
// Line -1 and no label for the day label; Line 0..6 and the line's label for an item line.
void ShowCellMenu(int16_t Month, int16_t Cell, int16_t Line, rt::Label* Label);

// ---- Shell services ----
void CenterInContainer(rt::Control& Obj, rt::Control& Container);
void ShowHelp(const QString& Topic);
bool ShowOptionsDialog();
bool ShowPropertiesDialog(bool NewDocument);
// Shows the About window modally and releases it.
void ShowAboutForm();
