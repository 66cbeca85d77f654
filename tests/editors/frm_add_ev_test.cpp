// The day-item editor: the add defaults of its three pages, the automatic link of an income or
// expense to a debt or saving with its balances, the OK state, the lock of generated items,
// the display and alarm pages, and the Add and Edit buttons of the events page.

#include "document/month_grid.h"
#include "editors/frm_add_ev.h"
#include "editors/frm_alarm.h"
#include "editors_fixture.h"
#include "printing/frm_cm_op_pic.h"
#include "services/settings.h"
#include "shell/main_module.h"
#include "support/scripted_services.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

namespace {

const int16_t kCell = CellOfDay(2004, 3, 15); // the current day: 15 March 2004

EVItem item(int32_t Kind, const QString& Text) {
    EVItem i;
    i.Kind = Kind;
    i.Text = Text;
    i.Colour = -1;
    i.AlarmDaysBefore = 1;
    return i;
}

void ok(FrmAddEVForm& f) {
    f.CmdOk.raiseEvent(rt::Event::Click);
}
void cancel(FrmAddEVForm& f) {
    f.CmdCancel.raiseEvent(rt::Event::Click);
}

} // namespace

class FrmAddEVTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        previousSound_ = rt::setSoundServices(sound);
        previousDialogs_ = rt::setCommonDialogServices(dialogs);
        CurMonth = 3;
        CurCell = kCell;
        CurDate = MakeDate(15, 3, 2004);
        previousSettings_ = Settings;
    }
    void TearDown() override {
        Settings = previousSettings_;
        rt::setSoundServices(previousSound_);
        rt::setCommonDialogServices(previousDialogs_);
        EditorTest::TearDown();
    }
    static DayCell& today() { return CurDoc.Months(3).Cells(kCell); }
    bool add(std::function<void(FrmAddEVForm&)> script) {
        return open<FrmAddEVForm>(&ShowEVEditor, 0, 0, std::move(script));
    }
    bool edit(int16_t index, std::function<void(FrmAddEVForm&)> script) {
        return open<FrmAddEVForm>(&ShowEVEditor, 1, index, std::move(script));
    }

    std::shared_ptr<rt::ScriptedSound> sound = std::make_shared<rt::ScriptedSound>();
    std::shared_ptr<rt::ScriptedCommonDialogs> dialogs =
        std::make_shared<rt::ScriptedCommonDialogs>();

private:
    std::shared_ptr<rt::SoundServices> previousSound_;
    std::shared_ptr<rt::CommonDialogServices> previousDialogs_;
    AppSettings previousSettings_;
};

