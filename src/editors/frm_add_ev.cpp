#include "frm_add_ev.h"

#include "core/numeric.h"
#include "core/resources.h"
#include "core/rt_error.h"
#include "core/ui_services.h"
#include "document/balances.h"
#include "document/cal_reader.h"
#include "document/compare.h"
#include "document/dates.h"
#include "document/doc_state.h"
#include "document/modified.h"
#include "document/money_text.h"
#include "editors.h"
#include "frm_alarm.h"
#include "printing/printing.h"
#include "services/shell_services.h"

#include <algorithm>
#include <cmath>

rt::FormSlot<FrmAddEVForm> FrmAddEV{"FrmAddEV"};

namespace {

QString T(int id) {
    return rt::LoadResString(id);
}

bool ticked(const rt::CheckBox& Box) {
    return Box.Value() == rt::vbChecked;
}

// A whole number as the balance boxes show it: its digits, with "-" before a negative one.
QString WholeNumberText(double Value) {
    if (!std::isfinite(Value)) return QStringLiteral("0");
    return QString::number(Value, 'f', 0);
}

bool SameDate(const DateRec& A, const DateRec& B) {
    return A.Day == B.Day && A.Month == B.Month && A.Year == B.Year;
}

} // namespace

FrmAddEVForm::FrmAddEVForm() : EditorForm(QStringLiteral("FrmAddEV")) {
    layOut();
    bindEvents();
}

