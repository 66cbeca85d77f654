// The alarm window and ShowAlarm: what the window shows of the due item, the proposal to
// switch the alarm off, what OK stores and remembers, the refusals, the banner, and the scan
// that raises an item until its alarm is off.

#include "core/settings_store.h"
#include "document/alarm_scan.h"
#include "document/month_grid.h"
#include "editors/frm_add_ev.h"
#include "editors/frm_alarm.h"
#include "editors_fixture.h"
#include "services/settings.h"
#include "shell/main_module.h"
#include "support/scripted_services.h"

#include <QTemporaryDir>

namespace {

const int16_t kCell = CellOfDay(2004, 3, 15);

EVItem alarmed(int32_t Kind, const QString& Text, int32_t Days = 1, int16_t Sound = 0) {
    EVItem i;
    i.Kind = Kind;
    i.Text = Text;
    i.Colour = -1;
    i.AlarmOn = -1;
    i.AlarmDaysBefore = Days;
    i.Sound = Sound;
    return i;
}

QString offDefault() {
    return rt::GetSetting(QStringLiteral("Mirovanta"), QStringLiteral("Alarm"),
                          QStringLiteral("OffDefault"), QStringLiteral("(absent)"));
}

void setOffDefault(const char* value) {
    rt::SaveSetting(QStringLiteral("Mirovanta"), QStringLiteral("Alarm"),
                    QStringLiteral("OffDefault"), QLatin1String(value));
}

} // namespace

TEST(AlarmDays, TheDaysBoxKeepsAWholeOrDecimalNumberFrom0To365) {
    const struct {
        const char* typed;
        const char* kept;
    } cases[] = {
        {"12", "12"}, {"-5", "5"},      {"400", "365"},    {"", "0"},      {"abc", "0"},
        {"007", "7"}, {"1,5", "1"},     {"2.50", "2.5"},   {"365", "365"}, {"365.5", "365"},
        {"0", "0"},   {"1e400", "365"}, {"-1e400", "365"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AlarmDaysText(QString::fromUtf8(c.typed)), QString::fromUtf8(c.kept)) << c.typed;
}

class FrmAlarmTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        previousSound_ = rt::setSoundServices(sound);
        previousSettings_ = Settings;
        previousFolder_ = rt::settingsFolder();
        rt::setSettingsFolder(settingsDir_.path());
        for (int n = 1; n <= 10; ++n)
            Settings.SoundFiles(n) = QStringLiteral("/sons/alarm%1.wav").arg(n, 2, 10, QChar('0'));
        // The events page shows the day of the items, with its second row selected.
        FillMonthDays(3);
        FrmMain->TbMenu.setTab(4);
        SelectDay(3, kCell);
    }
    void TearDown() override {
        rt::setSettingsFolder(previousFolder_);
        Settings = previousSettings_;
        rt::setSoundServices(previousSound_);
        EditorTest::TearDown();
    }
    static DayCell& today() { return CurDoc.Months(3).Cells(kCell); }
    void addItems(std::initializer_list<EVItem> items) {
        for (const EVItem& i : items)
            ListAppend(today(), i);
        RefreshPane(false, 1);
        SetModified(DocPart::All, 0, 0);
    }
    bool show(int16_t Index, std::function<void(FrmAlarmForm&)> script, int16_t Month = 3,
              int16_t Cell = kCell) {
        services.forms->modalScripts.push_back(
            [script](rt::Form& form) { script(dynamic_cast<FrmAlarmForm&>(form)); });
        return ShowAlarm(Month, Cell, Index);
    }
    static void ok(FrmAlarmForm& f) { f.CmdOk.raiseEvent(rt::Event::Click); }

    std::shared_ptr<rt::ScriptedSound> sound = std::make_shared<rt::ScriptedSound>();

private:
    QTemporaryDir settingsDir_;
    QString previousFolder_;
    std::shared_ptr<rt::SoundServices> previousSound_;
    AppSettings previousSettings_;
};

