#include "frm_add_de.h"

#include "core/numeric.h"
#include "core/resources.h"
#include "document/compare.h"
#include "document/dates.h"
#include "document/doc_state.h"
#include "document/money_text.h"
#include "editors.h"

rt::FormSlot<FrmAddDEForm> FrmAddDE{"FrmAddDE"};

FrmAddDEForm::FrmAddDEForm() : EditorForm(QStringLiteral("FrmAddDE")) {
    TbAddDE.Move(120, 120, 4935, 3780);
    StyleText(TbAddDE);

    // Positions on the page, under its tab.
    LblGenSect(0).Move(120, 120, 4560, 255);
    LnGen(0).Move(120, 390, 4560, 15);
    ChkGen(0).Move(240, 510, 2040, 285);
    ChkGen(1).Move(2400, 510, 2040, 285);
    LblGen(0).Move(240, 900, 4440, 225);
    TxtGen(0).Move(240, 1140, 2160, 315);
    LblGen(1).Move(240, 1560, 4440, 225);
    TxtGen(1).Move(240, 1800, 1200, 315);
    LblGenSect(1).Move(120, 2280, 4560, 255);
    LnGen(1).Move(120, 2550, 4560, 15);
    LblGen(2).Move(240, 2670, 4440, 225);
    DtGen.Move(240, 2910, 2160, 315);

    for (int i = 0; i <= 1; ++i) {
        StyleHeading(LblGenSect(i));
        StyleLine(LnGen(i));
        StyleText(ChkGen(i));
        StyleEntry(TxtGen(i));
    }
    for (int i = 0; i <= 2; ++i)
        StyleText(LblGen(i));
    StyleEntry(DtGen);
    TxtGen(0).setMaxLength(10);
    TxtGen(1).setMaxLength(6);
    // The name goes into the document, held in Windows-1252.
    TxtGen(0).setCp1252Only(true);
    BindAmountBox(TxtGen(1));
    LayoutFrame(TbAddDE);
    SetFocusOrder({&ChkGen(0), &ChkGen(1), &TxtGen(0), &TxtGen(1), &DtGen, &CmdHelp, &CmdOk,
                   &CmdCancel, &TbAddDE});

    for (int i = 0; i <= 1; ++i) {
        ChkGen(i).onClick = [this, i] { ChkGen_Click(i); };
        TxtGen(i).onChange = [this, i] { TxtGen_Change(i); };
    }
    DtGen.onChange = [this] { DtGen_Change(); };
}

QString FrmAddDEForm::HelpTopic() const {
    return QStringLiteral("Html\\d_de.htm");
}

void FrmAddDEForm::LoadCaptions() {
    LoadFrameCaptions(TbAddDE, 901, 902);
    LblGenSect(0).setCaption(rt::LoadResString(233));
    LblGenSect(1).setCaption(rt::LoadResString(807));
    ChkGen(0).setCaption(rt::LoadResString(903));
    ChkGen(1).setCaption(rt::LoadResString(904));
    LblGen(0).setCaption(rt::LoadResString(714));
    LblGen(2).setCaption(rt::LoadResString(905));
}

void FrmAddDEForm::FillDialog() {
    const DEList& list = CurDoc.DebtsSavings;
    if (IsEdit() && InList(list, OpenIndex())) {
        const DEItem& d = list.Items[size_t(OpenIndex())];
        if (d.IsSaving != 0)
            ChkGen(1).setValue(rt::vbChecked);
        else
            ChkGen(0).setValue(rt::vbChecked);
        TxtGen(0).setText(MoneyName(d.Text));
        // The amount filter rewrites the balance in its normal form.
        TxtGen(1).setText(rt::TrimBlanks(d.Text.mid(10)));
        // A balance that raised no change (an empty one) is filtered all the same.
        EndAmountEntry(TxtGen(1));
        DtGen.setValue(PickerDate(d.StartDate));
    } else {
        ChkGen(0).setValue(rt::vbChecked);
        TxtGen(0).setText(QString());
        TxtGen(1).setText(QStringLiteral("0"));
        DtGen.setValue(QDate(EditorDocumentYear(), 1, 1));
    }
    DtGen_Change();
}

void FrmAddDEForm::ChkGen_Click(int Index) {
    rt::CheckBox& box = ChkGen(Index);
    rt::CheckBox& other = ChkGen(1 - Index);
    if (box.Value() == rt::vbChecked)
        other.setValue(rt::vbUnchecked);
    else if (other.Value() == rt::vbUnchecked)
        box.setValue(rt::vbChecked);
}

void FrmAddDEForm::DtGen_Change() {
    LblGen(1).setCaption(rt::LoadResString(718) + u' ' + DateToText(DateOfPicker(DtGen)) + u':');
}

void FrmAddDEForm::TxtGen_Change(int Index) {
    if (Index == 1) ApplyAmountFilter(TxtGen(1));
}

void FrmAddDEForm::StoreItem() {
    DEItem d;
    d.IsSaving = ChkGen(0).Value() == rt::vbChecked ? 0 : -1;
    d.Text = MakeMoneyText(rt::TrimBlanks(TxtGen(0).Text()), AmountFilterText(TxtGen(1).Text()));
    d.StartDate = DateOfPicker(DtGen);
    StoreListRecord<DEList, DEItem>(CurDoc.DebtsSavings, OpenMode(), OpenIndex(), d, &CompareDEItem,
                                    {}, DocPart::DebtsSavings);
}

bool ShowDEEditor() {
    FrmAddDE->Show(rt::vbModal);
    FrmAddDE.release();
    return Exchange.DialogResult == 1;
}
