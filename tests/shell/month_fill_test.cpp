// Filling the month windows: day numbers, colours, the rebuild of the windows made, and the
// windows made once a document is shown.

#include "core/resources.h"
#include "month_fixture.h"
#include "services/month_painting.h"
#include "shell/main_module.h"
#include "shell/month_fill.h"

#include <QMdiArea>

using namespace rt;

namespace {
QString dayOf(int16_t Month, int16_t Cell) {
    return MonthForms(Month)->LblDay(Cell).Caption();
}

// What a month window shows but its place: its caption, the weekday row, and each cell's day
// and item lines with their colours.
QStringList shownBy(FrmMonthModele& w) {
    QStringList shown{w.Caption()};
    for (int i = 0; i <= 6; ++i)
        shown << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(w.LblFix(i).Caption())
                     .arg(w.PicEvent(i).BackColor())
                     .arg(w.PicEvent(i).BorderStyle())
                     .arg(w.LblFix(i).ForeColor())
                     .arg(w.LblFix(i).Top());
    for (int16_t c = 7; c <= 48; ++c) {
        const Label& day = w.LblDay(c);
        shown << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(day.Caption())
                     .arg(day.BackStyle())
                     .arg(day.BackColor())
                     .arg(day.ForeColor())
                     .arg(day.BorderStyle());
        for (int n = 1; n <= 7; ++n) {
            const Label& line = w.LblEV(n)(c);
            shown << QStringLiteral("%1 %2 %3")
                         .arg(line.Caption())
                         .arg(line.ForeColor())
                         .arg(line.FontStrikethru());
        }
    }
    return shown;
}
} // namespace

TEST_F(MonthTest, DayNumbersRunFromTheCellOfTheFirstAndNothingElseIsLeft) {
    struct {
        const char* year;
        int16_t month, firstCell, days;
    } const cases[] = {
        {"2004", 3, 8, 31},  // Monday 1 March 2004
        {"2005", 1, 13, 31}, // Saturday 1 January 2005: day 31 in cell 43
        {"2004", 2, 7, 29},  // Sunday 1 February of a leap year
        {"2003", 2, 13, 28}, // the same window refilled for another year
        {"70000", 2, 0, 0},  // a year beyond 16 bits shows no day instead of stopping
        {"1e9", 2, 0, 0},
    };
    for (const auto& k : cases) {
        CurDoc.Year = QString::fromLatin1(k.year);
        ASSERT_NO_THROW(FillMonthDays(k.month)) << k.year;
        for (int16_t c = 7; c <= 48; ++c) {
            const int d = c - k.firstCell + 1;
            EXPECT_EQ(dayOf(k.month, c), d >= 1 && d <= k.days ? QString::asprintf("%02d", d) : "")
                << k.year << "-" << k.month << " cell " << c;
        }
    }
}

TEST_F(MonthTest, ColourValuesNoControlCanShowTakeTheSystemColoursInstead) {
    const int32_t kept[] = {0, 0x00FFFFFF, int32_t(0x80000005), int32_t(0x80000018)};
    for (int32_t v : kept)
        EXPECT_EQ(DisplayColour(v, vbWindowText), v) << std::hex << v;
    const int32_t replaced[] = {int32_t(0x80000019), -1, 0x01000000, 0x7FFFFFFF};
    for (int32_t v : replaced)
        EXPECT_EQ(DisplayColour(v, vbWindowText), vbWindowText) << std::hex << v;

    newDocument(QStringLiteral("2004"));
    ColourSet& c = CurDoc.DefaultColours;
    c.CellBack = c.DayText = c.SelCellBack = c.HeaderBack = c.HeaderText = 0x7F00FF00;
    CurMonth = 3;
    CurCell = 9;
    FrmMonthModele& w = MonthForms(3).get();
    ASSERT_NO_THROW(ApplyMonthColors(3));
    EXPECT_EQ(w.LblDay(7).BackColor(), vbWindowBackground);
    EXPECT_EQ(w.LblDay(7).ForeColor(), vbWindowText);
    EXPECT_EQ(w.LblDay(9).BackColor(), vbHighlight);
    EXPECT_EQ(w.PicEvent(0).BackColor(), vbButtonFace);
}