TEST_F(FrmAlarmTest, WithoutASettingTheWindowProposesToSwitchTheAlarmOffAndOkDoesIt) {
    addItems({alarmed(ItemKind::Event, QStringLiteral("Rendez-vous")),
              alarmed(ItemKind::Income, MakeMoneyText("Loyer", "250"), 5, 3)});
    const bool changed = show(1, [this](FrmAlarmForm& f) {
        // The sound started before the window opened.
        EXPECT_EQ(sound->played, QStringList{QStringLiteral("/sons/alarm03.wav")});
        EXPECT_EQ(f.Caption(), QStringLiteral("Mirovanta - Alarme"));
        EXPECT_EQ(f.LblAlarm.Caption(), QStringLiteral("Alarme"));
        EXPECT_EQ(f.LblALWarning.Caption(), QStringLiteral("VOUS AVEZ UN ÉVÉNEMENT EN ALERTE!"));
        EXPECT_EQ(f.FrmALEvent.Caption(),
                  QStringLiteral("L'événement suivant à provoquer une alerte:"));
        EXPECT_EQ(f.TxtEV(3).Text(), QStringLiteral("15 mars 2004"));
        EXPECT_EQ(f.TxtEV(0).Text(), QStringLiteral("Revenu"));
        EXPECT_EQ(f.TxtEV(1).Text(), QStringLiteral("Loyer"));
        EXPECT_EQ(f.TxtEV(2).Text(), QStringLiteral("250"));
        EXPECT_TRUE(f.TxtEV(2).Visible() && f.LblEV(2).Visible());
        EXPECT_EQ(f.ChkALOff.Value(), 1);
        EXPECT_EQ(f.ChkAL.Value(), 1);
        EXPECT_EQ(f.TxtAL.Text(), QStringLiteral("1"));
        EXPECT_EQ(f.CmbAL.Text(), QStringLiteral("Pas de son"));
        EXPECT_FALSE(f.TxtAL.Enabled() || f.UDAL.Enabled() || f.CmbAL.Enabled() ||
                     f.CmdAL.Enabled() || f.LblAL(2).Enabled());
        EXPECT_TRUE(f.TmrAlarm.Enabled());
        ok(f);
        EXPECT_FALSE(f.TmrAlarm.Enabled());
    });
    EXPECT_TRUE(changed);
    const EVItem& i = today().Items[1];
    EXPECT_EQ(i.AlarmOn, 0);
    EXPECT_EQ(i.AlarmDaysBefore, 1);
    EXPECT_EQ(i.Sound, 0);
    EXPECT_EQ(CurDoc.Months(3).DaysModified, -1);
    EXPECT_EQ(offDefault(), QStringLiteral("1"));
    EXPECT_EQ(FrmMain->LstEV.ListIndex(), 0); // the pane was refilled
}

TEST_F(FrmAlarmTest, WithOffDefault0TheItemsOwnValuesShowAndAnUntouchedOkStoresNothing) {
    setOffDefault("0");
    addItems({alarmed(ItemKind::Event, QStringLiteral("  Rendez-vous "), 2, 0),
              alarmed(ItemKind::Expense, QStringLiteral("Pain"), 4, 12)}); // damaged
    EXPECT_FALSE(show(0, [](FrmAlarmForm& f) {
        EXPECT_EQ(f.TxtEV(0).Text(), QStringLiteral("Événement"));
        EXPECT_EQ(f.TxtEV(1).Text(), QStringLiteral("Rendez-vous"));
        EXPECT_FALSE(f.TxtEV(2).Visible() || f.LblEV(2).Visible());
        EXPECT_EQ(f.ChkALOff.Value(), 0);
        EXPECT_EQ(f.ChkAL.Value(), 0);
        EXPECT_EQ(f.TxtAL.Text(), QStringLiteral("2"));
        EXPECT_TRUE(f.TxtAL.Enabled() && f.CmbAL.Enabled());
        EXPECT_FALSE(f.CmdAL.Enabled()); // no sound chosen
        f.CmbAL.userSelect(3);
        f.CmdAL.raiseEvent(rt::Event::Click);
        f.CmbAL.userSelect(0);
        ok(f);
    }));
    EXPECT_EQ(sound->played, QStringList{QStringLiteral("/sons/alarm03.wav")});
    EXPECT_EQ(CurDoc.Months(3).DaysModified, 0);
    EXPECT_EQ(FrmMain->LstEV.ListIndex(), 1); // no refresh
    EXPECT_EQ(offDefault(), QStringLiteral("0"));

    // A sound beyond the ten plays nothing and shows no sound; a short money text opens.
    sound->played.clear();
    EXPECT_TRUE(show(1, [](FrmAlarmForm& f) {
        EXPECT_EQ(f.CmbAL.ListIndex(), 0);
        EXPECT_EQ(f.TxtEV(0).Text(), QStringLiteral("Dépense"));
        EXPECT_EQ(f.TxtEV(1).Text(), QStringLiteral("Pain"));
        EXPECT_EQ(f.TxtEV(2).Text(), QString());
        f.TxtAL.userEdited(QStringLiteral("1.5"));
        ok(f);
    }));
    EXPECT_TRUE(sound->played.isEmpty());
    EXPECT_EQ(today().Items[1].AlarmDaysBefore, 2);
    EXPECT_EQ(today().Items[1].Sound, 0);

    // An item in a cell that shows no day opens with no date.
    ASSERT_EQ(DayOfCell(2004, 3, 7), 0);
    ListAppend(CurDoc.Months(3).Cells(7), alarmed(ItemKind::Event, QStringLiteral("Perdu")));
    show(
        0,
        [](FrmAlarmForm& f) {
            EXPECT_EQ(f.TxtEV(3).Text(), QString());
            EXPECT_EQ(f.TxtEV(1).Text(), QStringLiteral("Perdu"));
            f.CmdCancel_Click();
        },
        3, 7);
    EXPECT_EQ(services.forms->modalForms.size(), 3);
}

