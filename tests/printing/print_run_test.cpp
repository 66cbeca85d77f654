// The print run and the preview hand-off: pages, copies, the status lines, the document's name,
// the main window's state, and printed output read with the PDF tools.

#include "printing/print_preview.h"
#include "printing/print_run.h"
#include "printing_fixture.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    EXPECT_TRUE(info.contains(QStringLiteral("792 x 612 pts")));
    EXPECT_TRUE(run(QStringLiteral("pdftotext"), {file, QStringLiteral("-")}).trimmed().isEmpty());
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"), file,
         dir.filePath(QStringLiteral("p"))});
    const QColor order[] = {Qt::red, Qt::blue, Qt::red, Qt::blue};
    for (int i = 0; i < 4; ++i) {
        const QImage page(dir.filePath(QStringLiteral("p-%1.png").arg(i + 1)));
        ASSERT_EQ(page.size(), QSize(1056, 816)) << i;
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
