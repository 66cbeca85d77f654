// The debt/saving editor: captions, the debt/saving pair, the balance label that follows the
// date, the amount filter on the balance, and the record it stores.

#include "document/money_text.h"
#include "editors/frm_add_de.h"
#include "editors_fixture.h"

using FrmAddDETest = EditorTest;

namespace {

void ok(FrmAddDEForm& f) {
    f.CmdOk.raiseEvent(rt::Event::Click);
}

} // namespace

TEST_F(FrmAddDETest, AnAddWithNothingTypedStoresADebtOfTenBlanksFromTheFirstOfJanuary) {
    const bool changed = open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [this](FrmAddDEForm& f) {
        EXPECT_EQ(f.Caption(), QStringLiteral("Ajouter une Dette/Épargne"));
        EXPECT_EQ(f.TbAddDE.TabCaption(0), QStringLiteral("Général"));
        EXPECT_EQ(f.LblGenSect(0).Caption(), QStringLiteral("Dettes/Épargne"));
        EXPECT_EQ(f.LblGenSect(1).Caption(), QStringLiteral("Étendue"));
        EXPECT_EQ(f.ChkGen(0).Caption() + f.ChkGen(1).Caption(), QStringLiteral("&Dette&Épargne"));
        EXPECT_EQ(f.LblGen(0).Caption(), QStringLiteral("Description:"));
        EXPECT_EQ(f.LblGen(1).Caption(), QStringLiteral("Balance pour le 2004-01-01:"));
        EXPECT_EQ(f.LblGen(2).Caption(), QStringLiteral("Date du début de la Dette/Épargne:"));
        EXPECT_EQ(f.CmdOk.Caption() + f.CmdCancel.Caption(), QStringLiteral("&Ok&Annuler"));
        EXPECT_EQ(f.CmdHelp.ToolTipText(), QStringLiteral("Aide..."));
        EXPECT_FALSE(f.CmdHelp.Picture().isEmpty());
        EXPECT_TRUE(f.CmdOk.Default());
        EXPECT_EQ(f.ChkGen(0).Value(), 1);
        EXPECT_EQ(f.ChkGen(1).Value(), 0);
        EXPECT_EQ(f.TxtGen(1).Text(), QStringLiteral("0"));
        EXPECT_EQ(f.DtGen.Value(), QDate(2004, 1, 1));
        grab(f, QStringLiteral("frm_add_de"));
        ok(f);
    });
    EXPECT_TRUE(changed);
    ASSERT_EQ(CurDoc.DebtsSavings.Count, 1);
    const DEItem& d = CurDoc.DebtsSavings.Items[0];
    EXPECT_EQ(d.IsSaving, 0);
    EXPECT_EQ(d.Text, QStringLiteral("           0"));
    EXPECT_EQ(DateToText(d.StartDate), QStringLiteral("2004-01-01"));
    EXPECT_EQ(CurDoc.DebtsSavings.Modified, -1);
    EXPECT_EQ(CurDoc.IsSaved, 0);
}

TEST_F(FrmAddDETest, DebtAndSavingActAsAPairOfOptionButtons) {
    open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [](FrmAddDEForm& f) {
        f.ChkGen(1).userClicked();
        EXPECT_EQ(f.ChkGen(0).Value(), 0);
        EXPECT_EQ(f.ChkGen(1).Value(), 1);
        f.ChkGen(1).userClicked(); // the ticked box stays ticked
        EXPECT_EQ(f.ChkGen(0).Value(), 0);
        EXPECT_EQ(f.ChkGen(1).Value(), 1);
        f.ChkGen(0).userClicked();
        EXPECT_EQ(f.ChkGen(0).Value(), 1);
        EXPECT_EQ(f.ChkGen(1).Value(), 0);
        f.ChkGen(1).userClicked();
        ok(f);
    });
    ASSERT_EQ(CurDoc.DebtsSavings.Count, 1);
    EXPECT_EQ(CurDoc.DebtsSavings.Items[0].IsSaving, -1);
}

TEST_F(FrmAddDETest, TheNameIsTrimmedAndPaddedAndTheBalanceKeepsOnlyWhatTheFilterKeeps) {
    open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [](FrmAddDEForm& f) {
        EXPECT_EQ(f.TxtGen(0).MaxLength(), 10);
        EXPECT_EQ(f.TxtGen(1).MaxLength(), 6);
        f.TxtGen(0).userEdited(QStringLiteral("  Auto  "));
        f.TxtGen(1).userEdited(QStringLiteral("-250"));
        EXPECT_EQ(f.TxtGen(1).Text(), QStringLiteral("250"));
        f.DtGen.userChanged(QDate(2004, 3, 15));
        ok(f);
    });
    ASSERT_EQ(CurDoc.DebtsSavings.Count, 1);
    EXPECT_EQ(CurDoc.DebtsSavings.Items[0].Text, QStringLiteral("Auto       250"));
    EXPECT_EQ(DateToText(CurDoc.DebtsSavings.Items[0].StartDate), QStringLiteral("2004-03-15"));
}

