#include "frm_cm_graph.h"

#include "common_graph.h"
#include "core/numeric.h"
#include "core/resources.h"
#include "core/rt_error.h"
#include "core/ui_services.h"
#include "document/cal_limits.h"
#include "document/cal_reader.h"
#include "document/records.h"
#include "frm_cm_op_pic.h"
#include "platform/common_dialogs.h"
#include "platform/ui_units.h"
#include "printing.h"
#include "services/main_window.h"
#include "services/settings.h"
#include "services/shell_services.h"

#include <cmath>

rt::FormSlot<FrmCmGraphForm> FrmCmGraph{"FrmCmGraph"};

namespace {

QString T(int id) {
    return rt::LoadResString(id);
}

constexpr int kPx = rt::kTwipsPerPixel;
// Where the picture stands in the view zone, in pixels.
constexpr int kPicLeft = 5, kPicTop = 3;
// The largest number the size boxes take.
constexpr int kMaxSize = 32767;

void reportError(const QString& Lead, int32_t Number, const QString& Description) {
    rt::MsgBox(ErrorReportText(Lead, Number, Description), rt::vbCritical,
               QStringLiteral("Mirovanta"));
}

} // namespace

FrmCmGraphForm::FrmCmGraphForm() : rt::Form(QStringLiteral("FrmCmGraph")) {
    setBorderStyle(rt::vbFixedDialog);
    setKeyPreview(true);
    Move(0, 0, 10290, 6030);

    // The view zone on the left, its scroll bars along its right and bottom edges.
    PicViewZone.setScaleMode(rt::vbPixels);
    PicViewZone.setBackColor(rt::RGB(128, 128, 128));
    PicViewZone.Move(120, 120, 6300, 5400);
    PicMain.setBorderStyle(0);
    PicMain.setAutoRedraw(true);
    PicMain.setAutoSize(true);
    PicMain.Move(kPicLeft * kPx, kPicTop * kPx, 0, 0);
    PicTemp.setVisible(false);
    PicTemp.setBorderStyle(0);
    PicTemp.setScaleMode(rt::vbPixels);
    PicTemp.setAutoRedraw(true);
    PicVScroll.setBorderStyle(0);
    PicVScroll.Move(6420, 120, 255, 5400);
    VScroll1.Move(0, 0, 255, 5400);
    PicHScroll.setBorderStyle(0);
    PicHScroll.Move(120, 5520, 6300, 255);
    HScroll1.Move(0, 0, 6300, 255);
    for (rt::ScrollBar* bar :
         {static_cast<rt::ScrollBar*>(&HScroll1), static_cast<rt::ScrollBar*>(&VScroll1)}) {
        bar->setMin(0);
        bar->setMax(0);
        bar->setSmallChange(10);
        bar->setLargeChange(100);
        bar->setEnabled(false);
    }

    // Size, brightness and the commands on the right.
    FrSize.Move(6900, 60, 3135, 1590);
    for (int row = 0; row < 2; ++row) {
        rt::TextBox& word = row == 0 ? TxtWidth(0) : TxtHeight(0);
        rt::TextBox& number = row == 0 ? TxtWidth(1) : TxtHeight(1);
        rt::UpDown& updown = row == 0 ? UDWidth : UDHeight;
        rt::Label& unit = row == 0 ? LblWidth : LblHeight;
        const int top = 300 + row * 390;
        word.Move(120, top, 930, 315);
        word.setLocked(true);
        word.setBackColor(rt::vbButtonFace);
        number.Move(1080, top, 870, 315);
        number.setAlignment(rt::vbRightJustify);
        updown.Move(1950, top, 255, 315);
        updown.setMin(0);
        updown.setMax(kMaxSize);
        updown.setBuddyControl(&number);
        unit.Move(2280, top + 45, 780, 255);
    }
    CmdSizeFit.Move(120, 1095, 1770, 375);
    CmdSizeApply.Move(1950, 1095, 1065, 375);

    FrBright.Move(6900, 1710, 3135, 1590);
    SldBright.Move(120, 300, 2895, 450);
    SldBright.setMin(-100);
    SldBright.setMax(100);
    SldBright.setValue(0);
    SldBright.setSmallChange(1);
    SldBright.setLargeChange(10);
    SldBright.setTickFrequency(10);
    LblBright(0).Move(120, 780, 1380, 255);
    LblBright(1).Move(1635, 780, 1380, 255);
    LblBright(1).setAlignment(rt::vbRightJustify);
    LblBright(0).setBackStyle(0);
    LblBright(1).setBackStyle(0);
    CmdBrightApply.Move(1950, 1095, 1065, 375);

    PicMenu.setBorderStyle(0);
    PicMenu.Move(6900, 3360, 3135, 1995);
    FrMenu.Move(0, 0, 3135, 1995);
    rt::CommandButton* commands[] = {&CmdOpen, &CmdSaveAs, &CmdPrint, &CmdReset};
    for (int i = 0; i < 4; ++i)
        commands[i]->Move(120, 285 + i * 420, 2895, 375);

    CmdOk.Move(6900, 5415, 1500, 375);
    CmdOk.setDefault(true);
    CmdCancel.Move(8535, 5415, 1500, 375);
    CmdCancel.setCancel(true);

    CmdSizeApply.onClick = [this] { CmdSizeApply_Click(); };
    CmdSizeFit.onClick = [this] { CmdSizeFit_Click(); };
    TxtWidth(1).onChange = [this] { TxtWidth_Change(1); };
    TxtHeight(1).onChange = [this] { TxtHeight_Change(1); };
    CmdBrightApply.onClick = [this] { CmdBrightApply_Click(); };
    CmdOpen.onClick = [this] { CmdOpen_Click(); };
    CmdSaveAs.onClick = [this] { CmdSaveAs_Click(); };
    CmdPrint.onClick = [this] { CmdPrint_Click(); };
    CmdReset.onClick = [this] { CmdReset_Click(); };
    HScroll1.onChange = [this] { HScroll1_Change(); };
    VScroll1.onChange = [this] { VScroll1_Change(); };
    CmdOk.onClick = [this] { CmdOk_Click(); };
    CmdCancel.onClick = [this] { CmdCancel_Click(); };
}

