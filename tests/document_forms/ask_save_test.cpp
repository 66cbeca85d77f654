// The ask-save step: the list of changed parts and the partial save.

#include "document/cal_reader.h"
#include "platform/resources.h"
#include "roads_fixture.h"

namespace {

EVItem event(const QString& text) {
    EVItem item;
    item.Text = text;
    item.Kind = ItemKind::Event;
    item.Colour = -1;
    return item;
}

CalDocument readBack(const QString& path) {
    CalDocument doc = BlankDocument(true);
    EXPECT_TRUE(LoadCalFile(path, doc)) << path.toStdString();
    return doc;
}

QStringList texts(const std::vector<AskSaveLine>& lines) {
    QStringList out;
    for (const AskSaveLine& l : lines)
        out << l.Text;
    return out;
}

} // namespace

TEST_F(RoadsTest, HeaderAndMarchDayItemsGiveTwoLines) {
    startDocument();
    SetModified(DocPart::Header, -1, 0);
    SetModified(DocPart::MonthDays, -1, 3);
    EXPECT_EQ(texts(ChangedPartLines(CurDoc)),
              (QStringList{QStringLiteral("En-tête (auteur, année, mois à l'ouverture ou "
                                          "options d'enregistrement)"),
                           QStringLiteral("Événements  ... Mars")}));
}

TEST_F(RoadsTest, EveryFlagGivesItsLineInTheFixedOrder) {
    startDocument();
    SetModified(DocPart::All, -1, 0);
    const std::vector<AskSaveLine> lines = ChangedPartLines(CurDoc);
    ASSERT_EQ(lines.size(), 42u);
    const QStringList t = texts(lines);
    EXPECT_EQ(t.mid(0, 6),
              (QStringList{rt::LoadResString(1306), rt::LoadResString(1309),
                           rt::LoadResString(1310), QStringLiteral("Auto-Évenements"),
                           QStringLiteral("Anniversaires"), QStringLiteral("Dettes/Épargne")}));
    EXPECT_EQ(t[6], QStringLiteral("Événements  ... Janvier"));
    EXPECT_EQ(t[17], QStringLiteral("Événements  ... Décembre"));
    EXPECT_EQ(t[18], QStringLiteral("Paramètres de l'image de fond  ... Janvier"));
    EXPECT_EQ(t[30], QStringLiteral("Paramètres des couleurs  ... Janvier"));
    EXPECT_EQ(t[41], QStringLiteral("Paramètres des couleurs  ... Décembre"));
    EXPECT_EQ(lines[29].Part, DocPart::MonthBackground);
    EXPECT_EQ(lines[29].Month, 12);
}