TEST_F(FrmAddEVTest, AnAddOpensOnTheGeneralPageWithTheDefaultsAndStoresAPlainEvent) {
    const bool changed = add([](FrmAddEVForm& f) {
        EXPECT_EQ(f.Caption(), QStringLiteral("Ajouter un Événement"));
        EXPECT_EQ(f.TbAddEV.Tab(), 0);
        EXPECT_EQ(f.TbAddEV.TabCaption(1) + u'|' + f.TbAddEV.TabCaption(2),
                  QStringLiteral("Affichage|Alarme"));
        EXPECT_EQ(f.LblDE(2).Caption(), QStringLiteral("Balance pour le 2004-03-14:"));
        EXPECT_EQ(f.LblDE(3).Caption(), QStringLiteral("Nouvelle balance pour le 2004-03-15:"));
        EXPECT_EQ(f.LblGen(0).Caption().left(11), QStringLiteral(" Attention:"));
        EXPECT_EQ(f.ChkEV(2).Value(), 1);
        EXPECT_EQ(f.TxtEV(0).MaxLength(), 17);
        EXPECT_FALSE(f.TxtEV(1).Enabled());
        EXPECT_EQ(f.TxtEV(1).Text(), QStringLiteral("0"));
        EXPECT_TRUE(f.CmdOk.Enabled());
        EXPECT_TRUE(f.PicTab(0).Enabled());
        EXPECT_FALSE(f.PicTab(1).Enabled() || f.PicTab(2).Enabled() || f.PicTab(3).Visible());

        f.TbAddEV.userSelect(1);
        EXPECT_TRUE(f.PicTab(1).Enabled());
        EXPECT_FALSE(f.PicTab(0).Enabled());
        for (int v : {f.ChkCol.Value(), f.ChkBck(0).Value(), f.ChkBck(1).Value()})
            EXPECT_EQ(v, 1);
        EXPECT_EQ(f.PicSelCol.BackColor(), rt::vbWhite);
        const std::initializer_list<rt::Control*> greyed = {&f.PicSelCol, &f.LblCol, &f.LblBck,
                                                            &f.TxtBck,    &f.CmdBck, &f.ChkBck(1)};
        for (rt::Control* c : greyed)
            EXPECT_FALSE(c->Enabled()) << c->Name().toStdString();
        EXPECT_EQ(f.TxtBck.BackColor(), rt::vbButtonFace);
        EXPECT_TRUE(f.ImgBck.Picture().isEmpty());

        f.TbAddEV.userSelect(2);
        EXPECT_EQ(f.ChkAL.Value(), 1);
        EXPECT_EQ(f.TxtAL.Text(), QStringLiteral("1"));
        EXPECT_EQ(f.TxtAL.BackColor(), rt::vbButtonFace);
        EXPECT_EQ(f.CmbAL.ListCount(), 11);
        EXPECT_EQ(f.CmbAL.Text(), QStringLiteral("Pas de son"));
        EXPECT_EQ(f.CmbAL.List(10), QStringLiteral("Son #10"));
        EXPECT_FALSE(f.TxtAL.Enabled() || f.UDAL.Enabled() || f.CmbAL.Enabled() ||
                     f.CmdAL.Enabled() || f.LblAL(0).Enabled());
        ok(f);
    });
    EXPECT_TRUE(changed);
    ASSERT_EQ(today().Count, 1);
    const EVItem& n = today().Items[0];
    EXPECT_EQ(n.Kind, ItemKind::Event);
    EXPECT_EQ(n.Text, QString());
    EXPECT_EQ(n.AlarmOn, 0);
    EXPECT_EQ(n.AlarmDaysBefore, 1);
    EXPECT_EQ(n.Sound, 0);
    EXPECT_EQ(n.Colour, -1);
    EXPECT_TRUE(n.PictureFile.isEmpty() && n.Picture.isEmpty());
    EXPECT_EQ(CurDoc.Months(3).DaysModified, -1);
}

// The headings, texts and entries carry the editors' three fonts, which the warming of the
// fonts also draws; the warming leaves them so.
TEST_F(FrmAddEVTest, HeadingsTextsAndEntriesCarryTheEditorsFonts) {
    WarmEditorFonts();
    add([](FrmAddEVForm& f) {
        const struct {
            const rt::Control& control;
            const char* name;
            double points;
            bool bold;
        } rows[] = {{f.LblGenSect(0), "Arial", 9.75, true},
                    {f.TbAddEV, "Arial", 8.25, false},
                    {f.TxtEV(0), "MS Sans Serif", 8.25, false}};
        for (const auto& row : rows) {
            EXPECT_EQ(row.control.FontName(), QLatin1String(row.name)) << row.control.Name().toStdString();
            EXPECT_EQ(row.control.FontSize(), row.points) << row.control.Name().toStdString();
            EXPECT_EQ(row.control.FontBold(), row.bold) << row.control.Name().toStdString();
        }
        click(f.CmdCancel);
    });
}

