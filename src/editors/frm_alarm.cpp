#include "frm_alarm.h"

#include "core/numeric.h"
#include "core/resources.h"
#include "core/settings_store.h"
#include "core/system.h"
#include "core/ui_services.h"
#include "document/compare.h"
#include "document/doc_state.h"
#include "document/doc_views.h"
#include "document/modified.h"
#include "document/money_text.h"
#include "document/month_grid.h"
#include "editor_frame.h"
#include "editors.h"
#include "services/form_support.h"
#include "services/settings.h"
#include "services/shell_services.h"

#include <QApplication>
#include <QDate>
#include <cmath>

rt::FormSlot<FrmAlarmForm> FrmAlarm{"FrmAlarm"};

namespace {

QString T(int id) {
    return rt::LoadResString(id);
}

const QString kAlarmSection = QStringLiteral("Alarm");
const QString kOffDefaultKey = QStringLiteral("OffDefault");

// The banner's step and the gap it re-enters from, in twips.
constexpr int kBannerStep = 100;
constexpr int kBannerGap = 20;

// True while the alarm window is open, from ShowAlarm's start to its end.
bool alarmShowing = false;

// True while a dialog is shown modally: an editor, the properties or options dialog, the
// picture chooser. An alarm that falls due meanwhile waits for the next scan: it would change
// the exchange record that the dialog works on, or the document under a dialog that works on a
// copy of it.
bool modalDialogShown() {
    for (rt::Form* form : rt::loadedForms())
        if (form->isModal()) return true;
    return QApplication::activeModalWidget() != nullptr;
}

} // namespace

// ---- The alarm fields ----

QString AlarmDaysText(const QString& Text) {
    const double value = std::fabs(rt::Val(Text));
    if (value > 365) return QStringLiteral("365");
    return AbsoluteNumberText(Text);
}

void ApplyAlarmDaysFilter(rt::TextBox& Box) {
    const QString text = AlarmDaysText(Box.Text());
    if (text != Box.Text()) Box.setText(text);
}

void BindDaysUpDown(rt::UpDown& UpDown, rt::TextBox& Box) {
    UpDown.setMin(0);
    UpDown.setMax(365);
    UpDown.setIncrement(1);
    UpDown.setBuddyControl(&Box);
    UpDown.Move(Box.Left() + Box.Width(), Box.Top(), 255, Box.Height());
}

void FillSoundList(rt::ComboBox& List) {
    List.AddItem(T(734));
    for (int n = 1; n <= 10; ++n)
        List.AddItem(T(735) + rt::FormatNumber(n, QStringLiteral("00")));
}

int SoundRow(int16_t Sound) {
    return Sound >= 0 && Sound <= 10 ? Sound : 0;
}

void PlayAlarmSound(int Sound) {
    if (Sound < 1 || Sound > 10) return;
    PlayWav(Settings.SoundFiles(Sound));
}

// ---- ShowAlarm ----

bool ShowAlarm(int16_t Month, int16_t Cell, int16_t Index) {
    // One alarm window at a time, and none over another dialog: the item stays due and comes
    // back at the next scan.
    if (alarmShowing || modalDialogShown()) return false;
    Exchange.DialogResult = 0;
    if (!IsMonth(Month) || !IsCell(Cell)) return false;
    const DayCell& cell = CurDoc.Months(Month).Cells(Cell);
    if (!InList(cell, Index)) return false;
    Exchange.AlarmMonth = Month;
    Exchange.AlarmCell = Cell;
    Exchange.EditIndex = Index;
    PlayAlarmSound(cell.Items[size_t(Index)].Sound);

    struct Showing {
        Showing() { alarmShowing = true; }
        ~Showing() { alarmShowing = false; }
    } showing;
    FrmAlarm->Show(rt::vbModal);
    FrmAlarm.release();
    if (Exchange.DialogResult != 1) return false;
    views().RefreshPane(false, -1);
    return true;
}

// ---- The window ----

FrmAlarmForm::FrmAlarmForm() : rt::Form(QStringLiteral("FrmAlarm")) {
    setBorderStyle(rt::vbFixedDialog);
    // F1 reaches the window whichever control has the focus.
    setKeyPreview(true);
    layOut();
    // The help button sits at the top right, first in the layout; Tab reaches it last, so that
    // the window opens with the focus on the alarm's own controls and Enter answers OK.
    std::vector<rt::Control*> order = tabOrder();
    std::erase(order, &CmdHelp);
    order.push_back(&CmdHelp);
    setTabOrder(order);

    CmdHelp.onClick = [this] { CmdHelp_Click(); };
    CmdOk.onClick = [this] { CmdOk_Click(); };
    CmdCancel.onClick = [this] { CmdCancel_Click(); };
    ChkAL.onClick = [this] { ChkAL_Click(); };
    CmbAL.onClick = [this] { CmbAL_Click(); };
    CmdAL.onClick = [this] { CmdAL_Click(); };
    TxtAL.onChange = [this] { TxtAL_Change(); };
    TmrAlarm.onTimer = [this] { TmrAlarm_Timer(); };
}

