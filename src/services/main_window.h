#pragma once
// What the dialogs, the editors and printing need of the main window, without knowing its
// form: its navigation panel, commands and options dialog, where it stands, the common dialogs and
// work pictures it holds, its toolbar's images, its loading captions and its alarm check. The main
// window's side (shell/shell_views.h) is installed at start-up, and by the tests.

#include <cstdint>
#include <memory>

namespace rt {
class CommonDialog;
class ImageList;
class Label;
class PictureBox;
} // namespace rt

// The common dialogs the main window holds, each keeping its settings from one use to the next.
enum class FileDialogKind { Open, SaveAs, Print };

// The hidden pictures the main window holds for printing: the scratch surface a picture is
// prepared on, and the two surfaces a page is drawn on.
enum class WorkPictureKind { PrintScratch, PrintPage, PrintPageScratch };

class MainWindowHost {
public:
    virtual ~MainWindowHost() = default;

    // Expands the navigation panel at once, or collapses it at once or after one second.
    virtual void SetNavPanel(bool Expand, bool Immediate) = 0;
    // Enables the main window's commands anew; UpdateToolbar also recomputes the toolbar.
    virtual void UpdateMainControls(bool UpdateToolbar) = 0;
    // Shows the options dialog modally and releases it once it has closed; closed with OK, it
    // leaves Exchange.DialogResult 1.
    virtual void RunOptionsDialog() = 0;

    // The main window's top edge, and the left edge of its navigation panel's tab control,
    // in twips on the screen: an editor opens over the open panel.
    virtual int32_t Top() = 0;
    virtual int32_t NavPanelLeft() = 0;

    virtual rt::CommonDialog& FileDialog(FileDialogKind Kind) = 0;
    virtual rt::PictureBox& WorkPicture(WorkPictureKind Kind) = 0;
    // The toolbar's images, enabled or disabled.
    virtual rt::ImageList& ToolbarImages(bool Disabled) = 0;
    // The loading view's captions: 0 the heading, 1 the current step.
    virtual rt::Label& LoadingLabel(int16_t Index) = 0;

    // On: the next alarm check comes Minutes minutes from now, and the checks run. Off: they
    // stop.
    virtual void SetAlarmCheck(bool On, int16_t Minutes) = 0;
};

// The installed main window; a run-time error 91 when none is installed.
MainWindowHost& mainWindow();
// Installs the main window's side (nullptr: none).
void setMainWindowHost(std::shared_ptr<MainWindowHost> Host);