TEST_F(FrmAddEVTest, KindBoxesActAsOptionsAndAnIncomeCutsAnEventDescription) {
    add([](FrmAddEVForm& f) {
        f.TxtEV(0).userEdited(QStringLiteral("Anniversaire Léa")); // 16 characters
        f.ChkEV(2).userClicked();                                  // the ticked box stays ticked
        EXPECT_EQ(f.ChkEV(2).Value(), 1);
        f.ChkEV(0).userClicked();
        EXPECT_EQ(f.ChkEV(0).Value() * 100 + f.ChkEV(1).Value() * 10 + f.ChkEV(2).Value(), 100);
        EXPECT_EQ(f.TxtEV(0).Text(), QStringLiteral("Anniversai"));
        EXPECT_EQ(f.TxtEV(0).MaxLength(), 10);
        EXPECT_TRUE(f.TxtEV(1).Enabled());
        f.TxtEV(0).userEdited(QString());
        f.TxtEV(1).userEdited(QStringLiteral("-12,5"));
        EXPECT_EQ(f.TxtEV(1).Text(), QStringLiteral("12.5"));
        ok(f);
    });
    ASSERT_EQ(today().Count, 1);
    EXPECT_EQ(today().Items[0].Kind, ItemKind::Income);
    EXPECT_EQ(today().Items[0].Text, QStringLiteral("           12.5")); // ten blanks, a blank
}

TEST_F(FrmAddEVTest, TypingADebtsNameLinksTheItemAndTheAddDeductPairGivesItsKind) {
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Prêt       100"), 0, {1, 1, 2004}));
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Livret     100"), -1, {1, 1, 2004}));
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Livret     0"), -1, {20, 3, 2004}));
    const struct {
        const char* name;
        bool deduct;
        int32_t kind;
        int selected;
    } cases[] = {
        {"Prêt", false, ItemKind::Income, 0},
        {"Prêt", true, ItemKind::Expense, 0},
        {"Livret", false, ItemKind::Expense, 2}, // two of that name: the later one
        {"Livret", true, ItemKind::Income, 2},
    };
    for (const auto& c : cases) {
        ListClear(today());
        add([&](FrmAddEVForm& f) {
            f.TxtEV(0).userEdited(QStringLiteral("prêt")); // case counts: no link
            EXPECT_EQ(f.ChkGen.Value(), 0);
            f.TxtEV(0).userEdited(QString::fromUtf8(c.name));
            EXPECT_EQ(f.ChkGen.Value(), 1);
            EXPECT_EQ(f.CmbDE.ListIndex(), c.selected);
            EXPECT_TRUE(f.PicGen(1).Visible() && !f.PicGen(0).Visible());
            f.TxtDE(0).userEdited(QStringLiteral("30"));
            EXPECT_EQ(f.TxtEV(1).Text(), QStringLiteral("30")); // the two amounts are one
            if (c.deduct) f.ChkDE(1).userClicked();
            EXPECT_EQ(f.ChkDE(0).Value() + f.ChkDE(1).Value(), 1);
            ok(f);
        });
        ASSERT_EQ(today().Count, 1) << c.name;
        EXPECT_EQ(today().Items[0].Kind, c.kind) << c.name << c.deduct;
        EXPECT_EQ(today().Items[0].Text, MakeMoneyText(QString::fromUtf8(c.name), "30"));
    }
}

