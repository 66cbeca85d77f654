#include "test_support.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace testing_support {

QDateTime fixedNow() { return QDateTime(QDate(2004, 3, 15), QTime(10, 0, 0)); }

rt::FixedSystemInfo& fixedSystem() {
    static auto system = std::make_shared<rt::FixedSystemInfo>();
    static bool installed = false;
    if (!installed) {
        rt::setSystem(system);
        installed = true;
    }
    return *system;
}

QString scratchFolder() {
    static QTemporaryDir dir;
    return dir.path();
}

std::optional<QString> desktopEntryProblems(const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (tool.isEmpty()) return std::nullopt;
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(tool, {path});
    if (!p.waitForFinished(30000)) return QStringLiteral("desktop-file-validate did not end");
    const QString output = QString::fromUtf8(p.readAll());
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return output.isEmpty() ? QStringLiteral("failed") : output;
    return output; // warnings and hints count as problems too
}

void resetFixedSystem() {
    auto& s = fixedSystem();
    s.Now = fixedNow();
    s.Screen = QSize(1024, 768);
    s.Available = QRect();
    s.Scale = 1.0;
    s.Depth = 32;
    s.ProgramFolder = scratchFolder() + QStringLiteral("/program/bin");
    s.ExecutableName = QStringLiteral("mirovanta");
    s.CommandLine.clear();
}

} // namespace testing_support
