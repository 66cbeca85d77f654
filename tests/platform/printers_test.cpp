#include "common/test_support.h"
#include "core/rt_error.h"
#include "platform/module_loader.h"
#include "platform/print_module.h"
#include "platform/printers.h"
#include "support/scripted_services.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

using namespace rt;

namespace {

// Scripted printers for one test; the system's come back afterwards.
class Printers : public ::testing::Test {
protected:
    void SetUp() override { previous = setPrinterServices(scripted); }
    void TearDown() override { setPrinterServices(previous); }
    std::shared_ptr<ScriptedPrinters> scripted = std::make_shared<ScriptedPrinters>();
    std::shared_ptr<PrinterServices> previous;
};

// Pages of a PDF file as pdfinfo counts them; -1 when pdfinfo is missing.
int pdfPages(const QString& file) {
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdfinfo.isEmpty()) return -1;
    QProcess p;
    p.start(pdfinfo, {file});
    p.waitForFinished(10000);
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n'))
        if (line.startsWith(QLatin1String("Pages:"))) return line.mid(6).trimmed().toInt();
    return 0;
}

// A print server that takes its time: it counts the printers when asked and answers later.
class SlowPrinters : public PrinterServices {
public:
    QStringList printerNames() const override {
        ++asks;
        const int n = count;
        QThread::msleep(unsigned(delayMs));
        QStringList names;
        for (int i = 0; i < n; ++i)
            names << QStringLiteral("P%1").arg(i);
        return names;
    }
    QString defaultPrinterName() const override { return QStringLiteral("P0"); }
    std::shared_ptr<PrintDevice> openPrinter(const QString& name) override {
        return makeImagePrinter(name);
    }
    bool askableInBackground() const override { return true; }
    std::atomic<int> count{0};
    std::atomic<int> delayMs{300};
    mutable std::atomic<int> asks{0};
};

// Lets the main thread's events run until the list holds `count` printers or 5 s have passed.
bool waitForPrinters(int count) {
    QElapsedTimer clock;
    clock.start();
    while (PrintersCount() != count && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return PrintersCount() == count;
}

} // namespace

TEST(PrintDevice, DeviceFactsFollowThePageAndTheOrientation) {
    auto printer = makeImagePrinter(QStringLiteral("Test"));
    const int32_t hdc = registerDevice(printer);
    ASSERT_NE(hdc, 0);
    struct Fact {
        int index;
        int portrait;
        int landscape;
    };
    // US Letter at 96 dpi with quarter-inch margins; the printable size in whole millimetres is
    // rounded (266.7 mm gives 267), not cut.
    const std::vector<Fact> facts = {
        {LOGPIXELSX, 96, 96},
        {LOGPIXELSY, 96, 96},
        {PHYSICALWIDTH, 816, 1056},
        {PHYSICALHEIGHT, 1056, 816},
        {PHYSICALOFFSETX, 24, 24},
        {PHYSICALOFFSETY, 24, 24},
        {HORZRES, 768, 1008},
        {VERTRES, 1008, 768},
        {HORZSIZE, 203, 267},
        {VERTSIZE, 267, 203},
        {12, 0, 0},
    };
    for (const Fact& f : facts)
        EXPECT_EQ(GetDeviceCaps(hdc, f.index), f.portrait) << f.index;
    printer->setOrientation(cdlLandscape);
    EXPECT_EQ(printer->orientation(), cdlLandscape);
    for (const Fact& f : facts)
        EXPECT_EQ(GetDeviceCaps(hdc, f.index), f.landscape) << f.index;

    EXPECT_EQ(deviceFromHandle(hdc), printer);
    EXPECT_EQ(registerDevice(printer), hdc); // one handle per device
    releaseDevice(hdc);
    EXPECT_EQ(deviceFromHandle(hdc), nullptr);
    EXPECT_EQ(GetDeviceCaps(hdc, HORZRES), 0);
    EXPECT_EQ(GetDeviceCaps(0, HORZRES), 0);
}

