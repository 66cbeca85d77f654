// The picture editor: size, brightness, scrolling, open, save, print and what it hands back.

#include "common/test_support.h"
#include "pictures_fixture.h"
#include "platform/ui_units.h"
#include "printing/common_graph.h"
#include "printing/frm_cm_graph.h"
#include "printing/frm_cm_op_pic.h"

#include <QImageReader>

namespace {

using Editor = FrmCmGraphForm;

void click(rt::Control& c) {
    c.raiseEvent(rt::Event::Click);
}

QRgb pixel(const rt::Picture& p, int x, int y) {
    return p.image().pixel(x, y);
}

rt::Picture filled(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return rt::Picture::fromImage(image);
}

} // namespace

class EditorTest : public PicturesTest {
protected:
    void inEditor(std::function<void(Editor&)> act) {
        services.forms->modalScripts.push_back(
            [act](rt::Form& form) { act(dynamic_cast<Editor&>(form)); });
    }
    static int px(int twips) { return twips / rt::kTwipsPerPixel; }
};

TEST(AdjustBrightness, AddsTheAmountToEachChannelWithinTheirRange) {
    const struct {
        QColor from;
        int amount;
        QColor to;
    } rows[] = {
        {QColor(200, 10, 0), 100, QColor(255, 110, 100)},
        {QColor(255, 255, 255), 100, QColor(255, 255, 255)},
        {QColor(0, 0, 0), -100, QColor(0, 0, 0)},
        {QColor(100, 150, 20), -50, QColor(50, 100, 0)},
        {QColor(100, 150, 20), 0, QColor(100, 150, 20)},   // nothing
        {QColor(100, 150, 20), 101, QColor(100, 150, 20)}, // outside the range: nothing
        {QColor(100, 150, 20), -101, QColor(100, 150, 20)},
    };
    for (const auto& row : rows) {
        QImage image(3, 2, QImage::Format_RGB32);
        image.fill(row.from);
        AdjustImageBrightness(image, row.amount);
        EXPECT_EQ(QColor(image.pixel(2, 1)), row.to) << row.amount;
    }
    // Two applies of +50 equal one of +100; a picture of indexed colours works as well.
    QImage once(4, 4, QImage::Format_Indexed8), twice;
    once.setColorTable({qRgb(220, 30, 90)});
    once.fill(0);
    twice = once;
    AdjustImageBrightness(once, 100);
    AdjustImageBrightness(twice, 50);
    AdjustImageBrightness(twice, 50);
    EXPECT_EQ(once.pixel(3, 3), twice.pixel(3, 3));
    EXPECT_EQ(QColor(once.pixel(0, 0)), QColor(255, 130, 190));
    // The picture is repainted after every tenth column.
    QImage wide(25, 1, QImage::Format_RGB32);
    wide.fill(Qt::black);
    std::vector<int> columns;
    AdjustImageBrightness(wide, 10, [&](int x) { columns.push_back(x); });
    EXPECT_EQ(columns, (std::vector<int>{0, 10, 20}));
}

TEST_F(EditorTest, CancelGivesBackTheCallersPictureAndOkTheEditedOne) {
    const rt::Picture given = filled(120, 90, QColor(200, 10, 0));
    inEditor([&](Editor& e) {
        EXPECT_EQ(e.Caption(), QStringLiteral("Mirovanta - Éditeur d'Image"));
        EXPECT_EQ(e.CmdPrint.Caption(), QStringLiteral("&Imprimer..."));
        EXPECT_EQ(e.TxtWidth(1).Text() + u'x' + e.TxtHeight(1).Text(), QStringLiteral("120x90"));
        e.SldBright.setValue(100);
        click(e.CmdBrightApply);
        EXPECT_EQ(e.SldBright.Value(), 0);
        EXPECT_EQ(QColor(pixel(e.PicMain.Image(), 5, 5)), QColor(255, 110, 100));
        click(e.CmdCancel);
    });
    PicEditResult r = EditPicture(given, QStringLiteral("/img/a.bmp"));
    EXPECT_EQ(r.Changed, 0);
    EXPECT_TRUE(r.Picture.sameObject(given));
    EXPECT_EQ(r.FileName, QStringLiteral("/img/a.bmp"));

    inEditor([&](Editor& e) {
        e.SldBright.setValue(-100);
        click(e.CmdBrightApply);
        click(e.CmdOk);
    });
    r = EditPicture(given, QStringLiteral("/img/a.bmp"));
    EXPECT_EQ(r.Changed, 1);
    EXPECT_EQ(r.FileName, QStringLiteral("/img/a.bmp"));
    EXPECT_EQ(r.Picture.image().size(), QSize(120, 90));
    EXPECT_EQ(QColor(pixel(r.Picture, 0, 0)), QColor(100, 0, 0));
    EXPECT_FALSE(FrmCmGraph.exists());
    EXPECT_TRUE(PicEditPicture.isEmpty()); // the hand-over is emptied
    EXPECT_EQ(PicEditAccepted, 0);

    // OK without a change still counts as a change; the picture is the one shown.
    inEditor([&](Editor& e) { click(e.CmdOk); });
    r = EditPicture(given, QStringLiteral("/img/a.bmp"));
    EXPECT_EQ(r.Changed, 1);
    EXPECT_EQ(r.Picture.image(), given.image());
}

