#pragma once
// The application state, held in the main window's tag, and the navigation panel.
//
//   ""        the main window has just loaded
//   "Logo"    no document is open; the logo view is shown          (SetMainMode(3))
//   "Load"    a document is being read, written or rebuilt          (SetMainMode(2))
//   "Edit"    a document is open; the month windows fill the window (SetMainMode(1))
//   "Unload"  the program is closing                                (ShutdownApp)
//
// SetMainMode and SetNavPanel are declared with the other main-module procedures in
// main_module.h.

#include "main_module.h"

#include <QString>

// The state, read without creating the main window ("" when it does not exist).
QString AppState();

// Widths of the navigation panel, in twips.
inline constexpr int kNavPanelExpanded = 4000;
inline constexpr int kNavPanelCollapsed = 500;
