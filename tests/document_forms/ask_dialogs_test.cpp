// The ask-save and read-password dialogs as forms: captions, pictures, list, keys and answers.

#include "../common/test_support.h"
#include "document/cal_reader.h"
#include "document/forms/frm_ask_pass.h"
#include "platform/resources.h"
#include "roads_fixture.h"

#include <QKeyEvent>

namespace {

// The user types a password and presses a button (or the close box).
enum class PassButton { Ok, Cancel, CloseBox };

std::function<void(rt::Form&)> typePassword(const QString& text, PassButton button,
                                            std::function<void(FrmAskPassForm&)> look = {}) {
    return [=](rt::Form& form) {
        auto& dialog = dynamic_cast<FrmAskPassForm&>(form);
        if (look) look(dialog);
        dialog.TxtPass.userEdited(text);
        if (button == PassButton::Ok)
            dialog.CmdOk.raiseEvent(rt::Event::Click);
        else if (button == PassButton::Cancel)
            dialog.CmdCancel.raiseEvent(rt::Event::Click);
        else
            dialog.closeByUser();
    };
}

bool samePixels(const rt::Picture& a, const rt::Picture& b) {
    return !a.isEmpty() && a.image().convertToFormat(QImage::Format_RGB32) ==
                               b.image().convertToFormat(QImage::Format_RGB32);
}

void pressF1(rt::Form& form) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    form.previewKey(&press, true);
}

class AskDialogsTest : public RoadsTest {
protected:
    void SetUp() override {
        RoadsTest::SetUp();
        help_ = std::make_shared<rt::ScriptedHelp>();
        previousHelp_ = rt::setHelpServices(help_);
        HelpFilePath = QStringLiteral("/opt/mirovanta/mrv2help.chm");
    }
    void TearDown() override {
        rt::setHelpServices(previousHelp_);
        RoadsTest::TearDown();
    }
    QStringList helpTopics() const {
        QStringList topics;
        for (const auto& call : help_->calls)
            topics << call.helpFile + u'|' + call.topic;
        return topics;
    }

    std::shared_ptr<rt::ScriptedHelp> help_;
    std::shared_ptr<rt::HelpServices> previousHelp_;
};

} // namespace

// ---- The ask-save dialog

TEST_F(AskDialogsTest, AskSaveShowsTheQuestionAndTheChangedPartsAllSelected) {
    startDocument();
    SetModified(DocPart::Birthdays, -1, 0);
    SetModified(DocPart::MonthBackground, -1, 8);
    forms().modalScripts.push_back([&](rt::Form& form) {
        auto& d = dynamic_cast<FrmAskSaveForm&>(form);
        EXPECT_EQ(d.Caption(), QStringLiteral("Mirovanta - Enregistrement du fichier"));
        EXPECT_EQ(d.LblAskSave.Caption(), QStringLiteral("Enregistrement du fichier"));
        EXPECT_EQ(d.LblQuestion.Caption(),
                  QStringLiteral("Enregistrer les modifications dans [Sans nom] pour les parties "
                                 "suivantes du document?"));
        EXPECT_EQ(d.CmdYes.Caption(), QStringLiteral("&Oui"));
        EXPECT_EQ(d.CmdNo.Caption(), QStringLiteral("&Non"));
        EXPECT_EQ(d.CmdCancel.Caption(), QStringLiteral("&Annuler"));
        EXPECT_EQ(d.CmdHelp.ToolTipText(), QStringLiteral("Aide..."));
        EXPECT_TRUE(d.CmdYes.Default());
        EXPECT_TRUE(d.CmdCancel.Cancel());
        EXPECT_FALSE(d.CmdHelp.Picture().isEmpty());
        EXPECT_FALSE(d.ImgQuestion.Picture().isEmpty());
        EXPECT_EQ(d.ILAskSave.ListImages().Count(), 0);
        ASSERT_EQ(d.LstAskSave.ListCount(), 2);
        EXPECT_EQ(d.LstAskSave.List(0), QStringLiteral("Anniversaires"));
        EXPECT_EQ(d.LstAskSave.List(1), QStringLiteral("Paramètres de l'image de fond  ... Août"));
        EXPECT_EQ(d.LstAskSave.SelCount(), 2);
        EXPECT_EQ(d.LstAskSave.ListIndex(), 0);
        d.CmdNo.raiseEvent(rt::Event::Click);
    });

    EXPECT_TRUE(SaveDocument(false, false));
    EXPECT_FALSE(FrmAskSave.exists()); // released after use
}

