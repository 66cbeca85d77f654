#include "frm_cm_op_pic.h"

#include "common_graph.h"
#include "core/numeric.h"
#include "core/picture.h"
#include "core/resources.h"
#include "core/rt_error.h"
#include "core/settings_store.h"
#include "core/system.h"
#include "core/ui_services.h"
#include "document/cal_limits.h"
#include "document/paths.h"
#include "platform/ui_units.h"
#include "printing.h"
#include "services/form_support.h"
#include "services/settings.h"
#include "services/shell_services.h"

rt::FormSlot<FrmCmOpPicForm> FrmCmOpPic{"FrmCmOpPic"};

namespace {

const QString kNoRefresh = QStringLiteral("NoRefresh");
const QString kSection = QStringLiteral("CmOpPic");
// The settings of ChkOpen(0) to ChkOpen(3), in that order.
const char* const kKeys[] = {"ShowBMP", "ShowJPG", "ShowGIF", "ShowPrev"};
// A chosen file's path is shortened beyond this many characters.
constexpr int16_t kShownPathLength = 65;

QString T(int id) {
    return rt::LoadResString(id);
}

// A stored "1" or "0". A hand-edited store may hold any text: what is no number reads as 0,
// any other number than 0 as ticked (a check box takes only 0, 1 and 2).
int storedTick(const QString& key) {
    const double v = rt::RoundHalfEven(
        rt::Val(rt::GetSetting(kSettingsApp, kSection, key, QStringLiteral("1"))));
    return v != 0 ? rt::vbChecked : rt::vbUnchecked;
}

} // namespace

FrmCmOpPicForm::FrmCmOpPicForm() : rt::Form(QStringLiteral("FrmCmOpPic")) {
    setBorderStyle(rt::vbFixedDialog);
    setKeyPreview(true);
    Move(0, 0, 8100, 6390);

    rt::Label& heading = LblOpen(0);
    heading.Move(120, 120, 5400, 285);
    heading.setFontBold(true);

    // The lists on the left, the type boxes under them.
    Picture1.setBorderStyle(0);
    Picture1.Move(120, 480, 3600, 3765);
    Drive1.Move(0, 0, 3600, 315);
    Dir1.Move(0, 390, 3600, 1665);
    File1.Move(0, 2130, 3600, 1635);
    for (int i = 0; i <= 2; ++i)
        ChkOpen(i).Move(120, 4320 + i * 285, 3600, 255);

    // The preview in the middle: a fixed image that stretches any picture to its size.
    PicOpen.setScaleMode(rt::vbPixels);
    PicOpen.Move(3870, 480, 2985 + 30, 3015 + 30);
    PicOpen.setBackColor(rt::vbWindowBackground);
    ImgOpen.Move(0, 0, 2985, 3015);
    ImgOpen.setStretch(true);
    PicTemp.setVisible(false);
    PicTemp.setBorderStyle(0);
    PicTemp.setAutoSize(true);
    LblOpen(1).Move(3870, 3600, 3015, 255);
    ChkOpen(3).Move(3870, 3990, 3015, 255);

    // The commands on the right.
    CmdOpen.Move(6990, 480, 975, 375);
    CmdOpen.setDefault(true);
    CmdCancel.Move(6990, 945, 975, 375);
    CmdCancel.setCancel(true);
    CmdHelp.Move(6990, 1410, 420, 375);
    CmdHelp.setStyle(1);

    FrmSelFile.Move(120, 5220, 7845, 660);
    LblSelFile.Move(120, 300, 7605, 255);
    LblSelFile.setUseMnemonic(false);

    Drive1.onChange = [this] { Drive1_Change(); };
    Dir1.onChange = [this] { Dir1_Change(); };
    File1.onClick = [this] { File1_Click(); };
    for (int i = 0; i <= 3; ++i)
        ChkOpen(i).onClick = [this, i] { ChkOpen_Click(i); };
    CmdOpen.onClick = [this] { CmdOpen_Click(); };
    CmdCancel.onClick = [this] { CmdCancel_Click(); };
    CmdHelp.onClick = [this] { CmdHelp_Click(); };
}

