#include "platform/help.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace rt;

namespace {

// A stand-in viewer that writes the arguments it was started with, one a line, beside itself.
void makeViewer(const QString& folder, const QString& name, bool executable = true) {
    const QString path = QDir(folder).filePath(name);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args.tmp\" && mv \"$0.args.tmp\" \"$0.args\"\n");
    f.close();
    f.setPermissions(executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                : QFile::ReadOwner | QFile::WriteOwner);
}

// The arguments a stand-in viewer was started with; empty when it did not run within 5 s.
QStringList argumentsOf(const QString& folder, const QString& name) {
    QFile f(QDir(folder).filePath(name + QStringLiteral(".args")));
    const QDeadlineTimer deadline(5000);
    while (!f.exists() && !deadline.hasExpired())
        QThread::msleep(20);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

class Help : public ::testing::Test {
protected:
    void SetUp() override {
        helpFile = program.filePath(QStringLiteral("mrv2help.chm"));
        QFile f(helpFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("ITSF");
    }
    QTemporaryDir program;
    QTemporaryDir viewers;
    QString helpFile;
};

} // namespace

TEST(HelpTopic, TopicsBecomePathsInsideTheHelpFile) {
    const std::vector<std::pair<QString, QString>> cases = {
        {QStringLiteral("Html\\d_about.htm"), QStringLiteral("/Html/d_about.htm")},
        {QStringLiteral("Html\\t_events_1.htm"), QStringLiteral("/Html/t_events_1.htm")},
        {QStringLiteral("\\Html\\index.htm"), QStringLiteral("/Html/index.htm")},
        {QStringLiteral("Html/d_month.htm"), QStringLiteral("/Html/d_month.htm")},
        {QStringLiteral(""), QStringLiteral("")},
    };
    for (const auto& [topic, path] : cases)
        EXPECT_EQ(helpTopicPath(topic), path) << topic.toStdString();
}

TEST_F(Help, NoViewerInstalledIsReportedAndNothingStarts) {
    ViewerHelpServices helpServices({viewers.path()});
    EXPECT_EQ(helpServices.showTopic(helpFile, QStringLiteral("Html\\d_about.htm")),
              HelpResult::NoViewer);
    // A file of that name that cannot be run is no viewer either.
    makeViewer(viewers.path(), QStringLiteral("kchmviewer"), false);
    EXPECT_EQ(helpServices.showTopic(helpFile, QStringLiteral("Html\\d_about.htm")),
              HelpResult::NoViewer);
}

TEST_F(Help, MissingHelpFileIsReportedWithoutStartingTheViewer) {
    makeViewer(viewers.path(), QStringLiteral("kchmviewer"));
    ViewerHelpServices helpServices({viewers.path()});
    EXPECT_EQ(helpServices.showTopic(program.filePath(QStringLiteral("absent.chm")),
                                     QStringLiteral("Html\\d_about.htm")),
              HelpResult::NoHelpFile);
    EXPECT_EQ(helpServices.showTopic(QString(), QStringLiteral("Html\\d_about.htm")),
              HelpResult::NoHelpFile);
    EXPECT_EQ(helpServices.showTopic(program.path(), QStringLiteral("Html\\d_about.htm")),
              HelpResult::NoHelpFile);
    QThread::msleep(200);
    EXPECT_FALSE(QFile::exists(viewers.filePath(QStringLiteral("kchmviewer.args"))));
}

TEST_F(Help, KchmviewerOpensTheTopicItself) {
    makeViewer(viewers.path(), QStringLiteral("kchmviewer"));
    makeViewer(viewers.path(), QStringLiteral("xchm"));
    ViewerHelpServices helpServices({viewers.path()});
    ASSERT_EQ(helpServices.showTopic(helpFile, QStringLiteral("Html\\d_about.htm")),
              HelpResult::Shown);
    EXPECT_EQ(
        argumentsOf(viewers.path(), QStringLiteral("kchmviewer")),
        QStringList({QStringLiteral("-showPage"), QStringLiteral("/Html/d_about.htm"), helpFile}));
    EXPECT_FALSE(QFile::exists(viewers.filePath(QStringLiteral("xchm.args"))));
}

TEST_F(Help, XchmOpensTheFile) {
    makeViewer(viewers.path(), QStringLiteral("xchm"));
    ViewerHelpServices helpServices({viewers.path()});
    // A relative name is passed as a full path: the viewer runs in another folder.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(program.path());
    const HelpResult result = helpServices.showTopic(QStringLiteral("mrv2help.chm"),
                                                     QStringLiteral("Html\\d_splash.htm"));
    QDir::setCurrent(cwd);
    ASSERT_EQ(result, HelpResult::Shown);
    EXPECT_EQ(argumentsOf(viewers.path(), QStringLiteral("xchm")), QStringList({helpFile}));
}
