// The print preview window: its pages, commands, zoom, layout and the options hand-off.

#include "core/settings_store.h"
#include "printing/print_preview.h"
#include "printing/print_run.h"
#include "printing_fixture.h"
#include "services/shell_services.h"

#include <gtest/gtest.h>

namespace {

class PreviewTest : public PrintingTest {
protected:
    void TearDown() override {
        setOptionsDialogRunner({});
        FrmPrintPrev.release();
        ui_test::flushReleased();
        PrintingTest::TearDown();
    }
    // Opens the preview on a job, shown modeless, laid out and drawn as its timers do.
    FrmPrintPrevForm& open(const ImageItem& Job) {
        Exchange.PrintJob = Job;
        FrmPrintPrevForm& f = FrmPrintPrev.get();
        f.Show();
        f.TmrFrmResize_Timer();
        f.TmrGetPreview_Timer();
        return f;
    }
    // The page shown at a point of the paper, in centimetres.
    static QColor pagePixel(FrmPrintPrevForm& f, double x, double y) {
        const QPointF p = f.PicPage(1).toPixels(x, y);
        return QColor(f.PicPage(1).persistentImage().pixel(p.toPoint()));
    }
    static QString enabled(FrmPrintPrevForm& f) {
        QString s;
        for (int i = 0; i <= 6; ++i)
            s += f.CmdMenu(i).Enabled() ? u'1' : u'0';
        return s;
    }
    static ImageItem pictureJob() {
        return {.FileName = QStringLiteral("/images/chat.bmp"),
                .Picture = markedPicture(40, 20, Qt::blue, Qt::red)};
    }
};

} // namespace

// Months 3, 7 (flagged -1) and 12: three pages in month order, paged through.
TEST_F(PreviewTest, PagesOfTheChosenMonths) {
    chooseMonths({3, 7, 12});
    Settings.PrintMonths(7) = -1;
    const int32_t bands[] = {0x000000FF, 0x0000FF00, 0x00FF0000};
    bandColour(3, bands[0]);
    bandColour(7, bands[1]);
    bandColour(12, bands[2]);
    FrmPrintPrevForm& f = open(CalendarPrintJob());
    EXPECT_EQ(f.Caption(), QStringLiteral("Aperçu Avant l'Impression - [Sans nom]"));
    EXPECT_EQ(f.CmdMenu(1).Caption(), QStringLiteral("Page &Préc."));
    EXPECT_FALSE(f.PicMenu(1).Visible());
    EXPECT_EQ(f.PageCount, 3);
    EXPECT_EQ(pagePixel(f, 1.1, 2.4), colourOf(bands[0]));
    EXPECT_EQ(enabled(f), QStringLiteral("1011111"));
    f.CmdMenu_Click(2);
    EXPECT_EQ(pagePixel(f, 1.1, 2.4), colourOf(bands[1]));
    EXPECT_EQ(f.SBPrint.Panels(1).Text(), QStringLiteral("Page # 2"));
    f.CmdMenu_Click(2);
    EXPECT_EQ(pagePixel(f, 1.1, 2.4), colourOf(bands[2]));
    EXPECT_EQ(enabled(f), QStringLiteral("1101111"));
    EXPECT_TRUE(ui->msgBoxCalls.empty());
    EXPECT_FALSE(ui->hourglass());
}

// No month chosen: no page at all, nothing to page through or print.
TEST_F(PreviewTest, NoMonthChosenShowsNoPage) {
    chooseMonths({});
    FrmPrintPrevForm& f = open(CalendarPrintJob());
    EXPECT_EQ(f.PageCount, 0);
    EXPECT_FALSE(f.PicPage(0).Visible());
    EXPECT_EQ(enabled(f), QStringLiteral("0001111"));
    EXPECT_EQ(f.SBPrint.Panels(1).Text(), QStringLiteral("Page # 0"));
    f.CmdMenu_Click(3);
    EXPECT_FALSE(f.PicPage(0).Visible());
}

// A picture job: one page at natural size with the stretch box unticked; ticking it draws the
// picture again stretched, and printing follows the box.
TEST_F(PreviewTest, PictureJobWithTheStretchBox) {
    FrmPrintPrevForm& f = open(pictureJob());
    EXPECT_TRUE(f.PicMenu(1).Visible());
    EXPECT_EQ(f.ChkMenu.Value(), rt::vbUnchecked);
    EXPECT_EQ(enabled(f), QStringLiteral("1001111"));
    EXPECT_EQ(Exchange.PrintJob.Mode, 0);
    EXPECT_EQ(pagePixel(f, 1.5, 1.3), QColor(Qt::blue));
    EXPECT_EQ(pagePixel(f, 10.0, 10.0), QColor(Qt::white));
    f.ChkMenu.setValue(rt::vbChecked);
    EXPECT_EQ(Exchange.PrintJob.Mode, 1);
    EXPECT_EQ(pagePixel(f, 10.0, 10.0), QColor(Qt::blue));
    f.CmdMenu_Click(0);
    ASSERT_EQ(printer->pages().size(), 1u);
    EXPECT_EQ(QColor(printer->pages()[0].pixel(528, 408)), QColor(Qt::blue));
}

