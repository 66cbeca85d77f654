// The auto-event editor: the snapping of the range dates, the recurrence boxes, the general
// page's free and linked entries, and the record and key it stores.

#include "document/calendar_entries.h"
#include "document/month_grid.h"
#include "editors/frm_add_ae.h"
#include "editors_fixture.h"

#include <QTest>

using FrmAddAETest = EditorTest;

namespace {

constexpr int kMonthly = 0, kWeekly = 1, kFortnightly = 2, kDaily = 3, kYearly = 4;

void addAutoEvent(const QString& text, int32_t kind, int32_t recurrence, int16_t day, int16_t month,
                  DateRec start, DateRec end) {
    AEItem a;
    a.Text = text;
    a.Kind = kind;
    a.Recurrence = recurrence;
    a.Day = day;
    a.Month = month;
    a.StartDate = start;
    a.EndDate = end;
    a.Key = ListKey(QStringLiteral("AE"), ++CurDoc.AutoEvents.NextKey);
    ListAppend(CurDoc.AutoEvents, a);
}

QString range(const AEItem& a) {
    return DateToText(a.StartDate) + u' ' + DateToText(a.EndDate);
}

} // namespace

TEST_F(FrmAddAETest, AnAddWithTheDefaultsStoresAMonthlyEventOverTheSnappedYear) {
    CurDoc.AutoEvents.NextKey = 11;
    EXPECT_TRUE(open<FrmAddAEForm>(&ShowAEEditor, 0, 0, [](FrmAddAEForm& f) {
        EXPECT_EQ(f.CmbAE(1).List(0), QStringLiteral("Dimanche")); // weekdays Sunday first
        EXPECT_FALSE(f.TxtEV(1).Enabled());                        // an event has no amount
        EXPECT_FALSE(f.CmbAE(1).Enabled());
        click(f.CmdOk);
    }));
    ASSERT_EQ(CurDoc.AutoEvents.Count, 1);
    const AEItem& a = CurDoc.AutoEvents.Items[0];
    EXPECT_EQ(a.Kind, ItemKind::Event);
    EXPECT_EQ(a.Text, QString());
    EXPECT_EQ(a.Recurrence, AERecurrence::Monthly);
    EXPECT_EQ(a.Day * 100 + a.Month, 100);
    EXPECT_EQ(range(a), QStringLiteral("2004-01-01 2004-12-01"));
    EXPECT_EQ(a.Key, QStringLiteral("AE0000000000000012"));
    EXPECT_EQ(CurDoc.AutoEvents.Modified, -1);
}

TEST_F(FrmAddAETest, RangeDatesSnapOntoTheChosenRecurrence) {
    struct Row {
        int combo;
        int row;
    };
    const struct {
        const char* rule;
        int box;
        std::vector<Row> rows;
        int picker;
        QDate picked;
        QDate snapped;
    } cases[] = {
        {"monthly 31, April", kMonthly, {{0, 30}}, 0, QDate(2004, 4, 15), QDate(2004, 4, 30)},
        {"monthly 31, Feb 2023", kMonthly, {{0, 30}}, 0, QDate(2023, 2, 10), QDate(2023, 2, 28)},
        {"monthly 31, Feb 2024", kMonthly, {{0, 30}}, 1, QDate(2024, 2, 10), QDate(2024, 2, 29)},
        {"monthly 05, start", kMonthly, {{0, 4}}, 0, QDate(2004, 3, 20), QDate(2004, 3, 5)},
        {"monthly 05, end", kMonthly, {{0, 4}}, 1, QDate(2004, 3, 2), QDate(2004, 3, 5)},
        {"weekly Monday, start", kWeekly, {{1, 1}}, 0, QDate(2024, 1, 2), QDate(2024, 1, 8)},
        {"weekly Monday, end", kWeekly, {{1, 1}}, 1, QDate(2024, 1, 14), QDate(2024, 1, 8)},
        {"weekly Monday, on it", kWeekly, {{1, 1}}, 0, QDate(2024, 1, 8), QDate(2024, 1, 8)},
        {"weekly, into next year", kWeekly, {{1, 1}}, 0, QDate(2021, 12, 30), QDate(2022, 1, 3)},
        {"fortnightly Friday, end",
         kFortnightly,
         {{2, 5}},
         1,
         QDate(2024, 1, 2),
         QDate(2023, 12, 29)},
        {"yearly 29 Feb, 2023",
         kYearly,
         {{4, 28}, {5, 1}},
         0,
         QDate(2023, 7, 4),
         QDate(2023, 2, 28)},
        {"yearly 29 Feb, 2024",
         kYearly,
         {{4, 28}, {5, 1}},
         1,
         QDate(2024, 7, 4),
         QDate(2024, 2, 29)},
        {"yearly 1 March", kYearly, {{4, 0}, {5, 2}}, 0, QDate(2024, 6, 15), QDate(2024, 3, 1)},
        {"daily", kDaily, {}, 0, QDate(2024, 6, 15), QDate(2024, 6, 15)},
        // The picker's last day stands for a weekday beyond it.
        {"weekly Saturday, year 9999",
         kWeekly,
         {{1, 6}},
         0,
         QDate(9999, 12, 30),
         QDate(9999, 12, 31)},
    };
    for (const auto& c : cases) {
        QDate shown;
        open<FrmAddAEForm>(&ShowAEEditor, 0, 0, [&](FrmAddAEForm& f) {
            f.ChkAE(c.box).userClicked();
            for (const Row& r : c.rows)
                f.CmbAE(r.combo).userSelect(r.row);
            f.DtRG(c.picker).userChanged(c.picked);
            shown = f.DtRG(c.picker).Value();
            click(f.CmdCancel);
        });
        EXPECT_EQ(shown, c.snapped) << c.rule;
    }
}