TEST_F(FrmAlarmTest, CancelEscapeAndTheCloseBoxStoreNothingAndWriteNoSetting) {
    setOffDefault("0");
    addItems({alarmed(ItemKind::Event, QStringLiteral("Rendez-vous"))});
    const std::function<void(FrmAlarmForm&)> endings[] = {
        [](FrmAlarmForm& f) { f.CmdCancel.raiseEvent(rt::Event::Click); },
        [](FrmAlarmForm& f) { EditorTest::press(f.ChkAL, Qt::Key_Escape); },
        [](FrmAlarmForm& f) { f.closeByUser(); },
    };
    for (const auto& end : endings) {
        EXPECT_FALSE(show(0, [&](FrmAlarmForm& f) {
            f.ChkALOff.userClicked();
            f.ChkAL.userClicked();
            end(f);
            EXPECT_FALSE(f.Loaded());
        }));
        EXPECT_EQ(today().Items[0].AlarmOn, -1);
        EXPECT_EQ(CurDoc.Months(3).DaysModified, 0);
        EXPECT_EQ(offDefault(), QStringLiteral("0"));
    }
}

TEST_F(FrmAlarmTest, EnterWhereTheFocusIsAtOpeningAnswersOk) {
    addItems({alarmed(ItemKind::Event, QStringLiteral("Rendez-vous"))});
    EXPECT_TRUE(show(0, [](FrmAlarmForm& f) {
        const std::vector<rt::Control*> stops = f.tabStops();
        ASSERT_FALSE(stops.empty());
        EXPECT_EQ(stops.back(), &f.CmdHelp); // still reached by Tab, last
        EditorTest::press(*stops.front(), Qt::Key_Return);
        EXPECT_FALSE(f.Loaded());
    }));
    EXPECT_EQ(today().Items[0].AlarmOn, 0); // OK switched it off, as the box proposed
    EXPECT_TRUE(help->calls.empty());
}

TEST_F(FrmAlarmTest, AnOffDefaultOtherThan0TicksTheBoxAndIsWrittenBackAs1) {
    for (const char* stored : {"2", "-1", "1.4"}) {
        setOffDefault(stored);
        ListClear(today());
        addItems({alarmed(ItemKind::Event, QStringLiteral("Rendez-vous"))});
        EXPECT_TRUE(show(0, [](FrmAlarmForm& f) {
            EXPECT_EQ(f.ChkALOff.Value(), 1);
            ok(f);
        })) << stored;
        EXPECT_EQ(offDefault(), QStringLiteral("1")) << stored;
    }
}

TEST_F(FrmAlarmTest, APlaceThatHoldsNoItemOpensNothingAndPlaysNothing) {
    addItems({alarmed(ItemKind::Event, QStringLiteral("Rendez-vous"), 1, 2)});
    const struct {
        int16_t month, cell, index;
    } cases[] = {{13, kCell, 0}, {0, kCell, 0}, {3, 6, 0},
                 {3, 49, 0},     {3, kCell, 1}, {3, kCell, -1}};
    for (const auto& c : cases) {
        Exchange.DialogResult = 1;
        EXPECT_FALSE(ShowAlarm(c.month, c.cell, c.index));
        EXPECT_EQ(Exchange.DialogResult, 0);
    }
    EXPECT_TRUE(services.forms->modalForms.isEmpty());
    EXPECT_TRUE(sound->played.isEmpty());
}

