// The properties dialog's saving page: embedded pictures, and the read password with its
// confirmation before the dialog may close with OK.

#include "common/test_support.h"
#include "document_dialogs/frm_ask_pass.h"
#include "prop_fixture.h"

#include <optional>

using namespace rt;

namespace {

// The user's answer in the password dialog: a text confirmed with OK, or Cancel.
void answerPassword(ui_test::ScriptedServices& s, std::optional<QString> typed) {
    s.forms->modalScripts.push_back([typed](rt::Form& f) {
        auto& ask = static_cast<FrmAskPassForm&>(f);
        if (!typed) {
            ask.CmdCancel_Click();
            return;
        }
        ask.TxtPass.userEdited(*typed);
        ask.CmdOk_Click();
    });
}

} // namespace

TEST_F(PropTest, PasswordsAreConfirmedWhenNewAndStoredTrimmed) {
    struct Case {
        const char* name;
        const char* stored;  // the document's password when the dialog opens
        int tick;            // -1: leave the box, 0/1: set it
        const char* typed;   // nullptr: the box is not edited
        const char* confirm; // nullptr: no confirmation expected
        const char* after;
        bool marked;
    };
    const Case cases[] = {
        {"untouched", "secret", -1, nullptr, nullptr, "secret", false},
        {"retyped identically", "secret", -1, "secret", "secret", "secret", false},
        {"new, confirmed with blanks", "", 1, "neu", "  neu ", "neu", true},
        {"blanks around the old one", "abc", -1, "  abc  ", "abc", "abc", true},
        {"box unticked", "secret", 0, nullptr, nullptr, "", true},
        {"box ticked, nothing typed", "", 1, nullptr, nullptr, "", false},
        // Mend: blanks only are no password and ask for no confirmation.
        {"blanks only", "", 1, "   ", nullptr, "", true},
    };
    for (const Case& c : cases) {
        CurDoc = sampleDocument();
        CurDoc.Password = QString::fromLatin1(c.stored);
        SetModified(DocPart::All, 0, 0);
        services.forms->modalForms.clear();
        services.forms->modalScripts.clear();
        FrmPropForm& f = dialog();
        if (c.tick >= 0 && f.ChkSave(1).Value() != c.tick) f.ChkSave(1).userClicked();
        if (c.typed) { // typed over what the box held
            f.TxtSave.userEdited(QString());
            f.TxtSave.userEdited(QString::fromLatin1(c.typed));
        }
        if (c.confirm) answerPassword(services, QString::fromLatin1(c.confirm));

        f.CmdOk_Click();

        EXPECT_EQ(services.forms->modalForms.size(), c.confirm ? 1 : 0) << c.name;
        EXPECT_FALSE(f.Loaded()) << c.name;
        EXPECT_EQ(CurDoc.Password, QString::fromLatin1(c.after)) << c.name;
        EXPECT_EQ(CurDoc.HeaderModified != 0, c.marked) << c.name;
        EXPECT_TRUE(services.ui->msgBoxCalls.empty()) << c.name;
        FrmProp.release();
    }
}

TEST_F(PropTest, AFailedConfirmationKeepsTheDialogOpenAndTheDocumentUntouched) {
    for (std::optional<QString> answer :
         {std::optional<QString>(QStringLiteral("autre")), std::optional<QString>()}) {
        services.ui->msgBoxCalls.clear();
        Exchange.DialogResult = 0;
        FrmPropForm& f = dialog();
        f.ChkSave(1).userClicked();
        f.TxtSave.userEdited(QStringLiteral("neu"));
        f.TxtGen(0).userEdited(QStringLiteral("Bruno"));
        answerPassword(services, answer);

        f.CmdOk_Click();

        EXPECT_TRUE(f.Loaded());
        ASSERT_EQ(services.ui->msgBoxCalls.size(), 1u);
        EXPECT_EQ(services.ui->msgBoxCalls[0].prompt, LoadResString(1704));
        EXPECT_EQ(services.ui->msgBoxCalls[0].style, vbExclamation);
        EXPECT_EQ(services.ui->msgBoxCalls[0].title,
                  QStringLiteral("Mirovanta - ") + LoadResString(1701));
        EXPECT_EQ(CurDoc.Author, QStringLiteral("Anne"));
        EXPECT_TRUE(CurDoc.Password.isEmpty());
        // Mend: until the next OK the dialog is not accepted, so its close box is a Cancel.
        EXPECT_EQ(Exchange.DialogResult, 0);
        f.closeByUser();
        EXPECT_FALSE(f.Loaded());
        EXPECT_EQ(CurDoc.Author, QStringLiteral("Anne"));
        EXPECT_EQ(CurDoc.IsSaved, -1);
        FrmProp.release();
    }
}

