// The printing engine: the document, the page measures, the pages on the printer, the preview
// boxes, the set-up dialog and the error message every member shares.

#include "platform/common_dialogs.h"
#include "printing/api_printer.h"
#include "printing_fixture.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rt;

namespace {

class EngineTest : public PrintingTest {
protected:
    bool start(cmAPIPrinter& e, int32_t hdc, int32_t mode, float scale = 1.0f) {
        return e.cmPrt_DocStart(hdc, QStringLiteral("Doc"), mode, scale, page, canvas);
    }
    int32_t device() {
        int32_t dc = 0;
        EXPECT_TRUE(CheckPrinter(dc));
        return dc;
    }
    // The numbers of the error messages shown so far, emptied.
    std::vector<int> errors() {
        std::vector<int> numbers;
        for (const auto& call : ui->msgBoxCalls)
            numbers.push_back(call.prompt.section(QStringLiteral("Number:  "), 1)
                                  .section(QChar(13), 0, 0)
                                  .toInt());
        ui->msgBoxCalls.clear();
        return numbers;
    }
    ui_test::CountingForm form;
    PictureBox page{form, QStringLiteral("PicPage")};
    PictureBox canvas{static_cast<Container&>(page), QStringLiteral("PicCanvas")};
};

} // namespace

TEST(EngineConversion, HeightToPointsAtFifteenTwipsAPixel) {
    cmAPIPrinter engine;
    const std::pair<float, int16_t> cases[] = {
        {1.0f, 28}, {0.5f, 14}, {0.7f, 19}, {-1.0f, 29}, {2.35f, 66}};
    for (const auto& [cm, points] : cases)
        EXPECT_EQ(engine.cmConv_HeightToPoints(cm), points) << cm;
}

// A device in both modes, a preview zoom above 0 and at most 2; printer mode works at 1.0.
TEST_F(EngineTest, DocumentStartTestsItsArguments) {
    const int32_t dc = device();
    const std::tuple<int32_t, int32_t, float, bool, float> cases[] = {
        {dc, 0, 0.0f, false, 0},     {dc, 0, -1.0f, false, 0},  {dc, 0, 2.01f, false, 0},
        {dc, 0, 0.25f, true, 0.25f}, {dc, 0, 2.0f, true, 2.0f}, {0, 0, 1.0f, false, 0},
        {0, 1, 1.0f, false, 0},      {dc, 1, 5.0f, true, 1.0f},
    };
    for (const auto& [hdc, mode, scale, accepted, used] : cases) {
        cmAPIPrinter engine;
        EXPECT_EQ(start(engine, hdc, mode, scale), accepted) << hdc << " " << mode << " " << scale;
        if (accepted) {
            EXPECT_FLOAT_EQ(engine.scale(), used);
        } else {
            const auto call = ui->msgBoxCalls.at(0);
            EXPECT_EQ(call.prompt, QStringLiteral("The following error occurred while printing:"
                                                  "\r\rNumber:  450\rDescription:  ") +
                                       errorDescription(450) +
                                       QStringLiteral("\rSource:  cmAPIPrinter::cmPrt_DocStart()"));
            EXPECT_EQ(call.style, 274);
            EXPECT_EQ(call.title, applicationTitle() + QStringLiteral(" - cmAPIPrinter error!"));
        }
        EXPECT_EQ(errors().size(), accepted ? 0u : 1u);
    }
}

// A4 (595 x 842 points, 4958 x 7017 pixels at 600 dpi) with quarter-inch margins, from the
// device's units; 0 while no document is open.
TEST_F(EngineTest, PageMeasuresComeFromTheDevice) {
    QTemporaryDir dir;
    const std::tuple<int, float, float, float, float> cases[] = {
        {cdlPortrait, 20.98886f, 29.70530f, 19.7f, 28.4f},
        {cdlLandscape, 29.70530f, 20.98886f, 28.4f, 19.7f}};
    for (const auto& [orientation, pw, ph, ow, oh] : cases) {
        const int32_t dc = registerDevice(makePdfPrinter(
            QStringLiteral("PDF"), dir.filePath(QStringLiteral("m.pdf")), orientation));
        cmAPIPrinter e;
        EXPECT_EQ(e.cmPage_PWidth(), 0.0f);
        ASSERT_TRUE(start(e, dc, 0));
        const float expected[] = {pw, ph, 0.635f, 0.635f, ow, oh};
        const float actual[] = {e.cmPage_PWidth(), e.cmPage_PHeight(), e.cmPage_MLeft(),
                                e.cmPage_MTop(),   e.cmPage_OWidth(),  e.cmPage_OHeight()};
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(actual[i], expected[i], 1e-4) << i;
        ASSERT_TRUE(e.cmPrt_DocEnd());
        EXPECT_EQ(e.cmPage_OHeight(), 0.0f);
        releaseDevice(dc);
    }
}

