#include "common/test_support.h"
#include "core/settings_store.h"
#include "core/system.h"
#include "services/settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString programFolder() {
    return testing_support::fixedSystem().ProgramFolder;
}
// The default sounds lie in "Wav" beside the program folder.
QString wavFolder() {
    return QDir::cleanPath(programFolder() + QStringLiteral("/../Wav"));
}

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("RIFF");
}

void store(const char* section, const QString& key, const QString& value) {
    ASSERT_TRUE(rt::SaveSetting(kSettingsApp, QString::fromLatin1(section), key, value));
}
QString stored(const char* section, const char* key) {
    return rt::GetSetting(kSettingsApp, QString::fromLatin1(section), QString::fromLatin1(key),
                          QStringLiteral("<missing>"));
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::remove(rt::settingsFilePath(kSettingsApp));
        QDir(wavFolder()).removeRecursively();
        Settings = AppSettings{};
    }
    void TearDown() override {
        QFile::remove(rt::settingsFilePath(kSettingsApp));
        QDir(wavFolder()).removeRecursively();
        Settings = AppSettings{};
    }
    static QString defaultSound(int n) {
        return wavFolder() + QStringLiteral("/alarm%1.wav").arg(n, 2, 10, QLatin1Char('0'));
    }
};

} // namespace

TEST_F(SettingsTest, AnEmptyStoreGivesEveryDefault) {
    for (int n : {1, 2, 10})
        touch(defaultSound(n));
    LoadSettings();
    // The user's own folders, not the program's.
    const QString documents = testing_support::fixedSystem().DocumentsFolder + u'/';
    const QString pictures = testing_support::fixedSystem().PicturesFolder + u'/';
    EXPECT_EQ(Settings.CalOpenPath, documents);
    EXPECT_EQ(Settings.CalSavePath, documents);
    EXPECT_EQ(Settings.ImgOpenPath, pictures);
    EXPECT_EQ(Settings.ImgSavePath, pictures);
    EXPECT_EQ(Settings.PrintBackground, 1);
    EXPECT_EQ(Settings.PrintCopies, 1);
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(Settings.PrintMonths(m), 1) << m;
    for (int n = 1; n <= 10; ++n) {
        const bool exists = n == 1 || n == 2 || n == 10;
        EXPECT_EQ(Settings.SoundFiles(n), exists ? defaultSound(n) : QString()) << n;
    }
    EXPECT_EQ(Settings.PrinterValue, 0);
}

TEST_F(SettingsTest, TheUsersFoldersAreTheDesktopsOrTheHomeFolder) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray savedHome = qgetenv("HOME"), savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
    const rt::SystemInfo real;
    // No folder for documents or pictures yet: both are the home folder.
    EXPECT_EQ(real.documentsFolder(), home.path());
    EXPECT_EQ(real.picturesFolder(), home.path());
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Documents")));
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Pictures")));
    EXPECT_EQ(real.documentsFolder(), home.filePath(QStringLiteral("Documents")));
    EXPECT_EQ(real.picturesFolder(), home.filePath(QStringLiteral("Pictures")));
    qputenv("HOME", savedHome);
    if (savedConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}

TEST_F(SettingsTest, FoldersGetTheirSeparatorAndAreWrittenTrimmed) {
    struct Case {
        QString stored, read, written;
    } cases[] = {
        {QStringLiteral("/home/u/Cal"), QStringLiteral("/home/u/Cal/"),
         QStringLiteral("/home/u/Cal/")},
        {QStringLiteral("/home/u/Cal/"), QStringLiteral("/home/u/Cal/"),
         QStringLiteral("/home/u/Cal/")},
        {QString(), QStringLiteral("/"), QStringLiteral("/")},
        {QStringLiteral("*/data/Cal"), QStringLiteral("*/data/Cal/"),
         QStringLiteral("*/data/Cal/")},
        // Blanks stay when read; only those at both ends of the whole text go when written.
        {QStringLiteral(" /home/Cal "), QStringLiteral(" /home/Cal /"),
         QStringLiteral("/home/Cal /")},
        {QStringLiteral("/home/été, 2004\\x"), QStringLiteral("/home/été, 2004\\x/"),
         QStringLiteral("/home/été, 2004\\x/")},
    };
    for (const Case& c : cases) {
        store("Paths", QStringLiteral("CalOpen"), c.stored);
        store("Paths", QStringLiteral("ImgSave"), c.stored);
        LoadSettings();
        EXPECT_EQ(Settings.CalOpenPath, c.read) << c.stored.toStdString();
        EXPECT_EQ(Settings.ImgSavePath, c.read) << c.stored.toStdString();
        EXPECT_EQ(Settings.CalSavePath, testing_support::fixedSystem().DocumentsFolder + u'/');
        SaveSettings();
        EXPECT_EQ(stored("Paths", "CalOpen"), c.written) << c.stored.toStdString();
        EXPECT_EQ(stored("Paths", "ImgSave"), c.written) << c.stored.toStdString();
    }
}

