// A picture of the main window with two month windows, taken offscreen, for a person to look
// at (saved in the test's scratch folder, not kept). The test checks what the picture must show.

#include "common/test_support.h"
#include "core/resources.h"
#include "document/month_grid.h"
#include "shell_fixture.h"

#include <QMdiArea>
#include <QPixmap>

using namespace rt;

namespace {
void fillMonth(FrmMonthModele& w, int month) {
    w.setCaption(LoadResString(209 + month) + QStringLiteral(" 2004"));
    for (int c = 7; c <= 48; ++c) {
        const int d = DayOfCell(2004, int16_t(month), int16_t(c));
        w.LblDay(c).setCaption(d ? QStringLiteral("%1").arg(d, 2, 10, QChar('0')) : QString());
    }
}
} // namespace

TEST_F(ShellTest, PictureOfTheMainWindowWithTwoMonthWindows) {
    FrmMainForm& f = FrmMain.get();
    f.Move(0, 0, 15360, 11520);
    f.Show();
    f.setTag(QStringLiteral("Edit"));
    FrmMonthModele& march = MonthForms(3).get();
    FrmMonthModele& april = MonthForms(4).get();
    fillMonth(march, 3);
    fillMonth(april, 4);
    march.LblEV1(CellOfDay(2004, 3, 15)).setCaption(QStringLiteral("Dentiste 10h"));
    march.LblEV2(CellOfDay(2004, 3, 15)).setCaption(QStringLiteral("Loyer 650$"));
    march.LblEV2(CellOfDay(2004, 3, 15)).setFontStrikethru(true);
    april.LblEV1(CellOfDay(2004, 4, 1)).setCaption(QStringLiteral("Salaire 1800$"));
    march.Show();
    april.Show();
    f.Arrange(vbTileVertical);
    QCoreApplication::processEvents();

    // The panel on the left, the two grids side by side in the rest.
    EXPECT_TRUE(f.PicMenu.widget()->isVisible());
    EXPECT_EQ(f.PicMenu.widget()->x(), 0);
    const QRect area = f.mdiArea()->geometry();
    EXPECT_GE(area.x(), f.PicMenu.widget()->width());
    const QRect a = march.window()->geometry(), b = april.window()->geometry();
    EXPECT_EQ(a.height(), f.mdiArea()->viewport()->height());
    EXPECT_EQ(a.width() + b.width(), f.mdiArea()->viewport()->width());
    for (FrmMonthModele* w : {&march, &april}) {
        for (int c = 7; c <= 48; ++c)
            ASSERT_TRUE(w->LblDay(c).Visible() && w->LblDay(c).host()->isVisible());
        for (int i = 0; i <= 6; ++i)
            ASSERT_TRUE(w->LblFix(i).Visible() && w->LblFix(i).host()->isVisible());
    }
    EXPECT_EQ(march.LblDay(8).Caption(), QStringLiteral("01"));  // 1 March 2004, a Monday
    EXPECT_EQ(april.LblDay(11).Caption(), QStringLiteral("01")); // 1 April 2004, a Thursday

    const QPixmap shot = f.window()->grab();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(
        shot.save(testing_support::scratchFolder() + QStringLiteral("/mirovanta_main_window.png")));
}