TEST_F(FrmAddAETest, TheBoxesActAsOptionButtonsAndEachSnappingStartsFromThePickedDate) {
    EXPECT_TRUE(open<FrmAddAEForm>(&ShowAEEditor, 0, 0, [](FrmAddAEForm& f) {
        f.ChkAE(kMonthly).userClicked(); // the ticked box stays ticked, the dates stay
        EXPECT_EQ(f.ChkAE(kMonthly).Value(), 1);
        EXPECT_EQ(f.DtRG(1).Value(), QDate(2004, 12, 1));
        f.ChkAE(kYearly).userClicked(); // both dates re-snap
        EXPECT_EQ(f.ChkAE(kMonthly).Value(), 0);
        EXPECT_TRUE(f.CmbAE(5).Enabled());
        EXPECT_FALSE(f.CmbAE(0).Enabled());
        EXPECT_EQ(f.DtRG(1).Value(), QDate(2004, 1, 1));

        f.ChkAE(kWeekly).userClicked();
        f.CmbAE(1).userSelect(1); // Monday
        f.DtRG(0).userChanged(QDate(2024, 1, 1));
        f.CmbAE(1).userSelect(2); // Tuesday
        EXPECT_EQ(f.DtRG(0).Value(), QDate(2024, 1, 2));
        f.CmbAE(1).userSelect(1); // Monday again: the picked one
        EXPECT_EQ(f.DtRG(0).Value(), QDate(2024, 1, 1));
        click(f.CmdOk);
    }));
    // The end is still reckoned from 31 December 2004, as filled in: its last Monday.
    EXPECT_EQ(range(CurDoc.AutoEvents.Items[0]), QStringLiteral("2024-01-01 2004-12-27"));
}

// A new auto-event over the proposed range, the whole of 2004, whatever rules were ticked on the
// way to the last one (the combos on day 03, Tuesday, April).
TEST_F(FrmAddAETest, DayMonthAndRangeStoredByRecurrence) {
    const struct {
        std::vector<int> boxes; // ticked in this order
        int32_t recurrence;
        int dayAndMonth;
        const char* range;
    } cases[] = {
        {{kDaily}, AERecurrence::Daily, 0, "2004-01-01 2004-12-31"},
        {{kMonthly}, AERecurrence::Monthly, 300, "2004-01-03 2004-12-03"},
        {{kWeekly}, AERecurrence::Weekly, 300, "2004-01-06 2004-12-28"},
        {{kFortnightly}, AERecurrence::EveryTwoWeeks, 300, "2004-01-06 2004-12-28"},
        {{kYearly}, AERecurrence::Yearly, 304, "2004-04-03 2004-04-03"},
        {{kWeekly, kMonthly, kDaily}, AERecurrence::Daily, 0, "2004-01-01 2004-12-31"},
        {{kYearly, kFortnightly, kWeekly}, AERecurrence::Weekly, 300, "2004-01-06 2004-12-28"},
        {{kDaily, kYearly, kMonthly}, AERecurrence::Monthly, 300, "2004-01-03 2004-12-03"},
    };
    for (const auto& c : cases) {
        ListClear(CurDoc.AutoEvents);
        open<FrmAddAEForm>(&ShowAEEditor, 0, 0, [&](FrmAddAEForm& f) {
            f.CmbAE.forEach([](int, rt::ComboBox& combo) { combo.userSelect(2); });
            f.CmbAE(5).userSelect(3);
            for (int box : c.boxes)
                f.ChkAE(box).userClicked();
            click(f.CmdOk);
        });
        ASSERT_EQ(CurDoc.AutoEvents.Count, 1);
        const AEItem& a = CurDoc.AutoEvents.Items[0];
        EXPECT_EQ(a.Recurrence, c.recurrence);
        EXPECT_EQ(a.Day * 100 + a.Month, c.dayAndMonth) << c.boxes.back();
        EXPECT_EQ(range(a), QString::fromLatin1(c.range)) << c.boxes.back();
    }
}

