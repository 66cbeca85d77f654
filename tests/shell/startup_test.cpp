// Start-up and shutdown in one process: the screen question, the hand-off to a running copy,
// the splash and its progress, the settings written at shutdown and read at the next start,
// and the document named on the command line.

#include "common/test_support.h"
#include "core/settings_store.h"
#include "core/system.h"
#include "document/alarm_scan.h"
#include "document/cal_writer.h"
#include "document/doc_state.h"
#include "document/doc_views.h"
#include "document/modified.h"
#include "document/month_grid.h"
#include "document_dialogs/document_dialogs.h"
#include "document_dialogs/frm_ask_save.h"
#include "platform/application.h"
#include "platform/printers.h"
#include "platform/single_instance.h"
#include "platform/ui_test_support.h"
#include "printing/common_graph.h"
#include "services/settings.h"
#include "shell/about.h"
#include "shell/app_state.h"
#include "shell/frm_main.h"
#include "shell/month_window.h"
#include "shell/splash.h"
#include "shell/startup.h"
#include "support/scripted_services.h"

#include <QDir>
#include <QFile>
#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDocumentState();
        QFile::remove(rt::settingsFilePath(kSettingsApp));
        Settings = AppSettings{};
        previousViews_ = setDocViews(nullptr);
        previousInstance_ = rt::setSingleInstance(instance);
        setDocViews(previousViews_);
    }
    void TearDown() override {
        // Whatever a test left running is closed as the shutdown closes it.
        if (FrmMain.exists()) {
            FrmMain->setTag(QStringLiteral("Unload"));
            CurDoc.IsSaved = -1;
        }
        for (int m = 1; m <= 12; ++m)
            if (FrmMain.exists()) MonthForms(m).release();
        FrmMain.release();
        FrmSplash.release();
        FrmAbout.release();
        CloseHandedOverDocuments();
        ui_test::flushReleased();
        rt::setSingleInstance(previousInstance_);
        setDocViews(previousViews_);
        QFile::remove(rt::settingsFilePath(kSettingsApp));
        Settings = AppSettings{};
        ResetDocumentState();
    }

    // Closes the main window as the user does and lets its release end the program.
    void closeMainWindow() {
        ASSERT_TRUE(FrmMain.exists());
        FrmMain->closeByUser();
        ASSERT_TRUE(ui_test::waitFor([] { return !FrmMain.exists(); }, 2000));
    }

    // Writes an unchanged document of 2004 into the scratch folder; its full name.
    static QString writeDocument(const QString& name) {
        const QString path = testing_support::scratchFolder() + u'/' + name;
        CalDocument doc = BlankDocument(true);
        doc.Year = QStringLiteral("2004");
        doc.OpenMonth = QStringLiteral("00");
        EXPECT_TRUE(SaveCalFile(path, doc));
        return path;
    }

    static QString stored(const char* section, const char* key) {
        return rt::GetSetting(kSettingsApp, QString::fromLatin1(section), QString::fromLatin1(key),
                              QStringLiteral("<missing>"));
    }
    static void store(const char* section, const char* key, const QString& value) {
        rt::SaveSetting(kSettingsApp, QString::fromLatin1(section), QString::fromLatin1(key),
                        value);
    }

    ui_test::ScriptedServices services;
    std::shared_ptr<rt::ScriptedSingleInstance> instance =
        std::make_shared<rt::ScriptedSingleInstance>();

private:
    std::shared_ptr<DocViews> previousViews_;
    std::shared_ptr<rt::SingleInstance> previousInstance_;
};

// Printers asked in a worker thread, as the system's are, counting the asks.
class BackgroundPrinters : public rt::ScriptedPrinters {
public:
    QStringList printerNames() const override {
        ++asks;
        return ScriptedPrinters::printerNames();
    }
    bool askableInBackground() const override { return true; }
    mutable std::atomic<int> asks{0};
};

} // namespace

