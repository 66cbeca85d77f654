// The printing engine's drawing members, read back from the canvas in page centimetres.

#include "printing/api_printer.h"
#include "printing_fixture.h"

#include <gtest/gtest.h>

using namespace rt;

namespace {

const QColor kWhite(Qt::white), kRed(Qt::red), kBlue(Qt::blue);
constexpr int32_t kRedValue = 0x0000FF, kBlueValue = 0xFF0000;

// A preview document on a US Letter page without margins: the canvas starts at the corner.
class DrawingTest : public PrintingTest {
protected:
    void SetUp() override {
        PrintingTest::SetUp();
        const QPageLayout layout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF());
        hdc =
            registerDevice(std::make_shared<ImagePrintDevice>(QStringLiteral("Bord"), layout, 96));
    }
    void TearDown() override {
        engine.reset();
        releaseDevice(hdc);
        PrintingTest::TearDown();
    }
    cmAPIPrinter& start(float zoom) {
        engine = std::make_unique<cmAPIPrinter>();
        EXPECT_TRUE(engine->cmPrt_DocStart(hdc, QStringLiteral("Doc"), 0, zoom, page, canvas));
        return *engine;
    }
    QColor at(double x, double y) {
        const QPointF p = canvas.toPixels(x, y);
        return QColor(
            canvas.persistentImage().pixel(int(std::lround(p.x())), int(std::lround(p.y()))));
    }
    // The left and right ends of the ink on the line y, in centimetres.
    std::pair<double, double> inkSpan(double y) {
        const QImage& img = canvas.persistentImage();
        const int row = int(canvas.toPixels(0, y).y());
        int first = -1, last = -1;
        for (int x = 0; x < img.width(); ++x)
            if (QColor(img.pixel(x, row)) != kWhite) {
                if (first < 0) first = x;
                last = x;
            }
        return {first / canvas.toPixelsX(1.0), (last + 1) / canvas.toPixelsX(1.0)};
    }

    ui_test::CountingForm form;
    PictureBox page{form, QStringLiteral("PicPage")};
    PictureBox canvas{static_cast<Container&>(page), QStringLiteral("PicCanvas")};
    PictureBox work{form, QStringLiteral("PicWork")};
    int32_t hdc = 0;
    std::unique_ptr<cmAPIPrinter> engine;
};

} // namespace

// A line with a width is a bar that thick reaching half the width past each end; a box of
// such lines has closed corners and keeps its inside; a filled circle leaves later shapes
// hollow.
TEST_F(DrawingTest, LinesBoxesAndCircles) {
    cmAPIPrinter& e = start(2.0f);
    ASSERT_TRUE(e.cmOutput_PrintLine(1.0f, 5.0f, 3.0f, 5.0f, kRedValue, 10));
    for (auto [x, y] : {std::pair{0.97, 5.0}, {3.03, 5.0}, {2.0, 4.97}, {2.0, 5.03}})
        EXPECT_EQ(at(x, y), kRed) << x << " " << y;
    for (auto [x, y] : {std::pair{0.92, 5.0}, {3.08, 5.0}, {2.0, 4.92}, {2.0, 5.08}})
        EXPECT_EQ(at(x, y), kWhite) << x << " " << y;
    ASSERT_TRUE(e.cmOutput_PrintBox(2.0f, 10.0f, 4.0f, 3.0f, false, kBlueValue, 5));
    EXPECT_EQ(at(1.985, 9.985), kBlue);
    EXPECT_EQ(at(6.015, 13.015), kBlue);
    EXPECT_EQ(at(1.95, 9.95), kWhite);
    EXPECT_EQ(at(4.0, 11.5), kWhite);
    ASSERT_TRUE(e.cmOutput_PrintBox(8.0f, 10.0f, 4.0f, 3.0f, true, kRedValue, 5));
    EXPECT_EQ(at(10.0, 11.5), kRed);
    EXPECT_EQ(at(7.99, 11.5), kWhite);
    ASSERT_TRUE(e.cmOutput_PrintCircle(3.0f, 17.0f, 1.0f, true, kBlueValue));
    EXPECT_EQ(at(3.0, 17.0), kBlue);
    ASSERT_TRUE(e.cmOutput_PrintCircle(8.0f, 17.0f, 1.0f, false, kRedValue));
    ASSERT_TRUE(e.cmOutput_PrintBox(12.0f, 16.0f, 4.0f, 3.0f, false, kRedValue, 0));
    EXPECT_EQ(at(8.0, 17.0), kWhite);
    EXPECT_EQ(at(14.0, 17.5), kWhite);
    EXPECT_EQ(at(12.0, 17.5), kRed);
    EXPECT_TRUE(ui->msgBoxCalls.empty());
}