void FrmCmGraphForm::InitCaptions() {
    setCaption(QStringLiteral("Mirovanta - ") + T(1801));
    setIcon(rt::LoadResPicture(1801, rt::vbResIcon));
    FrSize.setCaption(T(1802));
    TxtHeight(0).setText(T(1803));
    TxtWidth(0).setText(T(1804));
    LblHeight.setCaption(T(1805));
    LblWidth.setCaption(T(1805));
    CmdSizeFit.setCaption(T(1806));
    CmdSizeApply.setCaption(T(1807));
    CmdBrightApply.setCaption(T(1807));
    FrBright.setCaption(T(1808));
    FrMenu.setCaption(T(230));
    CmdReset.setCaption(T(1809));
    CmdOpen.setCaption(T(1810));
    CmdSaveAs.setCaption(T(241));
    CmdPrint.setCaption(T(243) + QStringLiteral("..."));
    CmdOk.setCaption(T(502));
    CmdCancel.setCaption(T(503));
    LblBright(0).setCaption(T(1811));
    LblBright(1).setCaption(T(1812));
}

void FrmCmGraphForm::Form_Load() {
    Cancelled = -1;
    InitCaptions();
    Frm_ChkEnable();
    ResetPicture();
}

void FrmCmGraphForm::Form_Unload(int&) {
    if (Cancelled == 0) {
        PicEditAccepted = 1;
        PicEditPicture = ShownPicture();
    } else {
        PicEditAccepted = 0;
    }
}

void FrmCmGraphForm::Form_KeyDown(int& KeyCode, int) {
    if (KeyCode == 112) ShowHelp(QStringLiteral("Html\\d_cmgraph.htm"));
}

void FrmCmGraphForm::Frm_ChkEnable() {
    int32_t printer = 0;
    CmdPrint.setEnabled(CheckPrinter(printer));
}

void FrmCmGraphForm::Frm_EnableCmdButtons(bool Enable) {
    for (rt::Control* c : Controls())
        c->setEnabled(Enable);
    // The scroll bars keep the state the picture's size gives them.
    if (Enable) enableScrollBars();
    rt::DoEvents();
}

rt::Picture FrmCmGraphForm::ShownPicture() const {
    if (PicMain.Picture().isEmpty()) return rt::Picture::empty();
    return PicMain.Image();
}

