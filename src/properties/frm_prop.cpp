// The properties dialog's frame (opening, tabs, help, OK and Cancel, the order in which the
// pages are written back) and its general page.

#include "frm_prop.h"

#include "core/numeric.h"
#include "core/resources.h"
#include "core/rt_error.h"
#include "core/system.h"
#include "core/ui_services.h"
#include "document/calendar_entries.h"
#include "document/doc_state.h"
#include "document/doc_views.h"
#include "document/modified.h"
#include "properties/properties.h"
#include "services/form_support.h"
#include "services/main_window.h"
#include "services/shell_services.h"

#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>

rt::FormSlot<FrmPropForm> FrmProp{"FrmProp"};

namespace {

// The panels of the three tabs, and the tab control around them.
constexpr int kPanelWidth = 8040;
constexpr int kPanelHeight = 6780;
constexpr int kTabTop = 540;
// The tab control adds its tab row and frame to the panel.
constexpr int kTabWidth = kPanelWidth + 120;
constexpr int kTabHeight = kPanelHeight + 540;
constexpr int kButtonTop = kTabTop + kTabHeight + 120;

// The years a document may have: the fixed ones, 2002 to 2013, and then every year up to ten
// years after the current one, so that next year's calendar can always be made.
constexpr int kFirstYear = 2002;
constexpr int kLastFixedYear = 2013;
constexpr int kYearsAhead = 10;

// The tag of the year item added for a document whose year is not among the listed years.
const QString kDocumentYearTag = QStringLiteral("DocumentYear");

// The picture of the help button when it is disabled.
rt::Picture disabledHelpPicture() {
    if (const auto icon = ToolbarHelpIcon(true)) return *icon;
    return rt::LoadResPicture(323, rt::vbResBitmap);
}

} // namespace

QString FileSizeText(qint64 Bytes) {
    const QLocale locale;
    const double kb = double(Bytes) / 1000.0;
    if (Bytes < 1000) {
        QString digits = QString::number(std::round(kb * 100) / 100, 'f', 2);
        while (digits.endsWith(u'0'))
            digits.chop(1);
        if (digits.endsWith(u'.')) digits.chop(1);
        digits.replace(u'.', locale.decimalPoint());
        return u' ' + digits + QStringLiteral(" KB");
    }
    const QString whole = QString::number(qint64(std::round(kb)));
    QString grouped;
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) grouped += u' ';
        grouped += whole[i];
    }
    return grouped + QStringLiteral(" KB");
}

FrmPropForm::FrmPropForm() : rt::Form(QStringLiteral("FrmProp")) {
    setBorderStyle(rt::vbFixedDialog);
    setKeyPreview(true);
    Move(0, 0, kTabWidth + 240 + 90, kButtonTop + 390 + 120 + 480);

    LblProp.Move(120, 120, kTabWidth, 330);
    LblProp.setFontBold(true);
    LblProp.setFontSize(11);
    LblProp.setBackStyle(0);
    TbProp.Move(120, kTabTop, kTabWidth, kTabHeight);
    // The panels fill their pages (the tab control cuts off what its frame covers).
    PicGen.Move(0, 0, kTabWidth, kTabHeight);
    PicDisp(0).Move(0, 0, kTabWidth, kTabHeight);
    PicSave.Move(0, 0, kTabWidth, kTabHeight);
    for (rt::PictureBox* panel : {&PicGen, &PicDisp(0), &PicSave})
        panel->setBorderStyle(0);

    CmdHelp.Move(120, kButtonTop, 480, 390);
    CmdHelp.setStyle(1);
    CmdOk.Move(kTabWidth + 120 - 2 * 1335 - 120, kButtonTop, 1335, 390);
    CmdOk.setDefault(true);
    CmdCancel.Move(kTabWidth + 120 - 1335, kButtonTop, 1335, 390);
    CmdCancel.setCancel(true);

    layOutGeneralPage();
    layOutDisplayPage();
    layOutSavePage();

    CmdOk.onClick = [this] { CmdOk_Click(); };
    CmdCancel.onClick = [this] { CmdCancel_Click(); };
    CmdHelp.onClick = [this] { CmdHelp_Click(); };
    TbProp.onTabClick = [this](int previous) { TbProp_Click(previous); };
}

