#include "scripted_ui_services.h"

namespace rt {

int defaultButtonOf(int style) {
    static const std::vector<std::vector<int>> sets = {
        {vbOK},        {vbOK, vbCancel},   {vbAbort, vbRetry, vbIgnore}, {vbYes, vbNo, vbCancel},
        {vbYes, vbNo}, {vbRetry, vbCancel}};
    const int set = style & 0x0F;
    const auto& buttons = set < int(sets.size()) ? sets[set] : sets[0];
    const size_t def = (style & vbDefaultButton3) ? 2 : (style & vbDefaultButton2) ? 1 : 0;
    return buttons[def < buttons.size() ? def : 0];
}

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