TEST_F(PropTest, ASecondOkAsksAgainAndThenApplies) {
    FrmPropForm& f = dialog();
    f.ChkSave(1).userClicked();
    f.TxtSave.userEdited(QStringLiteral("neu"));
    answerPassword(services, QStringLiteral("faux"));
    f.CmdOk_Click();
    ASSERT_TRUE(f.Loaded());
    answerPassword(services, QStringLiteral("neu"));
    f.CmdOk_Click();
    EXPECT_FALSE(f.Loaded());
    EXPECT_EQ(Exchange.DialogResult, 1);
    EXPECT_EQ(CurDoc.Password, QStringLiteral("neu"));
    EXPECT_EQ(services.forms->modalForms.size(), 2);
}

TEST_F(PropTest, EmbeddedPicturesAloneMarkTheHeaderAndThePasswordBoxFollowsItsCheckBox) {
    FrmPropForm& f = dialog();
    EXPECT_EQ(f.ChkSave(0).Value(), vbUnchecked);
    EXPECT_FALSE(f.TxtSave.Enabled());
    EXPECT_EQ(f.TxtSave.BackColor(), vbButtonFace);
    f.ChkSave(1).userClicked();
    EXPECT_TRUE(f.TxtSave.Enabled());
    EXPECT_TRUE(f.LblSave.Enabled());
    EXPECT_EQ(f.TxtSave.BackColor(), vbWindowBackground);
    f.ChkSave(1).userClicked();
    f.ChkSave(0).userClicked();
    f.CmdOk_Click();
    EXPECT_EQ(CurDoc.EmbedPictures, -1);
    EXPECT_EQ(CurDoc.HeaderModified, -1);
    EXPECT_TRUE(CurDoc.Password.isEmpty());
}

// A password typed with characters that Windows-1252 lacks is refused at OK with a message of
// its own, before any confirmation: the dialog stays open and nothing is stored. A password the
// code page holds is confirmed and stored as before.
TEST_F(PropTest, APasswordTheFilesCodePageLacksIsRefusedAtOk) {
    const struct {
        QString typed;
        bool refused;
    } cases[] = {
        {QString::fromUtf8("пароль"), true},
        {QString::fromUtf8("Zoë d’été €"), false},
    };
    for (const auto& c : cases) {
        CurDoc = sampleDocument();
        services.ui->msgBoxCalls.clear();
        services.forms->modalForms.clear();
        services.forms->modalScripts.clear();
        if (!c.refused) answerPassword(services, c.typed);
        FrmPropForm& f = dialog();
        f.TbProp.userSelect(2);
        f.Show();
        testing_support::tabInto(f.ChkSave(1).widget());
        EXPECT_TRUE(
            testing_support::userTypes({Qt::Key_Space, Qt::Key_Tab, c.typed, Qt::Key_Return}));

        EXPECT_EQ(f.Loaded(), c.refused) << c.typed;
        EXPECT_EQ(services.forms->modalForms.size(), c.refused ? 0u : 1u) << c.typed;
        EXPECT_EQ(CurDoc.Password, c.refused ? QString() : c.typed) << c.typed;
        ASSERT_EQ(services.ui->msgBoxCalls.size(), c.refused ? 1u : 0u) << c.typed;
        if (c.refused) {
            EXPECT_EQ(services.ui->msgBoxCalls[0].prompt, LoadResString(1705));
            EXPECT_EQ(services.ui->msgBoxCalls[0].style, vbExclamation);
            EXPECT_EQ(services.ui->msgBoxCalls[0].title,
                      QStringLiteral("Mirovanta - ") + LoadResString(1701));
        }
        FrmProp.release();
    }
}
