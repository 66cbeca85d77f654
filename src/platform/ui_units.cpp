#include "ui_units.h"

#include <QApplication>
#include <QKeyEvent>
#include <cmath>

namespace rt {

int TwipsToPixels(double twips) {
    const double px = twips / kTwipsPerPixel;
    return int(px < 0 ? std::ceil(px - 0.5) : std::floor(px + 0.5));
}

QRect TwipsToPixels(int left, int top, int width, int height) {
    const int x = TwipsToPixels(left);
    const int y = TwipsToPixels(top);
    // The far edges are rounded, not the sizes, so that neighbours meet without gaps.
    const int r = TwipsToPixels(double(left) + width);
    const int b = TwipsToPixels(double(top) + height);
    return QRect(x, y, std::max(0, r - x), std::max(0, b - y));
}

QPalette::ColorRole systemColorRole(int n) {
    switch (n) {
    case 0x00:
        return QPalette::Button; // scroll bars
    case 0x01:
        return QPalette::Dark; // desktop
    case 0x02:
        return QPalette::Highlight; // active title bar
    case 0x03:
        return QPalette::Mid; // inactive title bar
    case 0x04:
        return QPalette::Window; // menu bar
    case 0x05:
        return QPalette::Base; // window background
    case 0x06:
        return QPalette::Shadow; // window frame
    case 0x07:
        return QPalette::WindowText; // menu text
    case 0x08:
        return QPalette::Text; // window text
    case 0x09:
        return QPalette::HighlightedText; // title bar text
    case 0x0A:
        return QPalette::Window; // active border
    case 0x0B:
        return QPalette::Window; // inactive border
    case 0x0C:
        return QPalette::Dark; // application workspace
    case 0x0D:
        return QPalette::Highlight;
    case 0x0E:
        return QPalette::HighlightedText;
    case 0x0F:
        return QPalette::Button; // button face
    case 0x10:
        return QPalette::Mid; // button shadow
    case 0x11:
        return QPalette::PlaceholderText;
    case 0x12:
        return QPalette::ButtonText;
    case 0x13:
        return QPalette::WindowText; // inactive caption text
    case 0x14:
        return QPalette::Light; // 3-D highlight
    case 0x15:
        return QPalette::Shadow; // 3-D dark shadow
    case 0x16:
        return QPalette::Midlight; // 3-D light
    case 0x17:
        return QPalette::ToolTipText;
    case 0x18:
        return QPalette::ToolTipBase;
    default:
        return QPalette::Base;
    }
}

QColor ToQColor(OleColor c) {
    const auto u = uint32_t(c);
    if (u & 0x80000000u) {
        const QPalette pal = QApplication::palette();
        if (int(u & 0xFF) == 0x11) return pal.color(QPalette::Disabled, QPalette::Text);
        return pal.color(QPalette::Active, systemColorRole(int(u & 0xFF)));
    }
    return QColor(int(u & 0xFF), int((u >> 8) & 0xFF), int((u >> 16) & 0xFF));
}

OleColor FromQColor(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

int MouseButtonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return vbLeftButton;
    case Qt::RightButton:
        return vbRightButton;
    case Qt::MiddleButton:
        return vbMiddleButton;
    default:
        return 0;
    }
}

int MouseButtonsOf(Qt::MouseButtons buttons) {
    int b = 0;
    if (buttons & Qt::LeftButton) b |= vbLeftButton;
    if (buttons & Qt::RightButton) b |= vbRightButton;
    if (buttons & Qt::MiddleButton) b |= vbMiddleButton;
    return b;
}

int ShiftOf(Qt::KeyboardModifiers modifiers) {
    int s = 0;
    if (modifiers & Qt::ShiftModifier) s |= vbShiftMask;
    if (modifiers & Qt::ControlModifier) s |= vbCtrlMask;
    if (modifiers & Qt::AltModifier) s |= vbAltMask;
    return s;
}

int KeyCodeOf(const QKeyEvent& event) {
    const int k = event.key();
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return '0' + (k - Qt::Key_0);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return vbKeyF1 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace:
        return vbKeyBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vbKeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vbKeyReturn;
    case Qt::Key_Shift:
        return vbKeyShift;
    case Qt::Key_Control:
        return vbKeyControl;
    case Qt::Key_Alt:
        return vbKeyMenu;
    case Qt::Key_Escape:
        return vbKeyEscape;
    case Qt::Key_Space:
        return vbKeySpace;
    case Qt::Key_PageUp:
        return vbKeyPageUp;
    case Qt::Key_PageDown:
        return vbKeyPageDown;
    case Qt::Key_End:
        return vbKeyEnd;
    case Qt::Key_Home:
        return vbKeyHome;
    case Qt::Key_Left:
        return vbKeyLeft;
    case Qt::Key_Up:
        return vbKeyUp;
    case Qt::Key_Right:
        return vbKeyRight;
    case Qt::Key_Down:
        return vbKeyDown;
    case Qt::Key_Insert:
        return vbKeyInsert;
    case Qt::Key_Delete:
        return vbKeyDelete;
    default:
        return 0;
    }
}

void SetTextColor(QPalette& palette, QPalette::ColorRole role, OleColor c) {
    const QColor colour = ToQColor(c);
    palette.setColor(QPalette::Active, role, colour);
    palette.setColor(QPalette::Inactive, role, colour);
    palette.setColor(QPalette::Disabled, role, ToQColor(vbGrayText));
}

} // namespace rt