void FrmAddEVForm::layOut() {
    TbAddEV.Move(120, 120, 5655, 4935);
    StyleText(TbAddEV);
    for (int i = 0; i <= 3; ++i) {
        PicTab(i).Move(0, 0, 5535, 4455);
        StylePanel(PicTab(i));
    }

    // General page.
    LblGenSect(0).Move(120, 120, 5280, 255);
    LnGen.Move(120, 390, 5280, 15);
    ChkGen.Move(240, 510, 5160, 285);
    for (int i = 0; i <= 2; ++i) {
        PicGen(i).Move(120, 900, 5280, 3435);
        StylePanel(PicGen(i));
    }
    // Free entry.
    LblGenSect(1).Move(0, 0, 5280, 255);
    ChkEV(0).Move(120, 360, 1560, 285);
    ChkEV(1).Move(1800, 360, 1560, 285);
    ChkEV(2).Move(3480, 360, 1680, 285);
    LblEV(0).Move(120, 780, 5040, 225);
    TxtEV(0).Move(120, 1020, 2640, 315);
    LblEV(1).Move(120, 1440, 5040, 225);
    TxtEV(1).Move(120, 1680, 1335, 315);
    // Linked entry.
    LblGenSect(2).Move(0, 0, 5280, 255);
    LblDE(0).Move(120, 360, 2640, 225);
    CmbDE.Move(120, 600, 2640, 315);
    LblDE(1).Move(3000, 360, 2160, 225);
    TxtDE(0).Move(3000, 600, 1335, 315);
    ChkDE(0).Move(120, 1035, 2520, 285);
    ChkDE(1).Move(2760, 1035, 2520, 285);
    LblDE(2).Move(120, 1500, 5040, 225);
    TxtDE(1).Move(120, 1740, 1335, 315);
    LblDE(3).Move(120, 2160, 5040, 225);
    TxtDE(2).Move(120, 2400, 1335, 315);
    // Hint.
    LblGenSect(3).Move(0, 0, 5280, 255);
    LblDE(4).Move(120, 360, 5040, 1200);
    LblDE(4).setWordWrap(true);
    // Warnings of a generated item, in place of the whole page.
    for (int i = 0; i <= 1; ++i) {
        LblGen(i).Move(240, 240, 5040, 1200);
        LblGen(i).setWordWrap(true);
        LblGen(i).setVisible(false);
        StyleText(LblGen(i));
        LblGen(i).setFontBold(true);
    }
    PicTab(3).setVisible(false);

    // Display page.
    LblDispSect(0).Move(120, 120, 5280, 255);
    LnDisp(0).Move(120, 390, 5280, 15);
    ChkCol.Move(240, 510, 5160, 285);
    PicSelCol.Move(240, 900, 495, 315);
    LblCol.Move(855, 945, 4320, 225);
    LblDispSect(1).Move(120, 1410, 5280, 255);
    LnDisp(1).Move(120, 1680, 5280, 15);
    ChkBck(0).Move(240, 1800, 5160, 285);
    LblBck.Move(240, 2175, 5040, 225);
    TxtBck.Move(240, 2415, 3720, 315);
    CmdBck.Move(4080, 2400, 1215, 345);
    ChkBck(1).Move(240, 2850, 5040, 285);
    PicBck.Move(240, 3195, 5055, 1095);
    ImgBck.setStretch(true);

    // Alarm page.
    LblALSect.Move(120, 120, 5280, 255);
    LnAL.Move(120, 390, 5280, 15);
    ChkAL.Move(240, 510, 5160, 285);
    LblAL(0).Move(240, 960, 5040, 225);
    TxtAL.Move(240, 1230, 720, 315);
    BindDaysUpDown(UDAL, TxtAL);
    LblAL(1).Move(1320, 1275, 3960, 225);
    LblAL(2).Move(240, 1740, 5040, 225);
    CmbAL.Move(240, 1980, 2640, 315);
    CmdAL.Move(3000, 1965, 1215, 345);

    // Looks.
    StyleHeading(LblGenSect(0));
    StyleLine(LnGen);
    StyleText(ChkGen);
    for (int i = 1; i <= 3; ++i)
        StyleHeading(LblGenSect(i));
    for (int i = 0; i <= 2; ++i)
        StyleText(ChkEV(i));
    for (int i = 0; i <= 1; ++i) {
        StyleText(LblEV(i));
        StyleEntry(TxtEV(i));
        StyleText(ChkDE(i));
        StyleHeading(LblDispSect(i));
        StyleLine(LnDisp(i));
        StyleText(ChkBck(i));
    }
    for (int i = 0; i <= 4; ++i)
        StyleText(LblDE(i));
    StyleEntry(CmbDE);
    for (int i = 0; i <= 2; ++i)
        StyleEntry(TxtDE(i));
    StyleText(ChkCol);
    StyleText(LblCol);
    StyleText(LblBck);
    StyleEntry(TxtBck);
    StyleHeading(LblALSect);
    StyleLine(LnAL);
    StyleText(ChkAL);
    for (int i = 0; i <= 2; ++i)
        StyleText(LblAL(i));
    StyleEntry(TxtAL);
    StyleEntry(CmbAL);

    // Starting values: the free entry shown, OK enabled, the boxes unticked.
    PicGen(1).setVisible(false);
    PicGen(2).setVisible(false);
    TxtEV(0).setMaxLength(10);
    TxtEV(1).setMaxLength(6);
    TxtDE(0).setMaxLength(6);
    // The description goes into the document, held in Windows-1252.
    TxtEV(0).setCp1252Only(true);
    BindAmountBox(TxtEV(1));
    BindAmountBox(TxtDE(0));
    for (int i = 1; i <= 2; ++i) {
        TxtDE(i).setLocked(true);
        TxtDE(i).setBackColor(rt::vbButtonFace);
    }
    CmbDE.setStyle(rt::vbComboDropdownList);
    CmbAL.setStyle(rt::vbComboDropdownList);
    TxtBck.setLocked(true);
    PicSelCol.setBackColor(rt::vbWhite);
    PicBck.setBackColor(rt::vbButtonFace);
    TxtAL.setText(QStringLiteral("1"));

    LayoutFrame(TbAddEV);
    SetFocusOrder({&ChkGen,    &ChkEV(0), &ChkEV(1), &ChkEV(2),  &TxtEV(0),  &TxtEV(1), &CmbDE,
                   &TxtDE(0),  &ChkDE(0), &ChkDE(1), &TxtDE(1),  &TxtDE(2),  &ChkCol,   &PicSelCol,
                   &ChkBck(0), &TxtBck,   &CmdBck,   &ChkBck(1), &ChkAL,     &TxtAL,    &UDAL,
                   &CmbAL,     &CmdAL,    &CmdHelp,  &CmdOk,     &CmdCancel, &TbAddEV});
}

