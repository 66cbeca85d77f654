#include "command_enabling.h"

#include "document/doc_state.h"
#include "frm_main.h"
#include "platform/printers.h"
#include "services/shell_services.h"

namespace {

// True when a printer is installed, by the printer list as last asked: one answer for the
// toolbar and the Commands page alike.
bool PrinterInstalled() {
    WatchPrinters();
    int32_t value = 0;
    return CheckPrinter(value);
}

QString MonthKey(int m) {
    return QStringLiteral("m%1").arg(m, 2, 10, QLatin1Char('0'));
}

void UpdateToolbarButtons(FrmMainForm& f, bool edit, bool logo, bool printer) {
    rt::Toolbar& tb = f.TbMain;
    tb.Buttons(QStringLiteral("Save")).setEnabled(edit);
    tb.Buttons(QStringLiteral("Preview")).setEnabled(printer && edit);
    tb.Buttons(QStringLiteral("Print")).setEnabled(printer && edit);
    tb.Buttons(QStringLiteral("Sep3")).setVisible(!logo);
    for (int m = 1; m <= 12; ++m) {
        rt::ToolbarButton& b = tb.Buttons(MonthKey(m));
        b.setEnabled(edit);
        b.setVisible(!logo);
    }
    rt::ToolbarButton& prop = tb.Buttons(QStringLiteral("Prop"));
    prop.setEnabled(edit);
    prop.setVisible(!logo);
    tb.Buttons(QStringLiteral("Sep4")).setVisible(!logo);
    for (const char* key : {"HTile", "VTile", "Cascade", "AIcons"}) {
        rt::ToolbarButton& b = tb.Buttons(QLatin1String(key));
        b.setEnabled(edit);
        b.setVisible(!logo);
    }
}

// The commands of one list page; a page without a command has nullptr there.
struct ListCommands {
    rt::ListBox& list;
    rt::CommandButton& edit;
    rt::CommandButton& remove;
    rt::CommandButton& clear;
    rt::ControlArray<rt::CommandButton>& sort;
    rt::CommandButton& down;
    rt::CommandButton& up;
    rt::CommandButton* update;
    rt::CommandButton* showPicture;
};

// True when row Row of the events list is an item of the current day with a picture file. With
// no current day, or a row beyond the day's items, there is no such item to look at.
bool SelectedItemHasPicture(int Row) {
    if (!IsMonth(CurMonth) || !IsCell(CurCell)) return false;
    const DayCell& cell = CurDoc.Months(CurMonth).Cells(CurCell);
    if (!InList(cell, Row) || Row >= int(cell.Items.size())) return false;
    return !cell.Items[size_t(Row)].PictureFile.isEmpty();
}

void UpdateListCommands(const ListCommands& c) {
    const int n = c.list.ListCount();
    const int s = c.list.ListIndex();
    c.edit.setEnabled(s != -1);
    c.remove.setEnabled(s != -1);
    c.clear.setEnabled(n > 0);
    c.sort(0).setEnabled(n > 1);
    c.sort(1).setEnabled(n > 1);
    c.down.setEnabled(s != n - 1);
    c.up.setEnabled(n > 0 && s > 0);
    if (c.update) c.update->setEnabled(n > 0);
    if (c.showPicture) c.showPicture->setEnabled(n > 0 && s != -1 && SelectedItemHasPicture(s));
}

// A page of two: the instruction page 0 is shown until there is something to work on.
void ShowPages(rt::ControlArray<rt::PictureBox>& pages, bool working) {
    pages(0).setVisible(!working);
    pages(1).setVisible(working);
}

// The icon of a Commands-page image: the normal look beside an enabled button, else the
// greyed one.
void SetCommandIcon(FrmMainForm& f, rt::Image& image, const rt::CommandButton& button,
                    const QString& key) {
    rt::ImageList& list = button.Enabled() ? f.ImgLstMain : f.ImgLstMain_d;
    image.setPicture(list.ListImages()(key).ExtractIcon());
}

} // namespace

void WatchPrinters() {
    static const bool following = [] {
        rt::setPrinterListHandler([] {
            if (FrmMain.exists()) UpdateMainControls(true);
        });
        return true;
    }();
    (void)following;
    (void)rt::knownPrinters(); // the first read asks
}

void UpdateMainControls(bool UpdateToolbar) {
    FrmMainForm& f = FrmMain.get();
    const bool edit = f.Tag() == QLatin1String("Edit");
    const bool logo = f.Tag() == QLatin1String("Logo");
    const bool dayIsCurrent = CurCell != 0;
    // Only a document's print commands depend on the printers: the list is read, and so
    // asked for the first time, once a document is edited.
    const bool printer = edit && PrinterInstalled();

    if (UpdateToolbar) UpdateToolbarButtons(f, edit, logo, printer);

    switch (f.TbMenu.Tab()) {
    case 4: // Events
        ShowPages(f.PicEvents, edit && dayIsCurrent);
        f.LblStepOne(0).setVisible(!edit);
        f.LblStepTwo(0).setVisible(edit && !dayIsCurrent);
        UpdateListCommands({f.LstEV, f.CmdEVEdit, f.CmdEVRemove, f.CmdEVClear, f.CmdEVSort,
                            f.CmdEVDown, f.CmdEVUp, nullptr, &f.CmdEVShowPic});
        break;
    case 3: // Auto-events
        ShowPages(f.PicAE, edit);
        UpdateListCommands({f.LstAE, f.CmdAEEdit, f.CmdAERemove, f.CmdAEClear, f.CmdAESort,
                            f.CmdAEDown, f.CmdAEUp, &f.CmdAEUpdate, nullptr});
        break;
    case 2: // Debts and savings
        ShowPages(f.PicDebt, edit);
        UpdateListCommands({f.LstDE, f.CmdDEEdit, f.CmdDERemove, f.CmdDEClear, f.CmdDESort,
                            f.CmdDEDown, f.CmdDEUp, nullptr, nullptr});
        break;
    case 1: // Birthdays
        ShowPages(f.PicBD, edit);
        UpdateListCommands({f.LstBD, f.CmdBDEdit, f.CmdBDRemove, f.CmdBDClear, f.CmdBDSort,
                            f.CmdBDDown, f.CmdBDUp, &f.CmdBDUpdate, nullptr});
        break;
    case 0: // Summary
        ShowPages(f.PicSummary, edit && dayIsCurrent);
        f.LblStepOne(4).setVisible(!edit);
        f.LblStepTwo(4).setVisible(edit && !dayIsCurrent);
        f.CmdSUChart(1).setEnabled(f.LblStepTwo(4).Visible());
        break;
    case 5: // Commands
        f.CmdCOSave.setEnabled(edit);
        f.CmdCOSaveAs.setEnabled(edit);
        f.CmdCOPreview.setEnabled(printer && edit);
        f.CmdCOPrint.setEnabled(printer && edit);
        SetCommandIcon(f, f.ImgCOSave, f.CmdCOSave, QStringLiteral("Save"));
        SetCommandIcon(f, f.ImgCOPreview, f.CmdCOPreview, QStringLiteral("Preview"));
        SetCommandIcon(f, f.ImgCOPrint, f.CmdCOPrint, QStringLiteral("Print"));
        break;
    default:
        break;
    }
}