TEST_F(FrmAddDETest, TheBalanceLabelFollowsTheDateAtOnce) {
    open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [](FrmAddDEForm& f) {
        f.DtGen.userChanged(QDate(2004, 7, 14));
        EXPECT_EQ(f.LblGen(1).Caption(), QStringLiteral("Balance pour le 2004-07-14:"));
        f.LblGen(1).setCaption(QString());
        f.DtGen.setValue(QDate(2004, 7, 14)); // the same date raises nothing
        EXPECT_EQ(f.LblGen(1).Caption(), QString());
        f.CmdCancel.raiseEvent(rt::Event::Click);
    });
}

TEST_F(FrmAddDETest, AnEditShowsTheRecordAndStoresOnlyAChange) {
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Épargne    300"), -1, {5, 2, 2004}));
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Prêt       12.50")));
    SetModified(DocPart::All, 0, 0);

    // Unchanged, or only blanks around the name: nothing stored.
    for (const char* typed : {"", "  Épargne "}) {
        const bool changed = open<FrmAddDEForm>(&ShowDEEditor, 1, 0, [&](FrmAddDEForm& f) {
            EXPECT_EQ(f.Caption(), QStringLiteral("Éditer une Dette/Épargne"));
            EXPECT_EQ(f.ChkGen(0).Value(), 0);
            EXPECT_EQ(f.ChkGen(1).Value(), 1);
            EXPECT_EQ(f.TxtGen(0).Text(), QStringLiteral("Épargne"));
            EXPECT_EQ(f.TxtGen(1).Text(), QStringLiteral("300"));
            EXPECT_EQ(f.DtGen.Value(), QDate(2004, 2, 5));
            EXPECT_EQ(f.LblGen(1).Caption(), QStringLiteral("Balance pour le 2004-02-05:"));
            if (*typed) f.TxtGen(0).userEdited(QString::fromUtf8(typed));
            ok(f);
        });
        EXPECT_FALSE(changed);
        EXPECT_EQ(CurDoc.DebtsSavings.Modified, 0);
    }

    // A stored balance out of its normal form is shown normalised, and OK stores it so.
    const bool changed = open<FrmAddDEForm>(&ShowDEEditor, 1, 1, [](FrmAddDEForm& f) {
        EXPECT_EQ(f.TxtGen(1).Text(), QStringLiteral("12.5"));
        ok(f);
    });
    EXPECT_TRUE(changed);
    EXPECT_EQ(CurDoc.DebtsSavings.Items[1].Text, QStringLiteral("Prêt       12.5"));
    EXPECT_EQ(CurDoc.DebtsSavings.Modified, -1);
}

// Records from damaged files: a balance text longer than the box, a text shorter than the name's
// 10 characters, a start date the calendar lacks.
TEST_F(FrmAddDETest, ADamagedRecordOpensWithoutLosingItsText) {
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Maison     1234567")));
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Court"), 0, {31, 2, 2004}));
    QString balance, name;
    QDate start;
    open<FrmAddDEForm>(&ShowDEEditor, 1, 0, [&](FrmAddDEForm& f) {
        balance = f.TxtGen(1).Text();
        ok(f);
    });
    EXPECT_EQ(balance, QStringLiteral("1234567")); // longer than the box's 6 characters, kept
    EXPECT_EQ(CurDoc.DebtsSavings.Items[0].Text, QStringLiteral("Maison     1234567"));
    open<FrmAddDEForm>(&ShowDEEditor, 1, 1, [&](FrmAddDEForm& f) {
        name = f.TxtGen(0).Text();
        balance = f.TxtGen(1).Text();
        start = f.DtGen.Value();
        ok(f);
    });
    EXPECT_EQ(name, QStringLiteral("Court"));
    EXPECT_EQ(balance, QStringLiteral("0"));
    EXPECT_EQ(start, QDate(2004, 3, 2));
    EXPECT_EQ(CurDoc.DebtsSavings.Items[1].Text, QStringLiteral("Court      0"));
}

TEST_F(FrmAddDETest, AYearBeyondThePickersGivesAStartWithinThem) {
    for (const char* year : {"99999", "abc"}) {
        CurDoc.Year = QString::fromUtf8(year);
        QDate start;
        open<FrmAddDEForm>(&ShowDEEditor, 0, 0, [&](FrmAddDEForm& f) {
            start = f.DtGen.Value();
            f.CmdCancel.raiseEvent(rt::Event::Click);
        });
        EXPECT_EQ(start, year[0] == '9' ? QDate(9999, 1, 1) : QDate(1601, 1, 1)) << year;
    }
}
