#include "cal_test_support.h"

#include "core/picture.h"
#include "document/doc_state.h"

namespace caltest {

namespace {

EVItem item(const QString& text, int32_t kind, const QString& picture = QString()) {
    EVItem ev;
    ev.Text = text;
    ev.Kind = kind;
    ev.Colour = -1;
    ev.PictureFile = picture;
    if (!picture.isEmpty()) ev.Picture = rt::LoadPicture(picture);
    return ev;
}

// The pictures that travel with a file, in the order the writer stores them.
std::vector<QImage> travellingPictures(const CalDocument& d) {
    std::vector<QImage> pictures;
    const auto add = [&](const rt::Picture& p) {
        pictures.push_back(p.isEmpty() ? QImage()
                                       : p.image().convertToFormat(QImage::Format_RGB32));
    };
    if (!d.DefaultBackground.FileName.isEmpty()) add(d.DefaultBackground.Picture);
    for (int m = 1; m <= 12; ++m) {
        const ImageItem& bg = d.Months(m).Background;
        if (!bg.FileName.isEmpty() && bg.UseDefault == 0) add(bg.Picture);
        for (int c = kFirstCell; c <= kLastCell; ++c)
            for (const EVItem& item : d.Months(m).Cells(c).Items)
                if (!item.PictureFile.isEmpty()) add(item.Picture);
    }
    return pictures;
}

} // namespace

CalDocument fullDocument(const QDir& dir) {
    CalDocument d;
    SetDocDefaults(d);
    d.Author = QStringLiteral("Zoë L’Œuvre – 12 €");
    d.OpenMonth = QStringLiteral("05");
    d.Year = QStringLiteral("2004");
    d.EmbedPictures = -1;
    d.Password = QStringLiteral("mot dé passe€");

    AEItem ae;
    ae.Recurrence = AERecurrence::Yearly;
    ae.Day = 14;
    ae.Month = 7;
    ae.StartDate = MakeDate(1, 1, 2004);
    ae.EndDate = MakeDate(31, 12, 2004);
    ae.Key = QStringLiteral("AE0000000000000006");
    ae.Text = QStringLiteral("Fête nationale œ");
    ae.Kind = ItemKind::Event;
    ListAppend(d.AutoEvents, ae);
    ae.Recurrence = AERecurrence::Monthly;
    ae.Day = 5;
    ae.Month = 0;
    ae.Key = QStringLiteral("AE0000000000000007");
    ae.Text = QStringLiteral("Loyer      650");
    ae.Kind = ItemKind::Expense;
    ListAppend(d.AutoEvents, ae);
    d.AutoEvents.NextKey = 7;

    DEItem de;
    de.IsSaving = -1;
    de.StartDate = MakeDate(2, 1, 2004);
    de.Text = QStringLiteral("Épargne    1500");
    ListAppend(d.DebtsSavings, de);
    de.IsSaving = 0;
    de.Text = QStringLiteral("Prêt       -300,50");
    ListAppend(d.DebtsSavings, de);

    BDItem bd;
    bd.BirthDate = MakeDate(29, 2, 1960);
    bd.Key = QStringLiteral("BD0000000000000003");
    bd.Name = QStringLiteral("Loïc’s “grand” jour");
    ListAppend(d.Birthdays, bd);
    d.Birthdays.NextKey = 3;

    EVItem ev = item(QStringLiteral("Réunion d’équipe"), ItemKind::Event);
    ev.AlarmOn = -1;
    ev.AlarmDaysBefore = 3;
    ev.Sound = 10;
    ev.Colour = 255;
    ev.SourceKey = QStringLiteral("AE0000000000000006");
    ListAppend(d.Months(3).Cells(9), ev);
    ListAppend(d.Months(3).Cells(9), item(QStringLiteral("Salaire    2000"), ItemKind::Income));
    EVItem checked = item(QStringLiteral("Cœur"), ItemKind::Expense,
                          makePicture(dir, QStringLiteral("cœur.bmp"), qRgb(200, 10, 10)));
    checked.Checked = -1;
    ListAppend(d.Months(3).Cells(9), checked);
    ListAppend(d.Months(12).Cells(48),
               item(QStringLiteral("Dernier"), ItemKind::Event,
                    makePicture(dir, QStringLiteral("dernier.bmp"), qRgb(0, 0, 250), 5, 9)));

    d.DefaultBackground.Mode = ImageMode::Tiled;
    d.DefaultBackground.FileName = makePicture(dir, QStringLiteral("fond.bmp"), qRgb(0, 128, 0));
    d.DefaultBackground.Picture = rt::LoadPicture(d.DefaultBackground.FileName);
    d.Months(2).Background.Mode = ImageMode::Stretched;
    d.Months(2).Background.UseDefault = 0;
    d.Months(2).Background.FileName =
        makePicture(dir, QStringLiteral("février.bmp"), qRgb(9, 9, 9));
    d.Months(2).Background.Picture = rt::LoadPicture(d.Months(2).Background.FileName);
    // Uses the default: its own name is kept but its picture never travels.
    d.Months(5).Background.UseDefault = -1;
    d.Months(5).Background.FileName = dir.filePath(QStringLiteral("mai.bmp"));

    d.DefaultColours.CellBack = 0x123456;
    d.DefaultColours.ShowGrid = 0;
    d.Months(4).Colours.UseDefault = 0;
    d.Months(4).Colours.ExpenseText = 0x00ABCDEF;
    d.Months(4).Colours.ShowGrid = -1;
    return d;
}

void expectSameDocument(const CalDocument& a, const CalDocument& b) {
    // The data text holds every stored field, in a layout tested on its own: equal texts mean
    // equal fields. Spot checks make a failure easier to read.
    EXPECT_EQ(a.Author, b.Author);
    EXPECT_EQ(a.AutoEvents.Count, b.AutoEvents.Count);
    EXPECT_EQ(a.Months(3).Cells(9).Count, b.Months(3).Cells(9).Count);
    EXPECT_EQ(rt::fromCp1252(WriteCalData(a)), rt::fromCp1252(WriteCalData(b)));
    for (const DayCell& cell : b.Months(3).Cells.Store)
        EXPECT_EQ(cell.Items.size(), size_t(cell.Count));
    const std::vector<QImage> pa = travellingPictures(a), pb = travellingPictures(b);
    ASSERT_EQ(pa.size(), pb.size());
    for (size_t i = 0; i < pa.size(); ++i)
        EXPECT_TRUE(pa[i] == pb[i]) << "picture " << i;
}

} // namespace caltest
