// The options dialog's frame and general page: OK and Cancel, the tab kept, help, the ".cal"
// file type in the registry and on the desktop, the settings of the general page.

#include "opt_fixture.h"
#include "properties/common_reg.h"
#include "properties/opt_association.h"

#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QWidget>

namespace {

const int32_t HKCR = rt::HKEY_CLASSES_ROOT;
const QString kCommandKey = QStringLiteral("Mirovanta\\shell\\open\\command");

void setRegistry(const QString& key, const QString& value) {
    CreateNewKey(key, HKCR);
    SetKeyValue(key, QString(), value, rt::REG_SZ, HKCR);
}

QVariant registry(const QString& key) {
    return QueryValue(key, QString(), HKCR);
}

void pressF1(rt::Form& form) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    form.previewKey(&press, true);
}

} // namespace

TEST_F(OptTest, TheDialogOpensOnTheFirstTabWithItsPageAloneEnabled) {
    put("General", "ShowSplash", QStringLiteral("0"));
    const bool accepted = showOptions([](FrmOptForm& d) {
        EXPECT_EQ(d.Caption(), QStringLiteral("Mirovanta - Options"));
        EXPECT_FALSE(d.CmdHelp.Picture().isEmpty());
        EXPECT_EQ(d.TbOpt.Tab(), 0);
        EXPECT_TRUE(d.PicGen.Enabled());
        EXPECT_FALSE(d.PicAL.Enabled() || d.PicPath(0).Enabled() || d.PicPrint.Enabled());
        EXPECT_EQ(d.ChkGen(0).Value() * 100 + d.ChkGen(1).Value() * 10 + d.ChkGen(2).Value(), 1);
        EXPECT_TRUE(d.Tag().isEmpty());
        pressCancel(d);
    });
    EXPECT_FALSE(accepted);
    EXPECT_FALSE(FrmOpt.exists()); // released after use
}

// Every caption fits its control on every page: no French text is cut.
TEST_F(OptTest, EveryCaptionFitsItsControl) {
    showOptions([](FrmOptForm& d) {
        for (int t = 0; t <= 3; ++t) {
            d.TbOpt.setTab(t);
            d.OptPath(t == 2 ? 1 : 0).setValue(true);
            for (rt::Control* c : d.Controls()) {
                QWidget* w = c->widget();
                if (!w || c->Caption().isEmpty() || c->kind() == rt::ControlKind::Frame) continue;
                EXPECT_LE(w->sizeHint().width(), w->width())
                    << c->Name().toStdString() << '(' << c->Index() << ')';
            }
        }
        pressCancel(d);
    });
}

TEST_F(OptTest, CancelChangesNothingAndOkWithoutChangeStoresTheTab) {
    put("Tabs", "TbOpt", QStringLiteral("1"));
    Settings.PrintMonths(5) = 1;
    Settings.PrintCopies = 1;
    const AppSettings before = Settings;
    EXPECT_FALSE(showOptions([](FrmOptForm& d) {
        EXPECT_EQ(d.TbOpt.Tab(), 1);
        d.ChkGen(0).setValue(1);
        d.ChkGen(1).setValue(0);
        d.ChkAL(2).setValue(0);
        d.ChkPath(0).setValue(0);
        d.CmdPrint(0).raiseEvent(rt::Event::Click); // every month
        d.TbOpt.setTab(3);
        d.closeByUser(); // the close box counts as Cancel
    }));
    EXPECT_EQ(Settings, before);
    EXPECT_EQ(get("Tabs", "TbOpt"), QStringLiteral("1"));
    EXPECT_TRUE(get("General", "ShowSplash").isEmpty());
    EXPECT_TRUE(get("Alarm", "IntervalChk").isEmpty());
    EXPECT_FALSE(registry(QStringLiteral(".cal")).isValid());
    EXPECT_EQ(Exchange.DialogResult, 0);

    EXPECT_TRUE(showOptions([](FrmOptForm& d) {
        d.TbOpt.setTab(2);
        pressOk(d);
    }));
    EXPECT_EQ(Exchange.DialogResult, 1);
    EXPECT_EQ(get("Tabs", "TbOpt"), QStringLiteral("2"));
    EXPECT_EQ(get("General", "ShowSplash"), QStringLiteral("1"));
    EXPECT_EQ(get("Summary", "ShowSel"), QStringLiteral("1"));
}

