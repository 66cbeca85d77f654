// The ask-save step: the list of changed parts and the partial save.

#include "core/resources.h"
#include "roads_fixture.h"

TEST_F(RoadsTest, ChangedPartsAreListedInTheFixedOrder) {
    startDocument();
    SetModified(DocPart::Header, -1, 0);
    SetModified(DocPart::MonthDays, -1, 3);
    QStringList t;
    for (const AskSaveLine& l : ChangedPartLines(CurDoc))
        t << l.Text;
    EXPECT_EQ(t, (QStringList{QStringLiteral("En-tête (auteur, année, mois à l'ouverture ou "
                                             "options d'enregistrement)"),
                              QStringLiteral("Événements  ... Mars")}));

    SetModified(DocPart::All, -1, 0);
    t.clear();
    for (const AskSaveLine& l : ChangedPartLines(CurDoc))
        t << l.Text;
    ASSERT_EQ(t.size(), 42);
    EXPECT_EQ(t.mid(1, 5),
              (QStringList{rt::LoadResString(1309), rt::LoadResString(1310),
                           QStringLiteral("Auto-Évenements"), QStringLiteral("Anniversaires"),
                           QStringLiteral("Dettes/Épargne")}));
    EXPECT_EQ(t[17], QStringLiteral("Événements  ... Décembre"));
    EXPECT_EQ(t[18], QStringLiteral("Paramètres de l'image de fond  ... Janvier"));
    EXPECT_EQ(t[41], QStringLiteral("Paramètres des couleurs  ... Décembre"));
}

TEST_F(RoadsTest, YesWithOnlyTheAutoEventsSelectedWritesTheNewListWithTheOldDayItems) {
    const QString file = path("ae.cal");
    startDocument();
    ListAppend(CurDoc.Months(2).Cells(9), event(QStringLiteral("Ancien")));
    saveAsIs(file);
    AEItem ae;
    ae.Recurrence = AERecurrence::Yearly;
    ae.Key = QStringLiteral("AE0000000000000001");
    ae.Text = QStringLiteral("Fête");
    ListAppend(CurDoc.AutoEvents, ae);
    SetModified(DocPart::AutoEvents, -1, 0);
    EVItem generated = event(QStringLiteral("Fête"));
    generated.SourceKey = ae.Key;
    ListAppend(CurDoc.Months(2).Cells(9), generated);
    SetModified(DocPart::MonthDays, -1, 2);
    changeAuthor(QStringLiteral("Abandonné"));
    CurDoc.Months(7).Colours.CellBack = 0x0000FF00;
    SetModified(DocPart::MonthColours, -1, 7);
    // Lines: header, auto-events, February's day items, July's colours.
    replyAskSave(Reply::Yes, {0, 2, 3});

    EXPECT_TRUE(SaveDocument(false, false));

    EXPECT_EQ(askSaveSeen.at(0).Lines.at(1), QStringLiteral("Auto-Évenements"));
    const CalDocument written = readBack(file);
    EXPECT_EQ(written.AutoEvents.Count, 1);
    EXPECT_EQ(written.Months(2).Cells(9).Count, 1);
    EXPECT_EQ(written.Months(2).Cells(9).Items[0].Text, QStringLiteral("Ancien"));
    EXPECT_TRUE(written.Author.isEmpty());
    EXPECT_EQ(written.Months(7).Colours.CellBack, 0x00FFFFFF);
    // The live document becomes what was written: the other changes are dropped.
    EXPECT_EQ(stored(CurDoc), stored(written));
    EXPECT_EQ(stored(SavedDoc), stored(written));
    EXPECT_FALSE(views_->Caption.endsWith(u'*'));
    EXPECT_EQ(views_->CallsOf("ShowMonthWindows").size(), 1);
}

TEST_F(RoadsTest, YesWithNoLineSelectedWritesTheLastSavedDocumentAndDropsEveryChange) {
    const QString file = path("none.cal");
    startDocument(file, true);
    const QByteArray savedText = stored(SavedDoc);
    changeAuthor(QStringLiteral("Oublié"));
    ListAppend(CurDoc.Birthdays, BDItem{MakeDate(1, 5, 1980), QStringLiteral("BD1"), "Paul"});
    SetModified(DocPart::Birthdays, -1, 0);
    ASSERT_TRUE(QFile::remove(file));
    replyAskSave(Reply::Yes, {0, 1});

    EXPECT_TRUE(SaveDocument(false, false));

    EXPECT_EQ(stored(readBack(file)), savedText);
    EXPECT_EQ(stored(CurDoc), savedText);
    EXPECT_EQ(CurDoc.IsSaved, -1);
}

