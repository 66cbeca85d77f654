// The options dialog's folders and print pages: fixed and followed folders, the folder chooser
// from a row, the months, the copies and the printer set-up.

#include "opt_fixture.h"
#include "properties/ask_path.h"

TEST_F(OptTest, FoldersLoadFixedOrFollowedAndSaveBack) {
    const QString chosen = folder(QStringLiteral("chosen"));
    const QString saves = folder(QStringLiteral("saves"));
    Settings.CalOpenPath = QStringLiteral("*/data/cal/");
    Settings.ImgOpenPath = QStringLiteral("/data/img/");
    Settings.CalSavePath = saves + u'/';
    Settings.ImgSavePath = QString();
    EXPECT_TRUE(showOptions([&](FrmOptForm& d) {
        EXPECT_TRUE(d.OptPath(0).Value());
        EXPECT_TRUE(d.PicPath(1).Visible());
        EXPECT_FALSE(d.PicPath(2).Visible());
        EXPECT_EQ(d.ChkPath(0).Value(), 0);
        EXPECT_EQ(d.TxtPath(0).Text(), QStringLiteral("/data/cal/"));
        EXPECT_TRUE(d.CmdPathSel(0).Enabled());
        EXPECT_EQ(d.TxtPath(0).BackColor(), rt::vbWindowBackground);
        EXPECT_EQ(d.ChkPath(1).Value(), 1);
        EXPECT_FALSE(d.CmdPathSel(1).Enabled() || d.TxtPath(1).Enabled());
        EXPECT_EQ(d.TxtPath(1).BackColor(), rt::vbButtonFace);
        EXPECT_EQ(d.ChkPath(3).Value(), 1); // empty: followed, no folder
        EXPECT_EQ(d.ChkPath(2).Caption(),
                  QStringLiteral("Fichiers Mirovanta (*.cal): Utiliser le dossier du dernier "
                                 "fichier enregistré:"));

        d.OptPath(1).setValue(true);
        EXPECT_FALSE(d.PicPath(1).Visible() || d.PicPath(1).Enabled());
        EXPECT_TRUE(d.PicPath(2).Visible() && d.PicPath(2).Enabled());
        d.ChkPath(1).setValue(0); // fix the picture folder
        d.ChkPath(2).setValue(0);
        // The chooser opens on the row's folder and the user picks another.
        forms_->modalScripts.push_back([&](rt::Form& f) {
            auto& chooser = dynamic_cast<FrmAskPathForm&>(f);
            EXPECT_EQ(chooser.Dir1.Path(), saves);
            chooser.Dir1.setPath(chosen);
            chooser.CmdOk.raiseEvent(rt::Event::Click);
        });
        d.CmdPathSel(2).raiseEvent(rt::Event::Click);
        EXPECT_EQ(d.TxtPath(2).Text(), chosen + u'/');
        d.ChkPath(2).setValue(1); // ticked again: the chosen folder is dropped
        pressOk(d);
    }));
    EXPECT_EQ(Settings.CalOpenPath, QStringLiteral("*/data/cal/"));
    EXPECT_EQ(Settings.ImgOpenPath, QStringLiteral("*/data/img/"));
    EXPECT_EQ(Settings.CalSavePath, saves + u'/');
    EXPECT_EQ(Settings.ImgSavePath, QString());
}

TEST_F(OptTest, LongFoldersAreShortenedWithTheWholeFolderInTheToolTip) {
    const QString fifty = QStringLiteral("/data/") + QString(43, u'a') + u'/'; // 50 characters
    const QString fiftyOne =
        QStringLiteral("/data/") + QString(30, u'b') + u'/' + QString(13, u'c') + u'/';
    Settings.CalOpenPath = u'*' + fifty;
    Settings.ImgOpenPath = u'*' + fiftyOne;
    showOptions([&](FrmOptForm& d) {
        EXPECT_EQ(d.TxtPath(0).Text(), fifty);
        // "/.../bbb.../ccc.../" would still be 50 characters long.
        EXPECT_EQ(d.TxtPath(1).Text(), QStringLiteral("/.../") + QString(13, u'c') + u'/');
        EXPECT_EQ(d.TxtPath(1).ToolTipText(), fiftyOne);
        pressOk(d);
    });
    EXPECT_EQ(Settings.ImgOpenPath, u'*' + fiftyOne); // the whole folder is kept
}