TEST_F(SettingsTest, NumbersAreRoundedHalvesToEvenAndOutOfRangeTakesTheDefault) {
    struct Case {
        const char* text;
        int copies;   // 16 bits, default 1
        int64_t wide; // 32 bits, default 1
    } cases[] = {
        {"2.5", 2, 2},
        {"3.5", 4, 4},
        {"abc", 0, 0},
        {" 7 ", 7, 7},
        {"&H10", 16, 16},
        {"-1", -1, -1},
        {"32767", 32767, 32767},
        {"-32768", -32768, -32768},
        {"32768", 1, 32768},
        {"40000", 1, 40000},
        {"2147483647", 1, 2147483647},
        {"2147483648", 1, 1},
        {"-2147483649", 1, 1},
        {"1e400", 1, 1},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        store("Printer", QStringLiteral("Copies"), text);
        store("Printer", QStringLiteral("BckImg"), text);
        store("Printer", QStringLiteral("Month12"), text);
        LoadSettings();
        EXPECT_EQ(Settings.PrintCopies, c.copies) << c.text;
        EXPECT_EQ(Settings.PrintBackground, c.wide) << c.text;
        EXPECT_EQ(Settings.PrintMonths(12), c.wide) << c.text;
        EXPECT_EQ(Settings.PrintMonths(11), 1) << c.text;
    }
}

TEST_F(SettingsTest, SoundsFallBackToTheDefaultFileThenToNone) {
    const QString mine = testing_support::scratchFolder() + QStringLiteral("/sounds/bell.wav");
    touch(mine);
    touch(testing_support::scratchFolder() + QStringLiteral("/sounds/.hidden.wav"));
    QDir().mkpath(testing_support::scratchFolder() + QStringLiteral("/sounds/folder.wav"));
    touch(defaultSound(2));
    touch(defaultSound(3));
    touch(defaultSound(4));
    touch(defaultSound(5));
    touch(defaultSound(6));

    store("Alarm", QStringLiteral("Sound1"), mine);                       // exists: kept
    store("Alarm", QStringLiteral("Sound2"), mine + QStringLiteral("x")); // gone: default
    store("Alarm", QStringLiteral("Sound3"), QString());                  // empty: default
    // Names are literal: a wildcard, a folder or a hidden file is no sound file.
    store("Alarm", QStringLiteral("Sound4"),
          testing_support::scratchFolder() + QStringLiteral("/sounds/*.wav"));
    store("Alarm", QStringLiteral("Sound5"),
          testing_support::scratchFolder() + QStringLiteral("/sounds/folder.wav"));
    store("Alarm", QStringLiteral("Sound6"),
          testing_support::scratchFolder() + QStringLiteral("/sounds/.hidden.wav"));
    store("Alarm", QStringLiteral("Sound7"), mine + QStringLiteral("x")); // no default: none
    LoadSettings();
    EXPECT_EQ(Settings.SoundFiles(1), mine);
    for (int n = 2; n <= 6; ++n)
        EXPECT_EQ(Settings.SoundFiles(n), defaultSound(n)) << n;
    EXPECT_EQ(Settings.SoundFiles(7), QString());
    EXPECT_EQ(Settings.SoundFiles(8), QString());

    // The empty sound is what is written back.
    SaveSettings();
    EXPECT_EQ(stored("Alarm", "Sound7"), QString());
    EXPECT_EQ(stored("Alarm", "Sound10"), QString());
    EXPECT_EQ(stored("Alarm", "Sound1"), mine);
}

