#include "recording_views.h"

#include "core/numeric.h"
#include "document/doc_state.h"

namespace {
QString flag(bool b) {
    return b ? QStringLiteral("1") : QStringLiteral("0");
}
} // namespace

void RecordingViews::SetMainMode(int32_t Mode) {
    Calls << QStringLiteral("SetMainMode(%1)").arg(Mode);
    if (Mode == 1) {
        State = QStringLiteral("Edit");
    } else if (Mode == 2) {
        State = QStringLiteral("Load");
        Loading[0].clear();
        Loading[1].clear();
    } else if (Mode == 3) {
        State = QStringLiteral("Logo");
    }
}

void RecordingViews::SetMainCaption(const QString& text) {
    Calls << QStringLiteral("SetMainCaption(%1)").arg(text);
    Caption = text;
}

void RecordingViews::SetLoadingCaption(int16_t Index, const QString& text) {
    Calls << QStringLiteral("SetLoadingCaption(%1,%2)").arg(Index).arg(text);
    if (Index == 0 || Index == 1) Loading[Index] = text;
}

void RecordingViews::RedrawDayCell(int16_t Month, int16_t Cell) {
    Calls << QStringLiteral("RedrawDayCell(%1,%2)").arg(Month).arg(Cell);
    Redraws.push_back({Month, Cell});
}

void RecordingViews::RefreshPane(bool UpdateToolbar, int16_t SelectIndex) {
    Calls << QStringLiteral("RefreshPane(%1,%2)").arg(flag(UpdateToolbar)).arg(SelectIndex);
    Refreshes.push_back({UpdateToolbar, SelectIndex});
}

void RecordingViews::ResetMonthWindow(int16_t Month, int32_t CellBack) {
    Calls << QStringLiteral("ResetMonthWindow(%1,%2)").arg(Month).arg(CellBack);
    ResetMonths.push_back(Month);
}

void RecordingViews::UnloadMonthWindow(int16_t Month) {
    Calls << QStringLiteral("UnloadMonthWindow(%1)").arg(Month);
}

void RecordingViews::HideMonthWindow(int16_t Month) {
    Calls << QStringLiteral("HideMonthWindow(%1)").arg(Month);
}

void RecordingViews::ShowMonthWindows() {
    Calls << QStringLiteral("ShowMonthWindows()");
    if (OnShowMonthWindows) OnShowMonthWindows();
    State = QStringLiteral("Edit");
}

bool RecordingViews::ShowPropertiesDialog(bool NewDocument) {
    Calls << QStringLiteral("ShowPropertiesDialog(%1)").arg(flag(NewDocument));
    if (OnShowPropertiesDialog) return OnShowPropertiesDialog(NewDocument);
    if (PropertiesAnswers.empty()) return false;
    const bool answer = PropertiesAnswers.front();
    PropertiesAnswers.pop_front();
    return answer;
}

bool RecordingViews::ShowAlarm(int16_t Month, int16_t Cell, int16_t Index) {
    Calls << QStringLiteral("ShowAlarm(%1,%2,%3)").arg(Month).arg(Cell).arg(Index);
    Alarms.push_back({Month, Cell, Index});
    return OnShowAlarm ? OnShowAlarm(Month, Cell, Index) : false;
}

bool RecordingViews::AskPassword(const QString& Expected) {
    Calls << QStringLiteral("AskPassword(%1)").arg(Expected);
    PasswordAnswer answer{false, QString()};
    if (!PasswordAnswers.empty()) {
        answer = PasswordAnswers.front();
        PasswordAnswers.pop_front();
    }
    // As the prompt does: the typed text comes back trimmed, the hand-over is emptied and, after
    // OK in read mode, filled.
    Exchange.DialogResult = answer.Ok ? 1 : 0;
    Exchange.DialogText = answer.Ok ? rt::TrimBlanks(answer.Typed) : QString();
    PasswordHandOver.clear();
    if (!answer.Ok) return false;
    if (!Expected.isEmpty()) return Exchange.DialogText == Expected;
    PasswordHandOver = Exchange.DialogText;
    return true;
}

QStringList RecordingViews::CallsOf(const QString& Prefix) const {
    QStringList out;
    for (const QString& c : Calls)
        if (c.startsWith(Prefix)) out << c;
    return out;
}

void RecordingViews::ClearCalls() {
    Calls.clear();
    Redraws.clear();
    Refreshes.clear();
    Alarms.clear();
    ResetMonths.clear();
}
