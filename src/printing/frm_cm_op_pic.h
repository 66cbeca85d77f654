#pragma once
// The picture chooser: the program's own open-picture dialog, with drive, folder and file lists,
// a filter by picture type and a preview with the picture's size. ChoosePicture (printing.h)
// shows it.

#include "core/rt_error.h"
#include "platform/ui_controls.h"
#include "platform/ui_file_lists.h"
#include "platform/ui_form.h"
#include "platform/ui_picture_box.h"

#include <QString>
#include <cstdint>

class FrmCmOpPicForm : public rt::Form {
public:
    FrmCmOpPicForm();

    // -1 from the moment the form loads; only the open button clears it.
    int16_t Cancelled = -1;

    rt::ControlArray<rt::Label> LblOpen{QStringLiteral("LblOpen"), [this](auto& a) {
                                            a.create(0, *this); // heading
                                            a.create(1, *this); // size of the previewed picture
                                        }};
    rt::PictureBox Picture1{*this, QStringLiteral("Picture1")};
    rt::DriveListBox Drive1{Picture1, QStringLiteral("Drive1")};
    rt::DirListBox Dir1{Picture1, QStringLiteral("Dir1")};
    // Its Tag holds "NoRefresh" while code changes the lists.
    rt::FileListBox File1{Picture1, QStringLiteral("File1")};
    // 0 .bmp, 1 .jpg/.jpeg, 2 .gif, 3 show the preview.
    rt::ControlArray<rt::CheckBox> ChkOpen{QStringLiteral("ChkOpen"), [this](auto& a) {
                                               for (int i = 0; i <= 3; ++i)
                                                   a.create(i, *this);
                                           }};
    rt::Frame FrmSelFile{*this, QStringLiteral("FrmSelFile")};
    // The caption shows the chosen file, shortened; the tooltip holds its full path.
    rt::Label LblSelFile{FrmSelFile, QStringLiteral("LblSelFile")};
    rt::PictureBox PicOpen{*this, QStringLiteral("PicOpen")};
    rt::Image ImgOpen{PicOpen, QStringLiteral("ImgOpen")};
    rt::PictureBox PicTemp{PicOpen, QStringLiteral("PicTemp")};
    rt::CommandButton CmdOpen{*this, QStringLiteral("CmdOpen")};
    rt::CommandButton CmdCancel{*this, QStringLiteral("CmdCancel")};
    rt::CommandButton CmdHelp{*this, QStringLiteral("CmdHelp")};

    void InitCaptions();
    void UpdateSelectedFile();
    void ShowPreview();
    void Frm_EnableCmdButtons(bool Enable);

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void ChkOpen_Click(int Index);
    void LblSelFile_Change();
    void CmdOpen_Click();
    void CmdCancel_Click();
    void CmdHelp_Click();

private:
    bool guarded() const;
    // Asks Retry or Cancel about a failed change of drive or folder; true for Retry.
    bool askRetry(const QString& Target, const rt::RtError& Error);
};

// Created when shown, released after use.
extern rt::FormSlot<FrmCmOpPicForm> FrmCmOpPic;

// PictureWithinLimit (printing.h) checks a chosen file against the per-picture limit.