void FrmAddEVForm::bindEvents() {
    TbAddEV.onTabClick = [this](int previous) { TbAddEV_Click(previous); };
    for (int i = 0; i <= 2; ++i)
        ChkEV(i).onClick = [this, i] { ChkEV_Click(i); };
    ChkGen.onClick = [this] { ChkGen_Click(); };
    for (int i = 0; i <= 1; ++i) {
        ChkDE(i).onClick = [this, i] { ChkDE_Click(i); };
        TxtEV(i).onChange = [this, i] { TxtEV_Change(i); };
        ChkBck(i).onClick = [this, i] { ChkBck_Click(i); };
    }
    for (int i = 0; i <= 2; ++i)
        TxtDE(i).onChange = [this, i] { TxtDE_Change(i); };
    CmbDE.onClick = [this] { CmbDE_Click(); };
    ChkCol.onClick = [this] { ChkCol_Click(); };
    PicSelCol.onClick = [this] { PicSelCol_Click(); };
    LblCol.onClick = [this] { LblCol_Click(); };
    CmdBck.onClick = [this] { CmdBck_Click(); };
    ChkAL.onClick = [this] { ChkAL_Click(); };
    TxtAL.onChange = [this] { TxtAL_Change(); };
    CmbAL.onClick = [this] { CmbAL_Click(); };
    CmdAL.onClick = [this] { CmdAL_Click(); };
}

// ---- Loading ----

void FrmAddEVForm::LoadAndFill() {
    // The day is taken once: the captions, the balances and the store all use it.
    month_ = CurMonth;
    cell_ = CurCell;
    date_ = CurDate;
    LoadCaptions();
    FillDialog();
}

QString FrmAddEVForm::HelpTopic() const {
    if (TbAddEV.Tab() < 1) return QStringLiteral("Html\\d_addev_gen.htm");
    if (TbAddEV.Tab() == 1) return QStringLiteral("Html\\d_addev_disp.htm");
    return QStringLiteral("Html\\d_addev_al.htm");
}

void FrmAddEVForm::LoadCaptions() {
    LoadFrameCaptions(TbAddEV, 701, 702);
    LblGenSect(0).setCaption(T(504));
    TbAddEV.setTabCaption(1, T(706));
    TbAddEV.setTabCaption(2, T(707));
    LblALSect.setCaption(T(707));
    LblGenSect(1).setCaption(T(708));
    LblGenSect(2).setCaption(T(233));
    LblGenSect(3).setCaption(T(233));
    ChkGen.setCaption(T(710));
    ChkEV(0).setCaption(T(711));
    ChkEV(1).setCaption(T(712));
    ChkEV(2).setCaption(T(713));
    LblEV(0).setCaption(T(714));
    LblDE(0).setCaption(T(714));
    LblEV(1).setCaption(T(715));
    LblDE(1).setCaption(T(715));
    ChkDE(0).setCaption(T(716));
    ChkDE(1).setCaption(T(717));
    LblDE(2).setCaption(T(718) + u' ' + DateToText(AddDays(date_, -1)) + u':');
    LblDE(3).setCaption(T(719) + u' ' + DateToText(date_) + u':');
    LblDE(4).setCaption(T(720));
    LblDispSect(0).setCaption(T(721));
    LblDispSect(1).setCaption(T(722));
    ChkCol.setCaption(T(723));
    LblCol.setCaption(T(724));
    ChkBck(0).setCaption(T(725));
    LblBck.setCaption(T(526));
    CmdBck.setCaption(T(527));
    ChkBck(1).setCaption(T(728));
    ChkAL.setCaption(T(729));
    LblAL(0).setCaption(T(730));
    LblAL(1).setCaption(T(731));
    LblAL(2).setCaption(T(732));
    CmdAL.setCaption(T(733));
    FillSoundList(CmbAL);
    LblGen(0).setCaption(T(736));
    LblGen(1).setCaption(T(737));
}

DayCell* FrmAddEVForm::dayCell() const {
    if (!IsMonth(month_) || !IsCell(cell_)) return nullptr;
    return &CurDoc.Months(month_).Cells(cell_);
}

const DEItem* FrmAddEVForm::chosenDebt() const {
    const DEList& list = CurDoc.DebtsSavings;
    if (!InList(list, CmbDE.ListIndex())) return nullptr;
    return &list.Items[size_t(CmbDE.ListIndex())];
}

