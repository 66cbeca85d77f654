#include "test_support.h"

#include "platform/module_loader.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QtEndian>
#include <zlib.h>

namespace testing_support {

namespace {
WarningLog* currentLog = nullptr;
QtMessageHandler logPassedOn = nullptr;

void logWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && currentLog) currentLog->messages << message;
    if (logPassedOn) logPassedOn(type, context, message);
}
} // namespace

WarningLog::WarningLog() : previous_(qInstallMessageHandler(logWarning)) {
    logPassedOn = previous_;
    currentLog = this;
}

WarningLog::~WarningLog() {
    currentLog = nullptr;
    qInstallMessageHandler(previous_);
}

QByteArray pngChunk(const char* type, const QByteArray& data) {
    QByteArray chunk(4, '\0');
    qToBigEndian(quint32(data.size()), chunk.data());
    const QByteArray body = QByteArray(type, 4) + data;
    chunk += body + QByteArray(4, '\0');
    qToBigEndian(
        quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))),
        chunk.data() + chunk.size() - 4);
    return chunk;
}

QByteArray pngWith(const QImage& image, const char* before, const QByteArray& inserted) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    png.insert(png.indexOf(before) - 4, inserted);
    return png;
}

ModulesSearchedIn::ModulesSearchedIn(const QStringList& folders) {
    rt::setModuleFolders(folders);
}

ModulesSearchedIn::~ModulesSearchedIn() {
    rt::setModuleFolders({});
}

QDateTime fixedNow() {
    return QDateTime(QDate(2004, 3, 15), QTime(10, 0, 0));
}

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

bool makeOrdinaryUsers() {
    // Test programs run side by side: the user database takes one change at a time.
    QProcess p;
    p.start(QStringLiteral("flock"),
            {QStringLiteral("/tmp/mirovanta-test-users.lock"), QStringLiteral("/bin/sh"),
             QStringLiteral("-c"),
             QStringLiteral("getent group mrvfamily >/dev/null || groupadd mrvfamily || exit 1\n"
                            "for u in mrvalice mrvbob; do id $u >/dev/null 2>&1 || useradd -M -U "
                            "-G mrvfamily -s /usr/sbin/nologin $u || exit 1; done")});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
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
    s.DocumentsFolder = scratchFolder() + QStringLiteral("/home/Documents");
    s.PicturesFolder = scratchFolder() + QStringLiteral("/home/Images");
    s.CommandLine.clear();
}

bool userTypes(const std::vector<KeyStep>& steps) {
    for (const KeyStep& step : steps) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus) return false;
        if (const auto* text = std::get_if<QString>(&step)) {
            for (qsizetype i = 0; i < text->size();) {
                // A character beyond ASCII comes as its text alone, as from a keyboard layout.
                const qsizetype n = text->at(i).isHighSurrogate() ? 2 : 1;
                const QString ch = text->mid(i, n);
                if (ch[0].unicode() < 0x80)
                    QTest::keyClick(QApplication::focusWidget(), char(ch[0].unicode()));
                else
                    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                                        ch, Qt::NoModifier);
                i += n;
            }
        } else {
            const QKeyCombination key = std::get<QKeyCombination>(step);
            QTest::keyClick(focus, key.key(), key.keyboardModifiers());
        }
    }
    return true;
}

void tabInto(QWidget* widget) {
    widget->window()->activateWindow();
    // The window system reports the activation as an event.
    QCoreApplication::processEvents();
    widget->setFocus(Qt::TabFocusReason);
}

} // namespace testing_support
