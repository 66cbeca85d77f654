// The shell services: the printer check, the display's colours, shortened paths, centring,
// sounds, help topics and the options dialog.

#include "common/test_support.h"
#include "document/doc_state.h"
#include "platform/scripted_services.h"
#include "shell/common_sys_info.h"
#include "shell/main_module.h"
#include "shell/settings.h"
#include "shell/shell_services.h"
#include "shell_fixture.h"

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

namespace {
struct ShortCase {
    const char* text;
    int maxLen;
    QChar separator;
    const char* shown;
};
} // namespace

TEST(ShortPath, FoldersGiveWayFromTheLeftUntilThePathFits) {
    const ShortCase cases[] = {
        // Windows-style paths, "\" separated.
        {"C:\\Documents\\Calendars\\2004\\", 20, u'\\', "C:\\...\\2004\\"},
        {"C:\\Documents\\Calendars\\2004\\", 27, u'\\', "C:\\...\\Calendars\\2004\\"},
        {"C:\\Documents\\Calendars\\2004\\", 28, u'\\', "C:\\Documents\\Calendars\\2004\\"},
        {"C:\\Program Files\\Agenda\\Data\\year2004.cal", 30, u'\\', "C:\\...\\Data\\year2004.cal"},
        // The file name goes last; then nothing is left to replace and the text stays as it
        // stands, however long.
        {"C:\\Documents\\Calendars\\year2004.cal", 12, u'\\', "C:\\...\\"},
        {"C:\\Documents\\Calendars\\year2004.cal", 20, u'\\', "C:\\...\\year2004.cal"},
        {"NoSeparatorInThisLongName.cal", 10, u'\\', "NoSeparatorInThisLongName.cal"},
        {"C:\\Documents\\", 5, u'\\', "C:\\...\\"},
        // Linux paths: the empty part before the leading "/" stays.
        {"/home/anne/Documents/Calendriers/2004.cal", 30, u'/', "/.../Calendriers/2004.cal"},
        {"/home/anne/Documents/Calendriers/2004.cal", 20, u'/', "/.../2004.cal"},
        {"/home/anne/Documents/", 16, u'/', "/.../Documents/"},
        {"/home/anne/Documents/", 15, u'/', "/.../"},
        {"/home/anne/", 11, u'/', "/home/anne/"},
        // "\" is an ordinary character in a Linux path.
        {"/data/a\\b\\c/x.cal", 12, u'/', "/.../x.cal"},
    };
    for (const ShortCase& c : cases) {
        const QString shown = ShortPath(QString::fromUtf8(c.text), c.maxLen, c.separator);
        EXPECT_EQ(shown, QString::fromUtf8(c.shown))
            << c.text << " " << c.maxLen << " gave " << shown.toStdString();
    }
}

TEST_F(ShellTest, ShowShortPathKeepsTheFullPathInTheTooltip) {
    FrmMainForm& main = FrmMain.get();
    Label& label = main.LblLoading(1);
    label.setCaption(QStringLiteral("/home/anne/Documents/Calendriers/2004.cal"));
    ShowShortPath(label, 30);
    EXPECT_EQ(label.Caption(), QStringLiteral("/.../Calendriers/2004.cal"));
    EXPECT_EQ(label.ToolTipText(), QStringLiteral("/home/anne/Documents/Calendriers/2004.cal"));

    // A text of exactly MaxLen characters is left alone, tooltip included.
    Label& other = main.LblLoading(0);
    other.setCaption(QStringLiteral("/home/anne/2004.cal"));
    ShowShortPath(other, 19);
    EXPECT_EQ(other.Caption(), QStringLiteral("/home/anne/2004.cal"));
    EXPECT_EQ(other.ToolTipText(), QString());

    // A text box shortens its text.
    TextBox& box = main.TxtEVSelDate;
    box.setText(QStringLiteral("C:\\Program Files\\Agenda\\Data\\year2004.cal"));
    ShowShortPath(box, 30, u'\\');
    EXPECT_EQ(box.Text(), QStringLiteral("C:\\...\\Data\\year2004.cal"));
}