TEST_F(RoadsTest, YesWithOnlyTheAutoEventsSelectedWritesTheNewListWithTheOldDayItems) {
    const QString file = path("ae.cal");
    startDocument();
    ListAppend(CurDoc.Months(2).Cells(9), event(QStringLiteral("Ancien")));
    ASSERT_TRUE(SaveCalFile(file, CurDoc));
    SetModified(DocPart::All, 0, 0);
    SavedDoc = CurDoc;

    AEItem ae;
    ae.Recurrence = AERecurrence::Yearly;
    ae.Day = 2;
    ae.Month = 2;
    ae.Key = QStringLiteral("AE0000000000000001");
    ae.Text = QStringLiteral("Fête");
    ae.Kind = ItemKind::Event;
    ListAppend(CurDoc.AutoEvents, ae);
    CurDoc.AutoEvents.NextKey = 1;
    SetModified(DocPart::AutoEvents, -1, 0);
    EVItem generated = event(QStringLiteral("Fête"));
    generated.SourceKey = ae.Key;
    ListAppend(CurDoc.Months(2).Cells(9), generated);
    SetModified(DocPart::MonthDays, -1, 2);
    CurDoc.Author = QStringLiteral("Abandonné");
    SetModified(DocPart::Header, -1, 0);
    CurDoc.Months(7).Colours.CellBack = 0x0000FF00;
    SetModified(DocPart::MonthColours, -1, 7);
    // Lines: header, auto-events, February's day items, July's colours.
    replyAskSave(AskSaveReply::Yes, {0, 2, 3});

    EXPECT_TRUE(SaveDocument(false, false));

    ASSERT_EQ(askSaveSeen.size(), 1u);
    ASSERT_EQ(askSaveSeen[0].Lines.size(), 4);
    EXPECT_EQ(askSaveSeen[0].Lines[1], QStringLiteral("Auto-Évenements"));
    const CalDocument written = readBack(file);
    EXPECT_EQ(written.AutoEvents.Count, 1);
    EXPECT_EQ(written.AutoEvents.Items[0].Text, QStringLiteral("Fête"));
    EXPECT_EQ(written.Months(2).Cells(9).Count, 1);
    EXPECT_EQ(written.Months(2).Cells(9).Items[0].Text, QStringLiteral("Ancien"));
    EXPECT_TRUE(written.Author.isEmpty());
    EXPECT_EQ(written.Months(7).Colours.CellBack, 0x00FFFFFF);
    // The live document is now what was written: the other changes are dropped.
    EXPECT_EQ(WriteCalData(CurDoc), WriteCalData(written));
    EXPECT_EQ(WriteCalData(SavedDoc), WriteCalData(written));
    EXPECT_EQ(CurDoc.IsSaved, -1);
    EXPECT_FALSE(views().Caption.endsWith(u'*'));
    EXPECT_EQ(views().CallsOf("ShowMonthWindows").size(), 1);
}

TEST_F(RoadsTest, YesWithNoLineSelectedWritesTheLastSavedDocumentAndDropsEveryChange) {
    const QString file = path("none.cal");
    startSavedDocument(file);
    const QByteArray savedText = WriteCalData(SavedDoc);
    CurDoc.Author = QStringLiteral("Oublié");
    SetModified(DocPart::Header, -1, 0);
    ListAppend(CurDoc.Birthdays,
               BDItem{MakeDate(1, 5, 1980), QStringLiteral("BD1"), QStringLiteral("Paul")});
    SetModified(DocPart::Birthdays, -1, 0);
    ASSERT_TRUE(QFile::remove(file));
    replyAskSave(AskSaveReply::Yes, {0, 1});

    EXPECT_TRUE(SaveDocument(false, false));

    EXPECT_EQ(WriteCalData(readBack(file)), savedText);
    EXPECT_EQ(WriteCalData(CurDoc), savedText);
    EXPECT_EQ(CurDoc.IsSaved, -1);
}

TEST_F(RoadsTest, YesWithEveryLineSelectedWritesTheLiveDocumentWhole) {
    const QString file = path("all.cal");
    startSavedDocument(file);
    CurDoc.Author = QStringLiteral("Tout");
    SetModified(DocPart::All, -1, 0); // the longest list: 42 lines
    replyAskSave(AskSaveReply::Yes);

    EXPECT_TRUE(SaveDocument(false, false));

    EXPECT_EQ(askSaveSeen[0].Lines.size(), 42);
    EXPECT_EQ(readBack(file).Author, QStringLiteral("Tout"));
    EXPECT_EQ(CurDoc.Author, QStringLiteral("Tout"));
    EXPECT_EQ(CurDoc.IsSaved, -1);
    EXPECT_TRUE(views().CallsOf("ShowMonthWindows").isEmpty()); // nothing to rebuild
}

// After a change of year the cells are laid out for the new year: the header and the day items
// of the twelve months are written together or not at all.
struct YearGroupCase {
    const char* name;
    std::set<int> deselect; // lines: 0 header, 1 auto-events, 2 March's day items
    bool groupWritten;
    bool autoEventsWritten;
};

inline void PrintTo(const YearGroupCase& c, std::ostream* os) {
    *os << c.name;
}

class YearGroupTest : public RoadsTest, public ::testing::WithParamInterface<YearGroupCase> {};