void FrmCmOpPicForm::InitCaptions() {
    setCaption(QStringLiteral("Mirovanta - ") + T(2101));
    setIcon(rt::LoadResPicture(1401, rt::vbResIcon));
    LblOpen(0).setCaption(T(2102));
    for (int i = 0; i <= 3; ++i)
        ChkOpen(i).setCaption(T(2103 + i));
    CmdOpen.setCaption(T(2107));
    FrmSelFile.setCaption(T(2108));
    CmdCancel.setCaption(T(503));
    CmdHelp.setToolTipText(T(223));
    CmdHelp.setPicture(HelpButtonPicture());
    CmdHelp.setDisabledPicture(HelpDisabledPicture());
}

bool FrmCmOpPicForm::guarded() const {
    return File1.Tag() == kNoRefresh;
}

void FrmCmOpPicForm::Form_Load() {
    Cancelled = -1;
    InitCaptions();
    File1.setTag(kNoRefresh);

    QString start = Settings.ImgOpenPath;
    if (start.startsWith(u'*')) start = start.mid(1);
    try {
        Drive1.setDrive(DriveOf(start));
        Dir1.setPath(start);
    } catch (const rt::RtError&) {
        // A folder that no longer exists, or no folder of this machine: the program folder.
        const QString program = rt::sys().programFolder();
        Drive1.setDrive(DriveOf(program));
        Dir1.setPath(program);
    }

    // Each type box ticked here sets the file list's pattern through its click handler.
    for (int i = 0; i <= 3; ++i)
        ChkOpen(i).setValue(storedTick(QString::fromLatin1(kKeys[i])));

    File1.setTag(QString());
    UpdateSelectedFile();
}

void FrmCmOpPicForm::Form_Unload(int&) {
    if (Cancelled != 0) {
        PicChooseAccepted = 0;
        PicChooseFileName.clear();
        return;
    }
    PicChooseAccepted = 1;
    PicChooseFileName = LblSelFile.ToolTipText();
    if (!Settings.ImgOpenPath.startsWith(u'*')) Settings.ImgOpenPath = AddBackslash(Dir1.Path());
    for (int i = 0; i <= 3; ++i)
        rt::SaveSetting(kSettingsApp, kSection, QString::fromLatin1(kKeys[i]),
                        ChkOpen(i).Value() == rt::vbChecked ? QStringLiteral("1")
                                                            : QStringLiteral("0"));
}

void FrmCmOpPicForm::Form_KeyDown(int& KeyCode, int) {
    if (KeyCode == 112) CmdHelp_Click();
}

bool FrmCmOpPicForm::askRetry(const QString& Target, const rt::RtError& Error) {
    const QString text = ErrorReportText(T(1407) + u'\r' + Target + u'.', Error.Number,
                                         rt::TrimBlanks(Error.Description));
    return rt::MsgBox(text, rt::vbRetryCancel + rt::vbCritical, QStringLiteral("Mirovanta")) ==
           rt::vbRetry;
}

void FrmCmOpPicForm::Drive1_Change() {
    for (;;) {
        try {
            Dir1.setPath(Drive1.Drive());
            break;
        } catch (const rt::RtError& e) {
            if (askRetry(Drive1.Drive(), e)) continue;
            try {
                Drive1.setDrive(DriveOf(Dir1.Path()));
            } catch (const rt::RtError&) {
                // The drive list keeps its drive.
            }
            return;
        }
    }
    if (!guarded()) UpdateSelectedFile();
}

void FrmCmOpPicForm::Dir1_Change() {
    for (;;) {
        try {
            File1.setPath(Dir1.Path());
            break;
        } catch (const rt::RtError& e) {
            if (askRetry(Dir1.Path(), e)) continue;
            try {
                Dir1.setPath(File1.Path());
            } catch (const rt::RtError&) {
                // Both folders are gone: the lists stay as they are.
            }
            return;
        }
    }
    if (!guarded()) UpdateSelectedFile();
}

void FrmCmOpPicForm::File1_Click() {
    if (!guarded()) UpdateSelectedFile();
}

