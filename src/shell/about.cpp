#include "about.h"

#include "common_sys_info.h"
#include "core/numeric.h"
#include "core/resources.h"
#include "core/system.h"
#include "document/doc_state.h"
#include "document/paths.h"
#include "main_module.h"
#include "splash.h"

#include <QFileInfo>

rt::FormSlot<FrmAboutForm> FrmAbout{"FrmAbout"};

namespace {

constexpr rt::OleColor kTitleBlue = 0x00FF0000;
constexpr rt::OleColor kVersionBlue = 0x00C00000;
constexpr rt::OleColor kShadowGrey = 0x00808080;

// The legal notice under the version lines.
const char kLegalNotice[] =
    "Avertissement : ce logiciel est protégé par les lois sur le droit d'auteur et les traités "
    "internationaux. Toute reproduction ou distribution non autorisée de ce logiciel, en tout "
    "ou en partie, est interdite.";

void styleTitle(rt::Label& label, rt::OleColor colour) {
    label.setBackStyle(0);
    label.setFontName(QStringLiteral("Arial"));
    label.setFontSize(28);
    label.setFontBold(true);
    label.setFontItalic(true);
    label.setForeColor(colour);
}

void styleVersion(rt::Label& label, rt::OleColor colour) {
    label.setBackStyle(0);
    label.setFontName(QStringLiteral("Arial"));
    label.setFontSize(12);
    label.setFontBold(true);
    label.setForeColor(colour);
    label.setAlignment(rt::vbRightJustify);
}

} // namespace

QString ProgramVersionText() {
    return QString::number(MIROVANTA_VERSION_MAJOR) + u'.' +
           rt::FormatNumber(MIROVANTA_VERSION_MINOR, QStringLiteral("00")) + u'.' +
           rt::FormatNumber(MIROVANTA_VERSION_PATCH, QStringLiteral("0000"));
}

QString ProgramBuildDate() {
    // The program file carries no extension here.
    const QFileInfo program(AddBackslash(rt::sys().programFolder()) + rt::sys().executableName());
    if (rt::sys().executableName().isEmpty() || !program.isFile() || program.isHidden())
        return rt::LoadResString(541);
    const QDate d = program.lastModified().date();
    return rt::FormatDate(d.year(), d.month(), d.day(), QStringLiteral("dd mmm yyyy"));
}

FrmAboutForm::FrmAboutForm() : rt::Form(QStringLiteral("FrmAbout")) {
    // The logo is 141 x 300 pixels, at the left; the texts are grouped at its right.
    constexpr int kLogoWidth = 141 * rt::kTwipsPerPixel;
    constexpr int kLogoHeight = 300 * rt::kTwipsPerPixel;
    constexpr int kTextLeft = 120 + kLogoWidth + 30 + 180;
    constexpr int kTextWidth = 4800;

    setBorderStyle(rt::vbFixedDialog);
    setKeyPreview(true);

    PicLogo.setBorderStyle(1);
    PicLogo.Move(120, 120, kLogoWidth + 30, kLogoHeight + 30);
    ImgLogo.Move(0, 0, kLogoWidth, kLogoHeight);

    LblMirovanta.create(1, *this);
    LblMirovanta.create(0, *this);
    for (int i : {0, 1}) {
        rt::Label& title = LblMirovanta(i);
        styleTitle(title, i == 0 ? kTitleBlue : kShadowGrey);
        title.setCaption(QStringLiteral("Mirovanta"));
        title.Move(kTextLeft + (i == 1 ? 60 : 0), 180 + (i == 1 ? 80 : 0), kTextWidth - 60, 780);
    }

    LblVersion.create(1, *this);
    LblVersion.create(0, *this);
    for (int i : {0, 1}) {
        rt::Label& version = LblVersion(i);
        styleVersion(version, i == 0 ? kVersionBlue : kShadowGrey);
        version.Move(kTextLeft + (i == 1 ? 30 : 0), 1020 + (i == 1 ? 30 : 0), kTextWidth - 60, 360);
    }

    // The texts lie in their frames, which draw them over their own face.
    FrAbout(0).Move(kTextLeft, 1500, kTextWidth, 1260);
    FrAbout(1).Move(kTextLeft, 2880, kTextWidth, 1320);
    for (int i = 0; i <= 2; ++i) {
        rt::Label& line = LblInf.create(i, FrAbout(0));
        line.setBackStyle(0);
        line.Move(150, 240 + i * 300, kTextWidth - 300, 255);
    }
    lblWarning.setBackStyle(0);
    lblWarning.setWordWrap(true);
    lblWarning.setCaption(QString::fromUtf8(kLegalNotice));
    lblWarning.Move(150, 210, kTextWidth - 300, 1020);

    CmdOk.Move(kTextLeft + kTextWidth - 1335, 4320, 1335, 375);
    CmdOk.setDefault(true);
    CmdOk.onClick = [this] { CmdOk_Click(); };

    Move(0, 0, kTextLeft + kTextWidth + 150, 120 + kLogoHeight + 30 + 240);
}

void FrmAboutForm::SetupCaptions() {
    const int32_t colours = GetDisplayColors();
    ImgLogo.setPicture(rt::LoadResPicture(PictureIdForColours(601, colours), rt::vbResBitmap));
    setCaption(rt::LoadResString(601));
    LblInf(0).setCaption(rt::LoadResString(602));
    CmdOk.setCaption(rt::LoadResString(502));
}

void FrmAboutForm::Form_Load() {
    SetupCaptions();
    const QString buildDate = ProgramBuildDate();
    LblVersion(0).setCaption(QStringLiteral("version ") + AppVersion);
    LblVersion(1).setCaption(QStringLiteral("version ") + AppVersion);
    LblInf(1).setCaption(rt::LoadResString(603) + u' ' + ProgramVersionText());
    LblInf(2).setCaption(rt::LoadResString(604) + u' ' + buildDate);
}

void FrmAboutForm::CmdOk_Click() {
    Unload();
}

void FrmAboutForm::Form_KeyDown(int& KeyCode, int /*Shift*/) {
    if (KeyCode == rt::vbKeyF1) ShowHelp(QStringLiteral("Html\\d_about.htm"));
}

void ShowAboutForm() {
    FrmAbout->Show(rt::vbModal);
    FrmAbout.release();
}