struct TabCase {
    const char* stored;
    int tab;
};

TEST_F(OptTest, TheStoredTabOpensItsPageAndAnythingElseTheFirst) {
    const TabCase cases[] = {{"3", 3}, {"2.4", 2}, {"abc", 0}, {"9", 0}, {"-1", 0}, {"1e30", 0}};
    for (const TabCase& c : cases) {
        put("Tabs", "TbOpt", QString::fromLatin1(c.stored));
        showOptions([&](FrmOptForm& d) {
            EXPECT_EQ(d.TbOpt.Tab(), c.tab) << c.stored;
            EXPECT_EQ(d.PicGen.Enabled(), c.tab == 0) << c.stored;
            EXPECT_EQ(d.PicPrint.Enabled(), c.tab == 3) << c.stored;
            EXPECT_EQ(d.PicPath(0).Enabled(), c.tab == 2) << c.stored;
            pressCancel(d);
        });
    }
}

TEST_F(OptTest, HelpAndF1OpenTheTopicOfThePageShown) {
    showOptions([](FrmOptForm& d) {
        for (int t = 0; t <= 3; ++t) {
            d.TbOpt.setTab(t);
            pressF1(d);
        }
        d.CmdHelp.raiseEvent(rt::Event::Click);
        pressCancel(d);
    });
    ASSERT_EQ(help_->calls.size(), 5u);
    const char* topics[] = {"Html\\d_opt_gen.htm", "Html\\d_opt_al.htm", "Html\\d_opt_fold.htm",
                            "Html\\d_opt_print.htm", "Html\\d_opt_print.htm"};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(help_->calls[i].topic, QString::fromLatin1(topics[i]));
}

// Mend: the settings store may hold any number where a box expects 0, 1 or 2; such a number
// shows the box ticked instead of stopping the dialog.
TEST_F(OptTest, StoredNumbersOutsideTheBoxValuesShowTheBoxTicked) {
    const struct {
        const char* stored;
        int shown;
    } cases[] = {{"0", 0}, {"1", 1},           {"2", 2}, {"-1", 1},
                 {"7", 1}, {"99999999999", 1}, {"x", 0}, {"0.4", 0}};
    for (const auto& c : cases) {
        put("General", "ShowSplash", QString::fromLatin1(c.stored));
        put("Summary", "ShowSel", QString::fromLatin1(c.stored));
        put("Alarm", "OffDefault", QString::fromLatin1(c.stored));
        showOptions([&](FrmOptForm& d) {
            EXPECT_EQ(d.ChkGen(1).Value(), c.shown) << c.stored;
            EXPECT_EQ(d.ChkGen(2).Value(), c.shown) << c.stored;
            EXPECT_EQ(d.ChkAL(1).Value(), c.shown) << c.stored;
            pressCancel(d);
        });
    }
}

