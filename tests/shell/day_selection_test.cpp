// Day selection and the cell menu, driven by mouse clicks on the month windows' labels.

#include "document/month_grid.h"
#include "document/records.h"
#include "shell/day_selection.h"
#include "shell/main_module.h"
#include "shell_fixture.h"

#include <QApplication>
#include <QMouseEvent>

using namespace rt;

namespace {

constexpr int32_t kMarchBack = RGB(250, 240, 230);
constexpr int32_t kMarchSel = RGB(255, 200, 0);
constexpr int32_t kDefaultBack = RGB(255, 255, 255);
constexpr int32_t kDefaultSel = RGB(120, 200, 255);

class DaySelectionTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        FrmMain->setTag(QStringLiteral("Edit"));
        CurDoc.Year = QStringLiteral("2004");
        CurDoc.DefaultColours.CellBack = kDefaultBack;
        CurDoc.DefaultColours.SelCellBack = kDefaultSel;
        for (int m = 1; m <= 12; ++m)
            CurDoc.Months(m).Colours.UseDefault = -1;
        // March has colours of its own and a background picture behind transparent cells.
        ColourSet& march = CurDoc.Months(3).Colours;
        march.UseDefault = 0;
        march.CellBack = kMarchBack;
        march.SelCellBack = kMarchSel;
        CurDoc.Months(3).Background.FileName = QStringLiteral("/images/fond.bmp");
        for (int m : {3, 4})
            fillDays(m);
        for (int c = 7; c <= 48; ++c)
            MonthForms(3)->LblDay(c).setBackStyle(0);
    }

    // The day numbers of the month in 2004, as the month window shows them.
    static void fillDays(int m) {
        FrmMonthModele& w = MonthForms(m).get();
        for (int c = 7; c <= 48; ++c) {
            const int d = DayOfCell(2004, int16_t(m), int16_t(c));
            w.LblDay(c).setCaption(d ? QStringLiteral("%1").arg(d, 2, 10, QChar('0')) : QString());
            w.LblDay(c).setBackColor(CurDoc.Months(m).Colours.UseDefault ? kDefaultBack
                                                                         : kMarchBack);
        }
    }
    static int cellOf(int m, int d) { return CellOfDay(2004, int16_t(m), int16_t(d)); }

    static DayCell& addItems(int m, int c, int n) {
        DayCell& cell = CurDoc.Months(m).Cells(c);
        for (int i = 0; i < n; ++i) {
            EVItem item;
            item.Text = QStringLiteral("Article %1").arg(i);
            item.Kind = ItemKind::Event;
            item.Colour = -1;
            ListAppend(cell, item);
        }
        return cell;
    }

    // A click as the user makes it: pressed and released on whatever widget lies at the centre
    // of the day label's top strip (line 0) or of item line n (1 to 7) of the cell: the grid,
    // which draws the labels, unless a child widget lies over them there.
    static void click(int m, int c, int line, Qt::MouseButton button) {
        FrmMonthModele& w = MonthForms(m).get();
        const Label& target = line == 0 ? w.LblDay(c) : w.LblEV(line)(c);
        QWidget* grid = w.PicCal.clientWidget();
        ASSERT_EQ(target.host(), grid);
        QPoint at = target.placeInHost().center();
        if (line == 0) at.setY(target.placeInHost().top() + 3);
        QWidget* hit = grid->childAt(at) ? grid->childAt(at) : grid;
        const QPointF local = hit->mapFrom(grid, at);
        for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, local, hit->mapToGlobal(local), button,
                          type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(hit, &e);
        }
    }
    static void leftClick(int m, int c, int line = 0) { click(m, c, line, Qt::LeftButton); }
    // A right click that picks the menu entry at position `choice` (-1: closes the menu).
    void rightClick(int m, int c, int line, int choice = -1) {
        services.forms->menuChoices.push_back(choice);
        click(m, c, line, Qt::RightButton);
    }
};

} // namespace

