// A picture of March 2004 after the rebuild (items of the three kinds, ticked items, a full
// cell, a tiled background), saved in the scratch folder for a person to look at; the test checks
// what it must show.

#include "common/test_support.h"
#include "month_fixture.h"
#include "shell/main_module.h"

#include <QPainter>

using namespace rt;

namespace {
// The main window and the document's month windows shown, the program editing.
void showForEditing() {
    FrmMain->Move(0, 0, 16500, 12000);
    FrmMain->Show();
    FrmMain->setTag(QStringLiteral("Edit"));
    ShowMonthWindows();
    QCoreApplication::processEvents();
}
} // namespace

TEST_F(MonthTest, PictureOfMarch2004WithItemsAndATiledBackground) {
    newDocument(QStringLiteral("2004"));
    CurDoc.OpenMonth = QStringLiteral("03");
    ColourSet& c = CurDoc.DefaultColours;
    c.DayText = 0x00404040;
    c.TodayText = 0x000080FF; // orange
    c.SelCellBack = 0x00C0FFFF;
    c.HeaderBack = 0x00603010;
    QImage tile(48, 48, QImage::Format_RGB32); // a pale wash with a lighter band
    tile.fill(QColor(226, 236, 246));
    QPainter(&tile).fillRect(20, 0, 8, 48, QColor(240, 246, 252));
    for (int16_t m = 0; m <= 12; ++m) {
        ImageItem& b = m ? CurDoc.Months(m).Background : CurDoc.DefaultBackground;
        b.FileName = QStringLiteral("fond.bmp");
        b.Mode = ImageMode::Tiled;
        b.Picture = Picture::fromImage(tile);
    }
    CurMonth = 3;
    CurCell = CellOfDay(2004, 3, 10);
    auto add = [](int16_t day, const EVItem& ev) {
        ListAppend(cellOf(3, CellOfDay(2004, 3, day)), ev);
    };
    add(1, item(QStringLiteral("Salaire    1850"), ItemKind::Income));
    add(1, item(QStringLiteral("Loyer      650"), ItemKind::Expense, -1)); // paid: ticked
    add(3, item(QStringLiteral("Dentiste 10h")));
    add(10, item(QStringLiteral("Réunion parents")));
    add(15, item(QStringLiteral("Anniversaire Léa"), ItemKind::Event, 0, 0x00800080));
    for (int i = 1; i <= 9; ++i)
        add(22, item(QStringLiteral("Tâche %1").arg(i), ItemKind::Event, i == 2 ? -1 : 0));
    showForEditing();

    FrmMonthModele& march = MonthForms(3).get();
    const QImage shot = march.window()->grab().toImage();
    shot.save(testing_support::scratchFolder() + QStringLiteral("/mirovanta_march_2004.png"));
    EXPECT_EQ(march.LblEV7(CellOfDay(2004, 3, 22)).Caption(), QStringLiteral("[...]"));
    EXPECT_TRUE(march.LblEV2(CellOfDay(2004, 3, 1)).FontStrikethru());
    // The background shows through an empty cell; the selected day is opaque.
    auto pixel = [&](int16_t cell) {
        const Label& l = march.LblDay(cell);
        const QPoint at(TwipsToPixels(l.Left() + l.Width() / 2),
                        TwipsToPixels(l.Top() + l.Height() * 3 / 4));
        return shot.pixelColor(march.PicCal.widget()->mapTo(march.window(), at));
    };
    EXPECT_TRUE(pixel(46) == QColor(226, 236, 246) || pixel(46) == QColor(240, 246, 252));
    EXPECT_EQ(pixel(CurCell), QColor(255, 255, 192));
}

namespace {
// Every picture box of every open window keeps a surface, as when each held one from the start.
void giveEveryPictureBoxASurface() {
    for (Form* form : loadedForms())
        for (Control* control : form->Controls())
            if (auto* box = dynamic_cast<PictureBox*>(control)) {
                box->persistentImage();
                box->imageChanged();
            }
    QCoreApplication::processEvents();
}
} // namespace

// Boxes without a surface draw the same pixels as surfaces would: the main window with its panes
// and a month window over each kind of background, one with transparency drawn as it is.
TEST_F(MonthTest, BoxesWithoutASurfaceDrawTheSamePixelsAsSurfaces) {
    QImage half(40, 30, QImage::Format_ARGB32);
    half.fill(QColor(200, 40, 40, 120));
    QPainter(&half).fillRect(0, 0, 10, 30, QColor(0, 80, 0));
    const struct {
        int32_t mode;
        Picture picture;
    } rows[] = {{ImageMode::AsIs, Picture::fromImage(half)},
                {ImageMode::Stretched, picture(30, 20, QColor(20, 90, 200), Qt::white)},
                {ImageMode::Tiled, picture(48, 48, QColor(226, 236, 246), Qt::red)},
                {ImageMode::AsIs, Picture::empty()}};
    for (const auto& row : rows) {
        newDocument(QStringLiteral("2004"));
        CurDoc.OpenMonth = QStringLiteral("05");
        CurDoc.DefaultBackground.FileName =
            row.picture.isEmpty() ? QString() : QStringLiteral("fond.bmp");
        CurDoc.DefaultBackground.Mode = row.mode;
        CurDoc.DefaultBackground.Picture = row.picture;
        ListAppend(cellOf(5, CellOfDay(2004, 5, 12)), item(QStringLiteral("Dentiste 10h")));
        showForEditing();
        FrmMonthModele& may = MonthForms(5).get();
        // Only a shown grid with a painted background keeps a surface; hidden, it keeps none
        // and paints the background again when shown.
        EXPECT_EQ(may.PicCal.holdsSurface(), row.mode != ImageMode::AsIs) << row.mode;
        EXPECT_FALSE(MonthForms(6)->PicCal.holdsSurface());
        EXPECT_FALSE(may.PicTemp.holdsSurface());
        const QImage month = may.window()->grab().toImage();
        const QImage main = FrmMain->window()->grab().toImage();
        may.Hide();
        EXPECT_FALSE(may.PicCal.holdsSurface());
        may.Show();
        QCoreApplication::processEvents();
        EXPECT_EQ(may.window()->grab().toImage(), month) << row.mode;
        giveEveryPictureBoxASurface();
        EXPECT_EQ(may.window()->grab().toImage(), month) << row.mode;
        EXPECT_EQ(FrmMain->window()->grab().toImage(), main) << row.mode;
        // A month never shown paints its background when it first is.
        FrmMonthModele& june = MonthForms(6).get();
        june.Show();
        QCoreApplication::processEvents();
        EXPECT_EQ(june.PicCal.holdsSurface(), row.mode != ImageMode::AsIs) << row.mode;
        EXPECT_EQ(june.PicCal.Picture().isEmpty(),
                  row.mode != ImageMode::AsIs || row.picture.isEmpty());
    }
}
