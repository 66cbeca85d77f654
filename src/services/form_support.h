#pragma once
// Small helpers the dialogs share.

#include "core/picture.h"

#include <QString>
#include <cstdint>

// The display's colours as the dialogs choose their pictures by them: 16, 256, or -1 for more.
int32_t DisplayColours();

// The picture of a dialog's Help button: the icon of the main window's toolbar image "Help"
// (drawn from the same bitmap while the toolbar has no images yet).
rt::Picture HelpButtonPicture();