TEST_F(FrmAddAETest, AnEditStoresOnlyAChangeAndAnUnsnappedRecordOpensSnapped) {
    addAutoEvent(QStringLiteral("Loyer      650"), ItemKind::Expense, AERecurrence::Yearly, 5, 7,
                 {5, 7, 2004}, {5, 7, 2004});
    // Wednesdays, stored from a Monday.
    addAutoEvent(QStringLiteral("Piscine"), ItemKind::Event, AERecurrence::Weekly, 4, 0,
                 {1, 3, 2004}, {31, 3, 2004});
    SetModified(DocPart::All, 0, 0);
    EXPECT_FALSE(open<FrmAddAEForm>(&ShowAEEditor, 1, 0, [](FrmAddAEForm& f) {
        EXPECT_EQ(f.ChkEV(1).Value(), 1);
        EXPECT_EQ(f.TxtEV(0).Text() + u'|' + f.TxtEV(1).Text(), QStringLiteral("Loyer|650"));
        EXPECT_EQ(f.CmbAE(4).Text() + u' ' + f.CmbAE(5).Text(), QStringLiteral("05 Juillet"));
        click(f.CmdOk);
    }));
    EXPECT_EQ(CurDoc.AutoEvents.Items[0].Key, QStringLiteral("AE0000000000000001"));
    EXPECT_EQ(CurDoc.AutoEvents.Modified, 0);

    EXPECT_TRUE(open<FrmAddAEForm>(&ShowAEEditor, 1, 1, [](FrmAddAEForm& f) {
        EXPECT_EQ(f.DtRG(0).Value(), QDate(2004, 3, 3));
        click(f.CmdOk);
    }));
    EXPECT_EQ(range(CurDoc.AutoEvents.Items[1]), QStringLiteral("2004-03-03 2004-03-31"));
    EXPECT_EQ(CurDoc.AutoEvents.Items[1].Key, QStringLiteral("AE0000000000000003"));
    EXPECT_EQ(CurDoc.AutoEvents.NextKey, 3);
}

TEST_F(FrmAddAETest, ANewKeyForAChangedTextReplacesTheGeneratedItemsAtTheNextApply) {
    addAutoEvent(QStringLiteral("Cours"), ItemKind::Event, AERecurrence::Monthly, 10, 0,
                 {1, 1, 2004}, {31, 12, 2004});
    ApplyAEToCalendar();
    const int16_t cell = CellOfDay(2004, 3, 10);
    ASSERT_EQ(CurDoc.Months(3).Cells(cell).Count, 1);
    CurDoc.Months(3).Cells(cell).Items[0].AlarmOn = -1; // set by the user on the item
    ASSERT_TRUE(open<FrmAddAEForm>(&ShowAEEditor, 1, 0, [](FrmAddAEForm& f) {
        f.TxtEV(0).userEdited(QStringLiteral("Cours de piano"));
        click(f.CmdOk);
    }));
    ApplyAEToCalendar();
    const DayCell& day = CurDoc.Months(3).Cells(cell);
    ASSERT_EQ(day.Count, 1);
    EXPECT_EQ(day.Items[0].Text, QStringLiteral("Cours de piano"));
    EXPECT_EQ(day.Items[0].SourceKey, QStringLiteral("AE0000000000000002"));
    EXPECT_EQ(day.Items[0].AlarmOn, 0);
}

