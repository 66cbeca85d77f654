#include "frm_main.h"

#include "core/rt_error.h"
#include "core/system.h"
#include "core/ui_services.h"
#include "document/alarm_scan.h"
#include "document/doc_state.h"
#include "document/records.h"
#include "document_dialogs/document_dialogs.h"
#include "main_module.h"
#include "platform/form_services.h"
#include "platform/ui_dispatch.h"
#include "printing/printing.h"
#include "services/settings.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <deque>

rt::FormSlot<FrmMainForm> FrmMain{"FrmMain"};

namespace {
// The window's own outer size in twips: 1024 by 768 pixels.
constexpr int kMainWidth = 15360;
constexpr int kMainHeight = 11520;
// Panel widths in twips.
constexpr int kPanelOpen = 4000;
constexpr int kPanelClosed = 500;
// Width of a page beside the tab strip.
constexpr int kPageWidth = 3600;
constexpr int kPageHeight = 9600;
// The alarm timer's tick.
constexpr int kAlarmTick = 65535;

const QString kEdit = QStringLiteral("Edit");
const QString kLoad = QStringLiteral("Load");
const QString kUnload = QStringLiteral("Unload");
// How often a closing asked for during an alarm scan looks whether the scan has ended.
constexpr int kCloseAfterScanPollMs = 100;
const QString kLogo = QStringLiteral("Logo");

// True while a modal form, message box or file dialog, or a pop-up menu is open.
bool DialogOpen() {
    for (rt::Form* form : rt::loadedForms())
        if (form->isModal()) return true;
    return QApplication::activeModalWidget() != nullptr ||
           QApplication::activePopupWidget() != nullptr;
}

// The words of the pages' help topics, by the index of their help button.
const char* const kHelpPages[] = {"commands", "events", "aevents", "debts", "bd", "sum"};
} // namespace

FrmMainForm::PageBuilder FrmMainForm::pagePair(int page) {
    return [this, page](rt::ControlArray<rt::PictureBox>& a) {
        a.create(0, PicTab(page));
        a.create(1, PicTab(page));
    };
}

FrmMainForm::ButtonBuilder FrmMainForm::buttonPair(rt::ControlArray<rt::PictureBox>& pages) {
    return [&pages](rt::ControlArray<rt::CommandButton>& a) {
        a.create(0, pages(1));
        a.create(1, pages(1));
    };
}

FrmMainForm::LabelBuilder FrmMainForm::labelPair(rt::ControlArray<rt::PictureBox>& pages) {
    return [&pages](rt::ControlArray<rt::Label>& a) {
        a.create(0, pages(1));
        a.create(1, pages(1));
    };
}

FrmMainForm::LabelBuilder FrmMainForm::resultsPair() {
    return [this](rt::ControlArray<rt::Label>& a) {
        a.create(0, FrSUResults);
        a.create(1, FrSUResults);
    };
}

FrmMainForm::FrmMainForm() : rt::MdiForm(QStringLiteral("FrmMain")) {
    layOut();
    bindEvents();
}

