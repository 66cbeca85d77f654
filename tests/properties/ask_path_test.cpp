// The folder chooser: the start folder, OK and Cancel, the folder label, new folders.

#include "opt_fixture.h"
#include "properties/ask_path.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTemporaryDir>

namespace {

enum class Close { Ok, Cancel, CloseBox };

// The user looks at the chooser, acts, and closes it.
std::function<void(rt::Form&)> useChooser(std::function<void(FrmAskPathForm&)> act, Close close) {
    return [=](rt::Form& form) {
        auto& d = dynamic_cast<FrmAskPathForm&>(form);
        if (act) act(d);
        if (close == Close::CloseBox)
            d.closeByUser();
        else
            (close == Close::Ok ? d.CmdOk : d.CmdCancel).raiseEvent(rt::Event::Click);
    };
}

} // namespace

TEST_F(OptTest, TheChooserReturnsTheFolderOnOkAndTheStartFolderOtherwise) {
    const QString start = folder(QStringLiteral("start"));
    const QString other = folder(QStringLiteral("start/other"));
    forms_->modalScripts.push_back(useChooser(
        [&](FrmAskPathForm& d) {
            EXPECT_EQ(d.Caption(), QStringLiteral("Choisir un dossier..."));
            EXPECT_EQ(d.FrmSelPath.Caption(), QStringLiteral("Dossier choisi:"));
            EXPECT_EQ(d.Dir1.Path(), start);
            EXPECT_EQ(d.Drive1.Drive(), QStringLiteral("/"));
            d.Dir1.setPath(other);
        },
        Close::Ok));
    EXPECT_EQ(AskForPath(start), other + u'/');
    EXPECT_FALSE(FrmAskPath.exists());
    EXPECT_TRUE(Exchange.DialogText.isEmpty());

    for (Close close : {Close::Cancel, Close::CloseBox}) {
        forms_->modalScripts.push_back(
            useChooser([&](FrmAskPathForm& d) { d.Dir1.setPath(other); }, close));
        EXPECT_EQ(AskForPath(start), start); // without its separator, as given
    }

    forms_->modalScripts.push_back(useChooser({}, Close::Ok));
    EXPECT_EQ(AskForPath(QStringLiteral("/")), QStringLiteral("/"));
}

// Mend: the drive of a folder here is the root "/", not its first two characters.
TEST_F(OptTest, AStartFolderThatCannotBeShownOpensTheProgramFolder) {
    const QString program = folder(QStringLiteral("prog/bin"));
    testing_support::fixedSystem().ProgramFolder = program;
    const QString deep = folder(QStringLiteral("deep/er"));
    const struct {
        QString start;
        QString shown;
    } cases[] = {{deep + u'/', deep},
                 {path(QStringLiteral("missing")), program},
                 {QString(), program},
                 {QStringLiteral("relative/folder"), program},
                 {QStringLiteral("C:\\Calendriers\\"), program}};
    for (const auto& c : cases) {
        forms_->modalScripts.push_back(useChooser(
            [&](FrmAskPathForm& d) { EXPECT_EQ(d.Dir1.Path(), c.shown) << c.start.toStdString(); },
            Close::Cancel));
        AskForPath(c.start);
    }
    EXPECT_TRUE(ui_->msgBoxCalls.empty());
}

TEST_F(OptTest, TheLabelShowsLongFoldersShortenedWithTheWholeFolderInItsToolTip) {
    QTemporaryDir dir(QStringLiteral("/tmp/mrvXXXXXX")); // a short base: 14 characters
    const QString base = dir.path();
    const QString thirty = base + u'/' + QString(29 - base.size(), u'x');
    const QString thirtyOne = base + u'/' + QString(30 - base.size(), u'y');
    ASSERT_TRUE(QDir().mkpath(thirty) && QDir().mkpath(thirtyOne));
    ASSERT_EQ(thirty.size(), 30);
    forms_->modalScripts.push_back(useChooser(
        [&](FrmAskPathForm& d) {
            EXPECT_EQ(d.LblSelPath.Caption(), thirty);
            d.Dir1.setPath(thirtyOne);
            EXPECT_EQ(d.LblSelPath.Caption(),
                      QStringLiteral("/.../") + QString(30 - base.size(), u'y'));
            EXPECT_EQ(d.LblSelPath.ToolTipText(), thirtyOne);
            d.Dir1.setPath(base);
            EXPECT_EQ(d.LblSelPath.ToolTipText(), base);
        },
        Close::Cancel));
    AskForPath(thirty);
}

TEST_F(OptTest, ANewFolderIsMadeInsideTheCurrentOneAndOpened) {
    const QString start = folder(QStringLiteral("n"));
    ui_->inputAnswers = {QStringLiteral("  neu  "), QStringLiteral("   "), QString()};
    forms_->modalScripts.push_back(useChooser(
        [&](FrmAskPathForm& d) {
            d.CmdNew.raiseEvent(rt::Event::Click);
            EXPECT_EQ(d.Dir1.Path(), start + QStringLiteral("/neu"));
            EXPECT_TRUE(QFileInfo(start + QStringLiteral("/neu")).isDir());
            // Blanks only: the current folder itself cannot be made; it stays.
            d.CmdNew.raiseEvent(rt::Event::Click);
            EXPECT_EQ(d.Dir1.Path(), start + QStringLiteral("/neu"));
            d.CmdNew.raiseEvent(rt::Event::Click); // nothing typed: nothing happens
            QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
            d.previewKey(&f1, true);
        },
        Close::Ok));
    EXPECT_EQ(AskForPath(start), start + QStringLiteral("/neu/"));
    ASSERT_EQ(ui_->inputPrompts.size(), 3u);
    EXPECT_EQ(ui_->inputPrompts[0], QStringLiteral("Tapez le nom du nouveau dossier.\r\rCe dossier "
                                                   "sera ajouté à:\r") +
                                        start + u'/');
    ASSERT_EQ(ui_->msgBoxCalls.size(), 1u);
    EXPECT_EQ(ui_->msgBoxCalls[0].prompt,
              QStringLiteral("Une erreur s'est produite lors de la création du nouveau dossier.\r\r"
                             "Numéro de l'erreur :  75\rDescription de l'erreur :  Erreur d'accès "
                             "au chemin/fichier"));
    EXPECT_EQ(ui_->msgBoxCalls[0].style, rt::vbOKOnly + rt::vbCritical);
    EXPECT_EQ(ui_->msgBoxCalls[0].title, QStringLiteral("Mirovanta"));
    ASSERT_EQ(help_->calls.size(), 1u);
    EXPECT_EQ(help_->calls[0].topic, QStringLiteral("Html\\d_askpath.htm"));
}
