// A picture of the main window in "Edit" with the events pane of a day, taken offscreen for a
// person to look at (saved in the test's scratch folder, not kept).

#include "common/test_support.h"
#include "panes_fixture.h"

#include <QPixmap>

TEST_F(PanesTest, PictureOfTheEventsPaneOfADay) {
    setPrinters(1);
    FrmMainForm& f = main();
    f.Move(0, 0, 15360, 11520);
    f.Show();
    ListAppend(CurDoc.DebtsSavings, debt("Auto", "5000", MakeDate(1, 1, 2004)));
    ListAppend(day(3, 15), money(2, "Salaire", "1800"));
    ListAppend(day(3, 15), money(3, "Auto", "250.50"));
    ListAppend(day(3, 15), item(1, QStringLiteral("Dentiste 10h")));
    day(3, 15).Items[2].Checked = -1;
    selectDay(3, 15);
    f.TxtEVSelDate.setText(DateToText(CurDate));
    SetMainMode(1);
    f.TbMenu.setTab(4);
    RefreshPane(true, 1);
    QCoreApplication::processEvents();

    EXPECT_TRUE(f.PicEvents(1).widget()->isVisible());
    EXPECT_FALSE(f.PicEvents(0).widget()->isVisible());
    EXPECT_EQ(f.LblEVTot(1).Caption(), "1550$");
    EXPECT_EQ(f.LblEVBal(1).Caption(), "4750$");
    EXPECT_TRUE(f.window()->grab().save(testing_support::scratchFolder() +
                                        QStringLiteral("/mirovanta_events_pane.png")));
}
