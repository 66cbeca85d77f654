#include "doc_fixture.h"

using Views = DocTest;

TEST_F(Views, RecordingViewsKeepStateAndAnswerAsScripted) {
    views().SetMainMode(2);
    EXPECT_EQ(views().AppState(), QStringLiteral("Load"));
    views().SetLoadingCaption(1, QStringLiteral("étape"));
    EXPECT_EQ(views().Loading[1], QStringLiteral("étape"));
    views().SetMainMode(2); // switching to "Load" empties the loading captions
    EXPECT_TRUE(views().Loading[1].isEmpty());
    views().ShowMonthWindows();
    EXPECT_EQ(views().AppState(), QStringLiteral("Edit"));

    views().PropertiesAnswers = {true};
    EXPECT_TRUE(views().ShowPropertiesDialog(true));
    EXPECT_FALSE(views().ShowPropertiesDialog(true)); // no answer left: cancelled
    EXPECT_EQ(views().CallsOf(QStringLiteral("ShowPropertiesDialog")).size(), 2);
}

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

TEST(SilentViews, AnswerWhenNoWindowExists) {
    auto previous = setDocViews(nullptr);
    EXPECT_FALSE(views().ShowPropertiesDialog(true));
    EXPECT_FALSE(views().ShowAlarm(1, 7, 0));
    views().SetMainMode(1);
    EXPECT_EQ(views().AppState(), QStringLiteral("Edit"));
    setDocViews(previous);
}
