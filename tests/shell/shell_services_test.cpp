// The shell services: the printer check, the display's colours, shortened paths, centring,
// sounds, help topics and the options dialog.

#include "common/test_support.h"
#include "document/doc_state.h"
#include "services/settings.h"
#include "services/shell_services.h"
#include "shell/common_sys_info.h"
#include "shell/main_module.h"
#include "shell_fixture.h"
#include "support/scripted_services.h"

#include <gtest/gtest.h>

using namespace rt;

namespace {
// Installs a printer collection of `count` printers for one test.
struct PrinterCollection {
    explicit PrinterCollection(int count) {
        for (int i = 0; i < count; ++i)
            printers->Printers.push_back(makeImagePrinter(QStringLiteral("P%1").arg(i)));
        printers->DefaultIndex = count - 1;
        previous = setPrinterServices(printers);
    }
    ~PrinterCollection() {
        setPrinterServices(previous);
        Settings.PrinterValue = 0;
    }
    std::shared_ptr<ScriptedPrinters> printers = std::make_shared<ScriptedPrinters>();
    std::shared_ptr<PrinterServices> previous;
};
} // namespace

TEST(CheckPrinter, FindsThePrinterToPrintOn) {
    struct Case {
        int printers;
        int32_t chosen; // Settings.PrinterValue
        bool result;
        bool defaultHandle; // the value is the default printer's handle
    } cases[] = {
        {0, 0, false, false},
        {0, 4242, false, false}, // a printer chosen earlier, none installed
                                 // now
        {1, 0, true, true},
        {2, 0, true, true},
        {2, 4242, true, false},
    };
    for (const Case& c : cases) {
        PrinterCollection collection(c.printers);
        Settings.PrinterValue = c.chosen;
        int32_t value = -1;
        EXPECT_EQ(CheckPrinter(value), c.result) << c.printers << " " << c.chosen;
        if (!c.result) {
            EXPECT_EQ(value, 0);
        } else if (c.defaultHandle) {
            ASSERT_NE(value, 0);
            // The default printer of the collection, the same handle on every call.
            EXPECT_EQ(deviceFromHandle(value), collection.printers->Printers.back());
            // Made ready to print in landscape, as a printer chosen in the options is.
            EXPECT_EQ(deviceFromHandle(value)->orientation(), cdlLandscape);
            int32_t again = 0;
            CheckPrinter(again);
            EXPECT_EQ(again, value);
        } else {
            EXPECT_EQ(value, c.chosen);
        }
    }
}

TEST(GetDisplayColors, NamesSixteenAndTwoHundredFiftySixColourDisplays) {
    const std::pair<int, int32_t> cases[] = {{4, 16},  {8, 256}, {1, -1},
                                             {16, -1}, {24, -1}, {32, -1}};
    for (const auto& [depth, colours] : cases) {
        testing_support::fixedSystem().Depth = depth;
        EXPECT_EQ(GetDisplayColors(), colours) << depth;
    }
}

TEST(ShortPath, FoldersGiveWayFromTheLeftUntilThePathFits) {
    const struct {
        const char* text;
        int maxLen;
        QChar separator;
        const char* shown;
    } cases[] = {
        {"C:\\Documents\\Calendars\\2004\\", 20, u'\\', "C:\\...\\2004\\"},
        {"C:\\Documents\\Calendars\\2004\\", 27, u'\\', "C:\\...\\Calendars\\2004\\"},
        {"C:\\Documents\\Calendars\\2004\\", 28, u'\\', "C:\\Documents\\Calendars\\2004\\"},
        {"C:\\Program Files\\Agenda\\Data\\year2004.cal", 30, u'\\', "C:\\...\\Data\\year2004.cal"},
        // The file name goes last; with every part replaced the text stays as it stands.
        {"C:\\Documents\\Calendars\\year2004.cal", 12, u'\\', "C:\\...\\"},
        {"NoSeparatorInThisLongName.cal", 10, u'\\', "NoSeparatorInThisLongName.cal"},
        // Linux paths: the empty part before the leading "/" stays; "\" is a plain character.
        {"/home/anne/Documents/Calendriers/2004.cal", 30, u'/', "/.../Calendriers/2004.cal"},
        {"/home/anne/Documents/", 16, u'/', "/.../Documents/"},
        {"/home/anne/Documents/", 15, u'/', "/.../"},
        {"/data/a\\b\\c/x.cal", 12, u'/', "/.../x.cal"},
    };
    for (const auto& c : cases) {
        const QString shown = ShortPath(QString::fromUtf8(c.text), c.maxLen, c.separator);
        EXPECT_EQ(shown, QString::fromUtf8(c.shown)) << c.text << " " << c.maxLen;
    }
}

