// The print run and the preview hand-off: pages, copies, the status lines, the document's name,
// the main window's state, and printed output read with the PDF tools.

#include "printing/print_preview.h"
#include "printing/print_run.h"
#include "printing_fixture.h"

#include "platform/printers.h"
#include "shell/main_module.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class PrintRunTest : public PrintingTest {
protected:
    void SetUp() override {
        PrintingTest::SetUp();
        // The second status line and the state each time events run.
        ui->onDoEvents = [this](bool) {
            const QString line = FrmMain->LblLoading(1).Caption();
            if (!line.isEmpty() && (lines.isEmpty() || lines.last() != line)) lines << line;
            states << FrmMain->Tag();
        };
    }
    // The weekday band's colour on a printed page at 96 dots per inch (1.1 cm, 2.4 cm).
    static QColor bandOf(const QImage& page) { return QColor(page.pixel(42, 91)); }
    QStringList lines, states;
};

QString run(const QString& tool, const QStringList& args) {
    QProcess p;
    p.start(QStandardPaths::findExecutable(tool), args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A CUPS server of the test's own: configuration, spool and socket in a scratch folder, a
// loopback port of its own, and a cups-pdf queue "Mirovanta" as the default printer, whose
// files land in the scratch folder. CUPS_SERVER points the process at it. Stopped, and the
// cups-pdf configuration it wrote removed, when it ends.
class PrivateCups {
public:
    // "" when it runs, else why not.
    QString start() {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost)) return QStringLiteral("no loopback port");
        const QString server = QStringLiteral("127.0.0.1:%1").arg(probe.serverPort());
        probe.close();
        const QString root = dir.path();
        for (const char* sub : {"spool", "cache", "state", "tmp", "log", "out", "cups-pdf"})
            QDir(root).mkpath(QLatin1String(sub));
        // The filters run as the server's own user, which reads and writes there.
        chmod(QFile::encodeName(root).constData(), 0755);
        chmod(QFile::encodeName(root + QStringLiteral("/tmp")).constData(), 01777);
        write(root + QStringLiteral("/cupsd.conf"),
              QStringLiteral("Listen %1\nListen %2/cups.sock\nBrowsing Off\nWebInterface No\n"
                             "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n"
                             "</Policy>\n")
                  .arg(server, root));
        write(root + QStringLiteral("/cups-files.conf"),
              QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\n"
                             "StateDir %1/state\nTempDir %1/tmp\nErrorLog %1/log/error_log\n"
                             "SystemGroup root\nSandboxing Relaxed\n")
                  .arg(root));
        // The cups-pdf device of the queue reads its output folder from this file.
        const QString device =
            QStringLiteral("mirovanta%1").arg(QCoreApplication::applicationPid());
        pdfConf = QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(device);
        if (!write(pdfConf,
                   QStringLiteral("Out %1/out\nAnonDirName %1/out\nSpool %1/cups-pdf\n").arg(root)))
            return QStringLiteral("cannot write ") + pdfConf;
        daemon.start(tool("cupsd"), {QStringLiteral("-f"), QStringLiteral("-c"),
                                     root + QStringLiteral("/cupsd.conf"), QStringLiteral("-s"),
                                     root + QStringLiteral("/cups-files.conf")});
        if (!daemon.waitForStarted(5000)) return QStringLiteral("cupsd does not start");
        qputenv("CUPS_SERVER", server.toLatin1());
        forgetServer();
        const QString queue =
            QStringLiteral(
                "-p Mirovanta -E -v cups-pdf:/%1 -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd")
                .arg(device);
        for (int tries = 0; !admin("lpadmin", queue); ++tries) {
            if (tries == 50 || daemon.state() != QProcess::Running)
                return QStringLiteral("cupsd does not answer");
            QThread::msleep(200);
        }
        return admin("lpadmin", QStringLiteral("-d Mirovanta")) ? QString()
                                                                : QStringLiteral("lpadmin failed");
    }
    ~PrivateCups() {
        if (daemon.state() != QProcess::NotRunning) {
            daemon.terminate();
            if (!daemon.waitForFinished(5000)) daemon.kill();
            daemon.waitForFinished(2000);
        }
        if (!pdfConf.isEmpty()) QFile::remove(pdfConf);
        qunsetenv("CUPS_SERVER");
        forgetServer();
    }
    // Runs a CUPS tool with space-separated arguments; true when it succeeds.
    static bool admin(const char* name, const QString& args) {
        QProcess p;
        p.start(tool(name), args.split(u' '));
        return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit &&
               p.exitCode() == 0;
    }
    // The first PDF file that has arrived whole within 60 s; "" when none has.
    QString arrivedPdf() const {
        QElapsedTimer clock;
        clock.start();
        const QDir out(dir.path() + QStringLiteral("/out"));
        while (clock.elapsed() < 60000) {
            for (const QFileInfo& f : out.entryInfoList({QStringLiteral("*.pdf")}))
                if (run(QStringLiteral("pdfinfo"), {f.filePath()}).contains(u"Pages:"))
                    return f.filePath();
            QThread::msleep(250);
        }
        return {};
    }