TEST_F(AskDialogsTest, AskSaveNamesTheFileByItsFullPath) {
    startDocument(QStringLiteral("/home/léa/2004.cal"));
    SetModified(DocPart::Header, -1, 0);
    QString question;
    forms().modalScripts.push_back([&](rt::Form& form) {
        question = dynamic_cast<FrmAskSaveForm&>(form).LblQuestion.Caption();
        form.closeByUser();
    });

    EXPECT_FALSE(SaveDocument(false, false)); // the close box stops, as Cancel does
    EXPECT_EQ(question, QStringLiteral("Enregistrer les modifications dans /home/léa/2004.cal "
                                       "pour les parties suivantes du document?"));
    EXPECT_EQ(CurDoc.HeaderModified, -1);
}

TEST_F(AskDialogsTest, AfterAChangeOfYearTheHeaderAndDayItemLinesAreSelectedTogether) {
    startDocument();
    CurDoc.Year = QStringLiteral("2005");
    SetModified(DocPart::Header, -1, 0);
    SetModified(DocPart::AutoEvents, -1, 0);
    SetModified(DocPart::MonthDays, -1, 1);
    SetModified(DocPart::MonthDays, -1, 6);
    forms().modalScripts.push_back([&](rt::Form& form) {
        auto& d = dynamic_cast<FrmAskSaveForm&>(form);
        auto* list = qobject_cast<QListWidget*>(d.LstAskSave.widget());
        // Lines: header, auto-events, January's and June's day items.
        list->item(3)->setSelected(false);
        EXPECT_FALSE(d.LstAskSave.Selected(0));
        EXPECT_TRUE(d.LstAskSave.Selected(1));
        EXPECT_FALSE(d.LstAskSave.Selected(2));
        EXPECT_FALSE(d.LstAskSave.Selected(3));
        list->item(2)->setSelected(true);
        EXPECT_EQ(d.LstAskSave.SelCount(), 4);
        list->item(1)->setSelected(false); // not in the group
        EXPECT_EQ(d.LstAskSave.SelCount(), 3);
        d.CmdCancel.raiseEvent(rt::Event::Click);
    });
    EXPECT_FALSE(SaveDocument(false, false));
}

TEST_F(AskDialogsTest, WithoutAChangeOfYearEachLineIsSelectedOnItsOwn) {
    startDocument();
    SetModified(DocPart::Header, -1, 0);
    SetModified(DocPart::MonthDays, -1, 1);
    forms().modalScripts.push_back([&](rt::Form& form) {
        auto& d = dynamic_cast<FrmAskSaveForm&>(form);
        qobject_cast<QListWidget*>(d.LstAskSave.widget())->item(1)->setSelected(false);
        EXPECT_TRUE(d.LstAskSave.Selected(0));
        EXPECT_FALSE(d.LstAskSave.Selected(1));
        d.CmdCancel.raiseEvent(rt::Event::Click);
    });
    EXPECT_FALSE(SaveDocument(false, false));
}

TEST_F(AskDialogsTest, HelpButtonAndF1OpenTheAskSaveTopic) {
    startDocument();
    SetModified(DocPart::Header, -1, 0);
    forms().modalScripts.push_back([&](rt::Form& form) {
        auto& d = dynamic_cast<FrmAskSaveForm&>(form);
        d.CmdHelp.raiseEvent(rt::Event::Click);
        pressF1(d);
        EXPECT_TRUE(d.Visible()); // help leaves the question open
        d.CmdCancel.raiseEvent(rt::Event::Click);
    });
    SaveDocument(false, false);
    const QString topic = QStringLiteral("/opt/mirovanta/mrv2help.chm|Html\\d_asksave.htm");
    EXPECT_EQ(helpTopics(), (QStringList{topic, topic}));
}

// ---- The read-password prompt

TEST_F(AskDialogsTest, ReadModeHandsTheTypedPasswordOverTrimmed) {
    forms().modalScripts.push_back(
        typePassword(QStringLiteral("  secret "), PassButton::Ok, [](FrmAskPassForm& d) {
            EXPECT_EQ(d.Caption(), QStringLiteral("Mirovanta - Mot de passe"));
            EXPECT_EQ(d.LblPass(0).Caption(),
                      QStringLiteral("Ce document est protégé par un mot de passe."));
            EXPECT_EQ(d.LblPass(1).Caption(), QStringLiteral("Mot de passe pour la lecture:"));
            EXPECT_EQ(d.TxtPass.PasswordChar(), QStringLiteral("*"));
            EXPECT_EQ(d.CmdOk.Caption(), QStringLiteral("&Ok"));
            EXPECT_EQ(d.CmdCancel.Caption(), QStringLiteral("&Annuler"));
            EXPECT_TRUE(d.CmdOk.Default());
            EXPECT_TRUE(d.CmdCancel.Cancel());
        }));
    EXPECT_TRUE(AskPassword(QString()));
    EXPECT_EQ(PasswordHandOver, QStringLiteral("secret"));
    EXPECT_EQ(Exchange.DialogResult, 1);
    EXPECT_FALSE(FrmAskPass.exists());

    // OK with nothing typed hands an empty password over.
    forms().modalScripts.push_back(typePassword(QString(), PassButton::Ok));
    EXPECT_TRUE(AskPassword(QString()));
    EXPECT_TRUE(PasswordHandOver.isEmpty());
}

