#include "print_preview.h"

#include "api_printer.h"
#include "core/resources.h"
#include "core/settings_store.h"
#include "core/system.h"
#include "core/ui_services.h"
#include "document/doc_state.h"
#include "month_page.h"
#include "print_run.h"
#include "services/settings.h"
#include "services/shell_services.h"

#include <cmath>
#include <cstdlib>
#include <memory>

rt::FormSlot<FrmPrintPrevForm> FrmPrintPrev{"FrmPrintPrev"};

namespace {

// The page keeps this margin to the view zone's edges when it scrolls.
constexpr int kMargin = 120;
constexpr int kBarThickness = 255;
constexpr int kButtonWidth = 1335;
constexpr int kButtonHeight = 375;

// The captions of the commands, by index: print, previous, next, zoom in, zoom out, close,
// options.
constexpr int kCommandIds[7] = {1502, 1504, 1503, 1505, 1506, 1507, 244};

// Sets a scroll bar up for a page that exceeds the zone by -room twips: Min at room (the
// page's near edge kMargin inside the zone), Max at kMargin (its far edge kMargin inside the
// far side). A page too large for the bar's 16-bit range scrolls in coarser units; the unit
// used is returned.
int setUpScrollBar(rt::ScrollBar& bar, double room) {
    int unit = 1;
    if (room < -32768.0) unit = int(std::ceil(-room / 32768.0));
    bar.setMax(int(std::lround(double(kMargin) / unit)));
    bar.setMin(int(std::lround(room / unit)));
    bar.setValue(bar.Min());
    return unit;
}

} // namespace

FrmPrintPrevForm::FrmPrintPrevForm() : rt::Form(QStringLiteral("FrmPrintPrev")) {
    // Nine tenths of the screen, in its middle.
    const QSize screen = rt::sys().screenSize();
    const int width = rt::PixelsToTwips(int(screen.width() * 0.9));
    const int height = rt::PixelsToTwips(int(screen.height() * 0.9));
    Move(rt::PixelsToTwips(screen.width()) / 2 - width / 2,
         rt::PixelsToTwips(screen.height()) / 2 - height / 2, width, height);
    setKeyPreview(true);

    PicMenu(0).setBorderStyle(0);
    PicMenu(0).setAlign(rt::vbAlignTop);
    PicMenu(0).setHeight(kButtonHeight + 120);
    for (int i = 0; i <= 6; ++i) {
        CmdMenu(i).Move(60 + i * (kButtonWidth + 60), 60, kButtonWidth, kButtonHeight);
        CmdMenu(i).onClick = [this, i] { CmdMenu_Click(i); };
    }
    PicMenu(1).setBorderStyle(0);
    PicMenu(1).setAlign(rt::vbAlignTop);
    PicMenu(1).setHeight(420);
    ChkMenu.Move(60, 60, 4800, 300);
    ChkMenu.setValue(rt::vbUnchecked);
    ChkMenu.onClick = [this] { ChkMenu_Click(); };

    SBPrint.AddPanel();
    SBPrint.Panels(1).setWidth(2400);
    SBPrint.Panels(2).setWidth(1200);

    PicHS.setBorderStyle(0);
    PicHS.setAlign(rt::vbAlignBottom);
    PicHS.setHeight(kBarThickness);
    PicHS.setVisible(false);
    HSPage.Move(0, 0, width, kBarThickness);
    HSPage.setSmallChange(240);
    HSPage.setLargeChange(2400);
    HSPage.onChange = [this] { HSPage_Change(); };
    PicVS.setBorderStyle(0);
    PicVS.setAlign(rt::vbAlignRight);
    PicVS.setWidth(kBarThickness);
    PicVS.setVisible(false);
    VSPage.Move(0, 0, kBarThickness, height);
    VSPage.setSmallChange(240);
    VSPage.setLargeChange(2400);
    VSPage.onChange = [this] { VSPage_Change(); };

    PicViewZone.setBorderStyle(0);
    PicViewZone.setAlign(rt::vbAlignLeft);
    PicViewZone.setWidth(width);
    PicViewZone.setBackColor(rt::vbApplicationWorkspace);
    // The page box shows once a page is drawn in it.
    PicPage(0).setBorderStyle(0);
    PicPage(0).setBackColor(rt::vbWindowBackground);
    PicPage(0).setVisible(false);
    PicPage(1).setBorderStyle(0);

    PicPrinting.setBorderStyle(0);
    PicPrinting.setBackColor(rt::vbBlack);
    PicPrinting.Move(0, 0, 5400, 1080);
    PicPrinting.setVisible(false);
    for (int i = 0; i <= 1; ++i) {
        rt::Label& label = LblPrinting(i);
        label.Move(120, 180 + i * 420, 5160, 300);
        label.setBackStyle(0);
        label.setForeColor(rt::vbWhite);
        label.setAlignment(rt::vbCenter);
    }
    LblPrinting(0).setFontBold(true);

    TmrGetPreview.setEnabled(false);
    TmrGetPreview.setInterval(1000);
    TmrGetPreview.onTimer = [this] { TmrGetPreview_Timer(); };
    TmrFrmResize.setEnabled(false);
    TmrFrmResize.setInterval(2000);
    TmrFrmResize.onTimer = [this] { TmrFrmResize_Timer(); };
}

