#pragma once
// Test fixture for the picture tools and the chart: a zeroed document state, cleared settings,
// scripted message boxes, modal forms, file dialogs, printers and help, and a scratch folder
// for picture files, all put back after each test.

#include "../common/test_support.h"
#include "core/resources.h"
#include "core/settings_store.h"
#include "document/doc_state.h"
#include "platform/ui_test_support.h"
#include "services/settings.h"
#include "shell/frm_main.h"
#include "support/scripted_services.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

class PicturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDocumentState();
        Settings = AppSettings{};
        QFile::remove(rt::settingsFilePath(kSettingsApp));
        // The main window holds the help pictures and the save dialog; its timer stays off.
        FrmMain->TmALCheck.setEnabled(false);
        previousHelp_ = rt::setHelpServices(help);
        previousDialogs_ = rt::setCommonDialogServices(dialogs);
        printers->Printers.push_back(rt::makeImagePrinter(QStringLiteral("Test")));
        previousPrinters_ = rt::setPrinterServices(printers);
    }
    void TearDown() override {
        rt::setHelpServices(previousHelp_);
        rt::setCommonDialogServices(previousDialogs_);
        rt::setPrinterServices(previousPrinters_);
        ui_test::flushReleased();
        Settings = AppSettings{};
        ResetDocumentState();
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    // Writes a picture of one colour; the format follows the name's extension.
    QString picture(const QString& name, int width, int height, QColor colour = Qt::white) const {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        const QString file = path(name);
        EXPECT_TRUE(image.save(
            file, QFileInfo(name).suffix().toUpper() == QLatin1String("BMP") ? "BMP" : "JPG"));
        return file;
    }
    // Writes a bitmap of one bit a pixel, cheap however large: for pictures beyond the limit.
    QString monoBitmap(const QString& name, int width, int height) const {
        QImage image(width, height, QImage::Format_Mono);
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        image.fill(1);
        const QString file = path(name);
        EXPECT_TRUE(image.save(file, "BMP"));
        return file;
    }
    // Writes a file that is no picture.
    QString junk(const QString& name) const {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("no picture here");
        return f.fileName();
    }
    static QString stored(const QString& section, const QString& key) {
        return rt::GetSetting(kSettingsApp, section, key, QStringLiteral("(none)"));
    }
    static void pressF1(rt::Form& form) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        form.previewKey(&press, true);
    }
    // The message boxes shown so far, as their texts.
    QStringList messages() const {
        QStringList texts;
        for (const auto& call : services.ui->msgBoxCalls)
            texts << call.prompt;
        return texts;
    }
    static QString T(int id) { return rt::LoadResString(id); }

    ui_test::ScriptedServices services;
    std::shared_ptr<rt::ScriptedHelp> help = std::make_shared<rt::ScriptedHelp>();
    std::shared_ptr<rt::ScriptedCommonDialogs> dialogs =
        std::make_shared<rt::ScriptedCommonDialogs>();
    std::shared_ptr<rt::ScriptedPrinters> printers = std::make_shared<rt::ScriptedPrinters>();
    QTemporaryDir dir;

private:
    std::shared_ptr<rt::HelpServices> previousHelp_;
    std::shared_ptr<rt::CommonDialogServices> previousDialogs_;
    std::shared_ptr<rt::PrinterServices> previousPrinters_;
};
