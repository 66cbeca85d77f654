#pragma once
// The ask-save step that every changed document passes before it is written or given up: the
// list of its changed parts, and the Yes road that writes either the live document or the
// last-saved copy with the chosen parts copied in.

#include "document/records.h"

#include <QString>
#include <cstdint>
#include <vector>

// One line of the ask-save list: a changed part of the live document.
struct AskSaveLine {
    QString Text;
    int32_t Part = 0;  // DocPart
    int16_t Month = 0; // 1 to 12 for the parts of one month, else 0
    bool operator==(const AskSaveLine&) const = default;
};

// The lines for each modified flag of Doc that is set: header, default background, default
// colours, auto-events, birthdays, debts/savings, then the day items of each changed month,
// the background of each, the colours of each.
std::vector<AskSaveLine> ChangedPartLines(const CalDocument& Doc);

// True when the live document's year differs from the last-saved one. The day cells are laid
// out for their year, so the header and the twelve months' day items then go into the written
// document together or not at all.
bool YearChangedSinceSave();

// True when Line belongs to the header-and-day-items group that a change of year binds.
bool InYearGroup(const AskSaveLine& Line);

// The document a partial save writes: Saved with the parts of the selected lines copied in from
// Live. When the year changed between them, the header and all twelve months' day items are
// copied only when every line of that group is selected, and otherwise none of them.
CalDocument DocumentWithParts(const CalDocument& Saved, const CalDocument& Live,
                              const std::vector<AskSaveLine>& Lines,
                              const std::vector<bool>& Selected);

// The Yes road of the ask-save dialog. Asks a name first when FileName is "" (and keeps the
// chosen one in FileName). Writes the live document when every line is selected, else the
// last-saved copy with the selected parts, which then becomes the live document (its month
// windows rebuilt) unless New is replacing the document anyway. Returns the dialog's result:
// 1 written, 0 when the name prompt was cancelled or the write failed (the live document then
// keeps every change and flag).
int32_t WriteSelectedParts(QString& FileName, const std::vector<AskSaveLine>& Lines,
                           const std::vector<bool>& Selected);

// New's marker: set while New runs its ask-save step, so that a partial save does not rebuild
// the month windows of a document that is about to be replaced.
void SetNoReloadMarker(bool On);
bool NoReloadMarker();

// Shows the ask-save dialog modally for the file named in Exchange.DialogText, then releases
// it; its answer is left in Exchange.DialogResult (1 go on, 0 stop).
void ShowAskSaveDialog();
