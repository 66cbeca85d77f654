#pragma once
// Scripted common dialogs, printers, sound, help and single-instance hand-off for tests:
// answers are queued in advance, every request is recorded. A dialog with no queued answer is
// cancelled.

#include "platform/common_dialogs.h"
#include "platform/help.h"
#include "platform/printers.h"
#include "platform/single_instance.h"
#include "platform/sound.h"

#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

namespace rt {

class ScriptedCommonDialogs : public CommonDialogServices {
public:
    std::optional<FileDialogAnswer> getFileName(const FileDialogRequest& request) override;
    std::optional<int32_t> chooseColor(int32_t initial, int flags) override;
    std::shared_ptr<PrintDevice> choosePrinter(int orientation, int flags) override;

    // Queues the name the user chooses (with the filter chosen, 0 for unchanged), or a cancel.
    void answerFile(const QString& fileName, int filterIndex = 0) {
        fileAnswers.push_back(FileDialogAnswer{fileName, filterIndex});
    }
    void answerCancel() { fileAnswers.push_back(FileDialogAnswer{}); }

    std::deque<FileDialogAnswer> fileAnswers;                // an empty name: cancelled
    std::deque<std::optional<int32_t>> colorAnswers;         // nullopt: cancelled
    std::deque<std::shared_ptr<PrintDevice>> printerAnswers; // nullptr: cancelled

    struct ColorCall {
        int32_t initial;
        int flags;
    };
    struct PrinterCall {
        int orientation;
        int flags;
    };
    std::vector<FileDialogRequest> fileRequests;
    std::vector<ColorCall> colorRequests;
    std::vector<PrinterCall> printerRequests;
};

// A printer collection whose printers the test sets up.
class ScriptedPrinters : public PrinterServices {
public:
    QStringList printerNames() const override;
    QString defaultPrinterName() const override;
    // The device of that name, the same object each time (so a test can read its pages).
    std::shared_ptr<PrintDevice> openPrinter(const QString& name) override;

    std::vector<std::shared_ptr<PrintDevice>> Printers;
    int DefaultIndex = 0;
    QStringList opened;
};

// A test printer: pages kept as images, at 96 dots per inch, US Letter, margins of a quarter
// inch.
std::shared_ptr<ImagePrintDevice> makeImagePrinter(const QString& name,
                                                   int orientation = cdlPortrait, int dpi = 96);

class ScriptedSound : public SoundServices {
public:
    // Queued answers first; without one, whether the file is a playable wave file.
    bool play(const QString& fileName) override;
    std::deque<bool> answers;
    QStringList played; // every request, started or not
};

class ScriptedHelp : public HelpServices {
public:
    HelpResult showTopic(const QString& helpFile, const QString& topic) override;
    std::deque<HelpResult> answers; // without one: Shown
    struct Call {
        QString helpFile;
        QString topic;
    };
    std::vector<Call> calls;
};

class ScriptedSingleInstance : public SingleInstance {
public:
    bool claim() override;
    bool sendToRunning(const QString& command, bool patient = false) override;
    void setCommandHandler(CommandHandler handler) override { handler_ = std::move(handler); }

    // Hands a command to the handler, as a later copy would; its answer.
    bool deliver(const QString& command) { return handler_ && handler_(command); }
    bool hasHandler() const { return bool(handler_); }

    bool AnotherCopyRuns = false;   // what claim() finds
    bool RunningCopyAccepts = true; // what sendToRunning() gets back
    int claims = 0;
    QStringList sent;

private:
    CommandHandler handler_;
};

} // namespace rt