void FrmPropForm::layOutGeneralPage() {
    LblGenSect(0).Move(120, 120, 2400, 285);
    LblGenSect(1).Move(2760, 120, 5160, 285);
    for (int i = 0; i <= 1; ++i) {
        LblGenSect(i).setFontBold(true);
        LblGenSect(i).setBackStyle(0);
    }
    LstVGen.Move(120, 450, 2400, 4200);
    LstVGen.setView(rt::lvwSmallIcon);
    LstVGen.setIcons(&ImgLstProp);
    // The heading over the list names it; the other column's heading stands between them.
    setFieldLabel(LstVGen, LblGenSect(0));
    const int labelTops[] = {510, 1230, 1950, 2670};
    for (int i = 0; i <= 3; ++i) {
        LblGen(i).Move(2760, labelTops[i], 5160, 255);
        LblGen(i).setBackStyle(0);
    }
    TxtGen(0).Move(2760, 780, 5160, 315);
    // The author goes into the document, held in Windows-1252.
    TxtGen(0).setCp1252Only(true);
    CmbGen.Move(2760, 1500, 3300, 315);
    CmbGen.setStyle(rt::vbComboDropdownList);
    TxtGen(1).Move(2760, 2220, 5160, 315);
    TxtGen(2).Move(2760, 2940, 2400, 315);
    // The file's name and size are shown, never edited.
    for (int i = 1; i <= 2; ++i) {
        TxtGen(i).setLocked(true);
        TxtGen(i).setBackColor(rt::vbButtonFace);
    }
}

// ---- Opening ----

void FrmPropForm::Form_Load() {
    rt::SetHourglass(true);
    Cancelled = -1;
    InitForm();
    ShowGeneralPage();
    LoadDisplayWorkCopies();
    ShowSavePage();
    rt::DoEvents();
    rt::SetHourglass(false);
}

void FrmPropForm::InitForm() {
    ImgLstProp.ListImages().Clear();
    ImgLstProp.ListImages().Add({}, QStringLiteral("Month"),
                                rt::LoadResPicture(501, rt::vbResBitmap));
    setIcon(rt::LoadResPicture(501, rt::vbResIcon));
    setCaption(QStringLiteral("Mirovanta - ") + rt::LoadResString(501));
    LblProp.setCaption(rt::LoadResString(501));
    CmdHelp.setPicture(HelpButtonPicture());
    CmdHelp.setDisabledPicture(disabledHelpPicture());
    CmdHelp.setToolTipText(rt::LoadResString(223));
    CmdOk.setCaption(rt::LoadResString(502));
    CmdCancel.setCaption(rt::LoadResString(503));
    TbProp.setTabCaption(0, rt::LoadResString(504));
    TbProp.setTabCaption(1, rt::LoadResString(505));
    TbProp.setTabCaption(2, rt::LoadResString(544));

    LblGenSect(0).setCaption(rt::LoadResString(506));
    LstVGen.ListItems().Clear();
    const int lastYear = std::max(kLastFixedYear, rt::sys().today().year() + kYearsAhead);
    for (int year = kFirstYear; year <= lastYear; ++year)
        LstVGen.ListItems().Add({}, {}, QString::number(year), QStringLiteral("Month"));
    LblGenSect(1).setCaption(rt::LoadResString(504));
    LblGen(0).setCaption(rt::LoadResString(508));
    LblGen(1).setCaption(rt::LoadResString(509));
    CmbGen.Clear();
    CmbGen.AddItem(rt::LoadResString(228));
    for (int m = 1; m <= 12; ++m)
        CmbGen.AddItem(rt::LoadResString(209 + m));
    LblGen(2).setCaption(rt::LoadResString(510));
    LblGen(3).setCaption(rt::LoadResString(511));

    initDisplayPage();
    initSavePage();
    TbProp_Click(0);
}

// ---- General page ----

void FrmPropForm::ShowGeneralPage() {
    auto& years = LstVGen.ListItems();
    rt::ListItem* current = nullptr;
    for (int i = 1; i <= years.Count(); ++i)
        if (years(i).Text() == CurDoc.Year) current = &years(i);
    // A year outside the listed ones (a file from before 2002 or from far ahead) is listed as
    // well, in its place among them, so that the document's year shows selected.
    if (!current && !rt::TrimBlanks(CurDoc.Year).isEmpty()) {
        int at = years.Count() + 1;
        for (int i = years.Count(); i >= 1; --i)
            if (CurDoc.Year < years(i).Text()) at = i;
        current = &years.Add(at, {}, CurDoc.Year, QStringLiteral("Month"));
        current->Tag = kDocumentYearTag;
    }
    if (current) {
        current->setSelected(true);
        current->EnsureVisible();
    }

    TxtGen(0).setText(rt::TrimBlanks(CurDoc.Author));
    // A month to open outside "00" to "12" has no item: none is chosen, and the stored value is
    // kept unless the user chooses one.
    const double month = rt::Val(CurDoc.OpenMonth);
    CmbGen.setListIndex(month >= 0 && month <= 12 && month == std::floor(month) ? int(month) : -1);

    if (!CurDoc.FileName.isEmpty() && views().AppState() == QLatin1String("Edit")) {
        TxtGen(1).setText(CurDoc.FileName);
        ShowShortPath(TxtGen(1), 55);
        const QFileInfo file(CurDoc.FileName);
        TxtGen(2).setText(file.isFile() ? FileSizeText(file.size()) : rt::LoadResString(541));
    } else {
        TxtGen(1).setText(rt::LoadResString(540));
        TxtGen(2).setText(rt::LoadResString(541));
    }
}

