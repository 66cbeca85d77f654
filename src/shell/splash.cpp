#include "splash.h"

#include "common_sys_info.h"
#include "core/resources.h"
#include "core/system.h"
#include "main_module.h"

rt::FormSlot<FrmSplashForm> FrmSplash{"FrmSplash"};

int PictureIdForColours(int Base, int32_t Colours) {
    if (Colours == 16) return Base + 2;
    if (Colours == 256) return Base + 1;
    return Base;
}

FrmSplashForm::FrmSplashForm() : rt::Form(QStringLiteral("FrmSplash")) {
    // The picture is 399 x 281 pixels; the status line and the progress bar lie under it.
    constexpr int kPictureWidth = 399 * rt::kTwipsPerPixel;
    constexpr int kPictureHeight = 281 * rt::kTwipsPerPixel;
    setBorderStyle(rt::vbBSNone);
    setBackColor(rt::vbWhite);
    setKeyPreview(true);
    ImgSplash.Move(0, 0, kPictureWidth, kPictureHeight);
    LblStatus.Move(120, kPictureHeight + 90, kPictureWidth - 240, 255);
    LblStatus.setBackStyle(0);
    LblStatus.setAlignment(rt::vbCenter);
    PBar1.Move(120, kPictureHeight + 420, kPictureWidth - 240, 240);
    PBar1.setMin(0);
    PBar1.setMax(100);

    const int width = kPictureWidth;
    const int height = kPictureHeight + 780;
    // Centred on the screen.
    const QSize screen = rt::sys().screenSize();
    const int left = std::max(0, (rt::PixelsToTwips(screen.width()) - width) / 2);
    const int top = std::max(0, (rt::PixelsToTwips(screen.height()) - height) / 2);
    Move(left, top, width, height);
}

void FrmSplashForm::Form_Load() {
    SetupSplash();
}

void FrmSplashForm::SetupSplash() {
    const int32_t colours = GetDisplayColors();
    ImgSplash.setPicture(rt::LoadResPicture(PictureIdForColours(101, colours), rt::vbResBitmap));
    LblStatus.setCaption(rt::LoadResString(101));
}

void FrmSplashForm::Form_KeyDown(int& KeyCode, int /*Shift*/) {
    if (KeyCode == rt::vbKeyF1) ShowHelp(QStringLiteral("Html\\d_splash.htm"));
}
