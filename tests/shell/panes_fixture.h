#pragma once
// The main window with a document of 2004 and a scripted printer collection, for the tests of
// the panes, the summary, the command enabling and the set-up.

#include "document/money_text.h"
#include "document/month_grid.h"
#include "shell/main_module.h"
#include "shell_fixture.h"
#include "support/scripted_services.h"

class PanesTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        previousPrinters_ = rt::setPrinterServices(printers);
        CurDoc = BlankDocument(true);
        CurDoc.Year = QStringLiteral("2004");
        CurDoc.IsSaved = -1; // unchanged: closing the main window asks nothing
    }
    void TearDown() override {
        ShellTest::TearDown();
        rt::setPrinterServices(previousPrinters_);
    }
    FrmMainForm& main() { return FrmMain.get(); }
    void setPrinters(int count) {
        printers->Printers.clear();
        for (int i = 0; i < count; ++i)
            printers->Printers.push_back(rt::makeImagePrinter(QStringLiteral("P%1").arg(i)));
        rt::setPrinterServices(printers); // forgets the last collection's default printer
    }
    // Day Day of Month becomes the current day; Month 0 leaves no current day.
    static void selectDay(int16_t Month, int16_t Day) {
        CurMonth = Month;
        CurCell = Month ? CellOfDay(2004, Month, Day) : 0;
        CurDate = Month ? MakeDate(Day, Month, 2004) : DateRec{};
    }
    static DayCell& day(int16_t Month, int16_t Day) {
        return CurDoc.Months(Month).Cells(CellOfDay(2004, Month, Day));
    }
    static EVItem item(int32_t Kind, const QString& Text, const QString& PictureFile = {}) {
        EVItem i;
        i.Kind = Kind;
        i.Text = Text;
        i.PictureFile = PictureFile;
        return i;
    }
    static EVItem money(int32_t Kind, const char* Name, const char* Amount) {
        return item(Kind, MakeMoneyText(QString::fromUtf8(Name), QLatin1String(Amount)));
    }
    static DEItem debt(const char* Name, const char* Amount, DateRec Start, int16_t Saving = 0) {
        return DEItem{Saving, Start, MakeMoneyText(QLatin1String(Name), QLatin1String(Amount))};
    }

    std::shared_ptr<rt::ScriptedPrinters> printers = std::make_shared<rt::ScriptedPrinters>();

private:
    std::shared_ptr<rt::PrinterServices> previousPrinters_;
};
