#include "frm_ask_pass.h"

#include "core/cp1252.h"
#include "core/numeric.h"
#include "core/resources.h"
#include "core/ui_services.h"
#include "document/doc_state.h"
#include "document_dialogs.h"
#include "services/form_support.h"
#include "services/shell_services.h"

rt::FormSlot<FrmAskPassForm> FrmAskPass{"FrmAskPass"};

FrmAskPassForm::FrmAskPassForm() : rt::Form(QStringLiteral("FrmAskPass")) {
    setBorderStyle(rt::vbFixedDialog);
    setKeyPreview(true);
    Move(0, 0, 6180, 2730);

    // The picture is 69 x 134 pixels.
    ImgPass.Move(120, 120, 1035, 2010);
    rt::Label& notice = LblPass.create(0, *this);
    notice.Move(1320, 150, 4680, 480);
    notice.setWordWrap(true);
    rt::Label& prompt = LblPass.create(1, *this);
    prompt.Move(1320, 780, 4680, 285);
    TxtPass.Move(1320, 1095, 4680, 315);
    TxtPass.setPasswordChar(QStringLiteral("*"));
    CmdOk.Move(3240, 1710, 1335, 390);
    CmdOk.setDefault(true);
    CmdCancel.Move(4665, 1710, 1335, 390);
    CmdCancel.setCancel(true);

    CmdOk.onClick = [this] { CmdOk_Click(); };
    CmdCancel.onClick = [this] { CmdCancel_Click(); };
}

void FrmAskPassForm::Form_Load() {
    Cancelled = -1;
    InitForm();
}

void FrmAskPassForm::InitForm() {
    const int32_t colours = DisplayColours();
    const int picture = colours == 16 ? 1703 : colours == 256 ? 1702 : 1701;
    ImgPass.setPicture(rt::LoadResPicture(picture, rt::vbResBitmap));
    setCaption(QStringLiteral("Mirovanta - ") + rt::LoadResString(1701));
    LblPass(0).setCaption(rt::LoadResString(1702));
    LblPass(1).setCaption(rt::LoadResString(Exchange.DialogText.isEmpty() ? 548 : 1703));
    CmdOk.setCaption(rt::LoadResString(502));
    CmdCancel.setCaption(rt::LoadResString(503));
}

void FrmAskPassForm::CmdOk_Click() {
    Cancelled = 0;
    Unload();
}

void FrmAskPassForm::CmdCancel_Click() {
    Unload();
}

void FrmAskPassForm::Form_KeyDown(int& KeyCode, int) {
    if (KeyCode == 112) ShowHelp(QStringLiteral("Html\\d_askpass.htm"));
}

void FrmAskPassForm::Form_Unload(int&) {
    if (Cancelled == 0) {
        Exchange.DialogResult = 1;
        Exchange.DialogText = rt::TrimBlanks(TxtPass.Text());
    } else {
        Exchange.DialogResult = 0;
        Exchange.DialogText.clear();
    }
}

bool AskPassword(const QString& Expected) {
    Exchange.DialogResult = 0;
    Exchange.DialogText = Expected;
    FrmAskPass->Show(rt::vbModal);
    FrmAskPass.release();
    PasswordHandOver.clear();
    // The reader may be waiting on this answer: no click may start another operation now.
    rt::DoEventsNoInput();

    if (Exchange.DialogResult != 1) return false;
    if (!Expected.isEmpty()) return Exchange.DialogText == Expected;
    // No document has a password that Windows-1252 cannot hold (the archive takes it in that
    // code page, and the properties dialog refuses such a one): the typed text is a wrong
    // password, handed over as the empty one, which the reader counts as a failed try. Handed
    // over as typed, the archive would see its "?" in place of the characters it lacks.
    PasswordHandOver = rt::IsCp1252Text(Exchange.DialogText) ? Exchange.DialogText : QString();
    return true;
}
