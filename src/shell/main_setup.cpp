// The main window's set-up: its icon, the logo by the display's colours, the toolbar's two image
// lists and 29 buttons, and the captions, tooltips and pictures of the navigation panel's six
// pages, all from the program's resources. It dresses the controls only; which of them are
// enabled or shown is the command enabling's (UpdateMainControls).

#include "common_sys_info.h"
#include "core/resources.h"
#include "frm_main.h"

namespace {

QString T(int id) {
    return rt::LoadResString(id);
}

rt::Picture Bitmap(int id) {
    return rt::LoadResPicture(id, rt::vbResBitmap);
}

// The command images in key order, with their bitmap ids for displays of 16 or 256 colours
// (the ids for more colours are 150 higher) and their greyed ids.
struct CommandImage {
    const char* key;
    int fewColours;
    int greyed;
};
constexpr CommandImage kCommandImages[] = {
    {"New", 204, 304},   {"Open", 205, 305},    {"Save", 206, 306},    {"Preview", 207, 307},
    {"Print", 208, 308}, {"Options", 209, 309}, {"Prop", 222, 322},    {"Help", 223, 323},
    {"HTile", 224, 324}, {"VTile", 225, 325},   {"Cascade", 226, 326}, {"AIcons", 227, 327},
};
constexpr int kManyColoursOffset = 150;

// The toolbar's buttons in index order: key, style and the string of the tooltip and
// description (0 for the gaps, which have neither, nor an image).
struct ButtonSpec {
    const char* key;
    int style;
    int text;
};
constexpr ButtonSpec kButtons[] = {
    {"New", rt::tbrDefault, 204},     {"Open", rt::tbrDefault, 205},
    {"Save", rt::tbrDefault, 206},    {"Sep1", rt::tbrPlaceholder, 0},
    {"Preview", rt::tbrDefault, 207}, {"Print", rt::tbrDefault, 208},
    {"Sep2", rt::tbrPlaceholder, 0},  {"Options", rt::tbrDefault, 209},
    {"Sep3", rt::tbrPlaceholder, 0},  {"m01", rt::tbrButtonGroup, 210},
    {"m02", rt::tbrButtonGroup, 211}, {"m03", rt::tbrButtonGroup, 212},
    {"m04", rt::tbrButtonGroup, 213}, {"m05", rt::tbrButtonGroup, 214},
    {"m06", rt::tbrButtonGroup, 215}, {"m07", rt::tbrButtonGroup, 216},
    {"m08", rt::tbrButtonGroup, 217}, {"m09", rt::tbrButtonGroup, 218},
    {"m10", rt::tbrButtonGroup, 219}, {"m11", rt::tbrButtonGroup, 220},
    {"m12", rt::tbrButtonGroup, 221}, {"Prop", rt::tbrDefault, 222},
    {"Sep4", rt::tbrPlaceholder, 0},  {"HTile", rt::tbrDefault, 224},
    {"VTile", rt::tbrDefault, 225},   {"Cascade", rt::tbrDefault, 226},
    {"AIcons", rt::tbrDefault, 227},  {"Sep5", rt::tbrPlaceholder, 0},
    {"Help", rt::tbrDefault, 223},
};

QString MonthKey(int m) {
    return QStringLiteral("m%1").arg(m, 2, 10, QLatin1Char('0'));
}

// A small picture button: tooltip, picture and greyed picture (the greyed id is 100 higher).
void DressPictureButton(rt::CommandButton& button, int text, int picture) {
    button.setToolTipText(T(text));
    button.setPicture(Bitmap(picture));
    button.setDisabledPicture(Bitmap(picture + 100));
}

} // namespace