TEST_F(StartupTest, AFreshStartShowsTheLogoAndMakesEachMonthWindowHiddenAndBlankWhenReached) {
    ASSERT_TRUE(Main());
    EXPECT_EQ(AppVersion, QStringLiteral("2.1"));
    EXPECT_EQ(HelpFilePath,
              testing_support::fixedSystem().ProgramFolder + QStringLiteral("/mrv2help.chm"));
    FrmMainForm& main = FrmMain.get();
    EXPECT_EQ(AppState(), QStringLiteral("Logo"));
    EXPECT_TRUE(main.Visible());
    EXPECT_TRUE(main.PicLogo.Visible());
    EXPECT_EQ(main.PicMenu.Width(), kNavPanelExpanded);
    EXPECT_EQ(main.Caption(), QStringLiteral("Mirovanta v2.1 pour Windows"));
    for (int m = 1; m <= 12; ++m) {
        EXPECT_FALSE(MonthForms(m).exists()) << m; // made when a road first reaches it
        EXPECT_TRUE(MonthForms(m)->Loaded()) << m;
        EXPECT_FALSE(MonthForms(m)->Visible()) << m;
        EXPECT_EQ(MonthForms(m)->Tag(), QString::number(m));
        EXPECT_FALSE(MonthForms(m)->Icon().isEmpty()) << m;
        EXPECT_EQ(MonthForms(m)->Caption(), QString()) << m;
        EXPECT_EQ(MonthForms(m)->LblDay(20).Caption(), QString()) << m;
    }
    EXPECT_FALSE(FrmSplash.exists());
    EXPECT_FALSE(FrmAbout.exists());
    EXPECT_EQ(Settings.PrinterValue, 0);
    EXPECT_EQ(Settings.CalOpenPath, testing_support::fixedSystem().DocumentsFolder + u'/');
    EXPECT_FALSE(services.ui->hourglass());
    EXPECT_EQ(instance->claims, 1);
    EXPECT_TRUE(instance->sent.isEmpty());
    EXPECT_TRUE(services.ui->msgBoxCalls.empty());
}

TEST_F(StartupTest, SettingsAreWrittenAtShutdownAndReadBackAtTheNextStart) {
    ASSERT_FALSE(QFile::exists(rt::settingsFilePath(kSettingsApp)));
    ASSERT_TRUE(Main());
    // A change made during the run, as the options dialog makes it.
    Settings.PrintCopies = 3;
    Settings.ImgSavePath = QStringLiteral("/srv/images/");
    GridClip.ClipMode = 1;
    GridClip.ClipItem.Text = QStringLiteral("x");
    Exchange.DialogText = QStringLiteral("y");
    SelMonth = 4;
    PicEditAccepted = 1;
    PicChooseFileName = QStringLiteral("/img/a.bmp");

    closeMainWindow();
    EXPECT_EQ(services.forms->endCount, 1); // the main window's release ended the program
    const QString base = testing_support::fixedSystem().DocumentsFolder + u'/';
    EXPECT_EQ(stored("Paths", "CalOpen"), base);
    EXPECT_EQ(stored("Paths", "CalSave"), base);
    EXPECT_EQ(stored("Paths", "ImgOpen"), testing_support::fixedSystem().PicturesFolder + u'/');
    EXPECT_EQ(stored("Paths", "ImgSave"), QStringLiteral("/srv/images/"));
    EXPECT_EQ(stored("Printer", "BckImg"), QStringLiteral("1"));
    EXPECT_EQ(stored("Printer", "Copies"), QStringLiteral("3"));
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(rt::GetSetting(kSettingsApp, QStringLiteral("Printer"),
                                 QStringLiteral("Month%1").arg(m)),
                  QStringLiteral("1"));
    // No default sound lies beside the test's program folder: each sound is written empty.
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(rt::GetSetting(kSettingsApp, QStringLiteral("Alarm"),
                                 QStringLiteral("Sound%1").arg(n), QStringLiteral("<missing>")),
                  QString());

    // The shared records are cleared; the month windows are gone and nothing came back.
    EXPECT_EQ(Settings, AppSettings{});
    EXPECT_EQ(GridClip.ClipMode, 0);
    EXPECT_EQ(GridClip.ClipItem.Text, QString());
    EXPECT_EQ(GridClip.ClipItem.Kind, 1);
    EXPECT_EQ(Exchange.DialogText, QString());
    EXPECT_EQ(SelMonth, 0);
    EXPECT_EQ(PicEditAccepted, 0);
    EXPECT_EQ(PicChooseFileName, QString());
    EXPECT_EQ(AppVersion, QString());
    EXPECT_EQ(HelpFilePath, QString());
    EXPECT_FALSE(FrmAbout.exists());
    EXPECT_FALSE(services.ui->hourglass());

    // The second start reads them back.
    ASSERT_TRUE(Main());
    EXPECT_EQ(Settings.PrintCopies, 3);
    EXPECT_EQ(Settings.ImgSavePath, QStringLiteral("/srv/images/"));
    EXPECT_EQ(Settings.CalOpenPath, base);
    EXPECT_EQ(Settings.PrintMonths(7), 1);
}