// From 50 %, six steps in reach 200 % and one step out 25 %, each bound disabling its command.
TEST_F(PreviewTest, ZoomSteps) {
    chooseMonths({1});
    FrmPrintPrevForm& f = open(CalendarPrintJob());
    QStringList shown{f.SBPrint.Panels(2).Text()};
    for (int i = 0; i < 6; ++i) {
        f.CmdMenu_Click(3);
        shown << f.SBPrint.Panels(2).Text();
    }
    EXPECT_EQ(shown, (QStringList{"50%", "75%", "100%", "125%", "150%", "175%", "200%"}));
    EXPECT_EQ(enabled(f).mid(3, 2), QStringLiteral("01"));
    EXPECT_EQ(f.PicPage(0).Width(), 2 * 15840); // the paper at two times
    for (int i = 0; i < 7; ++i)
        f.CmdMenu_Click(4);
    EXPECT_EQ(f.SBPrint.Panels(2).Text(), QStringLiteral("25%"));
    EXPECT_EQ(enabled(f).mid(3, 2), QStringLiteral("10"));
}

// The page centred with room to spare; too tall, it scrolls down from 120 twips below the
// zone's top, centred across.
TEST_F(PreviewTest, LayoutAndScrolling) {
    chooseMonths({1});
    FrmPrintPrevForm& f = open(CalendarPrintJob());
    rt::PictureBox& page = f.PicPage(0);
    EXPECT_FALSE(f.PicVS.Visible() || f.PicHS.Visible());
    EXPECT_EQ(page.Top(), (f.PicViewZone.Height() - page.Height()) / 2);
    EXPECT_EQ(page.Left(), (f.PicViewZone.Width() - page.Width()) / 2);

    f.Move(0, 0, 19500, 9000); // wide enough for the page at 100 %, not tall enough
    f.TmrFrmResize_Timer();
    f.CmdMenu_Click(3);
    f.CmdMenu_Click(3);
    EXPECT_TRUE(f.PicVS.Visible());
    EXPECT_FALSE(f.PicHS.Visible());
    EXPECT_EQ(page.Top(), 120);
    EXPECT_EQ(page.Left(), (f.PicViewZone.Width() - page.Width()) / 2);
    const int min = f.PicViewZone.Height() - page.Height() - 120;
    EXPECT_EQ(QString("%1 %2 %3").arg(f.VSPage.Min()).arg(f.VSPage.Max()).arg(f.VSPage.Value()),
              QString("%1 120 %1").arg(min));
    f.VSPage.setValue(120);
    EXPECT_EQ(page.Top() + page.Height(), f.PicViewZone.Height() - 120);
}

// The options open at their printing page; accepted, the pages follow the new months from page
// 1 at 50 %; cancelled, nothing changes.
TEST_F(PreviewTest, OptionsFromThePreview) {
    chooseMonths({1, 2});
    FrmPrintPrevForm& f = open(CalendarPrintJob());
    f.CmdMenu_Click(2);
    f.CmdMenu_Click(3);
    setOptionsDialogRunner([] { Exchange.DialogResult = 0; });
    f.CmdMenu_Click(6);
    EXPECT_EQ(rt::GetSetting(kSettingsApp, QStringLiteral("Tabs"), QStringLiteral("TbOpt"), {}),
              QStringLiteral("3"));
    EXPECT_EQ(f.CurPage, 2);
    EXPECT_EQ(f.Zoom, 0.75f);
    setOptionsDialogRunner([] {
        Exchange.DialogResult = 1;
        chooseMonths({4, 5, 6});
    });
    f.CmdMenu_Click(6);
    EXPECT_EQ(f.PageMonths, (std::vector<int16_t>{0, 4, 5, 6}));
    EXPECT_EQ(f.CurPage, 1);
    EXPECT_EQ(f.Zoom, 0.5f);
    EXPECT_TRUE(f.TmrGetPreview.Enabled()); // drawn anew a second later
}

// Printing from the preview shows its status there and leaves the page and zoom as they were.
TEST_F(PreviewTest, PrintFromThePreview) {
    chooseMonths({3, 4});
    FrmPrintPrevForm& f = open(CalendarPrintJob());
    f.CmdMenu_Click(2);
    f.CmdMenu_Click(3);
    QStringList lines;
    ui->onDoEvents = [&](bool) {
        if (f.PicPrinting.Visible() && !f.PicPage(0).Visible())
            lines << f.LblPrinting(0).Caption() + u'|' + f.LblPrinting(1).Caption();
    };
    f.CmdMenu_Click(0);
    ui->onDoEvents = nullptr;
    EXPECT_EQ(printer->pages().size(), 2u);
    EXPECT_TRUE(lines.contains(rt::LoadResString(1509) + QStringLiteral("|Page 02 de 02 ...")));
    EXPECT_TRUE(f.PicPage(0).Visible() && !f.PicPrinting.Visible());
    EXPECT_TRUE(f.LblPrinting(1).Caption().isEmpty());
    EXPECT_EQ(f.CurPage, 2);
    EXPECT_EQ(f.Zoom, 0.75f);
}

// Without a printer nothing is drawn or printed; F1 opens the topic; closing stops the timers.
TEST_F(PreviewTest, NoPrinterHelpAndClose) {
    usePrinters({});
    chooseMonths({1});
    FrmPrintPrevForm& f = open(CalendarPrintJob());
    EXPECT_FALSE(f.CmdMenu(0).Enabled());
    EXPECT_FALSE(f.PicPage(0).Visible() || f.PicPrinting.Visible());
    int key = rt::vbKeyF1;
    f.Form_KeyDown(key, 0);
    EXPECT_EQ(help->calls.at(0).topic, QStringLiteral("Html\\d_prev.htm"));
    f.TmrGetPreview.setEnabled(true);
    f.CmdMenu_Click(5);
    EXPECT_FALSE(f.Loaded() || f.TmrGetPreview.Enabled());
}
