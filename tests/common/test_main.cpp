// Shared main of every test program.

#include "core/settings_store.h"
#include "platform/application.h"
#include "platform/module_loader.h"
#include "test_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <clocale>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

QtMessageHandler previousHandler = nullptr;

// The offscreen platform warns about window operations it cannot do; those say nothing about
// the program.
void messageFilter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support")) ||
        message.contains(QLatin1String("propagateSizeHints")))
        return;
    if (previousHandler) previousHandler(type, context, message);
}

class ResetEnvironment : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { testing_support::resetFixedSystem(); }
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The process locale is left as the run sets it (CTest runs every program under a neutral
    // and under a French locale); Qt reads it through QApplication below.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = testing_support::scratchFolder() + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    // The modules and the printer list program of the build, which the program itself finds
    // beside its own folder only.
    rt::addModuleFolder(QStringLiteral(MIROVANTA_TEST_MODULE_DIR));
    previousHandler = qInstallMessageHandler(messageFilter);
    // Loads Qt's French translation as the program does.
    rt::Application app(argc, argv);
    // Dates spelled in the system locale read French in every run, as on the users' desktops.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    // A run under a locale the machine lacks would silently test the "C" locale instead.
    const QByteArray asked = qgetenv("LC_ALL");
    if (!asked.isEmpty() && !std::setlocale(LC_ALL, asked.constData())) {
        std::fprintf(stderr, "The locale %s is not installed (scripts/setup installs it).\n",
                     asked.constData());
        return 1;
    }

    const QString settings = testing_support::scratchFolder() + QStringLiteral("/config");
    QDir().mkpath(settings);
    rt::setSettingsFolder(settings);
    QDir().mkpath(testing_support::scratchFolder() + QStringLiteral("/program/bin"));
    testing_support::resetFixedSystem();

    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetEnvironment);
    return RUN_ALL_TESTS();
}
