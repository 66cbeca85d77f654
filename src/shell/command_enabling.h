#pragma once
// Which commands of the main window can be used and which pages of the navigation panel are
// shown, derived afresh on every call from the application state, the tab shown, the current
// day, the shown list's rows and selection, the printer and the selected day item's picture.
// UpdateMainControls is declared with the other main-module procedures in main_module.h.

#include "main_module.h"
