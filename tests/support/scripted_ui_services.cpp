#include "scripted_ui_services.h"

namespace rt {

int ScriptedUiServices::msgBox(const QString& prompt, int style, const QString& title) {
    int answer = defaultButtonOf(style);
    if (!msgBoxAnswers.empty()) {
        answer = msgBoxAnswers.front();
        msgBoxAnswers.pop_front();
    }
    msgBoxCalls.push_back({prompt, style, title, answer});
    return answer;
}

QString ScriptedUiServices::inputBox(const QString& prompt, const QString&, const QString&) {
    inputPrompts << prompt;
    if (inputAnswers.empty()) return QString();
    QString a = inputAnswers.front();
    inputAnswers.pop_front();
    return a;
}

void ScriptedUiServices::doEvents(bool excludeUserInput) {
    ++(excludeUserInput ? doEventsNoInputCount : doEventsCount);
    if (onDoEvents) onDoEvents(excludeUserInput);
}

} // namespace rt