TEST_F(StartupTest, AClosedMonthWindowOrAnOpenAboutWindowDoesNotStopTheShutdown) {
    ASSERT_TRUE(Main());
    FrmAbout.get(); // loaded, as after the About command
    MonthForms(3)->Show();
    MonthForms(3)->closeByUser(); // outside shutdown it only hides
    ASSERT_TRUE(MonthForms(3).exists());
    EXPECT_TRUE(MonthForms(3)->Loaded());
    closeMainWindow();
    EXPECT_FALSE(FrmAbout.exists());
    for (int m = 1; m <= 12; ++m)
        EXPECT_FALSE(MonthForms(m).exists()) << m;
    // A caption written after the main window's release does not bring it back.
    EXPECT_FALSE(FrmMain.exists());
    SetModified(DocPart::All, 0, 0);
    EXPECT_FALSE(FrmMain.exists());
}

TEST_F(StartupTest, ASmallScreenAsksWhetherToGoOn) {
    struct Case {
        int width, height;
        bool asks;
    } cases[] = {{800, 600, false}, {1024, 768, false}, {799, 600, true}, {800, 599, true}};
    for (const Case& c : cases) {
        testing_support::fixedSystem().Screen = QSize(c.width, c.height);
        services.ui->msgBoxCalls.clear();
        services.ui->msgBoxAnswers = {rt::vbNo};
        instance->claims = 0;
        const bool started = Main();
        EXPECT_EQ(started, !c.asks) << c.width << "x" << c.height;
        ASSERT_EQ(services.ui->msgBoxCalls.size(), c.asks ? 1u : 0u);
        if (c.asks) {
            const auto& call = services.ui->msgBoxCalls.front();
            EXPECT_EQ(call.style, 276);
            EXPECT_EQ(call.title, QString());
            EXPECT_TRUE(
                call.prompt.startsWith(QStringLiteral("Attention: Mirovanta a été dessiné")));
            // No ends before the hand-off, the settings and any window.
            EXPECT_EQ(instance->claims, 0);
            EXPECT_FALSE(FrmMain.exists());
        } else {
            closeMainWindow();
        }
    }
    // Yes goes on.
    testing_support::fixedSystem().Screen = QSize(640, 480);
    services.ui->msgBoxAnswers = {rt::vbYes};
    EXPECT_TRUE(Main());
    EXPECT_EQ(AppState(), QStringLiteral("Logo"));
}

