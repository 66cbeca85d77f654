#include "doc_fixture.h"

using Views = DocTest;

TEST_F(Views, PasswordPromptInReadAndConfirmModes) {
    views().PasswordAnswers = {{true, QStringLiteral(" secret ")},
                               {true, QStringLiteral("Secret")},
                               {true, QStringLiteral("secret")},
                               {false, QStringLiteral("secret")}};
    // Read mode: OK hands the trimmed password over.
    EXPECT_TRUE(views().AskPassword(QString()));
    EXPECT_EQ(PasswordHandOver, QStringLiteral("secret"));
    // Confirm mode: letter case counts; the hand-over is emptied.
    EXPECT_FALSE(views().AskPassword(QStringLiteral("secret")));
    EXPECT_TRUE(PasswordHandOver.isEmpty());
    EXPECT_TRUE(views().AskPassword(QStringLiteral("secret")));
    // Cancel.
    EXPECT_FALSE(views().AskPassword(QString()));
    EXPECT_EQ(Exchange.DialogResult, 0);
    EXPECT_TRUE(Exchange.DialogText.isEmpty());
}
