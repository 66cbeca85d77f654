#pragma once
// Small helpers the dialogs share.

#include "core/picture.h"

#include <QString>
#include <cstdint>
#include <optional>

// The display's colours as the dialogs choose their pictures by them: 16, 256, or -1 for more.
int32_t DisplayColours();

// The icon of the main window's toolbar image "Help", from its normal or its disabled images;
// nothing while that image list has no such image.
std::optional<rt::Picture> ToolbarHelpIcon(bool Disabled);

// The picture of a dialog's Help button: the icon of the main window's toolbar image "Help"
// (drawn from the same bitmap while the toolbar has no images yet).
rt::Picture HelpButtonPicture();
