#pragma once
// The options dialog: four pages on the tab control TbOpt, general (the ".cal" file type, the
// splash, the summary chart's selection), alarm (the alarm check and the ten sounds), folders
// (the start folders of the file dialogs) and printing (background, copies, months, printer).
//
// The dialog works on copies: its pages are filled from the settings store, the shared record
// Settings and the registry when it loads, and written back only when it closes with OK; the
// printer chosen with the set-up button is the one thing kept at once. The form's Tag is "Load"
// while the pages are filled, so that the clicks the filling raises change nothing.

#include "platform/common_dialogs.h"
#include "platform/ui_common_controls.h"
#include "platform/ui_controls.h"
#include "platform/ui_form.h"
#include "platform/ui_picture_box.h"
#include "services/settings.h"

#include <QString>
#include <cstdint>
#include <functional>

class FrmOptForm : public rt::Form {
public:
    FrmOptForm();

    // -1 from the moment the form loads; only OK clears it, and only then does the unload save.
    int16_t Cancelled = -1;

    // ---- Frame ----
    rt::Label lblOption{*this, QStringLiteral("lblOption")};
    rt::TabControl TbOpt{*this, 4, QStringLiteral("TbOpt")};
    rt::CommandButton CmdOk{*this, QStringLiteral("CmdOk")};
    rt::CommandButton CmdCancel{*this, QStringLiteral("CmdCancel")};
    rt::CommandButton CmdHelp{*this, QStringLiteral("CmdHelp")};

    // ---- The pages, one per tab ----
    rt::PictureBox PicGen{TbOpt.Page(0), QStringLiteral("PicGen")};
    rt::PictureBox PicAL{TbOpt.Page(1), QStringLiteral("PicAL")};
    // 0 the folders page, 1 its open panel, 2 its save panel (the two panels share one place).
    rt::ControlArray<rt::PictureBox> PicPath{QStringLiteral("PicPath"), [this](auto& a) {
                                                 a.create(0, TbOpt.Page(2));
                                                 a.create(1, a(0));
                                                 a.create(2, a(0));
                                             }};
    rt::PictureBox PicPrint{TbOpt.Page(3), QStringLiteral("PicPrint")};

    // ---- General page ----
    rt::ControlArray<rt::Label> LblGenSect{QStringLiteral("LblGenSect"), [this](auto& a) {
                                               a.create(0, PicGen);
                                               a.create(1, PicGen);
                                           }};
    // 0 the ".cal" file type, 1 the splash, 2 the summary chart's selection.
    rt::ControlArray<rt::CheckBox> ChkGen{QStringLiteral("ChkGen"), [this](auto& a) {
                                              for (int i = 0; i <= 2; ++i)
                                                  a.create(i, PicGen);
                                          }};

    // ---- Alarm page ----
    rt::ControlArray<rt::Label> LblALSect{QStringLiteral("LblALSect"), [this](auto& a) {
                                              a.create(0, PicAL);
                                              a.create(1, PicAL);
                                          }};
    // 1 alarms off by default, 2 look for due alarms.
    rt::ControlArray<rt::CheckBox> ChkAL{QStringLiteral("ChkAL"), [this](auto& a) {
                                             a.create(1, PicAL);
                                             a.create(2, PicAL);
                                         }};
    // 0 the minutes, 1 the path of the sound shown (its Tag: the sound's number).
    rt::ControlArray<rt::TextBox> TxtAL{QStringLiteral("TxtAL"), [this](auto& a) {
                                            a.create(0, PicAL);
                                            a.create(1, PicAL);
                                        }};
    rt::UpDown UDAL{PicAL, QStringLiteral("UDAL")};
    // 0 the minutes' unit, 1 the heading of the sound buttons, 2 the name of the sound shown.
    rt::ControlArray<rt::Label> LblAl{QStringLiteral("LblAl"), [this](auto& a) {
                                          for (int i = 0; i <= 2; ++i)
                                              a.create(i, PicAL);
                                      }};
    rt::ControlArray<rt::OptionButton> OptAL{QStringLiteral("OptAL"), [this](auto& a) {
                                                 for (int i = 0; i <= 9; ++i)
                                                     a.create(i, PicAL);
                                             }};
    // 0 choose the sound's file, 1 play it.
    rt::ControlArray<rt::CommandButton> CmdAL{QStringLiteral("CmdAL"), [this](auto& a) {
                                                  a.create(0, PicAL);
                                                  a.create(1, PicAL);
                                              }};
    rt::CommonDialog CDOpen;
    // The sounds being edited, 1 to 10; Settings.SoundFiles takes them on OK.
    BoundedArray<QString, 1, 10> WorkSounds;

