#pragma once
// The read-password prompt: asks for the password of a protected document (read mode) or has
// the user type a newly chosen one again (confirm mode).

#include "document_dialogs.h"
#include "platform/ui_controls.h"
#include "platform/ui_form.h"

#include <QString>
#include <cstdint>

class FrmAskPassForm : public rt::Form {
public:
    FrmAskPassForm();

    // -1 until OK closes the dialog; Cancel, Escape and the close box leave it at -1.
    int16_t Cancelled = -1;

    rt::Image ImgPass{*this, QStringLiteral("ImgPass")};
    rt::ControlArray<rt::Label> LblPass{QStringLiteral("LblPass")}; // 0 notice, 1 prompt
    rt::TextBox TxtPass{*this, QStringLiteral("TxtPass")};
    rt::CommandButton CmdOk{*this, QStringLiteral("CmdOk")};
    rt::CommandButton CmdCancel{*this, QStringLiteral("CmdCancel")};

    void Form_Load() override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void Form_Unload(int& Cancel) override;
    void CmdOk_Click();
    void CmdCancel_Click();
    // Picture, title and captions; the prompt depends on the mode in Exchange.DialogText.
    void InitForm();
};

// Created when shown, released after use.
extern rt::FormSlot<FrmAskPassForm> FrmAskPass;

// AskPassword (document_dialogs.h) shows it modally and releases it.
