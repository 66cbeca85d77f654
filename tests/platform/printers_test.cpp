#include "core/rt_error.h"
#include "platform/printers.h"
#include "support/scripted_services.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
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

TEST_F(Printers, DefaultPrinterKeepsOneHandleForTheRun) {
    EXPECT_EQ(PrintersCount(), 0);
    EXPECT_EQ(defaultPrinter(), nullptr);

    scripted->Printers = {makeImagePrinter(QStringLiteral("Salon")),
                          makeImagePrinter(QStringLiteral("Bureau"))};
    scripted->DefaultIndex = 1;
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

    ASSERT_EQ(printer->pages().size(), 1u);
    const QImage& page = printer->pages()[0];
    // The printable area starts a quarter inch (24 pixels) in.
    EXPECT_EQ(QColor(page.pixel(24, 24)), QColor(Qt::red));
    EXPECT_EQ(QColor(page.pixel(43, 43)), QColor(Qt::red));
    EXPECT_EQ(QColor(page.pixel(44, 44)), QColor(Qt::white));
    EXPECT_EQ(QColor(page.pixel(23, 23)), QColor(Qt::white));
    releaseDevice(hdc);
}