TEST_F(OptTest, TickingTheFileTypeWritesItsKeysAndRegistersItWithTheDesktop) {
    testing_support::fixedSystem().ProgramFolder = QStringLiteral("/opt/Mirovanta 2/bin");
    EXPECT_EQ(CalCommandLine(), QStringLiteral("\"/opt/Mirovanta 2/bin/mirovanta\" %1"));
    showOptions([](FrmOptForm& d) {
        d.ChkGen(0).userClicked();
        pressOk(d);
    });
    EXPECT_EQ(registry(QStringLiteral(".cal")), QVariant("Mirovanta"));
    EXPECT_EQ(registry(QStringLiteral("Mirovanta")), QVariant("Mirovanta document"));
    EXPECT_EQ(registry(kCommandKey), QVariant(CalCommandLine()));
    const QString entry = rt::desktopEntryFile(QStringLiteral("Mirovanta"));
    ASSERT_TRUE(QFileInfo::exists(entry));
    EXPECT_TRUE(QFileInfo::exists(rt::desktopMimePackageFile(QStringLiteral("Mirovanta"))));
    QFile f(entry);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("\nExec=\"/opt/Mirovanta 2/bin/mirovanta\" %f\n"));
    // It carries the program's icon, written in the sizes the program draws it.
    EXPECT_TRUE(text.contains("\nIcon=mirovanta\n"));
    for (const int size : {16, 32})
        EXPECT_EQ(QImage(rt::desktopIconFile(QStringLiteral("Mirovanta"), size)).size(),
                  QSize(size, size));
    if (const auto problems = testing_support::desktopEntryProblems(entry)) {
        EXPECT_EQ(*problems, QString());
    }

    // The dialog reads back what it wrote; unticking removes the type everywhere.
    showOptions([](FrmOptForm& d) {
        EXPECT_EQ(d.ChkGen(0).Value(), 1);
        d.ChkGen(0).userClicked();
        pressOk(d);
    });
    EXPECT_FALSE(registry(QStringLiteral(".cal")).isValid());
    EXPECT_FALSE(registry(kCommandKey).isValid());
    EXPECT_FALSE(QFileInfo::exists(entry));
    EXPECT_FALSE(QFileInfo::exists(rt::desktopMimePackageFile(QStringLiteral("Mirovanta"))));
    EXPECT_FALSE(QFileInfo::exists(rt::desktopIconFile(QStringLiteral("Mirovanta"), 32)));
}

struct AssociationCase {
    const char* name;
    const char* type;    // the default value of ".cal"
    bool commandMatches; // in other letter case when it matches
    int shown;
    const char* typeAfterUntickedOk; // "" deleted
};

TEST_F(OptTest, TheBoxShowsTheRegistryAsItIsAndOkUntickedRemovesOnlyOurType) {
    const AssociationCase cases[] = {
        {"ours", "Mirovanta", true, 1, ""},
        {"other case", "mirovanta", true, 1, "mirovanta"},
        {"program moved", "Mirovanta", false, 0, ""},
        {"another program", "AutreCal", true, 0, "AutreCal"},
    };
    for (const AssociationCase& c : cases) {
        setRegistry(QStringLiteral(".cal"), QString::fromLatin1(c.type));
        setRegistry(QStringLiteral("Mirovanta"), QStringLiteral("Mirovanta document"));
        setRegistry(kCommandKey, c.commandMatches ? CalCommandLine().toLower()
                                                  : QStringLiteral("\"/old/place/mirovanta\" %1"));
        showOptions([&](FrmOptForm& d) {
            EXPECT_EQ(d.ChkGen(0).Value(), c.shown) << c.name;
            d.ChkGen(0).setValue(0);
            pressOk(d);
        });
        EXPECT_FALSE(registry(QStringLiteral("Mirovanta")).isValid()) << c.name;
        EXPECT_FALSE(registry(kCommandKey).isValid()) << c.name;
        EXPECT_EQ(registry(QStringLiteral(".cal")).toString(),
                  QString::fromLatin1(c.typeAfterUntickedOk))
            << c.name;
    }
    // Moved program, box ticked: OK writes the command for the program's folder now.
    setRegistry(QStringLiteral(".cal"), QStringLiteral("Mirovanta"));
    setRegistry(kCommandKey, QStringLiteral("\"/old/place/mirovanta\" %1"));
    showOptions([](FrmOptForm& d) {
        d.ChkGen(0).setValue(1);
        pressOk(d);
    });
    EXPECT_EQ(registry(kCommandKey), QVariant(CalCommandLine()));
}