void FrmMainForm::layOut() {
    placeOnScreen();

    // The frame: panel and views aligned on the left, timers off.
    PicMenu.setBorderStyle(0);
    PicMenu.setAlign(rt::vbAlignLeft);
    PicMenu.setWidth(kPanelOpen);
    TbMenu.setTabOrientation(rt::ssTabOrientationLeft);
    TbMenu.Move(0, 0, kPanelOpen, int(PicMenu.ScaleHeight()));
    PicView.setBorderStyle(0);
    PicView.setAlign(rt::vbAlignLeft);
    PicView.setWidth(std::abs(Width() - kPanelOpen));
    PicView.setBackColor(rt::vbApplicationWorkspace);
    PicView.setVisible(false);
    PicLogo.setBorderStyle(0);
    PicLogo.Move(0, 0, rt::PixelsToTwips(405), rt::PixelsToTwips(381));
    PicLogo.setVisible(false);
    ImgLogo.Move(0, 0);
    PicLoading.Move(0, 0, 6000, 1320);
    PicLoading.setVisible(false);
    LblLoading(0).Move(240, 240, 5520, 375);
    LblLoading(0).setFontBold(true);
    LblLoading(1).Move(240, 720, 5520, 375);
    TmNavVisible.setEnabled(false);
    TmNavVisible.setInterval(1000);
    TmALCheck.setEnabled(false);
    TmALCheck.setInterval(kAlarmTick);
    LVTemp.setVisible(false);
    PicPrint(0).setVisible(false);
    PicTempPrint.setVisible(false);

    for (int i = 0; i <= 5; ++i) {
        PicTab(i).setBorderStyle(0);
        PicTab(i).Move(0, 0, kPageWidth, kPageHeight);
        LblMenu(i).Move(120, 120, 2880, 300);
        LblMenu(i).setFontBold(true);
        LblMenu(i).setBackStyle(0);
        CmdHelp(i).setStyle(1);
        CmdHelp(i).Move(3120, 60, 360, 360);
    }

    // Commands page.
    FrCOOpSv.Move(120, 540, 3360, 2130);
    FrCOPrint.Move(120, 2790, 3360, 1260);
    FrCOOpt.Move(120, 4170, 3360, 810);
    struct Row {
        rt::Image* image;
        rt::CommandButton* button;
        int top;
    };
    const Row rows[] = {{&ImgCONew, &CmdCONew, 300},         {&ImgCOOpen, &CmdCOOpen, 750},
                        {&ImgCOSave, &CmdCOSave, 1200},      {nullptr, &CmdCOSaveAs, 1650},
                        {&ImgCOPreview, &CmdCOPreview, 300}, {&ImgCOPrint, &CmdCOPrint, 750},
                        {&ImgCOOptions, &CmdCOOptions, 300}};
    for (const Row& r : rows) {
        if (r.image) r.image->Move(180, r.top + 60, 240, 240);
        r.button->Move(600, r.top, 2580, 375);
    }
    CmdCOAbout.Move(120, 5160, 1620, 375);
    CmdCOExit.Move(1860, 5160, 1620, 375);

    // Instruction and working pages of the list and summary tabs.
    for (auto* pages : {&PicEvents, &PicAE, &PicDebt, &PicBD, &PicSummary})
        for (int i = 0; i <= 1; ++i) {
            (*pages)(i).setBorderStyle(0);
            (*pages)(i).Move(0, 540, kPageWidth, kPageHeight - 540);
        }
    for (int i : LblStepOne.indexes())
        LblStepOne(i).Move(120, 120, 3360, 900);
    for (int i : LblStepTwo.indexes())
        LblStepTwo(i).Move(120, 1140, 3360, 900);

    // The four list pages share one layout: the list, a row of small picture buttons, then
    // Add/Edit and Remove/Clear.
    struct ListPage {
        rt::ListBox* list;
        int listTop;
        std::vector<rt::CommandButton*> small;
        rt::CommandButton *add, *edit, *remove, *clear;
    };
    const ListPage lists[] = {
        {&LstEV,
         480,
         {&CmdEVUp, &CmdEVDown, &CmdEVSort(0), &CmdEVSort(1), &CmdEVShowPic},
         &CmdEVAdd,
         &CmdEVEdit,
         &CmdEVRemove,
         &CmdEVClear},
        {&LstAE,
         120,
         {&CmdAEUp, &CmdAEDown, &CmdAESort(0), &CmdAESort(1), &CmdAEUpdate},
         &CmdAEAdd,
         &CmdAEEdit,
         &CmdAERemove,
         &CmdAEClear},
        {&LstDE,
         120,
         {&CmdDEUp, &CmdDEDown, &CmdDESort(0), &CmdDESort(1)},
         &CmdDEAdd,
         &CmdDEEdit,
         &CmdDERemove,
         &CmdDEClear},
        {&LstBD,
         120,
         {&CmdBDUp, &CmdBDDown, &CmdBDSort(0), &CmdBDSort(1), &CmdBDUpdate},
         &CmdBDAdd,
         &CmdBDEdit,
         &CmdBDRemove,
         &CmdBDClear},
    };
    for (const ListPage& p : lists) {
        p.list->Move(120, p.listTop, 3360, 3300);
        const int row = p.listTop + 3360;
        int x = 120;
        for (rt::CommandButton* b : p.small) {
            b->setStyle(1);
            b->Move(x, row, 390, 360);
            x += 420;
        }
        p.add->Move(120, row + 420, 1620, 375);
        p.edit->Move(1860, row + 420, 1620, 375);
        p.remove->Move(120, row + 840, 1620, 375);
        p.clear->Move(1860, row + 840, 1620, 375);
    }
    LstEV.setStyle(rt::vbListBoxCheckbox);
    LblEVSelDate.Move(120, 150, 1200, 255);
    TxtEVSelDate.Move(1320, 90, 2160, 315);
    TxtEVSelDate.setLocked(true);
    const int totals = 480 + 3360 + 1320;
    rt::ControlArray<rt::Label>* totalRows[] = {&LblEVInTot, &LblEVOutTot, &LblEVTot, &LblEVBal};
    for (int r = 0; r < 4; ++r) {
        auto& pair = *totalRows[r];
        const int top = totals + r * 300 + (r == 3 ? 120 : 0);
        pair(0).Move(120, top, 2160, 255);
        pair(1).Move(2280, top, 1200, 255);
        pair(1).setAlignment(rt::vbRightJustify);
    }
    LblDEBal(0).Move(120, 120 + 3360 + 1320, 2160, 255);
    LblDEBal(1).Move(2280, 120 + 3360 + 1320, 1200, 255);
    LblDEBal(1).setAlignment(rt::vbRightJustify);

    // Summary page.
    FrSURange.Move(120, 120, 3360, 1620);
    for (int i = 0; i <= 3; ++i)
        ChkSU(i).Move(120, 300 + i * 300, 3120, 300);
    ChkSU(0).setValue(1); // the one-day summary until another range is chosen
    FrSUType.Move(120, 1860, 3360, 780);
    CmdSUChart(0).Move(120, 300, 1560, 375);
    FrSUResults.Move(120, 2760, 3360, 2280);
    LblSUFrom(0).Move(120, 300, 600, 255);
    LblSUFrom(1).Move(720, 300, 2520, 255);
    LblSUTo(0).Move(120, 600, 600, 255);
    LblSUTo(1).Move(720, 600, 2520, 255);
    for (int i = 0; i <= 2; ++i) {
        LblSUInf(i).Move(120, 1020 + i * 420, 1800, 255);
        TxtSUInf(i).Move(1920, 960 + i * 420, 1320, 315);
        TxtSUInf(i).setLocked(true);
        TxtSUInf(i).setAlignment(rt::vbRightJustify);
    }
    CmdSUChart(1).Move(120, 2160, 1560, 375);
}