TEST_F(OptTest, NoMonthTickedPrintsJanuaryAndCancelKeepsTheMonths) {
    for (int m = 1; m <= 12; ++m)
        Settings.PrintMonths(m) = m % 2;
    const AppSettings before = Settings;
    EXPECT_FALSE(showOptions([](FrmOptForm& d) {
        EXPECT_EQ(d.ChkMonth(0).Caption(), QStringLiteral("Janvier"));
        EXPECT_EQ(d.ChkMonth(2).Value(), 1);
        EXPECT_EQ(d.ChkMonth(3).Value(), 0);
        d.CmdPrint(0).raiseEvent(rt::Event::Click);
        for (int i = 0; i <= 11; ++i)
            EXPECT_EQ(d.ChkMonth(i).Value(), 1);
        pressCancel(d);
    }));
    EXPECT_EQ(Settings, before);

    showOptions([](FrmOptForm& d) {
        d.CmdPrint(1).raiseEvent(rt::Event::Click);
        pressOk(d);
        for (int i = 0; i <= 11; ++i)
            EXPECT_EQ(d.ChkMonth(i).Value(), 0); // the boxes stay as they were
    });
    EXPECT_EQ(Settings.PrintMonths(1), 1);
    for (int m = 2; m <= 12; ++m)
        EXPECT_EQ(Settings.PrintMonths(m), 0);
}

TEST_F(OptTest, CopiesAreTheNumberTypedHeldWithinSixteenBits) {
    // Mend: numbers beyond the 16-bit range are held at the limit instead of stopping the dialog.
    const struct {
        const char* typed;
        int16_t copies;
    } cases[] = {{"2.5", 2},       {"3.5", 4},         {"x", 0},        {"7 copies", 7},
                 {"40000", 32767}, {"-40000", -32768}, {"1e300", 32767}};
    for (const auto& c : cases) {
        Settings.PrintBackground = -1; // a flag the print run counts as set
        showOptions([&](FrmOptForm& d) {
            EXPECT_EQ(d.ChkPrint(0).Value(), 1);
            d.TxtPrint.userEdited(QString::fromLatin1(c.typed));
            pressOk(d);
        });
        EXPECT_EQ(Settings.PrintCopies, c.copies) << c.typed;
        EXPECT_EQ(Settings.PrintBackground, 1);
    }
}

TEST_F(OptTest, ThePrinterChosenIsKeptAtOnceEvenWhenTheDialogIsCancelled) {
    // No printer: the set-up cannot be opened.
    showOptions([](FrmOptForm& d) {
        EXPECT_FALSE(d.CmdPrint(2).Enabled());
        pressCancel(d);
    });

    printers_->Printers.push_back(rt::makeImagePrinter(QStringLiteral("Bureau")));
    auto chosen = rt::makeImagePrinter(QStringLiteral("Salon"));
    dialogs_->printerAnswers.push_back(chosen);
    dialogs_->printerAnswers.push_back(nullptr);
    EXPECT_FALSE(showOptions([](FrmOptForm& d) {
        EXPECT_TRUE(d.CmdPrint(2).Enabled());
        d.CmdPrint(2).raiseEvent(rt::Event::Click);
        pressCancel(d);
    }));
    ASSERT_NE(Settings.PrinterValue, 0);
    EXPECT_EQ(rt::deviceFromHandle(Settings.PrinterValue), chosen);
    ASSERT_EQ(dialogs_->printerRequests.size(), 1u);
    EXPECT_EQ(dialogs_->printerRequests[0].orientation, rt::cdlLandscape);
    EXPECT_EQ(dialogs_->printerRequests[0].flags, rt::cdlPDPrintSetup | rt::cdlPDReturnDC);

    // The set-up cancelled: the default printer again.
    showOptions([](FrmOptForm& d) {
        d.CmdPrint(2).raiseEvent(rt::Event::Click);
        pressCancel(d);
    });
    EXPECT_EQ(Settings.PrinterValue, 0);
}
