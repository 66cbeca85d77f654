// The Summary tab: the range chosen by the boxes, its dates and its totals.

#include "panes_fixture.h"
#include "shell/summary_pane.h"

using namespace rt;

TEST_F(PanesTest, TheSummaryCoversTheChosenRange) {
    FrmMainForm& f = main();
    ListAppend(day(12, 28), money(2, "Paie", "100"));
    ListAppend(day(12, 28), money(3, "Cadeaux", "250"));
    ListAppend(day(12, 31), money(3, "Fête", "30"));
    ListAppend(day(12, 1), money(2, "Prime", "1000"));
    ListAppend(day(2, 29), money(3, "Loyer", "650"));
    ListAppend(day(3, 1), money(3, "Loyer", "650"));
    struct Case {
        int16_t month, day;
        std::vector<int> ticked;
        const char *from, *to, *in, *out, *balance;
    } cases[] = {
        {12, 28, {}, "2004-12-28", "2004-12-28", "100$", "250$", "-150$"}, // none: the day
        {12, 28, {0}, "2004-12-28", "2004-12-28", "100$", "250$", "-150$"},
        {12, 28, {1}, "2004-12-01", "2004-12-31", "1100$", "280$", "820$"},
        // From the 28th of December the dates run into January, the totals stop at the year's
        // end.
        {12, 28, {2}, "2004-12-28", "2005-01-03", "100$", "280$", "-180$"},
        {12, 28, {1, 3}, "2004-12-28", "2005-01-10", "100$", "280$", "-180$"}, // highest wins
        {2, 10, {1}, "2004-02-01", "2004-02-29", "0$", "650$", "-650$"},
        {2, 24, {2}, "2004-02-24", "2004-03-01", "0$", "1300$", "-1300$"},
        // No current day and no year: zeros, no failure.
        {0, 0, {3}, "-00-00", "-1-12-13", "0$", "0$", "0$"},
    };
    for (const Case& c : cases) {
        for (int i = 0; i <= 3; ++i)
            f.ChkSU(i).setValue(std::count(c.ticked.begin(), c.ticked.end(), i) ? 1 : 0);
        selectDay(c.month, c.day);
        if (c.month == 0) CurDoc.Year.clear();
        ComputeSummary();
        const std::string at = std::to_string(c.month) + "-" + std::to_string(c.day);
        EXPECT_EQ(f.LblSUFrom(1).Caption(), c.from) << at;
        EXPECT_EQ(f.LblSUTo(1).Caption(), c.to) << at;
        EXPECT_EQ(f.TxtSUInf(0).Text(), c.in) << at;
        EXPECT_EQ(f.TxtSUInf(1).Text(), c.out) << at;
        EXPECT_EQ(f.TxtSUInf(2).Text(), c.balance) << at;
    }
}

TEST_F(PanesTest, TheSummaryTabIsComputedWhenShownAndWhenTheRangeChanges) {
    FrmMainForm& f = main();
    ListAppend(day(3, 15), money(2, "Paie", "100"));
    ListAppend(day(3, 2), money(2, "Prime", "11"));
    selectDay(3, 15);
    f.setTag(QStringLiteral("Edit"));
    f.TbMenu.setTab(0);
    EXPECT_EQ(f.TxtSUInf(0).Text(), "100$");
    f.ChkSU(1).userClicked(); // the month of March
    EXPECT_EQ(f.LblSUFrom(1).Caption(), "2004-03-01");
    EXPECT_EQ(f.TxtSUInf(0).Text(), "111$");
}
