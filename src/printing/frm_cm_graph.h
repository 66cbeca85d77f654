#pragma once
// The picture editor: resizes a picture to a typed size or to the calendar's, makes it darker
// or brighter, replaces it by another file, saves it as a bitmap and prints it. EditPicture
// (printing.h) shows it.

#include "core/picture.h"
#include "document/records.h"
#include "platform/ui_common_controls.h"
#include "platform/ui_controls.h"
#include "platform/ui_form.h"
#include "platform/ui_picture_box.h"

#include <cstdint>

class FrmCmGraphForm : public rt::Form {
public:
    FrmCmGraphForm();

    // -1 from the moment the form loads; only OK clears it.
    int16_t Cancelled = -1;
    // -1 while ResetPicture runs: the scroll bars do not move the picture meanwhile.
    int16_t Busy = 0;

    // The view zone, in pixels, with the picture and the work box for resizing.
    rt::PictureBox PicViewZone{*this, QStringLiteral("PicViewZone")};
    rt::PictureBox PicMain{PicViewZone, QStringLiteral("PicMain")};
    rt::PictureBox PicTemp{PicViewZone, QStringLiteral("PicTemp")};
    rt::PictureBox PicHScroll{*this, QStringLiteral("PicHScroll")};
    rt::HScrollBar HScroll1{PicHScroll, QStringLiteral("HScroll1")};
    rt::PictureBox PicVScroll{*this, QStringLiteral("PicVScroll")};
    rt::VScrollBar VScroll1{PicVScroll, QStringLiteral("VScroll1")};

    // Size: element 0 of each text box array shows its word, element 1 holds the number.
    rt::Frame FrSize{*this, QStringLiteral("FrSize")};
    rt::ControlArray<rt::TextBox> TxtWidth{QStringLiteral("TxtWidth"), [this](auto& a) {
                                               a.create(0, FrSize);
                                               a.create(1, FrSize);
                                           }};
    rt::ControlArray<rt::TextBox> TxtHeight{QStringLiteral("TxtHeight"), [this](auto& a) {
                                                a.create(0, FrSize);
                                                a.create(1, FrSize);
                                            }};
    rt::UpDown UDWidth{FrSize, QStringLiteral("UDWidth")};
    rt::UpDown UDHeight{FrSize, QStringLiteral("UDHeight")};
    rt::Label LblWidth{FrSize, QStringLiteral("LblWidth")};
    rt::Label LblHeight{FrSize, QStringLiteral("LblHeight")};
    rt::CommandButton CmdSizeFit{FrSize, QStringLiteral("CmdSizeFit")};
    rt::CommandButton CmdSizeApply{FrSize, QStringLiteral("CmdSizeApply")};

    // Brightness.
    rt::Frame FrBright{*this, QStringLiteral("FrBright")};
    rt::Slider SldBright{FrBright, QStringLiteral("SldBright")};
    rt::ControlArray<rt::Label> LblBright{QStringLiteral("LblBright"), [this](auto& a) {
                                              a.create(0, FrBright);
                                              a.create(1, FrBright);
                                          }};
    rt::CommandButton CmdBrightApply{FrBright, QStringLiteral("CmdBrightApply")};

    // Commands.
    rt::PictureBox PicMenu{*this, QStringLiteral("PicMenu")};
    rt::Frame FrMenu{PicMenu, QStringLiteral("FrMenu")};
    rt::CommandButton CmdOpen{FrMenu, QStringLiteral("CmdOpen")};
    rt::CommandButton CmdSaveAs{FrMenu, QStringLiteral("CmdSaveAs")};
    rt::CommandButton CmdPrint{FrMenu, QStringLiteral("CmdPrint")};
    rt::CommandButton CmdReset{FrMenu, QStringLiteral("CmdReset")};
    rt::CommandButton CmdOk{*this, QStringLiteral("CmdOk")};
    rt::CommandButton CmdCancel{*this, QStringLiteral("CmdCancel")};

    void InitCaptions();
    void Frm_ChkEnable();
    void Frm_EnableCmdButtons(bool Enable);
    void ResetPicture();
    void SetScrollBars();
    void OpenPicture();
    void SavePictureAs();
    // The picture as shown, with every change: the empty picture while there is none.
    rt::Picture ShownPicture() const;
    // The job the print command hands to the print preview: the shown picture at its size.
    ImageItem PictureJob() const;

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void CmdSizeApply_Click();
    void CmdSizeFit_Click();
    void TxtWidth_Change(int Index);
    void TxtHeight_Change(int Index);
    void CmdBrightApply_Click();
    void CmdOpen_Click() { OpenPicture(); }
    void CmdSaveAs_Click() { SavePictureAs(); }
    void CmdReset_Click() { ResetPicture(); }
    void CmdPrint_Click();
    void HScroll1_Change();
    void VScroll1_Change();
    void CmdOk_Click();
    void CmdCancel_Click();

private:
    void keepWholeNumber(rt::TextBox& Box);
    // A scroll bar is usable only while the picture does not fit the view zone that way.
    void enableScrollBars();
};

// Created when shown, released after use.
extern rt::FormSlot<FrmCmGraphForm> FrmCmGraph;
