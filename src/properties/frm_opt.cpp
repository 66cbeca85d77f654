// The options dialog's frame: opening and closing, tabs, help, the enabling of every page, and
// the general page.

#include "frm_opt.h"

#include "core/numeric.h"
#include "core/resources.h"
#include "core/rt_error.h"
#include "core/settings_store.h"
#include "core/ui_services.h"
#include "document/doc_state.h"
#include "opt_association.h"
#include "properties/properties.h"
#include "services/form_support.h"
#include "services/shell_services.h"

#include <algorithm>
#include <cmath>
#include <limits>

rt::FormSlot<FrmOptForm> FrmOpt{"FrmOpt"};

namespace {

QString Get(const QString& section, const QString& key, const QString& defaultValue) {
    return rt::GetSetting(kSettingsApp, section, key, defaultValue);
}

void Put(const QString& section, const QString& key, const QString& value) {
    rt::SaveSetting(kSettingsApp, section, key, value);
}

const QString kTabs = QStringLiteral("Tabs");
const QString kTbOpt = QStringLiteral("TbOpt");

// Page sizes in twips: the pages fill the tab control's page area.
constexpr int kPageWidth = 8580;
constexpr int kPageHeight = 4830;

} // namespace

int StoredCheckValue(double Value) {
    const double v = rt::RoundHalfEven(Value);
    if (v == 0) return rt::vbUnchecked;
    if (v == 2) return rt::vbGrayed;
    return rt::vbChecked;
}

int16_t TypedInteger(const QString& Text) {
    const double v = rt::RoundHalfEven(rt::Val(Text));
    if (std::isnan(v)) return 0;
    return int16_t(std::clamp(v, double(std::numeric_limits<int16_t>::min()),
                              double(std::numeric_limits<int16_t>::max())));
}

FrmOptForm::FrmOptForm() : rt::Form(QStringLiteral("FrmOpt")) {
    setBorderStyle(rt::vbFixedDialog);
    setKeyPreview(true);
    layOut();
    // As the form is created: the first sound and the open panel chosen, the save panel
    // hidden, one copy.
    OptAL(0).setValue(true);
    OptPath(0).setValue(true);
    PicPath(2).setVisible(false);
    TxtPrint.setText(QStringLiteral("1"));
    bindEvents();
}

void FrmOptForm::layOut() {
    Move(0, 0, 8940, 6120);
    lblOption.Move(120, 120, 6000, 375);
    lblOption.setFontBold(true);
    lblOption.setFontSize(12);
    TbOpt.Move(120, 600, 8580, 4830);
    CmdHelp.Move(120, 5550, 480, 390);
    CmdHelp.setStyle(1);
    CmdOk.Move(5940, 5550, 1335, 390);
    CmdOk.setDefault(true);
    CmdCancel.Move(7365, 5550, 1335, 390);
    CmdCancel.setCancel(true);

    for (rt::PictureBox* page : {&PicGen, &PicAL, &PicPath(0), &PicPrint}) {
        page->setBorderStyle(0);
        page->Move(0, 0, kPageWidth, kPageHeight);
    }

    // General page.
    LblGenSect(0).Move(120, 120, 8100, 285);
    ChkGen(0).Move(360, 480, 7920, 315);
    ChkGen(1).Move(360, 840, 7920, 315);
    LblGenSect(1).Move(120, 1380, 8100, 285);
    ChkGen(2).Move(360, 1740, 7920, 315);
    for (int i = 0; i <= 1; ++i)
        LblGenSect(i).setFontBold(true);

    // Alarm page.
    LblALSect(0).Move(120, 120, 8100, 285);
    ChkAL(1).Move(360, 480, 7920, 315);
    ChkAL(2).Move(360, 870, 3600, 315);
    TxtAL(0).Move(4020, 870, 660, 315);
    TxtAL(0).setAlignment(rt::vbRightJustify);
    UDAL.Move(4680, 870, 255, 315);
    UDAL.setMin(1);
    UDAL.setMax(120);
    UDAL.setBuddyControl(&TxtAL(0));
    LblAl(0).Move(5040, 900, 1500, 285);
    LblALSect(1).Move(120, 1440, 8100, 285);
    LblAl(1).Move(360, 1830, 900, 285);
    for (int i = 0; i <= 9; ++i) {
        OptAL(i).Move(1260 + i * 690, 1800, 630, 315);
        OptAL(i).setCaption(QString::number(i + 1));
    }
    LblAl(2).Move(360, 2340, 7920, 285);
    TxtAL(1).Move(360, 2640, 7920, 315);
    TxtAL(1).setLocked(true);
    CmdAL(0).Move(5400, 3120, 1335, 375);
    CmdAL(1).Move(6945, 3120, 1335, 375);
    for (int i = 0; i <= 1; ++i)
        LblALSect(i).setFontBold(true);

    // Folders page: the option buttons, and the two panels in one place below them.
    OptPath(0).Move(120, 120, 3600, 315);
    OptPath(1).Move(3840, 120, 3600, 315);
    for (int p = 1; p <= 2; ++p) {
        PicPath(p).setBorderStyle(0);
        PicPath(p).Move(0, 600, kPageWidth, kPageHeight - 600);
        lblPathSect(p - 1).Move(120, 0, 8100, 285);
        lblPathSect(p - 1).setFontBold(true);
    }
    for (int k = 0; k <= 3; ++k) {
        const int top = 420 + (k % 2) * 1560;
        ChkPath(k).Move(240, top, 8040, 315);
        lblPath(k).Move(540, top + 390, 3000, 285);
        TxtPath(k).Move(540, top + 690, 6180, 315);
        TxtPath(k).setLocked(true);
        CmdPathSel(k).Move(6840, top + 660, 1335, 375);
    }

    // Print page.
    lblPrintSect(0).Move(120, 120, 8100, 285);
    ChkPrint(0).Move(360, 480, 4500, 315);
    lblPrint(1).Move(360, 930, 1920, 285);
    TxtPrint.Move(2340, 900, 660, 315);
    TxtPrint.setAlignment(rt::vbRightJustify);
    UDPrint.Move(3000, 900, 255, 315);
    UDPrint.setMin(1);
    UDPrint.setMax(100);
    UDPrint.setBuddyControl(&TxtPrint);
    CmdPrint(2).Move(5160, 870, 3000, 375);
    lblPrintSect(1).Move(120, 1500, 8100, 285);
    for (int i = 0; i <= 11; ++i)
        ChkMonth(i).Move(360 + (i / 4) * 2640, 1860 + (i % 4) * 360, 2400, 315);
    CmdPrint(0).Move(360, 3420, 1935, 375);
    CmdPrint(1).Move(2415, 3420, 1935, 375);
    for (int i = 0; i <= 1; ++i)
        lblPrintSect(i).setFontBold(true);
}

