#include "common/test_support.h"
#include "core/numeric.h"
#include "core/system.h"
#include "doc_fixture.h"
#include "document/money_text.h"
#include "document/paths.h"

#include <QRandomGenerator>
#include <bit>

namespace {

int errorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const rt::RtError& e) {
        return e.Number;
    }
    return 0;
}

EVItem itemWithText(const QString& text) {
    EVItem item;
    item.Text = text;
    return item;
}

} // namespace

using Records = DocTest;

TEST_F(Records, CellsAndMonthsAreReachedByTheirOwnNumbers) {
    CalDocument doc;
    ListAppend(doc.Months(3).Cells(8), itemWithText(QStringLiteral("a")));
    EXPECT_EQ(doc.Months.Store[2].Cells.Store[1].Count, 1);
    EXPECT_EQ(errorNumberOf([&] { doc.Months(0); }), rt::ErrSubscript);
    EXPECT_EQ(errorNumberOf([&] { doc.Months(13); }), rt::ErrSubscript);
    EXPECT_EQ(errorNumberOf([&] { doc.Months(1).Cells(6); }), rt::ErrSubscript);
    EXPECT_EQ(errorNumberOf([&] { doc.Months(1).Cells(49); }), rt::ErrSubscript);
    EXPECT_EQ(errorNumberOf([&] { doc.Months(12).Cells(48); }), 0);
}

TEST_F(Records, ListHelpersKeepCountAndItemsTogether) {
    DayCell cell;
    for (const char* t : {"a", "b", "c"})
        ListAppend(cell, itemWithText(QString::fromLatin1(t)));
    ASSERT_EQ(cell.Count, 3);
    ListRemoveAt(cell, 1);
    ASSERT_EQ(cell.Count, 2);
    EXPECT_EQ(cell.Items[0].Text, QStringLiteral("a"));
    EXPECT_EQ(cell.Items[1].Text, QStringLiteral("c"));
    ListRemoveAt(cell, 2); // out of range: nothing
    ListRemoveAt(cell, -1);
    EXPECT_EQ(cell.Count, 2);
    ListClear(cell);
    EXPECT_EQ(cell.Count, 0);
    EXPECT_TRUE(cell.Items.empty());
}

TEST_F(Records, CopiesShareTheirPictures) {
    CurDoc.DefaultBackground.Picture = rt::Picture::fromImage(QImage(4, 4, QImage::Format_RGB32));
    CurDoc.DefaultBackground.FileName = QStringLiteral("/tmp/a.bmp");
    ListAppend(CurDoc.Months(1).Cells(10), itemWithText(QStringLiteral("x")));
    SavedDoc = CurDoc;
    EXPECT_TRUE(SavedDoc.DefaultBackground.Picture.sameObject(CurDoc.DefaultBackground.Picture));
    // Texts and lists are copies of their own.
    SavedDoc.Months(1).Cells(10).Items[0].Text = QStringLiteral("y");
    EXPECT_EQ(CurDoc.Months(1).Cells(10).Items[0].Text, QStringLiteral("x"));
    // So are an item's picture file and source key, which read as texts, empty or not; its
    // picture is shared.
    EVItem& item = CurDoc.Months(1).Cells(10).Items[0];
    item.PictureFile = QStringLiteral("/tmp/b.jpg");
    item.SourceKey = QStringLiteral("AE0000000000000001");
    item.Picture = CurDoc.DefaultBackground.Picture;
    EVItem copy = item;
    copy.PictureFile = QStringLiteral("/tmp/c.jpg");
    copy.SourceKey = QString();
    EXPECT_EQ(item.PictureFile, QStringLiteral("/tmp/b.jpg"));
    EXPECT_EQ(item.SourceKey.text(), QStringLiteral("AE0000000000000001"));
    EXPECT_TRUE(copy.SourceKey.isEmpty());
    EXPECT_TRUE(copy.SourceKey.text().isEmpty());
    EXPECT_TRUE(copy.Picture.sameObject(item.Picture));
    const RareText& same = copy.PictureFile;
    copy.PictureFile = same;
    EXPECT_EQ(copy.PictureFile, QStringLiteral("/tmp/c.jpg"));
    copy = item;
    EXPECT_EQ(copy.PictureFile, item.PictureFile);
    EXPECT_TRUE(copy.SourceKey.startsWith(QStringLiteral("AE")));
    item.PictureFile.clear();
    EXPECT_EQ(copy.PictureFile.left(5), QStringLiteral("/tmp/"));

    // A day's items are shared until a copy changes them, whichever way it changes them.
    const std::pair<const char*, std::function<void(DayCell&)>> changes[] = {
        {"append", [](DayCell& c) { ListAppend(c, itemWithText(QStringLiteral("z"))); }},
        {"remove", [](DayCell& c) { ListRemoveAt(c, 0); }},
        {"clear", [](DayCell& c) { ListClear(c); }},
        {"edit", [](DayCell& c) { c.Items[1].Text = QStringLiteral("z"); }},
        {"insert", [](DayCell& c) { c.Items.insert(c.Items.begin(), itemWithText("z")); }},
        {"erase", [](DayCell& c) { c.Items.erase(c.Items.begin() + 1, c.Items.end()); }},
        {"iterate",
         [](DayCell& c) {
             for (EVItem& e : c.Items)
                 e.Text += u'!';
         }},
    };
    auto textsOf = [](const DayCell& c) {
        QString texts;
        for (const EVItem& e : c.Items)
            texts += e.Text;
        return texts;
    };
    for (const auto& [name, change] : changes) {
        DayCell& cell = CurDoc.Months(2).Cells(20);
        ListClear(cell);
        ListAppend(cell, itemWithText(QStringLiteral("a")));
        ListAppend(cell, itemWithText(QStringLiteral("b")));
        SavedDoc = CurDoc;
        change(cell);
        EXPECT_NE(textsOf(cell), QStringLiteral("ab")) << name;
        EXPECT_EQ(textsOf(SavedDoc.Months(2).Cells(20)), QStringLiteral("ab")) << name;
    }
}