TEST_F(DaySelectionTest, ALeftClickMovesTheCurrentDayAndItsHighlight) {
    FrmMainForm& main = FrmMain.get();
    Label& march15 = MonthForms(3)->LblDay(cellOf(3, 15));
    leftClick(3, cellOf(3, 15));
    EXPECT_EQ(CurMonth, 3);
    EXPECT_EQ(CurCell, cellOf(3, 15));
    EXPECT_EQ(DateToText(CurDate), QStringLiteral("2004-03-15"));
    EXPECT_EQ(main.TxtEVSelDate.Text(), QStringLiteral("15 mars 2004"));
    // Over the background picture the current day is opaque.
    EXPECT_EQ(march15.BackStyle(), 1);
    EXPECT_EQ(march15.BackColor(), kMarchSel);

    // A click on an item line of a day in another month: the highlight moves there, and the
    // day left behind shows the background again.
    const int april1 = cellOf(4, 1);
    Label& april1Label = MonthForms(4)->LblDay(april1);
    leftClick(4, april1, 3);
    EXPECT_EQ(CurMonth, 4);
    EXPECT_EQ(CurCell, april1);
    EXPECT_EQ(main.TxtEVSelDate.Text(), QStringLiteral("01 avr. 2004"));
    EXPECT_EQ(march15.BackStyle(), 0);
    EXPECT_EQ(march15.BackColor(), kMarchBack);
    EXPECT_EQ(april1Label.BackStyle(), 1);
    EXPECT_EQ(april1Label.BackColor(), kDefaultSel); // April takes the default colours

    // The same day again stays current.
    leftClick(4, april1);
    EXPECT_EQ(CurCell, april1);
    EXPECT_EQ(april1Label.BackColor(), kDefaultSel);

    // A cell before the 1st holds no day: no current day, no highlight, no date.
    leftClick(4, april1 - 1);
    EXPECT_EQ(CurMonth, 0);
    EXPECT_EQ(CurCell, 0);
    EXPECT_EQ(DateToText(CurDate), QStringLiteral("-00-00"));
    EXPECT_EQ(main.TxtEVSelDate.Text(), QString());
    EXPECT_EQ(april1Label.BackStyle(), 1); // no picture behind April: opaque
    EXPECT_EQ(april1Label.BackColor(), kDefaultBack);
    EXPECT_EQ(MonthForms(4)->LblDay(april1 - 1).BackColor(), kDefaultBack);

    // Outside the state "Edit" clicks do nothing.
    main.setTag(QStringLiteral("Load"));
    leftClick(3, cellOf(3, 2));
    EXPECT_EQ(CurMonth, 0);
}

TEST_F(DaySelectionTest, AYearThatGivesNoDateLeavesNoCurrentDay) {
    CurDoc.Year = QStringLiteral("70000");
    leftClick(3, cellOf(3, 15));
    EXPECT_EQ(CurMonth, 0);
    EXPECT_EQ(FrmMain->TxtEVSelDate.Text(), QString());
}

TEST(SelectedDateText, DaysAndMonthsInFrench) {
    const std::pair<DateRec, const char*> cases[] = {
        {{15, 3, 2004}, "15 mars 2004"},
        {{1, 2, 2004}, "01 févr. 2004"},
        {{29, 2, 2004}, "29 févr. 2004"},
        {{31, 12, 1999}, "31 déc. 1999"},
        {{7, 8, 812}, "07 août 0812"},
        // Not a calendar date, or a year the pattern cannot show: the text form.
        {{30, 2, 2004}, "2004-02-30"},
        {{5, 1, 10000}, "10000-01-05"},
    };
    for (const auto& [date, text] : cases)
        EXPECT_EQ(SelectedDateText(date), QString::fromUtf8(text)) << text;
}