TEST_F(FrmAlarmTest, NoSecondAlarmWindowAndNoneOverAnOpenEditor) {
    addItems({alarmed(ItemKind::Event, QStringLiteral("Premier"), 1, 1),
              alarmed(ItemKind::Event, QStringLiteral("Second"), 1, 2)});
    show(0, [](FrmAlarmForm& f) {
        EXPECT_FALSE(ShowAlarm(3, kCell, 1));
        EXPECT_EQ(Exchange.EditIndex, 0);
        EXPECT_EQ(f.AlarmIndex(), 0);
        f.CmdCancel.raiseEvent(rt::Event::Click);
    });
    EXPECT_EQ(services.forms->modalForms, QStringList{QStringLiteral("FrmAlarm")});
    EXPECT_EQ(sound->played.size(), 1);

    // An alarm due while the day-item editor is open waits: the editor keeps its item.
    Exchange.DialogMode = 1;
    Exchange.EditIndex = 1;
    services.forms->modalScripts.push_back([](rt::Form& form) {
        auto& f = dynamic_cast<FrmAddEVForm&>(form);
        EXPECT_FALSE(ShowAlarm(3, kCell, 0));
        EXPECT_EQ(Exchange.EditIndex, 1);
        f.TxtEV(0).userEdited(QStringLiteral("Deuxième"));
        f.CmdOk.raiseEvent(rt::Event::Click);
    });
    EXPECT_TRUE(ShowEVEditor());
    EXPECT_EQ(today().Items[1].Text, QStringLiteral("Deuxième"));
    EXPECT_EQ(sound->played.size(), 1);
}

TEST_F(FrmAlarmTest, TheBannerMovesLeftAndComesBackFromBeyondTheRightEdge) {
    addItems({alarmed(ItemKind::Event, QStringLiteral("Rendez-vous"))});
    show(0, [](FrmAlarmForm& f) {
        const int start = f.LblALWarning.Left();
        f.TmrAlarm_Timer();
        f.TmrAlarm_Timer();
        EXPECT_EQ(f.LblALWarning.Left(), start - 200);
        EXPECT_GT(f.LblALWarning.Width(), 0);
        f.LblALWarning.setLeft(-f.LblALWarning.Width() + 100); // one step from leaving
        f.TmrAlarm_Timer();
        EXPECT_EQ(f.LblALWarning.Left(), -f.LblALWarning.Width()); // still touching
        f.TmrAlarm_Timer();
        EXPECT_EQ(f.LblALWarning.Left(), f.PicAlarm.Left() + f.PicAlarm.Width() + 20);
        f.CmdCancel.raiseEvent(rt::Event::Click);
    });
}

TEST_F(FrmAlarmTest, HelpOpensTheAlarmTopicFromAnyControl) {
    addItems({alarmed(ItemKind::Event, QStringLiteral("Rendez-vous"))});
    show(0, [](FrmAlarmForm& f) {
        f.CmdHelp.raiseEvent(rt::Event::Click);
        press(f.CmbAL, Qt::Key_F1);
        EXPECT_TRUE(f.Loaded());
        f.CmdCancel.raiseEvent(rt::Event::Click);
    });
    ASSERT_EQ(help->calls.size(), 2u);
    EXPECT_EQ(help->calls[0].topic, QStringLiteral("Html\\d_alarm.htm"));
    EXPECT_EQ(help->calls[1].topic, QStringLiteral("Html\\d_alarm.htm"));
}

TEST_F(FrmAlarmTest, AnItemWhoseDayHasPassedIsRaisedAtEveryScanUntilItsAlarmIsOff) {
    ListAppend(CurDoc.Months(3).Cells(CellOfDay(2004, 3, 1)),
               alarmed(ItemKind::Event, QStringLiteral("Passé"), 1, 0));
    services.forms->modalScripts.push_back(
        [](rt::Form& f) { dynamic_cast<FrmAlarmForm&>(f).CmdCancel_Click(); });
    CheckAlarms();
    services.forms->modalScripts.push_back([](rt::Form& f) {
        auto& alarm = dynamic_cast<FrmAlarmForm&>(f);
        EXPECT_EQ(alarm.TxtEV(3).Text(), QStringLiteral("01 mars 2004"));
        alarm.CmdOk_Click(); // switched off, as proposed
    });
    CheckAlarms();
    CheckAlarms();
    EXPECT_EQ(services.forms->modalForms.size(), 2);
    EXPECT_EQ(CurDoc.Months(3).Cells(CellOfDay(2004, 3, 1)).Items[0].AlarmOn, 0);
}
