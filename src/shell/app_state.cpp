#include "app_state.h"

#include "frm_main.h"
#include "main_module.h"

QString AppState() {
    FrmMainForm* main = FrmMain.peek();
    return main ? main->Tag() : QString();
}

void SetMainMode(int32_t Mode) {
    FrmMainForm& main = FrmMain.get();
    main.PicView.setVisible(false);
    main.PicLogo.setVisible(false);
    main.PicLoading.setVisible(false);
    switch (Mode) {
    case 1:
        // With the views hidden, the month windows are what the main window shows.
        main.setTag(QStringLiteral("Edit"));
        break;
    case 2:
        // The tag comes first: the panel then collapses although the state was "Logo".
        main.setTag(QStringLiteral("Load"));
        main.LblLoading(0).setCaption(QString());
        main.LblLoading(1).setCaption(QString());
        SetNavPanel(false, true);
        main.PicLoading.setVisible(true);
        main.MDIForm_Resize();
        main.PicView.setVisible(true);
        // A document's print commands show next: their printer list is asked meanwhile.
        WatchPrinters();
        break;
    case 3:
        main.setTag(QStringLiteral("Logo"));
        SetNavPanel(true, false);
        main.PicLogo.setVisible(true);
        main.MDIForm_Resize();
        main.PicView.setVisible(true);
        break;
    default:
        break;
    }
}

void SetNavPanel(bool Expand, bool Immediate) {
    FrmMainForm& main = FrmMain.get();
    if (main.Tag() == QLatin1String("Logo") || Expand) {
        main.TmNavVisible.setEnabled(false);
        main.PicMenu.setWidth(kNavPanelExpanded);
    } else if (!Immediate) {
        // A running countdown is left alone: the panel collapses one second after the first
        // of several requests.
        if (!main.TmNavVisible.Enabled()) main.TmNavVisible.setEnabled(true);
    } else {
        main.PicMenu.setWidth(kNavPanelCollapsed);
    }
    main.PicMenu.ZOrder(0);
}