// The preview: the paper at the zoom with the printable area in it, both shown at the end;
// the printer's page calls do nothing.
TEST_F(EngineTest, PreviewBoxesTakeThePaperAtTheZoom) {
    cmAPIPrinter e;
    ASSERT_TRUE(start(e, device(), 0, 0.5f));
    EXPECT_FALSE(page.Visible());
    EXPECT_EQ(QSize(page.Width(), page.Height()), QSize(7920, 6120)); // 11 x 8.5 in at 1/2
    EXPECT_EQ(QPoint(canvas.Left(), canvas.Top()), QPoint(180, 180)); // 12 pixels
    EXPECT_EQ(canvas.persistentImage().size(), QSize(505, 384));
    e.cmPrinter_PageStart();
    EXPECT_TRUE(e.cmOutput_PrintBox(1, 1, 26, 19, true, 0x0000FF, 0));
    e.cmPrinter_PageEnd();
    ASSERT_TRUE(e.cmPrt_DocEnd());
    EXPECT_TRUE(page.Visible() && canvas.Visible());
    EXPECT_EQ(QColor(canvas.Picture().image().pixel(200, 200)), QColor(Qt::red));
    EXPECT_TRUE(printer->pages().empty());
    EXPECT_TRUE(errors().empty());
}

// Members called out of order report error 5; Ignore goes on with the next step.
TEST_F(EngineTest, CallsOutOfOrderReportErrorFive) {
    cmAPIPrinter e;
    e.cmPrinter_PageStart(); // before any document: nothing
    EXPECT_FALSE(e.cmOutput_PrintLine(1, 1, 2, 2, 0, 0));
    EXPECT_FALSE(e.cmOutput_PrintText(1, 1, QStringLiteral("x"), 0, QStringLiteral("Arial"), 8,
                                      false, false, false, false, false, false, 0));
    EXPECT_FALSE(e.cmPrt_DocEnd());
    EXPECT_EQ(errors(), (std::vector<int>{5, 5, 5}));
    ASSERT_TRUE(start(e, device(), 1));
    ASSERT_TRUE(e.cmPrt_DocEnd());
    EXPECT_FALSE(e.cmPrt_DocEnd());
    EXPECT_EQ(errors(), std::vector<int>{5});
    // No device, no job, and the page the device refuses: three messages.
    ui->msgBoxAnswers = {vbIgnore, vbIgnore, vbIgnore};
    e.cmPrinter_PageStart();
    EXPECT_EQ(errors(), (std::vector<int>{5, 5, 5}));
}

// Printer mode: each page is the canvas stretched over the printable area, the canvas white
// again for the next page; releasing the object ends the job.
TEST_F(EngineTest, PagesReachThePrinterAsTheCanvasStretched) {
    {
        cmAPIPrinter e;
        ASSERT_TRUE(start(e, device(), 1));
        EXPECT_EQ(printer->docName(), QStringLiteral("Doc"));
        e.cmPrinter_PageStart();
        e.cmOutput_PrintBox(e.cmPage_MLeft(), e.cmPage_MTop(), e.cmPage_OWidth() / 2,
                            e.cmPage_OHeight(), true, 0xFF0000, 0);
        e.cmPrinter_PageEnd();
        e.cmPrinter_PageStart();
        e.cmPrinter_PageEnd();
    }
    EXPECT_EQ(printer->jobsEnded(), 1);
    ASSERT_EQ(printer->pages().size(), 2u);
    // Letter landscape at 96 dots per inch: the printable area is (24, 24)-(1031, 791).
    const QImage& first = printer->pages()[0];
    for (auto [x, y, colour] : {std::tuple{24, 24, Qt::blue},
                                {520, 790, Qt::blue},
                                {23, 400, Qt::white},
                                {540, 400, Qt::white}})
        EXPECT_EQ(QColor(first.pixel(x, y)), QColor(colour)) << x << " " << y;
    EXPECT_EQ(QColor(printer->pages()[1].pixel(100, 400)), QColor(Qt::white));
    EXPECT_TRUE(errors().empty());
}

// A device that refuses a step: its number in the message; Retry tries again; after an abort
// the end finds no job.
TEST_F(EngineTest, DeviceFailuresAreReportedWithTheirNumber) {
    const int32_t dc = device();
    cmAPIPrinter e;
    printer->FailNextStep = true;
    ui->msgBoxAnswers = {vbRetry};
    ASSERT_TRUE(start(e, dc, 1));
    EXPECT_EQ(errors(), std::vector<int>{ErrPrinter});
    EXPECT_TRUE(e.cmPrt_DocEnd());
    printer->FailNextStep = true;
    EXPECT_FALSE(start(e, dc, 1)); // Abort
    EXPECT_FALSE(e.cmPrt_DocEnd());
    EXPECT_EQ(e.deviceContext(), 0);
    EXPECT_EQ(errors(), (std::vector<int>{ErrPrinter, 5}));
}

// The set-up dialog: the chosen printer's device, in landscape; a cancel gives 0 and no message.
TEST_F(EngineTest, SetupDialogGivesTheChosenPrinter) {
    auto dialogs = std::make_shared<ScriptedCommonDialogs>();
    const auto previous = setCommonDialogServices(dialogs);
    auto chosen = makeImagePrinter(QStringLiteral("Bureau"));
    dialogs->printerAnswers = {chosen, nullptr};
    CommonDialog dlg;
    cmAPIPrinter e;
    const int32_t dc = e.cmPrt_SetupPrinter(dlg, 2);
    EXPECT_EQ(deviceFromHandle(dc), chosen);
    EXPECT_EQ(chosen->orientation(), cdlLandscape);
    EXPECT_EQ(dialogs->printerRequests.at(0).flags, 0x140);
    EXPECT_EQ(e.cmPrt_SetupPrinter(dlg, 2), 0);
    EXPECT_TRUE(errors().empty());
    releaseDevice(dc);
    setCommonDialogServices(previous);
}