void FrmAlarmForm::layOut() {
    LblAlarm.Move(120, 120, 6360, 375);
    LblAlarm.setBackStyle(0);
    LblAlarm.setFontName(QStringLiteral("Arial"));
    LblAlarm.setFontSize(14.25);
    LblAlarm.setFontBold(true);
    CmdHelp.setStyle(1);
    CmdHelp.Move(6600, 90, 495, 375);

    PicAlarm.Move(120, 600, 6975, 435);
    PicAlarm.setBorderStyle(0);
    PicAlarm.setBackColor(rt::RGB(128, 0, 0));
    LblALWarning.setBackStyle(0);
    LblALWarning.setForeColor(rt::RGB(255, 255, 0));
    LblALWarning.setFontName(QStringLiteral("Arial"));
    LblALWarning.setFontSize(12);
    LblALWarning.setFontBold(true);
    LblALWarning.setAutoSize(true);
    LblALWarning.Move(0, 75);

    TmrAlarm.setInterval(100);
    TmrAlarm.setEnabled(false);

    FrmALEvent.Move(120, 1155, 6975, 2955);
    StyleText(FrmALEvent);
    // The item's fields in the left column, each label above its box: date, kind,
    // description, amount.
    const int rows[] = {3, 0, 1, 2};
    for (int r = 0; r < 4; ++r) {
        const int i = rows[r];
        LblEV(i).Move(240, 330 + r * 645, 3000, 225);
        TxtEV(i).Move(240, 570 + r * 645, 3000, 315);
        StyleText(LblEV(i));
        StyleEntry(TxtEV(i));
        TxtEV(i).setLocked(true);
        TxtEV(i).setBackColor(rt::vbButtonFace);
    }
    // The alarm fields in the right column.
    ChkAL.Move(3480, 330, 3360, 285);
    LblAL(0).Move(3480, 735, 3360, 225);
    TxtAL.Move(3480, 975, 720, 315);
    BindDaysUpDown(UDAL, TxtAL);
    LblAL(1).Move(3480, 1380, 3360, 225);
    LblAL(2).Move(3480, 1845, 3360, 225);
    CmbAL.Move(3480, 2085, 2040, 315);
    CmdAL.Move(5640, 2070, 1200, 345);
    CmbAL.setStyle(rt::vbComboDropdownList);
    StyleText(ChkAL);
    for (int i = 0; i <= 2; ++i)
        StyleText(LblAL(i));
    StyleEntry(TxtAL);
    StyleEntry(CmbAL);
    TxtAL.setText(QStringLiteral("1"));

    ChkALOff.Move(120, 4260, 4200, 285);
    StyleText(ChkALOff);
    CmdOk.Move(4560, 4230, 1215, 375);
    CmdCancel.Move(5880, 4230, 1215, 375);
    CmdOk.setDefault(true);
    CmdCancel.setCancel(true);

    // The client area is 7215 by 4725 twips; the title bar and borders come on top.
    Move(Left(), Top(), 7215 + 90, 4725 + 420);
}

void FrmAlarmForm::Form_Load() {
    Cancelled = -1;
    month_ = Exchange.AlarmMonth;
    cell_ = Exchange.AlarmCell;
    index_ = Exchange.EditIndex;
    // In the middle of the screen: nothing else places it.
    const QSize screen = rt::sys().screenSize();
    if (screen.isValid())
        Move(std::max(0, (screen.width() * 15 - Width()) / 2),
             std::max(0, (screen.height() * 15 - Height()) / 2));
    LoadCaptions();
    FillDialog();
    rt::DoEvents();
    TmrAlarm.setEnabled(true);
}

void FrmAlarmForm::LoadCaptions() {
    setCaption(QStringLiteral("Mirovanta - ") + T(707));
    setIcon(rt::LoadResPicture(701, rt::vbResIcon));
    LblAlarm.setCaption(T(707));
    CmdHelp.setPicture(HelpButtonPicture());
    CmdHelp.setToolTipText(T(223));
    CmdOk.setCaption(T(502));
    CmdCancel.setCaption(T(503));
    LblALWarning.setCaption(T(1201));
    FrmALEvent.setCaption(T(1202));
    ChkALOff.setCaption(T(1203));
    LblEV(3).setCaption(T(1205));
    LblEV(0).setCaption(T(1204));
    LblEV(1).setCaption(T(714));
    LblEV(2).setCaption(T(715));
    ChkAL.setCaption(T(729));
    for (int i = 0; i <= 2; ++i)
        LblAL(i).setCaption(T(730 + i));
    CmdAL.setCaption(T(733));
    FillSoundList(CmbAL);
    // Any value other than 0 ticks the box (a hand-edited setting may hold another number).
    const double off = rt::RoundHalfEven(
        rt::Val(rt::GetSetting(kSettingsApp, kAlarmSection, kOffDefaultKey, QStringLiteral("1"))));
    ChkALOff.setValue(off != 0 ? rt::vbChecked : rt::vbUnchecked);
}

EVItem* FrmAlarmForm::item() const {
    if (!IsMonth(month_) || !IsCell(cell_)) return nullptr;
    DayCell& cell = CurDoc.Months(month_).Cells(cell_);
    if (!InList(cell, index_)) return nullptr;
    return &cell.Items[size_t(index_)];
}

