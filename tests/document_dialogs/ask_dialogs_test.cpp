// The ask-save and read-password dialogs as forms: captions, pictures, list, keys and answers.

#include "../common/test_support.h"
#include "core/resources.h"
#include "document_dialogs/frm_ask_pass.h"
#include "roads_fixture.h"
#include "support/scripted_services.h"

#include <QKeyEvent>

namespace {

enum class PassButton { Ok, Cancel, CloseBox };

// The user looks at the prompt, types a password and closes the prompt.
std::function<void(rt::Form&)> typePassword(const QString& text, PassButton button,
                                            std::function<void(FrmAskPassForm&)> look = {}) {
    return [=](rt::Form& form) {
        auto& dialog = dynamic_cast<FrmAskPassForm&>(form);
        if (look) look(dialog);
        dialog.TxtPass.userEdited(text);
        if (button == PassButton::CloseBox)
            dialog.closeByUser();
        else
            (button == PassButton::Ok ? dialog.CmdOk : dialog.CmdCancel)
                .raiseEvent(rt::Event::Click);
    };
}

void pressF1(rt::Form& form) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    form.previewKey(&press, true);
}

} // namespace

TEST_F(RoadsTest, AskSaveShowsTheQuestionAndTheChangedPartsAllSelected) {
    startDocument();
    SetModified(DocPart::Birthdays, -1, 0);
    SetModified(DocPart::MonthBackground, -1, 8);
    forms_->modalScripts.push_back([&](rt::Form& form) {
        auto& d = dynamic_cast<FrmAskSaveForm&>(form);
        EXPECT_EQ(d.Caption(), QStringLiteral("Mirovanta - Enregistrement du fichier"));
        EXPECT_EQ(d.LblQuestion.Caption(),
                  QStringLiteral("Enregistrer les modifications dans [Sans nom] pour les parties "
                                 "suivantes du document?"));
        EXPECT_EQ(d.CmdYes.Caption() + d.CmdNo.Caption() + d.CmdCancel.Caption(),
                  QStringLiteral("&Oui&Non&Annuler"));
        EXPECT_TRUE(d.CmdYes.Default());
        EXPECT_TRUE(d.CmdCancel.Cancel());
        EXPECT_FALSE(d.CmdHelp.Picture().isEmpty());
        EXPECT_FALSE(d.ImgQuestion.Picture().isEmpty());
        ASSERT_EQ(d.LstAskSave.ListCount(), 2);
        EXPECT_EQ(d.LstAskSave.List(1), QStringLiteral("Paramètres de l'image de fond  ... Août"));
        EXPECT_EQ(d.LstAskSave.SelCount(), 2);
        EXPECT_EQ(d.LstAskSave.ListIndex(), 0);
        d.CmdHelp.raiseEvent(rt::Event::Click);
        pressF1(d);
        EXPECT_TRUE(d.Visible()); // help leaves the question open
        d.CmdNo.raiseEvent(rt::Event::Click);
    });

    auto help = std::make_shared<rt::ScriptedHelp>();
    auto previousHelp = rt::setHelpServices(help);
    EXPECT_TRUE(SaveDocument(false, false));
    rt::setHelpServices(previousHelp);
    ASSERT_EQ(help->calls.size(), 2u); // the Help button, then F1
    for (const auto& call : help->calls)
        EXPECT_EQ(call.topic, QStringLiteral("Html\\d_asksave.htm"));
    EXPECT_FALSE(FrmAskSave.exists()); // released after use
}

// Mend: after a change of year the user's click on the header or on a day-item line selects or
// deselects them all; the other lines stay apart.
TEST_F(RoadsTest, AfterAChangeOfYearTheHeaderAndDayItemLinesAreSelectedTogether) {
    for (const QString& year : {QStringLiteral("2005"), QStringLiteral("2004")}) {
        startDocument();
        CurDoc.Year = year;
        SetModified(DocPart::Header, -1, 0);
        SetModified(DocPart::AutoEvents, -1, 0);
        SetModified(DocPart::MonthDays, -1, 1);
        SetModified(DocPart::MonthDays, -1, 6);
        const bool linked = year == QStringLiteral("2005");
        forms_->modalScripts.push_back([&](rt::Form& form) {
            auto& d = dynamic_cast<FrmAskSaveForm&>(form);
            auto* list = qobject_cast<QListWidget*>(d.LstAskSave.widget());
            // Lines: header, auto-events, January's and June's day items.
            list->item(3)->setSelected(false);
            EXPECT_EQ(d.LstAskSave.Selected(0), !linked);
            EXPECT_TRUE(d.LstAskSave.Selected(1));
            EXPECT_EQ(d.LstAskSave.Selected(2), !linked);
            list->item(linked ? 2 : 3)->setSelected(true);
            EXPECT_EQ(d.LstAskSave.SelCount(), 4);
            list->item(1)->setSelected(false);
            EXPECT_EQ(d.LstAskSave.SelCount(), 3);
            d.CmdCancel.raiseEvent(rt::Event::Click);
        });
        EXPECT_FALSE(SaveDocument(false, false));
    }
}

