#pragma once
// The hand-off around the document properties dialog: ShowPropertiesDialog (main_module.h)
// keeps a copy of the live document, runs the dialog, and after OK on an open document rebuilds
// the month windows whose year, colours or background changed, then refreshes the side pane and
// the main window's caption.

#include "document/records.h"

#include <cstdint>
#include <functional>

// True when month window Month must be rebuilt after the dialog turned Before into After: the
// year text changed; the month switched between its own colours (or background) and the
// default ones; or the colours (background) it shows afterwards, the defaults or its own,
// differ from before.
bool MonthNeedsRebuild(const CalDocument& Before, const CalDocument& After, int16_t Month);

// The dialog as ShowPropertiesDialog runs it: by default RunPropertiesDialog (main_module.h).
// Tests put a double in its place; an empty function restores the default. Returns the
// previous one.
std::function<void()> setPropertiesDialogRunner(std::function<void()> Runner);
