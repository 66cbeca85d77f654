#include "document/compare.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

EVItem sampleEV() {
    EVItem e;
    e.AlarmOn = -1;
    e.AlarmDaysBefore = 3;
    e.Sound = 2;
    e.Checked = 0;
    e.Text = QStringLiteral("Loyer      12");
    e.Kind = ItemKind::Expense;
    e.Colour = -1;
    e.PictureFile = QStringLiteral("/p/a.jpg");
    e.SourceKey = QStringLiteral("AE0000000000000001");
    return e;
}

AEItem sampleAE() {
    AEItem a;
    a.Recurrence = AERecurrence::Weekly;
    a.Day = 4;
    a.Month = 0;
    a.StartDate = {10, 3, 2004};
    a.EndDate = {7, 4, 2004};
    a.Key = QStringLiteral("AE0000000000000001");
    a.Text = QStringLiteral("Piscine");
    a.Kind = ItemKind::Event;
    return a;
}

} // namespace

TEST(Compare, DayItems) {
    const EVItem a = sampleEV();
    EXPECT_FALSE(CompareEVItem(a, a));
    // Not compared: the tick, the picture object, the source key.
    EVItem b = a;
    b.Checked = -1;
    b.Picture = rt::Picture::fromImage(QImage(2, 2, QImage::Format_RGB32));
    b.SourceKey.clear();
    EXPECT_FALSE(CompareEVItem(a, b));
    EXPECT_FALSE(CompareEVItem(b, a));
    // Every compared field counts.
    const std::vector<std::function<void(EVItem&)>> changes = {
        [](EVItem& e) { e.Text = QStringLiteral("loyer      12"); },
        [](EVItem& e) { e.Text = QStringLiteral("Loyer      12.0"); },
        [](EVItem& e) { e.Text += u' '; },
        [](EVItem& e) { e.AlarmDaysBefore = 4; },
        [](EVItem& e) { e.AlarmOn = 1; }, // -1 and 1 differ
        [](EVItem& e) { e.Sound = 0; },
        [](EVItem& e) { e.Kind = ItemKind::Income; },
        [](EVItem& e) { e.Colour = 255; },
        [](EVItem& e) { e.PictureFile = QStringLiteral("/p/b.jpg"); },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        EVItem c = a;
        changes[i](c);
        EXPECT_TRUE(CompareEVItem(a, c)) << "change " << i;
        EXPECT_TRUE(CompareEVItem(c, a)) << "change " << i;
    }
}

TEST(Compare, AutoEventsIgnoreTheirKey) {
    const AEItem a = sampleAE();
    AEItem b = a;
    b.Key = QStringLiteral("AE0000000000000002");
    EXPECT_FALSE(CompareAEItem(a, b));
    const std::vector<std::function<void(AEItem&)>> changes = {
        [](AEItem& e) { e.Recurrence = AERecurrence::EveryTwoWeeks; },
        [](AEItem& e) { e.Day = 5; },
        [](AEItem& e) { e.Month = 1; },
        [](AEItem& e) { e.StartDate.Day = 11; },
        [](AEItem& e) { e.StartDate.Month = 4; },
        [](AEItem& e) { e.EndDate.Year = 2005; },
        [](AEItem& e) {
            e.EndDate = {32, 1, 2004};
        },
        [](AEItem& e) { e.Text = QStringLiteral("piscine"); },
        [](AEItem& e) { e.Kind = ItemKind::Income; },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        AEItem c = a;
        changes[i](c);
        EXPECT_TRUE(CompareAEItem(a, c)) << "change " << i;
    }
    // Dates compare as stored: (32, 1) and (1, 2) of one year differ.
    AEItem d1 = a, d2 = a;
    d1.EndDate = {32, 1, 2004};
    d2.EndDate = {1, 2, 2004};
    EXPECT_TRUE(CompareAEItem(d1, d2));
}

TEST(Compare, BirthdaysIgnoreTheirKey) {
    BDItem a{{29, 2, 1960}, QStringLiteral("BD0000000000000001"), QStringLiteral("Anne")};
    BDItem b = a;
    b.Key = QStringLiteral("BD0000000000000009");
    EXPECT_FALSE(CompareBDItem(a, b));
    b.Name = QStringLiteral("anne");
    EXPECT_TRUE(CompareBDItem(a, b));
    b = a;
    b.BirthDate.Year = 1961;
    EXPECT_TRUE(CompareBDItem(a, b));
}

TEST(Compare, DebtsAndSavingsCompareEveryField) {
    DEItem a{-1, {1, 1, 2004}, QStringLiteral("Livret     500")};
    DEItem b = a;
    EXPECT_FALSE(CompareDEItem(a, b));
    b.IsSaving = 0;
    EXPECT_TRUE(CompareDEItem(a, b));
    b = a;
    b.StartDate.Day = 2;
    EXPECT_TRUE(CompareDEItem(a, b));
    b = a;
    b.Text = QStringLiteral("Livret     500.0");
    EXPECT_TRUE(CompareDEItem(a, b));
}

TEST(Compare, ColourSetsIgnoreModified) {
    ColourSet a;
    a.CellBack = 0xFFFFFF;
    a.ShowGrid = -1;
    ColourSet b = a;
    b.Modified = -1;
    EXPECT_FALSE(CompareColourSet(a, b));
    int32_t ColourSet::*colours[] = {
        &ColourSet::CellBack,    &ColourSet::DayText,    &ColourSet::TodayText,
        &ColourSet::SelCellBack, &ColourSet::EventText,  &ColourSet::HeaderBack,
        &ColourSet::HeaderText,  &ColourSet::IncomeText, &ColourSet::ExpenseText};
    for (auto field : colours) {
        ColourSet c = a;
        c.*field += 1;
        EXPECT_TRUE(CompareColourSet(a, c));
    }
    b = a;
    b.ShowGrid = 0;
    EXPECT_TRUE(CompareColourSet(a, b));
    b = a;
    b.UseDefault = -1;
    EXPECT_TRUE(CompareColourSet(a, b));
}

TEST(Compare, ImageItemsComparePicturesByIdentity) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("fond.bmp"));
    QImage image(3, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(file));

    ImageItem a;
    a.FileName = file;
    a.Mode = ImageMode::Tiled;
    a.Picture = rt::LoadPicture(file);

    // One shared picture: equal; Modified takes no part.
    ImageItem shared = a;
    shared.Modified = -1;
    EXPECT_FALSE(CompareImageItem(a, shared));
    // The same file loaded twice: two pictures, different.
    ImageItem reloaded = a;
    reloaded.Picture = rt::LoadPicture(file);
    EXPECT_TRUE(CompareImageItem(a, reloaded));
    // Two empty pictures are equal.
    ImageItem e1, e2;
    e1.Picture = rt::Picture::empty();
    e2.Picture = rt::Picture::empty();
    EXPECT_FALSE(CompareImageItem(e1, e2));
    // No picture object on one side: the other fields decide.
    ImageItem none = a;
    none.Picture = rt::Picture();
    EXPECT_FALSE(CompareImageItem(none, a));
    EXPECT_FALSE(CompareImageItem(a, none));
    none.Mode = ImageMode::Stretched;
    EXPECT_TRUE(CompareImageItem(none, a));
    // The other fields.
    ImageItem c = a;
    c.UseDefault = -1;
    EXPECT_TRUE(CompareImageItem(a, c));
    c = a;
    c.FileName += u'x';
    EXPECT_TRUE(CompareImageItem(a, c));
}