void FrmMainForm::placeOnScreen() {
    // Inside the free area of the screen (without panels and docks): centred at the window's
    // own size where that fits, otherwise maximised over that area. The position and size kept
    // are then those of the maximised window, so that what is placed from them (the editors
    // over the navigation panel) lands where the window really is.
    const QRect area = rt::sys().availableArea();
    if (area.isEmpty()) {
        Move(0, 0, kMainWidth, kMainHeight);
        return;
    }
    const int width = rt::TwipsToPixels(kMainWidth);
    const int height = rt::TwipsToPixels(kMainHeight);
    if (width <= area.width() && height <= area.height()) {
        Move(rt::PixelsToTwips(area.x() + (area.width() - width) / 2),
             rt::PixelsToTwips(area.y() + (area.height() - height) / 2), kMainWidth, kMainHeight);
        return;
    }
    Move(rt::PixelsToTwips(area.x()), rt::PixelsToTwips(area.y()), rt::PixelsToTwips(area.width()),
         rt::PixelsToTwips(area.height()));
    setWindowState(rt::vbMaximized);
}

void FrmMainForm::bindEvents() {
    PicMenu.onMouseMove = [this](int b, int s, float x, float y) { PicMenu_MouseMove(b, s, x, y); };
    // The tab control fills the panel, whose height follows the window; the pages fill the
    // tab control (the tab page clips what lies beyond it).
    PicMenu.onResize = [this] {
        TbMenu.setHeight(int(PicMenu.ScaleHeight()));
        for (int i = 0; i <= 5; ++i)
            PicTab(i).setHeight(std::max(kPageHeight, TbMenu.Height()));
    };
    TbMenu.onMouseMove = [this](int b, int s, float x, float y) { TbMenu_MouseMove(b, s, x, y); };
    TbMenu.onTabClick = [this](int previous) { TbMenu_Click(previous); };
    TbMain.onMouseMove = [this](int b, int s, float x, float y) { TbMain_MouseMove(b, s, x, y); };
    TbMain.onButtonClick = [this](rt::ToolbarButton& b) { TbMain_ButtonClick(b); };
    TmNavVisible.onTimer = [this] { TmNavVisible_Timer(); };
    TmALCheck.onTimer = [this] { TmALCheck_Timer(); };

    CmdCONew.onClick = [this] { CmdCONew_Click(); };
    CmdCOOpen.onClick = [this] { CmdCOOpen_Click(); };
    CmdCOSave.onClick = [this] { CmdCOSave_Click(); };
    CmdCOSaveAs.onClick = [this] { CmdCOSaveAs_Click(); };
    CmdCOPreview.onClick = [this] { CmdCOPreview_Click(); };
    CmdCOPrint.onClick = [this] { CmdCOPrint_Click(); };
    CmdCOOptions.onClick = [this] { CmdCOOptions_Click(); };
    CmdCOAbout.onClick = [this] { CmdCOAbout_Click(); };
    CmdCOExit.onClick = [this] { CmdCOExit_Click(); };
    for (int i = 0; i <= 5; ++i)
        CmdHelp(i).onClick = [this, i] { CmdHelp_Click(i); };
    for (int i = 0; i <= 1; ++i)
        CmdSUChart(i).onClick = [this, i] { CmdSUChart_Click(i); };

    bindListEvents();
}

