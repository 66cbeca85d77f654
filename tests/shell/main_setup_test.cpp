// The main window's set-up: pictures by the display's colours, the image lists, the toolbar's
// buttons, and the texts and pictures of the pages.

#include "common/test_support.h"
#include "core/resources.h"
#include "panes_fixture.h"

using namespace rt;

namespace {
bool isBitmap(const Picture& picture, int id) {
    return !picture.image().isNull() && picture.image() == LoadResPicture(id, vbResBitmap).image();
}
} // namespace

TEST_F(PanesTest, PicturesFollowTheDisplaysColours) {
    const QStringList keys = QStringLiteral("New Open Save Preview Print Options Prop Help HTile "
                                            "VTile Cascade AIcons")
                                 .split(' ');
    const int commandIds[] = {204, 205, 206, 207, 208, 209, 222, 223, 224, 225, 226, 227};
    const std::tuple<int, int, int> cases[] = {
        {4, 203, 0}, {8, 202, 0}, {16, 201, 150}, {32, 201, 150}}; // depth, logo, id offset
    for (const auto& [depth, logo, offset] : cases) {
        testing_support::fixedSystem().Depth = depth;
        CurDoc.IsSaved = -1; // the shutdown of the last window left a blank document
        ASSERT_TRUE(FrmMain.release());
        ui_test::flushReleased();
        FrmMainForm& f = main();
        EXPECT_TRUE(isBitmap(f.ImgLogo.Picture(), logo)) << depth;
        // The same keys in the same order in both lists: the months, then the commands.
        ASSERT_EQ(f.ImgLstMain.ListImages().Count(), 24);
        ASSERT_EQ(f.ImgLstMain_d.ListImages().Count(), 24);
        for (int i = 1; i <= 24; ++i) {
            const QString key =
                i <= 12 ? QStringLiteral("m%1").arg(i, 2, 10, QChar('0')) : keys[i - 13];
            const int id = i <= 12 ? 209 + i : commandIds[i - 13];
            const ListImage &normal = f.ImgLstMain.ListImages()(i),
                            &greyed = f.ImgLstMain_d.ListImages()(i);
            EXPECT_EQ(normal.Key(), key);
            EXPECT_EQ(greyed.Key(), key);
            EXPECT_TRUE(isBitmap(normal.Picture(), i <= 12 ? id : id + offset))
                << depth << key.toStdString();
            EXPECT_TRUE(isBitmap(greyed.Picture(), id + 100)) << depth << key.toStdString();
        }
        EXPECT_TRUE(isBitmap(f.CmdHelp(3).Picture(), 223 + offset));
        EXPECT_TRUE(isBitmap(f.ImgCOOpen.Picture(), 205 + offset));
    }
}

TEST_F(PanesTest, TheToolbarHasItsTwentyNineButtons) {
    FrmMainForm& f = main();
    const QStringList keys =
        QStringLiteral("New Open Save Sep1 Preview Print Sep2 Options Sep3 m01 "
                       "m02 m03 m04 m05 m06 m07 m08 m09 m10 m11 m12 Prop Sep4 "
                       "HTile VTile Cascade AIcons Sep5 Help")
            .split(' ');
    const int tips[] = {204, 205, 206, 0,   207, 208, 0,   209, 0,   210, 211, 212, 213, 214, 215,
                        216, 217, 218, 219, 220, 221, 222, 0,   224, 225, 226, 227, 0,   223};
    ASSERT_EQ(f.TbMain.Buttons().Count(), 29);
    for (int i = 1; i <= 29; ++i) {
        const ToolbarButton& b = f.TbMain.Buttons(i);
        const QString& key = keys[i - 1];
        const bool gap = key.startsWith(QLatin1String("Sep"));
        EXPECT_EQ(b.Key(), key);
        EXPECT_EQ(b.Style(), gap                   ? tbrPlaceholder
                             : key.startsWith('m') ? tbrButtonGroup
                                                   : tbrDefault);
        EXPECT_EQ(b.ToolTipText(), gap ? QString() : LoadResString(tips[i - 1]))
            << key.toStdString();
        EXPECT_EQ(b.Description(), b.ToolTipText()) << key.toStdString();
        EXPECT_EQ(b.Image().toString(), gap ? QString() : key);
        EXPECT_TRUE(b.Caption().isEmpty() && b.Value() == 0 && b.Enabled() && b.Visible())
            << key.toStdString();
    }
    EXPECT_EQ(f.TbMain.Buttons(QStringLiteral("m08")).ToolTipText(), "Août");
    EXPECT_EQ(f.CmdHelp(5).ToolTipText(), "Aide...");
    EXPECT_EQ(f.TbMain.DisabledImageList(), &f.ImgLstMain_d);
    EXPECT_GE(f.TbMain.Height(), PixelsToTwips(16)); // as high as its pictures
}

TEST_F(PanesTest, ThePagesCarryTheirTextsAndPictures) {
    FrmMainForm& f = main();
    EXPECT_EQ(f.TbMenu.Tab(), 5);
    const char* tabs[] = {"Sommaire",        "Anniversaires", "Dettes/Épargne",
                          "Auto-Évenements", "Événements",    "Commandes"};
    for (int t = 0; t <= 5; ++t) {
        EXPECT_EQ(f.TbMenu.TabCaption(t), QString::fromUtf8(tabs[t]));
        EXPECT_EQ(f.LblMenu(5 - t).Caption(), f.TbMenu.TabCaption(t));
    }
    const std::pair<Control*, const char*> captions[] = {
        {&f.FrCOOpSv, "Ouvrir / Enregistrer"},
        {&f.CmdCOSaveAs, "Enregistrer &Sous..."},
        {&f.CmdCOOptions, "Op&tions..."},
        {&f.CmdCOExit, "&Quitter"},
        {&f.LblStepTwo(4), "Étape 2: Choisir une date en cliquant sur une cellule du calendrier."},
        {&f.LblEVTot(0), " Total de la journée:"},
        {&f.LblDEBal(0), " Balance:"},
        {&f.CmdBDClear, "Supprimer Tout"},
        {&f.FrSURange, "Étendu de la Recherche:"},
        {&f.CmdSUChart(1), "Tableau..."},
        {&f.ChkSU(3), "Deux semaines"},
        {&f.LblSUTo(0), "À:"},
        {&f.LblSUInf(2), "Grand total:"},
    };
    for (const auto& [control, text] : captions)
        EXPECT_EQ(control->Caption(), QString::fromUtf8(text)) << control->Name().toStdString();
    // Small picture buttons: tooltip, picture, greyed picture 100 higher.
    const std::tuple<CommandButton*, const char*, int> small[] = {
        {&f.CmdEVShowPic, "Afficher l'Image...", 228},
        {&f.CmdAEUp, "Déplacer Vers le Haut", 229},
        {&f.CmdBDDown, "Déplacer Vers le Bas", 230},
        {&f.CmdDESort(0), "Trier (A-Z)", 231},
        {&f.CmdEVSort(1), "Trier (Z-A)", 233},
        {&f.CmdBDUpdate, "Mise à jour du calendrier", 232}};
    for (const auto& [button, tip, id] : small) {
        EXPECT_EQ(button->ToolTipText(), QString::fromUtf8(tip));
        EXPECT_TRUE(isBitmap(button->Picture(), id) &&
                    isBitmap(button->DisabledPicture(), id + 100))
            << button->Name().toStdString();
    }
}