TEST_F(StartupTest, ASecondCopyHandsRestoreAndItsDocumentOverAndEndsWithoutReadingSettings) {
    instance->AnotherCopyRuns = true;
    Settings.CalOpenPath = QStringLiteral("untouched");
    const QString odd = QStringLiteral("/srv/mes docs/100% été\nb.cal");
    struct Case {
        QString commandLine;
        bool accepts;
        QString handed; // the document the running copy is asked for; "" none
    } cases[] = {
        {QString(), true, QString()},
        {QString(), false, QString()}, // a failed restore is silent
        {u'"' + odd + u'"', true, odd},
        {QStringLiteral("rel/b.cal"), true, QDir::currentPath() + QStringLiteral("/rel/b.cal")},
        {QStringLiteral("/srv/c.cal"), false, QStringLiteral("/srv/c.cal")}, // the user is told
    };
    for (const Case& c : cases) {
        testing_support::fixedSystem().CommandLine = c.commandLine;
        instance->RunningCopyAccepts = c.accepts;
        instance->sent.clear();
        services.ui->msgBoxCalls.clear();
        EXPECT_FALSE(Main());
        ASSERT_EQ(instance->sent.size(), c.handed.isEmpty() ? 1 : 2);
        EXPECT_EQ(instance->sent[0], QStringLiteral("RESTORE"));
        EXPECT_EQ(LinkOpenFileName(instance->sent.value(1)), c.handed);
        EXPECT_FALSE(instance->sent.value(1).contains(u'\n'));
        const bool told = !c.accepts && !c.handed.isEmpty();
        ASSERT_EQ(services.ui->msgBoxCalls.size(), told ? 1u : 0u);
        if (told) {
            EXPECT_TRUE(services.ui->msgBoxCalls[0].prompt.contains(c.handed));
        }
        EXPECT_FALSE(FrmMain.exists());
        EXPECT_EQ(Settings.CalOpenPath, QStringLiteral("untouched"));
        EXPECT_FALSE(QFile::exists(rt::settingsFilePath(kSettingsApp)));
    }
}

TEST_F(StartupTest, WhileStartingTheRunningCopyKeepsADocumentAndRefusesRestore) {
    const QString early = writeDocument(QStringLiteral("tôt.cal"));
    ResetDocumentState();
    bool restoreEarly = true, openEarly = false;
    services.ui->onDoEvents = [&](bool) {
        if (FrmMain.exists() || !instance->hasHandler() || openEarly) return;
        restoreEarly = instance->deliver(QStringLiteral("RESTORE"));
        openEarly = instance->deliver(LinkOpenCommand(early));
    };
    ASSERT_TRUE(Main());
    services.ui->onDoEvents = nullptr;
    EXPECT_FALSE(restoreEarly);
    ASSERT_TRUE(openEarly);
    // Kept through the start-up, opened once it has ended.
    EXPECT_EQ(AppState(), QStringLiteral("Logo"));
    EXPECT_TRUE(OpenNextHandedOverDocument());
    EXPECT_EQ(CurDoc.FileName, early);
    EXPECT_TRUE(instance->deliver(QStringLiteral("RESTORE")));
}

// A handed-over document takes the Open road: a changed document is offered for saving first,
// and the user's answer decides.
TEST_F(StartupTest, AHandedOverDocumentAsksToSaveTheChangedOneFirst) {
    const QString other = writeDocument(QStringLiteral("autre.cal"));
    const QString current = writeDocument(QStringLiteral("courant.cal"));
    for (const bool no : {true, false}) { // "No" (do not save, go on) or "Cancel"
        testing_support::fixedSystem().CommandLine = current;
        ASSERT_TRUE(Main());
        CurDoc.Author = QStringLiteral("changé");
        SetModified(DocPart::Header, -1, 0);
        QString askedAbout;
        services.forms->modalScripts.push_back([&](rt::Form& form) {
            auto& dialog = dynamic_cast<FrmAskSaveForm&>(form);
            askedAbout = CurDoc.FileName;
            (no ? dialog.CmdNo : dialog.CmdCancel).raiseEvent(rt::Event::Click);
        });
        EXPECT_TRUE(instance->deliver(LinkOpenCommand(other)));
        EXPECT_EQ(CurDoc.FileName, current); // nothing opens within the hand-off itself
        EXPECT_TRUE(OpenNextHandedOverDocument());
        EXPECT_EQ(askedAbout, current);
        EXPECT_EQ(CurDoc.FileName, no ? other : current);
        CurDoc.IsSaved = -1;
        closeMainWindow();
    }
}