void FrmCmOpPicForm::ChkOpen_Click(int Index) {
    if (Index <= 2) {
        // One type always stays ticked: ticking the box again runs this handler once more.
        if (ChkOpen(Index).Value() == rt::vbUnchecked && ChkOpen(0).Value() == rt::vbUnchecked &&
            ChkOpen(1).Value() == rt::vbUnchecked && ChkOpen(2).Value() == rt::vbUnchecked) {
            ChkOpen(Index).setValue(rt::vbChecked);
            return;
        }
        QString pattern;
        auto add = [&](const char* part) {
            if (!pattern.isEmpty()) pattern += u';';
            pattern += QLatin1String(part);
        };
        if (ChkOpen(0).Value() == rt::vbChecked) add("*.bmp");
        if (ChkOpen(1).Value() == rt::vbChecked) add("*.jpg;*.jpeg");
        if (ChkOpen(2).Value() == rt::vbChecked) add("*.gif");
        File1.setPattern(pattern);
        File1.Refresh();
        rt::DoEvents();
    }
    if (!guarded()) UpdateSelectedFile();
}

void FrmCmOpPicForm::LblSelFile_Change() {
    ShowShortPath(LblSelFile, kShownPathLength);
}

void FrmCmOpPicForm::UpdateSelectedFile() {
    LblSelFile.setCaption(QString());
    LblSelFile_Change();
    LblSelFile.setToolTipText(QString());
    if (File1.ListCount() > 0) {
        if (File1.ListIndex() == -1) {
            File1.setTag(kNoRefresh);
            File1.setListIndex(0);
            File1.setTag(QString());
        }
        const QString full = AddBackslash(File1.Path()) + File1.FileName();
        LblSelFile.setCaption(full);
        LblSelFile_Change();
        LblSelFile.setToolTipText(full);
    }
    ShowPreview();
    CmdOpen.setEnabled(!LblSelFile.Caption().isEmpty());
}

void FrmCmOpPicForm::ShowPreview() {
    ImgOpen.setPicture(rt::Picture::empty());
    LblOpen(1).setCaption(T(541));
    if (ChkOpen(3).Value() == rt::vbChecked && !LblSelFile.ToolTipText().isEmpty()) {
        rt::SetHourglass(true);
        Frm_EnableCmdButtons(false);
        bool loaded = false;
        try {
            PicTemp.setPicture(rt::LoadPicture(LblSelFile.ToolTipText(), kMaxPicturePixels));
            loaded = true;
        } catch (const rt::RtError&) {
            PicTemp.setPicture(rt::Picture::empty());
        }
        if (loaded) {
            // The work box has taken the picture's size.
            const int width = PicTemp.Width() / rt::kTwipsPerPixel;
            const int height = PicTemp.Height() / rt::kTwipsPerPixel;
            LblOpen(1).setCaption(T(2109) + QString::number(width) + QStringLiteral("  x  ") +
                                  T(2110) + QString::number(height) + QStringLiteral("   (") +
                                  T(1805) + u')');
            ImgOpen.setPicture(PicTemp.Picture());
            rt::DoEvents();
            PicTemp.setPicture(rt::Picture::empty());
        }
        Frm_EnableCmdButtons(true);
    }
    rt::SetHourglass(false);
    rt::DoEvents();
}

void FrmCmOpPicForm::Frm_EnableCmdButtons(bool Enable) {
    for (rt::Control* c : Controls())
        if (c != &LblOpen(0)) c->setEnabled(Enable);
    rt::DoEvents();
}

void FrmCmOpPicForm::CmdOpen_Click() {
    // A picture no document can keep is refused here, and the dialog stays for another.
    if (!PictureWithinLimit(LblSelFile.ToolTipText())) return;
    Cancelled = 0;
    Unload();
}

bool PictureWithinLimit(const QString& FileName) {
    const QSize size = rt::PictureFileSize(FileName);
    if (qint64(size.width()) * size.height() <= kMaxPicturePixels) return true;
    rt::MsgBox(T(10166).arg(size.width()).arg(size.height()).arg(kMaxPicturePixels / 1'000'000),
               rt::vbCritical | rt::vbOKOnly, QStringLiteral("Mirovanta"));
    return false;
}

void FrmCmOpPicForm::CmdCancel_Click() {
    Unload();
}

void FrmCmOpPicForm::CmdHelp_Click() {
    ShowHelp(QStringLiteral("Html\\d_openpic.htm"));
}