TEST_F(ShellTest, ShowShortPathKeepsTheFullPathInTheTooltip) {
    Label& label = FrmMain->LblLoading(1);
    const QString path = QStringLiteral("/home/anne/Documents/Calendriers/2004.cal");
    label.setCaption(path);
    ShowShortPath(label, 30);
    EXPECT_EQ(label.Caption(), QStringLiteral("/.../Calendriers/2004.cal"));
    EXPECT_EQ(label.ToolTipText(), path);
    // A text of exactly MaxLen characters is left alone; a text box shortens its text.
    label.setToolTipText(QString());
    ShowShortPath(label, 25);
    EXPECT_EQ(label.ToolTipText(), QString());
    TextBox& box = FrmMain->TxtEVSelDate;
    box.setText(path);
    ShowShortPath(box, 30);
    EXPECT_EQ(box.Text(), QStringLiteral("/.../Calendriers/2004.cal"));
}

TEST_F(ShellTest, CenterInContainerCentresWhereTheObjectIsSmaller) {
    // Object width and height; the container is 3000 by 2000 twips.
    const int cases[][4] = {{1000, 600, 1000, 700}, // width, height, left, top
                            {3000, 2000, 0, 0},
                            {4000, 600, 0, 700},
                            {1000, 2600, 1000, 0}};
    FrmMainForm& main = FrmMain.get();
    main.PicView.Move(0, 0, 3000, 2000);
    for (const auto& c : cases) {
        main.PicLogo.Move(55, 55, c[0], c[1]);
        CenterInContainer(main.PicLogo, main.PicView);
        EXPECT_EQ(main.PicLogo.Left(), c[2]) << c[0] << "x" << c[1];
        EXPECT_EQ(main.PicLogo.Top(), c[3]) << c[0] << "x" << c[1];
    }
}

TEST(PlayWav, TrueMeansTheSoundWasNotStarted) {
    auto sound = std::make_shared<ScriptedSound>();
    auto previous = setSoundServices(sound);
    sound->answers = {true, false};
    EXPECT_FALSE(PlayWav(QStringLiteral("/sons/alarm01.wav")));
    EXPECT_TRUE(PlayWav(QStringLiteral("/sons/abime.wav")));
    EXPECT_TRUE(PlayWav(QStringLiteral("/pas/de/fichier.wav"))); // not a wave file at all
    setSoundServices(previous);
}

TEST_F(ShellTest, HelpThatCannotBeShownIsExplained) {
    auto help = std::make_shared<ScriptedHelp>();
    auto previous = setHelpServices(help);
    HelpFilePath = QStringLiteral("/opt/mirovanta/bin/mrv2help.chm");
    const std::pair<HelpResult, const char*> cases[] = {
        {HelpResult::Shown, nullptr},
        {HelpResult::NoHelpFile, "/opt/mirovanta/bin/mrv2help.chm"},
        {HelpResult::NoViewer, "kchmviewer"},
        {HelpResult::ViewerFailed, "pas pu être lancé"},
    };
    for (const auto& [result, mentions] : cases) {
        services.ui->msgBoxCalls.clear();
        help->answers = {result};
        ShowHelp(QStringLiteral("Html\\d_about.htm"));
        EXPECT_EQ(help->calls.back().helpFile, HelpFilePath);
        EXPECT_EQ(help->calls.back().topic, QStringLiteral("Html\\d_about.htm"));
        ASSERT_EQ(services.ui->msgBoxCalls.size(), mentions ? 1u : 0u);
        if (mentions) {
            EXPECT_TRUE(services.ui->msgBoxCalls[0].prompt.contains(QString::fromUtf8(mentions)));
        }
    }
    setHelpServices(previous);
}

TEST_F(ShellTest, TheOptionsDialogCountsAsAcceptedOnlyWhenClosedWithOk) {
    for (int closedWith : {1, 0}) {
        Exchange.DialogResult = 1; // left over from an earlier dialog
        auto previous = setOptionsDialogRunner([closedWith] {
            EXPECT_EQ(Exchange.DialogResult, 0);
            if (closedWith == 1) Exchange.DialogResult = 1;
        });
        EXPECT_EQ(ShowOptionsDialog(), closedWith == 1);
        setOptionsDialogRunner(previous);
    }
}