TEST_F(StartupTest, HandedOverDocumentsWaitWhileTheProgramCannotOpenOneThenOpenInTurn) {
    const QString a = writeDocument(QStringLiteral("a.cal"));
    const QString b = writeDocument(QStringLiteral("b.cal"));
    ASSERT_TRUE(Main());
    using Inside = std::function<void()>;
    const std::function<void(const Inside&)> blockers[] = {
        [](const Inside& f) { // a document being read
            const QString state = AppState();
            FrmMain->setTag(QStringLiteral("Load"));
            f();
            FrmMain->setTag(state);
        },
        [this](const Inside& f) { // a modal dialog
            services.forms->modalScripts.push_back([f](rt::Form&) { f(); });
            FrmAbout->Show(rt::vbModal);
            FrmAbout.release();
        },
        [this](const Inside& f) { // the alarm scan
            bool done = false;
            services.ui->onDoEvents = [&](bool) {
                if (AlarmScanRunning() && !done) done = true, f();
            };
            CheckAlarms();
            services.ui->onDoEvents = nullptr;
        },
    };
    for (const auto& during : blockers) {
        bool openedInside = true;
        during([&] {
            EXPECT_TRUE(instance->deliver(LinkOpenCommand(a)));
            EXPECT_TRUE(instance->deliver(LinkOpenCommand(b)));
            openedInside = OpenNextHandedOverDocument();
        });
        EXPECT_FALSE(openedInside);
        ASSERT_EQ(HandedOverDocuments(), QStringList({a, b}));
        // Then one at a time, in the order they came.
        EXPECT_TRUE(OpenNextHandedOverDocument());
        EXPECT_EQ(CurDoc.FileName, a);
        EXPECT_TRUE(OpenNextHandedOverDocument());
        EXPECT_EQ(CurDoc.FileName, b);
    }
}

// A document handed over while the closing asks to save does not open: the user is told, and a
// copy that asks after the shutdown is refused (and tells its own user).
TEST_F(StartupTest, DocumentsStillWaitingAtShutdownAreNamedToTheUser) {
    const QString late = writeDocument(QStringLiteral("tard.cal"));
    testing_support::fixedSystem().CommandLine = writeDocument(QStringLiteral("c.cal"));
    ASSERT_TRUE(Main());
    SetModified(DocPart::Header, -1, 0);
    services.forms->modalScripts.push_back([&](rt::Form& form) {
        EXPECT_TRUE(instance->deliver(LinkOpenCommand(late)));
        dynamic_cast<FrmAskSaveForm&>(form).CmdNo.raiseEvent(rt::Event::Click);
    });
    closeMainWindow();
    ASSERT_EQ(services.ui->msgBoxCalls.size(), 1u);
    EXPECT_TRUE(services.ui->msgBoxCalls[0].prompt.contains(late));
    EXPECT_FALSE(instance->deliver(LinkOpenCommand(late)));
}

TEST_F(StartupTest, TheSplashShowsOnlyWhenTheSettingIsOneAndCountsFrom25To100) {
    struct Case {
        const char* stored; // nullptr: no key
        bool splash;
    } cases[] = {{nullptr, true}, {"1", true},    {"1.4", true},  {"0", false},
                 {"2", false},    {"abc", false}, {"0.5", false}, {"1.5", false}};
    for (const Case& c : cases) {
        QFile::remove(rt::settingsFilePath(kSettingsApp));
        if (c.stored) store("General", "ShowSplash", QString::fromLatin1(c.stored));
        std::vector<int> progress;
        bool splashSeen = false;
        services.ui->onDoEvents = [&](bool) {
            if (FrmSplashForm* s = FrmSplash.peek()) {
                splashSeen = true;
                EXPECT_TRUE(s->Visible());
                progress.push_back(int(s->PBar1.Value()));
            }
        };
        ASSERT_TRUE(Main());
        services.ui->onDoEvents = nullptr;
        EXPECT_EQ(splashSeen, c.splash) << (c.stored ? c.stored : "missing");
        EXPECT_FALSE(FrmSplash.exists());
        if (c.splash) {
            // The main window's set-up opens the Commands tab, whose refresh lets events run
            // once before the bar moves; the month windows are made later, when reached.
            EXPECT_EQ(progress, (std::vector<int>{0, 0, 25, 100}));
        }
        closeMainWindow();
    }
}

