#pragma once
// The ask-save dialog: names the file, lists the changed parts of the live document, each
// selected, and offers Yes, No, Cancel and Help. Its answer goes to Exchange.DialogResult:
// 1 when the caller may go on (written, or No), 0 when it must stop.

#include "document_dialogs/ask_save.h"
#include "platform/ui_controls.h"
#include "platform/ui_form.h"
#include "platform/ui_lists.h"
#include "platform/ui_toolbar.h"

#include <QString>
#include <cstdint>
#include <vector>

class FrmAskSaveForm : public rt::Form {
public:
    FrmAskSaveForm();

    // The button that closed the dialog: 0 Cancel (also Escape and the close box), 1 Yes, 2 No.
    int32_t Answer = 0;
    // The file to write, from Exchange.DialogText ("" for an untitled document).
    QString FileName;

    rt::Label LblAskSave{*this, QStringLiteral("LblAskSave")};
    rt::Label LblQuestion{*this, QStringLiteral("LblQuestion")};
    rt::Image ImgQuestion{*this, QStringLiteral("ImgQuestion")};
    rt::ListBox LstAskSave{*this, QStringLiteral("LstAskSave")};
    rt::CommandButton CmdYes{*this, QStringLiteral("CmdYes")};
    rt::CommandButton CmdNo{*this, QStringLiteral("CmdNo")};
    rt::CommandButton CmdCancel{*this, QStringLiteral("CmdCancel")};
    rt::CommandButton CmdHelp{*this, QStringLiteral("CmdHelp")};
    rt::ImageList ILAskSave{*this, QStringLiteral("ILAskSave")};

    void Form_Load() override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void Form_Unload(int& Cancel) override;
    void CmdYes_Click();
    void CmdNo_Click();
    void CmdCancel_Click();
    void CmdHelp_Click();

    void InitCaptions();
    // One line per changed part, each selected; the first line becomes the current one.
    void FillPartsList();
    // The Yes road: writes the selected parts and sets Exchange.DialogResult.
    void SaveSelectedParts();

private:
    // After a change of year the header and the day-item lines are selected and deselected
    // together: the user's change of one of them applies to all.
    void keepYearGroupTogether();

    std::vector<AskSaveLine> lines_;
    std::vector<bool> lastSelection_;
    bool syncing_ = false;
};

// Created when shown, released after use.
extern rt::FormSlot<FrmAskSaveForm> FrmAskSave;