// Right alignment wins over centring; centring needs a width and takes a negative one; the
// font size follows the zoom and the text covers the same centimetres.
TEST_F(DrawingTest, TextPlacement) {
    const std::tuple<bool, bool, float, double, double> cases[] = {
        {true, true, 6.0f, 4.0, 10.0},   // ends at X
        {false, true, 0.0f, 10.0, 16.0}, // starts at X
        {false, true, -6.0f, 4.0, 10.0}, // centred between X - 6 and X
        {false, true, 6.0f, 10.0, 16.0}, // centred between X and X + 6
    };
    for (const auto& [right, centre, width, from, to] : cases) {
        cmAPIPrinter& e = start(1.0f);
        ASSERT_TRUE(e.cmOutput_PrintText(10.0f, 5.0f, QStringLiteral("Mercredi"), 0,
                                         QStringLiteral("Arial"), 16, true, false, false, false,
                                         right, centre, width));
        const auto [left, end] = inkSpan(5.4);
        if (width != 0 && !right) {
            EXPECT_NEAR((left + end) / 2, (from + to) / 2, 0.15) << width;
        } else {
            EXPECT_NEAR(right ? end : left, 10.0, 0.15) << right;
        }
    }
    double spans[2] = {0, 0};
    const float zooms[2] = {1.0f, 0.5f};
    for (int i = 0; i < 2; ++i) {
        cmAPIPrinter& e = start(zooms[i]);
        e.cmOutput_PrintText(2.0f, 2.0f, QStringLiteral("Anniversaire de Paul"), 0,
                             QStringLiteral("Arial"), 8, true, false, false, false, false, false,
                             0);
        EXPECT_DOUBLE_EQ(canvas.FontSize(), 8.0 * zooms[i]);
        const auto [left, end] = inkSpan(2.2);
        spans[i] = end - left;
    }
    EXPECT_NEAR(spans[0], spans[1], 0.1);
}

// 151 x 113 pixels are 3.995 x 2.99 cm: tiled into 10 x 7 cm, three columns of three tiles
// from the corner, cut at the edges, at any zoom; at natural size once, cut to the rectangle;
// stretched over it. The caller's picture becomes a bitmap on white.
TEST_F(DrawingTest, PicturesTiledAtNaturalSizeAndStretched) {
    const rt::Picture source = markedPicture(151, 113, kBlue, kRed, 8);
    const double tileW = 151 / (96 / 2.54), tileH = 113 / (96 / 2.54);
    for (float zoom : {1.0f, 0.5f}) {
        cmAPIPrinter& e = start(zoom);
        rt::Picture pic = source;
        ASSERT_TRUE(e.cmOutput_PrintPicture(2.0f, 3.0f, 10.0f, 7.0f, pic, work, false, true));
        const QImage& img = canvas.persistentImage();
        int red = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                red += QColor(img.pixel(x, y)) == kRed;
        if (zoom == 1.0f) {
            EXPECT_EQ(red, 9 * 64); // nine whole markers
        }
        for (int col = 0; col < 3; ++col)
            for (int row = 0; row < 3; ++row)
                EXPECT_EQ(at(2.05 + col * tileW, 3.05 + row * tileH), kRed) << col << row;
        EXPECT_EQ(at(11.95, 9.95), kBlue);
        EXPECT_EQ(at(12.1, 5.0), kWhite);
        EXPECT_EQ(at(5.0, 10.1), kWhite);
        EXPECT_FALSE(pic.sameObject(source));
        EXPECT_TRUE(work.Picture().isEmpty());
    }
    cmAPIPrinter& e = start(1.0f);
    rt::Picture pic = source;
    ASSERT_TRUE(e.cmOutput_PrintPicture(2.0f, 3.0f, 10.0f, 7.0f, pic, work, false, false));
    EXPECT_EQ(at(5.9, 5.9), kBlue);
    EXPECT_EQ(at(6.1, 4.0), kWhite);
    pic = source;
    ASSERT_TRUE(e.cmOutput_PrintPicture(14.0f, 3.0f, 2.0f, 7.0f, pic, work, false, false));
    EXPECT_EQ(at(15.9, 5.0), kBlue);
    EXPECT_EQ(at(16.1, 5.0), kWhite);
    QImage clear(20, 20, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    pic = rt::Picture::fromImage(clear);
    ASSERT_TRUE(e.cmOutput_PrintPicture(2.0f, 12.0f, 10.0f, 7.0f, pic, work, true, false));
    EXPECT_EQ(QColor(pic.image().pixel(10, 10)), kWhite);
    pic = rt::Picture::empty(); // nothing to draw, and the tiling ends
    EXPECT_TRUE(e.cmOutput_PrintPicture(2.0f, 12.0f, 10.0f, 7.0f, pic, work, false, true));
    EXPECT_TRUE(ui->msgBoxCalls.empty());
}
