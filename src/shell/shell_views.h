#pragma once
// The windows' side of the document library's calls into the views (DocViews): the state in
// the main window's tag, its caption and loading captions, the month windows, and the dialogs
// that live with the forms. Start-up installs it with setDocViews.

#include "document/doc_views.h"
#include "services/main_window.h"

class ShellViews : public DocViews {
public:
    QString AppState() const override;
    void SetMainMode(int32_t Mode) override;
    QString MainCaption() const override;
    void SetMainCaption(const QString& Caption) override;
    void SetLoadingCaption(int16_t Index, const QString& Caption) override;
    void RedrawDayCell(int16_t Month, int16_t Cell) override;
    void RefreshPane(bool UpdateToolbar, int16_t SelectIndex) override;
    void ResetMonthWindow(int16_t Month, int32_t CellBack) override;
    void UnloadMonthWindow(int16_t Month) override;
    void HideMonthWindow(int16_t Month) override;
    void ShowMonthWindows() override;
    bool ShowPropertiesDialog(bool NewDocument) override;
    bool ShowAlarm(int16_t Month, int16_t Cell, int16_t Index) override;
    bool AskPassword(const QString& Expected) override;
};

// The main window's side of what the dialogs, the editors and printing need of it
// (MainWindowHost). Start-up installs it with setMainWindowHost.
class ShellMainWindow : public MainWindowHost {
public:
    void SetNavPanel(bool Expand, bool Immediate) override;
    void UpdateMainControls(bool UpdateToolbar) override;
    void RunOptionsDialog() override;
    int32_t Top() override;
    int32_t NavPanelLeft() override;
    rt::CommonDialog& FileDialog(FileDialogKind Kind) override;
    rt::PictureBox& WorkPicture(WorkPictureKind Kind) override;
    rt::ImageList& ToolbarImages(bool Disabled) override;
    rt::Label& LoadingLabel(int16_t Index) override;
    void SetAlarmCheck(bool On, int16_t Minutes) override;
};