void FrmAlarmForm::FillDialog() {
    const EVItem* found = item();
    if (!found) return;
    const EVItem r = *found;

    // The date of the item's day (not the day the alarm fell due); a cell that shows no day
    // leaves it empty.
    const double year = rt::RoundHalfEven(rt::Val(CurDoc.Year));
    const int16_t y = year >= 1 && year <= 9999 ? int16_t(year) : 0;
    const int16_t day = y != 0 ? DayOfCell(y, month_, cell_) : 0;
    TxtEV(3).setText(QDate(y, month_, day).isValid()
                         ? rt::FormatDate(y, month_, day, QStringLiteral("dd mmmm yyyy"))
                         : QString());

    const bool money = r.Kind == ItemKind::Income || r.Kind == ItemKind::Expense;
    TxtEV(0).setText(T(r.Kind == ItemKind::Income    ? 10021
                       : r.Kind == ItemKind::Expense ? 10022
                                                     : 10023));
    if (money) {
        TxtEV(1).setText(MoneyName(r.Text));
        TxtEV(2).setText(rt::TrimBlanks(r.Text.mid(10)));
    } else {
        TxtEV(1).setText(rt::TrimBlanks(r.Text));
        TxtEV(2).setText(QStringLiteral("0"));
    }
    TxtEV(2).setVisible(money);
    LblEV(2).setVisible(money);

    if (ChkALOff.Value() == rt::vbChecked || r.AlarmOn == 0) {
        ChkAL.setValue(rt::vbChecked);
        TxtAL.setText(QStringLiteral("1"));
        CmbAL.setListIndex(0);
    } else {
        ChkAL.setValue(rt::vbUnchecked);
        TxtAL.setText(QString::number(r.AlarmDaysBefore));
        CmbAL.setListIndex(SoundRow(r.Sound));
    }
}

void FrmAlarmForm::ChkAL_Click() {
    const bool on = ChkAL.Value() == rt::vbUnchecked;
    for (int i = 0; i <= 2; ++i)
        LblAL(i).setEnabled(on);
    TxtAL.setEnabled(on);
    UDAL.setEnabled(on);
    CmbAL.setEnabled(on);
    CmdAL.setEnabled(on && CmbAL.ListIndex() >= 1);
    TxtAL.setBackColor(on ? rt::vbWindowBackground : rt::vbButtonFace);
}

void FrmAlarmForm::CmbAL_Click() {
    CmdAL.setEnabled(CmbAL.ListIndex() >= 1 && LblAL(0).Enabled());
}

void FrmAlarmForm::CmdAL_Click() {
    PlayAlarmSound(CmbAL.ListIndex());
}

void FrmAlarmForm::TxtAL_Change() {
    ApplyAlarmDaysFilter(TxtAL);
}

void FrmAlarmForm::TmrAlarm_Timer() {
    LblALWarning.setLeft(LblALWarning.Left() - kBannerStep);
    if (LblALWarning.Left() + LblALWarning.Width() < 0)
        LblALWarning.setLeft(PicAlarm.Left() + PicAlarm.Width() + kBannerGap);
    rt::DoEvents();
}

void FrmAlarmForm::CmdOk_Click() {
    Cancelled = 0;
    Unload();
}

void FrmAlarmForm::CmdCancel_Click() {
    Unload();
}

void FrmAlarmForm::CmdHelp_Click() {
    ShowHelp(QStringLiteral("Html\\d_alarm.htm"));
}

void FrmAlarmForm::Form_KeyDown(int& KeyCode, int) {
    if (KeyCode != 112) return;
    KeyCode = 0;
    CmdHelp_Click();
}

void FrmAlarmForm::Form_Unload(int&) {
    TmrAlarm.setEnabled(false);
    if (Cancelled != 0) {
        Exchange.DialogResult = 0;
        return;
    }
    Exchange.DialogResult = 1;
    StoreItem();
    rt::SaveSetting(kSettingsApp, kAlarmSection, kOffDefaultKey,
                    ChkALOff.Value() == rt::vbChecked ? QStringLiteral("1") : QStringLiteral("0"));
}

void FrmAlarmForm::StoreItem() {
    EVItem* stored = item();
    if (!stored) {
        Exchange.DialogResult = 0;
        return;
    }
    EVItem copy = *stored;
    if (ChkAL.Value() == rt::vbChecked) {
        copy.AlarmOn = 0;
        copy.AlarmDaysBefore = 1;
        copy.Sound = 0;
    } else {
        copy.AlarmOn = -1;
        copy.AlarmDaysBefore =
            int32_t(std::clamp(rt::RoundHalfEven(rt::Val(TxtAL.Text())), 0.0, 365.0));
        copy.Sound = int16_t(std::max(0, CmbAL.ListIndex()));
    }
    if (!CompareEVItem(copy, *stored)) {
        Exchange.DialogResult = 0;
        return;
    }
    *stored = std::move(copy);
    SetModified(DocPart::MonthDays, -1, month_);
}