TEST_F(Records, BlankDocumentKeepingViewsChangesNothingButItsResult) {
    CurMonth = 3;
    CurCell = 10;
    CurDate = {3, 3, 2004};
    GridClip = {ClipboardMode::Copy, 3, 10, 0, itemWithText(QStringLiteral("clip"))};
    CurDoc.DefaultColours.CellBack = 0x123456;
    CurDoc.DefaultBackground.Picture = rt::Picture::fromImage(QImage(2, 2, QImage::Format_RGB32));

    const CalDocument blank = BlankDocument(true);
    EXPECT_EQ(CurMonth, 3);
    EXPECT_EQ(CurCell, 10);
    EXPECT_EQ(CurDate.Day, 3);
    EXPECT_EQ(GridClip.ClipMode, ClipboardMode::Copy);
    EXPECT_EQ(GridClip.ClipMonth, 3);
    EXPECT_TRUE(views().Calls.isEmpty());

    // Its months carry the live defaults of the moment; its own default is an empty picture.
    EXPECT_TRUE(blank.DefaultBackground.Picture.hasObject());
    EXPECT_EQ(blank.DefaultBackground.Picture.handle(), 0);
    EXPECT_EQ(blank.DefaultColours.CellBack, 0);
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(blank.Months(m).Colours.CellBack, 0x123456);
        EXPECT_TRUE(
            blank.Months(m).Background.Picture.sameObject(CurDoc.DefaultBackground.Picture));
    }
}

TEST_F(Records, BlankDocumentResetsDayClipboardAndWindows) {
    CurMonth = 3;
    CurCell = 10;
    CurDate = {3, 3, 2004};
    SelMonth = 4;
    SelCell = 12;
    SelItem = 2;
    GridClip = {ClipboardMode::Cut, 3, 10, 0, itemWithText(QStringLiteral("clip"))};
    CurDoc.DefaultColours.CellBack = 0xABCDEF;
    ListAppend(CurDoc.Months(2).Cells(9), itemWithText(QStringLiteral("gone")));

    CurDoc = BlankDocument(false);
    EXPECT_EQ(CurMonth, 0);
    EXPECT_EQ(CurCell, 0);
    EXPECT_EQ(CurDate.Day, 0);
    EXPECT_EQ(CurDate.Month, 0);
    EXPECT_EQ(CurDate.Year, 0);
    EXPECT_EQ(GridClip.ClipMode, ClipboardMode::None);
    EXPECT_EQ(GridClip.ClipMonth, -1);
    EXPECT_EQ(GridClip.ClipCell, -1);
    EXPECT_EQ(GridClip.ClipIndex, -1);
    EXPECT_EQ(GridClip.ClipItem.Text, QStringLiteral("clip")); // the copy stays
    EXPECT_EQ(SelMonth, 4);
    EXPECT_EQ(SelCell, 12);
    EXPECT_EQ(SelItem, 2);
    EXPECT_EQ(CurDoc.Months(2).Cells(9).Count, 0);
    // Each window is reset in the cell colour of the document being replaced, none unloaded.
    ASSERT_EQ(views().ResetMonths.size(), 12u);
    EXPECT_EQ(views().CallsOf(QStringLiteral("ResetMonthWindow(1,")).value(0),
              QStringLiteral("ResetMonthWindow(1,%1)").arg(0xABCDEF));
    EXPECT_TRUE(views().CallsOf(QStringLiteral("UnloadMonthWindow")).isEmpty());
}

TEST_F(Records, BlankDocumentAtShutdownUnloadsTheWindows) {
    views().State = QStringLiteral("Unload");
    CurDoc = BlankDocument(false);
    EXPECT_EQ(views().CallsOf(QStringLiteral("UnloadMonthWindow")).size(), 12);
    EXPECT_EQ(views().Calls.value(0), QStringLiteral("ResetMonthWindow(1,0)"));
    EXPECT_EQ(views().Calls.value(1), QStringLiteral("UnloadMonthWindow(1)"));
}

