#pragma once
// Printing tests: a main window, a live document of 2004 with a new document's colours and its
// month windows filled, and a default printer that keeps its pages as images (96 dots per inch,
// US Letter, quarter-inch margins). An engine error message left unanswered is answered Abort,
// so that no test loops on Retry.

#include "core/resources.h"
#include "document/doc_state.h"
#include "platform/help.h"
#include "services/settings.h"
#include "services/shell_services.h"
#include "shell/month_fill.h"
#include "shell/shell_fixture.h"
#include "support/scripted_services.h"
#include "support/scripted_ui_services.h"

class AbortingUi : public rt::ScriptedUiServices {
public:
    int msgBox(const QString& prompt, int style, const QString& title) override {
        if (msgBoxAnswers.empty()) msgBoxAnswers.push_back(rt::vbAbort);
        return ScriptedUiServices::msgBox(prompt, style, title);
    }
};

class PrintingTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        previousUi_ = rt::setUiServices(ui);
        previousHelp_ = rt::setHelpServices(help);
        printers->Printers = {printer};
        previousPrinters_ = rt::setPrinterServices(printers);
        Settings = AppSettings{};
        Settings.PrintCopies = 1;
        SetDocDefaults(CurDoc);
        CurDoc.Year = QStringLiteral("2004");
        FrmMain->setTag(QStringLiteral("Edit"));
        for (int16_t m = 1; m <= 12; ++m) {
            MonthForms(m)->setCaption(rt::LoadResString(209 + m) + u' ' + CurDoc.Year);
            FillMonthDays(m);
        }
    }
    void TearDown() override {
        Exchange.PrintJob = ImageItem{};
        Settings = AppSettings{};
        rt::setPrinterServices(previousPrinters_);
        rt::setHelpServices(previousHelp_);
        rt::setUiServices(previousUi_);
        ShellTest::TearDown();
    }
    // The printers installed from now on (the default printer is looked up again).
    void usePrinters(std::vector<std::shared_ptr<rt::PrintDevice>> devices) {
        printers->Printers = std::move(devices);
        rt::setPrinterServices(printers);
    }
    static void chooseMonths(std::initializer_list<int> months) {
        for (int m = 1; m <= 12; ++m)
            Settings.PrintMonths(m) = std::count(months.begin(), months.end(), m) ? 1 : 0;
    }
    // Month m with colours of its own and a band colour of its own.
    static void bandColour(int16_t m, int32_t colour) {
        CurDoc.Months(m).Colours = CurDoc.DefaultColours;
        CurDoc.Months(m).Colours.UseDefault = 0;
        CurDoc.Months(m).Colours.HeaderBack = colour;
    }
    static QColor colourOf(int32_t value) {
        return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    }
    static bool near(QColor a, QColor b, int tolerance) {
        return std::abs(a.red() - b.red()) <= tolerance &&
               std::abs(a.green() - b.green()) <= tolerance &&
               std::abs(a.blue() - b.blue()) <= tolerance;
    }
    // W x H pixels of one colour with a square of another at the top left corner.
    static rt::Picture markedPicture(int W, int H, QColor Fill, QColor Mark, int MarkSize = 4) {
        QImage image(W, H, QImage::Format_RGB32);
        image.fill(Fill);
        for (int y = 0; y < MarkSize; ++y)
            for (int x = 0; x < MarkSize; ++x)
                image.setPixelColor(x, y, Mark);
        return rt::Picture::fromImage(image);
    }

    std::shared_ptr<AbortingUi> ui = std::make_shared<AbortingUi>();
    std::shared_ptr<rt::ScriptedHelp> help = std::make_shared<rt::ScriptedHelp>();
    std::shared_ptr<rt::ScriptedPrinters> printers = std::make_shared<rt::ScriptedPrinters>();
    std::shared_ptr<rt::ImagePrintDevice> printer = rt::makeImagePrinter(QStringLiteral("Test"));

private:
    std::shared_ptr<rt::UiServices> previousUi_;
    std::shared_ptr<rt::HelpServices> previousHelp_;
    std::shared_ptr<rt::PrinterServices> previousPrinters_;
};
