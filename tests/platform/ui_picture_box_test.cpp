// Picture boxes: the persistent image, Cls, Picture, AutoSize and PaintPicture in twips.

#include "platform/rt_error.h"
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
    EXPECT_EQ(at(PicCal, 50, 50), QColor(Qt::white));

    PicCal.setPicture(solid(20, 10, Qt::red));
    EXPECT_EQ(at(PicCal, 5, 5), QColor(Qt::red));
    EXPECT_EQ(at(PicCal, 25, 5), QColor(Qt::white));

    // A stretched copy over the whole box, coordinates in twips.
    PicCal.PaintPicture(solid(3, 3, Qt::blue), 0, 0, 1500, 750, 0, 0, 45, 45);
    EXPECT_EQ(at(PicCal, 99, 49), QColor(Qt::blue));
    EXPECT_EQ(at(PicCal, 99, 50), QColor(Qt::white));
    PicCal.Cls(); // back to the back colour and the picture
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

// Drawing in a scale of the user's: 10 units over 100 pixels each way.
TEST(UiPictureBox, LinesBoxesCirclesAndTextInTheUsersScale) {
    ui_test::CountingForm form;
    PictureBox box(form);
    box.setBorderStyle(0);
    box.setBackColor(vbWhite);
    box.Move(0, 0, PixelsToTwips(100), PixelsToTwips(100));
    box.Scale(0, 0, 10, 10);
    const QColor white(Qt::white), red(Qt::red), blue(Qt::blue);

    // A filled box covers both corners.
    box.Line(1, 1, 2, 2, vbRed, LineShape::FilledBox);
    EXPECT_EQ(at(box, 10, 10), red);
    EXPECT_EQ(at(box, 20, 20), red);
    EXPECT_EQ(at(box, 21, 21), white);
    EXPECT_EQ(at(box, 9, 10), white);

    // An outlined box: its edges from corner to corner, its inside kept.
    box.Line(3, 3, 5, 5, vbBlue, LineShape::Box);
    EXPECT_EQ(at(box, 30, 30), blue);
    EXPECT_EQ(at(box, 50, 50), blue);
    EXPECT_EQ(at(box, 50, 40), blue);
    EXPECT_EQ(at(box, 40, 40), white);
    EXPECT_EQ(at(box, 51, 51), white);

    // A plain line one pixel wide.
    box.Line(0, 8, 10, 8, vbRed);
    EXPECT_EQ(at(box, 50, 80), red);
    EXPECT_EQ(at(box, 50, 79), white);
    EXPECT_EQ(at(box, 50, 81), white);

    // A filled circle, then a hollow one: FillStyle decides.
    box.setFillStyle(vbFSSolid);
    box.setFillColor(vbBlue);
    box.Circle(8, 3, 1, vbBlue);
    EXPECT_EQ(at(box, 80, 30), blue);
    box.setFillStyle(vbFSTransparent);
    box.Circle(8, 6, 1, vbRed);
    EXPECT_EQ(at(box, 80, 60), white);
    EXPECT_EQ(at(box, 90, 60), red);
}

TEST(UiPictureBox, TextStandsBelowCurrentYAndMeasuresInTheScale) {
    ui_test::CountingForm form;
    PictureBox box(form);
    box.setBorderStyle(0);
    box.setBackColor(vbWhite);
    box.Move(0, 0, PixelsToTwips(200), PixelsToTwips(100));
    box.Scale(0, 0, 20, 10); // ten pixels a unit
    box.setFontName(QStringLiteral("DejaVu Sans"));
    box.setFontSize(12);
    box.setForeColor(vbBlack);
    const double w = box.TextWidth(QStringLiteral("MMMM"));
    const double h = box.TextHeight(QStringLiteral("MMMM"));
    EXPECT_GT(w, 3.0);
    EXPECT_LT(w, 8.0);
    // 12 points at 96 dots per inch: 16 pixels of em, a line a little taller.
    EXPECT_GT(h, 1.6);
    EXPECT_LT(h, 2.4);

    box.setCurrentX(5);
    box.setCurrentY(4);
    box.Print(QStringLiteral("MMMM"));
    EXPECT_DOUBLE_EQ(box.CurrentX(), 0);
    EXPECT_NEAR(box.CurrentY(), 4 + h, 1e-9);
    // Ink only between the line's top and bottom, from CurrentX on.
    const QImage& img = box.persistentImage();
    QRect ink;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (QColor(img.pixel(x, y)) != QColor(Qt::white)) ink |= QRect(x, y, 1, 1);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.top(), 40);
    EXPECT_LE(ink.bottom(), 40 + int(h * 10));
    EXPECT_GE(ink.left(), 50);
    EXPECT_LE(ink.right(), 50 + int(w * 10) + 1);
}

TEST(UiPictureBox, ScaleConversions) {
    ui_test::CountingForm form;
    PictureBox box(form);
    box.setBorderStyle(0);
    box.Move(0, 0, PixelsToTwips(96), PixelsToTwips(48));
    box.Scale(0, 0, 2.54, 1.27); // centimetres
    struct Case {
        double value;
        int from, to;
        double expected;
    } cases[] = {
        {2540, vbHimetric, vbPixels, 96}, // one inch
        {2540, vbHimetric, vbTwips, 1440},
        {1440, vbTwips, vbUser, 2.54}, // the box's own centimetres
        {1.27, vbUser, vbPixels, 48},
        {96, vbPixels, vbCentimeters, 2.54},
        {72, vbPoints, vbInches, 1},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(box.ScaleX(c.value, c.from, c.to), c.expected, 1e-9)
            << c.value << " " << c.from << " " << c.to;
        EXPECT_NEAR(box.ScaleY(c.value, c.from, c.to), c.expected, 1e-9);
    }
}