bool FrmMainForm::editing() const {
    return Tag() == kEdit && IsBusy == 0;
}

// ---- Window events ----

void FrmMainForm::MDIForm_Load() {
    SetupInterface();
    const int16_t minutes = AlarmIntervalSetting();
    if (minutes != -1) {
        NextAlarmCheck = rt::sys().now().addSecs(60LL * minutes);
        TmALCheck.setEnabled(true);
    }
    for (int i = 0; i <= 5; ++i)
        PicTab(i).setEnabled(TbMenu.Tab() == 5 - i);
}

void FrmMainForm::MDIForm_QueryUnload(int& Cancel, int) {
    // Closing while code fills the controls, or between the cells of an alarm scan, would
    // shut the program down inside that work; the scan is ended, and the closing follows it.
    if (IsBusy != 0 || AlarmScanRunning()) {
        Cancel = 1;
        if (IsBusy == 0) CloseAfterAlarmScan();
        return;
    }
    // The ask-save step; it refuses at once while a document is read or written, and puts
    // the state back to "Edit" when the user stops the closing.
    if (QueryCloseDocument()) {
        Cancel = 0;
        TmALCheck.setEnabled(false);
        rt::DoEvents();
        ShutdownApp();
    } else {
        Cancel = 1;
    }
}

void FrmMainForm::CloseAfterAlarmScan() {
    StopAlarmScan();
    if (closeAfterScan_) return;
    closeAfterScan_ = true;
    closeOnceTheScanEnded();
}

