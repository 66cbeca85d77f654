#pragma once
// The main window: a multiple-document window with the toolbar along the top, the navigation
// panel on the left (a tab control with six pages: 0 Summary, 1 Birthdays, 2 Debts/Savings,
// 3 Auto-Events, 4 Events, 5 Commands; the page of tab t is PicTab(5 - t)), the logo and
// loading views beside it, and the month windows in the rest.
//
// Its tag holds the application state: "" just loaded, "Logo", "Load", "Edit", "Unload".

#include "platform/common_dialogs.h"
#include "platform/ui_common_controls.h"
#include "platform/ui_controls.h"
#include "platform/ui_lists.h"
#include "platform/ui_mdi.h"
#include "platform/ui_picture_box.h"
#include "platform/ui_timer.h"
#include "platform/ui_toolbar.h"

#include <QDateTime>
#include <QLoggingCategory>
#include <QStringList>
#include <functional>

class FrmMainForm : public rt::MdiForm {
public:
    FrmMainForm();

    // ---- Frame ----
    rt::Toolbar TbMain{*this, QStringLiteral("TbMain")};
    rt::ImageList ImgLstMain{*this, QStringLiteral("ImgLstMain")};
    rt::ImageList ImgLstMain_d{*this, QStringLiteral("ImgLstMain_d")};
    rt::PictureBox PicMenu{*this, QStringLiteral("PicMenu")};
    rt::TabControl TbMenu{PicMenu, 6, QStringLiteral("TbMenu")};
    rt::PictureBox PicView{*this, QStringLiteral("PicView")};
    rt::PictureBox PicLogo{PicView, QStringLiteral("PicLogo")};
    rt::Image ImgLogo{PicLogo, QStringLiteral("ImgLogo")};
    rt::PictureBox PicLoading{PicView, QStringLiteral("PicLoading")};
    rt::ControlArray<rt::Label> LblLoading{QStringLiteral("LblLoading"), [this](auto& a) {
                                               a.create(0, PicLoading);
                                               a.create(1, PicLoading);
                                           }};
    rt::Timer TmNavVisible{*this, QStringLiteral("TmNavVisible")};
    rt::Timer TmALCheck{*this, QStringLiteral("TmALCheck")};
    rt::ListView LVTemp{*this, QStringLiteral("LVTemp")};
    rt::CommonDialog CDOpen;
    rt::CommonDialog CDSaveAs;
    // Printing: the page box and the canvas of a print run, the work box through which printed
    // pictures pass (all hidden), and the printer set-up dialog.
    rt::ControlArray<rt::PictureBox> PicPrint{QStringLiteral("PicPrint"), [this](auto& a) {
                                                  a.create(0, *this);
                                                  a.create(1, a(0));
                                              }};
    rt::PictureBox PicTempPrint{*this, QStringLiteral("PicTempPrint")};
    rt::CommonDialog CDPrint;

    // ---- The six pages, their titles and help buttons ----
    rt::ControlArray<rt::PictureBox> PicTab{QStringLiteral("PicTab"), [this](auto& a) {
                                                for (int i = 0; i <= 5; ++i)
                                                    a.create(i, TbMenu.Page(5 - i));
                                            }};
    rt::ControlArray<rt::Label> LblMenu{QStringLiteral("LblMenu"), [this](auto& a) {
                                            for (int i = 0; i <= 5; ++i)
                                                a.create(i, PicTab(i));
                                        }};
    rt::ControlArray<rt::CommandButton> CmdHelp{QStringLiteral("CmdHelp"), [this](auto& a) {
                                                    for (int i = 0; i <= 5; ++i)
                                                        a.create(i, PicTab(i));
                                                }};

