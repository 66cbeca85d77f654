#pragma once
// Scripted interactive services for tests: answers are queued in advance, every request is
// recorded. A message box with no queued answer returns its default button.

#include "core/ui_services.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace rt {

class ScriptedUiServices : public UiServices {
public:
    struct MsgBoxCall {
        QString prompt;
        int style;
        QString title;
        int answer;
    };

    int msgBox(const QString& prompt, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    void doEvents(bool excludeUserInput) override;
    void setHourglass(bool on) override {
        hourglass_ = on;
        hourglassChanges.push_back(on);
    }
    bool hourglass() const override { return hourglass_; }

    // Queued answers, taken first to last.
    std::deque<int> msgBoxAnswers;
    std::deque<QString> inputAnswers;
    // What was asked.
    std::vector<MsgBoxCall> msgBoxCalls;
    QStringList inputPrompts;
    int doEventsCount = 0;
    int doEventsNoInputCount = 0;
    std::vector<bool> hourglassChanges;
    // Runs at every "let pending events run" (lets a test act at that moment, as a user could).
    std::function<void(bool excludeUserInput)> onDoEvents;

private:
    bool hourglass_ = false;
};

} // namespace rt