TEST_F(StartupTest, CommandLineDocumentTakesOffQuotesAndBlanks) {
    struct Case {
        const char* commandLine;
        const char* document;
    } cases[] = {
        {"", ""},
        {"   ", ""},
        {"/home/u/2004.cal", "/home/u/2004.cal"},
        {"\"/home/u/mes calendriers/2004.cal\"", "/home/u/mes calendriers/2004.cal"},
        {"  \" /home/u/a b.cal \"  ", "/home/u/a b.cal"},
        {"/home/u/mes calendriers/2004.cal", "/home/u/mes calendriers/2004.cal"},
        {"\"", "\""},
        {"\"\"", ""},
    };
    for (const Case& c : cases) {
        testing_support::fixedSystem().CommandLine = QString::fromUtf8(c.commandLine);
        EXPECT_EQ(CommandLineDocument(), QString::fromUtf8(c.document)) << c.commandLine;
    }
    // A name that is not valid UTF-8 shows replacement characters, and keeps its bytes.
    const QByteArray bytes = QFile::encodeName(testing_support::scratchFolder()) + "/nom_\xff.cal";
    ::close(::open(bytes.constData(), O_WRONLY | O_CREAT, 0600));
    testing_support::fixedSystem().CommandLineBytes = " \"" + bytes + "\"";
    testing_support::fixedSystem().CommandLine = QFile::decodeName(bytes);
    const QString document = CommandLineDocument();
    testing_support::fixedSystem().CommandLineBytes = QByteArray();
    ::unlink(bytes.constData());
    EXPECT_EQ(document, QFile::decodeName(bytes));
    EXPECT_EQ(rt::FileNameBytes(document), bytes);
}

TEST_F(StartupTest, ADocumentOnTheCommandLineOpensOnceTheMainWindowShows) {
    const QString folder = testing_support::scratchFolder() + QStringLiteral("/mes calendriers");
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/budget 2004.cal");
    CalDocument doc = BlankDocument(true);
    doc.Year = QStringLiteral("2004");
    doc.OpenMonth = QStringLiteral("00");
    doc.Author = QStringLiteral("Étienne");
    ASSERT_TRUE(SaveCalFile(path, doc));
    ResetDocumentState();

    for (const QString& commandLine : {u'"' + path + u'"', path}) {
        testing_support::fixedSystem().CommandLine = commandLine;
        bool shownBeforeOpen = false;
        services.ui->onDoEvents = [&](bool) {
            if (AppState() == QLatin1String("Load") && FrmMain.exists())
                shownBeforeOpen = FrmMain->Visible();
        };
        ASSERT_TRUE(Main());
        services.ui->onDoEvents = nullptr;
        EXPECT_TRUE(shownBeforeOpen);
        EXPECT_EQ(CurDoc.FileName, path);
        EXPECT_EQ(CurDoc.Author, QStringLiteral("Étienne"));
        EXPECT_TRUE(services.ui->msgBoxCalls.empty());
        FrmMain->setTag(QStringLiteral("Edit"));
        CurDoc.IsSaved = -1;
        closeMainWindow();
    }

    // Without a command line the program stays in "Logo" with no document.
    testing_support::fixedSystem().CommandLine.clear();
    ASSERT_TRUE(Main());
    EXPECT_EQ(AppState(), QStringLiteral("Logo"));
    EXPECT_EQ(CurDoc.FileName, QString());
}

