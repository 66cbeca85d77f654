#include "shell_views.h"

#include "document/forms/frm_ask_pass.h"
#include "frm_main.h"
#include "main_module.h"
#include "month_window.h"

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

void ShellViews::ResetMonthWindow(int16_t Month, int32_t CellBack) {
    MonthForms(Month)->ResetForBlankDocument(CellBack);
}

void ShellViews::UnloadMonthWindow(int16_t Month) {
    MonthForms(Month).release();
}

void ShellViews::HideMonthWindow(int16_t Month) {
    // A close request: outside the state "Unload" the window only hides itself.
    MonthForms(Month)->Unload();
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
