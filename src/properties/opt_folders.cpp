// The options dialog's folders page: the start folders of the dialogs that open and save
// documents and pictures, each fixed by the user ("*" before the folder) or following the last
// file used.

#include "frm_opt.h"

#include "ask_path.h"
#include "core/resources.h"
#include "services/shell_services.h"

namespace {

// The setting of row k: 0 open documents, 1 open pictures, 2 save documents, 3 save pictures.
QString& FolderSetting(int k) {
    switch (k) {
    case 0:
        return Settings.CalOpenPath;
    case 1:
        return Settings.ImgOpenPath;
    case 2:
        return Settings.CalSavePath;
    default:
        return Settings.ImgSavePath;
    }
}

} // namespace

void FrmOptForm::InitFolderCaptions() {
    for (int p = 0; p <= 1; ++p) {
        lblPathSect(p).setCaption(rt::LoadResString(1615 + p));
        OptPath(p).setCaption(rt::LoadResString(1615 + p));
    }
    ChkPath(0).setCaption(rt::LoadResString(1617) + rt::LoadResString(1618));
    ChkPath(1).setCaption(rt::LoadResString(1620) + rt::LoadResString(1618));
    ChkPath(2).setCaption(rt::LoadResString(1617) + rt::LoadResString(1621));
    ChkPath(3).setCaption(rt::LoadResString(1622) + rt::LoadResString(1621));
    for (int k = 0; k <= 3; ++k) {
        lblPath(k).setCaption(rt::LoadResString(1619));
        CmdPathSel(k).setCaption(rt::LoadResString(527));
    }
}

void FrmOptForm::LoadFolderOptions() {
    for (int k = 0; k <= 3; ++k) {
        const QString& setting = FolderSetting(k);
        if (setting.startsWith(u'*')) {
            ChkPath(k).setValue(rt::vbUnchecked);
            TxtPath(k).setToolTipText(setting.mid(1));
        } else {
            ChkPath(k).setValue(rt::vbChecked);
            TxtPath(k).setToolTipText(setting);
        }
        TxtPath(k).setText(TxtPath(k).ToolTipText());
    }
}

void FrmOptForm::SaveFolderOptions() {
    for (int k = 0; k <= 3; ++k) {
        QString& setting = FolderSetting(k);
        if (ChkPath(k).Value() == rt::vbUnchecked)
            setting = u'*' + TxtPath(k).ToolTipText();
        else if (setting.startsWith(u'*'))
            setting.remove(0, 1);
    }
}

void FrmOptForm::ChkPath_Click(int) {
    UpdateControls();
}

void FrmOptForm::TxtPath_Change(int Index) {
    ShowShortPath(TxtPath(Index), 50);
}

void FrmOptForm::CmdPathSel_Click(int Index) {
    TxtPath(Index).setToolTipText(AskForPath(TxtPath(Index).ToolTipText()));
    TxtPath(Index).setText(TxtPath(Index).ToolTipText());
}

void FrmOptForm::OptPath_Click(int) {
    const bool open = OptPath(0).Value();
    const bool save = OptPath(1).Value();
    PicPath(1).setVisible(open);
    PicPath(1).setEnabled(open);
    PicPath(2).setVisible(save);
    PicPath(2).setEnabled(save);
}
