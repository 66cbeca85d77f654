#include "shell_views.h"

#include "core/system.h"
#include "document_dialogs/document_dialogs.h"
#include "editors/editors.h"
#include "frm_main.h"
#include "main_module.h"
#include "month_window.h"
#include "properties/properties.h"

QString ShellViews::AppState() const {
    FrmMainForm* main = FrmMain.peek();
    return main ? main->Tag() : QString();
}

void ShellViews::SetMainMode(int32_t Mode) {
    ::SetMainMode(Mode);
}

// The captions belong to a main window that exists: once shutdown has released it, nothing
// brings it back just to write a caption.
QString ShellViews::MainCaption() const {
    FrmMainForm* main = FrmMain.peek();
    return main ? main->Caption() : QString();
}

void ShellViews::SetMainCaption(const QString& Caption) {
    if (FrmMainForm* main = FrmMain.peek()) main->setCaption(Caption);
}

void ShellViews::SetLoadingCaption(int16_t Index, const QString& Caption) {
    if (FrmMainForm* main = FrmMain.peek()) main->LblLoading(Index).setCaption(Caption);
}

void ShellViews::RedrawDayCell(int16_t Month, int16_t Cell) {
    ::RedrawDayCell(Month, Cell);
}

void ShellViews::RefreshPane(bool UpdateToolbar, int16_t SelectIndex) {
    ::RefreshPane(UpdateToolbar, SelectIndex);
}

// A month window not made yet is made blank or filled when a road first reaches it.
void ShellViews::ResetMonthWindow(int16_t Month, int32_t CellBack) {
    if (FrmMonthModele* window = MonthForms(Month).peek()) window->ResetForBlankDocument(CellBack);
}

void ShellViews::UnloadMonthWindow(int16_t Month) {
    MonthForms(Month).release();
}

void ShellViews::HideMonthWindow(int16_t Month) {
    // A close request: outside the state "Unload" the window only hides itself.
    if (FrmMonthModele* window = MonthForms(Month).peek()) window->Unload();
}

void ShellViews::ShowMonthWindows() {
    ::ShowMonthWindows();
}

bool ShellViews::ShowPropertiesDialog(bool NewDocument) {
    return ::ShowPropertiesDialog(NewDocument);
}

bool ShellViews::ShowAlarm(int16_t Month, int16_t Cell, int16_t Index) {
    return ::ShowAlarm(Month, Cell, Index);
}

bool ShellViews::AskPassword(const QString& Expected) {
    return ::AskPassword(Expected);
}

void ShellMainWindow::SetNavPanel(bool Expand, bool Immediate) {
    ::SetNavPanel(Expand, Immediate);
}

void ShellMainWindow::UpdateMainControls(bool UpdateToolbar) {
    ::UpdateMainControls(UpdateToolbar);
}

void ShellMainWindow::RunOptionsDialog() {
    ::RunOptionsDialog();
}

int32_t ShellMainWindow::Top() {
    return FrmMain->Top();
}

int32_t ShellMainWindow::NavPanelLeft() {
    FrmMainForm& main = FrmMain.get();
    return main.Left() + main.PicMenu.Left() + main.TbMenu.Left();
}

rt::CommonDialog& ShellMainWindow::FileDialog(FileDialogKind Kind) {
    FrmMainForm& main = FrmMain.get();
    switch (Kind) {
    case FileDialogKind::Open:
        return main.CDOpen;
    case FileDialogKind::SaveAs:
        return main.CDSaveAs;
    case FileDialogKind::Print:
        break;
    }
    return main.CDPrint;
}

rt::PictureBox& ShellMainWindow::WorkPicture(WorkPictureKind Kind) {
    FrmMainForm& main = FrmMain.get();
    switch (Kind) {
    case WorkPictureKind::PrintScratch:
        return main.PicTempPrint;
    case WorkPictureKind::PrintPage:
        return main.PicPrint(0);
    case WorkPictureKind::PrintPageScratch:
        break;
    }
    return main.PicPrint(1);
}

rt::ImageList& ShellMainWindow::ToolbarImages(bool Disabled) {
    FrmMainForm& main = FrmMain.get();
    return Disabled ? main.ImgLstMain_d : main.ImgLstMain;
}

rt::Label& ShellMainWindow::LoadingLabel(int16_t Index) {
    return FrmMain->LblLoading(Index);
}

void ShellMainWindow::SetAlarmCheck(bool On, int16_t Minutes) {
    FrmMainForm& main = FrmMain.get();
    if (!On) {
        main.TmALCheck.setEnabled(false);
    } else {
        main.NextAlarmCheck = rt::sys().now().addSecs(60LL * Minutes);
        main.TmALCheck.setEnabled(true);
    }
}
