// The properties dialog's display page: the tree and its sections, the working copies and what
// OK writes back and marks, the picture and colour choices and the preview.

#include "../common/test_support.h"
#include "document/compare.h"
#include "prop_fixture.h"

#include <QFile>
#include <QTemporaryDir>

using namespace rt;

namespace {

constexpr int kDefaultImage = 14, kDefaultColours = 15;
// The "Image" and "Couleurs" nodes of month m.
constexpr int imageNode(int m) {
    return 12 + 2 * (m + 1);
}
constexpr int coloursNode(int m) {
    return 13 + 2 * (m + 1);
}

} // namespace

TEST_F(PropTest, TheTreeShowsOneViewPerKindOfNode) {
    FrmPropForm& f = dialog();
    // Opening: the defaults' node, expanded and selected, with the preview under its heading.
    EXPECT_EQ(f.TreeDisp.Nodes().Count(), 39);
    EXPECT_TRUE(f.TreeDisp.Nodes(1).Expanded());
    EXPECT_EQ(f.TreeDisp.SelectedItem(), &f.TreeDisp.Nodes(1));

    struct Case {
        int node;
        const char* heading; // of the view shown
        const rt::PictureBox* section;
        const char* tag; // of the section shown
        int previewTop;
    };
    const Case cases[] = {
        {1, "Défaut Aperçu", nullptr, "", 560},
        {kDefaultImage, "Défaut Image de fond", &f.PicBck, "1", 2745},
        {coloursNode(1), "Janvier Couleurs", &f.PicCol, "2", 2745},
        {3, "Février Aperçu", nullptr, "", 560},
        {imageNode(12), "Décembre Image de fond", &f.PicBck, "13", 2745},
        {39, "Décembre Couleurs", &f.PicCol, "13", 2745},
    };
    for (const Case& c : cases) {
        clickNode(c.node);
        const QString heading = QString::fromUtf8(c.heading);
        EXPECT_EQ(f.PicDisp(1).Visible(), c.section == nullptr) << c.node;
        EXPECT_EQ(f.PicBck.Visible(), c.section == &f.PicBck) << c.node;
        EXPECT_EQ(f.PicBck.Enabled(), c.section == &f.PicBck) << c.node;
        EXPECT_EQ(f.PicCol.Visible(), c.section == &f.PicCol) << c.node;
        EXPECT_EQ(f.PicView.Top(), c.previewTop) << c.node;
        const rt::Label& shown = !c.section               ? f.LblDispSect
                                 : c.section == &f.PicBck ? f.LblBckSect
                                                          : f.LblColSect;
        EXPECT_EQ(shown.Caption(), heading);
        EXPECT_EQ(c.section ? c.section->Tag() : QString(), QString::fromLatin1(c.tag));
        EXPECT_EQ(f.TreeDisp.SelectedItem(), &f.TreeDisp.Nodes(c.node));
    }
}

TEST_F(PropTest, UseDefaultsOnTheDefaultsNodeSetsEveryMonth) {
    struct Case {
        int clicks;         // on the grey box
        int16_t flag;       // every entry's flag afterwards
        int monthsMarked;   // months whose background is marked on OK
        bool defaultMarked; // the default background marked on OK
    };
    // February to April use their own background, the other months the default one.
    const Case cases[] = {{1, -1, 3, true}, {2, 0, 9, false}};
    for (const Case& c : cases) {
        CurDoc = sampleDocument();
        for (int m = 2; m <= 4; ++m)
            CurDoc.Months(m).Background.UseDefault = 0;
        SetModified(DocPart::All, 0, 0);
        FrmPropForm& f = dialog();
        clickNode(kDefaultImage);
        EXPECT_EQ(f.ChkBck(0).Caption(), LoadResString(542));
        EXPECT_EQ(f.ChkBck(0).Value(), vbGrayed);
        for (int i = 0; i < c.clicks; ++i)
            f.ChkBck(0).userClicked();
        for (int n = 1; n <= 13; ++n)
            EXPECT_EQ(f.WorkImages(n).UseDefault, c.flag) << n;
        // The other nodes show the setting.
        clickNode(imageNode(3));
        EXPECT_EQ(f.ChkBck(0).Value(), c.flag ? vbChecked : vbUnchecked);
        f.CmdOk_Click();
        int marked = 0;
        for (int m = 1; m <= 12; ++m)
            if (CurDoc.Months(m).Background.Modified) ++marked;
        EXPECT_EQ(marked, c.monthsMarked) << c.clicks;
        EXPECT_EQ(CurDoc.DefaultBackground.Modified != 0, c.defaultMarked) << c.clicks;
        EXPECT_EQ(CurDoc.DefaultColours.Modified, 0);
        FrmProp.release();
    }
}