void FrmOptForm::bindEvents() {
    CmdOk.onClick = [this] { CmdOk_Click(); };
    CmdCancel.onClick = [this] { CmdCancel_Click(); };
    CmdHelp.onClick = [this] { CmdHelp_Click(); };
    TbOpt.onTabClick = [this](int previous) { TbOpt_Click(previous); };
    ChkGen.forEach([this](int i, rt::CheckBox& c) { c.onClick = [this, i] { ChkGen_Click(i); }; });
    ChkAL.forEach([this](int i, rt::CheckBox& c) { c.onClick = [this, i] { ChkAL_Click(i); }; });
    OptAL.forEach(
        [this](int i, rt::OptionButton& o) { o.onClick = [this, i] { OptAL_Click(i); }; });
    CmdAL.forEach(
        [this](int i, rt::CommandButton& b) { b.onClick = [this, i] { CmdAL_Click(i); }; });
    ChkPath.forEach(
        [this](int i, rt::CheckBox& c) { c.onClick = [this, i] { ChkPath_Click(i); }; });
    TxtPath.forEach(
        [this](int i, rt::TextBox& t) { t.onChange = [this, i] { TxtPath_Change(i); }; });
    CmdPathSel.forEach(
        [this](int i, rt::CommandButton& b) { b.onClick = [this, i] { CmdPathSel_Click(i); }; });
    OptPath.forEach(
        [this](int i, rt::OptionButton& o) { o.onClick = [this, i] { OptPath_Click(i); }; });
    CmdPrint.forEach(
        [this](int i, rt::CommandButton& b) { b.onClick = [this, i] { CmdPrint_Click(i); }; });
    ChkPrint.forEach(
        [this](int i, rt::CheckBox& c) { c.onClick = [this, i] { ChkPrint_Click(i); }; });
}

// ---- Opening and closing ----

void FrmOptForm::Form_Load() {
    rt::SetHourglass(true);
    setTag(QStringLiteral("Load"));
    Cancelled = -1;
    InitForm();
    LoadGeneralOptions();
    LoadAlarmOptions();
    LoadFolderOptions();
    LoadPrintOptions();
    rt::DoEvents();
    setTag(QString());
    UpdateControls();
    rt::SetHourglass(false);
}