    // ---- Commands page (PicTab(0)) ----
    rt::Frame FrCOOpSv{PicTab(0), QStringLiteral("FrCOOpSv")};
    rt::Frame FrCOPrint{PicTab(0), QStringLiteral("FrCOPrint")};
    rt::Frame FrCOOpt{PicTab(0), QStringLiteral("FrCOOpt")};
    rt::Image ImgCONew{FrCOOpSv, QStringLiteral("ImgCONew")};
    rt::CommandButton CmdCONew{FrCOOpSv, QStringLiteral("CmdCONew")};
    rt::Image ImgCOOpen{FrCOOpSv, QStringLiteral("ImgCOOpen")};
    rt::CommandButton CmdCOOpen{FrCOOpSv, QStringLiteral("CmdCOOpen")};
    rt::Image ImgCOSave{FrCOOpSv, QStringLiteral("ImgCOSave")};
    rt::CommandButton CmdCOSave{FrCOOpSv, QStringLiteral("CmdCOSave")};
    rt::CommandButton CmdCOSaveAs{FrCOOpSv, QStringLiteral("CmdCOSaveAs")};
    rt::Image ImgCOPreview{FrCOPrint, QStringLiteral("ImgCOPreview")};
    rt::CommandButton CmdCOPreview{FrCOPrint, QStringLiteral("CmdCOPreview")};
    rt::Image ImgCOPrint{FrCOPrint, QStringLiteral("ImgCOPrint")};
    rt::CommandButton CmdCOPrint{FrCOPrint, QStringLiteral("CmdCOPrint")};
    rt::Image ImgCOOptions{FrCOOpt, QStringLiteral("ImgCOOptions")};
    rt::CommandButton CmdCOOptions{FrCOOpt, QStringLiteral("CmdCOOptions")};
    rt::CommandButton CmdCOAbout{PicTab(0), QStringLiteral("CmdCOAbout")};
    rt::CommandButton CmdCOExit{PicTab(0), QStringLiteral("CmdCOExit")};

    // ---- Instruction (0) and working (1) pages of the list and summary tabs ----
    rt::ControlArray<rt::PictureBox> PicEvents{QStringLiteral("PicEvents"), pagePair(1)};
    rt::ControlArray<rt::PictureBox> PicAE{QStringLiteral("PicAE"), pagePair(2)};
    rt::ControlArray<rt::PictureBox> PicDebt{QStringLiteral("PicDebt"), pagePair(3)};
    rt::ControlArray<rt::PictureBox> PicBD{QStringLiteral("PicBD"), pagePair(4)};
    rt::ControlArray<rt::PictureBox> PicSummary{QStringLiteral("PicSummary"), pagePair(5)};
    rt::ControlArray<rt::Label> LblStepOne{QStringLiteral("LblStepOne"), [this](auto& a) {
                                               a.create(0, PicEvents(0));
                                               a.create(1, PicAE(0));
                                               a.create(2, PicDebt(0));
                                               a.create(3, PicBD(0));
                                               a.create(4, PicSummary(0));
                                           }};
    rt::ControlArray<rt::Label> LblStepTwo{QStringLiteral("LblStepTwo"), [this](auto& a) {
                                               a.create(0, PicEvents(0));
                                               a.create(4, PicSummary(0));
                                           }};

    // ---- Events page (PicTab(1)) ----
    rt::Label LblEVSelDate{PicEvents(1), QStringLiteral("LblEVSelDate")};
    rt::TextBox TxtEVSelDate{PicEvents(1), QStringLiteral("TxtEVSelDate")};
    rt::ListBox LstEV{PicEvents(1), QStringLiteral("LstEV")};
    rt::CommandButton CmdEVAdd{PicEvents(1), QStringLiteral("CmdEVAdd")};
    rt::CommandButton CmdEVEdit{PicEvents(1), QStringLiteral("CmdEVEdit")};
    rt::CommandButton CmdEVRemove{PicEvents(1), QStringLiteral("CmdEVRemove")};
    rt::CommandButton CmdEVClear{PicEvents(1), QStringLiteral("CmdEVClear")};
    rt::CommandButton CmdEVShowPic{PicEvents(1), QStringLiteral("CmdEVShowPic")};
    rt::CommandButton CmdEVUp{PicEvents(1), QStringLiteral("CmdEVUp")};
    rt::CommandButton CmdEVDown{PicEvents(1), QStringLiteral("CmdEVDown")};
    rt::ControlArray<rt::CommandButton> CmdEVSort{QStringLiteral("CmdEVSort"),
                                                  buttonPair(PicEvents)};
    rt::ControlArray<rt::Label> LblEVInTot{QStringLiteral("LblEVInTot"), labelPair(PicEvents)};
    rt::ControlArray<rt::Label> LblEVOutTot{QStringLiteral("LblEVOutTot"), labelPair(PicEvents)};
    rt::ControlArray<rt::Label> LblEVTot{QStringLiteral("LblEVTot"), labelPair(PicEvents)};
    rt::ControlArray<rt::Label> LblEVBal{QStringLiteral("LblEVBal"), labelPair(PicEvents)};

