// The picture chooser: start folder, type filter, preview, the chosen file and what is kept.

#include "common/test_support.h"
#include "pictures_fixture.h"
#include "printing/common_graph.h"
#include "printing/frm_cm_op_pic.h"
#include "services/shell_services.h"

namespace {

using Chooser = FrmCmOpPicForm;

// Plays the user in the chooser: looks, then acts (the default closes with the close box).
void inChooser(ui_test::ScriptedServices& services, std::function<void(Chooser&)> act) {
    services.forms->modalScripts.push_back(
        [act](rt::Form& form) { act(dynamic_cast<Chooser&>(form)); });
}

void open(Chooser& c) {
    c.CmdOpen.raiseEvent(rt::Event::Click);
}

} // namespace

class ChooserTest : public PicturesTest {
protected:
    void SetUp() override {
        PicturesTest::SetUp();
        Settings.ImgOpenPath = dir.path() + u'/';
    }
};

TEST_F(ChooserTest, OpensInTheFolderListsThePictureTypesAndPreviewsTheFirst) {
    picture(QStringLiteral("b.bmp"), 64, 32, Qt::darkCyan);
    picture(QStringLiteral("A.JPG"), 20, 10);
    junk(QStringLiteral("c.gif"));
    junk(QStringLiteral("d.txt"));
    junk(QStringLiteral("noext"));
    inChooser(services, [&](Chooser& c) {
        EXPECT_EQ(c.Caption(), QStringLiteral("Mirovanta - Ouvrir..."));
        EXPECT_EQ(c.LblOpen(0).Caption(), QStringLiteral("Ouvrir une Image"));
        EXPECT_EQ(c.ChkOpen(3).Caption(), QStringLiteral("&Afficher l'aperçu "));
        EXPECT_FALSE(c.CmdHelp.Picture().isEmpty());
        EXPECT_EQ(c.Dir1.Path(), dir.path());
        EXPECT_EQ(c.File1.Pattern(), QStringLiteral("*.bmp;*.jpg;*.jpeg;*.gif"));
        ASSERT_EQ(c.File1.ListCount(), 3);
        EXPECT_EQ(c.File1.List(0) + c.File1.List(1) + c.File1.List(2),
                  QStringLiteral("A.JPGb.bmpc.gif"));
        EXPECT_EQ(c.File1.ListIndex(), 0);
        EXPECT_EQ(c.LblSelFile.ToolTipText(), path(QStringLiteral("A.JPG")));
        EXPECT_EQ(c.LblOpen(1).Caption(), QStringLiteral("L:20  x  H:10   (pixels)"));
        EXPECT_FALSE(c.ImgOpen.Picture().isEmpty());
        EXPECT_TRUE(c.CmdOpen.Enabled());

        // The user picks the bitmap; then the file that is no picture, which may still be chosen.
        c.File1.setListIndex(1);
        EXPECT_EQ(c.LblOpen(1).Caption(), QStringLiteral("L:64  x  H:32   (pixels)"));
        c.window()->grab().save(testing_support::scratchFolder() +
                                QStringLiteral("/mirovanta-chooser.png"));
        c.File1.setListIndex(2);
        EXPECT_EQ(c.LblOpen(1).Caption(), QStringLiteral("[Non disponible]"));
        EXPECT_TRUE(c.ImgOpen.Picture().isEmpty());
        EXPECT_TRUE(c.CmdOpen.Enabled());
        c.File1.setListIndex(1);
        // Every control is usable again after the preview.
        EXPECT_TRUE(c.File1.Enabled());
        open(c);
    });
    const PicChooseResult r = ChoosePicture(QStringLiteral("/ignored/x.bmp"));
    EXPECT_EQ(r.Accepted, 1);
    EXPECT_EQ(r.FileName, path(QStringLiteral("b.bmp")));
    EXPECT_EQ(Settings.ImgOpenPath, dir.path() + u'/');
    for (const char* key : {"ShowBMP", "ShowJPG", "ShowGIF", "ShowPrev"})
        EXPECT_EQ(stored(QStringLiteral("CmOpPic"), QLatin1String(key)), QStringLiteral("1"));
    EXPECT_FALSE(FrmCmOpPic.exists()); // released after use
    EXPECT_EQ(PicChooseAccepted, 0);   // the hand-over is emptied
    EXPECT_EQ(PicChooseFileName, QString());
}