TEST_F(MonthTest, CellsAreTransparentOverThePictureInForceExceptTheSelectedDay) {
    newDocument(QStringLiteral("2004"));
    CurDoc.DefaultColours.CellBack = 0x00EEEEEE;
    CurDoc.DefaultColours.SelCellBack = 0x0000FF00;
    ImageItem& own = CurDoc.Months(5).Background;
    CurMonth = 5;
    CurCell = 20;
    struct {
        int16_t useDefault;
        const char *ownFile, *defaultFile;
        int backStyle; // of the cells that are not selected
    } const cases[] = {
        {0, "a.bmp", "", 0}, {0, "", "b.jpg", 1}, {-1, "", "b.jpg", 0}, {-1, "a.bmp", "", 1}};
    FrmMonthModele& w = MonthForms(5).get();
    for (const auto& k : cases) {
        own.UseDefault = k.useDefault;
        own.FileName = QString::fromLatin1(k.ownFile);
        CurDoc.DefaultBackground.FileName = QString::fromLatin1(k.defaultFile);
        ApplyMonthColors(5);
        for (int16_t cell = 7; cell <= 48; ++cell) {
            EXPECT_EQ(w.LblDay(cell).BackStyle(), cell == 20 ? 1 : k.backStyle) << cell;
            EXPECT_EQ(w.LblDay(cell).BackColor(), cell == 20 ? 0x0000FF00 : 0x00EEEEEE) << cell;
        }
    }
}

TEST_F(MonthTest, GridLinesFollowShowGridAndTodayIsMarkedInTheCurrentYearOnly) {
    newDocument(QStringLiteral("2004")); // the clock says 15 March 2004
    ColourSet& d = CurDoc.DefaultColours;
    d.ShowGrid = 0;
    FrmMonthModele& march = MonthForms(3).get();
    FillMonthDays(3);
    ApplyMonthColors(3);
    for (int16_t c = 7; c <= 48; ++c) {
        EXPECT_EQ(march.LblDay(c).BorderStyle(), 0);
        EXPECT_EQ(march.LblDay(c).ForeColor(), c == 22 ? d.TodayText : d.DayText) << c;
    }
    EXPECT_EQ(march.PicEvent(3).BorderStyle(), 0);
    EXPECT_EQ(march.LblFix(3).Top(), 50);
    d.ShowGrid = -1;
    CurDoc.Year = QStringLiteral("2005"); // 15 March 2005 is in cell 23
    FillMonthDays(3);
    ApplyMonthColors(3);
    EXPECT_EQ(march.LblDay(23).ForeColor(), d.DayText);
    EXPECT_EQ(march.LblDay(23).BorderStyle(), 1);
    EXPECT_EQ(march.PicEvent(3).BorderStyle(), 1);
    EXPECT_EQ(march.LblFix(3).Top(), 0);
}

class ShowMonthWindowsTest : public MonthTest {
protected:
    void SetUp() override {
        MonthTest::SetUp();
        FrmMain->Move(0, 0, 15000, 10500);
        FrmMain->Show();
        addMonthButtons();
        FrmMain->setTag(QStringLiteral("Edit"));
    }
};

TEST_F(ShowMonthWindowsTest, OnlyTheMonthToOpenFirstIsShown) {
    struct {
        const char *openMonth, *year;
        int shown; // 0: none
    } const cases[] = {{"07", "2010", 7},   {"1e1", "2010", 10}, {"7.5", "2010", 8},
                       {"12.5", "2010", 0}, {"00", "2004", 3},   {"00", "2010", 0},
                       {"13", "2004", 3}};
    for (const auto& k : cases) {
        newDocument(QString::fromLatin1(k.year));
        CurDoc.OpenMonth = QString::fromLatin1(k.openMonth);
        for (int m = 1; m <= 12; ++m)
            MonthForms(m)->Show(); // the rebuild hides every window first
        ShowMonthWindows();
        for (int m = 1; m <= 12; ++m) {
            EXPECT_EQ(MonthForms(m)->Visible(), m == k.shown) << k.openMonth << " " << m;
            EXPECT_EQ(monthButton(m).Value(), m == k.shown ? 1 : 0) << k.openMonth << " " << m;
        }
    }
}

TEST_F(ShowMonthWindowsTest, EveryMonthIsFilledColouredAndDrawnUnderItsCaption) {
    newDocument(QStringLiteral("2005"));
    AppVersion = QStringLiteral("2.1");
    CurDoc.IsSaved = 0;
    CurDoc.OpenMonth = QStringLiteral("01");
    CurDoc.Months(12).Colours.UseDefault = 0;
    CurDoc.Months(12).Colours.CellBack = 0x00DDEEFF;
    ListAppend(cellOf(1, 43), item(QStringLiteral("Réveillon")));
    ShowMonthWindows();
    for (int16_t m = 1; m <= 12; ++m) {
        EXPECT_EQ(MonthForms(m)->Caption(), LoadResString(209 + m) + QStringLiteral(" 2005"));
        EXPECT_EQ(dayOf(m, CellOfDay(2005, m, 1)), QStringLiteral("01")) << m;
    }
    EXPECT_EQ(MonthForms(12)->LblDay(7).BackColor(), 0x00DDEEFF);
    EXPECT_EQ(MonthForms(1)->LblEV1(43).Caption(), QStringLiteral("Réveillon"));
    EXPECT_EQ(FrmMain->Caption(), QStringLiteral("Mirovanta v2.1 - [Sans nom]*"));
    EXPECT_EQ(FrmMain->Tag(), QStringLiteral("Edit"));
    EXPECT_EQ(FrmMain->LblLoading(1).Caption(), QStringLiteral("Chargement Décembre..."));
    EXPECT_EQ(services.ui->hourglassChanges, (std::vector<bool>{true, false}));
    QCoreApplication::processEvents(); // tiled: the one window shown fills the child area
    EXPECT_EQ(MonthForms(1)->window()->geometry(), FrmMain->mdiArea()->viewport()->rect());
}