TEST_F(FrmAddAETest, AnIncomeOrExpenseNamedAfterADebtOrSavingOpensLinked) {
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Banque     0"), 0));
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Livret     0"), -1));
    const struct {
        const char* text;
        int32_t kind;
        int chosen;
        int box; // the ChkDE box ticked: 0 add, 1 deduct
    } cases[] = {
        {"Banque     20", ItemKind::Income, 0, 0},  {"Banque     20", ItemKind::Expense, 0, 1},
        {"Livret     20", ItemKind::Expense, 1, 0}, {"Livret     20", ItemKind::Income, 1, 1},
        {"Ancien     20", ItemKind::Income, -1, 0}, // its debt is gone: a free entry
    };
    for (const auto& c : cases) {
        ListClear(CurDoc.AutoEvents);
        addAutoEvent(QString::fromUtf8(c.text), c.kind, AERecurrence::Daily, 0, 0, {1, 1, 2004},
                     {31, 1, 2004});
        EXPECT_FALSE(open<FrmAddAEForm>(&ShowAEEditor, 1, 0, [&](FrmAddAEForm& f) {
            EXPECT_EQ(f.PicGen(1).Visible(), c.chosen >= 0) << c.text;
            EXPECT_EQ(f.CmbDE.ListIndex(), c.chosen);
            EXPECT_EQ(f.ChkDE(c.box).Value(), 1);
            EXPECT_EQ(f.TxtDE(0).Text(), QStringLiteral("20"));
            click(f.CmdOk);
        })) << c.text; // the same kind again: nothing changed
    }
}

TEST_F(FrmAddAETest, TheLinkFollowsTheDescriptionAndOkWaitsForAChoice) {
    // No debt or saving yet: the hint stands in for the linked panel, and OK waits.
    open<FrmAddAEForm>(&ShowAEEditor, 0, 0, [](FrmAddAEForm& f) {
        f.ChkGen.userClicked();
        EXPECT_TRUE(f.PicGen(2).Visible());
        EXPECT_FALSE(f.CmdOk.Enabled());
        click(f.CmdCancel);
    });
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Banque     0"), -1));
    EXPECT_TRUE(open<FrmAddAEForm>(&ShowAEEditor, 0, 0, [](FrmAddAEForm& f) {
        EXPECT_EQ(f.CmbDE.ListIndex(), -1); // listed, none chosen
        f.ChkGen.userClicked();
        EXPECT_FALSE(f.CmdOk.Enabled());
        f.ChkGen.userClicked();
        f.ChkEV(0).userClicked();
        f.TxtEV(0).userEdited(QStringLiteral("Banque")); // typing the name links the entry
        EXPECT_EQ(f.ChkGen.Value(), 1);
        EXPECT_EQ(f.CmbDE.ListIndex(), 0);
        EXPECT_TRUE(f.CmdOk.Enabled());
        f.ChkGen.userClicked(); // free again with the name still typed: no OK
        EXPECT_FALSE(f.CmdOk.Enabled());
        press(f.TxtEV(0), Qt::Key_Return);
        EXPECT_TRUE(f.Loaded());
        f.TxtEV(0).userEdited(QStringLiteral("Banqu"));
        EXPECT_TRUE(f.CmdOk.Enabled());
        f.TxtEV(0).userEdited(QStringLiteral("Banque"));
        f.TxtDE(0).userEdited(QStringLiteral("-3.50")); // the two amount boxes agree
        EXPECT_EQ(f.TxtEV(1).Text(), QStringLiteral("3.5"));
        f.ChkDE(1).userClicked(); // deducting from a saving: an income
        click(f.CmdOk);
    }));
    EXPECT_EQ(CurDoc.AutoEvents.Items[0].Kind, ItemKind::Income);
    EXPECT_EQ(CurDoc.AutoEvents.Items[0].Text, QStringLiteral("Banque     3.5"));
}

TEST_F(FrmAddAETest, AnIncomeOrExpenseKeepsTenCharactersOfTheDescription) {
    open<FrmAddAEForm>(&ShowAEEditor, 0, 0, [](FrmAddAEForm& f) {
        f.TxtEV(0).userEdited(QStringLiteral("Anniversaire Léa"));
        f.ChkEV(2).userClicked(); // the ticked box stays ticked
        f.ChkEV(1).userClicked();
        EXPECT_EQ(f.ChkEV(2).Value(), 0);
        EXPECT_EQ(f.TxtEV(0).Text(), QStringLiteral("Anniversai"));
        EXPECT_EQ(f.TxtEV(1).BackColor(), rt::vbWindowBackground);
        f.TxtEV(1).userEdited(QStringLiteral("12."));
        EXPECT_EQ(f.TxtEV(1).Text(), QStringLiteral("12.")); // the decimals may follow
        click(f.CmdOk);
    });
    EXPECT_EQ(CurDoc.AutoEvents.Items[0].Kind, ItemKind::Expense);
    EXPECT_EQ(CurDoc.AutoEvents.Items[0].Text, QStringLiteral("Anniversai 12"));
}