void FrmCmGraphForm::ResetPicture() {
    Busy = -1;
    PicMain.setVisible(false);
    rt::DoEvents();
    PicMain.setPicture(rt::Picture::empty());
    PicMain.Cls();
    PicMain.setPicture(PicEditPicture);
    // Without a picture the box has no size.
    if (PicEditPicture.isEmpty()) PicMain.Move(PicMain.Left(), PicMain.Top(), 0, 0);
    PicMain.Move(kPicLeft * kPx, kPicTop * kPx);
    rt::DoEvents();
    TxtHeight(1).setText(QString::number(PicMain.Height() / kPx));
    TxtWidth(1).setText(QString::number(PicMain.Width() / kPx));
    SetScrollBars();
    PicMain.setVisible(true);
    rt::DoEvents();
    Busy = 0;
}

void FrmCmGraphForm::enableScrollBars() {
    const double zoneWidth = PicViewZone.ScaleWidth(), zoneHeight = PicViewZone.ScaleHeight();
    VScroll1.setEnabled(PicMain.Height() / kPx + 10 > zoneHeight);
    HScroll1.setEnabled(PicMain.Width() / kPx + 10 > zoneWidth);
}

void FrmCmGraphForm::SetScrollBars() {
    rt::DoEvents();
    enableScrollBars();
    const double zoneWidth = PicViewZone.ScaleWidth(), zoneHeight = PicViewZone.ScaleHeight();
    if (VScroll1.Enabled()) {
        VScroll1.setMax(kPicTop);
        VScroll1.setMin(int(rt::RoundHalfEven(zoneHeight - PicMain.Height() / kPx - 6)));
        VScroll1.setLargeChange(std::max(1, int(zoneHeight) - 20));
        VScroll1.setValue(VScroll1.Min());
    }
    if (HScroll1.Enabled()) {
        HScroll1.setMax(kPicLeft);
        HScroll1.setMin(int(rt::RoundHalfEven(zoneWidth - PicMain.Width() / kPx - 6)));
        HScroll1.setLargeChange(std::max(1, int(zoneWidth) - 20));
        HScroll1.setValue(HScroll1.Min());
    }
}

void FrmCmGraphForm::HScroll1_Change() {
    if (Busy) return;
    PicMain.setLeft((HScroll1.Min() + HScroll1.Max() - HScroll1.Value()) * kPx);
}

void FrmCmGraphForm::VScroll1_Change() {
    if (Busy) return;
    PicMain.setTop((VScroll1.Min() + VScroll1.Max() - VScroll1.Value()) * kPx);
}

void FrmCmGraphForm::CmdSizeApply_Click() {
    const int width = int(rt::Val(TxtWidth(1).Text()));
    const int height = int(rt::Val(TxtHeight(1).Text()));
    // A picture of no width or height would be lost, and one beyond the limit cannot be
    // made: the shown picture stays, and the user is told why.
    if (width <= 0 || height <= 0) {
        reportError(QString(), rt::ErrInvalidProperty,
                    rt::errorDescription(rt::ErrInvalidProperty));
        return;
    }
    if (int64_t(width) * height > kMaxPicturePixels) {
        rt::MsgBox(T(10167).arg(width).arg(height).arg(kMaxPicturePixels / 1'000'000),
                   rt::vbCritical | rt::vbOKOnly, QStringLiteral("Mirovanta"));
        return;
    }
    if (PicMain.Picture().isEmpty()) return; // nothing to resize

    Frm_EnableCmdButtons(false);
    rt::SetHourglass(true);
    PicMain.setVisible(false);
    PicTemp.Move(PicTemp.Left(), PicTemp.Top(), width * kPx, height * kPx);
    rt::DoEvents();
    const rt::Picture source = PicMain.Image();
    PicTemp.PaintPicture(source, 0, 0, width, height, 0, 0, source.width(), source.height());
    rt::DoEvents();
    PicMain.setPicture(rt::Picture::empty());
    PicMain.Cls();
    PicMain.setPicture(PicTemp.Image());
    PicMain.Move(kPicLeft * kPx, kPicTop * kPx);
    rt::DoEvents();
    SetScrollBars();
    PicMain.Refresh();
    PicMain.setVisible(true);
    Frm_EnableCmdButtons(true);
    Frm_ChkEnable();
    PicTemp.setPicture(rt::Picture::empty());
    PicTemp.Cls();
    PicTemp.Move(PicTemp.Left(), PicTemp.Top(), 0, 0);
    rt::SetHourglass(false);
}