TEST_F(FrmAddEVTest, TheBalancesAreTheDayBeforeAndTheDayAfterThisMovement) {
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Début      100"), 0, {15, 3, 2004}));
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Plus tard  100"), 0, {16, 3, 2004}));
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Dix        10"), 0, {1, 1, 2004}));
    const struct {
        int de;
        const char* amount;
        bool deduct;
        const char* before;
        const char* after;
    } cases[] = {
        {0, "30", false, "0", "130"},   {0, "30", true, "0", "70"},     {1, "30", false, "0", "0"},
        {2, "12.5", false, "10", "22"}, {2, "13.5", false, "10", "24"},
    };
    for (const auto& c : cases) {
        add([&](FrmAddEVForm& f) {
            f.ChkGen.userClicked();
            EXPECT_FALSE(f.CmdOk.Enabled()); // linked, nothing chosen yet
            EXPECT_EQ(f.TxtDE(1).Text(), QString());
            f.CmbDE.userSelect(c.de);
            EXPECT_TRUE(f.CmdOk.Enabled());
            f.TxtDE(0).userEdited(QString::fromUtf8(c.amount));
            if (c.deduct) f.ChkDE(1).userClicked();
            EXPECT_EQ(f.TxtDE(1).Text(), QString::fromUtf8(c.before)) << c.de << c.amount;
            EXPECT_EQ(f.TxtDE(2).Text(), QString::fromUtf8(c.after)) << c.de << c.amount;
            cancel(f);
        });
    }

    // Editing a linked item: its own old amount does not count, the new one takes its place.
    ListAppend(today(), item(ItemKind::Income, MakeMoneyText("Début", "50")));
    ListAppend(today(), item(ItemKind::Income, MakeMoneyText("Début", "5")));
    edit(1, [](FrmAddEVForm& f) {
        EXPECT_EQ(f.ChkGen.Value(), 1);
        EXPECT_EQ(f.ChkDE(0).Value(), 1);
        EXPECT_EQ(f.TxtDE(0).Text(), QStringLiteral("5"));
        EXPECT_EQ(f.TxtDE(2).Text(), QStringLiteral("155")); // 100 + 50 + 5
        f.TxtDE(0).userEdited(QStringLiteral("7"));
        EXPECT_EQ(f.TxtDE(2).Text(), QStringLiteral("157"));
        cancel(f);
    });
}

TEST_F(FrmAddEVTest, OkIsDisabledOnlyForALinkWithoutDebtOrAFreeEntryNamedLikeOne) {
    add([](FrmAddEVForm& f) { // no debt or saving in the document
        f.ChkGen.userClicked();
        EXPECT_TRUE(f.PicGen(2).Visible());
        EXPECT_EQ(f.LblDE(4).Caption().left(8), QStringLiteral("Étape 1:"));
        EXPECT_FALSE(f.CmdOk.Enabled());
        f.ChkGen.userClicked();
        f.TxtEV(0).userEdited(QStringLiteral("Loyer"));
        EXPECT_EQ(f.ChkGen.Value(), 0);
        EXPECT_TRUE(f.CmdOk.Enabled());
        cancel(f);
    });
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Loyer      0")));
    add([](FrmAddEVForm& f) {
        f.TxtEV(0).userEdited(QStringLiteral("Loyer"));
        f.ChkGen.userClicked(); // back to a free entry with the debt's name
        EXPECT_EQ(f.CmbDE.ListIndex(), 0);
        EXPECT_FALSE(f.CmdOk.Enabled());
        f.TxtEV(0).userEdited(QString());
        EXPECT_FALSE(f.CmdOk.Enabled());
        f.TxtEV(0).userEdited(QStringLiteral("Loyers"));
        EXPECT_TRUE(f.CmdOk.Enabled());
        cancel(f);
    });
    EXPECT_EQ(today().Count, 0);
}

TEST_F(FrmAddEVTest, AGeneratedItemKeepsKindTextAndKeyAndOnlyItsDisplayAndAlarmChange) {
    ListAppend(CurDoc.DebtsSavings, debt(QStringLiteral("Loyer      0")));
    EVItem generated = item(ItemKind::Event, QStringLiteral("Loyer"));
    generated.SourceKey = QStringLiteral("AE0000000000000003");
    ListAppend(today(), generated);
    EVItem income = item(ItemKind::Income, QStringLiteral("Salaire    0250"));
    income.SourceKey = QStringLiteral("BD0000000000000001");
    ListAppend(today(), income);
    SetModified(DocPart::All, 0, 0);

    const bool changed = edit(0, [](FrmAddEVForm& f) {
        EXPECT_TRUE(f.PicTab(3).Visible() && f.PicTab(3).Enabled());
        EXPECT_FALSE(f.PicTab(0).Visible() || f.PicTab(0).Enabled());
        EXPECT_TRUE(f.LblGen(0).Visible());
        EXPECT_FALSE(f.LblGen(1).Visible());
        f.TbAddEV.userSelect(1);
        f.TbAddEV.userSelect(0);
        EXPECT_TRUE(f.PicTab(3).Enabled());
        EXPECT_FALSE(f.PicTab(0).Enabled());
        f.ChkCol.userClicked();
        ok(f);
    });
    EXPECT_TRUE(changed);
    // Stays an event, although its name is a debt's, which would link a free entry.
    EXPECT_EQ(today().Items[0].Kind, ItemKind::Event);
    EXPECT_EQ(today().Items[0].Text, QStringLiteral("Loyer"));
    EXPECT_EQ(today().Items[0].SourceKey, QStringLiteral("AE0000000000000003"));
    EXPECT_EQ(today().Items[0].Colour, rt::vbWhite);

    // Unchanged but for the amount's normal form: nothing stored.
    SetModified(DocPart::All, 0, 0);
    EXPECT_FALSE(edit(1, [](FrmAddEVForm& f) {
        EXPECT_TRUE(f.LblGen(1).Visible());
        ok(f);
    }));
    EXPECT_EQ(today().Items[1].Text, QStringLiteral("Salaire    0250"));
    EXPECT_EQ(CurDoc.Months(3).DaysModified, 0);
}