void FrmAddEVForm::FillDialog() {
    const DEList& debts = CurDoc.DebtsSavings;
    for (int i = 0; i < debts.Count; ++i)
        CmbDE.AddItem(MoneyName(debts.Items[size_t(i)].Text));
    PicTab(3).setTag(QString());

    const DayCell* cell = dayCell();
    if (!IsEdit() || !cell || !InList(*cell, OpenIndex())) {
        ChkGen.setValue(rt::vbUnchecked);
        ChkEV(2).setValue(rt::vbChecked);
        ChkDE(0).setValue(rt::vbChecked);
        TxtEV(0).setText(QString());
        TxtEV(1).setText(QStringLiteral("0"));
        ChkCol.setValue(rt::vbChecked);
        ChkBck(0).setValue(rt::vbChecked);
        ChkBck(1).setValue(rt::vbChecked);
        ChkAL.setValue(rt::vbChecked);
        TxtAL.setText(QStringLiteral("1"));
        CmbAL.setListIndex(0);
    } else {
        // A copy: the handlers raised below must not see the item change under them.
        const EVItem r = cell->Items[size_t(OpenIndex())];
        const bool money = r.Kind == ItemKind::Income || r.Kind == ItemKind::Expense;
        // A kind the program does not know (a damaged file) is edited as an event, as the
        // events pane shows it.
        ChkEV(r.Kind == ItemKind::Income    ? 0
              : r.Kind == ItemKind::Expense ? 1
                                            : 2)
            .setValue(rt::vbChecked);
        TxtEV(0).setText(money ? MoneyName(r.Text) : rt::TrimBlanks(r.Text));
        ChkDE(0).setValue(rt::vbChecked);
        rt::DoEvents();
        if (ticked(ChkGen)) {
            if (const DEItem* d = chosenDebt()) {
                const bool adds =
                    d->IsSaving != 0 ? r.Kind == ItemKind::Expense : r.Kind == ItemKind::Income;
                const bool deducts =
                    d->IsSaving != 0 ? r.Kind == ItemKind::Income : r.Kind == ItemKind::Expense;
                if (adds) ChkDE(0).setValue(rt::vbChecked);
                if (deducts) ChkDE(1).setValue(rt::vbChecked);
            }
        }
        TxtEV(1).setText(money ? rt::TrimBlanks(r.Text.mid(10)) : QStringLiteral("0"));
        // An amount that raised no change (an empty one) is filtered all the same.
        EndAmountEntry(TxtEV(1));

        if (r.Colour == -1) {
            ChkCol.setValue(rt::vbChecked);
        } else {
            ChkCol.setValue(rt::vbUnchecked);
            PicSelCol.setBackColor(r.Colour);
        }
        ChkBck(1).setValue(rt::vbChecked);
        if (r.PictureFile.isEmpty()) {
            ChkBck(0).setValue(rt::vbChecked);
            HeldImage.Picture = rt::Picture::empty();
        } else {
            ChkBck(0).setValue(rt::vbUnchecked);
            TxtBck.setText(rt::TrimBlanks(r.PictureFile));
            HeldImage.FileName = r.PictureFile;
            HeldImage.Picture = r.Picture;
            ShowPicturePreview();
        }
        if (r.AlarmOn == 0) {
            ChkAL.setValue(rt::vbChecked);
            TxtAL.setText(QStringLiteral("1"));
            CmbAL.setListIndex(0);
        } else {
            ChkAL.setValue(rt::vbUnchecked);
            TxtAL.setText(QString::number(r.AlarmDaysBefore));
            CmbAL.setListIndex(SoundRow(r.Sound));
        }

        const QString source = r.SourceKey.left(2);
        if (source == QLatin1String("AE")) {
            PicTab(3).setTag(QStringLiteral("AE"));
            LblGen(0).setVisible(true);
        } else if (source == QLatin1String("BD")) {
            PicTab(3).setTag(QStringLiteral("BD"));
            LblGen(1).setVisible(true);
        }
        if (ticked(ChkGen) && chosenDebt()) ShowLinkedBalance(true);
    }

    PicTab(0).setVisible(!locked());
    PicTab(3).setVisible(locked());
    TbAddEV_Click(TbAddEV.Tab());
}

