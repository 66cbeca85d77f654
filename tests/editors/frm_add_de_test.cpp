// The debt/saving editor: the debt/saving pair, the balance label that follows the date, the
// amount filter on the balance, and the record it stores.

#include "editors/frm_add_de.h"
#include "editors_fixture.h"

#include <QTest>

using FrmAddDETest = EditorTest;

TEST_F(FrmAddDETest, AnAddStoresTheTrimmedNameTheFilteredBalanceAndTheDate) {
    // Nothing typed: a debt of ten blanks with 0 from 1 January of the document's year.
    EXPECT_TRUE(open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [](FrmAddDEForm& f) {
        EXPECT_EQ(f.Caption(), QStringLiteral("Ajouter une Dette/Épargne"));
        EXPECT_EQ(f.LblGen(1).Caption(), QStringLiteral("Balance pour le 2004-01-01:"));
        click(f.CmdOk);
    }));
    ASSERT_EQ(CurDoc.DebtsSavings.Count, 1);
    EXPECT_EQ(CurDoc.DebtsSavings.Items[0].Text, QStringLiteral("           0"));
    EXPECT_EQ(CurDoc.DebtsSavings.Items[0].IsSaving, 0);
    EXPECT_EQ(DateToText(CurDoc.DebtsSavings.Items[0].StartDate), QStringLiteral("2004-01-01"));
    EXPECT_EQ(CurDoc.DebtsSavings.Modified, -1);

    EXPECT_TRUE(open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [](FrmAddDEForm& f) {
        f.ChkGen(1).userClicked();
        f.ChkGen(1).userClicked(); // the ticked box of the pair stays ticked
        EXPECT_EQ(f.ChkGen(0).Value() * 10 + f.ChkGen(1).Value(), 1);
        f.TxtGen(0).userEdited(QStringLiteral("  Auto  "));
        f.TxtGen(1).userEdited(QStringLiteral("-250"));
        EXPECT_EQ(f.TxtGen(1).Text(), QStringLiteral("250"));
        f.DtGen.userChanged(QDate(2004, 7, 14));
        EXPECT_EQ(f.LblGen(1).Caption(), QStringLiteral("Balance pour le 2004-07-14:"));
        click(f.CmdOk);
    }));
    ASSERT_EQ(CurDoc.DebtsSavings.Count, 2);
    EXPECT_EQ(CurDoc.DebtsSavings.Items[1].Text, QStringLiteral("Auto       250"));
    EXPECT_EQ(CurDoc.DebtsSavings.Items[1].IsSaving, -1);
    EXPECT_EQ(DateToText(CurDoc.DebtsSavings.Items[1].StartDate), QStringLiteral("2004-07-14"));
}

TEST_F(FrmAddDETest, AnEditStoresOnlyAChangeAndANormalisedBalanceCountsAsOne) {
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Épargne    300"), -1, {5, 2, 2004}));
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Prêt       12.50")));
    SetModified(DocPart::All, 0, 0);
    for (const char* typed : {"", "  Épargne "}) // unchanged, or blanks that are trimmed
        EXPECT_FALSE(open<FrmAddDEForm>(&ShowDEEditor, 1, 0, [&](FrmAddDEForm& f) {
            EXPECT_EQ(f.ChkGen(1).Value(), 1);
            EXPECT_EQ(f.TxtGen(0).Text(), QStringLiteral("Épargne"));
            EXPECT_EQ(f.DtGen.Value(), QDate(2004, 2, 5));
            if (*typed) f.TxtGen(0).userEdited(QString::fromUtf8(typed));
            click(f.CmdOk);
        }));
    EXPECT_EQ(CurDoc.DebtsSavings.Modified, 0);

    EXPECT_TRUE(open<FrmAddDEForm>(&ShowDEEditor, 1, 1, [](FrmAddDEForm& f) {
        EXPECT_EQ(f.TxtGen(1).Text(), QStringLiteral("12.5"));
        click(f.CmdOk);
    }));
    EXPECT_EQ(CurDoc.DebtsSavings.Items[1].Text, QStringLiteral("Prêt       12.5"));
    EXPECT_EQ(CurDoc.DebtsSavings.Modified, -1);
}

// Damaged files and documents: a balance longer than the box, a text shorter than the name's 10
// characters, a start date the calendar lacks, a year the date picker cannot show.
TEST_F(FrmAddDETest, DamagedRecordsAndYearsOpenWithoutLosingText) {
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Maison     1234567")));
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Court"), 0, {31, 2, 2004}));
    EXPECT_FALSE(open<FrmAddDEForm>(&ShowDEEditor, 1, 0, [](FrmAddDEForm& f) {
        EXPECT_EQ(f.TxtGen(1).Text(), QStringLiteral("1234567")); // not cut to 6 characters
        click(f.CmdOk);
    }));
    EXPECT_TRUE(open<FrmAddDEForm>(&ShowDEEditor, 1, 1, [](FrmAddDEForm& f) {
        EXPECT_EQ(f.TxtGen(0).Text(), QStringLiteral("Court"));
        EXPECT_EQ(f.TxtGen(1).Text(), QStringLiteral("0"));
        EXPECT_EQ(f.DtGen.Value(), QDate(2004, 3, 2));
        click(f.CmdOk);
    }));
    EXPECT_EQ(CurDoc.DebtsSavings.Items[1].Text, QStringLiteral("Court      0"));

    for (const char* year : {"99999", "abc"}) {
        CurDoc.Year = QString::fromUtf8(year);
        QDate start;
        open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [&](FrmAddDEForm& f) {
            start = f.DtGen.Value();
            click(f.CmdCancel);
        });
        EXPECT_EQ(start, year[0] == '9' ? QDate(9999, 1, 1) : QDate(1601, 1, 1)) << year;
    }
}

// Typed at the keyboard from the name box (a click on OK where said): the balance in the
// amount's normal form, whatever the decimal separator, and the start date shown.
TEST_F(FrmAddDETest, WhatIsTypedIsWhatIsStored) {
    using testing_support::KeyStep;
    const struct {
        const char* what;
        std::vector<KeyStep> keys;
        bool clickOk;
        const char* text;
        const char* start;
    } cases[] = {
        {"a comma, a day, Enter",
         {"Banque", Qt::Key_Tab, "187,45", Qt::Key_Tab, "15", Qt::Key_Return},
         false, "Banque     187.45", "2004-01-15"},
        {"a whole date", {Qt::Key_Tab, Qt::Key_Tab, "20022005", Qt::Key_Return}, false,
         "           0", "2005-02-20"},
        {"a day, a click on OK", {Qt::Key_Tab, "12.", Qt::Key_Tab, "15"}, true,
         "           12", "2004-01-15"},
    };
    for (const auto& c : cases) {
        ListClear(CurDoc.DebtsSavings);
        EXPECT_TRUE(open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [&](FrmAddDEForm& f) {
            testing_support::tabInto(f.TxtGen(0).widget());
            EXPECT_TRUE(testing_support::userTypes(c.keys)) << c.what;
            if (c.clickOk) QTest::mouseClick(f.CmdOk.widget(), Qt::LeftButton);
        })) << c.what;
        ASSERT_EQ(CurDoc.DebtsSavings.Count, 1) << c.what;
        EXPECT_EQ(CurDoc.DebtsSavings.Items[0].Text, QLatin1String(c.text)) << c.what;
        EXPECT_EQ(DateToText(CurDoc.DebtsSavings.Items[0].StartDate), QLatin1String(c.start))
            << c.what;
    }
}