void FrmMainForm::closeAskedWhileBlocked() {
    // Under any other dialog the request is dropped, as Qt drops it.
    if (AlarmScanRunning()) CloseAfterAlarmScan();
}

void FrmMainForm::closeOnceTheScanEnded() {
    // Tied to the window, so that a closing still waiting goes with it.
    QTimer::singleShot(kCloseAfterScanPollMs, window(), [this] {
        rt::dispatch([this] {
            if (!Loaded() || Tag() == kUnload) {
                closeAfterScan_ = false;
                return;
            }
            // The scan's caller, or the user meanwhile, may have more under way.
            if (AlarmScanRunning() || IsBusy != 0 || DialogOpen()) return closeOnceTheScanEnded();
            closeAfterScan_ = false;
            closeByUser();
        });
    });
}

void FrmMainForm::MDIForm_Resize() {
    const QString state = Tag();
    if (state != kLogo && state != kLoad) return;
    PicView.setWidth(std::abs(Width() - PicMenu.Width()));
    if (state == kLogo)
        CenterInContainer(PicLogo, PicView);
    else
        CenterInContainer(PicLoading, PicView);
}

void FrmMainForm::MDIForm_Terminate() {
    TmNavVisible.setEnabled(false);
    rt::DoEvents();
    FrmMain.release();
    rt::DoEvents();
    rt::End();
}

void FrmMainForm::MDIForm_LinkExecute(const QString& CmdStr, int& Cancel) {
    Cancel = 1;
    rt::DoEvents();
    const QString document = LinkOpenFileName(CmdStr);
    if (!document.isEmpty()) {
        if (Tag() != kUnload && QueueHandedOverDocument(document)) Cancel = 0;
        return;
    }
    if (CmdStr != QLatin1String("RESTORE")) return;
    // Errors of the restore steps are ignored: the command still counts as accepted.
    try {
        setWindowState(rt::vbMaximized);
    } catch (const rt::RtError&) {
    }
    try {
        SetFocus();
    } catch (const rt::RtError&) {
    }
    try {
        ZOrder(0);
    } catch (const rt::RtError&) {
    }
    rt::DoEvents();
    Cancel = 0;
}

// ---- Documents handed over by later copies ----

namespace {

const QString kOpenPrefix = QStringLiteral("OPEN ");
// How often a waiting document checks whether it can open.
constexpr int kHandOffPollMs = 200;

enum class HandOffPhase { Closed, Holding, Opening };

struct HandOffQueue {
    HandOffPhase phase = HandOffPhase::Closed;
    std::deque<QString> files;
    bool opening = false; // a handed-over document is on the Open road now
    QTimer* timer = nullptr;
};

HandOffQueue& handOff() {
    static HandOffQueue queue;
    return queue;
}

// Runs the waiting documents' checks while any wait and they may open.
void pollHandOff() {
    HandOffQueue& q = handOff();
    const bool wanted = q.phase == HandOffPhase::Opening && !q.files.empty();
    if (!wanted) {
        if (q.timer) q.timer->stop();
        return;
    }
    if (!q.timer) {
        q.timer = new QTimer(QCoreApplication::instance());
        q.timer->setInterval(kHandOffPollMs);
        QObject::connect(q.timer, &QTimer::timeout, [] {
            rt::dispatch([] {
                OpenNextHandedOverDocument();
                pollHandOff();
            });
        });
    }
    if (!q.timer->isActive()) q.timer->start();
}

} // namespace

QString LinkOpenCommand(const QString& FileName) {
    return kOpenPrefix + QString::fromLatin1(QFile::encodeName(FileName).toPercentEncoding());
}

QString LinkOpenFileName(const QString& CmdStr) {
    if (!CmdStr.startsWith(kOpenPrefix)) return QString();
    const QString encoded = CmdStr.mid(kOpenPrefix.size());
    // Percent-encoded text is plain ASCII without blanks.
    for (const QChar c : encoded)
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7F) return QString();
    return QFile::decodeName(QByteArray::fromPercentEncoding(encoded.toLatin1()));
}