TEST_F(RoadsTest, ReadModeHandsTheTypedPasswordOverTrimmed) {
    forms_->modalScripts.push_back(
        typePassword(QStringLiteral("  secret "), PassButton::Ok, [](FrmAskPassForm& d) {
            EXPECT_EQ(d.Caption(), QStringLiteral("Mirovanta - Mot de passe"));
            EXPECT_EQ(d.LblPass(0).Caption(),
                      QStringLiteral("Ce document est protégé par un mot de passe."));
            EXPECT_EQ(d.TxtPass.PasswordChar(), QStringLiteral("*"));
            EXPECT_TRUE(d.CmdOk.Default());
            EXPECT_TRUE(d.CmdCancel.Cancel());
        }));
    EXPECT_TRUE(AskPassword(QString()));
    EXPECT_EQ(PasswordHandOver, QStringLiteral("secret"));
    EXPECT_FALSE(FrmAskPass.exists());

    forms_->modalScripts.push_back(typePassword(QString(), PassButton::Ok));
    EXPECT_TRUE(AskPassword(QString())); // nothing typed: an empty password is tried
    EXPECT_TRUE(PasswordHandOver.isEmpty());
}

TEST_F(RoadsTest, F1InThePasswordPromptOpensItsHelpTopic) {
    auto help = std::make_shared<rt::ScriptedHelp>();
    auto previousHelp = rt::setHelpServices(help);
    forms_->modalScripts.push_back(
        typePassword(QString(), PassButton::Cancel, [](FrmAskPassForm& d) { pressF1(d); }));
    EXPECT_FALSE(AskPassword(QString()));
    rt::setHelpServices(previousHelp);
    ASSERT_EQ(help->calls.size(), 1u);
    EXPECT_EQ(help->calls[0].topic, QStringLiteral("Html\\d_askpass.htm"));
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

class AskPasswordTest : public RoadsTest, public ::testing::WithParamInterface<PassCase> {};

TEST_P(AskPasswordTest, AnswersAsTheUserChose) {
    const PassCase& c = GetParam();
    const QString expected = QString::fromUtf8(c.expected);
    PasswordHandOver = QStringLiteral("stale");
    QString prompt;
    forms_->modalScripts.push_back(
        typePassword(QString::fromUtf8(c.typed), c.button,
                     [&](FrmAskPassForm& d) { prompt = d.LblPass(1).Caption(); }));

    EXPECT_EQ(AskPassword(expected), c.result);

    EXPECT_EQ(prompt, rt::LoadResString(expected.isEmpty() ? 548 : 1703));
    EXPECT_TRUE(PasswordHandOver.isEmpty());
    if (c.button != PassButton::Ok) {
        EXPECT_EQ(Exchange.DialogResult, 0);
        EXPECT_TRUE(Exchange.DialogText.isEmpty());
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
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RoadsTest, PasswordPictureFollowsTheDisplaysColours) {
    for (const auto& [depth, bitmap] : {std::pair{4, 1703}, {8, 1702}, {32, 1701}}) {
        testing_support::fixedSystem().Depth = depth;
        QImage shown;
        forms_->modalScripts.push_back(
            typePassword(QString(), PassButton::Cancel,
                         [&](FrmAskPassForm& d) { shown = d.ImgPass.Picture().image(); }));
        AskPassword(QString());
        EXPECT_EQ(shown, rt::LoadResPicture(bitmap, rt::vbResBitmap).image()) << bitmap;
    }
}

// The reader asks through the prompt: a wrong password is asked again, the right one opens.
class PromptViews : public RecordingViews {
public:
    bool AskPassword(const QString& Expected) override { return ::AskPassword(Expected); }
};

TEST_F(RoadsTest, OpeningAProtectedDocumentAsksThePasswordInThePrompt) {
    const QString file = path("protected.cal");
    startDocument();
    CurDoc.Author = QStringLiteral("Secrète");
    CurDoc.Password = QStringLiteral("clé");
    saveAsIs(file);
    startDocument();
    auto views = std::make_shared<PromptViews>();
    auto previous = setDocViews(views);
    forms_->modalScripts.push_back(typePassword(QStringLiteral("faux"), PassButton::Ok));
    forms_->modalScripts.push_back(typePassword(QStringLiteral("clé"), PassButton::Ok));
    QString name = file;

    OpenDocument(name);

    setDocViews(previous);
    EXPECT_EQ(forms_->modalForms.size(), 2);
    EXPECT_EQ(CurDoc.Author, QStringLiteral("Secrète"));
    EXPECT_EQ(CurDoc.Password, QStringLiteral("clé"));
    EXPECT_EQ(views->State, QStringLiteral("Edit"));
}

// A password that Windows-1252 cannot hold is a wrong one: typed twice in the prompt, "пароль"
// does not open a document that an earlier save protected with the "??????" it was turned into.
TEST_F(RoadsTest, APasswordTheFilesCodePageLacksIsAWrongOne) {
    const QString file = path("weak.cal");
    startDocument();
    CurDoc.Author = QStringLiteral("Secrète");
    CurDoc.Password = QStringLiteral("??????");
    saveAsIs(file);
    startDocument();
    auto views = std::make_shared<PromptViews>();
    auto previous = setDocViews(views);
    for (int i = 0; i < 2; ++i)
        forms_->modalScripts.push_back([](rt::Form& form) {
            auto& dialog = dynamic_cast<FrmAskPassForm&>(form);
            testing_support::tabInto(dialog.TxtPass.widget());
            EXPECT_TRUE(testing_support::userTypes({QString::fromUtf8("пароль"), Qt::Key_Return}));
        });
    QString name = file;

    OpenDocument(name);

    setDocViews(previous);
    EXPECT_EQ(forms_->modalForms.size(), 2);
    EXPECT_NE(CurDoc.Author, QStringLiteral("Secrète"));
    ASSERT_FALSE(ui_->msgBoxCalls.empty());
    EXPECT_TRUE(ui_->msgBoxCalls.back().prompt.contains(rt::LoadResString(10047)));
}
