// The About and splash windows: pictures by colour depth, captions, version and build date.

#include "common/test_support.h"
#include "core/resources.h"
#include "document/doc_state.h"
#include "platform/help.h"
#include "platform/ui_test_support.h"
#include "shell/about.h"
#include "shell/main_module.h"
#include "shell/splash.h"
#include "support/scripted_services.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class AboutSplashTest : public ::testing::Test {
protected:
    void SetUp() override { AppVersion = QStringLiteral("2.1"); }
    void TearDown() override {
        FrmAbout.release();
        FrmSplash.release();
        ui_test::flushReleased();
        QFile::remove(programFile());
        QDir().rmdir(programFile());
        AppVersion.clear();
    }
    static QString programFile() {
        return testing_support::fixedSystem().ProgramFolder + QStringLiteral("/mirovanta");
    }
    static bool samePixels(const rt::Picture& shown, int id) {
        return shown.image() == rt::LoadResPicture(id, rt::vbResBitmap).image();
    }
    ui_test::ScriptedServices services;
};

} // namespace

TEST_F(AboutSplashTest, PicturesFollowTheColourDepthOfTheDisplay) {
    struct Case {
        int bits, about, splash;
    } cases[] = {{4, 603, 103}, {8, 602, 102}, {16, 601, 101}, {24, 601, 101}, {32, 601, 101}};
    for (const Case& c : cases) {
        testing_support::fixedSystem().Depth = c.bits;
        EXPECT_TRUE(samePixels(FrmAbout->ImgLogo.Picture(), c.about)) << c.bits;
        EXPECT_TRUE(samePixels(FrmSplash->ImgSplash.Picture(), c.splash)) << c.bits;
        FrmAbout.release();
        FrmSplash.release();
    }
    // The pictures are those of the sizes the windows are laid out for.
    EXPECT_EQ(FrmAbout->ImgLogo.Picture().width(), 141);
    EXPECT_EQ(FrmAbout->ImgLogo.Picture().height(), 300);
    EXPECT_EQ(FrmSplash->ImgSplash.Picture().width(), 399);
    EXPECT_EQ(FrmSplash->ImgSplash.Picture().height(), 281);
}

TEST_F(AboutSplashTest, AboutShowsNameVersionAndTheProgramFilesDate) {
    {
        QFile f(programFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("ELF");
        f.flush();
        ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2004, 2, 5), QTime(13, 30)),
                                  QFileDevice::FileModificationTime));
    }
    FrmAboutForm& a = FrmAbout.get();
    EXPECT_EQ(a.Caption(), QStringLiteral("Au sujet de Mirovanta..."));
    EXPECT_EQ(a.LblInf(0).Caption(), QStringLiteral("Mirovanta pour Windows 9x / ME / XP / NT"));
    EXPECT_EQ(a.LblInf(1).Caption(), QStringLiteral("Version: 2.10.0029"));
    EXPECT_EQ(a.LblInf(2).Caption(), QStringLiteral("Date de compilation: 05 févr. 2004"));
    EXPECT_EQ(a.LblVersion(0).Caption(), QStringLiteral("version 2.1"));
    EXPECT_EQ(a.LblVersion(1).Caption(), QStringLiteral("version 2.1"));
    EXPECT_EQ(a.CmdOk.Caption(), QStringLiteral("&Ok"));
    EXPECT_FALSE(a.lblWarning.Caption().isEmpty());
    // The title and its grey drop shadow 60 twips right and 80 twips down.
    for (int i : {0, 1}) {
        EXPECT_EQ(a.LblMirovanta(i).Caption(), QStringLiteral("Mirovanta"));
        EXPECT_TRUE(a.LblMirovanta(i).FontBold() && a.LblMirovanta(i).FontItalic());
    }
    EXPECT_EQ(a.LblMirovanta(0).ForeColor(), 0x00FF0000);
    EXPECT_EQ(a.LblMirovanta(1).ForeColor(), 0x00808080);
    EXPECT_EQ(a.LblMirovanta(1).Left() - a.LblMirovanta(0).Left(), 60);
    EXPECT_EQ(a.LblMirovanta(1).Top() - a.LblMirovanta(0).Top(), 80);
    EXPECT_EQ(a.LblVersion(0).ForeColor(), 0x00C00000);
    EXPECT_EQ(a.LblVersion(1).Left() - a.LblVersion(0).Left(), 30);
    EXPECT_EQ(a.LblVersion(1).Top() - a.LblVersion(0).Top(), 30);

    a.Show();
    ASSERT_NE(a.window(), nullptr);
    a.window()->grab().save(testing_support::scratchFolder() +
                            QStringLiteral("/mirovanta-about.png"));

    // OK unloads the window.
    a.CmdOk.raiseEvent(rt::Event::Click);
    EXPECT_FALSE(a.Loaded());
}

