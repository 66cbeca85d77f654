#include "document_dialogs.h"

#include "core/resources.h"
#include "core/rt_error.h"
#include "core/ui_services.h"
#include "document/alarm_scan.h"
#include "document/cal_reader.h"
#include "document/cal_writer.h"
#include "document/doc_state.h"
#include "document/doc_views.h"
#include "document/modified.h"
#include "document/paths.h"
#include "document_dialogs/ask_save.h"
#include "platform/common_dialogs.h"
#include "services/main_window.h"
#include "services/settings.h"

#include <QFileInfo>

namespace {

bool stateIs(const char* state) {
    return views().AppState() == QLatin1String(state);
}

// New and Open act in any state but these two.
bool documentBusy() {
    return stateIs("Load") || stateIs("Unload");
}

// Asks each month window to close; outside shutdown they hide and stay loaded.
void hideMonthWindows() {
    for (int16_t m = 1; m <= 12; ++m)
        views().HideMonthWindow(m);
}

} // namespace

QString DialogStartFolder(const QString& Setting) {
    return Setting.startsWith(u'*') ? Setting.mid(1) : Setting;
}

void UpdateFolderSetting(QString& Setting, const QString& FullName, const QString& FileTitle) {
    if (Setting.startsWith(u'*')) return;
    if (!FileTitle.isEmpty() && FullName.endsWith(FileTitle))
        Setting = FullName.left(FullName.size() - FileTitle.size());
    else
        Setting = AddBackslash(QFileInfo(FullName).path());
}

QString AskCalFileName() {
    rt::CommonDialog& dialog = mainWindow().FileDialog(FileDialogKind::SaveAs);
    try {
        dialog.CancelError = true;
        dialog.DefaultExt = QStringLiteral(".cal");
        dialog.Flags =
            rt::cdlOFNOverwritePrompt | rt::cdlOFNHideReadOnly | rt::cdlOFNNoReadOnlyReturn;
        dialog.Filter = rt::LoadResString(10050);
        dialog.FilterIndex = 2;
        dialog.FileName = CurDoc.FileName;
        dialog.InitDir = DialogStartFolder(Settings.CalSavePath);
        dialog.ShowSave();
    } catch (const rt::RtError&) {
        return QString();
    }
    UpdateFolderSetting(Settings.CalSavePath, dialog.FileName, dialog.FileTitle);
    return dialog.FileName;
}

bool SaveDocument(bool Force, bool SaveAs) {
    if (!Force && CurDoc.IsSaved) return true;

    const bool unchanged = Force && CurDoc.IsSaved;
    if (SaveAs || (unchanged && CurDoc.FileName.isEmpty())) {
        Exchange.DialogText = AskCalFileName();
        if (Exchange.DialogText.isEmpty()) return false;
    } else {
        Exchange.DialogText = CurDoc.FileName;
    }

    bool result = false;
    if (unchanged) {
        // The Save and Save As commands write an unchanged document directly and whole.
        const QString name = Exchange.DialogText;
        if (SaveCalFile(name, CurDoc)) {
            SetModified(DocPart::All, 0, 0);
            SavedDoc = CurDoc;
            result = true;
        }
    } else {
        ShowAskSaveDialog();
        rt::DoEventsNoInput();
        result = Exchange.DialogResult != 0;
    }
    Exchange.DialogText.clear();
    return result;
}

void NewDocument() {
    if (documentBusy()) return;

    SetNoReloadMarker(true);
    const bool ok = SaveDocument(false, false);
    SetNoReloadMarker(false);
    if (!ok) {
        if (!stateIs("Edit")) views().SetMainMode(1);
        return;
    }

    if (!stateIs("Logo")) views().SetMainMode(3);
    rt::DoEventsNoInput();

    CalDocument blank = BlankDocument(false);
    CurDoc = std::move(blank);
    SetDocDefaults(CurDoc);
    SetModified(DocPart::All, 0, 0);
    SavedDoc = CurDoc;
    rt::DoEventsNoInput();

    if (views().ShowPropertiesDialog(true)) {
        views().ShowMonthWindows();
        return;
    }
    hideMonthWindows();
    SetModified(DocPart::All, 0, 0);
    views().RefreshPane(true, -1);
}

void OpenDocument(QString& FileName) {
    if (documentBusy()) return;

    if (FileName.isEmpty()) {
        rt::CommonDialog& dialog = mainWindow().FileDialog(FileDialogKind::Open);
        try {
            dialog.CancelError = true;
            dialog.DefaultExt = QStringLiteral(".cal");
            dialog.Flags = rt::cdlOFNHideReadOnly;
            dialog.Filter = rt::LoadResString(10050);
            dialog.FilterIndex = 2;
            dialog.FileName.clear();
            dialog.InitDir = DialogStartFolder(Settings.CalOpenPath);
            dialog.ShowOpen();
        } catch (const rt::RtError&) {
            return;
        }
        FileName = dialog.FileName;
        UpdateFolderSetting(Settings.CalOpenPath, dialog.FileName, dialog.FileTitle);
    }

    if (!SaveDocument(false, false)) {
        if (!stateIs("Edit")) views().SetMainMode(1);
        return;
    }

    hideMonthWindows();
    rt::DoEventsNoInput();

    CalDocument blank = BlankDocument(false);
    CurDoc = std::move(blank);
    const bool loaded = LoadCalFile(FileName, CurDoc);
    SetModified(DocPart::All, 0, 0);

    if (loaded) {
        SavedDoc = CurDoc;
        views().ShowMonthWindows();
        CheckAlarms();
        return;
    }
    if (!stateIs("Logo")) views().SetMainMode(3);
    SetModified(DocPart::All, 0, 0);
    views().RefreshPane(true, -1);
}

bool QueryCloseDocument() {
    // A read or write in progress cannot be given up halfway: the window stays open.
    if (stateIs("Load")) return false;
    if (SaveDocument(false, false)) return true;
    if (!stateIs("Edit")) views().SetMainMode(1);
    return false;
}