private:
    static QString tool(const char* name) {
        return QStandardPaths::findExecutable(
            QLatin1String(name), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    }
    // libcups keeps the server it found for each thread: an earlier test of this process may
    // have made it keep the system's.
    static void forgetServer() {
        if (void* cups = dlopen("libcups.so.2", RTLD_LAZY | RTLD_NOLOAD)) {
            if (auto set = reinterpret_cast<void (*)(const char*)>(dlsym(cups, "cupsSetServer")))
                set(nullptr);
            dlclose(cups);
        }
    }
    static bool write(const QString& path, const QString& text) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) > 0;
    }
    QTemporaryDir dir;
    QProcess daemon;
    QString pdfConf;
};

} // namespace

// The status lines, and page totals beyond 16 bits (2731 copies of twelve months).
TEST_F(PrintRunTest, PageTotalsAndStatusLines) {
    EXPECT_EQ(PrintPageStatus(3, 12), QStringLiteral("Page 03 de 12 ..."));
    EXPECT_EQ(PrintPageStatus(100, 120), QStringLiteral("Page 100 de 120 ..."));
    chooseMonths({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    Settings.PrintMonths(12) = -1;
    Settings.PrintCopies = 2731;
    EXPECT_EQ(PrintPageTotal(), 32772);
    EXPECT_EQ(PrintPageStatus(9, PrintPageTotal()), QStringLiteral("Page 09 de 32772 ..."));
}

// Two copies of March and May (May flagged -1): collated, with the status page by page; the
// main window held in "Load", then left in "Edit" although it was in "Logo" before.
TEST_F(PrintRunTest, CollatedCopiesOfTheChosenMonths) {
    chooseMonths({3, 5});
    Settings.PrintMonths(5) = -1;
    Settings.PrintCopies = 2;
    bandColour(3, 0x000000FF);
    bandColour(5, 0x00FF0000);
    FrmMain->setTag(QStringLiteral("Logo"));
    PrintCalendar(false, CalendarPrintJob());
    ASSERT_EQ(printer->pages().size(), 4u);
    const QColor order[] = {Qt::red, Qt::blue, Qt::red, Qt::blue};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(bandOf(printer->pages()[size_t(i)]), order[i]) << i;
    EXPECT_EQ(printer->docName(), QStringLiteral("Mirovanta v%1 - [Sans nom]").arg(AppVersion));
    EXPECT_EQ(lines, (QStringList{"Page 01 de 04 ...", "Page 02 de 04 ...", "Page 03 de 04 ...",
                                  "Page 04 de 04 ..."}));
    EXPECT_EQ(FrmMain->LblLoading(0).Caption(), rt::LoadResString(1509));
    EXPECT_TRUE(states.contains(QStringLiteral("Load")));
    EXPECT_EQ(FrmMain->Tag(), QStringLiteral("Edit"));
    EXPECT_TRUE(ui->msgBoxCalls.empty());
}

// A picture job prints one page whatever the copies and months; no month or no copy prints a
// job without a page; without a printer nothing happens at all.
TEST_F(PrintRunTest, PictureJobsJobsWithoutPagesAndNoPrinter) {
    Settings.PrintCopies = 3;
    chooseMonths({1, 2, 3});
    ImageItem job{.Mode = 1,
                  .FileName = QStringLiteral("/images/chat.bmp"),
                  .Picture = markedPicture(200, 100, Qt::blue, Qt::red)};
    PrintCalendar(false, job);
    ASSERT_EQ(printer->pages().size(), 1u);
    EXPECT_EQ(lines, QStringList{"Page 01 de 01 ..."});
    EXPECT_EQ(QColor(printer->pages()[0].pixel(528, 408)), QColor(Qt::blue)); // stretched

    const std::pair<int16_t, bool> empty[] = {{1, false}, {0, true}, {-2, true}};
    for (const auto& [copies, months] : empty) {
        chooseMonths(months ? std::initializer_list<int>{4} : std::initializer_list<int>{});
        Settings.PrintCopies = copies;
        PrintCalendar(false, CalendarPrintJob());
    }
    EXPECT_EQ(printer->jobsEnded(), 4);
    EXPECT_EQ(printer->pages().size(), 1u);

    usePrinters({});
    lines.clear();
    states.clear();
    chooseMonths({3});
    PrintCalendar(false, CalendarPrintJob());
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_FALSE(states.contains(QStringLiteral("Load")));
    EXPECT_TRUE(ui->msgBoxCalls.empty());
}

// The main window's Print and Preview, only in "Edit"; after the preview the job is empty again
// and no hourglass is left, even when the window closed before drawing its page.
TEST_F(PrintRunTest, MainWindowCommandsAndThePreviewJob) {
    chooseMonths({2});
    FrmMain->setTag(QStringLiteral("Load"));
    FrmMain->CmdCOPrint_Click();
    EXPECT_TRUE(printer->pages().empty());
    FrmMain->setTag(QStringLiteral("Edit"));
    FrmMain->CmdCOPrint_Click();
    EXPECT_EQ(printer->pages().size(), 1u);

    int pages = -1;
    services.forms->modalScripts.push_back([&](rt::Form& form) {
        pages = static_cast<FrmPrintPrevForm&>(form).PageCount;
        form.Unload();
    });
    FrmMain->CmdCOPreview_Click();
    EXPECT_EQ(pages, 1);
    EXPECT_FALSE(FrmPrintPrev.exists()); // each preview starts with a fresh window

    ImageItem job{.Mode = 2,
                  .FileName = QStringLiteral("/images/chat.bmp"),
                  .Picture = markedPicture(20, 10, Qt::blue, Qt::red),
                  .Modified = -1,
                  .UseDefault = -1};
    bool shared = false;
    services.forms->modalScripts.push_back([&](rt::Form& form) {
        shared = Exchange.PrintJob.Picture.sameObject(job.Picture);
        EXPECT_TRUE(ui->hourglass());
        form.Unload();
    });
    ShowPrintPreview(job);
    EXPECT_TRUE(shared);
    const ImageItem& after = Exchange.PrintJob;
    EXPECT_TRUE(after.FileName.isEmpty());
    EXPECT_EQ(after.Mode + after.Modified + after.UseDefault, 0);
    EXPECT_EQ(after.Picture.handle(), 0);
    EXPECT_FALSE(ui->hourglass());
}

// The virtual PDF printer, read with the PDF tools: pages, title, paper, each page's band in
// order, no text outside the bitmap; no file at all for a job without a page.
TEST_F(PrintRunTest, PdfOutputReadByThePdfTools) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "poppler-utils are not installed";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("calendrier.pdf"));
    usePrinters({rt::makePdfPrinter(QStringLiteral("PDF"), file)});
    CurDoc.FileName = QStringLiteral("/home/paul/Agenda 2004.cal");
    chooseMonths({3, 5});
    Settings.PrintCopies = 2;
    bandColour(3, 0x000000FF);
    bandColour(5, 0x00FF0000);
    PrintCalendar(false, CalendarPrintJob());

    const QString info = run(QStringLiteral("pdfinfo"), {file});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages: +4\n"))))
        << info.toStdString();
    EXPECT_TRUE(
        info.contains(QStringLiteral("Title:           Mirovanta v%1 - /home/paul/Agenda 2004.cal")
                          .arg(AppVersion)));
    EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info.toStdString();
    EXPECT_TRUE(run(QStringLiteral("pdftotext"), {file, QStringLiteral("-")}).trimmed().isEmpty());
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"), file,
         dir.filePath(QStringLiteral("p"))});
    const QColor order[] = {Qt::red, Qt::blue, Qt::red, Qt::blue};
    for (int i = 0; i < 4; ++i) {
        const QImage page(dir.filePath(QStringLiteral("p-%1.png").arg(i + 1)));
        ASSERT_EQ(page.size(), QSize(1123, 794)) << i;      // A4 landscape at 96 dots per inch
        EXPECT_TRUE(near(bandOf(page), order[i], 24)) << i; // the bitmap is stored as JPEG
        EXPECT_TRUE(near(QColor(page.pixel(500, 20)), QColor(Qt::white), 8)) << i;
    }

    const QString empty = dir.filePath(QStringLiteral("vide.pdf"));
    usePrinters({rt::makePdfPrinter(QStringLiteral("Vide"), empty)});
    chooseMonths({});
    PrintCalendar(false, CalendarPrintJob());
    EXPECT_FALSE(QFile::exists(empty));
    EXPECT_TRUE(ui->msgBoxCalls.empty());
}