    // ---- Auto-events page (PicTab(2)) ----
    rt::ListBox LstAE{PicAE(1), QStringLiteral("LstAE")};
    rt::CommandButton CmdAEAdd{PicAE(1), QStringLiteral("CmdAEAdd")};
    rt::CommandButton CmdAEEdit{PicAE(1), QStringLiteral("CmdAEEdit")};
    rt::CommandButton CmdAERemove{PicAE(1), QStringLiteral("CmdAERemove")};
    rt::CommandButton CmdAEClear{PicAE(1), QStringLiteral("CmdAEClear")};
    rt::CommandButton CmdAEUp{PicAE(1), QStringLiteral("CmdAEUp")};
    rt::CommandButton CmdAEDown{PicAE(1), QStringLiteral("CmdAEDown")};
    rt::ControlArray<rt::CommandButton> CmdAESort{QStringLiteral("CmdAESort"), buttonPair(PicAE)};
    rt::CommandButton CmdAEUpdate{PicAE(1), QStringLiteral("CmdAEUpdate")};

    // ---- Debts and savings page (PicTab(3)) ----
    rt::ListBox LstDE{PicDebt(1), QStringLiteral("LstDE")};
    rt::CommandButton CmdDEAdd{PicDebt(1), QStringLiteral("CmdDEAdd")};
    rt::CommandButton CmdDEEdit{PicDebt(1), QStringLiteral("CmdDEEdit")};
    rt::CommandButton CmdDERemove{PicDebt(1), QStringLiteral("CmdDERemove")};
    rt::CommandButton CmdDEClear{PicDebt(1), QStringLiteral("CmdDEClear")};
    rt::CommandButton CmdDEUp{PicDebt(1), QStringLiteral("CmdDEUp")};
    rt::CommandButton CmdDEDown{PicDebt(1), QStringLiteral("CmdDEDown")};
    rt::ControlArray<rt::CommandButton> CmdDESort{QStringLiteral("CmdDESort"), buttonPair(PicDebt)};
    rt::ControlArray<rt::Label> LblDEBal{QStringLiteral("LblDEBal"), labelPair(PicDebt)};

    // ---- Birthdays page (PicTab(4)) ----
    rt::ListBox LstBD{PicBD(1), QStringLiteral("LstBD")};
    rt::CommandButton CmdBDAdd{PicBD(1), QStringLiteral("CmdBDAdd")};
    rt::CommandButton CmdBDEdit{PicBD(1), QStringLiteral("CmdBDEdit")};
    rt::CommandButton CmdBDRemove{PicBD(1), QStringLiteral("CmdBDRemove")};
    rt::CommandButton CmdBDClear{PicBD(1), QStringLiteral("CmdBDClear")};
    rt::CommandButton CmdBDUp{PicBD(1), QStringLiteral("CmdBDUp")};
    rt::CommandButton CmdBDDown{PicBD(1), QStringLiteral("CmdBDDown")};
    rt::ControlArray<rt::CommandButton> CmdBDSort{QStringLiteral("CmdBDSort"), buttonPair(PicBD)};
    rt::CommandButton CmdBDUpdate{PicBD(1), QStringLiteral("CmdBDUpdate")};