TEST_P(YearGroupTest, HeaderAndDayItemsTravelTogether) {
    const YearGroupCase& c = GetParam();
    const QString file = path("year.cal");
    startDocument();
    ListAppend(CurDoc.Months(3).Cells(8), event(QStringLiteral("1er mars 2004")));   // a Monday
    ListAppend(CurDoc.Months(9).Cells(10), event(QStringLiteral("1er sept. 2004"))); // Wed.
    ASSERT_TRUE(SaveCalFile(file, CurDoc));
    SetModified(DocPart::All, 0, 0);
    SavedDoc = CurDoc;

    // The year becomes 2005, as the properties dialog does it: every item moves to its cell in
    // the new year. September's day items are moved without being marked.
    CurDoc.Year = QStringLiteral("2005");
    SetModified(DocPart::Header, -1, 0);
    ListAppend(CurDoc.AutoEvents, AEItem{});
    SetModified(DocPart::AutoEvents, -1, 0);
    ListClear(CurDoc.Months(3).Cells(8));
    ListAppend(CurDoc.Months(3).Cells(9), event(QStringLiteral("1er mars 2005"))); // Tuesday
    SetModified(DocPart::MonthDays, -1, 3);
    ListClear(CurDoc.Months(9).Cells(10));
    ListAppend(CurDoc.Months(9).Cells(11), event(QStringLiteral("1er sept. 2005"))); // Thu.
    replyAskSave(AskSaveReply::Yes, c.deselect);

    EXPECT_TRUE(SaveDocument(false, false));

    const CalDocument written = readBack(file);
    const bool oldYear = written.Year == QStringLiteral("2004");
    EXPECT_EQ(oldYear, !c.groupWritten);
    const int16_t marchCell = c.groupWritten ? 9 : 8;
    const int16_t septemberCell = c.groupWritten ? 11 : 10;
    EXPECT_EQ(written.Months(3).Cells(marchCell).Count, 1);
    EXPECT_EQ(written.Months(9).Cells(septemberCell).Count, 1);
    EXPECT_EQ(written.AutoEvents.Count, c.autoEventsWritten ? 1 : 0);
    EXPECT_EQ(WriteCalData(CurDoc), WriteCalData(written));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, YearGroupTest,
    ::testing::Values(YearGroupCase{"HeaderWithoutDays", {2}, false, true},
                      YearGroupCase{"DaysWithoutHeader", {0}, false, true},
                      YearGroupCase{"GroupWithoutAutoEvents", {1}, true, false},
                      YearGroupCase{"NothingButAutoEvents", {0, 2}, false, true}),
    [](const ::testing::TestParamInfo<YearGroupCase>& info) { return info.param.name; });

TEST_F(RoadsTest, TheYearGroupStaysApartWhenTheYearIsUnchanged) {
    startDocument();
    SavedDoc = CurDoc;
    CurDoc.Author = QStringLiteral("Nouvel auteur");
    SetModified(DocPart::Header, -1, 0);
    ListAppend(CurDoc.Months(3).Cells(9), event(QStringLiteral("x")));
    SetModified(DocPart::MonthDays, -1, 3);
    const std::vector<AskSaveLine> lines = ChangedPartLines(CurDoc);
    ASSERT_FALSE(YearChangedSinceSave());

    const CalDocument doc = DocumentWithParts(SavedDoc, CurDoc, lines, {true, false});

    EXPECT_EQ(doc.Author, QStringLiteral("Nouvel auteur"));
    EXPECT_EQ(doc.Months(3).Cells(9).Count, 0);
}

TEST_F(RoadsTest, NoWritesNothingAndCancelStops) {
    startDocument(path("never.cal"));
    SetModified(DocPart::DebtsSavings, -1, 0);
    replyAskSave(AskSaveReply::No);
    replyAskSave(AskSaveReply::Cancel);

    EXPECT_TRUE(SaveDocument(false, false));
    EXPECT_FALSE(SaveDocument(false, false));

    EXPECT_FALSE(QFile::exists(path("never.cal")));
    EXPECT_EQ(CurDoc.DebtsSavings.Modified, -1);
    EXPECT_EQ(askSaveSeen.size(), 2u);
}
