#pragma once
// The picture tools: the brightness pass of the picture editor, and the helpers the picture
// forms share. The chooser and the editor themselves are entered through printing.h.

#include "core/picture.h"
#include "printing.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>

namespace rt {
class PictureBox;
} // namespace rt

// Adds Amount (-100 to 100) to the red, green and blue of every pixel of Pic's picture, each held
// within 0 to 255, column after column, repainting every ten columns. Amount 0 or outside the
// range does nothing.
void AdjustBrightness(int16_t Amount, rt::PictureBox& Pic);
// The pass itself on an image; afterColumn(x) runs after each column x that is a multiple of 10.
void AdjustImageBrightness(QImage& Image, int Amount,
                           const std::function<void(int)>& afterColumn = {});

// The picture of a picture dialog's Help button when it is disabled: the image "Help" of the
// main window's disabled images, else the normal picture (HelpButtonPicture, form_support.h).
rt::Picture HelpDisabledPicture();

// A run-time error as the dialogs report it: Lead (when not empty) and an empty line, then
// text 10038 with the number and text 10039 with the description, lines joined by carriage
// returns.
QString ErrorReportText(const QString& Lead, int32_t Number, const QString& Description);
