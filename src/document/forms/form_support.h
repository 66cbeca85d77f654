#pragma once
// Small helpers of the document's dialogs.

#include "platform/picture.h"

#include <QString>
#include <cstdint>

// The display's colours as the dialogs choose their pictures by them: 16, 256, or -1 for more.
int32_t DisplayColours();

// Opens a topic of the program's help file ("Html\d_asksave.htm").
void OpenHelpTopic(const QString& Topic);

// The picture of a dialog's Help button: the main toolbar's Help image.
rt::Picture HelpButtonPicture();