void FrmPropForm::ApplyGeneral() {
    bool changed = false;

    // No year chosen, or the document's own year that is not among the listed ones: the year
    // stays.
    const rt::ListItem* chosen = LstVGen.SelectedItem();
    const QString year =
        chosen && chosen->Tag != kDocumentYearTag ? rt::TrimBlanks(chosen->Text()) : CurDoc.Year;
    if (year != CurDoc.Year) {
        if (views().AppState() != QLatin1String("Edit")) {
            changed = true;
            CurDoc.Year = year;
        } else if (rt::MsgBox(rt::LoadResString(543),
                              rt::vbYesNo | rt::vbQuestion | rt::vbDefaultButton2) == rt::vbYes) {
            if (views().AppState() != QLatin1String("Load")) views().SetMainMode(2);
            mainWindow().LoadingLabel(0).setCaption(rt::LoadResString(10001));
            rt::DoEvents();
            const CalDocument previous = CurDoc;
            CurDoc = BlankDocument(false);
            SetModified(DocPart::All, 0, 0);
            changed = true;
            CurDoc.Year = year;
            if (previous.AutoEvents.Count > 0) {
                CurDoc.AutoEvents = previous.AutoEvents;
                ApplyAEToCalendar();
                SetModified(DocPart::AutoEvents, -1, 0);
            }
            if (previous.Birthdays.Count > 0) {
                CurDoc.Birthdays = previous.Birthdays;
                ApplyBDToCalendar();
                SetModified(DocPart::Birthdays, -1, 0);
            }
            if (previous.DebtsSavings.Count > 0) {
                CurDoc.DebtsSavings = previous.DebtsSavings;
                SetModified(DocPart::DebtsSavings, -1, 0);
            }
        }
    }

    const QString author = rt::TrimBlanks(TxtGen(0).Text());
    if (author != CurDoc.Author) {
        changed = true;
        CurDoc.Author = author;
    }

    if (CmbGen.ListIndex() >= 0) {
        const QString month = rt::FormatNumber(CmbGen.ListIndex(), QStringLiteral("0#"));
        if (month != CurDoc.OpenMonth) {
            changed = true;
            CurDoc.OpenMonth = month;
        }
    }

    if (changed) SetModified(DocPart::Header, -1, 0);
}

// ---- Frame ----

void FrmPropForm::TbProp_Click(int) {
    const int shown = TbProp.Tab();
    PicGen.setEnabled(shown == 0);
    PicDisp(0).setEnabled(shown == 1);
    PicSave.setEnabled(shown == 2);
}

void FrmPropForm::CmdHelp_Click() {
    switch (TbProp.Tab()) {
    case 0:
        ShowHelp(QStringLiteral("Html\\d_prop_gen.htm"));
        break;
    case 1:
        ShowHelp(QStringLiteral("Html\\d_prop_disp.htm"));
        break;
    case 2:
        ShowHelp(QStringLiteral("Html\\d_prop_sav.htm"));
        break;
    default:
        break;
    }
}

void FrmPropForm::Form_KeyDown(int& KeyCode, int) {
    if (KeyCode == rt::vbKeyF1) CmdHelp_Click();
}

void FrmPropForm::Frm_EnableCmdButtons(bool Enable) {
    // Disabling remembers what it disabled, so that enabling again gives back exactly the
    // state before: a greyed password box or colour section stays greyed, and the panels of
    // the hidden tabs stay out of reach.
    if (!Enable) {
        disabledByFrame_.clear();
        for (rt::Control* c : Controls()) {
            if (c->Name() == QLatin1String("LblProp") || !c->Enabled()) continue;
            c->setEnabled(false);
            disabledByFrame_.push_back(c);
        }
    } else {
        for (rt::Control* c : disabledByFrame_)
            c->setEnabled(true);
        disabledByFrame_.clear();
    }
    rt::DoEvents();
}

void FrmPropForm::CmdOk_Click() {
    Cancelled = 0;
    Exchange.DialogResult = 1;
    Unload();
}

void FrmPropForm::CmdCancel_Click() {
    Cancelled = -1;
    Exchange.DialogResult = 0;
    Unload();
}

void FrmPropForm::Form_Unload(int& Cancel) {
    if (Cancelled == -1) return;
    if (!ConfirmPassword()) {
        // The dialog stays open and counts as not accepted until the next OK: its close box
        // is then a Cancel, and nothing reads the password dialog's answer as this one's.
        Cancel = -1;
        Cancelled = -1;
        Exchange.DialogResult = 0;
        return;
    }
    ApplyGeneral();
    ApplyDisplaySettings();
    ApplySaveOptions();
}

void RunPropertiesDialog() {
    FrmProp->Show(rt::vbModal);
    FrmProp.release();
}