    // ---- Folders page: rows 0 (open documents) and 1 (open pictures) on the open panel,
    // 2 (save documents) and 3 (save pictures) on the save panel ----
    rt::ControlArray<rt::OptionButton> OptPath{QStringLiteral("OptPath"), [this](auto& a) {
                                                   a.create(0, PicPath(0));
                                                   a.create(1, PicPath(0));
                                               }};
    rt::ControlArray<rt::Label> lblPathSect{QStringLiteral("lblPathSect"), [this](auto& a) {
                                                a.create(0, PicPath(1));
                                                a.create(1, PicPath(2));
                                            }};
    // Ticked: the folder of the last file; unticked: always the folder shown.
    rt::ControlArray<rt::CheckBox> ChkPath{QStringLiteral("ChkPath"), pathRow<rt::CheckBox>()};
    rt::ControlArray<rt::Label> lblPath{QStringLiteral("lblPath"), pathRow<rt::Label>()};
    // Text: the folder shown (shortened); ToolTipText: the whole folder.
    rt::ControlArray<rt::TextBox> TxtPath{QStringLiteral("TxtPath"), pathRow<rt::TextBox>()};
    rt::ControlArray<rt::CommandButton> CmdPathSel{QStringLiteral("CmdPathSel"),
                                                   pathRow<rt::CommandButton>()};

    // ---- Print page ----
    rt::ControlArray<rt::Label> lblPrintSect{QStringLiteral("lblPrintSect"), [this](auto& a) {
                                                 a.create(0, PicPrint);
                                                 a.create(1, PicPrint);
                                             }};
    rt::ControlArray<rt::Label> lblPrint{QStringLiteral("lblPrint"),
                                         [this](auto& a) { a.create(1, PicPrint); }};
    // 0 print the background picture.
    rt::ControlArray<rt::CheckBox> ChkPrint{QStringLiteral("ChkPrint"),
                                            [this](auto& a) { a.create(0, PicPrint); }};
    rt::TextBox TxtPrint{PicPrint, QStringLiteral("TxtPrint")};
    rt::UpDown UDPrint{PicPrint, QStringLiteral("UDPrint")};
    // January to December.
    rt::ControlArray<rt::CheckBox> ChkMonth{QStringLiteral("ChkMonth"), [this](auto& a) {
                                                for (int i = 0; i <= 11; ++i)
                                                    a.create(i, PicPrint);
                                            }};
    // 0 every month, 1 no month, 2 printer set-up.
    rt::ControlArray<rt::CommandButton> CmdPrint{QStringLiteral("CmdPrint"), [this](auto& a) {
                                                     for (int i = 0; i <= 2; ++i)
                                                         a.create(i, PicPrint);
                                                 }};

    // ---- Events ----
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void CmdOk_Click();
    void CmdCancel_Click();
    void CmdHelp_Click();
    void TbOpt_Click(int PreviousTab);
    void ChkGen_Click(int Index);
    void ChkAL_Click(int Index);
    void OptAL_Click(int Index);
    void CmdAL_Click(int Index);
    void ChkPath_Click(int Index);
    void TxtPath_Change(int Index);
    void CmdPathSel_Click(int Index);
    void OptPath_Click(int Index);
    void CmdPrint_Click(int Index);
    void ChkPrint_Click(int Index);

    // ---- Procedures ----
    void InitForm();
    void UpdateControls();
    void LoadGeneralOptions();
    void SaveGeneralOptions();
    void LoadAlarmOptions();
    void SaveAlarmOptions();
    void LoadFolderOptions();
    void SaveFolderOptions();
    void LoadPrintOptions();
    void SavePrintOptions();

private:
    // Rows 0 and 1 of the folders page on the open panel, rows 2 and 3 on the save panel.
    template <class T> std::function<void(rt::ControlArray<T>&)> pathRow() {
        return [this](rt::ControlArray<T>& a) {
            for (int k = 0; k <= 3; ++k)
                a.create(k, PicPath(k < 2 ? 1 : 2));
        };
    }
    void layOut();
    void bindEvents();
    // Captions of the alarm, folders and print pages.
    void InitAlarmCaptions();
    void InitFolderCaptions();
    void InitPrintCaptions();
};

// Created when the dialog is shown, released after it closes.
extern rt::FormSlot<FrmOptForm> FrmOpt;

// The value a check box shows for a number read from the settings: 0 unticked, 2 grey, any
// other number ticked (a hand-edited store may hold anything).
int StoredCheckValue(double Value);
// The whole number a text begins with, rounded (halves to the even neighbour) and held within
// the 16-bit range: 0 when the text begins with no number.
int16_t TypedInteger(const QString& Text);
