#pragma once
// The splash window shown during start-up: the splash picture, a status line and the progress
// bar that start-up moves from 25 to 100.

#include "platform/ui_common_controls.h"
#include "platform/ui_controls.h"
#include "platform/ui_form.h"

class FrmSplashForm : public rt::Form {
public:
    FrmSplashForm();

    rt::Image ImgSplash{*this, QStringLiteral("ImgSplash")};
    rt::Label LblStatus{*this, QStringLiteral("LblStatus")};
    rt::ProgressBar PBar1{*this, QStringLiteral("PBar1")};

    void Form_Load() override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    // Picture and status text, by the colour depth of the display.
    void SetupSplash();
};

extern rt::FormSlot<FrmSplashForm> FrmSplash;

// The resource id of a picture kept in three colour depths: Base + 2 for 16 colours, Base + 1
// for 256 colours, Base for more (Colours as GetDisplayColors gives them: 16, 256 or -1).
int PictureIdForColours(int Base, int32_t Colours);