void FrmOptForm::InitForm() {
    setIcon(rt::LoadResPicture(1601, rt::vbResIcon));
    setCaption(QStringLiteral("Mirovanta - ") + rt::LoadResString(236));
    lblOption.setCaption(rt::LoadResString(236));
    CmdHelp.setPicture(HelpButtonPicture());
    CmdHelp.setToolTipText(rt::LoadResString(223));
    CmdOk.setCaption(rt::LoadResString(502));
    CmdCancel.setCaption(rt::LoadResString(503));

    static const int kTabCaptions[] = {504, 707, 1601, 208};
    for (int t = 0; t <= 3; ++t)
        TbOpt.setTabCaption(t, rt::LoadResString(kTabCaptions[t]));

    LblGenSect(0).setCaption(rt::LoadResString(504));
    LblGenSect(1).setCaption(rt::LoadResString(234));
    ChkGen(0).setCaption(rt::LoadResString(1602));
    ChkGen(1).setCaption(rt::LoadResString(1603));
    ChkGen(2).setCaption(rt::LoadResString(1607));
    InitAlarmCaptions();
    InitFolderCaptions();
    InitPrintCaptions();

    const int tab = TbOpt.Tab();
    PicGen.setEnabled(tab == 0);
    PicAL.setEnabled(tab == 1);
    PicPath(0).setEnabled(tab == 2);
    PicPrint.setEnabled(tab == 3);
    PicPath(1).setEnabled(OptPath(0).Value());
    PicPath(2).setEnabled(OptPath(1).Value());

    // The tab last used; a stored value that is no tab opens the first.
    const double stored = rt::RoundHalfEven(rt::Val(Get(kTabs, kTbOpt, QStringLiteral("0"))));
    try {
        if (!(stored >= 0 && stored < TbOpt.Tabs())) rt::raise(rt::ErrInvalidProperty);
        TbOpt.setTab(int(stored));
    } catch (const rt::RtError&) {
        TbOpt.setTab(0);
    }
}

void FrmOptForm::Form_Unload(int&) {
    if (Cancelled != 0) return;
    SaveGeneralOptions();
    SaveAlarmOptions();
    SaveFolderOptions();
    SavePrintOptions();
    Put(kTabs, kTbOpt, QString::number(TbOpt.Tab()));
}

void FrmOptForm::CmdOk_Click() {
    Cancelled = 0;
    Exchange.DialogResult = 1;
    Unload();
}

void FrmOptForm::CmdCancel_Click() {
    Unload();
}

void FrmOptForm::CmdHelp_Click() {
    static const char* const kTopics[] = {"Html\\d_opt_gen.htm", "Html\\d_opt_al.htm",
                                          "Html\\d_opt_fold.htm", "Html\\d_opt_print.htm"};
    const int tab = TbOpt.Tab();
    if (tab >= 0 && tab <= 3) ShowHelp(QString::fromLatin1(kTopics[tab]));
}

void FrmOptForm::Form_KeyDown(int& KeyCode, int) {
    if (KeyCode == 112) CmdHelp_Click();
}

void FrmOptForm::TbOpt_Click(int) {
    const int tab = TbOpt.Tab();
    PicGen.setEnabled(tab == 0);
    PicAL.setEnabled(tab == 1);
    PicPath(0).setEnabled(tab == 2);
    PicPrint.setEnabled(tab == 3);
}

// ---- Enabling ----

void FrmOptForm::UpdateControls() {
    if (Tag() == QLatin1String("Load")) return;

    const bool checking = ChkAL(2).Value() == rt::vbChecked;
    TxtAL(0).setEnabled(checking);
    TxtAL(0).setBackColor(checking ? rt::vbWindowBackground : rt::vbButtonFace);
    UDAL.setEnabled(checking);
    LblAl(0).setEnabled(checking);

    for (int k = 0; k <= 3; ++k) {
        const bool fixed = ChkPath(k).Value() == rt::vbUnchecked;
        lblPath(k).setEnabled(fixed);
        TxtPath(k).setEnabled(fixed);
        TxtPath(k).setBackColor(fixed ? rt::vbWindowBackground : rt::vbButtonFace);
        CmdPathSel(k).setEnabled(fixed);
    }

    int32_t device = 0;
    CmdPrint(2).setEnabled(CheckPrinter(device));
}

void FrmOptForm::ChkGen_Click(int) {
    UpdateControls();
}

// ---- General page ----

void FrmOptForm::LoadGeneralOptions() {
    ChkGen(0).setValue(rt::vbUnchecked);
    if (IsCalAssociated()) ChkGen(0).setValue(rt::vbChecked);
    ChkGen(1).setValue(StoredCheckValue(rt::Val(
        Get(QStringLiteral("General"), QStringLiteral("ShowSplash"), QStringLiteral("1")))));
    ChkGen(2).setValue(StoredCheckValue(
        rt::Val(Get(QStringLiteral("Summary"), QStringLiteral("ShowSel"), QStringLiteral("1")))));
}

void FrmOptForm::SaveGeneralOptions() {
    if (ChkGen(0).Value() == rt::vbChecked)
        WriteCalAssociation();
    else
        RemoveCalAssociation();
    Put(QStringLiteral("General"), QStringLiteral("ShowSplash"),
        QString::number(ChkGen(1).Value()));
    Put(QStringLiteral("Summary"), QStringLiteral("ShowSel"), QString::number(ChkGen(2).Value()));
}

// ---- The shell's hand-off ----

void RunOptionsDialog() {
    FrmOpt->Show(rt::vbModal);
    FrmOpt.release();
}