TEST_F(PropTest, StretchAndTileExcludeEachOther) {
    struct Case {
        int mode;                // of the working copy when the section is filled
        std::vector<int> clicks; // boxes clicked, in order
        int stretch, tile;
        int32_t modeAfter;
    };
    const Case cases[] = {
        {ImageMode::AsIs, {2}, 1, 0, ImageMode::Stretched},
        {ImageMode::Tiled, {2}, 1, 0, ImageMode::Stretched},
        {ImageMode::Stretched, {3}, 0, 1, ImageMode::Tiled},
        {ImageMode::Stretched, {2}, 0, 0, ImageMode::AsIs},
        {ImageMode::Tiled, {3, 2, 3}, 0, 1, ImageMode::Tiled},
    };
    for (const Case& c : cases) {
        CurDoc.DefaultBackground.FileName = QStringLiteral("/images/fond.bmp");
        CurDoc.DefaultBackground.Picture = plainPicture(Qt::green);
        CurDoc.DefaultBackground.Mode = c.mode;
        FrmPropForm& f = dialog();
        clickNode(kDefaultImage);
        for (int box : c.clicks)
            f.ChkBck(box).userClicked();
        EXPECT_EQ(f.ChkBck(2).Value(), c.stretch) << c.mode;
        EXPECT_EQ(f.ChkBck(3).Value(), c.tile) << c.mode;
        EXPECT_EQ(f.WorkImages(1).Mode, c.modeAfter) << c.mode;
        FrmProp.release();
    }
}

TEST_F(PropTest, TheNoPictureBoxKeepsTheNameUntilTheNodeIsLeft) {
    CurDoc.DefaultBackground.FileName = QStringLiteral("/images/fond.bmp");
    CurDoc.DefaultBackground.Picture = plainPicture(Qt::green);
    FrmPropForm& f = dialog();
    clickNode(kDefaultImage);
    EXPECT_EQ(f.TxtBck.Text(), QStringLiteral("/images/fond.bmp"));
    EXPECT_TRUE(f.CmdBckAdjust.Enabled());
    EXPECT_EQ(f.LblDay(15).BackStyle(), 0); // the picture shows through

    f.ChkBck(1).userClicked();
    EXPECT_TRUE(f.WorkImages(1).FileName.isEmpty());
    EXPECT_EQ(f.TxtBck.Text(), QStringLiteral("/images/fond.bmp"));
    for (const rt::Control* c : std::initializer_list<const rt::Control*>{
             &f.ChkBck(2), &f.ChkBck(3), &f.LblBck, &f.TxtBck, &f.CmdBck, &f.CmdBckAdjust})
        EXPECT_FALSE(c->Enabled()) << c->Name();
    EXPECT_EQ(f.LblDay(15).BackStyle(), 1);

    f.ChkBck(1).userClicked();
    EXPECT_EQ(f.WorkImages(1).FileName, QStringLiteral("/images/fond.bmp"));

    f.ChkBck(1).userClicked();
    clickNode(1);
    clickNode(kDefaultImage);
    EXPECT_EQ(f.ChkBck(1).Value(), vbChecked);
    EXPECT_TRUE(f.TxtBck.Text().isEmpty());
    f.ChkBck(1).userClicked();
    EXPECT_TRUE(f.WorkImages(1).FileName.isEmpty());
    // Without a name the editor's button stays greyed, though the rest of the section is open.
    EXPECT_TRUE(f.CmdBck.Enabled());
    EXPECT_FALSE(f.CmdBckAdjust.Enabled());
}