// A closing asked for during a chain of alarm windows (50 due) ends the chain once the window
// open is answered; the program then asks to save the changed document, and ends. The alarms
// not shown stay due. The request comes after the second window: as the close box (or Exit)
// between two windows, as the close box through the window manager while the second is open,
// and as the end of the desktop session (Qt's Quit event) while it is open.
TEST_F(StartupTest, AClosingAskedDuringTheAlarmChainEndsItAfterTheOpenWindow) {
    enum Request { CloseBox, CloseBoxUnderTheAlarm, SessionEnd };
    for (Request request : {CloseBox, CloseBoxUnderTheAlarm, SessionEnd}) {
        SCOPED_TRACE(int(request));
        TearDown();
        SetUp();
        services.forms->modalForms.clear();
        services.forms->endCount = 0;
        ASSERT_TRUE(Main());
        CurDoc.Year = QStringLiteral("2004");
        for (int16_t d = 0; d < 50; ++d) {
            EVItem item;
            item.AlarmOn = -1;
            const int16_t m = d < 31 ? 1 : 2;
            ListAppend(CurDoc.Months(m).Cells(CellOfDay(2004, m, d < 31 ? d + 1 : d - 30)), item);
        }
        CurDoc.IsSaved = 0; // changed: closing asks to save it
        FrmMain->setTag(QStringLiteral("Edit"));
        const auto due = [] {
            int n = 0;
            for (int16_t m = 1; m <= 12; ++m)
                for (int16_t c = kFirstCell; c <= kLastCell; ++c)
                    for (const EVItem& e : CurDoc.Months(m).Cells(c).Items)
                        n += e.AlarmOn != 0;
            return n;
        };

        int requests = 0;
        bool closedAtOnce = false;
        if (request == CloseBox) {
            services.ui->onDoEvents = [&](bool) {
                if (services.forms->modalForms.size() == 2 && requests++ == 0)
                    closedAtOnce = FrmMain->closeByUser();
            };
        }
        services.forms->modalScripts.push_back([](rt::Form&) {}); // closed by its close box
        services.forms->modalScripts.push_back([&](rt::Form&) {
            if (request == CloseBoxUnderTheAlarm) {
                ++requests;
                EXPECT_TRUE(rt::closeAskedOfBlockedWindows(FrmMain->window()));
            } else if (request == SessionEnd) {
                ++requests;
                QEvent quit(QEvent::Quit);
                QCoreApplication::sendEvent(qApp, &quit);
            }
        });
        int dueWhenAsked = -1;
        services.forms->modalScripts.push_back([&](rt::Form& f) {
            dueWhenAsked = due();
            if (auto* ask = dynamic_cast<FrmAskSaveForm*>(&f))
                ask->CmdNo.raiseEvent(rt::Event::Click);
        });
        CheckAlarms();
        services.ui->onDoEvents = nullptr;
        EXPECT_EQ(requests, 1);
        EXPECT_FALSE(closedAtOnce); // the window waited for the scan's end
        EXPECT_EQ(services.forms->endCount, 0);
        ASSERT_TRUE(ui_test::waitFor([] { return !FrmMain.exists(); }, 2000));
        EXPECT_EQ(services.forms->modalForms, QStringList({"FrmAlarm", "FrmAlarm", "FrmAskSave"}));
        EXPECT_EQ(dueWhenAsked, 50);
        EXPECT_EQ(services.forms->endCount, 1);
    }
}

// Without a document the print commands are disabled whatever the printers: the list is not
// asked then. It is asked as a document opens, and its answer enables them as it did.
TEST_F(StartupTest, ThePrinterListIsAskedAsADocumentOpensAndItsAnswerEnablesPrinting) {
    const QString path = writeDocument(QStringLiteral("imprimer.cal"));
    testing_support::fixedSystem().CommandLine.clear();
    for (int count : {1, 0}) {
        auto printers = std::make_shared<BackgroundPrinters>();
        for (int i = 0; i < count; ++i)
            printers->Printers.push_back(rt::makeImagePrinter(QStringLiteral("P%1").arg(i)));
        const auto previous = rt::setPrinterServices(printers);
        ASSERT_TRUE(Main());
        ui_test::waitFor([] { return false; }, 100);
        EXPECT_EQ(printers->asks, 0) << count;

        QString document = path;
        OpenDocument(document);
        ASSERT_EQ(AppState(), QStringLiteral("Edit"));
        EXPECT_TRUE(ui_test::waitFor([&] {
            return printers->asks > 0 && rt::PrintersCount() == count;
        })) << count;
        FrmMainForm& main = FrmMain.get();
        for (const char* key : {"Print", "Preview"})
            EXPECT_EQ(main.TbMain.Buttons(QLatin1String(key)).Enabled(), count > 0)
                << key << " " << count;
        main.TbMenu.setTab(5);
        EXPECT_EQ(main.CmdCOPrint.Enabled(), count > 0) << count;
        EXPECT_EQ(main.CmdCOPreview.Enabled(), count > 0) << count;

        CurDoc.IsSaved = -1;
        closeMainWindow();
        rt::setPrinterServices(previous);
    }
}
