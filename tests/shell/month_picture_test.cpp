// A picture of March 2004 after the rebuild (items of the three kinds, ticked items, a full
// cell, a tiled background), saved in the scratch folder for a person to look at; the test checks
// what it must show.

#include "common/test_support.h"
#include "month_fixture.h"
#include "shell/main_module.h"

#include <QPainter>

using namespace rt;

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
    FrmMain->Move(0, 0, 16500, 12000);
    FrmMain->Show();
    FrmMain->setTag(QStringLiteral("Edit"));
    ShowMonthWindows();
    QCoreApplication::processEvents();

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