TEST_F(FrmAddEVTest, AStoredEditLosesTheTickAndAnUnchangedOneStoresNothing) {
    EVItem ticked = item(ItemKind::Event, QStringLiteral("Dentiste à 14 heures"));
    ticked.Checked = -1;
    ListAppend(today(), ticked);
    SetModified(DocPart::All, 0, 0);
    // A description longer than the box allows is shown whole and kept.
    EXPECT_FALSE(edit(0, [](FrmAddEVForm& f) {
        EXPECT_EQ(f.Caption(), QStringLiteral("Éditer un Événement"));
        EXPECT_EQ(f.TxtEV(0).Text(), QStringLiteral("Dentiste à 14 heures"));
        ok(f);
    }));
    EXPECT_EQ(today().Items[0].Checked, -1);
    EXPECT_EQ(CurDoc.Months(3).DaysModified, 0);

    dialogs->colorAnswers = {rt::RGB(0, 128, 0)};
    EXPECT_TRUE(edit(0, [](FrmAddEVForm& f) {
        f.ChkCol.userClicked();
        f.PicSelCol.raiseEvent(rt::Event::Click);
        ok(f);
    }));
    EXPECT_EQ(today().Items[0].Checked, 0);
    EXPECT_EQ(today().Items[0].Colour, rt::RGB(0, 128, 0));
    EXPECT_EQ(dialogs->colorRequests.at(0).initial, rt::vbWhite);
    EXPECT_EQ(dialogs->colorRequests.at(0).flags, 3);
}

TEST_F(FrmAddEVTest, ColourAndPictureBoxesDecideWhatIsStoredWithoutForgettingTheChoice) {
    QTemporaryDir dir;
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(Qt::blue);
    const QString file = dir.filePath(QStringLiteral("bleu.bmp"));
    ASSERT_TRUE(image.save(file));
    EVItem pictured = item(ItemKind::Event, QStringLiteral("Plage"));
    pictured.Colour = rt::RGB(255, 0, 0);
    pictured.PictureFile = file;
    pictured.Picture = rt::LoadPicture(file);
    ListAppend(today(), pictured);

    dialogs->colorAnswers = {std::nullopt, rt::RGB(0, 0, 128)};
    edit(0, [&](FrmAddEVForm& f) {
        EXPECT_EQ(f.ChkCol.Value(), 0);
        EXPECT_EQ(f.PicSelCol.BackColor(), rt::RGB(255, 0, 0));
        f.LblCol.raiseEvent(rt::Event::Click); // cancelled: the colour stays
        EXPECT_EQ(f.PicSelCol.BackColor(), rt::RGB(255, 0, 0));
        f.PicSelCol.raiseEvent(rt::Event::Click);
        f.ChkCol.userClicked();
        f.ChkCol.userClicked(); // unticked again: the chosen colour comes back
        EXPECT_EQ(f.TxtBck.Text(), file);
        // The item's own picture, not read again.
        EXPECT_TRUE(f.ImgBck.Picture().sameObject(pictured.Picture));
        f.TbAddEV.userSelect(1);
        f.ChkBck(1).userClicked();
        EXPECT_TRUE(f.ImgBck.Picture().isEmpty()); // the preview only
        f.CmdBck.raiseEvent(rt::Event::Click);     // the chooser closed without a choice
        EXPECT_EQ(f.TxtBck.Text(), file);
        EXPECT_TRUE(f.PicTab(1).Enabled() && f.CmdBck.Enabled());
        ok(f);
    });
    EXPECT_EQ(today().Items[0].Colour, rt::RGB(0, 0, 128));
    EXPECT_EQ(today().Items[0].PictureFile, file);
    EXPECT_TRUE(today().Items[0].Picture.sameObject(pictured.Picture));

    edit(0, [](FrmAddEVForm& f) {
        f.ChkCol.userClicked();
        f.ChkBck(0).userClicked();
        ok(f);
    });
    EXPECT_EQ(today().Items[0].Colour, -1);
    EXPECT_TRUE(today().Items[0].PictureFile.isEmpty());
    EXPECT_TRUE(today().Items[0].Picture.isEmpty());
}