TEST_F(ShowMonthWindowsTest, ARebuildStopsWhenTheProgramClosesMeanwhile) {
    // Windows made before, with no document shown; December is not made.
    FrmMain->setTag(QStringLiteral("Logo"));
    for (int16_t m = 1; m <= 11; ++m)
        MonthForms(m).get();
    FrmMain->setTag(QStringLiteral("Edit"));
    newDocument(QStringLiteral("2004"));
    int pumps = 0; // one before the months, then two while each month hides
    services.ui->onDoEvents = [&](bool) {
        if (++pumps == 10) FrmMain->setTag(QStringLiteral("Unload")); // hiding May
    };
    ShowMonthWindows();
    services.ui->onDoEvents = nullptr;
    EXPECT_EQ(dayOf(4, CellOfDay(2004, 4, 1)), QStringLiteral("01"));
    // Nor is a window filled that is made once the program is closing.
    for (int16_t m = 5; m <= 12; ++m)
        EXPECT_EQ(dayOf(m, CellOfDay(2004, m, 1)), QString()) << m;
    EXPECT_FALSE(services.ui->hourglass());
}

TEST_F(ShowMonthWindowsTest, AWindowFirstReachedAfterTheOpenShowsWhatOneMadeBeforeWould) {
    // A year with items, a month of its own colours, a month over a picture, a day selected;
    // opened, then an item added in March, December clicked on the toolbar and a day of May
    // selected (as the summary or an alarm selects one). The windows all made before the open,
    // or each made as a road reaches it, then show the same.
    auto run = [this](bool madeFirst) {
        CurDoc = CalDocument{};
        newDocument(QStringLiteral("2004")); // the clock says 15 March 2004: today shows
        CurDoc.OpenMonth = QStringLiteral("01");
        CurDoc.Months(12).Colours.UseDefault = 0;
        CurDoc.Months(12).Colours.CellBack = 0x00DDEEFF;
        CurDoc.Months(12).Colours.ShowGrid = 0;
        CurDoc.Months(5).Background.UseDefault = 0;
        CurDoc.Months(5).Background.FileName = QStringLiteral("fond.bmp");
        for (int16_t m : {3, 5, 8, 12})
            for (int i = 0; i < 9; ++i)
                ListAppend(cellOf(m, 20), item(QStringLiteral("e%1").arg(i), 1 + i % 3, i % 2));
        CurMonth = 8;
        CurCell = 20;
        if (madeFirst) {
            FrmMain->setTag(QStringLiteral("Logo"));
            for (int16_t m = 1; m <= 12; ++m)
                MonthForms(m).get();
            FrmMain->setTag(QStringLiteral("Edit"));
        }
        ShowMonthWindows();
        ListAppend(cellOf(3, 21), item(QStringLiteral("ajouté")));
        RedrawDayCell(3, 21);
        EXPECT_EQ(MonthForms(3).exists(), madeFirst);
        FrmMain->TbMain.userClick(monthButton(12));
        SelectDay(5, 21);
        std::vector<QStringList> shown;
        for (int16_t m = 1; m <= 12; ++m) {
            shown.push_back(shownBy(MonthForms(m).get()));
            shown.back() << QStringLiteral("%1 %2")
                                .arg(MonthForms(m)->Visible())
                                .arg(monthButton(m).Value());
        }
        FrmMain->setTag(QStringLiteral("Unload")); // the windows go for good
        for (int16_t m = 1; m <= 12; ++m)
            EXPECT_TRUE(MonthForms(m).release());
        ui_test::flushReleased();
        FrmMain->setTag(QStringLiteral("Edit"));
        return shown;
    };
    const std::vector<QStringList> madeFirst = run(true);
    ASSERT_EQ(madeFirst[2][8 + (22 - 7) * 8], QStringLiteral("15 1 %1 %2 1")
                                                  .arg(CurDoc.DefaultColours.CellBack)
                                                  .arg(CurDoc.DefaultColours.TodayText));
    ASSERT_EQ(madeFirst[2][8 + (21 - 7) * 8 + 1], QStringLiteral("ajouté 0 0"));
    ASSERT_EQ(madeFirst[11].back(), QStringLiteral("1 1"));
    const std::vector<QStringList> madeWhenReached = run(false);
    for (int16_t m = 1; m <= 12; ++m)
        EXPECT_EQ(madeWhenReached[size_t(m - 1)], madeFirst[size_t(m - 1)]) << m;
}