TEST_F(ChooserTest, AFolderWithoutPicturesLeavesNothingToOpen) {
    junk(QStringLiteral("notes.txt"));
    inChooser(services, [&](Chooser& c) {
        EXPECT_EQ(c.File1.ListCount(), 0);
        EXPECT_EQ(c.LblSelFile.Caption(), QString());
        EXPECT_FALSE(c.CmdOpen.Enabled());
        EXPECT_TRUE(c.ImgOpen.Picture().isEmpty());
        EXPECT_EQ(c.LblOpen(1).Caption(), QStringLiteral("[Non disponible]"));
    });
    const PicChooseResult r = ChoosePicture(QString());
    EXPECT_EQ(r.Accepted, 0);
    EXPECT_EQ(r.FileName, QString());
}

TEST_F(ChooserTest, TheTypeBoxesFilterTheListAndOneAlwaysStaysTicked) {
    picture(QStringLiteral("a.bmp"), 8, 8);
    junk(QStringLiteral("b.jpeg"));
    junk(QStringLiteral("c.gif"));
    inChooser(services, [&](Chooser& c) {
        c.ChkOpen(0).userClicked();
        EXPECT_EQ(c.File1.Pattern(), QStringLiteral("*.jpg;*.jpeg;*.gif"));
        EXPECT_EQ(c.LblSelFile.ToolTipText(), path(QStringLiteral("b.jpeg")));
        c.ChkOpen(1).userClicked();
        EXPECT_EQ(c.File1.Pattern(), QStringLiteral("*.gif"));
        c.ChkOpen(2).userClicked(); // the last one: ticked again
        EXPECT_EQ(c.ChkOpen(2).Value(), 1);
        EXPECT_EQ(c.File1.Pattern(), QStringLiteral("*.gif"));
        ASSERT_EQ(c.File1.ListCount(), 1);
        EXPECT_EQ(c.LblSelFile.ToolTipText(), path(QStringLiteral("c.gif")));

        // Without the preview nothing is loaded; ticked again, the file is previewed at once.
        c.ChkOpen(0).userClicked();
        c.ChkOpen(3).userClicked();
        EXPECT_EQ(c.LblSelFile.ToolTipText(), path(QStringLiteral("a.bmp")));
        EXPECT_TRUE(c.ImgOpen.Picture().isEmpty());
        EXPECT_EQ(c.LblOpen(1).Caption(), QStringLiteral("[Non disponible]"));
        c.ChkOpen(3).userClicked();
        EXPECT_EQ(c.LblOpen(1).Caption(), QStringLiteral("L:8  x  H:8   (pixels)"));
        c.ChkOpen(3).userClicked();
        open(c);
    });
    EXPECT_EQ(ChoosePicture(QString()).Accepted, 1);
    EXPECT_EQ(stored(QStringLiteral("CmOpPic"), QStringLiteral("ShowBMP")), QStringLiteral("1"));
    EXPECT_EQ(stored(QStringLiteral("CmOpPic"), QStringLiteral("ShowJPG")), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("CmOpPic"), QStringLiteral("ShowPrev")), QStringLiteral("0"));
}