TEST_F(ShellTest, CenterInContainerCentresWhereTheObjectIsSmaller) {
    struct Case {
        int objW, objH, boxW, boxH, left, top;
    };
    const Case cases[] = {
        {1000, 600, 3000, 2000, 1000, 700}, // smaller both ways
        {3000, 2000, 3000, 2000, 0, 0},     // equal: at the edge
        {4000, 600, 3000, 2000, 0, 700},    // wider, lower
        {1000, 2600, 3000, 2000, 1000, 0},  // narrower, taller
    };
    FrmMainForm& main = FrmMain.get();
    for (const Case& c : cases) {
        main.PicView.Move(0, 0, c.boxW, c.boxH);
        main.PicLogo.Move(55, 55, c.objW, c.objH);
        CenterInContainer(main.PicLogo, main.PicView);
        EXPECT_EQ(main.PicLogo.Left(), c.left) << c.objW << "x" << c.objH;
        EXPECT_EQ(main.PicLogo.Top(), c.top) << c.objW << "x" << c.objH;
        EXPECT_EQ(main.PicLogo.Width(), c.objW); // the size stays
    }
}

TEST(PlayWav, TrueMeansTheSoundWasNotStarted) {
    auto sound = std::make_shared<ScriptedSound>();
    auto previous = setSoundServices(sound);
    sound->answers = {true, false};
    EXPECT_FALSE(PlayWav(QStringLiteral("/sons/alarm01.wav")));
    EXPECT_TRUE(PlayWav(QStringLiteral("/sons/damaged.wav")));
    // Without a queued answer: a file that does not exist is not played.
    EXPECT_TRUE(PlayWav(QStringLiteral("/no/such/file.wav")));
    EXPECT_EQ(sound->played.size(), 3);
    setSoundServices(previous);
}

TEST_F(ShellTest, HelpThatCannotBeShownIsExplained) {
    auto help = std::make_shared<ScriptedHelp>();
    auto previous = setHelpServices(help);
    HelpFilePath = QStringLiteral("/opt/mirovanta/bin/mrv2help.chm");
    struct Case {
        HelpResult result;
        const char* mentions; // "" for no message
    };
    const Case cases[] = {
        {HelpResult::Shown, ""},
        {HelpResult::NoHelpFile, "/opt/mirovanta/bin/mrv2help.chm"},
        {HelpResult::NoViewer, "kchmviewer"},
        {HelpResult::ViewerFailed, "pas pu être lancé"},
    };
    for (const Case& c : cases) {
        services.ui->msgBoxCalls.clear();
        help->answers = {c.result};
        ShowHelp(QStringLiteral("Html\\d_about.htm"));
        EXPECT_EQ(help->calls.back().helpFile, HelpFilePath);
        EXPECT_EQ(help->calls.back().topic, QStringLiteral("Html\\d_about.htm"));
        const QString mentions = QString::fromUtf8(c.mentions);
        if (mentions.isEmpty()) {
            EXPECT_TRUE(services.ui->msgBoxCalls.empty());
            continue;
        }
        ASSERT_EQ(services.ui->msgBoxCalls.size(), 1u) << c.mentions;
        const auto& call = services.ui->msgBoxCalls[0];
        EXPECT_TRUE(call.prompt.contains(mentions)) << call.prompt.toStdString();
        EXPECT_TRUE(call.prompt.startsWith(QStringLiteral("L'aide n'est pas disponible")));
        EXPECT_EQ(call.style, vbOKOnly + vbExclamation);
    }
    setHelpServices(previous);
}

TEST_F(ShellTest, TheOptionsDialogCountsAsAcceptedOnlyWhenClosedWithOk) {
    struct Case {
        int resultBefore;
        int resultSetByDialog; // -1: the dialog leaves it alone (cancel)
        bool accepted;
    };
    const Case cases[] = {{0, 1, true}, {1, -1, false}, {0, 0, false}, {0, 2, false}};
    for (const Case& c : cases) {
        Exchange.DialogResult = c.resultBefore;
        int shown = 0;
        auto previous = setOptionsDialogRunner([&] {
            ++shown;
            EXPECT_EQ(Exchange.DialogResult, 0); // cleared before the dialog opens
            if (c.resultSetByDialog >= 0) Exchange.DialogResult = c.resultSetByDialog;
        });
        EXPECT_EQ(ShowOptionsDialog(), c.accepted) << c.resultSetByDialog;
        EXPECT_EQ(shown, 1);
        setOptionsDialogRunner(previous);
    }
    // Without a dialog of its own the stand-in answers as a cancelled dialog.
    EXPECT_FALSE(ShowOptionsDialog());
}