// Mend: after a change of year the cells are laid out for the new year, so the header and the
// day items of all twelve months are written together or not at all.
struct YearGroupCase {
    const char* name;
    std::set<int> deselect; // lines: 0 header, 1 auto-events, 2 March's day items
    bool groupWritten;
};

inline void PrintTo(const YearGroupCase& c, std::ostream* os) {
    *os << c.name;
}

class YearGroupTest : public RoadsTest, public ::testing::WithParamInterface<YearGroupCase> {};

TEST_P(YearGroupTest, HeaderAndDayItemsTravelTogether) {
    const YearGroupCase& c = GetParam();
    const QString file = path("year.cal");
    startDocument();
    ListAppend(CurDoc.Months(3).Cells(8), event(QStringLiteral("lundi 1er mars 2004")));
    ListAppend(CurDoc.Months(9).Cells(10), event(QStringLiteral("mercredi 1er sept. 2004")));
    saveAsIs(file);
    // The year becomes 2005 and every item moves to its cell in the new year; September's
    // move is not marked.
    CurDoc.Year = QStringLiteral("2005");
    SetModified(DocPart::Header, -1, 0);
    ListAppend(CurDoc.AutoEvents, AEItem{});
    SetModified(DocPart::AutoEvents, -1, 0);
    std::swap(CurDoc.Months(3).Cells(8), CurDoc.Months(3).Cells(9));
    SetModified(DocPart::MonthDays, -1, 3);
    std::swap(CurDoc.Months(9).Cells(10), CurDoc.Months(9).Cells(11));
    replyAskSave(Reply::Yes, c.deselect);

    EXPECT_TRUE(SaveDocument(false, false));

    const CalDocument written = readBack(file);
    EXPECT_EQ(written.Year, c.groupWritten ? QStringLiteral("2005") : QStringLiteral("2004"));
    EXPECT_EQ(written.Months(3).Cells(c.groupWritten ? 9 : 8).Count, 1);
    EXPECT_EQ(written.Months(9).Cells(c.groupWritten ? 11 : 10).Count, 1);
    EXPECT_EQ(written.AutoEvents.Count, c.deselect.count(1) ? 0 : 1);
    EXPECT_EQ(stored(CurDoc), stored(written));
}

INSTANTIATE_TEST_SUITE_P(Cases, YearGroupTest,
                         ::testing::Values(YearGroupCase{"HeaderWithoutDays", {2}, false},
                                           YearGroupCase{"DaysWithoutHeader", {0}, false},
                                           YearGroupCase{"GroupWithoutAutoEvents", {1}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RoadsTest, TheHeaderGoesWithoutTheDayItemsOnlyInTheSameYear) {
    startDocument();
    changeAuthor(QStringLiteral("Nouvel auteur"));
    ListAppend(CurDoc.Months(3).Cells(9), event(QStringLiteral("x")));
    SetModified(DocPart::MonthDays, -1, 3);
    const auto lines = ChangedPartLines(CurDoc);
    CalDocument doc = DocumentWithParts(SavedDoc, CurDoc, lines, {true, false});
    EXPECT_EQ(doc.Author, QStringLiteral("Nouvel auteur"));
    EXPECT_EQ(doc.Months(3).Cells(9).Count, 0);

    CurDoc.Year = QStringLiteral("2005");
    doc = DocumentWithParts(SavedDoc, CurDoc, lines, {true, false});
    EXPECT_TRUE(doc.Author.isEmpty());
    EXPECT_EQ(doc.Year, QStringLiteral("2004"));
    doc = DocumentWithParts(SavedDoc, CurDoc, lines, {true, true});
    EXPECT_EQ(doc.Year, QStringLiteral("2005"));
    EXPECT_EQ(doc.Months(3).Cells(9).Count, 1);
}