// Mend: the stored values are read as numbers whatever they hold; a store that unticks every
// type lists every file, names without a dot included.
TEST_F(ChooserTest, StoredBoxStatesOfAnyTextOpenTheDialog) {
    picture(QStringLiteral("a.bmp"), 8, 8);
    junk(QStringLiteral("README"));
    const struct {
        const char* stored;
        int value;
    } rows[] = {{"0", 0}, {"1", 1}, {"-1", 1}, {"5", 1}, {"0.4", 0}, {"abc", 0}, {"", 0}};
    for (const auto& row : rows) {
        for (const char* key : {"ShowBMP", "ShowJPG", "ShowGIF"})
            rt::SaveSetting(kSettingsApp, QStringLiteral("CmOpPic"), QLatin1String(key),
                            QLatin1String(row.stored));
        inChooser(services, [&](Chooser& c) {
            SCOPED_TRACE(row.stored);
            for (int i = 0; i <= 2; ++i)
                EXPECT_EQ(c.ChkOpen(i).Value(), row.value);
            if (row.value == 0) {
                EXPECT_EQ(c.File1.Pattern(), QStringLiteral("*.*"));
                EXPECT_EQ(c.File1.ListCount(), 2); // a.bmp and README
            } else {
                EXPECT_EQ(c.File1.ListCount(), 1);
            }
        });
        ChoosePicture(QString());
    }
}

TEST_F(ChooserTest, CancelAndTheCloseBoxKeepNothing) {
    picture(QStringLiteral("a.bmp"), 8, 8);
    Settings.ImgOpenPath = QStringLiteral("*") + dir.path() + u'/';
    for (bool closeBox : {false, true}) {
        inChooser(services, [&](Chooser& c) {
            c.ChkOpen(3).userClicked();
            if (closeBox)
                c.closeByUser();
            else
                c.CmdCancel.raiseEvent(rt::Event::Click);
        });
        const PicChooseResult r = ChoosePicture(QStringLiteral("x"));
        EXPECT_EQ(r.Accepted, 0);
        EXPECT_EQ(r.FileName, QString());
        EXPECT_EQ(stored(QStringLiteral("CmOpPic"), QStringLiteral("ShowPrev")),
                  QStringLiteral("(none)"));
    }
    // A fixed folder: the dialog starts there and the setting stays as it is.
    const QString sub = path(QStringLiteral("sub"));
    QDir().mkdir(sub);
    inChooser(services, [&](Chooser& c) {
        EXPECT_EQ(c.Dir1.Path(), dir.path());
        c.Dir1.setPath(sub);
        EXPECT_EQ(c.File1.Path(), sub);
        EXPECT_FALSE(c.CmdOpen.Enabled());
        c.Dir1.setPath(dir.path());
        open(c);
    });
    EXPECT_EQ(ChoosePicture(QString()).FileName, path(QStringLiteral("a.bmp")));
    EXPECT_EQ(Settings.ImgOpenPath, QStringLiteral("*") + dir.path() + u'/');
}