bool FrmPrintPrevForm::pictureJob() const {
    return !Exchange.PrintJob.FileName.isEmpty();
}

void FrmPrintPrevForm::Form_Load() {
    InitCaptions();
    InitPages();
}

void FrmPrintPrevForm::InitCaptions() {
    setCaption(rt::LoadResString(1501) + QStringLiteral(" - ") +
               (CurDoc.FileName.isEmpty() ? rt::LoadResString(540) : CurDoc.FileName));
    setIcon(rt::LoadResPicture(1501, rt::vbResIcon));
    for (int i = 0; i <= 6; ++i)
        CmdMenu(i).setCaption(rt::LoadResString(kCommandIds[i]));
    showStatus();
    LblPrinting(0).setCaption(QString());
    LblPrinting(1).setCaption(QString());
    ChkMenu.setCaption(rt::LoadResString(1511));
}

void FrmPrintPrevForm::showStatus() {
    SBPrint.Panels(1).setText(rt::LoadResString(1508) + u' ' + QString::number(CurPage));
    SBPrint.Panels(2).setText(QString::number(std::lround(Zoom * 100)) + u'%');
}

void FrmPrintPrevForm::InitPages() {
    PageMonths.assign(1, 0); // pages count from 1
    if (pictureJob()) {
        PicMenu(1).setVisible(true);
        PageCount = 1;
    } else {
        PicMenu(1).setVisible(false);
        // Every non-zero flag chooses its month, as for printing.
        PageCount = 0;
        for (int16_t m = 1; m <= 12; ++m) {
            if (Settings.PrintMonths(m) == 0) continue;
            ++PageCount;
            PageMonths.push_back(m);
        }
    }
    Zoom = 0.5f;
    CurPage = PageCount > 0 ? 1 : 0;
    EnableCmdButtons();
    showStatus();
    PicViewZone.setWidth(ScaleWidth());
    rt::DoEvents();
    TmrGetPreview.setEnabled(true);
}

void FrmPrintPrevForm::EnableCmdButtons() {
    int32_t device = 0;
    CmdMenu(0).setEnabled(CheckPrinter(device) && PageCount > 0);
    CmdMenu(1).setEnabled(CurPage > 1);
    CmdMenu(2).setEnabled(CurPage < PageCount);
    CmdMenu(3).setEnabled(Zoom != 2.0f);
    CmdMenu(4).setEnabled(Zoom != 0.25f);
}

void FrmPrintPrevForm::GetPreview() {
    rt::SetHourglass(true);
    CenterInContainer(PicPrinting, PicViewZone);
    LblPrinting(0).setCaption(rt::LoadResString(1510));
    PicPrinting.setVisible(true);
    rt::DoEvents();

    std::unique_ptr<cmAPIPrinter> engine;
    int32_t device = 0;
    if (CheckPrinter(device)) {
        engine = std::make_unique<cmAPIPrinter>();
        const bool hasPage = pictureJob() || (CurPage >= 1 && CurPage <= PageCount);
        if (!hasPage) {
            // A job without a page shows no sheet.
            PicPage(0).setVisible(false);
        } else if (engine->cmPrt_DocStart(device, PrintDocumentName(), 0, Zoom, PicPage(0),
                                          PicPage(1))) {
            if (pictureJob()) {
                Exchange.PrintJob.Mode = ChkMenu.Value() == rt::vbChecked ? 1 : 0;
                PrintMonthPage(*engine, 0, Exchange.PrintJob);
            } else {
                PrintMonthPage(*engine, PageMonths[size_t(CurPage)], Exchange.PrintJob);
            }
            engine->cmPrt_DocEnd();
        }
    }

    PicPrinting.setVisible(false);
    rt::DoEvents();
    LayoutPreview();
    rt::SetHourglass(false);
    engine.reset();
}

