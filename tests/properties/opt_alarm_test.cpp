// The options dialog's alarm page: the interval and the main window's alarm timer, the ten
// sounds shown one at a time, chosen and tested on a working copy.

#include "opt_fixture.h"

#include <QFile>

namespace {

struct IntervalCase {
    const char* name;
    const char* stored; // "" absent
    bool tick;          // the alarm check box when OK is pressed
    const char* typed;  // nullptr: the minutes as loaded
    const char* saved;
    int nextInMinutes; // the next check from now; 0 with the timer off
};

} // namespace

TEST_F(OptTest, TheIntervalIsStoredAndTheAlarmTimerFollowsIt) {
    const IntervalCase cases[] = {
        {"off stays off", "-1", false, nullptr, "-1", 0},
        {"thirty", "15", true, "30", "30", 30},
        {"zero: at the next tick", "-1", true, "0", "0", 0},
        {"not a number", "15", true, "abc", "0", 0},
        {"typed -1", "15", true, "-1", "-1", -1},
        {"unticked", "45", false, "20", "-1", 0},
        // Mend: a number beyond 16 bits is held at the limit instead of stopping the dialog.
        {"too many", "15", true, "99999", "32767", 32767},
        {"too few", "15", true, "-99999", "-32768", -32768},
        // A stored number beyond 16 bits reads as the alarm timer reads it: the default.
        {"stored too many", "70000", true, nullptr, "15", 15},
    };
    for (const IntervalCase& c : cases) {
        put("Alarm", "IntervalChk", QString::fromLatin1(c.stored));
        FrmMain->TmALCheck.setEnabled(!c.tick);
        showOptions([&](FrmOptForm& d) {
            if (QByteArray(c.stored) == "-1") {
                EXPECT_EQ(d.ChkAL(2).Value(), 0) << c.name;
                EXPECT_EQ(d.TxtAL(0).Text(), QStringLiteral("15")) << c.name;
                EXPECT_FALSE(d.TxtAL(0).Enabled() || d.UDAL.Enabled() || d.LblAl(0).Enabled());
                EXPECT_EQ(d.TxtAL(0).BackColor(), rt::vbButtonFace);
            } else {
                EXPECT_EQ(d.TxtAL(0).Text(), QString::number(AlarmIntervalSetting())) << c.name;
                EXPECT_EQ(d.ChkAL(2).Value(), 1) << c.name;
            }
            d.ChkAL(2).setValue(c.tick ? 1 : 0);
            EXPECT_EQ(d.TxtAL(0).Enabled(), c.tick) << c.name;
            if (c.typed) d.TxtAL(0).userEdited(QString::fromLatin1(c.typed));
            pressOk(d);
        });
        EXPECT_EQ(get("Alarm", "IntervalChk"), QString::fromLatin1(c.saved)) << c.name;
        EXPECT_EQ(FrmMain->TmALCheck.Enabled(), c.tick) << c.name;
        if (c.tick) {
            EXPECT_EQ(FrmMain->NextAlarmCheck,
                      testing_support::fixedNow().addSecs(60LL * c.nextInMinutes))
                << c.name;
        }
    }
}

TEST_F(OptTest, SoundsAreShownOneAtATimeAndKeptOnlyOnOk) {
    for (int i = 1; i <= 10; ++i)
        Settings.SoundFiles(i) = QStringLiteral("/wav/s%1.wav").arg(i);
    const QString chosen = path(QStringLiteral("chosen.wav"));
    dialogs_->answerFile(chosen);
    sound_->answers.push_back(true);
    EXPECT_FALSE(showOptions([&](FrmOptForm& d) {
        EXPECT_EQ(d.LblAl(1).Caption(), QStringLiteral("Son #"));
        EXPECT_EQ(d.LblAl(2).Caption(), QStringLiteral("Son #01 nom de fichier et chemin d'accès"));
        EXPECT_EQ(d.TxtAL(1).Text(), QStringLiteral("/wav/s1.wav"));
        d.OptAL(9).setValue(true);
        EXPECT_EQ(d.LblAl(2).Caption(), QStringLiteral("Son #10 nom de fichier et chemin d'accès"));
        EXPECT_EQ(d.TxtAL(1).Text(), QStringLiteral("/wav/s10.wav"));
        EXPECT_EQ(d.TxtAL(1).Tag(), QStringLiteral("10"));
        d.OptAL(3).setValue(true);
        d.CmdAL(0).raiseEvent(rt::Event::Click);
        EXPECT_EQ(d.TxtAL(1).Text(), chosen);
        d.CmdAL(1).raiseEvent(rt::Event::Click); // the working copy is played
        pressCancel(d);
    }));
    ASSERT_EQ(dialogs_->fileRequests.size(), 1u);
    const rt::FileDialogRequest& request = dialogs_->fileRequests[0];
    EXPECT_EQ(request.fileName, QStringLiteral("/wav/s4.wav"));
    EXPECT_EQ(request.filterIndex, 2);
    EXPECT_EQ(request.flags, rt::cdlOFNHideReadOnly);
    // "*.*" becomes every file, names without a dot included.
    EXPECT_EQ(rt::qtNameFilters(request.filter).first(), QStringLiteral("Tous les fichiers (*)"));
    EXPECT_EQ(sound_->played, QStringList{chosen});
    EXPECT_EQ(Settings.SoundFiles(4), QStringLiteral("/wav/s4.wav")); // Cancel: unchanged

    // The file dialog cancelled: nothing changes; OK hands the copy over.
    dialogs_->answerCancel();
    dialogs_->answerFile(chosen);
    EXPECT_TRUE(showOptions([&](FrmOptForm& d) {
        d.OptAL(1).setValue(true);
        d.CmdAL(0).raiseEvent(rt::Event::Click);
        EXPECT_EQ(d.TxtAL(1).Text(), QStringLiteral("/wav/s2.wav"));
        d.OptAL(4).setValue(true);
        d.CmdAL(0).raiseEvent(rt::Event::Click);
        pressOk(d);
    }));
    EXPECT_EQ(Settings.SoundFiles(2), QStringLiteral("/wav/s2.wav"));
    EXPECT_EQ(Settings.SoundFiles(5), chosen);
    EXPECT_EQ(ui_->msgBoxCalls.size(), 0u);
}