TEST(PrintDevice, PagesAreDrawnFromThePrintableAreaAndClippedToIt) {
    auto printer = makeImagePrinter(QStringLiteral("Test"));
    ASSERT_TRUE(printer->startDoc(QStringLiteral("Mirovanta v2.1 - [Sans nom]")));
    EXPECT_EQ(printer->painter(), nullptr); // no page yet
    for (const QColor colour : {QColor(Qt::red), QColor(Qt::blue)}) {
        ASSERT_TRUE(printer->startPage());
        QPainter* p = printer->painter();
        ASSERT_NE(p, nullptr);
        p->fillRect(QRect(0, 0, 10, 10), colour);
        p->fillRect(QRect(-24, -24, 12, 12), Qt::black); // in the margin: not printed
        ASSERT_TRUE(printer->endPage());
    }
    // The orientation of a running job stays.
    printer->setOrientation(cdlLandscape);
    EXPECT_EQ(printer->orientation(), cdlPortrait);
    ASSERT_TRUE(printer->endDoc());

    ASSERT_EQ(printer->pages().size(), 2u);
    const QImage& first = printer->pages()[0];
    EXPECT_EQ(first.size(), QSize(816, 1056));
    EXPECT_EQ(first.pixelColor(24, 24), QColor(Qt::red));
    EXPECT_EQ(first.pixelColor(33, 33), QColor(Qt::red));
    EXPECT_EQ(first.pixelColor(34, 34), QColor(Qt::white));
    EXPECT_EQ(first.pixelColor(23, 23), QColor(Qt::white));
    EXPECT_EQ(first.pixelColor(5, 5), QColor(Qt::white));
    EXPECT_EQ(printer->pages()[1].pixelColor(24, 24), QColor(Qt::blue));
    EXPECT_EQ(printer->docName(), QStringLiteral("Mirovanta v2.1 - [Sans nom]"));
    EXPECT_EQ(printer->jobsEnded(), 1);
}

TEST(PrintDevice, StepsOutOfOrderAndDeviceFailuresAreReported) {
    auto printer = makeImagePrinter(QStringLiteral("Test"));
    EXPECT_FALSE(printer->startPage());
    EXPECT_EQ(printer->lastError(), int(ErrInvalidCall));
    EXPECT_FALSE(printer->endDoc());
    ASSERT_TRUE(printer->startDoc(QStringLiteral("Job")));
    EXPECT_FALSE(printer->startDoc(QStringLiteral("Job")));
    EXPECT_FALSE(printer->endPage());

    printer->FailNextStep = true;
    EXPECT_FALSE(printer->startPage());
    EXPECT_EQ(printer->lastError(), int(ErrPrinter));
    EXPECT_EQ(printer->painter(), nullptr);
    ASSERT_TRUE(printer->startPage());
    printer->FailNextStep = true;
    EXPECT_FALSE(printer->endPage());
    printer->FailNextStep = true;
    EXPECT_FALSE(printer->endDoc());
    EXPECT_NE(printer->lastError(), 0);
    EXPECT_FALSE(printer->inDoc()); // a failed end still ends the job
}