void FrmPrintPrevForm::LayoutPreview() {
    rt::DoEvents();
    if (TmrFrmResize.Enabled()) return; // laid out when the timer fires
    rt::PictureBox& page = PicPage(0);

    const bool vertical = page.Height() + kMargin > PicViewZone.Height();
    PicVS.setVisible(vertical);
    PicViewZone.setWidth(ScaleWidth() - (vertical ? PicVS.Width() : 0));
    const bool horizontal = page.Width() + kMargin > PicViewZone.Width();
    PicHS.setVisible(horizontal);

    if (vertical) {
        VSPage.setHeight(PicVS.Height());
        vScrollUnit_ =
            setUpScrollBar(VSPage, double(PicViewZone.Height()) - page.Height() - kMargin);
    }
    if (horizontal) {
        HSPage.setWidth(PicViewZone.Width());
        hScrollUnit_ = setUpScrollBar(HSPage, double(PicViewZone.Width()) - page.Width() - kMargin);
    }

    if (!vertical && !horizontal) {
        CenterInContainer(page, PicViewZone);
    } else if (vertical && !horizontal) {
        page.setTop(kMargin);
        page.setLeft(std::abs(PicViewZone.Width() - page.Width()) / 2);
    } else if (!vertical) {
        page.setTop(std::abs(PicViewZone.Height() - page.Height()) / 2);
        page.setLeft(kMargin);
    } else {
        page.setTop(kMargin);
        page.setLeft(kMargin);
    }
}

void FrmPrintPrevForm::Form_Resize() {
    PicHS.setVisible(false);
    PicVS.setVisible(false);
    rt::DoEvents();
    TmrFrmResize.setEnabled(true);
}

void FrmPrintPrevForm::Form_Unload(int& /*Cancel*/) {
    TmrGetPreview.setEnabled(false);
    TmrFrmResize.setEnabled(false);
    for (int i = 0; i <= 1; ++i) {
        PicPage(i).setAutoRedraw(false);
        PicPage(i).Cls();
    }
}

void FrmPrintPrevForm::Form_KeyDown(int& KeyCode, int /*Shift*/) {
    if (KeyCode == rt::vbKeyF1) ShowHelp(QStringLiteral("Html\\d_prev.htm"));
}

void FrmPrintPrevForm::CmdMenu_Click(int Index) {
    switch (Index) {
    case 0:
        if (pictureJob()) Exchange.PrintJob.Mode = ChkMenu.Value() == rt::vbChecked ? 1 : 0;
        PrintCalendar(true, Exchange.PrintJob);
        return;
    case 1:
        --CurPage;
        break;
    case 2:
        ++CurPage;
        break;
    case 3:
        Zoom += 0.25f;
        break;
    case 4:
        Zoom -= 0.25f;
        break;
    case 5:
        Unload();
        return;
    case 6:
        // The options open at their printing page.
        rt::SaveSetting(kSettingsApp, QStringLiteral("Tabs"), QStringLiteral("TbOpt"),
                        QStringLiteral("3"));
        if (ShowOptionsDialog()) InitPages();
        return;
    default:
        return;
    }
    EnableCmdButtons();
    showStatus();
    GetPreview();
}

void FrmPrintPrevForm::ChkMenu_Click() {
    GetPreview();
}

void FrmPrintPrevForm::HSPage_Change() {
    PicPage(0).setLeft((HSPage.Min() + HSPage.Max() - HSPage.Value()) * hScrollUnit_);
}

void FrmPrintPrevForm::VSPage_Change() {
    PicPage(0).setTop((VSPage.Min() + VSPage.Max() - VSPage.Value()) * vScrollUnit_);
}

void FrmPrintPrevForm::TmrGetPreview_Timer() {
    TmrGetPreview.setEnabled(false);
    GetPreview();
}

void FrmPrintPrevForm::TmrFrmResize_Timer() {
    TmrFrmResize.setEnabled(false);
    LayoutPreview();
}
