#pragma once
// Views for tests: every call is recorded, dialog answers are scripted, and the application
// state and captions are kept as plain values.
//
//     auto views = std::make_shared<RecordingViews>();
//     setDocViews(views);
//     views->State = "Edit";
//     ... run a rule ...
//     EXPECT_EQ(views->Redraws, (std::vector<CellRef>{{3, 10}}));

#include "document/doc_views.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

class RecordingViews : public DocViews {
public:
    struct CellRef {
        int16_t Month;
        int16_t Cell;
        bool operator==(const CellRef&) const = default;
    };
    struct PaneRefresh {
        bool UpdateToolbar;
        int16_t SelectIndex;
        bool operator==(const PaneRefresh&) const = default;
    };
    struct AlarmRef {
        int16_t Month;
        int16_t Cell;
        int16_t Index;
        bool operator==(const AlarmRef&) const = default;
    };
    struct PasswordAnswer {
        bool Ok;       // OK rather than Cancel
        QString Typed; // the text typed
    };

    QString AppState() const override { return State; }
    void SetMainMode(int32_t Mode) override;
    QString MainCaption() const override { return Caption; }
    void SetMainCaption(const QString& Caption) override;
    void SetLoadingCaption(int16_t Index, const QString& Caption) override;
    void RedrawDayCell(int16_t Month, int16_t Cell) override;
    void RefreshPane(bool UpdateToolbar, int16_t SelectIndex) override;
    void ResetMonthWindow(int16_t Month, int32_t CellBack) override;
    void UnloadMonthWindow(int16_t Month) override;
    void HideMonthWindow(int16_t Month) override;
    void ShowMonthWindows() override;
    bool ShowPropertiesDialog(bool NewDocument) override;
    bool ShowAlarm(int16_t Month, int16_t Cell, int16_t Index) override;
    bool AskPassword(const QString& Expected) override;

    // Every call in order, as text: "RedrawDayCell(3,10)", "RefreshPane(0,-1)",
    // "SetMainMode(2)", "SetMainCaption(Mirovanta v2.1 - [Sans nom]*)", ...
    QStringList Calls;
    // The calls whose text starts with Prefix.
    QStringList CallsOf(const QString& Prefix) const;
    // Forgets every recorded call (the state, captions and scripted answers stay).
    void ClearCalls();

    // The values the views hold.
    QString State;
    QString Caption;
    QString Loading[2];

    // The same calls, typed.
    std::vector<CellRef> Redraws;
    std::vector<PaneRefresh> Refreshes;
    std::vector<AlarmRef> Alarms;
    std::vector<int16_t> ResetMonths;

    // Scripted answers, taken first to last; with none left a dialog is cancelled.
    std::deque<bool> PropertiesAnswers;
    std::deque<PasswordAnswer> PasswordAnswers;
    // Run in place of the scripted answer when set (lets a test act as the dialog would).
    std::function<bool(int16_t Month, int16_t Cell, int16_t Index)> OnShowAlarm;
    std::function<bool(bool NewDocument)> OnShowPropertiesDialog;
    std::function<void()> OnShowMonthWindows;
};