    // ---- Summary page (PicTab(5)) ----
    rt::Frame FrSURange{PicSummary(1), QStringLiteral("FrSURange")};
    rt::Frame FrSUType{PicSummary(1), QStringLiteral("FrSUType")};
    rt::Frame FrSUResults{PicSummary(1), QStringLiteral("FrSUResults")};
    rt::ControlArray<rt::CheckBox> ChkSU{QStringLiteral("ChkSU"), [this](auto& a) {
                                             for (int i = 0; i <= 3; ++i)
                                                 a.create(i, FrSURange);
                                         }};
    rt::ControlArray<rt::CommandButton> CmdSUChart{QStringLiteral("CmdSUChart"), [this](auto& a) {
                                                       a.create(0, FrSUType);
                                                       // On the instruction page: the chart
                                                       // needs no current day.
                                                       a.create(1, PicSummary(0));
                                                   }};
    rt::ControlArray<rt::Label> LblSUFrom{QStringLiteral("LblSUFrom"), resultsPair()};
    rt::ControlArray<rt::Label> LblSUTo{QStringLiteral("LblSUTo"), resultsPair()};
    rt::ControlArray<rt::Label> LblSUInf{QStringLiteral("LblSUInf"), [this](auto& a) {
                                             for (int i = 0; i <= 2; ++i)
                                                 a.create(i, FrSUResults);
                                         }};
    rt::ControlArray<rt::TextBox> TxtSUInf{QStringLiteral("TxtSUInf"), [this](auto& a) {
                                               for (int i = 0; i <= 2; ++i)
                                                   a.create(i, FrSUResults);
                                           }};

    // The moment from which the next alarm scan is due.
    QDateTime NextAlarmCheck;

    // ---- Set-up (built with the main window's set-up) ----
    void SetupInterface();

    // ---- Window events ----
    void MDIForm_Load() override;
    void MDIForm_QueryUnload(int& Cancel, int UnloadMode) override;
    // A close asked for while an alarm scan runs (the close box, Exit, the end of the desktop
    // session): the scan ends once the alarm window open now is answered, and the main window
    // then closes as through its close box, asking to save first.
    void CloseAfterAlarmScan();
    // The close box through the window manager, or the session's end, under the alarm window.
    void closeAskedWhileBlocked() override;
    void MDIForm_Resize() override;
    void MDIForm_Terminate() override;
    void MDIForm_MouseMove(int Button, int Shift, float X, float Y) override;
    // The single-instance hand-off. "RESTORE" maximises the window and brings it to the front;
    // an open command (LinkOpenCommand) queues its document, which opens as soon as the program
    // can open one (OpenNextHandedOverDocument). Cancel 0: accepted; any other command leaves
    // Cancel 1.
    void MDIForm_LinkExecute(const QString& CmdStr, int& Cancel);

    // ---- Navigation panel, toolbar, timers ----
    void PicMenu_MouseMove(int Button, int Shift, float X, float Y);
    void TbMenu_MouseMove(int Button, int Shift, float X, float Y);
    void TbMain_MouseMove(int Button, int Shift, float X, float Y);
    void TbMenu_Click(int PreviousTab);
    void TbMain_ButtonClick(rt::ToolbarButton& Button);
    void TmNavVisible_Timer();
    void TmALCheck_Timer();

    // ---- Commands page ----
    void CmdCONew_Click();
    void CmdCOOpen_Click();
    void CmdCOSave_Click();
    void CmdCOSaveAs_Click();
    void CmdCOPreview_Click();
    void CmdCOPrint_Click();
    void CmdCOOptions_Click();
    void CmdCOAbout_Click();
    void CmdCOExit_Click();
    // The help button of page Index (0 Commands, 1 Events, 2 Auto-Events, 3 Debts/Savings,
    // 4 Birthdays, 5 Summary) and the summary page's chart buttons.
    void CmdHelp_Click(int Index);
    void CmdSUChart_Click(int Index);