TEST_F(SettingsTest, SaveWritesEveryKeyAndLoadReadsTheSameRecordBack) {
    touch(defaultSound(1));
    AppSettings s;
    s.CalOpenPath = QStringLiteral("*/srv/cal, 2004/");
    s.CalSavePath = QStringLiteral("/home/éa/Calendriers/");
    s.ImgOpenPath = QStringLiteral("/img/in/");
    s.ImgSavePath = QStringLiteral("/img/out/");
    s.SoundFiles(1) = defaultSound(1);
    s.PrintBackground = 0;
    s.PrintCopies = 3;
    for (int m = 1; m <= 12; ++m)
        s.PrintMonths(m) = m % 3 == 0 ? -1 : m % 2;
    s.PrinterValue = 77;
    Settings = s;
    SaveSettings();

    EXPECT_EQ(stored("Printer", "Copies"), QStringLiteral("3"));
    EXPECT_EQ(stored("Printer", "BckImg"), QStringLiteral("0"));
    EXPECT_EQ(stored("Printer", "Month3"), QStringLiteral("-1"));
    EXPECT_EQ(stored("Printer", "Month12"), QStringLiteral("-1"));
    EXPECT_EQ(stored("Printer", "Month1"), QStringLiteral("1"));
    EXPECT_EQ(stored("Printer", "Month2"), QStringLiteral("0"));
    EXPECT_EQ(stored("Alarm", "Sound10"), QString());
    // The printer chosen for a run is never stored, nor are keys other windows own.
    EXPECT_EQ(stored("Printer", "PrinterValue"), QStringLiteral("<missing>"));
    EXPECT_EQ(stored("General", "ShowSplash"), QStringLiteral("<missing>"));
    EXPECT_EQ(stored("Alarm", "IntervalChk"), QStringLiteral("<missing>"));

    Settings = AppSettings{};
    LoadSettings();
    s.PrinterValue = 0;
    EXPECT_EQ(Settings, s);
}

TEST(DefaultWavFolder, IsWavInTheParentOfTheProgramFolder) {
    struct Case {
        const char* folder;
        QChar sep;
        const char* expected;
    } cases[] = {
        {"C:\\", u'\\', "C:\\Wav\\"},
        {"C:\\Prog", u'\\', "C:\\Wav\\"},
        {"C:\\Prog\\Bin", u'\\', "C:\\Prog\\Wav\\"},
        {"D:\\Apps\\Tool", u'\\', "D:\\Apps\\Wav\\"},
        {"D:\\Apps\\Tool\\", u'\\', "D:\\Apps\\Wav\\"},
        {"\\\\server\\share\\tool", u'\\', "\\\\server\\share\\Wav\\"},
        {"/", u'/', "/Wav/"},
        {"/opt", u'/', "/Wav/"},
        {"/opt/m/bin", u'/', "/opt/m/Wav/"},
        {"/opt/m/bin/", u'/', "/opt/m/Wav/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DefaultWavFolderFor(QString::fromLatin1(c.folder), c.sep),
                  QString::fromLatin1(c.expected))
            << c.folder;
    EXPECT_EQ(DefaultWavFolder(), wavFolder() + u'/');
}

TEST_F(SettingsTest, SplashAndAlarmIntervalKeys) {
    EXPECT_EQ(ShowSplashSetting(), 1);
    EXPECT_EQ(AlarmIntervalSetting(), 15);
    struct Case {
        const char* text;
        int splash;
        int interval;
    } cases[] = {
        {"0", 0, 0},           {"2", 2, 2},          {"abc", 0, 0},
        {"0.5", 0, 0},         {"1.4", 1, 1},        {"1.5", 2, 2},
        {"-1", -1, -1},        {"40000", 40000, 15}, {"-32769", -32769, 15},
        {"9999999999", 1, 15},
    };
    for (const Case& c : cases) {
        store("General", QStringLiteral("ShowSplash"), QString::fromLatin1(c.text));
        store("Alarm", QStringLiteral("IntervalChk"), QString::fromLatin1(c.text));
        EXPECT_EQ(ShowSplashSetting(), c.splash) << c.text;
        EXPECT_EQ(AlarmIntervalSetting(), c.interval) << c.text;
    }
}

TEST(BoundedArray, IndexesOutsideItsBoundsRaiseError9) {
    AppSettings s;
    s.SoundFiles(10) = QStringLiteral("x");
    EXPECT_EQ(s.SoundFiles.Store[9], QStringLiteral("x"));
    for (int bad : {0, 11, -1}) {
        try {
            s.SoundFiles(bad);
            ADD_FAILURE() << bad;
        } catch (const rt::RtError& e) {
            EXPECT_EQ(e.Number, rt::ErrSubscript);
        }
    }
    EXPECT_THROW(s.PrintMonths(13), rt::RtError);
    EXPECT_NO_THROW(s.PrintMonths(1));
}
