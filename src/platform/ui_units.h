#pragma once
// Units and codes of the user-interface runtime: positions and sizes in twips (15 per pixel),
// colours as 0x00BBGGRR values (a value with the high bit set names a system colour), mouse
// buttons, shift states and key codes as the program's handlers receive them.

#include <QColor>
#include <QPalette>
#include <QRect>
#include <Qt>
#include <cstdint>

class QKeyEvent;

namespace rt {

// ---- Twips -------------------------------------------------------------------------------
inline constexpr int kTwipsPerPixel = 15;

// Twips to whole pixels, to the nearest pixel (halves away from zero; geometry only).
int TwipsToPixels(double twips);
inline constexpr int PixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}
QRect TwipsToPixels(int left, int top, int width, int height);

// ---- Colours -----------------------------------------------------------------------------
// A colour value: red in the low byte, then green, then blue; 0x80000000 + n is system colour n.
using OleColor = int32_t;

inline constexpr OleColor RGB(int red, int green, int blue) {
    return OleColor((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
inline constexpr OleColor systemColor(int n) {
    return OleColor(0x80000000u | unsigned(n));
}

inline constexpr OleColor vbBlack = RGB(0, 0, 0);
inline constexpr OleColor vbWhite = RGB(255, 255, 255);
inline constexpr OleColor vbRed = RGB(255, 0, 0);
inline constexpr OleColor vbGreen = RGB(0, 255, 0);
inline constexpr OleColor vbBlue = RGB(0, 0, 255);
inline constexpr OleColor vbYellow = RGB(255, 255, 0);
inline constexpr OleColor vbMagenta = RGB(255, 0, 255);
inline constexpr OleColor vbCyan = RGB(0, 255, 255);

inline constexpr OleColor vbScrollBars = systemColor(0x00);
inline constexpr OleColor vbDesktop = systemColor(0x01);
inline constexpr OleColor vbActiveTitleBar = systemColor(0x02);
inline constexpr OleColor vbInactiveTitleBar = systemColor(0x03);
inline constexpr OleColor vbMenuBar = systemColor(0x04);
inline constexpr OleColor vbWindowBackground = systemColor(0x05);
inline constexpr OleColor vbWindowFrame = systemColor(0x06);
inline constexpr OleColor vbMenuText = systemColor(0x07);
inline constexpr OleColor vbWindowText = systemColor(0x08);
inline constexpr OleColor vbTitleBarText = systemColor(0x09);
inline constexpr OleColor vbActiveBorder = systemColor(0x0A);
inline constexpr OleColor vbInactiveBorder = systemColor(0x0B);
inline constexpr OleColor vbApplicationWorkspace = systemColor(0x0C);
inline constexpr OleColor vbHighlight = systemColor(0x0D);
inline constexpr OleColor vbHighlightText = systemColor(0x0E);
inline constexpr OleColor vbButtonFace = systemColor(0x0F);
inline constexpr OleColor vbButtonShadow = systemColor(0x10);
inline constexpr OleColor vbGrayText = systemColor(0x11);
inline constexpr OleColor vbButtonText = systemColor(0x12);
inline constexpr OleColor vbInactiveCaptionText = systemColor(0x13);
inline constexpr OleColor vb3DHighlight = systemColor(0x14);
inline constexpr OleColor vb3DDKShadow = systemColor(0x15);
inline constexpr OleColor vb3DLight = systemColor(0x16);
inline constexpr OleColor vbInfoText = systemColor(0x17);
inline constexpr OleColor vbInfoBackground = systemColor(0x18);

inline constexpr bool isSystemColor(OleColor c) {
    return (uint32_t(c) & 0x80000000u) != 0;
}

// The palette role that stands for system colour n (the low byte of a system colour value).
QPalette::ColorRole systemColorRole(int n);
// The colour shown for a value: a plain colour as it is, a system colour from the application's
// palette. An unknown system colour shows as the window background.
QColor ToQColor(OleColor c);
// Sets a text colour of a palette for the active and inactive states only: a disabled control
// keeps the greyed text of the system, as the original's disabled controls showed it.
void SetTextColor(QPalette& palette, QPalette::ColorRole role, OleColor c);
// The colour value of a plain colour (alpha dropped).
OleColor FromQColor(const QColor& c);

// ---- Mouse and keyboard ------------------------------------------------------------------
enum MouseButtonCode : int { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum ShiftCode : int { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

enum KeyCodeValue : int {
    vbKeyBack = 8,
    vbKeyTab = 9,
    vbKeyReturn = 13,
    vbKeyShift = 16,
    vbKeyControl = 17,
    vbKeyMenu = 18,
    vbKeyEscape = 27,
    vbKeySpace = 32,
    vbKeyPageUp = 33,
    vbKeyPageDown = 34,
    vbKeyEnd = 35,
    vbKeyHome = 36,
    vbKeyLeft = 37,
    vbKeyUp = 38,
    vbKeyRight = 39,
    vbKeyDown = 40,
    vbKeyInsert = 45,
    vbKeyDelete = 46,
    vbKeyF1 = 112,
    vbKeyF12 = 123,
};

// The button code of a Qt button (0 when none of the three).
int MouseButtonOf(Qt::MouseButton button);
// The button codes of the buttons held (for mouse moves).
int MouseButtonsOf(Qt::MouseButtons buttons);
int ShiftOf(Qt::KeyboardModifiers modifiers);
// The key code of a key press: letters as upper-case ASCII, digits as ASCII, F1 = 112...; 0
// for a key the runtime has no code for.
int KeyCodeOf(const QKeyEvent& event);

} // namespace rt
