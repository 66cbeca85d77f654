#include "help.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace rt {

namespace {
std::shared_ptr<HelpServices>& current() {
    static std::shared_ptr<HelpServices> instance = std::make_shared<ViewerHelpServices>();
    return instance;
}
} // namespace

HelpServices& help() {
    return *current();
}

std::shared_ptr<HelpServices> setHelpServices(std::shared_ptr<HelpServices> services) {
    auto previous = current();
    current() = services ? std::move(services) : std::make_shared<ViewerHelpServices>();
    return previous;
}

QString helpTopicPath(const QString& topic) {
    QString path = topic;
    path.replace(u'\\', u'/');
    while (path.startsWith(u'/'))
        path.remove(0, 1);
    return path.isEmpty() ? QString() : QStringLiteral("/") + path;
}

ViewerHelpServices::ViewerHelpServices(QStringList searchFolders)
    : searchFolders_(std::move(searchFolders)) {}

ViewerHelpServices::Command ViewerHelpServices::commandFor(const QString& helpFile,
                                                           const QString& topic) const {
    const QString file = QFileInfo(helpFile).absoluteFilePath();
    const QString kchm =
        QStandardPaths::findExecutable(QStringLiteral("kchmviewer"), searchFolders_);
    if (!kchm.isEmpty()) {
        const QString page = helpTopicPath(topic);
        if (page.isEmpty()) return {kchm, {file}};
        return {kchm, {QStringLiteral("-showPage"), page, file}};
    }
    const QString xchm = QStandardPaths::findExecutable(QStringLiteral("xchm"), searchFolders_);
    if (!xchm.isEmpty()) return {xchm, {file}};
    return {};
}

HelpResult ViewerHelpServices::showTopic(const QString& helpFile, const QString& topic) {
    if (helpFile.isEmpty() || !QFileInfo(helpFile).isFile()) return HelpResult::NoHelpFile;
    const Command command = commandFor(helpFile, topic);
    if (command.program.isEmpty()) return HelpResult::NoViewer;
    // The viewer lives on its own: closing the program leaves the help open.
    return QProcess::startDetached(command.program, command.arguments) ? HelpResult::Shown
                                                                       : HelpResult::ViewerFailed;
}

} // namespace rt