TEST_F(EditorTest, CalendarSizeResizesExactlyAndResetReturnsToTheGivenPicture) {
    inEditor([&](Editor& e) {
        // Small: both scroll bars unusable, the picture at 5, 3.
        EXPECT_FALSE(e.HScroll1.Enabled());
        EXPECT_FALSE(e.VScroll1.Enabled());
        EXPECT_EQ(e.PicMain.Left(), 5 * 15);
        EXPECT_EQ(e.PicMain.Top(), 3 * 15);

        click(e.CmdSizeFit);
        EXPECT_EQ(e.TxtWidth(1).Text() + u'x' + e.TxtHeight(1).Text(), QStringLiteral("673x481"));
        EXPECT_EQ(px(e.PicMain.Width()), 50); // nothing changes before Apply
        click(e.CmdSizeApply);
        EXPECT_EQ(e.PicMain.Image().image().size(), QSize(673, 481));
        EXPECT_TRUE(e.CmdOk.Enabled());
        EXPECT_TRUE(e.CmdPrint.Enabled());
        e.window()->grab().save(testing_support::scratchFolder() +
                                QStringLiteral("/mirovanta-editor.png"));

        // Larger than the view zone: the bars move the picture up to 6 pixels inside the zone.
        const int zoneW = int(e.PicViewZone.ScaleWidth()), zoneH = int(e.PicViewZone.ScaleHeight());
        ASSERT_TRUE(e.HScroll1.Enabled());
        ASSERT_TRUE(e.VScroll1.Enabled());
        EXPECT_EQ(e.HScroll1.Min(), zoneW - 673 - 6);
        EXPECT_EQ(e.HScroll1.Max(), 5);
        EXPECT_EQ(e.VScroll1.Min(), zoneH - 481 - 6);
        EXPECT_EQ(e.VScroll1.Value(), e.VScroll1.Min());
        e.HScroll1.setValue(e.HScroll1.Max());
        EXPECT_EQ(px(e.PicMain.Left()) + 673, zoneW - 6);
        e.VScroll1.setValue(e.VScroll1.Max());
        EXPECT_EQ(px(e.PicMain.Top()) + 481, zoneH - 6);

        click(e.CmdReset);
        EXPECT_EQ(e.PicMain.Image().image().size(), QSize(50, 40));
        EXPECT_EQ(e.TxtWidth(1).Text() + u'x' + e.TxtHeight(1).Text(), QStringLiteral("50x40"));
        EXPECT_FALSE(e.HScroll1.Enabled());
        EXPECT_EQ(e.PicMain.Left(), 5 * 15);

        // Proportions are the user's: 30 x 200 stays 30 x 200.
        e.TxtWidth(1).userEdited(QStringLiteral("30"));
        e.TxtHeight(1).userEdited(QStringLiteral("200"));
        click(e.CmdSizeApply);
        EXPECT_EQ(e.PicMain.Image().image().size(), QSize(30, 200));
        EXPECT_FALSE(e.HScroll1.Enabled()); // re-enabling the form leaves it unusable
        click(e.CmdOk);
    });
    const PicEditResult r = EditPicture(filled(50, 40, Qt::blue), QStringLiteral("/img/b.jpg"));
    EXPECT_EQ(r.Picture.image().size(), QSize(30, 200));
    EXPECT_EQ(QColor(pixel(r.Picture, 15, 100)), QColor(Qt::blue));
}

