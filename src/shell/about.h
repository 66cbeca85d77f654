#pragma once
// The About window: the program's name, its version and the date the program file was built.

#include "platform/ui_controls.h"
#include "platform/ui_form.h"
#include "platform/ui_picture_box.h"

class FrmAboutForm : public rt::Form {
public:
    FrmAboutForm();

    rt::PictureBox PicLogo{*this, QStringLiteral("PicLogo")};
    rt::Image ImgLogo{PicLogo, QStringLiteral("ImgLogo")};
    // Two frames that group the texts: the three lines of the program, and the notice.
    rt::ControlArray<rt::Frame> FrAbout{QStringLiteral("FrAbout"), [this](auto& a) {
                                            a.create(0, *this);
                                            a.create(1, *this);
                                        }};
    // Element 1 is the grey drop shadow of element 0, created first so that it lies behind.
    rt::ControlArray<rt::Label> LblMirovanta{QStringLiteral("LblMirovanta")};
    rt::ControlArray<rt::Label> LblVersion{QStringLiteral("LblVersion")};
    rt::ControlArray<rt::Label> LblInf{QStringLiteral("LblInf")};
    rt::Label lblWarning{FrAbout(1), QStringLiteral("lblWarning")};
    rt::CommandButton CmdOk{*this, QStringLiteral("CmdOk")};

    void Form_Load() override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void CmdOk_Click();
    // Logo and fixed captions.
    void SetupCaptions();
};

extern rt::FormSlot<FrmAboutForm> FrmAbout;

// The program's version as the About window shows it: "2.10.0029".
QString ProgramVersionText();
// The last-modified date of the program file as "dd mmm yyyy", or "[Non disponible]" when the
// program file cannot be found.
QString ProgramBuildDate();
