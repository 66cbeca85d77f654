// The auto-event editor's captions, its recurrence page and its range page: the recurrence boxes
// act as one group of option buttons, and the two range dates snap onto days the chosen
// recurrence selects, each from the date last picked or filled in.

#include "core/numeric.h"
#include "core/resources.h"
#include "document/dates.h"
#include "document/doc_state.h"
#include "frm_add_ae.h"

void FrmAddAEForm::layoutRecurrencePage() {
    LblAESect.Move(120, 120, 4680, 255);
    StyleHeading(LblAESect);
    // Rows from top to bottom: daily, monthly, weekly, every two weeks, yearly; each combo
    // below its box.
    const int boxes[] = {3, 0, 1, 2, 4};
    int top = 480;
    for (int box : boxes) {
        ChkAE(box).Move(240, top, 4440, 285);
        StyleText(ChkAE(box));
        top += 315;
        if (box == 0 || box == 4) {
            CmbAE(box).Move(540, top, 855, 315);
        } else if (box != 3) {
            CmbAE(box).Move(540, top, 1800, 315);
        }
        if (box == 4) CmbAE(5).Move(1515, top, 1800, 315);
        if (box != 3) top += 315;
        top += 150;
    }
    CmbAE.forEach([](int, rt::ComboBox& combo) {
        combo.setStyle(rt::vbComboDropdownList);
        StyleEntry(combo);
    });
}

void FrmAddAEForm::layoutRangePage() {
    LblRGSect.Move(120, 120, 4680, 255);
    StyleHeading(LblRGSect);
    for (int i = 0; i <= 1; ++i) {
        LblRG(i).Move(240, 480 + i * 780, 4440, 225);
        DtRG(i).Move(240, 720 + i * 780, 2160, 315);
        StyleText(LblRG(i));
        StyleEntry(DtRG(i));
    }
}

void FrmAddAEForm::LoadCaptions() {
    LoadFrameCaptions(TbAddAE, 801, 802);

    // General page.
    LblGenSect(0).setCaption(rt::LoadResString(504));
    LblGenSect(1).setCaption(rt::LoadResString(708));
    LblGenSect(2).setCaption(rt::LoadResString(233));
    LblGenSect(3).setCaption(rt::LoadResString(233));
    ChkGen.setCaption(rt::LoadResString(710));
    for (int i = 0; i <= 2; ++i)
        ChkEV(i).setCaption(rt::LoadResString(711 + i));
    LblEV(0).setCaption(rt::LoadResString(714));
    LblDE(0).setCaption(rt::LoadResString(714));
    LblEV(1).setCaption(rt::LoadResString(715));
    LblDE(1).setCaption(rt::LoadResString(715));
    ChkDE(0).setCaption(rt::LoadResString(716));
    ChkDE(1).setCaption(rt::LoadResString(717));
    LblDE(4).setCaption(rt::LoadResString(720));

    // Recurrence page.
    TbAddAE.setTabCaption(1, rt::LoadResString(803));
    LblAESect.setCaption(rt::LoadResString(803));
    const int boxCaptions[] = {804, 805, 806, 810, 811};
    for (int i = 0; i <= 4; ++i)
        ChkAE(i).setCaption(rt::LoadResString(boxCaptions[i]));

    // Range page.
    TbAddAE.setTabCaption(2, rt::LoadResString(807));
    LblRGSect.setCaption(rt::LoadResString(807));
    LblRG(0).setCaption(rt::LoadResString(808));
    LblRG(1).setCaption(rt::LoadResString(809));

    // The combos' lines; none is chosen here.
    for (int day = 1; day <= 31; ++day) {
        const QString text = rt::FormatNumber(day, QStringLiteral("0#"));
        CmbAE(0).AddItem(text);
        CmbAE(4).AddItem(text);
    }
    // Sunday first, so that a row plus one is the weekday number (Sunday 1 to Saturday 7).
    const int weekdays[] = {407, 401, 402, 403, 404, 405, 406};
    for (int combo : {1, 2})
        for (int id : weekdays)
            CmbAE(combo).AddItem(rt::LoadResString(id));
    for (int id = 210; id <= 221; ++id)
        CmbAE(5).AddItem(rt::LoadResString(id));
}

void FrmAddAEForm::ChkAE_Click(int Index) {
    if (!ticked(ChkAE(Index))) {
        bool any = false;
        for (int i = 0; i <= 4; ++i)
            any = any || ticked(ChkAE(i));
        // The ticked box stays ticked when clicked; ticking it again runs this once more.
        if (!any) ChkAE(Index).setValue(rt::vbChecked);
        return;
    }
    for (int i = 0; i <= 4; ++i)
        if (i != Index) ChkAE(i).setValue(rt::vbUnchecked);
    CmbAE(0).setEnabled(ticked(ChkAE(0)));
    CmbAE(1).setEnabled(ticked(ChkAE(1)));
    CmbAE(2).setEnabled(ticked(ChkAE(2)));
    CmbAE(4).setEnabled(ticked(ChkAE(4)));
    CmbAE(5).setEnabled(ticked(ChkAE(4)));
    DtRG_Change(0);
    DtRG_Change(1);
}

void FrmAddAEForm::CmbAE_Click(int) {
    DtRG_Change(0);
    DtRG_Change(1);
}

void FrmAddAEForm::DtRG_Change(int Index) {
    if (IsBusy) return;
    rt::DTPicker& picker = DtRG(Index);
    // A date that no snapping wrote was picked by the user or filled in: the snapping starts
    // from it at every change of rule, so that switching rules never moves the range inward.
    const QDate shown = picker.Value();
    if (shown != rangeShown_[Index]) rangePicked_[Index] = shown;
    for (int i : {0, 1, 2, 4, 5})
        if (CmbAE(i).ListIndex() == -1) return;

    const QDate& picked = rangePicked_[Index];
    const DateRec P =
        MakeDate(int16_t(picked.day()), int16_t(picked.month()), int16_t(picked.year()));
    DateRec D;
    if (ticked(ChkAE(3))) {
        D = MakeDate(P.Day, P.Month, P.Year);
    } else if (ticked(ChkAE(0))) {
        const int16_t d = int16_t(CmbAE(0).ListIndex() + 1);
        const int16_t n = DaysInMonth(P.Year, P.Month);
        D = MakeDate(d > n ? n : d, P.Month, P.Year);
    } else if (ticked(ChkAE(1)) || ticked(ChkAE(2))) {
        const int16_t w = int16_t(CmbAE(ticked(ChkAE(1)) ? 1 : 2).ListIndex() + 1);
        // The start moves forward onto the weekday, the end backward.
        D = P;
        while (WeekdayOf(D, false) != w)
            D = AddDays(D, Index == 0 ? 1 : -1);
    } else if (ticked(ChkAE(4))) {
        const int16_t d = int16_t(CmbAE(4).ListIndex() + 1);
        const int16_t m = int16_t(CmbAE(5).ListIndex() + 1);
        const int16_t n = DaysInMonth(P.Year, m);
        D = MakeDate(d > n ? n : d, m, P.Year);
    } else {
        // No recurrence chosen (a damaged record): no rule, the picker keeps its date.
        return;
    }
    // Writing the date the picker already shows raises no Change, which ends the nesting.
    rangeShown_[Index] = PickerDate(D);
    picker.setValue(rangeShown_[Index]);
}
