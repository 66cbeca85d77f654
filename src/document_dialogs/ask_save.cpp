#include "ask_save.h"

#include "core/resources.h"
#include "core/ui_services.h"
#include "document/cal_writer.h"
#include "document/doc_state.h"
#include "document/doc_views.h"
#include "document/modified.h"
#include "document_dialogs/document_dialogs.h"
#include "document_dialogs/frm_ask_save.h"

namespace {

// New's marker (SetNoReloadMarker): on while New runs its ask-save step.
bool noReloadMarker = false;

AskSaveLine monthLine(int resId, int32_t part, int16_t month) {
    return {rt::LoadResString(resId) + QStringLiteral("  ... ") + rt::LoadResString(209 + month),
            part, month};
}

void copyHeader(CalDocument& to, const CalDocument& from) {
    to.Author = from.Author;
    to.Year = from.Year;
    to.OpenMonth = from.OpenMonth;
    to.Password = from.Password;
    to.EmbedPictures = from.EmbedPictures;
}

} // namespace

std::vector<AskSaveLine> ChangedPartLines(const CalDocument& Doc) {
    std::vector<AskSaveLine> lines;
    const auto add = [&](int16_t flag, int resId, int32_t part) {
        if (flag) lines.push_back({rt::LoadResString(resId), part, 0});
    };
    add(Doc.HeaderModified, 1306, DocPart::Header);
    add(Doc.DefaultBackground.Modified, 1309, DocPart::DefaultBackground);
    add(Doc.DefaultColours.Modified, 1310, DocPart::DefaultColours);
    add(Doc.AutoEvents.Modified, 232, DocPart::AutoEvents);
    add(Doc.Birthdays.Modified, 283, DocPart::Birthdays);
    add(Doc.DebtsSavings.Modified, 233, DocPart::DebtsSavings);
    for (int16_t m = 1; m <= 12; ++m)
        if (Doc.Months(m).DaysModified) lines.push_back(monthLine(231, DocPart::MonthDays, m));
    for (int16_t m = 1; m <= 12; ++m)
        if (Doc.Months(m).Background.Modified)
            lines.push_back(monthLine(1307, DocPart::MonthBackground, m));
    for (int16_t m = 1; m <= 12; ++m)
        if (Doc.Months(m).Colours.Modified)
            lines.push_back(monthLine(1308, DocPart::MonthColours, m));
    return lines;
}

bool YearChangedSinceSave() {
    return CurDoc.Year != SavedDoc.Year;
}

bool InYearGroup(const AskSaveLine& Line) {
    return Line.Part == DocPart::Header || Line.Part == DocPart::MonthDays;
}

CalDocument DocumentWithParts(const CalDocument& Saved, const CalDocument& Live,
                              const std::vector<AskSaveLine>& Lines,
                              const std::vector<bool>& Selected) {
    CalDocument doc = Saved;
    const bool yearChanged = Saved.Year != Live.Year;
    bool groupTaken = true;

    for (size_t i = 0; i < Lines.size(); ++i) {
        const bool selected = i < Selected.size() && Selected[i];
        const AskSaveLine& line = Lines[i];
        if (yearChanged && InYearGroup(line)) {
            groupTaken = groupTaken && selected;
            continue;
        }
        if (!selected) continue;
        switch (line.Part) {
        case DocPart::Header:
            copyHeader(doc, Live);
            break;
        case DocPart::DefaultBackground:
            doc.DefaultBackground = Live.DefaultBackground;
            break;
        case DocPart::DefaultColours:
            doc.DefaultColours = Live.DefaultColours;
            break;
        case DocPart::AutoEvents:
            doc.AutoEvents = Live.AutoEvents;
            break;
        case DocPart::Birthdays:
            doc.Birthdays = Live.Birthdays;
            break;
        case DocPart::DebtsSavings:
            doc.DebtsSavings = Live.DebtsSavings;
            break;
        case DocPart::MonthDays:
            doc.Months(line.Month).Cells = Live.Months(line.Month).Cells;
            break;
        case DocPart::MonthBackground:
            doc.Months(line.Month).Background = Live.Months(line.Month).Background;
            break;
        case DocPart::MonthColours:
            doc.Months(line.Month).Colours = Live.Months(line.Month).Colours;
            break;
        default:
            break;
        }
    }

    // The cells of every month are laid out for the year: after a change of year the header
    // and the day items of all twelve months (changed or not) travel as one.
    if (yearChanged && groupTaken) {
        copyHeader(doc, Live);
        for (int16_t m = 1; m <= 12; ++m)
            doc.Months(m).Cells = Live.Months(m).Cells;
    }
    return doc;
}

int32_t WriteSelectedParts(QString& FileName, const std::vector<AskSaveLine>& Lines,
                           const std::vector<bool>& Selected) {
    if (FileName.isEmpty()) {
        FileName = AskCalFileName();
        if (FileName.isEmpty()) return 0;
    }

    size_t selectedCount = 0;
    for (size_t i = 0; i < Lines.size(); ++i)
        if (i < Selected.size() && Selected[i]) ++selectedCount;
    const bool partial = selectedCount != Lines.size();

    CalDocument doc;
    if (partial) {
        doc = DocumentWithParts(SavedDoc, CurDoc, Lines, Selected);
        rt::DoEventsNoInput();
    } else {
        doc = CurDoc;
    }

    int32_t result = 0;
    if (SaveCalFile(FileName, doc)) {
        if (partial && !NoReloadMarker()) {
            // The deselected changes are dropped: the live document becomes what was written.
            CurDoc = doc;
            SetModified(DocPart::All, 0, 0);
            SavedDoc = CurDoc;
            views().ShowMonthWindows();
        } else {
            SetModified(DocPart::All, 0, 0);
            SavedDoc = CurDoc;
        }
        result = 1;
    }
    // The working copy goes now; its pictures stay with the documents that share them.
    doc = CalDocument{};
    rt::DoEventsNoInput();
    return result;
}

void SetNoReloadMarker(bool On) {
    noReloadMarker = On;
}

bool NoReloadMarker() {
    return noReloadMarker;
}

void ShowAskSaveDialog() {
    FrmAskSave->Show(rt::vbModal);
    rt::DoEventsNoInput();
    FrmAskSave.release();
}