TEST_F(FrmAddEVTest, AChosenPictureIsLoadedAtOnceAndAnUnreadableOneKeepsOnlyItsPath) {
    QTemporaryDir dir;
    QImage image(30, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(dir.filePath(QStringLiteral("a_rouge.bmp"))));
    QFile broken(dir.filePath(QStringLiteral("b_casse.bmp")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly) && broken.write("pas une image") > 0);
    broken.close();
    Settings.ImgOpenPath = u'*' + dir.path() + u'/'; // the chooser opens there

    for (int row : {0, 1}) {
        ListClear(today());
        add([&](FrmAddEVForm& f) {
            f.TbAddEV.userSelect(1);
            f.ChkBck(0).userClicked();
            // The chooser, as the user works it: a file of its list, then its open button.
            services.forms->modalScripts.push_back([row](rt::Form& chooser) {
                auto& c = dynamic_cast<FrmCmOpPicForm&>(chooser);
                c.File1.setListIndex(row);
                c.CmdOpen.raiseEvent(rt::Event::Click);
            });
            f.CmdBck.raiseEvent(rt::Event::Click);
            EXPECT_TRUE(f.PicTab(1).Enabled() && f.CmdBck.Enabled());
            EXPECT_EQ(f.TxtBck.Text(), f.HeldImage.FileName);
            EXPECT_EQ(f.ImgBck.Picture().isEmpty(), row == 1);
            ok(f);
        });
        ASSERT_EQ(today().Count, 1);
        EXPECT_EQ(
            today().Items[0].PictureFile,
            dir.filePath(row == 0 ? QStringLiteral("a_rouge.bmp") : QStringLiteral("b_casse.bmp")));
        EXPECT_EQ(today().Items[0].Picture.isEmpty(), row == 1);
    }
}