TEST_F(PropTest, AMonthUsingTheDefaultsGreysItsOwnSettingsAndDropsItsPictureOnOk) {
    CurDoc.DefaultBackground.FileName = QStringLiteral("/images/defaut.bmp");
    CurDoc.DefaultBackground.Picture = plainPicture(Qt::green);
    MonthRec& february = CurDoc.Months(2);
    february.Background.FileName = QStringLiteral("/images/fevrier.bmp");
    february.Background.Picture = plainPicture(Qt::red);
    february.Colours.CellBack = RGB(1, 2, 3); // unused while it uses the defaults
    SetModified(DocPart::All, 0, 0);
    FrmPropForm& f = dialog();

    clickNode(imageNode(2));
    EXPECT_EQ(f.ChkBck(0).Caption(), LoadResString(522));
    EXPECT_EQ(f.ChkBck(0).Value(), vbChecked);
    for (const rt::Control* c : std::initializer_list<const rt::Control*>{
             &f.ChkBck(1), &f.ChkBck(2), &f.ChkBck(3), &f.LblBck, &f.TxtBck, &f.CmdBck,
             &f.CmdBckAdjust})
        EXPECT_FALSE(c->Enabled()) << c->Name();
    EXPECT_TRUE(f.ChkBck(0).Enabled());

    clickNode(coloursNode(2));
    EXPECT_FALSE(f.ChkCol(1).Enabled());
    for (int i : FrmPropForm::kSwatches) {
        EXPECT_FALSE(f.PicSelCol(i).Enabled()) << i;
        EXPECT_FALSE(f.LblCol(i).Enabled()) << i;
    }
    // The preview shows the defaults.
    EXPECT_EQ(f.PicEvent(0).BackColor(), CurDoc.DefaultColours.HeaderBack);
    EXPECT_EQ(f.LblDay(15).BackStyle(), 0);

    f.CmdOk_Click();
    EXPECT_TRUE(february.Background.FileName.isEmpty());
    EXPECT_EQ(february.Background.UseDefault, -1);
    EXPECT_EQ(february.Background.Modified, -1);
    EXPECT_EQ(february.Colours.CellBack, RGB(1, 2, 3));
    EXPECT_EQ(february.Colours.Modified, 0);
    EXPECT_EQ(CurDoc.Months(3).Background.Modified, 0);
}

TEST_F(PropTest, ColoursComeFromTheColourDialogAndACancelChangesNothing) {
    struct Case {
        int swatch;
        int32_t ColourSet::*field;
    };
    const Case cases[] = {
        {0, &ColourSet::EventText},   {1, &ColourSet::IncomeText}, {2, &ColourSet::ExpenseText},
        {4, &ColourSet::DayText},     {5, &ColourSet::TodayText},  {6, &ColourSet::CellBack},
        {7, &ColourSet::SelCellBack}, {8, &ColourSet::HeaderText}, {9, &ColourSet::HeaderBack},
    };
    FrmPropForm& f = dialog();
    clickNode(coloursNode(1));
    for (const Case& c : cases) {
        const ColourSet before = f.WorkColours(2);
        const OleColor shown = f.PicSelCol(c.swatch).BackColor();
        EXPECT_EQ(shown, before.*c.field) << c.swatch;
        // A cancelled dialog, opened from the colour's name.
        dialogs->colorAnswers.push_back(std::nullopt);
        f.LblCol(c.swatch).raiseEvent(Event::Click);
        ASSERT_FALSE(dialogs->colorRequests.empty());
        EXPECT_EQ(dialogs->colorRequests.back().initial, shown);
        EXPECT_EQ(dialogs->colorRequests.back().flags, 3);
        EXPECT_EQ(f.PicSelCol(c.swatch).BackColor(), shown);
        EXPECT_FALSE(CompareColourSet(f.WorkColours(2), before)) << c.swatch;
        // A chosen colour, from the swatch.
        const OleColor chosen = RGB(10 + c.swatch, 20, 30);
        dialogs->colorAnswers.push_back(chosen);
        f.PicSelCol(c.swatch).raiseEvent(Event::Click);
        EXPECT_EQ(f.WorkColours(2).*c.field, chosen) << c.swatch;
        EXPECT_EQ(f.PicSelCol(c.swatch).BackColor(), chosen);
    }
    EXPECT_EQ(f.PicEvent(0).BackColor(), RGB(19, 20, 30));
    EXPECT_EQ(f.LblDay(10).ForeColor(), RGB(15, 20, 30));
    EXPECT_EQ(f.LblDay(8).BackColor(), RGB(17, 20, 30));
    EXPECT_EQ(f.LblEV2(9).ForeColor(), RGB(11, 20, 30));
    f.CmdOk_Click();
    EXPECT_EQ(CurDoc.Months(1).Colours.HeaderBack, RGB(19, 20, 30));
    EXPECT_EQ(CurDoc.Months(1).Colours.Modified, -1);
    EXPECT_EQ(CurDoc.DefaultColours.Modified, 0);
    EXPECT_EQ(CurDoc.HeaderModified, 0); // display changes mark their own parts only
}

