#include "doc_fixture.h"
#include "document/modified.h"

namespace {

// The names of the flags set in the live document, in a fixed order.
QStringList setFlags() {
    QStringList out;
    const CalDocument& d = CurDoc;
    if (d.HeaderModified) out << QStringLiteral("Header");
    if (d.AutoEvents.Modified) out << QStringLiteral("AutoEvents");
    if (d.DebtsSavings.Modified) out << QStringLiteral("DebtsSavings");
    if (d.DefaultBackground.Modified) out << QStringLiteral("DefaultBackground");
    if (d.DefaultColours.Modified) out << QStringLiteral("DefaultColours");
    if (d.Birthdays.Modified) out << QStringLiteral("Birthdays");
    for (int m = 1; m <= 12; ++m) {
        if (d.Months(m).DaysModified) out << QStringLiteral("Days%1").arg(m);
        if (d.Months(m).Background.Modified) out << QStringLiteral("Background%1").arg(m);
        if (d.Months(m).Colours.Modified) out << QStringLiteral("Colours%1").arg(m);
    }
    return out;
}

} // namespace

using Modified = DocTest;

TEST_F(Modified, EachPartWritesItsOwnFlag) {
    struct Case {
        int32_t part;
        const char* flag;
    } cases[] = {
        {1, "Header"},      {2, "AutoEvents"}, {3, "DebtsSavings"},      {4, "Days5"},
        {5, "Background5"}, {6, "Colours5"},   {7, "DefaultBackground"}, {8, "DefaultColours"},
        {9, "Birthdays"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.part);
        CurDoc = CalDocument{};
        SetModified(c.part, -1, 5);
        EXPECT_EQ(setFlags(), QStringList{QString::fromLatin1(c.flag)});
        EXPECT_EQ(CurDoc.IsSaved, 0);
        SetModified(c.part, 0, 5);
        EXPECT_TRUE(setFlags().isEmpty());
        EXPECT_EQ(CurDoc.IsSaved, -1);
    }
}

TEST_F(Modified, AllWritesEveryFlag) {
    SetModified(DocPart::All, -1, 0);
    EXPECT_EQ(setFlags().size(), 42);
    EXPECT_EQ(CurDoc.IsSaved, 0);
    SetModified(DocPart::All, 0, 7);
    EXPECT_TRUE(setFlags().isEmpty());
    EXPECT_EQ(CurDoc.IsSaved, -1);
}

TEST_F(Modified, UnknownPartsAndMonthsWriteNothingButStillRecompute) {
    CurDoc.IsSaved = 0; // stale
    for (auto [part, month] : {std::pair{4, 0}, {5, 13}, {6, -1}, {10, 1}, {-1, 1}}) {
        SetModified(part, -1, int16_t(month));
        EXPECT_TRUE(setFlags().isEmpty()) << part << "/" << month;
        EXPECT_EQ(CurDoc.IsSaved, -1);
    }
    EXPECT_EQ(views().CallsOf(QStringLiteral("SetMainCaption")).size(), 5);
}

TEST_F(Modified, ClearingOnePartKeepsTheDocumentChangedWhileAnotherIsSet) {
    SetModified(DocPart::AutoEvents, -1, 0);
    SetModified(DocPart::MonthDays, -1, 12);
    SetModified(DocPart::AutoEvents, 0, 0);
    EXPECT_EQ(CurDoc.IsSaved, 0);
    EXPECT_EQ(setFlags(), QStringList{QStringLiteral("Days12")});
}

TEST_F(Modified, ValueIsStoredUnchanged) {
    SetModified(DocPart::Header, 1, 0);
    EXPECT_EQ(CurDoc.HeaderModified, 1);
    EXPECT_EQ(CurDoc.IsSaved, 0);
}

TEST_F(Modified, Captions) {
    // Untitled and changed, while editing.
    SetModified(DocPart::Header, -1, 0);
    EXPECT_EQ(views().Caption, QStringLiteral("Mirovanta v2.1 - [Sans nom]*"));
    // Saved under a name: the full path, no mark.
    CurDoc.FileName = QStringLiteral("/home/u/budget.cal");
    SetModified(DocPart::All, 0, 0);
    EXPECT_EQ(views().Caption, QStringLiteral("Mirovanta v2.1 - /home/u/budget.cal"));
    // While loading the file-name form is kept.
    views().State = QStringLiteral("Load");
    SetModified(DocPart::Birthdays, -1, 0);
    EXPECT_EQ(views().Caption, QStringLiteral("Mirovanta v2.1 - /home/u/budget.cal*"));
    // Before the first state switch too.
    views().State.clear();
    SetModified(DocPart::Birthdays, -1, 0);
    EXPECT_EQ(views().Caption, QStringLiteral("Mirovanta v2.1 - /home/u/budget.cal*"));
    // No document: name and version only, whatever the flags say.
    views().State = QStringLiteral("Logo");
    SetModified(DocPart::Header, -1, 0);
    EXPECT_EQ(views().Caption, QStringLiteral("Mirovanta v2.1 pour Windows"));
    EXPECT_EQ(CurDoc.IsSaved, 0);
}