TEST_F(FrmAddEVTest, TheAlarmPageStoresDaysAndSoundAndPlaysTheChosenOne) {
    Settings.SoundFiles(3) = QStringLiteral("/sons/alarm03.wav");
    EVItem alarmed = item(ItemKind::Event, QStringLiteral("Réunion"));
    alarmed.AlarmOn = -1;
    alarmed.AlarmDaysBefore = 0;
    alarmed.Sound = 4;
    ListAppend(today(), alarmed);
    EVItem damaged = alarmed;
    damaged.Sound = 12; // beyond the ten sounds: a damaged file
    ListAppend(today(), damaged);

    edit(0, [this](FrmAddEVForm& f) {
        EXPECT_EQ(f.ChkAL.Value(), 0);
        EXPECT_EQ(f.TxtAL.Text(), QStringLiteral("0"));
        EXPECT_EQ(f.CmbAL.Text(), QStringLiteral("Son #04"));
        EXPECT_TRUE(f.CmdAL.Enabled());
        f.CmbAL.userSelect(0);
        EXPECT_FALSE(f.CmdAL.Enabled());
        f.CmbAL.userSelect(3);
        f.CmdAL.raiseEvent(rt::Event::Click);
        EXPECT_EQ(sound->played, QStringList{QStringLiteral("/sons/alarm03.wav")});
        f.TxtAL.userEdited(QStringLiteral("2.50"));
        EXPECT_EQ(f.TxtAL.Text(), QStringLiteral("2.5"));
        ok(f);
    });
    EXPECT_EQ(today().Items[0].AlarmDaysBefore, 2); // a half to the even neighbour
    EXPECT_EQ(today().Items[0].Sound, 3);

    edit(1, [](FrmAddEVForm& f) {
        EXPECT_EQ(f.CmbAL.ListIndex(), 0);
        f.TxtAL.userEdited(QStringLiteral("3.5"));
        for (int i = 0; i < 3; ++i)
            f.UDAL.userStep(-1);
        EXPECT_EQ(f.TxtAL.Text(), QStringLiteral("1")); // 4 stepped down three times
        f.TxtAL.userEdited(QStringLiteral("364"));
        f.UDAL.userStep(1);
        f.UDAL.userStep(1);
        EXPECT_EQ(f.TxtAL.Text(), QStringLiteral("365"));
        f.TxtAL.userEdited(QStringLiteral("0"));
        f.UDAL.userStep(-1);
        EXPECT_EQ(f.TxtAL.Text(), QStringLiteral("0"));
        f.ChkAL.userClicked(); // alarm off: what the fields show no longer counts
        ok(f);
    });
    EXPECT_EQ(today().Items[1].AlarmOn, 0);
    EXPECT_EQ(today().Items[1].AlarmDaysBefore, 1);
    EXPECT_EQ(today().Items[1].Sound, 0);
}

TEST_F(FrmAddEVTest, HelpFollowsThePageEnterIsOkAndEscapeDoesNothing) {
    add([this](FrmAddEVForm& f) {
        f.CmdHelp.raiseEvent(rt::Event::Click);
        f.TbAddEV.userSelect(1);
        press(f.ChkCol, Qt::Key_F1);
        f.TbAddEV.userSelect(2);
        press(f.ChkAL, Qt::Key_F1);
        ASSERT_EQ(help->calls.size(), 3u);
        EXPECT_EQ(help->calls[0].topic, QStringLiteral("Html\\d_addev_gen.htm"));
        EXPECT_EQ(help->calls[1].topic, QStringLiteral("Html\\d_addev_disp.htm"));
        EXPECT_EQ(help->calls[2].topic, QStringLiteral("Html\\d_addev_al.htm"));
        press(f.ChkAL, Qt::Key_Escape);
        EXPECT_TRUE(f.Loaded());
        press(f.ChkAL, Qt::Key_Return);
        EXPECT_FALSE(f.Loaded());
    });
    EXPECT_EQ(today().Count, 1);
}

TEST_F(FrmAddEVTest, DamagedItemsOpenAShortMoneyTextWithNoAmountAnUnknownKindAsAnEvent) {
    ListAppend(today(), item(ItemKind::Expense, QStringLiteral("Pain")));
    ListAppend(today(), item(7, QStringLiteral("Inconnu")));
    edit(0, [](FrmAddEVForm& f) {
        EXPECT_EQ(f.ChkEV(1).Value(), 1);
        EXPECT_EQ(f.TxtEV(0).Text(), QStringLiteral("Pain"));
        EXPECT_EQ(f.TxtEV(1).Text(), QStringLiteral("0"));
        ok(f);
    });
    EXPECT_EQ(today().Items[0].Text, QStringLiteral("Pain       0"));
    edit(1, [](FrmAddEVForm& f) {
        EXPECT_EQ(f.ChkEV(0).Value() + f.ChkEV(1).Value(), 0);
        EXPECT_EQ(f.ChkEV(2).Value(), 1);
        EXPECT_EQ(f.TxtEV(0).Text(), QStringLiteral("Inconnu"));
        ok(f);
    });
    EXPECT_EQ(today().Items[1].Kind, ItemKind::Event);
}