struct PassCase {
    const char* name;
    const char* expected; // "" read mode
    const char* typed;
    PassButton button;
    bool result;
};

inline void PrintTo(const PassCase& c, std::ostream* os) {
    *os << c.name;
}

class AskPasswordTest : public AskDialogsTest, public ::testing::WithParamInterface<PassCase> {};

TEST_P(AskPasswordTest, AnswersAsTheUserChose) {
    const PassCase& c = GetParam();
    const QString expected = QString::fromUtf8(c.expected);
    PasswordHandOver = QStringLiteral("stale");
    QString prompt;
    forms().modalScripts.push_back(
        typePassword(QString::fromUtf8(c.typed), c.button,
                     [&](FrmAskPassForm& d) { prompt = d.LblPass(1).Caption(); }));

    EXPECT_EQ(AskPassword(expected), c.result);

    EXPECT_EQ(prompt, rt::LoadResString(expected.isEmpty() ? 548 : 1703));
    if (c.button != PassButton::Ok) {
        EXPECT_EQ(Exchange.DialogResult, 0);
        EXPECT_TRUE(Exchange.DialogText.isEmpty());
    }
    if (!expected.isEmpty() || !c.result) {
        EXPECT_TRUE(PasswordHandOver.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AskPasswordTest,
    ::testing::Values(PassCase{"ConfirmSameWithBlanks", "Sésame", " Sésame  ", PassButton::Ok,
                               true},
                      PassCase{"ConfirmOtherCase", "Sésame", "sésame", PassButton::Ok, false},
                      PassCase{"ConfirmCancelled", "Sésame", "Sésame", PassButton::Cancel, false},
                      PassCase{"ReadCancelled", "", "x", PassButton::Cancel, false},
                      PassCase{"ReadCloseBox", "", "x", PassButton::CloseBox, false}),
    [](const ::testing::TestParamInfo<PassCase>& info) { return info.param.name; });

TEST_F(AskDialogsTest, PasswordPictureFollowsTheDisplaysColours) {
    for (const auto& [depth, bitmap] : {std::pair{4, 1703}, {8, 1702}, {16, 1701}, {32, 1701}}) {
        testing_support::fixedSystem().Depth = depth;
        forms().modalScripts.push_back(
            typePassword(QString(), PassButton::Cancel, [bitmap = bitmap](FrmAskPassForm& d) {
                EXPECT_TRUE(
                    samePixels(d.ImgPass.Picture(), rt::LoadResPicture(bitmap, rt::vbResBitmap)))
                    << bitmap;
            }));
        AskPassword(QString());
    }
}

TEST_F(AskDialogsTest, F1OpensThePasswordTopic) {
    forms().modalScripts.push_back([](rt::Form& form) {
        pressF1(form);
        dynamic_cast<FrmAskPassForm&>(form).CmdCancel.raiseEvent(rt::Event::Click);
    });
    AskPassword(QString());
    EXPECT_EQ(helpTopics(),
              QStringList{QStringLiteral("/opt/mirovanta/mrv2help.chm|Html\\d_askpass.htm")});
}

// The reader asks through the prompt: a wrong password is asked again, the right one opens.
class PromptViews : public RecordingViews {
public:
    bool AskPassword(const QString& Expected) override { return ::AskPassword(Expected); }
};

TEST_F(AskDialogsTest, OpeningAProtectedDocumentAsksThePasswordInThePrompt) {
    const QString file = path("protected.cal");
    startDocument();
    CurDoc.Author = QStringLiteral("Secrète");
    CurDoc.Password = QStringLiteral("clé");
    ASSERT_TRUE(SaveCalFile(file, CurDoc));
    startDocument();
    auto views = std::make_shared<PromptViews>();
    views->State = QStringLiteral("Logo");
    auto previous = setDocViews(views);
    forms().modalScripts.push_back(typePassword(QStringLiteral("faux"), PassButton::Ok));
    forms().modalScripts.push_back(typePassword(QStringLiteral("clé"), PassButton::Ok));
    QString name = file;

    OpenDocument(name);

    setDocViews(previous);
    EXPECT_EQ(forms().modalForms,
              (QStringList{QStringLiteral("FrmAskPass"), QStringLiteral("FrmAskPass")}));
    EXPECT_EQ(CurDoc.Author, QStringLiteral("Secrète"));
    EXPECT_EQ(CurDoc.Password, QStringLiteral("clé"));
    EXPECT_EQ(views->State, QStringLiteral("Edit"));
    EXPECT_TRUE(PasswordHandOver.isEmpty());
}