void HoldHandedOverDocuments() {
    HandOffQueue& q = handOff();
    q.phase = HandOffPhase::Holding;
    q.files.clear();
    pollHandOff();
}

void ReleaseHandedOverDocuments() {
    handOff().phase = HandOffPhase::Opening;
    pollHandOff();
}

void CloseHandedOverDocuments() {
    HandOffQueue& q = handOff();
    q.phase = HandOffPhase::Closed;
    pollHandOff();
    if (q.files.empty()) return;
    QStringList names(q.files.begin(), q.files.end());
    q.files.clear();
    qCInfo(lcHandOff, "not opened: %s", qPrintable(names.join(QStringLiteral(", "))));
    rt::MsgBox(QStringLiteral("Mirovanta se ferme sans ouvrir ces documents :\r\r%1")
                   .arg(names.join(u'\r')),
               rt::vbOKOnly + rt::vbExclamation, QStringLiteral("Mirovanta"));
}

bool QueueHandedOverDocument(const QString& FileName) {
    HandOffQueue& q = handOff();
    if (q.phase == HandOffPhase::Closed || FileName.isEmpty()) return false;
    q.files.push_back(FileName);
    pollHandOff();
    return true;
}

QStringList HandedOverDocuments() {
    const HandOffQueue& q = handOff();
    return QStringList(q.files.begin(), q.files.end());
}

bool OpenNextHandedOverDocument() {
    HandOffQueue& q = handOff();
    if (q.phase != HandOffPhase::Opening || q.files.empty() || q.opening) return false;
    FrmMainForm* main = FrmMain.peek();
    if (!main || !main->Loaded()) return false;
    // The Open road's own guard, and more: nothing else may be under way, for the timer that
    // calls this also ticks inside the pending-event points of other work.
    const QString state = main->Tag();
    if (state != kLogo && state != kEdit) return false;
    if (IsBusy != 0 || AlarmScanRunning() || DialogOpen() || rt::ui().hourglass()) return false;

    QString fileName = q.files.front();
    q.files.pop_front();
    q.opening = true;
    OpenDocument(fileName);
    q.opening = false;
    qCInfo(lcHandOff, "opened %s: %s", qPrintable(fileName),
           qPrintable(FrmMain.exists() ? FrmMain->Caption() : QString()));
    pollHandOff();
    return true;
}

void FrmMainForm::MDIForm_MouseMove(int, int, float, float) {
    if (editing()) SetNavPanel(false, false);
}

// ---- Navigation panel, toolbar, timers ----

void FrmMainForm::PicMenu_MouseMove(int, int, float, float) {
    if (editing()) SetNavPanel(true, false);
}

void FrmMainForm::TbMenu_MouseMove(int, int, float, float) {
    if (editing()) SetNavPanel(true, false);
}

void FrmMainForm::TbMain_MouseMove(int, int, float, float) {
    if (editing()) SetNavPanel(false, false);
}

void FrmMainForm::TbMenu_Click(int) {
    for (int i = 0; i <= 5; ++i)
        PicTab(i).setEnabled(TbMenu.Tab() == 5 - i);
    RefreshPane(false, -1);
}

void FrmMainForm::TbMain_ButtonClick(rt::ToolbarButton& Button) {
    rt::DoEvents();
    // The events just run may have closed the program: its commands are gone with it.
    if (Tag() == kUnload) return;
    const QString key = Button.Key();
    if (key == QLatin1String("New")) return CmdCONew_Click();
    if (key == QLatin1String("Open")) return CmdCOOpen_Click();
    if (key == QLatin1String("Options")) return CmdCOOptions_Click();
    if (key == QLatin1String("Help")) return ShowHelp(QStringLiteral("Html\\index.htm"));
    if (!editing()) return;
    if (key == QLatin1String("Save")) return CmdCOSave_Click();
    if (key == QLatin1String("Preview")) return CmdCOPreview_Click();
    if (key == QLatin1String("Print")) return CmdCOPrint_Click();
    if (key == QLatin1String("Prop")) {
        ShowPropertiesDialog(false);
        return;
    }
    if (key == QLatin1String("HTile")) return Arrange(rt::vbTileHorizontal);
    if (key == QLatin1String("VTile")) return Arrange(rt::vbTileVertical);
    if (key == QLatin1String("Cascade")) return Arrange(rt::vbCascade);
    if (key == QLatin1String("AIcons")) return Arrange(rt::vbArrangeIcons);
    if (key.size() == 3 && key.startsWith(u'm')) {
        const int m = key.mid(1).toInt();
        if (m < 1 || m > 12) return;
        ActivateMonthWindow(int16_t(m));
    }
}

