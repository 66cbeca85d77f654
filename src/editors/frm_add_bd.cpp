#include "frm_add_bd.h"

#include "core/numeric.h"
#include "core/resources.h"
#include "document/compare.h"
#include "document/doc_state.h"
#include "editors.h"

rt::FormSlot<FrmAddBDForm> FrmAddBD{"FrmAddBD"};

FrmAddBDForm::FrmAddBDForm() : EditorForm(QStringLiteral("FrmAddBD")) {
    TbAddBD.Move(120, 120, 4935, 2280);
    StyleText(TbAddBD);

    // Positions on the page, under its tab.
    LblGenSect.Move(120, 120, 4560, 255);
    LnGen.Move(120, 390, 4560, 15);
    LblGen(0).Move(240, 510, 4440, 225);
    TxtGen.Move(240, 750, 2400, 315);
    LblGen(1).Move(240, 1170, 4440, 225);
    DtGen.Move(240, 1410, 2160, 315);

    StyleHeading(LblGenSect);
    StyleLine(LnGen);
    StyleText(LblGen(0));
    StyleText(LblGen(1));
    StyleEntry(TxtGen);
    StyleEntry(DtGen);
    TxtGen.setMaxLength(14);
    // The name goes into the document, held in Windows-1252.
    TxtGen.setCp1252Only(true);
    LayoutFrame(TbAddBD);
    SetFocusOrder({&TxtGen, &DtGen, &CmdHelp, &CmdOk, &CmdCancel, &TbAddBD});
}

QString FrmAddBDForm::HelpTopic() const {
    return QStringLiteral("Html\\d_bd.htm");
}

void FrmAddBDForm::LoadCaptions() {
    LoadFrameCaptions(TbAddBD, 2201, 2202);
    LblGenSect.setCaption(rt::LoadResString(2203));
    LblGen(0).setCaption(rt::LoadResString(2204));
    LblGen(1).setCaption(rt::LoadResString(2205));
}

void FrmAddBDForm::FillDialog() {
    const BDList& list = CurDoc.Birthdays;
    if (IsEdit() && InList(list, OpenIndex())) {
        const BDItem& b = list.Items[size_t(OpenIndex())];
        TxtGen.setText(b.Name);
        DtGen.setValue(PickerDate(b.BirthDate));
    } else {
        TxtGen.setText(QString());
        DtGen.setValue(QDate(1970, 1, 1));
    }
}

void FrmAddBDForm::StoreItem() {
    BDItem b;
    b.Name = rt::TrimBlanks(TxtGen.Text());
    b.BirthDate = DateOfPicker(DtGen);
    const bool edit = OpenMode() == 1;
    // The key stays when only the birth year changed: the day item written for the birthday
    // is still right.
    auto key = [edit](BDItem& record, const BDItem& slot) {
        if (edit && record.Name == slot.Name && record.BirthDate.Month == slot.BirthDate.Month &&
            record.BirthDate.Day == slot.BirthDate.Day) {
            record.Key = slot.Key;
            return true;
        }
        return IssueKey(CurDoc.Birthdays.NextKey, QStringLiteral("BD"), record.Key);
    };
    StoreListRecord<BDList, BDItem>(CurDoc.Birthdays, OpenMode(), OpenIndex(), b, &CompareBDItem,
                                    key, DocPart::Birthdays);
}

bool ShowBDEditor() {
    FrmAddBD->Show(rt::vbModal);
    FrmAddBD.release();
    return Exchange.DialogResult == 1;
}
