#pragma once
// The print preview window: the pages of the job in Exchange.PrintJob, one at a time, drawn by
// the page drawing that prints them, at a zoom from 25 % to 200 %. A calendar job has a page
// for each month chosen for printing, a picture job one page with a box to stretch the
// picture over it. Lengths are twips.

#include "platform/ui_common_controls.h"
#include "platform/ui_controls.h"
#include "platform/ui_form.h"
#include "platform/ui_picture_box.h"
#include "platform/ui_timer.h"
#include "platform/ui_toolbar.h"

#include <cstdint>
#include <vector>

class FrmPrintPrevForm : public rt::Form {
public:
    FrmPrintPrevForm();

    // The command bar and, for a picture job, the bar of the stretch box.
    rt::ControlArray<rt::PictureBox> PicMenu{QStringLiteral("PicMenu"), [this](auto& a) {
                                                 a.create(0, *this);
                                                 a.create(1, *this);
                                             }};
    rt::ControlArray<rt::CommandButton> CmdMenu{QStringLiteral("CmdMenu"), [this](auto& a) {
                                                    for (int i = 0; i <= 6; ++i)
                                                        a.create(i, PicMenu(0));
                                                }};
    rt::CheckBox ChkMenu{PicMenu(1), QStringLiteral("ChkMenu")};
    rt::StatusBar SBPrint{*this, QStringLiteral("SBPrint")};
    rt::PictureBox PicHS{*this, QStringLiteral("PicHS")};
    rt::HScrollBar HSPage{PicHS, QStringLiteral("HSPage")};
    rt::PictureBox PicVS{*this, QStringLiteral("PicVS")};
    rt::VScrollBar VSPage{PicVS, QStringLiteral("VSPage")};
    // The view zone with the page box, the canvas in it, and the wait overlay.
    rt::PictureBox PicViewZone{*this, QStringLiteral("PicViewZone")};
    rt::ControlArray<rt::PictureBox> PicPage{QStringLiteral("PicPage"), [this](auto& a) {
                                                 a.create(0, PicViewZone);
                                                 a.create(1, a(0));
                                             }};
    rt::PictureBox PicPrinting{PicViewZone, QStringLiteral("PicPrinting")};
    rt::ControlArray<rt::Label> LblPrinting{QStringLiteral("LblPrinting"), [this](auto& a) {
                                                a.create(0, PicPrinting);
                                                a.create(1, PicPrinting);
                                            }};
    rt::Timer TmrGetPreview{*this, QStringLiteral("TmrGetPreview")};
    rt::Timer TmrFrmResize{*this, QStringLiteral("TmrFrmResize")};

    // The zoom handed to the engine as its scale: 0.25 to 2.0 in steps of 0.25.
    float Zoom = 0.5f;
    int16_t PageCount = 0;
    // The page shown, from 1; 0 when the job has no page.
    int16_t CurPage = 0;
    // The month each page of a calendar job prints, from index 1.
    std::vector<int16_t> PageMonths;

    void InitCaptions();
    void InitPages();
    void EnableCmdButtons();
    void GetPreview();
    void LayoutPreview();

    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& Cancel) override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void CmdMenu_Click(int Index);
    void ChkMenu_Click();
    void HSPage_Change();
    void VSPage_Change();
    void TmrGetPreview_Timer();
    void TmrFrmResize_Timer();

private:
    bool pictureJob() const;
    void showStatus();
    // Twips per unit of the scroll bars: 1, or more for a page too large for their range.
    int vScrollUnit_ = 1;
    int hScrollUnit_ = 1;
};

extern rt::FormSlot<FrmPrintPrevForm> FrmPrintPrev;