// ---- The events page's Add and Edit buttons ----

TEST_F(FrmAddEVTest, TheEventsPageSelectsTheNewOrEditedRowAndRedrawsTheCellOnlyAfterAChange) {
    FillMonthDays(3);
    FrmMain->TbMenu.setTab(4);
    SelectDay(3, kCell);
    ListAppend(today(), item(ItemKind::Event, QStringLiteral("Premier")));
    RefreshPane(false, 0);
    rt::ControlArray<rt::Label>& line2 = MonthForms(3)->LblEV(2);

    services.forms->modalScripts.push_back([](rt::Form& form) {
        auto& f = dynamic_cast<FrmAddEVForm&>(form);
        f.TxtEV(0).userEdited(QStringLiteral("Second"));
        ok(f);
    });
    FrmMain->CmdEVAdd_Click();
    EXPECT_EQ(FrmMain->LstEV.ListCount(), 2);
    EXPECT_EQ(FrmMain->LstEV.ListIndex(), 1);
    EXPECT_TRUE(line2(kCell).Caption().contains(QStringLiteral("Second")));

    // Edit, nothing changed: no refresh (the selection set meanwhile stays).
    FrmMain->LstEV.setListIndex(0);
    services.forms->modalScripts.push_back(
        [](rt::Form& form) { ok(dynamic_cast<FrmAddEVForm&>(form)); });
    FrmMain->CmdEVEdit_Click();
    EXPECT_EQ(Exchange.DialogResult, 0);
    EXPECT_EQ(FrmMain->LstEV.ListIndex(), 0);

    // Not in the state "Edit": nothing opens.
    FrmMain->setTag(QStringLiteral("Load"));
    const auto shown = services.forms->modalForms.size();
    FrmMain->CmdEVAdd_Click();
    FrmMain->CmdEVEdit_Click();
    EXPECT_EQ(services.forms->modalForms.size(), shown);
}

// An expense typed at the keyboard (its box ticked with the space bar, then a description and
// an amount): the amount box shows while typing what will be stored, whatever the separator.
TEST_F(FrmAddEVTest, TypedAndPastedAmountsAreStoredAsShown) {
    using testing_support::KeyStep;
    const struct {
        const char* what;
        std::vector<KeyStep> keys; // in the amount box
        const char* shown;         // by the box then
        const char* stored;
    } cases[] = {
        {"a point", {"187.45"}, "187.45", "Courses    187.45"},
        {"a comma", {"187,45"}, "187.45", "Courses    187.45"},
        {"a separator at the end", {"12,"}, "12.", "Courses    12"},
        // Tab leaves the box for the Help button, Shift+Tab comes back for Enter to confirm.
        {"a separator left behind",
         {"12,", Qt::Key_Tab, Qt::SHIFT | Qt::Key_Tab},
         "12",
         "Courses    12"},
        {"pasted", {Qt::CTRL | Qt::Key_V}, "12.5", "Courses    12.5"},
    };
    QGuiApplication::clipboard()->setText(QStringLiteral("-12,5"));
    for (const auto& c : cases) {
        today().Items.clear();
        today().Count = 0;
        EXPECT_TRUE(add([&](FrmAddEVForm& f) {
            testing_support::tabInto(f.ChkEV(1).widget());
            EXPECT_TRUE(testing_support::userTypes(
                {Qt::Key_Space, Qt::Key_Tab, Qt::Key_Tab, "Courses", Qt::Key_Tab}));
            EXPECT_TRUE(testing_support::userTypes(c.keys)) << c.what;
            EXPECT_EQ(f.TxtEV(1).Text(), QLatin1String(c.shown)) << c.what;
            testing_support::userTypes({Qt::Key_Return});
        })) << c.what;
        ASSERT_EQ(today().Count, 1) << c.what;
        EXPECT_EQ(today().Items[0].Kind, ItemKind::Expense) << c.what;
        EXPECT_EQ(today().Items[0].Text, QLatin1String(c.stored)) << c.what;
    }
}