// A job becomes a PDF with exactly its pages; a job without a page writes nothing.
TEST(PrintDevice, PdfPrinterWritesOnlyThePagesStarted) {
    QTemporaryDir dir;
    const QPageLayout letterLandscape(QPageSize(QPageSize::Letter), QPageLayout::Landscape,
                                      QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
    const QString empty = dir.filePath(QStringLiteral("empty.pdf"));
    {
        QPrinterDevice pdf(QStringLiteral("PDF"), empty, letterLandscape, 600);
        EXPECT_EQ(pdf.paperRect().size(), QSize(6600, 5100));
        EXPECT_EQ(pdf.printableRect(), QRect(150, 150, 6300, 4800));
        ASSERT_TRUE(pdf.startDoc(QStringLiteral("Vide")));
        ASSERT_TRUE(pdf.endDoc());
    }
    EXPECT_TRUE(!QFile::exists(empty) || QFile(empty).size() == 0);
    // The built-in PDF printer takes the locale's paper: A4 here.
    EXPECT_EQ(makePdfPrinter(QStringLiteral("PDF"), empty)->pageLayout().pageSize().id(),
              QPageSize::A4);

    const QString two = dir.filePath(QStringLiteral("two.pdf"));
    {
        QPrinterDevice pdf(QStringLiteral("PDF"), two, letterLandscape, 600);
        ASSERT_TRUE(pdf.startDoc(QStringLiteral("Deux")));
        for (int i = 0; i < 2; ++i) {
            ASSERT_TRUE(pdf.startPage());
            pdf.painter()->fillRect(QRect(0, 0, 600, 600), Qt::blue);
            ASSERT_TRUE(pdf.endPage());
        }
        // Released in the middle of the job: the job is ended, not lost.
    }
    const int pages = pdfPages(two);
    if (pages < 0) GTEST_SKIP() << "pdfinfo is not installed";
    EXPECT_EQ(pages, 2);
}

// Qt's printers come with the print module, when a printer is first used: without it a job
// fails at its start and writes nothing, the page stays the one asked for, and the system has
// no printer; with it again, the same printer prints.
TEST(PrintDevice, WithoutThePrintModuleAJobFailsAtItsStart) {
    QTemporaryDir dir, empty;
    const QString file = dir.filePath(QStringLiteral("sans.pdf"));
    {
        testing_support::WarningLog log;
        testing_support::ModulesSearchedIn searched({empty.path()});
        const auto pdf = makePdfPrinter(QStringLiteral("PDF"), file, cdlLandscape, 300);
        EXPECT_EQ(pdf->pageLayout().pageSize().id(), localePaperSize().id());
        EXPECT_EQ(pdf->orientation(), cdlLandscape);
        EXPECT_EQ(pdf->resolution(), 300);
        EXPECT_EQ(pdf->outputFile(), file);
        EXPECT_FALSE(pdf->hasPageDialog());
        EXPECT_FALSE(pdf->startDoc(QStringLiteral("Sans module")));
        EXPECT_EQ(pdf->lastError(), ErrPrinter);
        EXPECT_FALSE(pdf->inDoc());
        QtPrinterServices services;
        services.addVirtualPrinter(pdf);
        EXPECT_EQ(services.printerNames(), QStringList{QStringLiteral("PDF")});
        EXPECT_EQ(services.defaultPrinterName(), QStringLiteral("PDF"));
        EXPECT_FALSE(log.containing(moduleFileName(QLatin1String(kPrintModule))).isEmpty());
    }
    EXPECT_FALSE(QFile::exists(file));
    const auto pdf = makePdfPrinter(QStringLiteral("PDF"), file, cdlLandscape, 300);
    EXPECT_EQ(pdf->resolution(), 300);
    ASSERT_TRUE(pdf->startDoc(QStringLiteral("Avec module")));
    ASSERT_TRUE(pdf->startPage());
    ASSERT_TRUE(pdf->endPage());
    ASSERT_TRUE(pdf->endDoc());
    EXPECT_GT(QFileInfo(file).size(), 0);
}

TEST_F(Printers, DefaultPrinterKeepsOneHandleForTheRun) {
    EXPECT_EQ(PrintersCount(), 0);
    EXPECT_EQ(defaultPrinter(), nullptr);

    scripted->Printers = {makeImagePrinter(QStringLiteral("Salon")),
                          makeImagePrinter(QStringLiteral("Bureau"))};
    scripted->DefaultIndex = 1;
    EXPECT_EQ(PrintersCount(), 0); // the list as last asked
    askPrinters();
    EXPECT_EQ(PrintersCount(), 2);
    const auto device = defaultPrinter();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->name(), QStringLiteral("Bureau"));
    EXPECT_NE(device->hDC(), 0);
    EXPECT_EQ(deviceFromHandle(device->hDC()), device);
    device->setOrientation(cdlLandscape);
    EXPECT_EQ(defaultPrinter(), device);
    EXPECT_EQ(defaultPrinter()->hDC(), device->hDC());
    EXPECT_EQ(defaultPrinter()->orientation(), cdlLandscape);
    EXPECT_EQ(scripted->opened.size(), 1); // opened once, not at every question

    // Another collection: the old default printer is forgotten and its handle released.
    const int32_t oldHandle = device->hDC();
    auto other = std::make_shared<ScriptedPrinters>();
    other->Printers = {makeImagePrinter(QStringLiteral("Cuisine"))};
    other->DefaultIndex = 7; // no such printer: the first one serves
    setPrinterServices(other);
    EXPECT_EQ(deviceFromHandle(oldHandle), nullptr);
    ASSERT_NE(defaultPrinter(), nullptr);
    EXPECT_EQ(defaultPrinter()->name(), QStringLiteral("Cuisine"));
}

