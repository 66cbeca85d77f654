#include "core/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace rt;

namespace {
const QString kApp = QStringLiteral("StoreTest");

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { QFile::remove(settingsFilePath(kApp)); }
};
} // namespace

TEST_F(SettingsStore, MissingKeyGivesTheDefault) {
    EXPECT_EQ(GetSetting(kApp, QStringLiteral("General"), QStringLiteral("ShowSplash"),
                         QStringLiteral("1")),
              QStringLiteral("1"));
    EXPECT_TRUE(GetSetting(kApp, QStringLiteral("General"), QStringLiteral("X")).isNull());
}

TEST_F(SettingsStore, ValuesReadBackWholeInTheirSections) {
    ASSERT_TRUE(SaveSetting(kApp, QStringLiteral("General"), QStringLiteral("ShowSplash"),
                            QStringLiteral("0")));
    SaveSetting(kApp, QStringLiteral("Paths"), QStringLiteral("CalOpen"),
                QStringLiteral("*/home/a, b/c=d;e\\"));
    SaveSetting(kApp, QStringLiteral("Paths"), QStringLiteral("Multi"), QStringLiteral("x\ny\rz"));
    SaveSetting(kApp, QStringLiteral("Alarm"), QStringLiteral("ShowSplash"), QStringLiteral("7"));
    EXPECT_EQ(GetSetting(kApp, QStringLiteral("General"), QStringLiteral("ShowSplash")),
              QStringLiteral("0"));
    EXPECT_EQ(GetSetting(kApp, QStringLiteral("Paths"), QStringLiteral("CalOpen")),
              QStringLiteral("*/home/a, b/c=d;e\\"));
    EXPECT_EQ(GetSetting(kApp, QStringLiteral("Paths"), QStringLiteral("Multi")),
              QStringLiteral("x\ny\rz"));
    EXPECT_EQ(GetSetting(kApp, QStringLiteral("Alarm"), QStringLiteral("ShowSplash")),
              QStringLiteral("7"));
    // Letter case of sections and keys does not matter; an overwrite keeps one entry.
    SaveSetting(kApp, QStringLiteral("general"), QStringLiteral("SHOWSPLASH"), QStringLiteral("1"));
    EXPECT_EQ(GetSetting(kApp, QStringLiteral("General"), QStringLiteral("ShowSplash")),
              QStringLiteral("1"));
    // The section is written as [General] for people who read the file.
    QFile f(settingsFilePath(kApp));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("[General]\nShowSplash=1\n"));
    EXPECT_EQ(text.count("ShowSplash="), 2);
}

TEST_F(SettingsStore, AHandWrittenGeneralSectionIsRead) {
    QDir().mkpath(QFileInfo(settingsFilePath(kApp)).absolutePath());
    QFile f(settingsFilePath(kApp));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[General]\r\nShowSplash=0\r\n[Alarm]\r\nIntervalChk=-1\r\n");
    f.close();
    EXPECT_EQ(GetSetting(kApp, QStringLiteral("General"), QStringLiteral("ShowSplash")),
              QStringLiteral("0"));
    EXPECT_EQ(GetSetting(kApp, QStringLiteral("Alarm"), QStringLiteral("IntervalChk")),
              QStringLiteral("-1"));
}