TEST_F(EditorTest, SizeBoxesHoldOnlyWholeNumbersUpTo32767) {
    const struct {
        const char* typed;
        const char* shown;
    } rows[] = {{"abc", "0"},    {"-5", "0"},    {"40000", "32767"}, {"12.7", "12"},
                {"1e3", "1000"}, {" 4 5", "45"}, {"", "0"},          {"32767", "32767"}};
    inEditor([&](Editor& e) {
        for (const auto& row : rows) {
            e.TxtWidth(1).userEdited(QLatin1String(row.typed));
            EXPECT_EQ(e.TxtWidth(1).Text(), QLatin1String(row.shown)) << row.typed;
            e.TxtHeight(1).userEdited(QLatin1String(row.typed));
            EXPECT_EQ(e.TxtHeight(1).Text(), QLatin1String(row.shown)) << row.typed;
        }
        e.TxtWidth(1).userEdited(QStringLiteral("x"));
        EXPECT_EQ(e.TxtWidth(1).SelStart(), 1); // the caret after the single character
        e.UDWidth.userStep(1);
        EXPECT_EQ(e.TxtWidth(1).Text(), QStringLiteral("1"));
    });
    EditPicture(filled(10, 10, Qt::red), QString());
}

// Mend: a size of nothing or beyond what a document keeps is refused with a message; the
// picture stays.
TEST_F(EditorTest, ASizeOfNothingOrTooLargeKeepsThePicture) {
    inEditor([&](Editor& e) {
        for (const char* size : {"0", "32767"}) {
            e.TxtWidth(1).userEdited(QLatin1String(size));
            e.TxtHeight(1).userEdited(QLatin1String(size));
            click(e.CmdSizeApply);
            EXPECT_EQ(e.PicMain.Image().image().size(), QSize(10, 10)) << size;
            EXPECT_TRUE(e.CmdSizeApply.Enabled());
        }
    });
    EditPicture(filled(10, 10, Qt::red), QString());
    ASSERT_EQ(messages().size(), 2);
    EXPECT_TRUE(messages()[0].contains(QStringLiteral("  380\r")));
    EXPECT_EQ(messages()[1], T(10167).arg(32767).arg(32767).arg(50));
}

TEST_F(EditorTest, OpenReplacesThePictureOrSaysTheFileIsNoPicture) {
    Settings.ImgOpenPath = dir.path() + u'/';
    const QString photo = picture(QStringLiteral("photo.bmp"), 30, 20, Qt::green);
    const QString bad = junk(QStringLiteral("bad.gif"));
    auto chooseFile = [&](const QString& name) {
        services.forms->modalScripts.push_back([name](rt::Form& form) {
            auto& c = dynamic_cast<FrmCmOpPicForm&>(form);
            c.File1.setFileName(QFileInfo(name).fileName());
            c.CmdOpen.raiseEvent(rt::Event::Click);
        });
    };
    inEditor([&](Editor& e) {
        chooseFile(bad);
        click(e.CmdOpen);
        EXPECT_EQ(messages(), QStringList{T(10049)});
        EXPECT_EQ(services.ui->msgBoxCalls[0].style, rt::vbCritical);
        EXPECT_EQ(e.PicMain.Image().image().size(), QSize(10, 10));
        EXPECT_TRUE(e.CmdOpen.Enabled());

        chooseFile(photo);
        click(e.CmdOpen);
        EXPECT_EQ(e.PicMain.Image().image().size(), QSize(30, 20));
        EXPECT_EQ(PicEditFileName, photo);
        click(e.CmdSizeFit);
        click(e.CmdSizeApply);
        click(e.CmdReset); // back to the picture opened last
        EXPECT_EQ(e.PicMain.Image().image().size(), QSize(30, 20));
        click(e.CmdOk);
    });
    const PicEditResult r = EditPicture(filled(10, 10, Qt::red), QStringLiteral("/img/old.bmp"));
    EXPECT_EQ(r.FileName, photo);
    EXPECT_EQ(QColor(pixel(r.Picture, 1, 1)), QColor(Qt::green));
}

