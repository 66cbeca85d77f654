// Month backgrounds: a picture as it is, stretched or tiled on the surface behind the cells.

#include "month_fixture.h"
#include "services/month_painting.h"
#include "shell/month_backgrounds.h"

using namespace rt;

namespace {

const QColor kFill(40, 120, 200), kMark(250, 20, 20), kWhite(255, 255, 255);

// A target 700 x 500 twips (47 x 33 pixels) and a scratch surface, on a plain form.
struct Surfaces {
    Form form{QStringLiteral("FrmSurfaces")};
    PictureBox target{form, QStringLiteral("PicTarget")};
    PictureBox temp{form, QStringLiteral("PicScratch")};
    Surfaces() {
        target.setBorderStyle(0);
        target.setBackColor(vbWhite);
        target.Move(0, 0, 700, 500);
        temp.setBorderStyle(0);
        temp.setAutoSize(true);
    }
    QColor at(int x, int y) { return target.persistentImage().pixelColor(x, y); }
    void paint(int32_t Mode, const Picture& Pic) {
        ImageItem image;
        image.Mode = Mode;
        image.FileName = QStringLiteral("fond.bmp");
        image.Picture = Pic;
        PaintBackground(target, temp, image);
    }
};

} // namespace

TEST(TilePositions, ColumnByColumnWhileATileStartsInsideAndNeverWithoutSize) {
    using P = std::vector<QPointF>;
    EXPECT_EQ(TilePositions(700, 500, 300, 200), (P{{0, 0},
                                                    {0, 200},
                                                    {0, 400},
                                                    {300, 0},
                                                    {300, 200},
                                                    {300, 400},
                                                    {600, 0},
                                                    {600, 200},
                                                    {600, 400}}));
    EXPECT_EQ(TilePositions(300, 100, 300, 100), (P{{0, 0}, {0, 100}, {300, 0}, {300, 100}}));
    // A step of 0 would never end.
    for (double tw : {0.0, -15.0, std::nan("")})
        EXPECT_TRUE(TilePositions(700, 500, tw, 200).empty()) << tw;
    EXPECT_TRUE(TilePositions(700, 500, 300, 0).empty());
}

TEST_F(MonthTest, BackgroundModesOnAPictureSurface) {
    Surfaces s;
    s.paint(ImageMode::Tiled, picture(20, 13, kFill, kMark)); // 300 x 195 twips
    std::vector<QPoint> marks;
    for (int x = 0; x < 47; ++x)
        for (int y = 0; y < 33; ++y)
            if (s.at(x, y) == kMark) marks.emplace_back(x, y);
    EXPECT_EQ(
        marks,
        (std::vector<QPoint>{
            {0, 0}, {0, 13}, {0, 26}, {20, 0}, {20, 13}, {20, 26}, {40, 0}, {40, 13}, {40, 26}}));
    EXPECT_EQ(s.at(46, 32), kFill);
    EXPECT_TRUE(s.temp.Picture().isEmpty()); // the scratch surface is left empty

    s.paint(ImageMode::AsIs, picture(10, 8, kFill, kMark));
    EXPECT_EQ(s.at(9, 7), kFill);
    EXPECT_EQ(s.at(10, 7), kWhite); // the rest stays empty
    EXPECT_EQ(s.at(46, 32), kWhite);

    s.paint(ImageMode::Stretched, picture(10, 8, kFill, kMark));
    EXPECT_EQ(s.at(3, 3), kMark); // one pixel of the picture covers several of the surface
    EXPECT_EQ(s.at(46, 32), kFill);

    s.paint(3, picture(10, 8, kFill, kMark)); // no such mode
    EXPECT_EQ(s.at(0, 0), kWhite);
    s.paint(ImageMode::Tiled, picture(20, 13, kFill, kMark));
    s.paint(ImageMode::Tiled, Picture::empty()); // no picture: cleared, and the tiling ends
    EXPECT_EQ(s.at(5, 5), kWhite);
    s.paint(ImageMode::Tiled, Picture());
    EXPECT_EQ(s.at(5, 5), kWhite);
}

TEST_F(MonthTest, AMonthPaintsTheBackgroundInForceAgainWhenItsGridChangesSize) {
    newDocument(QStringLiteral("2004"));
    ImageItem& own = CurDoc.Months(9).Background;
    own.Mode = CurDoc.DefaultBackground.Mode = ImageMode::Stretched;
    own.Picture = picture(4, 4, Qt::green, Qt::green);
    CurDoc.DefaultBackground.Picture = picture(4, 4, kFill, kFill);
    FrmMain->Show();
    FrmMain->setTag(QStringLiteral("Edit"));
    FrmMonthModele& w = MonthForms(9).get();
    w.Show();
    auto corner = [&] {
        const QImage& img = w.PicCal.persistentImage();
        return img.pixelColor(img.width() - 1, img.height() - 1);
    };
    own.UseDefault = 0;
    RefreshMonthBackground(9);
    EXPECT_EQ(corner(), QColor(Qt::green));
    own.UseDefault = -1;
    RefreshMonthBackground(9);
    EXPECT_EQ(corner(), kFill);
    w.Move(0, 0, w.Width() + 3000, w.Height() + 1500);
    QCoreApplication::processEvents();
    EXPECT_EQ(corner(), kFill);
}