// A job that the printing system refuses, from the main window or from the preview, of months
// or of a picture: one French message of ours naming the printer, and the run ends as usual.
TEST_F(PrintRunTest, RefusedJobsAreReportedInOurWords) {
    const QString reason = QStringLiteral("Destination \"Test\" is not accepting jobs.");
    const QString message = rt::LoadResString(rt::ErrJobNotPrinted).arg(QStringLiteral("Test")) +
                            QStringLiteral("\r\r") + reason;
    const ImageItem picture{.Mode = 1,
                            .FileName = QStringLiteral("/images/chat.bmp"),
                            .Picture = markedPicture(20, 10, Qt::blue, Qt::red)};
    chooseMonths({2});
    for (const bool fromPreview : {false, true}) {
        for (const bool pictureJob : {false, true}) {
            ui->msgBoxCalls.clear();
            printer->RefuseNextJob = reason;
            PrintCalendar(fromPreview, pictureJob ? picture : CalendarPrintJob());
            ASSERT_EQ(ui->msgBoxCalls.size(), 1u) << fromPreview << pictureJob;
            EXPECT_EQ(ui->msgBoxCalls[0].prompt, message);
            EXPECT_EQ(ui->msgBoxCalls[0].style, rt::vbOKOnly + rt::vbCritical);
            EXPECT_EQ(FrmMain->Tag(), QStringLiteral("Edit"));
        }
    }
    EXPECT_EQ(printer->jobsEnded(), 0);
    FrmPrintPrev.release();
}