TEST_F(FrmAddAETest, PagesEnableAloneAndHelpFollowsThePageShown) {
    open<FrmAddAEForm>(&ShowAEEditor, 0, 0, [](FrmAddAEForm& f) {
        for (int tab : {1, 2, 0}) {
            f.TbAddAE.userSelect(tab);
            EXPECT_TRUE(f.PicTab(tab).Enabled());
            EXPECT_FALSE(f.PicTab((tab + 1) % 3).Enabled());
            press(f.TbAddAE, Qt::Key_F1);
        }
        click(f.CmdCancel);
    });
    ASSERT_EQ(help->calls.size(), 3u);
    EXPECT_EQ(help->calls[0].topic, QStringLiteral("Html\\d_addae_ae.htm"));
    EXPECT_EQ(help->calls[1].topic, QStringLiteral("Html\\d_addae_rg.htm"));
    EXPECT_EQ(help->calls[2].topic, QStringLiteral("Html\\d_addae_gen.htm"));
}

// Records from damaged files: a long event text, a day and month beyond the combos, dates the
// calendar lacks, an unknown recurrence. The editor opens on them and the user can repair them.
TEST_F(FrmAddAETest, ADamagedRecordOpensWithoutFailing) {
    addAutoEvent(QStringLiteral("Plus long que dix-sept"), ItemKind::Event, AERecurrence::Yearly,
                 40, 13, {0, 0, 0}, {31, 2, 2004});
    addAutoEvent(QStringLiteral("Inconnu"), ItemKind::Event, 3, 1, 0, {10, 1, 2004}, {20, 1, 2004});
    open<FrmAddAEForm>(&ShowAEEditor, 1, 0, [](FrmAddAEForm& f) {
        EXPECT_EQ(f.TxtEV(0).Text(), QStringLiteral("Plus long que dix-sept")); // not cut
        EXPECT_EQ(f.CmbAE(4).Text() + u' ' + f.CmbAE(5).Text(), QStringLiteral("31 Décembre"));
        EXPECT_EQ(f.DtRG(0).Value(), QDate(1601, 12, 31));
        EXPECT_EQ(f.DtRG(1).Value(), QDate(2004, 12, 31));
        click(f.CmdCancel);
    });
    EXPECT_TRUE(open<FrmAddAEForm>(&ShowAEEditor, 1, 1, [](FrmAddAEForm& f) {
        for (int i = 0; i <= 4; ++i)
            EXPECT_EQ(f.ChkAE(i).Value(), 0) << i;
        EXPECT_EQ(f.DtRG(1).Value(), QDate(2004, 1, 20)); // no rule: the stored date
        f.ChkAE(kDaily).userClicked();                    // the user repairs it
        click(f.CmdOk);
    }));
    EXPECT_EQ(CurDoc.AutoEvents.Items[1].Recurrence, AERecurrence::Daily);
    EXPECT_EQ(range(CurDoc.AutoEvents.Items[1]), QStringLiteral("2004-01-10 2004-01-20"));
}

// Range dates typed at the keyboard on the range page (from the start date; a click on OK where
// said) are taken, and snap onto the recurrence (monthly on the 1st) as picked ones do.
TEST_F(FrmAddAETest, TypedRangeDatesAreTakenAndSnapped) {
    using testing_support::KeyStep;
    const struct {
        const char* what;
        std::vector<KeyStep> keys;
        bool clickOk;
        const char* range;
    } cases[] = {
        {"the start, Enter", {"15032004", Qt::Key_Return}, false, "2004-03-01 2004-12-01"},
        {"both, Enter",
         {"15062004", Qt::Key_Tab, "20082004", Qt::Key_Return},
         false,
         "2004-06-01 2004-08-01"},
        {"the start, a click on OK", {"20082004"}, true, "2004-08-01 2004-12-01"},
    };
    for (const auto& c : cases) {
        ListClear(CurDoc.AutoEvents);
        EXPECT_TRUE(open<FrmAddAEForm>(&ShowAEEditor, 0, 0, [&](FrmAddAEForm& f) {
            f.TbAddAE.userSelect(2);
            testing_support::tabInto(f.DtRG(0).widget());
            EXPECT_TRUE(testing_support::userTypes(c.keys)) << c.what;
            if (c.clickOk) QTest::mouseClick(f.CmdOk.widget(), Qt::LeftButton);
        })) << c.what;
        ASSERT_EQ(CurDoc.AutoEvents.Count, 1) << c.what;
        EXPECT_EQ(range(CurDoc.AutoEvents.Items[0]), QLatin1String(c.range)) << c.what;
    }
}
