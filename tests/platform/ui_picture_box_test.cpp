// Picture boxes: the persistent image, Cls, Picture, AutoSize and PaintPicture in twips.

#include "core/rt_error.h"
#include "platform/ui_picture_box.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

using namespace rt;

namespace {
Picture solid(int w, int h, QColor c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return Picture::fromImage(img);
}
QColor at(const PictureBox& box, int x, int y) {
    return QColor(const_cast<PictureBox&>(box).persistentImage().pixel(x, y));
}
} // namespace

TEST(UiPictureBox, PersistentImageHoldsBackColourPictureAndPaintings) {
    ui_test::CountingForm form;
    PictureBox PicCal(form, QStringLiteral("PicCal"));
    PicCal.setBorderStyle(0);
    PicCal.setBackColor(vbWhite);
    PicCal.Move(0, 0, 1500, 1500); // 100 x 100 pixels
    EXPECT_EQ(PicCal.ScaleWidth(), 1500);
    EXPECT_EQ(PicCal.Image().image().size(), QSize(100, 100));
    EXPECT_FALSE(PicCal.holdsSurface()); // nothing painted yet
    EXPECT_EQ(at(PicCal, 50, 50), QColor(Qt::white));

    PicCal.setPicture(solid(20, 10, Qt::red));
    EXPECT_EQ(at(PicCal, 5, 5), QColor(Qt::red));
    EXPECT_EQ(at(PicCal, 25, 5), QColor(Qt::white));

    // A stretched copy over the whole box, coordinates in twips.
    PicCal.PaintPicture(solid(3, 3, Qt::blue), 0, 0, 1500, 750, 0, 0, 45, 45);
    EXPECT_EQ(at(PicCal, 99, 49), QColor(Qt::blue));
    EXPECT_EQ(at(PicCal, 99, 50), QColor(Qt::white));
    // A painted box grown keeps its painting; the new part takes the back colour.
    PicCal.Move(0, 0, 1800, 1500);
    EXPECT_TRUE(PicCal.holdsSurface());
    EXPECT_EQ(at(PicCal, 99, 49), QColor(Qt::blue));
    EXPECT_EQ(at(PicCal, 110, 5), QColor(Qt::white));
    PicCal.Cls(); // back to the back colour and the picture
    EXPECT_FALSE(PicCal.holdsSurface());
    EXPECT_EQ(PicCal.Image().image().size(), QSize(120, 100));
    EXPECT_EQ(at(PicCal, 99, 49), QColor(Qt::white));
    EXPECT_EQ(at(PicCal, 5, 5), QColor(Qt::red));
    PicCal.setPicture(Picture::empty());
    EXPECT_EQ(at(PicCal, 5, 5), QColor(Qt::white));
    EXPECT_EQ(ErrInvalidPicture, [&] {
        try {
            PicCal.PaintPicture(Picture(), 0, 0);
        } catch (const RtError& e) {
            return e.Number;
        }
        return 0;
    }());
}

TEST(UiPictureBox, AutoSizeTakesThePictureSizeAndTilesCoverTheSurface) {
    ui_test::CountingForm form;
    PictureBox PicTemp(form, QStringLiteral("PicTemp"));
    PicTemp.setBorderStyle(0);
    PicTemp.setAutoSize(true);
    PicTemp.setVisible(false);
    PicTemp.setPicture(solid(20, 10, Qt::green));
    EXPECT_EQ(PicTemp.Width(), 300);
    EXPECT_EQ(PicTemp.Height(), 150);
    PicTemp.setPicture(Picture::empty()); // no picture: the size stays
    EXPECT_EQ(PicTemp.Width(), 300);
    PicTemp.setPicture(solid(20, 10, Qt::green));

    PictureBox target(form);
    target.setBorderStyle(0);
    target.setBackColor(vbBlack);
    target.Move(0, 0, 700, 500);
    const Picture tile = PicTemp.Image();
    int copies = 0;
    for (int x = 0; x <= target.Width(); x += PicTemp.Width())
        for (int y = 0; y <= target.Height(); y += PicTemp.Height()) {
            target.PaintPicture(tile, x, y, PicTemp.Width(), PicTemp.Height(), 0, 0,
                                PicTemp.Width(), PicTemp.Height());
            ++copies;
        }
    EXPECT_EQ(copies, 3 * 4);
    const QImage img = target.Image().image();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            ASSERT_EQ(QColor(img.pixel(x, y)), QColor(Qt::green)) << x << "," << y;
}

TEST(UiPictureBox, BorderAndPixelScale) {
    ui_test::CountingForm form;
    PictureBox box(form);
    box.Move(0, 0, 1500, 1500);
    EXPECT_EQ(box.BorderStyle(), 1);
    EXPECT_EQ(box.ScaleWidth(), PixelsToTwips(96));
    box.setScaleMode(vbPixels);
    EXPECT_EQ(box.ScaleWidth(), 96);
    box.Scale(0, 0, 10, 10);
    EXPECT_EQ(box.ScaleMode(), vbUser);
    EXPECT_DOUBLE_EQ(box.toPixels(5, 5).x(), 48);
}

// Drawing in a scale of the user's (10 units over 100 pixels): boxes cover both corners; a new
// ForeColor keeps what is drawn, a new BackColor starts again.
TEST(UiPictureBox, DrawingInTheUsersScale) {
    ui_test::CountingForm form;
    PictureBox box(form);
    box.setBorderStyle(0);
    box.setBackColor(vbWhite);
    box.Move(0, 0, PixelsToTwips(100), PixelsToTwips(100));
    box.Scale(0, 0, 10, 10);
    box.Line(1, 1, 2, 2, vbRed, LineShape::FilledBox);
    box.Line(3, 3, 5, 5, vbBlue, LineShape::Box);
    const std::tuple<int, int, QColor> pixels[] = {
        {10, 10, Qt::red},  {20, 20, Qt::red},   {21, 21, Qt::white}, {30, 30, Qt::blue},
        {50, 40, Qt::blue}, {40, 40, Qt::white}, {51, 51, Qt::white}};
    box.setForeColor(vbBlue);
    box.setForeColor(vbBlue);
    for (const auto& [x, y, colour] : pixels)
        EXPECT_EQ(at(box, x, y), colour) << x << " " << y;
    EXPECT_NEAR(box.ScaleX(2540, vbHimetric, vbUser), 9.6, 1e-9); // one inch: 96 pixels
    box.setBackColor(vbGreen);
    EXPECT_EQ(at(box, 10, 10), QColor(Qt::green));
}
