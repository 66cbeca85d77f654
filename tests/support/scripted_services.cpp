#include "scripted_services.h"

#include <QPageSize>

namespace rt {

namespace {
template <typename T> T takeFirst(std::deque<T>& queue) {
    if (queue.empty()) return T{};
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}
} // namespace

std::optional<FileDialogAnswer>
ScriptedCommonDialogs::getFileName(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    FileDialogAnswer answer = takeFirst(fileAnswers);
    if (answer.fileName.isEmpty()) return std::nullopt;
    return answer;
}

std::optional<int32_t> ScriptedCommonDialogs::chooseColor(int32_t initial, int flags) {
    colorRequests.push_back({initial, flags});
    return takeFirst(colorAnswers);
}

std::shared_ptr<PrintDevice> ScriptedCommonDialogs::choosePrinter(int orientation, int flags) {
    printerRequests.push_back({orientation, flags});
    auto device = takeFirst(printerAnswers);
    if (device) device->setOrientation(orientation);
    return device;
}

QStringList ScriptedPrinters::printerNames() const {
    QStringList names;
    for (const auto& p : Printers)
        names << p->name();
    return names;
}

QString ScriptedPrinters::defaultPrinterName() const {
    if (DefaultIndex < 0 || DefaultIndex >= int(Printers.size())) return {};
    return Printers[DefaultIndex]->name();
}

std::shared_ptr<PrintDevice> ScriptedPrinters::openPrinter(const QString& name) {
    opened << name;
    for (const auto& p : Printers)
        if (p->name() == name) return p;
    return nullptr;
}

std::shared_ptr<ImagePrintDevice> makeImagePrinter(const QString& name, int orientation, int dpi) {
    const QPageLayout layout(QPageSize(QPageSize::Letter),
                             orientation == cdlLandscape ? QPageLayout::Landscape
                                                         : QPageLayout::Portrait,
                             QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
    return std::make_shared<ImagePrintDevice>(name, layout, dpi);
}

bool ScriptedSound::play(const QString& fileName) {
    played << fileName;
    if (answers.empty()) return isPlayableWav(fileName);
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

HelpResult ScriptedHelp::showTopic(const QString& helpFile, const QString& topic) {
    calls.push_back({helpFile, topic});
    if (answers.empty()) return HelpResult::Shown;
    const HelpResult answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedSingleInstance::claim() {
    ++claims;
    return !AnotherCopyRuns;
}

bool ScriptedSingleInstance::sendToRunning(const QString& command, bool) {
    sent << command;
    return AnotherCopyRuns && RunningCopyAccepts;
}

} // namespace rt
