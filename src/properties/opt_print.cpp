// The options dialog's print page: the background picture, the number of copies, the months to
// print and the printer set-up.

#include "frm_opt.h"

#include "core/resources.h"
#include "core/ui_services.h"
#include "platform/printers.h"
#include "printing/printing.h"

void FrmOptForm::InitPrintCaptions() {
    lblPrintSect(0).setCaption(rt::LoadResString(504));
    lblPrintSect(1).setCaption(rt::LoadResString(1623));
    ChkPrint(0).setCaption(rt::LoadResString(1626));
    lblPrint(1).setCaption(rt::LoadResString(1628));
    for (int i = 0; i <= 11; ++i)
        ChkMonth(i).setCaption(rt::LoadResString(210 + i));
    CmdPrint(0).setCaption(rt::LoadResString(1636));
    CmdPrint(1).setCaption(rt::LoadResString(1637));
    CmdPrint(2).setCaption(rt::LoadResString(1624));
}

void FrmOptForm::LoadPrintOptions() {
    // The printer set-up offers the printers as they are now.
    rt::askPrinters();
    // The settings may hold any number (the print run counts every non-zero flag as chosen).
    ChkPrint(0).setValue(StoredCheckValue(Settings.PrintBackground));
    TxtPrint.setText(QString::number(Settings.PrintCopies));
    for (int i = 0; i <= 11; ++i)
        ChkMonth(i).setValue(StoredCheckValue(Settings.PrintMonths(i + 1)));
}

void FrmOptForm::SavePrintOptions() {
    Settings.PrintBackground = ChkPrint(0).Value();
    // A number beyond the 16-bit range is held at its limit.
    Settings.PrintCopies = TypedInteger(TxtPrint.Text());
    bool anyMonth = false;
    for (int i = 0; i <= 11; ++i) {
        Settings.PrintMonths(i + 1) = ChkMonth(i).Value();
        if (ChkMonth(i).Value() == rt::vbChecked) anyMonth = true;
    }
    // Something is always printed: January when no month is chosen.
    if (!anyMonth) Settings.PrintMonths(1) = 1;
}

void FrmOptForm::ChkPrint_Click(int) {}

void FrmOptForm::CmdPrint_Click(int Index) {
    switch (Index) {
    case 0:
    case 1:
        for (int i = 0; i <= 11; ++i)
            ChkMonth(i).setValue(Index == 0 ? rt::vbChecked : rt::vbUnchecked);
        break;
    case 2: {
        // Kept at once, whatever button closes the dialog afterwards.
        Settings.PrinterValue = SetupPrinter(rt::cdlLandscape);
        rt::DoEvents();
        break;
    }
    default:
        break;
    }
}
