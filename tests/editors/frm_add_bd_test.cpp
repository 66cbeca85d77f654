// The birthday editor: the record it stores and its key rule.

#include "document/list_ops.h"
#include "editors/frm_add_bd.h"
#include "editors_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

using FrmAddBDTest = EditorTest;

TEST_F(FrmAddBDTest, AddsIssueConsecutiveKeysThatARemovalNeverGivesBack) {
    CurDoc.Birthdays.NextKey = 6;
    for (const char* name : {"", "Paul", "Marc"}) {
        if (QLatin1String(name) == QLatin1String("Marc")) RemoveBD(false, 1);
        EXPECT_TRUE(open<FrmAddBDForm>(&ShowBDEditor, 0, 0, [&](FrmAddBDForm& f) {
            EXPECT_EQ(f.DtGen.Value(), QDate(1970, 1, 1));
            f.TxtGen.userEdited(QString::fromUtf8(name));
            click(f.CmdOk);
        }));
    }
    ASSERT_EQ(CurDoc.Birthdays.Count, 2);
    EXPECT_EQ(CurDoc.Birthdays.Items[0].Name, QString());
    EXPECT_EQ(DateToText(CurDoc.Birthdays.Items[0].BirthDate), QStringLiteral("1970-01-01"));
    EXPECT_EQ(CurDoc.Birthdays.Items[0].Key, QStringLiteral("BD0000000000000007"));
    EXPECT_EQ(CurDoc.Birthdays.Items[1].Key, QStringLiteral("BD0000000000000009"));
    EXPECT_EQ(CurDoc.Birthdays.Modified, -1);
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
        BDItem anne;
        anne.Name = QStringLiteral("Anne");
        anne.BirthDate = {12, 5, 1980};
        anne.Key = QStringLiteral("BD0000000000000004");
        ListAppend(CurDoc.Birthdays, anne);
        CurDoc.Birthdays.NextKey = 9;
        SetModified(DocPart::All, 0, 0);
        const bool changed = open<FrmAddBDForm>(&ShowBDEditor, 1, 0, [&](FrmAddBDForm& f) {
            f.TxtGen.userEdited(c.name);
            f.DtGen.userChanged(c.born);
            click(f.CmdOk);
        });
        const BDItem& b = CurDoc.Birthdays.Items[0];
        EXPECT_EQ(changed, c.stored) << c.change;
        EXPECT_EQ(CurDoc.Birthdays.Modified, c.stored ? -1 : 0) << c.change;
        EXPECT_EQ(b.Name, rt::TrimBlanks(c.name)) << c.change;
        EXPECT_EQ(b.BirthDate.Year, c.born.year()) << c.change;
        EXPECT_EQ(b.Key.right(2), c.newKey ? QStringLiteral("10") : QStringLiteral("04"))
            << c.change;
        EXPECT_EQ(CurDoc.Birthdays.NextKey, c.newKey ? 10 : 9) << c.change;
    }
}

// Typed at the keyboard from the name box (or pasted there; a click on OK where said), the name
// and the birth date shown are the ones stored.
TEST_F(FrmAddBDTest, WhatIsTypedIsWhatIsStored) {
    using testing_support::KeyStep;
    const struct {
        const char* what;
        std::vector<KeyStep> keys;
        bool clickOk;
        QString name;
        const char* born;
    } cases[] = {
        {"a day, Enter", {"Anne", Qt::Key_Tab, "12", Qt::Key_Return}, false, "Anne", "1970-01-12"},
        {"another day", {Qt::Key_Tab, "22", Qt::Key_Return}, false, "", "1970-01-22"},
        {"a whole date", {Qt::Key_Tab, "05031985", Qt::Key_Return}, false, "", "1985-03-05"},
        {"an arrow", {Qt::Key_Tab, Qt::Key_Up, Qt::Key_Return}, false, "", "1970-01-02"},
        {"Escape, Enter", {Qt::Key_Tab, "12", Qt::Key_Escape, Qt::Key_Return}, false, "",
         "1970-01-12"},
        {"a click on OK", {Qt::Key_Tab, "12"}, true, "", "1970-01-12"},
        {"typed beyond Windows-1252", {QString::fromUtf8("Zoë 日本"), Qt::Key_Return}, false,
         QString::fromUtf8("Zoë"), "1970-01-01"},
        {"pasted", {Qt::CTRL | Qt::Key_V, Qt::Key_Return}, false, QString::fromUtf8("ód Zoë"),
         "1970-01-01"},
    };
    QGuiApplication::clipboard()->setText(QString::fromUtf8("Łódź Zoë"));
    for (const auto& c : cases) {
        ListClear(CurDoc.Birthdays);
        EXPECT_TRUE(open<FrmAddBDForm>(&ShowBDEditor, 0, 0, [&](FrmAddBDForm& f) {
            testing_support::tabInto(f.TxtGen.widget());
            EXPECT_TRUE(testing_support::userTypes(c.keys)) << c.what;
            if (c.clickOk) QTest::mouseClick(f.CmdOk.widget(), Qt::LeftButton);
        })) << c.what;
        ASSERT_EQ(CurDoc.Birthdays.Count, 1) << c.what;
        EXPECT_EQ(CurDoc.Birthdays.Items[0].Name, c.name) << c.what;
        EXPECT_EQ(DateToText(CurDoc.Birthdays.Items[0].BirthDate), QLatin1String(c.born))
            << c.what;
    }
}