TEST_F(PropTest, ThePreviewShowsTheSamplesOverThePictureWithOrWithoutGrid) {
    CurDoc.DefaultBackground.FileName = QStringLiteral("/images/fond.bmp");
    CurDoc.DefaultBackground.Picture = plainPicture(Qt::green);
    CurDoc.DefaultBackground.Mode = ImageMode::Stretched;
    FrmPropForm& f = dialog();
    EXPECT_EQ(f.LblEV1(7).Caption(), QStringLiteral("Un événement 1"));
    EXPECT_EQ(f.LblEV7(9).Caption(), QStringLiteral("Un événement 6"));
    EXPECT_EQ(f.LblEV6(9).Caption(), QStringLiteral("Une dépense 4"));
    EXPECT_EQ(f.LblEV1(8).Caption(), LoadResString(519));
    EXPECT_EQ(f.LblDay(24).Caption(), QStringLiteral("24"));
    for (int c : FrmPropForm::kPreviewCells)
        EXPECT_EQ(f.LblDay(c).BackStyle(), c == 8 ? 1 : 0) << c;
    EXPECT_EQ(f.LblDay(8).BackColor(), CurDoc.DefaultColours.SelCellBack);
    EXPECT_EQ(f.LblDay(10).ForeColor(), CurDoc.DefaultColours.TodayText);
    EXPECT_EQ(f.LblEV5(7).ForeColor(), CurDoc.DefaultColours.IncomeText);
    EXPECT_EQ(f.PicCalPrev.Image().image().pixelColor(5, 5), QColor(Qt::green));

    // The picture as it is (at its size, top left), stretched or tiled: beyond its 40 x 30
    // pixels only the last two cover the preview.
    clickNode(kDefaultImage);
    for (int box : {3, 3}) {
        f.ChkBck(box).userClicked();
        const QImage preview = f.PicCalPrev.Image().image();
        EXPECT_EQ(preview.pixelColor(5, 5), QColor(Qt::green)) << f.WorkImages(1).Mode;
        EXPECT_EQ(preview.pixelColor(60, 50) == QColor(Qt::green),
                  f.WorkImages(1).Mode != ImageMode::AsIs);
    }

    clickNode(kDefaultColours);
    for (int ticks : {1, 0}) {
        f.ChkCol(1).userClicked();
        EXPECT_EQ(f.WorkColours(1).ShowGrid, ticks ? -1 : 0);
        for (int c : FrmPropForm::kPreviewCells)
            EXPECT_EQ(f.LblDay(c).BorderStyle(), ticks) << c;
    }
}