// ---- Pages ----

void FrmAddEVForm::TbAddEV_Click(int) {
    const int t = TbAddEV.Tab();
    PicTab(0).setEnabled(t == 0 && !locked());
    PicTab(3).setEnabled(t == 0 && locked());
    PicTab(1).setEnabled(t == 1);
    PicTab(2).setEnabled(t == 2);
}

// ---- General page ----

void FrmAddEVForm::ChkEV_Click(int Index) {
    if (!ticked(ChkEV(Index))) {
        if (!ticked(ChkEV(0)) && !ticked(ChkEV(1)) && !ticked(ChkEV(2)))
            ChkEV(Index).setValue(rt::vbChecked);
        return;
    }
    for (int i = 0; i <= 2; ++i)
        if (i != Index) ChkEV(i).setValue(rt::vbUnchecked);
    if (Index == 2) {
        TxtEV(0).setMaxLength(17);
        TxtEV(1).setEnabled(false);
        TxtEV(1).setBackColor(rt::vbButtonFace);
    } else {
        TxtEV(0).setMaxLength(10);
        TxtEV(0).setText(rt::TrimBlanks(TxtEV(0).Text().left(10)));
        TxtEV(1).setEnabled(true);
        TxtEV(1).setBackColor(rt::vbWindowBackground);
    }
}

void FrmAddEVForm::ChkDE_Click(int Index) {
    const bool add = ticked(ChkDE(0));
    const bool deduct = ticked(ChkDE(1));
    if (add && deduct) {
        ChkDE(1 - Index).setValue(rt::vbUnchecked);
        return;
    }
    if (!add && !deduct) {
        ChkDE(Index).setValue(rt::vbChecked);
        return;
    }
    if (ticked(ChkGen) && chosenDebt()) ShowLinkedBalance(false);
}

void FrmAddEVForm::ChkGen_Click() {
    const bool linked = ticked(ChkGen);
    PicGen(0).setVisible(!linked);
    PicGen(1).setVisible(linked && CmbDE.ListCount() > 0);
    PicGen(2).setVisible(linked && CmbDE.ListCount() == 0);
    if (!linked) {
        if (!TxtEV(0).Text().isEmpty() && CmbDE.ListCount() > 0) {
            CmdOk.setEnabled(true);
            // A free entry may not carry a debt's or saving's name: it would count in its
            // balance unseen. The whole list is walked; the last match stays chosen.
            for (int i = 0; i < CmbDE.ListCount(); ++i) {
                if (TxtEV(0).Text() == CmbDE.List(i)) {
                    CmbDE.setListIndex(i);
                    CmdOk.setEnabled(false);
                }
            }
        } else {
            CmdOk.setEnabled(true);
        }
        return;
    }
    CmdOk.setEnabled(CmbDE.ListIndex() != -1 && CmbDE.ListCount() > 0);
    if (CmbDE.ListIndex() != -1 && chosenDebt()) ShowLinkedBalance(false);
}

void FrmAddEVForm::CmbDE_Click() {
    const bool linked = ticked(ChkGen);
    CmdOk.setEnabled((linked && CmbDE.ListIndex() != -1 && CmbDE.ListCount() > 0) || !linked);
    if (linked && chosenDebt()) ShowLinkedBalance(true);
}

void FrmAddEVForm::TxtEV_Change(int Index) {
    if (Index == 1) {
        ApplyAmountFilter(TxtEV(1));
        if (CmbDE.ListCount() > 0 && TxtDE(0).Text() != TxtEV(1).Text())
            TxtDE(0).setText(TxtEV(1).Text());
        return;
    }
    if (TxtEV(0).Text().isEmpty() || ticked(ChkGen) || CmbDE.ListCount() == 0) return;
    CmdOk.setEnabled(true);
    for (int i = 0; i < CmbDE.ListCount(); ++i) {
        if (TxtEV(0).Text() != CmbDE.List(i)) continue;
        CmbDE.setListIndex(i);
        ChkGen.setValue(rt::vbChecked);
        if (chosenDebt()) ShowLinkedBalance(true);
    }
}