TEST_F(AboutSplashTest, TheBuildDateIsUnavailableWithoutTheProgramFile) {
    // No program file, or a folder of that name.
    EXPECT_EQ(ProgramBuildDate(), QStringLiteral("[Non disponible]"));
    ASSERT_TRUE(QDir().mkpath(programFile()));
    EXPECT_EQ(ProgramBuildDate(), QStringLiteral("[Non disponible]"));
    EXPECT_EQ(FrmAbout->LblInf(2).Caption(),
              QStringLiteral("Date de compilation: [Non disponible]"));
}

TEST_F(AboutSplashTest, TheAboutCommandShowsTheWindowModallyAndReleasesIt) {
    bool shownLoaded = false;
    services.forms->modalScripts.push_back([&](rt::Form& form) {
        shownLoaded = form.Loaded();
        static_cast<FrmAboutForm&>(form).CmdOk_Click();
    });
    ShowAboutForm();
    EXPECT_EQ(services.forms->modalForms, QStringList{QStringLiteral("FrmAbout")});
    EXPECT_TRUE(shownLoaded);
    EXPECT_EQ(services.forms->modalClosedByDefault, 0);
    EXPECT_FALSE(FrmAbout.exists());
}

TEST_F(AboutSplashTest, SplashShowsItsStatusAndAProgressBarFrom0To100) {
    FrmSplashForm& s = FrmSplash.get();
    EXPECT_EQ(s.LblStatus.Caption(),
              QStringLiteral("Chargement du logiciel en cours, veuillez patienter..."));
    EXPECT_EQ(s.PBar1.Min(), 0);
    EXPECT_EQ(s.PBar1.Max(), 100);
    s.PBar1.setValue(25);
    s.Show();
    ASSERT_NE(s.window(), nullptr);
    s.window()->grab().save(testing_support::scratchFolder() +
                            QStringLiteral("/mirovanta-splash.png"));
    EXPECT_TRUE(s.Visible());
}

TEST_F(AboutSplashTest, F1OpensTheWindowsHelpTopic) {
    auto help = std::make_shared<rt::ScriptedHelp>();
    auto previous = rt::setHelpServices(help);
    HelpFilePath = QStringLiteral("/opt/mirovanta/mrv2help.chm");
    struct Case {
        rt::Form* form;
        const char* topic;
    } cases[] = {{&FrmAbout.get(), "Html\\d_about.htm"}, {&FrmSplash.get(), "Html\\d_splash.htm"}};
    for (const Case& c : cases) {
        help->calls.clear();
        int key = rt::vbKeyF1 + 1; // F2
        c.form->Form_KeyDown(key, 0);
        EXPECT_TRUE(help->calls.empty());
        key = rt::vbKeyF1;
        c.form->Form_KeyDown(key, 0);
        ASSERT_EQ(help->calls.size(), 1u);
        EXPECT_EQ(help->calls[0].topic, QString::fromLatin1(c.topic));
        EXPECT_EQ(help->calls[0].helpFile, HelpFilePath);
        EXPECT_TRUE(c.form->KeyPreview()); // F1 is seen whichever control has the focus
    }
    HelpFilePath.clear();
    rt::setHelpServices(previous);
}

TEST(PictureIds, ThreeDepthsOfOnePicture) {
    EXPECT_EQ(PictureIdForColours(601, 16), 603);
    EXPECT_EQ(PictureIdForColours(601, 256), 602);
    EXPECT_EQ(PictureIdForColours(601, -1), 601);
    EXPECT_EQ(PictureIdForColours(101, 2), 101);
}