// The job calls by handle: a job number above 0, 1 for each step done, 0 with the failure's
// number (never 0) for each step refused; the bitmap lands stretched over the given pixels.
TEST(PrintDevice, JobCallsByHandleReportFailuresThroughTheLastError) {
    auto printer = makeImagePrinter(QStringLiteral("Test"), cdlLandscape);
    const int32_t hdc = registerDevice(printer);
    EXPECT_EQ(StartDoc(0, QStringLiteral("x")), 0);
    EXPECT_NE(GetLastError(), 0);
    EXPECT_EQ(StartPage(hdc), 0); // no job yet
    EXPECT_EQ(GetLastError(), ErrInvalidCall);

    EXPECT_GT(StartDoc(hdc, QStringLiteral("Job")), 0);
    QImage bitmap(10, 10, QImage::Format_RGB32);
    bitmap.fill(Qt::red);
    EXPECT_FALSE(StretchBlt(hdc, 0, 0, 20, 20, bitmap, 0, 0, 10, 10)); // outside a page
    EXPECT_EQ(StartPage(hdc), 1);
    EXPECT_TRUE(StretchBlt(hdc, 0, 0, 20, 20, bitmap, 0, 0, 10, 10));
    EXPECT_EQ(EndPage(hdc), 1);
    printer->FailNextStep = true;
    EXPECT_EQ(EndDoc(hdc), 0);
    EXPECT_EQ(GetLastError(), ErrPrinter);
    // A job the printing system refuses: its own failure, with the system's reason.
    EXPECT_GT(StartDoc(hdc, QStringLiteral("Job")), 0);
    printer->RefuseNextJob = QStringLiteral("not accepting jobs");
    EXPECT_EQ(EndDoc(hdc), 0);
    EXPECT_EQ(GetLastError(), ErrJobNotPrinted);
    EXPECT_EQ(printer->lastErrorReason(), QStringLiteral("not accepting jobs"));
    EXPECT_GT(StartDoc(hdc, QStringLiteral("Job")), 0);
    EXPECT_EQ(EndDoc(hdc), 1); // refused once only

    ASSERT_EQ(printer->pages().size(), 1u);
    const QImage& page = printer->pages()[0];
    // The printable area starts a quarter inch (24 pixels) in.
    EXPECT_EQ(QColor(page.pixel(24, 24)), QColor(Qt::red));
    EXPECT_EQ(QColor(page.pixel(43, 43)), QColor(Qt::red));
    EXPECT_EQ(QColor(page.pixel(44, 44)), QColor(Qt::white));
    EXPECT_EQ(QColor(page.pixel(23, 23)), QColor(Qt::white));
    releaseDevice(hdc);
}

// The list is the last answer: an ask gives the services' printers, the handler hears each
// answer that differs from the last, and the default printer follows the answer's default.
TEST_F(Printers, TheListIsTheLastAnswerAndEachChangeIsHeard) {
    int heard = 0;
    setPrinterListHandler([&] { ++heard; });
    const struct {
        int printers, defaultIndex;
        bool heard;
    } steps[] = {{1, 0, true}, {1, 0, false}, {2, 1, true}, {0, 0, true}};
    for (const auto& step : steps) {
        scripted->Printers.clear();
        QStringList names;
        for (int i = 0; i < step.printers; ++i) {
            names << QStringLiteral("P%1").arg(i);
            scripted->Printers.push_back(makeImagePrinter(names.last()));
        }
        scripted->DefaultIndex = step.defaultIndex;
        const int before = heard;
        askPrinters();
        EXPECT_EQ(knownPrinters().names, names);
        EXPECT_EQ(heard - before, step.heard ? 1 : 0) << step.printers;
        const auto device = defaultPrinter();
        EXPECT_EQ(device ? device->name() : QString(), names.value(step.defaultIndex));
    }
    setPrinterListHandler({});
}

// A slow print server is asked in a worker thread: installing it returns at once and asks
// nothing until the list is read, the answer arrives on the main thread, an older answer never
// replaces a newer one, and the timer asks again by itself.
TEST(PrinterList, ASlowServerIsAskedOffTheMainThread) {
    auto slow = std::make_shared<SlowPrinters>();
    slow->count = 1;
    QElapsedTimer clock;
    clock.start();
    const auto previous = setPrinterServices(slow);
    EXPECT_LT(clock.elapsed(), 200);
    QThread::msleep(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(slow->asks, 0);
    EXPECT_EQ(PrintersCount(), 0);
    EXPECT_TRUE(waitForPrinters(1));
    EXPECT_EQ(slow->asks, 1);

    askPrintersInBackground(); // counts 1 printer, answers in 300 ms
    slow->count = 2;
    askPrinters(); // answers 2 first
    EXPECT_EQ(PrintersCount(), 2);
    QThread::msleep(400);
    QCoreApplication::processEvents();
    EXPECT_EQ(PrintersCount(), 2);

    slow->delayMs = 0;
    slow->count = 3;
    setPrinterAskInterval(50);
    EXPECT_TRUE(waitForPrinters(3));
    setPrinterAskInterval(60 * 1000);
    setPrinterServices(previous);
}