void FrmAddEVForm::TxtDE_Change(int Index) {
    if (Index != 0) return;
    ApplyAmountFilter(TxtDE(0));
    if (TxtEV(1).Text() != TxtDE(0).Text()) TxtEV(1).setText(TxtDE(0).Text());
    if (ticked(ChkGen) && chosenDebt()) ShowLinkedBalance(false);
}

void FrmAddEVForm::ShowLinkedBalance(bool Recalc) {
    const DEItem* d = chosenDebt();
    if (!d) return;
    const int16_t index = int16_t(CmbDE.ListIndex());
    if (Recalc) TxtDE(1).setText(QString::number(DEBalanceAtDate(index, AddDays(date_, -1))));
    if (IsDateAfter(d->StartDate, date_)) {
        TxtDE(2).setText(QStringLiteral("0"));
        return;
    }
    // The balance before the day leaves out the opening amount on the start day itself.
    const double opening =
        SameDate(date_, d->StartDate) ? rt::RoundHalfEven(MoneyAmount(d->Text)) : 0.0;
    const DayCell* cell = dayCell();
    // The item being edited is left out: its new amount takes its place.
    const double others = cell ? DEMovementsOfDay(index, *cell, IsEdit() ? OpenIndex() : -1) : 0;
    const double amount = std::fabs(rt::Val(TxtDE(0).Text()));
    const double before = rt::Val(TxtDE(1).Text());
    const double sum =
        ticked(ChkDE(0)) ? before + others + opening + amount : before + others + opening - amount;
    TxtDE(2).setText(WholeNumberText(rt::RoundHalfEven(sum)));
}

// ---- Display page ----

void FrmAddEVForm::ChkCol_Click() {
    const bool own = !ticked(ChkCol);
    PicSelCol.setEnabled(own);
    LblCol.setEnabled(own);
}

void FrmAddEVForm::PicSelCol_Click() {
    CDSelColor.CancelError = true;
    CDSelColor.Flags = rt::cdlCCRGBInit | rt::cdlCCFullOpen;
    CDSelColor.Color = PicSelCol.BackColor();
    try {
        CDSelColor.ShowColor();
        PicSelCol.setBackColor(CDSelColor.Color);
    } catch (const rt::RtError&) {
        // Cancelled, or the dialog failed: the colour stays.
    }
}

void FrmAddEVForm::LblCol_Click() {
    PicSelCol_Click();
}

void FrmAddEVForm::ChkBck_Click(int Index) {
    if (Index == 0) {
        const bool own = !ticked(ChkBck(0));
        LblBck.setEnabled(own);
        TxtBck.setEnabled(own);
        CmdBck.setEnabled(own);
        ChkBck(1).setEnabled(own);
        TxtBck.setBackColor(own ? rt::vbWindowBackground : rt::vbButtonFace);
    }
    ShowPicturePreview();
}

void FrmAddEVForm::ShowPicturePreview() {
    const bool show = ticked(ChkBck(1)) && ChkBck(0).Value() == rt::vbUnchecked;
    const rt::Picture picture = show ? HeldImage.Picture : rt::Picture::empty();
    // The preview keeps the picture's proportions within its box, centred.
    const QImage image = picture.image();
    const int boxWidth = PicBck.Width() - 60;
    const int boxHeight = PicBck.Height() - 60;
    if (!image.isNull() && image.width() > 0 && image.height() > 0) {
        const double scale = std::min(1.0, std::min(double(boxWidth) / (image.width() * 15.0),
                                                    double(boxHeight) / (image.height() * 15.0)));
        ImgBck.Move(0, 0, std::max(15, int(image.width() * 15.0 * scale)),
                    std::max(15, int(image.height() * 15.0 * scale)));
        CenterInContainer(ImgBck, PicBck);
    }
    ImgBck.setPicture(picture);
}

void FrmAddEVForm::Frm_EnableCmdButtons(bool Enable) {
    PicTab(1).setEnabled(Enable);
    CmdBck.setEnabled(Enable);
    rt::DoEvents();
}

void FrmAddEVForm::CmdBck_Click() {
    Frm_EnableCmdButtons(false);
    const PicChooseResult r = ChoosePicture(TxtBck.Text());
    if (r.Accepted == 1) {
        TxtBck.setText(r.FileName);
        HeldImage.FileName = TxtBck.Text();
        LoadImageItemPicture(HeldImage);
        ShowPicturePreview();
    }
    Frm_EnableCmdButtons(true);
}