TEST_F(ChooserTest, AStartFolderThatIsNotThereFallsBackToTheProgramFolder) {
    testing_support::fixedSystem().ProgramFolder = dir.path();
    picture(QStringLiteral("p.bmp"), 8, 8);
    for (const QString& start : {QStringLiteral("/no/such/folder/"), QStringLiteral("C:\\Images\\"),
                                 QStringLiteral("relative/"), QString()}) {
        Settings.ImgOpenPath = start;
        inChooser(services,
                  [&](Chooser& c) { EXPECT_EQ(c.Dir1.Path(), dir.path()) << start.toStdString(); });
        ChoosePicture(QString());
    }
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ChooserTest, DrivesOfPaths) {
    EXPECT_EQ(DriveOf(QStringLiteral("/home/anne/Images/")), QStringLiteral("/"));
    EXPECT_EQ(DriveOf(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(DriveOf(QStringLiteral("C:\\Images\\")), QStringLiteral("C:"));
    EXPECT_EQ(DriveOf(QString()), QString());
}

TEST_F(ChooserTest, ALongPathIsShownShortWithTheFullPathKept) {
    QString deep = dir.path();
    for (const char* part : {"Documents personnels", "Images de vacances", "Bretagne en été 2003"})
        deep += u'/' + QLatin1String(part);
    ASSERT_TRUE(QDir().mkpath(deep));
    QImage(4, 4, QImage::Format_RGB32).save(deep + QStringLiteral("/plage.bmp"), "BMP");
    Settings.ImgOpenPath = deep + u'/';
    inChooser(services, [&](Chooser& c) {
        const QString full = deep + QStringLiteral("/plage.bmp");
        ASSERT_GT(full.size(), 65);
        EXPECT_EQ(c.LblSelFile.ToolTipText(), full);
        EXPECT_TRUE(c.LblSelFile.Caption().contains(QStringLiteral("...")));
        EXPECT_LT(c.LblSelFile.Caption().size(), 65);
        EXPECT_TRUE(c.LblSelFile.Caption().endsWith(QStringLiteral("/plage.bmp")));
        open(c);
    });
    EXPECT_EQ(ChoosePicture(QString()).FileName, deep + QStringLiteral("/plage.bmp"));
}

TEST_F(ChooserTest, AFolderThatVanishesAsksRetryOrCancel) {
    const QString gone = path(QStringLiteral("gone"));
    QDir().mkdir(gone);
    picture(QStringLiteral("a.bmp"), 8, 8);
    services.ui->msgBoxAnswers = {rt::vbRetry, rt::vbCancel};
    inChooser(services, [&](Chooser& c) {
        c.Dir1.setPath(gone);
        QDir().rmdir(gone);
        c.Dir1_Change();                 // the list's folder is read again: it is no longer there
        EXPECT_EQ(c.Dir1.Path(), gone);  // Cancel leaves the folder list where it was ...
        EXPECT_EQ(c.File1.Path(), gone); // ... with the file list
    });
    ChoosePicture(QString());
    ASSERT_EQ(services.ui->msgBoxCalls.size(), 2u); // asked, Retry, asked again, Cancel
    const auto& call = services.ui->msgBoxCalls[0];
    EXPECT_EQ(call.style, rt::vbRetryCancel + rt::vbCritical);
    EXPECT_EQ(call.title, QStringLiteral("Mirovanta"));
    EXPECT_EQ(call.prompt, T(1407) + u'\r' + gone + QStringLiteral(".\r\r") + T(10038) +
                               QStringLiteral("  76\r") + T(10039) + QStringLiteral("  ") +
                               rt::errorDescription(76));
}

TEST_F(ChooserTest, HelpButtonAndF1OpenTheHelpTopic) {
    inChooser(services, [&](Chooser& c) {
        c.CmdHelp.raiseEvent(rt::Event::Click);
        pressF1(c);
    });
    ChoosePicture(QString());
    ASSERT_EQ(help->calls.size(), 2u);
    for (const auto& call : help->calls)
        EXPECT_EQ(call.topic, QStringLiteral("Html\\d_openpic.htm"));
}

TEST_F(ChooserTest, APictureBeyondThePerPictureLimitIsRefusedAndTheDialogStays) {
    monoBitmap(QStringLiteral("grande.bmp"), 10001, 5000);
    picture(QStringLiteral("petite.bmp"), 8, 8);
    inChooser(services, [&](Chooser& c) {
        c.File1.setFileName(QStringLiteral("grande.bmp"));
        open(c);
        EXPECT_EQ(messages(), QStringList{T(10166).arg(10001).arg(5000).arg(50)});
        EXPECT_EQ(services.ui->msgBoxCalls[0].style, rt::vbCritical | rt::vbOKOnly);
        c.File1.setFileName(QStringLiteral("petite.bmp"));
        open(c);
    });
    const PicChooseResult r = ChoosePicture(QString());
    EXPECT_EQ(r.Accepted, 1);
    EXPECT_EQ(r.FileName, path(QStringLiteral("petite.bmp")));
}
