// Loading the program's modules: the folders searched in order, from the program's own place,
// and what a missing or broken module gives.

#include "common/test_support.h"
#include "platform/line_chart.h"
#include "platform/module_loader.h"
#include "platform/print_module.h"
#include "platform/sound_output.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rt;

namespace {

// Puts a file named as the sound module into folder: the real module ("sound"), the chart
// module under that name ("chart"), or a text ("broken").
void placeSoundModule(const QString& folder, const QString& kind) {
    QDir().mkpath(folder);
    const QString target = QDir(folder).filePath(moduleFileName(kSoundModule));
    if (kind == QLatin1String("sound")) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(SOUND_MODULE), target));
    } else if (kind == QLatin1String("chart")) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(CHART_MODULE), target));
    } else {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Ceci n'est pas une bibliothèque.\n");
    }
}

struct LayoutCase {
    const char* name;
    const char* inProgramFolder;   // what lies beside the program: "", "sound", "chart", "broken"
    const char* inInstalledFolder; // and in ../lib/mirovanta
    const char* loadedFrom;        // "program", "installed", or "" when none loads
    const char* reported;          // a text of the warnings, "" for none
};

} // namespace

// A copy of a program that loads modules as the program does, in a folder laid out as an
// installed program's (bin/ and lib/mirovanta/), outside the build tree: it searches the
// folders of its own file, as the kernel runs it, and no other.
TEST(ModuleLoader, FoldersAreSearchedFromTheProgramsPlaceOnly) {
    const std::vector<LayoutCase> cases = {
        {"nothing beside the program: none, though the build tree holds one", "", "", "",
         "libmirovanta_sound.so not found in "},
        {"installed layout", "", "sound", "installed", ""},
        {"the program's folder first", "sound", "sound", "program", ""},
        {"a copy that does not load is reported and passed over", "broken", "sound", "installed",
         "/bin/libmirovanta_sound.so"},
        {"another module under the name is reported", "chart", "sound", "",
         "has no entry mirovanta_sound_create"},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir scratch;
        const QString root = QDir(scratch.path()).canonicalPath();
        const QString bin = root + QStringLiteral("/bin");
        const QString installed = root + QStringLiteral("/lib/mirovanta");
        QDir().mkpath(bin);
        const QString helper = bin + QStringLiteral("/module_helper");
        ASSERT_TRUE(QFile::copy(QStringLiteral(MODULE_HELPER), helper));
        if (*c.inProgramFolder) placeSoundModule(bin, QLatin1String(c.inProgramFolder));
        if (*c.inInstalledFolder) placeSoundModule(installed, QLatin1String(c.inInstalledFolder));

        QProcess p;
        p.start(helper, {QString::fromLatin1(kSoundModule), QString::fromLatin1(kSoundEntry)});
        ASSERT_TRUE(p.waitForFinished(20000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        const QString log = QString::fromUtf8(p.readAllStandardError());
        const QString file = moduleFileName(kSoundModule);
        const QString expected = QLatin1String(c.loadedFrom) == QLatin1String("program")
                                     ? QStringLiteral("loaded ") + bin + u'/' + file
                                 : QLatin1String(c.loadedFrom) == QLatin1String("installed")
                                     ? QStringLiteral("loaded ") + installed + u'/' + file
                                     : QString();
        if (expected.isEmpty())
            EXPECT_TRUE(out.startsWith(QLatin1String("missing "))) << out.toStdString();
        else
            EXPECT_EQ(out.toStdString(), expected.toStdString());
        if (*c.reported)
            EXPECT_TRUE(log.contains(QLatin1String(c.reported))) << log.toStdString();
        else
            EXPECT_FALSE(log.contains(QLatin1String("mirovanta.modules"))) << log.toStdString();
        // Its own two folders and nothing else, asked before its application object exists.
        p.start(helper, {QStringLiteral("--folders")});
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
                  QStringList({bin, installed}));
    }
}

// A missing module is no failure of the program: the caller gets no entry and a reason naming
// the file and the folders, logged once however often it asks.
TEST(ModuleLoader, AMissingModuleIsReportedOnceAndLoadsAgainWhenFound) {
    QTemporaryDir empty;
    {
        testing_support::WarningLog log;
        testing_support::ModulesSearchedIn searched({empty.path()});
        const std::pair<const char*, const char*> modules[] = {
            {kSoundModule, kSoundEntry}, {kChartModule, kChartEntry}, {kPrintModule, kPrintEntry}};
        for (const auto& [name, entry] : modules) {
            for (int attempt = 0; attempt < 2; ++attempt) {
                const ModuleEntry missing = loadModule(QLatin1String(name), entry);
                EXPECT_EQ(missing.function, nullptr);
                EXPECT_TRUE(missing.file.isEmpty());
                EXPECT_TRUE(missing.error.contains(moduleFileName(QLatin1String(name))));
                EXPECT_TRUE(missing.error.contains(empty.path())) << missing.error.toStdString();
            }
            EXPECT_EQ(log.containing(moduleFileName(QLatin1String(name))).size(), 1)
                << log.messages.join(u'\n').toStdString();
        }
    }
    // The test program's folder holds no module: it loads the build tree's, by its own means.
    const ModuleEntry chart = loadModule(QLatin1String(kChartModule), kChartEntry);
    EXPECT_NE(chart.function, nullptr) << chart.error.toStdString();
    EXPECT_EQ(chart.file.toStdString(), CHART_MODULE);
    EXPECT_TRUE(chart.error.isEmpty());
}