void FrmMainForm::SetupInterface() {
    // 1-2. The window's icon and the logo of the start view.
    setIcon(rt::LoadResPicture(102, rt::vbResIcon));
    const int32_t colours = GetDisplayColors();
    ImgLogo.setPicture(Bitmap(colours == 16 ? 203 : colours == 256 ? 202 : 201));

    // 3-5. The image lists, with the same keys in the same order: position n of the greyed
    // list is the greyed look of position n of the normal one.
    const bool fewColours = colours >= 16 && colours <= 256;
    for (int m = 1; m <= 12; ++m)
        ImgLstMain.ListImages().Add({}, MonthKey(m), Bitmap(209 + m));
    for (const CommandImage& image : kCommandImages)
        ImgLstMain.ListImages().Add(
            {}, QLatin1String(image.key),
            Bitmap(fewColours ? image.fewColours : image.fewColours + kManyColoursOffset));
    for (int m = 1; m <= 12; ++m)
        ImgLstMain_d.ListImages().Add({}, MonthKey(m), Bitmap(309 + m));
    for (const CommandImage& image : kCommandImages)
        ImgLstMain_d.ListImages().Add({}, QLatin1String(image.key), Bitmap(image.greyed));

    // 6. The toolbar's buttons.
    TbMain.setImageList(&ImgLstMain);
    TbMain.setDisabledImageList(&ImgLstMain_d);
    TbMain.Buttons().Clear();
    int index = 0;
    for (const ButtonSpec& spec : kButtons) {
        const QString key = QLatin1String(spec.key);
        const bool gap = spec.style == rt::tbrPlaceholder;
        TbMain.Buttons().Add(++index, key, QString(), spec.style, gap ? QVariant() : QVariant(key));
        if (spec.text == 0) continue;
        rt::ToolbarButton& button = TbMain.Buttons(key);
        button.setDescription(T(spec.text));
        button.setToolTipText(T(spec.text));
    }

    // 8. Tab captions, repeated by the title of each page (the page of tab t is PicTab(5 - t)).
    const int tabCaptions[] = {234, 283, 233, 232, 231, 230}; // tabs 0 to 5
    for (int t = 5; t >= 0; --t) {
        TbMenu.setTabCaption(t, T(tabCaptions[t]));
        LblMenu(5 - t).setCaption(TbMenu.TabCaption(t));
    }

    // 9. The help button of every page.
    for (int i = 0; i <= 5; ++i) {
        CmdHelp(i).setPicture(ImgLstMain.ListImages()(QStringLiteral("Help")).ExtractIcon());
        CmdHelp(i).setToolTipText(T(223));
    }

    // 10. The pages: Commands.
    FrCOOpSv.setCaption(T(235));
    FrCOOpt.setCaption(T(236));
    FrCOPrint.setCaption(T(237));
    const auto icon = [this](const char* key) {
        return ImgLstMain.ListImages()(QLatin1String(key)).ExtractIcon();
    };
    ImgCONew.setPicture(icon("New"));
    CmdCONew.setCaption(T(238));
    ImgCOOpen.setPicture(icon("Open"));
    CmdCOOpen.setCaption(T(239));
    ImgCOSave.setPicture(icon("Save"));
    CmdCOSave.setCaption(T(240));
    CmdCOSaveAs.setCaption(T(241));
    ImgCOPreview.setPicture(icon("Preview"));
    CmdCOPreview.setCaption(T(242));
    ImgCOPrint.setPicture(icon("Print"));
    CmdCOPrint.setCaption(T(243));
    ImgCOOptions.setPicture(icon("Options"));
    CmdCOOptions.setCaption(T(244));
    CmdCOAbout.setCaption(T(245));
    CmdCOExit.setCaption(T(246));

    // The four list pages share one family of buttons.
    struct ListPage {
        rt::CommandButton* showPicture;
        rt::CommandButton& up;
        rt::CommandButton& down;
        rt::ControlArray<rt::CommandButton>& sort;
        rt::CommandButton* update;
        rt::CommandButton& add;
        rt::CommandButton& edit;
        rt::CommandButton& remove;
        rt::CommandButton& clear;
    };
    const ListPage pages[] = {
        {&CmdEVShowPic, CmdEVUp, CmdEVDown, CmdEVSort, nullptr, CmdEVAdd, CmdEVEdit, CmdEVRemove,
         CmdEVClear},
        {nullptr, CmdAEUp, CmdAEDown, CmdAESort, &CmdAEUpdate, CmdAEAdd, CmdAEEdit, CmdAERemove,
         CmdAEClear},
        {nullptr, CmdDEUp, CmdDEDown, CmdDESort, nullptr, CmdDEAdd, CmdDEEdit, CmdDERemove,
         CmdDEClear},
        {nullptr, CmdBDUp, CmdBDDown, CmdBDSort, &CmdBDUpdate, CmdBDAdd, CmdBDEdit, CmdBDRemove,
         CmdBDClear},
    };
    for (const ListPage& page : pages) {
        if (page.showPicture) DressPictureButton(*page.showPicture, 253, 228);
        DressPictureButton(page.up, 256, 229);
        DressPictureButton(page.down, 257, 230);
        DressPictureButton(page.sort(0), 284, 231);
        DressPictureButton(page.sort(1), 285, 233);
        if (page.update) DressPictureButton(*page.update, 266, 232);
        page.add.setCaption(T(262));
        page.edit.setCaption(T(263));
        page.remove.setCaption(T(264));
        page.clear.setCaption(T(265));
    }
    // Their labels.
    LblStepOne(0).setCaption(T(250));
    LblStepTwo(0).setCaption(T(251));
    LblEVSelDate.setCaption(T(252));
    LblEVInTot(0).setCaption(T(258));
    LblEVOutTot(0).setCaption(T(259));
    LblEVTot(0).setCaption(T(260));
    LblEVBal(0).setCaption(T(261));
    LblStepOne(1).setCaption(T(250));
    LblStepOne(2).setCaption(T(250));
    LblDEBal(0).setCaption(T(261));
    LblStepOne(3).setCaption(T(250));

    // The Summary page.
    LblStepOne(4).setCaption(T(250));
    LblStepTwo(4).setCaption(T(251));
    FrSUType.setCaption(T(270));
    FrSURange.setCaption(T(271));
    FrSUResults.setCaption(T(272));
    CmdSUChart(0).setCaption(T(273));
    CmdSUChart(1).setCaption(T(273));
    for (int i = 0; i <= 3; ++i)
        ChkSU(i).setCaption(T(274 + i));
    LblSUFrom(0).setCaption(T(278));
    LblSUTo(0).setCaption(T(279));
    for (int i = 0; i <= 2; ++i)
        LblSUInf(i).setCaption(T(280 + i));

    // 11. The window opens on the Commands page.
    TbMenu.setTab(5);
}