void FrmMainForm::TmNavVisible_Timer() {
    TmNavVisible.setEnabled(false);
    PicMenu.setWidth(kPanelClosed);
}

void FrmMainForm::TmALCheck_Timer() {
    const int16_t minutes = AlarmIntervalSetting();
    if (minutes == -1) {
        TmALCheck.setEnabled(false);
        return;
    }
    if (rt::sys().now() < NextAlarmCheck) return;
    // Timers tick inside the nested loop of a modal dialog. An alarm window opened then would
    // overwrite the exchange record under an open editor, which would then store its record in
    // the wrong place; the check stays due and runs at the first tick after the dialog closed.
    if (DialogOpen()) return;
    TmALCheck.setEnabled(false);
    CheckAlarms();
    rt::DoEvents();
    // A close accepted meanwhile stopped the alarm check for good.
    if (Tag() == kUnload) return;
    NextAlarmCheck = rt::sys().now().addSecs(60LL * minutes);
    TmALCheck.setEnabled(true);
}

// ---- Commands page ----

void FrmMainForm::CmdCONew_Click() {
    // Not while a document is read or written: a second document road would replace the
    // live document under the first.
    if (Tag() == kUnload || Tag() == kLoad || IsBusy != 0) return;
    NewDocument();
}

void FrmMainForm::CmdCOOpen_Click() {
    if (Tag() == kUnload || Tag() == kLoad || IsBusy != 0) return;
    QString fileName;
    OpenDocument(fileName);
}

void FrmMainForm::CmdCOSave_Click() {
    if (!editing()) return;
    SaveDocument(true, false);
    if (Tag() != kEdit) SetMainMode(1);
}

void FrmMainForm::CmdCOSaveAs_Click() {
    if (!editing()) return;
    SaveDocument(true, true);
    if (Tag() != kEdit) SetMainMode(1);
}

void FrmMainForm::CmdCOPreview_Click() {
    if (!editing()) return;
    ShowPrintPreview(CalendarPrintJob());
}

void FrmMainForm::CmdCOPrint_Click() {
    if (!editing()) return;
    PrintCalendar(false, CalendarPrintJob());
}

void FrmMainForm::CmdCOOptions_Click() {
    ShowOptionsDialog();
    RefreshPane(true, -1);
}

void FrmMainForm::CmdCOAbout_Click() {
    SetNavPanel(false, true);
    rt::DoEvents();
    ShowAboutForm();
    ImgLogo.Refresh();
}

void FrmMainForm::CmdCOExit_Click() {
    Unload();
}

void FrmMainForm::CmdHelp_Click(int Index) {
    if (Index < 0 || Index > 5) return;
    QString topic = QStringLiteral("Html\\t_") + QLatin1String(kHelpPages[Index]);
    if (Index != 0) {
        // Page 1 without a document, 2 with one; the Events and Summary pages have a page 3
        // once a day is selected.
        int page = 1;
        if (Tag() == kEdit) page = (Index == 1 || Index == 5) && CurCell != 0 ? 3 : 2;
        topic += u'_' + QString::number(page);
    }
    ShowHelp(topic + QStringLiteral(".htm"));
}

void FrmMainForm::CmdSUChart_Click(int) {
    if (!editing()) return;
    RunSummaryChart();
}
