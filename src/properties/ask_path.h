#pragma once
// The folder chooser: a drive list, a folder list, the chosen folder shown in a label, a button
// that makes a new folder inside the current one, OK and Cancel. AskForPath opens it on a start
// folder and returns the folder chosen.

#include "platform/ui_controls.h"
#include "platform/ui_file_lists.h"
#include "platform/ui_form.h"

#include <QString>
#include <cstdint>

class FrmAskPathForm : public rt::Form {
public:
    FrmAskPathForm();

    // -1 from the moment the form loads; only OK clears it. The close box counts as Cancel.
    int16_t Cancelled = -1;

    rt::DriveListBox Drive1{*this, QStringLiteral("Drive1")};
    rt::DirListBox Dir1{*this, QStringLiteral("Dir1")};
    rt::Frame FrmSelPath{*this, QStringLiteral("FrmSelPath")};
    // The current folder, shortened to fit; the whole folder in its tool tip.
    rt::Label LblSelPath{FrmSelPath, QStringLiteral("LblSelPath")};
    rt::CommandButton CmdNew{*this, QStringLiteral("CmdNew")};
    rt::CommandButton CmdOk{*this, QStringLiteral("CmdOk")};
    rt::CommandButton CmdCancel{*this, QStringLiteral("CmdCancel")};

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void Drive1_Change();
    void Dir1_Change();
    void LblSelPath_Change();
    void CmdNew_Click();
    void CmdOk_Click();
    void CmdCancel_Click();

private:
    // Shows a folder in the label (which raises its Change, as the label's caption did).
    void showFolder(const QString& folder);
};

// Created when the chooser is shown, released after it closes.
extern rt::FormSlot<FrmAskPathForm> FrmAskPath;

// The folder the user chose, ending with the separator, after OK; StartPath unchanged after
// Cancel or the close box. A start folder that cannot be shown opens the program's folder.
QString AskForPath(const QString& StartPath);