// Which entries of the cell menu a right click enables: 0 Cut, 1 Copy, 2 Paste, 4 Add...,
// 5 Edit..., 6 Delete, 8 Show Picture....
TEST_F(DaySelectionTest, ARightClickEnablesTheEntriesThatFitTheClickedPlace) {
    struct Case {
        const char* what;
        int day;        // 0: the cell before the 1st of March, which holds no day
        int items;      // items in the cell
        int line;       // 0 the day label, 1 to 7 an item line
        bool clipboard; // an item waits in the clipboard
        bool picture;   // the clicked item has a picture file
        int selItem;
        const char* enabled; // entries 0 to 8, "-" for the separators 3 and 7
    };
    const Case cases[] = {
        {"day number", 15, 2, 0, false, false, -1, "000-100-0"},
        {"day number, clipboard", 15, 2, 0, true, false, -1, "001-100-0"},
        {"item", 15, 2, 2, false, false, 1, "110-111-0"},
        {"item with picture, clipboard", 15, 2, 2, true, true, 1, "111-111-1"},
        {"empty line", 15, 2, 3, true, false, -1, "001-100-0"},
        {"no day", 0, 0, 0, true, false, -1, "000-000-0"},
        {"item of a cell without day", 0, 2, 1, true, true, 0, "110-011-1"},
        {"[...] line", 16, 9, 7, false, true, 6, "110-111-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int cell = c.day ? cellOf(3, c.day) : cellOf(3, 1) - 1;
        DayCell& dayCell = CurDoc.Months(3).Cells(cell);
        ListClear(dayCell);
        addItems(3, cell, c.items);
        if (c.selItem >= 0 && c.picture)
            dayCell.Items[size_t(c.selItem)].PictureFile = QStringLiteral("/images/photo.jpg");
        GridClip.ClipMode = c.clipboard ? ClipboardMode::Copy : ClipboardMode::None;
        SelMonth = SelCell = SelItem = 99;

        FrmMonthModele& march = MonthForms(3).get();
        Label* line = c.line ? &march.LblEV(c.line)(cell) : nullptr;
        int borderWhileOpen = -1;
        services.forms->onPopup = [&](Menu&) {
            if (line) borderWhileOpen = line->BorderStyle();
            return -1;
        };
        const size_t before = services.forms->popups.size();
        click(3, cell, c.line, Qt::RightButton);
        ASSERT_EQ(services.forms->popups.size(), before + 1); // opens even with all disabled
        const auto& popup = services.forms->popups.back();
        EXPECT_EQ(popup.menu, QStringLiteral("mnuEdit"));
        QString enabled;
        for (int i = 0; i <= 8; ++i)
            enabled += i == 3 || i == 7 ? QChar('-') : popup.enabled[size_t(i)] ? '1' : '0';
        EXPECT_EQ(enabled, QString::fromLatin1(c.enabled));
        EXPECT_EQ(SelMonth, 3);
        EXPECT_EQ(SelCell, cell);
        EXPECT_EQ(SelItem, c.selItem);
        if (line) {
            // Framed while the menu is open on an item, never on an empty line; no frame after.
            EXPECT_EQ(borderWhileOpen, c.selItem >= 0 ? 1 : 0);
            EXPECT_EQ(line->BorderStyle(), 0);
        }
    }
}

TEST_F(DaySelectionTest, CopyCutAndPasteFromTheMenu) {
    DayCell& source = addItems(3, cellOf(3, 10), 2);
    source.Items[1].Text = QStringLiteral("Loyer      450");
    source.Items[1].Kind = ItemKind::Expense;
    source.Items[1].SourceKey = QStringLiteral("AE0000000000000007");
    rightClick(3, cellOf(3, 10), 2, 1); // Copy
    EXPECT_EQ(GridClip.ClipMode, ClipboardMode::Copy);

    const int target = cellOf(4, 2);
    rightClick(4, target, 0, 2); // Paste on the day number
    const DayCell& pasted = CurDoc.Months(4).Cells(target);
    ASSERT_EQ(pasted.Count, 1);
    EXPECT_EQ(pasted.Items[0].Text, QStringLiteral("Loyer      450"));
    EXPECT_EQ(pasted.Items[0].Kind, ItemKind::Expense);
    EXPECT_EQ(pasted.Items[0].SourceKey, QString());
    EXPECT_EQ(source.Count, 2); // a copy leaves the source in place
    EXPECT_EQ(source.Items[1].SourceKey, QStringLiteral("AE0000000000000007"));

    // A cut item leaves its day when it is pasted.
    rightClick(3, cellOf(3, 10), 1, 0); // Cut
    rightClick(4, target, 0, 2);
    ASSERT_EQ(source.Count, 1);
    EXPECT_EQ(source.Items[0].Text, QStringLiteral("Loyer      450"));
    ASSERT_EQ(pasted.Count, 2);
    EXPECT_EQ(pasted.Items[1].Text, QStringLiteral("Article 0"));
}

TEST_F(DaySelectionTest, TheOverflowLineActsOnItemSix) {
    const int cell = cellOf(3, 20);
    DayCell& dayCell = addItems(3, cell, 8);
    rightClick(3, cell, 7, 1); // Copy on "[...]"
    EXPECT_EQ(GridClip.ClipIndex, 6);
    EXPECT_EQ(GridClip.ClipItem.Text, QStringLiteral("Article 6"));

    rightClick(3, cell, 7, 6); // Delete on "[...]"
    ASSERT_EQ(dayCell.Count, 7);
    EXPECT_EQ(dayCell.Items[5].Text, QStringLiteral("Article 5"));
    EXPECT_EQ(dayCell.Items[6].Text, QStringLiteral("Article 7"));
    EXPECT_EQ(MonthForms(3)->LblEV7(cell).BorderStyle(), 0);
}

// Edit... and Show Picture... work on the events page: they switch to it and make the clicked
// day current before they select the clicked item's row, so they never act on another day's
// rows still in the list.
TEST_F(DaySelectionTest, EditAndShowPictureSelectTheClickedDayFirst) {
    FrmMainForm& main = FrmMain.get();
    const int day = cellOf(3, 15);
    const int noDay = cellOf(3, 1) - 1;
    for (int cell : {day, noDay}) {
        DayCell& items = addItems(3, cell, 2);
        items.Items[1].PictureFile = QStringLiteral("/images/photo.jpg");
    }
    for (int entry : {5, 8}) {
        SCOPED_TRACE(entry);
        for (int cell : {day, noDay}) {
            // The list still shows three rows of another day, and the Commands page is shown.
            main.LstEV.Clear();
            for (int i = 0; i < 3; ++i)
                main.LstEV.AddItem(QStringLiteral("Autre jour %1").arg(i));
            main.TbMenu.setTab(5);
            rightClick(3, cell, 2, entry);
            EXPECT_EQ(main.TbMenu.Tab(), 4);
            if (cell == day) {
                EXPECT_EQ(CurMonth, 3);
                EXPECT_EQ(CurCell, day);
                EXPECT_EQ(main.TxtEVSelDate.Text(), QStringLiteral("15 mars 2004"));
                EXPECT_EQ(main.LstEV.ListIndex(), 1);
            } else {
                // A cell that shows no day becomes no current day, and no row is chosen.
                EXPECT_EQ(CurMonth, 0);
                EXPECT_EQ(main.LstEV.ListIndex(), -1);
            }
        }
    }
}
