#include "system.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QScreen>
#include <QStandardPaths>
#include <cmath>

namespace rt {

namespace {
std::shared_ptr<SystemInfo>& current() {
    static std::shared_ptr<SystemInfo> instance = std::make_shared<SystemInfo>();
    return instance;
}
} // namespace

QDateTime SystemInfo::now() const {
    return QDateTime::currentDateTime();
}

QSize SystemInfo::screenSize() const {
    if (auto* screen = QGuiApplication::primaryScreen()) return screen->size();
    return {};
}

QRect SystemInfo::availableArea() const {
    if (auto* screen = QGuiApplication::primaryScreen()) return screen->availableGeometry();
    return {};
}

QRect FixedSystemInfo::availableArea() const {
    const QRect device = Available.isValid() ? Available
                         : Screen.isValid()  ? QRect(QPoint(0, 0), Screen)
                                             : QRect();
    if (!device.isValid()) return SystemInfo::availableArea();
    if (Scale <= 0) return device;
    const auto dip = [this](int v) { return int(std::lround(v / Scale)); };
    return QRect(dip(device.x()), dip(device.y()), dip(device.width()), dip(device.height()));
}

int SystemInfo::colorDepth() const {
    if (auto* screen = QGuiApplication::primaryScreen()) return screen->depth();
    return 32;
}

QString SystemInfo::programFolder() const {
    return QCoreApplication::applicationDirPath();
}

QString SystemInfo::executableName() const {
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

namespace {
QString userFolder(QStandardPaths::StandardLocation kind) {
    const QString folder = QStandardPaths::writableLocation(kind);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}
} // namespace

QString SystemInfo::documentsFolder() const {
    return userFolder(QStandardPaths::DocumentsLocation);
}

QString SystemInfo::picturesFolder() const {
    return userFolder(QStandardPaths::PicturesLocation);
}

namespace {
QList<QByteArray>& programArguments() {
    static QList<QByteArray> arguments;
    return arguments;
}

QHash<QString, QByteArray>& fileNameBytes() {
    static QHash<QString, QByteArray> names;
    return names;
}
} // namespace

void SetProgramArguments(int argc, const char* const* argv) {
    programArguments().clear();
    for (int i = 1; i < argc; ++i)
        programArguments().append(QByteArray(argv[i]));
}

QString SystemInfo::commandLine() const {
    QStringList args;
    if (programArguments().isEmpty()) {
        args = QCoreApplication::arguments();
        if (!args.isEmpty()) args.removeFirst();
    } else {
        // Decoded as the file system's names are.
        for (const QByteArray& argument : programArguments())
            args.append(QFile::decodeName(argument));
    }
    return args.join(u' ');
}

QByteArray SystemInfo::commandLineBytes() const {
    if (programArguments().isEmpty()) return QFile::encodeName(commandLine());
    return programArguments().join(' ');
}

void RememberFileNameBytes(const QString& name, const QByteArray& bytes) {
    fileNameBytes().insert(name, bytes);
}

QByteArray FileNameBytes(const QString& name) {
    const auto it = fileNameBytes().constFind(name);
    return it != fileNameBytes().cend() ? *it : QFile::encodeName(name);
}

SystemInfo& sys() {
    return *current();
}

std::shared_ptr<SystemInfo> setSystem(std::shared_ptr<SystemInfo> system) {
    auto previous = current();
    current() = system ? std::move(system) : std::make_shared<SystemInfo>();
    return previous;
}

} // namespace rt