TEST_F(PropTest, ChoosingAPictureLoadsItOrSaysItIsNoPicture) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("neige.bmp"));
    ASSERT_TRUE(plainPicture(Qt::white).image().save(good));
    const QString bad = dir.filePath(QStringLiteral("texte.bmp"));
    QFile out(bad);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("pas une image");
    out.close();

    FrmPropForm& f = dialog();
    f.TbProp.userSelect(1);
    clickNode(imageNode(1));
    f.ChkBck(0).userClicked(); // January's own background
    f.ChkBck(1).userClicked();
    ASSERT_TRUE(f.CmdBck.Enabled());
    setPropPictureTools({[&](const QString&) {
                             // The form is out of reach while the chooser is open.
                             EXPECT_FALSE(f.CmdOk.Enabled());
                             EXPECT_FALSE(f.TreeDisp.Enabled());
                             EXPECT_TRUE(f.LblProp.Enabled());
                             return PicChooseResult{1, good};
                         },
                         {}});
    f.CmdBck_Click();
    EXPECT_EQ(f.TxtBck.Text(), good);
    EXPECT_EQ(f.WorkImages(2).FileName, good);
    EXPECT_EQ(f.WorkImages(2).Picture.width(), 40);
    EXPECT_TRUE(f.CmdBckAdjust.Enabled());
    // Mend: the form comes back as it was, hidden tabs and the unticked password box greyed.
    EXPECT_TRUE(f.CmdOk.Enabled());
    EXPECT_FALSE(f.PicGen.Enabled());
    EXPECT_FALSE(f.TxtSave.Enabled());
    EXPECT_FALSE(f.PicCol.Enabled());

    setPropPictureTools({[&](const QString&) { return PicChooseResult{1, bad}; }, {}});
    f.CmdBck_Click();
    ASSERT_EQ(services.ui->msgBoxCalls.size(), 1u);
    EXPECT_EQ(services.ui->msgBoxCalls[0].prompt, LoadResString(10049));
    EXPECT_EQ(services.ui->msgBoxCalls[0].style, vbCritical);
    EXPECT_EQ(services.ui->msgBoxCalls[0].title, QStringLiteral("Mirovanta"));
    EXPECT_TRUE(f.TxtBck.Text().isEmpty());
    EXPECT_TRUE(f.WorkImages(2).FileName.isEmpty());
    EXPECT_TRUE(f.WorkImages(2).Picture.isEmpty());

    setPropPictureTools({[&](const QString&) { return PicChooseResult{}; }, {}});
    f.CmdBck_Click();
    EXPECT_TRUE(f.WorkImages(2).FileName.isEmpty());
    EXPECT_EQ(services.ui->msgBoxCalls.size(), 1u);
}

TEST_F(PropTest, APictureBeyondThePerPictureLimitIsRefusedWhenChosen) {
    QTemporaryDir dir(testing_support::scratchFolder() + QStringLiteral("/grande-XXXXXX"));
    const QString big = dir.filePath(QStringLiteral("grande.bmp"));
    QImage image(10001, 5000, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(0);
    ASSERT_TRUE(image.save(big, "BMP"));

    FrmPropForm& f = dialog();
    f.TbProp.userSelect(1);
    clickNode(imageNode(1));
    f.ChkBck(0).userClicked(); // January's own background
    f.ChkBck(1).userClicked();
    setPropPictureTools({[&](const QString&) { return PicChooseResult{1, big}; }, {}});
    f.CmdBck_Click();
    ASSERT_EQ(services.ui->msgBoxCalls.size(), 1u);
    EXPECT_EQ(services.ui->msgBoxCalls[0].prompt,
              LoadResString(10166).arg(10001).arg(5000).arg(50));
    EXPECT_TRUE(f.TxtBck.Text().isEmpty());
    EXPECT_TRUE(f.WorkImages(2).FileName.isEmpty());
    EXPECT_TRUE(f.CmdOk.Enabled()); // the form is usable again
}

TEST_F(PropTest, TheEditorReplacesThePictureOnlyWhenClosedWithOk) {
    CurDoc.DefaultBackground.FileName = QStringLiteral("/images/fond.bmp");
    const Picture original = plainPicture(Qt::green);
    CurDoc.DefaultBackground.Picture = original;
    SetModified(DocPart::All, 0, 0);
    FrmPropForm& f = dialog();
    clickNode(kDefaultImage);

    f.CmdBckAdjust_Click(); // the double answers as a cancelled editor
    EXPECT_EQ(editorCalls, 1);
    EXPECT_TRUE(f.WorkImages(1).Picture.sameObject(original));

    const Picture edited = plainPicture(Qt::darkGreen, 80, 60);
    editorAnswers.push_back({1, QStringLiteral("/images/fond sombre.bmp"), edited});
    f.CmdBckAdjust_Click();
    EXPECT_TRUE(f.WorkImages(1).Picture.sameObject(edited));
    EXPECT_EQ(f.TxtBck.Text(), QStringLiteral("/images/fond sombre.bmp"));
    f.CmdOk_Click();
    EXPECT_TRUE(CurDoc.DefaultBackground.Picture.sameObject(edited));
    EXPECT_EQ(CurDoc.DefaultBackground.Modified, -1);
}