    // ---- List pages (list_commands.cpp) ----
    // The month windows' cell menu calls the first four.
    void CmdEVAdd_Click();
    void CmdEVEdit_Click();
    void CmdEVRemove_Click();
    void CmdEVShowPic_Click();
    void CmdEVClear_Click();
    void CmdEVUp_Click();
    void CmdEVDown_Click();
    void CmdEVSort_Click(int Index);
    void CmdAEAdd_Click();
    void CmdAEEdit_Click();
    void CmdAERemove_Click();
    void CmdAEClear_Click();
    void CmdAEUp_Click();
    void CmdAEDown_Click();
    void CmdAESort_Click(int Index);
    void CmdAEUpdate_Click();
    void CmdDEAdd_Click();
    void CmdDEEdit_Click();
    void CmdDERemove_Click();
    void CmdDEClear_Click();
    void CmdDEUp_Click();
    void CmdDEDown_Click();
    void CmdDESort_Click(int Index);
    void CmdBDAdd_Click();
    void CmdBDEdit_Click();
    void CmdBDRemove_Click();
    void CmdBDClear_Click();
    void CmdBDUp_Click();
    void CmdBDDown_Click();
    void CmdBDSort_Click(int Index);
    void CmdBDUpdate_Click();
    void LstEV_Click();
    void LstEV_DblClick();
    void LstEV_ItemCheck(int Item);
    void LstAE_Click();
    void LstAE_DblClick();
    void LstDE_Click();
    void LstDE_DblClick();
    void LstBD_Click();
    void LstBD_DblClick();
    void ChkSU_Click(int Index);

private:
    // Builders of the page arrays: the instruction and working pages of a tab's page, the
    // pairs of buttons and labels on a working page, the pairs of labels of the results frame.
    using PageBuilder = std::function<void(rt::ControlArray<rt::PictureBox>&)>;
    using ButtonBuilder = std::function<void(rt::ControlArray<rt::CommandButton>&)>;
    using LabelBuilder = std::function<void(rt::ControlArray<rt::Label>&)>;
    PageBuilder pagePair(int page);
    // Closes the window once the alarm scan has ended and nothing else is under way.
    void closeOnceTheScanEnded();
    bool closeAfterScan_ = false;
    ButtonBuilder buttonPair(rt::ControlArray<rt::PictureBox>& pages);
    LabelBuilder labelPair(rt::ControlArray<rt::PictureBox>& pages);
    LabelBuilder resultsPair();
    void layOut();
    // Places the window on the screen it opens on.
    void placeOnScreen();
    void bindEvents();
    void bindListEvents();
    // True in the state "Edit" with IsBusy clear: the guard of most handlers.
    bool editing() const;
};

// The main window's shared instance, created and loaded on first use.
extern rt::FormSlot<FrmMainForm> FrmMain;

// ---- Documents handed over by later copies ----
// A later copy started with a document asks the running copy to open it. The request is queued
// at once, so that the later copy can end, and the documents open one at a time, in the order
// they came, through the Open road (ask-save, read, password, messages) as soon as nothing
// stands in the way: no document being read or written ("Load"), no modal dialog or editor
// open, no alarm scan running, no work in progress (busy flag, hourglass).

// What the running copy receives from later copies and does with it; shown with
// QT_LOGGING_RULES="mirovanta.handoff.info=true".
Q_DECLARE_LOGGING_CATEGORY(lcHandOff)

// The command that asks for a document: "OPEN " and the file's name percent-encoded, so that
// any name travels as one line of plain text.
QString LinkOpenCommand(const QString& FileName);
// The file's name carried by an open command; "" for any other text.
QString LinkOpenFileName(const QString& CmdStr);

// From the start-up's claim on: requests are taken and kept; the queue starts empty.
void HoldHandedOverDocuments();
// Once the start-up has opened its own document: kept and later requests open as they can.
void ReleaseHandedOverDocuments();
// At shutdown: no more requests are taken, and the documents still waiting are named to the
// user, who would otherwise never learn that they did not open.
void CloseHandedOverDocuments();
// Queues a document; false when no request is taken (before the start-up or once closing).
bool QueueHandedOverDocument(const QString& FileName);
// The documents waiting, first to last.
QStringList HandedOverDocuments();
// Opens the first waiting document when the program can open one now; true when it did. A
// timer calls it while documents wait.
bool OpenNextHandedOverDocument();