// Print and Preview, on the toolbar and on the Commands page, follow the printer list at its
// next answer, all four alike.
TEST_F(PrintRunTest, PrintAndPreviewFollowEachAnswerEverywhere) {
    FrmMain->TbMenu.setTab(5);
    UpdateMainControls(true);
    for (const bool installed : {false, true, false}) {
        printers->Printers.clear();
        if (installed) printers->Printers.push_back(printer);
        rt::askPrinters();
        EXPECT_EQ(FrmMain->TbMain.Buttons(QStringLiteral("Print")).Enabled(), installed);
        EXPECT_EQ(FrmMain->TbMain.Buttons(QStringLiteral("Preview")).Enabled(), installed);
        EXPECT_EQ(FrmMain->CmdCOPrint.Enabled(), installed);
        EXPECT_EQ(FrmMain->CmdCOPreview.Enabled(), installed);
    }
}

// On a real print server: two months in two copies reach the default cups-pdf queue as one
// job of four A4 pages; once the queue refuses jobs, the run says so.
TEST_F(PrintRunTest, MonthsReachARealPrintServerAndARefusalIsTold) {
    PrivateCups cups;
    const QString failure = cups.start();
    if (!failure.isEmpty()) {
        if (qEnvironmentVariable("CI") == QLatin1String("true")) FAIL() << failure.toStdString();
        GTEST_SKIP() << failure.toStdString();
    }
    // The program that lists the printers for the background asks names the server's queue.
    const std::optional<rt::PrinterList> listed = rt::printersListedBy(rt::printerListProgram());
    ASSERT_TRUE(listed.has_value()) << rt::printerListProgram().toStdString();
    EXPECT_EQ(listed->names, QStringList{QStringLiteral("Mirovanta")});
    EXPECT_EQ(listed->defaultName, QStringLiteral("Mirovanta"));
    // Asked in the background, the system's printers come from it, with the collection's own
    // printer after them.
    auto system = std::make_shared<rt::QtPrinterServices>();
    system->addVirtualPrinter(
        rt::makePdfPrinter(QStringLiteral("Fichier PDF"), QDir::temp().filePath("none.pdf")));
    rt::setPrinterServices(system);
    QElapsedTimer clock;
    clock.start();
    while (rt::knownPrinters().names.isEmpty() && clock.elapsed() < 30000) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
    EXPECT_EQ(rt::knownPrinters().names,
              (QStringList{QStringLiteral("Mirovanta"), QStringLiteral("Fichier PDF")}));
    EXPECT_EQ(rt::knownPrinters().defaultName, QStringLiteral("Mirovanta"));
    usePrinters({});
    rt::setPrinterServices(std::make_shared<rt::QtPrinterServices>());
    chooseMonths({3, 5});
    Settings.PrintCopies = 2;
    PrintCalendar(false, CalendarPrintJob());
    EXPECT_TRUE(ui->msgBoxCalls.empty());
    const QString pdf = cups.arrivedPdf();
    ASSERT_FALSE(pdf.isEmpty());
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages: +4\n"))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info.toStdString();

    ASSERT_TRUE(cups.admin("cupsreject", QStringLiteral("Mirovanta")));
    PrintCalendar(false, CalendarPrintJob());
    ASSERT_EQ(ui->msgBoxCalls.size(), 1u);
    EXPECT_TRUE(ui->msgBoxCalls[0].prompt.startsWith(
        rt::LoadResString(rt::ErrJobNotPrinted).arg(QStringLiteral("Mirovanta"))))
        << ui->msgBoxCalls[0].prompt.toStdString();
}