void FrmCmGraphForm::CmdSizeFit_Click() {
    TxtHeight(1).setText(QStringLiteral("481"));
    TxtWidth(1).setText(QStringLiteral("673"));
}

void FrmCmGraphForm::keepWholeNumber(rt::TextBox& Box) {
    // Each change here raises this handler again, which then finds the text valid.
    if (rt::Val(Box.Text()) < 0) Box.setText(QStringLiteral("0"));
    if (rt::Val(Box.Text()) > kMaxSize) Box.setText(QString::number(kMaxSize));
    const double v = rt::Val(Box.Text());
    Box.setText(QString::number(std::isfinite(v) ? int64_t(std::trunc(v)) : 0));
    if (Box.Text().size() == 1) Box.setSelStart(1);
}

void FrmCmGraphForm::TxtWidth_Change(int Index) {
    if (Index == 1) keepWholeNumber(TxtWidth(1));
}

void FrmCmGraphForm::TxtHeight_Change(int Index) {
    if (Index == 1) keepWholeNumber(TxtHeight(1));
}

void FrmCmGraphForm::CmdBrightApply_Click() {
    Frm_EnableCmdButtons(false);
    AdjustBrightness(int16_t(SldBright.Value()), PicMain);
    SldBright.setValue(0);
    Frm_EnableCmdButtons(true);
    Frm_ChkEnable();
}

void FrmCmGraphForm::OpenPicture() {
    Frm_EnableCmdButtons(false);
    const PicChooseResult chosen = ChoosePicture(PicEditFileName);
    ImageItem work;
    if (chosen.Accepted == 1 && PictureWithinLimit(chosen.FileName)) {
        work.FileName = chosen.FileName;
        if (LoadImageItemPicture(work)) {
            PicEditFileName = chosen.FileName;
            PicEditPicture = work.Picture;
            ResetPicture();
        } else {
            rt::MsgBox(T(10049), rt::vbCritical, QStringLiteral("Mirovanta"));
        }
    }
    Frm_EnableCmdButtons(true);
    Frm_ChkEnable();
    work.Picture = rt::Picture::empty();
}

void FrmCmGraphForm::SavePictureAs() {
    rt::CommonDialog& dialog = mainWindow().FileDialog(FileDialogKind::SaveAs);
    dialog.CancelError = true;
    dialog.DialogTitle.clear();
    dialog.DefaultExt = QStringLiteral(".bmp");
    dialog.Flags = rt::cdlOFNOverwritePrompt | rt::cdlOFNHideReadOnly | rt::cdlOFNNoReadOnlyReturn;
    dialog.Filter = T(10052);
    dialog.FilterIndex = 2;
    dialog.FileName.clear();
    dialog.InitDir =
        Settings.ImgSavePath.startsWith(u'*') ? Settings.ImgSavePath.mid(1) : Settings.ImgSavePath;
    QString name;
    try {
        dialog.ShowSave();
        name = dialog.FileName;
        rt::SetHourglass(true);
        rt::SavePicture(ShownPicture(), name);
        // The folder is remembered once the picture is in it.
        if (!Settings.ImgSavePath.startsWith(u'*'))
            Settings.ImgSavePath = name.left(name.size() - dialog.FileTitle.size());
        rt::DoEvents();
        rt::SetHourglass(false);
    } catch (const rt::RtError& e) {
        rt::SetHourglass(false);
        // A cancel says nothing; a picture that could not be written is reported.
        if (e.Number != rt::ErrCancel)
            reportError(T(10033) + u'\r' + name, e.Number, e.Description);
    }
}

ImageItem FrmCmGraphForm::PictureJob() const {
    ImageItem job;
    job.Mode = 0;
    // A job without a file name would print the calendar: a picture without one still prints
    // as a picture.
    job.FileName = PicEditFileName.isEmpty() ? T(540) : PicEditFileName;
    job.Picture = ShownPicture();
    return job;
}

void FrmCmGraphForm::CmdPrint_Click() {
    ImageItem job = PictureJob();
    ShowPrintPreview(job);
    job = ImageItem{};
    job.Picture = rt::Picture::empty();
}

void FrmCmGraphForm::CmdOk_Click() {
    Cancelled = 0;
    Unload();
}

void FrmCmGraphForm::CmdCancel_Click() {
    Unload();
}