TEST_F(EditorTest, SaveAsWritesABitmapAndRemembersItsFolder) {
    const QString target = path(QStringLiteral("saved.bmp"));
    Settings.ImgSavePath = QStringLiteral("/start/");
    dialogs->answerFile(target);
    dialogs->answerCancel();
    inEditor([&](Editor& e) {
        click(e.CmdSizeFit);
        click(e.CmdSizeApply);
        click(e.CmdSaveAs);
        click(e.CmdSaveAs); // cancelled: nothing said, nothing changed
    });
    EditPicture(filled(10, 10, Qt::red), QString());
    ASSERT_EQ(dialogs->fileRequests.size(), 2u);
    const auto& request = dialogs->fileRequests[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.filter, T(10052));
    EXPECT_EQ(request.filterIndex, 2);
    EXPECT_EQ(request.flags, 32774);
    EXPECT_EQ(request.initDir, QStringLiteral("/start/"));
    EXPECT_EQ(request.fileName, QString());
    QImageReader reader(target);
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    EXPECT_EQ(reader.size(), QSize(673, 481));
    EXPECT_EQ(Settings.ImgSavePath, dir.path() + u'/');
    EXPECT_TRUE(messages().isEmpty());
}

// Mend: a picture that cannot be written is reported (here the editor holds none), and the
// folder is remembered only for a picture written; a fixed folder is never changed.
TEST_F(EditorTest, AFailedSaveIsReportedAndAFixedFolderStays) {
    Settings.ImgSavePath = QStringLiteral("*") + dir.path() + u'/';
    const QString first = path(QStringLiteral("nothing.bmp"));
    dialogs->answerFile(first);
    dialogs->answerFile(path(QStringLiteral("ok.bmp")));
    inEditor([&](Editor& e) {
        EXPECT_EQ(e.TxtWidth(1).Text() + u'x' + e.TxtHeight(1).Text(), QStringLiteral("0x0"));
        click(e.CmdSaveAs);
        click(e.CmdOk);
    });
    // No picture in, none out (not a blank one of the box's size).
    EXPECT_TRUE(EditPicture(rt::Picture::empty(), QString()).Picture.isEmpty());
    EXPECT_EQ(dialogs->fileRequests[0].initDir, dir.path() + u'/');
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0], T(10033) + u'\r' + first + QStringLiteral("\r\r") + T(10038) +
                                 QStringLiteral("  481\r") + T(10039) + QStringLiteral("  ") +
                                 rt::errorDescription(481));
    EXPECT_FALSE(QFile::exists(first));

    inEditor([&](Editor& e) { click(e.CmdSaveAs); });
    EditPicture(filled(10, 10, Qt::red), QString());
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("ok.bmp"))));
    EXPECT_EQ(Settings.ImgSavePath, QStringLiteral("*") + dir.path() + u'/');
}

TEST_F(EditorTest, PrintNeedsAPrinterAndPrintsThePictureAsShown) {
    inEditor([&](Editor& e) {
        EXPECT_TRUE(e.CmdPrint.Enabled());
        e.SldBright.setValue(-100);
        click(e.CmdBrightApply);
        const ImageItem job = e.PictureJob();
        EXPECT_EQ(job.Mode, 0);
        EXPECT_EQ(job.FileName, QStringLiteral("/img/p.bmp"));
        EXPECT_EQ(QColor(pixel(job.Picture, 0, 0)), QColor(155, 155, 155));
        // Mend: a picture without a file name still prints as a picture, not the calendar.
        PicEditFileName.clear();
        EXPECT_EQ(e.PictureJob().FileName, QStringLiteral("[Sans nom]"));
        pressF1(e);
    });
    EditPicture(filled(10, 10, Qt::white), QStringLiteral("/img/p.bmp"));
    ASSERT_EQ(help->calls.size(), 1u);
    EXPECT_EQ(help->calls[0].topic, QStringLiteral("Html\\d_cmgraph.htm"));

    printers->Printers.clear();
    rt::setPrinterServices(printers);
    inEditor([&](Editor& e) { EXPECT_FALSE(e.CmdPrint.Enabled()); });
    EditPicture(filled(10, 10, Qt::white), QStringLiteral("/img/p.bmp"));
}
