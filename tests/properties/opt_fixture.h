#pragma once
// Test fixture of the options dialog and the folder chooser: scripted dialogs, messages,
// printers, sound and help; the registry, the desktop's data folder and a folder tree in a
// scratch folder of the test's own; Settings and the document state zeroed; the main window's
// alarm timer off. Everything is put back after each test.

#include "../common/test_support.h"
#include "core/desktop_file_types.h"
#include "core/registry.h"
#include "core/settings_store.h"
#include "document/doc_state.h"
#include "properties/frm_opt.h"
#include "services/settings.h"
#include "services/shell_services.h"
#include "shell/frm_main.h"
#include "support/scripted_form_services.h"
#include "support/scripted_services.h"
#include "support/scripted_ui_services.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

class OptTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDocumentState();
        Settings = AppSettings{};
        FrmMain->TmALCheck.setEnabled(false);
        FrmMain->NextAlarmCheck = QDateTime();
        rt::setRegistryFile(dir_.filePath(QStringLiteral("registry.json")));
        rt::setDesktopDataFolder(dir_.filePath(QStringLiteral("share")));
        rt::setSettingsFolder(dir_.filePath(QStringLiteral("config")));
        auto ui = rt::setUiServices(ui_);
        auto forms = rt::setFormServices(forms_);
        auto dialogs = rt::setCommonDialogServices(dialogs_);
        auto printers = rt::setPrinterServices(printers_);
        auto sound = rt::setSoundServices(sound_);
        auto help = rt::setHelpServices(help_);
        restore_ = [=] {
            rt::setUiServices(ui);
            rt::setFormServices(forms);
            rt::setCommonDialogServices(dialogs);
            rt::setPrinterServices(printers);
            rt::setSoundServices(sound);
            rt::setHelpServices(help);
        };
    }
    void TearDown() override {
        FrmOpt.release();
        restore_();
        FrmMain->TmALCheck.setEnabled(false);
        rt::setRegistryFile(QString());
        rt::setDesktopDataFolder(QString());
        rt::setSettingsFolder(testing_support::scratchFolder() + QStringLiteral("/config"));
        Settings = AppSettings{};
        ResetDocumentState();
    }

    QString path(const QString& name) const { return dir_.filePath(name); }
    // A folder inside the test's scratch folder, made with its parents.
    QString folder(const QString& name) const {
        QDir().mkpath(path(name));
        return path(name);
    }
    static QString get(const char* section, const char* key, const char* fallback = "") {
        return rt::GetSetting(kSettingsApp, QString::fromLatin1(section), QString::fromLatin1(key),
                              QString::fromUtf8(fallback));
    }
    static void put(const char* section, const char* key, const QString& value) {
        rt::SaveSetting(kSettingsApp, QString::fromLatin1(section), QString::fromLatin1(key),
                        value);
    }

    // Runs the options dialog as the main window does; the script plays the user.
    bool showOptions(std::function<void(FrmOptForm&)> script) {
        forms_->modalScripts.push_back(
            [script](rt::Form& form) { script(dynamic_cast<FrmOptForm&>(form)); });
        return ShowOptionsDialog();
    }
    static void pressOk(FrmOptForm& d) { d.CmdOk.raiseEvent(rt::Event::Click); }
    static void pressCancel(FrmOptForm& d) { d.CmdCancel.raiseEvent(rt::Event::Click); }

    std::shared_ptr<rt::ScriptedUiServices> ui_ = std::make_shared<rt::ScriptedUiServices>();
    std::shared_ptr<rt::ScriptedFormServices> forms_ = std::make_shared<rt::ScriptedFormServices>();
    std::shared_ptr<rt::ScriptedCommonDialogs> dialogs_ =
        std::make_shared<rt::ScriptedCommonDialogs>();
    std::shared_ptr<rt::ScriptedPrinters> printers_ = std::make_shared<rt::ScriptedPrinters>();
    std::shared_ptr<rt::ScriptedSound> sound_ = std::make_shared<rt::ScriptedSound>();
    std::shared_ptr<rt::ScriptedHelp> help_ = std::make_shared<rt::ScriptedHelp>();

private:
    QTemporaryDir dir_;
    std::function<void()> restore_;
};