// ---- Alarm page ----

void FrmAddEVForm::ChkAL_Click() {
    const bool on = !ticked(ChkAL);
    for (int i = 0; i <= 2; ++i)
        LblAL(i).setEnabled(on);
    TxtAL.setEnabled(on);
    UDAL.setEnabled(on);
    CmbAL.setEnabled(on);
    CmdAL.setEnabled(on && CmbAL.ListIndex() > 0);
    TxtAL.setBackColor(on ? rt::vbWindowBackground : rt::vbButtonFace);
}

void FrmAddEVForm::CmbAL_Click() {
    CmdAL.setEnabled(CmbAL.ListIndex() >= 1 && LblAL(0).Enabled());
}

void FrmAddEVForm::TxtAL_Change() {
    ApplyAlarmDaysFilter(TxtAL);
}

void FrmAddEVForm::CmdAL_Click() {
    PlayAlarmSound(CmbAL.ListIndex());
}

// ---- Storing ----

void FrmAddEVForm::StoreItem() {
    DayCell* cell = dayCell();
    const DEItem* d = chosenDebt();
    const bool linked = ticked(ChkGen);
    // No day to store into, or a linked entry without its debt/saving (OK is disabled then):
    // nothing is stored.
    if (!cell || (linked && !d)) {
        Exchange.DialogResult = 0;
        return;
    }

    EVItem n;
    if (ticked(ChkAL)) {
        n.AlarmOn = 0;
        n.AlarmDaysBefore = 1;
        n.Sound = 0;
    } else {
        n.AlarmOn = -1;
        n.AlarmDaysBefore =
            int32_t(std::clamp(rt::RoundHalfEven(rt::Val(TxtAL.Text())), 0.0, 365.0));
        n.Sound = int16_t(std::max(0, CmbAL.ListIndex()));
    }
    n.Colour = ticked(ChkCol) ? -1 : PicSelCol.BackColor();
    if (ticked(ChkBck(0))) {
        n.PictureFile.clear();
        n.Picture = rt::Picture::empty();
    } else {
        n.PictureFile = HeldImage.FileName;
        n.Picture = HeldImage.Picture;
    }
    QString name;
    if (!linked) {
        name = rt::TrimBlanks(TxtEV(0).Text());
        n.Kind = ticked(ChkEV(0))   ? ItemKind::Income
                 : ticked(ChkEV(1)) ? ItemKind::Expense
                                    : ItemKind::Event;
    } else {
        name = CmbDE.List(CmbDE.ListIndex());
        const bool add = ticked(ChkDE(0));
        if (d->IsSaving != 0)
            n.Kind = add ? ItemKind::Expense : ItemKind::Income;
        else
            n.Kind = add ? ItemKind::Income : ItemKind::Expense;
    }
    n.Text = n.Kind == ItemKind::Event ? rt::TrimBlanks(TxtEV(0).Text())
                                       : MakeMoneyText(name, AmountFilterText(TxtEV(1).Text()));

    if (!IsEdit()) {
        if (cell->Count >= 32767) {
            Exchange.DialogResult = 0;
            return;
        }
        ListAppend(*cell, std::move(n));
    } else {
        if (!InList(*cell, OpenIndex())) {
            Exchange.DialogResult = 0;
            return;
        }
        EVItem& slot = cell->Items[size_t(OpenIndex())];
        // A generated item keeps what its general page showed: the page cannot be reached,
        // and rebuilding the text from it could change it unseen (an event named like a debt
        // would become an income, an amount would be rewritten in its normal form).
        if (locked()) {
            n.Kind = slot.Kind;
            n.Text = slot.Text;
        }
        if (!CompareEVItem(slot, n)) {
            Exchange.DialogResult = 0;
            return;
        }
        n.SourceKey = slot.SourceKey;
        slot = std::move(n);
    }
    SetModified(DocPart::MonthDays, -1, month_);
}

bool ShowEVEditor() {
    FrmAddEV->Show(rt::vbModal);
    FrmAddEV.release();
    return Exchange.DialogResult == 1;
}