TEST_F(Records, NewDocumentDefaults) {
    testing_support::fixedSystem().Now = QDateTime(QDate(2007, 6, 1), QTime(8, 0));
    CurDoc = BlankDocument(false);
    SetDocDefaults(CurDoc);
    EXPECT_EQ(CurDoc.OpenMonth, QStringLiteral("00"));
    EXPECT_EQ(CurDoc.Year, QStringLiteral("2007"));
    EXPECT_EQ(CurDoc.EmbedPictures, -1);
    EXPECT_EQ(CurDoc.IsSaved, -1);
    EXPECT_EQ(CurDoc.DefaultBackground.UseDefault, -1);
    EXPECT_TRUE(CurDoc.Author.isEmpty());
    EXPECT_TRUE(CurDoc.FileName.isEmpty());
    EXPECT_TRUE(CurDoc.Password.isEmpty());
    const ColourSet& c = CurDoc.DefaultColours;
    const int32_t colours[] = {c.CellBack,   c.DayText,    c.TodayText,  c.SelCellBack, c.EventText,
                               c.HeaderBack, c.HeaderText, c.IncomeText, c.ExpenseText};
    const int32_t expected[] = {16777215, 12632256, 65535, 16711935, 0, 0, 16777215, 16711680, 255};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(colours[i], expected[i]) << "colour " << i;
    EXPECT_EQ(c.ShowGrid, -1);
    EXPECT_EQ(c.UseDefault, -1);
    EXPECT_EQ(c.Modified, 0);
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(CurDoc.Months(m).Colours.ExpenseText, 255);
        EXPECT_EQ(CurDoc.Months(m).Colours.UseDefault, -1);
        EXPECT_EQ(CurDoc.Months(m).Background.UseDefault, -1);
    }
}

TEST_F(Records, DocumentYearIsTheLeadingNumberOfTheYearText) {
    CurDoc.Year = QStringLiteral("2004");
    EXPECT_EQ(DocumentYear(), 2004);
    CurDoc.Year = QStringLiteral(" 2 005x");
    EXPECT_EQ(DocumentYear(), 2005);
    CurDoc.Year = QString();
    EXPECT_EQ(DocumentYear(), 0);
}

TEST(MoneyText, NameAndAmount) {
    EXPECT_EQ(MakeMoneyText(QStringLiteral("Loyer"), QStringLiteral("850")),
              QStringLiteral("Loyer      850"));
    EXPECT_EQ(MakeMoneyText(QStringLiteral("Abonnements"), QStringLiteral("12.5")),
              QStringLiteral("Abonnement 12.5"));
    EXPECT_EQ(MakeMoneyText(QStringLiteral("Eau"), QString()), QStringLiteral("Eau        "));
    EXPECT_EQ(MoneyName(QStringLiteral("  Loyer    850")), QStringLiteral("Loyer"));
    EXPECT_EQ(MoneyName(QStringLiteral("Eau")), QStringLiteral("Eau"));
    EXPECT_DOUBLE_EQ(MoneyAmount(QStringLiteral("Loyer       1 000")), 1000);
    EXPECT_DOUBLE_EQ(MoneyAmount(QStringLiteral("Loyer      12,50")), 12);
    EXPECT_DOUBLE_EQ(MoneyAmount(QStringLiteral("Loyer      12.50")), 12.5);
    EXPECT_DOUBLE_EQ(MoneyAmount(QStringLiteral("Loyer      abc")), 0);
    EXPECT_DOUBLE_EQ(MoneyAmount(QStringLiteral("Loyer")), 0);
    // The name field is exactly 10 characters: digits inside it are not part of the amount.
    EXPECT_DOUBLE_EQ(MoneyAmount(QStringLiteral("Lot 123456 7")), 7);
}

// An amount is the text after the ten characters of the name, read as Val reads it.
TEST(MoneyText, AmountsAreReadAfterTheirNameAsValReadsThem) {
    EXPECT_EQ(MoneyAmount(QStringLiteral("Poste      12.5")), 12.5);
    EXPECT_EQ(MoneyAmount(QStringLiteral("Poste     -1 000,5")), -1000);
    EXPECT_EQ(MoneyAmount(QStringLiteral("12345678901.5")), 1.5);
    EXPECT_EQ(MoneyAmount(QStringLiteral("Poste     ")), 0);
    EXPECT_EQ(MoneyAmount(QString()), 0);
}

TEST(Paths, AddBackslashAppendsOneSeparator) {
    EXPECT_EQ(AddBackslash(QStringLiteral("/home/u")), QStringLiteral("/home/u/"));
    EXPECT_EQ(AddBackslash(QStringLiteral("/home/u/")), QStringLiteral("/home/u/"));
    EXPECT_EQ(AddBackslash(QString()), QStringLiteral("/"));
    EXPECT_EQ(AddBackslash(QStringLiteral("/")), QStringLiteral("/"));
}
