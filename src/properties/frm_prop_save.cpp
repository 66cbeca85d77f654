// The properties dialog's saving page: pictures embedded in the file, and the read password,
// which must be typed a second time before the dialog closes with OK when it is new or changed.

#include "core/cp1252.h"
#include "core/numeric.h"
#include "core/resources.h"
#include "core/ui_services.h"
#include "document/doc_state.h"
#include "document/modified.h"
#include "document_dialogs/document_dialogs.h"
#include "frm_prop.h"

namespace {
// The tag of the password box while it holds the document's own password, untouched.
const QString kConfirmed = QStringLiteral("Confirmed");
} // namespace

void FrmPropForm::layOutSavePage() {
    LblSaveSect.Move(120, 120, 7800, 285);
    LblSaveSect.setFontBold(true);
    LblSaveSect.setBackStyle(0);
    ChkSave(0).Move(240, 540, 7560, 315);
    ChkSave(1).Move(240, 960, 7560, 315);
    LblSave.Move(540, 1380, 4200, 255);
    LblSave.setBackStyle(0);
    TxtSave.Move(540, 1650, 3600, 315);
    TxtSave.setPasswordChar(QStringLiteral("*"));

    for (int i = 0; i <= 1; ++i)
        ChkSave(i).onClick = [this, i] { ChkSave_Click(i); };
    TxtSave.onChange = [this] { TxtSave_Change(); };
}

void FrmPropForm::initSavePage() {
    LblSaveSect.setCaption(rt::LoadResString(545));
    ChkSave(0).setCaption(rt::LoadResString(546));
    ChkSave(1).setCaption(rt::LoadResString(547));
    LblSave.setCaption(rt::LoadResString(548));
}

void FrmPropForm::ShowSavePage() {
    ChkSave(0).setValue(CurDoc.EmbedPictures != 0 ? rt::vbChecked : rt::vbUnchecked);
    if (CurDoc.Password.isEmpty()) {
        ChkSave(1).setValue(rt::vbUnchecked);
        TxtSave.setText(QString());
        TxtSave.setTag(QString());
    } else {
        ChkSave(1).setValue(rt::vbChecked);
        // The text first: setting it raises the change handler, which empties the tag.
        TxtSave.setText(CurDoc.Password);
        TxtSave.setTag(kConfirmed);
    }
    UpdateSaveControls();
}

void FrmPropForm::UpdateSaveControls() {
    const bool protect = ChkSave(1).Value() == rt::vbChecked;
    LblSave.setEnabled(protect);
    TxtSave.setEnabled(protect);
    TxtSave.setBackColor(protect ? rt::vbWindowBackground : rt::vbButtonFace);
}

void FrmPropForm::ChkSave_Click(int Index) {
    if (Index == 1) UpdateSaveControls();
}

void FrmPropForm::TxtSave_Change() {
    // Any edit, even one that types the old password again, calls for a confirmation.
    TxtSave.setTag(QString());
}

bool FrmPropForm::ConfirmPassword() {
    // A password of blanks only is no password: it is stored empty and needs no confirmation.
    const QString password = rt::TrimBlanks(TxtSave.Text());
    if (ChkSave(1).Value() != rt::vbChecked || password.isEmpty()) return true;
    // The archive takes the password in Windows-1252, which would turn every character it
    // lacks into "?": such a password would be much weaker than the one typed.
    if (!rt::IsCp1252Text(password)) {
        rt::MsgBox(rt::LoadResString(1705), rt::vbExclamation,
                   QStringLiteral("Mirovanta - ") + rt::LoadResString(1701));
        return false;
    }
    if (TxtSave.Tag() == kConfirmed) return true;
    if (AskPassword(password)) return true;
    rt::MsgBox(rt::LoadResString(1704), rt::vbExclamation,
               QStringLiteral("Mirovanta - ") + rt::LoadResString(1701));
    return false;
}

void FrmPropForm::ApplySaveOptions() {
    bool changed = false;
    if (ChkSave(0).Value() == rt::vbChecked && CurDoc.EmbedPictures == 0) {
        CurDoc.EmbedPictures = -1;
        changed = true;
    } else if (ChkSave(0).Value() == rt::vbUnchecked && CurDoc.EmbedPictures != 0) {
        CurDoc.EmbedPictures = 0;
        changed = true;
    }
    // An unticked box means no password, whatever was typed.
    if (ChkSave(1).Value() == rt::vbUnchecked) TxtSave.setText(QString());
    if (TxtSave.Text() != CurDoc.Password) {
        CurDoc.Password = rt::TrimBlanks(TxtSave.Text());
        changed = true;
    }
    if (changed) SetModified(DocPart::Header, -1, 0);
}
