// The birthday editor: captions, the record it stores and the key rule.

#include "document/list_ops.h"
#include "editors/frm_add_bd.h"
#include "editors_fixture.h"

using FrmAddBDTest = EditorTest;

namespace {

BDItem birthday(const QString& name, DateRec born, const QString& key) {
    BDItem b;
    b.Name = name;
    b.BirthDate = born;
    b.Key = key;
    return b;
}

} // namespace

TEST_F(FrmAddBDTest, AnAddWithNothingTypedStoresAnEmptyNameBornOnTheFirstOfJanuary1970) {
    CurDoc.Birthdays.NextKey = 6;
    const bool changed = open<FrmAddBDForm>(&ShowBDEditor, 0, 0, [](FrmAddBDForm& f) {
        EXPECT_EQ(f.Caption(), QStringLiteral("Ajouter un Anniversaire"));
        EXPECT_EQ(f.TbAddBD.TabCaption(0), QStringLiteral("Général"));
        EXPECT_EQ(f.LblGenSect.Caption(), QStringLiteral("Anniversaire"));
        EXPECT_EQ(f.LblGen(0).Caption(), QStringLiteral("Nom:"));
        EXPECT_EQ(f.LblGen(1).Caption(), QStringLiteral("Date de naissance:"));
        EXPECT_EQ(f.TxtGen.MaxLength(), 14);
        EXPECT_EQ(f.DtGen.Value(), QDate(1970, 1, 1));
        grab(f, QStringLiteral("frm_add_bd"));
        f.CmdOk.raiseEvent(rt::Event::Click);
    });
    EXPECT_TRUE(changed);
    ASSERT_EQ(CurDoc.Birthdays.Count, 1);
    const BDItem& b = CurDoc.Birthdays.Items[0];
    EXPECT_EQ(b.Name, QString());
    EXPECT_EQ(DateToText(b.BirthDate), QStringLiteral("1970-01-01"));
    EXPECT_EQ(b.Key, QStringLiteral("BD0000000000000007"));
    EXPECT_EQ(CurDoc.Birthdays.NextKey, 7);
    EXPECT_EQ(CurDoc.Birthdays.Modified, -1);
}

TEST_F(FrmAddBDTest, AddsIssueConsecutiveKeysThatARemovalNeverGivesBack) {
    for (const char* name : {"Anne", "Paul"})
        open<FrmAddBDForm>(&ShowBDEditor, 0, 0, [&](FrmAddBDForm& f) {
            f.TxtGen.userEdited(QString::fromUtf8(name));
            f.CmdOk.raiseEvent(rt::Event::Click);
        });
    RemoveBD(false, 1);
    open<FrmAddBDForm>(&ShowBDEditor, 0, 0, [](FrmAddBDForm& f) {
        f.TxtGen.userEdited(QStringLiteral("Marc"));
        f.CmdOk.raiseEvent(rt::Event::Click);
    });
    ASSERT_EQ(CurDoc.Birthdays.Count, 2);
    EXPECT_EQ(CurDoc.Birthdays.Items[0].Key, QStringLiteral("BD0000000000000001"));
    EXPECT_EQ(CurDoc.Birthdays.Items[1].Name, QStringLiteral("Marc"));
    EXPECT_EQ(CurDoc.Birthdays.Items[1].Key, QStringLiteral("BD0000000000000003"));
}

TEST_F(FrmAddBDTest, AnEditKeepsTheKeyWhenOnlyTheBirthYearChanged) {
    const struct {
        const char* change;
        QString name;
        QDate born;
        bool stored;
        bool newKey;
    } cases[] = {
        {"nothing", QStringLiteral("Anne"), QDate(1980, 5, 12), false, false},
        {"blanks around the name", QStringLiteral("  Anne "), QDate(1980, 5, 12), false, false},
        {"the year", QStringLiteral("Anne"), QDate(1981, 5, 12), true, false},
        {"the day", QStringLiteral("Anne"), QDate(1980, 5, 13), true, true},
        {"the month", QStringLiteral("Anne"), QDate(1980, 6, 12), true, true},
        {"a letter's case", QStringLiteral("anne"), QDate(1980, 5, 12), true, true},
    };
    for (const auto& c : cases) {
        ListClear(CurDoc.Birthdays);
        ListAppend(CurDoc.Birthdays,
                   birthday(QStringLiteral("Anne"), {12, 5, 1980}, "BD0000000000000004"));
        CurDoc.Birthdays.NextKey = 9;
        SetModified(DocPart::All, 0, 0);
        const bool changed = open<FrmAddBDForm>(&ShowBDEditor, 1, 0, [&](FrmAddBDForm& f) {
            EXPECT_EQ(f.Caption(), QStringLiteral("Éditer un Anniversaire"));
            EXPECT_EQ(f.TxtGen.Text(), QStringLiteral("Anne"));
            EXPECT_EQ(f.DtGen.Value(), QDate(1980, 5, 12));
            f.TxtGen.userEdited(c.name);
            f.DtGen.userChanged(c.born);
            f.CmdOk.raiseEvent(rt::Event::Click);
        });
        const BDItem& b = CurDoc.Birthdays.Items[0];
        EXPECT_EQ(changed, c.stored) << c.change;
        EXPECT_EQ(CurDoc.Birthdays.Modified, c.stored ? -1 : 0) << c.change;
        EXPECT_EQ(b.Name, rt::TrimBlanks(c.name)) << c.change;
        EXPECT_EQ(b.BirthDate.Year, c.born.year()) << c.change;
        EXPECT_EQ(b.Key, c.newKey ? QStringLiteral("BD0000000000000010")
                                  : QStringLiteral("BD0000000000000004"))
            << c.change;
        EXPECT_EQ(CurDoc.Birthdays.NextKey, c.newKey ? 10 : 9) << c.change;
    }
}
